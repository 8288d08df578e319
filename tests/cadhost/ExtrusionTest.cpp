// Entities whose extrusion points down (what exploding a mirrored block writes): cadhost draws,
// snaps, selects, grips and zooms to them where ezdxf, the independent reader, places them, and
// nowhere the same records would land if their extrusion were ignored.
#include "HostFixture.h"
#include "RenderCanvas.h"

#include "cadhost/DrawingScene.h"
#include "cadhost/Snap.h"
#include "platform/cad/dxf/DxfReader.h"

#include <QFile>
#include <QProcess>
#include <QtTest>
#include <cmath>

using namespace cad::db;

namespace {

struct Line {
    QString what, kind;
    std::vector<double> v;
};

// Writes the drawing with ezdxf and reads what ezdxf says of it.
std::vector<Line> writeDrawing(const QString& path) {
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(SUITE_SOURCE_DIR "/tests/cadhost/ExtrusionDrawing.py"), path});
    if (!py.waitForFinished(60000) || py.exitCode() != 0) {
        qWarning() << py.readAllStandardError();
        return {};
    }
    std::vector<Line> out;
    for (const QString& row : QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList f = row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 3) continue;
        Line l{f[0], f[1], {}};
        for (qsizetype i = 2; i < f.size(); ++i) l.v.push_back(f[i].toDouble());
        out.push_back(l);
    }
    return out;
}

const Line* find(const std::vector<Line>& lines, const char* what, const char* kind) {
    for (const Line& l : lines)
        if (l.what == QLatin1String(what) && l.kind == QLatin1String(kind)) return &l;
    return nullptr;
}

// Ink pixels on a grid over the parallelogram at + along·[s0, s1] + up·[t0, t1].
int inkOver(const Canvas& c, const Line& frame, double s0, double s1, double t0, double t1) {
    const double x = frame.v[0], y = frame.v[1], ax = frame.v[2], ay = frame.v[3], ux = frame.v[4], uy = frame.v[5];
    int n = 0;
    for (double s = s0; s <= s1; s += 0.25)
        for (double t = t0; t <= t1; t += 0.25)
            if (c.lit(x + s * ax + t * ux, y + s * ay + t * uy, 0)) ++n;
    return n;
}

}  // namespace

class ExtrusionTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;
    std::vector<Line> ezdxf_;

private slots:
    void initTestCase() {
        path_ = dir_.filePath(QStringLiteral("down.dxf"));
        ezdxf_ = writeDrawing(path_);
        QVERIFY(ezdxf_.size() > 100);
    }

    void drawnWhereEzdxfPlacesEachKind() {
        QFile f(path_);
        QVERIFY(f.open(QIODevice::ReadOnly));
        Canvas c;
        QVERIFY(c.load(f.readAll()));
        c.render(-110, -100, 110, 90, 4);
        int ink = 0, none = 0;
        for (const Line& l : ezdxf_) {
            if (l.what == QLatin1String("ink")) {
                ++ink;
                QVERIFY2(c.lit(l.v[0], l.v[1], 1), qPrintable(QStringLiteral("%1 missing at %2;%3").arg(l.kind).arg(l.v[0]).arg(l.v[1])));
            } else if (l.what == QLatin1String("none")) {
                ++none;
                QVERIFY2(!c.lit(l.v[0], l.v[1], 1), qPrintable(QStringLiteral("%1 drawn at %2;%3").arg(l.kind).arg(l.v[0]).arg(l.v[1])));
            }
        }
        QVERIFY(ink > 100 && none > 100);
        // Filled kinds are filled where they are, not where their stored corners would put them.
        QVERIFY(c.lit(85, -25, 0) && !c.lit(-85, -25, 3));  // hatch
        QVERIFY(c.lit(85, 4, 0) && !c.lit(-85, 4, 3));      // solid
        QVERIFY(c.lit(96, 73, 0) && !c.lit(-96, 73, 3));    // trace
        // A polyline's width band lies round its world centre line.
        QVERIFY(c.lit(40.6, -15, 0) && !c.lit(-40.6, -15, 3));
        // Texts run along their world direction with their glyphs' up where ezdxf has it: the single
        // line text and the attribute read from right to left with mirrored glyphs, the multiline text
        // hung from its top left corner upside down (the one with an angle turned in its own
        // coordinate system); none is drawn turned the other way or on the far side of its base line.
        for (const char* kind : {"text", "attrib", "mtext", "turned"}) {
            const Line* t = find(ezdxf_, "text", kind);
            QVERIFY2(t && t->v.size() == 6, kind);
            const double side = QByteArray(kind) == "mtext" ? -1 : 1;
            QVERIFY2(inkOver(c, *t, 0, 3.5, side > 0 ? 0.3 : -5, side > 0 ? 5 : -0.3) > 10, kind);
            QVERIFY2(inkOver(c, *t, 0.3, 3.5, side > 0 ? -5 : 0.6, side > 0 ? -0.6 : 5) == 0, kind);
            QVERIFY2(inkOver(c, *t, -3.5, -0.6, -5, 5) == 0, kind);
        }
        // An "L" mirrored: its stem stands at the insertion point, its foot runs along the text.
        const Line* t = find(ezdxf_, "text", "text");
        QVERIFY(inkOver(c, *t, 0, 1, 3.5, 4.8) > 0);
        QCOMPARE(inkOver(c, *t, 2, 3.5, 3.5, 4.8), 0);
    }

    void snapPointsAreEzdxfsWorldPoints() {
        const auto db = cad::dxf::readFile(path_);
        QVERIFY(db);
        std::vector<const Entity*> all(db->modelSpace()->entities().begin(), db->modelSpace()->entities().end());
        const std::pair<const char*, cadhost::SnapPoint::Kind> kinds[] = {
            {"end", cadhost::SnapPoint::End},
            {"middle", cadhost::SnapPoint::Middle},
            {"center", cadhost::SnapPoint::Center},
            {"insertion", cadhost::SnapPoint::Insertion}};
        int checked = 0;
        for (const Line& l : ezdxf_) {
            if (l.what != QLatin1String("snap")) continue;
            for (const auto& [name, kind] : kinds) {
                if (l.kind != QLatin1String(name)) continue;
                const auto s = cadhost::FindSnap(all, {l.v[0] + 0.3, l.v[1] - 0.2, 0}, 0.6, std::nullopt,
                                                 cadhost::OnlySnap(kind));
                QVERIFY2(s && std::hypot(s->point.x - l.v[0], s->point.y - l.v[1]) < 1e-9,
                         qPrintable(QStringLiteral("%1 at %2;%3").arg(l.kind).arg(l.v[0]).arg(l.v[1])));
                ++checked;
            }
        }
        QCOMPARE(checked, 13);
        // Nothing marks the places the stored coordinates would give.
        QVERIFY(!cadhost::FindSnap(all, {-75, 50, 0}, 1));
        QVERIFY(!cadhost::FindSnap(all, {-50, -70, 0}, 1));
        // Nearest: on the circle where it is drawn.
        const auto n = cadhost::FindSnap(all, {75.2, 56, 0}, 1.5, std::nullopt,
                                         cadhost::OnlySnap(cadhost::SnapPoint::Nearest));
        QVERIFY(n && std::abs(std::hypot(n->point.x - 75, n->point.y - 50) - 5) < 1e-9);
    }

    void selectedGrippedAndZoomedToInTheWindow() {
        HostFixture h;
        QVERIFY(h.window->openFile(path_));
        // Zoom extents takes in what ezdxf finds, and nothing on the mirrored side.
        h.view()->zoomExtents();
        const Box box = h.view()->scene()->extents();
        const Line* all = find(ezdxf_, "box", "all");
        QVERIFY(all);
        QVERIFY(box.min.x <= all->v[0] + 1e-9 && box.min.y <= all->v[1] + 1e-9 && box.max.x >= all->v[2] - 1e-9 &&
                box.max.y >= all->v[3] - 1e-9);
        QVERIFY(box.min.x > -0.5 && box.max.x < 100.5);
        h.view()->setSnapEnabled(false);
        h.zoomTo(40, 10, 90, 60);
        // A window round the circle where it is drawn catches it and only it.
        const Line* circle = find(ezdxf_, "box", "circle");
        QVERIFY(circle);
        h.moveAndClick(h.at(circle->v[0] - 1, circle->v[3] + 1));
        h.moveAndClick(h.at(circle->v[2] + 1, circle->v[1] - 1));
        QCOMPARE(h.view()->selection().size(), 1);
        const auto* picked = dynamic_cast<const Entity*>(h.db().objectByHandle(*h.view()->selection().begin()));
        QVERIFY(picked && picked->kind() == EntityKind::Circle);
        h.view()->clearSelection();
        // The arc is picked on its drawn curve; its start grip shows at ezdxf's start point, and
        // dragged round to the far side of the centre the arc starts where the button was let go.
        h.moveAndClick(h.at(55.757, 24.243));
        QCOMPARE(h.view()->selection().size(), 1);
        const Line* start = find(ezdxf_, "snap", "end");
        QVERIFY(start);
        const auto grip = h.view()->gripAt(h.view()->toScreen({start->v[0], start->v[1], 0}));
        QVERIFY(grip && grip->second == 0);
        h.moveAndClick(h.at(start->v[0], start->v[1]));
        QCOMPARE(h.window->promptText(), QStringLiteral("** ROZCIĄGNIJ ** Określ punkt rozciągnięcia:"));
        h.window->submitText(QStringLiteral("66,20"));
        const auto* arc = dynamic_cast<const Entity*>(h.db().objectByHandle(grip->first));
        QVERIFY(arc && arc->kind() == EntityKind::Arc);
        const Point3 s = h.db().startPoint(arc);
        QVERIFY(std::hypot(s.x - 66, s.y - 20) < 1e-9);
        QVERIFY(std::abs(arc->as<ArcData>().startAngle - std::numbers::pi) < 1e-9);
        // The circle's centre grip carries it to where the cursor is.
        h.view()->select({picked});
        h.moveAndClick(h.at(75, 50));
        h.window->submitText(QStringLiteral("70,30"));
        const Box moved = h.db().boundingBox(picked);
        QVERIFY(std::abs(moved.min.x - 65) < 1e-9 && std::abs(moved.max.y - 35) < 1e-9);
    }
};

QTEST_MAIN(ExtrusionTest)
#include "ExtrusionTest.moc"
