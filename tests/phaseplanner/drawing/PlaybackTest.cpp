// Playback in the drawing: at every second exactly the streams of green groups are green, the
// marker follows the second, and stopping gives every stream its colour back.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "GroupBuilders.h"
#include "phaseplanner/drawing/PairHighlight.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "platform/ui/core/Prompt.h"

namespace phaseplanner::test {
using automation::CadModelSpace;

class PlaybackTest : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        ResetEditorState();
        ResetProgramAttributeState();
        ResetPlayback();
        ResetPairHighlight();
        IntersectionNumber = QStringLiteral("7");
        ProgramTableOrigin = {{15, 278}, true};
        automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, -1, -10);
        // Streams of intersection 7, one block carrying two names, one a conditional variant, one
        // stream of another intersection that must never change.
        stream(QStringLiteral("7^STRUMIEN_1^K1"));
        stream(QStringLiteral("7^STRUMIEN_2^K2^K_3"));
        stream(QStringLiteral("7^STRUMIEN_3^P1 [2]"));
        stream(QStringLiteral("8^STRUMIEN_1^K1"));
        defineBlock(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
        insert(QStringLiteral("ATRYBUTY_STRUMIENI_7"), QStringLiteral("0"));
        GroupTable = {Group(KindVehicle, "K1", {{0, 20}}), Group(KindVehicle, "K2", {{30, 20}}),
                      Group(KindPedestrian, "P1", {{10, 30}}), Group(KindVehicle, "K_3", {{55, 10}})};
        CycleLength = 80;
        states = ComputeStates(GroupTable, CycleLength);
    }
    void TearDown() override {
        ResetPairHighlight();
        ResetPlayback();
        ResetEditorState();
        ResetProgramAttributeState();
        CadFixture::TearDown();
    }
    void stream(const QString& name) {
        defineBlock(name);
        refs.insert(name, insert(name, QStringLiteral("113-STRUMIENIE_RUCHU")));
    }
    // Start and end markers lie on any layer; their names carry the stream and a suffix.
    void marker(const QString& name) {
        defineBlock(name);
        refs.insert(name, insert(name, QStringLiteral("0")));
    }
    void expectColours(const QHash<QString, int>& expected) {
        for (auto it = refs.cbegin(); it != refs.cend(); ++it)
            EXPECT_EQ(it->color(), expected.value(it.key(), 256)) << it.key().toStdString();
    }
    QHash<QString, cad::Entity> refs;
    ProgramStates states;
};

TEST_F(PlaybackTest, EverySecondColoursExactlyTheGreenGroupsStreams) {
    defineBlock(QStringLiteral("ATRYBUTY_PROGRAMU_7"));  // the program table is in this drawing too
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
            e.name() == QStringLiteral("AKTUALNY_CZAS_32")) {
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

TEST_F(PlaybackTest, PairHighlightColoursTheTwoGroupsStreamsAndMarkers) {
    marker(QStringLiteral("7^POCZATEK_STRUMIEN_K1_1"));
    marker(QStringLiteral("7^KONIEC_STRUMIEN_K_3_1"));
    marker(QStringLiteral("7^POCZATEK_STRUMIEN_P1_2 [2]"));
    marker(QStringLiteral("8^POCZATEK_STRUMIEN_K1_1"));
    refs["8^STRUMIEN_1^K1"].setColor(5);  // another intersection, coloured by the user
    const QString k1 = QStringLiteral("7^STRUMIEN_1^K1"), k2k3 = QStringLiteral("7^STRUMIEN_2^K2^K_3"),
                  p1 = QStringLiteral("7^STRUMIEN_3^P1 [2]"),
                  k1Start = QStringLiteral("7^POCZATEK_STRUMIEN_K1_1"),
                  k3End = QStringLiteral("7^KONIEC_STRUMIEN_K_3_1"),
                  p1Start = QStringLiteral("7^POCZATEK_STRUMIEN_P1_2 [2]"),
                  other = QStringLiteral("8^STRUMIEN_1^K1");

    // K1 and K_3: the block naming K2 and K_3 takes K_3's colour, markers follow their streams.
    bool refresh = true;
    HighlightGroupPairStreams(0, 3, 3, 1, refresh);
    EXPECT_FALSE(refresh);
    EXPECT_TRUE(StreamGroupTableFilled);
    expectColours({{k1, 3}, {k2k3, 1}, {k1Start, 3}, {k3End, 1}, {other, 5}});

    // The next pair colours from the kept mapping; the previous pair's colours are gone. In a
    // block naming groups of both sides, the first name decides.
    HighlightGroupPairStreams(2, 1, 3, 1, refresh);
    expectColours({{k2k3, 1}, {p1, 3}, {p1Start, 3}, {other, 5}});

    // A stream erased under the mapping: the table is rebuilt from the drawing.
    refs.take(k1).erase();
    HighlightGroupPairStreams(0, 3, 3, 1, refresh);
    expectColours({{k2k3, 1}, {k1Start, 3}, {k3End, 1}, {other, 5}});

    // The reset with markers restores every colour; the user's colour stays.
    ResetStreamColours(true);
    expectColours({{other, 5}});

    // Playback's own reset gives back the green streams only; the pair reset also the red ones and
    // the markers.
    HighlightGroupPairStreams(0, 3, 3, 1, refresh);
    ResetStreamColours(false);
    expectColours({{k2k3, 1}, {k1Start, 3}, {k3End, 1}, {other, 5}});
    ResetStreamColours(true);
    expectColours({{other, 5}});
}

// A crossing is drawn along both edges, P2 and its variant P2[2]; a vehicle stream may have a variant
// too, with its own markers. While the group is green both edges are, and a colliding pair colours
// every variant with its markers.
TEST_F(PlaybackTest, EveryVariantOfAGreenGroupsStreamIsColoured) {
    stream(QStringLiteral("7^STRUMIEN_4^P2"));
    stream(QStringLiteral("7^STRUMIEN_5^P2[2]"));
    stream(QStringLiteral("7^STRUMIEN_6^K1[2]"));
    marker(QStringLiteral("7^POCZATEK_STRUMIEN_K1[2]_1"));
    marker(QStringLiteral("7^KONIEC_STRUMIEN_K1[2]_1"));
    GroupTable.push_back(Group(KindPedestrian, "P2", {{60, 15}}));
    states = ComputeStates(GroupTable, CycleLength);
    const QString p2 = QStringLiteral("7^STRUMIEN_4^P2"), p2Outer = QStringLiteral("7^STRUMIEN_5^P2[2]"),
                  k1 = QStringLiteral("7^STRUMIEN_1^K1"), k1Variant = QStringLiteral("7^STRUMIEN_6^K1[2]"),
                  k2k3 = QStringLiteral("7^STRUMIEN_2^K2^K_3");
    ShowSecondInDrawing(62, states, CycleLength);  // P2 and K_3 green
    expectColours({{p2, 3}, {p2Outer, 3}, {k2k3, 3}});
    ShowSecondInDrawing(5, states, CycleLength);  // K1 alone
    expectColours({{k1, 3}, {k1Variant, 3}});

    ShowSecondInDrawing(-1, states, CycleLength);
    bool refresh = true;
    HighlightGroupPairStreams(4, 0, 3, 1, refresh);
    expectColours({{p2, 3},
                   {p2Outer, 3},
                   {k1, 1},
                   {k1Variant, 1},
                   {QStringLiteral("7^POCZATEK_STRUMIEN_K1[2]_1"), 1},
                   {QStringLiteral("7^KONIEC_STRUMIEN_K1[2]_1"), 1}});
}

TEST_F(PlaybackTest, MissingSchemeIsReportedOncePerRun) {
    ui::ScriptedPrompts prompts;
    IntersectionNumber = QStringLiteral("9");  // no streams drawn
    defineBlock(QStringLiteral("ATRYBUTY_STRUMIENI_9"));
    bool refresh = true;
    HighlightGroupPairStreams(0, 1, 3, 1, refresh);
    EXPECT_TRUE(prompts.asked().empty());  // the dialog has not armed the warning
    SchemeWarningArmed = true;
    refresh = true;
    HighlightGroupPairStreams(0, 1, 3, 1, refresh);
    HighlightGroupPairStreams(0, 1, 3, 1, refresh);
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Nie znaleziono schematu skrzyżowania!"});
    EXPECT_FALSE(StreamGroupTableFilled);
    for (const cad::Entity& e : refs) EXPECT_EQ(e.color(), 256);
}

// A stream left green by someone else (conflictor's selection, a run that ended abnormally) is
// reset like the ones this run coloured.
TEST_F(PlaybackTest, StreamsAlreadyGreenAreResetWhenTheirGroupIsRed) {
    refs["7^STRUMIEN_3^P1 [2]"].setColor(3);
    refs["8^STRUMIEN_1^K1"].setColor(3);  // another intersection's stays
    ShowSecondInDrawing(0, states, CycleLength);  // P1 is red at 0
    EXPECT_EQ(refs["7^STRUMIEN_3^P1 [2]"].color(), 256);
    EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), 3);
    EXPECT_EQ(refs["8^STRUMIEN_1^K1"].color(), 3);
}

// The program table in a drawing of its own: the streams are coloured in the drawing that holds the
// intersection's stream attribute block, the marker stands over the table in the active one, and
// never in the streams' drawing made active.
TEST_F(PlaybackTest, StreamsAreColouredInTheDrawingThatHoldsThem) {
    ui::ScriptedPrompts prompts;
    const cad::Document streamsDrawing = automation::CadDocument;
    const int streamsEntities = streamsDrawing.modelSpace().count();
    const cad::Document table = automation::CadApplication.documents().add();
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ASSERT_EQ(automation::CadDocument, table);
    defineBlock(QStringLiteral("ATRYBUTY_PROGRAMU_7"));
    automation::CadApplication.setActiveDocument(streamsDrawing);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ShowSecondInDrawing(5, states, CycleLength);
    EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), 3);
    EXPECT_EQ(streamsDrawing.modelSpace().count(), streamsEntities);
    EXPECT_FALSE(automation::CheckBlockExists(TimeMarkerBlockName(32)));
    automation::CadApplication.setActiveDocument(table);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ShowSecondInDrawing(0, states, CycleLength);
    EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), 3);
    EXPECT_EQ(refs["7^STRUMIEN_3^P1 [2]"].color(), 256);
    EXPECT_EQ(automation::CadDocument, table);  // the active drawing stays the current one
    EXPECT_EQ(table.modelSpace().count(), 1);   // the marker
    bool refresh = true;
    HighlightGroupPairStreams(2, 1, 3, 1, refresh);
    EXPECT_EQ(refs["7^STRUMIEN_3^P1 [2]"].color(), 3);
    EXPECT_EQ(refs["7^STRUMIEN_2^K2^K_3"].color(), 1);
    EXPECT_EQ(refs["7^STRUMIEN_1^K1"].color(), 256);
    EXPECT_TRUE(prompts.asked().empty());

    // No open drawing holds the streams: said once, nothing coloured.
    streamsDrawing.close();
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ShowSecondInDrawing(31, states, CycleLength);
    ShowSecondInDrawing(1, states, CycleLength);
    SchemeWarningArmed = true;
    HighlightGroupPairStreams(2, 1, 3, 1, refresh);
    ASSERT_EQ(prompts.messageTexts().size(), 2);
    for (const QString& text : prompts.messageTexts())
        EXPECT_EQ(text, QStringLiteral("Żaden otwarty rysunek nie zawiera strumieni skrzyżowania (bloku "
                                       "ATRYBUTY_STRUMIENI_7): strumienie nie zostaną pokolorowane."));
}

// A piece of K1 moved to another layer is neither coloured nor measured: the pair colours say so once
// each time the dialog builds its mapping, playback once until what is passed over changes.
TEST_F(PlaybackTest, APieceNoProgramReadsIsToldOnceWithTheColours) {
    ui::ScriptedPrompts prompts;
    stream(QStringLiteral("7^STRUMIEN_4^K1"));
    refs["7^STRUMIEN_4^K1"].setLayer(QStringLiteral("0"));
    const QString told =
        QStringLiteral("Kolory mogą nie pokazywać strumieni tak, jak zostaną zmierzone:\nK1: Składowa "
                       "\"7^STRUMIEN_4^K1\" leży na warstwie \"0\" w punkcie (0.50; 0.00); strumienie czyta się "
                       "tylko z warstwy \"113-STRUMIENIE_RUCHU\", więc nie zostałaby uwzględniona. Przenieś ją "
                       "na warstwę \"113-STRUMIENIE_RUCHU\" albo usuń.");
    bool refresh = true;
    HighlightGroupPairStreams(0, 3, 3, 1, refresh);
    HighlightGroupPairStreams(2, 1, 3, 1, refresh);
    EXPECT_EQ(prompts.messageTexts(), QStringList{told});
    refresh = true;  // the dialog opened again
    HighlightGroupPairStreams(2, 1, 3, 1, refresh);
    EXPECT_EQ(prompts.messageTexts().size(), 2);

    ResetStreamColours(true);
    ShowSecondInDrawing(0, states, CycleLength);
    ShowSecondInDrawing(1, states, CycleLength);
    EXPECT_EQ(prompts.messageTexts().size(), 3);
    EXPECT_EQ(prompts.messageTexts().value(2), told);
    EXPECT_EQ(refs["7^STRUMIEN_4^K1"].color(), 256);
    // Put back on the stream layer, with a stream added so the cache is read again: it is coloured
    // and nothing more is said; moved off once more, it is told again.
    refs["7^STRUMIEN_4^K1"].setLayer(QStringLiteral("113-STRUMIENIE_RUCHU"));
    stream(QStringLiteral("7^STRUMIEN_5^K2"));
    ShowSecondInDrawing(12, states, CycleLength);  // K1 and P1
    EXPECT_EQ(refs["7^STRUMIEN_4^K1"].color(), 3);
    refs["7^STRUMIEN_4^K1"].setLayer(QStringLiteral("0"));
    stream(QStringLiteral("7^STRUMIEN_6^K2"));
    ShowSecondInDrawing(25, states, CycleLength);  // P1 alone
    EXPECT_EQ(prompts.messageTexts().size(), 4);
}

}  // namespace phaseplanner::test
