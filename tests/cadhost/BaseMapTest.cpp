// The engineer's base map as other programs write it, made by ezdxf: a 3D polyline drawn as its
// plan (and snapped, measured and exploded as one), a hatch closed by a spline edge filled, multiline
// text with an unclosed colour code, paragraph alignments and columns, an attribute definition
// showing its tag; each where ezdxf's own geometry puts it, and each kept as read on save.
#include "HostFixture.h"
#include "RenderCanvas.h"

#include "cadhost/Snap.h"
#include "cadhost/render/HatchPattern.h"
#include "cadhost/render/MTextRuns.h"
#include "platform/cad/dxf/DxfWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace cad::db;

namespace {

const QString Script = QStringLiteral(SUITE_SOURCE_DIR "/tests/cadhost/basemap_drawing.py");

QString runScript(const QStringList& args) {
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), QStringList{Script} + args);
    if (!py.waitForFinished(60000) || py.exitCode() != 0) {
        qWarning("%s", py.readAllStandardError().constData());
        return QStringLiteral("!");
    }
    return QString::fromUtf8(py.readAllStandardOutput()).trimmed();
}

}  // namespace

class BaseMapTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path;
    QJsonObject facts;  // ezdxf's geometry of what it wrote
    Canvas c;

    const Entity* byHandle(const QString& handle) const {
        for (const Entity* e : c.db->modelSpace()->entities())
            if (e->handleText() == handle) return e;
        return nullptr;
    }
    // Ink pixels of one colour inside a drawing rectangle.
    int colourCount(QRgb colour, double left, double bottom, double right, double top) const {
        const QRect area = QRect(c.at(left, top), c.at(right, bottom)).intersected(c.img.rect());
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (c.img.pixel(x, y) == colour) ++n;
        return n;
    }

private slots:
    void initTestCase() {
        path = dir.filePath(QStringLiteral("osnowa.dxf"));
        facts = QJsonDocument::fromJson(runScript({QStringLiteral("make"), path}).toUtf8()).object();
        QVERIFY(!facts.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(c.load(f.readAll()));
        c.render(-2, -2, 125, 60, 8);
        if (qEnvironmentVariableIsSet("BASEMAP_PNG")) c.img.save(qEnvironmentVariable("BASEMAP_PNG"));
    }

    void kerbLineShowsSnapsAndExplodesAsItsPlan() {
        const QJsonObject kerb = facts[QStringLiteral("kerb")].toObject();
        const QJsonArray b = kerb[QStringLiteral("box")].toArray();
        const double x0 = b[0].toDouble(), y0 = b[1].toDouble(), x1 = b[2].toDouble(), y1 = b[3].toDouble();
        const Entity* e = byHandle(kerb[QStringLiteral("handle")].toString());
        QVERIFY(e);
        QCOMPARE(e->objectName(), QStringLiteral("AcDb3dPolyline"));
        // Drawn over exactly ezdxf's extents, closing edge included.
        const QRect ink = c.inkBox(x0 - 3, y0 - 3, x1 + 3, y1 + 3);
        const QRect want(c.at(x0, y1), c.at(x1, y0));
        QVERIFY2((ink.topLeft() - want.topLeft()).manhattanLength() <= 2 &&
                     (ink.bottomRight() - want.bottomRight()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
        QVERIFY(c.lit(13, 46.5) && !c.lit(20, 48));  // the closing edge, not the inside
        QVERIFY(c.lit(102.5, 45.5) && !c.lit(105, 45));  // a triangle's closing edge
        // Its extents are its plan (not the origin it is placed at).
        const Box box = c.db->boundingBox(e);
        QCOMPARE(box.min.x, x0);
        QCOMPARE(box.max.y, y1);
        QCOMPARE(box.min.y, y0);
        // Snaps at its vertices and the middles of its edges, the closing one too.
        auto snap = [&](double x, double y) { return cadhost::FindSnap({e}, {x, y, 0}, 1); };
        auto end = snap(29.6, 44.3);
        QVERIFY(end && end->kind == cadhost::SnapPoint::End && end->point.x == 30 && end->point.y == 44);
        auto mid = snap(13.2, 46.4);
        QVERIFY(mid && mid->kind == cadhost::SnapPoint::Middle && mid->point.x == 13 && mid->point.y == 46.5);
        // Exploded (as hatcher cuts it) into its four edges, heights kept.
        auto owned = cad::dxf::readBuffer([&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }(), QStringLiteral("test"));
        Entity* copy = nullptr;
        for (Entity* x : owned->modelSpace()->entities())
            if (x->handleText() == e->handleText()) copy = x;
        const std::vector<Entity*> lines = owned->explode(copy);
        QCOMPARE(lines.size(), size_t(4));
        QCOMPARE(lines[3]->as<LineData>().start.z, 3.0);
        QCOMPARE(lines[3]->as<LineData>().end.x, 12.0);
    }

    void splineEdgedHatchIsFilled() {
        const QRgb green = 0xff00ff00;
        // Just inside each point ezdxf puts on the spline edge (the inside is east of it), and
        // nothing just outside.
        for (const QJsonValue v : facts[QStringLiteral("spline")].toArray()) {
            const double x = v.toArray()[0].toDouble(), y = v.toArray()[1].toDouble();
            const double dx = 44 - x, dy = 45 - y, len = std::hypot(dx, dy);  // (44, 45) is inside
            const double ix = x + 0.5 * dx / len, iy = y + 0.5 * dy / len;
            QVERIFY2(c.img.pixel(c.at(ix, iy)) == green, qPrintable(QStringLiteral("%1 %2").arg(x).arg(y)));
            QVERIFY(!c.lit(x - 0.5 * dx / len, y - 0.5 * dy / len, 0));
        }
        // Inside the elliptic and the circular arc, not past them.
        QCOMPARE(c.img.pixel(c.at(53.2, 43)), green);
        QVERIFY(!c.lit(53.8, 43, 0));
        QCOMPARE(c.img.pixel(c.at(47, 48.7)), green);
        QVERIFY(!c.lit(47, 49.3, 0));
        // An edge given the other way round is walked backwards: the square's outline is its
        // perimeter, with no edge walked twice.
        HatchData square;
        square.loops.emplace_back();
        const double corners[][4] = {{0, 0, 10, 0}, {10, 10, 10, 0}, {10, 10, 0, 10}, {0, 10, 0, 0}};
        for (const auto& k : corners) {
            Edge edge;
            edge.start = {k[0], k[1], 0};
            edge.end = {k[2], k[3], 0};
            square.loops[0].edges.push_back(edge);
        }
        const QPolygonF outline = cadhost::render::HatchBoundary(square).toSubpathPolygons().front();
        double perimeter = 0;
        for (qsizetype i = 1; i < outline.size(); ++i) perimeter += QLineF(outline[i - 1], outline[i]).length();
        QCOMPARE(perimeter, 40.0);
        const QJsonArray b = facts[QStringLiteral("hatch")].toObject()[QStringLiteral("box")].toArray();
        const QRect ink = c.inkBox(35, 38, 56, 55);
        QVERIFY(std::abs(ink.left() - c.at(b[0].toDouble(), 0).x()) <= 1);
        QVERIFY(std::abs(ink.top() - c.at(0, b[3].toDouble()).y()) <= 1);
    }

    void unclosedCodesEndWithTheirNumber() {
        using cadhost::render::ParseMText;
        const auto lines = ParseMText(QStringLiteral("AB\\C1CD;EF\\H2xG;H\\c255x;\\A1I"), 2);
        QCOMPARE(lines.size(), size_t(1));
        QCOMPARE(lines[0].size(), size_t(4));
        QVERIFY(lines[0][1].text == QStringLiteral("CD;EF") && lines[0][1].aci == 1);
        QVERIFY(lines[0][2].text == QStringLiteral("G;H") && lines[0][2].height == 4);
        QVERIFY(lines[0][3].text == QStringLiteral("x;I") && lines[0][3].trueColor == 255);
        // Relative widths and tracking take their 'x' with them.
        const auto scaled = ParseMText(QStringLiteral("\\W0.5xA\\T2xB\\Q-15C"), 2)[0];
        QCOMPARE(scaled.size(), size_t(3));
        QVERIFY(scaled[0].text == QStringLiteral("A") && scaled[0].widthFactor == 0.5);
        QVERIFY(scaled[1].text == QStringLiteral("B") && scaled[1].tracking == 2);
        QVERIFY(scaled[2].text == QStringLiteral("C") && scaled[2].oblique < 0);
        // The drawn text: "CD;EF" in red right after "AB", the second line shown below.
        const QFont font = FontForCap(2 * c.k);
        const QFontMetricsF fm(font);
        const QRect red = QRect(c.at(0, 30.5), c.at(40, 27.5)).intersected(c.img.rect());
        QRect redInk;
        for (int y = red.top(); y <= red.bottom(); ++y)
            for (int x = red.left(); x <= red.right(); ++x)
                if (c.img.pixel(x, y) == 0xffff0000) redInk |= QRect(x, y, 1, 1);
        QVERIFY(!redInk.isEmpty());
        const double start = c.at(0, 30).x() + fm.horizontalAdvance(QStringLiteral("AB"));
        const double width = fm.horizontalAdvance(QStringLiteral("CD;EF"));
        QVERIFY2(std::abs(redInk.left() - start) <= 3 && std::abs(redInk.width() - width) <= 6,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(redInk.left()).arg(start).arg(redInk.width()).arg(width)));
        QVERIFY(c.inkCount(0, 24, 10, 27) > 0);  // "GH"
    }

    void paragraphsTakeTheirAlignment() {
        const auto lines = cadhost::render::ParseMText(QStringLiteral("a\\pxqc;b\\Pc\\P\\pi1,qr;d\\P\\pxqj;e\\Pf\\pql;"), 1);
        using cadhost::render::MTextAlign;
        QCOMPARE(lines.size(), size_t(5));
        QVERIFY(lines[0].align == MTextAlign::Centre && lines[1].align == MTextAlign::Centre);
        QVERIFY(lines[2].align == MTextAlign::Right && lines[3].align == MTextAlign::Justified);
        QVERIFY(lines[4].align == MTextAlign::Left);
        // Parts after the alignment (an indent) leave it as it was, for the paragraphs after too.
        const auto indented =
            cadhost::render::ParseMText(QStringLiteral("\\pqc,i2;a\\Pb\\P\\pqr,t4,i1;c"), 1);
        QCOMPARE(indented.size(), size_t(3));
        QVERIFY(indented[0].align == MTextAlign::Centre && indented[1].align == MTextAlign::Centre);
        QVERIFY(indented[2].align == MTextAlign::Right);
        // Right, centred and left lines in a box 30 wide from x = 60.
        const QRect right = c.inkBox(58, 27.5, 95, 30.5), centre = c.inkBox(58, 24.2, 95, 27.2),
                    left = c.inkBox(58, 20.8, 95, 23.8);
        QVERIFY(!right.isEmpty() && !centre.isEmpty() && !left.isEmpty());
        QVERIFY2(std::abs(right.right() - c.at(90, 0).x()) <= 3, qPrintable(QString::number(right.right())));
        QVERIFY(std::abs(centre.center().x() - c.at(75, 0).x()) <= 3);
        QVERIFY(std::abs(left.left() - c.at(60, 0).x()) <= 3);
    }

    void columnsHoldTheirLines() {
        // Static columns from x = 0, dynamic ones 7 high from x = 45, dynamic 4 then 12 high from
        // x = 90; all 10 wide with gutters of 3, their tops at y = 20.
        struct Column {
            double left, height;
        };
        const std::vector<std::vector<Column>> texts = {
            {{0, 12}, {13, 12}}, {{45, 7}, {58, 7}, {71, 7}}, {{90, 4}, {103, 12}}};
        for (const auto& columns : texts) {
            int inside = 0;
            for (const Column& col : columns) {
                const int n = c.inkCount(col.left, 20 - col.height, col.left + 10, 20.5);
                QVERIFY2(n > 0, qPrintable(QString::number(col.left)));
                inside += n;
            }
            // Nothing outside the column boxes.
            const double from = columns.front().left, to = columns.back().left + 10;
            const int all = c.inkCount(from - 1, 6, to + 1.9, 20.5);
            QVERIFY2(all == inside, qPrintable(QStringLiteral("%1: %2 of %3").arg(from).arg(inside).arg(all)));
        }
        // A column break starts the second static column even with room left in the first.
        QVERIFY(c.inkCount(0, 8, 10, 12) == 0 && c.inkCount(13, 8, 23, 12) > 0);
    }

    // In the window, which leaves out what its extents make smaller than a pixel, as the user opens it.
    void attributeDefinitionShowsItsTag() {
        HostFixture h;
        QVERIFY(h.window->openFile(path));
        h.view()->resize(1016, 496);
        Box area;
        area.add(-2, -2);
        area.add(125, 60);
        h.view()->zoomWindow(area);
        const QImage img = h.view()->renderImage();
        const double k = h.at(1, 0).x() - h.at(0, 0).x();
        const QFontMetricsF fm(FontForCap(3 * k));
        const double width = fm.horizontalAdvance(QStringLiteral("NR_SLUPA"));
        QRect ink;
        const QRect around = QRect(h.at(68, 7), h.at(110, 0)).intersected(img.rect());
        const QRgb bg = img.pixel(0, img.height() - 1);
        for (int y = around.top(); y <= around.bottom(); ++y)
            for (int x = around.left(); x <= around.right(); ++x)
                if (img.pixel(x, y) != bg) ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(std::abs(ink.left() - h.at(70, 0).x()) <= 3 && std::abs(ink.width() - width) <= 0.1 * width,
                 qPrintable(QStringLiteral("%1 %2").arg(ink.width()).arg(width)));
        QVERIFY(std::abs(ink.top() - h.at(0, 5).y()) <= 2);
        // Its extents are the tag's.
        const Entity* tag = byHandle(facts[QStringLiteral("attdef")].toString());
        QVERIFY(tag && c.db->boundingBox(tag).max.x > 75);
    }

    void savingKeepsEachEntityAsRead() {
        const QString saved = dir.filePath(QStringLiteral("zapisana.dxf"));
        cad::dxf::writeFile(*c.db, saved);
        const QString differences = runScript({QStringLiteral("same"), path, saved});
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
    }
};

QTEST_MAIN(BaseMapTest)
#include "BaseMapTest.moc"
