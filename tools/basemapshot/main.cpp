// basemapshot OUT.png: generates an intersection base map (curbs as wide polylines, markings as
// hatches and blocks, paving and grass as pattern hatches, dimensions, street names and a coded
// multiline title), shows it in the cadhost window with the layer list and saves the window as a
// PNG (documentation screenshots; runs offscreen).
#include "cadhost/HostInteraction.h"
#include "cadhost/MainWindow.h"
#include "platform/cad/engine/Database.h"

#include <QApplication>
#include <QTimer>
#include <cmath>

using namespace cad::db;

namespace {

Entity* onLayer(Database& db, Entity* e, const char* layer) {
    db.setLayer(e, QString::fromUtf8(layer));
    return e;
}

void box(Database& db, const char* layer, double x0, double y0, double x1, double y1) {
    Entity* h = onLayer(db, db.addHatch(db.modelSpace(), 1, QStringLiteral("SOLID"), false), layer);
    HatchLoop loop;
    loop.flags = 3;
    loop.vertices = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    h->as<HatchData>().loops.push_back(loop);
}

void curb(Database& db, std::vector<Vertex> v) {
    for (Vertex& x : v) x.startWidth = x.endWidth = 0.3;
    onLayer(db, db.addLwPolyline(db.modelSpace(), v), "KRAWĘŻNIKI");
}

// A pattern hatch over a polygon; `families` are (angle, base x, base y, offset x, offset y, dashes).
struct Family {
    double angle, bx, by, ox, oy;
    std::vector<double> dashes;
};
void patterned(Database& db, const char* layer, const char* name, const std::vector<Vertex>& outline,
               const std::vector<Family>& families) {
    Entity* h = onLayer(db, db.addHatch(db.modelSpace(), 2, QString::fromLatin1(name), false), layer);
    auto& d = h->as<HatchData>();
    d.solid = false;
    HatchLoop loop;
    loop.flags = 3;
    loop.vertices = outline;
    d.loops.push_back(loop);
    for (const Family& f : families) {
        PatternLine pl;
        pl.angle = f.angle;
        pl.base = {f.bx, f.by, 0};
        pl.offset = {f.ox, f.oy, 0};
        pl.dashes = f.dashes;
        d.patternLines.push_back(pl);
    }
}

// A dimension as other programs store it: its definition points only (no block of its own).
struct DimPoint {
    int code;
    double x, y;
};
void dimension(Database& db, int type, std::initializer_list<DimPoint> points, double angle = 0) {
    Entity* e = onLayer(db, db.addEntity(db.modelSpace(), EntityKind::Unknown), "WYMIARY");
    auto& raw = e->as<RawData>();
    raw.dxfName = QStringLiteral("DIMENSION");
    raw.tags.push_back({100, QStringLiteral("AcDbDimension")});
    raw.tags.push_back({70, QString::number(type)});
    for (const DimPoint& p : points) {
        raw.tags.push_back({p.code, QString::number(p.x, 'g', 12)});
        raw.tags.push_back({p.code + 10, QString::number(p.y, 'g', 12)});
    }
    raw.tags.push_back({50, QString::number(angle)});
}

Vertex vx(double x, double y, double bulge = 0) {
    Vertex v;
    v.x = x, v.y = y, v.bulge = bulge;
    return v;
}

void build(Database& db) {
    struct L {
        const char* name;
        int color;
    };
    for (const L& l : {L{"KRAWĘŻNIKI", 7}, L{"OZNAKOWANIE", 2}, L{"STRZAŁKI", 3}, L{"WYMIARY", 4},
                       L{"OPISY", 6}, L{"CHODNIKI", 8}, L{"ZIELEŃ", 94}})
        db.addLayer(QString::fromUtf8(l.name))->color = l.color;
    const double tan22 = std::tan(std::acos(-1.0) / 8);  // a quarter-circle corner as a bulge
    // Four corners of a crossing of two 14 m roads with 8 m corner radii.
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const double b = (sx * sy > 0) ? -tan22 : tan22;
            curb(db, {vx(sx * 60, sy * 7), vx(sx * 15, sy * 7, b), vx(sx * 7, sy * 15), vx(sx * 7, sy * 60)});
            curb(db,
                 {vx(sx * 60, sy * 10), vx(sx * 18, sy * 10, b), vx(sx * 10, sy * 18), vx(sx * 10, sy * 60)});
            Entity* grass =
                onLayer(db, db.addCircle(db.modelSpace(), {sx * 30.0, sy * 30.0, 0}, 4), "ZIELEŃ");
            Q_UNUSED(grass);
        }
    // Centre lines (dashed blocks of paint) and stop lines.
    for (double t = 12; t < 60; t += 6) {
        for (int s : {-1, 1}) {
            box(db, "OZNAKOWANIE", s * t - 1.5, -0.06, s * t + 1.5, 0.06);
            box(db, "OZNAKOWANIE", -0.06, s * t - 1.5, 0.06, s * t + 1.5);
        }
    }
    box(db, "OZNAKOWANIE", -11.5, -7, -11, 0);
    box(db, "OZNAKOWANIE", 11, 0, 11.5, 7);
    box(db, "OZNAKOWANIE", 0, -11.5, 7, -11);
    box(db, "OZNAKOWANIE", -7, 11, 0, 11.5);
    // Zebra crossings.
    for (int i = 0; i < 7; ++i) {
        const double y = -6.5 + i * 2;
        box(db, "OZNAKOWANIE", -20, y, -16, y + 1);
        box(db, "OZNAKOWANIE", 16, y, 20, y + 1);
        box(db, "OZNAKOWANIE", y, -20, y + 1, -16);
        box(db, "OZNAKOWANIE", y, 16, y + 1, 20);
    }
    // A lane arrow block, inserted on each approach.
    BlockDefinition* arrow = db.addBlock(QStringLiteral("STRZALKA_PROSTO"));
    db.addLwPolyline(
        arrow, {vx(-0.15, 0), vx(0.15, 0), vx(0.15, 3), vx(0.5, 3), vx(0, 5), vx(-0.5, 3), vx(-0.15, 3)},
        true);
    const double pi = std::acos(-1.0);
    onLayer(db, db.insertBlock(db.modelSpace(), {3.5, -28, 0}, arrow->name(), 1, 1, 1, 0), "STRZAŁKI");
    onLayer(db, db.insertBlock(db.modelSpace(), {-3.5, 28, 0}, arrow->name(), 1, 1, 1, pi), "STRZAŁKI");
    onLayer(db, db.insertBlock(db.modelSpace(), {28, 3.5, 0}, arrow->name(), 1, 1, 1, pi / 2), "STRZAŁKI");
    onLayer(db, db.insertBlock(db.modelSpace(), {-28, -3.5, 0}, arrow->name(), 1, 1, 1, -pi / 2), "STRZAŁKI");
    // Dimensions in metres: road and sidewalk widths, a corner radius, the crossing's offset.
    db.setVariable(QStringLiteral("DIMASZ"), 0.8);
    db.setVariable(QStringLiteral("DIMTXT"), 1.5);
    db.setVariable(QStringLiteral("DIMEXO"), 0.3);
    db.setVariable(QStringLiteral("DIMEXE"), 0.4);
    db.setVariable(QStringLiteral("DIMGAP"), 0.25);
    db.setVariable(QStringLiteral("DIMDEC"), 2);
    dimension(db, 32 + 0, {{10, 44, 7}, {13, 40, -7}, {14, 40, 7}}, 90);
    dimension(db, 32 + 0, {{10, 52, 13}, {13, 50, 10}, {14, 50, 13}}, 90);
    dimension(db, 32 + 4, {{10, 15, 15}, {15, 15 - 8 * std::sqrt(0.5), 15 - 8 * std::sqrt(0.5)}});
    dimension(db, 32 + 0, {{10, 20, -24}, {13, 0, -20}, {14, 20, -20}});
    // Paving of the sidewalks (bricks) and grass on the corner islands (dotted rows).
    const std::vector<Family> bricks = {{0, 0, 0, 0, 0.5, {}}, {90, 0, 0, -0.5, 0.5, {0.5, -0.5}}};
    const std::vector<Family> grass = {{0, 0, 0, 0.6, 1.2, {0.3, -0.9}},
                                       {60, 0, 0, -0.789, 1.033, {0.3, -1.5}}};
    for (int s : {-1, 1}) {
        patterned(db, "CHODNIKI", "BRICK",
                  {vx(-60, s * 10), vx(-18, s * 10), vx(-13, s * 13), vx(-60, s * 13)}, bricks);
        patterned(db, "CHODNIKI", "BRICK", {vx(60, s * 10), vx(18, s * 10), vx(13, s * 13), vx(60, s * 13)},
                  bricks);
    }
    for (int sx : {-1, 1})
        for (int sy : {-1, 1})
            patterned(db, "ZIELEŃ", "GRASS", {vx(sx * 30 - 4, sy * 30, 1), vx(sx * 30 + 4, sy * 30, 1)},
                      grass);
    // The title: bold street names, a line break, a smaller scale line, underlined.
    Entity* title =
        onLayer(db,
                db.addMText(db.modelSpace(), {-60, 66, 0}, 90,
                            QStringLiteral("{\\fArial|b1;Skrzyżowanie} ul. Długiej z ul. Żelazną\\P"
                                           "{\\H0.6x;\\Lskala 1:500\\l, wymiary w metrach}")),
                "OPISY");
    title->as<MTextData>().height = 2.5;
    // Street names.
    Entity* t1 =
        onLayer(db, db.addText(db.modelSpace(), QStringLiteral("ul. Długa"), {-55, 11.5, 0}, 2), "OPISY");
    Entity* t2 =
        onLayer(db, db.addText(db.modelSpace(), QStringLiteral("ul. Żelazna"), {11.5, 45, 0}, 2), "OPISY");
    t2->as<TextData>().rotation = pi / 2;
    Q_UNUSED(t1);
    // Sidewalk edges.
    for (int s : {-1, 1}) {
        onLayer(db, db.addLine(db.modelSpace(), {-60, s * 13.0, 0}, {-13, s * 13.0, 0}), "CHODNIKI");
        onLayer(db, db.addLine(db.modelSpace(), {13, s * 13.0, 0}, {60, s * 13.0, 0}), "CHODNIKI");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    cad::ObjectModel model;
    cadhost::HostInteraction interaction(model);
    model.setInteraction(&interaction);
    cadhost::MainWindow window(model, interaction);
    window.resize(1400, 900);
    window.newDrawing();
    build(*model.activeDocument()->db);
    window.syncDocuments();
    window.view()->drawingChanged();
    window.show();
    window.view()->zoomExtents();
    QTimer::singleShot(300, &app, [&] {
        const bool ok = window.grab().save(QString::fromLocal8Bit(argv[1]));
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
