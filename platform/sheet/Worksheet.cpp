// Worksheet cells, merges, widths, hyperlinks, print area and selection.
#include "platform/sheet/Worksheet.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"

namespace sheet {

Worksheet::Worksheet(Workbook& book, const QString& name) : book_(book), name_(name), hyperlinks_(*this) {}

QString Worksheet::name() const {
    book_.checkOpen();
    return name_;
}

void Worksheet::setName(const QString& name) {
    book_.checkOpen();
    const QString t = name.trimmed();
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    bool bad =
        t.isEmpty() || t.size() > 31 || t.startsWith(QLatin1Char('\'')) || t.endsWith(QLatin1Char('\''));
    for (QChar c : t)
        if (forbidden.contains(c)) bad = true;
    if (bad) throw InvalidArgument(QStringLiteral("Niedozwolona nazwa arkusza: \"%1\"").arg(name));
    Worksheet* other = book_.findWorksheet(t);
    if (other && other != this)
        throw InvalidArgument(QStringLiteral("Arkusz o nazwie \"%1\" już istnieje").arg(t));
    // Names refer to sheets by name: they follow the rename (formulas hold the sheet itself).
    const QString from = quotedSheetName(name_) + QLatin1Char('!'),
                  to = quotedSheetName(t) + QLatin1Char('!');
    for (DefinedName& n : book_.names()) n.refersTo.replace(from, to);
    name_ = t;
    book_.sheetNamesChanged();
    book_.setSaved(false);
}

int Worksheet::index() const {
    for (int i = 1; i <= book_.worksheetCount(); ++i)
        if (&book_.worksheets(i) == this) return i;
    return 0;
}

Range Worksheet::cells(int row, int column) {
    book_.checkOpen();
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns)
        throw InvalidArgument(QStringLiteral("Komórka poza arkuszem: (%1, %2)").arg(row).arg(column));
    return Range(this, {row, column, row, column});
}

Range Worksheet::range(const QString& address) {
    book_.checkOpen();
    auto r = parseRect(address);
    if (!r) throw InvalidArgument(QStringLiteral("Błędny adres zakresu: \"%1\"").arg(address));
    return Range(this, *r);
}

Range Worksheet::range(const Range& first, const Range& last) {
    book_.checkOpen();
    if (&first.worksheet() != this || &last.worksheet() != this)
        throw InvalidArgument(QStringLiteral("Zakres z innego arkusza"));
    const Rect& a = first.rect();
    const Rect& b = last.rect();
    return Range(this, {std::min(a.row1, b.row1), std::min(a.col1, b.col1), std::max(a.row2, b.row2),
                        std::max(a.col2, b.col2)});
}

Range Worksheet::columns(int column) {
    book_.checkOpen();
    if (column < 1 || column > MaxColumns)
        throw InvalidArgument(QStringLiteral("Kolumna poza arkuszem: %1").arg(column));
    return Range(this, {1, column, MaxRows, column});
}

void Worksheet::activate() {
    book_.checkOpen();
    book_.activate();
    book_.setActiveSheet(this);
}

void Worksheet::setSelection(const Rect& r, int activeRow, int activeColumn) {
    selection_ = r;
    activeRow_ = activeRow;
    activeCol_ = activeColumn;
}

void Worksheet::addMerge(const Rect& r) {
    // A new merge replaces the merges it overlaps, as merging a range over a merged cell does.
    std::erase_if(merges_, [&](const Rect& m) { return m.intersects(r); });
    if (r.row1 != r.row2 || r.col1 != r.col2) merges_.push_back(r);
    book_.setSaved(false);
}

double Worksheet::columnWidth(int column) const {
    auto it = columns_.find(column);
    if (it != columns_.end() && it->second.width >= 0) return it->second.width;
    return defaultColumnWidth_;
}

void Worksheet::setColumnWidth(int column, double width) {
    if (width < 0 || width > 255)
        throw InvalidArgument(QStringLiteral("Niedozwolona szerokość kolumny: %1").arg(width));
    columns_[column].width = width;
    book_.setSaved(false);
}

const Cell* Worksheet::cell(int row, int column) const {
    return cells_.find(row, column);
}

Cell* Worksheet::cell(int row, int column) {
    return cells_.find(row, column);
}

Cell& Worksheet::ensureCell(int row, int column) {
    return cells_.ensure(row, column);
}

void Worksheet::removeCellIfBlank(int row, int column) {
    if (const Cell* c = cells_.find(row, column); c && c->isBlank()) cells_.erase(row, column);
}

const Value& Worksheet::valueAt(int row, int column) const {
    static const Value empty;
    const Cell* c = cell(row, column);
    return c ? c->value : empty;
}

void Worksheet::forEachCell(const Rect& r, const std::function<void(int, int, Cell&)>& fn) {
    cells_.forEachIn(r, fn);
}

void Worksheet::forEachCell(const std::function<void(int, int, Cell&)>& fn) {
    cells_.forEach(fn);
}

Rect Worksheet::usedRect() const {
    if (cells_.empty()) return {1, 1, 1, 1};
    Rect r{MaxRows, MaxColumns, 1, 1};
    cells_.forEachRow([&](int row, const CellStore::Row& cells) {
        r.row1 = std::min(r.row1, row);
        r.row2 = std::max(r.row2, row);
        r.col1 = std::min(r.col1, cells.front().column);
        r.col2 = std::max(r.col2, cells.back().column);
    });
    return r;
}

void Hyperlinks::add(const Range& anchor, const QString& address, const QString& subAddress,
                     const QString& screenTip, const QString& textToDisplay) {
    if (&anchor.worksheet() != &ws_)
        throw InvalidArgument(QStringLiteral("Kotwica hiperłącza z innego arkusza"));
    std::erase_if(links_, [&](const Hyperlink& h) { return h.anchor == anchor.rect(); });
    links_.push_back({anchor.rect(), address, subAddress, screenTip, textToDisplay});
    // The anchor shows the link's text when it holds nothing yet.
    Range first = anchor.cells(1, 1);
    if (!textToDisplay.isEmpty())
        first.setValue(Value(QStringLiteral("'") + textToDisplay));
    else if (first.value().isEmpty())
        first.setValue(Value(QStringLiteral("'") + (address.isEmpty() ? subAddress : address)));
    ws_.parent().setSaved(false);
}

const Hyperlink& Hyperlinks::item(int index) const {
    if (index < 1 || index > count())
        throw NotFound(QStringLiteral("Brak hiperłącza o numerze %1").arg(index));
    return links_[size_t(index - 1)];
}

std::shared_ptr<const KeptFormula> movedKeptFormula(const std::shared_ptr<const KeptFormula>& kept,
                                                    Worksheet& ws, int row, int column, int newRow,
                                                    int newColumn) {
    if (!kept || kept->sharedMember || (row == newRow && column == newColumn)) return kept;
    Workbook& book = ws.parent();
    auto resolver = [&book](const QString& name) { return book.findWorksheet(name); };
    std::shared_ptr<Formula> f;
    try {
        f = parseFormula(kept->text, Notation::A1, row, column, resolver);
    } catch (const FormulaError&) {
        return kept;
    }
    auto moved = std::make_shared<KeptFormula>(*kept);
    moved->text = f->toA1(newRow, newColumn);
    for (auto& [name, value] : moved->attributes) {
        if (name != QLatin1String("ref")) continue;
        if (auto r = parseRect(value)) {
            const int dr = newRow - row, dc = newColumn - column;
            value = rectAddress({r->row1 + dr, r->col1 + dc, r->row2 + dr, r->col2 + dc}, false);
        }
    }
    return moved;
}

namespace {
const QString printAreaName = QStringLiteral("_xlnm.Print_Area");
}

QString PageSetup::printArea() const {
    const int local = ws_.index() - 1;
    for (const DefinedName& n : ws_.parent().names()) {
        if (n.name.compare(printAreaName, Qt::CaseInsensitive) != 0 || n.localSheet != local) continue;
        // Drop the sheet prefixes: the member gives bare addresses.
        QStringList parts;
        for (QString p : n.refersTo.split(QLatin1Char(','))) {
            int bang = p.lastIndexOf(QLatin1Char('!'));
            parts << (bang >= 0 ? p.mid(bang + 1) : p);
        }
        return parts.join(QLatin1Char(','));
    }
    return QString();
}

void PageSetup::setPrintArea(const QString& area) {
    auto& names = ws_.parent().names();
    const int local = ws_.index() - 1;
    std::erase_if(names, [&](const DefinedName& n) {
        return n.name.compare(printAreaName, Qt::CaseInsensitive) == 0 && n.localSheet == local;
    });
    ws_.parent().setSaved(false);
    if (area.trimmed().isEmpty()) return;
    QStringList parts;
    for (const QString& p : area.split(QLatin1Char(','))) {
        QString bare = p.trimmed();
        int bang = bare.lastIndexOf(QLatin1Char('!'));
        if (bang >= 0) bare = bare.mid(bang + 1);
        auto r = parseRect(bare);
        if (!r) throw InvalidArgument(QStringLiteral("Błędny obszar wydruku: \"%1\"").arg(area));
        parts << quotedSheetName(ws_.name()) + QLatin1Char('!') + rectAddress(*r, true);
    }
    names.push_back({printAreaName, local, parts.join(QLatin1Char(',')), {}});
}

}  // namespace sheet
