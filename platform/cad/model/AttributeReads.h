// The document's bulk read of block references' attributes (see platform/cad/AttributeReads.h).
#pragma once

#include "platform/cad/model/DispatchTable.h"

namespace cad {

// Adds ReadAttributes(references, members) to a drawing's table; it leaves the drawing unchanged.
void AddAttributeReads(DispatchTable& table);

}  // namespace cad
