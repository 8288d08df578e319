// The older layer and colour helpers: a new layer gets its colour (two numbers as true colours) and
// lineweight, an existing one is only activated, and entities take colour numbers as indexes.
#include "CadFixture.h"

#include "automation/LegacyDrawing.h"
#include "platform/cad/Dictionary.h"

namespace automation::test {

using LegacyDrawingTest = CadFixture;

TEST_F(LegacyDrawingTest, EnsureLayerLegacyAddsColoursAndActivates) {
    bool active = false;
    EnsureLayerLegacy(QStringLiteral("112-OPIS_SYGNALIZACJI"), active, 250, 35);
    ASSERT_TRUE(CheckLayerExists(QStringLiteral("112-OPIS_SYGNALIZACJI")));
    const cad::Layer layer = CadDocument.layers().item(QStringLiteral("112-OPIS_SYGNALIZACJI"));
    EXPECT_EQ(layer.lineweight(), 35);
    EXPECT_NE(CadDocument.activeLayer().name(), QStringLiteral("112-OPIS_SYGNALIZACJI"));

    // An existing layer keeps its colour and becomes active when asked.
    layer.setColor(3);
    active = true;
    EnsureLayerLegacy(QStringLiteral("112-OPIS_SYGNALIZACJI"), active, 5, -10);
    EXPECT_EQ(layer.color(), 3);
    EXPECT_EQ(CadDocument.activeLayer().name(), QStringLiteral("112-OPIS_SYGNALIZACJI"));

    // Without colour and lineweight a new layer keeps the defaults.
    active = false;
    EnsureLayerLegacy(QStringLiteral("256-OPISY_DETEKTOROW"), active, -1, -10);
    EXPECT_EQ(CadDocument.layers().item(QStringLiteral("256-OPISY_DETEKTOROW")).color(), 7);
}

TEST_F(LegacyDrawingTest, SetEntityTrueColourTakesIndexesAndTwoTrueColours) {
    const cad::Entity line = CadModelSpace.addLine(cad::Point{0, 0, 0}, cad::Point{1, 1, 0});
    SetEntityTrueColour(line, 1);
    EXPECT_EQ(line.color(), 1);
    SetEntityTrueColour(line, 255);
    const cad::Color white(line.trueColor());
    EXPECT_EQ(white.red(), 255);
    EXPECT_EQ(white.green(), 255);
    EXPECT_EQ(white.blue(), 255);
    SetEntityTrueColour(line, 250);
    const cad::Color grey(line.trueColor());
    EXPECT_EQ(grey.red(), 0x33);
    EXPECT_EQ(grey.blue(), 0x33);
}

}  // namespace automation::test
