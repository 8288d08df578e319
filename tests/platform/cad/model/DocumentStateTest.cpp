// What the model keeps about a drawing besides its contents: whether it holds unsaved changes,
// and which entities the view shows highlighted.
#include "ModelFixture.h"

#include "platform/cad/model/CommandProcessor.h"

#include <QTemporaryDir>

#include <functional>

using namespace cadtest;

class CadModelDocumentState : public ModelTest {
protected:
    bool isSaved() { return doc.saved(); }
    void markSaved() { model.record(doc.id()).doc->saved = true; }
    // Runs the call on a saved drawing and tells whether the drawing came out unsaved.
    bool changes(const std::function<void()>& call) {
        markSaved();
        call();
        return !isSaved();
    }
};
CADMODEL_CHANNELS(CadModelDocumentState);

TEST_P(CadModelDocumentState, EveryChangeLeavesTheDrawingUnsaved) {
    const cad::Layer layer = doc.layers().add(QStringLiteral("113-STRUMIENIE_RUCHU"));
    const cad::Block b = doc.blocks().add({0, 0, 0}, QStringLiteral("1^STRUMIEN_1^K1"));
    b.addAttribute(3.5, 9, QString(), {0, 0, 0}, QStringLiteral("GRUPY"), QStringLiteral("a"));
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Entity ref = ms.insertBlock({0, 0, 0}, QStringLiteral("1^STRUMIEN_1^K1"), 1, 1, 1, 0);

    EXPECT_TRUE(changes([&] { line.setColor(3); }));
    EXPECT_TRUE(changes([&] { line.setLayer(QStringLiteral("113-STRUMIENIE_RUCHU")); }));
    EXPECT_TRUE(changes([&] { line.setVisible(false); }));
    EXPECT_TRUE(changes([&] { line.move({0, 0, 0}, {1, 1, 0}); }));
    EXPECT_TRUE(changes([&] { line.setEndPoint({20, 0, 0}); }));
    EXPECT_TRUE(changes([&] { ref.attributes()[0].setTextString(QStringLiteral("b")); }));
    EXPECT_TRUE(changes([&] { layer.setLayerOn(false); }));
    EXPECT_TRUE(changes([&] { layer.setColor(5); }));
    EXPECT_TRUE(changes([&] { doc.textStyles().add(QStringLiteral("SYGN_TXT")).setHeight(1.5); }));
    EXPECT_TRUE(changes([&] { b.setName(QStringLiteral("1^STRUMIEN_1^K1^K2")); }));
    EXPECT_TRUE(changes([&] { doc.setActiveLayer(layer); }));
    EXPECT_TRUE(changes([&] { doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("256")); }));
    EXPECT_TRUE(
        changes([&] { doc.summaryInfo().addCustomInfo(QStringLiteral("SKALA"), QStringLiteral("500")); }));
    EXPECT_TRUE(
        changes([&] { doc.summaryInfo().setCustomByKey(QStringLiteral("SKALA"), QStringLiteral("250")); }));
    EXPECT_TRUE(changes([&] { ms.addCircle({0, 0, 0}, 375); }));
    EXPECT_TRUE(changes([&] {
        const cad::SelectionSet ss = doc.selectionSets().add(QStringLiteral("SS1"));
        ss.select(cad::SelectionSet::All, cad::SelectionFilter().add(0, QStringLiteral("CIRCLE")));
        ss.erase();
        ss.remove();
    }));
    EXPECT_TRUE(changes([&] { line.erase(); }));

    // A command sent as text changes the drawing only when it draws.
    EXPECT_FALSE(changes([&] { doc.sendCommand(QStringLiteral("_circle\r")); }));
    script.point(0, 0).text(QStringLiteral("150"));
    pump();
    ASSERT_TRUE(model.commands().isQuiescent());
    EXPECT_FALSE(isSaved());
}

TEST_P(CadModelDocumentState, ReadingPickingAndRedrawingKeepTheDrawingSaved) {
    doc.layers().add(QStringLiteral("0"));
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    doc.summaryInfo().addCustomInfo(QStringLiteral("SKALA"), QStringLiteral("500"));

    EXPECT_FALSE(changes([&] {
        line.color();
        line.boundingBox();
        line.update();
        line.highlight(true);
        doc.regen();
        app.update();
        ms.count();
        ms.item(0);
        doc.layers().item(QStringLiteral("0"));
        doc.blocks().count();
        doc.handleToObject(line.handle());
        doc.getVariable(QStringLiteral("CECOLOR"));
        doc.summaryInfo().getCustomByKey(QStringLiteral("SKALA"));
        doc.summaryInfo().getCustomByIndex(0);
    }));
    EXPECT_FALSE(changes([&] {
        const cad::SelectionSet ss = doc.selectionSets().add(QStringLiteral("SS1"));
        ss.select(cad::SelectionSet::All);
        ss.item(0);
        ss.clear();
        ss.remove();
    }));
    EXPECT_FALSE(changes([&] {
        script.point(1, 2);
        doc.utility().getPoint(QStringLiteral("Wskaż położenie legendy..."));
    }));
    // Adding what the drawing already has returns it and changes nothing (a program starting).
    doc.blocks().add({0, 0, 0}, QStringLiteral("TABELA"));
    EXPECT_FALSE(changes([&] {
        doc.blocks().add({0, 0, 0}, QStringLiteral("TABELA"));
        doc.layers().add(QStringLiteral("0"));
    }));
    EXPECT_TRUE(changes([&] { doc.blocks().add({0, 0, 0}, QStringLiteral("TABELA_2")); }));
    // A refused change changes nothing.
    EXPECT_FALSE(changes([&] {
        EXPECT_THROW(doc.summaryInfo().setCustomByKey(QStringLiteral("NUMERSEKCJI"), QStringLiteral("1-2")),
                     cad::NotFound);
        EXPECT_THROW(line.setLayer(QStringLiteral("112-OPIS_SYGNALIZACJI")), cad::NotFound);
    }));
}

TEST_P(CadModelDocumentState, SavingMarksTheDrawingSaved) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ms.addLine({0, 0, 0}, {1, 0, 0});
    EXPECT_FALSE(isSaved());
    doc.saveAs(dir.filePath(QStringLiteral("rysunek.dxf")));
    EXPECT_TRUE(isSaved());
    ms.addLine({0, 0, 0}, {2, 0, 0});
    EXPECT_FALSE(isSaved());
    doc.save();
    EXPECT_TRUE(isSaved());
}

TEST_P(CadModelDocumentState, HighlightIsKeptForTheView) {
    const cad::Block b = doc.blocks().add({0, 0, 0}, QStringLiteral("S-1"));
    b.addAttribute(3.5, 0, QStringLiteral("RODZAJ"), {0, 0, 0}, QStringLiteral("RODZAJ"),
                   QStringLiteral("S"));
    const cad::Entity ref = ms.insertBlock({50, 50, 0}, QStringLiteral("S-1"), 1, 1, 1, 0);
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    const cad::DocumentState* state = model.record(doc.id()).doc;

    EXPECT_FALSE(line.highlighted());
    line.highlight(true);
    EXPECT_TRUE(line.highlighted());
    EXPECT_TRUE(state->highlighted.contains(line.handle().toULongLong(nullptr, 16)));
    EXPECT_FALSE(ref.highlighted());

    // The segment list moves the highlight: off for the previous entity, on for the clicked one.
    line.highlight(false);
    ref.attributes()[0].highlight(true);  // an attribute shows its reference
    EXPECT_FALSE(line.highlighted());
    EXPECT_TRUE(ref.highlighted());
    EXPECT_EQ(state->highlighted.size(), 1);
    EXPECT_TRUE(state->highlighted.contains(ref.handle().toULongLong(nullptr, 16)));
}
