// Pasting the copied range at the active cell: values, formulas (relative references follow the
// new place), formats and the merges inside the copied range.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

namespace sheet {

void Worksheet::paste() {
    book_.checkOpen();
    Application& app = book_.application();
    const auto& clip = app.clipboard();
    if (!clip) throw InvalidArgument(QStringLiteral("Brak skopiowanego zakresu do wklejenia"));
    Worksheet& src = clip->worksheet();
    const Rect from = clip->rect();
    if (from.cellCount() > (1 << 22))
        throw NotSupported(QStringLiteral("Zakres do wklejenia jest zbyt duży"));
    const int dr = activeRow_ - from.row1, dc = activeCol_ - from.col1;
    const Rect to{from.row1 + dr, from.col1 + dc, from.row2 + dr, from.col2 + dc};
    if (to.row2 > MaxRows || to.col2 > MaxColumns)
        throw InvalidArgument(QStringLiteral("Wklejany zakres nie mieści się w arkuszu"));

    Workbook& srcBook = src.parent();
    struct Copied {
        int row, column;
        Cell cell;
    };
    std::vector<Copied> copied;
    src.forEachCell(from, [&](int r, int c, Cell& cell) {
        Cell copy = cell;
        if (&srcBook != &book_) copy.xf = book_.formatIndex(srcBook.format(cell.xf), 0);
        if (copy.kept) copy.kept = movedKeptFormula(copy.kept, src, r, c, r + dr, c + dc);
        copied.push_back({r + dr, c + dc, std::move(copy)});
    });
    std::vector<Rect> merges;
    for (const Rect& m : src.merges())
        if (from.contains(m.row1, m.col1) && from.contains(m.row2, m.col2))
            merges.push_back({m.row1 + dr, m.col1 + dc, m.row2 + dr, m.col2 + dc});

    for (int r = to.row1; r <= to.row2; ++r) cells_.takeColumns(r, to.col1, to.col2);
    std::erase_if(merges_, [&](const Rect& m) { return m.intersects(to); });
    for (Copied& c : copied) cells_.ensure(c.row, c.column) = std::move(c.cell);
    for (const Rect& m : merges) merges_.push_back(m);

    setSelection(to, to.row1, to.col1);
    book_.calculate();
    book_.setSaved(false);
}

}  // namespace sheet
