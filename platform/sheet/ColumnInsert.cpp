// Insertion of whole columns: cells, formats and widths move right, and every reference to the
// moved cells (in formulas of all sheets and in defined names), merge and hyperlink follows.
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

namespace sheet {

namespace {

// The formula as held at (row, newCol) after the insertion, seen before it from (row, oldCol);
// nullptr when nothing in it changes.
std::shared_ptr<const Formula> shifted(const Formula& f, Worksheet* host, Worksheet* target, int oldCol, int newCol,
                                       int at, int count) {
    auto copy = std::make_shared<Formula>(f);
    bool changed = false;
    for (FormulaNode& n : copy->nodes) {
        if (n.kind != FormulaNode::Cell && n.kind != FormulaNode::Area) continue;
        if (n.span == FormulaNode::Rows) continue;
        Worksheet* ws = n.hasSheet ? n.sheet : host;
        for (RefEnd* e : {&n.a, &n.b}) {
            int col = e->absCol(oldCol);
            if (ws == target && col >= at) col += count;
            int stored = e->colAbs ? col : col - newCol;
            if (stored != e->col) {
                e->col = stored;
                changed = true;
            }
        }
    }
    return changed ? copy : nullptr;
}

void shiftRect(Rect& r, int at, int count) {
    if (r.col1 >= at) r.col1 = std::min(r.col1 + count, MaxColumns);
    if (r.col2 >= at) r.col2 = std::min(r.col2 + count, MaxColumns);
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
        throw InvalidArgument(QStringLiteral("Nie można wstawić %1 kolumn przed kolumną %2").arg(count).arg(column));
    for (const auto& [k, c] : cells_)
        if (columnOf(k) > MaxColumns - count && !c.isBlank())
            throw InvalidArgument(QStringLiteral("Nie można przesunąć niepustych komórek poza arkusz"));

    // Formulas of every sheet, seen from their positions before the move.
    for (int i = 1; i <= book_.worksheetCount(); ++i) {
        Worksheet& ws = book_.worksheets(i);
        ws.forEachCell([&](int, int col, Cell& c) {
            if (!c.formula) return;
            const int newCol = (&ws == this && col >= column) ? col + count : col;
            if (auto f = shifted(*c.formula, &ws, this, col, newCol, column, count)) c.formula = f;
        });
    }

    // Cells move right; the inserted columns take the formats of the column on their left.
    std::map<quint64, Cell> moved;
    for (auto& [k, c] : cells_) {
        int r = rowOf(k), col = columnOf(k);
        if (col >= column) col += count;
        moved.emplace(key(r, col), std::move(c));
    }
    if (column > 1) {
        std::vector<std::pair<int, int>> leftFormats;
        for (auto& [k, c] : moved)
            if (columnOf(k) == column - 1 && c.xf != 0) leftFormats.emplace_back(rowOf(k), c.xf);
        for (auto [r, xf] : leftFormats)
            for (int col = column; col < column + count; ++col) moved[key(r, col)].xf = xf;
    }
    cells_ = std::move(moved);

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

    book_.rebuildDependencies();
    book_.setSaved(false);
}

}  // namespace sheet
