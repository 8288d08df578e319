// Column insertion in what a sheet's file part holds beyond the model: conditional formats, data
// validations, the view's selection and pane, the auto filter and ignored errors. Their ranges and
// formulas are rewritten in the kept part, so a save after an insertion keeps them on their cells.
#include "platform/sheet/ColumnShift.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/XmlUtil.h"

#include <QStringList>

namespace sheet {

namespace {

using namespace xml;

// "A1:B2 D4" with every range moved; `changed` tells whether any did.
QString shiftedSqref(const QString& sqref, int at, int count, bool& changed) {
    QStringList out;
    for (const QString& part : sqref.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        auto r = parseRect(part);
        if (!r) {
            out << part;
            continue;
        }
        Rect moved = *r;
        shiftRect(moved, at, count);
        if (moved == *r) {
            out << part;
        } else {
            out << rectAddress(moved, false);
            changed = true;
        }
    }
    return out.join(QLatin1Char(' '));
}

// The top-left cell of a range list, before the move: relative references of the formulas
// attached to the list are seen from it.
std::optional<Rect> firstCell(const QString& sqref) {
    const QString first = sqref.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    return parseRect(first);
}

class PartShifter {
public:
    PartShifter(Workbook& book, Worksheet& host, Worksheet& target, int at, int count)
        : book_(book), host_(host), target_(target), at_(at), count_(count) {}
    bool changed = false;

    void attribute(pugi::xml_node n, const char* name) {
        if (!n || !n.attribute(name) || &host_ != &target_) return;
        bool c = false;
        const QString v = shiftedSqref(attr(n, name), at_, count_, c);
        if (!c) return;
        n.attribute(name) = v.toUtf8().constData();
        changed = true;
    }
    void elementText(pugi::xml_node n) {
        if (&host_ != &target_) return;
        bool c = false;
        const QString v = shiftedSqref(text(n), at_, count_, c);
        if (!c) return;
        n.text() = v.toUtf8().constData();
        changed = true;
    }
    // A formula seen from `origin` (before the move) of the host sheet.
    void formula(pugi::xml_node n, const std::optional<Rect>& origin) {
        if (!n || !origin) return;
        const int row = origin->row1, oldCol = origin->col1;
        const int newCol = (&host_ == &target_ && oldCol >= at_) ? oldCol + count_ : oldCol;
        auto resolver = [this](const QString& name) { return book_.findWorksheet(name); };
        try {
            auto f = parseFormula(text(n), Notation::A1, row, oldCol, resolver);
            // The text is seen from the range's corner: a moved corner rewrites it even when the
            // references keep their offsets.
            auto s = shifted(*f, &host_, &target_, oldCol, newCol, at_, count_);
            if (s || newCol != oldCol) {
                n.text() = (s ? *s : *f).toA1(row, newCol).toUtf8().constData();
                changed = true;
            }
        } catch (const FormulaError&) {
            // A formula this engine cannot read stays as it is.
        }
    }

private:
    Workbook& book_;
    Worksheet& host_;
    Worksheet& target_;
    int at_, count_;
};

void walkExtensions(pugi::xml_node n, PartShifter& s) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (is(c, "sqref"))
            s.elementText(c);
        else
            walkExtensions(c, s);
    }
}

}  // namespace

void shiftKeptSheetParts(Workbook& book, Worksheet& target, int at, int count) {
    Package* pkg = book.package().get();
    if (!pkg) return;
    for (int i = 1; i <= book.worksheetCount(); ++i) {
        Worksheet& ws = book.worksheets(i);
        if (ws.partName.isEmpty() || !pkg->contains(ws.partName)) continue;
        pugi::xml_document doc;
        try {
            parse(doc, pkg->part(ws.partName), ws.partName);
        } catch (const FileError&) {
            continue;
        }
        pugi::xml_node root = doc.document_element();
        PartShifter s(book, ws, target, at, count);
        for (pugi::xml_node cf : children(root, "conditionalFormatting")) {
            const auto origin = firstCell(attr(cf, "sqref"));
            for (pugi::xml_node rule : children(cf, "cfRule"))
                for (pugi::xml_node f : children(rule, "formula")) s.formula(f, origin);
            s.attribute(cf, "sqref");
        }
        for (pugi::xml_node dv : children(child(root, "dataValidations"), "dataValidation")) {
            const auto origin = firstCell(attr(dv, "sqref"));
            s.formula(child(dv, "formula1"), origin);
            s.formula(child(dv, "formula2"), origin);
            s.attribute(dv, "sqref");
        }
        for (pugi::xml_node view : children(child(root, "sheetViews"), "sheetView")) {
            s.attribute(child(view, "pane"), "topLeftCell");
            for (pugi::xml_node sel : children(view, "selection")) {
                s.attribute(sel, "activeCell");
                s.attribute(sel, "sqref");
            }
        }
        s.attribute(child(root, "autoFilter"), "ref");
        for (pugi::xml_node e : children(child(root, "ignoredErrors"), "ignoredError"))
            s.attribute(e, "sqref");
        walkExtensions(child(root, "extLst"), s);
        if (s.changed) pkg->setPart(ws.partName, save(doc));
    }
}

}  // namespace sheet
