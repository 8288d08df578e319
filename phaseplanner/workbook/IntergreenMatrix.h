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

// A matrix cell off the diagonal holding a text that is not a whole number of seconds.
struct MatrixTextCell {
    int Row = 0;
    int Column = 0;
    QString Text;
};
std::optional<MatrixTextCell> FindMatrixTextCell(sheet::Worksheet& ws, int groupCount);
// The message about such a cell: "Błąd w danych arkusza Excel!" with the cell and its text.
QString MatrixTextCellMessage(const MatrixTextCell& cell);

// The workbook group position (0-based row of the group list) of the GroupTable record: the
// position whose group text equals the record's symbols (trimmed, letter case ignored), the
// record's own index first; -1 for a free record or one the workbook does not list.
int WorkbookGroupPosition(int recordIndex, const QStringList& groupHeadTexts);

}  // namespace phaseplanner
