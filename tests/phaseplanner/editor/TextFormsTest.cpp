// Phase-pairs text and the set-greens and shifts texts: round trips and odd inputs.
#include "EditorFixture.h"
#include "phaseplanner/editor/PhasePairs.h"

namespace phaseplanner::test {

class TextFormsTest : public EditorTest {};

TEST_F(TextFormsTest, PhasePairsRoundTrip) {
    GreenInterval g;
    SetPhases(g, {{2, 1}, {5, 3}});
    EXPECT_EQ(FormatSignalPhasePairs(g), QStringLiteral("2 (1), 5 (3)"));
    GreenInterval back;
    ParseSignalPhasePairs(back, QStringLiteral("2 (1), 5 (3)"));
    ASSERT_EQ(back.LastPhase, 1);
    EXPECT_EQ(back.Phases[0].Phase, 2);
    EXPECT_EQ(back.Phases[0].Position, 1);
    EXPECT_EQ(back.Phases[1].Phase, 5);
    EXPECT_EQ(back.Phases[1].Position, 3);
    GreenInterval negative;
    SetPhases(negative, {{-1, 0}});
    EXPECT_EQ(FormatSignalPhasePairs(negative), QStringLiteral("-1 (0)"));
}

TEST_F(TextFormsTest, PhasePairsOddInputs) {
    GreenInterval g;
    EXPECT_EQ(FormatSignalPhasePairs(g), QString());  // new greens carry no phantom "0 (0)"
    SetPhases(g, {{9, 9}});
    ParseSignalPhasePairs(g, QString());
    EXPECT_EQ(g.LastPhase, -1);

    ParseSignalPhasePairs(g, QStringLiteral("1 (1),2 (2)"));  // no blank: one piece, first pair
    ASSERT_EQ(g.LastPhase, 0);
    EXPECT_EQ(g.Phases[0].Phase, 1);
    EXPECT_EQ(g.Phases[0].Position, 1);

    ParseSignalPhasePairs(g, QStringLiteral("4 (2), x, 6 (4)"));
    ASSERT_EQ(g.LastPhase, 1);
    EXPECT_EQ(g.Phases[1].Phase, 6);
    EXPECT_EQ(g.Phases[1].Position, 4);

    ParseSignalPhasePairs(g, QStringLiteral("7 ( 3 )"));
    ASSERT_EQ(g.LastPhase, 0);
    EXPECT_EQ(g.Phases[0].Position, 3);
    ParseSignalPhasePairs(g, QStringLiteral("7 (3"));
    EXPECT_EQ(g.LastPhase, -1);
    ParseSignalPhasePairs(g, QStringLiteral("8) (2"));  // the only ")" stands before " ("
    EXPECT_EQ(g.LastPhase, -1);
}

TEST_F(TextFormsTest, PhasePairsKeepAtMost21) {
    QStringList items;
    for (int i = 1; i <= 30; ++i) items << QStringLiteral("%1 (%1)").arg(i);
    GreenInterval g;
    ParseSignalPhasePairs(g, items.join(QStringLiteral(", ")));
    EXPECT_EQ(g.LastPhase, MaxPhaseRefs - 1);
    EXPECT_EQ(g.Phases[20].Phase, 21);

    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1"), {{0, 10}}));
    ParseSignalPhasePairs(0, 1, QStringLiteral("3 (2)"));
    EXPECT_EQ(GroupTable[0].Greens[1].LastPhase, 0);
    ParseSignalPhasePairs(5, 1, QStringLiteral("3 (2)"));    // no such record: nothing happens
    ParseSignalPhasePairs(0, 201, QStringLiteral("3 (2)"));  // no such green
}

TEST_F(TextFormsTest, SetGreensRoundTripAndOddInputs) {
    ParseSetGreenTimes(QStringLiteral("K1, K2:15^P3:8"));
    ASSERT_EQ(SetGreenTimes.size(), 2u);
    EXPECT_EQ(FormatSetGreenTimes(), QStringLiteral("K1, K2:15^P3:8"));
    EXPECT_EQ(GetSetGreenTime(QStringLiteral("k1, k2")), 15);
    EXPECT_EQ(GetSetGreenTime(QStringLiteral("K1")), 0);

    ParseSetGreenTimes(QStringLiteral("K1:12^^P1:7"));
    EXPECT_EQ(SetGreenTimes.size(), 2u);
    for (const char* empty : {":5", "K1", ""}) {
        ParseSetGreenTimes(QString::fromLatin1(empty));
        EXPECT_EQ(FormatSetGreenTimes(), QStringLiteral(":0")) << empty;
        EXPECT_EQ(GetSetGreenTime(QString()), 0);
    }
    ParseSetGreenTimes(QStringLiteral(":0"));
    EXPECT_EQ(FormatSetGreenTimes(), QStringLiteral(":0"));

    ParseSetGreenTimes(QStringLiteral("K1:0^K2:-3"));
    ParsePhaseStartShifts(QStringLiteral("K1:0^K2:-3"));
    EXPECT_EQ(GetSetGreenTime(QStringLiteral("K2")), 0);
    ASSERT_EQ(PhaseStartShifts.size(), 1u);
    EXPECT_EQ(FormatPhaseStartShifts(), QStringLiteral("K2:-3"));
    EXPECT_EQ(GetPhaseStartShift(QStringLiteral("k2")), -3);

    ParseSetGreenTimes(QStringLiteral("K1:10^K1:12"));
    EXPECT_EQ(GetSetGreenTime(QStringLiteral("K1")), 12);
    EXPECT_EQ(FormatPhaseStartShifts().isEmpty(), false);
    PhaseStartShifts.clear();
    EXPECT_EQ(FormatPhaseStartShifts(), QString());  // never filled
}

TEST_F(TextFormsTest, SymbolsRefuseSeparators) {
    EXPECT_TRUE(IsValidGroupSymbols(QStringLiteral("K1, K1p")));
    EXPECT_TRUE(IsValidGroupSymbols(QStringLiteral("SK1->")));
    EXPECT_FALSE(IsValidGroupSymbols(QStringLiteral("K1^K2")));
    EXPECT_FALSE(IsValidGroupSymbols(QStringLiteral("K1:3")));
    EXPECT_FALSE(IsValidGroupSymbols(QStringLiteral("K1\tK2")));
}

TEST_F(TextFormsTest, GreenLengthAndSort) {
    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1"), {{0, 0}, {5, 12}}));
    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1"), {{0, 30}}));
    GroupTable[0].Defined = false;
    EXPECT_EQ(GetGroupGreenLength(QStringLiteral("k1")), 30);
    GroupTable[0].Defined = true;
    EXPECT_EQ(GetGroupGreenLength(QStringLiteral("K1")), 12);
    EXPECT_EQ(GetGroupGreenLength(QStringLiteral("K9")), 0);

    std::vector<NumberedText> items{{3, "a"}, {1, "b"}, {2, "c"}, {1, "d"}};
    SortNameValueRecords(items);
    EXPECT_EQ(items[0].Text, QStringLiteral("b"));
    EXPECT_EQ(items[1].Text, QStringLiteral("d"));
    EXPECT_EQ(items[3].Key, 3);
}

}  // namespace phaseplanner::test
