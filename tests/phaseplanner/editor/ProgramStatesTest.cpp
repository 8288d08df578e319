// Program states, the phase test and the phase-interval search.
#include "EditorFixture.h"

namespace phaseplanner::test {

class ProgramStatesTest : public EditorTest {};

TEST_F(ProgramStatesTest, GreenOverTheCycleEndCoversBothEnds) {
    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1"), {{70, 20}}));
    for (int s : {70, 75, 80, 0, 10}) EXPECT_TRUE(IsGroupGreenAt(GroupTable[0], s, 80)) << s;
    for (int s : {11, 40, 69}) EXPECT_FALSE(IsGroupGreenAt(GroupTable[0], s, 80)) << s;

    const ProgramStates st = ComputeStates(GroupTable, 80);
    ASSERT_EQ(st.LastState, 2);
    EXPECT_EQ(st.StateStarts, (std::vector<int>{0, 11, 70}));
    EXPECT_TRUE(st.StateGreens[0][0]);
    EXPECT_FALSE(st.StateGreens[1][0]);
    EXPECT_TRUE(st.StateGreens[2][0]);
    EXPECT_EQ(StateAtSecond(st, 80, 80), 2);
    EXPECT_EQ(StateAtSecond(st, 10, 80), 0);
    EXPECT_EQ(StateAtSecond(st, 81, 80), -1);
}

TEST_F(ProgramStatesTest, InclusiveEndsAndTheCycleSecondOfItsOwn) {
    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1, K1p"), {{0, 5}}));
    GroupTable.push_back(Group(KindPedestrian, QStringLiteral("P1"), {{10, 5}}));
    const ProgramStates st = ComputeStates(GroupTable, 80);
    // 0..5 K1; 6..9 none; 10..15 P1; 16..80 none (second 80 differs from state 0).
    EXPECT_EQ(st.StateStarts, (std::vector<int>{0, 6, 10, 16}));
    ASSERT_EQ(st.SymbolIndex.size(), 3u);
    EXPECT_EQ(st.SymbolIndex[1].Symbol, QStringLiteral("K1p"));
    EXPECT_EQ(st.SymbolIndex[2].Group, 1);
}

TEST_F(ProgramStatesTest, OnlyRedNoSignalAndEmptyGreensNeverGreen) {
    GroupRecord red = Group(KindVehicle, QStringLiteral("K1"), {{0, 40}});
    red.ComplementMode = ModeOnlyRed;
    GroupRecord none = Group(KindTramOrArrow, QStringLiteral("SK1->"), {{0, 40}});
    none.ComplementMode = ModeNoSignal;
    GroupRecord zero = Group(KindVehicle, QStringLiteral("K2"), {{10, 0}});
    GroupTable = {red, none, zero};
    const ProgramStates st = ComputeStates(GroupTable, 80);
    ASSERT_EQ(st.LastState, 0);  // nothing ever changes: one state from 0
    EXPECT_EQ(st.StateStarts.front(), 0);
    for (bool g : st.StateGreens[0]) EXPECT_FALSE(g);
}

TEST_F(ProgramStatesTest, NoStatesWithoutSymbolsOrGroups) {
    EXPECT_EQ(ComputeStates(GroupTable, 80).LastState, -1);
    GroupTable.push_back(Group(KindVehicle, QStringLiteral(" , "), {{0, 10}}));
    EXPECT_EQ(ComputeStates(GroupTable, 80).LastState, -1);
    GroupTable[0].Symbols = QStringLiteral("K1");
    GroupTable[0].Defined = false;
    EXPECT_EQ(ComputeStates(GroupTable, 80).LastState, -1);
}

TEST_F(ProgramStatesTest, PhaseTestShortensPedestrianGreens) {
    GroupTable.push_back(Group(KindPedestrian, QStringLiteral("P1"), {{20, 4}, {40, 10}}));
    int start = 0, length = 0;
    bool match = false;
    EXPECT_FALSE(FindGreenAtSecond(0, 22, start, length, GreenPhaseRef{1, 1}, match));
    EXPECT_EQ(start, -1);
    EXPECT_TRUE(FindGreenAtSecond(0, 46, start, length, GreenPhaseRef{1, 1}, match));
    EXPECT_EQ(length, 6);
    EXPECT_FALSE(FindGreenAtSecond(0, 47, start, length, GreenPhaseRef{1, 1}, match));
}

TEST_F(ProgramStatesTest, GroupHasPhaseSkipsOddPieces) {
    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1"), {}, QStringLiteral("2,x,0,3")));
    EXPECT_TRUE(GroupHasPhase(0, 2));
    EXPECT_TRUE(GroupHasPhase(0, 3));
    EXPECT_FALSE(GroupHasPhase(0, 0));
    EXPECT_FALSE(GroupHasPhase(0, 1));
    EXPECT_FALSE(GroupHasPhase(4, 2));
}

// Two phases: K1 (phase 1, position 1) green 0..30, K2 (phase 2, position 2) green 40..70.
class PhaseIntervalTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        GroupTable.push_back(Group(KindVehicle, QStringLiteral("K1"), {{0, 30}}, QStringLiteral("1")));
        GroupTable.push_back(Group(KindVehicle, QStringLiteral("K2"), {{40, 30}}, QStringLiteral("2")));
        SetPhases(GroupTable[0].Greens[1], {{1, 1}});
        SetPhases(GroupTable[1].Greens[1], {{2, 2}});
    }
};

TEST_F(PhaseIntervalTest, FindsStartAndEnd) {
    int start = 0, end = 0;
    FindPhaseInterval({2, 2}, {-1, 0}, 0, start, end, -1, false);
    EXPECT_EQ(start, 40);
    EXPECT_EQ(end, 70);
    FindPhaseInterval({1, 1}, {2, 2}, 0, start, end, -1, false);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 30);
}

TEST_F(PhaseIntervalTest, StartOutsideTheCycleEndsAfterOneLap) {
    int start = 0, end = 0;
    for (int from : {80, 120, 32750, -5, -32768}) {
        FindPhaseInterval({2, 2}, {-1, 0}, from, start, end, -1, false);
        EXPECT_EQ(start, 40) << from;
        EXPECT_EQ(end, 70) << from;
    }
    FindPhaseInterval({7, 3}, {-1, 0}, 500, start, end, -1, false);  // a phase no group shows
    EXPECT_EQ(start, NoSecond);
    EXPECT_EQ(end, NoSecond);
    CycleLength = 0;
    FindPhaseInterval({2, 2}, {-1, 0}, 5, start, end, -1, false);
    EXPECT_EQ(start, NoSecond);
}

TEST_F(PhaseIntervalTest, PositionMustMatch) {
    int start = 0, end = 0;
    FindPhaseInterval({2, 5}, {-1, 0}, 0, start, end, -1, false);
    EXPECT_EQ(start, NoSecond);
}

TEST_F(PhaseIntervalTest, PhaseThatNeverEndsKeepsNoEnd) {
    GroupTable[1].Greens[1] = GreenInterval{};
    GroupTable[1].Greens[1].Start = 0;
    GroupTable[1].Greens[1].Length = 80;
    SetPhases(GroupTable[1].Greens[1], {{2, 2}});
    GroupTable[0].Defined = false;
    int start = 0, end = 0;
    FindPhaseInterval({2, 2}, {-1, 0}, 10, start, end, -1, false);
    EXPECT_EQ(start, 10);
    EXPECT_EQ(end, NoSecond);
}

TEST_F(PhaseIntervalTest, DerivesShiftsOfEarlierGreens) {
    // K3 in phase 2 starts 5 s before the phase.
    GroupTable.push_back(Group(KindVehicle, QStringLiteral("K3"), {{35, 35}}, QStringLiteral("2")));
    SetPhases(GroupTable[2].Greens[1], {{2, 2}});
    ComputedStartShifts.assign(GroupTable.size(), {});
    int start = 0, end = 0;
    FindPhaseInterval({2, 2}, {-1, 0}, 31, start, end, 30, true);
    EXPECT_EQ(start, 40);
    EXPECT_TRUE(ComputedStartShifts[2].Set);
    EXPECT_EQ(ComputedStartShifts[2].Shift, -5);
    EXPECT_FALSE(ComputedStartShifts[1].Set);
}

}  // namespace phaseplanner::test
