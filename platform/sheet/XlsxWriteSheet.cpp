// A worksheet part written back: the selected tab, dimension, columns, cell data, merges and
// hyperlinks; and the shared strings its text cells name.
#include "platform/sheet/XlsxWriting.h"

#include <charconv>

namespace sheet::xml::writing {

QByteArray SharedStrings::xml() const {
    pugi::xml_document doc;
    pugi::xml_node sst = doc.append_child("sst");
    sst.append_attribute("xmlns") = mainNs;
    sst.append_attribute("count") = uses_;
    sst.append_attribute("uniqueCount") = int(list_.size());
    for (const QString& s : list_) {
        if (auto r = rich_.constFind(s);
            r != rich_.constEnd() && sst.append_buffer(r->constData(), size_t(r->size()),
                                                       pugi::parse_default | pugi::parse_ws_pcdata_single))
            continue;
        pugi::xml_node t = sst.append_child("si").append_child("t");
        if (s != s.trimmed() || s.contains(QLatin1Char('\n'))) t.append_attribute("xml:space") = "preserve";
        t.text() = u8(encodeEscapes(s)).constData();
    }
    return save(doc);
}

namespace {

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

// Columns: runs of equal settings.
void writeColumns(Worksheet& ws, pugi::xml_node root) {
    removeChildren(root, "cols");
    auto& cols = ws.columnInfo();
    if (cols.empty()) return;
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

// Cell data, row by row; rows that carry attributes but no cells are written too.
void writeCells(Worksheet& ws, pugi::xml_node root, SharedStrings& strings) {
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
}

void writeMerges(Worksheet& ws, pugi::xml_node root) {
    removeChildren(root, "mergeCells");
    if (!ws.merges().empty()) {
        pugi::xml_node m = insertOrdered(root, prefixed(root, "mergeCells").constData(), sheetOrder);
        m.append_attribute("count") = int(ws.merges().size());
        for (const Rect& r : ws.merges())
            m.append_child(prefixed(root, "mergeCell").constData()).append_attribute("ref") =
                cellsAddress(r).constData();
    }
}

// Hyperlinks, with the relationships of those that lead out of the workbook made anew.
void writeHyperlinks(Worksheet& ws, pugi::xml_node root, RelsDoc& rels) {
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

}  // namespace

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
    writeColumns(ws, root);
    writeCells(ws, root, strings);
    writeMerges(ws, root);
    writeHyperlinks(ws, root, rels);
}

}  // namespace sheet::xml::writing
