// Object snap candidates over real engine entities.
#include "cadhost/Snap.h"
#include "platform/cad/engine/Database.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

using namespace cad::db;
using cadhost::FindSnap;
using cadhost::SnapPoint;

class CadHostSnap : public ::testing::Test {
protected:
    Database db;
    BlockDefinition* ms = db.modelSpace();
    std::vector<const Entity*> all() const {
        return std::vector<const Entity*>(ms->entities().begin(), ms->entities().end());
    }
};

TEST_F(CadHostSnap, EndMiddleAndCentre) {
    db.addLine(ms, {0, 0, 0}, {10, 0, 0});
    db.addArc(ms, {30, 0, 0}, 5, 0, std::numbers::pi);  // upper half
    auto s = FindSnap(all(), {9.6, 0.3, 0}, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::End);
    EXPECT_DOUBLE_EQ(s->point.x, 10);
    s = FindSnap(all(), {5.2, -0.4, 0}, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Middle);
    EXPECT_DOUBLE_EQ(s->point.x, 5);
    s = FindSnap(all(), {30.3, 5.2, 0}, 1);  // top of the arc is its middle
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Middle);
    EXPECT_NEAR(s->point.y, 5, 1e-12);
    s = FindSnap(all(), {30.2, 0.1, 0}, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Center);
    EXPECT_FALSE(FindSnap(all(), {20, 20, 0}, 1));
}

TEST_F(CadHostSnap, IntersectionsOfLinesArcsAndPolylines) {
    db.addLine(ms, {-10, 3, 0}, {10, 3, 0});
    db.addCircle(ms, {0, 0, 0}, 5);
    auto s = FindSnap(all(), {4.2, 3.1, 0}, 0.5);  // circle meets y = 3 at x = 4
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Intersection);
    EXPECT_NEAR(s->point.x, 4, 1e-9);
    EXPECT_NEAR(s->point.y, 3, 1e-9);

    // A polyline arc segment (bulge 1: half circle from (20,0) to (30,0) below) against a line.
    Database other;
    Entity* pl = other.addLwPolyline(other.modelSpace(), {{20, 0, 1}, {30, 0, 0}});
    Entity* ln = other.addLine(other.modelSpace(), {27, -10, 0}, {27, 10, 0});
    s = FindSnap({pl, ln}, {27.1, -4.5, 0}, 0.5);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Intersection);
    EXPECT_NEAR(s->point.y, -std::sqrt(21.0), 1e-9);  // the bulge runs below the chord
    EXPECT_FALSE(FindSnap({pl, ln}, {27.1, 4.5, 0}, 0.5));
    // The shared end point of two lines stays an end point.
    Entity* a = other.addLine(other.modelSpace(), {50, 0, 0}, {60, 0, 0});
    Entity* b = other.addLine(other.modelSpace(), {60, 0, 0}, {60, 10, 0});
    s = FindSnap({a, b}, {60.1, 0.1, 0}, 0.5);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::End);
}
