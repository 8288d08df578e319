// The editing rules of the group table apart from the widgets: the greens read from the group
// dialog's list, the complement and its warning, storing a group, and the in-cell edits of the
// group grid's start, length, end and complement cells.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>
#include <vector>

namespace phaseplanner {

// One row of the group dialog's green list: the two typed texts and the green of the record the row
// was filled from (0 for a row typed anew), so that a green keeps its phase references however the
// rows are sorted or deleted.
struct GreenRow {
    QString Start;
    QString Length;
    int SourceGreen = 0;
};

// Checks the rows: a row with an empty start or length, or a length of 0, is dropped silently; any
// other row must hold digits only, 0 <= start < cycle and 1 <= length <= cycle, and at most 200 rows
// may be kept. Empty on success, otherwise the message that keeps the dialog open.
QString CheckGreenRows(const std::vector<GreenRow>& rows, int cycleLength);
// Fills the greens of the record from the rows that qualify (start and length non-empty, length at
// least 1), in row order; each takes the phase references of its source green of `source` (none for
// a new row). Greens above the new count keep their former values.
void ReadGreensFromRows(GroupRecord& record, const std::vector<GreenRow>& rows, const GroupRecord& source);

// Tests (checkOnly) or applies the complement from second `from` to the record; true when the group
// is, or would be, turned into an only-red (or, for an arrow, no-signal) group. A group without
// greens never conflicts.
bool ApplyComplement(GroupRecord& record, int from, bool checkOnly, int cycleLength);

// The question the dialog asks before storing a complement: empty when nothing would change.
// `others` lists the numbers and kinds of the other groups that would change.
struct ComplementHit {
    int Number = 0;
    int Kind = 0;
};
QString ComplementWarningText(bool currentChanges, const std::vector<ComplementHit>& others);

// A new record as the group dialog starts it: defined, no greens, no phase references.
GroupRecord NewGroupRecord();

// Which cell of the group grid may be edited in place for this group: never columns 0..2, nor any
// cell of an only-red or no-signal group; a green's cells only for the group's own greens; the
// complement column only while the complement is on.
bool IsGroupCellEditable(const GroupRecord& group, int column, int lastColumn);
// The message that refuses a value typed into a green's cell, the group dialog's message for the
// same value: a start beyond the cycle (the cycle length itself is taken as 0), a length longer than
// the cycle, or an end that makes it so. Empty when the value may be stored.
QString CheckGreenCell(const GroupRecord& group, int column, int lastColumn, int value, int cycleLength);
// Writes the typed value into the record for the cell; false when nothing changed (or the cell is
// not editable). Start: the cycle length is taken as 0. End: the length from the start to it, an end
// at or before the start wrapping over the cycle end. Complement: 0..MaxCycleLength only.
bool CommitGroupCell(GroupRecord& group, int column, int lastColumn, int value, int cycleLength,
                     int maxCycleLength);

// A newly typed intersection number may hold letters, digits and "-" only.
bool IsValidNewIntersectionNumber(const QString& number);

}  // namespace phaseplanner
