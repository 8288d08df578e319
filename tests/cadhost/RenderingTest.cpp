// Rendering of hatch pattern dashes and curved hatch boundaries, multiline text codes, dimensions
// of every type drawn from their definition points, and multileaders, checked pixel by pixel
// against the geometry each record describes; the map that lays a flat frame on a tilted plane.
#include "RenderCanvas.h"

#include "cadhost/Selection.h"
#include "cadhost/Snap.h"
#include "cadhost/render/MTextRuns.h"
#include "cadhost/render/ScreenMapping.h"

#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <QtTest>
#include <cmath>

using namespace cad::db;

namespace {

// Header variables of a metric drawing (dimension sizes as ISO drawings use them).
void metricHeader(DxfText& d) {
    d.section("HEADER");
    const std::pair<const char*, double> reals[] = {{"$DIMASZ", 2.5},  {"$DIMTXT", 2.5},   {"$DIMEXO", 0.625},
                                                    {"$DIMEXE", 1.25}, {"$DIMGAP", 0.625}, {"$DIMSCALE", 1}};
    for (const auto& [name, value] : reals) d.tag(9, QString::fromLatin1(name)).tag(40, value);
    d.tag(9, QStringLiteral("$DIMDEC")).tag(70, 2);
    d.end();
}

}  // namespace

class RenderingTest : public QObject {
    Q_OBJECT

private slots:
    void hatchPatternsKeepTheirDashes() {
        DxfText d;
        d.section("ENTITIES");
        // Bricks: rows 4 apart; the joints are dashes 4 on, 4 off that shift by 4 from row to row.
        d.patternHatch(1, 0, 0, 40, 20, {{0, 0, 0, 0, 4, {}}, {90, 0, 0, -4, 4, {4, -4}}});
        // Herringbone-like: 45° dashes 4√2 long with equal gaps, and crossing 135° dashes.
        d.patternHatch(1, 50, 0, 90, 20,
                       {{45, 50, 0, -8, 8, {4 * M_SQRT2, -4 * M_SQRT2}},
                        {135, 58, 0, -8, -8, {4 * M_SQRT2, -4 * M_SQRT2}}});
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-5, -5, 95, 25, 10);
        // The rows are continuous.
        QVERIFY(c.lit(2, 4) && c.lit(22, 8) && c.lit(37, 12));
        // A joint runs between two rows and stops; the next row's joint is offset by a brick.
        QVERIFY(c.lit(8, 2) && !c.lit(8, 6) && c.lit(8, 10));
        QVERIFY(!c.lit(12, 2) && c.lit(12, 6) && !c.lit(12, 10));
        // Nothing outside the boundary.
        QVERIFY(!c.lit(44, 10, 1) && !c.lit(20, 22, 1));
        // Along the 45° line through (50, 0): a dash, a gap, a dash.
        QVERIFY(c.lit(52, 2, 1) && !c.lit(56, 6, 1) && c.lit(60, 10, 1));
    }

    void hatchBoundariesFollowSplinesEllipsesAndClockwiseArcs() {
        DxfText d;
        d.section("ENTITIES");
        d.hatch(2, "SOLID", true, 3);
        // A line closed by a cubic spline arching over it to 11.25 at its middle.
        d.tag(92, 1).tag(93, 2).tag(72, 1).point(10, 0, 0).point(11, 20, 0);
        d.cubicEdgeHead(false);
        d.point(10, 20, 0).point(10, 25, 15).point(10, -5, 15).point(10, 0, 0);
        d.tag(97, 0);
        // A whole ellipse about (60, 10), semi-axes 10 and 5.
        d.ellipseLoop(60, 10, 10, 0.5);
        // A chord closed by a clockwise arc (angles kept mirrored): the segment below y = -5.
        d.tag(92, 1)
            .tag(93, 2)
            .tag(72, 1)
            .point(10, 90 - 5 * std::sqrt(3.0), -5)
            .point(11, 90 + 5 * std::sqrt(3.0), -5);
        d.tag(72, 2).point(10, 90, 0).tag(40, 10).tag(50, 30.0).tag(51, 150.0).tag(73, 0).tag(97, 0);
        d.tag(75, 0).tag(76, 1).tag(98, 0);
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        QCOMPARE(c.db->modelSpace()->entities().front()->kind(), EntityKind::Hatch);  // read, not kept raw
        c.render(-10, -15, 105, 25, 10);
        QVERIFY(c.lit(10, 5, 0) && c.lit(10, 10.8, 0) && !c.lit(10, 11.8, 0) && !c.lit(10, -0.5, 0));
        QVERIFY(c.lit(60, 14.5, 0) && !c.lit(60, 15.6, 0) && c.lit(69.5, 10, 0) && !c.lit(70.6, 10, 0));
        QVERIFY(c.lit(90, -9.5, 0) && c.lit(90, -6, 0) && !c.lit(90, -4, 0) && !c.lit(80.5, -1, 0));
    }

    void splinesOfSeveralPiecesFollowTheirKnots() {
        DxfText d;
        d.section("ENTITIES");
        auto spline = [&](int degree, std::vector<double> knots, std::vector<QPointF> points) {
            d.entity("SPLINE")
                .tag(70, 8)
                .tag(71, degree)
                .tag(72, int(knots.size()))
                .tag(73, int(points.size()));
            for (double k : knots) d.tag(40, k);
            for (const QPointF& p : points) d.point(10, p.x(), p.y());
        };
        // Degree 1: the control polygon itself, two pieces.
        spline(1, {0, 0, 1, 2, 2}, {{0, 20}, {10, 30}, {20, 20}});
        // Cubic with a threefold inner knot: two Bézier pieces meeting on the middle point.
        spline(3, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2},
               {{0, 0}, {5, 10}, {10, 10}, {15, 0}, {20, -10}, {25, -10}, {30, 0}});
        // A fourfold inner knot (a break in the curve): drawn without a fault, through its ends.
        spline(3, {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2},
               {{40, 0}, {45, 10}, {50, 10}, {55, 0}, {60, 0}, {65, -10}, {70, -10}, {75, 0}});
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-5, -15, 80, 35, 10);
        QVERIFY(c.lit(5, 25) && c.lit(15, 25) && !c.lit(10, 20, 2));
        QVERIFY(c.lit(7.5, 7.5) && c.lit(15, 0) && c.lit(22.5, -7.5));
        QVERIFY(!c.lit(5, 10, 3) && !c.lit(25, -10, 3));
        QVERIFY(c.lit(40, 0) && c.lit(47.5, 7.5) && c.lit(75, 0));
    }

    void splineEdgesSurviveAReadAndWrite() {
        Canvas c;
        DxfText d;
        d.section("ENTITIES");
        d.hatch(2, "SOLID", true, 1);
        d.tag(92, 1).tag(93, 2).tag(72, 1).point(10, 0, 0).point(11, 20, 0);
        d.cubicEdgeHead(true);
        d.point(10, 20, 0).tag(42, 1.0).point(10, 25, 15).tag(42, 2.0).point(10, -5, 15).tag(42, 2.0);
        d.point(10, 0, 0).tag(42, 1.0);
        d.tag(97, 2).point(11, 20, 0).point(11, 0, 0).point(12, 1, 1).point(13, -1, -1);
        d.tag(97, 0).tag(75, 0).tag(76, 1).tag(98, 0);
        d.end();
        QVERIFY(c.load(d.finish()));
        const auto& h = c.db->modelSpace()->entities().front()->as<HatchData>();
        QCOMPARE(h.loops.size(), size_t(1));
        QCOMPARE(h.loops[0].edges.size(), size_t(2));
        const Edge& spline = h.loops[0].edges[1];
        QCOMPARE(spline.type, Edge::Spline);
        // Degree, flags, counts, 8 knots, 4 points with weights, fit count, 2 fit points, tangents.
        QCOMPARE(spline.raw.size(), size_t(5 + 8 + 4 * 3 + 1 + 4 + 4));
        QCOMPARE(spline.raw.back().code, 23);
        // The rational curve still closes the loop and bulges above the line.
        c.render(-10, -5, 30, 20, 10);
        QVERIFY(c.lit(10, 5, 0) && !c.lit(10, -1, 0));
        // Written back unchanged; an independent reader finds the same spline edge.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("spline.dxf"));
        cad::dxf::writeFile(*c.db, path);
        const auto again = cad::dxf::readFile(path);
        QCOMPARE(again->modelSpace()->entities().front()->as<HatchData>().loops[0].edges[1].raw, spline.raw);
        QProcess py;
        py.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import ezdxf,sys\n"
                            "e=ezdxf.readfile(sys.argv[1]).modelspace().query('HATCH')[0].paths[0].edges\n"
                            "print(len(e), type(e[1]).__name__, e[1].degree, len(e[1].control_points), "
                            "len(e[1].fit_points), list(e[1].weights))"),
             path});
        QVERIFY(py.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
                 QStringLiteral("2 SplineEdge 3 4 2 [1.0, 2.0, 2.0, 1.0]"));
    }

    void formatCodesReadIntoRuns() {
        using cadhost::render::ParseMText;
        // Groups restore the format; escaped braces and backslashes are text; symbols and
        // Unicode escapes become their characters.
        const auto lines = ParseMText(QStringLiteral("a{\\H3;\\Lb{\\fX|i1;c}d}e\\{\\}\\\\%%d\\U+0141"), 2);
        QCOMPARE(lines.size(), size_t(1));
        const auto& runs = lines[0];
        QCOMPARE(runs.size(), size_t(5));
        QCOMPARE(runs[0].text, QStringLiteral("a"));
        QVERIFY(runs[1].text == QStringLiteral("b") && runs[1].height == 3 && runs[1].underline &&
                !runs[1].italic);
        QVERIFY(runs[2].text == QStringLiteral("c") && runs[2].italic && runs[2].underline);
        QVERIFY(runs[3].text == QStringLiteral("d") && runs[3].height == 3 && runs[3].underline &&
                !runs[3].italic);
        QVERIFY(runs[4].text == QStringLiteral("e{}\\°Ł") && runs[4].height == 2 && !runs[4].underline);
        // Stacked fractions of each kind, relative heights and paragraph breaks.
        const auto more = ParseMText(QStringLiteral("\\S3^4;\\P\\S1#8;\\P\\H0.5x;\\S^2;\\P\\Pz"), 4);
        QCOMPARE(more.size(), size_t(5));
        QCOMPARE(more[0][0].text, QStringLiteral("3/4"));
        QCOMPARE(more[1][0].text, QStringLiteral("1/8"));
        QVERIFY(more[2][0].text == QStringLiteral("2") && more[2][0].height == 2);
        QVERIFY(more[3].empty() && more[4][0].text == QStringLiteral("z") && more[4][0].height == 2);
    }

    void multilineTextCodesFormatTheText() {
        DxfText d;
        d.section("ENTITIES");
        auto mtext = [&](double x, double y, const QString& text, double h = 2) {
            d.entity("MTEXT")
                .tag(100, QStringLiteral("AcDbMText"))
                .point(10, x, y)
                .tag(40, h)
                .tag(71, 1)
                .tag(1, text);
        };
        mtext(0, 40, QStringLiteral("\\H2x;MM\\H2;MM"));                           // 4 tall, then 2 tall
        mtext(0, 30, QStringLiteral("MMM\\PMMM"));                                 // two lines
        mtext(0, 20, QStringLiteral("MMMM"));                                      // plain ...
        mtext(20, 20, QStringLiteral("{\\fArial|b1|i0|c238|p34;MMMM}"));           // ... and bold
        mtext(40, 20, QStringLiteral("{\\fArial|b0|i1;IIII}"));                    // italic leans right
        mtext(0, 10, QStringLiteral("\\LMMMM\\l"));                                // underlined
        mtext(20, 10, QStringLiteral("\\A1;\\C1;\\W1;\\T1;\\Q0;{AB}\\~\\S1/2;"));  // codes that show nothing
        mtext(40, 10, QStringLiteral("AB 1/2"));
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-2, -2, 62, 42, 10);
        // Heights: the first run twice as tall as the second, both on one baseline under the top.
        const QRect big = c.inkBox(0, 35, 9, 41), small = c.inkBox(10, 35, 20, 41);
        QVERIFY(!big.isEmpty() && !small.isEmpty());
        QVERIFY2(std::abs(big.height() - 40) <= 2 && std::abs(small.height() - 20) <= 2,
                 qPrintable(QStringLiteral("%1 %2").arg(big.height()).arg(small.height())));
        QVERIFY(std::abs(big.bottom() - small.bottom()) <= 1);
        QVERIFY(std::abs(big.top() - c.at(0, 40).y()) <= 1);
        // A line break: the second line's capitals 2 below the first's baseline plus the spacing.
        const QRect first = c.inkBox(0, 27, 10, 31), second = c.inkBox(0, 22, 10, 27);
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        QVERIFY(std::abs((second.bottom() - first.bottom()) - 2 * 5.0 / 3.0 * 10) <= 2);
        QCOMPARE(first.width(), second.width());
        // Bold has more ink than plain; italic capitals lean: their tops sit right of their feet.
        QVERIFY(c.inkCount(19, 17, 35, 21) > c.inkCount(-1, 17, 15, 21) * 1.15);
        const QRect top = c.inkBox(39, 19, 50, 20), foot = c.inkBox(39, 17.9, 50, 18.6);
        QVERIFY(!top.isEmpty() && !foot.isEmpty());
        QVERIFY(top.left() > foot.left() + 1);
        // The underline runs below the baseline under the whole run.
        QVERIFY(c.lit(0.5, 7.7, 2) && c.lit(6, 7.7, 2) && !c.lit(3, 5, 2));
        QVERIFY(!c.lit(23, 7.5, 2) && !c.lit(3, 17.5, 2));
        // Codes never show: the coded text has the width of its plain counterpart, in red.
        const QRect coded = c.inkBox(19, 7, 39, 11), plain = c.inkBox(39, 7, 60, 11);
        QVERIFY(!coded.isEmpty() && !plain.isEmpty());
        QVERIFY2(std::abs(coded.width() - plain.width()) <= 2,
                 qPrintable(QStringLiteral("%1 %2").arg(coded.width()).arg(plain.width())));
        bool red = false;
        for (int y = coded.top(); y <= coded.bottom() && !red; ++y)
            for (int x = coded.left(); x <= coded.right() && !red; ++x)
                red = c.img.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY(red);
    }

    void multilineTextWrapsAtItsWidth() {
        DxfText d;
        d.section("ENTITIES");
        // 15 wide: one word of four capitals (about 9.5) a line; without a width, one line.
        d.entity("MTEXT").tag(100, QStringLiteral("AcDbMText")).point(10, 0, 30).tag(40, 2.0).tag(41, 15.0);
        d.tag(71, 1).tag(1, QStringLiteral("MMMM MMMM {\\LMMMM}"));
        d.entity("MTEXT").tag(100, QStringLiteral("AcDbMText")).point(10, 0, 10).tag(40, 2.0).tag(71, 1);
        d.tag(1, QStringLiteral("MMMM MMMM MMMM"));
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-2, -2, 40, 32, 10);
        const double step = 2 * 5.0 / 3.0;
        for (int i = 0; i < 3; ++i) {
            const QRect line = c.inkBox(-1, 28 - i * step - 0.1, 16, 30 - i * step + 0.1);
            QVERIFY(!line.isEmpty() && line.width() > 85 && line.width() < 100);
        }
        QVERIFY(c.inkBox(15, 20, 40, 31).isEmpty());
        QVERIFY(c.lit(4, 28 - 2 * step - 0.3, 2));  // the last word keeps its underline
        QVERIFY(c.inkBox(-1, 7.9, 40, 10.1).width() > 250);
        // Its extents (by which the view leaves out what it cannot see) hold the wrapped lines.
        const Box wrapped = c.db->boundingBox(c.db->modelSpace()->entities().front());
        QVERIFY(wrapped.max.x <= 15.01 && wrapped.min.y <= 30 - 2 - 2 * step + 0.01 &&
                wrapped.max.y >= 29.99);
    }

    void dimensionsAreDrawnFromTheirPoints() {
        DxfText d;
        metricHeader(d);
        d.section("ENTITIES");
        auto dim = [&](int type) -> DxfText& {
            return d.entity("DIMENSION").tag(100, QStringLiteral("AcDbDimension")).tag(70, type);
        };
        // Linear, horizontal: 0,0 to 20,0 measured on a line at y = 8, text at 10,10.
        dim(32).point(10, 20, 8).point(11, 10, 10).point(13, 0, 0).point(14, 20, 0).tag(50, 0.0);
        // Aligned: 0,20 to 20,35 (25 long), its line 3 off to the upper left.
        dim(33).point(10, 18.2, 37.4).point(11, 7.075, 31.4).point(13, 0, 20).point(14, 20, 35);
        // Radius about 40,0 to 50,0; diameter from 35,20 to 45,20.
        dim(36).point(10, 40, 0).point(11, 45, 2).point(15, 50, 0);
        dim(35).point(10, 45, 20).point(11, 40, 22).point(15, 35, 20);
        // Angular by three points: vertex 60,0, legs east and north, arc radius 10.
        dim(37).point(10, 67.0710678, 7.0710678).point(13, 70, 0).point(14, 60, 10).point(15, 60, 0);
        // Angular by two lines meeting at 80,0 at 45°, arc radius 12.
        dim(34)
            .point(10, 81.4142136, 1.4142136)
            .point(13, 82, 0)
            .point(14, 95, 0)
            .point(15, 87.0710678, 7.0710678);
        d.point(16, 80 + 12 * std::cos(0.35), 12 * std::sin(0.35));
        // Ordinate (X) of the feature at 100,0 from the origin, leader up to 100,10.
        dim(38 + 64).point(10, 0, 0).point(13, 100, 0).point(14, 100, 10);
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        QCOMPARE(c.db->modelSpace()->entities().size(), size_t(7));
        c.render(-5, -5, 115, 45, 10);

        // Linear: dimension and extension lines, the extension lines off the measured points.
        QVERIFY(c.lit(10, 8, 0) && c.lit(0, 4, 0) && c.lit(20, 4, 0) && c.lit(0, 9, 0));
        QVERIFY(!c.lit(0, 0.2, 0) && !c.lit(10, 4, 1) && !c.lit(0, 9.8, 0));
        // Filled arrowheads inside the ends, tips at the extension lines.
        QVERIFY(c.lit(1.5, 8.1, 0) && c.lit(18.5, 7.9, 0) && !c.lit(1.5, 8.6, 0) && !c.lit(3, 8.3, 0));
        // The measurement "20.00" centred at 10,10 in letters 2.5 tall.
        const QRect text = c.inkBox(3, 8.5, 17, 11.8);
        const double w = QFontMetricsF(FontForCap(25)).tightBoundingRect(QStringLiteral("20.00")).width();
        QVERIFY2(std::abs(text.width() - w) <= 4,
                 qPrintable(QStringLiteral("%1 %2").arg(text.width()).arg(w)));
        QVERIFY(std::abs(text.center().x() - c.at(10, 10).x()) <= 2);
        QVERIFY(std::abs(text.height() - 25) <= 2);

        // Aligned: the dimension line parallel to the points, 3 off.
        QVERIFY(c.lit(10 - 1.8, 27.5 + 2.4, 1) && c.lit(18.2 - 0.6 * 0.2, 37.4 - 0.8 * 0.2, 1));
        QVERIFY(!c.lit(10, 27.5, 1));
        // Its text above the line's middle, nothing below it.
        QVERIFY(!c.inkBox(6, 30.8, 8.2, 32).isEmpty() && c.inkBox(9, 26, 14, 28.5).isEmpty());

        // Radius: the line from the centre, an arrow at the curve pointing out, "R10.00".
        QVERIFY(c.lit(42, 0, 0) && c.lit(48.5, 0.1, 0) && !c.lit(48.5, 0.6, 0));
        // Diameter: arrows at both ends.
        QVERIFY(c.lit(40, 20, 0) && c.lit(36.5, 20.1, 0) && c.lit(43.5, 19.9, 0));
        const double rw = QFontMetricsF(FontForCap(25)).tightBoundingRect(QStringLiteral("R10.00")).width();
        QVERIFY(std::abs(c.inkBox(37, 0.6, 53.5, 4).width() - rw) <= 4);

        // Angular: the arc between the legs, not the other way round.
        QVERIFY(c.lit(60 + 10 * std::cos(0.6), 10 * std::sin(0.6), 1));
        QVERIFY(!c.lit(60 - 10 * std::cos(0.6), -10 * std::sin(0.6), 1));
        // "90°" beyond the arc's middle.
        int beyond = 0;
        for (double r = 10.8; r < 14; r += 0.1)
            for (double a = 0.35; a < 1.22; a += 0.01)
                beyond += c.inkAt(c.at(60 + r * std::cos(a), r * std::sin(a)));
        QVERIFY(beyond > 30);
        QVERIFY(c.lit(80 + 12 * std::cos(0.3927), 12 * std::sin(0.3927), 1));
        QVERIFY(!c.lit(80 + 12 * std::cos(1.1), 12 * std::sin(1.1), 1));
        // The second leg is extended from its point out to the arc.
        QVERIFY(c.lit(88.2, 8.2, 1));

        // Ordinate: the leader and the X distance "100.00" written up along it.
        QVERIFY(c.lit(100, 5, 0) && !c.lit(100, 0.2, 0));
        const QRect ord = c.inkBox(98, 10.2, 102, 30);
        const double ow = QFontMetricsF(FontForCap(25)).tightBoundingRect(QStringLiteral("100.00")).width();
        QVERIFY2(std::abs(ord.height() - ow) <= 4,
                 qPrintable(QStringLiteral("%1 %2").arg(ord.height()).arg(ow)));
        QVERIFY(ord.width() <= 28);
    }

    void dimensionStylesGiveTicksAndTheDecimalComma() {
        DxfText d;
        metricHeader(d);
        d.section("TABLES").tag(0, QStringLiteral("TABLE")).tag(2, QStringLiteral("DIMSTYLE")).tag(70, 1);
        d.tag(0, QStringLiteral("DIMSTYLE")).tag(100, QStringLiteral("AcDbSymbolTableRecord"));
        d.tag(100, QStringLiteral("AcDbDimStyleTableRecord")).tag(2, QStringLiteral("KRESKI")).tag(70, 0);
        d.tag(142, 1.0).tag(271, 1).tag(278, 44);
        d.tag(0, QStringLiteral("ENDTAB")).end();
        d.section("ENTITIES");
        d.entity("DIMENSION")
            .tag(100, QStringLiteral("AcDbDimension"))
            .tag(3, QStringLiteral("KRESKI"))
            .tag(70, 32);
        d.point(10, 20, 8).point(11, 10, 10).point(13, 0, 0).point(14, 20, 0).tag(50, 0.0);
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-5, -5, 25, 15, 10);
        // Oblique strokes through the ends instead of arrowheads.
        QVERIFY(c.lit(0.5, 8.5, 1) && c.lit(-0.5, 7.5, 1) && c.lit(19.5, 7.5, 1) && c.lit(20.5, 8.5, 1));
        QVERIFY(!c.lit(1.5, 8.1, 0) && !c.lit(18.5, 7.9, 0));
        const double w = QFontMetricsF(FontForCap(25)).tightBoundingRect(QStringLiteral("20,0")).width();
        const QRect text = c.inkBox(3, 8.5, 17, 11.8);
        QVERIFY2(std::abs(text.width() - w) <= 3,
                 qPrintable(QStringLiteral("%1 %2").arg(text.width()).arg(w)));
    }

    void dimensionsWithoutTheirBlockShowTheirGeometry() {
        Database db;
        db.setVariable(QStringLiteral("DIMASZ"), 2.5);
        db.setVariable(QStringLiteral("DIMTXT"), 2.5);
        db.setVariable(QStringLiteral("DIMDEC"), 1);
        Entity* aligned = db.addDimAligned(db.modelSpace(), {0, 0, 0}, {30, 0, 0}, {15, 6, 0});
        aligned->as<DimensionData>().blockName.clear();
        Entity* ordinate = db.addDimOrdinate(db.modelSpace(), {40, 5, 0}, {50, 5, 0}, false);
        ordinate->as<DimensionData>().blockName.clear();
        Canvas c;
        c.db = &db;
        c.render(-5, -5, 75, 15, 10);
        QVERIFY(c.lit(15, 6, 0) && c.lit(1.5, 6.1, 0) && c.lit(28.5, 5.9, 0));
        const double w = QFontMetricsF(FontForCap(25)).tightBoundingRect(QStringLiteral("30.0")).width();
        QVERIFY(std::abs(c.inkBox(5, 6.3, 25, 10).width() - w) <= 4);
        QVERIFY(c.lit(45, 5, 0));
        const double ow = QFontMetricsF(FontForCap(25)).tightBoundingRect(QStringLiteral("5.0")).width();
        QVERIFY(std::abs(c.inkBox(50.2, 3, 70, 7).width() - ow) <= 4);
    }

    void multileadersShowLinesArrowsAndNotes() {
        DxfText d;
        d.section("ENTITIES");
        d.tag(0, QStringLiteral("MULTILEADER"))
            .tag(100, QStringLiteral("AcDbEntity"))
            .tag(8, QStringLiteral("0"));
        d.tag(62, 3).tag(100, QStringLiteral("AcDbMLeader")).tag(270, 2);
        d.tag(300, QStringLiteral("CONTEXT_DATA{")).tag(40, 1.0).point(10, 20, 10).tag(30, 0.0).tag(41, 2.0);
        d.tag(140, 3.0).tag(145, 0.5).tag(290, 1).tag(304, QStringLiteral("NOTA\\PDWA"));
        d.point(11, 0, 0)
            .tag(31, 1.0)
            .point(12, 24, 12)
            .tag(32, 0.0)
            .point(13, 1, 0)
            .tag(33, 0.0)
            .tag(42, 0.0);
        d.tag(171, 1);
        d.tag(302, QStringLiteral("LEADER{")).tag(290, 1).tag(291, 1).point(10, 20, 10).tag(30, 0.0);
        d.point(11, 1, 0).tag(31, 0.0).tag(40, 3.0);
        d.tag(304, QStringLiteral("LEADER_LINE{"))
            .point(10, 0, 0)
            .tag(30, 0.0)
            .tag(91, 0)
            .tag(305, QStringLiteral("}"));
        d.tag(271, 0).tag(303, QStringLiteral("}"));
        d.tag(301, QStringLiteral("}")).tag(170, 1).tag(291, 1).tag(41, 3.0).tag(42, 3.0);
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-5, -5, 45, 20, 10);
        QVERIFY(c.lit(10, 5, 0) && c.lit(21.5, 10, 0));   // the leader line and its landing
        QVERIFY(c.lit(2, 1.25, 0) && !c.lit(2, 2.2, 0));  // the arrowhead's body at its tip
        QVERIFY(!c.inkBox(24, 9.5, 34, 12).isEmpty());    // the note's first line ...
        QVERIFY(!c.inkBox(24, 5.5, 34, 8.2).isEmpty());   // ... and its second
        QVERIFY(c.inkBox(24, 12.3, 40, 18).isEmpty());    // hanging below its top-left corner
        QVERIFY(c.img.pixel(c.at(10, 5)) == qRgb(0, 255, 0));
    }

    // A MINSERT as ezdxf writes it (2 rows x 3 columns, turned 30°, X scale 1.5, with an attribute):
    // every cell is drawn with its attribute and none beyond; a snap and a selection find the last
    // cell as they find the first.
    void gridReferencesShowEveryCell() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grid.dxf"));
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(SUITE_TEST_DATA "/cad/grid_reference.py"),
                                                      QStringLiteral("write"), path, QStringLiteral("--attribute")});
        QVERIFY(py.waitForFinished(60000));
        QCOMPARE(py.exitCode(), 0);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        Canvas c;
        QVERIFY(c.load(f.readAll()));
        c.render(0, 10, 35, 45, 10);
        // A point of the block (base point (1, 0.5)) where a cell places it.
        const double cs = std::cos(M_PI / 6), sn = std::sin(M_PI / 6);
        auto at = [&](int row, int column, double x, double y) {
            const double lx = 1.5 * (x - 1) + 8 * column, ly = (y - 0.5) + 5 * row;
            return Point3{10 + lx * cs - ly * sn, 20 + lx * sn + ly * cs, 0};
        };
        for (int row = 0; row <= 2; ++row)
            for (int column = 0; column <= 3; ++column) {
                const bool cell = row < 2 && column < 3;
                const Point3 mark = at(row, column, 0.5, 0.75), top = at(row, column, 2, 2);
                const Point3 nr = at(row, column, 2.8, 1.0);
                QVERIFY2(c.lit(mark.x, mark.y) == cell && c.lit(top.x, top.y) == cell,
                         qPrintable(QStringLiteral("komórka %1, %2").arg(row).arg(column)));
                QVERIFY2((c.inkCount(nr.x - 0.6, nr.y - 0.6, nr.x + 0.6, nr.y + 0.6) > 0) == cell,
                         qPrintable(QStringLiteral("atrybut w komórce %1, %2").arg(row).arg(column)));
            }

        const Entity* grid = c.db->modelSpace()->entities().front();
        const std::vector<const Entity*> all(c.db->modelSpace()->entities().begin(),
                                             c.db->modelSpace()->entities().end());
        const Point3 corner = at(1, 2, 4, 2);
        const auto snap = cadhost::FindSnap(all, {corner.x + 0.1, corner.y - 0.1, 0}, 0.3);
        QVERIFY(snap && snap->kind == cadhost::SnapPoint::End);
        QVERIFY(std::abs(snap->point.x - corner.x) < 1e-9 && std::abs(snap->point.y - corner.y) < 1e-9);
        // A crossing over the last cell's top edge takes the reference; a window round that cell
        // alone does not, one round the whole grid does.
        cadhost::DrawingScene scene(c.owned.get());
        const Point3 edge = at(1, 2, 2, 2);
        const QRectF crossing(c.atF(edge.x - 0.3, edge.y + 0.3), c.atF(edge.x + 0.3, edge.y - 0.3));
        QCOMPARE(cadhost::SelectInRect(scene, c.view(), crossing, false), std::vector<const Entity*>{grid});
        const Point3 lo = at(1, 2, 0, 0), hi = at(1, 2, 4, 2);
        QVERIFY(cadhost::SelectInRect(scene, c.view(), QRectF(c.atF(lo.x - 3, hi.y + 3), c.atF(hi.x + 3, lo.y - 3)), true)
                    .empty());
        QCOMPARE(cadhost::SelectInRect(scene, c.view(), QRectF(c.atF(1, 44), c.atF(34, 11)), true),
                 std::vector<const Entity*>{grid});
    }

    // A frame drawn flat (its X axis the plan of a direction on the plane, its Y axis that turned
    // left) and mapped onto a plane not parallel to XY: every corner lands on the plan projection of
    // the same frame laid in the plane's own coordinate system, its up axis leaning with the plane.
    // The planes' axes by the arbitrary axis rule, by hand: for (0, 0.6, 0.8) X is world X and Y is
    // (0, 0.8, -0.6); for -Z, X is -X and Y is Y.
    // A multiline text on a plane tilted about X keeps its length along X and is foreshortened to
    // 0.8 of its height; seen from below, running along X, its lines hang down from the insertion
    // point, whole.
    void multilineTextOnATiltedPlaneIsItsPlanProjection() {
        DxfText d;
        d.section("ENTITIES");
        const auto mtext = [&](double y, double nx, double ny, double nz) {
            d.entity("MTEXT").tag(100, QStringLiteral("AcDbMText")).point(10, 0, y).tag(40, 4.0).tag(71, 7);
            d.tag(1, QStringLiteral("MMMM")).tag(210, nx).tag(220, ny).tag(230, nz);
        };
        mtext(0, 0, 0, 1);
        mtext(10, 0, 0.6, 0.8);
        mtext(20, 0, 0, -1);
        d.end();
        Canvas c;
        QVERIFY(c.load(d.finish()));
        c.render(-30, -2, 30, 26, 10);
        const QRect flat = c.inkBox(-1, -1, 29, 5), tilted = c.inkBox(-1, 9, 29, 15);
        const QRect mirrored = c.inkBox(-1, 15, 29, 21);
        QVERIFY(!flat.isEmpty() && !tilted.isEmpty() && !mirrored.isEmpty());
        const QString sizes = QStringLiteral("%1x%2 %3x%4 %5x%6")
                                  .arg(flat.width()).arg(flat.height()).arg(tilted.width()).arg(tilted.height())
                                  .arg(mirrored.width()).arg(mirrored.height());
        QVERIFY2(std::abs(tilted.width() - flat.width()) <= 2, qPrintable(sizes));
        QVERIFY2(std::abs(tilted.height() - 0.8 * flat.height()) <= 2, qPrintable(sizes));
        QVERIFY2(std::abs(mirrored.width() - flat.width()) <= 2 && std::abs(mirrored.height() - flat.height()) <= 1,
                 qPrintable(sizes));
    }

    void framesOnAPlaneAreTheirPlanProjections() {
        struct Plane {
            Point3 normal, x, y;
        };
        const Plane planes[] = {{{0, 0.6, 0.8}, {1, 0, 0}, {0, 0.8, -0.6}}, {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}};
        const Point3 origin{4, -3, 2};
        for (const Plane& p : planes)
            for (const double turn : {0.0, M_PI / 6, 2.0}) {
                const double c = std::cos(turn), s = std::sin(turn);
                const Point3 along{c * p.x.x + s * p.y.x, c * p.x.y + s * p.y.y, c * p.x.z + s * p.y.z};
                const Point3 up{-s * p.x.x + c * p.y.x, -s * p.x.y + c * p.y.y, -s * p.x.z + c * p.y.z};
                const Transform2D m = cadhost::render::FrameOnPlane(origin, along, p.normal);
                for (const auto& [u, v] : {std::pair{5.0, 0.0}, std::pair{0.0, 2.0}, std::pair{5.0, 2.0}}) {
                    const QPointF got = cadhost::render::map(m, origin.x + u * along.x - v * along.y,
                                                             origin.y + u * along.y + v * along.x);
                    const QString where = QStringLiteral("normal z %1, turn %2, corner %3;%4")
                                              .arg(p.normal.z).arg(turn).arg(u).arg(v);
                    QVERIFY2(std::abs(got.x() - (origin.x + u * along.x + v * up.x)) < 1e-9, qPrintable(where));
                    QVERIFY2(std::abs(got.y() - (origin.y + u * along.y + v * up.y)) < 1e-9, qPrintable(where));
                }
            }
    }
};

QTEST_MAIN(RenderingTest)
#include "RenderingTest.moc"
