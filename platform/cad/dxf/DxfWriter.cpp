// The DXF writer: an R2000 (AC1015) file (the read version for one keeping R2013+ solid data) with handles, owners, block records, classes and the
// objects section (root dictionary first, the drawing properties in "DWGPROPS", draw order).
#include "platform/cad/dxf/DxfWriter.h"

#include "platform/cad/dxf/CodePage.h"
#include "platform/cad/dxf/FileErrors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace cad::dxf {

using namespace cad::db;

namespace {

constexpr double radToDeg = 180.0 / M_PI;

// The drawing's own code page, unless a symbol name needs a character it lacks: names cannot carry
// \U+ escapes for every reader, so then a Windows page that holds them all is taken.
QString pageFor(const Database& db) {
    QStringList names;
    for (const Layer* l : db.layers().records()) names << l->name();
    for (const BlockDefinition* b : db.blocks()) names << b->name();
    for (const TextStyle* s : db.textStyles().records()) names << s->name();
    for (const Linetype* l : db.linetypes().records()) names << l->name();
    for (const QString& page : {db.codePage(), QStringLiteral("ANSI_1250"), QStringLiteral("ANSI_1252")}) {
        const CodePage cp(page, false);
        bool all = true;
        for (const QString& n : names)
            if (!cp.canEncode(n)) {
                all = false;
                break;
            }
        if (all) return page;
    }
    return db.codePage();
}

// The application name under which references keep their dynamic-block data (original block name
// and property values) in files; readers that do not know it keep it as extended data.
const char* const dynamicApp = "TESMAR_DYNAMIC";

bool hasDynamicData(const Entity& e) {
    const auto* ins = e.tryAs<InsertData>();
    return ins && (!ins->dynamicProperties.empty() || !ins->effectiveName.isEmpty());
}

// The version written: R2000, unless the drawing keeps solid-model data in an ACDSDATA section
// (R2013 and later), which readers take for that data only in a file of such a version.
QString versionFor(const Database& db) {
    if (db.fileVersion >= QLatin1String("AC1027") && db.fileVersion <= QLatin1String("AC1032"))
        for (const auto& [name, tags] : db.extraSections)
            if (name == QLatin1String("ACDSDATA")) return db.fileVersion;
    return QStringLiteral("AC1015");
}

class Writer {
public:
    explicit Writer(const Database& db)
        : db_(db),
          version_(versionFor(db)),
          cp_(pageFor(db), version_ >= QLatin1String("AC1021")),
          seed_(db.handleSeed()) {}
    // The header and the rest, separately so a file can take them without joining them.
    std::pair<QByteArray, QByteArray> run();

private:
    // ---- primitives ----
    void code(int c) {
        // Right-aligned in three columns, as the CAD writes group codes.
        char buf[16];
        char* p = buf + 4;
        auto r = std::to_chars(p, buf + sizeof buf, c);
        for (auto len = r.ptr - p; len < 3; ++len) *--p = ' ';
        out_->append(p, qsizetype(r.ptr - p));
        out_->append('\n');
    }
    void str(int c, const QString& v) {
        code(c);
        bool control = false;
        for (QChar ch : v)
            if (ch.unicode() < 32 && ch != QLatin1Char('\t')) control = true;
        if (control) {
            // A line break would split the pair.
            QString clean = v;
            for (QChar& ch : clean)
                if (ch.unicode() < 32 && ch != QLatin1Char('\t')) ch = QChar(' ');
            cp_.encodeTo(clean, *out_);
        } else {
            cp_.encodeTo(v, *out_);
        }
        out_->append('\n');
    }
    void ascii(int c, const char* v) {
        code(c);
        out_->append(v);
        out_->append('\n');
    }
    void integer(int c, long long v) {
        code(c);
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_->append(buf, int(r.ptr - buf));
        out_->append('\n');
    }
    void real(int c, double v) {
        code(c);
        if (!std::isfinite(v)) v = 0;
        if (v == 0) v = 0;  // no "-0"
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_->append(buf, int(r.ptr - buf));
        if (std::find(buf, r.ptr, '.') == r.ptr && std::find(buf, r.ptr, 'e') == r.ptr) out_->append(".0");
        out_->append('\n');
    }
    void handle(int c, quint64 h) {
        if (c == 5 || c == 105) given_.insert(h);
        code(c);
        out_->append(handleToText(h).toLatin1());
        out_->append('\n');
    }
    void point(int base, const Point3& p, bool withZ = true) {
        real(base, p.x);
        real(base + 10, p.y);
        if (withZ) real(base + 20, p.z);
    }
    void tags(const Tags& ts) {
        for (const Tag& t : ts) {
            if (t.code == 5) given_.insert(handleFromText(t.value));
            str(t.code, t.value);
        }
    }
    quint64 newHandle() { return seed_++; }

    // The head of every object: type, handle, application groups, owner.
    void head(const char* type, const DbObject& o, quint64 owner, int handleCode = 5) {
        ascii(0, type);
        handle(handleCode, o.handle());
        groups(o);
        handle(330, owner);
    }
    void groups(const DbObject& o) {
        if (!o.appData.empty()) tags(o.appData);
        if (!o.reactors.empty()) {
            ascii(102, "{ACAD_REACTORS");
            for (quint64 r : o.reactors) handle(330, r);
            ascii(102, "}");
        }
        if (o.extensionDictionary) {
            if (const DbObject* x = db_.objectByHandle(o.extensionDictionary); x && !x->isErased()) {
                ascii(102, "{ACAD_XDICTIONARY");
                handle(360, o.extensionDictionary);
                ascii(102, "}");
            }
        }
    }

    void header();
    void classes();
    void tables();
    void tableHead(const char* name, quint64 tableHandle, int count);
    void blocks();
    void entities();
    void objects();
    void entity(const Entity& e, bool paper);
    void common(const Entity& e, bool paper);
    void hatch(const HatchData& h);
    void attribute(const Entity& a, quint64 owner);
    void summary(quint64 owner);

    const Database& db_;
    QString version_;
    CodePage cp_;
    quint64 seed_;
    std::unordered_set<quint64> given_;  // handles written so far (5, 105)
    QByteArray body_;
    QByteArray* out_ = &body_;
};

std::pair<QByteArray, QByteArray> Writer::run() {
    // About 200 bytes an entity; growing a 50 MB buffer step by step costs copies.
    body_.reserve(qsizetype(1 << 20) + qsizetype(db_.modelSpace()->count()) * 256);
    classes();
    tables();
    blocks();
    entities();
    objects();
    for (const auto& [name, sectionTags] : db_.extraSections) {
        ascii(0, "SECTION");
        str(2, name);
        tags(sectionTags);
        ascii(0, "ENDSEC");
    }
    ascii(0, "EOF");
    // The header comes last because writing may hand out handles ($HANDSEED).
    QByteArray head;
    out_ = &head;
    header();
    out_ = &body_;
    return {std::move(head), std::move(body_)};
}

void Writer::header() {
    ascii(0, "SECTION");
    ascii(2, "HEADER");
    ascii(9, "$ACADVER");
    str(1, version_);
    ascii(9, "$DWGCODEPAGE");
    str(3, cp_.name());
    ascii(9, "$HANDSEED");
    handle(5, seed_);
    for (const HeaderVariable& h : db_.headerVariables()) {
        if (h.name == QLatin1String("$ACADVER") || h.name == QLatin1String("$DWGCODEPAGE") ||
            h.name == QLatin1String("$HANDSEED"))
            continue;
        str(9, h.name);
        tags(h.tags);
    }
    ascii(0, "ENDSEC");
}

void Writer::classes() {
    ascii(0, "SECTION");
    ascii(2, "CLASSES");
    std::vector<DxfClass> list = db_.classes;
    auto need = [&](const char* dxf, const char* cpp) {
        for (const DxfClass& c : list)
            if (c.dxfName == QLatin1String(dxf)) return;
        DxfClass c;
        c.dxfName = QLatin1String(dxf);
        c.cppName = QLatin1String(cpp);
        c.appName = QStringLiteral("ObjectDBX Classes");
        list.push_back(c);
    };
    bool sortents = false, layouts = false, xrecords = false;
    for (const DbObject* o : db_.objects()) {
        if (o->objectType() == ObjectType::SortentsTable) sortents = true;
        if (auto* r = dynamic_cast<const RawObject*>(o)) {
            if (r->dxfName == QLatin1String("LAYOUT")) layouts = true;
            if (r->dxfName == QLatin1String("XRECORD")) xrecords = true;
        }
    }
    xrecords = true;  // the drawing properties are an XRECORD
    if (sortents) need("SORTENTSTABLE", "AcDbSortentsTable");
    if (layouts) need("LAYOUT", "AcDbLayout");
    if (xrecords) need("XRECORD", "AcDbXrecord");
    for (const DxfClass& c : list) {
        ascii(0, "CLASS");
        str(1, c.dxfName);
        str(2, c.cppName);
        str(3, c.appName);
        integer(90, c.flags);
        integer(280, c.wasProxy);
        integer(281, c.isEntity);
    }
    ascii(0, "ENDSEC");
}

void Writer::tableHead(const char* name, quint64 tableHandle, int count) {
    ascii(0, "TABLE");
    ascii(2, name);
    handle(5, tableHandle);
    if (auto it = db_.tableHeadTags.find(QLatin1String(name)); it != db_.tableHeadTags.end())
        tags(it->second);
    handle(330, 0);
    ascii(100, "AcDbSymbolTable");
    integer(70, count);
}

void Writer::tables() {
    ascii(0, "SECTION");
    ascii(2, "TABLES");
    auto raw = [&](const char* name, const Table<RawTableRecord>& table) {
        const auto recs = table.records();
        tableHead(name, table.tableHandle, int(recs.size()));
        for (const RawTableRecord* r : recs) {
            head(name, *r, table.tableHandle);
            tags(r->tags);
            tags(r->xdata);
        }
        ascii(0, "ENDTAB");
    };
    auto recordHead = [&](const char* type, const TableRecord& r, quint64 owner, const char* subclass,
                          int handleCode = 5) {
        head(type, r, owner, handleCode);
        ascii(100, "AcDbSymbolTableRecord");
        ascii(100, subclass);
        str(2, r.name());
    };

    raw("VPORT", db_.viewports());

    {
        const auto recs = db_.linetypes().records();
        tableHead("LTYPE", db_.linetypes().tableHandle, int(recs.size()));
        for (const Linetype* lt : recs) {
            recordHead("LTYPE", *lt, db_.linetypes().tableHandle, "AcDbLinetypeTableRecord");
            integer(70, lt->flags);
            str(3, lt->description);
            integer(72, 65);
            if (!lt->complexTags.empty()) {
                int n = 0;
                for (const Tag& t : lt->complexTags)
                    if (t.code == 49) ++n;
                integer(73, n);
                real(40, lt->patternLength);
                tags(lt->complexTags);
            } else {
                integer(73, int(lt->elements.size()));
                real(40, lt->patternLength);
                for (double el : lt->elements) {
                    real(49, el);
                    integer(74, 0);
                }
            }
            tags(lt->extraTags);
            tags(lt->xdata);
        }
        ascii(0, "ENDTAB");
    }

    {
        const auto recs = db_.layers().records();
        tableHead("LAYER", db_.layers().tableHandle, int(recs.size()));
        for (const Layer* l : recs) {
            recordHead("LAYER", *l, db_.layers().tableHandle, "AcDbLayerTableRecord");
            integer(70, (l->flags & ~5) | (l->frozen ? 1 : 0) | (l->locked ? 4 : 0));
            integer(62, l->on ? l->color : -l->color);
            if (l->trueColor >= 0) integer(420, l->trueColor);
            str(6, l->linetype);
            if (!l->plot) integer(290, 0);
            integer(370, l->lineweight);
            if (l->plotStyleHandle) handle(390, l->plotStyleHandle);
            tags(l->extraTags);
            tags(l->xdata);
        }
        ascii(0, "ENDTAB");
    }

    {
        const auto recs = db_.textStyles().records();
        const auto shapes = db_.shapeStyles().records();
        tableHead("STYLE", db_.textStyles().tableHandle, int(recs.size() + shapes.size()));
        for (const RawTableRecord* r : shapes) {
            head("STYLE", *r, db_.textStyles().tableHandle);
            tags(r->tags);
            tags(r->xdata);
        }
        for (const TextStyle* s : recs) {
            recordHead("STYLE", *s, db_.textStyles().tableHandle, "AcDbTextStyleTableRecord");
            integer(70, s->flags);
            real(40, s->height);
            real(41, s->widthFactor);
            real(50, s->oblique * radToDeg);
            integer(71, s->generation);
            real(42, s->lastHeight);
            str(3, s->font);
            str(4, s->bigFont);
            tags(s->extraTags);
            bool hasAcad = false;
            for (const Tag& t : s->xdata)
                if (t.code == 1001 && t.value == QLatin1String("ACAD")) hasAcad = true;
            tags(s->xdata);
            if (!hasAcad && !s->typeface.isEmpty()) {
                ascii(1001, "ACAD");
                str(1000, s->typeface);
                integer(1071, (s->bold ? 0x2000000 : 0) | (s->italic ? 0x1000000 : 0) | 34);
            }
        }
        ascii(0, "ENDTAB");
    }

    raw("VIEW", db_.views());
    raw("UCS", db_.ucss());

    {
        const auto recs = db_.appIds().records();
        bool dynamic = false;
        if (!db_.appIds().find(QLatin1String(dynamicApp)))
            for (const BlockDefinition* b : db_.blocks())
                for (const Entity* e : b->entities())
                    if (hasDynamicData(*e)) dynamic = true;
        tableHead("APPID", db_.appIds().tableHandle, int(recs.size()) + (dynamic ? 1 : 0));
        for (const AppId* a : recs) {
            recordHead("APPID", *a, db_.appIds().tableHandle, "AcDbRegAppTableRecord");
            integer(70, a->flags);
            tags(a->xdata);
        }
        if (dynamic) {
            ascii(0, "APPID");
            handle(5, newHandle());
            handle(330, db_.appIds().tableHandle);
            ascii(100, "AcDbSymbolTableRecord");
            ascii(100, "AcDbRegAppTableRecord");
            ascii(2, dynamicApp);
            integer(70, 0);
        }
        ascii(0, "ENDTAB");
    }

    {
        const auto recs = db_.dimStyles().records();
        tableHead("DIMSTYLE", db_.dimStyles().tableHandle, int(recs.size()));
        ascii(100, "AcDbDimStyleTable");
        integer(71, 0);
        for (const DimStyle* s : recs) {
            recordHead("DIMSTYLE", *s, db_.dimStyles().tableHandle, "AcDbDimStyleTableRecord", 105);
            integer(70, s->flags);
            for (const auto& [c, v] : s->values) str(c, v);
            tags(s->xdata);
        }
        ascii(0, "ENDTAB");
    }

    {
        const auto blocks = db_.blocks();
        tableHead("BLOCK_RECORD", db_.blockRecordTableHandle, int(blocks.size()));
        for (const BlockDefinition* b : blocks) {
            head("BLOCK_RECORD", *b, db_.blockRecordTableHandle);
            ascii(100, "AcDbSymbolTableRecord");
            ascii(100, "AcDbBlockTableRecord");
            str(2, b->name());
            if (b->layoutHandle) handle(340, b->layoutHandle);
            tags(b->recordExtraTags);
            tags(b->xdata);
        }
        ascii(0, "ENDTAB");
    }
    ascii(0, "ENDSEC");
}

void Writer::blocks() {
    ascii(0, "SECTION");
    ascii(2, "BLOCKS");
    for (const BlockDefinition* b : db_.blocks()) {
        const bool paper = b == db_.paperSpace();
        ascii(0, "BLOCK");
        handle(5, b->blockEntityHandle);
        if (!b->blockAppData.empty()) tags(b->blockAppData);
        handle(330, b->handle());
        ascii(100, "AcDbEntity");
        if (paper) integer(67, 1);
        str(8, b->blockLayer);
        ascii(100, "AcDbBlockBegin");
        str(2, b->name());
        integer(70, b->flags);
        point(10, b->basePoint);
        str(3, b->name());
        str(1, b->xrefPath);
        if (!b->description.isEmpty()) str(4, b->description);
        tags(b->blockXdata);
        if (!b->isLayout() || (b != db_.modelSpace() && !paper))
            for (const Entity* e : b->entities()) entity(*e, false);
        ascii(0, "ENDBLK");
        handle(5, b->endblkHandle);
        handle(330, b->handle());
        ascii(100, "AcDbEntity");
        if (paper) integer(67, 1);
        str(8, b->blockLayer);
        ascii(100, "AcDbBlockEnd");
    }
    ascii(0, "ENDSEC");
}

void Writer::entities() {
    ascii(0, "SECTION");
    ascii(2, "ENTITIES");
    for (const Entity* e : db_.modelSpace()->entities()) entity(*e, false);
    if (db_.paperSpace())
        for (const Entity* e : db_.paperSpace()->entities()) entity(*e, true);
    ascii(0, "ENDSEC");
}

void Writer::common(const Entity& e, bool paper) {
    if (paper) integer(67, 1);
    str(8, e.layer());
    if (e.linetype.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) != 0) str(6, e.linetype);
    if (e.color != ColorByLayer) integer(62, e.color);
    if (e.trueColor >= 0) integer(420, e.trueColor);
    if (e.lineweight != LineweightByLayer) integer(370, e.lineweight);
    if (e.linetypeScale != 1) real(48, e.linetypeScale);
    if (!e.visible) integer(60, 1);
    tags(e.commonTags);
}

namespace {
bool defaultNormal(const Point3& n) {
    return n.x == 0 && n.y == 0 && n.z == 1;
}
}  // namespace

void Writer::entity(const Entity& e, bool paper) {
    const QByteArray type = e.dxfName().toLatin1();
    const quint64 owner = e.ownerBlock() ? e.ownerBlock()->handle() : e.ownerHandle;
    if (e.kind() == EntityKind::Unknown) {
        // Raw entities: tags as read, with the common properties patched in.
        const Tags& raw = e.as<RawData>().tags;
        head(type.constData(), e, owner);
        size_t i = 0;
        bool hasEntityMarker = false;
        for (const Tag& t : raw) {
            if (t.code == 0) break;
            if (t.code == 100 && t.value == QLatin1String("AcDbEntity")) hasEntityMarker = true;
        }
        auto isCommon = [](int c) {
            return c == 8 || c == 62 || c == 6 || c == 370 || c == 420 || c == 48 || c == 60 || c == 67;
        };
        if (!hasEntityMarker) common(e, paper);
        bool inEntityPart = false;
        for (; i < raw.size() && raw[i].code != 0; ++i) {
            const Tag& t = raw[i];
            if (t.code == 100) {
                inEntityPart = t.value == QLatin1String("AcDbEntity");
                str(100, t.value);
                if (inEntityPart) common(e, paper);
                continue;
            }
            if (isCommon(t.code) && (inEntityPart || !hasEntityMarker)) continue;
            str(t.code, t.value);
        }
        tags(e.extraTags);
        tags(e.xdata);
        for (; i < raw.size(); ++i) str(raw[i].code, raw[i].value);
        return;
    }

    head(type.constData(), e, owner);
    ascii(100, "AcDbEntity");
    common(e, paper);
    switch (e.kind()) {
        case EntityKind::Line: {
            const auto& d = e.as<LineData>();
            ascii(100, "AcDbLine");
            if (e.thickness != 0) real(39, e.thickness);
            point(10, d.start);
            point(11, d.end);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            break;
        }
        case EntityKind::Circle:
        case EntityKind::Arc: {
            ascii(100, "AcDbCircle");
            if (e.thickness != 0) real(39, e.thickness);
            if (const auto* a = e.tryAs<ArcData>()) {
                point(10, a->center);
                real(40, a->radius);
                if (!defaultNormal(e.normal)) point(210, e.normal);
                ascii(100, "AcDbArc");
                real(50, a->startAngle * radToDeg);
                real(51, a->endAngle * radToDeg);
            } else {
                const auto& c = e.as<CircleData>();
                point(10, c.center);
                real(40, c.radius);
                if (!defaultNormal(e.normal)) point(210, e.normal);
            }
            break;
        }
        case EntityKind::LwPolyline: {
            const auto& d = e.as<LwPolylineData>();
            ascii(100, "AcDbPolyline");
            integer(90, qsizetype(d.vertices.size()));
            integer(70, (d.flags & ~1) | (d.closed ? 1 : 0));
            if (d.constantWidth != 0) real(43, d.constantWidth);
            if (d.elevation != 0) real(38, d.elevation);
            if (e.thickness != 0) real(39, e.thickness);
            bool widths = false;
            for (const Vertex& v : d.vertices)
                if (v.startWidth != 0 || v.endWidth != 0) widths = true;
            for (const Vertex& v : d.vertices) {
                real(10, v.x);
                real(20, v.y);
                if (widths) {
                    real(40, v.startWidth);
                    real(41, v.endWidth);
                }
                if (v.bulge != 0) real(42, v.bulge);
            }
            if (!defaultNormal(e.normal)) point(210, e.normal);
            break;
        }
        case EntityKind::Polyline2d: {
            const auto& d = e.as<Polyline2dData>();
            ascii(100, "AcDb2dPolyline");
            integer(66, 1);
            point(10, {0, 0, d.elevation});
            if (e.thickness != 0) real(39, e.thickness);
            integer(70, (d.flags & ~1) | (d.closed ? 1 : 0));
            if (!defaultNormal(e.normal)) point(210, e.normal);
            tags(e.extraTags);
            tags(e.xdata);
            for (size_t i = 0; i < d.vertices.size(); ++i) {
                const Vertex& v = d.vertices[i];
                ascii(0, "VERTEX");
                handle(5,
                       i < d.vertexHandles.size() && d.vertexHandles[i] ? d.vertexHandles[i] : newHandle());
                handle(330, e.handle());
                ascii(100, "AcDbEntity");
                common(e, paper);
                ascii(100, "AcDbVertex");
                ascii(100, "AcDb2dVertex");
                point(10, {v.x, v.y, d.elevation});
                if (v.startWidth != 0) real(40, v.startWidth);
                if (v.endWidth != 0) real(41, v.endWidth);
                if (v.bulge != 0) real(42, v.bulge);
                integer(70, 0);
            }
            ascii(0, "SEQEND");
            handle(5, d.seqendHandle ? d.seqendHandle : newHandle());
            handle(330, e.handle());
            ascii(100, "AcDbEntity");
            common(e, paper);
            return;
        }
        case EntityKind::Text:
        case EntityKind::AttributeDefinition:
        case EntityKind::AttributeReference: {
            const TextData& t = *const_cast<Entity&>(e).textData();
            ascii(100, "AcDbText");
            if (e.thickness != 0) real(39, e.thickness);
            point(10, t.position);
            real(40, t.height);
            str(1, t.text);
            if (t.rotation != 0) real(50, t.rotation * radToDeg);
            if (t.widthFactor != 1) real(41, t.widthFactor);
            if (t.oblique != 0) real(51, t.oblique * radToDeg);
            str(7, t.style);
            if (t.generation != 0) integer(71, t.generation);
            if (t.horizontal != 0) integer(72, t.horizontal);
            if (t.horizontal != 0 || t.vertical != 0 || t.alignmentGiven) point(11, t.alignmentPoint);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            if (e.kind() == EntityKind::Text) {
                ascii(100, "AcDbText");
                if (t.vertical != 0) integer(73, t.vertical);
            } else {
                const auto& a = e.as<AttributeData>();
                if (e.kind() == EntityKind::AttributeDefinition) {
                    ascii(100, "AcDbAttributeDefinition");
                    str(3, a.prompt);
                } else {
                    ascii(100, "AcDbAttribute");
                }
                str(2, a.tag);
                integer(70, a.flags);
                if (a.fieldLength != 0) integer(73, a.fieldLength);
                if (t.vertical != 0) integer(74, t.vertical);
            }
            break;
        }
        case EntityKind::MText: {
            const auto& m = e.as<MTextData>();
            ascii(100, "AcDbMText");
            point(10, m.position);
            real(40, m.height);
            real(41, m.width);
            integer(71, m.attachment);
            integer(72, m.drawingDirection);
            QString text = m.text;
            text.replace(QLatin1String("\r\n"), QLatin1String("\\P"));
            text.replace(QLatin1Char('\n'), QLatin1String("\\P"));
            text.replace(QLatin1Char('\r'), QLatin1String("\\P"));
            // Long texts go in chunks of 250 characters (3), the last chunk in 1.
            while (text.size() > 250) {
                qsizetype cut = 250;
                if (text.at(cut - 1).isHighSurrogate()) --cut;
                str(3, text.left(cut));
                text.remove(0, cut);
            }
            str(1, text);
            str(7, m.style);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            const bool asGiven = m.rotation == m.givenRotation;
            if (m.hasGivenDirection)
                point(11, asGiven ? m.givenDirection : Point3{std::cos(m.rotation), std::sin(m.rotation), 0});
            if (m.hasGivenAngle)
                real(50, asGiven ? m.givenAngle : m.rotation * radToDeg);
            else if (!m.hasGivenDirection && m.rotation != 0)
                real(50, m.rotation * radToDeg);
            if (m.lineSpacing != 1) {
                integer(73, 1);
                real(44, m.lineSpacing);
            }
            break;
        }
        case EntityKind::Point: {
            ascii(100, "AcDbPoint");
            point(10, e.as<PointData>().position);
            if (e.thickness != 0) real(39, e.thickness);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            break;
        }
        case EntityKind::Hatch:
            ascii(100, "AcDbHatch");
            point(10, {0, 0, e.as<HatchData>().elevation});
            point(210, e.normal);
            hatch(e.as<HatchData>());
            break;
        case EntityKind::Region: {
            const auto& r = e.as<RegionData>();
            if (r.acis.empty()) {
                ascii(100, "AcDbModelerGeometry");
                integer(70, 1);
            } else {
                tags(r.acis);
            }
            break;
        }
        case EntityKind::BlockReference: {
            const auto& d = e.as<InsertData>();
            std::vector<const Entity*> attrs;
            for (const Entity* a : d.attributes)
                if (!a->isErased()) attrs.push_back(a);
            ascii(100, "AcDbBlockReference");
            if (!attrs.empty()) integer(66, 1);
            str(2, d.blockName);
            point(10, d.position);
            if (d.xScale != 1) real(41, d.xScale);
            if (d.yScale != 1) real(42, d.yScale);
            if (d.zScale != 1) real(43, d.zScale);
            if (d.rotation != 0) real(50, d.rotation * radToDeg);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            tags(e.extraTags);
            tags(e.xdata);
            if (hasDynamicData(e)) {
                ascii(1001, dynamicApp);
                str(1000, d.effectiveName);
                for (const auto& [name, value] : d.dynamicProperties) {
                    str(1000, name);
                    real(1040, value);
                }
            }
            if (!attrs.empty()) {
                for (const Entity* a : attrs) entity(*a, paper);
                ascii(0, "SEQEND");
                handle(5, d.seqendHandle ? d.seqendHandle : newHandle());
                handle(330, e.handle());
                ascii(100, "AcDbEntity");
                common(e, paper);
            }
            return;
        }
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate: {
            const auto& d = e.as<DimensionData>();
            const bool ordinate = e.kind() == EntityKind::DimOrdinate;
            ascii(100, "AcDbDimension");
            str(2, d.blockName);
            point(10, d.definitionPoint);
            point(11, d.textPosition);
            integer(70, (ordinate ? 6 : 1) | 32 | (ordinate && d.ordinateXAxis ? 64 : 0) |
                            (d.flags & ~(7 | 32 | 64)));
            integer(71, d.attachment);
            if (d.measurement != 0) real(42, d.measurement);
            if (!d.textOverride.isEmpty()) str(1, d.textOverride);
            if (d.rotation != 0) real(53, d.rotation * radToDeg);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            str(3, d.style);
            ascii(100, ordinate ? "AcDbOrdinateDimension" : "AcDbAlignedDimension");
            point(13, d.point1);
            point(14, d.point2);
            break;
        }
        case EntityKind::Unknown:
            break;
    }
    tags(e.extraTags);
    tags(e.xdata);
}

void Writer::hatch(const HatchData& h) {
    str(2, h.patternName);
    integer(70, h.solid ? 1 : 0);
    integer(71, h.associative ? 1 : 0);
    integer(91, qsizetype(h.loops.size()));
    for (const HatchLoop& loop : h.loops) {
        integer(92, loop.flags);
        if (loop.isPolyline()) {
            bool bulges = false;
            for (const Vertex& v : loop.vertices)
                if (v.bulge != 0) bulges = true;
            integer(72, bulges ? 1 : 0);
            integer(73, loop.closed ? 1 : 0);
            integer(93, qsizetype(loop.vertices.size()));
            for (const Vertex& v : loop.vertices) {
                real(10, v.x);
                real(20, v.y);
                if (bulges) real(42, v.bulge);
            }
        } else {
            integer(93, qsizetype(loop.edges.size()));
            for (const Edge& edge : loop.edges) {
                integer(72, int(edge.type));
                switch (edge.type) {
                    case Edge::Line:
                        point(10, edge.start, false);
                        point(11, edge.end, false);
                        break;
                    case Edge::Arc:
                        point(10, edge.center, false);
                        real(40, edge.radius);
                        real(50, edge.startAngle * radToDeg);
                        real(51, edge.endAngle * radToDeg);
                        integer(73, edge.counterClockwise ? 1 : 0);
                        break;
                    case Edge::Ellipse:
                        point(10, edge.center, false);
                        point(11, edge.majorAxis, false);
                        real(40, edge.ratio);
                        real(50, edge.startAngle * radToDeg);
                        real(51, edge.endAngle * radToDeg);
                        integer(73, edge.counterClockwise ? 1 : 0);
                        break;
                    case Edge::Spline:
                        tags(edge.raw);
                        break;
                }
            }
        }
        integer(97, qsizetype(loop.sourceHandles.size()));
        for (quint64 s : loop.sourceHandles) handle(330, s);
    }
    integer(75, h.style);
    integer(76, h.patternType);
    if (!h.solid) {
        real(52, h.patternAngle * radToDeg);
        real(41, h.patternScale);
        integer(77, h.patternDouble ? 1 : 0);
        std::vector<PatternLine> lines = h.patternLines;
        if (lines.empty() && h.patternName.compare(QLatin1String("ANSI31"), Qt::CaseInsensitive) == 0) {
            // ANSI31: lines at 45 degrees, 0.125 apart, scaled and turned with the hatch.
            const double a = h.patternAngle;
            const double base = M_PI / 4;
            const double s = h.patternScale;
            PatternLine pl;
            pl.angle = (base + a) * radToDeg;
            const double ox = -std::sin(base) * 0.125 * s, oy = std::cos(base) * 0.125 * s;
            pl.offset = {ox * std::cos(a) - oy * std::sin(a), ox * std::sin(a) + oy * std::cos(a), 0};
            lines.push_back(pl);
        }
        integer(78, qsizetype(lines.size()));
        for (const PatternLine& pl : lines) {
            real(53, pl.angle);
            real(43, pl.base.x);
            real(44, pl.base.y);
            real(45, pl.offset.x);
            real(46, pl.offset.y);
            integer(79, qsizetype(pl.dashes.size()));
            for (double dash : pl.dashes) real(49, dash);
        }
    }
    integer(98, qsizetype(h.seeds.size()));
    for (const Point3& s : h.seeds) point(10, s, false);
}

void Writer::summary(quint64 owner) {
    const SummaryInfo& info = db_.summaryInfo();
    ascii(0, "XRECORD");
    handle(5, db_.summaryInfoHandle);
    ascii(102, "{ACAD_REACTORS");
    handle(330, owner);
    ascii(102, "}");
    handle(330, owner);
    ascii(100, "AcDbXrecord");
    integer(280, 1);
    ascii(1, "DWGPROPS COOKIE");
    str(2, info.title);
    str(3, info.subject);
    str(4, info.author);
    str(6, info.comments);
    str(7, info.keywords);
    str(8, info.lastSavedBy);
    str(9, info.revisionNumber);
    const auto& custom = info.custom();
    for (int i = 0; i < 10; ++i) {
        if (size_t(i) < custom.size())
            str(300 + i, custom[size_t(i)].first + QLatin1Char('=') + custom[size_t(i)].second);
        else
            ascii(300 + i, "=");
    }
    // Dates as Julian days.
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 86400000.0 + 2440587.5;
    real(40, 0);
    real(41, now);
    real(42, now);
    str(1, info.hyperlinkBase);
    // Properties beyond the ten slots follow as a count and "key=value" texts.
    const int extra = custom.size() > 10 ? int(custom.size()) - 10 : 0;
    integer(90, extra);
    for (size_t i = 10; i < custom.size(); ++i) str(1, custom[i].first + QLatin1Char('=') + custom[i].second);
}

void Writer::objects() {
    ascii(0, "SECTION");
    ascii(2, "OBJECTS");
    const Dictionary* root = db_.rootDictionary();
    auto alive = [&](quint64 h) {
        const DbObject* o = db_.objectByHandle(h);
        return !o || !o->isErased();  // handles of objects the engine never saw are kept
    };
    auto dictionary = [&](const Dictionary& d) {
        head("DICTIONARY", d, d.ownerHandle);
        ascii(100, "AcDbDictionary");
        if (d.hardOwner) integer(280, d.hardOwner);
        if (d.hasCloning) integer(281, d.cloning);
        for (const auto& entry : d.entries) {
            if (!alive(entry.handle) || (&d == root && entry.name == QLatin1String("DWGPROPS"))) continue;
            str(3, entry.name);
            handle(entry.owned ? 350 : 360, entry.handle);
        }
        if (&d == root) {
            ascii(3, "DWGPROPS");
            handle(350, db_.summaryInfoHandle);
        }
        tags(d.extraTags);
        tags(d.xdata);
    };
    if (root) dictionary(*root);
    for (const DbObject* o : db_.objects()) {
        if (o == root) continue;
        switch (o->objectType()) {
            case ObjectType::Dictionary:
                dictionary(*static_cast<const Dictionary*>(o));
                break;
            case ObjectType::SortentsTable: {
                const auto& st = *static_cast<const SortentsTable*>(o);
                head("SORTENTSTABLE", st, st.ownerHandle);
                ascii(100, "AcDbSortentsTable");
                handle(330, st.blockRecord);
                const auto* block = dynamic_cast<const BlockDefinition*>(db_.objectByHandle(st.blockRecord));
                if (block && !block->isErased()) {
                    // Sort keys rise along the drawing order. A key is the file's own while it still
                    // rises and names no record of the file (readers take a repeated value of code 5
                    // for a duplicate handle); otherwise a new handle above every other one.
                    std::unordered_map<quint64, quint64> keyOf;
                    for (auto [entity, key] : st.entries) keyOf.emplace(entity, key);
                    quint64 previous = 0;
                    for (const Entity* e : db_.drawOrder(block)) {
                        const auto it = keyOf.find(e->handle());
                        quint64 key = it == keyOf.end() ? e->handle() : it->second;
                        const bool named = key != e->handle() && (given_.count(key) || db_.objectByHandle(key));
                        if (key <= previous || named) key = newHandle();
                        if (key != e->handle()) {
                            handle(331, e->handle());
                            handle(5, key);
                        }
                        previous = key;
                    }
                }
                tags(st.xdata);
                break;
            }
            case ObjectType::RawObject: {
                const auto& r = *static_cast<const RawObject*>(o);
                const QByteArray type = r.dxfName.toLatin1();
                head(type.constData(), r, r.ownerHandle);
                tags(r.tags);
                tags(r.xdata);
                break;
            }
            default:
                break;
        }
    }
    if (root) summary(root->handle());
    ascii(0, "ENDSEC");
}

}  // namespace

QByteArray writeBuffer(const Database& db) {
    Writer w(db);
    auto [head, body] = w.run();
    head.append(body);
    return head;
}

void writeFile(const Database& db, const QString& path) {
    Writer writer(db);
    const auto [head, body] = writer.run();
    const QFileInfo info(path);
    const QString dir = info.absolutePath();
    const QString target = info.absoluteFilePath();
    const QString temp = dir + QLatin1Char('/') + QLatin1Char('.') + info.fileName() + QStringLiteral(".tmp");
    const QString backup = dir + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bak");
    {
        QFile f(temp);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Failed(QStringLiteral("Nie można zapisać pliku %1: %2").arg(temp, fileErrorText(f)));
        if (f.write(head) != head.size() || f.write(body) != body.size() || !f.flush()) {
            const QString why = fileErrorText(f);
            f.close();
            QFile::remove(temp);
            throw Failed(QStringLiteral("Nie można zapisać pliku %1: %2").arg(temp, why));
        }
        f.close();
    }
    if (QFile::exists(target)) {
        if (target != backup) {
            QFile::remove(backup);
            if (!QFile::rename(target, backup)) {
                QFile::remove(temp);
                throw Failed(QStringLiteral("Nie można zastąpić pliku %1").arg(target));
            }
        } else {
            QFile::remove(target);
        }
    }
    if (!QFile::rename(temp, target)) {
        if (QFile::exists(backup) && !QFile::exists(target)) QFile::copy(backup, target);
        QFile::remove(temp);
        throw Failed(QStringLiteral("Nie można zapisać pliku %1").arg(target));
    }
}

}  // namespace cad::dxf
