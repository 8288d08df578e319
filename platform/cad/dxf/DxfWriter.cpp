// The DXF writer: an R2000 (AC1015) file (the read version for one keeping R2013+ solid data) with handles,
// owners, block records, classes and the objects section (root dictionary first, the drawing properties in
// "DWGPROPS", draw order). This file writes the header and classes and puts the sections in their order; each
// section's own writing is in the file DxfWriting.h names for it.
#include "platform/cad/dxf/DxfWriter.h"

#include "platform/cad/dxf/DxfWriting.h"
#include "platform/cad/dxf/FileReplace.h"

#include <QFileInfo>

namespace cad::dxf::writing {

using namespace cad::db;

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

// The version written: R2000, unless the drawing keeps solid-model data in an ACDSDATA section
// (R2013 and later), which readers take for that data only in a file of such a version.
QString versionFor(const Database& db) {
    if (db.fileVersion >= QLatin1String("AC1027") && db.fileVersion <= QLatin1String("AC1032"))
        for (const auto& [name, tags] : db.extraSections)
            if (name == QLatin1String("ACDSDATA")) return db.fileVersion;
    return QStringLiteral("AC1015");
}

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

}  // namespace cad::dxf::writing

namespace cad::dxf {

using writing::Writer;
using namespace cad::db;

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
    replaceFile(info.absoluteFilePath(), info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                                            QStringLiteral(".bak"),
                {head, body});
}

}  // namespace cad::dxf
