// samplemap: generates the sample base map shipped as resources/Tesmar/Zasoby/Przyklad.dxf —
// a four-arm junction of a main road (two lanes each way) and a side road, with kerbs and corner
// radii, lane and centre lines, stop lines, zebra crossings, a splitter island and lane arrows, and
// intersection "1" with its traffic streams, groups and phases drawn by conflictor's own routines.
// Usage: samplemap OUTPUT.dxf
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"
#include "tools/samplemap/SampleStreams.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cmath>
#include <numbers>

using namespace cad::db;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double MainHalf = 7.0;  // main road: two 3.5 m lanes each way
constexpr double SideHalf = 3.5;  // side road: one lane each way
constexpr double Radius = 12.0;   // kerb radius at the corners
constexpr double ArmLength = 70.0;

Entity* onLayer(Database& db, Entity* e, const QString& layer) {
    db.setLayer(e, layer);
    return e;
}

void solid(Database& db, BlockDefinition* block, const std::vector<Vertex>& outline, const QString& layer) {
    Entity* h = db.addHatch(block, 1, QStringLiteral("SOLID"), false);
    HatchLoop loop;
    loop.flags = 1 | 2;
    loop.vertices = outline;
    h->as<HatchData>().loops.push_back(loop);
    onLayer(db, h, layer);
}

std::vector<Vertex> rect(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// Kerbs of one quadrant: along the main road, the corner arc, along the side road.
void kerbQuadrant(Database& db, BlockDefinition* ms, int sx, int sy) {
    const double cx = sx * (SideHalf + Radius), cy = sy * (MainHalf + Radius);
    onLayer(db, db.addLine(ms, {cx, sy * MainHalf, 0}, {sx * ArmLength, sy * MainHalf, 0}), "KRAWEZNIKI");
    onLayer(db, db.addLine(ms, {sx * SideHalf, cy, 0}, {sx * SideHalf, sy * ArmLength, 0}), "KRAWEZNIKI");
    const double toMain = sy > 0 ? 1.5 * Pi : 0.5 * Pi;  // from the centre to the main-road kerb end
    const double toSide = sx > 0 ? Pi : 0.0;             // to the side-road kerb end
    const double start = std::fmod(toMain - toSide + 2 * Pi, 2 * Pi) < Pi ? toSide : toMain;
    onLayer(db, db.addArc(ms, {cx, cy, 0}, Radius, start, std::fmod(start + 0.5 * Pi, 2 * Pi)), "KRAWEZNIKI");
}

// Zebra stripes across an arm, `from` to `from + 4` metres out from the centre.
void crossing(Database& db, BlockDefinition* ms, bool mainRoad, int side) {
    const double half = mainRoad ? MainHalf : SideHalf;
    const double from = (mainRoad ? SideHalf : MainHalf) + Radius + 2;
    for (double s = -half + 0.25; s + 0.5 <= half; s += 1.0) {
        const double a = side * from, b = side * (from + 4);
        if (mainRoad)
            solid(db, ms, rect(std::min(a, b), s, std::max(a, b), s + 0.5), "PRZEJSCIA");
        else
            solid(db, ms, rect(s, std::min(a, b), s + 0.5, std::max(a, b)), "PRZEJSCIA");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "Użycie: samplemap PLIK.dxf\n";
        return 2;
    }
    Database db;
    struct LayerDef {
        const char* name;
        int color;
    };
    for (const LayerDef& l :
         {LayerDef{"KRAWEZNIKI", 7}, LayerDef{"LINIE", 7}, LayerDef{"OSIE", 1}, LayerDef{"PRZEJSCIA", 7},
          LayerDef{"WYSEPKI", 3}, LayerDef{"STRZALKI", 2}, LayerDef{"OPISY", 4}})
        db.addLayer(QString::fromLatin1(l.name))->color = l.color;
    Linetype* dashed =
        db.addLinetype(QStringLiteral("PRZERYWANA"), QStringLiteral("Linia przerywana 3 m / 3 m"), {3, -3});
    db.layers().find(QStringLiteral("LINIE"))->linetype = dashed->name();
    db.loadLinetype(QStringLiteral("CENTER"));
    db.layers().find(QStringLiteral("OSIE"))->linetype = QStringLiteral("CENTER");
    db.setVariable(QStringLiteral("LTSCALE"), 2.0);
    BlockDefinition* ms = db.modelSpace();

    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) kerbQuadrant(db, ms, sx, sy);

    // Lane lines of the main road and its centre line; stop lines on the incoming lanes.
    const double mainStart = SideHalf + Radius;
    for (int sx : {-1, 1}) {
        for (double y : {-3.5, 3.5})
            onLayer(db, db.addLine(ms, {sx * (mainStart + 6), y, 0}, {sx * ArmLength, y, 0}), "LINIE");
        Entity* axis = db.addLine(ms, {sx * (mainStart + 6), 0, 0}, {sx * ArmLength, 0, 0});
        onLayer(db, axis, "LINIE");
        axis->linetype = QStringLiteral("Continuous");
        // Traffic keeps right: the incoming lanes of the east arm lie north of the axis.
        const double y0 = sx > 0 ? 0.0 : -MainHalf, y1 = sx > 0 ? MainHalf : 0.0;
        Entity* stop = db.addLine(ms, {sx * (mainStart + 7), y0, 0}, {sx * (mainStart + 7), y1, 0});
        onLayer(db, stop, "LINIE")->linetype = QStringLiteral("Continuous");
        stop->lineweight = 50;
    }
    const double sideStart = MainHalf + Radius;
    for (int sy : {-1, 1}) {
        const double x0 = sy > 0 ? -SideHalf : 0.0, x1 = sy > 0 ? 0.0 : SideHalf;
        Entity* stop = db.addLine(ms, {x0, sy * (sideStart + 7), 0}, {x1, sy * (sideStart + 7), 0});
        onLayer(db, stop, "LINIE")->linetype = QStringLiteral("Continuous");
        stop->lineweight = 50;
    }
    onLayer(db, db.addLine(ms, {0, -(sideStart + 7), 0}, {0, -ArmLength, 0}), "LINIE");
    // Axis of the junction.
    onLayer(db, db.addLine(ms, {-ArmLength - 5, 0, 0}, {ArmLength + 5, 0, 0}), "OSIE");
    onLayer(db, db.addLine(ms, {0, -ArmLength - 5, 0}, {0, ArmLength + 5, 0}), "OSIE");

    for (int side : {-1, 1}) {
        crossing(db, ms, true, side);
        crossing(db, ms, false, side);
    }

    // The splitter island of the north arm: a rounded strip with a kerb outline and a green fill.
    const double a = sideStart + 20, b = ArmLength - 6;
    const std::vector<Vertex> island{{1, a, 0}, {1, b, 1}, {-1, b, 0}, {-1, a, 1}};
    std::vector<Vertex> outline = island;
    onLayer(db, db.addLwPolyline(ms, outline, true), "KRAWEZNIKI");
    solid(db, ms, island, "WYSEPKI");

    // A lane arrow as a block, placed on the incoming lanes.
    BlockDefinition* arrow = db.addBlock(QStringLiteral("STRZALKA"));
    Entity* shaft = db.addLine(arrow, {0, 0, 0}, {0, 4, 0});
    shaft->color = ColorByBlock;
    Entity* head = db.addHatch(arrow, 1, QStringLiteral("SOLID"), false);
    HatchLoop tip;
    tip.flags = 1 | 2;
    tip.vertices = {{-0.6, 4}, {0.6, 4}, {0, 5.5}};
    head->as<HatchData>().loops.push_back(tip);
    head->color = ColorByBlock;
    const double arrowAt = mainStart + 16;  // behind the stop line
    for (double y : {1.75, 5.25})
        onLayer(db, db.insertBlock(ms, {arrowAt, y, 0}, QStringLiteral("STRZALKA"), 1, 1, 1, Pi / 2),
                "STRZALKI");
    for (double y : {-1.75, -5.25})
        onLayer(db, db.insertBlock(ms, {-arrowAt, y, 0}, QStringLiteral("STRZALKA"), 1, 1, 1, -Pi / 2),
                "STRZALKI");
    onLayer(db, db.insertBlock(ms, {-1.75, sideStart + 14, 0}, QStringLiteral("STRZALKA"), 1, 1, 1, Pi),
            "STRZALKI");
    onLayer(db, db.insertBlock(ms, {1.75, -(sideStart + 14), 0}, QStringLiteral("STRZALKA"), 1, 1, 1, 0),
            "STRZALKI");

    // Street names.
    Entity* t1 =
        onLayer(db, db.addText(ms, QStringLiteral("ul. Główna"), {-60, MainHalf + 2, 0}, 2.5), "OPISY");
    (void)t1;
    Entity* t2 =
        onLayer(db, db.addText(ms, QStringLiteral("ul. Leśna"), {-SideHalf - 2, 40, 0}, 2.5), "OPISY");
    t2->as<TextData>().rotation = Pi / 2;
    Entity* t3 = onLayer(
        db, db.addText(ms, QStringLiteral("Skrzyżowanie przykładowe"), {0, -ArmLength - 10, 0}, 4), "OPISY");
    t3->as<TextData>().setAlignment(13);  // bottom centre

    // Drawn in metres, and declared so ("SKALA" 1: one drawing unit a metre).
    db.setHeaderVariable(QStringLiteral("$INSUNITS"), {{70, QStringLiteral("6")}});
    db.summaryInfo().title = QStringLiteral("Skrzyżowanie przykładowe");
    try {
        cad::dxf::writeFile(db, QString::fromLocal8Bit(argv[1]));
    } catch (const cad::Error& e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    return samplemap::AddSampleStreams(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
