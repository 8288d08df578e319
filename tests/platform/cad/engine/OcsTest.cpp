// The arbitrary axis algorithm against values worked out by hand from the DXF format's rule.
#include "platform/cad/engine/Ocs.h"

#include "platform/cad/engine/Entity.h"

#include <gtest/gtest.h>

#include <cmath>

using cad::db::Ocs;
using cad::db::Point3;

namespace {

void expectNear(const Point3& got, const Point3& want) {
    EXPECT_NEAR(got.x, want.x, 1e-12);
    EXPECT_NEAR(got.y, want.y, 1e-12);
    EXPECT_NEAR(got.z, want.z, 1e-12);
}

}  // namespace

TEST(Ocs, ExtrusionDownMirrorsXAndKeepsY) {
    const Ocs down({0, 0, -1});
    EXPECT_FALSE(down.isWorld());
    EXPECT_TRUE(down.parallelToXY());
    EXPECT_TRUE(down.mirrors());
    // A circle written at OCS (75; 50) with extrusion -Z lies at world (-75; 50).
    expectNear(down.toWorld({75, 50, 3}), {-75, 50, -3});
    expectNear(down.fromWorld({-75, 50, -3}), {75, 50, 3});
    const auto t = down.planTransform(7);
    EXPECT_DOUBLE_EQ(t.determinant(), -1);
    expectNear(t.apply({75, 50, 0}), {-75, 50, 0});
}

TEST(Ocs, WorldAxisAndZeroVectorAreIdentity) {
    for (const Point3& n : {Point3{0, 0, 1}, Point3{0, 0, 0}, Point3{0, 0, 2.5}}) {
        const Ocs o(n);
        EXPECT_TRUE(o.isWorld());
        expectNear(o.toWorld({1, 2, 3}), {1, 2, 3});
    }
}

TEST(Ocs, TiltedExtrusionIsNotParallelAndRoundTrips) {
    // Extrusion along world X: helper axis Z (|Nx| >= 1/64), so X axis = Z x N = (0,1,0).
    const Ocs side({1, 0, 0});
    EXPECT_FALSE(side.parallelToXY());
    expectNear(side.xAxis(), {0, 1, 0});
    expectNear(side.yAxis(), {0, 0, 1});
    // Just inside the threshold the world Y axis is the helper.
    const Ocs nearZ({1.0 / 65, 0, 1});
    EXPECT_FALSE(nearZ.parallelToXY());
    EXPECT_NEAR(nearZ.xAxis().y, 0, 1e-12);
    const Ocs past({1.0 / 63, 0, 1});
    EXPECT_NEAR(past.xAxis().x, 0, 1e-12);
    // At the threshold itself (a unit vector whose X is exactly 1/64) the world Z axis is the helper.
    const Ocs at({1.0 / 64, 0, std::sqrt(1 - 1.0 / 4096)});
    EXPECT_NEAR(at.xAxis().x, 0, 1e-12);
    EXPECT_NEAR(at.xAxis().y, 1, 1e-12);
    const Ocs any({0.3, -0.5, 0.8});
    expectNear(any.fromWorld(any.toWorld({4, -2, 9})), {4, -2, 9});
    // The plan transform is the XY part of toWorld at the given elevation.
    const Point3 w = any.toWorld({4, -2, 9});
    const Point3 p = any.planTransform(9).apply({4, -2, 0});
    EXPECT_NEAR(p.x, w.x, 1e-12);
    EXPECT_NEAR(p.y, w.y, 1e-12);
}

TEST(Ocs, ADirectionOfAnyMagnitudeIsThePlaneOfItsUnitVector) {
    const double third = 1 / std::sqrt(3.0);
    const Ocs unit({third, third, third});
    for (const double scale : {1e308, 1e-170, 4.9e-324 * 8}) {
        SCOPED_TRACE(scale);
        const Point3 n{scale, scale, scale};
        EXPECT_FALSE(cad::db::isWorldExtrusion(n));
        expectNear(cad::db::unitDirection(n), {third, third, third});
        const Ocs o(n);
        EXPECT_FALSE(o.isWorld());
        EXPECT_FALSE(o.parallelToXY());
        expectNear(o.xAxis(), unit.xAxis());
        expectNear(o.yAxis(), unit.yAxis());
        expectNear(o.toWorld({4, -2, 9}), unit.toWorld({4, -2, 9}));
    }
    // The axes themselves at the extremes: up is the world, down mirrors.
    EXPECT_TRUE(cad::db::isWorldExtrusion({0, 0, 1e308}));
    EXPECT_TRUE(cad::db::isWorldExtrusion({0, 0, 1e-300}));
    EXPECT_TRUE(Ocs({0, 0, -1e308}).mirrors());
    EXPECT_TRUE(Ocs({0, 0, -1e-300}).mirrors());
    // Mixed magnitudes: the tiny components are nothing beside the large one.
    expectNear(cad::db::unitDirection({1e-300, -1e300, 0}), {0, -1, 0});
    // Off world Z by 1e-12 at most a direction is world Z (files write 0.9999999...), one step past not.
    EXPECT_TRUE(cad::db::isWorldExtrusion({1e-12, -1e-12, 1}));
    EXPECT_TRUE(cad::db::isWorldExtrusion({1e-12 * 1e300, 0, 1e300}));
    EXPECT_FALSE(cad::db::isWorldExtrusion({2e-12, 0, 1}));
    EXPECT_FALSE(cad::db::isWorldExtrusion({0, -2e-12, 1}));
    // Nothing that is a direction: the world's.
    EXPECT_TRUE(cad::db::isWorldExtrusion({0, 0, 0}));
    const double nan = std::nan(""), inf = INFINITY;
    for (const Point3& n : {Point3{nan, 1, 1}, Point3{1, nan, 1}, Point3{1, 1, nan}, Point3{inf, 1, 1},
                            Point3{1, -inf, 1}, Point3{1, 1, inf}})
        expectNear(cad::db::unitDirection(n), {0, 0, 1});
}
