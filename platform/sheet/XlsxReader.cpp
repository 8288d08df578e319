// Reading .xlsx files: workbook, sheets, shared and inline strings, formulas with cached values
// (shared formulas expanded), formats, merges, widths, hyperlinks, names, core properties.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Xlsx.h"
#include "platform/sheet/XmlUtil.h"

#include <QHash>
#include <QSet>
#include <cmath>
#include <map>

namespace sheet {

namespace {

using namespace xml;

QString richText(const pugi::xml_node& si) {
    // Plain <t>, or runs <r><t>; phonetic runs (<rPh>) are not part of the text.
    if (pugi::xml_node t = child(si, "t")) return decodeEscapes(text(t));
    QString s;
    for (pugi::xml_node r : children(si, "r"))
        if (pugi::xml_node t = child(r, "t")) s += text(t);
    return decodeEscapes(s);
}

BorderLine borderFromXml(const pugi::xml_node& edge) {
    BorderLine b;
    const QString style = attr(edge, "style");
    static const std::pair<const char*, std::pair<int, int>> map[] = {
        {"thin", {xlContinuous, xlThin}},
        {"medium", {xlContinuous, xlMedium}},
        {"thick", {xlContinuous, xlThick}},
        {"hair", {xlContinuous, xlHairline}},
        {"dashed", {xlDash, xlThin}},
        {"mediumDashed", {xlDash, xlMedium}},
        {"dotted", {xlDot, xlThin}},
        {"double", {xlDouble, xlThick}},
        {"dashDot", {xlDashDot, xlThin}},
        {"mediumDashDot", {xlDashDot, xlMedium}},
        {"dashDotDot", {xlDashDotDot, xlThin}},
        {"mediumDashDotDot", {xlDashDotDot, xlMedium}},
        {"slantDashDot", {xlSlantDashDot, xlMedium}}};
    for (const auto& [name, v] : map)
        if (style == QLatin1String(name)) {
            b.lineStyle = v.first;
            b.weight = v.second;
        }
    return b;
}

int horizontalFromXml(const QString& h) {
    if (h == QLatin1String("left")) return xlLeft;
    if (h == QLatin1String("center")) return xlCenter;
    if (h == QLatin1String("right")) return xlRight;
    if (h == QLatin1String("fill")) return xlFill;
    if (h == QLatin1String("justify")) return xlJustify;
    if (h == QLatin1String("centerContinuous")) return xlCenterAcrossSelection;
    if (h == QLatin1String("distributed")) return xlDistributed;
    return xlGeneral;
}

bool flag(const pugi::xml_node& n, const char* name) {
    const QString v = attr(n, name);
    return v == QLatin1String("1") || v == QLatin1String("true");
}

std::vector<CellFormat> readStyles(const Package& pkg, const QString& part) {
    std::vector<CellFormat> out;
    if (part.isEmpty() || !pkg.contains(part)) return out;
    pugi::xml_document doc;
    parse(doc, pkg.part(part), part);
    pugi::xml_node root = doc.document_element();
    QHash<int, QString> numFmts;
    for (pugi::xml_node f : children(child(root, "numFmts"), "numFmt"))
        numFmts[attr(f, "numFmtId").toInt()] = attr(f, "formatCode");
    struct FontInfo {
        bool bold;
        double size;
    };
    std::vector<FontInfo> fonts;
    for (pugi::xml_node f : children(child(root, "fonts"), "font")) {
        FontInfo fi{false, 11};
        if (pugi::xml_node b = child(f, "b")) fi.bold = !b.attribute("val") || flag(b, "val");
        if (pugi::xml_node sz = child(f, "sz")) fi.size = attr(sz, "val").toDouble();
        fonts.push_back(fi);
    }
    std::vector<int> fills;
    for (pugi::xml_node f : children(child(root, "fills"), "fill")) {
        int ci = xlNone;
        pugi::xml_node p = child(f, "patternFill");
        if (p && attr(p, "patternType") == QLatin1String("solid")) {
            pugi::xml_node fg = child(p, "fgColor");
            if (fg.attribute("indexed")) {
                int idx = attr(fg, "indexed").toInt();
                ci = idx >= 8 && idx < 64 ? idx - 7 : idx < 8 ? idx + 1 : xlNone;
            } else if (fg.attribute("rgb")) {
                ci = paletteIndexOf(attr(fg, "rgb").right(6).toUInt(nullptr, 16));
            }
        }
        fills.push_back(ci);
    }
    std::vector<std::array<BorderLine, 4>> borders;
    for (pugi::xml_node b : children(child(root, "borders"), "border")) {
        std::array<BorderLine, 4> e{};
        e[0] = borderFromXml(child(b, "left").empty() ? child(b, "start") : child(b, "left"));
        e[1] = borderFromXml(child(b, "top"));
        e[2] = borderFromXml(child(b, "bottom"));
        e[3] = borderFromXml(child(b, "right").empty() ? child(b, "end") : child(b, "right"));
        borders.push_back(e);
    }
    for (pugi::xml_node xf : children(child(root, "cellXfs"), "xf")) {
        CellFormat f;
        f.numFmtId = attr(xf, "numFmtId").toInt();
        f.numberFormat = numFmts.contains(f.numFmtId) ? numFmts[f.numFmtId] : builtinNumberFormat(f.numFmtId);
        if (f.numberFormat.isEmpty()) f.numberFormat = QStringLiteral("General");
        size_t fontId = attr(xf, "fontId").toUInt(), fillId = attr(xf, "fillId").toUInt(),
               borderId = attr(xf, "borderId").toUInt();
        if (fontId < fonts.size()) {
            f.bold = fonts[fontId].bold;
            f.fontSize = fonts[fontId].size;
        }
        if (fillId < fills.size()) f.fillColorIndex = fills[fillId];
        if (borderId < borders.size()) f.borders = borders[borderId];
        if (pugi::xml_node al = child(xf, "alignment")) {
            f.horizontalAlignment = horizontalFromXml(attr(al, "horizontal"));
            int rot = attr(al, "textRotation").toInt();
            f.orientation = rot == 255 ? xlVertical : rot > 90 ? 90 - rot : rot;
            f.wrapText = flag(al, "wrapText");
            f.shrinkToFit = flag(al, "shrinkToFit");
        }
        out.push_back(f);
    }
    return out;
}

Rect cellRect(const QString& ref, const QString& sheetName) {
    auto r = parseRect(ref);
    if (!r)
        throw FileError(
            QStringLiteral("Błędne odwołanie do komórki \"%1\" w arkuszu \"%2\"").arg(ref, sheetName));
    return *r;
}

// A cell holding what no spreadsheet holds: refused, naming the cell and quoting what it holds (the
// beginning of it: a file may put anything there).
[[noreturn]] void badCell(const char* what, const QString& held, int row, int col, const QString& sheetName,
                          const char* allowed = "") {
    const QString shown = held.size() > 40 ? held.left(40) + QChar(0x2026) : held;
    throw CellDataError(QStringLiteral("%1 \"%2\"%3 w komórce %4 arkusza \"%5\"")
                            .arg(QString::fromUtf8(what), shown, QString::fromUtf8(allowed),
                                 cellAddress(row, col), sheetName));
}

// The error values a spreadsheet writes. Those from `errorFromText` are the engine's own; the newer
// ones of Excel (results of functions this engine lacks, whose formulas it keeps uncomputed) have no
// value here and read as #N/A.
std::optional<Value> errorValue(const QString& text) {
    if (auto code = errorFromText(text)) return Value(*code);
    static const QSet<QString> newer = {
        QStringLiteral("#BLOCKED!"),     QStringLiteral("#BUSY!"),     QStringLiteral("#CALC!"),
        QStringLiteral("#CONNECT!"),     QStringLiteral("#EXTERNAL!"), QStringLiteral("#FIELD!"),
        QStringLiteral("#GETTING_DATA"), QStringLiteral("#PYTHON!"),   QStringLiteral("#SPILL!"),
        QStringLiteral("#TIMEOUT!"),     QStringLiteral("#UNKNOWN!")};
    if (newer.contains(text.trimmed().toUpper())) return Value(ErrorCode::NA);
    return std::nullopt;
}

// The number that joins a shared formula's cells: an unsigned 32-bit number, as the file format
// defines it.
QString sharedFormulaIndex(const pugi::xml_node& f, int row, int col, const QString& sheetName) {
    const QString si = attr(f, "si");
    bool ok = false;
    const qulonglong index = si.toULongLong(&ok);
    if (!f.attribute("si") || !ok || index > 0xFFFFFFFFull)
        badCell("Błędny numer formuły wspólnej", si, row, col, sheetName, " (dozwolony od 0 do 4294967295)");
    return QString::number(index);
}

struct PendingFormula {
    Worksheet* ws;
    int row, col;
    QString text;
    QString type;         // "", "shared", "array"
    QString sharedIndex;  // of a shared formula
    bool master = false;  // the shared formula's cell that holds its text
    std::vector<std::pair<QString, QString>> attributes;
};

void readSheet(Workbook& book, Worksheet& ws, const Package& pkg, const QString& part,
               const std::vector<QString>& strings, const QString& missingStrings,
               std::vector<PendingFormula>& formulas) {
    pugi::xml_document doc;
    parse(doc, pkg.part(part), part);
    pugi::xml_node root = doc.document_element();
    if (!root || !is(root, "worksheet"))
        throw FileError(QStringLiteral("Część \"%1\" nie jest arkuszem").arg(part));
    const QString sheetName = ws.name();
    if (pugi::xml_node fp = child(root, "sheetFormatPr"); fp && fp.attribute("defaultColWidth"))
        ws.setDefaultColumnWidth(attr(fp, "defaultColWidth").toDouble());
    for (pugi::xml_node c : children(child(root, "cols"), "col")) {
        int mn = attr(c, "min").toInt(), mx = attr(c, "max").toInt();
        if (mn < 1 || mx < mn || mx > MaxColumns) continue;
        ColumnInfo info;
        if (c.attribute("width")) info.width = attr(c, "width").toDouble();
        for (pugi::xml_attribute a = c.first_attribute(); a; a = a.next_attribute()) {
            const char* n = a.name();
            if (!std::strcmp(n, "min") || !std::strcmp(n, "max") || !std::strcmp(n, "width") ||
                !std::strcmp(n, "customWidth"))
                continue;
            info.attributes.emplace_back(QString::fromUtf8(n), QString::fromUtf8(a.value()));
        }
        for (int col = mn; col <= mx; ++col) ws.columnInfo()[col] = info;
    }
    const int formatCount = book.formatCount();
    int lastRow = 0;
    for (pugi::xml_node row : children(child(root, "sheetData"), "row")) {
        int r = row.attribute("r") ? attr(row, "r").toInt() : lastRow + 1;
        if (r < 1 || r > MaxRows)
            throw FileError(QStringLiteral("Błędny numer wiersza \"%1\" w arkuszu \"%2\"")
                                .arg(attr(row, "r"), sheetName));
        lastRow = r;
        std::vector<std::pair<QString, QString>> rowAttrs;
        for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute()) {
            if (!std::strcmp(a.name(), "r") || !std::strcmp(a.name(), "spans")) continue;
            rowAttrs.emplace_back(QString::fromUtf8(a.name()), QString::fromUtf8(a.value()));
        }
        if (!rowAttrs.empty()) ws.rowAttributes()[r] = rowAttrs;
        int lastCol = 0;
        for (pugi::xml_node c : children(row, "c")) {
            int cr = r, cc = lastCol + 1;
            if (c.attribute("r")) {
                const QString ref = attr(c, "r");
                Rect rect = cellRect(ref, sheetName);
                if (rect.row1 != rect.row2 || rect.col1 != rect.col2 || rect.row1 != r)
                    throw FileError(QStringLiteral("Błędne odwołanie do komórki \"%1\" w arkuszu \"%2\"")
                                        .arg(ref, sheetName));
                cr = rect.row1;
                cc = rect.col1;
            }
            if (cc > MaxColumns)
                throw FileError(QStringLiteral("Komórka poza arkuszem w arkuszu \"%1\"").arg(sheetName));
            lastCol = cc;
            Cell& cell = ws.ensureCell(cr, cc);
            int xf = attr(c, "s").toInt();
            cell.xf = xf >= 0 && xf < formatCount ? xf : 0;
            const QString t = attr(c, "t");
            pugi::xml_node v = child(c, "v");
            const QString vt = text(v);
            if (t == QLatin1String("s")) {
                // A shared-string cell without an index is an empty cell, as spreadsheet programs
                // read it.
                if (!vt.trimmed().isEmpty()) {
                    bool ok = false;
                    const int idx = vt.toInt(&ok);
                    if (strings.empty() && !missingStrings.isEmpty())
                        throw FileError(
                            QStringLiteral("Komórka %1 arkusza \"%2\" zawiera tekst, a w pliku brak "
                                           "części tekstów \"%3\"")
                                .arg(cellAddress(cr, cc), sheetName, missingStrings));
                    if (!ok || idx < 0 || idx >= int(strings.size()))
                        badCell("Błędny numer tekstu", vt, cr, cc, sheetName);
                    cell.value = Value(strings[size_t(idx)]);
                }
            } else if (t == QLatin1String("inlineStr")) {
                cell.value = Value(richText(child(c, "is")));
            } else if (t == QLatin1String("b")) {
                // A cell of this type without a value holds none, as a text cell without an index.
                const QString b = vt.trimmed();
                if (b == QLatin1String("1") || b == QLatin1String("true"))
                    cell.value = Value(true);
                else if (b == QLatin1String("0") || b == QLatin1String("false"))
                    cell.value = Value(false);
                else if (!b.isEmpty())
                    badCell("Błędna wartość logiczna", vt, cr, cc, sheetName);
            } else if (t == QLatin1String("e")) {
                if (auto error = errorValue(vt))
                    cell.value = *error;
                else if (!vt.trimmed().isEmpty())
                    badCell("Nieznana wartość błędu", vt, cr, cc, sheetName);
            } else if (t == QLatin1String("d")) {
                if (auto serial = v ? serialFromIsoDate(vt) : std::nullopt) {
                    cell.value = Value(*serial);
                    cell.isoDate = true;
                } else {
                    // A date this engine holds no serial for (a time of day, a date before 1900) stays
                    // the text the file gave, written back as a date cell.
                    cell.value = v ? Value(vt) : Value();
                    cell.isoDate = v;
                }
            } else if (t == QLatin1String("str")) {
                cell.value = v ? Value(decodeEscapes(vt)) : Value();
            } else if (v && !vt.trimmed().isEmpty()) {
                bool ok = false;
                double d = vt.trimmed().toDouble(&ok);
                // Qt reads "inf" and "nan", which no spreadsheet writes and no cell can hold.
                if (!ok || !std::isfinite(d)) badCell("Błędna liczba", vt, cr, cc, sheetName);
                cell.value = Value(d);
            }
            if (pugi::xml_node f = child(c, "f")) {
                PendingFormula p{&ws, cr, cc, text(f), attr(f, "t"), QString(), false, {}};
                for (pugi::xml_attribute a = f.first_attribute(); a; a = a.next_attribute())
                    p.attributes.emplace_back(QString::fromUtf8(a.name()), QString::fromUtf8(a.value()));
                if (p.type == QLatin1String("shared")) {
                    p.sharedIndex = sharedFormulaIndex(f, cr, cc, sheetName);
                    p.master = !p.text.trimmed().isEmpty();
                }
                // A data table's formula element carries no text, only its attributes: kept too.
                if (!p.text.trimmed().isEmpty() || !p.sharedIndex.isEmpty() ||
                    p.type == QLatin1String("dataTable"))
                    formulas.push_back(p);
            }
            if (cell.isBlank()) ws.cellMap().erase(cr, cc);
        }
    }
    for (pugi::xml_node m : children(child(root, "mergeCells"), "mergeCell")) {
        auto r = parseRect(attr(m, "ref"));
        if (!r)
            throw FileError(QStringLiteral("Błędny zakres scalenia \"%1\" w arkuszu \"%2\"")
                                .arg(attr(m, "ref"), sheetName));
        ws.addMerge(*r);
    }
    const auto rels = readRels(pkg, part);
    for (pugi::xml_node h : children(child(root, "hyperlinks"), "hyperlink")) {
        auto r = parseRect(attr(h, "ref"));
        if (!r) continue;
        Hyperlink link;
        link.anchor = *r;
        const QString id = relId(h);
        for (const auto& rel : rels)
            if (rel.id == id) link.address = rel.target;
        link.subAddress = attr(h, "location");
        link.screenTip = attr(h, "tooltip");
        link.textToDisplay = attr(h, "display");
        ws.hyperlinks().all().push_back(link);
    }
    if (pugi::xml_node views = child(root, "sheetViews")) {
        if (pugi::xml_node sel = child(child(views, "sheetView"), "selection")) {
            auto active = parseRect(attr(sel, "activeCell"));
            auto area = parseRect(attr(sel, "sqref").section(QLatin1Char(' '), 0, 0));
            if (active) ws.setSelection(area ? *area : *active, active->row1, active->col1);
        }
    }
}

// Whether the formula uses a defined name whose formula we cannot compute (a function we lack,
// another workbook).
// Names defined through other names are followed down to the last one.
bool usesUncomputableName(const Formula& f, Workbook& book, const Worksheet& host, int depth = 0) {
    for (const FormulaNode& n : f.nodes) {
        if (n.kind != FormulaNode::Name) continue;
        for (const DefinedName& d : book.names()) {
            if (d.name.compare(n.text, Qt::CaseInsensitive) != 0) continue;
            auto named = book.namedFormula(n.text, host);
            if (!named || depth > 16 || usesUncomputableName(*named, book, host, depth + 1)) return true;
        }
    }
    return false;
}

// Parses the collected formulas once every sheet exists, so that references to later sheets
// resolve. A shared formula's members use its master's parsed form: relative references are
// offsets, so one parse serves the whole group.
void parseFormulas(Workbook& book, std::vector<PendingFormula>& formulas) {
    auto resolver = [&book](const QString& name) { return book.findWorksheet(name); };
    struct Group {
        std::shared_ptr<const Formula> parsed;
        QString text;
        // A group we do not compute but can read: its members get texts of their own, so that
        // sorting, pasting and inserting columns can move them one by one.
        std::shared_ptr<const Formula> readable;
        QString unreadable;  // why the master's text could not be read
    };
    std::map<std::pair<Worksheet*, QString>, Group> shared;
    auto keep = [](PendingFormula& p, const QString& text, bool member, const QString& unreadable) {
        auto k = std::make_shared<KeptFormula>();
        k->text = text;
        k->attributes = p.attributes;
        k->sharedMember = member;
        k->unreadable = unreadable;
        p.ws->ensureCell(p.row, p.col).kept = k;
    };
    for (PendingFormula& p : formulas) {
        if (!p.sharedIndex.isEmpty() && !p.master) continue;
        std::shared_ptr<const Formula> parsed, readable;
        QString unreadable;
        // Array and table formulas are kept as written; so is anything we cannot compute.
        if (p.type.isEmpty() || p.type == QLatin1String("normal") || p.type == QLatin1String("shared")) {
            try {
                auto f = parseFormula(p.text, Notation::A1, p.row, p.col, resolver);
                if (!f->hasUnknownFunction && !usesUncomputableName(*f, book, *p.ws))
                    parsed = f;
                else
                    readable = f;
            } catch (const FormulaError& e) {
                // Kept as written, as any formula this engine cannot compute: the file keeps its
                // text, and the cell keeps the value the workbook cached for it, marked with why.
                unreadable = e.message();
            }
        }
        if (p.master) {
            shared[{p.ws, p.sharedIndex}] = {parsed, p.text, readable, unreadable};
            if (readable)
                std::erase_if(p.attributes, [](const auto& a) {
                    return a.first == QLatin1String("t") || a.first == QLatin1String("ref") ||
                           a.first == QLatin1String("si");
                });
        }
        if (parsed)
            p.ws->ensureCell(p.row, p.col).formula = parsed;
        else
            keep(p, p.text, false, unreadable);
    }
    for (PendingFormula& p : formulas) {
        if (p.sharedIndex.isEmpty() || p.master) continue;
        auto it = shared.find({p.ws, p.sharedIndex});
        if (it == shared.end()) {
            // A member whose master is missing: its formula is unknown, so the file's value is one
            // this engine never computed and stays marked as such (written back as it was read).
            keep(p, QString(), true, QString());
            continue;
        }
        if (it->second.parsed) {
            p.ws->ensureCell(p.row, p.col).formula = it->second.parsed;
        } else if (it->second.readable) {
            p.attributes.clear();
            keep(p, it->second.readable->toA1(p.row, p.col), false, QString());
        } else {
            keep(p, it->second.text, true, it->second.unreadable);
        }
    }
}

}  // namespace

std::unique_ptr<Workbook> readXlsx(Application& app, const QString& path) {
    // Taken before reading: a file written over while it is read is another file at saving.
    const FileStamp stamp = fileStampOf(path);
    std::unique_ptr<Workbook> book =
        readXlsxPackage(app, std::make_unique<Package>(Package::read(path)), path);
    book->fileStamp = stamp;
    return book;
}

std::unique_ptr<Workbook> readXlsxPackage(Application& app, std::unique_ptr<Package> pkg,
                                          const QString& path) {
    QString wbPart;
    for (const auto& rel : readRels(*pkg, QString()))
        if (rel.type.endsWith(QLatin1String("/officeDocument")))
            wbPart = resolveTarget(QString(), rel.target);
    if (wbPart.isEmpty() && pkg->contains(QStringLiteral("xl/workbook.xml")))
        wbPart = QStringLiteral("xl/workbook.xml");
    if (wbPart.isEmpty() || !pkg->contains(wbPart))
        throw FileError(QStringLiteral("Plik \"%1\" nie zawiera skoroszytu").arg(path));

    auto book = std::make_unique<Workbook>(app);
    pugi::xml_document wb;
    parse(wb, pkg->part(wbPart), wbPart);
    pugi::xml_node root = wb.document_element();
    const auto wbRels = readRels(*pkg, wbPart);
    QString stringsPart, stylesPart;
    for (const auto& rel : wbRels) {
        if (rel.type.endsWith(QLatin1String("/sharedStrings")))
            stringsPart = resolveTarget(wbPart, rel.target);
        if (rel.type.endsWith(QLatin1String("/styles"))) stylesPart = resolveTarget(wbPart, rel.target);
    }
    std::vector<QString> strings;
    // The part the texts of the cells would be in, when the file has none.
    QString missingStrings;
    if (stringsPart.isEmpty() || !pkg->contains(stringsPart))
        missingStrings = stringsPart.isEmpty() ? QStringLiteral("xl/sharedStrings.xml") : stringsPart;
    if (!stringsPart.isEmpty() && pkg->contains(stringsPart)) {
        pugi::xml_document ss;
        parse(ss, pkg->part(stringsPart), stringsPart);
        const bool plainNames = !std::strchr(ss.document_element().name(), ':');
        for (pugi::xml_node si : children(ss.document_element(), "si")) {
            strings.push_back(richText(si));
            if (plainNames && child(si, "r")) {
                StringWriter w;
                si.print(w, "", pugi::format_raw);
                book->richStrings()[strings.back()] = w.out;
            }
        }
    }
    book->setFileFormats(readStyles(*pkg, stylesPart));

    std::vector<std::pair<Worksheet*, QString>> sheetParts;
    // Every sheet in tab order: the model's worksheet index, or -1 and the relationship of a
    // sheet the model does not hold. localSheetId counts them all.
    std::vector<std::pair<int, QString>> tabs;
    for (pugi::xml_node s : children(child(root, "sheets"), "sheet")) {
        const QString id = relId(s);
        QString target;
        for (const auto& rel : wbRels)
            if (rel.id == id && rel.type.endsWith(QLatin1String("/worksheet")))
                target = resolveTarget(wbPart, rel.target);
        tabs.emplace_back(target.isEmpty() ? -1 : int(sheetParts.size()), id);
        if (target.isEmpty()) continue;  // chart sheets and dialogs stay in the package untouched
        if (!pkg->contains(target))
            throw FileError(QStringLiteral("W pliku \"%1\" brak arkusza \"%2\"").arg(path, attr(s, "name")));
        Worksheet& ws = book->addWorksheet(attr(s, "name"));
        ws.partName = target;
        sheetParts.emplace_back(&ws, target);
    }
    if (sheetParts.empty()) throw FileError(QStringLiteral("Skoroszyt \"%1\" nie ma arkuszy").arg(path));
    std::vector<PendingFormula> formulas;
    for (auto& [ws, part] : sheetParts) readSheet(*book, *ws, *pkg, part, strings, missingStrings, formulas);
    // Names first: a formula using a name we cannot compute keeps the file's result.
    for (pugi::xml_node n : children(child(root, "definedNames"), "definedName")) {
        DefinedName d;
        d.name = attr(n, "name");
        if (n.attribute("localSheetId")) {
            const int tab = attr(n, "localSheetId").toInt();
            if (tab < 0 || size_t(tab) >= tabs.size()) continue;  // local to no sheet: unusable
            d.localSheet = tabs[size_t(tab)].first;
            if (d.localSheet < 0) {
                d.localSheet = OtherSheetLocal;
                d.attributes.emplace_back(QString::fromLatin1(LocalToOtherSheet), tabs[size_t(tab)].second);
            }
        }
        d.refersTo = text(n);
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
            if (std::strcmp(a.name(), "name") && std::strcmp(a.name(), "localSheetId"))
                d.attributes.emplace_back(QString::fromUtf8(a.name()), QString::fromUtf8(a.value()));
        book->names().push_back(d);
    }
    parseFormulas(*book, formulas);

    if (pugi::xml_node views = child(root, "bookViews"))
        if (pugi::xml_node v = child(views, "workbookView"))
            if (v.attribute("activeTab"))
                book->setActiveSheet(&book->worksheets(
                    std::clamp(attr(v, "activeTab").toInt() + 1, 1, book->worksheetCount())));

    // Core properties.
    for (const auto& rel : readRels(*pkg, QString())) {
        if (!rel.type.endsWith(QLatin1String("/core-properties"))) continue;
        const QString part = resolveTarget(QString(), rel.target);
        if (!pkg->contains(part)) continue;
        pugi::xml_document core;
        parse(core, pkg->part(part), part);
        for (pugi::xml_node c = core.document_element().first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element)
                book->properties()[QString::fromUtf8(localName(c.name()))] = text(c);
    }
    book->package() = std::move(pkg);
    book->calculate();
    book->setSaved(true);
    return book;
}

}  // namespace sheet
