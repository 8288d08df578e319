// The row-paged cell store of a worksheet.
#include "platform/sheet/CellStore.h"

namespace sheet {

void CellStore::clear() {
    pages_.clear();
    size_ = 0;
}

CellStore::Row* CellStore::row(int r) {
    const size_t p = size_t(r) >> PageBits;
    if (r < 0 || p >= pages_.size() || !pages_[p]) return nullptr;
    return &(*pages_[p])[size_t(r & (PageRows - 1))];
}

const CellStore::Row* CellStore::row(int r) const {
    const size_t p = size_t(r) >> PageBits;
    if (r < 0 || p >= pages_.size() || !pages_[p]) return nullptr;
    return &(*pages_[p])[size_t(r & (PageRows - 1))];
}

CellStore::Row& CellStore::rowSlot(int r) {
    const size_t p = size_t(r) >> PageBits;
    if (p >= pages_.size()) pages_.resize(p + 1);
    if (!pages_[p]) pages_[p] = std::make_unique<Page>();
    return (*pages_[p])[size_t(r & (PageRows - 1))];
}

Cell* CellStore::find(int r, int column) {
    Row* cells = row(r);
    if (!cells) return nullptr;
    auto it = lowerBound(*cells, column);
    return it != cells->end() && it->column == column ? &it->cell : nullptr;
}

const Cell* CellStore::find(int r, int column) const {
    const Row* cells = row(r);
    if (!cells) return nullptr;
    auto it = lowerBound(*cells, column);
    return it != cells->end() && it->column == column ? &it->cell : nullptr;
}

Cell& CellStore::ensure(int r, int column) {
    Row& cells = rowSlot(r);
    // A new row is usually filled like the one above it: room for as many cells at once.
    if (cells.capacity() == 0)
        if (const Row* above = row(r - 1); above && above->size() > 1) cells.reserve(above->size());
    // Rows are mostly filled left to right: the new cell usually goes at the end.
    if (cells.empty() || cells.back().column < column) {
        ++size_;
        return cells.emplace_back(Entry{column, Cell()}).cell;
    }
    auto it = lowerBound(cells, column);
    if (it != cells.end() && it->column == column) return it->cell;
    ++size_;
    return cells.insert(it, Entry{column, Cell()})->cell;
}

void CellStore::erase(int r, int column) {
    Row* cells = row(r);
    if (!cells) return;
    auto it = lowerBound(*cells, column);
    if (it == cells->end() || it->column != column) return;
    cells->erase(it);
    --size_;
}

CellStore::Row CellStore::takeColumns(int r, int col1, int col2) {
    Row* cells = row(r);
    if (!cells || cells->empty()) return {};
    auto lo = lowerBound(*cells, col1), hi = lowerBound(*cells, col2 + 1);
    Row out;
    if (lo == cells->begin() && hi == cells->end()) {
        out.swap(*cells);  // the whole row: its memory moves along
    } else {
        out.assign(std::make_move_iterator(lo), std::make_move_iterator(hi));
        cells->erase(lo, hi);
    }
    size_ -= out.size();
    return out;
}

void CellStore::putColumns(int r, Row cells) {
    if (cells.empty()) return;
    Row& slot = rowSlot(r);
    size_ += cells.size();
    if (slot.empty()) {
        slot = std::move(cells);
        return;
    }
    auto at = lowerBound(slot, cells.front().column);
    slot.insert(at, std::make_move_iterator(cells.begin()), std::make_move_iterator(cells.end()));
}

void CellStore::shiftRow(Row& cells, int column, int count, int lastColumn) {
    if (cells.empty() || cells.back().column < column - 1) return;
    for (auto m = lowerBound(cells, column); m != cells.end(); ++m) m->column += count;
    while (!cells.empty() && cells.back().column > lastColumn) {
        cells.pop_back();
        --size_;
    }
    auto it = lowerBound(cells, column);
    if (column > 1 && it != cells.begin() && std::prev(it)->column == column - 1 &&
        std::prev(it)->cell.xf != 0) {
        const int xf = std::prev(it)->cell.xf;
        Row added;
        added.reserve(size_t(count));
        for (int c = column; c < column + count && c <= lastColumn; ++c) {
            Cell made;
            made.xf = xf;
            added.push_back(Entry{c, std::move(made)});
        }
        size_ += added.size();
        cells.insert(it, std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    }
}

}  // namespace sheet
