// Writing and reading back: every modelled kind and table compared field by field, a second save
// identical to the first, and drawings that hold what the engine does not model.
#include "ForeignFiles.h"
#include "Sample.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

using namespace cad::db;
using cadtest::makeSample;

namespace {

void expectPoint(const Point3& a, const Point3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
    EXPECT_NEAR(a.z, b.z, 1e-9);
}

// The save dates of the drawing properties differ between two saves; everything else must not.
QByteArray withoutDates(QByteArray data) {
    static const QRegularExpression date(QStringLiteral("\n24\\d{5}\\.\\d*\n"));
    return QString::fromLatin1(data).replace(date, QStringLiteral("\nDATE\n")).toLatin1();
}

class DxfRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        sample = makeSample();
        written = cad::dxf::writeBuffer(*sample.db);
        back = cad::dxf::readBuffer(written, "sample");
    }
    Entity* same(const Entity* e) {
        Entity* r = back->entityByHandle(e->handleText());
        EXPECT_NE(r, nullptr) << e->dxfName().toStdString();
        EXPECT_EQ(r->kind(), e->kind());
        return r;
    }
    cadtest::Sample sample;
    QByteArray written;
    std::unique_ptr<Database> back;
};

TEST_F(DxfRoundTrip, CommonPropertiesAndCurves) {
    Entity* line = same(sample.line);
    EXPECT_EQ(line->layer(), "113-STRUMIENIE_RUCHU");
    EXPECT_EQ(line->color, 0);
    EXPECT_EQ(line->linetype, "ACAD_ISO03W100");
    EXPECT_EQ(line->lineweight, 30);
    EXPECT_EQ(line->linetypeScale, 2.5);
    EXPECT_EQ(line->xdata, sample.line->xdata);
    expectPoint(line->as<LineData>().start, {1, 2, 0});
    expectPoint(line->as<LineData>().end, {3.25, -4.5, 0});
    Entity* arc = same(sample.arc);
    EXPECT_EQ(arc->trueColor, 0xFF0000);
    EXPECT_EQ(arc->color, 1);
    EXPECT_NEAR(arc->as<ArcData>().startAngle, 0.25, 1e-12);
    EXPECT_NEAR(arc->as<ArcData>().endAngle, 5.5, 1e-12);
    EXPECT_EQ(arc->as<ArcData>().radius, 375);
    Entity* circle = same(sample.circle);
    EXPECT_FALSE(circle->visible);
    EXPECT_EQ(circle->as<CircleData>().radius, 150);
    Entity* lw = same(sample.lw);
    EXPECT_TRUE(lw->as<LwPolylineData>().closed);
    EXPECT_EQ(lw->as<LwPolylineData>().vertices, sample.lw->as<LwPolylineData>().vertices);
    Entity* pl = same(sample.pl2d);
    EXPECT_TRUE(pl->as<Polyline2dData>().closed);
    EXPECT_EQ(pl->as<Polyline2dData>().vertices, sample.pl2d->as<Polyline2dData>().vertices);
    // Vertices filled in without handles get them when written, above every handle in use.
    ASSERT_EQ(pl->as<Polyline2dData>().vertexHandles.size(), 3u);
    EXPECT_GE(pl->as<Polyline2dData>().vertexHandles[0], sample.db->handleSeed());
    expectPoint(same(sample.point)->as<PointData>().position, {1.5, 2.5, 0});
}

TEST_F(DxfRoundTrip, TextsAttributesAndReferences) {
    const auto& t = same(sample.text)->as<TextData>();
    EXPECT_EQ(t.text, "Zażółć gęślą jaźń Ω");
    EXPECT_EQ(t.alignment(), 13);
    expectPoint(t.alignmentPoint, {110, 205, 0});
    EXPECT_NEAR(t.rotation, M_PI / 2, 1e-12);
    EXPECT_EQ(t.widthFactor, 0.8);
    EXPECT_EQ(t.style, "SYGN_TXT");
    EXPECT_EQ(t.height, 2.5);
    const auto& m = same(sample.mtext)->as<MTextData>();
    EXPECT_EQ(m.text, QString("Faza /\\Pprzejście\\Pmiędzy-\\Pfazowe\\P(s)") + QString(300, 'x'));
    EXPECT_EQ(m.width, 11.55);
    EXPECT_EQ(m.attachment, 5);
    EXPECT_EQ(m.height, 1.5);

    Entity* ref = same(sample.ref);
    const auto& ins = ref->as<InsertData>();
    EXPECT_EQ(ins.blockName, "12^POJPIESZ_STRUMIEN_3");
    EXPECT_EQ(ref->layer(), "114-PUNKTY_KOLIZJI");
    EXPECT_EQ(ins.xScale, 2);
    EXPECT_EQ(ins.yScale, 3);
    EXPECT_NEAR(ins.rotation, 0.5, 1e-12);
    const auto attrs = back->attributes(ref);
    const auto original = sample.db->attributes(sample.ref);
    ASSERT_EQ(attrs.size(), 2u);
    for (size_t i = 0; i < attrs.size(); ++i) {
        const auto& a = attrs[i]->as<AttributeData>();
        const auto& o = original[i]->as<AttributeData>();
        EXPECT_EQ(attrs[i]->handle(), original[i]->handle());
        EXPECT_EQ(a.tag, o.tag);
        EXPECT_EQ(a.text, o.text);
        EXPECT_EQ(a.flags, o.flags);
        EXPECT_EQ(a.alignment(), o.alignment());
        EXPECT_NEAR(a.height, o.height, 1e-12);
        expectPoint(a.position, o.position);
        EXPECT_EQ(attrs[i]->ownerReference(), ref);
    }
    EXPECT_EQ(attrs[0]->as<AttributeData>().text, "^P2");
    EXPECT_EQ(ins.seqendHandle, sample.ref->as<InsertData>().seqendHandle);

    BlockDefinition* b = back->findBlock("12^pojpiesz_strumien_3");
    ASSERT_NE(b, nullptr);
    const auto defs = b->attributeDefinitions();
    ASSERT_EQ(defs.size(), 3u);
    const auto& d0 = defs[0]->as<AttributeData>();
    EXPECT_EQ(d0.tag, "POJPIESZ_STRUMIEN1");
    EXPECT_EQ(d0.text, "^K1");
    EXPECT_EQ(d0.flags, 9);
    EXPECT_EQ(d0.height, 3.5);
    EXPECT_EQ(defs[1]->as<AttributeData>().prompt, "OPIS");
    EXPECT_EQ(defs[1]->as<AttributeData>().alignment(), 13);
    EXPECT_EQ(defs[2]->as<AttributeData>().flags, 2);
    EXPECT_EQ(b->handle(), sample.db->findBlock("12^POJPIESZ_STRUMIEN_3")->handle());
}

TEST_F(DxfRoundTrip, HatchesRegionsAndDimensions) {
    const auto& solid = same(sample.solid)->as<HatchData>();
    EXPECT_TRUE(solid.solid);
    EXPECT_TRUE(solid.associative);
    ASSERT_EQ(solid.loops.size(), 1u);
    ASSERT_EQ(solid.loops[0].edges.size(), 1u);
    EXPECT_EQ(solid.loops[0].edges[0].type, Edge::Arc);
    EXPECT_NEAR(solid.loops[0].edges[0].radius, 150, 1e-12);
    EXPECT_EQ(solid.loops[0].sourceHandles, sample.solid->as<HatchData>().loops[0].sourceHandles);
    const auto& pattern = same(sample.pattern)->as<HatchData>();
    EXPECT_FALSE(pattern.solid);
    EXPECT_EQ(pattern.patternName, "ANSI31");
    EXPECT_NEAR(pattern.patternScale, 0.314, 1e-12);
    EXPECT_NEAR(pattern.patternAngle, 0.785, 1e-12);
    ASSERT_EQ(pattern.patternLines.size(), 1u);  // the pattern definition is written for readers
    EXPECT_NEAR(pattern.patternLines[0].angle, 45 + 0.785 * 180 / M_PI, 1e-9);
    EXPECT_EQ(pattern.loops[0].vertices, sample.pattern->as<HatchData>().loops[0].vertices);
    EXPECT_EQ(same(sample.region)->kind(), EntityKind::Region);

    const auto& aligned = same(sample.aligned)->as<DimensionData>();
    const auto& orig = sample.aligned->as<DimensionData>();
    EXPECT_EQ(aligned.blockName, orig.blockName);
    EXPECT_EQ(aligned.style, "DIM_STYLE");
    expectPoint(aligned.point1, orig.point1);
    expectPoint(aligned.point2, orig.point2);
    expectPoint(aligned.textPosition, orig.textPosition);
    ASSERT_NE(back->findBlock(aligned.blockName), nullptr);
    EXPECT_EQ(back->findBlock(aligned.blockName)->count(), sample.db->findBlock(orig.blockName)->count());
    const auto& ordinate = same(sample.ordinate)->as<DimensionData>();
    EXPECT_TRUE(ordinate.ordinateXAxis);
    EXPECT_EQ(ordinate.textOverride, "12");
    expectPoint(ordinate.point2, {12, 10, 0});
}

TEST_F(DxfRoundTrip, TablesPropertiesAndDrawOrder) {
    const Layer* streams = back->layers().find("113-STRUMIENIE_RUCHU");
    ASSERT_NE(streams, nullptr);
    EXPECT_EQ(streams->color, 5);
    EXPECT_EQ(streams->lineweight, 30);
    const Layer* green = back->layers().find("mapa-zieleń");
    ASSERT_NE(green, nullptr);
    EXPECT_EQ(green->trueColor, 0x12AB34);
    EXPECT_FALSE(green->on);
    EXPECT_TRUE(green->locked);
    EXPECT_FALSE(green->frozen);
    EXPECT_TRUE(back->layers().find("000-OSNOWA")->frozen);
    EXPECT_EQ(back->layers().find("000-OSNOWA")->linetype, "ACAD_ISO03W100");
    const Linetype* iso = back->linetypes().find("ACAD_ISO03W100");
    ASSERT_NE(iso, nullptr);
    EXPECT_EQ(iso->elements, (std::vector<double>{12, -18}));
    const TextStyle* style = back->textStyles().find("SYGN_TXT");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->height, 1.5);
    EXPECT_EQ(style->font, "arial.ttf");
    EXPECT_EQ(style->typeface, "Arial");
    EXPECT_NE(back->appIds().find("TESMAR"), nullptr);
    ASSERT_NE(back->dimStyles().find("DIM_STYLE"), nullptr);
    EXPECT_EQ(back->dimStyles().find("DIM_STYLE")->values.at(41).toDouble(), 0.5);
    EXPECT_EQ(back->activeDimStyle()->name(), "DIM_STYLE");

    const SummaryInfo& info = back->summaryInfo();
    EXPECT_EQ(info.title, "Skrzyżowanie 12");
    EXPECT_EQ(info.author, "Projektant");
    EXPECT_EQ(info.comments, "uwagi");
    EXPECT_EQ(info.custom(), sample.db->summaryInfo().custom());  // 14 properties, more than ten slots

    std::vector<quint64> before, after;
    for (Entity* e : sample.db->drawOrder(sample.db->modelSpace())) before.push_back(e->handle());
    for (Entity* e : back->drawOrder(back->modelSpace())) after.push_back(e->handle());
    EXPECT_EQ(after, before);
    EXPECT_EQ(after.back(), sample.line->handle());
    // Creation order is kept as well.
    EXPECT_EQ(back->modelSpace()->item(0)->handle(), sample.line->handle());
    EXPECT_GE(back->handleSeed(), sample.db->handleSeed());
}

TEST_F(DxfRoundTrip, ASecondSaveIsIdentical) {
    EXPECT_EQ(withoutDates(cad::dxf::writeBuffer(*back)), withoutDates(written));
    // Text is in the drawing's code page: "ż" is one byte 0xBF in ANSI_1250, Ω is escaped.
    EXPECT_TRUE(written.contains("Za\xBF\xF3\xB3\xE6"));
    EXPECT_TRUE(written.contains("\\U+03A9"));
}

TEST(DxfFiles, UnknownEntitiesObjectsAndExtendedDataAreKept) {
    const QString path = QStringLiteral(SUITE_TEST_DATA "/cad/preserve_unknown.dxf");
    auto db = cad::dxf::readFile(path);
    EXPECT_EQ(db->filePath, path);
    BlockDefinition* ms = db->modelSpace();
    ASSERT_EQ(ms->count(), 4);
    Entity* spline = ms->item(1);
    EXPECT_EQ(spline->kind(), EntityKind::Unknown);
    EXPECT_EQ(spline->dxfName(), "SPLINE");
    EXPECT_EQ(spline->objectName(), "AcDbSpline");
    EXPECT_EQ(spline->layer(), "KRZYWE");
    Entity* poly3d = ms->item(2);
    EXPECT_EQ(poly3d->kind(), EntityKind::Unknown);
    Entity* line = ms->item(0);
    EXPECT_EQ(line->extensionDictionary, 0x31u);
    EXPECT_EQ(line->xdata, (Tags{{1001, "MYAPP"}, {1000, "hello"}, {1040, "3.5"}}));
    // A code of the common part the engine does not model stays in that part.
    EXPECT_TRUE(line->extraTags.empty());
    EXPECT_EQ(line->commonTags, (Tags{{440, "33554661"}}));

    const QByteArray out = cad::dxf::writeBuffer(*db);
    auto again = cad::dxf::readBuffer(out, "again");
    for (int i = 0; i < ms->count(); ++i) {
        Entity* a = ms->item(i);
        Entity* b = again->entityByHandle(a->handleText());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->kind(), a->kind());
        EXPECT_EQ(b->xdata, a->xdata);
        EXPECT_EQ(b->extensionDictionary, a->extensionDictionary);
        if (a->kind() == EntityKind::Unknown) {
            EXPECT_EQ(b->as<RawData>().tags, a->as<RawData>().tags);
        }
    }
    auto* custom = dynamic_cast<RawObject*>(again->dictionaryObject(again->rootDictionary(), "MY_DATA"));
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->dxfName, "MYCUSTOMOBJECT");
    auto* original = dynamic_cast<RawObject*>(db->dictionaryObject(db->rootDictionary(), "MY_DATA"));
    EXPECT_EQ(custom->tags, original->tags);
    EXPECT_EQ(custom->handle(), original->handle());
    auto* xdict = dynamic_cast<Dictionary*>(again->objectByHandle(0x31));
    ASSERT_NE(xdict, nullptr);
    EXPECT_NE(again->dictionaryObject(xdict, "MY_XREC"), nullptr);
    // Raw entities keep their sub-records' handles, so new handles start above them.
    EXPECT_GT(again->handleSeed(), 0x45u);
    EXPECT_EQ(withoutDates(cad::dxf::writeBuffer(*again)), withoutDates(out));
}

TEST(DxfFiles, OldFilesWithoutHandlesAndTables) {
    // An R12 file: no handles, no block records, an attribute list and a heavy polyline.
    const QByteArray r12 = cadtest::testData("cad/r12_blocks_attributes_cp1250.dxf");
    auto db = cad::dxf::readBuffer(r12, "r12");
    // Header texts are decoded in the code page named after them.
    ASSERT_NE(db->headerVariable("$PROJECTNAME"), nullptr);
    EXPECT_EQ(db->headerVariable("$PROJECTNAME")->front().value, "Skrzyżowanie");
    ASSERT_EQ(db->modelSpace()->count(), 2);
    Entity* ref = db->modelSpace()->item(0);
    EXPECT_EQ(ref->layer(), "SYGNALIZATORY");
    EXPECT_NE(db->layers().find("SYGNALIZATORY"), nullptr);  // added for the entity that names it
    ASSERT_EQ(db->attributes(ref).size(), 1u);
    EXPECT_EQ(db->attributes(ref)[0]->as<AttributeData>().text, "Słup 7");
    EXPECT_NE(ref->handle(), 0u);
    const auto& pl = db->modelSpace()->item(1)->as<Polyline2dData>();
    ASSERT_EQ(pl.vertices.size(), 3u);
    EXPECT_TRUE(pl.closed);
    EXPECT_EQ(pl.vertices[0].bulge, 0.5);
    EXPECT_EQ(db->findBlock("S-1")->attributeDefinitions().size(), 1u);
    // Written as R2000 and read again.
    auto again = cad::dxf::readBuffer(cad::dxf::writeBuffer(*db), "r2000");
    EXPECT_EQ(again->fileVersion, "AC1015");
    EXPECT_EQ(again->attributes(again->modelSpace()->item(0))[0]->as<AttributeData>().text, "Słup 7");
}

TEST(DxfFiles, UnicodeFilesAndEscapes) {
    const QByteArray utf8 = cadtest::testData("cad/utf8_text_with_escape.dxf");
    auto db = cad::dxf::readBuffer(utf8, "utf8");
    EXPECT_EQ(db->entity("A0")->as<TextData>().text, "Żółw Ω");
    // Written back in the drawing's Windows code page, with escapes for what that page lacks.
    const QByteArray out = cad::dxf::writeBuffer(*db);
    auto again = cad::dxf::readBuffer(out, "again");
    EXPECT_EQ(again->entity("A0")->as<TextData>().text, "Żółw Ω");
}

TEST(DxfFiles, DynamicBlockDataOfReferencesIsKept) {
    Database db;
    db.addLine(db.addBlock("dyn_przejscie_fazowe"), {0, 0, 0}, {1, 0, 0});
    BlockDefinition* anonymous = db.addBlock("*U");
    db.addLine(anonymous, {0, 0, 0}, {2, 0, 0});
    Entity* ref = db.insertBlock(db.modelSpace(), {3, 4, 0}, anonymous->name(), 1, 1, 1, 0);
    auto& ins = ref->as<InsertData>();
    ins.effectiveName = "dyn_przejscie_fazowe";
    ins.dynamicProperties = {{"Distance", 12.5}, {"Distance2", 3.0}, {"Angle", 0.75}};
    ref->xdata = {{1001, "TESMAR"}, {1000, "inne dane"}};
    db.addAppId("TESMAR");
    const QByteArray out = cad::dxf::writeBuffer(db);
    auto back = cad::dxf::readBuffer(out, "dyn");
    Entity* again = back->entity(ref->handleText());
    const auto& a = again->as<InsertData>();
    EXPECT_EQ(a.blockName, anonymous->name());
    EXPECT_EQ(a.effectiveName, "dyn_przejscie_fazowe");
    EXPECT_EQ(a.dynamicProperties, ins.dynamicProperties);
    EXPECT_EQ(again->xdata, ref->xdata);  // other applications' data untouched, ours not duplicated
    EXPECT_NE(back->appIds().find("TESMAR_DYNAMIC"), nullptr);
    EXPECT_EQ(withoutDates(cad::dxf::writeBuffer(*back)), withoutDates(out));
}

TEST(DxfFiles, CustomPropertiesOfNewerHeadersAreKept) {
    const QByteArray newer = cadtest::testData("cad/custom_properties_r2004.dxf");
    auto db = cad::dxf::readBuffer(newer, "2004");
    const std::vector<std::pair<QString, QString>> expected = {{"SKALA", "500"},
                                                               {"OSTULICA", "Marszałkowska"}};
    EXPECT_EQ(db->summaryInfo().custom(), expected);
    auto again = cad::dxf::readBuffer(cad::dxf::writeBuffer(*db), "2000");
    EXPECT_EQ(again->summaryInfo().custom(), expected);
}

TEST(DxfFiles, SavingKeepsABackupAndReplacesOnlyWhenComplete) {
    const QString dir = QStringLiteral(SUITE_BINARY_DIR "/tests/cad_dxf_save");
    QDir().mkpath(dir);
    const QString path = dir + "/plan.dxf";
    QFile::remove(path);
    QFile::remove(dir + "/plan.bak");
    Database db;
    db.addLine(db.modelSpace(), {}, {1, 1, 0});
    cad::dxf::writeFile(db, path);
    EXPECT_FALSE(QFile::exists(dir + "/plan.bak"));
    const auto firstSize = QFileInfo(path).size();
    db.addCircle(db.modelSpace(), {}, 5);
    cad::dxf::writeFile(db, path);
    EXPECT_TRUE(QFile::exists(dir + "/plan.bak"));
    EXPECT_EQ(QFileInfo(dir + "/plan.bak").size(), firstSize);
    EXPECT_EQ(cad::dxf::readFile(path)->modelSpace()->count(), 2);
    EXPECT_EQ(cad::dxf::readFile(dir + "/plan.bak")->modelSpace()->count(), 1);
    EXPECT_FALSE(QFile::exists(dir + "/.plan.dxf.tmp"));
    // Drawings named ".dwg" or ".dwt" are the DXF files of that base name, found whatever the case.
    QDir().mkpath(dir + "/Zasoby");
    cad::dxf::writeFile(db, dir + "/Zasoby/Program_12Grup.DXF");
    EXPECT_EQ(cad::dxf::resolveDrawingFile(dir + "/zasoby/program_12grup.dwt"),
              dir + "/Zasoby/Program_12Grup.DXF");
    EXPECT_EQ(cad::dxf::resolveDrawingFile(dir + "\\Zasoby\\PROGRAM_12GRUP.dwg"),
              dir + "/Zasoby/Program_12Grup.DXF");
    EXPECT_EQ(cad::dxf::resolveDrawingFile(dir + "/Zasoby/brak.dwg"), QString());
    // A folder that does not exist: the save fails and leaves nothing behind.
    EXPECT_THROW(cad::dxf::writeFile(db, dir + "/missing/plan.dxf"), cad::Failed);
    EXPECT_THROW(cad::dxf::readFile(dir + "/missing/plan.dxf"), cad::NotFound);
}

}  // namespace
