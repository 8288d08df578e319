// The DXF reader: sections, tables, blocks, entities and objects into the drawing database.
// Modelled kinds are parsed into their records; everything else is kept as tags.
#include "platform/cad/dxf/DxfReader.h"

#include "platform/cad/dxf/BinaryDxf.h"
#include "platform/cad/dxf/CodePage.h"
#include "platform/cad/dxf/FileErrors.h"
#include "platform/cad/dxf/DxfTokenizer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace cad::dxf {

using namespace cad::db;

namespace {

constexpr double degToRad = M_PI / 180.0;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The parts of a record common to every object.
struct Split {
    quint64 handle = 0;
    quint64 owner = 0;
    quint64 extDict = 0;
    std::vector<quint64> reactors;
    Tags appData;
    std::vector<const RawTag*> body;
    std::vector<const RawTag*> xdata;
};

class Reader {
public:
    Reader(const QByteArray& data, const QString& source)
        : tk_(data, source), cp_(QStringLiteral("ANSI_1252"), false), data_(data) {}

    std::unique_ptr<Database> run();

private:
    // ---- records ----
    bool readRecord(std::vector<RawTag>& out, QString& type, qint64& line);
    void split(const std::vector<RawTag>& rec, Split& s, bool dimstyle = false);
    QString text(const RawTag& t) { return cp_.decode(t.value.data(), qsizetype(t.value.size())); }
    QString name(const RawTag& t);
    double num(const RawTag& t) { return toDouble(tk_, t); }
    int integer(const RawTag& t) { return toInt(tk_, t); }
    Tag toTag(const RawTag& t) { return Tag{t.code, text(t)}; }
    void applyObject(DbObject* o, const Split& s);

    // ---- sections ----
    void readHeader();
    void readClasses();
    void readTables();
    void readTable(const QString& tableName, quint64 tableHandle);
    void readBlocks();
    void readEntities(BlockDefinition* defaultBlock, const char* terminator);
    void readObjects();
    void skipSection();
    void keepSection(const QString& name);

    // ---- entities ----
    void readEntity(const QString& type, std::vector<RawTag>& rec, qint64 line, BlockDefinition* block);
    bool applyCommon(Entity* e, const RawTag& t);
    bool applyText(TextData& td, const RawTag& t, int verticalCode);
    bool applyAttribute(AttributeData& ad, const RawTag& t);
    void setPoint(Point3& p, const RawTag& t, int base);
    bool parseHatch(const std::vector<const RawTag*>& own, HatchData& h, Tags& extras);
    bool splineEdge(const std::vector<const RawTag*>& own, size_t& i, Tags& out);
    BlockDefinition* modelSpace();
    BlockDefinition* paperSpace();
    void finish();

    Tokenizer tk_;
    CodePage cp_;
    std::unique_ptr<Database> db_ = Database::createEmpty();
    std::unordered_map<std::string_view, QString> names_, types_;
    std::vector<RawTag> rec_;
    Split entitySplit_, subSplit_;
    std::vector<const RawTag*> own_;
    quint64 handseed_ = 0;
    std::vector<std::pair<QString, QString>> headerCustom_;
    Dictionary* root_ = nullptr;

    // ---- handles ----
    // Every handle the file gives, before anything is read: new handles go above the highest.
    void collectHandles(const QByteArray& data);
    // The handle to adopt an object under: 0 (a new one) when a record without an object of its
    // own (BLOCK, ENDBLK, VERTEX, SEQEND) already took it.
    quint64 want(quint64 h) const { return h && claimed_.count(h) ? 0 : h; }
    // Records that an object read under `h` was adopted as `o` (renumbered as a duplicate, or
    // merged into an earlier record of the same name).
    void adopted(quint64 h, const DbObject* o);
    // A handle for a record that is no object of the engine's: `h` when still free, else a new one.
    quint64 claim(quint64 h);
    // Where a pointer to `h` leads after renumbering; `toObject` when it points into the OBJECTS
    // section (dictionary entries, extension dictionaries, layouts, owners of objects).
    quint64 remap(quint64 h, bool toObject) const;
    void remapTags(Tags& tags, bool inObject) const;
    void remapPointers();
    void pairLayoutsWithRecords();
    std::unordered_set<quint64> claimed_;
    std::unordered_set<const BlockDefinition*> unnumberedRecords_;
    std::unordered_map<quint64, std::vector<quint64>> renumbered_;
    const QByteArray& data_;
};

QString Reader::name(const RawTag& t) {
    auto it = names_.find(t.value);
    if (it != names_.end()) return it->second;
    QString v = text(t).trimmed();
    names_.emplace(t.value, v);
    return v;
}

bool Reader::readRecord(std::vector<RawTag>& out, QString& type, qint64& line) {
    out.clear();
    RawTag t;
    if (!tk_.next(t)) return false;
    if (t.code != 0) tk_.fail(t.line, QStringLiteral("oczekiwano kodu grupy 0, jest %1").arg(t.code));
    // Record types repeat endlessly: one shared string per type.
    const std::string_view tv = trimmed(t.value);
    auto it = types_.find(tv);
    if (it == types_.end())
        it = types_.emplace(tv, QString::fromLatin1(tv.data(), qsizetype(tv.size()))).first;
    type = it->second;
    line = t.line;
    while (tk_.next(t)) {
        if (t.code == 0) {
            tk_.pushBack();
            break;
        }
        out.push_back(t);
    }
    return true;
}

void Reader::split(const std::vector<RawTag>& rec, Split& s, bool dimstyle) {
    s.handle = s.owner = s.extDict = 0;
    s.reactors.clear();
    s.appData.clear();
    s.body.clear();
    s.xdata.clear();
    bool seenSubclass = false;
    bool inXdata = false;
    for (size_t i = 0; i < rec.size(); ++i) {
        const RawTag& t = rec[i];
        if (inXdata || t.code >= 1000) {
            inXdata = true;
            s.xdata.push_back(&t);
            continue;
        }
        if (!seenSubclass && s.handle == 0 && (t.code == 5 || (dimstyle && t.code == 105))) {
            s.handle = toHandle(t);
            continue;
        }
        if (t.code == 102) {
            const std::string_view v = trimmed(t.value);
            if (v == "{ACAD_REACTORS") {
                for (++i; i < rec.size() && rec[i].code != 102; ++i)
                    if (rec[i].code == 330) s.reactors.push_back(toHandle(rec[i]));
                continue;
            }
            if (v == "{ACAD_XDICTIONARY") {
                for (++i; i < rec.size() && rec[i].code != 102; ++i)
                    if (rec[i].code == 360) s.extDict = toHandle(rec[i]);
                continue;
            }
            // Another application's group, kept verbatim.
            s.appData.push_back(toTag(t));
            for (++i; i < rec.size(); ++i) {
                s.appData.push_back(toTag(rec[i]));
                if (rec[i].code == 102) break;
            }
            continue;
        }
        if (t.code == 330 && !seenSubclass && s.owner == 0) {
            s.owner = toHandle(t);
            continue;
        }
        if (t.code == 100) seenSubclass = true;
        s.body.push_back(&t);
    }
}

void Reader::applyObject(DbObject* o, const Split& s) {
    o->ownerHandle = s.owner;
    o->extensionDictionary = s.extDict;
    o->reactors = s.reactors;
    o->appData = s.appData;
    o->xdata.clear();
    o->xdata.reserve(s.xdata.size());
    for (const RawTag* t : s.xdata) o->xdata.push_back(toTag(*t));
}

void Reader::collectHandles(const QByteArray& data) {
    // Only code lines "5" and "105" matter; a light scan of the lines, not a full tokenizing.
    const char* p = data.constData();
    const char* end = p + data.size();
    quint64 highest = 0;
    bool codeLine = true;
    bool handleNext = false;
    bool afterSeed = false;  // $HANDSEED's value (code 5) is the next free handle, not one in use
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = nl ? nl : end;
        std::string_view line(p, size_t(stop - p));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = trimmed(line);
        if (codeLine) {
            handleNext = (line == "5" || line == "105") && !afterSeed;
            afterSeed = false;
        } else if (line == "$HANDSEED") {
            afterSeed = true;
        } else if (handleNext) {
            quint64 v = 0;
            auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), v, 16);
            if (ec == std::errc() && v > highest && v < (quint64(1) << 62)) highest = v;
        }
        codeLine = !codeLine;
        p = nl ? nl + 1 : end;
    }
    db_->raiseHandleSeed(highest + 1);
}

void Reader::adopted(quint64 h, const DbObject* o) {
    if (h && o->handle() != h) renumbered_[h].push_back(o->handle());
}

quint64 Reader::claim(quint64 h) {
    if (h == 0 || claimed_.count(h) || db_->objectByHandle(h)) {
        if (h) renumbered_[h];  // a duplicate: pointers keep the object that holds it
        h = db_->handleSeed();
        while (db_->objectByHandle(h) || claimed_.count(h)) ++h;
        db_->raiseHandleSeed(h + 1);
    }
    claimed_.insert(h);
    return h;
}

quint64 Reader::remap(quint64 h, bool toObject) const {
    if (h == 0) return h;
    auto it = renumbered_.find(h);
    if (it == renumbered_.end() || it->second.empty()) return h;
    const DbObject* holder = db_->objectByHandle(h);
    // The handle itself went to no object (a record merged into an earlier one of its name).
    if (!holder) return it->second.front();
    auto inObjects = [](const DbObject* o) {
        const ObjectType t = o->objectType();
        return t == ObjectType::Dictionary || t == ObjectType::SortentsTable || t == ObjectType::RawObject;
    };
    if (toObject && !inObjects(holder))
        for (quint64 n : it->second)
            if (const DbObject* o = db_->objectByHandle(n); o && inObjects(o)) return n;
    return h;
}

void Reader::remapTags(Tags& tags, bool inObject) const {
    for (Tag& t : tags) {
        const bool pointer = (t.code >= 320 && t.code <= 369) || (t.code >= 390 && t.code <= 399) ||
                             t.code == 480 || t.code == 481 || t.code == 1005;
        if (!pointer) continue;
        const quint64 h = handleFromText(t.value);
        const quint64 n = remap(h, inObject && (t.code == 350 || t.code == 360 || t.code == 330));
        if (n != h) t.value = handleToText(n);
    }
}

void Reader::remapPointers() {
    if (renumbered_.empty()) return;
    auto common = [&](DbObject* o, bool inObject) {
        o->ownerHandle = remap(o->ownerHandle, inObject);
        o->extensionDictionary = remap(o->extensionDictionary, true);
        for (quint64& r : o->reactors) r = remap(r, true);
        remapTags(o->appData, inObject);
        remapTags(o->xdata, false);
    };
    for (DbObject* o : db_->objects()) {
        common(o, true);
        if (auto* d = dynamic_cast<Dictionary*>(o)) {
            for (auto& e : d->entries) e.handle = remap(e.handle, true);
            remapTags(d->extraTags, true);
        } else if (auto* r = dynamic_cast<RawObject*>(o)) {
            remapTags(r->tags, true);
        } else if (auto* st = dynamic_cast<SortentsTable*>(o)) {
            st->blockRecord = remap(st->blockRecord, false);
            for (auto& [entity, key] : st->entries) entity = remap(entity, false);
        }
    }
    auto records = [&](auto& table) {
        for (auto* r : table.records()) {
            common(r, false);
            remapTags(r->extraTags, false);
        }
    };
    records(db_->layers());
    records(db_->linetypes());
    records(db_->textStyles());
    records(db_->dimStyles());
    records(db_->appIds());
    records(db_->viewports());
    records(db_->views());
    records(db_->ucss());
    records(db_->shapeStyles());
    for (Layer* l : db_->layers().records()) l->plotStyleHandle = remap(l->plotStyleHandle, true);
    for (Linetype* lt : db_->linetypes().records()) remapTags(lt->complexTags, false);
    for (auto* tables : {&db_->viewports(), &db_->views(), &db_->ucss(), &db_->shapeStyles()})
        for (RawTableRecord* r : tables->records()) remapTags(r->tags, false);
    for (auto& [name, tags] : db_->tableHeadTags) remapTags(tags, true);
    // The solid-model records of ACDSDATA name their entities (320).
    for (auto& [name, tags] : db_->extraSections) remapTags(tags, false);
    for (BlockDefinition* b : db_->blocks()) {
        common(b, false);
        b->layoutHandle = remap(b->layoutHandle, true);
        remapTags(b->recordExtraTags, false);
        remapTags(b->blockXdata, false);
    }
    for (Entity* e : db_->allEntities()) {
        e->extensionDictionary = remap(e->extensionDictionary, true);
        for (quint64& r : e->reactors) r = remap(r, true);
        remapTags(e->xdata, false);
        remapTags(e->extraTags, false);
        remapTags(e->commonTags, false);
        if (auto* raw = e->tryAs<RawData>()) remapTags(raw->tags, false);
        if (auto* h = e->tryAs<HatchData>())
            for (auto& loop : h->loops)
                for (quint64& s : loop.sourceHandles) s = remap(s, false);
    }
}

// A layout names its block record (330 after the "AcDbLayout" marker) and the record names its
// layout (340). Writers in the way of dxflib give the records no handle, so the layout's pointer names
// a handle no record holds; the record's own 340 tells which layout is its, and the layout is pointed
// at the handle the record was given here (a pointer to nothing would make the saved file unreadable).
void Reader::pairLayoutsWithRecords() {
    for (BlockDefinition* b : db_->blocks()) {
        auto* layout = dynamic_cast<RawObject*>(db_->objectByHandle(b->layoutHandle));
        if (!layout || layout->dxfName != QLatin1String("LAYOUT")) continue;
        bool inLayout = false;
        for (Tag& t : layout->tags) {
            if (t.code == 100) inLayout = t.value == QLatin1String("AcDbLayout");
            if (!inLayout || t.code != 330) continue;
            if (!dynamic_cast<BlockDefinition*>(db_->objectByHandle(handleFromText(t.value))))
                t.value = handleToText(b->handle());
            break;
        }
    }
}

std::unique_ptr<Database> Reader::run() {
    collectHandles(data_);
    RawTag t;
    bool any = false;
    for (;;) {
        if (!tk_.next(t)) {
            if (!any) tk_.fail(tk_.line(), QStringLiteral("plik jest pusty albo nie zawiera danych DXF"));
            break;  // a missing EOF marker after complete sections is tolerated
        }
        any = true;
        const std::string_view v = trimmed(t.value);
        if (t.code != 0) tk_.fail(t.line, QStringLiteral("oczekiwano kodu grupy 0, jest %1").arg(t.code));
        if (v == "EOF") break;
        if (v != "SECTION")
            tk_.fail(t.line,
                     QStringLiteral("oczekiwano SECTION, jest \"%1\"")
                         .arg(QString::fromLatin1(v.data(), qsizetype(std::min<size_t>(v.size(), 40)))));
        RawTag n;
        if (!tk_.next(n) || n.code != 2) tk_.fail(t.line, QStringLiteral("sekcja nie ma nazwy"));
        const std::string_view section = trimmed(n.value);
        if (section == "HEADER")
            readHeader();
        else if (section == "CLASSES")
            readClasses();
        else if (section == "TABLES")
            readTables();
        else if (section == "BLOCKS")
            readBlocks();
        else if (section == "ENTITIES")
            readEntities(nullptr, "ENDSEC");
        else if (section == "OBJECTS")
            readObjects();
        else if (section == "THUMBNAILIMAGE")
            skipSection();  // a preview of the drawing as it was: stale after any change
        else
            keepSection(QString::fromLatin1(section.data(), qsizetype(section.size())));
    }
    finish();
    return std::move(db_);
}

void Reader::keepSection(const QString& name) {
    RawTag t;
    const qint64 start = tk_.line();
    Tags tags;
    while (tk_.next(t)) {
        if (t.code == 0 && trimmed(t.value) == "ENDSEC") {
            db_->extraSections.emplace_back(name, std::move(tags));
            return;
        }
        tags.push_back(toTag(t));
    }
    tk_.fail(start, QStringLiteral("sekcja nie jest zamknięta przez ENDSEC"));
}

void Reader::skipSection() {
    RawTag t;
    const qint64 start = tk_.line();
    while (tk_.next(t))
        if (t.code == 0 && trimmed(t.value) == "ENDSEC") return;
    tk_.fail(start, QStringLiteral("sekcja nie jest zamknięta przez ENDSEC"));
}

void Reader::readHeader() {
    RawTag t;
    const qint64 start = tk_.line();
    // Values are kept as read until the code page ($DWGCODEPAGE, $ACADVER) is known.
    std::vector<std::pair<QString, std::vector<RawTag>>> vars;
    while (tk_.next(t)) {
        if (t.code == 0) {
            if (trimmed(t.value) != "ENDSEC")
                tk_.fail(t.line, QStringLiteral("w nagłówku oczekiwano ENDSEC"));
            QString version, codePage;
            for (const auto& [name, tags] : vars) {
                if (tags.empty()) continue;
                const std::string_view v = trimmed(tags.front().value);
                const QString value = QString::fromLatin1(v.data(), qsizetype(v.size()));
                if (name == QLatin1String("$ACADVER")) version = value;
                if (name == QLatin1String("$DWGCODEPAGE")) codePage = value;
                if (name == QLatin1String("$HANDSEED")) handseed_ = toHandle(tags.front());
            }
            cp_ = CodePage(codePage, version >= QLatin1String("AC1021"));
            QString pendingKey;
            for (const auto& [name, tags] : vars) {
                Tags decoded;
                decoded.reserve(tags.size());
                for (const RawTag& raw : tags) decoded.push_back(toTag(raw));
                // Files of R2004 and later repeat these two for every custom property.
                if (name == QLatin1String("$CUSTOMPROPERTYTAG")) {
                    pendingKey = decoded.empty() ? QString() : decoded.front().value;
                    continue;
                }
                if (name == QLatin1String("$CUSTOMPROPERTY")) {
                    if (!pendingKey.isEmpty())
                        headerCustom_.emplace_back(pendingKey,
                                                   decoded.empty() ? QString() : decoded.front().value);
                    pendingKey.clear();
                    continue;
                }
                db_->setHeaderVariable(name, decoded);
            }
            if (!version.isEmpty()) db_->fileVersion = version;
            return;
        }
        if (t.code == 9) {
            vars.emplace_back(
                QString::fromLatin1(trimmed(t.value).data(), qsizetype(trimmed(t.value).size())),
                std::vector<RawTag>{});
            continue;
        }
        if (vars.empty())
            tk_.fail(t.line, QStringLiteral("oczekiwano nazwy zmiennej nagłówka (kod grupy 9)"));
        vars.back().second.push_back(t);
    }
    tk_.fail(start, QStringLiteral("sekcja HEADER nie jest zamknięta przez ENDSEC"));
}

void Reader::readClasses() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        if (type != QLatin1String("CLASS"))
            tk_.fail(line, QStringLiteral("oczekiwano CLASS, jest %1").arg(type));
        DxfClass c;
        for (const RawTag& t : rec_) {
            switch (t.code) {
                case 1:
                    c.dxfName = text(t).trimmed();
                    break;
                case 2:
                    c.cppName = text(t).trimmed();
                    break;
                case 3:
                    c.appName = text(t);
                    break;
                case 90:
                    c.flags = integer(t);
                    break;
                case 91:
                    c.instanceCount = integer(t);
                    break;
                case 280:
                    c.wasProxy = integer(t);
                    break;
                case 281:
                    c.isEntity = integer(t);
                    break;
                default:
                    break;
            }
        }
        db_->classes.push_back(c);
    }
    tk_.fail(start, QStringLiteral("sekcja CLASSES nie jest zamknięta przez ENDSEC"));
}

void Reader::readTables() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        if (type != QLatin1String("TABLE"))
            tk_.fail(line, QStringLiteral("oczekiwano TABLE, jest %1").arg(type));
        QString tableName;
        quint64 handle = 0;
        Tags groups;  // application groups of the head: its extension dictionary above all
        for (size_t i = 0; i < rec_.size(); ++i) {
            const RawTag& t = rec_[i];
            if (t.code == 2 && tableName.isEmpty()) tableName = text(t).trimmed().toUpper();
            if ((t.code == 5 || t.code == 105) && handle == 0) handle = toHandle(t);
            if (t.code == 102 && trimmed(t.value).starts_with("{"))
                for (; i < rec_.size(); ++i) {
                    groups.push_back(toTag(rec_[i]));
                    if (rec_[i].code == 102 && trimmed(rec_[i].value) == "}") break;
                }
        }
        if (!groups.empty()) db_->tableHeadTags[tableName] = std::move(groups);
        readTable(tableName, handle);
    }
    tk_.fail(start, QStringLiteral("sekcja TABLES nie jest zamknięta przez ENDSEC"));
}

void Reader::readTable(const QString& tableName, quint64 tableHandle) {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    Split s;
    auto setHandle = [&](quint64& h) { h = claim(tableHandle); };
    if (tableName == QLatin1String("LAYER"))
        setHandle(db_->layers().tableHandle);
    else if (tableName == QLatin1String("LTYPE"))
        setHandle(db_->linetypes().tableHandle);
    else if (tableName == QLatin1String("STYLE"))
        setHandle(db_->textStyles().tableHandle);
    else if (tableName == QLatin1String("DIMSTYLE"))
        setHandle(db_->dimStyles().tableHandle);
    else if (tableName == QLatin1String("APPID"))
        setHandle(db_->appIds().tableHandle);
    else if (tableName == QLatin1String("VPORT"))
        setHandle(db_->viewports().tableHandle);
    else if (tableName == QLatin1String("VIEW"))
        setHandle(db_->views().tableHandle);
    else if (tableName == QLatin1String("UCS"))
        setHandle(db_->ucss().tableHandle);
    else if (tableName == QLatin1String("BLOCK_RECORD"))
        setHandle(db_->blockRecordTableHandle);

    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDTAB")) return;
        const bool dim = type == QLatin1String("DIMSTYLE");
        split(rec_, s, dim);
        QString recName;
        int flags = 0;
        for (const RawTag* t : s.body) {
            if (t->code == 2 && recName.isNull()) recName = text(*t).trimmed();
            if (t->code == 70) flags = integer(*t);
        }
        if (recName.isEmpty() && type == QLatin1String("STYLE")) {
            // A shape file that complex linetypes point at (340): kept as read.
            auto& shapes = db_->shapeStyles();
            RawTableRecord* r =
                db_->adoptRecord(shapes, QStringLiteral("*shape%1").arg(shapes.count()), want(s.handle));
            adopted(s.handle, r);
            applyObject(r, s);
            r->tableName = type;
            r->ownerHandle = db_->textStyles().tableHandle;
            for (const RawTag* t : s.body) r->tags.push_back(toTag(*t));
            continue;
        }
        if (recName.isEmpty()) continue;  // a nameless record cannot be addressed: dropped
        Tags extras;
        auto keepExtra = [&](const RawTag* t) { extras.push_back(toTag(*t)); };
        if (type == QLatin1String("LAYER")) {
            Layer* l = db_->adoptRecord(db_->layers(), recName, want(s.handle));
            adopted(s.handle, l);
            applyObject(l, s);
            l->flags = flags;
            l->frozen = flags & 1;
            l->locked = flags & 4;
            for (const RawTag* t : s.body) {
                switch (t->code) {
                    case 100:
                    case 2:
                    case 70:
                        break;
                    case 62: {
                        const int c = integer(*t);
                        l->on = c >= 0;
                        l->color = std::abs(c);
                        break;
                    }
                    case 420:
                        l->trueColor = integer(*t) & 0xFFFFFF;
                        break;
                    case 6:
                        l->linetype = name(*t);
                        break;
                    case 290:
                        l->plot = integer(*t) != 0;
                        break;
                    case 370:
                        l->lineweight = integer(*t);
                        break;
                    case 390:
                        l->plotStyleHandle = toHandle(*t);
                        break;
                    default:
                        keepExtra(t);
                }
            }
            l->extraTags = std::move(extras);
        } else if (type == QLatin1String("LTYPE")) {
            Linetype* lt = db_->adoptRecord(db_->linetypes(), recName, want(s.handle));
            adopted(s.handle, lt);
            applyObject(lt, s);
            lt->flags = flags;
            bool complex = false;
            for (const RawTag* t : s.body)
                if (t->code == 74 && integer(*t) != 0) complex = true;
            bool inElements = false;
            for (const RawTag* t : s.body) {
                if (t->code == 49) inElements = true;
                if (complex && inElements) {
                    lt->complexTags.push_back(toTag(*t));
                    continue;
                }
                switch (t->code) {
                    case 100:
                    case 2:
                    case 70:
                    case 72:
                    case 73:
                    case 74:
                        break;
                    case 3:
                        lt->description = text(*t);
                        break;
                    case 40:
                        lt->patternLength = num(*t);
                        break;
                    case 49:
                        lt->elements.push_back(num(*t));
                        break;
                    default:
                        keepExtra(t);
                }
            }
            lt->extraTags = std::move(extras);
        } else if (type == QLatin1String("STYLE")) {
            TextStyle* st = db_->adoptRecord(db_->textStyles(), recName, want(s.handle));
            adopted(s.handle, st);
            applyObject(st, s);
            st->flags = flags;
            for (const RawTag* t : s.body) {
                switch (t->code) {
                    case 100:
                    case 2:
                    case 70:
                        break;
                    case 40:
                        st->height = num(*t);
                        break;
                    case 41:
                        st->widthFactor = num(*t);
                        break;
                    case 50:
                        st->oblique = num(*t) * degToRad;
                        break;
                    case 71:
                        st->generation = integer(*t);
                        break;
                    case 42:
                        st->lastHeight = num(*t);
                        break;
                    case 3:
                        st->font = text(*t);
                        break;
                    case 4:
                        st->bigFont = text(*t);
                        break;
                    default:
                        keepExtra(t);
                }
            }
            for (size_t i = 0; i + 1 < st->xdata.size(); ++i)
                if (st->xdata[i].code == 1001 && st->xdata[i].value == QLatin1String("ACAD") &&
                    st->xdata[i + 1].code == 1000)
                    st->typeface = st->xdata[i + 1].value;
            st->extraTags = std::move(extras);
        } else if (dim) {
            DimStyle* ds = db_->adoptRecord(db_->dimStyles(), recName, want(s.handle));
            adopted(s.handle, ds);
            applyObject(ds, s);
            ds->flags = flags;
            for (const RawTag* t : s.body)
                if (t->code != 100 && t->code != 2 && t->code != 70) ds->values[t->code] = text(*t);
        } else if (type == QLatin1String("APPID")) {
            AppId* a = db_->adoptRecord(db_->appIds(), recName, want(s.handle));
            adopted(s.handle, a);
            applyObject(a, s);
            a->flags = flags;
        } else if (type == QLatin1String("BLOCK_RECORD")) {
            QString n = recName;
            if (n.compare(QLatin1String("$MODEL_SPACE"), Qt::CaseInsensitive) == 0)
                n = QStringLiteral("*Model_Space");
            if (n.compare(QLatin1String("$PAPER_SPACE"), Qt::CaseInsensitive) == 0)
                n = QStringLiteral("*Paper_Space");
            BlockDefinition* b = db_->findBlock(n);
            if (!b) b = db_->adoptBlock(n, want(s.handle));
            if (s.handle == 0) unnumberedRecords_.insert(b);
            adopted(s.handle, b);
            applyObject(b, s);
            for (const RawTag* t : s.body) {
                switch (t->code) {
                    case 100:
                    case 2:
                        break;
                    case 340:
                        b->layoutHandle = toHandle(*t);
                        break;
                    default:
                        keepExtra(t);
                }
            }
            b->recordExtraTags = std::move(extras);
        } else if (type == QLatin1String("VPORT") || type == QLatin1String("VIEW") ||
                   type == QLatin1String("UCS")) {
            auto& table = type == QLatin1String("VPORT")  ? db_->viewports()
                          : type == QLatin1String("VIEW") ? db_->views()
                                                          : db_->ucss();
            RawTableRecord* r = db_->adoptRecord(table, recName, want(s.handle));
            adopted(s.handle, r);
            if (!r->tags.empty()) continue;  // a second "*Active" viewport of a tiled view: the first is kept
            applyObject(r, s);
            r->tableName = type;
            for (const RawTag* t : s.body) r->tags.push_back(toTag(*t));
        }
        // Records of unknown tables are dropped: no reader knows what to do with them.
    }
    tk_.fail(start, QStringLiteral("tabela %1 nie jest zamknięta przez ENDTAB").arg(tableName));
}

BlockDefinition* Reader::modelSpace() {
    if (BlockDefinition* b = db_->findBlock(QStringLiteral("*Model_Space"))) return b;
    return db_->adoptBlock(QStringLiteral("*Model_Space"), 0);
}

BlockDefinition* Reader::paperSpace() {
    if (BlockDefinition* b = db_->findBlock(QStringLiteral("*Paper_Space"))) return b;
    return db_->adoptBlock(QStringLiteral("*Paper_Space"), 0);
}

void Reader::readBlocks() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    Split s;
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        if (type != QLatin1String("BLOCK"))
            tk_.fail(line, QStringLiteral("oczekiwano BLOCK, jest %1").arg(type));
        split(rec_, s);
        QString n;
        Point3 base;
        int flags = 0;
        QString description, xref, layer = QStringLiteral("0");
        for (const RawTag* t : s.body) {
            switch (t->code) {
                case 2:
                    if (n.isNull()) n = text(*t).trimmed();
                    break;
                case 70:
                    flags = integer(*t);
                    break;
                case 10:
                    base.x = num(*t);
                    break;
                case 20:
                    base.y = num(*t);
                    break;
                case 30:
                    base.z = num(*t);
                    break;
                case 1:
                    xref = text(*t);
                    break;
                case 4:
                    description = text(*t);
                    break;
                case 8:
                    layer = name(*t);
                    break;
                default:
                    break;
            }
        }
        if (n.isEmpty()) tk_.fail(line, QStringLiteral("blok bez nazwy"));
        if (n.compare(QLatin1String("$MODEL_SPACE"), Qt::CaseInsensitive) == 0)
            n = QStringLiteral("*Model_Space");
        if (n.compare(QLatin1String("$PAPER_SPACE"), Qt::CaseInsensitive) == 0)
            n = QStringLiteral("*Paper_Space");
        BlockDefinition* b = db_->findBlock(n);
        if (!b) b = db_->adoptBlock(n, 0);
        // A block record written without a handle: the block names it by its owner pointer, and
        // so do the layouts; those pointers lead to the record's new handle.
        if (unnumberedRecords_.count(b) && s.owner && s.owner != b->handle() && !claimed_.count(s.owner) &&
            !renumbered_.count(s.owner))
            renumbered_[s.owner].push_back(b->handle());
        b->basePoint = base;
        b->flags = flags;
        b->description = description;
        b->xrefPath = xref;
        b->blockLayer = layer;
        b->blockEntityHandle = claim(s.handle);
        for (const RawTag* t : s.xdata) b->blockXdata.push_back(toTag(*t));
        b->blockAppData = s.appData;
        readEntities(b, "ENDBLK");
        // The ENDBLK record was read last into rec_.
        split(rec_, s);
        b->endblkHandle = claim(s.handle);
    }
    tk_.fail(start, QStringLiteral("sekcja BLOCKS nie jest zamknięta przez ENDSEC"));
}

void Reader::readEntities(BlockDefinition* defaultBlock, const char* terminator) {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    const QLatin1String end(terminator);
    while (readRecord(rec_, type, line)) {
        if (type == end) return;
        if (type == QLatin1String("ENDSEC") || type == QLatin1String("ENDBLK"))
            tk_.fail(line, QStringLiteral("oczekiwano %1, jest %2").arg(end).arg(type));
        if (type == QLatin1String("VERTEX") || type == QLatin1String("SEQEND") ||
            type == QLatin1String("ATTRIB"))
            continue;  // a stray sub-record without its main entity
        BlockDefinition* block = defaultBlock;
        if (!block) {
            // In the ENTITIES section the owner (or the paper-space flag) says where the entity lives.
            block = modelSpace();
            for (const RawTag& t : rec_)
                if (t.code == 67 && toInt(tk_, t) == 1) block = paperSpace();
        }
        readEntity(type, rec_, line, block);
    }
    tk_.fail(start, QStringLiteral("lista obiektów nie jest zamknięta przez %1").arg(end));
}

namespace {

EntityKind kindOf(const QString& type) {
    static const QHash<QString, EntityKind> kinds = {
        {QStringLiteral("LINE"), EntityKind::Line},
        {QStringLiteral("ARC"), EntityKind::Arc},
        {QStringLiteral("CIRCLE"), EntityKind::Circle},
        {QStringLiteral("LWPOLYLINE"), EntityKind::LwPolyline},
        {QStringLiteral("POLYLINE"), EntityKind::Polyline2d},
        {QStringLiteral("TEXT"), EntityKind::Text},
        {QStringLiteral("MTEXT"), EntityKind::MText},
        {QStringLiteral("POINT"), EntityKind::Point},
        {QStringLiteral("HATCH"), EntityKind::Hatch},
        {QStringLiteral("REGION"), EntityKind::Region},
        {QStringLiteral("INSERT"), EntityKind::BlockReference},
        {QStringLiteral("ATTDEF"), EntityKind::AttributeDefinition},
        {QStringLiteral("DIMENSION"), EntityKind::DimAligned}};
    return kinds.value(type, EntityKind::Unknown);
}

// Subclasses of the modelled kinds; from any other subclass marker on, a record is kept as read.
bool isKnownSubclass(std::string_view name) {
    static const std::string_view known[] = {"AcDbEntity",
                                             "AcDbLine",
                                             "AcDbCircle",
                                             "AcDbArc",
                                             "AcDbPolyline",
                                             "AcDb2dPolyline",
                                             "AcDbText",
                                             "AcDbMText",
                                             "AcDbPoint",
                                             "AcDbHatch",
                                             "AcDbBlockReference",
                                             "AcDbAttributeDefinition",
                                             "AcDbAttribute",
                                             "AcDbDimension",
                                             "AcDbAlignedDimension",
                                             "AcDbOrdinateDimension"};
    for (std::string_view k : known)
        if (k == name) return true;
    return false;
}

// Whether a code is the x, y or z of the point whose x code is `base`.
bool isPointCode(int code, int base) {
    return code == base || code == base + 10 || code == base + 20;
}

// The codes Reader::applyCommon takes.
bool isCommonEntityCode(int code) {
    switch (code) {
        case 8:
        case 62:
        case 420:
        case 6:
        case 370:
        case 48:
        case 60:
        case 67:
        case 39:
        case 210:
        case 220:
        case 230:
        case 100:
            return true;
        default:
            return false;
    }
}

}  // namespace

// Properties every entity carries, whatever its kind; false when the code belongs to the kind.
bool Reader::applyCommon(Entity* e, const RawTag& t) {
    switch (t.code) {
        case 8:
            db_->setLayerRaw(e, name(t));
            return true;
        case 62:
            e->color = integer(t);
            return true;
        case 420:
            e->trueColor = integer(t) & 0xFFFFFF;
            return true;
        case 6:
            e->linetype = name(t);
            return true;
        case 370:
            e->lineweight = integer(t);
            return true;
        case 48:
            e->linetypeScale = num(t);
            return true;
        case 60:
            e->visible = integer(t) == 0;
            return true;
        case 39:
            e->thickness = num(t);
            return true;
        case 210:
            e->normal.x = num(t);
            return true;
        case 220:
            e->normal.y = num(t);
            return true;
        case 230:
            e->normal.z = num(t);
            return true;
        case 67:  // read, not kept
        case 100:
            return true;
        default:
            return false;
    }
}

void Reader::setPoint(Point3& p, const RawTag& t, int base) {
    const int k = t.code - base;
    if (k == 0)
        p.x = num(t);
    else if (k == 10)
        p.y = num(t);
    else
        p.z = num(t);
}

// Single-line text fields, shared by TEXT and both attribute kinds; false when the code is not one.
bool Reader::applyText(TextData& td, const RawTag& t, int verticalCode) {
    const int c = t.code;
    if (isPointCode(c, 10))
        setPoint(td.position, t, 10);
    else if (isPointCode(c, 11)) {
        setPoint(td.alignmentPoint, t, 11);
        td.alignmentGiven = true;
    } else if (c == 40)
        td.height = num(t);
    else if (c == 1)
        td.text = text(t);
    else if (c == 50)
        td.rotation = normalizeAngle(num(t) * degToRad);
    else if (c == 41)
        td.widthFactor = num(t);
    else if (c == 51)
        td.oblique = num(t) * degToRad;
    else if (c == 7)
        td.style = name(t);
    else if (c == 71)
        td.generation = integer(t);
    else if (c == 72)
        td.horizontal = integer(t);
    else if (c == verticalCode)
        td.vertical = integer(t);
    else
        return false;
    return true;
}

// Fields both attribute kinds carry beyond the text.
bool Reader::applyAttribute(AttributeData& ad, const RawTag& t) {
    if (t.code == 2)
        ad.tag = name(t);
    else if (t.code == 70)
        ad.flags = integer(t);
    else if (t.code == 73)
        ad.fieldLength = integer(t);
    else
        return false;
    return true;
}

void Reader::readEntity(const QString& type, std::vector<RawTag>& rec, qint64 line, BlockDefinition* block) {
    (void)line;
    Split& s = entitySplit_;
    split(rec, s);
    EntityKind kind = kindOf(type);
    int flags70 = 0;
    bool attribsFollow = false;
    for (const RawTag* t : s.body) {
        if (t->code == 70) flags70 = integer(*t);
        if (t->code == 66) attribsFollow = integer(*t) != 0;
    }
    if (kind == EntityKind::Polyline2d && (flags70 & (8 | 16 | 64))) kind = EntityKind::Unknown;
    if (kind == EntityKind::DimAligned) {
        const int dimType = flags70 & 7;
        kind = dimType == 1   ? EntityKind::DimAligned
               : dimType == 6 ? EntityKind::DimOrdinate
                              : EntityKind::Unknown;
    }

    // Sub-records: VERTEX ... SEQEND after a POLYLINE, ATTRIB ... SEQEND after an INSERT.
    struct SubRecord {
        QString type;
        std::vector<RawTag> tags;
    };
    std::vector<SubRecord> subs;
    const bool polyline = type == QLatin1String("POLYLINE");
    const bool insert = type == QLatin1String("INSERT");
    if (polyline || insert) {
        RawTag t;
        while (tk_.next(t)) {
            tk_.pushBack();
            const std::string_view v = trimmed(t.value);
            const bool belongs = polyline
                                     ? (v == "VERTEX" || v == "SEQEND")
                                     : (v == "ATTRIB" || (v == "SEQEND" && (attribsFollow || !subs.empty())));
            if (!belongs) break;
            SubRecord sr;
            qint64 l = 0;
            readRecord(sr.tags, sr.type, l);
            subs.push_back(std::move(sr));
            if (v == "SEQEND") break;
        }
    }

    // The record's parts: the common entity part (every code of files without subclass markers),
    // the kind's own codes with its subclass markers, and from a subclass the kind does not know,
    // or an embedded object (101), on, the tail kept as read after the kind's own data.
    std::vector<const RawTag*>& own = own_;
    std::vector<const RawTag*> commonPart;
    own.clear();
    Tags tail;
    bool markers = false;
    for (const RawTag* t : s.body)
        if (t->code == 100) markers = true;
    if (kind != EntityKind::Unknown) {
        bool inEntityPart = !markers;
        for (const RawTag* t : s.body) {
            if (!tail.empty() || (t->code == 101 && markers) ||
                (t->code == 100 && !isKnownSubclass(trimmed(t->value)))) {
                tail.push_back(toTag(*t));
                continue;
            }
            if (t->code == 100) {
                inEntityPart = trimmed(t->value) == "AcDbEntity";
                if (!inEntityPart) own.push_back(t);  // kinds that care see their subclass markers
                continue;
            }
            if (inEntityPart || t->code == 39 || t->code == 210 || t->code == 220 || t->code == 230)
                commonPart.push_back(t);
            else
                own.push_back(t);
        }
    }

    HatchData hatch;
    Tags hatchExtras;
    if (kind == EntityKind::Hatch) {
        std::vector<const RawTag*> hatchOwn;
        for (const RawTag* t : markers ? own : commonPart)
            if (t->code != 100 && (markers || !isCommonEntityCode(t->code))) hatchOwn.push_back(t);
        // A hatch with parts the engine does not model (spline edges...) stays as read.
        if (!parseHatch(hatchOwn, hatch, hatchExtras) || !tail.empty()) kind = EntityKind::Unknown;
    }

    Entity* e = db_->adoptEntity(block, kind, want(s.handle));
    adopted(s.handle, e);
    applyObject(e, s);
    if (kind == EntityKind::Unknown) {
        auto& raw = e->as<RawData>();
        raw.dxfName = type;
        // The writer patches the common codes of the AcDbEntity part (of the whole record in
        // files without subclass markers) back in from the entity: take exactly those.
        bool markers = false;
        for (const RawTag* t : s.body)
            if (t->code == 100) markers = true;
        bool inEntityPart = !markers;
        for (const RawTag* t : s.body) {
            if (t->code == 100) inEntityPart = trimmed(t->value) == "AcDbEntity";
            if (!inEntityPart) {
                raw.tags.push_back(toTag(*t));
                continue;
            }
            switch (t->code) {
                case 8:
                    db_->setLayerRaw(e, name(*t));
                    break;
                case 62:
                    e->color = integer(*t);
                    break;
                case 6:
                    e->linetype = name(*t);
                    break;
                case 370:
                    e->lineweight = integer(*t);
                    break;
                case 60:
                    e->visible = integer(*t) == 0;
                    break;
                case 420:
                    e->trueColor = integer(*t) & 0xFFFFFF;
                    break;
                case 48:
                    e->linetypeScale = num(*t);
                    break;
                default:
                    break;
            }
            raw.tags.push_back(toTag(*t));
        }
        for (const SubRecord& sr : subs) {
            raw.tags.push_back(Tag{0, sr.type});
            for (const RawTag& t : sr.tags) {
                raw.tags.push_back(toTag(t));
                if (t.code == 5) db_->raiseHandleSeed(toHandle(t) + 1);
            }
        }
        return;
    }

    // Common properties; the rest goes to the kind.
    for (const RawTag* t : commonPart)
        if (!applyCommon(e, *t)) {
            if (markers)
                e->commonTags.push_back(toTag(*t));
            else
                own.push_back(t);
        }
    auto extra = [&](const RawTag* t) {
        if (t->code != 100) e->extraTags.push_back(toTag(*t));
    };

    switch (kind) {
        case EntityKind::Line: {
            auto& d = e->as<LineData>();
            for (const RawTag* t : own) {
                if (isPointCode(t->code, 10))
                    setPoint(d.start, *t, 10);
                else if (isPointCode(t->code, 11))
                    setPoint(d.end, *t, 11);
                else
                    extra(t);
            }
            break;
        }
        case EntityKind::Arc:
        case EntityKind::Circle: {
            Point3 c;
            double r = 0, a0 = 0, a1 = 0;
            for (const RawTag* t : own) {
                if (isPointCode(t->code, 10))
                    setPoint(c, *t, 10);
                else if (t->code == 40)
                    r = num(*t);
                else if (t->code == 50 && kind == EntityKind::Arc)
                    a0 = num(*t) * degToRad;
                else if (t->code == 51 && kind == EntityKind::Arc)
                    a1 = num(*t) * degToRad;
                else
                    extra(t);
            }
            if (kind == EntityKind::Arc)
                e->as<ArcData>() = {c, r, normalizeAngle(a0), normalizeAngle(a1)};
            else
                e->as<CircleData>() = {c, r};
            break;
        }
        case EntityKind::LwPolyline: {
            auto& d = e->as<LwPolylineData>();
            for (const RawTag* t : own) {
                switch (t->code) {
                    case 90:
                        break;  // the count follows from the vertices
                    case 70:
                        d.closed = integer(*t) & 1;
                        d.flags = integer(*t) & ~1;
                        break;
                    case 43:
                        d.constantWidth = num(*t);
                        break;
                    case 38:
                        d.elevation = num(*t);
                        break;
                    case 10:
                        d.vertices.push_back(Vertex{num(*t), 0, 0, 0, 0});
                        break;
                    case 20:
                        if (!d.vertices.empty()) d.vertices.back().y = num(*t);
                        break;
                    case 40:
                        if (!d.vertices.empty()) d.vertices.back().startWidth = num(*t);
                        break;
                    case 41:
                        if (!d.vertices.empty()) d.vertices.back().endWidth = num(*t);
                        break;
                    case 42:
                        if (!d.vertices.empty()) d.vertices.back().bulge = num(*t);
                        break;
                    case 91:
                        break;
                    default:
                        extra(t);
                }
            }
            break;
        }
        case EntityKind::Polyline2d: {
            auto& d = e->as<Polyline2dData>();
            for (const RawTag* t : own) {
                switch (t->code) {
                    case 66:
                    case 10:
                    case 20:
                        break;
                    case 30:
                        d.elevation = num(*t);
                        break;
                    case 70:
                        d.flags = integer(*t);
                        d.closed = d.flags & 1;
                        break;
                    default:
                        extra(t);
                }
            }
            for (const SubRecord& sr : subs) {
                Split& vs = subSplit_;
                split(sr.tags, vs);
                if (sr.type == QLatin1String("SEQEND")) {
                    d.seqendHandle = claim(vs.handle);
                    continue;
                }
                Vertex v;
                for (const RawTag* t : vs.body) {
                    switch (t->code) {
                        case 10:
                            v.x = num(*t);
                            break;
                        case 20:
                            v.y = num(*t);
                            break;
                        case 40:
                            v.startWidth = num(*t);
                            break;
                        case 41:
                            v.endWidth = num(*t);
                            break;
                        case 42:
                            v.bulge = num(*t);
                            break;
                        default:
                            break;
                    }
                }
                d.vertices.push_back(v);
                d.vertexHandles.push_back(claim(vs.handle));
            }
            break;
        }
        case EntityKind::Text:
        case EntityKind::AttributeDefinition: {
            const bool isDef = kind == EntityKind::AttributeDefinition;
            TextData* td = e->textData();
            AttributeData* ad = isDef ? &e->as<AttributeData>() : nullptr;
            // The text's fields belong to its text subclass; in the attribute-definition subclass
            // only the attribute's own (later files repeat codes such as 72 there).
            bool inAttribute = false;
            for (const RawTag* t : own) {
                const int c = t->code;
                if (c == 100) {
                    inAttribute = isDef && trimmed(t->value) == "AcDbAttributeDefinition";
                    continue;
                }
                if (inAttribute) {
                    if (applyAttribute(*ad, *t)) continue;
                    if (c == 74)
                        td->vertical = integer(*t);
                    else if (c == 3)
                        ad->prompt = text(*t);
                    else
                        extra(t);
                    continue;
                }
                if (applyText(*td, *t, isDef ? 74 : 73) || (isDef && applyAttribute(*ad, *t))) continue;
                if (c == 3 && isDef) {
                    ad->prompt = text(*t);
                    continue;
                }
                extra(t);
            }
            break;
        }
        case EntityKind::MText: {
            auto& d = e->as<MTextData>();
            QString chunks, last;
            bool haveDirection = false;
            Point3 dir;
            for (const RawTag* t : own) {
                const int c = t->code;
                if (isPointCode(c, 10))
                    setPoint(d.position, *t, 10);
                else if (isPointCode(c, 11)) {
                    setPoint(dir, *t, 11);
                    haveDirection = true;
                } else if (c == 40)
                    d.height = num(*t);
                else if (c == 41)
                    d.width = num(*t);
                else if (c == 71)
                    d.attachment = std::clamp(integer(*t), 1, 9);
                else if (c == 72)
                    d.drawingDirection = integer(*t);
                else if (c == 3)
                    chunks += text(*t);
                else if (c == 1)
                    last = text(*t);
                else if (c == 7)
                    d.style = name(*t);
                else if (c == 50) {
                    d.givenAngle = num(*t);
                    d.hasGivenAngle = true;
                    d.rotation = normalizeAngle(d.givenAngle * degToRad);
                } else if (c == 44)
                    d.lineSpacing = num(*t);
                else if (c == 42 || c == 43)
                    continue;  // measured extents: recomputed by readers
                else
                    extra(t);
            }
            d.text = chunks + last;
            if (haveDirection && (dir.x != 0 || dir.y != 0)) {
                d.rotation = normalizeAngle(std::atan2(dir.y, dir.x));
                d.hasGivenDirection = true;
                d.givenDirection = dir;
            }
            d.givenRotation = d.rotation;
            break;
        }
        case EntityKind::Point: {
            auto& d = e->as<PointData>();
            for (const RawTag* t : own) {
                if (isPointCode(t->code, 10))
                    setPoint(d.position, *t, 10);
                else
                    extra(t);
            }
            break;
        }
        case EntityKind::Hatch:
            e->as<HatchData>() = std::move(hatch);
            e->extraTags.insert(e->extraTags.end(), hatchExtras.begin(), hatchExtras.end());
            break;
        case EntityKind::Region: {
            // Everything after the common part, as read.
            auto& d = e->as<RegionData>();
            for (const RawTag* t : own) d.acis.push_back(toTag(*t));
            d.acis.insert(d.acis.end(), tail.begin(), tail.end());
            tail.clear();
            break;
        }
        case EntityKind::BlockReference: {
            auto& d = e->as<InsertData>();
            for (const RawTag* t : own) {
                const int c = t->code;
                if (c == 2)
                    d.blockName = name(*t);
                else if (isPointCode(c, 10))
                    setPoint(d.position, *t, 10);
                else if (c == 41)
                    d.xScale = num(*t);
                else if (c == 42)
                    d.yScale = num(*t);
                else if (c == 43)
                    d.zScale = num(*t);
                else if (c == 50)
                    d.rotation = normalizeAngle(num(*t) * degToRad);
                else if (c == 66)
                    continue;
                else
                    extra(t);
            }
            for (const SubRecord& sr : subs) {
                Split& as = subSplit_;
                split(sr.tags, as);
                if (sr.type == QLatin1String("SEQEND")) {
                    d.seqendHandle = claim(as.handle);
                    continue;
                }
                Entity* a = db_->adoptEntity(nullptr, EntityKind::AttributeReference, want(as.handle), e);
                adopted(as.handle, a);
                applyObject(a, as);
                auto& ad = a->as<AttributeData>();
                bool embedded = false;
                for (const RawTag* t : as.body) {
                    const int c = t->code;
                    if (embedded) {
                        a->extraTags.push_back(toTag(*t));
                        continue;
                    }
                    if (applyCommon(a, *t)) continue;
                    if (applyText(ad, *t, 74) || applyAttribute(ad, *t)) continue;
                    if (c == 101) embedded = true;
                    a->extraTags.push_back(toTag(*t));
                }
            }
            // Dynamic-block data kept by this engine: original name and property values.
            for (size_t i = 0; i < e->xdata.size(); ++i) {
                if (e->xdata[i].code != 1001 || e->xdata[i].value != QLatin1String("TESMAR_DYNAMIC"))
                    continue;
                size_t k = i + 1;
                if (k < e->xdata.size() && e->xdata[k].code == 1000) d.effectiveName = e->xdata[k++].value;
                for (; k + 1 < e->xdata.size() && e->xdata[k].code == 1000 && e->xdata[k + 1].code == 1040;
                     k += 2)
                    d.dynamicProperties.emplace_back(e->xdata[k].value, e->xdata[k + 1].value.toDouble());
                while (k < e->xdata.size() && e->xdata[k].code != 1001) ++k;
                e->xdata.erase(e->xdata.begin() + long(i), e->xdata.begin() + long(k));
                break;
            }
            if (d.seqendHandle == 0 && !d.attributes.empty()) d.seqendHandle = claim(0);
            break;
        }
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate: {
            auto& d = e->as<DimensionData>();
            for (const RawTag* t : own) {
                const int c = t->code;
                if (c == 2)
                    d.blockName = name(*t);
                else if (c == 3)
                    d.style = name(*t);
                else if (isPointCode(c, 10))
                    setPoint(d.definitionPoint, *t, 10);
                else if (isPointCode(c, 11))
                    setPoint(d.textPosition, *t, 11);
                else if (isPointCode(c, 13))
                    setPoint(d.point1, *t, 13);
                else if (isPointCode(c, 14))
                    setPoint(d.point2, *t, 14);
                else if (c == 70) {
                    d.ordinateXAxis = integer(*t) & 64;
                    d.flags = integer(*t) & ~(7 | 64);
                } else if (c == 1)
                    d.textOverride = text(*t);
                else if (c == 42)
                    d.measurement = num(*t);
                else if (c == 53)
                    d.rotation = num(*t) * degToRad;
                else if (c == 71)
                    d.attachment = integer(*t);
                else
                    extra(t);
            }
            break;
        }
        default:
            break;
    }
    e->extraTags.insert(e->extraTags.end(), tail.begin(), tail.end());
}

// A spline boundary edge (after its 72): degree, flags, knots, control points with weights when
// rational, fit points with their count (newer files) and end tangents, kept as its tags.
bool Reader::splineEdge(const std::vector<const RawTag*>& own, size_t& i, Tags& out) {
    const size_t n = own.size();
    auto peek = [&](int code, size_t at) { return at < n && own[at]->code == code; };
    auto keep = [&](int code) {
        if (!peek(code, i)) return false;
        out.push_back(toTag(*own[i++]));
        return true;
    };
    if (!keep(94)) return false;
    const bool rational = peek(73, i) && integer(*own[i]) != 0;
    if (!keep(73) || !keep(74) || !peek(95, i)) return false;
    const long long knots = integer(*own[i]);
    if (!keep(95) || !peek(96, i)) return false;
    const long long controls = integer(*own[i]);
    if (!keep(96) || knots < 0 || controls < 0 || size_t(knots + controls) > n) return false;
    for (long long k = 0; k < knots; ++k)
        if (!keep(40)) return false;
    for (long long k = 0; k < controls; ++k) {
        if (!keep(10) || !keep(20)) return false;
        if (rational && !keep(42)) return false;
    }
    // 97 is also the count of the loop's source objects: it is the fit count only when fit points
    // follow, or when another 97 follows it (no fit points, then the sources).
    if (peek(97, i)) {
        const long long fits = integer(*own[i]);
        if ((fits > 0 && peek(11, i + 1)) || (fits == 0 && peek(97, i + 1))) {
            keep(97);
            for (long long k = 0; k < fits; ++k)
                if (!keep(11) || !keep(21)) return false;
        }
    }
    if (peek(12, i) && !(keep(12) && keep(22))) return false;
    if (peek(13, i) && !(keep(13) && keep(23))) return false;
    return true;
}

bool Reader::parseHatch(const std::vector<const RawTag*>& own, HatchData& h, Tags& extras) {
    const size_t n = own.size();
    size_t i = 0;
    auto peek = [&](int code) { return i < n && own[i]->code == code; };
    auto take = [&](int code, const RawTag*& out) {
        if (!peek(code)) return false;
        out = own[i++];
        return true;
    };
    const RawTag* t = nullptr;
    // A value that must come next: false when it does not.
    auto need = [&](int code, double& out) {
        if (!take(code, t)) return false;
        out = num(*t);
        return true;
    };
    bool seenLoops = false;
    while (i < n) {
        const RawTag* cur = own[i];
        switch (cur->code) {
            case 10:
            case 20:
                ++i;
                break;  // elevation point: x and y are always 0
            case 30:
                h.elevation = num(*cur);
                ++i;
                break;
            case 2:
                h.patternName = text(*cur).trimmed();
                ++i;
                break;
            case 70:
                h.solid = integer(*cur) & 1;
                ++i;
                break;
            case 71:
                h.associative = integer(*cur) != 0;
                ++i;
                break;
            case 75:
                h.style = integer(*cur);
                ++i;
                break;
            case 76:
                h.patternType = integer(*cur);
                ++i;
                break;
            case 52:
                h.patternAngle = normalizeAngle(num(*cur) * degToRad);
                ++i;
                break;
            case 41:
                h.patternScale = num(*cur);
                ++i;
                break;
            case 77:
                h.patternDouble = integer(*cur) != 0;
                ++i;
                break;
            case 91: {
                if (seenLoops) return false;
                seenLoops = true;
                const long long count = integer(*cur);
                ++i;
                for (long long l = 0; l < count; ++l) {
                    HatchLoop loop;
                    if (!take(92, t)) return false;
                    loop.flags = integer(*t);
                    if (loop.isPolyline()) {
                        bool hasBulge = false;
                        if (take(72, t)) hasBulge = integer(*t) != 0;
                        if (take(73, t)) loop.closed = integer(*t) != 0;
                        if (!take(93, t)) return false;
                        const long long nv = integer(*t);
                        for (long long k = 0; k < nv; ++k) {
                            Vertex v;
                            if (!need(10, v.x) || !need(20, v.y)) return false;
                            if (take(42, t)) v.bulge = num(*t);
                            (void)hasBulge;
                            loop.vertices.push_back(v);
                        }
                    } else {
                        if (!take(93, t)) return false;
                        const long long ne = integer(*t);
                        for (long long k = 0; k < ne; ++k) {
                            if (!take(72, t)) return false;
                            Edge edge;
                            const int type = integer(*t);
                            if (type == 1) {
                                edge.type = Edge::Line;
                                if (!need(10, edge.start.x) || !need(20, edge.start.y) ||
                                    !need(11, edge.end.x) || !need(21, edge.end.y))
                                    return false;
                            } else if (type == 2) {
                                edge.type = Edge::Arc;
                                double a0 = 0, a1 = 0;
                                if (!need(10, edge.center.x) || !need(20, edge.center.y) ||
                                    !need(40, edge.radius) || !need(50, a0) || !need(51, a1))
                                    return false;
                                edge.startAngle = a0 * degToRad;
                                edge.endAngle = a1 * degToRad;
                                if (take(73, t)) edge.counterClockwise = integer(*t) != 0;
                            } else if (type == 3) {
                                edge.type = Edge::Ellipse;
                                double a0 = 0, a1 = 0;
                                if (!need(10, edge.center.x) || !need(20, edge.center.y) ||
                                    !need(11, edge.majorAxis.x) || !need(21, edge.majorAxis.y) ||
                                    !need(40, edge.ratio) || !need(50, a0) || !need(51, a1))
                                    return false;
                                edge.startAngle = a0 * degToRad;
                                edge.endAngle = a1 * degToRad;
                                if (take(73, t)) edge.counterClockwise = integer(*t) != 0;
                            } else if (type == 4) {
                                edge.type = Edge::Spline;
                                if (!splineEdge(own, i, edge.raw)) return false;
                            } else {
                                return false;  // an unknown edge: the whole hatch is kept raw
                            }
                            loop.edges.push_back(edge);
                        }
                    }
                    if (take(97, t)) {
                        const long long ns = integer(*t);
                        for (long long k = 0; k < ns; ++k) {
                            if (!take(330, t)) return false;
                            loop.sourceHandles.push_back(toHandle(*t));
                        }
                    }
                    h.loops.push_back(std::move(loop));
                }
                break;
            }
            case 78: {
                const long long count = integer(*cur);
                ++i;
                for (long long l = 0; l < count; ++l) {
                    PatternLine pl;
                    if (!need(53, pl.angle)) return false;
                    if (take(43, t)) pl.base.x = num(*t);
                    if (take(44, t)) pl.base.y = num(*t);
                    if (take(45, t)) pl.offset.x = num(*t);
                    if (take(46, t)) pl.offset.y = num(*t);
                    if (take(79, t)) {
                        const long long nd = integer(*t);
                        for (long long k = 0; k < nd; ++k) {
                            if (!take(49, t)) return false;
                            pl.dashes.push_back(num(*t));
                        }
                    }
                    h.patternLines.push_back(std::move(pl));
                }
                break;
            }
            case 98: {
                const long long count = integer(*cur);
                ++i;
                for (long long k = 0; k < count; ++k) {
                    Point3 p;
                    if (!need(10, p.x) || !need(20, p.y)) return false;
                    h.seeds.push_back(p);
                }
                break;
            }
            default:
                extras.push_back(toTag(*cur));
                ++i;
        }
    }
    if (!seenLoops) return false;
    h.solid = h.solid || h.patternName.compare(QLatin1String("SOLID"), Qt::CaseInsensitive) == 0;
    return true;
}

void Reader::readObjects() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    Split s;
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        split(rec_, s);
        if (type == QLatin1String("DICTIONARY")) {
            Dictionary* d = db_->addDictionary(want(s.handle));
            adopted(s.handle, d);
            applyObject(d, s);
            d->hasCloning = false;
            for (size_t i = 0; i < s.body.size(); ++i) {
                const RawTag* t = s.body[i];
                switch (t->code) {
                    case 100:
                        break;
                    case 280:
                        d->hardOwner = integer(*t);
                        break;
                    case 281:
                        d->cloning = integer(*t);
                        d->hasCloning = true;
                        break;
                    case 3: {
                        Dictionary::Entry entry;
                        entry.name = text(*t);
                        if (i + 1 < s.body.size() &&
                            (s.body[i + 1]->code == 350 || s.body[i + 1]->code == 360)) {
                            entry.owned = s.body[i + 1]->code == 350;
                            entry.handle = toHandle(*s.body[i + 1]);
                            ++i;
                        }
                        d->entries.push_back(entry);
                        break;
                    }
                    default:
                        d->extraTags.push_back(toTag(*t));
                }
            }
            if (!root_) root_ = d;
        } else if (type == QLatin1String("SORTENTSTABLE")) {
            SortentsTable* st = db_->addSortentsTable(want(s.handle));
            adopted(s.handle, st);
            applyObject(st, s);
            for (size_t i = 0; i < s.body.size(); ++i) {
                const RawTag* t = s.body[i];
                if (t->code == 330 && st->blockRecord == 0)
                    st->blockRecord = toHandle(*t);
                else if (t->code == 331) {
                    const quint64 entity = toHandle(*t);
                    quint64 key = entity;
                    if (i + 1 < s.body.size() && s.body[i + 1]->code == 5) key = toHandle(*s.body[++i]);
                    st->entries.emplace_back(entity, key);
                }
            }
        } else {
            RawObject* o = db_->addRawObject(type, want(s.handle));
            adopted(s.handle, o);
            applyObject(o, s);
            o->tags.reserve(s.body.size());
            for (const RawTag* t : s.body) o->tags.push_back(toTag(*t));
        }
    }
    tk_.fail(start, QStringLiteral("sekcja OBJECTS nie jest zamknięta przez ENDSEC"));
}

void Reader::finish() {
    db_->setLayouts(modelSpace(), paperSpace());
    remapPointers();
    pairLayoutsWithRecords();
    db_->setRootDictionary(root_);
    // The drawing properties live in the "DWGPROPS" record of the root dictionary.
    if (root_) {
        if (auto* props =
                dynamic_cast<RawObject*>(db_->dictionaryObject(root_, QStringLiteral("DWGPROPS")))) {
            SummaryInfo& info = db_->summaryInfo();
            bool cookie = false, inExtra = false;
            auto addPair = [&](const QString& pair) {
                const qsizetype eq = pair.indexOf('=');
                const QString key = eq < 0 ? pair : pair.left(eq);
                if (key.isEmpty() || info.hasCustom(key)) return;
                info.addCustom(key, eq < 0 ? QString() : pair.mid(eq + 1));
            };
            for (const Tag& t : props->tags) {
                if (inExtra && t.code == 1) {
                    addPair(t.value);
                    continue;
                }
                switch (t.code) {
                    case 1:
                        if (!cookie)
                            cookie = true;
                        else
                            info.hyperlinkBase = t.value;
                        break;
                    case 2:
                        info.title = t.value;
                        break;
                    case 3:
                        info.subject = t.value;
                        break;
                    case 4:
                        info.author = t.value;
                        break;
                    case 6:
                        info.comments = t.value;
                        break;
                    case 7:
                        info.keywords = t.value;
                        break;
                    case 8:
                        info.lastSavedBy = t.value;
                        break;
                    case 9:
                        info.revisionNumber = t.value;
                        break;
                    case 90:
                        inExtra = true;
                        break;
                    default:
                        if (t.code >= 300 && t.code <= 309) addPair(t.value);
                }
            }
            db_->summaryInfoHandle = props->handle();
            db_->eraseObject(props);
            std::erase_if(root_->entries,
                          [](const Dictionary::Entry& e) { return e.name == QLatin1String("DWGPROPS"); });
        }
    }
    for (const auto& [key, value] : headerCustom_)
        if (!db_->summaryInfo().hasCustom(key)) db_->summaryInfo().addCustom(key, value);
    // Layers that entities name but the table lacks are added, as the CAD does on opening.
    QSet<QString> known;
    for (Entity* e : db_->allEntities()) {
        if (known.contains(e->layer())) continue;
        if (!db_->layers().find(e->layer())) {
            try {
                db_->addLayer(e->layer());
            } catch (const InvalidArgument&) {
                db_->setLayerRaw(e, QStringLiteral("0"));  // a name no layer may have
                continue;
            }
        }
        known.insert(e->layer());
    }
    db_->raiseHandleSeed(handseed_);
    db_->ensureDefaults();
    // A reference to an anonymous representation of a dynamic block names the original.
    for (Entity* e : db_->modelSpace()->entities()) {
        auto* ins = e->tryAs<InsertData>();
        if (!ins || !ins->blockName.startsWith('*') || !ins->effectiveName.isEmpty()) continue;
        BlockDefinition* b = db_->findBlock(ins->blockName);
        if (!b) continue;
        for (size_t i = 0; i + 1 < b->xdata.size(); ++i) {
            if (b->xdata[i].code != 1001 || b->xdata[i].value != QLatin1String("AcDbBlockRepBTag")) continue;
            for (size_t k = i + 1; k < b->xdata.size() && b->xdata[k].code != 1001; ++k)
                if (b->xdata[k].code == 1005)
                    if (auto* orig = dynamic_cast<BlockDefinition*>(
                            db_->objectByHandle(handleFromText(b->xdata[k].value))))
                        ins->effectiveName = orig->name();
        }
    }
}

}  // namespace

std::unique_ptr<Database> readBuffer(const QByteArray& data, const QString& sourceName) {
    if (isBinaryDxf(data)) {
        // Binary files hold the same pairs: read through their text form.
        const QByteArray text = binaryDxfToText(data, sourceName);
        Reader reader(text, sourceName);
        return reader.run();
    }
    Reader reader(data, sourceName);
    return reader.run();
}

QString resolveDrawingFile(const QString& path) {
    const QFileInfo info(QString(path).replace('\\', '/'));
    const QString wanted = info.completeBaseName() + QStringLiteral(".dxf");
    QDir dir = info.dir();
    // Folders on the way may differ in case too.
    if (!dir.exists()) {
        QString resolved = info.path().startsWith('/') ? QStringLiteral("/") : QStringLiteral(".");
        for (const QString& part : info.path().split('/', Qt::SkipEmptyParts)) {
            if (part == QLatin1String(".")) continue;
            const QStringList entries = QDir(resolved).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            const auto it = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                return e.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (it == entries.end()) return {};
            resolved = QDir(resolved).filePath(*it);
        }
        dir = QDir(resolved);
    }
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

std::unique_ptr<Database> readFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) throw NotFound(QStringLiteral("Plik %1 nie istnieje").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Failed(QStringLiteral("Nie można otworzyć pliku %1: %2").arg(path, fileErrorText(file)));
    // The file is mapped rather than copied; values are decoded straight from the mapping.
    QByteArray data;
    uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    if (mapped)
        data = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(file.size()));
    else
        data = file.readAll();
    auto db = readBuffer(data, QFileInfo(path).fileName());
    db->filePath = QFileInfo(path).absoluteFilePath();
    return db;
}

}  // namespace cad::dxf
