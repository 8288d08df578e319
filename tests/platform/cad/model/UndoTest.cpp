// Undo and redo of changes made through the object model: every kind of change a program makes
// comes back exactly, steps are what the caller closes, and a new change forgets the redo.
#include "ModelFixture.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/UndoJournal.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/ObjectModel.h"

#include <QFile>
#include <QTemporaryDir>

using namespace cadtest;
using cad::Point;

namespace {

class UndoTest : public ModelTest {
protected:
    cad::DocumentState* state() { return model.activeDocument(); }
    cad::db::Database& db() { return *state()->db; }
    // The program's command ends (the host does it when the program goes quiet).
    void endCommand() { model.closeUndoSteps(); }
    int live() { return ms.count(); }
};

TEST_P(UndoTest, AddedEntitiesGoAndComeBackAsOneStep) {
    ms.addLine({0, 0, 0}, {10, 0, 0});
    endCommand();
    // One program command: several entities, a layer and a block reference with attributes.
    doc.layers().add(QStringLiteral("SŁUPY"));
    auto blk = doc.blocks().add({0, 0, 0}, QStringLiteral("S-1"));
    blk.addCircle({0, 0, 0}, 1);
    blk.addAttribute(1, 0, QStringLiteral("Nr"), {0, 0, 0}, QStringLiteral("NR"), QStringLiteral("1"));
    ms.addCircle({5, 5, 0}, 2);
    auto ref = ms.insertBlock({20, 0, 0}, QStringLiteral("S-1"), 1, 1, 1, 0);
    ref.setLayer(QStringLiteral("SŁUPY"));
    endCommand();
    ASSERT_EQ(live(), 3);
    const QString refHandle = ref.handle();

    EXPECT_TRUE(model.undo(state()));
    EXPECT_EQ(live(), 1);
    EXPECT_EQ(doc.layers().count(), 1);  // "SŁUPY" is gone with the command that made it
    EXPECT_THROW(doc.blocks().item(QStringLiteral("S-1")), cad::NotFound);
    EXPECT_THROW(ref.layer(), cad::Erased);  // the program's reference now stands for nothing
    EXPECT_TRUE(db().referencesTo(QStringLiteral("S-1")).empty());
    EXPECT_TRUE(db().entitiesOnLayer(QStringLiteral("SŁUPY")).empty());
    EXPECT_FALSE(doc.saved());

    EXPECT_TRUE(model.redo(state()));
    EXPECT_EQ(live(), 3);
    EXPECT_EQ(ref.layer(), QStringLiteral("SŁUPY"));
    EXPECT_EQ(ref.handle(), refHandle);
    EXPECT_EQ(db().referencesTo(QStringLiteral("S-1")).size(), 1u);
    EXPECT_EQ(db().entitiesOnLayer(QStringLiteral("SŁUPY")).size(), 1u);
    EXPECT_EQ(db().attributes(db().entity(refHandle)).size(), 1u);
    EXPECT_EQ(doc.blocks().item(QStringLiteral("S-1")).count(), 2);

    // Both steps back, then nothing more.
    EXPECT_TRUE(model.undo(state()));
    EXPECT_TRUE(model.undo(state()));
    EXPECT_EQ(live(), 0);
    EXPECT_FALSE(model.undo(state()));
}

TEST_P(UndoTest, ChangedPropertiesGeometryAndErasureComeBack) {
    auto line = ms.addLine({0, 0, 0}, {10, 0, 0});
    auto pl = ms.addLightWeightPolyline({{0, 0, 0}, {5, 5, 0}, {10, 0, 0}});
    doc.layers().add(QStringLiteral("A"));
    endCommand();

    line.setColor(1);
    line.setLayer(QStringLiteral("A"));
    line.move({0, 0, 0}, {3, 4, 0});
    line.setColor(2);  // a second change of the same object in the step keeps the first state
    pl.setClosed(true);
    pl.erase();
    endCommand();
    ASSERT_EQ(live(), 1);

    EXPECT_TRUE(model.undo(state()));
    EXPECT_EQ(live(), 2);
    EXPECT_EQ(line.color(), 256);
    EXPECT_EQ(line.layer(), QStringLiteral("0"));
    EXPECT_EQ(line.startPoint(), (Point{0, 0, 0}));
    EXPECT_FALSE(pl.closed());
    EXPECT_EQ(pl.coordinates().size(), 3);
    EXPECT_TRUE(db().entitiesOnLayer(QStringLiteral("A")).empty());
    EXPECT_EQ(db().entitiesOnLayer(QStringLiteral("0")).size(), 2u);

    EXPECT_TRUE(model.redo(state()));
    EXPECT_EQ(live(), 1);
    EXPECT_EQ(line.color(), 2);
    EXPECT_EQ(line.layer(), QStringLiteral("A"));
    EXPECT_EQ(line.startPoint(), (Point{3, 4, 0}));
    EXPECT_THROW(pl.closed(), cad::Erased);
    EXPECT_EQ(db().entitiesOnLayer(QStringLiteral("A")).size(), 1u);
}

TEST_P(UndoTest, LayerStateVariablesPropertiesAndDrawOrder) {
    auto layer = doc.layers().add(QStringLiteral("B"));
    auto a = ms.addLine({0, 0, 0}, {1, 0, 0});
    auto b = ms.addLine({0, 1, 0}, {1, 1, 0});
    endCommand();

    layer.setLayerOn(false);
    layer.setColor(3);
    doc.setActiveLayer(layer);
    doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("5"));
    doc.summaryInfo().addCustomInfo(QStringLiteral("Skrzyżowanie"), QStringLiteral("12"));
    db().moveToBottom({db().entity(b.handle())});
    endCommand();
    ASSERT_EQ(db().drawOrder(db().modelSpace()).front()->handleText(), b.handle());

    EXPECT_TRUE(model.undo(state()));
    EXPECT_TRUE(layer.layerOn());
    EXPECT_EQ(layer.color(), 7);
    EXPECT_EQ(doc.activeLayer().name(), QStringLiteral("0"));
    EXPECT_EQ(doc.getVariable(QStringLiteral("CECOLOR")).toText(), QStringLiteral("BYLAYER"));
    EXPECT_EQ(doc.summaryInfo().numCustomInfo(), 0);
    EXPECT_EQ(db().drawOrder(db().modelSpace()).front()->handleText(), a.handle());

    EXPECT_TRUE(model.redo(state()));
    EXPECT_FALSE(layer.layerOn());
    EXPECT_EQ(doc.activeLayer().name(), QStringLiteral("B"));
    EXPECT_EQ(doc.summaryInfo().numCustomInfo(), 1);
    EXPECT_EQ(db().drawOrder(db().modelSpace()).front()->handleText(), b.handle());
}

TEST_P(UndoTest, BlockRenameAndDeleteComeBack) {
    auto blk = doc.blocks().add({0, 0, 0}, QStringLiteral("STARY"));
    blk.addLine({0, 0, 0}, {1, 1, 0});
    auto ref = ms.insertBlock({0, 0, 0}, QStringLiteral("STARY"), 1, 1, 1, 0);
    auto spare = doc.blocks().add({0, 0, 0}, QStringLiteral("ZBĘDNY"));
    spare.addCircle({0, 0, 0}, 1);
    endCommand();
    const int blocks = doc.blocks().count();

    blk.setName(QStringLiteral("NOWY"));
    spare.erase();
    endCommand();
    EXPECT_EQ(doc.blocks().count(), blocks - 1);
    EXPECT_EQ(ref.name(), QStringLiteral("NOWY"));

    EXPECT_TRUE(model.undo(state()));
    EXPECT_EQ(doc.blocks().count(), blocks);
    EXPECT_EQ(ref.name(), QStringLiteral("STARY"));
    EXPECT_EQ(db().referencesTo(QStringLiteral("STARY")).size(), 1u);
    EXPECT_EQ(doc.blocks().item(QStringLiteral("ZBĘDNY")).count(), 1);
    EXPECT_EQ(doc.blocks().itemAt(blocks - 1).name(), QStringLiteral("ZBĘDNY"));

    EXPECT_TRUE(model.redo(state()));
    EXPECT_EQ(ref.name(), QStringLiteral("NOWY"));
    EXPECT_THROW(doc.blocks().item(QStringLiteral("ZBĘDNY")), cad::NotFound);
}

TEST_P(UndoTest, NewChangeForgetsRedoAndUndoReachesTheSavedFile) {
    QTemporaryDir dir;
    auto first = ms.addLine({0, 0, 0}, {1, 0, 0});
    endCommand();
    auto second = ms.addLine({0, 2, 0}, {1, 2, 0});
    endCommand();
    EXPECT_TRUE(model.undo(state()));
    ms.addCircle({0, 0, 0}, 3);  // a new change: the undone line can no longer come back
    endCommand();
    EXPECT_FALSE(model.redo(state()));
    EXPECT_THROW(second.color(), cad::Erased);
    EXPECT_EQ(live(), 2);

    // What was undone is not in the file.
    const QString path = dir.filePath(QStringLiteral("u.dxf"));
    EXPECT_TRUE(model.undo(state()));
    doc.saveAs(path);
    const auto read = cad::dxf::readFile(path);
    ASSERT_EQ(read->modelSpace()->count(), 1);
    EXPECT_EQ(read->modelSpace()->item(0)->handleText(), first.handle());
}

TEST_P(UndoTest, TypedUndoCommandsAndTheirMessages) {
    ms.addLine({0, 0, 0}, {1, 0, 0});
    endCommand();
    ms.addLine({0, 1, 0}, {1, 1, 0});
    endCommand();
    ms.addLine({0, 2, 0}, {1, 2, 0});
    // "_u" ends the open step and undoes it.
    doc.sendCommand(QStringLiteral("_u\r"));
    pump();
    EXPECT_EQ(live(), 2);
    EXPECT_EQ(model.commands().takeMessage(), QStringLiteral("Cofnięto ostatnią operację."));
    doc.sendCommand(QStringLiteral("_redo\r"));
    pump();
    EXPECT_EQ(live(), 3);
    // "_undo" asks how many; a wrong answer repeats the question.
    script.text(QStringLiteral("dwa")).text(QStringLiteral("2"));
    doc.sendCommand(QStringLiteral("_undo\r"));
    pump();
    EXPECT_EQ(script.prompts().value(0), QStringLiteral("Podaj liczbę operacji do cofnięcia <1>:"));
    EXPECT_EQ(script.prompts().size(), 2);
    EXPECT_TRUE(model.commands().isQuiescent());
    EXPECT_EQ(live(), 1);
    EXPECT_EQ(model.commands().takeMessage(), QStringLiteral("Cofnięto operacji: 2."));
    doc.sendCommand(QStringLiteral("_u\r_u\r"));
    pump();
    EXPECT_EQ(live(), 0);
    EXPECT_EQ(model.commands().takeMessage(), QStringLiteral("Nie ma nic do cofnięcia."));
}

TEST_P(UndoTest, ReadingAFileRecordsNothing) {
    QTemporaryDir dir;
    ms.addLine({0, 0, 0}, {1, 0, 0});
    const QString path = dir.filePath(QStringLiteral("r.dxf"));
    doc.saveAs(path);
    const QString copy = dir.filePath(QStringLiteral("kopia.dxf"));
    ASSERT_TRUE(QFile::copy(path, copy));
    auto read = app.documents().open(copy);
    ASSERT_NE(model.activeDocument(), model.documents().front());
    EXPECT_FALSE(model.undo(model.activeDocument()));
    EXPECT_EQ(read.modelSpace().count(), 1);
}

CADMODEL_CHANNELS(UndoTest);

}  // namespace
