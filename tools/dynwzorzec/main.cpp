// dynwzorzec: generates the phase-transition drawing shipped as resources/Tesmar/Zasoby/dyn_wzorzec.dxf
// (the programs name it "dyn_wzorzec.dwg"; the CAD reads the DXF file of that base name). It defines the
// dynamic block "dyn_przejscie_fazowe": an arrow along +X centred on its base point whose head end follows
// "Distance", whose tail end follows "Distance2" (each moves by half the change) and whose direction follows
// "Angle", with the attribute definitions SKRZYZOWANIE (hidden) and OPIS (above the arrow). Model space holds
// one reference of it, so the block comes in as a nested block when the file is inserted. Usage: dynwzorzec
// OUTPUT.dxf
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/DynamicBlocks.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace cad::db;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "Użycie: dynwzorzec PLIK.dxf\n";
        return 2;
    }
    constexpr double Length = 10;  // default arrow length in block units
    constexpr double Head = 1.2, HalfWidth = 0.45;
    Database db;
    BlockDefinition* b = db.addBlock(QStringLiteral("dyn_przejscie_fazowe"));
    Entity* shaft = db.addLwPolyline(b, {{-Length / 2, 0}, {Length / 2 - Head, 0}}, false);
    Entity* head = db.addLwPolyline(
        b, {{Length / 2 - Head, HalfWidth}, {Length / 2, 0}, {Length / 2 - Head, -HalfWidth}}, true);
    for (Entity* e : {shaft, head}) e->color = ColorByBlock;
    db.addAttributeDefinition(b, 1.5, 9, QStringLiteral("SKRZYZOWANIE"), {0, 0, 0},
                              QStringLiteral("SKRZYZOWANIE"), QString());
    Entity* opis = db.addAttributeDefinition(b, 1.5, 0, QStringLiteral("OPIS"), {0, 0.6, 0},
                                             QStringLiteral("OPIS"), QString());
    opis->textData()->setAlignment(13);  // bottom centre, above the arrow
    opis->textData()->alignmentPoint = {0, 0.6, 0};

    DynamicDefinition def;
    def.properties = {{QStringLiteral("Distance"), Length},
                      {QStringLiteral("Distance2"), Length},
                      {QStringLiteral("Angle"), 0}};
    DynamicAction head1;
    head1.property = QStringLiteral("Distance");
    head1.factor = 0.5;
    head1.vertices = {{0, 1}, {1, 0}, {1, 1}, {1, 2}};
    DynamicAction tail;
    tail.property = QStringLiteral("Distance2");
    tail.factor = 0.5;
    tail.directionX = -1;
    tail.vertices = {{0, 0}};
    DynamicAction turn;
    turn.type = DynamicAction::Rotate;
    turn.property = QStringLiteral("Angle");
    def.actions = {head1, tail, turn};
    WriteDynamicDefinition(db, b, def);

    Entity* r = db.insertBlock(db.modelSpace(), {0, 0, 0}, b->name(), 1, 1, 1, 0);
    InitDynamicReference(db, r);
    try {
        cad::dxf::writeFile(db, QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& e) {
        QTextStream(stderr) << e.what() << "\n";
        return 1;
    }
    return 0;
}
