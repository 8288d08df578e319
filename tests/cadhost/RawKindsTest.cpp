// Kinds the engine keeps as raw tags, drawn from their geometry: SOLID and TRACE filled in their
// corner order, 3DFACE by its visible edges, ELLIPSE, SPLINE (control points and fit points) and
// HELIX (its spline, zoomed to and snapped as well);
// polylines with constant and tapering widths as filled bands.
#include "HostFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace cad::db;

class RawKindsTest : public QObject {
    Q_OBJECT

    static QByteArray entity(const char* kind, int color, const QList<QPair<int, double>>& tags) {
        QByteArray out = QByteArray("0\n") + kind + "\n8\n0\n62\n" + QByteArray::number(color) + "\n";
        for (const auto& [code, value] : tags)
            out += QByteArray::number(code) + "\n" + QByteArray::number(value, 'g', 12) + "\n";
        return out;
    }

    // Opens the drawing text in the host and renders it over -5..85 x -5..45.
    static QImage show(HostFixture& h, const QByteArray& dxf, int count) {
        const QString path = h.dir.filePath(QStringLiteral("kinds.dxf"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return {};
        f.write(dxf);
        f.close();
        if (!h.window->openFile(path) || h.ms()->count() != count) return {};
        h.view()->resize(500, 500);
        Box area;
        area.add(-5, -5);
        area.add(85, 45);
        h.view()->zoomWindow(area);
        return h.view()->renderImage();
    }

    // Ink (anything but the background of the image's corner) within a pixel of `p`.
    static bool inkNear(const QImage& img, QPoint p) {
        const QColor bg = img.pixelColor(0, 0);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.rect().contains(p + QPoint(dx, dy)) && img.pixelColor(p + QPoint(dx, dy)) != bg)
                    return true;
        return false;
    }

private slots:
    void rawKindsAreDrawnFromTheirTags() {
        HostFixture h;
        QByteArray dxf = "0\nSECTION\n2\nENTITIES\n";
        // Corners 1, 2, 3, 4 as the file gives them are filled in the order 1, 2, 4, 3.
        dxf +=
            entity("SOLID", 1, {{10, 0}, {20, 0}, {11, 10}, {21, 0}, {12, 0}, {22, 10}, {13, 10}, {23, 10}});
        dxf += entity("TRACE", 3,
                      {{10, 20}, {20, 0}, {11, 30}, {21, 0}, {12, 20}, {22, 10}, {13, 30}, {23, 10}});
        // The second edge (right side) is invisible.
        dxf +=
            entity("3DFACE", 5,
                   {{10, 40}, {20, 0}, {11, 50}, {21, 0}, {12, 50}, {22, 10}, {13, 40}, {23, 10}, {70, 2}});
        dxf += entity("ELLIPSE", 2,
                      {{10, 70}, {20, 5}, {11, 10}, {21, 0}, {40, 0.5}, {41, 0}, {42, 6.283185307}});
        // A quadratic spline whose control polygon is a tent: its middle is at (10, 30).
        dxf += entity("SPLINE", 4,
                      {{70, 8},
                       {71, 2},
                       {72, 6},
                       {73, 3},
                       {40, 0},
                       {40, 0},
                       {40, 0},
                       {40, 1},
                       {40, 1},
                       {40, 1},
                       {10, 0},
                       {20, 20},
                       {10, 10},
                       {20, 40},
                       {10, 20},
                       {20, 20}});
        // Fit points only: the curve passes through them.
        dxf +=
            entity("SPLINE", 6,
                   {{70, 8}, {71, 3}, {74, 3}, {11, 30}, {21, 20}, {11, 40}, {21, 30}, {11, 50}, {21, 20}});
        // Polylines with widths: constant, and tapering from nothing to 6.
        dxf += entity("LWPOLYLINE", 7, {{90, 2}, {70, 0}, {43, 4}, {10, 60}, {20, 40}, {10, 80}, {20, 40}});
        dxf += entity("LWPOLYLINE", 7,
                      {{90, 2}, {70, 0}, {10, 60}, {20, 30}, {40, 0}, {41, 6}, {10, 80}, {20, 30}});
        dxf += "0\nENDSEC\n0\nEOF\n";
        const QImage img = show(h, dxf, 8);
        QVERIFY(!img.isNull());
        const QColor bg = img.pixelColor(0, 0);
        auto lit = [&](double x, double y, int r = 1) {
            const QPoint p = h.at(x, y);
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                    if (img.rect().contains(p + QPoint(dx, dy)) && img.pixelColor(p + QPoint(dx, dy)) != bg)
                        return true;
            return false;
        };
        // Filled squares, not bow ties.
        QVERIFY(lit(2, 5, 0) && lit(5, 5, 0) && lit(8, 5, 0));
        QCOMPARE(img.pixelColor(h.at(2, 5)), img.pixelColor(h.at(5, 8)));
        QVERIFY(lit(22, 5, 0) && lit(28, 5, 0));
        // The face: three edges, no fill, no right side.
        QVERIFY(lit(45, 0) && lit(45, 10) && lit(40, 5));
        QVERIFY(!lit(50, 5) && !lit(45, 5));
        // The ellipse: its ends and its flattened top, nothing at the centre or a circle's top.
        QVERIFY(lit(80, 5) && lit(60, 5) && lit(70, 10) && lit(75, 5 + 2.5 * std::sqrt(3.0)));
        QVERIFY(!lit(70, 5) && !lit(70, 15));
        // The spline's middle, away from its control points.
        QVERIFY(lit(10, 30));
        QVERIFY(!lit(10, 38) && !lit(10, 22));
        QVERIFY(lit(40, 30) && lit(30, 20) && lit(50, 20));
        // Widths are filled bands around the centre line.
        QVERIFY(lit(70, 41.5, 0) && lit(70, 38.5, 0) && !lit(70, 43, 0));
        QVERIFY(lit(79, 32.5, 0) && lit(79, 27.5, 0) && !lit(61, 31, 0) && !lit(79, 33.8, 0));
    }

    void dimensionsAndLeadersAreDrawn() {
        HostFixture h;
        QByteArray dxf = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\n*D1\n70\n1\n10\n0\n20\n0\n";
        dxf += entity("LINE", 1, {{10, 60}, {20, 30}, {11, 80}, {21, 30}});
        dxf += "0\nENDBLK\n8\n0\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
        // Linear (rotated 0): measures 0,0 - 20,0 on a line at y = 8.
        dxf += entity("DIMENSION", 1,
                      {{70, 32}, {10, 20}, {20, 8}, {13, 0}, {23, 0}, {14, 20}, {24, 0}, {50, 0}});
        // Radius of a circle about 40,0: centre to 50,0; diameter 35,20 - 45,20.
        dxf += entity("DIMENSION", 1, {{70, 36}, {10, 40}, {20, 0}, {15, 50}, {25, 0}});
        dxf += entity("DIMENSION", 1, {{70, 35}, {10, 45}, {20, 20}, {15, 35}, {25, 20}});
        // Angular by three points: vertex 60,0, legs to the east and the north, arc at radius 10.
        dxf += entity("DIMENSION", 1,
                      {{70, 37},
                       {10, 67.0710678},
                       {20, 7.0710678},
                       {13, 70},
                       {23, 0},
                       {14, 60},
                       {24, 10},
                       {15, 60},
                       {25, 0}});
        // A dimension of any type with its block shows the block.
        QByteArray withBlock =
            entity("DIMENSION", 1, {{70, 32}, {10, 0}, {20, 40}, {13, 0}, {23, 40}, {14, 1}, {24, 40}});
        withBlock.insert(withBlock.indexOf("62\n"), "2\n*D1\n");
        dxf += withBlock;
        dxf += entity("LEADER", 1, {{76, 3}, {10, 0}, {20, 20}, {10, 10}, {20, 30}, {10, 20}, {20, 30}});
        dxf += "0\nENDSEC\n0\nEOF\n";
        const QImage img = show(h, dxf, 6);
        QVERIFY(!img.isNull());
        auto lit = [&](double x, double y) { return inkNear(img, h.at(x, y)); };
        QVERIFY(lit(10, 8) && lit(0, 4) && lit(20, 4));  // dimension and extension lines
        QVERIFY(!lit(10, 4));
        QVERIFY(lit(45, 0) && lit(40, 20));                         // radius, diameter
        QVERIFY(lit(60 + 10 * std::cos(0.6), 10 * std::sin(0.6)));  // the angle's arc
        QVERIFY(!lit(60 - 10 * std::cos(0.6), -10 * std::sin(0.6)));
        QVERIFY(lit(70, 30) && !lit(10, 40) && !lit(0.5, 38));  // the block, not the geometry
        QVERIFY(lit(5, 25) && lit(15, 30));                     // the leader
    }

    void backwardAndUpsideDownTextIsMirroredAboutItsAnchor() {
        HostFixture h;
        Entity* plain = h.db().addText(h.ms(), QStringLiteral("MMMM"), {0, 20, 0}, 5);
        Entity* back = h.db().addText(h.ms(), QStringLiteral("MMMM"), {40, 20, 0}, 5);
        back->as<TextData>().generation = 2;
        Entity* down = h.db().addText(h.ms(), QStringLiteral("MMMM"), {60, 20, 0}, 5);
        down->as<TextData>().generation = 4;
        Q_UNUSED(plain);
        h.changed();
        h.view()->resize(500, 500);
        Box area;
        area.add(-5, -5);
        area.add(85, 45);
        h.view()->zoomWindow(area);
        const QImage img = h.view()->renderImage();
        const QColor bg = img.pixelColor(0, 0);
        // Any ink in a small square of drawing units around the point.
        auto ink = [&](double x, double y) {
            const QPoint a = h.at(x - 1, y + 1), b = h.at(x + 1, y - 1);
            for (int py = a.y(); py <= b.y(); ++py)
                for (int px = a.x(); px <= b.x(); ++px)
                    if (img.pixelColor(px, py) != bg) return true;
            return false;
        };
        QVERIFY(ink(4, 22.5) && !ink(-4, 22.5) && !ink(4, 17.5));  // reads to the right, above the baseline
        QVERIFY(ink(36, 22.5) && !ink(44, 22.5));                  // backward: to the left of its anchor
        QVERIFY(ink(64, 17.5) && !ink(64, 22.5));                  // upside down: below its baseline
    }

    // A HELIX on map-grid coordinates, as ezdxf writes it: drawn as the plan of its spline (the
    // circle its turns run round, nothing at its axis), taken in by zoom to extents, and snapped at
    // its ends and along its curve by the user's own line command.
    void aHelixIsDrawnZoomedToAndSnappedByItsSpline() {
        HostFixture h;
        const QString path = h.dir.filePath(QStringLiteral("curves.dxf"));
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(SUITE_TEST_DATA "/cad/curve_drawing.py"), QStringLiteral("write"), path});
        QVERIFY(py.waitForFinished(60000) && py.exitCode() == 0);
        const QJsonObject facts = QJsonDocument::fromJson(py.readAllStandardOutput()).object();
        QVERIFY(h.window->openFile(path));
        const double x0 = 7.5e9, y0 = 5.5e9;
        h.view()->zoomExtents();
        const Box all = h.view()->scene()->extents();
        for (const QString& kind : facts.keys()) {
            const QJsonArray b = facts[kind].toObject()[QStringLiteral("box")].toArray();
            QVERIFY2(all.min.x <= b[0].toDouble() + 1e-3 && all.min.y <= b[1].toDouble() + 1e-3 &&
                         all.max.x >= b[2].toDouble() - 1e-3 && all.max.y >= b[3].toDouble() - 1e-3,
                     qPrintable(kind));
        }
        QVERIFY(all.min.x > x0 - 40 && all.min.y > y0 - 20);  // no point of its tags at the origin
        h.zoomTo(x0 - 12, y0 - 12, x0 + 12, y0 + 12);
        const QImage img = h.view()->renderImage();
        auto lit = [&](double x, double y) { return inkNear(img, h.at(x, y)); };
        for (double a = 0; a < 6.28; a += 0.5)
            QVERIFY2(lit(x0 + 10 * std::cos(a), y0 + 10 * std::sin(a)), qPrintable(QString::number(a)));
        QVERIFY(!lit(x0, y0) && !lit(x0 + 5, y0) && !lit(x0 + 6, y0 + 6) && !lit(x0 - 11, y0 + 1));
        // A line from the helix's start (on the circle at angle 0) to its end (2.25 turns on, at
        // angle 90), then to the nearest point of the curve at angle 200 degrees.
        const double a = 200 * M_PI / 180;
        h.window->submitText(QStringLiteral("_line"));
        h.moveAndClick(h.at(x0 + 10.15, y0 + 0.1));
        h.window->submitText(QStringLiteral("_end"));
        h.moveAndClick(h.at(x0 - 0.1, y0 + 10.15));
        h.window->submitText(QStringLiteral("_nea"));
        h.moveAndClick(h.at(x0 + 10.2 * std::cos(a), y0 + 10.2 * std::sin(a)));
        h.window->submitText(QString());
        std::vector<const LineData*> lines;
        for (const Entity* e : h.ms()->entities())
            if (e->kind() == EntityKind::Line) lines.push_back(&e->as<LineData>());
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(lines[0]->start.x, x0 + 10);
        QCOMPARE(lines[0]->start.y, y0);
        QVERIFY(std::abs(lines[0]->end.x - x0) < 1e-5 && std::abs(lines[0]->end.y - (y0 + 10)) < 1e-5);
        const double r = std::hypot(lines[1]->end.x - x0, lines[1]->end.y - y0);
        QVERIFY2(std::abs(r - 10) < 5e-3, qPrintable(QString::number(r, 'g', 12)));
        QVERIFY(std::abs(std::atan2(lines[1]->end.y - y0, lines[1]->end.x - x0) - (a - 2 * M_PI)) < 0.02);
    }

    // Moved and turned at the prompt line like any other entity: the points in their tags follow
    // (a direction, the ellipse's major axis, only turns), so what is drawn moves with them.
    void rawKindsMoveAndTurnWithTheEditingCommands() {
        HostFixture h;
        QByteArray dxf = "0\nSECTION\n2\nENTITIES\n";
        dxf += entity("SOLID", 1, {{10, 0}, {20, 0}, {11, 10}, {21, 0}, {12, 0}, {22, 10}, {13, 10}, {23, 10}});
        dxf += entity("ELLIPSE", 2, {{10, 70}, {20, 5}, {11, 10}, {21, 0}, {40, 0.5}, {41, 0}, {42, 6.283185307}});
        dxf += "0\nENDSEC\n0\nEOF\n";
        QVERIFY(!show(h, dxf, 2).isNull());
        auto tag = [&](int item, int code) {
            for (const Tag& t : h.ms()->item(item)->as<RawData>().tags)
                if (t.code == code) return t.value.toDouble();
            return -1.0;
        };
        h.view()->select({h.ms()->item(0), h.ms()->item(1)});
        for (const char* t : {"_move", "0,0", "5,3"}) h.window->submitText(QString::fromLatin1(t));
        QCOMPARE(h.window->messageText(), QStringLiteral("Przesunięto obiektów: 2."));
        QCOMPARE(tag(0, 10), 5.0);
        QCOMPARE(tag(0, 23), 13.0);
        QCOMPARE(tag(1, 10), 75.0);
        QCOMPARE(tag(1, 11), 10.0);  // the axis is a direction: a move leaves it
        h.view()->select({h.ms()->item(1)});
        for (const char* t : {"_rotate", "75,8", "90"}) h.window->submitText(QString::fromLatin1(t));
        QVERIFY(std::abs(tag(1, 11)) < 1e-9 && std::abs(tag(1, 21) - 10) < 1e-9);
        QCOMPARE(tag(1, 10), 75.0);
        // Undo takes the turn back.
        PressKey(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(tag(1, 11), 10.0);
    }
};

QTEST_MAIN(RawKindsTest)
#include "RawKindsTest.moc"
