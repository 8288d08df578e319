// The stream commands in frmMain's menus and toolbars, and the window services they use.
#include "conflictor/mainwindow/StreamMenus.h"
#include "conflictor/mainwindow/ExportCommands.h"

#include "automation/CadConnection.h"
#include "common/TextHelpers.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/mainwindow/StreamCellEditor.h"
#include "conflictor/streams/ComponentPicking.h"
#include "conflictor/streams/HeadNames.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SelectedStreams.h"
#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamEditing.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/ViewCommands.h"
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

namespace {

// Every stream command shows the hourglass where it works on its own; the start point commands
// ask for it here, as the menu does.
void setStartPoint(bool swap) {
    MainWindow().setBusyCursor(true);
    struct Back {
        ~Back() { MainWindow().setBusyCursor(false); }
    } back;
    SetStartPoint(swap);
}

}  // namespace

// The button's picture from its row; the always-on-top button shows "FormOnTop" while the window stays
// on top.
QIcon ToolButtonIcon(const QString& key) {
    if (key == QLatin1String("FormOnTop")) return QIcon(QStringLiteral(":/icons/na-wierzchu.svg"));
    for (const ToolButtonRow& row : ToolButtonTable())
        if (row.icon && key == QLatin1String(row.key)) return QIcon(QString::fromUtf8(row.icon));
    return QIcon();
}

namespace {

#define HANDLER(call) +[](ConflictorWindow&) { call; }

}  // namespace

const std::vector<CommandRow>& StreamViewCommandRows() {
    using E = EnabledWhen;
    static const std::vector<CommandRow> rows{
        {"mnuWidok", "mnuWidok_Zaznacz", "Zaznacz", nullptr, nullptr, nullptr, E::StreamSelected},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczStrumien", "&strumień", nullptr, nullptr,
         HANDLER(mnuWidok_ZaznaczStrumien()), E::StreamSelected},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczGrupe", "&grupę", nullptr, nullptr,
         HANDLER(mnuWidok_ZaznaczGrupe()), E::StreamSelected},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczFaze", "&fazę", nullptr, nullptr,
         HANDLER(mnuWidok_ZaznaczFaze()), E::StreamSelected},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczAktywFaze", "&aktywną fazę", nullptr, nullptr,
         HANDLER(mnuWidok_ZaznaczAktywFaze()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_OdznaczStrumien", "&Odznacz strumień", nullptr, nullptr,
         HANDLER(mnuWidok_OdznaczStrumien()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_WskazStrumien", "Zaznacz/Odznacz wskazany na rysunku strumień", nullptr,
         nullptr, HANDLER(mnuWidok_WskazStrumien()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_OdznaczWszystkieStrumienie", "Odznacz &wszystkie strumienie", nullptr, nullptr,
         HANDLER(mnuWidok_OdznaczWszystkieStrumienie()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_Separator2", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuWidok", "mnuWidok_PokazFaze", "&Pokaż fazę (ukryj pozostałe)", nullptr, nullptr,
         HANDLER(mnuWidok_PokazFaze()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_PokazWszystkie", "Po&każ wszystkie strumienie", nullptr, nullptr,
         HANDLER(mnuWidok_PokazWszystkie()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_UkryjNiezaznaczone", "Ukryj wszystkie niezaznaczone strumienie", nullptr,
         nullptr, HANDLER(mnuWidok_UkryjNiezaznaczone()), E::StreamSelected},
        {"mnuWidok", "mnuWidok_Separator3", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuWidok", "mnuWidok_PokazOdcinki", "Pokaż odcinki strumie&nia", nullptr, nullptr,
         HANDLER(mnuWidok_PokazOdcinki()), E::Always},
        {"mnuWidok", "mnuWidok_PokazPunkty", "Pokaż punkt&y kolizji strumienia", nullptr, nullptr,
         HANDLER(mnuWidok_PokazPunkty()), E::Always},
    };
    return rows;
}

const std::vector<CommandRow>& StreamEditCommandRows() {
    using E = EnabledWhen;
    static const std::vector<CommandRow> rows{
        {"mnuEdycja", "mnuEdycja_NowyStrumien", "&Nowy strumień", nullptr, nullptr,
         HANDLER(mnuEdycja_NowyStrumien()), E::Always},
        {"mnuEdycja", "mnuEdycja_KopiujStrumien", "Kopiuj &strumień - tworzenie warunkowego", nullptr,
         nullptr, HANDLER(mnuEdycja_KopiujStrumien()), E::Always},
        {"mnuEdycja", "mnuEdycja_UsunStrumien", "&Usuń strumień", nullptr, nullptr,
         HANDLER(mnuEdycja_UsunStrumien()), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_Separator6", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuEdycja", "mnuEdycja_Pobierz", "&Pobierz nazwy strumieni z sygnalizatorów", nullptr, nullptr,
         HANDLER(mnuEdycja_Pobierz()), E::Always},
        {"mnuEdycja", "mnuEdycja_Separator1", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuEdycja", "mnuEdycja_WrysujSkladnik", "&Wrysuj składnik strumienia", nullptr, nullptr, nullptr,
         E::StreamSelected},
        {"mnuEdycja_WrysujSkladnik", "mnuEdycja_WrysujSkladnik_Odcinek", "&linia", nullptr, nullptr,
         HANDLER(DrawStreamComponent(Odcinek)), E::StreamSelected},
        {"mnuEdycja_WrysujSkladnik", "mnuEdycja_WrysujSkladnik_Luk", "ł&uk", nullptr, nullptr,
         HANDLER(DrawStreamComponent(Luk)), E::StreamSelected},
        {"mnuEdycja_WrysujSkladnik", "mnuEdycja_WrysujSkladnik_Kontynuacja", "&kontynuacja", nullptr, nullptr,
         HANDLER(DrawStreamComponent(Kontynuacja)), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_Separator2", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuEdycja", "mnuEdycja_DolaczSkladnik", "&Dołącz składnik", nullptr, nullptr,
         HANDLER(mnuEdycja_DolaczSkladnik()), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_WylaczSkladnik", "W&yłącz składnik", nullptr, nullptr,
         HANDLER(mnuEdycja_WylaczSkladnik()), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_Separator4", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuEdycja", "mnuEdycja_UstawPunktPoczatkowy", "U&staw punkt początkowy", nullptr, nullptr,
         HANDLER(setStartPoint(false)), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_ZamienPunktPoczatkowy", "&Zamień punkt początkowy", nullptr, nullptr,
         HANDLER(setStartPoint(true)), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_Separator5", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuEdycja", "mnuEdycja_ZaznaczoneDoGrupy", "Przypisz zaznaczone strumienie do &grupy", nullptr,
         nullptr, HANDLER(mnuEdycja_ZaznaczoneDoGrupy()), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_ZaznaczoneDoFazy", "Przypisz zaznaczone strumienie do &fazy", nullptr,
         nullptr, HANDLER(mnuEdycja_ZaznaczoneDoFazy()), E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_Sep6", "-", nullptr, nullptr, nullptr, E::Always},
    };
    return rows;
}

const std::vector<ToolbarRow>& StreamToolbarRows() {
    static const std::vector<ToolbarRow> rows{{"tlbPrzyciski"}, {"tlbPrzyciski2"}};
    return rows;
}

const std::vector<ToolButtonRow>& StreamToolButtonRows() {
    using E = EnabledWhen;
    static const std::vector<ToolButtonRow> rows{
        {"tlbPrzyciski", "ZaznaczStrumien", "mnuWidok_ZaznaczStrumien", "Zaznacz strumień",
         ":/icons/zaznacz-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "OdznaczStrumien", "mnuWidok_OdznaczStrumien", "Odznacz strumień",
         ":/icons/odznacz-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "WskazStrumien", "mnuWidok_WskazStrumien",
         "Zaznacz/Odznacz wskazany na rysunku strumień", ":/icons/wskaz-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "OdznaczWszystkie", "mnuWidok_OdznaczWszystkieStrumienie",
         "Odznacz wszystkie strumienie", ":/icons/odznacz-wszystkie.svg", E::StreamSelected},
        {"tlbPrzyciski", "Separator1", nullptr, nullptr, nullptr},
        {"tlbPrzyciski", "NowyStrumien", "mnuEdycja_NowyStrumien", "Nowy strumień",
         ":/icons/nowy-strumien.svg", E::Always},
        {"tlbPrzyciski", "UsunStrumien", "mnuEdycja_UsunStrumien", "Usuń strumień",
         ":/icons/usun-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "WrysujOdcinek", "mnuEdycja_WrysujSkladnik_Odcinek",
         "Wrysuj składnik strumienia - linia", ":/icons/wrysuj-odcinek.svg", E::StreamSelected},
        {"tlbPrzyciski", "DolaczSkladnik", "mnuEdycja_DolaczSkladnik", "Dołącz składnik",
         ":/icons/dolacz-skladnik.svg", E::StreamSelected},
        {"tlbPrzyciski", "WylaczSkladnik", "mnuEdycja_WylaczSkladnik", "Wyłącz składnik",
         ":/icons/wylacz-skladnik.svg", E::StreamSelected},
        {"tlbPrzyciski2", "UstawPoczatkowy", "mnuEdycja_UstawPunktPoczatkowy", "Ustaw punkt początkowy",
         ":/icons/ustaw-poczatkowy.svg", E::StreamSelected},
        {"tlbPrzyciski2", "ZamienPoczatkowy", "mnuEdycja_ZamienPunktPoczatkowy", "Zamień punkt początkowy",
         ":/icons/zamien-poczatkowy.svg", E::StreamSelected},
        {"tlbPrzyciski2", "Separator2", nullptr, nullptr, nullptr},
        {"tlbPrzyciski2", "Tnij", "mnuNarzedzia_TnijWszystkie", "Tnij i ustaw ziziro zedivir",
         ":/icons/tnij.svg", E::StreamSelected},
        {"tlbPrzyciski2", "Legenda", "mnuNarzedzia_UstawLegende", "Ustaw legendę", ":/icons/legenda.svg",
         E::Always},
        {"tlbPrzyciski2", "Konfiguracja", "mnuOpcje_Konfiguracja", "Konfiguracja", ":/icons/konfiguracja.svg",
         E::Always},
        {"tlbPrzyciski2", "FormNotOnTop", "mnuOpcje_ZawszeNaWierzchu", "Zawsze na wierzchu",
         ":/icons/nie-na-wierzchu.svg", E::Always},
        {"tlbPrzyciski2", "Separator3", nullptr, nullptr, nullptr},
        {"tlbPrzyciski2", "Pomoc", "mnuPomoc_Pomocnik", "Pomoc - F1", ":/icons/pomoc.svg", E::Always},
    };
    return rows;
}

const std::vector<ToolButtonMenuRow>& ToolButtonMenuTable() {
    static const std::vector<ToolButtonMenuRow> rows{
        {"ZaznaczStrumien", "ZaznaczStrumien", "mnuWidok_ZaznaczStrumien", "Zaznacz strumień"},
        {"ZaznaczStrumien", "ZaznaczGrupe", "mnuWidok_ZaznaczGrupe", "Zaznacz grupę"},
        {"ZaznaczStrumien", "ZaznaczFaze", "mnuWidok_ZaznaczFaze", "Zaznacz fazę"},
        {"ZaznaczStrumien", "ZaznaczAktywFaze", "mnuWidok_ZaznaczAktywFaze", "Zaznacz aktywną fazę"},
        {"WrysujOdcinek", "WrysujOdcinek", "mnuEdycja_WrysujSkladnik_Odcinek", "linia"},
        {"WrysujOdcinek", "WrysujLuk", "mnuEdycja_WrysujSkladnik_Luk", "łuk"},
        {"WrysujOdcinek", "WrysujKontynuacja", "mnuEdycja_WrysujSkladnik_Kontynuacja", "kontynuacja"},
        {"Tnij", "TnijWszystkie", "mnuNarzedzia_TnijWszystkie", "Tnij wszystkie strumienie"},
        {"Tnij", "TnijZaznaczone", "mnuNarzedzia_TnijZaznaczone", "Tnij zaznaczone strumienie"},
        // The export drop-down (its rows live with the export commands).
        ExportToolButtonMenuRows()[0],
        ExportToolButtonMenuRows()[1],
    };
    return rows;
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
