// Drawing the signal program of the current intersection into the drawing as a time diagram: one
// row per signal group, erasing the previous drawing of the same intersection first.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>

namespace phaseplanner {

// The kind letter of a group's label: K, B, P, S, T or R.
QString GroupLetter(const GroupRecord& group);
// The label of the record: its 1-based place in GroupTable and the kind letter ("2K"). Records of
// deleted groups keep their place as empty rows, so labels and positions survive a read back.
QString GroupLabel(int index);
// The second at which a group's row ends: its complement second when complemented (never beyond
// the cycle), else the cycle.
int RowEnd(const GroupRecord& group, int cycleLength);

// How far right the bars are drawn: a start program (type 1) moves them by the difference of the
// largest and the current cycle; whatever is drawn on the bars' time axis moves with them.
int ProgramBarsShift(int programType);

// Rows a drawing of the table takes: up to the last defined record.
int DrawnRowCount();

// The intersection chosen in cmbNo; false after the message when none is.
bool SettleIntersection();
// Draws the program (the menu's "Wrysuj grupy z tabeli"). `askForTemplate`: when the drawing holds
// no program of the intersection, offer to load the table template (never from inside that load).
// True when the program was drawn. The intersection's intergreen check results (the texts beside the
// table, the group graphs) go with the old drawing: they were measured on the program before.
// `documentChecked`: the calling command has found the drawing open (CheckDocumentOpen) already.
bool DrawProgram(bool askForTemplate = true, bool documentChecked = false);
// The rows: row -1 every record, else the record of that grid row; their styles and layers are made
// (DrawProgram makes them first).
void DrawGroupRows(int row, long originX, long originY, int programType);

}  // namespace phaseplanner
