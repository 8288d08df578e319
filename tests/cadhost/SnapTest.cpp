// Object snap candidates over real engine entities.
#include "cadhost/Snap.h"
#include "cadhost/render/RawShapes.h"
#include "platform/cad/engine/Database.h"

#include <gtest/gtest.h>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

using namespace cad::db;
using cadhost::FindSnap;
using cadhost::OnlySnap;
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
    s = FindSnap({pl, ln}, {27.1, 4.5, 0}, 0.5);  // above the chord only the line itself is near
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Nearest);
    // The shared end point of two lines stays an end point.
    Entity* a = other.addLine(other.modelSpace(), {50, 0, 0}, {60, 0, 0});
    Entity* b = other.addLine(other.modelSpace(), {60, 0, 0}, {60, 10, 0});
    s = FindSnap({a, b}, {60.1, 0.1, 0}, 0.5);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::End);
}

TEST_F(CadHostSnap, InsertionNodePerpendicularAndNearest) {
    BlockDefinition* head = db.addBlock(QStringLiteral("S-1"));
    db.addLine(head, {-1, -1, 0}, {1, 1, 0});
    db.insertBlock(ms, {50, 50, 0}, QStringLiteral("S-1"), 1, 1, 1, 0);
    Entity* text = db.addText(ms, QStringLiteral("P1"), {70, 50, 0}, 2);
    db.addPoint(ms, {90, 50, 0});
    db.addLine(ms, {0, 0, 0}, {20, 0, 0});
    auto s = FindSnap(all(), {50.3, 50.2, 0}, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Insertion);
    EXPECT_DOUBLE_EQ(s->point.x, 50);
    s = FindSnap(all(), {70.4, 50.1, 0}, 1);
    ASSERT_TRUE(s && s->kind == SnapPoint::Insertion);
    EXPECT_EQ(s->point.x, text->as<TextData>().position.x);
    s = FindSnap(all(), {89.6, 50.3, 0}, 1);
    ASSERT_TRUE(s && s->kind == SnapPoint::Node);
    // From (7, 9) the perpendicular on the line falls at (7, 0); near it, nothing else marks a place.
    s = FindSnap(all(), {7.4, 0.3, 0}, 1, Point3{7, 9, 0});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Perpendicular);
    EXPECT_DOUBLE_EQ(s->point.x, 7);
    // Without a base point: the nearest point on the line, only because nothing else is near.
    s = FindSnap(all(), {7.4, 0.3, 0}, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Nearest);
    EXPECT_DOUBLE_EQ(s->point.x, 7.4);
    EXPECT_DOUBLE_EQ(s->point.y, 0);
    s = FindSnap(all(), {9.6, 0.3, 0}, 1);  // the middle wins over a nearest point
    ASSERT_TRUE(s && s->kind == SnapPoint::Middle);
    // One kind asked for: only that one.
    EXPECT_FALSE(FindSnap(all(), {9.6, 0.3, 0}, 1, std::nullopt, cadhost::OnlySnap(SnapPoint::End)));
    s = FindSnap(all(), {19.2, 0.3, 0}, 1, std::nullopt, cadhost::OnlySnap(SnapPoint::End));
    ASSERT_TRUE(s && s->kind == SnapPoint::End);
}

TEST(CadHostSnapOverride, EnglishPolishAndThePromptsOwnKeywords) {
    using cadhost::SnapOverrideOf;
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_end")), SnapPoint::End);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_mid")), SnapPoint::Middle);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_cen")), SnapPoint::Center);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_int")), SnapPoint::Intersection);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_ins")), SnapPoint::Insertion);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_per")), SnapPoint::Perpendicular);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_nea")), SnapPoint::Nearest);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("wst")), SnapPoint::Insertion);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("Węzeł")), SnapPoint::Node);
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("sro")), SnapPoint::Middle);
    EXPECT_FALSE(SnapOverrideOf(QStringLiteral("en")));
    EXPECT_FALSE(SnapOverrideOf(QStringLiteral("10,5")));
    // The arc's own "Środek" is its keyword; the underscore form still overrides.
    const QString arc = QStringLiteral("Określ punkt początkowy łuku lub [Środek]:");
    EXPECT_FALSE(SnapOverrideOf(QStringLiteral("śro"), arc));
    EXPECT_EQ(SnapOverrideOf(QStringLiteral("_mid"), arc), SnapPoint::Middle);
}

TEST_F(CadHostSnap, AlignedTextsAndPerpendicularsOffTheSegment) {
    // A text aligned other than left on the base line is placed by its alignment point.
    Entity* text = db.addText(ms, QStringLiteral("K1"), {75, 10, 0}, 2);
    text->as<TextData>().horizontal = 1;
    text->as<TextData>().alignmentPoint = {80, 10, 0};
    auto s = FindSnap(all(), {80.3, 10.2, 0}, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Insertion);
    EXPECT_DOUBLE_EQ(s->point.x, 80);
    EXPECT_FALSE(FindSnap(all(), {75.2, 10.1, 0}, 1));
    // From (10.5, 9) the perpendicular on the line's extension falls just beyond its end: the end
    // is the snap, not a foot off the line.
    db.addLine(ms, {0, 0, 0}, {10, 0, 0});
    s = FindSnap(all(), {10.6, 0.1, 0}, 1, Point3{10.5, 9, 0});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::End);
    EXPECT_DOUBLE_EQ(s->point.x, 10);
}

TEST_F(CadHostSnap, InsideBlockReferencesMirroredUnevenAndNested) {
    BlockDefinition* b = db.addBlock(QStringLiteral("B"));
    db.addLine(b, {0, 0, 0}, {10, 0, 0});
    db.addLine(b, {3, -2, 0}, {3, 6, 0});
    db.addCircle(b, {5, 5, 0}, 2);
    db.addPoint(b, {0, 5, 0});
    db.addArc(b, {20, 0, 0}, 5, 0, std::numbers::pi / 2);
    BlockDefinition* n = db.addBlock(QStringLiteral("N"));
    db.insertBlock(n, {100, 0, 0}, QStringLiteral("B"), 1, 1, 1, std::numbers::pi / 2);
    db.insertBlock(ms, {50, 50, 0}, QStringLiteral("B"), -1, 1, 1, 0);  // mirrored
    db.insertBlock(ms, {0, 100, 0}, QStringLiteral("B"), 2, 1, 1, 0);   // scaled unevenly
    db.insertBlock(ms, {0, -100, 0}, QStringLiteral("N"), 1, 1, 1, 0);  // nested
    db.insertBlock(ms, {0, 200, 0}, QStringLiteral("B"), 0.5, 0.5, 1, 0);  // halved, not mirrored
    cadhost::BlockContents contents;
    const auto snap = [&](double x, double y, std::optional<Point3> from = std::nullopt) {
        return FindSnap(all(), {x, y, 0}, 1, from, cadhost::AllSnapKinds, &contents);
    };
    const auto is = [](const std::optional<SnapPoint>& s, SnapPoint::Kind kind, double x, double y) {
        return s && s->kind == kind && std::abs(s->point.x - x) < 1e-9 && std::abs(s->point.y - y) < 1e-9;
    };
    // Mirrored: the line runs from (50, 50) to (40, 50), the circle's centre is at (45, 55).
    EXPECT_TRUE(is(snap(40.3, 50.2), SnapPoint::End, 40, 50));
    EXPECT_TRUE(is(snap(44.8, 50.3), SnapPoint::Middle, 45, 50));
    EXPECT_TRUE(is(snap(45.2, 54.7), SnapPoint::Center, 45, 55));
    EXPECT_TRUE(is(snap(50.2, 55.3), SnapPoint::Node, 50, 55));
    EXPECT_TRUE(is(snap(47.2, 49.7), SnapPoint::Intersection, 47, 50));
    EXPECT_TRUE(is(snap(43.7, 50.2, Point3{43.5, 60, 0}), SnapPoint::Perpendicular, 43.5, 50));
    // The mirrored arc (centre (30, 50)) keeps its middle and ends: from (25, 50) to (30, 55).
    const double m = 20 + 5 * std::cos(std::numbers::pi / 4);
    EXPECT_TRUE(is(snap(50 - m + 0.2, 50 + m - 20 - 0.2), SnapPoint::Middle, 50 - m, 50 + m - 20));
    EXPECT_TRUE(is(snap(30.2, 55.2), SnapPoint::End, 30, 55));
    // Scaled twice along X: the circle is an ellipse round (10, 105), 4 wide and 2 high.
    EXPECT_TRUE(is(snap(10.3, 104.8), SnapPoint::Center, 10, 105));
    EXPECT_TRUE(is(snap(6.2, 100.2), SnapPoint::Intersection, 6, 100));
    auto s = snap(14.3, 105.1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Nearest);
    EXPECT_NEAR(std::pow((s->point.x - 10) / 4, 2) + std::pow((s->point.y - 105) / 2, 2), 1, 0.01);
    EXPECT_LT(std::hypot(s->point.x - 14.3, s->point.y - 105.1), 0.35);
    // The unevenly scaled arc is part of an ellipse round (40, 100), 10 wide and 5 high: its middle
    // is at half its sweep.
    EXPECT_TRUE(is(snap(47.2, 103.4), SnapPoint::Middle, 40 + 10 * std::cos(std::numbers::pi / 4),
                   100 + 5 * std::sin(std::numbers::pi / 4)));
    // Halved, the arc still runs from (12.5, 200) to (10, 202.5), its middle half way.
    EXPECT_TRUE(is(snap(12.3, 200.2), SnapPoint::End, 12.5, 200));
    EXPECT_TRUE(is(snap(10.2, 202.3), SnapPoint::End, 10, 202.5));
    EXPECT_TRUE(is(snap(11.6, 201.9), SnapPoint::Middle, 10 + 2.5 * std::cos(std::numbers::pi / 4),
                   200 + 2.5 * std::sin(std::numbers::pi / 4)));
    // Nested and turned: the inner line runs from (100, -100) to (100, -90).
    EXPECT_TRUE(is(snap(100.2, -90.3), SnapPoint::End, 100, -90));
    // Far from everything inside, nothing.
    EXPECT_FALSE(snap(70, 70));
}

// A SPLINE (here y = 20t(1 - t) over x = 20t) inside a reference far from the origin, turned half
// round and mirrored: its ends, where a line of the block crosses it and its nearest point are where
// the reference draws them.
TEST_F(CadHostSnap, SplinesInsideATurnedMirroredReference) {
    constexpr double X0 = 7.5e9, Y0 = 5.5e9;
    BlockDefinition* b = db.addBlock(QStringLiteral("S"));
    Entity* spline = db.addEntity(b, EntityKind::Unknown);
    auto& raw = spline->as<RawData>();
    raw.dxfName = QStringLiteral("SPLINE");
    auto tag = [&](int code, double v) { raw.tags.push_back({code, QString::number(v)}); };
    tag(71, 2);
    for (double k : {0, 0, 0, 1, 1, 1}) tag(40, k);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {10.0, 10.0}, {20.0, 0.0}}) tag(10, x), tag(20, y);
    db.addLine(b, {5, -5, 0}, {5, 10, 0});
    // Mirrored in X, then turned half round: (x, y) -> (X0 + x, Y0 - y).
    db.insertBlock(ms, {X0, Y0, 0}, QStringLiteral("S"), -1, 1, 1, std::numbers::pi);
    cadhost::BlockContents contents;
    const auto snap = [&](double x, double y) {
        return FindSnap(all(), {X0 + x, Y0 + y, 0}, 1, std::nullopt, cadhost::AllSnapKinds, &contents);
    };
    const auto is = [](const std::optional<SnapPoint>& s, SnapPoint::Kind kind, double x, double y) {
        return s && s->kind == kind && std::abs(s->point.x - (X0 + x)) < 1e-5 &&
               std::abs(s->point.y - (Y0 + y)) < 1e-5;
    };
    EXPECT_TRUE(is(snap(19.7, 0.2), SnapPoint::End, 20, 0));
    EXPECT_TRUE(is(snap(0.3, -0.2), SnapPoint::End, 0, 0));
    EXPECT_TRUE(is(snap(5.2, -3.5), SnapPoint::Intersection, 5, -3.75));
    const auto s = snap(10, -5.3);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, SnapPoint::Nearest);
    EXPECT_NEAR(s->point.x, X0 + 10, 1e-3);
    EXPECT_NEAR(s->point.y, Y0 - 5, 1e-3);
}

// A SPLINE through fit points alone, far from the origin: its extents and its nearest points lie on
// the curve the renderer draws through them.
TEST_F(CadHostSnap, AFitPointSplineIsMeasuredAndSnappedAsDrawn) {
    constexpr double X0 = 7.5e9, Y0 = 5.5e9;
    Entity* e = db.addEntity(ms, EntityKind::Unknown);
    auto& raw = e->as<RawData>();
    raw.dxfName = QStringLiteral("SPLINE");
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {10.0, 8.0}, {14.0, -6.0}, {25.0, 3.0}})
        raw.tags.push_back({11, QString::number(X0 + x, 'f', 3)}),
            raw.tags.push_back({21, QString::number(Y0 + y, 'f', 3)});
    cadhost::render::RawShape shape;
    ASSERT_TRUE(cadhost::render::ShapeOfRaw(raw, 0, shape));
    // The drawn path flattened a ten-thousandth of a unit fine, back in drawing units.
    const QTransform fine = QTransform::fromScale(1e4, 1e4).translate(-X0, -Y0);
    std::vector<QPointF> drawn;
    for (const QPolygonF& poly : shape.strokes.toSubpathPolygons(fine))
        for (const QPointF& p : poly) drawn.push_back(p / 1e4);
    ASSERT_GT(drawn.size(), 10u);
    Box box;
    for (const QPointF& p : drawn) box.add(p.x(), p.y());
    const Box ours = db.boundingBox(e);
    EXPECT_NEAR(ours.min.x - X0, box.min.x, 1e-3);
    EXPECT_NEAR(ours.min.y - Y0, box.min.y, 1e-3);
    EXPECT_NEAR(ours.max.x - X0, box.max.x, 1e-3);
    EXPECT_NEAR(ours.max.y - Y0, box.max.y, 1e-3);
    // Nearest points in each of its three pieces lie on the drawn curve.
    const auto offDrawn = [&](const Point3& p) {
        double best = 1e300;
        for (size_t i = 1; i < drawn.size(); ++i) {
            const QPointF a = drawn[i - 1], d = drawn[i] - a, q(p.x - X0, p.y - Y0);
            const double len2 = QPointF::dotProduct(d, d);
            const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(q - a, d) / len2, 0.0, 1.0) : 0;
            const QPointF f = a + d * t;
            best = std::min(best, std::hypot(q.x() - f.x(), q.y() - f.y()));
        }
        return best;
    };
    for (const QPointF& at : {QPointF(5, 5.5), QPointF(12.3, 1), QPointF(20, -1.5)}) {
        const auto s =
            FindSnap(all(), {X0 + at.x(), Y0 + at.y(), 0}, 2, std::nullopt, OnlySnap(SnapPoint::Nearest));
        ASSERT_TRUE(s) << at.x();
        EXPECT_LT(offDrawn(s->point), 5e-3) << at.x();
    }
}
