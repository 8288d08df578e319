// frmMain's commands of the intergreen check: the check with its result texts, the group graphs and
// their erasing, the colliding pairs and their dialog; and the hidden coordination window.
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "phaseplanner/app/CollisionDialog.h"
#include "phaseplanner/app/CoordinationWindow.h"
#include "phaseplanner/app/GroupGridEditor.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/editor/GroupTable.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
}  // namespace

bool MainWindow::RunCheckCommand(bool ReportAll, bool ShowPairs, int GraphGroup, IntergreenCheckResult* measured) {
    IntergreenCheckResult own;
    IntergreenCheckResult& result = measured ? *measured : own;
    {
        // The wait cursor is the window's: the check itself runs without one too (phaseplanner-headless).
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct CursorBack {
            ~CursorBack() { QApplication::restoreOverrideCursor(); }
        } cursorBack;
        if (!CheckIntergreenTimes(ReportAll, ShowPairs, GraphGroup, &result)) return false;
    }
    // A check that left groups or pairs out says which, in every mode, and never that all is checked.
    const QString incomplete = IncompleteCheckText(result);
    if (!incomplete.isEmpty()) ui::MsgBox(incomplete, ui::Exclamation, windowTitle());
    if (!ShowPairs) {
        if (GraphGroup < 0 && incomplete.isEmpty())
            ui::MsgBox(tr_("Sprawdzono czasy międzyzielone."), ui::Information, windowTitle());
        return true;
    }
    if (CollisionPairs.empty()) {
        ui::MsgBox(tr_("Nie wykryto grup kolizyjnych!"), ui::Exclamation, windowTitle());
        return true;
    }
    if (AlwaysOnTop) common::SetFormTopmost(this, false);
    CollisionDialog dialog(CollisionPairs, RemoveCollisionPair, AlwaysOnTop, this);
    dialog.exec();
    if (AlwaysOnTop) common::SetFormTopmost(this, true);
    return true;
}

void MainWindow::mnuDane_Graf(bool allGroups, bool reportAll) {
    editor_->CommitCellEdit();
    if (!HasGroupRows) {
        ui::MsgBox(tr_("Tabela nie zawiera grup."), ui::Exclamation, windowTitle());
        return;
    }
    if (allGroups) {
        RunCheckCommand(reportAll, false, AllGroupsGraph);
        return;
    }
    // The graph of one group needs that group's row (after an import no row is current yet).
    const int index = grdGrupy->Row() >= 1 ? ZnajdzIdxGrupy(grdGrupy->Row() - 1) : -1;
    if (index < 0) {
        ui::MsgBox(tr_("Najpierw proszę wybrać grupę w tabeli."), ui::Exclamation, windowTitle());
        return;
    }
    RunCheckCommand(true, false, index);
}

void MainWindow::mnuDane_GrafWyczysc_Click() {
    phaseplanner::mnuDane_GrafWyczysc();
}

void MainWindow::mnu_Koordynacja_Click() {
    CoordinationWindow window(this);
    window.exec();
}

}  // namespace phaseplanner
