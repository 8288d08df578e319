// Writing .xlsx files: the package's parts are kept, and only those the model owns are rebuilt:
// sheet data, columns, merges and hyperlinks of each sheet, the shared strings, new cell formats
// appended to the styles, sheet names and defined names, core properties. The calculation chain
// is dropped and full recalculation on load requested, so no reader trusts stale results.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Xlsx.h"
#include "platform/sheet/XmlUtil.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <map>

namespace sheet {

namespace {

using namespace xml;

const char* ctSheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char* ctStrings = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
const char* ctStyles = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const char* ctCore = "application/vnd.openxmlformats-package.core-properties+xml";
const char* ctMain = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
const char* ctTemplate = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
const char* relCore = "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";

QByteArray u8(const QString& s) {
    return s.toUtf8();
}

// Inserts a new child so that the parent's children stay in the schema's order: after the last
// child the schema puts before it. Children the order does not name (markup-compatibility
// elements such as mc:AlternateContent, extensions of other namespaces) stay where they are.
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

// The prefix under which the part's root declares the relationships namespace ("r" when it
// declares none: then it is declared).
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

// A range as the file's structure parts write it: two cells, whole columns and rows included.
QByteArray cellsAddress(const Rect& r) {
    const QString a = cellAddress(r.row1, r.col1);
    if (r.row1 == r.row2 && r.col1 == r.col2) return u8(a);
    return u8(a + QLatin1Char(':') + cellAddress(r.row2, r.col2));
}

// Element names carry the prefix the part already uses for the main namespace (usually none).
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

struct RelsDoc {
    pugi::xml_document doc;
    QString part;
    bool changed = false;

    void load(const Package& pkg, const QString& owner) {
        part = relsPartOf(owner);
        if (pkg.contains(part)) {
            parse(doc, pkg.part(part), part);
        } else {
            pugi::xml_node r = doc.append_child("Relationships");
            r.append_attribute("xmlns") = pkgRelNs;
        }
    }
    pugi::xml_node root() { return doc.document_element(); }
    QString newId() {
        for (int i = 1;; ++i) {
            QString id = QStringLiteral("rId%1").arg(i);
            bool used = false;
            for (pugi::xml_node r : children(root(), "Relationship"))
                if (attr(r, "Id") == id) used = true;
            if (!used) return id;
        }
    }
    QString add(const char* type, const QString& target, bool external = false) {
        QString id = newId();
        pugi::xml_node r = root().append_child("Relationship");
        r.append_attribute("Id") = u8(id).constData();
        r.append_attribute("Type") = type;
        r.append_attribute("Target") = u8(target).constData();
        if (external) r.append_attribute("TargetMode") = "External";
        changed = true;
        return id;
    }
    pugi::xml_node byType(const char* suffix) {
        for (pugi::xml_node r : children(root(), "Relationship"))
            if (attr(r, "Type").endsWith(QLatin1String(suffix))) return r;
        return pugi::xml_node();
    }
    void store(Package& pkg) {
        if (changed || pkg.contains(part)) pkg.setPart(part, save(doc));
    }
};

// A target as written in a relationship of `owner`: relative to the owner's folder.
QString relativeTarget(const QString& owner, const QString& part) {
    QString base = owner.left(owner.lastIndexOf(QLatin1Char('/')) + 1);
    if (!base.isEmpty() && part.startsWith(base)) return part.mid(base.size());
    return QLatin1Char('/') + part;
}

struct ContentTypes {
    pugi::xml_document doc;
    void load(const Package& pkg) {
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
    pugi::xml_node find(const QString& part) {
        for (pugi::xml_node o : children(doc.document_element(), "Override"))
            if (attr(o, "PartName") == QLatin1Char('/') + part) return o;
        return pugi::xml_node();
    }
    QString typeOf(const QString& part) { return attr(find(part), "ContentType"); }
    void set(const QString& part, const char* type) {
        pugi::xml_node o = find(part);
        if (!o) {
            o = doc.document_element().append_child("Override");
            o.append_attribute("PartName") = u8(QLatin1Char('/') + part).constData();
            o.append_attribute("ContentType");
        }
        o.attribute("ContentType") = type;
    }
    void remove(const QString& part) {
        if (pugi::xml_node o = find(part)) doc.document_element().remove_child(o);
    }
};

// ---- styles ----

QString borderStyleName(const BorderLine& b) {
    if (b.lineStyle == xlLineStyleNone) return QString();
    const bool heavy = b.weight == xlMedium || b.weight == xlThick;
    switch (b.lineStyle) {
        case xlDash:
            return heavy ? QStringLiteral("mediumDashed") : QStringLiteral("dashed");
        case xlDot:
            return QStringLiteral("dotted");
        case xlDouble:
            return QStringLiteral("double");
        case xlDashDot:
            return heavy ? QStringLiteral("mediumDashDot") : QStringLiteral("dashDot");
        case xlDashDotDot:
            return heavy ? QStringLiteral("mediumDashDotDot") : QStringLiteral("dashDotDot");
        case xlSlantDashDot:
            return QStringLiteral("slantDashDot");
        default:
            break;
    }
    switch (b.weight) {
        case xlHairline:
            return QStringLiteral("hair");
        case xlMedium:
            return QStringLiteral("medium");
        case xlThick:
            return QStringLiteral("thick");
        default:
            return QStringLiteral("thin");
    }
}

const char* horizontalName(int h) {
    switch (h) {
        case xlLeft:
            return "left";
        case xlCenter:
            return "center";
        case xlRight:
            return "right";
        case xlFill:
            return "fill";
        case xlJustify:
            return "justify";
        case xlCenterAcrossSelection:
            return "centerContinuous";
        case xlDistributed:
            return "distributed";
        default:
            return nullptr;
    }
}

// Appends the formats made since the file was read, each derived from the file's xf it started
// from: font, fill and border records are copied from it and changed where the format differs.
void writeStyles(Workbook& book, pugi::xml_document& doc, int fileCount) {
    pugi::xml_node root = doc.document_element();
    auto section = [&](const char* name) {
        pugi::xml_node s = child(root, name);
        if (!s) {
            static const std::vector<const char*> order = {"numFmts",      "fonts",   "fills",      "borders",
                                                           "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                                           "tableStyles",  "colors",  "extLst"};
            s = insertOrdered(root, prefixed(root, name).constData(), order);
        }
        return s;
    };
    pugi::xml_node numFmts = child(root, "numFmts");
    pugi::xml_node fonts = section("fonts"), fills = section("fills"), borders = section("borders"),
                   xfs = section("cellXfs");
    auto nth = [](pugi::xml_node parent, const char* name, size_t i) {
        auto list = children(parent, name);
        return i < list.size() ? list[i] : pugi::xml_node();
    };
    auto count = [](pugi::xml_node parent, const char* name) { return int(children(parent, name).size()); };
    std::map<QString, int> customFormats;
    for (pugi::xml_node f : children(numFmts, "numFmt"))
        customFormats[attr(f, "formatCode")] = attr(f, "numFmtId").toInt();
    std::map<QByteArray, int> madeFonts, madeFills, madeBorders;

    // Cells written with a file xf beyond the file's table would be out of range; the table is
    // padded so that derived indexes keep their positions.
    while (count(xfs, "xf") < fileCount) {
        pugi::xml_node x = xfs.append_child(prefixed(root, "xf").constData());
        x.append_attribute("numFmtId") = 0;
        x.append_attribute("fontId") = 0;
        x.append_attribute("fillId") = 0;
        x.append_attribute("borderId") = 0;
        x.append_attribute("xfId") = 0;
    }
    for (int i = fileCount; i < book.formatCount(); ++i) {
        const CellFormat& f = book.format(i);
        const int base = book.baseFormatOf(i);
        const CellFormat& b = base < fileCount ? book.format(base) : CellFormat();
        pugi::xml_node baseXf = nth(xfs, "xf", size_t(base));
        pugi::xml_node xf = xfs.append_child(prefixed(root, "xf").constData());
        if (baseXf) {
            for (pugi::xml_attribute a = baseXf.first_attribute(); a; a = a.next_attribute())
                xf.append_attribute(a.name()) = a.value();
            for (pugi::xml_node c = baseXf.first_child(); c; c = c.next_sibling()) xf.append_copy(c);
        }
        auto setAttr = [](pugi::xml_node n, const char* name, const QByteArray& v) {
            if (!n.attribute(name)) n.append_attribute(name);
            n.attribute(name) = v.constData();
        };
        for (const char* a : {"numFmtId", "fontId", "fillId", "borderId"})
            if (!xf.attribute(a)) setAttr(xf, a, "0");
        if (!xf.attribute("xfId")) setAttr(xf, "xfId", "0");
        // Number format.
        if (f.numberFormat != b.numberFormat) {
            int id = f.numFmtId;
            if (id < 0 || builtinNumberFormat(id) != f.numberFormat) {
                auto it = customFormats.find(f.numberFormat);
                if (it != customFormats.end()) {
                    id = it->second;
                } else {
                    id = 164;
                    for (auto& [code, used] : customFormats) id = std::max(id, used + 1);
                    if (!numFmts)
                        numFmts =
                            insertOrdered(root, prefixed(root, "numFmts").constData(), {"numFmts", "fonts"});
                    pugi::xml_node nf = numFmts.append_child(prefixed(root, "numFmt").constData());
                    nf.append_attribute("numFmtId") = id;
                    nf.append_attribute("formatCode") = u8(f.numberFormat).constData();
                    customFormats[f.numberFormat] = id;
                }
            }
            setAttr(xf, "numFmtId", QByteArray::number(id));
            setAttr(xf, "applyNumberFormat", "1");
        }
        // Font: a copy of the base font with weight and size changed.
        if (f.bold != b.bold || f.fontSize != b.fontSize) {
            const int baseFont = attr(xf, "fontId").toInt();
            QByteArray key =
                QByteArray::number(baseFont) + (f.bold ? "b" : "n") + QByteArray::number(f.fontSize);
            auto it = madeFonts.find(key);
            if (it == madeFonts.end()) {
                pugi::xml_node src = nth(fonts, "font", size_t(baseFont));
                pugi::xml_node font =
                    src ? fonts.append_copy(src) : fonts.append_child(prefixed(root, "font").constData());
                removeChildren(font, "b");
                if (f.bold) font.prepend_child(prefixed(root, "b").constData());
                pugi::xml_node sz = child(font, "sz");
                if (!sz) {
                    sz = child(font, "b")
                             ? font.insert_child_after(prefixed(root, "sz").constData(), child(font, "b"))
                             : font.prepend_child(prefixed(root, "sz").constData());
                }
                if (!sz.attribute("val")) sz.append_attribute("val");
                sz.attribute("val") = u8(formatNumber(f.fontSize)).constData();
                it = madeFonts.emplace(key, count(fonts, "font") - 1).first;
            }
            setAttr(xf, "fontId", QByteArray::number(it->second));
            setAttr(xf, "applyFont", "1");
        }
        if (f.fillColorIndex != b.fillColorIndex) {
            QByteArray key = QByteArray::number(f.fillColorIndex);
            auto it = madeFills.find(key);
            if (it == madeFills.end()) {
                pugi::xml_node fill = fills.append_child(prefixed(root, "fill").constData());
                pugi::xml_node p = fill.append_child(prefixed(root, "patternFill").constData());
                if (f.fillColorIndex == xlNone) {
                    p.append_attribute("patternType") = "none";
                } else {
                    p.append_attribute("patternType") = "solid";
                    p.append_child(prefixed(root, "fgColor").constData()).append_attribute("indexed") =
                        f.fillColorIndex + 7;
                    p.append_child(prefixed(root, "bgColor").constData()).append_attribute("indexed") = 64;
                }
                it = madeFills.emplace(key, count(fills, "fill") - 1).first;
            }
            setAttr(xf, "fillId", QByteArray::number(it->second));
            setAttr(xf, "applyFill", "1");
        }
        if (f.borders != b.borders) {
            // A copy of the base's border record with the changed edges rewritten, so that the
            // colours of the others and any diagonal stay.
            const int baseBorder = attr(xf, "borderId").toInt();
            QByteArray key = QByteArray::number(baseBorder) + ':';
            for (size_t e = 0; e < 4; ++e)
                key +=
                    f.borders[e] == b.borders[e] ? QByteArray("=;") : u8(borderStyleName(f.borders[e])) + ';';
            auto it = madeBorders.find(key);
            if (it == madeBorders.end()) {
                pugi::xml_node src = nth(borders, "border", size_t(baseBorder));
                pugi::xml_node border = src ? borders.append_copy(src)
                                            : borders.append_child(prefixed(root, "border").constData());
                const char* names[] = {"left", "right", "top", "bottom", "diagonal"};
                const int edge[] = {0, 3, 1, 2, -1};
                for (int k = 0; k < 5; ++k) {
                    pugi::xml_node e = child(border, names[k]);
                    if (!e) {
                        // Schema order: left, right, top, bottom, diagonal.
                        pugi::xml_node after;
                        for (int j = k - 1; j >= 0 && !after; --j) after = child(border, names[j]);
                        e = after ? border.insert_child_after(prefixed(root, names[k]).constData(), after)
                                  : border.prepend_child(prefixed(root, names[k]).constData());
                    }
                    if (edge[k] < 0 || f.borders[size_t(edge[k])] == b.borders[size_t(edge[k])]) continue;
                    while (e.first_attribute()) e.remove_attribute(e.first_attribute());
                    while (e.first_child()) e.remove_child(e.first_child());
                    const QString style = borderStyleName(f.borders[size_t(edge[k])]);
                    if (style.isEmpty()) continue;
                    e.append_attribute("style") = u8(style).constData();
                    e.append_child(prefixed(root, "color").constData()).append_attribute("indexed") = 64;
                }
                it = madeBorders.emplace(key, count(borders, "border") - 1).first;
            }
            setAttr(xf, "borderId", QByteArray::number(it->second));
            setAttr(xf, "applyBorder", "1");
        }
        if (f.horizontalAlignment != b.horizontalAlignment || f.orientation != b.orientation ||
            f.wrapText != b.wrapText || f.shrinkToFit != b.shrinkToFit) {
            // The base's alignment element keeps what the model does not know (vertical, indent).
            pugi::xml_node al = child(xf, "alignment");
            if (!al) al = xf.prepend_child(prefixed(root, "alignment").constData());
            for (const char* a : {"horizontal", "textRotation", "wrapText", "shrinkToFit"})
                al.remove_attribute(a);
            if (const char* h = horizontalName(f.horizontalAlignment)) al.append_attribute("horizontal") = h;
            if (f.orientation != 0)
                al.append_attribute("textRotation") = f.orientation == xlVertical ? 255
                                                      : f.orientation < 0         ? 90 - f.orientation
                                                                                  : f.orientation;
            if (f.wrapText) al.append_attribute("wrapText") = 1;
            if (f.shrinkToFit) al.append_attribute("shrinkToFit") = 1;
            setAttr(xf, "applyAlignment", "1");
        }
    }
    for (auto [node, name] :
         {std::pair{numFmts, "numFmt"}, {fonts, "font"}, {fills, "fill"}, {borders, "border"}, {xfs, "xf"}}) {
        if (!node) continue;
        if (!node.attribute("count")) node.append_attribute("count");
        node.attribute("count") = count(node, name);
    }
}

const char* minimalStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

const char* minimalSheet =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
    "footer=\"0.3\"/></worksheet>";

// ---- sheets ----

class SharedStrings {
public:
    explicit SharedStrings(const QHash<QString, QByteArray>& rich) : rich_(rich) {}
    int index(const QString& s) {
        auto it = map_.find(s);
        if (it != map_.end()) return *it;
        int i = int(list_.size());
        map_.insert(s, i);
        list_.push_back(s);
        return i;
    }
    QByteArray xml() const {
        pugi::xml_document doc;
        pugi::xml_node sst = doc.append_child("sst");
        sst.append_attribute("xmlns") = mainNs;
        sst.append_attribute("count") = uses_;
        sst.append_attribute("uniqueCount") = int(list_.size());
        for (const QString& s : list_) {
            if (auto r = rich_.constFind(s);
                r != rich_.constEnd() &&
                sst.append_buffer(r->constData(), size_t(r->size()),
                                  pugi::parse_default | pugi::parse_ws_pcdata_single))
                continue;
            pugi::xml_node t = sst.append_child("si").append_child("t");
            if (s != s.trimmed() || s.contains(QLatin1Char('\n')))
                t.append_attribute("xml:space") = "preserve";
            t.text() = u8(encodeEscapes(s)).constData();
        }
        return save(doc);
    }
    int uses_ = 0;

private:
    const QHash<QString, QByteArray>& rich_;
    QHash<QString, int> map_;
    std::vector<QString> list_;
};

// "AB12" into buf (at least 16 bytes).
void cellName(char* buf, int row, int col) {
    char letters[4];
    int n = 0;
    for (int c = col; c > 0; c = (c - 1) / 26) letters[n++] = char('A' + (c - 1) % 26);
    char* p = buf;
    while (n > 0) *p++ = letters[--n];
    auto res = std::to_chars(p, buf + 15, row);
    *res.ptr = '\0';
}

void setValueNode(pugi::xml_node c, const Value& v, SharedStrings* strings, const char* vName) {
    auto setV = [&](const QByteArray& text) { c.append_child(vName).text() = text.constData(); };
    switch (v.type()) {
        case Value::Type::Empty:
            break;
        case Value::Type::Number: {
            // Shortest text that reads back as the same double.
            char buf[32];
            auto res = std::to_chars(buf, buf + sizeof buf - 1, v.number());
            *res.ptr = '\0';
            c.append_child(vName).text() = buf;
            break;
        }
        case Value::Type::Boolean:
            c.append_attribute("t") = "b";
            setV(v.boolean() ? "1" : "0");
            break;
        case Value::Type::Error:
            c.append_attribute("t") = "e";
            setV(u8(v.toString()));
            break;
        case Value::Type::Text:
            if (strings) {
                c.append_attribute("t") = "s";
                ++strings->uses_;
                setV(QByteArray::number(strings->index(v.text())));
            } else {
                c.append_attribute("t") = "str";
                setV(u8(encodeEscapes(v.text())));
            }
            break;
    }
}

// A date cell as read: its serial number written back as the ISO date it was.
bool setDateNode(pugi::xml_node c, const Value& v, const char* vName) {
    if (v.isText() && !v.text().isEmpty()) {
        c.append_attribute("t") = "d";
        c.append_child(vName).text() = u8(v.text()).constData();
        return true;
    }
    if (v.type() != Value::Type::Number) return false;
    const QString iso = isoDateFromSerial(v.number());
    if (iso.isEmpty()) return false;
    c.append_attribute("t") = "d";
    c.append_child(vName).text() = u8(iso).constData();
    return true;
}

void writeSheet(Worksheet& ws, pugi::xml_document& doc, RelsDoc& rels, SharedStrings& strings, bool active) {
    pugi::xml_node root = doc.document_element();
    // Only the active sheet's tab is selected: several selected tabs would open as a group, where
    // the user's edits land on every grouped sheet.
    for (pugi::xml_node view : children(child(root, "sheetViews"), "sheetView")) {
        view.remove_attribute("tabSelected");
        if (active) view.append_attribute("tabSelected") = 1;
    }
    const Rect used = ws.usedRect();
    pugi::xml_node dim = child(root, "dimension");
    if (!dim) dim = insertOrdered(root, prefixed(root, "dimension").constData(), sheetOrder);
    if (!dim.attribute("ref")) dim.append_attribute("ref");
    dim.attribute("ref") = cellsAddress(used).constData();

    // Columns: runs of equal settings.
    removeChildren(root, "cols");
    auto& cols = ws.columnInfo();
    if (!cols.empty()) {
        pugi::xml_node colsNode = insertOrdered(root, prefixed(root, "cols").constData(), sheetOrder);
        for (auto it = cols.begin(); it != cols.end();) {
            auto end = it;
            int last = it->first;
            while (std::next(end) != cols.end() && std::next(end)->first == last + 1 &&
                   std::next(end)->second == it->second) {
                ++end;
                ++last;
            }
            pugi::xml_node c = colsNode.append_child(prefixed(root, "col").constData());
            c.append_attribute("min") = it->first;
            c.append_attribute("max") = last;
            if (it->second.width >= 0) {
                c.append_attribute("width") = u8(exactNumber(it->second.width)).constData();
                c.append_attribute("customWidth") = 1;
            }
            for (const auto& [n, v] : it->second.attributes)
                c.append_attribute(u8(n).constData()) = u8(v).constData();
            it = std::next(end);
        }
    }

    // Cell data.
    pugi::xml_node data = child(root, "sheetData");
    if (!data) data = insertOrdered(root, prefixed(root, "sheetData").constData(), sheetOrder);
    while (data.first_child()) data.remove_child(data.first_child());
    const QByteArray rowName = prefixed(root, "row"), cName = prefixed(root, "c"),
                     fName = prefixed(root, "f"), vName = prefixed(root, "v");
    auto& rowAttrs = ws.rowAttributes();
    auto attrIt = rowAttrs.begin();
    pugi::xml_node rowNode;
    int currentRow = 0;
    auto openRow = [&](int r) {
        rowNode = data.append_child(rowName.constData());
        rowNode.append_attribute("r") = r;
        if (auto a = rowAttrs.find(r); a != rowAttrs.end())
            for (const auto& [n, v] : a->second)
                rowNode.append_attribute(u8(n).constData()) = u8(v).constData();
        currentRow = r;
    };
    ws.cellMap().forEach([&](int r, int col, const Cell& cell) {
        if (r != currentRow) {
            for (; attrIt != rowAttrs.end() && attrIt->first < r; ++attrIt)
                if (attrIt->first > currentRow) openRow(attrIt->first);
            openRow(r);
        }
        pugi::xml_node c = rowNode.append_child(cName.constData());
        char ref[16];
        cellName(ref, r, col);
        c.append_attribute("r") = ref;
        if (cell.xf != 0) c.append_attribute("s") = cell.xf;
        if (cell.formula) {
            c.append_child(fName.constData()).text() = u8(cell.formula->toA1(r, col)).constData();
            setValueNode(c, cell.value, nullptr, vName.constData());
        } else if (cell.kept) {
            pugi::xml_node f = c.append_child(fName.constData());
            for (const auto& [n, v] : cell.kept->attributes)
                f.append_attribute(u8(n).constData()) = u8(v).constData();
            if (!cell.kept->sharedMember) f.text() = u8(cell.kept->text).constData();
            setValueNode(c, cell.value, nullptr, vName.constData());
        } else if (!cell.isoDate || !setDateNode(c, cell.value, vName.constData())) {
            setValueNode(c, cell.value, &strings, vName.constData());
        }
    });
    for (; attrIt != rowAttrs.end(); ++attrIt)
        if (attrIt->first > currentRow) openRow(attrIt->first);

    removeChildren(root, "mergeCells");
    if (!ws.merges().empty()) {
        pugi::xml_node m = insertOrdered(root, prefixed(root, "mergeCells").constData(), sheetOrder);
        m.append_attribute("count") = int(ws.merges().size());
        for (const Rect& r : ws.merges())
            m.append_child(prefixed(root, "mergeCell").constData()).append_attribute("ref") =
                cellsAddress(r).constData();
    }

    removeChildren(root, "hyperlinks");
    for (pugi::xml_node r : children(rels.root(), "Relationship")) {
        if (attr(r, "Type").endsWith(QLatin1String("/hyperlink"))) {
            rels.root().remove_child(r);
            rels.changed = true;
        }
    }
    auto& links = ws.hyperlinks().all();
    if (!links.empty()) {
        pugi::xml_node hs = insertOrdered(root, prefixed(root, "hyperlinks").constData(), sheetOrder);
        for (const Hyperlink& h : links) {
            pugi::xml_node n = hs.append_child(prefixed(root, "hyperlink").constData());
            n.append_attribute("ref") = cellsAddress(h.anchor).constData();
            if (!h.address.isEmpty()) {
                const QString id =
                    rels.add("http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink",
                             h.address, true);
                n.append_attribute((relationshipPrefix(root) + ":id").constData()) = u8(id).constData();
            }
            if (!h.subAddress.isEmpty()) n.append_attribute("location") = u8(h.subAddress).constData();
            if (!h.screenTip.isEmpty()) n.append_attribute("tooltip") = u8(h.screenTip).constData();
            if (!h.textToDisplay.isEmpty()) n.append_attribute("display") = u8(h.textToDisplay).constData();
        }
    }
}

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

}  // namespace

std::unique_ptr<Workbook> newWorkbook(Application& app, int sheets) {
    auto book = std::make_unique<Workbook>(app);
    auto pkg = std::make_unique<Package>();
    pkg->setPart(
        QStringLiteral("[Content_Types].xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "</Types>");
    pkg->setPart(QStringLiteral("_rels/.rels"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId1\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                 "officeDocument\" Target=\"xl/workbook.xml\"/>"
                 "</Relationships>");
    pkg->setPart(QStringLiteral("xl/workbook.xml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                 "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                 "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                 "<bookViews><workbookView/></bookViews><sheets/><calcPr calcId=\"191029\"/></workbook>");
    pkg->setPart(QStringLiteral("xl/_rels/workbook.xml.rels"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId1\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                 "Target=\"styles.xml\"/>"
                 "</Relationships>");
    pkg->setPart(
        QStringLiteral("xl/styles.xml"),
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n") + minimalStyles);
    book->package() = std::move(pkg);
    for (int i = 0; i < sheets; ++i) book->addWorksheet();
    book->setSaved(true);
    return book;
}

void writeXlsx(Workbook& book, const QString& path) {
    book.checkOpen();
    if (!book.package()) {
        auto fresh = newWorkbook(book.application(), 0);
        book.package() = std::move(fresh->package());
    }
    Package pkg = *book.package();
    ContentTypes types;
    types.load(pkg);
    RelsDoc rootRels;
    rootRels.load(pkg, QString());
    QString wbPart;
    if (pugi::xml_node r = rootRels.byType("/officeDocument"))
        wbPart = resolveTarget(QString(), attr(r, "Target"));
    if (wbPart.isEmpty() || !pkg.contains(wbPart))
        throw FileError(QStringLiteral("Skoroszyt nie ma części głównej"));
    pugi::xml_document wb;
    parse(wb, pkg.part(wbPart), wbPart);
    pugi::xml_node wbRoot = wb.document_element();
    RelsDoc wbRels;
    wbRels.load(pkg, wbPart);

    // Calculation chain: its cells may no longer hold formulas.
    if (pugi::xml_node r = wbRels.byType("/calcChain")) {
        const QString part = resolveTarget(wbPart, attr(r, "Target"));
        pkg.removePart(part);
        types.remove(part);
        wbRels.root().remove_child(r);
        wbRels.changed = true;
    }

    // Styles.
    QString stylesPart;
    if (pugi::xml_node r = wbRels.byType("/styles")) stylesPart = resolveTarget(wbPart, attr(r, "Target"));
    pugi::xml_document styles;
    if (!stylesPart.isEmpty() && pkg.contains(stylesPart)) {
        parse(styles, pkg.part(stylesPart), stylesPart);
    } else {
        stylesPart = QStringLiteral("xl/styles.xml");
        styles.load_string(minimalStyles);
        wbRels.add("http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
                   relativeTarget(wbPart, stylesPart));
    }
    // Formats below the first derived one were read from this part (or written by the last save).
    int firstDerived = book.formatCount();
    for (int i = 0; i < book.formatCount(); ++i)
        if (book.baseFormatOf(i) != i) {
            firstDerived = i;
            break;
        }
    writeStyles(book, styles, firstDerived);
    pkg.setPart(stylesPart, save(styles));
    types.set(stylesPart, ctStyles);

    // Sheets.
    SharedStrings strings(book.richStrings());
    pugi::xml_node sheetsNode = child(wbRoot, "sheets");
    if (!sheetsNode)
        sheetsNode = insertOrdered(wbRoot, prefixed(wbRoot, "sheets").constData(), workbookOrder);
    std::vector<pugi::xml_node> oldSheets = children(sheetsNode, "sheet");
    int maxSheetId = 0;
    for (pugi::xml_node s : oldSheets) maxSheetId = std::max(maxSheetId, attr(s, "sheetId").toInt());
    pugi::xml_document newSheets;
    pugi::xml_node list = newSheets.append_child("list");
    const QByteArray wbRelPrefix = relationshipPrefix(wbRoot);
    for (int i = 1; i <= book.worksheetCount(); ++i) {
        Worksheet& ws = book.worksheets(i);
        pugi::xml_document doc;
        if (ws.partName.isEmpty() || !pkg.contains(ws.partName)) {
            for (int k = 1;; ++k) {
                QString candidate = QStringLiteral("xl/worksheets/sheet%1.xml").arg(k);
                if (!pkg.contains(candidate)) {
                    ws.partName = candidate;
                    break;
                }
            }
            doc.load_string(minimalSheet);
        } else {
            parse(doc, pkg.part(ws.partName), ws.partName);
        }
        RelsDoc sheetRels;
        sheetRels.load(pkg, ws.partName);
        writeSheet(ws, doc, sheetRels, strings, &ws == &book.activeSheet());
        pkg.setPart(ws.partName, save(doc));
        sheetRels.store(pkg);
        types.set(ws.partName, ctSheet);
        // The workbook's entry for this sheet, its relationship found or made.
        QString id;
        for (pugi::xml_node r : children(wbRels.root(), "Relationship"))
            if (resolveTarget(wbPart, attr(r, "Target")) == ws.partName) id = attr(r, "Id");
        if (id.isEmpty())
            id = wbRels.add("http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet",
                            relativeTarget(wbPart, ws.partName));
        pugi::xml_node entry;
        for (pugi::xml_node s : oldSheets)
            if (relId(s) == id) entry = list.append_copy(s);
        if (!entry) {
            entry = list.append_child(prefixed(wbRoot, "sheet").constData());
            entry.append_attribute("name");
            entry.append_attribute("sheetId") = ++maxSheetId;
            entry.append_attribute((wbRelPrefix + ":id").constData()) = u8(id).constData();
        }
        entry.attribute("name") = u8(ws.name()).constData();
    }
    // Sheets the model does not hold (chart sheets, dialog sheets) keep their places in the tab
    // order; the worksheets fill the worksheets' places in the model's order, new ones at the end.
    auto isWorksheetEntry = [&](pugi::xml_node s) {
        for (pugi::xml_node r : children(wbRels.root(), "Relationship"))
            if (attr(r, "Id") == relId(s)) return attr(r, "Type").endsWith(QLatin1String("/worksheet"));
        return false;
    };
    std::vector<pugi::xml_node> modelEntries = children(list, "sheet");
    size_t nextModel = 0;
    std::vector<int> worksheetPosition;  // by the model's 0-based worksheet index
    std::map<QString, int> positionOfRel;
    while (sheetsNode.first_child()) sheetsNode.remove_child(sheetsNode.first_child());
    int position = 0;
    auto place = [&](pugi::xml_node entry, bool model) {
        if (model) worksheetPosition.push_back(position);
        positionOfRel[relId(entry)] = position++;
        sheetsNode.append_copy(entry);
    };
    for (pugi::xml_node old : oldSheets) {
        if (!isWorksheetEntry(old))
            place(old, false);
        else if (nextModel < modelEntries.size())
            place(modelEntries[nextModel++], true);
    }
    while (nextModel < modelEntries.size()) place(modelEntries[nextModel++], true);

    // Shared strings.
    QString stringsPart;
    if (pugi::xml_node r = wbRels.byType("/sharedStrings"))
        stringsPart = resolveTarget(wbPart, attr(r, "Target"));
    if (stringsPart.isEmpty()) {
        stringsPart = QStringLiteral("xl/sharedStrings.xml");
        wbRels.add("http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings",
                   relativeTarget(wbPart, stringsPart));
    }
    pkg.setPart(stringsPart, strings.xml());
    types.set(stringsPart, ctStrings);

    // Defined names.
    removeChildren(wbRoot, "definedNames");
    if (!book.names().empty()) {
        pugi::xml_node dn =
            insertOrdered(wbRoot, prefixed(wbRoot, "definedNames").constData(), workbookOrder);
        for (const DefinedName& n : book.names()) {
            pugi::xml_node e = dn.append_child(prefixed(wbRoot, "definedName").constData());
            e.append_attribute("name") = u8(n.name).constData();
            // The file counts every sheet kind; the model counts worksheets.
            if (n.localSheet >= 0 && size_t(n.localSheet) < worksheetPosition.size())
                e.append_attribute("localSheetId") = worksheetPosition[size_t(n.localSheet)];
            for (const auto& [k, v] : n.attributes) {
                if (k == QLatin1String(LocalToOtherSheet)) {
                    if (auto it = positionOfRel.find(v); it != positionOfRel.end())
                        e.append_attribute("localSheetId") = it->second;
                    continue;
                }
                e.append_attribute(u8(k).constData()) = u8(v).constData();
            }
            e.text() = u8(n.refersTo).constData();
        }
    }
    pugi::xml_node calc = child(wbRoot, "calcPr");
    if (!calc) calc = insertOrdered(wbRoot, prefixed(wbRoot, "calcPr").constData(), workbookOrder);
    if (!calc.attribute("fullCalcOnLoad")) calc.append_attribute("fullCalcOnLoad");
    calc.attribute("fullCalcOnLoad") = "1";
    if (pugi::xml_node view = child(child(wbRoot, "bookViews"), "workbookView")) {
        if (!view.attribute("activeTab")) view.append_attribute("activeTab");
        view.attribute("activeTab") = book.activeSheet().index() - 1;
    }
    pkg.setPart(wbPart, save(wb));
    wbRels.store(pkg);

    // The main part's type follows the file's kind: template or workbook.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString mainType = types.typeOf(wbPart);
    if (mainType.isEmpty() || mainType == QLatin1String(ctMain) || mainType == QLatin1String(ctTemplate))
        types.set(wbPart, suffix.startsWith(QLatin1String("xlt")) ? ctTemplate : ctMain);

    writeCore(book, pkg, rootRels, types);
    rootRels.store(pkg);
    // The content types part leads the package.
    pkg.removePart(QStringLiteral("[Content_Types].xml"));
    Package ordered;
    ordered.setPart(QStringLiteral("[Content_Types].xml"), save(types.doc));
    for (const auto& [name, data] : pkg.parts()) ordered.setPart(name, data);
    ordered.write(path);
    // Later saves start from what was written; derived formats are now the file's own.
    *book.package() = ordered;
    std::vector<CellFormat> all;
    for (int i = 0; i < book.formatCount(); ++i) all.push_back(book.format(i));
    book.setFileFormats(all);
}

}  // namespace sheet
