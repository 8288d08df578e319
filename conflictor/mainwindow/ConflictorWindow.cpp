// frmMain: its controls and layout, the menus from the command table, the dispatcher, the intersection
// selector, the details button, the status panel and the services the stream model calls.
#include "conflictor/mainwindow/ConflictorWindow.h"

#include "automation/CadConnection.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "common/ui/MouseWheelHook.h"
#include "conflictor/conflicts/DrawingUnits.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/dialogs/StreamDialogHooks.h"
#include "conflictor/mainwindow/CommandContext.h"
#include "conflictor/mainwindow/CommandTable.h"
#include "conflictor/mainwindow/ExportCommands.h"
#include "conflictor/mainwindow/StreamCellEditor.h"
#include "conflictor/mainwindow/StreamGridRules.h"
#include "conflictor/mainwindow/WindowCommands.h"
#include "conflictor/streams/CommandGuard.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace conflictor {

using common::Tlumacz;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

ConflictorWindow::ConflictorWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    IntersectionComboActive = false;
    buildControls();
    buildMenus();
    buildToolbars();
    buildToolButtonMenus();
    AddExportDeveloperButton(*this);
    InstallStreamDialogs(this);
    // The check of "SKALA" opens the settings over whichever window is the program's main one.
    OpenScaleSettings = [](int proposal) {
        auto* main = dynamic_cast<ConflictorWindow*>(&MainWindow());
        return main && ChangeDrawingScale(*main, proposal);
    };
    TimerKolor = new QTimer(this);
    TimerKolor->setObjectName(QStringLiteral("TimerKolor"));
    TimerKolor->setInterval(300);
    connect(TimerKolor, &QTimer::timeout, this, &ConflictorWindow::TimerKolor_Timer);
    resize(WindowWidth / TwipsPerPixel, 8400 / TwipsPerPixel);
}

ConflictorWindow::~ConflictorWindow() {
    if (&MainWindow() == static_cast<StreamWindow*>(this)) SetStreamWindow(nullptr);
    common::UnhookMouseWheel(this);
}

void ConflictorWindow::buildControls() {
    central_ = new QWidget;
    central_->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central_);
    auto* layout = new QVBoxLayout(central_);
    layout->setContentsMargins(8, 6, 8, 4);

    auto* top = new QHBoxLayout;
    labNo = new QLabel(QStringLiteral("Nr skrzyż.:"));
    labNo->setObjectName(QStringLiteral("labNo"));
    cmbNo = new QComboBox;
    cmbNo->setObjectName(QStringLiteral("cmbNo"));
    cmbNo->setEditable(false);  // a list of the drawing's intersections, not free text
    cmbNo->setMinimumWidth(90);
    cmdAddNo = new QPushButton(QStringLiteral("+"));
    cmdAddNo->setObjectName(QStringLiteral("cmdAddNo"));
    cmdAddNo->setFixedWidth(28);
    cmdAddNo->setToolTip(Tlumacz(QStringLiteral("Dodaj nowe skrzyżowanie")));
    top->addWidget(labNo);
    top->addWidget(cmbNo, 1);
    top->addWidget(cmdAddNo);
    layout->addLayout(top);

    auto* selected = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("Wybrany strumień:"));
    Label1->setObjectName(QStringLiteral("Label1"));
    lblWybranyStrumien = new QLabel(QStringLiteral("Nazwa wybranego"));
    lblWybranyStrumien->setObjectName(QStringLiteral("lblWybranyStrumien"));
    QFont bold = lblWybranyStrumien->font();
    bold.setBold(true);
    lblWybranyStrumien->setFont(bold);
    selected->addWidget(Label1);
    selected->addWidget(lblWybranyStrumien, 1);
    layout->addLayout(selected);

    grdStrumienie = new ui::FlexGrid;
    grdStrumienie->setObjectName(QStringLiteral("grdStrumienie"));
    grdStrumienie->setCols(GridColumnCount);
    grdStrumienie->setRows(1);
    for (int c = 0; c < GridColumnCount; ++c)
        grdStrumienie->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(grdStrumienie, 1);
    gridEditor = new StreamCellEditor(*this);
    txtEdit = gridEditor->editor();

    auto* bottom = new QHBoxLayout;
    cmdBig = new QPushButton(QStringLiteral("Pokaż szczegóły >"));
    cmdBig->setObjectName(QStringLiteral("cmdBig"));
    cmdZmienJednostki = new QPushButton(QStringLiteral("Zmień na: km/h"));
    cmdZmienJednostki->setObjectName(QStringLiteral("cmdZmienJednostki"));
    cmdZmienJednostki->setToolTip(Tlumacz(QStringLiteral("Jednostka prędkości w tabeli strumieni")));
    bottom->addWidget(cmdBig);
    bottom->addWidget(cmdZmienJednostki);
    cmdZmienJednostki->setVisible(false);  // shown with the details
    pbPostep = new QProgressBar;
    pbPostep->setObjectName(QStringLiteral("pbPostep"));
    pbPostep->setTextVisible(false);
    pbPostep->setVisible(false);
    bottom->addWidget(pbPostep, 1);
    bottom->addStretch(1);
    layout->addLayout(bottom);

    sbrMain = new QStatusBar;
    sbrMain->setObjectName(QStringLiteral("sbrMain"));
    panelStan = new QLabel;
    panelStan->setObjectName(QStringLiteral("Stan"));
    panelStan->setToolTip(QStringLiteral("Informacje o stanie programu"));
    panelStan->setMinimumWidth(60);
    sbrMain->addWidget(panelStan, 1);
    setStatusBar(sbrMain);

    // Every control's work runs guarded like the menu commands: a CAD that went away is told, and
    // the flashing notice and the cursor are taken back.
    const auto windowCleanUp = [this] {
        if (TimerKolor->isActive()) StopPanelFlash();
        setStatusText(DrawingName);
    };
    connect(cmbNo, QOverload<int>::of(&QComboBox::activated), this,
            [this, windowCleanUp] { RunGuarded([this] { cmbNo_Click(); }, caption(), windowCleanUp); });
    cmbNo->installEventFilter(this);
    connect(cmdAddNo, &QPushButton::clicked, this,
            [this, windowCleanUp] { RunGuarded([this] { cmdAddNo_Click(); }, caption(), windowCleanUp); });
    connect(cmdBig, &QPushButton::clicked, this, Guarded(this, [this] { cmdBig_Click(); }));
    connect(cmdZmienJednostki, &QPushButton::clicked, this, Guarded(this, [this] { cmdZmienJednostki_Click(); }));
    connect(grdStrumienie, &ui::FlexGrid::cellEntered, this, Guarded(this, [this] { GridEnterCell(); }));
    connect(grdStrumienie, &ui::FlexGrid::cellLeft, this, [this](int row, int col) {
        if (row >= grdStrumienie->FixedRows() && row < grdStrumienie->Rows() &&
            grdStrumienie->FixedRows() > 0)
            grdStrumienie->setCellBackColor(row, col, DefaultCellBackColor);
    });
}

void ConflictorWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QHash<QString, QMenu*> menus;
    for (const MenuBarRow& row : MenuBarTable()) {
        const QString name = utf8(row.objectName);
        if (row.handler) {
            auto* act = bar->addAction(utf8(row.label));
            act->setObjectName(name);
            act->setProperty("enabledWhen", int(row.enabledWhen));
            connect(act, &QAction::triggered, this, [this, name] { RunCommand(name); });
            actions_.insert(name, act);
            continue;
        }
        auto* m = new QMenu(utf8(row.label), this);
        m->setObjectName(name);
        menus.insert(name, m);
    }
    // Submenus first appear as rows without a handler; they become menus inside their parent.
    for (const CommandRow& row : CommandTable()) {
        const QString parentName = utf8(row.menu);
        QMenu* parent = menus.value(parentName);
        if (!parent) continue;
        const QString label = utf8(row.label);
        const QString name = utf8(row.objectName);
        if (label == QStringLiteral("-")) {
            parent->addSeparator()->setObjectName(name);
            continue;
        }
        if (!row.handler) {
            QMenu* sub = parent->addMenu(label);
            sub->setObjectName(name);
            sub->menuAction()->setObjectName(name);
            sub->menuAction()->setProperty("enabledWhen", int(row.enabledWhen));
            menus.insert(name, sub);
            actions_.insert(name, sub->menuAction());
            continue;
        }
        QAction* act = parent->addAction(label);
        act->setObjectName(name);
        act->setCheckable(row.checkable);
        act->setProperty("enabledWhen", int(row.enabledWhen));
        connect(act, &QAction::triggered, this, [this, name] { RunCommand(name); });
        actions_.insert(name, act);
    }
    for (const MenuBarRow& row : MenuBarTable()) {
        QMenu* m = menus.value(utf8(row.objectName));
        if (m && !m->isEmpty())
            bar->addMenu(m);
        else if (row.handler)
            bar->addAction(actions_.value(utf8(row.objectName)));
    }
    menus_ = menus;
}

void ConflictorWindow::buildToolbars() {
    for (const ToolbarRow& row : ToolbarTable()) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(utf8(row.objectName));
        bar->setMovable(false);
        addToolBar(bar);
        toolbars_.insert(bar->objectName(), bar);
    }
    for (const ToolButtonRow& row : ToolButtonTable()) {
        QToolBar* bar = toolbars_.value(utf8(row.toolbar));
        if (!bar) continue;
        if (!row.command) {
            bar->addSeparator();
            continue;
        }
        const QString command = utf8(row.command);
        QAction* act = bar->addAction(row.icon ? QIcon(utf8(row.icon)) : QIcon(), utf8(row.tooltip));
        act->setObjectName(utf8(row.key));
        act->setToolTip(utf8(row.tooltip));
        act->setProperty("enabledWhen", int(row.enabledWhen));
        connect(act, &QAction::triggered, this, [this, command] { RunCommand(command, true); });
        connect(act, &QAction::hovered, this, [this, act] { toolbarHover(act); });
        actions_.insert(act->objectName(), act);
    }
}

bool ConflictorWindow::RunCommand(const QString& id, bool quiet) {
    // Menus, toolbar buttons and button menus alike report an unexpected failure: a failure the
    // user never sees would leave them believing the command worked.
    (void)quiet;
    CommandContext context{*this, this, ResourceFolder};
    context.ShowSavedWorkbook = [this](const QString& path) { ShowSavedWorkbook(caption(), path); };
    context.OfferCutOnStaleExport = true;
    CommandRun run = CommandRun::Unknown;
    const bool done = RunStreamCommand([&] { run = RunTableCommand(id, context); },
                                       [this] {
                                           while (QApplication::overrideCursor())
                                               QApplication::restoreOverrideCursor();
                                           if (TimerKolor->isActive()) StopPanelFlash();
                                       });
    followDrawingName();
    return done && run == CommandRun::Ran;
}

void ConflictorWindow::UpdateCommandStates(bool enabled) {
    const auto switched = [](const QAction* act) {
        return act->property("enabledWhen").toInt() == int(EnabledWhen::StreamSelected);
    };
    for (QAction* act : std::as_const(actions_))
        if (switched(act)) act->setEnabled(enabled);
    // The drop-down buttons as a whole, their arrows and every entry of their menus: an entry may
    // share its button's key and so be missing from the actions by name.
    for (QToolBar* bar : std::as_const(toolbars_))
        for (QAction* act : bar->actions()) {
            if (!switched(act)) continue;
            if (QWidget* button = bar->widgetForAction(act)) button->setEnabled(enabled);
            if (QMenu* m = act->menu())
                for (QAction* entry : m->actions())
                    if (switched(entry)) entry->setEnabled(enabled);
        }
}

// --- StreamWindow services ---

QString ConflictorWindow::caption() const {
    return windowTitle();
}

void ConflictorWindow::setGridRedraw(bool on) {
    grdStrumienie->setUpdatesEnabled(on);
}

void ConflictorWindow::clearIntersections() {
    cmbNo->clear();
}

void ConflictorWindow::addIntersection(const QString& number) {
    cmbNo->addItem(number);
}

int ConflictorWindow::intersectionCount() const {
    return cmbNo->count();
}

QString ConflictorWindow::intersectionText(int index) const {
    return cmbNo->itemText(index);
}

void ConflictorWindow::selectIntersection(int index) {
    cmbNo->setCurrentIndex(index);
    // Choosing an entry is a click on the selector, which acts only while it is active.
    if (IntersectionComboActive) cmbNo_Click();
}

void ConflictorWindow::setStatusText(const QString& text) {
    StatusText = text;
    if (!TimerKolor->isActive()) panelStan->setText(text);
}

QString ConflictorWindow::statusDefaultText() const {
    return DrawingName;
}

void ConflictorWindow::showWindow() {
    show();
    raise();
    activateWindow();
}

void ConflictorWindow::hideWindow() {
    hide();
}

// --- Status panel ---

void ConflictorWindow::StartPanelFlash(const QString& notice) {
    FlashText = notice;
    TimerKolor->start();
    TimerKolor_Timer();
}

void ConflictorWindow::StopPanelFlash() {
    TimerKolor->stop();
    panelStan->setPixmap(QPixmap());
    panelStan->setText(StatusText);
}

void ConflictorWindow::TimerKolor_Timer() {
    const QColor back = FlashPhase ? QColor(0, 0, 128) : QColor(255, 255, 0);
    const QColor fore = FlashPhase ? QColor(255, 255, 255) : QColor(0, 0, 0);
    PaintStatusPanel(1, FlashText, back, fore);
    FlashPhase = !FlashPhase;
}

void ConflictorWindow::PaintStatusPanel(int panel, const QString& text, const QColor& back,
                                        const QColor& fore) {
    if (panel < 1) return;
    const QSize size = panelStan->size().expandedTo(QSize(1, 1));
    const qreal ratio = panelStan->devicePixelRatioF();
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(back);
    QPainter p(&picture);
    p.setFont(sbrMain->font());
    p.setPen(fore);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" ") + text);
    p.end();
    panelStan->setPixmap(picture);
}

// --- Intersection selector and window controls ---

void ConflictorWindow::cmbNo_Click() {
    if (!IntersectionComboActive) return;
    GridLeaveCell();
    IntersectionNumber = cmbNo->currentText();
    if (!automation::CheckDocumentOpen(false)) {
        ClearStreamGrid();
        return;
    }
    StreamTable.assign(1, StreamRecord{});
    GridStreamName.clear();
    GridStreamIndex = -1;
    ClearStreamGrid();
    GridEnterCell();
    StartPanelFlash(Tlumacz(QStringLiteral("Trwa odczyt strumieni z rysunku ...")));
    yieldToMessageLoop();
    OdczytajStrumienie(true, -1);
    StopPanelFlash();
    try {
        DrawingName = automation::CadApplication.activeDocument().name();
    } catch (const cad::Error&) {
        // The status panel then shows no drawing's name; the streams above were read from the
        // drawing (or their reading said why not).
    }
    setStatusText(DrawingName);
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void ConflictorWindow::cmdAddNo_Click() {
    if (!automation::CheckDocumentOpen(true)) return;
    const int before = cmbNo->count();
    IntersectionComboActive = false;  // the new entry is read below, once
    const bool given = AskIntersectionNumber(true);
    IntersectionComboActive = true;
    if (!given || cmbNo->count() <= before) return;
    cmbNo_Click();
    QString handle;
    DodajAtrStrumieni(IntersectionBlockPrefix() + IntersectionNumber, handle);
    showWindow();
}

void ConflictorWindow::cmdBig_Click() {
    DetailsShown = !DetailsShown;
    cmdBig->setText(DetailsShown ? QStringLiteral("< Ukryj szczegóły") : QStringLiteral("Pokaż szczegóły >"));
    cmdZmienJednostki->setVisible(DetailsShown);  // it switches the units of the detail columns
    ShowKinematicColumns(DetailsShown);
    ResizeLayout();
}

void ConflictorWindow::cmdZmienJednostki_Click() {
    common::SettingBindings[3].Value = SpeedsInKmh() ? 0 : 1;
    cmdZmienJednostki->setText(SpeedsInKmh() ? QStringLiteral("Zmień na: m/s")
                                             : QStringLiteral("Zmień na: km/h"));
    GridLeaveCell();
    DodajStrumienDoGrida(-1);
}

void ConflictorWindow::ResizeLayout() {
    WindowWidth = DetailsShown ? 9000 : 4650;
    if (isMinimized()) return;
    const int width = WindowWidth / TwipsPerPixel;
    setMinimumHeight(5000 / TwipsPerPixel);
    if (minimumWidth() != width || maximumWidth() != width) setFixedWidth(width);
}

bool ConflictorWindow::MouseWheel(int keys, int delta, int x, int y) {
    if (focusWidget() != grdStrumienie) return false;
    common::ScrollGridByWheel(grdStrumienie, keys, delta, x, y);
    return true;
}

bool ConflictorWindow::MovingRowFromEditor() const {
    return gridEditor->MovingRow();
}

void ConflictorWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResizeLayout();
}

void ConflictorWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Coming back from the CAD, where the drawing may have been saved under another name.
        if (!FirstActivation) followDrawingName();
        if (FirstActivation) {
            FirstActivation = false;
            if (common::AlwaysOnTop) {
                common::AlwaysOnTop = false;
                RunCommand(QStringLiteral("mnuOpcje_ZawszeNaWierzchu"));
            }
        }
    }
}

void ConflictorWindow::mousePressEvent(QMouseEvent* event) {
    CommitCellEdit();
    QMainWindow::mousePressEvent(event);
}

bool ConflictorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmbNo && event->type() == QEvent::FocusOut && cmbNo->count() > 0)
        IntersectionNumber = cmbNo->currentText();
    return QMainWindow::eventFilter(watched, event);
}

void ConflictorWindow::closeEvent(QCloseEvent* event) {
    ShutDown();
    QMainWindow::closeEvent(event);
}

// The progress bar of long operations (the cut) and the buttons it stands in for while shown.
void ConflictorWindow::setProgressMaximum(int maximum) {
    pbPostep->setMaximum(std::max(0, maximum));
}

void ConflictorWindow::setProgressValue(int value) {
    pbPostep->setValue(std::clamp(value, pbPostep->minimum(), pbPostep->maximum()));
}

int ConflictorWindow::progressValue() const {
    return pbPostep->value();
}

void ConflictorWindow::setProgressVisible(bool on) {
    pbPostep->setVisible(on);
}

void ConflictorWindow::setBigButtonVisible(bool on) {
    cmdBig->setVisible(on);
}

void ConflictorWindow::setUnitsButtonVisible(bool on) {
    cmdZmienJednostki->setVisible(on);
}

}  // namespace conflictor
