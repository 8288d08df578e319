// The drawing's core: object storage and handles, header variables, tables and objects. Blocks,
// entities and the model-space indexes are in DatabaseBlocks.cpp, DatabaseEntities.cpp and
// DatabaseIndexes.cpp.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include <sys/mman.h>
#include <cstdlib>

namespace cad::db {

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
