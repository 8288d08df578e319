// The phase sets of the intergreen workbook: where the writer puts them in each layout, their names
// and phase orders, and what the phase-set chooser answered.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace sheet {
class Workbook;
class Worksheet;
}  // namespace sheet

namespace phaseplanner {

extern QStringList PhaseSetNames;   // one per set, from index 0
extern QStringList PhaseSetOrders;  // its phase order ("1, 2, 3")
// -1 while no set is confirmed; otherwise the list index of the confirmed set.
extern int PhaseSetDialogOk;

// The first column of the new layout's phase-set block: 22 for 12 groups or fewer, G + 11 above
// (where conflictor writes the set labels; its phase orders stand one column right, the group
// phases two columns left).
int PhaseSetColumn(int groupCount);

// Fills PhaseSetNames and PhaseSetOrders from the workbook (layout as the group-list reader settled
// it) and returns the number of sets. New layout: worksheet 2, a set per row below the header row
// from column PhaseSetColumn, up to the first row missing its name or its order. Old layout: column
// G + 9 of worksheet 2 when its header reads "GR", else column 1 of worksheet 3 with header row 1;
// one set per column to the right (name in the header row, a phase text per group row) up to the
// first column whose group cells are all empty; its order is the phases 1 to the highest phase
// number of its group texts. `sheet`, `firstColumn` and `headerRow` tell where the block is.
int ReadPhaseSets(sheet::Workbook& book, sheet::Worksheet*& sheet, int groupCount, int& firstColumn,
                  int& headerRow);

// One group row of the workbook: its ordinal number and its phases in the chosen phase set.
struct GroupPhaseEntry {
    int GroupNumber = 0;
    QString PhaseList;
};
// From the row below `headerRow` down to the first blank cell of `numberColumn`: the group number
// there and the text of `phaseColumn` in the same row. A number that is not a whole number above 0
// is kept as 0 (no group has it); when `firstBadRow` is given, the first row whose cell is not a
// whole number at all (text, a fraction) is written there (0 when none).
std::vector<GroupPhaseEntry> ReadGroupPhaseEntries(sheet::Worksheet& worksheet, int headerRow,
                                                   int numberColumn, int phaseColumn,
                                                   int* firstBadRow = nullptr);

// The items of an order text split at "," whose value (ParseInteger) is 1 or more, in order.
std::vector<int> ParsePhaseOrder(const QString& text);

// The phase order text "1, 2, ..., n" of the highest phase number named in the texts (0 when none).
QString OrderUpToHighestPhase(const QStringList& phaseTexts);

}  // namespace phaseplanner
