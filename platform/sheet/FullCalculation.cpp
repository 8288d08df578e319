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
        Cell* cell;  // cells stay in place while formulas are computed
        int row, col;
    };
    std::vector<FormulaCell> formulas;
    std::vector<size_t> firstOf(sheets_.size() + 1, 0);  // formulas of sheet s: [firstOf[s], firstOf[s+1])
    // The formulas of sheet s, row r: [rowStart[s][r], rowStart[s][r + 1]), in column order.
    std::vector<std::vector<quint32>> rowStart(sheets_.size());
    size_t cells = 0;
    for (const auto& ws : sheets_) cells += size_t(ws->cellCount());
    formulas.reserve(cells);
    for (size_t s = 0; s < sheets_.size(); ++s) {
        firstOf[s] = formulas.size();
        std::vector<quint32>& starts = rowStart[s];
        sheets_[s]->cellMap().forEachRow([&](int row, CellStore::Row& cells) {
            const quint32 first = quint32(formulas.size());
            for (CellStore::Entry& e : cells)
                if (e.cell.formula) formulas.push_back({&e.cell, row, e.column});
            if (formulas.size() == first) return;
            starts.resize(size_t(row) + 1, first);  // rows without formulas start where this one does
            starts.push_back(quint32(formulas.size()));
        });
    }
    firstOf[sheets_.size()] = formulas.size();
    auto sheetOf = [&](size_t i) {
        size_t s = 0;
        while (firstOf[s + 1] <= i) ++s;
        return sheets_[s].get();
    };
    auto sheetIndex = [&](const Worksheet* ws) -> int {
        for (size_t s = 0; s < sheets_.size(); ++s)
            if (sheets_[s].get() == ws) return int(s);
        return -1;
    };
    // The formulas of a sheet inside a rectangle, row by row.
    auto eachFormulaIn = [&](int s, const Rect& r, auto&& fn) {
        const std::vector<quint32>& starts = rowStart[size_t(s)];
        const int last = std::min(r.row2, int(starts.size()) - 2);
        for (int row = std::max(r.row1, 0); row <= last; ++row)
            for (quint32 k = starts[size_t(row)]; k < starts[size_t(row) + 1]; ++k) {
                const int col = formulas[k].col;
                if (col > r.col2) break;
                if (col >= r.col1) fn(size_t(k));
            }
    };

    // Edges from a precedent formula to the formulas using it, counted then laid out flat.
    std::vector<std::pair<quint32, quint32>> edges;
    edges.reserve(formulas.size() * 2);
    std::vector<quint32> indegree(formulas.size(), 0);
    for (size_t s = 0, i = 0; s < sheets_.size(); ++s)
        for (; i < firstOf[s + 1]; ++i) {
            const FormulaCell& f = formulas[i];
            forEachReference(*f.cell->formula, *sheets_[s], f.row, f.col, [&](Worksheet* tws, const Rect& r) {
                const int t = sheetIndex(tws);
                if (t < 0) return;
                eachFormulaIn(t, r, [&](size_t j) {
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

    // Each formula after its precedents; the ones left over lie on a cycle and get #REF!. A formula
    // whose precedents are all done is computed at once, depth first: the dependants of a row are
    // mostly in that row, so the work passes through the sheet once rather than once per level.
    constexpr quint32 Done = 0xffffffffu;
    std::vector<quint32> ready;
    size_t done = 0;
    for (size_t first = 0; first < formulas.size(); ++first) {
        if (indegree[first] != 0) continue;
        ready.push_back(quint32(first));
        while (!ready.empty()) {
            const quint32 i = ready.back();
            ready.pop_back();
            indegree[i] = Done;
            ++done;
            const FormulaCell& f = formulas[i];
            f.cell->value = evaluateFormula(*f.cell->formula, *sheetOf(i), f.row, f.col);
            for (quint32 k = start[i + 1]; k-- > start[i];)
                if (--indegree[targets[k]] == 0) ready.push_back(targets[k]);
        }
    }
    if (done < formulas.size())
        for (size_t i = 0; i < formulas.size(); ++i)
            if (indegree[i] != Done) formulas[i].cell->value = Value(ErrorCode::Ref);
}

}  // namespace sheet
