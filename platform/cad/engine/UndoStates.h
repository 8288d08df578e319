// The states the undo history keeps of each kind of object, and what replays them: swapping a
// kept state with the object's own, taking an object out of the drawing and back. Private to the
// journal's source.
#pragma once

#include "platform/cad/engine/DatabaseImpl.h"
#include "platform/cad/engine/UndoJournal.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

namespace cad::db {

namespace undo {

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

// An object's state as it was before its first change in a step.
struct ObjectState {
    virtual ~ObjectState() = default;
    virtual std::unique_ptr<ObjectState> clone() const = 0;
    CommonState common;
};

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

}  // namespace undo

// ---- Swapping a kept state with an object's own ----

class UndoJournal::StateSwap {
public:
    StateSwap(Database& db, Database::Impl& d) : db_(db), d_(d) {}

    std::unique_ptr<undo::ObjectState> capture(DbObject* o) {
        std::unique_ptr<undo::ObjectState> s;
        switch (o->objectType()) {
            case ObjectType::Entity:
                s = std::make_unique<undo::Kept<undo::EntityFields>>();
                break;
            case ObjectType::Layer:
                s = std::make_unique<undo::Kept<undo::LayerFields>>();
                break;
            case ObjectType::Linetype:
                s = std::make_unique<undo::Kept<undo::LinetypeFields>>();
                break;
            case ObjectType::TextStyle:
                s = std::make_unique<undo::Kept<undo::TextStyleFields>>();
                break;
            case ObjectType::DimStyle:
            case ObjectType::AppId:
            case ObjectType::RawTableRecord:
                s = std::make_unique<undo::Kept<undo::RecordFields>>();
                break;
            case ObjectType::BlockDefinition:
                s = std::make_unique<undo::Kept<undo::BlockFields>>();
                break;
            case ObjectType::Dictionary:
            case ObjectType::SortentsTable:
            case ObjectType::RawObject:
                s = std::make_unique<undo::Kept<undo::ObjectFields>>();
                break;
        }
        // The object's state moves into `s`, and a copy of it moves straight back.
        capturing_ = true;
        swap(*s, o);
        std::unique_ptr<undo::ObjectState> back = s->clone();
        swap(*back, o);
        capturing_ = false;
        return s;
    }

    void swap(undo::ObjectState& s, DbObject* o) {
        s.common.swapWith(*o);
        switch (o->objectType()) {
            case ObjectType::Entity:
                swapEntity(undo::fieldsOf<undo::EntityFields>(s), static_cast<Entity*>(o));
                break;
            case ObjectType::Layer: {
                auto& f = undo::fieldsOf<undo::LayerFields>(s);
                auto* l = static_cast<Layer*>(o);
                std::swap(f.flags, l->flags), std::swap(f.extraTags, l->extraTags);
                std::swap(f.color, l->color), std::swap(f.trueColor, l->trueColor);
                std::swap(f.linetype, l->linetype), std::swap(f.lineweight, l->lineweight);
                std::swap(f.on, l->on), std::swap(f.frozen, l->frozen), std::swap(f.locked, l->locked);
                std::swap(f.plot, l->plot), std::swap(f.plotStyleHandle, l->plotStyleHandle);
                break;
            }
            case ObjectType::Linetype: {
                auto& f = undo::fieldsOf<undo::LinetypeFields>(s);
                auto* l = static_cast<Linetype*>(o);
                std::swap(f.flags, l->flags), std::swap(f.extraTags, l->extraTags);
                std::swap(f.description, l->description), std::swap(f.patternLength, l->patternLength);
                std::swap(f.elements, l->elements), std::swap(f.complexTags, l->complexTags);
                break;
            }
            case ObjectType::TextStyle: {
                auto& f = undo::fieldsOf<undo::TextStyleFields>(s);
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
                auto& f = undo::fieldsOf<undo::RecordFields>(s);
                auto* r = static_cast<TableRecord*>(o);
                std::swap(f.flags, r->flags), std::swap(f.extraTags, r->extraTags);
                if (auto* ds = dynamic_cast<DimStyle*>(o)) std::swap(f.values, ds->values);
                if (auto* raw = dynamic_cast<RawTableRecord*>(o)) std::swap(f.tags, raw->tags);
                break;
            }
            case ObjectType::BlockDefinition: {
                auto& f = undo::fieldsOf<undo::BlockFields>(s);
                auto* b = static_cast<BlockDefinition*>(o);
                std::swap(f.basePoint, b->basePoint), std::swap(f.flags, b->flags);
                std::swap(f.description, b->description), std::swap(f.xrefPath, b->xrefPath);
                std::swap(f.blockLayer, b->blockLayer), std::swap(f.recordExtraTags, b->recordExtraTags);
                std::swap(f.blockXdata, b->blockXdata), std::swap(f.blockAppData, b->blockAppData);
                std::swap(f.layoutHandle, b->layoutHandle);
                break;
            }
            case ObjectType::Dictionary: {
                auto& f = undo::fieldsOf<undo::ObjectFields>(s);
                auto* dict = static_cast<Dictionary*>(o);
                std::swap(f.entries, dict->entries), std::swap(f.hardOwner, dict->hardOwner);
                std::swap(f.cloning, dict->cloning), std::swap(f.hasCloning, dict->hasCloning);
                std::swap(f.extraTags, dict->extraTags);
                break;
            }
            case ObjectType::SortentsTable: {
                auto& f = undo::fieldsOf<undo::ObjectFields>(s);
                auto* t = static_cast<SortentsTable*>(o);
                std::swap(f.blockRecord, t->blockRecord), std::swap(f.sortEntries, t->entries);
                break;
            }
            case ObjectType::RawObject:
                std::swap(undo::fieldsOf<undo::ObjectFields>(s).tags, static_cast<RawObject*>(o)->tags);
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
    void swapEntity(undo::EntityFields& f, Entity* e) {
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

}  // namespace cad::db
