// The document's ReadSelection member: the entities a selection of the whole drawing with a filter
// gives, read in the same call (see FilteredReads.cpp).
#pragma once

#include "platform/cad/engine/Selection.h"
#include "platform/cad/model/DispatchTable.h"

namespace cad {

// The filter arrays of a selection (group codes and values) from the arguments at `codesAt` and
// the one after it; both absent mean no filter.
db::FilterList FilterArgs(Args a, qsizetype codesAt);

// Adds ReadSelection to the document's table.
void AddFilteredReads(DispatchTable& documentTable);

}  // namespace cad
