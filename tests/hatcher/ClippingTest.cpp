// Cutting drawing entities to a circle, each result checked against shapely: lines, arcs, circles,
// polylines with bulges, a rotated and scaled block reference, a hatch with islands, a text half
// inside and a raster image.
#include "HatcherFixture.h"

#include "hatcher/core/Clipping.h"

#include <QFile>
#include <QTextStream>

using namespace hatcher;
using namespace hatcher::test;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

const common::PlanePoint C{0, 0};
constexpr double R = 10;
const common::PlanePoint T{100, 50};

class Clipping : public HatcherFixture {
protected:
    // Clips a copy of the entity; checks the entity itself stayed and nothing else is left over.
    QList<cad::Entity> clip(const cad::Entity& e) {
        const QStringList before = handles();
        const auto box = e.boundingBox();
        QStringList taken;
        ClipEntityToCircle(e, C, R, true, T, false, &taken);
        EXPECT_EQ(e.boundingBox(), box);  // the user's entity is untouched
        QStringList now = handles();
        for (const QString& h : before) now.removeOne(h);
        QStringList sortedTaken = taken;
        sortedTaken.sort();
        now.sort();
        EXPECT_EQ(now, sortedTaken) << "every new entity is a recorded piece of the pattern";
        QList<cad::Entity> out;
        for (const QString& h : taken) out << CadDocument.handleToObject(h);
        return out;
    }
    // The input's linework: the entity itself, or its exploded pieces (removed again).
    QStringList inputLines(const cad::Entity& e) {
        const QString kind = e.objectName();
        if (kind == QLatin1String("AcDbLine") || kind == QLatin1String("AcDbArc") ||
            kind == QLatin1String("AcDbCircle"))
            return {Wkt(e)};
        QStringList out;
        for (const cad::Entity& p : e.explode()) {
            const QString k = p.objectName();
            if (k == QLatin1String("AcDbPolyline") || k == QLatin1String("AcDbBlockReference"))
                out << inputLines(p);
            else if (!Wkt(p).isEmpty())
                out << Wkt(p);
            p.erase();
        }
        return out;
    }
    void linesCase(const QString& name, const cad::Entity& e) {
        const QStringList in = inputLines(e);
        cases << QStringLiteral("CASE %1 lines").arg(name) << QStringLiteral("CLIP 0 0 10");
        for (const QString& w : in) cases << QStringLiteral("IN ") + w;
        for (const cad::Entity& p : clip(e)) {
            EXPECT_FALSE(Wkt(p, T.X, T.Y).isEmpty()) << p.objectName().toStdString();
            cases << QStringLiteral("OUT ") + Wkt(p, T.X, T.Y);
        }
        cases << QStringLiteral("END");
    }
    QStringList cases;
};

QString ring(const QList<cad::Point>& pts) {
    QStringList s;
    for (const cad::Point& p : pts) s << QStringLiteral("%1 %2").arg(p.x).arg(p.y);
    s << s.first();
    return QStringLiteral("LINESTRING (%1)").arg(s.join(QStringLiteral(", ")));
}

}  // namespace

TEST_F(Clipping, EveryKindAgainstShapely) {
    linesCase(QStringLiteral("line_through"), CadModelSpace.addLine({-20, 5, 0}, {20, 5, 0}));
    linesCase(QStringLiteral("line_one_end_inside"), CadModelSpace.addLine({0, 0, 0}, {20, 0, 0}));
    linesCase(QStringLiteral("arc_cut_twice"),
              CadModelSpace.addArc({0, 14, 0}, 6, std::numbers::pi, 2 * std::numbers::pi));
    linesCase(QStringLiteral("arc_bulging_out"), CadModelSpace.addArc({0, 6, 0}, 6, 0, std::numbers::pi));
    linesCase(QStringLiteral("arc_one_end_inside"),
              CadModelSpace.addArc({10, 0, 0}, 4, std::numbers::pi / 2, 1.5 * std::numbers::pi));
    linesCase(QStringLiteral("circle_crossing"), CadModelSpace.addCircle({8, 0, 0}, 5));

    const cad::Entity bulged = CadModelSpace.addLightWeightPolyline({{-20, -3, 0}, {0, -3, 0}, {20, 2, 0}});
    bulged.invoke(QStringLiteral("SetBulge"), {0, 0.4});
    bulged.invoke(QStringLiteral("SetBulge"), {1, -0.6});
    linesCase(QStringLiteral("polyline_with_bulges"), bulged);
    // A polyline whose box straddles the circle with no corner inside is cut, not dropped.
    linesCase(QStringLiteral("polyline_no_corner_inside"),
              CadModelSpace.addLightWeightPolyline({{-30, 1, 0}, {0, 1.5, 0}, {30, 1, 0}}));

    const cad::Block sign = CadDocument.blocks().add({0, 0, 0}, QStringLiteral("ZNAK"));
    sign.addLine({-4, 0, 0}, {4, 0, 0});
    sign.addArc({0, 0, 0}, 3, 0, std::numbers::pi);
    sign.addCircle({2, 2, 0}, 1.5);
    sign.addLightWeightPolyline({{-4, -1, 0}, {4, -1, 0}, {4, -3, 0}});
    automation::AddAttributeDefinition(sign, QStringLiteral("OPIS"), QStringLiteral("x"), 0, 0);
    linesCase(
        QStringLiteral("block_rotated_scaled"),
        CadModelSpace.insertBlock({6, 2, 0}, QStringLiteral("ZNAK"), 1.5, 1.5, 1.5, std::numbers::pi / 6));

    // A hatch with a round island inside the circle and a square one across its edge.
    const cad::Entity outer = CadModelSpace.addLightWeightPolyline(
        {{-20, -4, 0}, {6, -4, 0}, {6, 12, 0}, {-20, 12, 0}, {-20, -4, 0}});
    const cad::Entity round = CadModelSpace.addCircle({-3, 3, 0}, 3);
    const cad::Entity square =
        CadModelSpace.addLightWeightPolyline({{-14, 2, 0}, {-6, 2, 0}, {-6, 8, 0}, {-14, 8, 0}, {-14, 2, 0}});
    const cad::Entity hatch = CadModelSpace.addHatch(0, QStringLiteral("ANSI31"), true);
    hatch.appendOuterLoop({outer});
    hatch.appendInnerLoop({round});
    hatch.appendInnerLoop({square});
    hatch.setLayer(QStringLiteral("0"));
    hatch.setColor(3);
    cases << QStringLiteral("CASE hatch_with_islands area") << QStringLiteral("CLIP 0 0 10")
          << QStringLiteral("IN ") + ring({{-20, -4, 0}, {6, -4, 0}, {6, 12, 0}, {-20, 12, 0}})
          << QStringLiteral("IN LINESTRING (%1)").arg(ArcPoints(-3, 3, 3, 0, 2 * std::numbers::pi))
          << QStringLiteral("IN ") + ring({{-14, 2, 0}, {-6, 2, 0}, {-6, 8, 0}, {-14, 8, 0}});
    const QList<cad::Entity> filled = clip(hatch);
    int hatches = 0;
    for (const cad::Entity& h : filled) {
        if (h.objectName() != QLatin1String("AcDbHatch")) continue;
        ++hatches;
        EXPECT_EQ(h.patternName(), QStringLiteral("SOLID"));
        EXPECT_EQ(h.color(), 3);
        for (int i = 0; i < h.numberOfLoops(); ++i) {
            cases << QStringLiteral("OUTLOOP");
            const int count = CadModelSpace.count();
            const QList<cad::Entity> curves = h.loopAt(i);
            for (const cad::Entity& c : curves) cases << QStringLiteral("OUT ") + Wkt(c, T.X, T.Y);
            if (CadModelSpace.count() > count)
                for (const cad::Entity& c : curves) c.erase();
        }
    }
    EXPECT_EQ(hatches, 1);
    cases << QStringLiteral("END");

    // A circle around the clip circle gives nothing.
    cases << QStringLiteral("CASE circle_around none") << QStringLiteral("CLIP 0 0 10");
    EXPECT_TRUE(clip(CadModelSpace.addCircle({3, 0, 0}, 15)).isEmpty());
    cases << QStringLiteral("END");

    QTemporaryDir dir;
    const QString path = qEnvironmentVariableIsSet("HATCHER_KEEP_CASES")
                             ? QStringLiteral("/tmp/hatcher_cases.txt")
                             : dir.filePath(QStringLiteral("cases.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write(cases.join(QLatin1Char('\n')).toUtf8());
    f.close();
    QString report;
    EXPECT_TRUE(RunShapelyCheck(path, report)) << report.toStdString();
    EXPECT_EQ(report.count(QStringLiteral("OK ")), 11) << report.toStdString();
}

TEST_F(Clipping, WholeOrNothingForOtherKinds) {
    // A text half inside is taken whole, moved by T - C.
    const cad::Entity text = CadModelSpace.addText(QStringLiteral("Faza 12"), {8, 0, 0}, 2);
    const auto [lo, hi] = text.boundingBox();
    const QList<cad::Entity> taken = clip(text);
    ASSERT_EQ(taken.size(), 1);
    const auto [tlo, thi] = taken[0].boundingBox();
    EXPECT_NEAR(tlo.x - lo.x, T.X, 1e-9);
    EXPECT_NEAR(thi.y - hi.y, T.Y, 1e-9);
    EXPECT_EQ(taken[0].textString(), QStringLiteral("Faza 12"));
    // Far away: nothing; wholly inside: one whole copy.
    EXPECT_TRUE(clip(CadModelSpace.addText(QStringLiteral("daleko"), {40, 40, 0}, 2)).isEmpty());
    const QList<cad::Entity> inside =
        clip(CadModelSpace.addLightWeightPolyline({{-2, -2, 0}, {2, -2, 0}, {2, 2, 0}}));
    ASSERT_EQ(inside.size(), 1);
    EXPECT_EQ(inside[0].objectName(), QStringLiteral("AcDbPolyline"));
}

TEST_F(Clipping, LinesMissingTheCircle) {
    // Tangent and wholly outside lines give nothing and the result false.
    const cad::Entity tangent = CadModelSpace.addLine({-20, 10, 0}, {20, 10, 0});
    EXPECT_FALSE(ClipEntityToCircle(tangent, C, R, true, T, false));
    const cad::Entity outside = CadModelSpace.addLine({-20, 30, 0}, {20, 30, 0});
    EXPECT_FALSE(ClipEntityToCircle(outside, C, R, true, T, true));
    EXPECT_THROW(outside.handle(), cad::Erased);  // deleted when it gives nothing
    // An end exactly on the circle counts as inside.
    const cad::Entity onCircle = CadModelSpace.addLine({10, 0, 0}, {0, 0, 0});
    QStringList taken;
    EXPECT_TRUE(ClipEntityToCircle(onCircle, C, R, true, T, false, &taken));
    ASSERT_EQ(taken.size(), 1);
    EXPECT_EQ(CadDocument.handleToObject(taken[0]).startPoint(), (cad::Point{110, 50, 0}));
}

TEST_F(Clipping, ChainsAndBoxes) {
    ClipSegmentRecord a, b, c;
    a.StartPoint = {0, 0};
    a.EndPoint = {10, 0};
    b.StartPoint = {10, 0};
    b.EndPoint = {0, 5};
    c.StartPoint = {0, 5.005};
    c.EndPoint = {0, 0.004};
    EXPECT_TRUE(IsClosedChain({a, b, c}));
    c.EndPoint = {0, 1};
    EXPECT_FALSE(IsClosedChain({a, b, c}));
    EXPECT_FALSE(IsClosedChain({a}));
    bool any = false, all = false;
    BoxCornersInCircle({{-1, -1, 0}, {1, 1, 0}}, C, R, any, all);
    EXPECT_TRUE(any && all);
    BoxCornersInCircle({{-30, 1, 0}, {30, 2, 0}}, C, R, any, all);
    EXPECT_FALSE(any);
    EXPECT_TRUE(BoxTouchesCircle({{-30, 1, 0}, {30, 2, 0}}, C, R));
    EXPECT_FALSE(BoxTouchesCircle({{8, 8, 0}, {9, 9, 0}}, C, R));
}

TEST_F(Clipping, RasterImagesAreNeverTaken) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("raster.dxf"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SUITE_TEST_DATA "/cad/raster_image.dxf"), path));
    automation::CadApplication.documents().open(path);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    const QList<cad::Entity> all = CadModelSpace.entities();
    ASSERT_EQ(all.size(), 1);
    ASSERT_EQ(all[0].objectName(), QStringLiteral("AcDbRasterImage"));
    QStringList taken;
    ClipEntityToCircle(all[0], C, R, true, T, false, &taken);
    EXPECT_TRUE(taken.isEmpty());
    EXPECT_EQ(CadModelSpace.count(), 1);
}

namespace {

// A piece of a cut as where it lies in the plan: kind, its two ends in either order and its extents.
struct PlacedPiece {
    QString kind;
    cad::Point a, b;
    std::pair<cad::Point, cad::Point> box;
};

QList<PlacedPiece> placed(const QList<cad::Entity>& pieces) {
    QList<PlacedPiece> out;
    for (const cad::Entity& p : pieces) {
        PlacedPiece x{p.objectName(), {}, {}, p.boundingBox()};
        if (x.kind != QLatin1String("AcDbCircle")) {
            x.a = p.startPoint();
            x.b = p.endPoint();
            if (std::tie(x.b.x, x.b.y) < std::tie(x.a.x, x.a.y)) std::swap(x.a, x.b);
        }
        out << x;
    }
    std::sort(out.begin(), out.end(), [](const PlacedPiece& l, const PlacedPiece& r) {
        return std::tie(l.a.x, l.a.y, l.box.first.x) < std::tie(r.a.x, r.a.y, r.box.first.x);
    });
    return out;
}

void expectSamePoint(const cad::Point& p, const cad::Point& q, const std::string& what) {
    EXPECT_NEAR(p.x, q.x, 1e-9) << what;
    EXPECT_NEAR(p.y, q.y, 1e-9) << what;
}

}  // namespace

TEST_F(Clipping, EntitiesSeenFromBelowAreCutWhereTheyAreDrawn) {
    // Each entity written with extrusion (0,0,-1) (as exploding a mirrored block writes it) next
    // to its twin drawn in world coordinates on layer "W...": both cut give the same pieces.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("below.dxf"));
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import ezdxf, sys
doc = ezdxf.new("R2010")
msp = doc.modelspace()
down = {"extrusion": (0, 0, -1)}
msp.add_arc((3, 12), 6, 200, 360, dxfattribs={"layer": "W_TWICE"})
msp.add_arc((-3, 12), 6, 180, 340, dxfattribs={"layer": "O_TWICE", **down})
msp.add_arc((9, 1), 4, 100, 260, dxfattribs={"layer": "W_ONE_END"})
msp.add_arc((-9, 1), 4, 280, 80, dxfattribs={"layer": "O_ONE_END", **down})
msp.add_circle((8, 0), 5, dxfattribs={"layer": "W_CIRCLE"})
msp.add_circle((-8, 0), 5, dxfattribs={"layer": "O_CIRCLE", **down})
msp.add_lwpolyline([(-20, -3, 0, 0, 0.4), (0, -3, 0, 0, -0.6), (20, 2)], dxfattribs={"layer": "W_POLYLINE"})
msp.add_lwpolyline([(20, -3, 0, 0, -0.4), (0, -3, 0, 0, 0.6), (-20, 2)], dxfattribs={"layer": "O_POLYLINE", **down})
doc.saveas(sys.argv[1])
)"),
                                                   path});
    ASSERT_TRUE(py.waitForFinished(60000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    automation::CadApplication.documents().open(path);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    QHash<QString, cad::Entity> byLayer;
    for (const cad::Entity& e : CadModelSpace.entities()) byLayer.insert(e.layer(), e);
    for (const QString name : {QStringLiteral("TWICE"), QStringLiteral("ONE_END"), QStringLiteral("CIRCLE"),
                               QStringLiteral("POLYLINE")}) {
        const std::string what = name.toStdString();
        const QList<PlacedPiece> world = placed(clip(byLayer.value(QStringLiteral("W_") + name)));
        const QList<PlacedPiece> below = placed(clip(byLayer.value(QStringLiteral("O_") + name)));
        ASSERT_FALSE(world.isEmpty()) << what;
        ASSERT_EQ(below.size(), world.size()) << what;
        for (qsizetype i = 0; i < world.size(); ++i) {
            EXPECT_EQ(below[i].kind, world[i].kind) << what;
            expectSamePoint(below[i].a, world[i].a, what + " end");
            expectSamePoint(below[i].b, world[i].b, what + " other end");
            expectSamePoint(below[i].box.first, world[i].box.first, what + " extents");
            expectSamePoint(below[i].box.second, world[i].box.second, what + " extents");
        }
    }
}
