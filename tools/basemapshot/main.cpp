// basemapshot OUT.png: generates an intersection base map (curbs as wide polylines, markings as
// hatches and blocks, a dimension, street names), shows it in the cadhost window with the layer
// list and saves the window as a PNG (documentation screenshots; runs offscreen).
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
    // Road width dimension and street names.
    onLayer(db, db.addDimAligned(db.modelSpace(), {40, -7, 0}, {40, 7, 0}, {44, 0, 0}), "WYMIARY");
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
