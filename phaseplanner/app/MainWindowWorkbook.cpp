// frmMain and the intergreen workbook kept between commands: what an import asks before it replaces
// the program, and closing the kept workbook so that the next command may take another.
#include "automation/CadConnection.h"
#include "common/TextHelpers.h"
#include "phaseplanner/app/GroupGridEditor.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/core/Prompt.h"

namespace phaseplanner {

namespace {
QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
}  // namespace

bool MainWindow::confirmWorkbookImport() {
    editor_->CommitCellEdit();
    if (DefinedGroupCount() > 0 &&
        ui::MsgBox(T("Tabela programu zawiera grupy. Czy zastąpić je grupami pobranymi ze skoroszytu czasów "
                     "międzyzielonych?"),
                   ui::YesNo | ui::Question | ui::DefaultButton2, windowTitle()) != ui::Yes)
        return false;
    // The workbook kept since an earlier command, when the drawing names it, would be taken without a
    // question: offered here, "Nie" goes to the file dialog for another.
    sheet::Workbook* kept = HeldWorkbook();
    if (!kept) return true;
    if (automation::CheckDocumentOpen(false)) GetAtrybutyProgramu();
    const QString named = ExcelWorkbookPath.trimmed();
    if (named.isEmpty() || named.toUpper() != kept->fullName().toUpper()) return true;  // asked there
    const int answer = ui::MsgBox(T("Czy pobrać grupy ze skoroszytu:") + QLatin1Char('\n') + QLatin1Char('"') +
                                      PathForMessage(kept->fullName()) + QStringLiteral("\" ?") + QLatin1Char('\n') +
                                      T("(Nie: wybór innego skoroszytu)"),
                                  ui::YesNoCancel | ui::Question, windowTitle());
    if (answer == ui::Cancel) return false;
    if (answer == ui::No) ChooseAnotherIntergreenWorkbookNext();
    return true;
}

void MainWindow::mnuPlik_ZamknijSkoroszyt_Click() {
    sheet::Workbook* kept = HeldWorkbook();
    if (!kept) {
        ui::MsgBox(T("Żaden skoroszyt czasów międzyzielonych nie jest otwarty."), ui::Information, windowTitle());
        return;
    }
    const QString path = kept->fullName();
    if (!CloseIntergreenWorkbook()) return;  // its unsaved changes: the user cancelled
    IntergreenSheet = nullptr;                // the matrix went with its workbook
    ui::MsgBox(T("Zamknięto skoroszyt:") + QLatin1Char('\n') + PathForMessage(path), ui::Information, windowTitle());
}

}  // namespace phaseplanner
