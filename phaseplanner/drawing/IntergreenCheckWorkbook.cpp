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

namespace phaseplanner {

namespace {

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

QString caption() {
    return MainProgramWindow().caption();
}

// Group i of the workbook is group record i, as the import builds the table; a free record has no
// position. Where the head symbols differ the check says so (CompareWithWorkbookGroups).
std::vector<int> recordPositions() {
    std::vector<int> positions(GroupTable.size(), -1);
    for (std::size_t r = 0; r < GroupTable.size(); ++r)
        if (GroupTable[r].Defined) positions[r] = int(r);
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
    if (groupCount >= 1 && listColumn >= 1) return &ws;
    if (!quiet)
        if (const QString problem = GroupListProblem(ws, groupCount, listColumn); !problem.isEmpty())
            ui::MsgBox(problem, ui::Exclamation, caption());
    return nullptr;
}

struct CadVariablesGuard {
    CadVariablesGuard() { automation::SaveAndSetCadVariables(QString(), QString(), -1, 0.0, 1.0); }
    ~CadVariablesGuard() {
        try {
            automation::RestoreCadVariables();
        } catch (const cad::Error&) {
            // Each value is set though another is refused: one the CAD keeps leaves the pen or layer
            // the check drew with current, which the user sees in the CAD; the check's result stands.
        }
    }
};

}  // namespace

QString NoProgramTableMessage() {
    return tr_("Aktywny rysunek nie zawiera tabeli programu sygnalizacji, więc czasów międzyzielonych nie ma "
               "w czym sprawdzić.") +
           QLatin1Char('\n') +
           tr_("Otwórz w programie CAD rysunek z wrysowanym programem skrzyżowania albo wrysuj program "
               "poleceniem \"Dane, Wrysuj grupy z tabeli\" (nowy rysunek z tabelą programu: \"Narzędzia, "
               "Wczytaj\").");
}

bool ReadIntergreenWorkbookForCheck(IntergreenWorkbookData& data) {
    sheet::Workbook* book = nullptr;
    if (!OpenIntergreenWorkbook(book, true, QString())) return false;
    int groupCount = 0, listColumn = 0;
    sheet::Worksheet* ws = settleMatrix(book, groupCount, listColumn, false);
    if (!ws) return false;
    // The program's groups are held against the list: the matrix rows must be the listed groups.
    if (const QString problem = MatrixLabelProblem(*ws, groupCount, listColumn); !problem.isEmpty()) {
        ui::MsgBox(problem, ui::Exclamation, caption());
        return false;
    }
    data.HasPhases = hasPhaseList(*book, *ws, groupCount, listColumn);
    data.UnreadableCells = 0;
    data.WorkbookSymbols = automation::GroupHeadTexts.mid(0, groupCount);
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
    if (!automation::CheckDocumentOpen(true)) return false;
    bool found = false;
    SprawdzSkrzyzowania(found);
    if (!found || !ProgramTableOrigin.Known) {
        // Without the table there is no program to hold against the workbook: say so, never nothing.
        ui::MsgBox(NoProgramTableMessage(), ui::Exclamation, caption());
        return false;
    }
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
    // The check measured by position: record a is group row a of the matrix, which must still be the
    // group the list names there.
    if (const QString problem = MatrixLabelProblem(*ws, groupCount, listColumn); !problem.isEmpty()) {
        ui::MsgBox(problem, ui::Exclamation, caption());
        return false;
    }
    if (!ClearMatrixPair(*ws, automation::WorkbookHeaderRow, groupCount, a, b)) {
        ui::MsgBox(tr_("Skoroszyt nie zawiera grup tej pary."), ui::Exclamation, caption());
        return false;
    }
    SaveIntergreenWorkbook(true);
    return true;
}

}  // namespace phaseplanner
