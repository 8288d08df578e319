// The intergreen matrix of the workbook's second worksheet as phaseplanner reads it: the header that
// tells its orientation, the value between two groups, the whole matrix in memory, the largest
// intergreen time, the cells that hold text instead of a number, and the one mapping between the
// workbook's group rows and the records of the group table.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sheet {
class Worksheet;
}

namespace phaseplanner {

// The worksheet the matrix is read from: worksheet 2 of the workbook the command settled.
extern sheet::Worksheet* IntergreenSheet;

// The header cell of the matrix: (H, 1) in the new layout, (H - 1, 1) in the old (H the header row
// the group-list reader settled).
QString MatrixHeaderText(sheet::Worksheet& ws);
// The header, trimmed and upper-cased, reads "EWAKUACJA": the matrix rows are the clearing groups.
bool IsEvacuationMatrix(sheet::Worksheet& ws);

// The cell (row H + 1 + i, column 3 + j) as a whole number of seconds; a blank or non-number is 0.
int MatrixCellValue(sheet::Worksheet& ws, int i, int j);
// The intergreen time from clearing group `from` to entering group `to` (0-based workbook group
// positions): row `from`, column `to` of an evacuation matrix, else row `to`, column `from`.
int IntergreenValue(sheet::Worksheet& ws, int from, int to, bool evacuation);

// Copies the matrix cells of groups 0..n into `matrix` (sized at least n + 1 by n + 1): the cell of
// row i, column j to (i, j), or to (j, i) with `transpose`; the diagonal is left as it was.
void PobierzMatryceTMZ(std::vector<std::vector<int>>& matrix, int n, bool transpose);

// The largest intergreen time over every pair of different groups of the matrix (columns 3 + i, the
// group-number column never counts); 5 when it is not above 5.
int ReadMaxIntergreenTime(sheet::Worksheet& ws, int groupCount);

// Why a matrix cell holds no required time although it is not blank.
enum class MatrixCellFault {
    None,
    NotWhole,    // text, an error value, or a number with a fraction
    Negative,    // a required time below 0
    OutOfRange,  // above 32767 s, the largest the program keeps
    Uncomputed,  // a formula without a number: one the engine cannot compute, no value saved
    Circular,    // a formula on a circular reference (or reading one)
};
// The required time a matrix cell holds: `Seconds` for a whole number from 0 to 32767, nothing for a
// cell with nothing in it or an empty text (no conflict), otherwise the fault and the cell's text (a
// text of blanks alone is no number either, and keeps its blanks to be seen in the message; a
// formula without a number is shown as its formula).
struct MatrixCellReading {
    std::optional<int> Seconds;
    MatrixCellFault Fault = MatrixCellFault::None;
    QString Text;
};
MatrixCellReading ReadMatrixCell(sheet::Worksheet& ws, int row, int column);

// The first matrix cell off the diagonal that is neither blank nor a required time.
struct MatrixTextCell {
    int Row = 0;
    int Column = 0;
    QString Text;
    MatrixCellFault Fault = MatrixCellFault::NotWhole;
};
std::optional<MatrixTextCell> FindMatrixTextCell(sheet::Worksheet& ws, int groupCount);
// The message about such a cell: "Błąd w danych arkusza Excel!" with the cell, what is wrong with it
// and its text.
QString MatrixTextCellMessage(const MatrixTextCell& cell);

// The matrix names its own rows and columns: the group's stream names left of its row (column A) and,
// in the layout from version 2.6 on, above its column (row H - 1). The message naming every group row
// whose labels differ from the group list's text of that row (blanks and letter case ignored), with
// the cells; empty when they agree. In the older layout a label that is not there is not held
// against the list; in the newer one every group row and column is labelled, so a missing label
// differs too. `listColumn` is the column of the list's group texts.
QString MatrixLabelProblem(sheet::Worksheet& ws, int groupCount, int listColumn);

// What the matrix worksheet's group list lacks, as the message the readers show: no header "Gr" in
// the header row (`listColumn` below 1), or no group below it in column A. Empty when `groupCount`
// groups were found, and when the group-list reader reported the problem itself (an empty group
// text).
QString GroupListProblem(sheet::Worksheet& ws, int groupCount, int listColumn);

// The workbook group position (0-based row of the group list) of the GroupTable record: the
// position whose group text equals the record's symbols (trimmed, letter case ignored), the
// record's own index first; -1 for a free record or one the workbook does not list.
int WorkbookGroupPosition(int recordIndex, const QStringList& groupHeadTexts);

}  // namespace phaseplanner
