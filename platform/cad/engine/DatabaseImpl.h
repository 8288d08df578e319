// The private state of a drawing shared by the engine's source files: object storage, the handle
// map and the model-space indexes.
#pragma once

#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/UndoJournal.h"

#include <QHash>
#include <unordered_map>

namespace cad::db {

// The entities of one index key (a layer, a referenced block name). An entity knows its slot, so
// taking it out is constant time: the slot is emptied and the holes are squeezed out when they
// outnumber the entries or when the list is read. Entries come in model-space order, and an older
// entity moved onto the key only marks the list for sorting on the next read.
struct EntityIndexList {
    std::vector<Entity*> items;  // nullptr: a removed entry
    size_t holes = 0;
    bool ordered = true;
};

// Whether a table record or block may be given this name: not blank, at most 255 characters, no
// control character and none of the characters symbol names may not hold.
bool validSymbolName(const QString& name);

struct Database::Impl {
    ~Impl();
    // Entities live in chunks of raw storage: a drawing of 200,000 entities then costs a few
    // hundred allocations instead of one per entity.
    void* allocateEntity();
    // Handles below the limit are looked up in a plain array (files number their objects densely);
    // any larger one goes to the map.
    static constexpr quint64 denseLimit = quint64(1) << 24;
    std::vector<DbObject*> dense;
    std::unordered_map<quint64, DbObject*> sparse;
    DbObject* find(quint64 h) const {
        if (h < denseLimit) return h < dense.size() ? dense[h] : nullptr;
        auto it = sparse.find(h);
        return it == sparse.end() ? nullptr : it->second;
    }
    void put(quint64 h, DbObject* o) {
        if (h < denseLimit) {
            if (h >= dense.size()) dense.resize(std::max<size_t>(h + 1, dense.size() * 2), nullptr);
            dense[h] = o;
        } else {
            sparse[h] = o;
        }
    }
    std::vector<Entity*> entities;
    std::vector<std::byte*> chunks;
    size_t chunkUsed = 0;
    std::vector<std::unique_ptr<BlockDefinition>> blocks;
    size_t liveBlocks = 0;  // blocks not erased, so counting them copies nothing
    std::vector<std::unique_ptr<BlockDefinition>> deletedBlocks;  // kept alive for references
    QHash<QString, BlockDefinition*> blockIndex;
    // Header variables by upper-case name -> position in header_: every new entity reads four of
    // them. Rebuilt when a variable was added (the size changed) or undo swapped the header.
    QHash<QString, size_t> headerIndex;
    size_t headerIndexed = 0;
    bool headerIndexStale = true;
    // The current properties a new entity takes (CLAYER, CECOLOR, CELTYPE, CELWEIGHT, CELTSCALE),
    // read once for each state of the header: counted up by every change of a header variable.
    quint64 headerGeneration = 0;
    struct CurrentProperties {
        quint64 generation = ~quint64(0);
        QString layer, linetype;
        int color = 256, lineweight = -1;
        double linetypeScale = 1;
        Layer* layerRecord = nullptr;               // the record last found for `layer`
        quint64 textStyleGeneration = ~quint64(0);  // TEXTSTYLE, read only for a new text
        QString textStyle;
    } current;
    std::vector<std::unique_ptr<DbObject>> objects;  // dictionaries, sort tables, raw objects
    quint64 nextSequence = 1;
    // Model-space indexes, keyed by nameKey(); erased entries are skipped when read.
    QHash<QString, EntityIndexList> referencesByName;
    QHash<QString, QString> referenceNameSpelling;  // key -> name as written
    // The referenced names laid end to end in one buffer, so a pattern walk reads contiguous memory
    // rather than one heap string per name. Rebuilt after a name was added, renamed or removed (which
    // also moves the hash's values, hence the stale flag on every such change).
    struct ReferenceNameSlot {
        qsizetype offset = 0, length = 0;
        EntityIndexList* list = nullptr;
    };
    QString referenceNamePool;
    std::vector<ReferenceNameSlot> referenceNameSlots;
    bool referenceNamesStale = true;
    QHash<QString, EntityIndexList> entitiesByLayer;
    std::unique_ptr<UndoJournal> journal;
    // Session-only system variables.
    Point3 lastPoint;
    QString lastPrompt;
};

// The transform from a block's coordinates to a reference's owner.
Transform2D referenceTransform(const InsertData& ins, const Point3& base);

// Text measurements used by bounding boxes: width of one line in drawing units.
double estimateTextWidth(const QString& text, double height, double widthFactor);

}  // namespace cad::db
