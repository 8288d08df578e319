// The grid index: what a query finds, in which order, and huge items kept apart.
#include "cadhost/SpatialIndex.h"

#include <gtest/gtest.h>
#include <random>

using cad::db::Box;
using cadhost::SpatialIndex;

namespace {
Box box(double x0, double y0, double x1, double y1) {
    Box b;
    b.add(x0, y0);
    b.add(x1, y1);
    return b;
}
}  // namespace

TEST(CadHostSpatialIndex, QueryMatchesBruteForceInItemOrder) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(0, 1000), size(0, 20);
    std::vector<Box> boxes;
    for (int i = 0; i < 5000; ++i) {
        const double x = pos(rng), y = pos(rng);
        boxes.push_back(box(x, y, x + size(rng), y + size(rng)));
    }
    boxes.push_back(box(-500, -500, 1500, 1500));  // spans every cell
    boxes.push_back(Box());                        // no extent: never found
    SpatialIndex index;
    index.build(boxes);
    for (int q = 0; q < 50; ++q) {
        const double x = pos(rng), y = pos(rng);
        const Box area = box(x, y, x + 60, y + 40);
        std::vector<uint32_t> expected;
        for (uint32_t i = 0; i < boxes.size(); ++i)
            if (boxes[i].overlaps(area)) expected.push_back(i);
        EXPECT_EQ(index.query(area), expected);
    }
}

TEST(CadHostSpatialIndex, WholeViewAndEmptyCases) {
    SpatialIndex index;
    index.build({});
    EXPECT_TRUE(index.query(box(0, 0, 10, 10)).empty());
    index.build({box(0, 0, 1, 1), Box(), box(5, 5, 6, 6)});
    EXPECT_EQ(index.query(box(-100, -100, 100, 100)), (std::vector<uint32_t>{0, 2}));
    EXPECT_TRUE(index.query(box(2, 2, 3, 3)).empty());
    EXPECT_EQ(index.query(box(1, 1, 1, 1)), (std::vector<uint32_t>{0}));  // touching counts
    EXPECT_DOUBLE_EQ(index.extents().max.x, 6);
}
