// Building and querying the grid: about four items a cell; boxes covering more than 64 cells are
// kept apart so that one huge entity does not fill the whole grid.
#include "cadhost/SpatialIndex.h"

#include <algorithm>
#include <cmath>

namespace cadhost {

using cad::db::Box;

int SpatialIndex::cellX(double x) const {
    return std::clamp(int((x - extents_.min.x) / cellW_), 0, nx_ - 1);
}
int SpatialIndex::cellY(double y) const {
    return std::clamp(int((y - extents_.min.y) / cellH_), 0, ny_ - 1);
}

void SpatialIndex::build(std::vector<Box> boxes) {
    boxes_ = std::move(boxes);
    extents_ = Box();
    for (const Box& b : boxes_) extents_.add(b);
    stamp_.assign(boxes_.size(), 0);
    stampNow_ = 0;
    large_.clear();
    cellItems_.clear();
    if (extents_.isEmpty()) {
        nx_ = ny_ = 0;
        cellStart_.assign(1, 0);
        return;
    }
    const double w = std::max(extents_.max.x - extents_.min.x, 1e-9);
    const double h = std::max(extents_.max.y - extents_.min.y, 1e-9);
    const double cells = std::clamp(double(boxes_.size()) / 4.0, 1.0, 1e6);
    const double side = std::sqrt(w * h / cells);
    nx_ = std::clamp(int(std::ceil(w / side)), 1, 2048);
    ny_ = std::clamp(int(std::ceil(h / side)), 1, 2048);
    cellW_ = w / nx_;
    cellH_ = h / ny_;

    // Two passes: count per cell, then fill (a compact layout without per-cell vectors).
    std::vector<uint32_t> count(size_t(nx_) * ny_ + 1, 0);
    auto forCells = [&](const Box& b, auto&& f) {
        const int x0 = cellX(b.min.x), x1 = cellX(b.max.x), y0 = cellY(b.min.y), y1 = cellY(b.max.y);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) f(size_t(y) * nx_ + x);
    };
    std::vector<bool> isLarge(boxes_.size(), false);
    for (uint32_t i = 0; i < boxes_.size(); ++i) {
        const Box& b = boxes_[i];
        if (b.isEmpty()) continue;
        const long span = long(cellX(b.max.x) - cellX(b.min.x) + 1) * (cellY(b.max.y) - cellY(b.min.y) + 1);
        if (span > 64) {
            isLarge[i] = true;
            large_.push_back(i);
            continue;
        }
        forCells(b, [&](size_t c) { ++count[c]; });
    }
    cellStart_.assign(count.size(), 0);
    uint32_t run = 0;
    for (size_t c = 0; c + 1 < count.size(); ++c) {
        cellStart_[c] = run;
        run += count[c];
    }
    cellStart_.back() = run;
    cellItems_.resize(run);
    std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end());
    for (uint32_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i].isEmpty() || isLarge[i]) continue;
        forCells(boxes_[i], [&](size_t c) { cellItems_[fill[c]++] = i; });
    }
}

std::vector<uint32_t> SpatialIndex::query(const Box& area) const {
    std::vector<uint32_t> out;
    if (nx_ == 0 || area.isEmpty() || !area.overlaps(extents_)) return out;
    // The whole drawing in view: every item, no grid walk needed.
    if (area.min.x <= extents_.min.x && area.min.y <= extents_.min.y && area.max.x >= extents_.max.x &&
        area.max.y >= extents_.max.y) {
        out.reserve(boxes_.size());
        for (uint32_t i = 0; i < boxes_.size(); ++i)
            if (!boxes_[i].isEmpty()) out.push_back(i);
        return out;
    }
    if (++stampNow_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        stampNow_ = 1;
    }
    const int x0 = cellX(area.min.x), x1 = cellX(area.max.x), y0 = cellY(area.min.y), y1 = cellY(area.max.y);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const size_t c = size_t(y) * nx_ + x;
            for (uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
                const uint32_t i = cellItems_[k];
                if (stamp_[i] == stampNow_) continue;
                stamp_[i] = stampNow_;
                if (boxes_[i].overlaps(area)) out.push_back(i);
            }
        }
    for (uint32_t i : large_)
        if (boxes_[i].overlaps(area)) out.push_back(i);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace cadhost
