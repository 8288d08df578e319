// The drawing's undo history: every change is recorded as it is made, cheaply (a pointer for an
// object created or erased, one copy of an object's state before its first change in a step), and
// gathered into steps that undo and redo as a whole.
#pragma once

#include "platform/cad/engine/DbObject.h"
#include "platform/cad/engine/SummaryInfo.h"

#include <QString>
#include <deque>
#include <memory>
#include <vector>

namespace cad::db {

class BlockDefinition;
class Database;
struct HeaderVariable;

class UndoJournal {
public:
    explicit UndoJournal(Database& db);
    ~UndoJournal();
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    // Recording is off until the drawing is handed to the user (reading a file records nothing).
    void setRecording(bool on) { recording_ = on; }
    bool isRecording() const { return recording_ && replaying_ == 0; }

    // ---- What the drawing reports (each a no-op while not recording) ----
    // A new entity, table record, block definition or object.
    void created(DbObject* object);
    // An entity or object flagged erased.
    void erased(DbObject* object);
    // The object is about to change: its state is kept once per step.
    void willModify(DbObject* object);
    // The header variables (system variables kept in the file) are about to change.
    void willModifyHeader();
    // The drawing properties are about to change.
    void willModifySummary();
    // A block definition renamed (its references follow) or deleted.
    void blockRenamed(BlockDefinition* block, const QString& oldName);
    void blockDeleted(BlockDefinition* block);

    // ---- Steps ----
    // Ends the step being gathered; the next change starts a new one. Returns true when a step
    // was ended (it held a change).
    bool closeStep();
    // Whether changes are being gathered into a step not yet ended.
    bool stepOpen() const { return current_ != nullptr; }
    // Undoes the last step (the open one first); false when there is nothing to undo.
    bool undo();
    // Redoes the last undone step; false when there is nothing to redo. A new change forgets
    // what was undone.
    bool redo();
    int undoCount() const { return int(done_.size()) + (current_ ? 1 : 0); }
    int redoCount() const { return int(undone_.size()); }
    // Counts the changes reported while recording (kept or not), so a caller can tell whether a call
    // changed the drawing at all.
    quint64 notices() const { return notices_; }
    // Counts the undos and redos made, so a viewer knows when to redraw everything.
    quint64 replayCount() const { return replays_; }
    // The most steps and recorded changes kept (the newest step always stays); older steps are
    // forgotten, so a long session of playback recolouring cannot fill the memory.
    static constexpr size_t MaxSteps = 500;
    static constexpr size_t MaxChanges = 2'000'000;

    struct Step;
    struct Change;

private:
    class StateSwap;
    Change& add();
    bool seen(const DbObject* object);
    void apply(Step& step, bool forward);
    void apply(Change& c, bool forward);

    Database& db_;
    bool recording_ = false;
    int replaying_ = 0;
    quint64 stepNumber_ = 0;
    quint64 replays_ = 0;
    quint64 notices_ = 0;  // numbers the open step, so each object is kept once per step
    std::unique_ptr<Step> current_;
    std::deque<std::unique_ptr<Step>> done_;
    size_t doneChanges_ = 0;  // changes held by done_
    std::vector<std::unique_ptr<Step>> undone_;
};

}  // namespace cad::db
