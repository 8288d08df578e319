// Playback in the drawing: at every second exactly the streams of green groups are green, the
// marker follows the second, and stopping gives every stream its colour back.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "GroupBuilders.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"

namespace phaseplanner::test {
using automation::CadModelSpace;

class PlaybackTest : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        ResetEditorState();
        ResetProgramAttributeState();
        ResetPlayback();
        IntersectionNumber = QStringLiteral("7");
        ProgramTableOrigin = {{15, 278}, true};
        automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, -1, -10);
        // Streams of intersection 7, one block carrying two names, one a conditional variant, one
        // stream of another intersection that must never change.
        stream(QStringLiteral("7^STRUMIEN_1^K1"));
        stream(QStringLiteral("7^STRUMIEN_2^K2^K_3"));
        stream(QStringLiteral("7^STRUMIEN_3^P1 [2]"));
        stream(QStringLiteral("8^STRUMIEN_1^K1"));
        GroupTable = {Group(KindVehicle, "K1", {{0, 20}}), Group(KindVehicle, "K2", {{30, 20}}),
                      Group(KindPedestrian, "P1", {{10, 30}}), Group(KindVehicle, "K_3", {{55, 10}})};
        CycleLength = 80;
        states = ComputeStates(GroupTable, CycleLength);
    }
    void TearDown() override {
        ResetPlayback();
        ResetEditorState();
        ResetProgramAttributeState();
        CadFixture::TearDown();
    }
    void stream(const QString& name) {
        defineBlock(name);
        refs.insert(name, insert(name, QStringLiteral("113-STRUMIENIE_RUCHU")));
    }
    QHash<QString, cad::Entity> refs;
    ProgramStates states;
};

TEST_F(PlaybackTest, EverySecondColoursExactlyTheGreenGroupsStreams) {
    for (int s = 0; s <= CycleLength; ++s) {
        ShowSecondInDrawing(s, states, CycleLength);
        const bool k1 = IsGroupGreenAt(GroupTable[0], s, CycleLength);
        const bool k2 =
            IsGroupGreenAt(GroupTable[1], s, CycleLength) || IsGroupGreenAt(GroupTable[3], s, CycleLength);
        const bool p1 = IsGroupGreenAt(GroupTable[2], s, CycleLength);
        EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), k1 ? 3 : 256) << s;
        EXPECT_EQ(refs["7^STRUMIEN_2^K2^K_3"].color(), k2 ? 3 : 256) << s;
        EXPECT_EQ(refs["7^STRUMIEN_3^P1 [2]"].color(), p1 ? 3 : 256) << s;
        EXPECT_EQ(refs["8^STRUMIEN_1^K1"].color(), 256) << s;
    }
    // The marker stands over the table at the shown second.
    int markers = 0;
    for (const cad::Entity& e : CadModelSpace.entities())
        if (e.objectName() == QLatin1String("AcDbBlockReference") &&
            e.name().startsWith(QStringLiteral("AKTUALNY_CZAS_7^"))) {
            ++markers;
            EXPECT_DOUBLE_EQ(e.insertionPoint().x, 15 + 80);
            EXPECT_EQ(e.layer(), QStringLiteral("255-ROBOCZA"));
        }
    EXPECT_EQ(markers, 1);
    // Stopping (second -1) restores every colour and removes the marker with its block.
    ShowSecondInDrawing(-1, states, CycleLength);
    for (const cad::Entity& e : refs) EXPECT_EQ(e.color(), 256);
    EXPECT_FALSE(automation::CheckBlockExists(TimeMarkerBlockName(32)));
}

TEST_F(PlaybackTest, StreamsColouredByTheUserAreLeftAlone) {
    refs["7^STRUMIEN_3^P1 [2]"].setColor(5);
    ShowSecondInDrawing(0, states, CycleLength);  // P1 is red at 0
    ResetStreamColours(false);
    EXPECT_EQ(refs["7^STRUMIEN_3^P1 [2]"].color(), 5);
    EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), 256);
}

TEST_F(PlaybackTest, CacheIsRebuiltWhenAStreamIsErasedOrAdded) {
    ShowSecondInDrawing(0, states, CycleLength);
    EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), 3);
    refs["7^STRUMIEN_1^K1"].erase();
    stream(QStringLiteral("7^STRUMIEN_4^K1"));
    ShowSecondInDrawing(31, states, CycleLength);
    ShowSecondInDrawing(1, states, CycleLength);
    EXPECT_EQ(refs["7^STRUMIEN_4^K1"].color(), 3);
}

TEST_F(PlaybackTest, SymbolsSplitOneWayForStatesAndLookUps) {
    EXPECT_EQ(SplitSymbolList(QStringLiteral("K1, K2,,K_3 ")), (QStringList{"K1", "K2", "K_3"}));
    EXPECT_EQ(FindGroupBySymbol(QStringLiteral("k_3")), 3);
    EXPECT_EQ(FindGroupBySymbol(QStringLiteral("X9")), -1);
}

}  // namespace phaseplanner::test
