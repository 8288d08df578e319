// Recording the drawing's changes into steps and replaying them. A kept state is swapped with the
// object's own, so one change record serves both undo and redo.
#include "platform/cad/engine/UndoJournal.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include "platform/cad/engine/UndoStates.h"

#include <algorithm>
#include <utility>

namespace cad::db {

// Small, as a step holds one for every entity a program adds: what a change keeps beyond the
// object (its state, the header, the drawing properties, a block's old name or table position)
// lives behind `state`.
struct UndoJournal::Change {
    enum Type : quint8 { Created, Erased, Modified, Header, Summary, Renamed, BlockDeleted };
    Type type = Created;
    DbObject* object = nullptr;
    std::unique_ptr<undo::ObjectState> state;
};

struct UndoJournal::Step {
    quint64 number = 0;
    std::vector<Change> changes;
    bool headerKept = false, summaryKept = false;  // kept once a step, like any object
};

// ---- Recording ----

UndoJournal::UndoJournal(Database& db) : db_(db) {}
UndoJournal::~UndoJournal() = default;

UndoJournal::Change& UndoJournal::add() {
    if (!current_) {
        current_ = std::make_unique<Step>();
        current_->number = ++stepNumber_;
        // A new change makes what was undone unreachable.
        undone_.clear();
    }
    return current_->changes.emplace_back();
}

bool UndoJournal::seen(const DbObject* object) {
    // An object created or kept in the open step needs nothing more kept.
    return current_ && object->undoStamp_ == current_->number;
}

void UndoJournal::created(DbObject* object) {
    if (isRecording()) ++notices_;
    if (!isRecording()) return;
    Change& c = add();
    c.type = Change::Created;
    c.object = object;
    object->undoStamp_ = quint32(current_->number);
}

void UndoJournal::erased(DbObject* object) {
    if (isRecording()) ++notices_;
    if (!isRecording() || object->isErased()) return;
    Change& c = add();
    c.type = Change::Erased;
    c.object = object;
}

void UndoJournal::willModify(DbObject* object) {
    if (isRecording()) ++notices_;
    if (!isRecording() || seen(object)) return;
    StateSwap swap(db_, *db_.d);
    auto state = swap.capture(object);
    Change& c = add();
    c.type = Change::Modified;
    c.object = object;
    c.state = std::move(state);
    object->undoStamp_ = quint32(current_->number);
}

void UndoJournal::willModifyHeader() {
    if (isRecording()) ++notices_;
    if (!isRecording() || (current_ && current_->headerKept)) return;
    auto kept = std::make_unique<undo::Kept<std::vector<HeaderVariable>>>();
    kept->fields = db_.header_;
    Change& c = add();
    current_->headerKept = true;
    c.type = Change::Header;
    c.state = std::move(kept);
}

void UndoJournal::willModifySummary() {
    if (isRecording()) ++notices_;
    if (!isRecording() || (current_ && current_->summaryKept)) return;
    auto kept = std::make_unique<undo::Kept<SummaryInfo>>();
    kept->fields = db_.summary_;
    Change& c = add();
    current_->summaryKept = true;
    c.type = Change::Summary;
    c.state = std::move(kept);
}

void UndoJournal::blockRenamed(BlockDefinition* block, const QString& oldName) {
    if (isRecording()) ++notices_;
    if (!isRecording()) return;
    auto kept = std::make_unique<undo::Kept<QString>>();
    kept->fields = oldName;
    Change& c = add();
    c.type = Change::Renamed;
    c.object = block;
    c.state = std::move(kept);
}

void UndoJournal::blockDeleted(BlockDefinition* block) {
    if (isRecording()) ++notices_;
    if (!isRecording()) return;
    const auto& blocks = db_.d->blocks;
    auto it = std::find_if(blocks.begin(), blocks.end(), [&](const auto& b) { return b.get() == block; });
    auto kept = std::make_unique<undo::Kept<size_t>>();
    kept->fields = size_t(it - blocks.begin());
    Change& c = add();
    c.type = Change::BlockDeleted;
    c.object = block;
    c.state = std::move(kept);
}

// ---- Steps ----

bool UndoJournal::closeStep() {
    if (!current_) return false;
    doneChanges_ += current_->changes.size();
    done_.push_back(std::move(current_));
    while (done_.size() > MaxSteps || (done_.size() > 1 && doneChanges_ > MaxChanges)) {
        doneChanges_ -= done_.front()->changes.size();
        done_.pop_front();
    }
    return true;
}

bool UndoJournal::undo() {
    closeStep();
    if (done_.empty()) return false;
    std::unique_ptr<Step> step = std::move(done_.back());
    done_.pop_back();
    doneChanges_ -= step->changes.size();
    apply(*step, false);
    undone_.push_back(std::move(step));
    return true;
}

bool UndoJournal::redo() {
    closeStep();
    if (undone_.empty()) return false;
    std::unique_ptr<Step> step = std::move(undone_.back());
    undone_.pop_back();
    apply(*step, true);
    doneChanges_ += step->changes.size();
    done_.push_back(std::move(step));
    return true;
}

void UndoJournal::apply(Step& step, bool forward) {
    ++replays_;
    ++replaying_;
    try {
        if (forward)
            for (Change& c : step.changes) apply(c, true);
        else
            for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) apply(*it, false);
    } catch (...) {
        --replaying_;
        throw;
    }
    --replaying_;
}

void UndoJournal::apply(Change& c, bool forward) {
    StateSwap swap(db_, *db_.d);
    switch (c.type) {
        case Change::Created:
            forward ? swap.show(c.object) : swap.hide(c.object);
            break;
        case Change::Erased:
            swap.flag(c.object, forward);
            break;
        case Change::Modified:
            swap.swap(*c.state, c.object);
            break;
        case Change::Header:
            std::swap(undo::fieldsOf<std::vector<HeaderVariable>>(*c.state), db_.header_);
            db_.d->headerIndexStale = true;
            ++db_.d->headerGeneration;
            break;
        case Change::Summary:
            std::swap(undo::fieldsOf<SummaryInfo>(*c.state), db_.summary_);
            break;
        case Change::Renamed: {
            auto* block = static_cast<BlockDefinition*>(c.object);
            QString& name = undo::fieldsOf<QString>(*c.state);
            const QString now = block->name();
            db_.renameBlock(block, name);
            name = now;
            break;
        }
        case Change::BlockDeleted: {
            auto* block = static_cast<BlockDefinition*>(c.object);
            size_t& position = undo::fieldsOf<size_t>(*c.state);
            if (forward)
                position = swap.detachBlock(block);
            else
                swap.attachBlock(block, position);
            break;
        }
    }
}

}  // namespace cad::db
