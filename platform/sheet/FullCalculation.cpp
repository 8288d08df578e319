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

    // The formulas each formula reads, one run per formula in formula order: written as found,
    // with nothing to sort or count beforehand.
    std::vector<quint32> readsStart(formulas.size() + 1, 0), reads;
    reads.reserve(formulas.size() * 2);
    for (size_t s = 0, i = 0; s < sheets_.size(); ++s)
        for (; i < firstOf[s + 1]; ++i) {
            const FormulaCell& f = formulas[i];
            forEachReference(*f.cell->formula, *sheets_[s], f.row, f.col, [&](Worksheet* tws, const Rect& r) {
                const int t = sheetIndex(tws);
                if (t >= 0) eachFormulaIn(t, r, [&](size_t j) { reads.push_back(quint32(j)); });
            });
            readsStart[i + 1] = quint32(reads.size());
        }

    // Each formula after the formulas it reads, in sheet order, going depth first into a precedent
    // not yet computed: the precedents of a formula mostly stand in its own row, so the work passes
    // through the sheet once. A formula on a cycle, or reading one, gets #REF!.
    enum : quint8 { Unseen, Open, Computed, Failed };
    std::vector<quint8> state;
    struct Step {
        quint32 formula, next;  // the next of its precedents to look at
        bool failed;
    };
    std::vector<Step> stack;
    // INDIRECT and OFFSET read cells no reference names: the pass is made again while one of them
    // changes, so that they see the formulas they read computed (one more pass per level of them).
    bool anyVolatile = false;
    for (const FormulaCell& f : formulas) anyVolatile = anyVolatile || f.cell->formula->isVolatile;
    bool volatileChanged = true;
    for (int pass = 0; volatileChanged && pass < (anyVolatile ? 8 : 1); ++pass) {
        volatileChanged = false;
        state.assign(formulas.size(), Unseen);
        for (size_t root = 0; root < formulas.size(); ++root) {
            if (state[root] != Unseen) continue;
            state[root] = Open;
            stack.push_back({quint32(root), readsStart[root], false});
            while (!stack.empty()) {
                Step& top = stack.back();
                const quint32 i = top.formula;
                bool descended = false;
                for (; top.next < readsStart[i + 1]; ++top.next) {
                    const quint32 j = reads[top.next];
                    if (state[j] == Unseen) {
                        state[j] = Open;
                        stack.push_back({j, readsStart[j], false});  // `top` is looked at again on return
                        descended = true;
                        break;
                    }
                    if (state[j] != Computed) top.failed = true;  // open: a cycle; failed: reads one
                }
                if (descended) continue;
                const FormulaCell& f = formulas[i];
                Value v = top.failed ? Value(ErrorCode::Ref)
                                     : evaluateFormula(*f.cell->formula, *sheetOf(i), f.row, f.col);
                if (f.cell->formula->isVolatile && pass > 0 && v != f.cell->value) volatileChanged = true;
                if (anyVolatile && pass == 0 && f.cell->formula->isVolatile) volatileChanged = true;
                f.cell->value = std::move(v);
                f.cell->circular = top.failed;
                state[i] = top.failed ? Failed : Computed;
                stack.pop_back();
            }
        }
    }
}

}  // namespace sheet
