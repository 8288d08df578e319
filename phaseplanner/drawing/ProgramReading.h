// Reading the signal program back from the group blocks of the drawing, the order of each group's
// greens after reading, and the check of a start or end program's greens against the cycle.
#pragma once

#include <QString>

namespace phaseplanner {

// Rebuilds GroupTable from the drawing. `quiet` (start-up): no questions or messages. `ok` tells
// whether the table was rebuilt. The editor's grid is refilled through `ProgramReadHook` when set.
void ReadProgramFromDrawing(bool quiet, bool& ok);
// Called after a successful read (the window refills its grid and cycle box).
extern void (*ProgramReadHook)();

// Labels of the groups whose greens do not fit in the cycle, joined by ", ".
void SprawdzPoczKon(int programType, QString& labels);
// Orders each group's greens by start (acts only with -1).
void SortGroupGreens(int flag);

}  // namespace phaseplanner
