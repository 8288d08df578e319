// Plane geometry: points, angles, intersections, on-component tests, arc lengths and boxes.
#include "common/Geometry.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

using namespace common;

namespace {

constexpr double kPi = std::numbers::pi;
double deg(double d) {
    return d * kPi / 180;
}

void expectPoint(const PlanePoint& p, double x, double y, double tol = 1e-9) {
    EXPECT_NEAR(p.X, x, tol);
    EXPECT_NEAR(p.Y, y, tol);
}

}  // namespace

TEST(CommonPoints, EqualityWithinOneHundredth) {
    EXPECT_TRUE(ArePointsEqual({0, 0}, {0.00999, -0.00999}));
    EXPECT_FALSE(ArePointsEqual({0, 0}, {0.01, 0}));
    EXPECT_FALSE(ArePointsEqual({0, 0}, {0, -0.02}));
    EXPECT_DOUBLE_EQ(GetDistance({1, 1}, {4, 5}), 5);
}

TEST(CommonDirectionAngle, ZeroToTwoPi) {
    EXPECT_DOUBLE_EQ(GetDirectionAngle({0, 0}, {1, 0}), 0);
    EXPECT_NEAR(GetDirectionAngle({0, 0}, {0, 1}), kPi / 2, 1e-12);
    EXPECT_NEAR(GetDirectionAngle({0, 0}, {-1, 0}), kPi, 1e-12);
    EXPECT_NEAR(GetDirectionAngle({0, 0}, {0, -1}), 3 * kPi / 2, 1e-12);
    double nearSeam = GetDirectionAngle({0, 0}, {1, -1e-17});
    EXPECT_GE(nearSeam, 0);
    EXPECT_LT(nearSeam, 2 * kPi);
    EXPECT_DOUBLE_EQ(GetDirectionAngle({3, 3}, {3, 3}), 0);
}

TEST(CommonPolarAndMidpoint, FollowTheDirection) {
    expectPoint(GetPolarPoint({1, 2}, kPi / 2, 3), 1, 5);
    expectPoint(GetSegmentMidpoint({{0, 0}, {4, 2}}), 2, 1);
    PlaneSegment s{{1, 2}, {3, 4}};
    PlaneSegment r = ReverseSegment(s);
    expectPoint(r.P1, 3, 4);
    expectPoint(r.P2, 1, 2);
}

TEST(CommonIntersectLines, CrossingParallelCoincidentAndMissing) {
    expectPoint(IntersectLines({{0, 0}, {10, 0}}, {{5, -5}, {5, 5}}), 5, 0);
    // The infinite lines cross outside both segments: the caller tests the point against the segments.
    PlanePoint outside = IntersectLines({{0, 0}, {1, 1}}, {{10, 0}, {9, 1}});
    expectPoint(outside, 5, 5);
    EXPECT_FALSE(IsPointOnSegment(outside, {{0, 0}, {1, 1}}));
    EXPECT_TRUE(IsMissingPoint(IntersectLines({{0, 0}, {10, 0}}, {{0, 1}, {10, 1}})));  // parallel
    EXPECT_TRUE(IsMissingPoint(IntersectLines({{0, 0}, {10, 0}}, {{2, 0}, {20, 0}})));  // coincident
    EXPECT_TRUE(IsMissingPoint(IntersectLines({{0, 0}, {0, 0}}, {{2, 0}, {2, 5}})));    // degenerate
    // A missing point never takes part in a crossing, and no result defaults to (0, 0).
    EXPECT_TRUE(IsMissingPoint(IntersectLines({MissingPoint(), {10, 0}}, {{5, -5}, {5, 5}})));
    EXPECT_TRUE(IsMissingPoint(IntersectLines({{0, 0}, {10, 0}}, {{5, -5}, MissingPoint()})));
}

TEST(CommonIntersectLineCircle, TwoOneOrNoPoints) {
    PlanePointPair two = IntersectLineCircle({{-10, 0}, {10, 0}}, {0, 0}, 5);
    expectPoint(two.First, -5, 0);  // nearer the line's first point
    expectPoint(two.Second, 5, 0);
    PlanePointPair tangent = IntersectLineCircle({{-10, 5}, {10, 5}}, {0, 0}, 5);
    expectPoint(tangent.First, 0, 5);
    EXPECT_TRUE(IsMissingPoint(tangent.Second));
    PlanePointPair none = IntersectLineCircle({{-10, 6}, {10, 6}}, {0, 0}, 5);
    EXPECT_TRUE(IsMissingPoint(none.First));
    EXPECT_TRUE(IsMissingPoint(none.Second));
    PlanePointPair skew = IntersectLineCircle({{0, -10}, {10, 0}}, {5, -5}, std::sqrt(2.0));
    expectPoint(skew.First, 4, -6, 1e-9);
    expectPoint(skew.Second, 6, -4, 1e-9);
    PlanePointPair fromMissing = IntersectLineCircle({{-10, 0}, {10, 0}}, MissingPoint(), 5);
    EXPECT_TRUE(IsMissingPoint(fromMissing.First));
    EXPECT_TRUE(IsMissingPoint(fromMissing.Second));
}

TEST(CommonIntersectLineCircle, ALineMissingByTheToleranceItselfTouchesOneStepPastItMisses) {
    // Radius 17750 allows 1e-9 of it; the kerb x = r + tolerance still touches at (x, 0).
    const double r = 17750, atBound = r + 1e-9 * r, past = std::nextafter(atBound, 2 * r);
    const PlanePointPair touch = IntersectLineCircle({{atBound, -5e4}, {atBound, 5e4}}, {0, 0}, r);
    expectPoint(touch.First, atBound, 0);
    EXPECT_TRUE(IsMissingPoint(touch.Second));
    EXPECT_TRUE(IsMissingPoint(IntersectLineCircle({{past, -5e4}, {past, 5e4}}, {0, 0}, r).First));
}

TEST(CommonIntersectCircles, CrossingTangentApartAndConcentric) {
    PlanePointPair two = IntersectCircles({{0, 0}, 5}, {{8, 0}, 5});
    expectPoint(two.First, 4, 3);
    expectPoint(two.Second, 4, -3);
    PlanePointPair outer = IntersectCircles({{0, 0}, 2}, {{5, 0}, 3});
    expectPoint(outer.First, 2, 0);
    EXPECT_TRUE(IsMissingPoint(outer.Second));
    PlanePointPair inner = IntersectCircles({{0, 0}, 5}, {{2, 0}, 3});
    expectPoint(inner.First, 5, 0);
    EXPECT_TRUE(IsMissingPoint(inner.Second));
    EXPECT_TRUE(IsMissingPoint(IntersectCircles({{0, 0}, 1}, {{5, 0}, 1}).First));  // apart
    EXPECT_TRUE(IsMissingPoint(IntersectCircles({{0, 0}, 5}, {{1, 0}, 1}).First));  // one inside
    EXPECT_TRUE(IsMissingPoint(IntersectCircles({{0, 0}, 5}, {{0, 0}, 5}).First));  // the same circle
    EXPECT_TRUE(IsMissingPoint(IntersectCircles({{0, 0}, 5}, {MissingPoint(), 5}).First));
    EXPECT_TRUE(IsMissingPoint(IntersectCircles({{0, 0}, 5}, {MissingPoint(), 5}).Second));
}

TEST(CommonGeometryOverloads, PointsOneByOneGiveTheSameResults) {
    expectPoint(IntersectLines({0, 0}, {10, 0}, {5, -5}, {5, 5}), 5, 0);
    expectPoint(IntersectLineCircle({-10, 0}, {10, 0}, {0, 0}, 5).Second, 5, 0);
    expectPoint(IntersectCircles({0, 0}, 5, {8, 0}, 5).First, 4, 3);
    EXPECT_TRUE(IsPointOnSegment({5, 0}, {0, 0}, {10, 0}));
    EXPECT_TRUE(IsPointOnArc({0, 1}, {0, 0}, 1, 0, kPi));
    EXPECT_FALSE(IsPointOnArc({0, -1}, {0, 0}, 1, 0, kPi));
    expectPoint(GetSegmentMidpoint({0, 0}, {4, 2}), 2, 1);
}

TEST(CommonIntersectionPair, MissingFirstRealSecondGivesOneUsablePoint) {
    PlanePointPair pair{MissingPoint(), {3, 4}};
    PlaneArc arc{{0, 0}, 5, 0, kPi};
    int usable = 0;
    for (const PlanePoint& p : {pair.First, pair.Second})
        if (!IsMissingPoint(p) && IsPointOnArc(p, arc)) ++usable;
    EXPECT_EQ(usable, 1);
}

TEST(CommonIsPointOnSegment, EndsMiddleAndExtension) {
    PlaneSegment s{{0, 0}, {10, 0}};
    EXPECT_TRUE(IsPointOnSegment({0, 0}, s));
    EXPECT_TRUE(IsPointOnSegment({10, 0}, s));
    EXPECT_TRUE(IsPointOnSegment({5, 0.02}, s));    // the sum of distances grows by far less than 0.01
    EXPECT_TRUE(IsPointOnSegment({10.004, 0}, s));  // beyond the end within the tolerance
    EXPECT_FALSE(IsPointOnSegment({10.02, 0}, s));  // on the extension
    EXPECT_FALSE(IsPointOnSegment({-1, 0}, s));
    EXPECT_FALSE(IsPointOnSegment({5, 1}, s));
    EXPECT_FALSE(IsPointOnSegment(MissingPoint(), s));
    EXPECT_FALSE(IsPointOnSegment({0, 0.001}, {MissingPoint(), {0, 0}}));
}

TEST(CommonIsPointOnArc, RadiusToleranceAndAngleWindow) {
    PlaneArc quarter{{0, 0}, 10, 0, kPi / 2};
    EXPECT_TRUE(IsPointOnArc(GetPolarPoint({0, 0}, deg(45), 10), quarter));
    EXPECT_TRUE(IsPointOnArc(GetPolarPoint({0, 0}, deg(45), 10.009), quarter));
    EXPECT_FALSE(IsPointOnArc(GetPolarPoint({0, 0}, deg(45), 10.02), quarter));
    EXPECT_FALSE(IsPointOnArc(GetPolarPoint({0, 0}, deg(100), 10), quarter));
    EXPECT_TRUE(IsPointOnArc({0, 10}, quarter));  // the end point
    EXPECT_FALSE(IsPointOnArc(MissingPoint(), quarter));
}

TEST(CommonIsPointOnArc, ArcAcrossAngleZero) {
    PlaneArc arc{{0, 0}, 1, deg(350), deg(10)};
    EXPECT_TRUE(IsPointOnArc(GetPolarPoint({0, 0}, 0, 1), arc));
    EXPECT_TRUE(IsPointOnArc(GetPolarPoint({0, 0}, deg(359.99995), 1), arc));
    EXPECT_FALSE(IsPointOnArc(GetPolarPoint({0, 0}, kPi, 1), arc));
    EXPECT_FALSE(IsPointOnArc(GetPolarPoint({0, 0}, deg(20), 1), arc));
}

TEST(CommonIsPointOnArc, SameAnswerOnBothSidesOfTheSeam) {
    // An arc ending at 2π (as the CAD may report it) and one starting at 0 both hold the point at angle 0,
    // whether its direction is computed just below 2π or just above 0.
    PlaneArc upperHalfEnd{{0, 0}, 1, kPi, 2 * kPi};
    PlaneArc lowerStart{{0, 0}, 1, 0, kPi / 2};
    PlanePoint below{1, -1e-12};
    PlanePoint above{1, 1e-12};
    for (const PlanePoint& p : {below, above}) {
        EXPECT_TRUE(IsPointOnArc(p, upperHalfEnd));
        EXPECT_TRUE(IsPointOnArc(p, lowerStart));
    }
    PlaneArc fromJustBelowTwoPi{{0, 0}, 1, 2 * kPi - 1e-9, kPi / 4};
    EXPECT_TRUE(IsPointOnArc({1, 0}, fromJustBelowTwoPi));
}

TEST(CommonIsPointOnArc, ZeroSweepArcHoldsOnlyItsAngle) {
    PlaneArc arc{{0, 0}, 1, deg(30), deg(30)};
    EXPECT_TRUE(IsPointOnArc(GetPolarPoint({0, 0}, deg(30) + 1.7e-6, 1), arc));
    EXPECT_FALSE(IsPointOnArc(GetPolarPoint({0, 0}, deg(30) + 1e-5, 1), arc));
    EXPECT_FALSE(IsPointOnArc(GetPolarPoint({0, 0}, deg(200), 1), arc));
}

TEST(CommonArcLength, SweepAcrossZero) {
    EXPECT_NEAR(GetArcLength(1, 0, kPi), kPi, 1e-9);
    EXPECT_NEAR(GetArcLength(2, 3 * kPi / 2, kPi / 2), 2 * kPi, 1e-9);
    EXPECT_NEAR(GetArcLength(3, deg(350), deg(10)), 3 * deg(20), 1e-9);
}

TEST(CommonAddToInteger, OverflowRaisesAndLeavesValue) {
    int a = 32000;
    AddToInteger(a, 767);
    EXPECT_EQ(a, 32767);
    EXPECT_THROW(AddToInteger(a, 1), std::overflow_error);
    EXPECT_EQ(a, 32767);
    int b = -32768;
    EXPECT_THROW(AddToInteger(b, -1), std::overflow_error);
}

TEST(CommonBoundingBoxes, ExtendAndOverlap) {
    PlanePoint max{0, 0}, min{0, 0};
    ExtendBoundingBox(max, min, {2, -1});
    EXPECT_GE(max.X, 2);
    EXPECT_LE(min.Y, -1);
    EXPECT_DOUBLE_EQ(max.Y, 0);
    EXPECT_DOUBLE_EQ(min.X, 0);

    PlaneBox unit{{0, 0}, {1, 1}};
    EXPECT_TRUE(DoExtentsOverlap(unit, {{1, 0}, {2, 1}}));  // touching
    EXPECT_FALSE(DoExtentsOverlap(unit, {{1.1, 0}, {2, 1}}));
    EXPECT_FALSE(DoExtentsOverlap(unit, {{0, 1.1}, {1, 2}}));       // apart on Y only
    EXPECT_TRUE(DoExtentsOverlap(unit, {{0.2, 0.2}, {0.4, 0.4}}));  // inside
    EXPECT_TRUE(DoExtentsOverlap({{0.2, 0.2}, {0.4, 0.4}}, unit));
    EXPECT_TRUE(DoExtentsOverlap(unit, {{1 + 5e-10, 0}, {2, 1}}));  // within 1e-9
}

TEST(CommonBoundingBoxes, ToleranceBoxesOverlapExactlyAsPlainOnes) {
    // Touching, within and just beyond the tolerance, far apart, inside, inverted, huge, not a number.
    const double nan = std::nan("");
    const std::vector<double> values = {0, 1, 1 + 5e-10, 1 + 1e-9, 1 + 2e-9, -1e-9, 0.5, 3, -2, 1e17, nan};
    std::vector<PlaneBox> boxes;
    for (double x1 : values)
        for (double x2 : {1.0, 1 + 1e-9, 2.0, -1.0, 1e17, nan})
            for (double y1 : {0.0, 1.0, 1 + 5e-10})
                boxes.push_back({{x1, y1}, {x2, y1 + 1}});
    int overlapping = 0;
    for (const PlaneBox& a : boxes)
        for (const PlaneBox& b : boxes) {
            const bool plain = DoExtentsOverlap(a, b);
            ASSERT_EQ(DoExtentsOverlap(MakeToleranceBox(a), MakeToleranceBox(b)), plain);
            overlapping += plain;
        }
    EXPECT_GT(overlapping, 0);
    EXPECT_LT(overlapping, int(boxes.size() * boxes.size()));
}

// The same figures at the origin and moved to map-grid coordinates in millimetres (PL-2000:
// 7.5e9, 5.5e9), and to the far side of the origin: boxes overlap, tangents touch once, points lie
// on small arcs as they do at the origin, though the tolerances of 1e-9 are lost in the rounding there.
TEST(CommonGeometryAtMapGrid, MovedFiguresAnswerAsAtTheOrigin) {
    for (const PlanePoint o : {PlanePoint{0, 0}, PlanePoint{7.5e9, 5.5e9}, PlanePoint{-7.5e9, -5.5e9}}) {
        SCOPED_TRACE(testing::Message() << o.X << ", " << o.Y);
        auto at = [&](double x, double y) { return PlanePoint{o.X + x, o.Y + y}; };
        auto box = [&](double x1, double y1, double x2, double y2) {
            return PlaneBox{at(x1, y1), at(x2, y2)};
        };
        // A horizontal line's box against a vertical line's touching its end, against the same
        // ranges, and against one that stops a millimetre short.
        EXPECT_TRUE(DoExtentsOverlap(box(175, -525, 5000, -525), box(175, -5000, 175, -525)));
        EXPECT_TRUE(DoExtentsOverlap(box(0, 0, 100, 50), box(0, 0, 100, 50)));
        EXPECT_TRUE(DoExtentsOverlap(box(0, 0, 100, 50), box(100, 50, 200, 80)));
        EXPECT_FALSE(DoExtentsOverlap(box(0, 0, 100, 50), box(101, 0, 200, 50)));
        EXPECT_FALSE(DoExtentsOverlap(box(0, 0, 100, 50), box(0, -30, 100, -1)));

        // The kerb line x = 17750 touches the circle of radius 17750 about the origin once, at
        // (17750, 0); moved in by 1 mm it crosses it twice, 2 × 188.4 mm apart.
        const PlanePointPair touch =
            IntersectLineCircle(at(17750, -50000), at(17750, 50000), at(0, 0), 17750);
        EXPECT_NEAR(touch.First.X - o.X, 17750, 1e-4);
        EXPECT_NEAR(touch.First.Y - o.Y, 0, 1e-4);
        EXPECT_TRUE(IsMissingPoint(touch.Second));
        // Touching along the diagonal, where no coordinate of the figure is a whole number.
        const PlanePoint t = GetPolarPoint(at(0, 0), deg(45), 17750);
        const PlanePointPair diagonal = IntersectLineCircle(
            GetPolarPoint(t, deg(135), 50000), GetPolarPoint(t, deg(-45), 50000), at(0, 0), 17750);
        EXPECT_NEAR(GetDistance(diagonal.First, t), 0, 1e-3);
        EXPECT_TRUE(IsMissingPoint(diagonal.Second));
        const PlanePointPair cross =
            IntersectLineCircle(at(17749, -50000), at(17749, 50000), at(0, 0), 17750);
        EXPECT_NEAR(cross.First.Y - o.Y, -std::sqrt(17750.0 * 17750 - 17749.0 * 17749), 1e-4);
        EXPECT_NEAR(cross.Second.Y - o.Y, std::sqrt(17750.0 * 17750 - 17749.0 * 17749), 1e-4);
        EXPECT_TRUE(
            IsMissingPoint(IntersectLineCircle(at(17751, -50000), at(17751, 50000), at(0, 0), 17750).First));
        // The routines underneath count what they wrote: one touching point, two crossings, none.
        PlanePointPair written;
        EXPECT_EQ(ExtGcrLin2CirIts(&written, o.X + 17750, o.Y - 5e4, o.X + 17750, o.Y + 5e4, o.X, o.Y, 17750),
                  1);
        EXPECT_EQ(ExtGcrLin2CirIts(&written, o.X + 17749, o.Y - 5e4, o.X + 17749, o.Y + 5e4, o.X, o.Y, 17750),
                  2);
        EXPECT_EQ(ExtGcrLin2CirIts(&written, o.X + 17751, o.Y - 5e4, o.X + 17751, o.Y + 5e4, o.X, o.Y, 17750),
                  0);
        EXPECT_EQ(ExtGcrCir2CirIts(&written, o.X, o.Y, 17750, o.X + 29500, o.Y, 11750), 1);
        EXPECT_EQ(ExtGcrCir2CirIts(&written, o.X, o.Y, 17750, o.X + 29501, o.Y, 11750), 0);

        // Two circles touching from outside and from inside, once each, also along the diagonal;
        // crossing by 1 mm, twice.
        for (int a = 1; a < 90; a += 7) {
            for (const double r2 : {11750.0, 29500.0}) {
                // From outside they touch towards the second centre, from inside away from it.
                const bool outside = r2 < 17750;
                const double d = outside ? r2 + 17750 : r2 - 17750;
                const PlanePoint touching = GetPolarPoint(at(0, 0), deg(a) + (outside ? 0 : kPi), 17750);
                const PlanePointPair slanted =
                    IntersectCircles(at(0, 0), 17750, GetPolarPoint(at(0, 0), deg(a), d), r2);
                EXPECT_NEAR(GetDistance(slanted.First, touching), 0, 1e-3) << a << ' ' << r2;
                EXPECT_TRUE(IsMissingPoint(slanted.Second)) << a << ' ' << r2;
            }
        }
        const PlanePointPair outer = IntersectCircles(at(0, 0), 17750, at(29500, 0), 11750);
        EXPECT_NEAR(outer.First.X - o.X, 17750, 1e-4);
        EXPECT_TRUE(IsMissingPoint(outer.Second));
        const PlanePointPair inner = IntersectCircles(at(0, 0), 17750, at(6000, 0), 11750);
        EXPECT_NEAR(inner.First.X - o.X, 17750, 1e-4);
        EXPECT_TRUE(IsMissingPoint(inner.Second));
        EXPECT_FALSE(IsMissingPoint(IntersectCircles(at(0, 0), 17750, at(29499, 0), 11750).Second));

        // Arcs of 0.1 mm radius hold the points computed at their ends; a point 0.1 rad past does not.
        for (int a = 0; a < 36; ++a) {
            const PlaneArc small{at(0, 0), 0.1, deg(10 * a), deg(10 * a + 5)};
            EXPECT_TRUE(IsPointOnArc(GetPolarPoint(at(0, 0), deg(10 * a), 0.1), small)) << a;
            EXPECT_TRUE(IsPointOnArc(GetPolarPoint(at(0, 0), deg(10 * a + 5), 0.1), small)) << a;
            EXPECT_FALSE(IsPointOnArc(GetPolarPoint(at(0, 0), deg(10 * a + 5) + 0.1, 0.1), small)) << a;
        }
    }
}
