// Entities through the one entity type: creation order, kind-specific members, erasure,
// attributes of inserted blocks and the current properties new entities take.
#include "ModelFixture.h"

#include "platform/cad/engine/Database.h"

#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>

using namespace cadtest;

class CadModelEntity : public ModelTest {
protected:
    // The engine entity behind a handle (for setting up data the programs never create).
    cad::db::Entity* engineEntity(const cad::Entity& e) {
        return model.activeDocument()->db->entity(e.handle());
    }
};
CADMODEL_CHANNELS(CadModelEntity);

TEST_P(CadModelEntity, TheNewestEntityIsTheLastItem) {
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Entity circle = ms.addCircle({5, 5, 0}, 375);
    const cad::Entity text = ms.addText(QStringLiteral("Faza 1"), {1, 1, 0}, 2.5);
    ASSERT_EQ(ms.count(), 3);
    EXPECT_EQ(ms.item(ms.count() - 1), text);
    EXPECT_EQ(ms.item(0), line);
    EXPECT_EQ(line.objectName(), QStringLiteral("AcDbLine"));
    EXPECT_EQ(line.entityName(), QStringLiteral("AcDbLine"));
    EXPECT_EQ(circle.objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_EQ(ms.entities(), (QList<cad::Entity>{line, circle, text}));
    EXPECT_THROW(ms.item(3), cad::NotFound);
    EXPECT_THROW(ms.item(-1), cad::NotFound);
    EXPECT_EQ(doc.handleToObject(circle.handle()), circle);
    const cad::Layer zero = doc.layers().item(QStringLiteral("0"));
    EXPECT_EQ(doc.handleToObject(zero.get(QStringLiteral("Handle")).toText()).typeName(),
              QStringLiteral("IAcadLayer"));
    EXPECT_EQ(circle.typeName(), QStringLiteral("IAcadCircle"));

    // A copy lands at the end, the original untouched.
    const cad::Entity copy = circle.copy();
    copy.move({0, 0, 0}, {10, 0, 0});
    EXPECT_EQ(ms.item(ms.count() - 1), copy);
    EXPECT_EQ(circle.center(), (cad::Point{5, 5, 0}));
    EXPECT_EQ(copy.center(), (cad::Point{15, 5, 0}));
    EXPECT_NE(copy.handle(), circle.handle());
    EXPECT_THROW(doc.handleToObject(QStringLiteral("FFFFFF")), cad::NotFound);
}

TEST_P(CadModelEntity, AnErasedEntityStaysAValueButFailsWhenUsed) {
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Entity keep = ms.addLine({0, 0, 0}, {0, 10, 0});
    const QString handle = line.handle();
    // The suite's deletion: hide, move by nothing, delete.
    line.setVisible(false);
    line.move({0, 0, 0}, {0, 0, 0});
    line.erase();
    const cad::Entity copy = line;  // still a value
    EXPECT_EQ(copy, line);
    EXPECT_THROW(line.handle(), cad::Erased);
    EXPECT_THROW(copy.setColor(1), cad::Erased);
    EXPECT_THROW(line.erase(), cad::Erased);
    EXPECT_EQ(ms.count(), 1);
    EXPECT_EQ(ms.item(0), keep);
    EXPECT_THROW(doc.handleToObject(handle), cad::NotFound);
}

TEST_P(CadModelEntity, MembersOfAnotherKindAreNotSupported) {
    const cad::Entity line = ms.addLine({0, 0, 0}, {3, 4, 0});
    const cad::Entity text = ms.addText(QStringLiteral("x"), {0, 0, 0}, 1);
    EXPECT_THROW(line.radius(), cad::NotSupported);
    EXPECT_THROW(line.textString(), cad::NotSupported);
    EXPECT_THROW(text.tagString(), cad::NotSupported);
    EXPECT_THROW(text.attributes(), cad::NotSupported);
    EXPECT_THROW(line.patternName(), cad::NotSupported);
    EXPECT_DOUBLE_EQ(line.length(), 5.0);
    EXPECT_THROW(line.setColor(300), cad::InvalidArgument);
    EXPECT_THROW(line.setLayer(QStringLiteral("112-OPIS_SYGNALIZACJI")), cad::NotFound);
}

// A failure reaches the caller, across either channel, in Polish and naming the object or member.
TEST_P(CadModelEntity, FailuresReachTheCallerInPolish) {
    const cad::Entity line = ms.addLine({0, 0, 0}, {3, 4, 0});
    const cad::Entity text = ms.addText(QStringLiteral("x"), {0, 0, 0}, 1);
    auto messageOf = [](auto&& call) -> QString {
        try {
            call();
        } catch (const cad::Error& e) {
            return e.message();
        }
        return QStringLiteral("(nie zgłoszono błędu)");
    };
    EXPECT_EQ(messageOf([&] { (void)text.get(QStringLiteral("Wysokosc")); }),
              QStringLiteral("IAcadEntity nie ma składowej Wysokosc"));
    EXPECT_EQ(messageOf([&] { text.put(QStringLiteral("ObjectName"), QStringLiteral("x")); }),
              QStringLiteral("Składowej IAcadEntity.ObjectName nie można zapisać"));
    EXPECT_EQ(messageOf([&] { (void)line.textString(); }),
              QStringLiteral("Ta składowa nie dotyczy obiektu AcDbLine"));
    EXPECT_EQ(messageOf([&] { line.setColor(300); }), QStringLiteral("300 nie jest prawidłowym numerem koloru"));
    EXPECT_EQ(messageOf([&] { (void)doc.handleToObject(QStringLiteral("FFFFFF")); }),
              QStringLiteral("Brak obiektu o uchwycie FFFFFF"));
    line.erase();
    EXPECT_EQ(messageOf([&] { (void)line.handle(); }), QStringLiteral("Obiekt został usunięty"));
}

TEST_P(CadModelEntity, CurvesReadAndWriteTheirGeometry) {
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    line.setEndPoint({4, 3, 0});
    EXPECT_EQ(line.endPoint(), (cad::Point{4, 3, 0}));

    const double pi = std::numbers::pi;
    const cad::Entity arc = ms.addArc({0, 0, 0}, 2, 0, pi / 2);
    EXPECT_NEAR(arc.endPoint().y, 2.0, 1e-12);
    EXPECT_NEAR(arc.startPoint().x, 2.0, 1e-12);
    arc.setEndAngle(-pi / 2);  // angles are kept in 0..2π
    EXPECT_NEAR(arc.endAngle(), 1.5 * pi, 1e-12);
    EXPECT_THROW(arc.setStartPoint({1, 1, 0}), cad::NotSupported);

    const cad::Entity frame =
        ms.addLightWeightPolyline({{0, 0, 0}, {0, 4000, 0}, {8000, 4000, 0}, {8000, 0, 0}, {0, 0, 0}});
    EXPECT_EQ(frame.objectName(), QStringLiteral("AcDbPolyline"));
    EXPECT_FALSE(frame.closed());
    EXPECT_EQ(frame.coordinates().size(), 5);
    const auto [lo, hi] = frame.boundingBox();
    EXPECT_EQ(lo, (cad::Point{0, 0, 0}));
    EXPECT_EQ(hi.x, 8000);
    EXPECT_EQ(hi.y, 4000);
    EXPECT_THROW(ms.addLightWeightPolyline({{1, 1, 0}}), cad::InvalidArgument);
}

TEST_P(CadModelEntity, ExplodeLeavesTheOriginalAndGivesSegmentsInOrder) {
    const cad::Entity pl = ms.addLightWeightPolyline({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
    pl.invoke(QStringLiteral("SetBulge"), {1, 1.0});  // second segment: a half circle
    const QList<cad::Entity> parts = pl.explode();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0].objectName(), QStringLiteral("AcDbLine"));
    EXPECT_EQ(parts[1].objectName(), QStringLiteral("AcDbArc"));
    EXPECT_NEAR(parts[1].radius(), 5.0, 1e-9);
    EXPECT_NO_THROW(pl.handle());  // the original stays
    EXPECT_EQ(ms.count(), 3);
    EXPECT_THROW(ms.addText(QStringLiteral("t"), {0, 0, 0}, 1).explode(), cad::NotSupported);
}

TEST_P(CadModelEntity, InsertedBlockGetsItsAttributesInDefinitionOrder) {
    const cad::Block head = doc.blocks().add({0, 0, 0}, QStringLiteral("S-1"));
    head.addCircle({0, 0, 0}, 1);
    const QStringList tags{QStringLiteral("OBIEKT"), QStringLiteral("RODZAJ"), QStringLiteral("SYMBOL"),
                           QStringLiteral("INWENT_NUMER")};
    for (const QString& tag : tags) head.addAttribute(3.5, 9, QString(), {0, 0, 0}, tag, tag.toLower());

    const cad::Entity ref =
        ms.insertBlock({100, 200, 0}, QStringLiteral("s-1"), 5, 5, 5, std::numbers::pi / 2);
    EXPECT_EQ(ref.objectName(), QStringLiteral("AcDbBlockReference"));
    EXPECT_EQ(ref.name(), QStringLiteral("S-1"));
    EXPECT_EQ(ref.effectiveName(), QStringLiteral("S-1"));
    EXPECT_TRUE(ref.hasAttributes());
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 5);
    EXPECT_EQ(ref.insertionPoint(), (cad::Point{100, 200, 0}));
    const QList<cad::Entity> atts = ref.attributes();
    ASSERT_EQ(atts.size(), tags.size());
    for (int i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(atts[i].tagString(), tags[i]);
        EXPECT_EQ(atts[i].textString(), tags[i].toLower());
        EXPECT_TRUE(atts[i].invisible());
    }
    atts[3].setTextString(QStringLiteral("SYG-001"));
    EXPECT_EQ(ref.attributes()[3].textString(), QStringLiteral("SYG-001"));
    // Attribute references belong to their reference, not to model space.
    EXPECT_EQ(ms.count(), 1);
    EXPECT_EQ(atts[0].owner(), ref);
    EXPECT_EQ(ref.owner(), ms);
    EXPECT_THROW(ms.insertBlock({0, 0, 0}, QStringLiteral("S-9"), 1, 1, 1, 0), cad::NotFound);

    // Moving the reference moves its attributes.
    const cad::Point before = atts[0].insertionPoint();
    ref.move({0, 0, 0}, {10, 0, 0});
    EXPECT_DOUBLE_EQ(atts[0].insertionPoint().x, before.x + 10);
}

TEST_P(CadModelEntity, NewEntitiesTakeTheCurrentProperties) {
    doc.layers().add(QStringLiteral("400-DLUGOSCI_STRUMIENI"));
    doc.linetypes().load(QStringLiteral("ACAD_ISO03W100"), QStringLiteral("acad.lin"));
    doc.setVariable(QStringLiteral("CLAYER"), QStringLiteral("400-DLUGOSCI_STRUMIENI"));
    doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("1"));
    doc.setVariable(QStringLiteral("CELTYPE"), QStringLiteral("ACAD_ISO03W100"));
    doc.setVariable(QStringLiteral("CELWEIGHT"), 30);
    const cad::Entity line = ms.addLine({0, 0, 0}, {1, 0, 0});
    EXPECT_EQ(line.layer(), QStringLiteral("400-DLUGOSCI_STRUMIENI"));
    EXPECT_EQ(line.color(), 1);
    EXPECT_EQ(line.linetype(), QStringLiteral("ACAD_ISO03W100"));
    EXPECT_EQ(line.lineweight(), 30);
}

TEST_P(CadModelEntity, TextsAlignAndRotate) {
    const cad::Entity t = ms.addText(QStringLiteral("Wskaż"), {10, 10, 0}, 2.5);
    EXPECT_THROW(t.setTextAlignmentPoint({1, 1, 0}), cad::InvalidArgument);  // left-aligned
    t.setAlignment(13);
    t.setTextAlignmentPoint({20, 5, 0});
    EXPECT_EQ(t.alignment(), 13);
    EXPECT_EQ(t.textAlignmentPoint(), (cad::Point{20, 5, 0}));
    t.setRotation(std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(t.rotation(), std::numbers::pi / 2);
    t.setRotation(-std::numbers::pi / 2);  // angles come back in 0..2π
    EXPECT_DOUBLE_EQ(t.rotation(), 3 * std::numbers::pi / 2);
    EXPECT_THROW(t.setAlignment(15), cad::InvalidArgument);
    EXPECT_THROW(t.setStyleName(QStringLiteral("BRAK")), cad::NotFound);

    const cad::Entity m = ms.addMText({0, 0, 0}, 11.55, QStringLiteral("Faza /\r\nprzejście"));
    m.setHeight(1.5);
    EXPECT_DOUBLE_EQ(m.height(), 1.5);
    m.setRotation(5 * std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(m.rotation(), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(m.width(), 11.55);
}

TEST_P(CadModelEntity, HatchesTakeLoopsFromBoundaryEntities) {
    const cad::Entity circle = ms.addCircle({0, 0, 0}, 150);
    const cad::Entity hatch = ms.addHatch(0, QStringLiteral("SOLID"), true);
    EXPECT_THROW(hatch.evaluate(), cad::Failed);  // no boundary yet
    hatch.appendOuterLoop({circle});
    hatch.evaluate();
    EXPECT_EQ(hatch.numberOfLoops(), 1);
    EXPECT_EQ(hatch.patternName(), QStringLiteral("SOLID"));
    const cad::Entity bars = ms.addHatch(1, QStringLiteral("ANSI31"), true);
    bars.setPatternScale(0.314);
    bars.setPatternAngle(0.785);
    EXPECT_DOUBLE_EQ(bars.patternScale(), 0.314);
    EXPECT_DOUBLE_EQ(bars.patternAngle(), 0.785);
    EXPECT_THROW(bars.setPatternScale(0), cad::InvalidArgument);
    EXPECT_THROW(hatch.appendOuterLoop({ms.addLine({0, 0, 0}, {1, 0, 0})}), cad::InvalidArgument);
}

TEST_P(CadModelEntity, ChangingADynamicPropertyGivesAnAnonymousBlock) {
    const cad::Block dyn = doc.blocks().add({0, 0, 0}, QStringLiteral("dyn_przejscie_fazowe"));
    dyn.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Entity ref = ms.insertBlock({0, 0, 0}, QStringLiteral("dyn_przejscie_fazowe"), 1, 1, 1, 0);
    EXPECT_FALSE(ref.isDynamicBlock());
    engineEntity(ref)->as<cad::db::InsertData>().dynamicProperties = {{QStringLiteral("Distance"), 10},
                                                                      {QStringLiteral("Angle"), 0}};
    ASSERT_TRUE(ref.isDynamicBlock());
    const QList<cad::DynamicProperty> props = ref.dynamicBlockProperties();
    ASSERT_EQ(props.size(), 2);
    EXPECT_EQ(props[1].propertyName(), QStringLiteral("Angle"));
    props[0].setValue(25.0);
    EXPECT_DOUBLE_EQ(props[0].value().toDouble(), 25.0);
    EXPECT_TRUE(ref.name().startsWith(QStringLiteral("*U")));
    EXPECT_EQ(ref.effectiveName(), QStringLiteral("dyn_przejscie_fazowe"));
}

// A MINSERT as ezdxf writes it answers its class, block name and grid; its counts take 1..32767,
// and a plain reference has no grid to answer.
TEST_P(CadModelEntity, AGridReferenceAnswersItsGrid) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.dxf"));
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(SUITE_TEST_DATA "/cad/grid_reference.py"), QStringLiteral("write"), path});
    if (!py.waitForFinished(60000) || py.exitCode() != 0) GTEST_SKIP() << "ezdxf could not write the drawing";
    const QList<cad::Entity> refs = app.documents().open(path).modelSpace().entities();
    ASSERT_EQ(refs.size(), 2);
    const cad::Entity& grid = refs[0];
    EXPECT_EQ(grid.objectName(), QStringLiteral("AcDbMInsertBlock"));
    EXPECT_EQ(grid.name(), QStringLiteral("KRATKA"));
    EXPECT_EQ(grid.get(QStringLiteral("Rows")).toInt(), 2);
    EXPECT_EQ(grid.get(QStringLiteral("Columns")).toInt(), 3);
    EXPECT_EQ(grid.get(QStringLiteral("RowSpacing")).toDouble(), 5.0);
    EXPECT_EQ(grid.get(QStringLiteral("ColumnSpacing")).toDouble(), 8.0);

    // A third row lies one row spacing further along the reference's Y axis, turned 30°.
    const auto [lo, hi] = grid.boundingBox();
    grid.put(QStringLiteral("Rows"), 3);
    const auto [lo3, hi3] = grid.boundingBox();
    EXPECT_NEAR(hi3.y - hi.y, 5 * std::cos(std::numbers::pi / 6), 1e-9);
    EXPECT_NEAR(lo3.x - lo.x, -2.5, 1e-9);
    // A single row or a single column of two cells reaches one spacing beyond one cell.
    grid.put(QStringLiteral("Rows"), 1);
    grid.put(QStringLiteral("Columns"), 1);
    const auto [lo1, hi1] = grid.boundingBox();
    grid.put(QStringLiteral("Columns"), 2);
    EXPECT_NEAR(grid.boundingBox().second.x - hi1.x, 8 * std::cos(std::numbers::pi / 6), 1e-9);
    grid.put(QStringLiteral("Columns"), 1);
    grid.put(QStringLiteral("Rows"), 2);
    EXPECT_NEAR(grid.boundingBox().second.y - hi1.y, 5 * std::cos(std::numbers::pi / 6), 1e-9);
    grid.put(QStringLiteral("RowSpacing"), -4.5);
    EXPECT_EQ(grid.get(QStringLiteral("RowSpacing")).toDouble(), -4.5);

    auto messageOf = [](auto&& call) -> QString {
        try {
            call();
        } catch (const cad::InvalidArgument& e) {
            return e.message();
        }
        return QStringLiteral("(nie zgłoszono błędu)");
    };
    grid.put(QStringLiteral("Rows"), 1);
    grid.put(QStringLiteral("Columns"), 32767);
    EXPECT_EQ(grid.get(QStringLiteral("Rows")).toInt(), 1);
    EXPECT_EQ(grid.get(QStringLiteral("Columns")).toInt(), 32767);
    EXPECT_EQ(messageOf([&] { grid.put(QStringLiteral("Rows"), 0); }),
              QStringLiteral("Liczba wierszy musi wynosić od 1 do 32767, podano 0"));
    EXPECT_EQ(messageOf([&] { grid.put(QStringLiteral("Columns"), 32768); }),
              QStringLiteral("Liczba kolumn musi wynosić od 1 do 32767, podano 32768"));
    EXPECT_EQ(messageOf([&] { grid.put(QStringLiteral("ColumnSpacing"), std::nan("")); }),
              QStringLiteral("Odstęp siatki musi być liczbą skończoną"));
    EXPECT_EQ(grid.get(QStringLiteral("Rows")).toInt(), 1);

    const cad::Entity& plain = refs[1];
    EXPECT_EQ(plain.objectName(), QStringLiteral("AcDbBlockReference"));
    for (const char* member : {"Rows", "Columns", "RowSpacing", "ColumnSpacing"}) {
        EXPECT_THROW((void)plain.get(QLatin1String(member)), cad::NotSupported) << member;
        EXPECT_THROW(plain.put(QLatin1String(member), 2), cad::NotSupported) << member;
    }
}
