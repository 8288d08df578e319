// Curves on map-grid coordinates as ezdxf writes them (a HELIX, a SPLINE with its end tangents, a
// hatch's spline edge with fit points and end tangents, a heavy 2D POLYLINE with bulges and widths): measured
// where ezdxf measures them, turned half round, mirrored in Y and moved where ezdxf's own transform puts
// them, and saved so that ezdxf reads back the data they were read with.
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/engine/Splines.h"
#include "tests/platform/cad/dxf/PythonScript.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>

using namespace cad::db;

namespace {

const char* python = "/usr/bin/python3";
constexpr double X0 = 7.5e9, Y0 = 5.5e9;
// A double holds map-grid coordinates to about a micrometre; ezdxf's own transform is as exact.
constexpr double Far = 1e-5;

QJsonObject runScript(const QString& mode, const QString& path) {
    return QJsonDocument::fromJson(cadtest::RunPythonScript(
                                       QStringLiteral(SUITE_TEST_DATA "/cad/curve_drawing.py"), {mode, path}))
        .object();
}

// The transform the script calls TURN.
Transform2D turn() {
    const Transform2D about = Transform2D::translation(X0 + 3, Y0 - 4)
                                  .after(Transform2D::rotation(M_PI))
                                  .after(Transform2D::translation(-(X0 + 3), -(Y0 - 4)));
    const Transform2D mirror = Transform2D::translation(0, Y0 + 1)
                                   .after(Transform2D::scale(1, -1))
                                   .after(Transform2D::translation(0, -(Y0 + 1)));
    return Transform2D::translation(3, -2).after(mirror).after(about);
}

Entity* onLayer(Database& db, const QString& layer) {
    for (Entity* e : db.modelSpace()->entities())
        if (e->layer() == layer) return e;
    ADD_FAILURE() << "no entity on layer " << layer.toStdString();
    return nullptr;
}

void expectNear(double ours, const QJsonValue& theirs, double tol, const std::string& what) {
    EXPECT_NEAR(ours, theirs.toDouble(), tol) << what;
}

void expectXY(const Point3& ours, const QJsonValue& theirs, double tol, const std::string& what) {
    const QJsonArray p = theirs.toArray();
    ASSERT_GE(p.size(), 2) << what;
    expectNear(ours.x, p[0], tol, what + " x");
    expectNear(ours.y, p[1], tol, what + " y");
}

void expectPoints(const std::vector<Point3>& ours, const QJsonValue& theirs, double tol,
                  const std::string& what) {
    const QJsonArray list = theirs.toArray();
    ASSERT_EQ(ours.size(), size_t(list.size())) << what;
    for (size_t i = 0; i < ours.size(); ++i)
        expectXY(ours[i], list[qsizetype(i)], tol, what + " " + std::to_string(i));
}

// The first X/Y pair of `code` in tags [from, to).
Point3 pairOf(const Tags& tags, int code, size_t from, size_t to) {
    for (size_t i = from; i + 1 < to; ++i)
        if (tags[i].code == code && tags[i + 1].code == code + 10)
            return {tags[i].value.toDouble(), tags[i + 1].value.toDouble(), 0};
    ADD_FAILURE() << "no pair " << code;
    return {};
}

double valueOf(const Tags& tags, int code, size_t from) {
    for (size_t i = from; i < tags.size(); ++i)
        if (tags[i].code == code) return tags[i].value.toDouble();
    ADD_FAILURE() << "no code " << code;
    return 0;
}

// A SPLINE's or HELIX's data against what the script gives for it ("data" or "turned").
void expectSpline(const Entity* e, const QJsonObject& want, const std::string& what) {
    const RawData& raw = e->as<RawData>();
    SplineCurve s;
    ASSERT_TRUE(splineOfRaw(raw, s)) << what;
    expectPoints(s.control, want["control"], Far, what + " control");
    expectPoints(s.fit, want["fit"], Far, what + " fit");
    const size_t helix = helixPartStart(raw);
    // End tangents are directions: turned, never moved.
    if (want.contains("start_tangent"))
        expectXY(pairOf(raw.tags, 12, 0, helix), want["start_tangent"], 1e-12, what + " start tangent");
    if (want.contains("end_tangent"))
        expectXY(pairOf(raw.tags, 13, 0, helix), want["end_tangent"], 1e-12, what + " end tangent");
    if (helix == raw.tags.size()) return;
    expectXY(pairOf(raw.tags, 10, helix, raw.tags.size()), want["axis_base_point"], Far, what + " axis base");
    expectXY(pairOf(raw.tags, 11, helix, raw.tags.size()), want["start_point"], Far, what + " start point");
    expectXY(pairOf(raw.tags, 12, helix, raw.tags.size()), want["axis_vector"], 1e-12, what + " axis");
    expectNear(valueOf(raw.tags, 40, helix), want["radius"], 1e-9, what + " radius");
    expectNear(valueOf(raw.tags, 42, helix), want["turn_height"], 1e-12, what + " turn height");
}

// A hatch's spline edge in world coordinates: control and fit points, end tangents.
void expectSplineEdge(const Entity* e, const QJsonObject& want, const std::string& what) {
    const Tags& raw = e->as<HatchData>().loops.at(0).edges.at(0).raw;
    const SplineCurve s = splineOfEdge(raw);
    const auto world = [&](std::vector<Point3> points) {
        for (Point3& p : points) p = ocsToWorld(*e, p);
        return points;
    };
    expectPoints(world(s.control), want["control"], Far, what + " control");
    expectPoints(world(s.fit), want["fit"], Far, what + " fit");
    const Ocs ocs(e->normal);
    expectXY(ocs.directionToWorld(pairOf(raw, 12, 0, raw.size())), want["start_tangent"], 1e-12,
             what + " start tangent");
    expectXY(ocs.directionToWorld(pairOf(raw, 13, 0, raw.size())), want["end_tangent"], 1e-12,
             what + " end tangent");
}

// A 2D polyline by its plan: world vertices, bulges as they turn in the plan, widths.
void expectPolyline(const Entity* e, const QJsonObject& want, const std::string& what) {
    const auto& p = e->as<Polyline2dData>();
    const QJsonArray vertices = want["vertices"].toArray();
    ASSERT_EQ(p.vertices.size(), size_t(vertices.size())) << what;
    const double plan = e->normal.z < 0 ? -1 : 1;
    for (size_t i = 0; i < p.vertices.size(); ++i) {
        const Vertex& v = p.vertices[i];
        const QJsonArray w = vertices[qsizetype(i)].toArray();
        const std::string at = what + " " + std::to_string(i);
        expectXY(ocsToWorld(*e, {v.x, v.y, p.elevation}), w, Far, at);
        expectNear(plan * v.bulge, w[2], 1e-12, at + " bulge");
        expectNear(v.startWidth, w[3], 1e-12, at + " start width");
        expectNear(v.endWidth, w[4], 1e-12, at + " end width");
    }
}

class CurveTransforms : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(python)) GTEST_SKIP() << "no /usr/bin/python3";
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("curves.dxf");
        truth = runScript("write", path);
        ASSERT_EQ(truth.size(), 4);
        db = cad::dxf::readFile(path);
    }
    QTemporaryDir dir;
    QString path;
    QJsonObject truth;
    std::unique_ptr<Database> db;
};

TEST_F(CurveTransforms, ExtentsAreWhereEzdxfFindsThem) {
    // ezdxf measures the polyline's arcs by their Bézier approximation; the spline's crests lie
    // between the points it is drawn through.
    for (const auto& [layer, tol] :
         {std::pair{"HELIX", Far}, {"SPLINE", Far}, {"HATCH", Far}, {"POLYLINE", 1e-3}}) {
        const QJsonArray b = truth[layer].toObject()["box"].toArray();
        const Box box = db->boundingBox(onLayer(*db, layer));
        EXPECT_NEAR(box.min.x, b[0].toDouble(), tol) << layer;
        EXPECT_NEAR(box.min.y, b[1].toDouble(), tol) << layer;
        EXPECT_NEAR(box.max.x, b[2].toDouble(), tol) << layer;
        EXPECT_NEAR(box.max.y, b[3].toDouble(), tol) << layer;
    }
}

TEST_F(CurveTransforms, TurnedMirroredAndMovedWhereEzdxfPutsThem) {
    for (const char* layer : {"HELIX", "SPLINE", "HATCH", "POLYLINE"})
        db->transform(onLayer(*db, layer), turn());
    expectSpline(onLayer(*db, "HELIX"), truth["HELIX"].toObject()["turned"].toObject(), "helix");
    expectSpline(onLayer(*db, "SPLINE"), truth["SPLINE"].toObject()["turned"].toObject(), "spline");
    expectSplineEdge(onLayer(*db, "HATCH"), truth["HATCH"].toObject()["turned"].toObject(), "hatch");
    expectPolyline(onLayer(*db, "POLYLINE"), truth["POLYLINE"].toObject()["turned"].toObject(), "polyline");
    // Mirrored, the helix's spline turns the other way round its axis, and its handedness says so
    // (ezdxf's transform keeps the handedness as read).
    const RawData& helix = onLayer(*db, "HELIX")->as<RawData>();
    EXPECT_EQ(valueOf(helix.tags, 290, helixPartStart(helix)), 0);
    EXPECT_EQ(truth["HELIX"].toObject()["data"].toObject()["handedness"].toInt(), 1);
}

// A plan transform keeps heights: a helix stays one only turned, mirrored, moved, or scaled evenly
// about its upright axis (its radius grows with it, its turns keep their height).
TEST_F(CurveTransforms, AHelixIsScaledEvenlyOrNotAtAll) {
    Entity* helix = onLayer(*db, "HELIX");
    const Tags before = helix->as<RawData>().tags;
    EXPECT_THROW(db->transform(helix, Transform2D::scale(2, 1)), cad::NotSupported);
    EXPECT_THROW(db->transform(helix, Transform2D{1, 0.5, 0, 1, 0, 0}), cad::NotSupported);
    EXPECT_EQ(helix->as<RawData>().tags, before);
    db->transform(helix, Transform2D::translation(X0, Y0)
                             .after(Transform2D::scale(2, 2))
                             .after(Transform2D::translation(-X0, -Y0)));
    const RawData& raw = helix->as<RawData>();
    const size_t own = helixPartStart(raw);
    EXPECT_EQ(valueOf(raw.tags, 40, own), 20);
    EXPECT_EQ(valueOf(raw.tags, 42, own), 5);
    EXPECT_NEAR(db->boundingBox(helix).max.x, X0 + 20, Far);
    // An axis that leans is no longer one after a plan scale.
    Tags leaning = raw.tags;
    for (size_t i = own; i < leaning.size(); ++i)
        if (leaning[i].code == 22) leaning[i].value = QStringLiteral("0.6");
    helix->as<RawData>().tags = leaning;
    EXPECT_THROW(db->transform(helix, Transform2D::scale(2, 2)), cad::NotSupported);
    EXPECT_NO_THROW(db->transform(helix, Transform2D::rotation(0.3)));  // a turn keeps it a helix
    // ... and turns its axis with it.
    const double ax = valueOf(leaning, 12, own);
    EXPECT_NEAR(valueOf(raw.tags, 12, own), ax * std::cos(0.3) - 0.6 * std::sin(0.3), 1e-12);
    EXPECT_NEAR(valueOf(raw.tags, 22, own), ax * std::sin(0.3) + 0.6 * std::cos(0.3), 1e-12);
    // A spline takes any plan transform: stretched, its control points stretch with it.
    Entity* spline = onLayer(*db, "SPLINE");
    SplineCurve read, stretched;
    ASSERT_TRUE(splineOfRaw(spline->as<RawData>(), read));
    db->transform(spline, Transform2D::scale(2, 1));
    ASSERT_TRUE(splineOfRaw(spline->as<RawData>(), stretched));
    EXPECT_EQ(stretched.control[1].x, 2 * read.control[1].x);
    EXPECT_EQ(stretched.control[1].y, read.control[1].y);
}

TEST_F(CurveTransforms, SavedAsReadWhereEzdxfReadsTheSameData) {
    const QString saved = dir.filePath("saved.dxf");
    cad::dxf::writeFile(*db, saved);
    const QJsonObject again = runScript("read", saved);
    for (const char* layer : {"HELIX", "SPLINE", "HATCH", "POLYLINE"})
        EXPECT_EQ(again[layer].toObject()["data"], truth[layer].toObject()["data"]) << layer;
}

}  // namespace

// Knots that are not clamped: the curve runs from knot[degree] to knot[count], so a uniform cubic
// over four points on a line spans (P0 + 4 P1 + P2) / 6 to (P1 + 4 P2 + P3) / 6, here x = 6 to 12.
TEST(SplineDomain, AnUnclampedCurveRunsOnlyOverItsOwnKnots) {
    SplineCurve s;
    s.knots = {0, 1, 2, 3, 4, 5, 6, 7};
    s.control = {{0, 0, 0}, {6, 0, 0}, {12, 0, 0}, {18, 0, 0}};
    ASSERT_TRUE(splineDefect(s).isEmpty());
    Box box;
    addSplineToBox(box, s);
    EXPECT_NEAR(box.min.x, 6, 1e-9);
    EXPECT_NEAR(box.max.x, 12, 1e-9);
    const std::vector<Point3> along = splineSamples(s);
    ASSERT_EQ(along.size(), 33u);
    EXPECT_NEAR(along.front().x, 6, 1e-9);
    EXPECT_NEAR(along.back().x, 12, 1e-9);
}
