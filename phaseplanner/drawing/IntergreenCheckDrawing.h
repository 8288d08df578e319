// The intergreen check in the drawing: the result texts beside the program table, the group graph
// of lines between the groups' rows, the colliding pairs for their dialog, and erasing the graphs.
#pragma once

#include "phaseplanner/drawing/IntergreenCheck.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace sheet {
class Worksheet;
}

namespace phaseplanner {

// The colliding pairs of the last check: record indexes, smaller first.
extern std::vector<std::pair<int, int>> CollisionPairs;

constexpr int AllGroupsGraph = 10000;  // GraphGroup: the graph of every group
constexpr int NoGraph = -1;            // GraphGroup: the check with result texts

QString GraphBlockName();   // "GRAFDLAGRUPY_" and the intersection number
QString ResultBlockName();  // "CZASMIEDZYZIELONY_" and the intersection number

// What the check needs of the intergreen workbook.
struct IntergreenWorkbookData {
    RequiredIntergreens Required;  // by group record: Required[a][b] from record a to record b
    bool HasPhases = false;        // the workbook's group/phase list is not empty
    int UnreadableCells = 0;       // matrix cells holding no required time (not measured)
    QStringList WorkbookSymbols;   // the head symbols of the workbook's groups, by position
};

// The matrix of the intergreen worksheet by group record. `positionOfRecord` gives each record's
// group position in the workbook (-1: none); positions at or beyond `groupCount` are not read. For
// positions p and q the cell in row headerRow + 1 + p, column 3 + q when `fromRows` (the header reads
// "EWAKUACJA"), else the cell of row headerRow + 1 + q, column 3 + p. An empty cell is no pair; one
// that holds no required time (ReadMatrixCell) is no pair either and is counted in `unreadable`.
RequiredIntergreens ReadRequiredIntergreens(sheet::Worksheet& matrix, int headerRow, int groupCount,
                                            bool fromRows, const std::vector<int>& positionOfRecord,
                                            int* unreadable = nullptr);

// Removes the pair of group positions p and q from the matrix: the cells (headerRow + 1 + p, 3 + q)
// and (headerRow + 1 + q, 3 + p) are emptied and get the interior colour index 6. False, changing
// nothing, when a position lies outside 0..groupCount - 1 or both are the same.
bool ClearMatrixPair(sheet::Worksheet& matrix, int headerRow, int groupCount, int p, int q);

// The check on given workbook data, from the erasing of the previous result on: draws the graph
// (GraphGroup >= 0) or writes the result texts (NoGraph), or, with ShowPairs, only fills
// CollisionPairs. The result names what was not checked (groups whose head symbols differ from the
// workbook's at the same position, unreadable cells). The caller has settled the intersection and
// the table origin.
IntergreenCheckResult RunIntergreenCheck(const IntergreenWorkbookData& data, bool ReportAll, bool ShowPairs,
                                         int GraphGroup);

// The check against the intergreen workbook (the menu's "Sprawdź czasy", graphs and colliding pairs):
// it stops, saying why and what to open, while no drawing is open or the active drawing holds no
// program table; then the workbook is settled and read and the check runs (RunIntergreenCheck).
// False when it ended early (the called parts, or this one, said why).
bool CheckIntergreenTimes(bool ReportAll, bool ShowPairs, int GraphGroup,
                          IntergreenCheckResult* result = nullptr);
// The message of the check when the active drawing holds no program table: why, and what to open.
QString NoProgramTableMessage();
// Reads the matrix by group record, group i of the workbook being record i.
bool ReadIntergreenWorkbookForCheck(IntergreenWorkbookData& data);
// Removes a colliding pair (record indexes) from the held workbook's matrix and offers to save it.
// "Utracono połączenie z programem Excel!" when no intergreen workbook is held any more.
bool RemoveCollisionPair(int a, int b);

// Erases the references and the definition of the current intersection's graph block.
void mnuDane_GrafWyczysc();

}  // namespace phaseplanner
