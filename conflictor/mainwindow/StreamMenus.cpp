// The toolbar buttons' pictures and drop-down menus of frmMain, and the window services of the stream
// commands.
#include "conflictor/mainwindow/StreamMenus.h"
#include "conflictor/mainwindow/CommandTable.h"

#include "automation/CadConnection.h"
#include "common/TextHelpers.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/mainwindow/StreamCellEditor.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace conflictor {

// The button's picture from its row; the always-on-top button shows "FormOnTop" while the window stays
// on top.
QIcon ToolButtonIcon(const QString& key) {
    if (key == QLatin1String("FormOnTop")) return QIcon(QStringLiteral(":/icons/na-wierzchu.svg"));
    for (const ToolButtonRow& row : ToolButtonTable())
        if (row.icon && key == QLatin1String(row.key)) return QIcon(QString::fromUtf8(row.icon));
    return QIcon();
}

void ConflictorWindow::toolbarHover(QAction* button) {
    // Two buttons say more in the panel than in their tool tips.
    static const QHash<QString, QString> hoverTexts{
        {QStringLiteral("WskazStrumien"), QStringLiteral("Zaznacz/Odznacz strumień na rysunku")},
        {QStringLiteral("Pomoc"), QStringLiteral("Pomoc")}};
    const QString key = button->objectName();
    panelStan->setText(common::Tlumacz(hoverTexts.value(key, button->toolTip())));
    if (!TimerDlaPaskaStatusu) {
        TimerDlaPaskaStatusu = new QTimer(this);
        TimerDlaPaskaStatusu->setObjectName(QStringLiteral("TimerDlaPaskaStatusu"));
        TimerDlaPaskaStatusu->setInterval(10);
        connect(TimerDlaPaskaStatusu, &QTimer::timeout, this, &ConflictorWindow::TimerDlaPaskaStatusu_Timer);
    }
    const bool firstBar = button->parent() == toolbars_.value(QStringLiteral("tlbPrzyciski"));
    // While a drawing command waits for the CAD, the first toolbar's text stays.
    if (firstBar && StreamWindow::DrawingInProgress) return;
    if (!TimerDlaPaskaStatusu->isActive()) TimerDlaPaskaStatusu->start();
}

void ConflictorWindow::TimerDlaPaskaStatusu_Timer() {
    const QWidget* under = QApplication::widgetAt(QCursor::pos());
    for (const QWidget* w = under; w; w = w->parentWidget())
        if (qobject_cast<const QToolBar*>(w)) return;
    panelStan->setText(DrawingName);
    TimerDlaPaskaStatusu->stop();
}

void ConflictorWindow::buildToolButtonMenus() {
    // The two toolbars stand one above the other, as wide as the narrow window.
    if (QToolBar* second = toolbars_.value(QStringLiteral("tlbPrzyciski2"))) insertToolBarBreak(second);
    for (QToolBar* bar : std::as_const(toolbars_)) bar->setIconSize(QSize(18, 18));
    for (QToolBar* bar : std::as_const(toolbars_))
        for (QAction* a : bar->actions())
            if (!a->isSeparator() && a->icon().isNull()) a->setIcon(ToolButtonIcon(a->objectName()));
    QHash<QString, QMenu*> menus;
    for (const ToolButtonMenuRow& row : ToolButtonMenuTable()) {
        const QString buttonKey = QString::fromUtf8(row.button);
        QAction* button = nullptr;
        for (QToolBar* bar : std::as_const(toolbars_))
            for (QAction* a : bar->actions())
                if (a->objectName() == buttonKey) button = a;
        if (!button) continue;
        QMenu* menu = menus.value(buttonKey);
        if (!menu) {
            menu = new QMenu(this);
            menu->setObjectName(buttonKey + QStringLiteral("_menu"));
            menus.insert(buttonKey, menu);
            // The button's own action carries the menu: its tool button shows that menu's entries at
            // the arrow and runs the action at the main part. Giving the tool button the menu as well
            // would list the action itself, a submenu holding the entries.
            button->setMenu(menu);
            for (QToolBar* bar : std::as_const(toolbars_))
                if (auto* tb = qobject_cast<QToolButton*>(bar->widgetForAction(button)))
                    tb->setPopupMode(QToolButton::MenuButtonPopup);
        }
        QAction* entry = menu->addAction(common::Tlumacz(QString::fromUtf8(row.text)));
        const QString key = QString::fromUtf8(row.key);
        entry->setObjectName(key);
        entry->setProperty("enabledWhen", button->property("enabledWhen"));
        const QString command = QString::fromUtf8(row.command);
        connect(entry, &QAction::triggered, this, [this, command] { RunCommand(command); });
        // A button and the entry of its menu may share a key; the button keeps the name.
        if (!actions_.contains(key)) actions_.insert(key, entry);
    }
}

// --- Window services of the stream commands ---

void ConflictorWindow::focusIntersectionCombo() {
    // While a command runs the box is disabled and cannot take the focus: it gets it at the end.
    if (commandsBlocked())
        comboFocusWanted_ = true;
    else
        cmbNo->setFocus();
}

void ConflictorWindow::clearSelectedStream() {
    StreamWindow::clearSelectedStream();
    lblWybranyStrumien->setText(QString());
    UpdateCommandStates(false);
}

void ConflictorWindow::setBusyCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void ConflictorWindow::commandsBlockedChanged(bool blocked) {
    // While a long operation lets the message loop run, nothing else may start. Disabling the grid
    // moves the focus away: it goes back where it was (or into the intersection box when a command
    // asked for a valid number) once the command is over.
    // A command started while a cell was being edited (a click on a cell opens its editor) gives the
    // keyboard back to that cell, so the next digit typed edits it again.
    if (blocked) {
        focusBeforeCommand_ = focusWidget();
        editorOpenBeforeCommand_ = gridEditor->isOpen();
        gridFocusBeforeCommand_ =
            editorOpenBeforeCommand_ || focusBeforeCommand_ == grdStrumienie || focusBeforeCommand_ == txtEdit;
        comboFocusWanted_ = false;
    }
    menuBar()->setEnabled(!blocked);
    for (QToolBar* bar : std::as_const(toolbars_)) bar->setEnabled(!blocked);
    grdStrumienie->setEnabled(!blocked);
    cmbNo->setEnabled(!blocked);
    if (!blocked) {
        if (comboFocusWanted_)
            cmbNo->setFocus();
        else if (gridFocusBeforeCommand_)
            focusGridCell(editorOpenBeforeCommand_);
        else if (focusBeforeCommand_ && focusBeforeCommand_->isEnabled())
            focusBeforeCommand_->setFocus();
        comboFocusWanted_ = false;
        gridFocusBeforeCommand_ = editorOpenBeforeCommand_ = false;
        focusBeforeCommand_ = nullptr;
    }
}

void ConflictorWindow::focusGridCell(bool reopenEditor) {
    if (gridEditor->isOpen()) {
        txtEdit->setFocus();
        return;
    }
    grdStrumienie->setFocus();
    const bool dataCell = grdStrumienie->Row() >= grdStrumienie->FixedRows() && !GridStreamName.isEmpty();
    if (reopenEditor && dataCell && !CellReadOnly) gridEditor->BeginCellEdit(32);
}

void ConflictorWindow::followDrawingName() {
    if (TimerKolor->isActive() || commandsBlocked() || automation::CadApplication.isNull()) return;
    QString name;
    try {
        name = automation::CadApplication.activeDocument().name();
    } catch (const std::exception&) {
        return;  // no drawing or no CAD: the panel keeps the name it has, the commands tell why
    }
    if (name == DrawingName) return;
    const bool showingName = StatusText == DrawingName;
    DrawingName = name;
    if (!showingName) return;
    StatusText = name;
    // A hover text stays until the mouse leaves the toolbars; the timer then shows the new name.
    if (!(TimerDlaPaskaStatusu && TimerDlaPaskaStatusu->isActive())) panelStan->setText(name);
}

void ConflictorWindow::removeGridRow(int index) {
    DodajStrumienDoGrida(-1);
    if (StreamTable.empty()) {
        GridStreamName.clear();
        GridStreamIndex = -1;
        lblWybranyStrumien->setText(QString());
        UpdateCommandStates(false);
        return;
    }
    SelectGridRowOfStreamIndex(std::min(index, int(StreamTable.size()) - 1));
}

void ConflictorWindow::stopStatusRestore() {
    if (TimerDlaPaskaStatusu) TimerDlaPaskaStatusu->stop();
}

void ConflictorWindow::commitPendingEdit() {
    GridLeaveCell();
}

}  // namespace conflictor
