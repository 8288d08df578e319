// The main window: its widgets, menus and prompt line, and what the user does in the view.
#include "cadhost/MainWindow.h"

#include "cadhost/EditMenus.h"
#include "cadhost/Grips.h"
#include "cadhost/InputParser.h"
#include "cadhost/PropertiesDialog.h"
#include "cadhost/SocketServer.h"
#include "cadhost/SymbolPalette.h"
#include "cadhost/TextEditing.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/Commands.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace cadhost {

using cad::CallKind;
using cad::DocumentState;
using cad::Input;
using cad::Variant;

MainWindow::MainWindow(cad::ObjectModel& model, HostInteraction& interaction, QWidget* parent)
    : QMainWindow(parent),
      model_(model),
      interaction_(interaction),
      launcher_(QCoreApplication::applicationDirPath()),
      programWindows_(this),
      symbolFolder_(QCoreApplication::applicationDirPath() +
                    QStringLiteral("/../../aZasoby/Sygnalizacja/Sygnalizatory")),
      view_(new DrawingView),
      prompt_(new QLabel),
      message_(new QLabel),
      layers_(new LayerPanel(model)),
      hostCommands_(model, view_),
      input_(new QLineEdit),
      coords_(new QLabel),
      snap_(new QLabel),
      refresh_(new QTimer(this)) {
    setWindowTitle(Title());
    resize(1200, 800);
    buildLayout();
    connect(layers_, &LayerPanel::layersChanged, this, [this] {
        model_.closeUndoSteps();  // each change in the panel is a step of its own
        syncDocuments();
        scheduleRefresh(Change::Look);
    });
    hostCommands_.setEraser([this] { return eraseSelection(); });
    hostCommands_.setPropertiesEditor([this] { return editSelectionProperties(); });
    interaction_.setWindowCommand([this] { return hostCommands_.active(); });
    buildMenus();
    connectView();
    followChanges();
    updatePrompt();
    syncDocuments();
}

void MainWindow::buildLayout() {
    auto* central = new QWidget;
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(view_, 1);
    message_->setObjectName(QStringLiteral("lblMessage"));
    message_->setContentsMargins(6, 2, 6, 0);
    v->addWidget(message_);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(6, 3, 6, 3);
    prompt_->setObjectName(QStringLiteral("lblPrompt"));
    input_->setObjectName(QStringLiteral("txtPrompt"));
    line->addWidget(prompt_);
    line->addWidget(input_, 1);
    v->addLayout(line);
    setCentralWidget(central);
    input_->installEventFilter(this);
    programWindows_.setKeptClear({menuBar(), message_, prompt_, input_});
    // Keys typed in the panels reach the prompt line (typedToPrompt).
    qApp->installEventFilter(this);

    coords_->setObjectName(QStringLiteral("lblCoords"));
    coords_->setMinimumWidth(260);
    statusBar()->addPermanentWidget(coords_);
    statusBar()->addPermanentWidget(snap_);
    snap_->setText(QStringLiteral("OSNAP (F3): wł."));

    addDockWidget(Qt::RightDockWidgetArea, layers_);
}

void MainWindow::connectView() {
    connect(view_, &DrawingView::cursorMoved, this, [this](double x, double y) {
        coords_->setText(QStringLiteral("X = %1   Y = %2").arg(x, 0, 'f', 3).arg(y, 0, 'f', 3));
    });
    connect(view_, &DrawingView::pointClicked, this, [this](double x, double y) {
        if (hostCommands_.active()) {
            showMessage(hostCommands_.input(Input::at(cad::Point{x, y, 0})));
            afterHostInput();
            return;
        }
        interaction_.userInput(Input::at(cad::Point{x, y, 0}));
    });
    connect(view_, &DrawingView::gripClicked, this, [this](quint64 handle, int index) {
        DocumentState* d = model_.activeDocument();
        if (!d || busy()) return;
        hostCommands_.startEdit(MakeGripCommand(model_, view_, d, handle, index));
        afterHostInput();
    });
    connect(view_, &DrawingView::entityDoubleClicked, this,
            [this](const cad::db::Entity* e, double x, double y) { editTextAt(e, cad::Point{x, y, 0}); });
    connect(view_, &DrawingView::entityClicked, this, [this](const cad::db::Entity* e, double x, double y) {
        if (hostCommands_.active()) {
            showMessage(hostCommands_.input(Input::entity(e->handleText(), cad::Point{x, y, 0})));
            afterHostInput();
            return;
        }
        interaction_.userInput(Input::entity(e->handleText(), cad::Point{x, y, 0}));
    });
    connect(view_, &DrawingView::emptyClicked, this, [this](double x, double y) {
        if (hostCommands_.active()) {
            showMessage(hostCommands_.input(Input::at(cad::Point{x, y, 0})));
            afterHostInput();
            return;
        }
        interaction_.userInput(Input::at(cad::Point{x, y, 0}));
    });
    connect(view_, &DrawingView::escapePressed, this, [this] {
        if (hostCommands_.active()) {
            hostCommands_.cancel();
            afterHostInput();
            return;
        }
        interaction_.userInput(Input::cancel());
    });
    connect(view_, &DrawingView::enterPressed, this, [this] { submitTyped(); });
    connect(view_, &DrawingView::deletePressed, this, [this] {
        if (hostCommands_.selecting()) {
            showMessage(hostCommands_.input(Input::enter()));
            afterHostInput();
        } else if (!busy()) {
            showMessage(eraseSelection());
        }
    });
    connect(view_, &DrawingView::undoPressed, this, [this] { undoStep(); });
    connect(view_, &DrawingView::redoPressed, this, [this] { redoStep(); });
    connect(view_, &DrawingView::textTyped, this, [this](const QString& t) {
        input_->setFocus();
        input_->insert(t);
    });
    connect(view_, &DrawingView::snapMissed, this, [this](SnapPoint::Kind kind) {
        showMessage(QStringLiteral("Brak punktu \u201e%1\u201d w pobliżu kursora.").arg(SnapKindName(kind)));
    });
    connect(view_, &DrawingView::snapToggled, this, [this](bool on) {
        snap_->setText(on ? QStringLiteral("OSNAP (F3): wł.") : QStringLiteral("OSNAP (F3): wył."));
    });
    connect(input_, &QLineEdit::returnPressed, this, [this] { submitTyped(); });
}

MainWindow::~MainWindow() {
    interaction_.setWindowCommand({});
}

QString MainWindow::promptText() const {
    return prompt_->text();
}

QString MainWindow::messageText() const {
    return message_->text();
}

void MainWindow::showMessage(const QString& text) {
    if (!text.isEmpty()) message_->setText(text);
}

bool MainWindow::spaceEnters() const {
    if (hostCommands_.active()) return !hostCommands_.freeText();
    const auto rq = interaction_.currentRequest();
    if (!rq) return true;
    return (rq->wanted & (cad::InputRequest::AnyPoint | cad::InputRequest::AnEntity)) ||
           !rq->keywords.isEmpty();
}

Variant MainWindow::call(cad::ObjectId id, const QString& member, std::initializer_list<Variant> args) {
    return model_.invoke(id, member, CallKind::Method, cad::Args(args.begin(), args.size()));
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Plik"));
    file->addAction(QStringLiteral("&Nowy"), QKeySequence::New, this, [this] { newDrawing(); });
    file->addAction(QStringLiteral("&Otwórz..."), QKeySequence::Open, this, [this] { chooseAndOpen(); });
    file->addAction(QStringLiteral("&Zapisz"), QKeySequence::Save, this, [this] {
        if (DocumentState* d = model_.activeDocument()) saveDrawing(d);
    });
    // Spelled out: the platform's standard Save As key is empty under some keyboard schemes.
    file->addAction(QStringLiteral("Zapisz &jako..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this, [this] {
        if (DocumentState* d = model_.activeDocument()) saveDrawingAs(d);
    });
    file->addAction(QStringLiteral("Za&mknij"), QKeySequence::Close, this, [this] {
        if (DocumentState* d = model_.activeDocument()) closeDrawing(d);
    });
    file->addSeparator();
    recentMenu_ = file->addMenu(QStringLiteral("Ostatnio &otwierane"));
    file->addSeparator();
    file->addAction(QStringLiteral("Za&kończ"), QKeySequence::Quit, this, [this] { close(); });
    rebuildRecentMenu();

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&Widok"));
    viewMenu->addAction(QStringLiteral("&Cały rysunek"), this, [this] { view_->zoomExtents(); });
    viewMenu->addAction(QStringLiteral("&Przyciąganie (F3)"), this,
                        [this] { view_->setSnapEnabled(!view_->snapEnabled()); });
    viewMenu->addAction(layers_->toggleViewAction());

    // Edycja comes before Widok, as in every editor.
    QMenu* edit = new QMenu(QStringLiteral("&Edycja"), this);
    menuBar()->insertMenu(viewMenu->menuAction(), edit);
    edit->addAction(QStringLiteral("&Cofnij"), QKeySequence::Undo, this, [this] { undoStep(); });
    edit->addAction(QStringLiteral("&Ponów"), QKeySequence(Qt::CTRL | Qt::Key_Y), this,
                    [this] { redoStep(); });
    edit->addSeparator();
    edit->addAction(QStringLiteral("&Usuń zaznaczone"), QKeySequence::Delete, this, [this] {
        if (!busy()) showMessage(eraseSelection());
    });

    QMenu* tesmar = menuBar()->addMenu(QStringLiteral("&Tesmar"));
    tesmar->setObjectName(QStringLiteral("mnuTesmar"));
    tesmar->addAction(QStringLiteral("&Conflictor - strumienie i kolizje"), this,
                      [this] { startProgram(QStringLiteral("conflictor")); });
    tesmar->addAction(QStringLiteral("&Phaseplanner - program sygnalizacji"), this,
                      [this] { startProgram(QStringLiteral("phaseplanner")); });
    tesmar->addAction(QStringLiteral("&Hatcher - obrazy faz"), this,
                      [this] { startProgram(QStringLiteral("hatcher")); });
    tesmar->addAction(QStringLiteral("H&eadplacer - wstaw sygnalizator..."), this,
                      [this] { chooseSymbolAndPlaceHead(); });
    // Rysuj and Zmiana come before Tesmar; an entry ends the window's own command first.
    AddCommandMenus(this, tesmar->menuAction(), [this](const QString& command) { runFromMenu(command); });

    windowMenu_ = menuBar()->addMenu(QStringLiteral("O&kno"));
}

void MainWindow::setServer(SocketServer* server) {
    server_ = server;
    launcher_.setAttached([this](const QString& program, const DocumentState* doc) {
        return server_ ? server_->pidOf(program, doc) : 0;
    });
    launcher_.setWorkingOn([this](qint64 pid) { return server_ ? server_->workingDocument(pid) : nullptr; });
    launcher_.setRaiser([this](qint64 pid) { return programWindows_.raise(pid); });
    if (server_)
        connect(server_, &SocketServer::drawingHandedOver, this, [this](const QString& path) { addRecent(path); });
    if (!server_ || !ProgramWindows::available() || findChild<QTimer*>(QStringLiteral("keepAbove"))) return;
    // New windows of the programs (their dialogs among them) belong to other processes, which tell
    // this one nothing when they open one: they are looked for on a slow tick while programs are attached.
    auto* keep = new QTimer(this);
    keep->setObjectName(QStringLiteral("keepAbove"));
    keep->setInterval(400);
    connect(keep, &QTimer::timeout, this, [this] {
        if (server_ && server_->connectionCount() > 0) programWindows_.keepAbove(server_->attachedPids());
    });
    keep->start();
}

void MainWindow::startProgram(const QString& program, const QStringList& arguments) {
    DocumentState* d = model_.activeDocument();
    if (!d) {
        showMessage(QStringLiteral("Najpierw otwórz rysunek."));
        return;
    }
    showMessage(launcher_.start(program, d, arguments));
}

void MainWindow::chooseSymbolAndPlaceHead() {
    if (ShippedSymbols(symbolFolder_).isEmpty()) {
        showMessage(QStringLiteral("Nie znaleziono symboli sygnalizatorów w %1.")
                        .arg(QDir::toNativeSeparators(QDir::cleanPath(symbolFolder_))));
        return;
    }
    SymbolPalette palette(symbolFolder_, this);
    if (palette.exec() != QDialog::Accepted || palette.chosen().isEmpty()) return;
    startProgram(QStringLiteral("headplacer"), {palette.chosen()});
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Programs attached lose their CAD with it: the user is told which, and may stay.
    if (server_) {
        const QStringList programs = server_->attachedPrograms();
        if (!programs.isEmpty() &&
            ui::MsgBox(QStringLiteral("Do cadhost są podłączone programy: %1.\nPo zamknięciu cadhost nie będą "
                                      "mogły dalej pracować. Zamknąć mimo to?")
                           .arg(programs.join(QStringLiteral(", "))),
                       ui::YesNo | ui::Question, Title()) != ui::Yes) {
            e->ignore();
            return;
        }
    }
    if (closeAll())
        e->accept();
    else
        e->ignore();
}

void MainWindow::changeEvent(QEvent* e) {
    // The programs read the window's state (1 normal, 2 minimised, 3 maximised) as it is.
    if (e->type() == QEvent::WindowStateChange) model_.windowState = isMinimized() ? 2 : isMaximized() ? 3 : 1;
    // Brought to the front by the user: the programs' windows stay above it.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && server_ && server_->connectionCount() > 0 &&
        ProgramWindows::available())
        programWindows_.keepAbove(server_->attachedPids());
    QMainWindow::changeEvent(e);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (typedToPrompt(watched, event)) return true;
    if (watched == input_ && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Escape) {
            input_->clear();
            view_->clearSelection();
            if (hostCommands_.active()) {
                hostCommands_.cancel();
                afterHostInput();
                return true;
            }
            interaction_.userInput(Input::cancel());
            return true;
        }
        if (k->key() == Qt::Key_F3) {
            view_->setSnapEnabled(!view_->snapEnabled());
            return true;
        }
        if (k->key() == Qt::Key_Space && spaceEnters()) {
            submitTyped();
            return true;
        }
        // With nothing typed, the editing keys act on the drawing, not on the prompt line.
        if (input_->text().isEmpty()) {
            if (k->matches(QKeySequence::Undo)) {
                undoStep();
                return true;
            }
            if (k->matches(QKeySequence::Redo) ||
                (k->key() == Qt::Key_Y && (k->modifiers() & Qt::ControlModifier))) {
                redoStep();
                return true;
            }
            if (k->key() == Qt::Key_Delete) {
                emit view_->deletePressed();
                return true;
            }
            if (k->matches(QKeySequence::SelectAll)) {
                view_->selectAll();
                return true;
            }
        }
        if ((k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) && !history_.isEmpty()) {
            historyAt_ = std::clamp(historyAt_ + (k->key() == Qt::Key_Up ? -1 : 1), 0, int(history_.size()));
            input_->setText(history_.value(historyAt_));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::submitTyped() {
    const QString text = input_->text();
    input_->clear();
    submitText(text);
}

void MainWindow::submitText(const QString& typed) {
    if (hostCommands_.freeText()) {
        // A text's contents go as typed, spaces and commas included.
        showMessage(hostCommands_.input(typed.isEmpty() ? Input::enter() : Input::typed(typed)));
        afterHostInput();
        return;
    }
    QString text = typed.trimmed();
    // A snap override chooses how the next point snaps, at any prompt that asks for a point.
    if (view_->mode() == DrawingView::Mode::Point)
        if (const auto kind = SnapOverrideOf(text, prompt_->text())) {
            view_->setSnapOverride(*kind);
            showMessage(QStringLiteral("Następny punkt: %1.").arg(SnapKindName(*kind)));
            return;
        }
    if (!text.isEmpty() && history_.value(history_.size() - 1) != text) history_ << text;
    historyAt_ = int(history_.size());
    const bool idle = !hostCommands_.active() && !interaction_.currentRequest();
    if (idle) {
        // Enter on an empty line repeats the last command.
        if (text.isEmpty()) text = lastCommand_;
        if (text.isEmpty()) return;
        lastCommand_ = text;
        message_->clear();
        statusBar()->clearMessage();  // a cancel of an earlier command is no news any more
        view_->forgetWindowCorner();
        if (hostCommands_.start(text)) {
            showMessage(hostCommands_.takeNote());
            afterHostInput();
            return;
        }
    }
    if (hostCommands_.active()) {
        std::optional<cad::Point> base = hostCommands_.basePoint();
        if (!base)
            if (DocumentState* d = model_.activeDocument()) base = d->lastPoint;
        const Input in = ParseTypedInput(text, base);
        if (in.kind == Input::PointInput)
            if (DocumentState* d = model_.activeDocument()) d->lastPoint = in.point;
        showMessage(hostCommands_.input(in));
        afterHostInput();
        return;
    }
    std::optional<cad::Point> base;
    const auto rq = interaction_.currentRequest();
    if (rq && rq->basePoint)
        base = rq->basePoint;
    else if (DocumentState* d = model_.activeDocument())
        base = d->lastPoint;
    Input in = ParseTypedInput(text, base);
    // At a prompt that asks for an object, a typed point picks what a click there would.
    if (in.kind == Input::PointInput && rq && (rq->wanted & cad::InputRequest::AnEntity) &&
        !(rq->wanted & cad::InputRequest::AnyPoint)) {
        const QPointF screen = view_->toScreen(cad::db::Point3{in.point.x, in.point.y, 0});
        if (const cad::db::Entity* hit = view_->entityAt(screen)) in = Input::entity(hit->handleText(), in.point);
    }
    interaction_.userInput(in);
}

void MainWindow::updatePrompt() {
    view_->setPreview(model_.commands().currentPreview());
    view_->setDragPreview(hostCommands_.dragPreview());
    view_->setCirclePreview(DrawingView::CirclePreview::None);
    if (hostCommands_.active()) {
        cancelShown_ = false;
        prompt_->setText(hostCommands_.prompt());
        if (hostCommands_.selecting()) {
            view_->setMode(DrawingView::Mode::Select);
            return;
        }
        if (hostCommands_.picksEntity()) {
            view_->setMode(DrawingView::Mode::Entity);
            return;
        }
        std::optional<cad::db::Point3> base;
        if (const auto b = hostCommands_.basePoint()) base = cad::db::Point3{b->x, b->y, 0};
        view_->setMode(DrawingView::Mode::Point, base);
        return;
    }
    const auto rq = interaction_.currentRequest();
    if (!rq) {
        // The cancel mark stays the last prompt (the programs read it); it is shown once, when new.
        const bool cancelled = model_.lastPrompt.contains(QLatin1String("*Anulowano*"));
        if (cancelled && !cancelShown_) statusBar()->showMessage(model_.lastPrompt, 3000);
        cancelShown_ = cancelled;
        prompt_->setText(QStringLiteral("Polecenie:"));
        view_->setMode(DrawingView::Mode::Idle);
        return;
    }
    cancelShown_ = false;
    prompt_->setText(rq->prompt);
    // The circle command asks for its size from the centre: the circle follows the cursor.
    if (rq->basePoint && rq->prompt.startsWith(QStringLiteral("Określ promień okręgu")))
        view_->setCirclePreview(DrawingView::CirclePreview::Radius);
    else if (rq->basePoint && rq->prompt.startsWith(QStringLiteral("Określ średnicę okręgu")))
        view_->setCirclePreview(DrawingView::CirclePreview::Diameter);
    if (rq->wanted & cad::InputRequest::AnEntity) {
        view_->setMode(DrawingView::Mode::Entity);
    } else if (rq->wanted & cad::InputRequest::AnyPoint) {
        std::optional<cad::db::Point3> base;
        if (rq->basePoint) base = cad::db::Point3{rq->basePoint->x, rq->basePoint->y, 0};
        view_->setMode(DrawingView::Mode::Point, base);
    } else {
        view_->setMode(DrawingView::Mode::Idle);
    }
}

void MainWindow::editTextAt(const cad::db::Entity* clicked, const cad::Point& at) {
    DocumentState* d = model_.activeDocument();
    if (!d || busy()) return;
    cad::db::Entity* text = EditableTextAt(*d->db, d->db->entityByHandle(clicked->handleText()), at);
    if (!text) return;
    // The change is one undo step of its own.
    model_.closeUndoSteps();
    try {
        showMessage(EditTextValue(model_, d, text, this));
    } catch (const cad::Error& e) {
        showMessage(e.message());
    }
    model_.closeUndoSteps();
    view_->clearSelection();
    scheduleRefresh(Change::Any);
}

void MainWindow::afterHostInput() {
    updatePrompt();
    // An editing command may have changed anything; the view follows at once.
    scheduleRefresh(Change::Any);
}

bool MainWindow::busy() const {
    return hostCommands_.active() || interaction_.currentRequest().has_value();
}

QString MainWindow::eraseSelection() {
    DocumentState* d = model_.activeDocument();
    const QSet<quint64> chosen = view_->selection();
    if (!d || chosen.isEmpty()) return QStringLiteral("Nie wybrano obiektów.");
    // The erase is one undo step of its own, whatever came before it.
    model_.closeUndoSteps();
    int erased = 0;
    QString refused;  // the model's reason for the first object it kept
    int kept = 0;
    for (cad::db::Entity* e : std::vector<cad::db::Entity*>(d->db->modelSpace()->entities())) {
        if (!chosen.contains(e->handle())) continue;
        try {
            call(model_.entityId(d, e), QStringLiteral("Delete"));
            ++erased;
        } catch (const cad::Error& error) {
            if (kept++ == 0) refused = error.message();
        }
    }
    model_.closeUndoSteps();
    view_->clearSelection();
    scheduleRefresh(Change::Any);
    const QString done =
        erased == 1 ? QStringLiteral("Usunięto 1 obiekt.") : QStringLiteral("Usunięto obiektów: %1.").arg(erased);
    if (kept == 0) return done;
    return done + QStringLiteral(" Nie usunięto obiektów: %1 (%2).").arg(kept).arg(refused);
}

QString MainWindow::editSelectionProperties() {
    DocumentState* d = model_.activeDocument();
    const QSet<quint64> chosen = view_->selection();
    std::vector<cad::db::Entity*> entities;
    if (d)
        for (cad::db::Entity* e : d->db->modelSpace()->entities())
            if (chosen.contains(e->handle()) && !e->isErased()) entities.push_back(e);
    if (entities.empty()) return QStringLiteral("Nie wybrano obiektów.");
    PropertiesDialog dialog(*d->db, entities, this);
    if (dialog.exec() != QDialog::Accepted) return {};
    const PropertyChoice choice = dialog.choice();
    if (!choice.layer && !choice.color && !choice.linetype) return {};
    // The change is one undo step of its own.
    model_.closeUndoSteps();
    const QString note = ApplyProperties(model_, d, entities, choice);
    model_.closeUndoSteps();
    view_->clearSelection();
    scheduleRefresh(Change::Any);
    return note;
}

void MainWindow::stepBack(bool redo) {
    DocumentState* d = model_.activeDocument();
    if (!d) return;
    if (busy()) {
        if (!redo && undoInCommand()) return;
        showMessage(QStringLiteral("Najpierw zakończ bieżące polecenie."));
        return;
    }
    model_.closeUndoSteps();
    try {
        showMessage(redo ? cad::RedoStep(model_, d) : cad::UndoSteps(model_, d, 1));
    } catch (const cad::Error& e) {
        showMessage(e.message());
    }
    view_->clearSelection();
    scheduleRefresh(Change::Any);
}

void MainWindow::undoStep() {
    stepBack(false);
}

void MainWindow::redoStep() {
    stepBack(true);
}

void MainWindow::bringToFront() {
    // A minimised or maximised window comes back maximised; a normal one keeps its size.
    if (isMinimized() || isMaximized())
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
    // A program that raises the window waits for input: typing goes to the prompt line.
    input_->setFocus(Qt::OtherFocusReason);
}

}  // namespace cadhost
