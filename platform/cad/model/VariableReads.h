// The document's GetVariables and SetVariables members: several system variables in one call
// (see VariableReads.cpp).
#pragma once

#include "platform/cad/model/DispatchTable.h"

namespace cad {

void AddVariableReads(DispatchTable& documentTable);

}  // namespace cad
