// The application, its documents and the members every program calls at connection.
#include "ModelFixture.h"

#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"

#include <QTemporaryDir>

using namespace cadtest;

class CadModelApplication : public ModelTest {};
CADMODEL_CHANNELS(CadModelApplication);

TEST_P(CadModelApplication, VersionAndWindow) {
    const QString v = app.version();
    EXPECT_EQ(v.indexOf(QLatin1Char('.')), 2);  // the programs take the major version from "18."
    EXPECT_EQ(v.left(2), QStringLiteral("18"));
    EXPECT_EQ(app.get(QStringLiteral("version")).toText(), v);  // late-bound names ignore case

    EXPECT_FALSE(app.visible());
    app.setVisible(true);
    EXPECT_TRUE(app.visible());
    EXPECT_EQ(app.windowState(), 1);
    app.setWindowState(3);
    EXPECT_EQ(app.windowState(), 3);
    EXPECT_THROW(app.setWindowState(7), cad::InvalidArgument);

    app.raiseDrawingWindow();
    EXPECT_EQ(model.raiseRequests, 1);
    EXPECT_EQ(script.raised(), 1);
    // The raise keeps the rule of the CAD window: minimised comes back maximised, normal stays normal.
    app.setWindowState(2);
    app.raiseDrawingWindow();
    EXPECT_EQ(app.windowState(), 3);
    app.setWindowState(1);
    app.raiseDrawingWindow();
    EXPECT_EQ(app.windowState(), 1);
    EXPECT_EQ(model.raiseRequests, 3);
    EXPECT_TRUE(app.getAcadState().isQuiescent());
}

TEST_P(CadModelApplication, UnknownAndForeignMembersFailTyped) {
    EXPECT_THROW(app.get(QStringLiteral("NoSuchMember")), cad::NotFound);
    EXPECT_THROW(app.put(QStringLiteral("Version"), QStringLiteral("19.0")), cad::NotSupported);
    EXPECT_THROW(app.getSystemVariable(QStringLiteral("MORVANE_FOLDER")), cad::NotSupported);
    EXPECT_THROW(app.activate(), cad::NotSupported);
    EXPECT_THROW(doc.activate(), cad::NotSupported);
    EXPECT_THROW(ms.invoke(QStringLiteral("AddObject")), cad::NotSupported);
    EXPECT_THROW(ms.invoke(QStringLiteral("AddLine"), {1.0, 1.0, 2.0, 2.0, 1, 115}), cad::NotSupported);
    EXPECT_THROW(cad::Entity().handle(), cad::Failed);  // an unset handle
    EXPECT_THROW(app.getInterfaceObject(QStringLiteral("Excel.Application")), cad::NotFound);
}

TEST_P(CadModelApplication, SeveralDocumentsOneActive) {
    EXPECT_EQ(app.documents().count(), 1);
    const cad::Document second = app.documents().add();
    EXPECT_EQ(app.documents().count(), 2);
    EXPECT_EQ(app.activeDocument(), second);
    EXPECT_NE(second.name(), doc.name());
    EXPECT_TRUE(second.fullName().isEmpty());
    EXPECT_EQ(app.documents().item(0), doc);

    app.setActiveDocument(doc);
    EXPECT_EQ(app.activeDocument(), doc);

    const cad::Layer layer = second.layers().add(QStringLiteral("113-STRUMIENIE_RUCHU"));
    second.close();
    EXPECT_EQ(app.documents().count(), 1);
    EXPECT_EQ(app.activeDocument(), doc);
    // References into a closed drawing stay values but fail when used.
    EXPECT_THROW(second.name(), cad::Erased);
    EXPECT_THROW(layer.name(), cad::Erased);

    doc.close();
    EXPECT_EQ(app.documents().count(), 0);
    EXPECT_THROW(app.activeDocument(), cad::NotFound);
}

TEST_P(CadModelApplication, ColourObject) {
    const cad::Color c = app.getInterfaceObject(QStringLiteral("AutoCAD.AcCmColor.18"));
    const int packed = 255;  // red in bits 0-7
    c.setRGB(packed & 255, (packed >> 8) & 255, (packed >> 16) & 255);
    EXPECT_EQ(c.red(), 255);
    EXPECT_EQ(c.green(), 0);
    EXPECT_TRUE(c.name().isEmpty());  // readable: the object is live
    EXPECT_THROW(c.setRGB(256, 0, 0), cad::InvalidArgument);

    const cad::Entity line = ms.addLine({0, 0, 0}, {1, 1, 0});
    line.setTrueColor(c);
    const cad::Color back = line.trueColor();
    EXPECT_EQ(back.red(), 255);
    EXPECT_EQ(back.blue(), 0);
}

// Drawings made on disk by the engine, then reached through the model.
class CadModelFiles : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        cad::db::Database d;
        d.addLayer(QStringLiteral("000-OSNOWA"));
        d.addLine(d.modelSpace(), {0, 0, 0}, {100, 0, 0});
        d.summaryInfo().addCustom(QStringLiteral("SKALA"), QStringLiteral("500"));
        cad::db::BlockDefinition* nested = d.addBlock(QStringLiteral("dyn_przejscie_fazowe"));
        d.addAttributeDefinition(nested, 3.5, 0, QStringLiteral("OPIS"), {0, 0, 0}, QStringLiteral("OPIS"),
                                 QString());
        cad::dxf::writeFile(d, dir.filePath(QStringLiteral("Program_12grup.dxf")));
        cad::dxf::writeFile(d, dir.filePath(QStringLiteral("dyn_wzorzec.DXF")));
    }
    QTemporaryDir dir;
};
CADMODEL_CHANNELS(CadModelFiles);

TEST_P(CadModelFiles, TemplateGivesNewUnsavedActiveDrawing) {
    const cad::Document fromTemplate =
        app.documents().add(dir.filePath(QStringLiteral("Program_12grup.dwt")));
    EXPECT_EQ(app.activeDocument(), fromTemplate);
    EXPECT_EQ(app.documents().count(), 2);  // the drawing that was open stays open
    EXPECT_TRUE(fromTemplate.fullName().isEmpty());
    EXPECT_EQ(fromTemplate.modelSpace().count(), 1);
    EXPECT_NO_THROW(fromTemplate.layers().item(QStringLiteral("000-osnowa")));
    EXPECT_THROW(app.documents().add(dir.filePath(QStringLiteral("Brak.dwt"))), cad::NotFound);
}

TEST_P(CadModelFiles, OpenSaveAndReadOnlyDatabase) {
    const cad::Document opened = app.documents().open(dir.filePath(QStringLiteral("Program_12grup.dwg")));
    EXPECT_EQ(opened.fullName(), dir.filePath(QStringLiteral("Program_12grup.dxf")));
    EXPECT_EQ(opened.summaryInfo().getCustomByKey(QStringLiteral("SKALA")), QStringLiteral("500"));

    doc.modelSpace().addCircle({5, 5, 0}, 2);
    doc.summaryInfo().addCustomInfo(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
    const QString saved = dir.filePath(QStringLiteral("zapis.dxf"));
    doc.saveAs(saved);
    EXPECT_EQ(doc.fullName(), saved);
    EXPECT_EQ(doc.name(), QStringLiteral("zapis.dxf"));

    // Another drawing's properties, read without opening it as a document.
    const int before = app.documents().count();
    const cad::DatabaseDocument other = app.getInterfaceObject(QStringLiteral("ObjectDBX.AxDbDocument.18"));
    other.open(saved);
    EXPECT_EQ(other.summaryInfo().getCustomByKey(QStringLiteral("WERSJA_DOKUMENTU")), QStringLiteral("4"));
    EXPECT_EQ(other.modelSpace().item(0).objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_EQ(app.documents().count(), before);
    // Another drawing opened into the same object brings its own model space.
    other.open(dir.filePath(QStringLiteral("Program_12grup.dxf")));
    EXPECT_EQ(other.modelSpace().item(0).objectName(), QStringLiteral("AcDbLine"));
    other.open(saved);
    EXPECT_THROW(other.summaryInfo().addCustomInfo(QStringLiteral("X"), QStringLiteral("1")), cad::Failed);
}

TEST_P(CadModelFiles, InsertingADrawingFileBringsItsBlocks) {
    const cad::Entity ref =
        ms.insertBlock({0, 0, 0}, dir.filePath(QStringLiteral("dyn_wzorzec.dwg")), 1, 1, 1, 0);
    EXPECT_EQ(ref.name(), QStringLiteral("dyn_wzorzec"));
    EXPECT_NO_THROW(doc.blocks().item(QStringLiteral("dyn_przejscie_fazowe")));
    EXPECT_EQ(doc.blocks().item(QStringLiteral("dyn_wzorzec")).count(), 1);  // the file's model space
    ref.erase();
    EXPECT_THROW(ms.insertBlock({0, 0, 0}, dir.filePath(QStringLiteral("brak.dwg")), 1, 1, 1, 0),
                 cad::NotFound);
}

TEST_P(CadModelFiles, DrawingFilesAreFoundIgnoringTheCaseOfFoldersToo) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Zasoby/Sygnalizacja/Sygnalizatory")));
    cad::db::Database head;
    head.addLine(head.modelSpace(), {0, 0, 0}, {0, 10, 0});
    cad::dxf::writeFile(head, dir.filePath(QStringLiteral("Zasoby/Sygnalizacja/Sygnalizatory/S-1.dxf")));

    // A Windows-style path whose folders and file differ from the disk in case.
    QString path = dir.path() + QStringLiteral("\\ZASOBY\\sygnalizacja\\Sygnalizatory\\s-1.dwg");
    const cad::Entity ref = ms.insertBlock({0, 0, 0}, path, 1, 1, 1, 0);
    EXPECT_EQ(doc.blocks().item(QStringLiteral("S-1")).count(), 1);
    ref.erase();
    EXPECT_THROW(ms.insertBlock({0, 0, 0}, dir.path() + QStringLiteral("/Brak/S-2.dwg"), 1, 1, 1, 0),
                 cad::NotFound);
}
