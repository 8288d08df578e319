// Insertion of whole columns: cells, formats and widths move right, and every reference to the
// moved cells (in formulas of all sheets, computed or kept as read, and in defined names), merge
// and hyperlink follows.
#include "platform/sheet/Application.h"
#include "platform/sheet/ColumnShift.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <unordered_map>

namespace sheet {

std::shared_ptr<const Formula> shifted(const Formula& f, Worksheet* host, Worksheet* target, int oldCol,
                                       int newCol, int at, int count) {
    // Most formulas keep their stored references (relative ones moving with their cell): they are
    // only checked, and copied once something changes.
    std::shared_ptr<Formula> copy;
    for (size_t i = 0; i < f.nodes.size(); ++i) {
        const FormulaNode& n = f.nodes[i];
        if (n.kind != FormulaNode::Cell && n.kind != FormulaNode::Area) continue;
        if (n.span == FormulaNode::Rows) continue;
        Worksheet* ws = n.sheets ? n.sheets->sheet : host;
        for (int end = 0; end < 2; ++end) {
            const RefEnd& e = end ? n.b : n.a;
            int col = e.absCol(oldCol);
            if (ws == target && col >= at) col += count;
            const int stored = e.colAbs ? col : col - newCol;
            if (stored == e.col) continue;
            if (!copy) copy = std::make_shared<Formula>(f);
            FormulaNode& m = copy->nodes[i];
            (end ? m.b : m.a).col = stored;
        }
    }
    return copy;
}

void shiftRect(Rect& r, int at, int count) {
    if (r.col1 >= at) r.col1 = std::min(r.col1 + count, MaxColumns);
    if (r.col2 >= at) r.col2 = std::min(r.col2 + count, MaxColumns);
}

namespace {

// A kept formula's text and array range after the insertion; unchanged when unreadable.
std::shared_ptr<const KeptFormula> shiftedKept(const std::shared_ptr<const KeptFormula>& kept,
                                               Worksheet& host, Worksheet* target, int row, int oldCol,
                                               int newCol, int at, int count) {
    if (kept->sharedMember) return kept;
    Workbook& book = host.parent();
    auto resolver = [&book](const QString& name) { return book.findWorksheet(name); };
    auto moved = std::make_shared<KeptFormula>(*kept);
    bool changed = false;
    try {
        auto f = parseFormula(kept->text, Notation::A1, row, oldCol, resolver);
        auto s = shifted(*f, &host, target, oldCol, newCol, at, count);
        if (s || newCol != oldCol) {
            moved->text = (s ? *s : *f).toA1(row, newCol);
            changed = true;
        }
    } catch (const FormulaError&) {
        // Written back as read.
    }
    if (&host == target) {
        for (auto& [name, value] : moved->attributes) {
            auto r = name == QLatin1String("ref") ? parseRect(value) : std::nullopt;
            if (!r) continue;
            Rect m = *r;
            shiftRect(m, at, count);
            if (m != *r) {
                value = rectAddress(m, false);
                changed = true;
            }
        }
    }
    return changed ? moved : kept;
}

// Splits a name's text at the commas between its areas (not inside quotes or brackets).
QStringList splitUnion(const QString& s) {
    QStringList out;
    QString cur;
    bool quoted = false;
    int depth = 0;
    for (QChar c : s) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('(')) ++depth;
        if (!quoted && c == QLatin1Char(')')) --depth;
        if (!quoted && depth == 0 && c == QLatin1Char(',')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

}  // namespace

void Worksheet::insertColumns(int column, int count) {
    book_.checkOpen();
    if (column < 1 || column > MaxColumns || count < 1 || count > MaxColumns - column)
        throw InvalidArgument(
            QStringLiteral("Nie można wstawić %1 kolumn przed kolumną %2").arg(count).arg(column));
    bool pushedOff = false;
    cells_.forEachRow([&](int, const CellStore::Row& cells) {
        for (auto it = cells.rbegin(); it != cells.rend() && it->column > MaxColumns - count; ++it)
            if (!it->cell.isBlank()) pushedOff = true;
    });
    if (pushedOff)
        throw InvalidArgument(QStringLiteral("Nie można przesunąć niepustych komórek poza arkusz"));

    // Formulas of every sheet, seen from their positions before the move. Cells share their
    // parses, and a shared parse moves alike in every cell of one column of one sheet: each is
    // shifted once per column and the result shared again.
    struct Seen {
        const Formula* formula;
        const Worksheet* host;
        int col;
        bool operator==(const Seen&) const = default;
    };
    struct SeenHash {
        size_t operator()(const Seen& s) const {
            return std::hash<const void*>()(s.formula) ^ (std::hash<const void*>()(s.host) << 1) ^
                   (size_t(s.col) * 0x9E3779B97F4A7C15ull);
        }
    };
    std::unordered_map<Seen, std::shared_ptr<const Formula>, SeenHash> shiftedParses;
    // The parse last met in each column and its shifted form, asked before the map: down a filled
    // column the cells share one parse. The source is held so its address stays its own.
    struct Last {
        std::shared_ptr<const Formula> source, result;
        const Worksheet* host = nullptr;
    };
    std::vector<Last> lastInColumn;
    auto follow = [&](Worksheet& ws, int row, int col, Cell& c) {
        const int newCol = (&ws == this && col >= column) ? col + count : col;
        if (c.formula) {
            if (size_t(col) >= lastInColumn.size()) lastInColumn.resize(size_t(col) + 1);
            Last& last = lastInColumn[size_t(col)];
            if (last.source != c.formula || last.host != &ws) {
                auto [at, fresh] = shiftedParses.try_emplace(Seen{c.formula.get(), &ws, col});
                if (fresh) {
                    at->second = shifted(*c.formula, &ws, this, col, newCol, column, count);
                    // Keeps the parse alive, so its address is not reused by another while mapped.
                    if (!at->second) at->second = c.formula;
                }
                last = {c.formula, at->second, &ws};
            }
            if (c.formula != last.result) c.formula = last.result;  // most keep their parse
        } else if (c.kept) {
            c.kept = shiftedKept(c.kept, ws, this, row, col, newCol, column, count);
        }
    };
    for (int i = 1; i <= book_.worksheetCount(); ++i) {
        Worksheet& ws = book_.worksheets(i);
        if (&ws != this) ws.cellMap().forEach([&](int row, int col, Cell& c) { follow(ws, row, col, c); });
    }
    // This sheet's formulas follow in the pass that moves its cells right within their rows; the
    // inserted columns take the formats of the column on their left.
    cells_.insertColumns(column, count, MaxColumns,
                         [&](int row, int col, Cell& c) { follow(*this, row, col, c); });

    std::map<int, ColumnInfo> widths;
    for (auto& [col, info] : columns_) {
        int c = col >= column ? col + count : col;
        if (c <= MaxColumns) widths[c] = info;
    }
    if (auto left = columns_.find(column - 1); left != columns_.end())
        for (int col = column; col < column + count; ++col) widths[col] = left->second;
    columns_ = std::move(widths);

    for (Rect& m : merges_) shiftRect(m, column, count);
    for (Hyperlink& h : hyperlinks_.all()) shiftRect(h.anchor, column, count);
    shiftRect(selection_, column, count);
    if (activeCol_ >= column) activeCol_ = std::min(activeCol_ + count, MaxColumns);

    // Defined names (print areas among them).
    auto resolver = [this](const QString& name) { return book_.findWorksheet(name); };
    for (DefinedName& n : book_.names()) {
        QStringList parts = splitUnion(n.refersTo);
        bool changed = false;
        for (QString& p : parts) {
            try {
                auto f = parseFormula(p, Notation::A1, 1, 1, resolver);
                if (auto s = shifted(*f, nullptr, this, 1, 1, column, count)) {
                    p = s->toA1(1, 1);
                    changed = true;
                }
            } catch (const FormulaError&) {
                // A name this engine cannot read stays as it is.
            }
        }
        if (changed) n.refersTo = parts.join(QLatin1Char(','));
    }

    shiftKeptSheetParts(book_, *this, column, count);
    // As in the spreadsheet, a change of structure ends copy mode: the copied cells moved.
    book_.application().setCutCopyMode(false);
    book_.rebuildDependencies();
    book_.setSaved(false);
}

}  // namespace sheet
