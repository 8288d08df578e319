// What a served call or a command changed, and when the view repaints it: the program's changes
// wait for a pause in its calls (RepaintPolicy), the user's own are painted at once.
#include "cadhost/MainWindow.h"

#include "cadhost/SocketServer.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/UndoJournal.h"

#include <QTimer>
#include <algorithm>
#include <utility>

namespace cadhost {

using cad::CallKind;
using cad::DocumentState;

namespace {

// How much of the view a call may have changed, as its member is declared in the dispatch tables.
// Entities added to a block are shown at once in model space; a definition no reference shows yet
// changes nothing, any other block (a layout, a referenced definition) anything.
MainWindow::Change changeOf(const cad::DispatchTable& table, const cad::DispatchTable::Entry* entry,
                            const cad::ObjectRecord& rec, cad::CallKind kind) {
    const MainWindow::Change change = table.viewChange(entry, kind);
    if (change != MainWindow::Change::Added) return change;
    if (rec.kind != cad::Kind::Block || !rec.object) return MainWindow::Change::Any;
    auto* block = static_cast<cad::db::BlockDefinition*>(rec.object);
    if (block->isModelSpace()) return MainWindow::Change::Added;
    if (!block->isLayout() && !block->database()->hasReferences(block->name())) return MainWindow::Change::None;
    return MainWindow::Change::Any;
}

}  // namespace

void MainWindow::followChanges() {
    connect(&interaction_, &HostInteraction::requestChanged, this, [this] {
        updatePrompt();
        // A pick or a question: the user answers looking at the drawing.
        if (interaction_.currentRequest() && repaint_.pending()) refresh_->start(int(RepaintPolicy::PickPaintMs));
    });
    connect(&interaction_, &HostInteraction::message, this, [this](const QString& t) { showMessage(t); });
    connect(&interaction_, &HostInteraction::raiseRequested, this, [this] { bringToFront(); });
    // A command went on (an input taken, or a program's command on the model's timer): what it
    // drew is added at the end of model space; an undo it made is found by refreshNow.
    connect(&interaction_, &HostInteraction::drawingChanged, this, [this] { programChanged(Change::Added); });

    clock_.start();
    refresh_->setSingleShot(true);
    connect(refresh_, &QTimer::timeout, this, [this] { armRefresh(); });
}

void MainWindow::scheduleRefresh(Change change) {
    pending_ = std::max(pending_, change);
    repaint_.urgentChange();
    refresh_->start(0);
}

void MainWindow::programChanged(Change change, qint64 now) {
    pending_ = std::max(pending_, change);
    repaint_.programChanged(now);
    // Armed once per burst: the calls themselves only note the time.
    if (!refresh_->isActive()) refresh_->start(int(RepaintPolicy::QuietMs));
}

void MainWindow::armRefresh() {
    const qint64 wait =
        repaint_.waitBeforePaint(clock_.elapsed(), callWaiting(), interaction_.currentRequest().has_value());
    if (wait > 0) {
        refresh_->start(int(wait));
        return;
    }
    if (wait < 0) return;
    refreshNow();
    // Painted here and now, while no call waits, rather than whenever the event loop gets to it.
    view_->repaint();
}

bool MainWindow::callWaiting() const {
    return server_ && server_->callWaiting();
}

bool MainWindow::replayedSincePaint() {
    DocumentState* d = model_.activeDocument();
    const quint64 replays = d ? d->db->journal().replayCount() : 0;
    return std::exchange(lastReplays_, replays) != replays;
}

void MainWindow::refreshNow() {
    repaint_.painted();
    syncDocuments();
    if (replayedSincePaint()) pending_ = Change::Any;
    switch (std::exchange(pending_, Change::None)) {
        case Change::None:
            break;
        case Change::Look:
            view_->repaintDrawing();
            break;
        case Change::Added:
            view_->entitiesAdded();
            break;
        case Change::Any:
            view_->drawingChanged();
            break;
    }
}

void MainWindow::afterCall(const cad::Call& call, const cad::Reply& reply) {
    const qint64 now = clock_.elapsed();
    repaint_.callServed(now);
    if (reply.failed) return;
    cad::ObjectRecord* rec = nullptr;
    try {
        rec = &model_.record(call.object);
    } catch (const cad::Error&) {
        return;
    }
    const cad::DispatchTable& table = model_.table(rec->kind);
    const cad::DispatchTable::Entry* entry = table.find(call.member);
    if (entry && entry->zoomsView && call.args.size() >= 2) {
        syncDocuments();
        cad::db::Box box;
        try {
            const cad::Point a = call.args[0].toPoint(), b = call.args[1].toPoint();
            box.add(a.x, a.y);
            box.add(b.x, b.y);
        } catch (const cad::Error&) {
            return;
        }
        view_->zoomWindow(box);
        return;
    }
    if (call.kind == CallKind::Get) return;
    // A drawing a program opened or closed is shown (or let go of) at once: a scene must not
    // outlive its document.
    if (model_.documents() != known_) {
        // A drawing a program opens for a moment (a template) is not painted while its calls go on;
        // the title, the window menu and the layer list follow with the paint, not with each switch.
        followDocuments(false);
        programChanged(Change::Any, now);
    }
    Change change = changeOf(table, entry, *rec, call.kind);
    // The look of an entity added since the last paint is painted with it.
    if (change == Change::Look && rec->kind == cad::Kind::Entity && rec->object &&
        view_->isUnpainted(static_cast<const cad::db::Entity*>(rec->object)))
        change = Change::Added;
    if (change != Change::None) programChanged(change, now);
}

}  // namespace cadhost
