// frmMain: menus and toolbar from the command table, the dispatcher guard, the window's own commands
// (always on top, help, about box) and the group commands.
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "common/ui/AboutDialog.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/CadReconnect.h"
#include "phaseplanner/app/CommandTable.h"
#include "phaseplanner/app/GreenTimeDialog.h"
#include "phaseplanner/app/GroupCommands.h"
#include "phaseplanner/app/GroupDialog.h"
#include "phaseplanner/app/GroupGridEditor.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/ParametersDialog.h"
#include "phaseplanner/drawing/PhaseTable.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace phaseplanner {

int CurrentGroupIndex = -1;
bool RefreshAllGroups = false;

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// A toolbar picture named by its row (a resource path); the always-on-top button's second picture.
QIcon imageOf(const char* resource) {
    return resource ? QIcon(QString::fromLatin1(resource)) : QIcon();
}
const char* const OnTopImage = ":/icons/na-wierzchu.svg";
const char* const NotOnTopImage = ":/icons/nie-na-wierzchu.svg";
}  // namespace

void MainWindow::buildCommands() {
    QHash<QString, QMenu*> menus;
    for (const MenuRow& m : MenuTable()) {
        QMenu* menu = new QMenu(tr_(m.label), this);
        menu->setObjectName(QString::fromLatin1(m.objectName));
        menus.insert(menu->objectName(), menu);
    }
    for (const CommandRow& row : CommandTable()) {
        if (!row.menu) continue;
        QMenu* menu = menus.value(QString::fromLatin1(row.menu));
        if (!menu) continue;
        if (QString::fromLatin1(row.label) == QLatin1String("-")) {
            menu->addSeparator()->setObjectName(QString::fromLatin1(row.objectName));
            continue;
        }
        if (!row.handler) {  // a submenu
            QMenu* sub = menu->addMenu(tr_(row.label));
            sub->setObjectName(QString::fromLatin1(row.objectName));
            menus.insert(sub->objectName(), sub);
            continue;
        }
        QAction* a = menu->addAction(tr_(row.label));
        a->setObjectName(QString::fromLatin1(row.objectName));
        a->setCheckable(row.checkable);
        if (row.shortcut) {
            a->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            a->setShortcutContext(Qt::ApplicationShortcut);
        }
        const QString name = a->objectName();
        connect(a, &QAction::triggered, this, [this, name] { RunCommand(name); });
    }
    for (const MenuRow& m : MenuTable()) {
        QMenu* menu = menus.value(QString::fromLatin1(m.objectName));
        if (!menu->actions().isEmpty()) menuBar()->addMenu(menu);
    }
    // Kept out of the user's reach for the whole run: the preliminary parameters run only as a command.
    if (auto* hidden = findChild<QAction*>(QStringLiteral("mnuGrupa_ExcelWstepne")))
        hidden->setVisible(false);

    tlbPrzyciski = addToolBar(tr_("Przyciski"));
    tlbPrzyciski->setObjectName(QStringLiteral("tlbPrzyciski"));
    tlbPrzyciski->setMovable(false);
    QHash<QString, QMenu*> dropDowns;
    for (const ToolButtonRow& row : ToolButtonTable()) {
        const QString key = QString::fromLatin1(row.key);
        const QString command = QString::fromLatin1(row.command);
        if (row.parentKey) {  // a drop-down entry of a button
            QMenu* menu = dropDowns.value(QString::fromLatin1(row.parentKey));
            if (!menu) continue;
            QAction* entry = menu->addAction(tr_(row.text));
            entry->setObjectName(key);
            connect(entry, &QAction::triggered, this, [this, command] { RunCommand(command); });
            continue;
        }
        auto* button = new QToolButton(tlbPrzyciski);
        button->setObjectName(key);
        button->setToolTip(tr_(row.text));
        button->setIcon(imageOf(row.icon));
        connect(button, &QToolButton::clicked, this, [this, command] { RunCommand(command); });
        // A button gets its drop-down part when an entry names it.
        for (const ToolButtonRow& other : ToolButtonTable()) {
            if (!other.parentKey || key != QLatin1String(other.parentKey)) continue;
            auto* menu = new QMenu(button);
            button->setMenu(menu);
            button->setPopupMode(QToolButton::MenuButtonPopup);
            dropDowns.insert(key, menu);
            break;
        }
        tlbPrzyciski->addWidget(button);
    }
}

void MainWindow::RunCommand(const QString& commandName) {
    auto run = [this, commandName] {
        CommandContext context;
        context.window = this;
        RunTableCommand(commandName, context);
    };
    // Ending the program writes only the settings and leaves the drawing as it is: a host gone
    // meanwhile does not keep the program open.
    if (commandName == QLatin1String("mnuPlik_Zakoncz")) {
        RunTrapped(windowTitle(), run);
        return;
    }
    // A CAD host that went away since the last command: connect again before this one runs.
    RunGuarded(windowTitle(), run);
}

void MainWindow::setToolbarOnTopImage() {
    if (auto* b = tlbPrzyciski->findChild<QToolButton*>(QStringLiteral("FormNotOnTop")))
        b->setIcon(imageOf(AlwaysOnTop ? OnTopImage : NotOnTopImage));
}

void MainWindow::mnuNarzedzia_NaWierzchu_Click() {
    AlwaysOnTop = !AlwaysOnTop;
    if (auto* a = findChild<QAction*>(QStringLiteral("mnuNarzedzia_NaWierzchu"))) a->setChecked(AlwaysOnTop);
    setToolbarOnTopImage();
    common::SetFormTopmost(this, AlwaysOnTop);
}

void MainWindow::mnuPomoc_Pomocnik_Click() {
    // As F1 in the program's active window: the page of its help context.
    if (common::ShowHelpForActiveWindow(HelpContext)) return;
    // No browser (or no page): the user is told where the page is, so it can be opened by hand.
    ui::MsgBox(common::HelpNotOpenedText(common::HelpContextOf(QApplication::activeWindow()), HelpContext),
               ui::Exclamation, windowTitle());
}

void MainWindow::mnuPomoc_OProgramie_Click() {
    common::AboutDialog box(this);
    box.ProgramTitle = ProgramTitleText();
    box.ProgramName = ProgramTitleText();
    box.exec();
}

void MainWindow::mnuDane_Parametry_Click() {
    ParametersDialog dialog(*this);
    dialog.exec();
}

void MainWindow::mnuNarzedzia_Konf_Click() {
    editor_->CommitCellEdit();
    GreenTimeDialog dialog(*this);
    dialog.ComputePhases = [] { return RysujFazy(true); };
    dialog.exec();
}

namespace {
QString cycleMessage(bool withMaximum) {
    QString text = tr_("Nieprawidłowa wartość długości cyklu!") + QLatin1Char('\n') +
                   tr_("Minimalna długość cyklu wynosi: ") + QString::number(MinCycleLength) + tr_(" [s]");
    if (withMaximum)
        text += QLatin1Char('\n') + tr_("Maksymalna długość cyklu wynosi: ") +
                QString::number(MaxCycleLength) + tr_(" [s]");
    return text;
}
}  // namespace

void MainWindow::AddOrCopyGroup(int source) {
    editor_->CommitCellEdit();
    CycleLength = common::ParseInteger(edtCzasCyklu->text());
    if (!IsCycleLengthValid(CycleLength)) {
        ui::MsgBox(cycleMessage(true), ui::Critical, windowTitle());
        edtCzasCyklu->setFocus();
        return;
    }
    CurrentGroupIndex = source;
    GroupDialog dialog(*this, true);
    dialog.exec();
    if (dialog.DialogResult != 1) return;
    if (RefreshAllGroups) {
        FillGroupGrid();
    } else {
        appendGroupRow();
        SprawdzKolumny();
        FillGroupRow(grdGrupy->Rows() - 1, false);
    }
    ComputeProgramStates(false);
}

void MainWindow::mnuGrupa_Dodaj_Click() {
    AddOrCopyGroup(-1);
}

void MainWindow::mnuGrupa_Kopiuj_Click() {
    // Nothing to copy without a group row.
    const int source = HasGroupRows ? ZnajdzIdxGrupy(grdGrupy->Row() - 1) : -1;
    if (source < 0) return;
    AddOrCopyGroup(source);
}

void MainWindow::mnuGrupa_Edytuj_Click() {
    editor_->CommitCellEdit();
    if (grdGrupy->Row() < 1 || !HasGroupRows) return;
    const int index = ZnajdzIdxGrupy(grdGrupy->Row() - 1);
    if (index < 0) return;
    CycleLength = common::ParseInteger(edtCzasCyklu->text());
    if (CycleLength < MinCycleLength) {
        ui::MsgBox(cycleMessage(false), ui::Critical, windowTitle());
        edtCzasCyklu->setFocus();
        return;
    }
    CurrentGroupIndex = index;
    const int row = grdGrupy->Row();
    GroupDialog dialog(*this, false);
    dialog.exec();
    if (dialog.DialogResult != 1) return;
    if (!RefreshAllGroups) {
        SprawdzKolumny();
        FillGroupRow(row, false);
    } else {
        FillGroupGrid();
    }
    ComputeProgramStates(false);
}

void MainWindow::mnuGrupa_Usun_Click() {
    editor_->CommitCellEdit();
    if (grdGrupy->Row() < 1 || !HasGroupRows) return;
    const int index = ZnajdzIdxGrupy(grdGrupy->Row() - 1);
    if (index < 0) return;
    if (ui::MsgBox(tr_("Czy na pewno usunąć grupę?"), ui::YesNo | ui::Exclamation, windowTitle()) != ui::Yes)
        return;
    GroupTable[index].Defined = false;
    if (grdGrupy->Rows() != 2) {
        grdGrupy->removeRowAt(grdGrupy->Row());
        for (int r = 1; r < grdGrupy->Rows(); ++r) grdGrupy->setTextMatrix(r, 0, QString::number(r));
    } else {
        HasGroupRows = false;
        for (int c = 0; c <= LastColumn; ++c) {
            grdGrupy->setTextMatrix(1, c, QString());
            grdGrupy->setCellBackColor(1, c, SavedCellColor);
        }
    }
    SprawdzKolumny();
    ComputeProgramStates(false);
}

}  // namespace phaseplanner
