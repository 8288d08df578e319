// Recomputing every formula of a workbook at once: the formulas are numbered in sheet and cell
// order and their precedence kept in flat arrays, so the work stays in order through memory
// whatever the size of the sheet (sorting and pasting recompute this way).
#include "platform/sheet/Evaluator.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <algorithm>

namespace sheet {

void Workbook::calculate() {
    checkOpen();
    // The incremental graph is rebuilt when the next single cell changes.
    rebuildDependencies();

    struct FormulaCell {
        Worksheet* ws;
        int row, col;
        Cell* cell;  // cells stay in place while formulas are computed
    };
    std::vector<FormulaCell> formulas;
    std::vector<size_t> firstOf(sheets_.size() + 1, 0);  // formulas of sheet s: [firstOf[s], firstOf[s+1])
    std::vector<quint64> keys;                           // their cell keys, ascending within a sheet
    size_t cells = 0;
    for (const auto& ws : sheets_) cells += size_t(ws->cellCount());
    formulas.reserve(cells);
    keys.reserve(cells);
    for (size_t s = 0; s < sheets_.size(); ++s) {
        firstOf[s] = formulas.size();
        Worksheet* ws = sheets_[s].get();
        ws->forEachCell([&](int row, int col, Cell& c) {
            if (!c.formula) return;
            formulas.push_back({ws, row, col, &c});
            keys.push_back(Worksheet::key(row, col));
        });
    }
    firstOf[sheets_.size()] = formulas.size();
    auto sheetIndex = [&](const Worksheet* ws) -> int {
        for (size_t s = 0; s < sheets_.size(); ++s)
            if (sheets_[s].get() == ws) return int(s);
        return -1;
    };
    // The formulas of a sheet inside a rectangle, row by row.
    auto eachFormulaIn = [&](int s, const Rect& r, auto&& fn) {
        const auto begin = keys.begin() + qsizetype(firstOf[size_t(s)]);
        const auto end = keys.begin() + qsizetype(firstOf[size_t(s) + 1]);
        for (int row = r.row1; row <= r.row2; ++row) {
            auto it = std::lower_bound(begin, end, Worksheet::key(row, r.col1));
            for (; it != end && *it <= Worksheet::key(row, r.col2); ++it) fn(size_t(it - keys.begin()));
            if (it == end) break;
        }
    };

    // Edges from a precedent formula to the formulas using it, counted then laid out flat.
    std::vector<std::pair<quint32, quint32>> edges;
    edges.reserve(formulas.size() * 2);
    std::vector<quint32> indegree(formulas.size(), 0);
    for (size_t i = 0; i < formulas.size(); ++i) {
        const FormulaCell& f = formulas[i];
        forEachReference(*f.cell->formula, *f.ws, f.row, f.col, [&](Worksheet* tws, const Rect& r) {
            const int s = sheetIndex(tws);
            if (s < 0) return;
            eachFormulaIn(s, r, [&](size_t j) {
                edges.emplace_back(quint32(j), quint32(i));
                ++indegree[i];
            });
        });
    }
    std::vector<quint32> start(formulas.size() + 1, 0);
    for (const auto& e : edges) ++start[e.first + 1];
    for (size_t i = 0; i < formulas.size(); ++i) start[i + 1] += start[i];
    std::vector<quint32> targets(edges.size());
    {
        std::vector<quint32> fill(start.begin(), start.end() - 1);
        for (const auto& e : edges) targets[fill[e.first]++] = e.second;
    }
    edges.clear();
    edges.shrink_to_fit();

    // Each formula after its precedents; the ones left over lie on a cycle and get #REF!.
    std::vector<quint32> ready;
    ready.reserve(formulas.size());
    for (size_t i = 0; i < formulas.size(); ++i)
        if (indegree[i] == 0) ready.push_back(quint32(i));
    for (size_t next = 0; next < ready.size(); ++next) {
        const quint32 i = ready[next];
        const FormulaCell& f = formulas[i];
        f.cell->value = evaluateFormula(*f.cell->formula, *f.ws, f.row, f.col);
        for (quint32 k = start[i]; k < start[i + 1]; ++k)
            if (--indegree[targets[k]] == 0) ready.push_back(targets[k]);
    }
    if (ready.size() < formulas.size())
        for (size_t i = 0; i < formulas.size(); ++i)
            if (indegree[i] > 0) formulas[i].cell->value = Value(ErrorCode::Ref);
}

}  // namespace sheet
