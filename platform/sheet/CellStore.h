// The cells of a worksheet, kept row by row in flat memory: a directory of pages of rows, each row
// a vector of its cells in column order, so a look-up touches one page pointer and one short row,
// and walks, sorting and column shifts run in order through contiguous memory.
#pragma once

#include "platform/sheet/Address.h"
#include "platform/sheet/Formula.h"
#include "platform/sheet/Value.h"

#include <QString>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace sheet {

// A file's formula this engine does not compute (a function it lacks, syntax it cannot read, an
// array formula): written back as it was read, with its cached value.
struct KeptFormula {
    QString text;                                         // A1, without "="
    std::vector<std::pair<QString, QString>> attributes;  // of the file's <f> element (t, ref, si)
    bool sharedMember = false;                            // written as an empty <f> naming its shared group
    // Why the engine could not read it (nesting past the limit, a stray character); empty for a
    // formula it reads but does not compute.
    QString unreadable;
};

// One stored cell. `xf` is the index of its format in the workbook's format table.
struct Cell {
    Value value;
    std::shared_ptr<const Formula> formula;
    std::shared_ptr<const KeptFormula> kept;
    int xf = 0;
    // Read as an ISO date (t="d"): the value is its serial number, written back as a date.
    bool isoDate = false;
    // The formula's #REF! comes from a circular reference: it stands on a cycle of formulas or
    // reads one, so the value is no result of its own.
    bool circular = false;
    bool hasFormula() const { return formula || kept; }
    bool isBlank() const { return value.isEmpty() && !hasFormula() && xf == 0; }
};

// Adding or removing a cell may move the other cells of its row in memory: a pointer to a cell is
// good until the next change of the set of cells in its row.
class CellStore {
public:
    struct Entry {
        int column;
        Cell cell;
    };
    using Row = std::vector<Entry>;  // in column order

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear();

    Cell* find(int row, int column);
    const Cell* find(int row, int column) const;
    // The cell, made empty when missing.
    Cell& ensure(int row, int column);
    void erase(int row, int column);

    // The row's cells; nullptr when the row was never used.
    Row* row(int r);
    const Row* row(int r) const;
    // Takes the row's cells of columns col1..col2 out, in column order.
    Row takeColumns(int r, int col1, int col2);
    // Puts cells (in column order, into a gap of the row that takeColumns left) back.
    void putColumns(int r, Row cells);
    // Moves the cells from `column` on `count` columns right; the cells new at column..column+count-1
    // take the format of a formatted cell on their left. Cells pushed past `lastColumn` are dropped.
    // `visit(row, column, Cell&)` sees each cell where it stood before, in the same pass.
    template <class Fn>
    void insertColumns(int column, int count, int lastColumn, Fn&& visit) {
        eachRow(*this, [&](int r, Row& cells) {
            for (Entry& e : cells) visit(r, e.column, e.cell);
            shiftRow(cells, column, count, lastColumn);
        });
    }
    void insertColumns(int column, int count, int lastColumn) {
        insertColumns(column, count, lastColumn, [](int, int, Cell&) {});
    }
    // One past the last row that may hold cells.
    int rowEnd() const { return int(pages_.size()) << PageBits; }

    // The cells in row and column order: fn(row, column, Cell&).
    template <class Fn>
    void forEach(Fn&& fn) {
        eachRow(*this, [&](int r, Row& cells) {
            for (Entry& e : cells) fn(r, e.column, e.cell);
        });
    }
    template <class Fn>
    void forEach(Fn&& fn) const {
        eachRow(*this, [&](int r, const Row& cells) {
            for (const Entry& e : cells) fn(r, e.column, e.cell);
        });
    }
    // The cells inside the rectangle, row by row: fn(row, column, Cell&). Rows never used cost a
    // page at a time, so whole columns are walked at the price of the stored rows.
    template <class Fn>
    void forEachIn(const Rect& r, Fn&& fn) {
        const int end = std::min(r.row2 + 1, rowEnd());
        for (int rr = std::max(r.row1, 0); rr < end;) {
            const auto& page = pages_[size_t(rr >> PageBits)];
            if (!page) {
                rr = ((rr >> PageBits) + 1) << PageBits;
                continue;
            }
            Row& cells = (*page)[size_t(rr & (PageRows - 1))];
            if (!cells.empty() && cells.front().column <= r.col2 && cells.back().column >= r.col1)
                for (auto it = lowerBound(cells, r.col1); it != cells.end() && it->column <= r.col2; ++it)
                    fn(rr, it->column, it->cell);
            ++rr;
        }
    }
    // The used rows in order: fn(row, Row&). The function may change cells, not add or remove them.
    template <class Fn>
    void forEachRow(Fn&& fn) {
        eachRow(*this, [&](int r, Row& cells) {
            if (!cells.empty()) fn(r, cells);
        });
    }
    template <class Fn>
    void forEachRow(Fn&& fn) const {
        eachRow(*this, [&](int r, const Row& cells) {
            if (!cells.empty()) fn(r, cells);
        });
    }

    static Row::iterator lowerBound(Row& cells, int column) {
        return std::lower_bound(cells.begin(), cells.end(), column,
                                [](const Entry& e, int c) { return e.column < c; });
    }
    static Row::const_iterator lowerBound(const Row& cells, int column) {
        return std::lower_bound(cells.begin(), cells.end(), column,
                                [](const Entry& e, int c) { return e.column < c; });
    }

private:
    static constexpr int PageBits = 8, PageRows = 1 << PageBits;
    using Page = std::array<Row, PageRows>;
    Row& rowSlot(int r);  // makes the row's page
    // Every row slot of the pages made, in order: fn(row, Row&).
    template <class Self, class Fn>
    static void eachRow(Self& self, Fn&& fn) {
        for (size_t p = 0; p < self.pages_.size(); ++p) {
            if (!self.pages_[p]) continue;
            auto& page = *self.pages_[p];
            for (int s = 0; s < PageRows; ++s) fn(int(p << PageBits) + s, page[size_t(s)]);
        }
    }
    void shiftRow(Row& cells, int column, int count, int lastColumn);

    std::vector<std::unique_ptr<Page>> pages_;  // by row >> PageBits
    size_t size_ = 0;
};

}  // namespace sheet
