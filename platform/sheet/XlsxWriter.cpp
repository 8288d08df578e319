// Writing .xlsx files: the package's parts are kept, and only those the model owns are rebuilt:
// sheet data, columns, merges and hyperlinks of each sheet, the shared strings, new cell formats
// appended to the styles, sheet names and defined names, core properties. The calculation chain
// is dropped and full recalculation on load requested, so no reader trusts stale results.
// This file writes the workbook part and puts the parts in their order; the structure parts,
// styles and sheets are written by the files XlsxWriting.h names.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Xlsx.h"
#include "platform/sheet/XlsxWriting.h"

#include <QFileInfo>
#include <map>

namespace sheet {

using namespace xml;
using namespace xml::writing;

namespace {

// Styles: the part read, or a minimal one, with the formats made since appended.
void writeStylesPart(Workbook& book, Package& pkg, ContentTypes& types, RelsDoc& wbRels,
                     const QString& wbPart) {
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
}

// Where each sheet stands in the workbook's tab order, for the defined names local to a sheet.
struct SheetPositions {
    std::vector<int> ofWorksheet;  // by the model's 0-based worksheet index
    std::map<QString, int> ofRelationship;
};

// Every worksheet's part, and the workbook's list of sheets in the order the tabs keep.
SheetPositions writeSheets(Workbook& book, Package& pkg, ContentTypes& types, RelsDoc& wbRels,
                           const QString& wbPart, pugi::xml_node wbRoot, SharedStrings& strings) {
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
    SheetPositions positions;
    while (sheetsNode.first_child()) sheetsNode.remove_child(sheetsNode.first_child());
    int position = 0;
    auto place = [&](pugi::xml_node entry, bool model) {
        if (model) positions.ofWorksheet.push_back(position);
        positions.ofRelationship[relId(entry)] = position++;
        sheetsNode.append_copy(entry);
    };
    for (pugi::xml_node old : oldSheets) {
        if (!isWorksheetEntry(old))
            place(old, false);
        else if (nextModel < modelEntries.size())
            place(modelEntries[nextModel++], true);
    }
    while (nextModel < modelEntries.size()) place(modelEntries[nextModel++], true);
    return positions;
}

// Defined names, local ones pointed at their sheet's place in the tabs.
void writeDefinedNames(Workbook& book, pugi::xml_node wbRoot, const SheetPositions& positions) {
    removeChildren(wbRoot, "definedNames");
    if (!book.names().empty()) {
        pugi::xml_node dn =
            insertOrdered(wbRoot, prefixed(wbRoot, "definedNames").constData(), workbookOrder);
        for (const DefinedName& n : book.names()) {
            pugi::xml_node e = dn.append_child(prefixed(wbRoot, "definedName").constData());
            e.append_attribute("name") = u8(n.name).constData();
            // The file counts every sheet kind; the model counts worksheets.
            if (n.localSheet >= 0 && size_t(n.localSheet) < positions.ofWorksheet.size())
                e.append_attribute("localSheetId") = positions.ofWorksheet[size_t(n.localSheet)];
            for (const auto& [k, v] : n.attributes) {
                if (k == QLatin1String(LocalToOtherSheet)) {
                    if (auto it = positions.ofRelationship.find(v); it != positions.ofRelationship.end())
                        e.append_attribute("localSheetId") = it->second;
                    continue;
                }
                e.append_attribute(u8(k).constData()) = u8(v).constData();
            }
            e.text() = u8(n.refersTo).constData();
        }
    }
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

    writeStylesPart(book, pkg, types, wbRels, wbPart);

    SharedStrings strings(book.richStrings());
    const SheetPositions positions = writeSheets(book, pkg, types, wbRels, wbPart, wbRoot, strings);

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

    writeDefinedNames(book, wbRoot, positions);
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
