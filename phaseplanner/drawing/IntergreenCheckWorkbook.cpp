// The intergreen check against the held intergreen workbook: what it reads, the command's guard,
// and removing a colliding pair from the matrix (saved as every writer of the workbook saves).
#include "automation/CadConnection.h"
#include "automation/CadVariables.h"
#include "automation/WorkbookGroups.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "phaseplanner/workbook/PhaseSets.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <QCursor>
#include <QGuiApplication>

namespace phaseplanner {

namespace {

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

QString caption() {
    return MainProgramWindow().caption();
}

// The workbook group position of every record, by the one mapping the import builds.
std::vector<int> recordPositions() {
    std::vector<int> positions(GroupTable.size(), -1);
    for (std::size_t r = 0; r < GroupTable.size(); ++r)
        positions[r] = WorkbookGroupPosition(int(r), automation::GroupHeadTexts);
    return positions;
}

// The workbook's group/phase list holds a first entry, where the import starts reading it: below the
// phase-set block's header row, in the group-number column left of the group texts (new layout) or
// in the block's first column (old layout).
bool hasPhaseList(sheet::Workbook& book, sheet::Worksheet& matrix, int groupCount, int listColumn) {
    sheet::Worksheet* setSheet = nullptr;
    int setColumn = 0, setHeaderRow = 0;
    ReadPhaseSets(book, setSheet, groupCount, setColumn, setHeaderRow);
    const bool newLayout = automation::WorkbookNewLayout;
    sheet::Worksheet* numbers = newLayout ? &matrix : setSheet;
    const int column = newLayout ? listColumn - 1 : setColumn;
    return numbers && column >= 1 &&
           !numbers->valueAt(setHeaderRow + 1, column).toString().trimmed().isEmpty();
}

// The matrix worksheet of the held workbook, its group count and list column; nullptr when none.
sheet::Worksheet* settleMatrix(sheet::Workbook* book, int& groupCount, int& listColumn, bool quiet) {
    if (!book || book->isClosed() || book->worksheetCount() < 2) return nullptr;
    sheet::Worksheet& ws = book->worksheets(2);
    listColumn = 14;
    groupCount = automation::ReadGroupHeadList(ws, listColumn, quiet, caption(), *book);
    IntergreenSheet = &ws;
    return groupCount >= 1 && listColumn >= 1 ? &ws : nullptr;
}

struct CadVariablesGuard {
    CadVariablesGuard() { automation::SaveAndSetCadVariables(QString(), QString(), -1, 0.0, 1.0); }
    ~CadVariablesGuard() {
        try {
            automation::RestoreCadVariables();
        } catch (const std::exception&) {
            // A refused value keeps the others restored; nothing more to do here.
        }
    }
};

}  // namespace

bool ReadIntergreenWorkbookForCheck(IntergreenWorkbookData& data) {
    sheet::Workbook* book = nullptr;
    if (!OpenIntergreenWorkbook(book, true, QString())) return false;
    int groupCount = 0, listColumn = 0;
    sheet::Worksheet* ws = settleMatrix(book, groupCount, listColumn, false);
    if (!ws) return false;
    data.HasPhases = hasPhaseList(*book, *ws, groupCount, listColumn);
    data.UnreadableCells = 0;
    data.Required =
        ReadRequiredIntergreens(*ws, automation::WorkbookHeaderRow, groupCount, IsEvacuationMatrix(*ws),
                                recordPositions(), &data.UnreadableCells);
    if (data.UnreadableCells > 0)
        if (const std::optional<MatrixTextCell> cell = FindMatrixTextCell(*ws, groupCount))
            ui::MsgBox(MatrixTextCellMessage(*cell), ui::Exclamation, caption());
    return true;
}

bool CheckIntergreenTimes(bool ReportAll, bool ShowPairs, int GraphGroup, IntergreenCheckResult* result) {
    CollisionPairs.clear();
    if (!ProgramTableOrigin.Known) return false;
    if (!automation::CheckDocumentOpen(true)) return false;
    bool found = false;
    SprawdzSkrzyzowania(found);
    if (!found) return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QGuiApplication::restoreOverrideCursor(); }
    } cursorBack;
    CadVariablesGuard variables;
    GetAtrybutyProgramu();
    IntergreenWorkbookData data;
    if (!ReadIntergreenWorkbookForCheck(data)) return false;
    if (!data.HasPhases) {
        ui::MsgBox(tr_("Brak zdefiniowanych faz!"), ui::Exclamation, caption());
        return false;
    }
    IntergreenCheckResult r = RunIntergreenCheck(data, ReportAll, ShowPairs, GraphGroup);
    if (result) *result = std::move(r);
    return true;
}

bool RemoveCollisionPair(int a, int b) {
    sheet::Workbook* book = HeldWorkbook();
    if (!book || book->isClosed() || !IsIntergreenWorkbook(book)) {
        ui::MsgBox(tr_("Utracono połączenie z programem Excel!"), ui::Exclamation, caption());
        return false;
    }
    book = RefreshIntergreenWorkbook();
    int groupCount = 0, listColumn = 0;
    sheet::Worksheet* ws = settleMatrix(book, groupCount, listColumn, true);
    if (!ws) {
        ui::MsgBox(tr_("Utracono połączenie z programem Excel!"), ui::Exclamation, caption());
        return false;
    }
    const int p = WorkbookGroupPosition(a, automation::GroupHeadTexts);
    const int q = WorkbookGroupPosition(b, automation::GroupHeadTexts);
    if (!ClearMatrixPair(*ws, automation::WorkbookHeaderRow, groupCount, p, q)) {
        ui::MsgBox(tr_("Skoroszyt nie zawiera grup tej pary."), ui::Exclamation, caption());
        return false;
    }
    SaveIntergreenWorkbook(true);
    return true;
}

}  // namespace phaseplanner
