// Paths of the drawing engine and its object model, in-process: the block count while blocks are
// added, layer and block changes through the indexes, selection sets created and deleted, selection
// by a name pattern, opening a DXF base map and painting it (plain, and with a twentieth of it in
// pattern hatches, formatted multiline texts and dimensions).
#include "BaseMapGenerator.h"
#include "Scaling.h"
#include "cadhost/DrawingScene.h"
#include "cadhost/DrawingView.h"
#include "platform/cad/Application.h"
#include "platform/cad/InProcessChannel.h"
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Selection.h"

#include <QTemporaryDir>

namespace scaling {

namespace {

using cad::Point;

// A fresh in-process CAD with one new drawing.
struct Cad {
    cad::ObjectModel model;
    cad::InProcessChannel channel{model};
    cad::Application app{&channel};
    cad::Document doc = app.documents().add();
    cad::db::Database& db() { return *model.activeDocument()->db; }
};

const QString StreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

// Adds `size` blocks, asking for the count before each as the component naming does.
double blockCount(int size) {
    Cad c;
    const cad::Blocks blocks = c.doc.blocks();
    const double t = now();
    for (int i = 0; i < size; ++i) {
        const int n = blocks.count();
        blocks.add(Point{0, 0, 0}, QStringLiteral("B%1").arg(n));
    }
    return now() - t;
}

// References inserted while the stream layer is current and moved onto it, then every one moved to
// another layer and pointed at another block: each change takes the entity out of two indexes.
double indexChanges(int size) {
    Cad c;
    c.doc.layers().add(StreamLayer);
    c.doc.layers().add(QStringLiteral("INNA"));
    c.doc.blocks().add(Point{0, 0, 0}, QStringLiteral("A")).addLine(Point{0, 0, 0}, Point{1, 1, 0});
    c.doc.blocks().add(Point{0, 0, 0}, QStringLiteral("B")).addLine(Point{0, 0, 0}, Point{1, 2, 0});
    c.doc.setActiveLayer(c.doc.layers().item(StreamLayer));
    const cad::Block ms = c.doc.modelSpace();
    std::vector<cad::db::Entity*> made;
    const double t = now();
    for (int i = 0; i < size; ++i) {
        const cad::Entity ref = ms.insertBlock(Point{double(i), 0, 0}, QStringLiteral("A"), 1, 1, 1, 0);
        ref.setLayer(StreamLayer);
    }
    cad::db::Database& db = c.db();
    const auto& all = db.modelSpace()->entities();
    for (size_t i = all.size(); i-- > 0;) {
        db.setLayer(all[i], QStringLiteral("INNA"));
        db.setReferenceBlock(all[i], QStringLiteral("B"));
    }
    const double spent = now() - t;
    if (db.entitiesOnLayer(QStringLiteral("INNA")).size() != size_t(size)) qFatal("index lost entities");
    return spent;
}

// A program's searches: a set made, filled, read and deleted, again and again, on one document.
double selectionSets(int size) {
    Cad c;
    c.doc.modelSpace().addLine(Point{0, 0, 0}, Point{1, 1, 0});
    const cad::SelectionSets sets = c.doc.selectionSets();
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("LINE"));
    const double t = now();
    for (int i = 0; i < size; ++i) {
        const cad::SelectionSet s = sets.add(QStringLiteral("SS%1").arg(i % 3));
        s.select(cad::SelectionSet::All, f);
        (void)sets.item(QStringLiteral("SS%1").arg(i % 3)).count();
        s.remove();
    }
    return now() - t;
}

// A drawing of `size` entities, a twentieth of them component references with names of their own;
// twenty selections of one stream's references by pattern.
double selectByPattern(int size) {
    auto db = cadbench::generateBaseMap(size);
    cad::db::BlockDefinition* ms = db->modelSpace();
    for (int i = 0; i < size / 20; ++i) {
        const QString name = QStringLiteral("12^STRUMIEN_%1^K%2").arg(1000 + i).arg(i % 40);
        db->addLine(db->addBlock(name), {0, 0, 0}, {10, 0, 0});
        db->insertBlock(ms, {0, 0, 0}, name, 1, 1, 1, 0);
    }
    size_t found = 0;
    const double t = now();
    for (int k = 0; k < 20; ++k) {
        const cad::db::FilterList f = {
            {0, "INSERT"}, {2, QStringLiteral("12^STRUMIEN_*^K%1").arg(k)}, {8, "*"}};
        found += cad::db::selectAll(*db, f).size();
    }
    const double spent = now() - t;
    if (found == 0) qFatal("pattern selection found nothing");
    return spent;
}

double dxfOpen(int size) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mapa.dxf"));
    cad::dxf::writeFile(*cadbench::generateBaseMap(size), path);
    const double t = now();
    auto db = cad::dxf::readFile(path);
    return now() - t;
}

// A full paint of the whole drawing as the host's window shows it.
double paintAll(cad::db::Database* db) {
    cadhost::DrawingScene scene(db);
    cadhost::DrawingView view;
    view.resize(1600, 1000);
    view.setScene(&scene);
    (void)scene.size();
    const double t = now();
    view.renderImage();
    return now() - t;
}

double paint(int size) {
    return paintAll(cadbench::generateBaseMap(size).get());
}

// The base map with every twentieth entity's worth of annotation: brick-pattern hatches, multiline
// texts with format codes and dimensions without blocks, spread over the same extents.
double paintAnnotated(int size) {
    using namespace cad::db;
    auto db = cadbench::generateBaseMap(size);
    const Box extents = cadhost::DrawingScene(db.get()).extents();
    const double w = extents.max.x - extents.min.x, h = extents.max.y - extents.min.y;
    for (int i = 0; i < size / 20; ++i) {
        const double x = extents.min.x + w * ((i * 7919) % 1000) / 1000.0;
        const double y = extents.min.y + h * ((i * 104729) % 1000) / 1000.0;
        switch (i % 3) {
            case 0: {
                Entity* e = db->addHatch(db->modelSpace(), 2, QStringLiteral("BRICK"), false);
                auto& d = e->as<HatchData>();
                d.solid = false;
                HatchLoop loop;
                loop.flags = 3;
                loop.vertices = {{x, y}, {x + 6, y}, {x + 6, y + 3}, {x, y + 3}};
                d.loops.push_back(loop);
                d.patternLines = {{0, {x, y, 0}, {0, 0.5, 0}, {}},
                                  {90, {x, y, 0}, {-0.5, 0.5, 0}, {0.5, -0.5}}};
                break;
            }
            case 1:
                db->addMText(db->modelSpace(), {x, y, 0}, 10,
                             QStringLiteral("{\\fArial|b1;Opis} \\H0.7x;\\Lpodkreślony\\l\\P\\S1/2; m"));
                break;
            default: {
                Entity* e = db->addEntity(db->modelSpace(), EntityKind::Unknown);
                auto& raw = e->as<RawData>();
                raw.dxfName = QStringLiteral("DIMENSION");
                raw.tags = {{100, QStringLiteral("AcDbDimension")},
                            {70, QStringLiteral("32")},
                            {10, QString::number(x + 5)},
                            {20, QString::number(y + 2)},
                            {13, QString::number(x)},
                            {23, QString::number(y)},
                            {14, QString::number(x + 5)},
                            {24, QString::number(y)},
                            {50, QStringLiteral("0")}};
                break;
            }
        }
    }
    return paintAll(db.get());
}

}  // namespace

std::vector<Path> enginePaths() {
    return {
        {QStringLiteral("block_count"), 2000, blockCount},
        {QStringLiteral("layer_block_index"), 2000, indexChanges},
        {QStringLiteral("selection_sets"), 2000, selectionSets},
        {QStringLiteral("select_pattern"), 12500, selectByPattern},
        {QStringLiteral("dxf_open"), 12500, dxfOpen},
        {QStringLiteral("cadhost_paint"), 12500, paint},
        {QStringLiteral("cadhost_paint_annotated"), 12500, paintAnnotated},
    };
}

}  // namespace scaling
