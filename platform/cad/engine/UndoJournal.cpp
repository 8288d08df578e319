// Recording and replaying the drawing's changes. A kept state is swapped with the object's own,
// so one change record serves both undo and redo.
#include "platform/cad/engine/UndoJournal.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include <algorithm>
#include <utility>

namespace cad::db {

namespace {

// The part every object has.
struct CommonState {
    quint64 ownerHandle = 0, extensionDictionary = 0;
    std::vector<quint64> reactors;
    Tags appData, xdata;
    void swapWith(DbObject& o) {
        std::swap(ownerHandle, o.ownerHandle);
        std::swap(extensionDictionary, o.extensionDictionary);
        std::swap(reactors, o.reactors);
        std::swap(appData, o.appData);
        std::swap(xdata, o.xdata);
    }
};

}  // namespace

// An object's state as it was before its first change in a step.
struct ObjectState {
    virtual ~ObjectState() = default;
    virtual std::unique_ptr<ObjectState> clone() const = 0;
    CommonState common;
};

namespace {

template <class T>
struct Kept : ObjectState {
    T fields;
    std::unique_ptr<ObjectState> clone() const override { return std::make_unique<Kept>(*this); }
};

struct EntityFields {
    QString layer;
    int color = 0, trueColor = -1, lineweight = 0;
    QString linetype;
    double linetypeScale = 1, thickness = 0;
    bool visible = true;
    Point3 normal;
    Tags extraTags, commonTags;
    EntityData data;
};

struct LayerFields {
    int flags = 0, color = 7, trueColor = -1, lineweight = -3;
    Tags extraTags;
    QString linetype;
    bool on = true, frozen = false, locked = false, plot = true;
    quint64 plotStyleHandle = 0;
};

struct LinetypeFields {
    int flags = 0;
    Tags extraTags, complexTags;
    QString description;
    double patternLength = 0;
    std::vector<double> elements;
};

struct TextStyleFields {
    int flags = 0, generation = 0;
    Tags extraTags;
    QString font, bigFont, typeface;
    double height = 0, widthFactor = 1, oblique = 0, lastHeight = 2.5;
    bool bold = false, italic = false;
};

struct RecordFields {  // dimension styles, application ids, VPORT/VIEW/UCS records
    int flags = 0;
    Tags extraTags;
    std::map<int, QString> values;
    Tags tags;
};

struct BlockFields {
    Point3 basePoint;
    int flags = 0;
    QString description, xrefPath, blockLayer;
    Tags recordExtraTags, blockXdata, blockAppData;
    quint64 layoutHandle = 0;
};

struct ObjectFields {  // dictionaries, draw-order tables, raw objects
    std::vector<Dictionary::Entry> entries;
    int hardOwner = 0, cloning = 1;
    bool hasCloning = true;
    Tags extraTags;
    quint64 blockRecord = 0;
    std::vector<std::pair<quint64, quint64>> sortEntries;
    Tags tags;
};

template <class F>
F& fieldsOf(ObjectState& s) {
    return static_cast<Kept<F>&>(s).fields;
}

}  // namespace

// Small, as a step holds one for every entity a program adds: what a change keeps beyond the
// object (its state, the header, the drawing properties, a block's old name or table position)
// lives behind `state`.
struct UndoJournal::Change {
    enum Type : quint8 { Created, Erased, Modified, Header, Summary, Renamed, BlockDeleted };
    Type type = Created;
    DbObject* object = nullptr;
    std::unique_ptr<ObjectState> state;
};

struct UndoJournal::Step {
    quint64 number = 0;
    std::vector<Change> changes;
    bool headerKept = false, summaryKept = false;  // kept once a step, like any object
};

// ---- Swapping a kept state with an object's own ----

class UndoJournal::StateSwap {
public:
    StateSwap(Database& db, Database::Impl& d) : db_(db), d_(d) {}

    std::unique_ptr<ObjectState> capture(DbObject* o) {
        std::unique_ptr<ObjectState> s;
        switch (o->objectType()) {
            case ObjectType::Entity:
                s = std::make_unique<Kept<EntityFields>>();
                break;
            case ObjectType::Layer:
                s = std::make_unique<Kept<LayerFields>>();
                break;
            case ObjectType::Linetype:
                s = std::make_unique<Kept<LinetypeFields>>();
                break;
            case ObjectType::TextStyle:
                s = std::make_unique<Kept<TextStyleFields>>();
                break;
            case ObjectType::DimStyle:
            case ObjectType::AppId:
            case ObjectType::RawTableRecord:
                s = std::make_unique<Kept<RecordFields>>();
                break;
            case ObjectType::BlockDefinition:
                s = std::make_unique<Kept<BlockFields>>();
                break;
            case ObjectType::Dictionary:
            case ObjectType::SortentsTable:
            case ObjectType::RawObject:
                s = std::make_unique<Kept<ObjectFields>>();
                break;
        }
        // The object's state moves into `s`, and a copy of it moves straight back.
        capturing_ = true;
        swap(*s, o);
        std::unique_ptr<ObjectState> back = s->clone();
        swap(*back, o);
        capturing_ = false;
        return s;
    }

    void swap(ObjectState& s, DbObject* o) {
        s.common.swapWith(*o);
        switch (o->objectType()) {
            case ObjectType::Entity:
                swapEntity(fieldsOf<EntityFields>(s), static_cast<Entity*>(o));
                break;
            case ObjectType::Layer: {
                auto& f = fieldsOf<LayerFields>(s);
                auto* l = static_cast<Layer*>(o);
                std::swap(f.flags, l->flags), std::swap(f.extraTags, l->extraTags);
                std::swap(f.color, l->color), std::swap(f.trueColor, l->trueColor);
                std::swap(f.linetype, l->linetype), std::swap(f.lineweight, l->lineweight);
                std::swap(f.on, l->on), std::swap(f.frozen, l->frozen), std::swap(f.locked, l->locked);
                std::swap(f.plot, l->plot), std::swap(f.plotStyleHandle, l->plotStyleHandle);
                break;
            }
            case ObjectType::Linetype: {
                auto& f = fieldsOf<LinetypeFields>(s);
                auto* l = static_cast<Linetype*>(o);
                std::swap(f.flags, l->flags), std::swap(f.extraTags, l->extraTags);
                std::swap(f.description, l->description), std::swap(f.patternLength, l->patternLength);
                std::swap(f.elements, l->elements), std::swap(f.complexTags, l->complexTags);
                break;
            }
            case ObjectType::TextStyle: {
                auto& f = fieldsOf<TextStyleFields>(s);
                auto* t = static_cast<TextStyle*>(o);
                std::swap(f.flags, t->flags), std::swap(f.extraTags, t->extraTags);
                std::swap(f.font, t->font), std::swap(f.bigFont, t->bigFont),
                    std::swap(f.typeface, t->typeface);
                std::swap(f.height, t->height), std::swap(f.widthFactor, t->widthFactor);
                std::swap(f.oblique, t->oblique), std::swap(f.generation, t->generation);
                std::swap(f.lastHeight, t->lastHeight), std::swap(f.bold, t->bold);
                std::swap(f.italic, t->italic);
                break;
            }
            case ObjectType::DimStyle:
            case ObjectType::AppId:
            case ObjectType::RawTableRecord: {
                auto& f = fieldsOf<RecordFields>(s);
                auto* r = static_cast<TableRecord*>(o);
                std::swap(f.flags, r->flags), std::swap(f.extraTags, r->extraTags);
                if (auto* ds = dynamic_cast<DimStyle*>(o)) std::swap(f.values, ds->values);
                if (auto* raw = dynamic_cast<RawTableRecord*>(o)) std::swap(f.tags, raw->tags);
                break;
            }
            case ObjectType::BlockDefinition: {
                auto& f = fieldsOf<BlockFields>(s);
                auto* b = static_cast<BlockDefinition*>(o);
                std::swap(f.basePoint, b->basePoint), std::swap(f.flags, b->flags);
                std::swap(f.description, b->description), std::swap(f.xrefPath, b->xrefPath);
                std::swap(f.blockLayer, b->blockLayer), std::swap(f.recordExtraTags, b->recordExtraTags);
                std::swap(f.blockXdata, b->blockXdata), std::swap(f.blockAppData, b->blockAppData);
                std::swap(f.layoutHandle, b->layoutHandle);
                break;
            }
            case ObjectType::Dictionary: {
                auto& f = fieldsOf<ObjectFields>(s);
                auto* dict = static_cast<Dictionary*>(o);
                std::swap(f.entries, dict->entries), std::swap(f.hardOwner, dict->hardOwner);
                std::swap(f.cloning, dict->cloning), std::swap(f.hasCloning, dict->hasCloning);
                std::swap(f.extraTags, dict->extraTags);
                break;
            }
            case ObjectType::SortentsTable: {
                auto& f = fieldsOf<ObjectFields>(s);
                auto* t = static_cast<SortentsTable*>(o);
                std::swap(f.blockRecord, t->blockRecord), std::swap(f.sortEntries, t->entries);
                break;
            }
            case ObjectType::RawObject:
                std::swap(fieldsOf<ObjectFields>(s).tags, static_cast<RawObject*>(o)->tags);
                break;
        }
    }

    // ---- Taking an object out of the drawing and back ----

    void hide(DbObject* o) {
        switch (o->objectType()) {
            case ObjectType::Entity: {
                auto* e = static_cast<Entity*>(o);
                if (e->erased_) return;
                db_.unindexEntity(e);
                e->erased_ = true;
                if (e->block_) e->block_->erasedCount_++;
                if (auto* ins = e->tryAs<InsertData>())
                    for (Entity* a : ins->attributes) a->erased_ = true;
                return;
            }
            case ObjectType::BlockDefinition:
                detachBlock(static_cast<BlockDefinition*>(o));
                return;
            default:
                setRecordLive(o, false);
                return;
        }
    }

    void show(DbObject* o) {
        switch (o->objectType()) {
            case ObjectType::Entity: {
                auto* e = static_cast<Entity*>(o);
                if (!e->erased_) return;
                e->erased_ = false;
                if (auto* ins = e->tryAs<InsertData>())
                    for (Entity* a : ins->attributes) a->erased_ = false;
                if (BlockDefinition* b = e->block_) {
                    // The block's list drops erased entities lazily: put it back in creation order
                    // unless it is still there.
                    auto& items = b->items_;
                    auto at = std::lower_bound(items.begin(), items.end(), e, [](Entity* x, Entity* y) {
                        return x->sequence() < y->sequence();
                    });
                    if (at == items.end() || *at != e) items.insert(at, e);
                }
                db_.indexEntity(e);
                return;
            }
            case ObjectType::BlockDefinition:
                attachBlock(static_cast<BlockDefinition*>(o), size_t(-1));
                return;
            default:
                setRecordLive(o, true);
                return;
        }
    }

    // Out of the block table (as a deleted block is); returns its table position.
    size_t detachBlock(BlockDefinition* block) {
        auto it =
            std::find_if(d_.blocks.begin(), d_.blocks.end(), [&](const auto& b) { return b.get() == block; });
        if (it == d_.blocks.end()) return 0;
        const size_t position = size_t(it - d_.blocks.begin());
        if (!block->erased_) --d_.liveBlocks;
        block->erased_ = true;
        d_.deletedBlocks.push_back(std::move(*it));
        d_.blocks.erase(it);
        if (d_.blockIndex.value(nameKey(block->name_)) == block) d_.blockIndex.remove(nameKey(block->name_));
        return position;
    }

    void attachBlock(BlockDefinition* block, size_t position) {
        auto it = std::find_if(d_.deletedBlocks.begin(), d_.deletedBlocks.end(),
                               [&](const auto& b) { return b.get() == block; });
        if (it == d_.deletedBlocks.end()) return;
        std::unique_ptr<BlockDefinition> owned = std::move(*it);
        d_.deletedBlocks.erase(it);
        position = std::min(position, d_.blocks.size());
        d_.blocks.insert(d_.blocks.begin() + std::ptrdiff_t(position), std::move(owned));
        if (block->erased_) ++d_.liveBlocks;
        block->erased_ = false;
        d_.blockIndex.insert(nameKey(block->name_), block);
    }

    // Flags an object erased or live again (a block flagged by eraseObject keeps its table place).
    void flag(DbObject* o, bool erased) {
        switch (o->objectType()) {
            case ObjectType::Entity:
                return erased ? hide(o) : show(o);
            case ObjectType::BlockDefinition:
                if (o->erased_ != erased) erased ? --d_.liveBlocks : ++d_.liveBlocks;
                o->erased_ = erased;
                return;
            default:
                return setRecordLive(o, !erased);
        }
    }

private:
    void swapEntity(EntityFields& f, Entity* e) {
        // The indexes are keyed by layer and referenced block: out before, back in after.
        const bool live = !e->erased_ && !capturing_;
        if (live) db_.unindexEntity(e);
        std::swap(f.layer, e->layer_);
        std::swap(f.color, e->color), std::swap(f.trueColor, e->trueColor);
        std::swap(f.linetype, e->linetype), std::swap(f.lineweight, e->lineweight);
        std::swap(f.linetypeScale, e->linetypeScale), std::swap(f.thickness, e->thickness);
        std::swap(f.visible, e->visible), std::swap(f.normal, e->normal);
        std::swap(f.extraTags, e->extraTags), std::swap(f.commonTags, e->commonTags);
        std::swap(f.data, e->data);
        if (live) db_.indexEntity(e);
    }

    template <class T>
    static void relink(Table<T>& table, DbObject* o, bool live) {
        for (const auto& r : table.items_)
            if (r.get() == o) {
                T* rec = r.get();
                const QString key = nameKey(rec->name());
                if (live) {
                    table.index_.insert(key, rec);
                } else if (table.index_.value(key) == rec) {
                    table.index_.remove(key);
                }
                return;
            }
    }

    void setRecordLive(DbObject* o, bool live) {
        o->erased_ = !live;
        switch (o->objectType()) {
            case ObjectType::Layer:
                return relink(db_.layers_, o, live);
            case ObjectType::Linetype:
                return relink(db_.linetypes_, o, live);
            case ObjectType::TextStyle:
                return relink(db_.textStyles_, o, live);
            case ObjectType::DimStyle:
                return relink(db_.dimStyles_, o, live);
            case ObjectType::AppId:
                return relink(db_.appIds_, o, live);
            case ObjectType::RawTableRecord:
                relink(db_.vports_, o, live), relink(db_.views_, o, live), relink(db_.ucss_, o, live);
                return relink(db_.shapeStyles_, o, live);
            default:
                return;
        }
    }

    Database& db_;
    Database::Impl& d_;
    bool capturing_ = false;  // the entity's state leaves only for a moment: indexes stay
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
    if (!isRecording()) return;
    Change& c = add();
    c.type = Change::Created;
    c.object = object;
    object->undoStamp_ = quint32(current_->number);
}

void UndoJournal::erased(DbObject* object) {
    if (!isRecording() || object->isErased()) return;
    Change& c = add();
    c.type = Change::Erased;
    c.object = object;
}

void UndoJournal::willModify(DbObject* object) {
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
    if (!isRecording() || (current_ && current_->headerKept)) return;
    auto kept = std::make_unique<Kept<std::vector<HeaderVariable>>>();
    kept->fields = db_.header_;
    Change& c = add();
    current_->headerKept = true;
    c.type = Change::Header;
    c.state = std::move(kept);
}

void UndoJournal::willModifySummary() {
    if (!isRecording() || (current_ && current_->summaryKept)) return;
    auto kept = std::make_unique<Kept<SummaryInfo>>();
    kept->fields = db_.summary_;
    Change& c = add();
    current_->summaryKept = true;
    c.type = Change::Summary;
    c.state = std::move(kept);
}

void UndoJournal::blockRenamed(BlockDefinition* block, const QString& oldName) {
    if (!isRecording()) return;
    auto kept = std::make_unique<Kept<QString>>();
    kept->fields = oldName;
    Change& c = add();
    c.type = Change::Renamed;
    c.object = block;
    c.state = std::move(kept);
}

void UndoJournal::blockDeleted(BlockDefinition* block) {
    if (!isRecording()) return;
    const auto& blocks = db_.d->blocks;
    auto it = std::find_if(blocks.begin(), blocks.end(), [&](const auto& b) { return b.get() == block; });
    auto kept = std::make_unique<Kept<size_t>>();
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
            std::swap(fieldsOf<std::vector<HeaderVariable>>(*c.state), db_.header_);
            break;
        case Change::Summary:
            std::swap(fieldsOf<SummaryInfo>(*c.state), db_.summary_);
            break;
        case Change::Renamed: {
            auto* block = static_cast<BlockDefinition*>(c.object);
            QString& name = fieldsOf<QString>(*c.state);
            const QString now = block->name();
            db_.renameBlock(block, name);
            name = now;
            break;
        }
        case Change::BlockDeleted: {
            auto* block = static_cast<BlockDefinition*>(c.object);
            size_t& position = fieldsOf<size_t>(*c.state);
            if (forward)
                position = swap.detachBlock(block);
            else
                swap.attachBlock(block, position);
            break;
        }
    }
}

}  // namespace cad::db
