// The native stand-in for the template's sorting macro: sorts the selected rows by the first
// and second columns of the selection in natural order, rows outside the selection untouched.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <algorithm>

namespace sheet {

namespace {

// Texts with their digit runs compared as numbers: "K2" before "K10". Compared in place: the
// sort calls it O(n log n) times.
int naturalCompare(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype si = i, sj = j;
            while (i < a.size() && a[i].isDigit()) ++i;
            while (j < b.size() && b[j].isDigit()) ++j;
            // Leading zeros dropped (keeping one digit), then the longer run is the larger number.
            while (i - si > 1 && a[si] == QLatin1Char('0')) ++si;
            while (j - sj > 1 && b[sj] == QLatin1Char('0')) ++sj;
            if (i - si != j - sj) return i - si < j - sj ? -1 : 1;
            for (qsizetype k = 0; k < i - si; ++k)
                if (a[si + k] != b[sj + k]) return a[si + k] < b[sj + k] ? -1 : 1;
            continue;
        }
        const char32_t ca = QChar::toCaseFolded(char32_t(a[i].unicode()));
        const char32_t cb = QChar::toCaseFolded(char32_t(b[j].unicode()));
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// Ascending order as the spreadsheet sorts: numbers, texts, booleans, errors; empty cells last.
int compareValues(const Value& a, const Value& b) {
    auto rank = [](const Value& v) {
        switch (v.type()) {
            case Value::Type::Number:
                return 0;
            case Value::Type::Text:
                return 1;
            case Value::Type::Boolean:
                return 2;
            case Value::Type::Error:
                return 3;
            case Value::Type::Empty:
                return 4;
        }
        return 4;
    };
    if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
    if (a.isText()) return naturalCompare(a.text(), b.text());
    if (a.isNumber() || a.isBoolean()) return a.number() < b.number() ? -1 : a.number() > b.number() ? 1 : 0;
    return 0;
}

}  // namespace

void SortSelectedRows(Application& app) {
    Worksheet* ws = app.activeSheet();
    if (!ws) throw NotFound(QStringLiteral("Brak aktywnego arkusza do sortowania"));
    Rect sel = ws->selection();
    const Rect used = ws->usedRect();
    sel.row2 = std::min(sel.row2, used.row2);
    sel.col2 = std::min(sel.col2, std::max(used.col2, sel.col1));
    if (sel.row2 <= sel.row1) return;

    struct Row {
        CellStore::Row cells;  // the selection's part of the row, taken out
        Value key1, key2;
        int row = 0;  // before the sort
    };
    std::vector<Row> rows(size_t(sel.rows()));
    CellStore& store = ws->cellMap();
    for (int r = sel.row1; r <= sel.row2; ++r) {
        Row& row = rows[size_t(r - sel.row1)];
        row.row = r;
        row.key1 = ws->valueAt(r, sel.col1);
        if (sel.col2 > sel.col1) row.key2 = ws->valueAt(r, sel.col1 + 1);
        row.cells = store.takeColumns(r, sel.col1, sel.col2);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (int c = compareValues(a.key1, b.key1)) return c < 0;
        return compareValues(a.key2, b.key2) < 0;
    });
    // Formulas keep their relative references: a row's "R[]" stays its own row at its new place.
    // Formulas kept as read move as the others do: their texts are rewritten for the new row.
    for (size_t i = 0; i < rows.size(); ++i) {
        const int newRow = sel.row1 + int(i);
        for (CellStore::Entry& e : rows[i].cells)
            if (e.cell.kept)
                e.cell.kept = movedKeptFormula(e.cell.kept, *ws, rows[i].row, e.column, newRow, e.column);
        store.putColumns(newRow, std::move(rows[i].cells));
    }
    rows.clear();
    ws->parent().calculate();
    ws->parent().setSaved(false);
}

}  // namespace sheet
