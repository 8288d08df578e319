// frmMain's commands of the program in the drawing: reading it back, drawing it, loading a table.
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/PhaseSetDialog.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/drawing/WorkbookImport.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace phaseplanner {

namespace {
// The window's drawing options and the typed cycle, as the drawing reads them; a cycle box that does
// not hold a positive number is refused (the drawing never falls back on an earlier cycle).
bool takeDrawingOptions(QComboBox* dimensioning, QLineEdit* cycle, const QString& caption) {
    DimensioningMode = dimensioning ? std::max(0, dimensioning->currentIndex()) : 2;
    if (!cycle) return true;
    const int typed = common::ParseInteger(cycle->text());
    if (typed <= 0) {
        cycle->setFocus();
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nieprawidłowa wartość długości cyklu!")), ui::Exclamation,
                   caption);
        return false;
    }
    CycleLength = typed;
    return true;
}
}  // namespace

void MainWindow::mnuDane_Pobierz_Click() {
    bool ok = false;
    ReadProgramFromDrawing(false, ok);
    if (!ok) return;
    edtCzasCyklu->setText(QString::number(CycleLength));
    FillGroupGrid();
    InvalidateShownState();
    ComputeProgramStates(false);
}

bool MainWindow::TakeDrawingOptions() {
    return takeDrawingOptions(cmbWymiarowanie, edtCzasCyklu, windowTitle());
}

bool MainWindow::ImportWorkbookProgram() {
    if (!confirmWorkbookImport()) return false;
    PhaseSetChooserHook = [] {
        if (auto* w = dynamic_cast<MainWindow*>(&MainProgramWindow())) {
            QApplication::restoreOverrideCursor();
            ShowPhaseSetDialog(*w);
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool imported = frmMain_mnuGrupa_Excel_Click();
    QApplication::restoreOverrideCursor();
    if (!imported) return false;
    edtCzasCyklu->blockSignals(true);
    edtCzasCyklu->setText(QString::number(CycleLength));
    edtCzasCyklu->blockSignals(false);
    FillGroupGrid();
    InvalidateShownState();
    ComputeProgramStates(false);
    return true;
}

}  // namespace phaseplanner
