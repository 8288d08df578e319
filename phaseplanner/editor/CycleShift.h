// Reshaping the program's cycle: seconds added or removed at the shown second (greens covering it
// stretch or shrink, later greens move) and every green moved earlier or later.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <vector>

namespace phaseplanner {

// Inserts (delta > 0) or removes (delta < 0) seconds at second `at` of a cycle of `cycleLength`
// in every green of the table; returns the new cycle length. A removal covering a green drops it
// to length 0, never below.
int ShiftGreens(std::vector<GroupRecord>& table, int cycleLength, int at, int delta);
// The cycle after removing `seconds`: never below the minimum cycle; `seconds` is reduced to fit.
int ClampRemoval(int cycleLength, int seconds);
// Moves every green of the defined ordinary groups by `seconds`, wrapping modulo the cycle.
void MoveGreens(std::vector<GroupRecord>& table, int cycleLength, int seconds);

}  // namespace phaseplanner
