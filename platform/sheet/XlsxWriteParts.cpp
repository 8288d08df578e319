// The package's structure parts written back: element order, relationships, content types, the
// parts a new workbook starts from, and the core properties.
#include "platform/sheet/XlsxWriting.h"

#include <QDateTime>

namespace sheet::xml::writing {

pugi::xml_node insertOrdered(pugi::xml_node parent, const char* name, const std::vector<const char*>& order) {
    auto rank = [&](const char* n) {
        const char* colon = std::strchr(n, ':');
        const char* local = colon ? colon + 1 : n;
        // Only the part's own (main) namespace: a prefixed element of another one is unknown.
        if (colon && std::strncmp(n, parent.name(), size_t(colon - n + 1)) != 0) return -1;
        for (size_t i = 0; i < order.size(); ++i)
            if (!std::strcmp(order[i], local)) return int(i);
        return -1;
    };
    const int mine = rank(name);
    pugi::xml_node after, before;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const int r = rank(c.name());
        if (r < 0) continue;
        if (r <= mine)
            after = c;
        else if (!before)
            before = c;
    }
    if (after) return parent.insert_child_after(name, after);
    if (before) return parent.insert_child_before(name, before);
    return parent.append_child(name);
}

QByteArray relationshipPrefix(pugi::xml_node root) {
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute())
        if (!std::strncmp(a.name(), "xmlns:", 6) && !std::strcmp(a.value(), relNs))
            return QByteArray(a.name() + 6);
    QByteArray prefix = "r";
    for (int i = 1; root.attribute(("xmlns:" + prefix).constData()); ++i)
        prefix = "r" + QByteArray::number(i);
    root.append_attribute(("xmlns:" + prefix).constData()) = relNs;
    return prefix;
}

QByteArray cellsAddress(const Rect& r) {
    const QString a = cellAddress(r.row1, r.col1);
    if (r.row1 == r.row2 && r.col1 == r.col2) return u8(a);
    return u8(a + QLatin1Char(':') + cellAddress(r.row2, r.col2));
}

QByteArray prefixed(const pugi::xml_node& root, const char* name) {
    const char* rn = root.name();
    const char* colon = std::strchr(rn, ':');
    if (!colon) return QByteArray(name);
    return QByteArray(rn, int(colon - rn + 1)) + name;
}

const std::vector<const char*> sheetOrder = {"sheetPr",
                                             "dimension",
                                             "sheetViews",
                                             "sheetFormatPr",
                                             "cols",
                                             "sheetData",
                                             "sheetCalcPr",
                                             "sheetProtection",
                                             "protectedRanges",
                                             "scenarios",
                                             "autoFilter",
                                             "sortState",
                                             "dataConsolidate",
                                             "customSheetViews",
                                             "mergeCells",
                                             "phoneticPr",
                                             "conditionalFormatting",
                                             "dataValidations",
                                             "hyperlinks",
                                             "printOptions",
                                             "pageMargins",
                                             "pageSetup",
                                             "headerFooter",
                                             "rowBreaks",
                                             "colBreaks",
                                             "customProperties",
                                             "cellWatches",
                                             "ignoredErrors",
                                             "smartTags",
                                             "drawing",
                                             "legacyDrawing",
                                             "legacyDrawingHF",
                                             "picture",
                                             "oleObjects",
                                             "controls",
                                             "webPublishItems",
                                             "tableParts",
                                             "extLst"};
const std::vector<const char*> workbookOrder = {"fileVersion",    "fileSharing",
                                                "workbookPr",     "workbookProtection",
                                                "bookViews",      "sheets",
                                                "functionGroups", "externalReferences",
                                                "definedNames",   "calcPr",
                                                "oleSize",        "customWorkbookViews",
                                                "pivotCaches",    "smartTagPr",
                                                "smartTagTypes",  "webPublishing",
                                                "fileRecoveryPr", "webPublishObjects",
                                                "extLst"};

void removeChildren(pugi::xml_node parent, const char* name) {
    for (pugi::xml_node c : children(parent, name)) parent.remove_child(c);
}

// ---- relationships and content types ----

void RelsDoc::load(const Package& pkg, const QString& owner) {
    part = relsPartOf(owner);
    if (pkg.contains(part)) {
        parse(doc, pkg.part(part), part);
    } else {
        pugi::xml_node r = doc.append_child("Relationships");
        r.append_attribute("xmlns") = pkgRelNs;
    }
}

QString RelsDoc::newId() {
    for (int i = 1;; ++i) {
        QString id = QStringLiteral("rId%1").arg(i);
        bool used = false;
        for (pugi::xml_node r : children(root(), "Relationship"))
            if (attr(r, "Id") == id) used = true;
        if (!used) return id;
    }
}

QString RelsDoc::add(const char* type, const QString& target, bool external) {
    QString id = newId();
    pugi::xml_node r = root().append_child("Relationship");
    r.append_attribute("Id") = u8(id).constData();
    r.append_attribute("Type") = type;
    r.append_attribute("Target") = u8(target).constData();
    if (external) r.append_attribute("TargetMode") = "External";
    changed = true;
    return id;
}

pugi::xml_node RelsDoc::byType(const char* suffix) {
    for (pugi::xml_node r : children(root(), "Relationship"))
        if (attr(r, "Type").endsWith(QLatin1String(suffix))) return r;
    return pugi::xml_node();
}

void RelsDoc::store(Package& pkg) {
    if (changed || pkg.contains(part)) pkg.setPart(part, save(doc));
}

QString relativeTarget(const QString& owner, const QString& part) {
    QString base = owner.left(owner.lastIndexOf(QLatin1Char('/')) + 1);
    if (!base.isEmpty() && part.startsWith(base)) return part.mid(base.size());
    return QLatin1Char('/') + part;
}

void ContentTypes::load(const Package& pkg) {
    const QString part = QStringLiteral("[Content_Types].xml");
    if (pkg.contains(part)) {
        parse(doc, pkg.part(part), part);
    } else {
        pugi::xml_node t = doc.append_child("Types");
        t.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/content-types";
    }
    pugi::xml_node root = doc.document_element();
    auto ensureDefault = [&](const char* ext, const char* type) {
        for (pugi::xml_node d : children(root, "Default"))
            if (attr(d, "Extension").compare(QLatin1String(ext), Qt::CaseInsensitive) == 0) return;
        pugi::xml_node d = root.prepend_child("Default");
        d.append_attribute("Extension") = ext;
        d.append_attribute("ContentType") = type;
    };
    ensureDefault("xml", "application/xml");
    ensureDefault("rels", "application/vnd.openxmlformats-package.relationships+xml");
}

pugi::xml_node ContentTypes::find(const QString& part) {
    for (pugi::xml_node o : children(doc.document_element(), "Override"))
        if (attr(o, "PartName") == QLatin1Char('/') + part) return o;
    return pugi::xml_node();
}

void ContentTypes::set(const QString& part, const char* type) {
    pugi::xml_node o = find(part);
    if (!o) {
        o = doc.document_element().append_child("Override");
        o.append_attribute("PartName") = u8(QLatin1Char('/') + part).constData();
        o.append_attribute("ContentType");
    }
    o.attribute("ContentType") = type;
}

void ContentTypes::remove(const QString& part) {
    if (pugi::xml_node o = find(part)) doc.document_element().remove_child(o);
}

// ---- the parts a new workbook starts from ----

const char* const minimalStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

const char* const minimalSheet =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
    "footer=\"0.3\"/></worksheet>";

// ---- core properties ----

void writeCore(Workbook& book, Package& pkg, RelsDoc& rootRels, ContentTypes& types) {
    QString part;
    if (pugi::xml_node r = rootRels.byType("/core-properties"))
        part = resolveTarget(QString(), attr(r, "Target"));
    pugi::xml_document doc;
    if (!part.isEmpty() && pkg.contains(part)) {
        parse(doc, pkg.part(part), part);
    } else {
        if (book.properties().isEmpty()) return;
        part = QStringLiteral("docProps/core.xml");
        pugi::xml_node c = doc.append_child("cp:coreProperties");
        c.append_attribute("xmlns:cp") =
            "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
        c.append_attribute("xmlns:dc") = "http://purl.org/dc/elements/1.1/";
        c.append_attribute("xmlns:dcterms") = "http://purl.org/dc/terms/";
        c.append_attribute("xmlns:dcmitype") = "http://purl.org/dc/dcmitype/";
        c.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
        rootRels.add(relCore, part);
        types.set(part, ctCore);
    }
    pugi::xml_node root = doc.document_element();
    auto prefixOf = [](const char* key) -> const char* {
        static const char* dc[] = {"title", "subject", "creator", "description"};
        for (const char* k : dc)
            if (!std::strcmp(k, key)) return "dc:";
        return "cp:";
    };
    for (auto it = book.properties().begin(); it != book.properties().end(); ++it) {
        const QByteArray key = u8(it.key());
        if (key == "created" || key == "modified") continue;
        pugi::xml_node n = child(root, key.constData());
        if (!n) n = root.append_child((QByteArray(prefixOf(key.constData())) + key).constData());
        n.text() = u8(it.value()).constData();
    }
    // The modification time is the save's.
    pugi::xml_node mod = child(root, "modified");
    if (!mod) {
        mod = root.append_child("dcterms:modified");
        mod.append_attribute("xsi:type") = "dcterms:W3CDTF";
    }
    mod.text() = u8(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)).constData();
    pkg.setPart(part, save(doc));
}

}  // namespace sheet::xml::writing
