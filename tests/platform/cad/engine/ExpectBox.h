// A box compared corner by corner, within a tolerance.
#pragma once

#include "platform/cad/engine/Geometry.h"

#include <gtest/gtest.h>

namespace cadtest {

inline void expectBox(const cad::db::Box& b, double x0, double y0, double x1, double y1, double tol = 1e-9) {
    ASSERT_FALSE(b.isEmpty());
    EXPECT_NEAR(b.min.x, x0, tol);
    EXPECT_NEAR(b.min.y, y0, tol);
    EXPECT_NEAR(b.max.x, x1, tol);
    EXPECT_NEAR(b.max.y, y1, tol);
}

}  // namespace cadtest
