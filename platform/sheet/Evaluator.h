// Evaluation of a parsed formula against the workbook's current cell values.
#pragma once

#include "platform/sheet/Formula.h"
#include "platform/sheet/Value.h"

#include <functional>

namespace sheet {

class Worksheet;

// The value of `f` held by cell (row, column) of `host`.
Value evaluateFormula(const Formula& f, Worksheet& host, int row, int column);

// Every reference of `f` as seen from (row, column), those behind the defined names it uses
// included: sheet (host when unnamed) and rectangle.
// References outside the grid are skipped (they evaluate to #REF!).
void forEachReference(const Formula& f, Worksheet& host, int row, int column,
                      const std::function<void(Worksheet* ws, const Rect& r)>& fn);

}  // namespace sheet
