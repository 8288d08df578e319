// Blocks, layers, linetypes, styles, colours, attributes by tag, draw order and removal.
#include "CadFixture.h"

namespace automation::test {
namespace {

using AutomationTables = CadFixture;

TEST_F(AutomationTables, UniqueBlockNameStartsAboveTheBlockCountAndSkipsTakenNames) {
    defineBlock(QStringLiteral("P13"));
    defineBlock(QStringLiteral("P14"));
    for (int i = 0; CadDocument.blocks().count() < 12; ++i) defineBlock(QStringLiteral("Other%1").arg(i));
    ASSERT_EQ(CadDocument.blocks().count(), 12);
    EXPECT_EQ(MakeUniqueBlockName(QStringLiteral("P")), QStringLiteral("P15"));
    EXPECT_EQ(MakeUniqueBlockName(QStringLiteral("12^POWIAZANIE_")), QStringLiteral("12^POWIAZANIE_13"));
}

TEST_F(AutomationTables, ExistenceTestsGiveFalseWithoutRaisingAndIgnoreTheSpaces) {
    EXPECT_FALSE(CheckLayerExists(QStringLiteral("NIE_MA")));
    EXPECT_TRUE(CheckLayerExists(QStringLiteral("0")));
    EXPECT_FALSE(CheckBlockExists(QStringLiteral("NIE_MA")));
    EXPECT_FALSE(CheckBlockExists(CadModelSpace.name()));
    EXPECT_FALSE(CheckLinetypeExists(QStringLiteral("NIE_MA")));
    EXPECT_TRUE(GetBlockDefinition(QStringLiteral("NIE_MA")).isNull());
    defineBlock(QStringLiteral("7^STRUMIEN_1^K1[2]"));
    EXPECT_TRUE(CheckBlockExists(QStringLiteral("7^STRUMIEN_1^K1[2]")));
    EXPECT_FALSE(GetBlockDefinition(QStringLiteral("7^STRUMIEN_1^K1[2]")).isNull());
}

TEST_F(AutomationTables, EnsureLayerCreatesWithGivenOrDefaultValuesAndNeverRecolours) {
    const cad::Layer reference = CadDocument.layers().add(QStringLiteral("WZOR"));
    EnsureLayer(QStringLiteral("400-DLUGOSCI_STRUMIENI"), false, -1, -10);
    cad::Layer plain = CadDocument.layers().item(QStringLiteral("400-DLUGOSCI_STRUMIENI"));
    EXPECT_EQ(plain.color(), reference.color());
    EXPECT_EQ(plain.lineweight(), reference.lineweight());

    EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, 5, 30);
    cad::Layer streams = CadDocument.layers().item(QStringLiteral("113-STRUMIENIE_RUCHU"));
    EXPECT_EQ(streams.color(), 5);
    EXPECT_EQ(streams.lineweight(), 30);
    EXPECT_EQ(CadDocument.activeLayer().name(), QStringLiteral("0"));

    EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, 1, 50);
    EXPECT_EQ(streams.color(), 5);
    EXPECT_EQ(streams.lineweight(), 30);
}

TEST_F(AutomationTables, EnsureLayerSwitchesAnExistingLayerOnAndMakesItCurrent) {
    cad::Layer layer = CadDocument.layers().add(QStringLiteral("114-PUNKTY_KOLIZJI"));
    layer.setColor(3);
    layer.setLayerOn(false);
    EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), true, 5, -10);
    EXPECT_TRUE(layer.layerOn());
    EXPECT_EQ(CadDocument.activeLayer().name(), QStringLiteral("114-PUNKTY_KOLIZJI"));
    EXPECT_EQ(layer.color(), 3);
    // A new layer made active at once.
    EnsureLayer(QStringLiteral("402-POWIAZANIA_PRZEJSC"), true, 4, 30);
    EXPECT_EQ(CadDocument.activeLayer().name(), QStringLiteral("402-POWIAZANIA_PRZEJSC"));
    EXPECT_EQ(CadDocument.activeLayer().color(), 4);
}

TEST_F(AutomationTables, EnsureLayerPassesAnInvalidNameFailureToTheCaller) {
    EXPECT_THROW(EnsureLayer(QStringLiteral("zła<nazwa>"), false, -1, -10), cad::Error);
}

TEST_F(AutomationTables, TextStylesKeepTheirHeightAndFontOnceThere) {
    EnsureTextStyle(QStringLiteral("SYGN_TXT"), 1.5, QStringLiteral("arial"), true);
    cad::TextStyle style = CadDocument.textStyles().item(QStringLiteral("SYGN_TXT"));
    EXPECT_DOUBLE_EQ(style.height(), 1.5);
    EXPECT_EQ(style.typeface().toLower(), QStringLiteral("arial"));
    EXPECT_EQ(CadDocument.activeTextStyle().name(), QStringLiteral("SYGN_TXT"));

    EnsureTextStyle(QStringLiteral("SYGN_TXT"), 1000, QStringLiteral("times"), false);
    EXPECT_DOUBLE_EQ(style.height(), 1.5);
    EXPECT_EQ(style.typeface().toLower(), QStringLiteral("arial"));

    cad::TextStyle found;
    EXPECT_FALSE(ActivateTextStyle(QStringLiteral("BRAK"), found, true));
    EXPECT_TRUE(found.isNull());
    EXPECT_EQ(CadDocument.activeTextStyle().name(), QStringLiteral("SYGN_TXT"));
}

TEST_F(AutomationTables, DimensionAndTextStyleLookUps) {
    cad::DimStyle dim;
    EXPECT_FALSE(GetDimensionStyle(QStringLiteral("DIM_STYLE"), dim));
    CadDocument.dimStyles().add(QStringLiteral("DIM_STYLE"));
    EXPECT_TRUE(GetDimensionStyle(QStringLiteral("DIM_STYLE"), dim));
    EXPECT_EQ(dim.name(), QStringLiteral("DIM_STYLE"));

    cad::Object style;
    EXPECT_TRUE(ActivateTextAndDimStyle(QStringLiteral("DIM_STYLE"), style, false, true));
    EXPECT_FALSE(ActivateTextAndDimStyle(QStringLiteral("SYGN_OPISY_TXT"), style, true, true));
    EnsureTextStyle(QStringLiteral("SYGN_OPISY_TXT"), 1000, QStringLiteral("arial"), false);
    EXPECT_TRUE(ActivateTextAndDimStyle(QStringLiteral("SYGN_OPISY_TXT"), style, true, true));
    EXPECT_EQ(CadDocument.activeTextStyle().name(), QStringLiteral("SYGN_OPISY_TXT"));
}

TEST_F(AutomationTables, LinetypeLoadsOnceAndAnUnknownOneReportsFalse) {
    EXPECT_FALSE(CheckLinetypeExists(QStringLiteral("ACAD_ISO03W100")));
    EXPECT_TRUE(EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100")));
    EXPECT_TRUE(CheckLinetypeExists(QStringLiteral("ACAD_ISO03W100")));
    EXPECT_TRUE(EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100")));
    EXPECT_FALSE(EnsureLinetypeLoaded(QStringLiteral("NIEZNANY_TYP_LINII")));
}

TEST_F(AutomationTables, ColourIndexOrPackedRgbAsTrueColour) {
    cad::Entity line = CadModelSpace.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    SetEntityColour(line, 255, false);
    EXPECT_EQ(line.color(), 255);

    SetEntityColour(line, 255, true);
    cad::Color c(CadApplication.channel(), line.get(QStringLiteral("TrueColor")).toObject());
    EXPECT_EQ(c.red(), 255);
    EXPECT_EQ(c.green(), 0);
    EXPECT_EQ(c.blue(), 0);
    const cad::Color first = CadColourObject;

    SetEntityColour(line, 0x00FF8040, true);  // blue FF, green 80, red 40
    cad::Color d(CadApplication.channel(), line.get(QStringLiteral("TrueColor")).toObject());
    EXPECT_EQ(d.red(), 0x40);
    EXPECT_EQ(d.green(), 0x80);
    EXPECT_EQ(d.blue(), 0xFF);
    EXPECT_EQ(CadColourObject, first);  // reused while live
}

TEST_F(AutomationTables, AttributesWrittenByUpperCasedTagWithTrimmedValues) {
    defineBlock(QStringLiteral("ATRYBUTY_STRUMIENI_7"), {{QStringLiteral("grupy"), QStringLiteral("stare")},
                                                         {QStringLiteral("FAZY"), QStringLiteral("1")},
                                                         {QStringLiteral("OPISY"), QStringLiteral("opis")},
                                                         {QStringLiteral("INNE"), QStringLiteral("x")}});
    cad::Entity ref = insert(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
    StreamAttributeTags[0] = {QStringLiteral("GRUPY"), QStringLiteral("  12  ")};
    StreamAttributeTags[1] = {QStringLiteral("FAZY"), QString()};
    StreamAttributeTags[2] = {QStringLiteral("Opisy"), QStringLiteral("nowy")};
    StreamAttributeTags[4] = {QStringLiteral("INNE"), QStringLiteral("za pustym wpisem")};  // not used
    WriteAttributeTableToHandle(ref.handle());
    QStringList texts;
    for (const cad::Entity& a : ref.attributes()) texts << a.textString();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("12"), QStringLiteral("1"), QStringLiteral("nowy"),
                                  QStringLiteral("x")}));

    ClearStreamAttributeTable();
    for (const AttributeTagEntry& e : StreamAttributeTags) EXPECT_TRUE(e.Tag.isEmpty() && e.Value.isEmpty());
}

TEST_F(AutomationTables, AReferenceWithoutAttributesIsLeftAlone) {
    defineBlock(QStringLiteral("BEZ"));
    cad::Entity ref = insert(QStringLiteral("BEZ"));
    StreamAttributeTags[0] = {QStringLiteral("GRUPY"), QStringLiteral("1")};
    EXPECT_NO_THROW(WriteAttributeTable(ref));
    EXPECT_FALSE(ref.hasAttributes());
}

TEST_F(AutomationTables, AttributeDefinitionIsHiddenPresetAtTheGivenPoint) {
    cad::Block b = CadDocument.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("B"));
    cad::Entity def = AddAttributeDefinition(b, QStringLiteral("DLUGOSC_WYSPY"), QStringLiteral("2.5"), 3, 4);
    EXPECT_EQ(def.tagString(), QStringLiteral("DLUGOSC_WYSPY"));
    EXPECT_EQ(def.textString(), QStringLiteral("2.5"));
    EXPECT_EQ(def.mode(), 9);
    EXPECT_DOUBLE_EQ(def.height(), 3.5);
    EXPECT_EQ(def.insertionPoint(), (cad::Point{3, 4, 0}));
}

TEST_F(AutomationTables, DrawOrderAndDeletion) {
    cad::Entity a = CadModelSpace.addLine(cad::Point{0, 0, 0}, cad::Point{1, 1, 0});
    cad::Entity b = CadModelSpace.addLine(cad::Point{0, 1, 0}, cad::Point{1, 0, 0});
    MoveObjectToTop(a);
    cad::SortentsTable table;
    ASSERT_TRUE(GetSortentsTable(table));
    EXPECT_EQ(table.fullDrawOrder().last(), a);
    cad::SortentsTable again;
    ASSERT_TRUE(GetSortentsTable(again));
    EXPECT_EQ(again, table);  // one table, found the second time

    const int before = CadModelSpace.count();
    DeleteEntity(b);
    EXPECT_EQ(CadModelSpace.count(), before - 1);
    EXPECT_THROW(b.handle(), cad::Erased);
    EXPECT_THROW(DeleteEntity(b), cad::Erased);
}

}  // namespace
}  // namespace automation::test
