// A uniform grid over the bounding boxes of a drawing's top-level entities, so that painting a
// small part of a large base map, hit tests and snaps look at the few entities there.
#pragma once

#include "platform/cad/engine/Geometry.h"

#include <cstdint>
#include <vector>

namespace cadhost {

class SpatialIndex {
public:
    // Items are numbered by their position in `boxes`; answers come back in that order.
    void build(std::vector<cad::db::Box> boxes);
    // Items whose box overlaps the area, ascending.
    std::vector<uint32_t> query(const cad::db::Box& area) const;
    const cad::db::Box& extents() const { return extents_; }
    const cad::db::Box& box(uint32_t item) const { return boxes_[item]; }
    size_t size() const { return boxes_.size(); }

private:
    int cellX(double x) const;
    int cellY(double y) const;

    std::vector<cad::db::Box> boxes_;
    cad::db::Box extents_;
    int nx_ = 0, ny_ = 0;
    double cellW_ = 1, cellH_ = 1;
    std::vector<uint32_t> cellStart_;  // nx*ny+1 offsets into cellItems_
    std::vector<uint32_t> cellItems_;
    std::vector<uint32_t> large_;  // items spanning many cells, tested one by one
    mutable std::vector<uint32_t> stamp_;
    mutable uint32_t stampNow_ = 0;
};

}  // namespace cadhost
