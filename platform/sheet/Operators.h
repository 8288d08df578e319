// The spreadsheet's operators on two values: arithmetic with its coercions (a text that reads as a
// number counts as one, an empty cell as 0), joining texts, and comparisons (numbers before texts
// before logical values, texts in Polish alphabetical order without regard to case). An error on
// either side is the result, the left one first.
#pragma once

#include "platform/sheet/Value.h"

namespace sheet {

// A computed number; #NUM! for one no cell can hold (an overflow, not a number).
Value numberResult(double d);

// `l op r` for the operator's code (`operatorCode`). `last`: the formula's final operation, where an
// addition or subtraction whose operands agree to 15 digits gives exactly 0, as the spreadsheet
// gives it (=0.1+0.2-0.3 is 0, while =(0.1+0.2-0.3) and =1*(0.1+0.2-0.3) keep the binary remainder).
Value combineValues(QChar op, const Value& l, const Value& r, bool last);

}  // namespace sheet
