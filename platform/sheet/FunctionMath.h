// The arithmetic of the worksheet functions that round to a multiple or pick from sorted numbers,
// with the spreadsheet's rules for signs and empty input.
#pragma once

#include "platform/sheet/Value.h"

#include <vector>

namespace sheet {

// The number at 15 significant digits, as the spreadsheet works: 0.1+0.2 rounds as 0.3 does.
double to15(double x);

// CEILING: `x` rounded to a multiple of `significance`, away from zero when both are negative and
// towards plus infinity otherwise; 0 for a significance of 0; #NUM! for a positive number with a
// negative significance.
Value ceilingMultiple(double x, double significance);
// MROUND: the multiple of `multiple` nearest to `x`, halves away from zero; 0 for a multiple of 0;
// #NUM! when the two have different signs.
Value nearestMultiple(double x, double multiple);
// MEDIAN: the middle number, or the mean of the two middle ones; #NUM! without numbers.
Value medianOf(std::vector<double> numbers);

}  // namespace sheet
