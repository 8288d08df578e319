// Stream pieces whose references or curves stand in their own coordinate systems, as files write
// them (the values set here as a file holds them): references seen from below on the map grid,
// turned and mirrored, with arcs seen from below in them, are read where they are drawn; an
// extrusion of any magnitude is the plane it points to; a plane off XY by rounding noise is XY, and
// a tilt is judged by what the plan projection changes of the piece against the drawing's tolerance.
#include "StreamsFixture.h"

#include "automation/DrawingProperties.h"
#include "conflictor/streams/ComponentPlacement.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Entity.h"
#include "platform/cad/model/ObjectModel.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace conflictor::test {
namespace {

using cad::db::Point3;
constexpr double Pi = std::numbers::pi;
const Point3 Down{0, 0, -1};

class ComponentPlanes : public StreamsFixture {
protected:
    cad::db::Entity* engine(const cad::Entity& e) {
        return cad_->model().activeDocument()->db->entity(e.handle());
    }

    // Stream `stream`'s piece in block "12^STRUMIEN_<n>^<stream>", filled by `fill`, referenced once.
    cad::Entity piece(int n, const QString& stream, const std::function<void(const cad::Block&)>& fill) {
        const QString name = QStringLiteral("12^STRUMIEN_%1^").arg(n) + stream;
        fill(doc().blocks().add(cad::Point{0, 0, 0}, name));
        return insert(name, StreamLayer);
    }
    // A reference as a file holds it: its insertion point in its own system, angle and scales there.
    void place(const cad::Entity& ref, const Point3& normal, const Point3& ocsInsertion, double rotation,
               double yScale = 1) {
        cad::db::Entity* e = engine(ref);
        e->normal = normal;
        auto& d = e->as<cad::db::InsertData>();
        d.position = ocsInsertion;
        d.rotation = rotation;
        d.yScale = yScale;
    }
    // The block's arc (centre c, radius r, counter-clockwise from b1 to b2 in the block's plan)
    // written as a file writes it seen from below: the centre mirrored in X, angles a -> π - a.
    void arcSeenFromBelow(const cad::Block& block, const PlanePoint& c, double r, double b1, double b2) {
        const cad::Entity arc = block.addArc(cad::Point{0, 0, 0}, r, 0, 1);
        cad::db::Entity* e = engine(arc);
        e->normal = Down;
        e->as<cad::db::ArcData>() = {{-c.X, c.Y, 0}, r, Pi - b2, Pi - b1};
    }
    // The record read for the stream, and its shape check's fault.
    StreamRecord read(const QString& stream) {
        EXPECT_TRUE(OdczytajStrumienie(false, -1));
        const int i = FindStreamIndex(stream);
        EXPECT_GE(i, 0) << stream.toStdString();
        return i < 0 ? StreamRecord() : StreamTable[size_t(i)];
    }
    QString faultOf(const QString& stream) { return CheckStreamShape(read(stream), false).Fault; }
    static void expectPoint(const PlanePoint& got, const PlanePoint& want, const char* what) {
        EXPECT_NEAR(got.X, want.X, 1e-4) << what;
        EXPECT_NEAR(got.Y, want.Y, 1e-4) << what;
    }
    static QString tilted() { return QStringLiteral("leży w płaszczyźnie nachylonej do płaszczyzny XY"); }
};

// Turned by 30° (no half turn or mirror maps it onto itself), on the map grid, plain and mirrored in
// Y: a reference seen from below holding a line and one holding an arc; one seen from above holding
// an arc seen from below, and one seen from below holding one seen from below.
TEST_F(ComponentPlanes, ReferencesAndArcsSeenFromBelowOnTheMapGridAreReadWhereDrawn) {
    const PlanePoint far{7.5e9, 5.5e9};
    const double turn = Pi / 6;
    const PlanePoint centre{5, 5};
    const double r = 3, b1 = 0.3, b2 = 1.4;
    for (const double yScale : {1.0, -1.0}) {
        SCOPED_TRACE(yScale);
        freshDrawing();
        struct Case {
            QString stream;
            bool referenceDown, arcDown, line;
        };
        const std::vector<Case> cases{{QStringLiteral("K1"), true, false, true},
                                      {QStringLiteral("K2"), true, false, false},
                                      {QStringLiteral("K3"), false, true, false},
                                      {QStringLiteral("K4"), true, true, false}};
        int n = 0;
        for (const Case& c : cases) {
            const cad::Entity ref = piece(++n, c.stream, [&](const cad::Block& b) {
                if (c.line)
                    b.addLine(cad::Point{10, 0, 0}, cad::Point{20, 5, 0});
                else if (c.arcDown)
                    arcSeenFromBelow(b, centre, r, b1, b2);
                else
                    b.addArc(cad::Point{centre.X, centre.Y, 0}, r, b1, b2);
            });
            // Seen from below, the system's X axis is the world's -X: the insertion point too.
            place(ref, c.referenceDown ? Down : Point3{0, 0, 1},
                  c.referenceDown ? Point3{-far.X, far.Y, 0} : Point3{far.X, far.Y, 0}, turn, yScale);
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(c.stream.toStdString());
            // Where the reference draws a point of its block: scaled and turned in its own system,
            // then seen from below or above at the insertion point.
            auto drawn = [&](double x, double y) {
                const double u = x, v = yScale * y;
                const double qx = std::cos(turn) * u - std::sin(turn) * v,
                             qy = std::sin(turn) * u + std::cos(turn) * v;
                return PlanePoint{c.referenceDown ? far.X - qx : far.X + qx, far.Y + qy};
            };
            const StreamRecord rec = read(c.stream);
            EXPECT_EQ(CheckStreamShape(rec, false).Fault, QString());
            const SegmentRecord& s = rec.Segments[1];
            if (c.line) {
                expectPoint(s.StartPoint, drawn(10, 0), "start");
                expectPoint(s.EndPoint, drawn(20, 5), "end");
                continue;
            }
            const bool mirrored = c.referenceDown != (yScale < 0);
            const PlanePoint first = drawn(centre.X + r * std::cos(b1), centre.Y + r * std::sin(b1));
            const PlanePoint second = drawn(centre.X + r * std::cos(b2), centre.Y + r * std::sin(b2));
            expectPoint(s.StartPoint, mirrored ? second : first, "start");
            expectPoint(s.EndPoint, mirrored ? first : second, "end");
            expectPoint(s.Center, drawn(centre.X, centre.Y), "centre");
            EXPECT_NEAR(s.Radius, r, 1e-9);
            EXPECT_NEAR(s.StartPoint.X, s.Center.X + r * std::cos(s.StartAngle), 1e-4);
            EXPECT_NEAR(s.EndPoint.Y, s.Center.Y + r * std::sin(s.EndAngle), 1e-4);
        }
    }
}

TEST_F(ComponentPlanes, AnExtrusionOfAnyMagnitudeIsThePlaneItPointsTo) {
    const double third = 1 / std::sqrt(3.0);
    const std::vector<Point3> slanted{{1e308, 1e308, 1e308}, {1e-170, 1e-170, 1e-170}, {third, third, third}};
    int n = 0;
    for (const Point3& normal : slanted) {
        SCOPED_TRACE(normal.x);
        // An arc on the plane; lines in a reference on it, one across the slope (along the system's
        // Y axis), which the plan foreshortens, one along it (its X axis, level), which it does not.
        n += 3;
        const cad::Entity arc = piece(n - 2, QStringLiteral("K%1").arg(n - 2), [](const cad::Block& b) {
            b.addArc(cad::Point{5, 5, 0}, 3, 0, Pi / 2);
        });
        engine(doc().blocks().item(arc.name()).entities().value(0))->normal = normal;
        const cad::Entity across = piece(n - 1, QStringLiteral("K%1").arg(n - 1), [](const cad::Block& b) {
            b.addLine(cad::Point{0, 0, 0}, cad::Point{0, 50, 0});
        });
        engine(across)->normal = normal;
        const cad::Entity level = piece(n, QStringLiteral("K%1").arg(n), [](const cad::Block& b) {
            b.addLine(cad::Point{0, 0, 0}, cad::Point{50, 0, 0});
        });
        engine(level)->normal = normal;
        EXPECT_TRUE(faultOf(QStringLiteral("K%1").arg(n - 2)).contains(tilted()));
        EXPECT_TRUE(faultOf(QStringLiteral("K%1").arg(n - 1)).contains(tilted()));
        const StreamRecord l = read(QStringLiteral("K%1").arg(n));
        EXPECT_EQ(CheckStreamShape(l, false).Fault, QString());
        // The system's X axis of the plane: world Z crossed with the normal, (-1, 1, 0) / √2.
        expectPoint(l.Segments[1].EndPoint, {-50 / std::sqrt(2.0), 50 / std::sqrt(2.0)}, "level line's end");
    }
}

// Off (0, 0, 1) by rounding noise, 1e-10 and 1e-9, a piece is measured as drawn in XY.
TEST_F(ComponentPlanes, APlaneOffXYByRoundingNoiseIsXY) {
    int n = 0;
    for (const double noise : {1e-10, 1e-9}) {
        SCOPED_TRACE(noise);
        const Point3 normal{noise, -noise, 1};
        n += 2;
        const cad::Entity arc = piece(n - 1, QStringLiteral("K%1").arg(n - 1), [](const cad::Block& b) {
            b.addArc(cad::Point{5, 5, 0}, 30, 0, Pi / 2);
        });
        engine(doc().blocks().item(arc.name()).entities().value(0))->normal = normal;
        const cad::Entity line = piece(n, QStringLiteral("K%1").arg(n), [](const cad::Block& b) {
            b.addLine(cad::Point{0, 0, 0}, cad::Point{50, 0, 0});
        });
        place(line, normal, {7.5e9, 5.5e9, 0}, 0);
        const StreamRecord a = read(QStringLiteral("K%1").arg(n - 1));
        EXPECT_EQ(CheckStreamShape(a, false).Fault, QString());
        expectPoint(a.Segments[1].Center, {5, 5}, "centre");
        expectPoint(a.Segments[1].StartPoint, {35, 5}, "start");
        expectPoint(a.Segments[1].EndPoint, {5, 35}, "end");
        const StreamRecord l = read(QStringLiteral("K%1").arg(n));
        EXPECT_EQ(CheckStreamShape(l, false).Fault, QString());
        expectPoint(l.Segments[1].StartPoint, {7.5e9, 5.5e9}, "line start");
        EXPECT_NEAR(common::GetDistance(l.Segments[1].StartPoint, l.Segments[1].EndPoint), 50, 1e-4);
    }
}

// On a plane tilted by asin(0.01), a line along the tilt loses 1 - cos of its length in the plan,
// an arc (turned in the plane, which changes nothing) at most as much of its length or radius: 0.9
// of the tolerance is measured, 1.1 is refused, the tolerance a centimetre in the drawing's units
// (SKALA 1 and 1000).
TEST_F(ComponentPlanes, ATiltIsJudgedByWhatThePlanProjectionChangesAgainstTheTolerance) {
    const double sine = 0.01, cosine = std::sqrt(1 - sine * sine);
    const Point3 normal{sine, 0, cosine};
    for (const int scale : {1, 1000}) {
        SCOPED_TRACE(scale);
        freshDrawing();
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::number(scale));
        const double tolerance = 0.01 * scale;
        int n = 0;
        for (const double share : {0.9, 1.1}) {
            const double length = share * tolerance / (1 - cosine);
            n += 2;
            const cad::Entity line = piece(n - 1, QStringLiteral("K%1").arg(n - 1), [&](const cad::Block& b) {
                b.addLine(cad::Point{0, 0, 0}, cad::Point{length, 0, 0});
            });
            place(line, normal, {}, 0);
            // A quarter circle: its length is the larger loss.
            const double radius = share * tolerance / ((1 - cosine) * Pi / 2);
            const cad::Entity arc = piece(n, QStringLiteral("K%1").arg(n), [&](const cad::Block& b) {
                b.addArc(cad::Point{0, 0, 0}, radius, 0, Pi / 2);
            });
            place(arc, normal, {}, Pi / 6);
        }
        const StreamRecord shortLine = read(QStringLiteral("K1"));
        EXPECT_EQ(CheckStreamShape(shortLine, false).Fault, QString());
        EXPECT_NEAR(shortLine.Segments[1].EndPoint.X, 0.9 * tolerance / (1 - cosine) * cosine, 1e-6 * scale);
        EXPECT_EQ(faultOf(QStringLiteral("K2")), QString());
        EXPECT_TRUE(faultOf(QStringLiteral("K3")).contains(tilted()));
        EXPECT_TRUE(faultOf(QStringLiteral("K4")).contains(tilted()));
    }
}

// A plan view squashing one direction to half, turned by 30° (mirrored too): its nearest turn or
// mirror is the turn itself, and a quarter circle of radius 1 loses at most half its length.
TEST(ComponentPlacements, APlanViewSquashedAndTurnedLosesWhatTheSquashTakes) {
    using cad::db::Transform2D;
    for (const double mirror : {1.0, -1.0}) {
        SCOPED_TRACE(mirror);
        const Transform2D turn = Transform2D::rotation(Pi / 6).after(Transform2D::scale(mirror, 1));
        const Transform2D drawn =
            turn.after(Transform2D::scale(1, 0.5)).after(Transform2D::translation(4, 2));
        const Transform2D flat = NearestIsometry(drawn);
        const Transform2D expected = turn.after(Transform2D::translation(4, 2));
        for (const auto& [got, want] :
             {std::pair{flat.a, expected.a}, std::pair{flat.b, expected.b}, std::pair{flat.c, expected.c},
              std::pair{flat.d, expected.d}, std::pair{flat.tx, drawn.tx}, std::pair{flat.ty, drawn.ty}})
            EXPECT_NEAR(got, want, 1e-12);
        EXPECT_NEAR(PlanChange(Arc(0, 0, 1, 0, Pi / 2), drawn, flat), 0.5 * Pi / 2, 1e-12);
        // A line along the squashed direction loses half its length, one across it nothing.
        EXPECT_NEAR(PlanChange(Line(0, 0, 0, 8), drawn, flat), 4, 1e-12);
        EXPECT_NEAR(PlanChange(Line(0, 0, 8, 0), drawn, flat), 0, 1e-12);
    }
}

}  // namespace
}  // namespace conflictor::test
