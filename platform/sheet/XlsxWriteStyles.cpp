// The styles part written back: the file's formats kept, and each format made since the file was
// read appended as an xf derived from the one it started from, with the number format, font, fill,
// border and alignment records it needs.
#include "platform/sheet/XlsxWriting.h"

#include "platform/sheet/Constants.h"
#include "platform/sheet/Format.h"

#include <map>

namespace sheet::xml::writing {

namespace {

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

pugi::xml_node nth(pugi::xml_node parent, const char* name, size_t i) {
    auto list = children(parent, name);
    return i < list.size() ? list[i] : pugi::xml_node();
}

int count(pugi::xml_node parent, const char* name) {
    return int(children(parent, name).size());
}

void setAttr(pugi::xml_node n, const char* name, const QByteArray& v) {
    if (!n.attribute(name)) n.append_attribute(name);
    n.attribute(name) = v.constData();
}

// The styles part's sections and the records made while writing, shared by the formats that
// need the same one.
class StyleSheet {
public:
    explicit StyleSheet(pugi::xml_document& doc) : root_(doc.document_element()) {
        numFmts_ = child(root_, "numFmts");
        fonts_ = section("fonts");
        fills_ = section("fills");
        borders_ = section("borders");
        xfs_ = section("cellXfs");
        for (pugi::xml_node f : children(numFmts_, "numFmt"))
            customFormats_[attr(f, "formatCode")] = attr(f, "numFmtId").toInt();
    }

    // Cells written with a file xf beyond the file's table would be out of range; the table is
    // padded so that derived indexes keep their positions.
    void padTo(int fileCount) {
        while (count(xfs_, "xf") < fileCount) {
            pugi::xml_node x = xfs_.append_child(prefixed(root_, "xf").constData());
            x.append_attribute("numFmtId") = 0;
            x.append_attribute("fontId") = 0;
            x.append_attribute("fillId") = 0;
            x.append_attribute("borderId") = 0;
            x.append_attribute("xfId") = 0;
        }
    }

    // The xf of format `f`, a copy of `baseXf` (the file's xf it derives from) changed where `f`
    // differs from `b`, that xf's format.
    void appendXf(const CellFormat& f, const CellFormat& b, int base) {
        pugi::xml_node baseXf = nth(xfs_, "xf", size_t(base));
        pugi::xml_node xf = xfs_.append_child(prefixed(root_, "xf").constData());
        if (baseXf) {
            for (pugi::xml_attribute a = baseXf.first_attribute(); a; a = a.next_attribute())
                xf.append_attribute(a.name()) = a.value();
            for (pugi::xml_node c = baseXf.first_child(); c; c = c.next_sibling()) xf.append_copy(c);
        }
        for (const char* a : {"numFmtId", "fontId", "fillId", "borderId"})
            if (!xf.attribute(a)) setAttr(xf, a, "0");
        if (!xf.attribute("xfId")) setAttr(xf, "xfId", "0");
        if (f.numberFormat != b.numberFormat) numberFormat(xf, f);
        if (f.bold != b.bold || f.fontSize != b.fontSize) font(xf, f);
        if (f.fillColorIndex != b.fillColorIndex) fill(xf, f);
        if (f.borders != b.borders) border(xf, f, b);
        if (f.horizontalAlignment != b.horizontalAlignment || f.orientation != b.orientation ||
            f.wrapText != b.wrapText || f.shrinkToFit != b.shrinkToFit)
            alignment(xf, f);
    }

    void writeCounts() {
        for (auto [node, name] : {std::pair{numFmts_, "numFmt"},
                                  {fonts_, "font"},
                                  {fills_, "fill"},
                                  {borders_, "border"},
                                  {xfs_, "xf"}}) {
            if (!node) continue;
            if (!node.attribute("count")) node.append_attribute("count");
            node.attribute("count") = count(node, name);
        }
    }

private:
    pugi::xml_node section(const char* name) {
        pugi::xml_node s = child(root_, name);
        if (!s) {
            static const std::vector<const char*> order = {"numFmts",      "fonts",   "fills",      "borders",
                                                           "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                                           "tableStyles",  "colors",  "extLst"};
            s = insertOrdered(root_, prefixed(root_, name).constData(), order);
        }
        return s;
    }

    void numberFormat(pugi::xml_node xf, const CellFormat& f) {
        int id = f.numFmtId;
        if (id < 0 || builtinNumberFormat(id) != f.numberFormat) {
            auto it = customFormats_.find(f.numberFormat);
            if (it != customFormats_.end()) {
                id = it->second;
            } else {
                id = 164;
                for (auto& [code, used] : customFormats_) id = std::max(id, used + 1);
                if (!numFmts_)
                    numFmts_ =
                        insertOrdered(root_, prefixed(root_, "numFmts").constData(), {"numFmts", "fonts"});
                pugi::xml_node nf = numFmts_.append_child(prefixed(root_, "numFmt").constData());
                nf.append_attribute("numFmtId") = id;
                nf.append_attribute("formatCode") = u8(f.numberFormat).constData();
                customFormats_[f.numberFormat] = id;
            }
        }
        setAttr(xf, "numFmtId", QByteArray::number(id));
        setAttr(xf, "applyNumberFormat", "1");
    }

    // A copy of the base font with weight and size changed.
    void font(pugi::xml_node xf, const CellFormat& f) {
        const int baseFont = attr(xf, "fontId").toInt();
        QByteArray key = QByteArray::number(baseFont) + (f.bold ? "b" : "n") + QByteArray::number(f.fontSize);
        auto it = madeFonts_.find(key);
        if (it == madeFonts_.end()) {
            pugi::xml_node src = nth(fonts_, "font", size_t(baseFont));
            pugi::xml_node font =
                src ? fonts_.append_copy(src) : fonts_.append_child(prefixed(root_, "font").constData());
            removeChildren(font, "b");
            if (f.bold) font.prepend_child(prefixed(root_, "b").constData());
            pugi::xml_node sz = child(font, "sz");
            if (!sz) {
                sz = child(font, "b")
                         ? font.insert_child_after(prefixed(root_, "sz").constData(), child(font, "b"))
                         : font.prepend_child(prefixed(root_, "sz").constData());
            }
            if (!sz.attribute("val")) sz.append_attribute("val");
            sz.attribute("val") = u8(formatNumber(f.fontSize)).constData();
            it = madeFonts_.emplace(key, count(fonts_, "font") - 1).first;
        }
        setAttr(xf, "fontId", QByteArray::number(it->second));
        setAttr(xf, "applyFont", "1");
    }

    void fill(pugi::xml_node xf, const CellFormat& f) {
        QByteArray key = QByteArray::number(f.fillColorIndex);
        auto it = madeFills_.find(key);
        if (it == madeFills_.end()) {
            pugi::xml_node fill = fills_.append_child(prefixed(root_, "fill").constData());
            pugi::xml_node p = fill.append_child(prefixed(root_, "patternFill").constData());
            if (f.fillColorIndex == xlNone) {
                p.append_attribute("patternType") = "none";
            } else {
                p.append_attribute("patternType") = "solid";
                p.append_child(prefixed(root_, "fgColor").constData()).append_attribute("indexed") =
                    f.fillColorIndex + 7;
                p.append_child(prefixed(root_, "bgColor").constData()).append_attribute("indexed") = 64;
            }
            it = madeFills_.emplace(key, count(fills_, "fill") - 1).first;
        }
        setAttr(xf, "fillId", QByteArray::number(it->second));
        setAttr(xf, "applyFill", "1");
    }

    // A copy of the base's border record with the changed edges rewritten, so that the colours of
    // the others and any diagonal stay.
    void border(pugi::xml_node xf, const CellFormat& f, const CellFormat& b) {
        const int baseBorder = attr(xf, "borderId").toInt();
        QByteArray key = QByteArray::number(baseBorder) + ':';
        for (size_t e = 0; e < 4; ++e)
            key += f.borders[e] == b.borders[e] ? QByteArray("=;") : u8(borderStyleName(f.borders[e])) + ';';
        auto it = madeBorders_.find(key);
        if (it == madeBorders_.end()) {
            pugi::xml_node src = nth(borders_, "border", size_t(baseBorder));
            pugi::xml_node border = src ? borders_.append_copy(src)
                                        : borders_.append_child(prefixed(root_, "border").constData());
            const char* names[] = {"left", "right", "top", "bottom", "diagonal"};
            const int edge[] = {0, 3, 1, 2, -1};
            for (int k = 0; k < 5; ++k) {
                pugi::xml_node e = child(border, names[k]);
                if (!e) {
                    // Schema order: left, right, top, bottom, diagonal.
                    pugi::xml_node after;
                    for (int j = k - 1; j >= 0 && !after; --j) after = child(border, names[j]);
                    e = after ? border.insert_child_after(prefixed(root_, names[k]).constData(), after)
                              : border.prepend_child(prefixed(root_, names[k]).constData());
                }
                if (edge[k] < 0 || f.borders[size_t(edge[k])] == b.borders[size_t(edge[k])]) continue;
                while (e.first_attribute()) e.remove_attribute(e.first_attribute());
                while (e.first_child()) e.remove_child(e.first_child());
                const QString style = borderStyleName(f.borders[size_t(edge[k])]);
                if (style.isEmpty()) continue;
                e.append_attribute("style") = u8(style).constData();
                e.append_child(prefixed(root_, "color").constData()).append_attribute("indexed") = 64;
            }
            it = madeBorders_.emplace(key, count(borders_, "border") - 1).first;
        }
        setAttr(xf, "borderId", QByteArray::number(it->second));
        setAttr(xf, "applyBorder", "1");
    }

    // The base's alignment element keeps what the model does not know (vertical, indent).
    void alignment(pugi::xml_node xf, const CellFormat& f) {
        pugi::xml_node al = child(xf, "alignment");
        if (!al) al = xf.prepend_child(prefixed(root_, "alignment").constData());
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

    pugi::xml_node root_;
    pugi::xml_node numFmts_, fonts_, fills_, borders_, xfs_;
    std::map<QString, int> customFormats_;
    std::map<QByteArray, int> madeFonts_, madeFills_, madeBorders_;
};

}  // namespace

void writeStyles(Workbook& book, pugi::xml_document& doc, int fileCount) {
    StyleSheet sheet(doc);
    sheet.padTo(fileCount);
    for (int i = fileCount; i < book.formatCount(); ++i) {
        const int base = book.baseFormatOf(i);
        const CellFormat& b = base < fileCount ? book.format(base) : CellFormat();
        sheet.appendXf(book.format(i), b, base);
    }
    sheet.writeCounts();
}

}  // namespace sheet::xml::writing
