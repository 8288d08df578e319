// The document's CallEach member: one method called on many objects in one call.
#pragma once

#include "platform/cad/model/DispatchTable.h"

namespace cad {

void AddCallEach(DispatchTable& documentTable);

}  // namespace cad
