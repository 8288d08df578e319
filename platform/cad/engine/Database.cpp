// The drawing's core: object storage and handles, tables, blocks, entity creation and erasure,
// and the model-space indexes by block name and layer.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include <sys/mman.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace cad::db {

namespace {

bool validSymbolName(const QString& name) {
    if (name.trimmed().isEmpty() || name.size() > 255) return false;
    // Checked for every block made: a switch rather than a search of the forbidden characters.
    for (QChar c : name) {
        switch (c.unicode()) {
            case u'<': case u'>': case u'/': case u'\\': case u'"': case u':': case u';':
            case u'?': case u'*': case u'|': case u'=': case u'`':
                return false;
            default:
                if (c.unicode() < 32) return false;
        }
    }
    return true;
}

}  // namespace

// ---- Index lists: constant-time add and remove, compacted and ordered when read ----

namespace {

using Slot = quint32 Entity::*;

// Drops the holes (and erased entities when `dropErased`), restores model-space order and
// renumbers the slots.
void compact(EntityIndexList& list, Slot slot, bool dropErased) {
    auto& v = list.items;
    v.erase(
        std::remove_if(v.begin(), v.end(), [&](Entity* e) { return !e || (dropErased && e->isErased()); }),
        v.end());
    if (!list.ordered)
        std::stable_sort(v.begin(), v.end(),
                         [](const Entity* a, const Entity* b) { return a->sequence() < b->sequence(); });
    list.ordered = true;
    list.holes = 0;
    for (size_t i = 0; i < v.size(); ++i) v[i]->*slot = quint32(i);
}

}  // namespace

void Database::indexAdd(EntityIndexList& list, Entity* e, quint32 Entity::*slot) {
    auto& v = list.items;
    // The last real entry decides whether the list stays in order; holes at the end are skipped.
    for (auto it = v.rbegin(); it != v.rend(); ++it)
        if (*it) {
            if ((*it)->sequence() > e->sequence()) list.ordered = false;
            break;
        }
    e->*slot = quint32(v.size());
    v.push_back(e);
}

void Database::indexRemove(EntityIndexList& list, Entity* e, quint32 Entity::*slot) {
    auto& v = list.items;
    const size_t at = e->*slot;
    // An entity whose slot does not hold it is not in this list (dropped as erased, or never added).
    if (at >= v.size() || v[at] != e) return;
    v[at] = nullptr;
    ++list.holes;
    while (!v.empty() && !v.back()) {
        v.pop_back();
        --list.holes;
    }
    if (list.holes > 64 && list.holes * 2 > v.size()) compact(list, slot, false);
}

namespace {
// Chunks of 2 MB, aligned so the kernel may back them with huge pages: first touching the memory
// of a large drawing is then a few hundred page faults instead of tens of thousands.
constexpr size_t chunkBytes = size_t(2) << 20;
constexpr size_t entitiesPerChunk = chunkBytes / sizeof(Entity);
}  // namespace

void* Database::Impl::allocateEntity() {
    if (chunks.empty() || chunkUsed == entitiesPerChunk) {
        void* mem = std::aligned_alloc(chunkBytes, chunkBytes);
        if (!mem) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        madvise(mem, chunkBytes, MADV_HUGEPAGE);
#endif
        chunks.push_back(static_cast<std::byte*>(mem));
        chunkUsed = 0;
    }
    return chunks.back() + sizeof(Entity) * chunkUsed++;
}

Database::Impl::~Impl() {
    for (Entity* e : entities) e->~Entity();
    for (std::byte* c : chunks) std::free(c);
}

Database::Database() : Database(true) {}

Database::Database(bool withDefaults) : d(std::make_unique<Impl>()) {
    d->journal = std::make_unique<UndoJournal>(*this);
    if (withDefaults) ensureDefaults();
}

UndoJournal& Database::journal() {
    return *d->journal;
}

Database::~Database() = default;

std::unique_ptr<Database> Database::createEmpty() {
    return std::unique_ptr<Database>(new Database(false));
}

QString Database::codePage() const {
    if (const Tags* t = headerVariable(QStringLiteral("$DWGCODEPAGE")); t && !t->empty())
        return t->front().value.trimmed();
    return QStringLiteral("ANSI_1252");
}

// ---- Header ----

const Tags* Database::headerVariable(const QString& name) const {
    if (d->headerIndexStale || d->headerIndexed != header_.size()) {
        d->headerIndex.clear();
        // The first of equal names wins, as a walk from the front finds it.
        for (size_t i = header_.size(); i-- > 0;) d->headerIndex.insert(header_[i].name.toUpper(), i);
        d->headerIndexed = header_.size();
        d->headerIndexStale = false;
    }
    auto it = d->headerIndex.constFind(name);
    if (it == d->headerIndex.constEnd()) it = d->headerIndex.constFind(name.toUpper());
    return it == d->headerIndex.constEnd() ? nullptr : &header_[it.value()].tags;
}

void Database::setHeaderVariable(const QString& name, const Tags& tags) {
    d->journal->willModifyHeader();
    ++d->headerGeneration;
    if (const Tags* found = headerVariable(name)) {
        *const_cast<Tags*>(found) = tags;
        return;
    }
    header_.push_back({name, tags});
}

// ---- Handles ----

void Database::registerObject(DbObject* object, quint64 handle) {
    object->db_ = this;
    if (handle == 0 || d->find(handle)) {
        while (d->find(nextHandle_)) ++nextHandle_;
        handle = nextHandle_++;
    }
    object->handle_ = handle;
    if (handle >= nextHandle_) nextHandle_ = handle + 1;
    d->put(handle, object);
}

void Database::raiseHandleSeed(quint64 seed) {
    if (seed > nextHandle_) nextHandle_ = seed;
}

DbObject* Database::objectByHandle(quint64 handle) const {
    return d->find(handle);
}

Entity* Database::entityByHandle(const QString& handle) const {
    DbObject* o = objectByHandle(handleFromText(handle));
    if (!o || o->objectType() != ObjectType::Entity || o->isErased()) return nullptr;
    return static_cast<Entity*>(o);
}

Entity* Database::entity(const QString& handle) const {
    Entity* e = entityByHandle(handle);
    if (!e) throw NotFound(QStringLiteral("Brak obiektu o uchwycie %1").arg(handle));
    return e;
}

// ---- Tables ----

template <class T>
T* Database::newRecord(Table<T>& table, const QString& name, quint64 handle) {
    auto rec = std::make_unique<T>();
    rec->name_ = name;
    registerObject(rec.get(), handle);
    rec->ownerHandle = table.tableHandle;
    T* raw = rec.get();
    table.items_.push_back(std::move(rec));
    table.index_.insert(nameKey(name), raw);
    d->journal->created(raw);
    return raw;
}

template <class T>
T* Database::adoptRecord(Table<T>& table, const QString& name, quint64 handle) {
    if (T* existing = table.find(name)) return existing;  // a duplicate record in a file: first wins
    return newRecord(table, name, handle);
}
template Layer* Database::adoptRecord(Table<Layer>&, const QString&, quint64);
template Linetype* Database::adoptRecord(Table<Linetype>&, const QString&, quint64);
template TextStyle* Database::adoptRecord(Table<TextStyle>&, const QString&, quint64);
template DimStyle* Database::adoptRecord(Table<DimStyle>&, const QString&, quint64);
template AppId* Database::adoptRecord(Table<AppId>&, const QString&, quint64);
template RawTableRecord* Database::adoptRecord(Table<RawTableRecord>&, const QString&, quint64);

Layer* Database::addLayer(const QString& name) {
    if (Layer* l = layers_.find(name)) return l;
    if (!validSymbolName(name))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa warstwy: %1").arg(name));
    return newRecord(layers_, name, 0);
}

Linetype* Database::addLinetype(const QString& name, const QString& description,
                                const std::vector<double>& pattern) {
    if (linetypes_.find(name)) throw AlreadyExists(QStringLiteral("Rodzaj linii %1 już istnieje").arg(name));
    if (!validSymbolName(name))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa rodzaju linii: %1").arg(name));
    Linetype* lt = newRecord(linetypes_, name, 0);
    lt->description = description;
    lt->elements = pattern;
    lt->patternLength = 0;
    for (double e : pattern) lt->patternLength += std::abs(e);
    return lt;
}

TextStyle* Database::addTextStyle(const QString& name) {
    if (TextStyle* s = textStyles_.find(name)) return s;
    if (!validSymbolName(name))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa stylu tekstu: %1").arg(name));
    return newRecord(textStyles_, name, 0);
}

DimStyle* Database::addDimStyle(const QString& name) {
    if (DimStyle* s = dimStyles_.find(name)) return s;
    if (!validSymbolName(name))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa stylu wymiarowania: %1").arg(name));
    return newRecord(dimStyles_, name, 0);
}

AppId* Database::addAppId(const QString& name) {
    if (AppId* a = appIds_.find(name)) return a;
    if (!validSymbolName(name))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa aplikacji: %1").arg(name));
    return newRecord(appIds_, name, 0);
}

Layer* Database::activeLayer() const {
    return layers_.find(std::get<QString>(variable(QStringLiteral("CLAYER"))));
}
void Database::setActiveLayer(Layer* layer) {
    layer->checkAlive();
    setVariable(QStringLiteral("CLAYER"), layer->name());
}
TextStyle* Database::activeTextStyle() const {
    return textStyles_.find(std::get<QString>(variable(QStringLiteral("TEXTSTYLE"))));
}
void Database::setActiveTextStyle(TextStyle* style) {
    style->checkAlive();
    setVariable(QStringLiteral("TEXTSTYLE"), style->name());
}
DimStyle* Database::activeDimStyle() const {
    return dimStyles_.find(std::get<QString>(variable(QStringLiteral("DIMSTYLE"))));
}
void Database::setActiveDimStyle(DimStyle* style) {
    style->checkAlive();
    setHeaderVariable(QStringLiteral("$DIMSTYLE"), {{2, style->name()}});
}

// ---- Blocks ----

BlockDefinition* Database::findBlock(const QString& name) const {
    return d->blockIndex.value(nameKey(name), nullptr);
}

BlockDefinition* Database::block(const QString& name) const {
    if (BlockDefinition* b = findBlock(name)) return b;
    throw NotFound(QStringLiteral("Brak bloku %1").arg(name));
}

std::vector<BlockDefinition*> Database::blocks() const {
    std::vector<BlockDefinition*> out;
    out.reserve(d->blocks.size());
    for (const auto& b : d->blocks)
        if (!b->isErased()) out.push_back(b.get());
    return out;
}

int Database::blockCount() const {
    return int(d->liveBlocks);
}

std::vector<BlockDefinition*> Database::blocksFrom(int index) const {
    std::vector<BlockDefinition*> out;
    const size_t live = d->liveBlocks;
    const size_t wanted = live - std::min(live, size_t(std::max(index, 0)));
    out.reserve(wanted);
    for (auto it = d->blocks.rbegin(); it != d->blocks.rend() && out.size() < wanted; ++it)
        if (!(*it)->isErased()) out.push_back(it->get());
    std::reverse(out.begin(), out.end());
    return out;
}

BlockDefinition* Database::blockAt(int index) const {
    if (index < 0 || size_t(index) >= d->liveBlocks)
        throw NotFound(QStringLiteral("Brak bloku o indeksie %1").arg(index));
    // Without deleted blocks the table position is the storage position.
    if (d->liveBlocks == d->blocks.size()) return d->blocks[size_t(index)].get();
    for (const auto& b : d->blocks)
        if (!b->isErased() && index-- == 0) return b.get();
    throw NotFound(QStringLiteral("Brak bloku o indeksie %1").arg(index));
}

BlockDefinition* Database::adoptBlock(const QString& name, quint64 recordHandle) {
    auto b = std::make_unique<BlockDefinition>();
    b->name_ = name;
    registerObject(b.get(), recordHandle);
    b->ownerHandle = blockRecordTableHandle;
    BlockDefinition* raw = b.get();
    d->blocks.push_back(std::move(b));
    ++d->liveBlocks;
    if (!d->blockIndex.contains(nameKey(name))) d->blockIndex.insert(nameKey(name), raw);
    d->journal->created(raw);
    return raw;
}

void Database::setBlockNameRaw(BlockDefinition* block, const QString& name) {
    if (d->blockIndex.value(nameKey(block->name_)) == block) d->blockIndex.remove(nameKey(block->name_));
    block->name_ = name;
    d->blockIndex.insert(nameKey(name), block);
}

void Database::setLayouts(BlockDefinition* model, BlockDefinition* paper) {
    modelSpace_ = model;
    paperSpace_ = paper;
}

BlockDefinition* Database::addBlock(const QString& name, const Point3& basePoint) {
    QString actual = name;
    // "*U", "*D", "*X", ...: the next free anonymous name of that kind.
    const bool anonymous = name.size() == 2 && name.at(0) == QLatin1Char('*') && name.at(1).isLetter();
    if (anonymous) {
        for (int n = 1;; ++n) {
            actual = name.toUpper() + QString::number(n);
            if (!findBlock(actual)) break;
        }
    } else {
        if (!validSymbolName(name) || name.startsWith('*'))
            throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa bloku: %1").arg(name));
        if (findBlock(name)) throw AlreadyExists(QStringLiteral("Blok %1 już istnieje").arg(name));
    }
    BlockDefinition* b = adoptBlock(actual, 0);
    b->basePoint = basePoint;
    if (anonymous) b->flags |= 1;
    b->blockEntityHandle = nextHandle_++;
    b->endblkHandle = nextHandle_++;
    return b;
}

int Database::referenceCount(const BlockDefinition* block) const {
    int n = 0;
    const QString key = nameKey(block->name());
    for (const auto& e : d->entities) {
        if (e->isErased() || e->kind() != EntityKind::BlockReference) continue;
        if (e->ownerBlock() && e->ownerBlock()->isErased()) continue;
        if (nameKey(std::get<InsertData>(e->data).blockName) == key) ++n;
    }
    return n;
}

void Database::renameBlock(BlockDefinition* block, const QString& newName) {
    block->checkAlive();
    if (block->isLayout()) throw InvalidArgument(QStringLiteral("Nazwy układu nie można zmienić"));
    if (!validSymbolName(newName) || newName.startsWith('*'))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa bloku: %1").arg(newName));
    const QString oldKey = nameKey(block->name());
    const QString newKey = nameKey(newName);
    if (oldKey != newKey && findBlock(newName))
        throw AlreadyExists(QStringLiteral("Blok %1 już istnieje").arg(newName));
    d->journal->blockRenamed(block, block->name());
    for (const auto& e : d->entities) {
        if (e->kind() != EntityKind::BlockReference) continue;
        auto& ins = std::get<InsertData>(e->data);
        if (nameKey(ins.blockName) == oldKey) ins.blockName = newName;
    }
    if (oldKey != newKey) {
        auto refs = d->referencesByName.take(oldKey);
        if (!refs.items.empty()) d->referencesByName.insert(newKey, std::move(refs));
        d->referenceNameSpelling.remove(oldKey);
    }
    if (d->referencesByName.contains(newKey)) d->referenceNameSpelling.insert(newKey, newName);
    d->referenceNamesStale = true;
    setBlockNameRaw(block, newName);
}

void Database::deleteBlock(BlockDefinition* block) {
    block->checkAlive();
    if (block->isLayout()) throw Failed(QStringLiteral("Obszaru modelu ani papieru nie można usunąć"));
    if (const int n = referenceCount(block); n > 0)
        throw Failed(
            QStringLiteral("Blok %1 jest wstawiony w rysunku (wstawień: %2)").arg(block->name()).arg(n));
    for (Entity* e : std::vector<Entity*>(block->entities())) erase(e);
    d->journal->blockDeleted(block);
    block->erased_ = true;
    --d->liveBlocks;
    // Out of the table, so that its positions stay direct; the object lives on for references to it.
    auto it =
        std::find_if(d->blocks.begin(), d->blocks.end(), [&](const auto& b) { return b.get() == block; });
    if (it != d->blocks.end()) {
        d->deletedBlocks.push_back(std::move(*it));
        d->blocks.erase(it);
    }
    if (d->blockIndex.value(nameKey(block->name())) == block) d->blockIndex.remove(nameKey(block->name()));
}

// ---- Entities ----

Entity* Database::newEntity(BlockDefinition* block, EntityKind kind, quint64 handle, Entity* reference) {
    Entity* raw = new (d->allocateEntity()) Entity(kind);
    d->entities.push_back(raw);
    registerObject(raw, handle);
    raw->sequence_ = d->nextSequence++;
    if (reference) {
        raw->reference_ = reference;
        raw->ownerHandle = reference->handle();
        std::get<InsertData>(reference->data).attributes.push_back(raw);
    } else if (block) {
        raw->block_ = block;
        raw->ownerHandle = block->handle();
        block->items_.push_back(raw);
    }
    d->journal->created(raw);
    return raw;
}

Entity* Database::adoptEntity(BlockDefinition* block, EntityKind kind, quint64 handle, Entity* reference) {
    return newEntity(block, kind, handle, reference);
}

void Database::indexEntity(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_ || e->isErased()) return;
    indexAdd(d->entitiesByLayer[nameKey(e->layer_)], e, &Entity::layerSlot_);
    if (e->kind() == EntityKind::BlockReference) {
        const QString& name = std::get<InsertData>(e->data).blockName;
        const QString key = nameKey(name);
        const auto names = d->referencesByName.size();
        EntityIndexList& refs = d->referencesByName[key];
        // Every name in the index has its spelling: only a name new to it may lack one.
        if (d->referencesByName.size() != names) {
            d->referenceNamesStale = true;
            if (!d->referenceNameSpelling.contains(key)) d->referenceNameSpelling.insert(key, name);
        }
        indexAdd(refs, e, &Entity::referenceSlot_);
    }
}

void Database::indexLayer(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_ || e->isErased()) return;
    indexAdd(d->entitiesByLayer[nameKey(e->layer_)], e, &Entity::layerSlot_);
}

void Database::unindexLayer(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_) return;
    auto lit = d->entitiesByLayer.find(nameKey(e->layer_));
    if (lit != d->entitiesByLayer.end()) indexRemove(lit.value(), e, &Entity::layerSlot_);
}

void Database::unindexEntity(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_) return;
    unindexLayer(e);
    if (e->kind() == EntityKind::BlockReference) {
        auto rit = d->referencesByName.find(nameKey(std::get<InsertData>(e->data).blockName));
        if (rit != d->referencesByName.end()) indexRemove(rit.value(), e, &Entity::referenceSlot_);
    }
}

void Database::setLayerRaw(Entity* entity, const QString& layer) {
    entity->layer_ = layer;
}

void Database::eraseObject(DbObject* object) {
    if (object->objectType() == ObjectType::Entity)
        throw InvalidArgument(QStringLiteral("Obiekty usuwa się przez erase()"));
    d->journal->erased(object);
    if (object->objectType() == ObjectType::BlockDefinition && !object->erased_) --d->liveBlocks;
    object->erased_ = true;
}

std::vector<Entity*> Database::allEntities() const {
    std::vector<Entity*> out;
    out.reserve(d->entities.size());
    for (Entity* e : d->entities) out.push_back(e);
    return out;
}

void Database::rebuildIndexes() {
    d->entitiesByLayer.clear();
    d->referencesByName.clear();
    d->referenceNameSpelling.clear();
    d->referenceNamesStale = true;
    if (!modelSpace_) return;
    // Entities arrive in sequence order, so plain appends keep the vectors ordered.
    QHash<QString, QString> keyCache;
    auto keyOf = [&](const QString& s) {
        auto it = keyCache.constFind(s);
        if (it != keyCache.constEnd()) return it.value();
        QString k = nameKey(s);
        keyCache.insert(s, k);
        return k;
    };
    for (Entity* e : modelSpace_->entities()) {
        auto& onLayer = d->entitiesByLayer[keyOf(e->layer_)].items;
        e->layerSlot_ = quint32(onLayer.size());
        onLayer.push_back(e);
        if (e->kind() == EntityKind::BlockReference) {
            const QString& name = std::get<InsertData>(e->data).blockName;
            const QString key = keyOf(name);
            auto& refs = d->referencesByName[key].items;
            e->referenceSlot_ = quint32(refs.size());
            refs.push_back(e);
            if (!d->referenceNameSpelling.contains(key)) d->referenceNameSpelling.insert(key, name);
        }
    }
}

void Database::applyCurrentProperties(Entity* e) {
    Impl::CurrentProperties& c = d->current;
    if (c.generation != d->headerGeneration) {
        c.layer = std::get<QString>(variable(QStringLiteral("CLAYER")));
        c.color = currentColor();
        c.linetype = std::get<QString>(variable(QStringLiteral("CELTYPE")));
        c.lineweight = std::get<int>(variable(QStringLiteral("CELWEIGHT")));
        c.linetypeScale = std::get<double>(variable(QStringLiteral("CELTSCALE")));
        c.generation = d->headerGeneration;
    }
    // The layer table may have changed since: the layer is looked up each time, but a record found
    // before that still lives under that very name answers without the look-up (a record leaves the
    // table's index only when erased, and its name never changes).
    if (!c.layerRecord || c.layerRecord->isErased() || c.layerRecord->name() != c.layer)
        c.layerRecord = layers_.find(c.layer);
    e->layer_ = c.layerRecord ? c.layer : QStringLiteral("0");
    e->color = c.color;
    e->linetype = c.linetype;
    e->lineweight = c.lineweight;
    e->linetypeScale = c.linetypeScale;
}

Entity* Database::addEntity(BlockDefinition* block, EntityKind kind) {
    Entity* e = createEntity(block, kind);
    indexEntity(e);
    return e;
}

Entity* Database::createEntity(BlockDefinition* block, EntityKind kind) {
    if (!block) throw InvalidArgument(QStringLiteral("Nie podano bloku"));
    block->checkAlive();
    if (kind == EntityKind::AttributeReference)
        throw NotSupported(QStringLiteral("Atrybuty powstają przy wstawianiu bloku"));
    Entity* e = newEntity(block, kind, 0, nullptr);
    applyCurrentProperties(e);
    TextData* t = e->textData();
    auto* m = e->tryAs<MTextData>();
    if (t || m) {
        // The current style's name is read once for each state of the header, as the properties
        // above; the style itself is looked up each time, as the table may have changed.
        Impl::CurrentProperties& c = d->current;
        if (c.textStyleGeneration != d->headerGeneration) {
            c.textStyle = std::get<QString>(variable(QStringLiteral("TEXTSTYLE")));
            c.textStyleGeneration = d->headerGeneration;
        }
        if (TextStyle* s = textStyles_.find(c.textStyle)) {
            if (t) t->style = s->name();
            if (m) m->style = s->name();
        }
    }
    if (auto* p = e->tryAs<Polyline2dData>()) p->seqendHandle = nextHandle_++;
    if (auto* i = e->tryAs<InsertData>()) i->seqendHandle = nextHandle_++;
    return e;
}

Entity* Database::addLine(BlockDefinition* block, const Point3& start, const Point3& end) {
    Entity* e = addEntity(block, EntityKind::Line);
    e->as<LineData>() = {start, end};
    return e;
}

Entity* Database::addArc(BlockDefinition* block, const Point3& center, double radius, double startAngle,
                         double endAngle) {
    if (!(radius > 0)) throw InvalidArgument(QStringLiteral("Promień łuku musi być dodatni"));
    Entity* e = addEntity(block, EntityKind::Arc);
    e->as<ArcData>() = {center, radius, normalizeAngle(startAngle), normalizeAngle(endAngle)};
    return e;
}

Entity* Database::addCircle(BlockDefinition* block, const Point3& center, double radius) {
    if (!(radius > 0)) throw InvalidArgument(QStringLiteral("Promień okręgu musi być dodatni"));
    Entity* e = addEntity(block, EntityKind::Circle);
    e->as<CircleData>() = {center, radius};
    return e;
}

Entity* Database::addLwPolyline(BlockDefinition* block, const std::vector<Vertex>& vertices, bool closed) {
    if (vertices.size() < 2)
        throw InvalidArgument(QStringLiteral("Polilinia wymaga co najmniej dwóch wierzchołków"));
    Entity* e = addEntity(block, EntityKind::LwPolyline);
    auto& p = e->as<LwPolylineData>();
    p.vertices = vertices;
    p.closed = closed;
    return e;
}

Entity* Database::addText(BlockDefinition* block, const QString& text, const Point3& position,
                          double height) {
    if (!(height > 0)) throw InvalidArgument(QStringLiteral("Wysokość tekstu musi być dodatnia"));
    Entity* e = addEntity(block, EntityKind::Text);
    auto& t = e->as<TextData>();
    t.text = text;
    t.position = position;
    t.alignmentPoint = position;
    t.height = height;
    return e;
}

Entity* Database::addMText(BlockDefinition* block, const Point3& position, double width,
                           const QString& text) {
    Entity* e = addEntity(block, EntityKind::MText);
    auto& m = e->as<MTextData>();
    m.position = position;
    m.width = width;
    m.text = text;
    if (TextStyle* s = textStyles_.find(m.style); s && s->height > 0) m.height = s->height;
    return e;
}

Entity* Database::addPoint(BlockDefinition* block, const Point3& position) {
    Entity* e = addEntity(block, EntityKind::Point);
    e->as<PointData>().position = position;
    return e;
}

Entity* Database::addAttributeDefinition(BlockDefinition* block, double height, int mode,
                                         const QString& prompt, const Point3& position, const QString& tag,
                                         const QString& value) {
    if (tag.isEmpty() || tag.contains(' '))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa etykieta atrybutu: %1").arg(tag));
    if (!(height > 0)) throw InvalidArgument(QStringLiteral("Wysokość atrybutu musi być dodatnia"));
    if (mode < 0 || mode > 15)
        throw InvalidArgument(QStringLiteral("Nieprawidłowy tryb atrybutu %1").arg(mode));
    Entity* e = addEntity(block, EntityKind::AttributeDefinition);
    auto& a = e->as<AttributeData>();
    a.height = height;
    a.flags = mode;
    a.prompt = prompt;
    a.position = position;
    a.alignmentPoint = position;
    a.tag = tag;
    a.text = value;
    block->flags |= 2;
    return e;
}

Transform2D referenceTransform(const InsertData& ins, const Point3& base) {
    return Transform2D::translation(ins.position.x, ins.position.y)
        .after(Transform2D::rotation(ins.rotation))
        .after(Transform2D::scale(ins.xScale, ins.yScale))
        .after(Transform2D::translation(-base.x, -base.y));
}

Entity* Database::insertBlock(BlockDefinition* owner, const Point3& position, const QString& name,
                              double xScale, double yScale, double zScale, double rotation) {
    BlockDefinition* def = findBlock(name);
    if (!def || def->isLayout()) throw NotFound(QStringLiteral("Brak bloku %1").arg(name));
    if (xScale == 0 || yScale == 0 || zScale == 0)
        throw InvalidArgument(QStringLiteral("Skala nie może wynosić 0"));
    // Indexed once its block name is set.
    Entity* e = createEntity(owner, EntityKind::BlockReference);
    auto& ins = e->as<InsertData>();
    ins.blockName = def->name();
    ins.position = position;
    ins.xScale = xScale;
    ins.yScale = yScale;
    ins.zScale = zScale;
    ins.rotation = normalizeAngle(rotation);
    indexEntity(e);
    const Transform2D t = referenceTransform(ins, def->basePoint);
    for (Entity* defEntity : def->attributeDefinitions()) {
        const auto& ad = defEntity->as<AttributeData>();
        if (ad.flags & 2) continue;  // constant attributes live in the definition only
        Entity* a = newEntity(nullptr, EntityKind::AttributeReference, 0, e);
        a->layer_ = defEntity->layer_ == QLatin1String("0") ? e->layer_ : defEntity->layer_;
        a->color = defEntity->color;
        a->linetype = defEntity->linetype;
        a->lineweight = defEntity->lineweight;
        a->visible = defEntity->visible;
        auto& ar = a->as<AttributeData>();
        ar = ad;
        ar.prompt.clear();
        ar.flags = ad.flags & ~2;
        ar.position = t.apply(ad.position);
        ar.alignmentPoint = t.apply(ad.alignmentPoint);
        ar.rotation = normalizeAngle(ad.rotation + ins.rotation);
        ar.height = ad.height * std::abs(yScale);
        ar.widthFactor = ad.widthFactor * std::abs(xScale / yScale);
    }
    return e;
}

std::vector<Entity*> Database::attributes(const Entity* reference) const {
    std::vector<Entity*> out;
    if (const auto* ins = reference->tryAs<InsertData>())
        for (Entity* a : ins->attributes)
            if (!a->isErased()) out.push_back(a);
    return out;
}

void Database::setLayer(Entity* entity, const QString& layer) {
    entity->checkAlive();
    Layer* l = layers_.find(layer);
    if (!l) throw NotFound(QStringLiteral("Brak warstwy %1").arg(layer));
    d->journal->willModify(entity);
    unindexLayer(entity);
    entity->layer_ = l->name();
    indexLayer(entity);
}

void Database::setReferenceBlock(Entity* reference, const QString& blockName) {
    reference->checkAlive();
    auto& ins = reference->as<InsertData>();
    BlockDefinition* def = findBlock(blockName);
    if (!def || def->isLayout()) throw NotFound(QStringLiteral("Brak bloku %1").arg(blockName));
    d->journal->willModify(reference);
    unindexEntity(reference);
    ins.blockName = def->name();
    indexEntity(reference);
}

void Database::erase(Entity* entity) {
    entity->checkAlive();
    if (entity->kind() == EntityKind::AttributeReference && !entity->reference_->isErased())
        throw NotSupported(QStringLiteral("Atrybut usuwa się razem z jego wstawieniem bloku"));
    d->journal->erased(entity);
    // Out of the indexes at once (constant time), so that reading them never meets the dead.
    unindexEntity(entity);
    entity->erased_ = true;
    if (entity->block_) entity->block_->erasedCount_++;
    if (auto* ins = entity->tryAs<InsertData>())
        for (Entity* a : ins->attributes) a->erased_ = true;
}

// ---- Model-space indexes ----

std::vector<Entity*> Database::referencesTo(const QString& blockName) const {
    auto it = d->referencesByName.find(nameKey(blockName));
    if (it == d->referencesByName.end()) return {};
    compact(it.value(), &Entity::referenceSlot_, true);
    return it.value().items;
}

bool Database::hasReferences(const QString& blockName) const {
    auto it = d->referencesByName.find(nameKey(blockName));
    if (it == d->referencesByName.end()) return false;
    compact(it.value(), &Entity::referenceSlot_, true);
    return !it.value().items.empty();
}

size_t Database::collectReferences(const std::function<bool(QStringView)>& matches,
                                   std::vector<Entity*>& out) const {
    if (d->referenceNamesStale) {
        d->referenceNamePool.clear();
        d->referenceNameSlots.clear();
        d->referenceNameSlots.reserve(size_t(d->referencesByName.size()));
        for (auto it = d->referencesByName.begin(); it != d->referencesByName.end(); ++it) {
            // A plain ASCII key is the name in lower case, which matches as the name does (matching
            // ignores case); any other key is matched by the name as the references spell it.
            const QString& key = it.key();
            const bool ascii =
                std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 0x80; });
            const QString& name = ascii ? key : d->referenceNameSpelling.value(key, key);
            d->referenceNameSlots.push_back({d->referenceNamePool.size(), name.size(), &it.value()});
            d->referenceNamePool += name;
        }
        d->referenceNamesStale = false;
    }
    const QStringView pool(d->referenceNamePool);
    size_t groups = 0;
    for (const auto& slot : d->referenceNameSlots) {
        if (slot.list->items.empty() || !matches(pool.mid(slot.offset, slot.length))) continue;
        compact(*slot.list, &Entity::referenceSlot_, true);
        out.insert(out.end(), slot.list->items.begin(), slot.list->items.end());
        ++groups;
    }
    return groups;
}

std::vector<QString> Database::referencedBlockNames() const {
    std::vector<QString> out;
    // Erased references leave the lists and trailing holes are dropped, so a list that is not empty
    // holds a live reference.
    for (auto it = d->referencesByName.begin(); it != d->referencesByName.end(); ++it)
        if (!it.value().items.empty()) out.push_back(d->referenceNameSpelling.value(it.key(), it.key()));
    return out;
}

std::vector<Entity*> Database::entitiesOnLayer(const QString& layer) const {
    auto it = d->entitiesByLayer.find(nameKey(layer));
    if (it == d->entitiesByLayer.end()) return {};
    compact(it.value(), &Entity::layerSlot_, true);
    return it.value().items;
}

// ---- Objects ----

RawObject* Database::addRawObject(const QString& dxfName, quint64 handle) {
    auto o = std::make_unique<RawObject>();
    o->dxfName = dxfName;
    registerObject(o.get(), handle);
    RawObject* raw = o.get();
    d->objects.push_back(std::move(o));
    d->journal->created(raw);
    return raw;
}

Dictionary* Database::addDictionary(quint64 handle) {
    auto o = std::make_unique<Dictionary>();
    registerObject(o.get(), handle);
    Dictionary* raw = o.get();
    d->objects.push_back(std::move(o));
    d->journal->created(raw);
    return raw;
}

SortentsTable* Database::addSortentsTable(quint64 handle) {
    auto o = std::make_unique<SortentsTable>();
    registerObject(o.get(), handle);
    SortentsTable* raw = o.get();
    d->objects.push_back(std::move(o));
    d->journal->created(raw);
    return raw;
}

std::vector<DbObject*> Database::objects() const {
    std::vector<DbObject*> out;
    for (const auto& o : d->objects)
        if (!o->isErased()) out.push_back(o.get());
    return out;
}

Dictionary* Database::rootDictionary() const {
    return root_;
}

DbObject* Database::dictionaryObject(const Dictionary* dictionary, const QString& name) const {
    if (!dictionary) return nullptr;
    DbObject* o = objectByHandle(dictionary->find(name));
    return o && !o->isErased() ? o : nullptr;
}

Dictionary* Database::extensionDictionary(DbObject* object, bool create) {
    object->checkAlive();
    if (object->extensionDictionary) {
        DbObject* o = objectByHandle(object->extensionDictionary);
        if (o && o->objectType() == ObjectType::Dictionary && !o->isErased())
            return static_cast<Dictionary*>(o);
    }
    if (!create) return nullptr;
    d->journal->willModify(object);
    Dictionary* dict = addDictionary(0);
    dict->ownerHandle = object->handle();
    dict->hardOwner = 1;
    dict->reactors.push_back(object->handle());
    object->extensionDictionary = dict->handle();
    return dict;
}

DbObject* Database::addDictionaryObject(Dictionary* dictionary, const QString& name,
                                        const QString& className) {
    dictionary->checkAlive();
    if (DbObject* o = dictionaryObject(dictionary, name)) return o;
    DbObject* created = nullptr;
    if (className.compare(QLatin1String("AcDbSortentsTable"), Qt::CaseInsensitive) == 0) {
        auto* s = addSortentsTable(0);
        // The table orders the block whose extension dictionary holds it (model space by default).
        s->blockRecord =
            dictionary->ownerHandle ? dictionary->ownerHandle : (modelSpace_ ? modelSpace_->handle() : 0);
        created = s;
    } else if (className.compare(QLatin1String("AcDbDictionary"), Qt::CaseInsensitive) == 0) {
        created = addDictionary(0);
    } else if (className.compare(QLatin1String("AcDbXrecord"), Qt::CaseInsensitive) == 0) {
        auto* x = addRawObject(QStringLiteral("XRECORD"), 0);
        x->tags = {{100, QStringLiteral("AcDbXrecord")}, {280, QStringLiteral("1")}};
        created = x;
    } else {
        throw NotSupported(QStringLiteral("Nie można dodać obiektów klasy %1").arg(className));
    }
    created->ownerHandle = dictionary->handle();
    created->reactors.push_back(dictionary->handle());
    d->journal->willModify(dictionary);
    dictionary->entries.push_back({name, created->handle(), true});
    return created;
}

}  // namespace cad::db
