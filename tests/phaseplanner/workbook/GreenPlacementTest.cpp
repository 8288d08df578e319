// Worked examples of the green placement; each placed program is checked by the independent checker:
// every intergreen time towards the groups of the next phase holds (and, where the example is built
// so, every pair of the matrix).
#include "IntergreenChecker.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "phaseplanner/workbook/GreenPlacement.h"

#include <map>

namespace phaseplanner::test {

class Placement : public EditorTest {
protected:
    // A group as the import makes it: one green of the minimum length per phase of the order.
    int add(const char* symbols, const char* phases, int minimumGreen) {
        GroupRecord g;
        g.Defined = true;
        g.Symbols = QString::fromUtf8(symbols);
        const QChar k = g.Symbols.at(0).toUpper();
        g.Kind = k == QLatin1Char('P')                              ? KindPedestrian
                 : k == QLatin1Char('R')                            ? KindBicycle
                 : (k == QLatin1Char('S') || k == QLatin1Char('T')) ? KindTramOrArrow
                                                                    : KindVehicle;
        g.PhaseList = QString::fromUtf8(phases);
        g.GreenCount = CountGroupPhasesInOrder(g, order);
        for (int i = 1; i <= g.GreenCount; ++i) g.Greens[std::size_t(i)].Length = minimumGreen;
        groups.push_back(g);
        return int(groups.size()) - 1;
    }
    void ig(int from, int to, int seconds) { matrix[{from, to}] = seconds; }
    int value(int from, int to) const {
        const auto it = matrix.find({from, to});
        return it == matrix.end() ? 0 : it->second;
    }
    int place() {
        input.PhaseOrder = order;
        input.Intergreen = [this](int a, int b) { return value(a, b); };
        cycle = PlaceGreens(groups, input);
        return cycle;
    }
    QStringList towardsNextPhase() const {
        return CheckTowardsNextPhase(
            groups, cycle, order, [this](int a, int b) { return value(a, b); },
            [this](int g, int p) { return RecordHasPhase(groups[std::size_t(g)], p); });
    }
    QStringList everyPair() const {
        return CheckEveryPair(groups, cycle, [this](int a, int b) { return value(a, b); });
    }
    const GreenInterval& green(int g, int k) const { return groups[std::size_t(g)].Greens[std::size_t(k)]; }
    std::pair<int, int> span(int g, int k) const { return {green(g, k).Start, green(g, k).Length}; }
    static std::pair<int, int> span(const GroupRecord& g, int k) {
        return {g.Greens[std::size_t(k)].Start, g.Greens[std::size_t(k)].Length};
    }

    std::vector<int> order{1, 2};
    std::vector<GroupRecord> groups;
    std::map<std::pair<int, int>, int> matrix;
    GreenPlacementInput input;
    int cycle = 0;
};

using Pair = std::pair<int, int>;

TEST_F(Placement, TwoPhasesOneVehicleGroupEach) {
    const int k1 = add("K1", "1", 10), k2 = add("K2", "2", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 4);
    EXPECT_EQ(place(), 28);
    EXPECT_EQ(span(k1, 1), Pair(0, 10));
    EXPECT_EQ(span(k2, 1), Pair(14, 10));
    EXPECT_EQ(green(k1, 1).LastPhase, 0);
    EXPECT_EQ(green(k2, 1).Phases[0].Phase, 2);
    EXPECT_EQ(green(k2, 1).Phases[0].Position, 2);
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, ThreePhasesWithAPedestrianGroupAndExtension) {
    order = {1, 2, 3};
    const int k1 = add("K1", "1", 10), p1 = add("P1", "1", 8), k2 = add("K2", "2", 10),
              k3 = add("K3", "3", 10);
    ig(k1, k2, 5);
    ig(p1, k2, 9);
    ig(k2, k3, 3);
    ig(k3, k1, 6);
    ig(k3, p1, 2);
    ig(k2, k1, 4);  // not towards a next phase, and covered by phase 3 between them
    EXPECT_EQ(place(), 46);
    EXPECT_EQ(span(p1, 1), Pair(0, 8));
    EXPECT_EQ(span(k1, 1), Pair(0, 12));  // lengthened to end 5 s before phase 2 at 17
    EXPECT_EQ(span(k2, 1), Pair(17, 10));
    EXPECT_EQ(span(k3, 1), Pair(30, 10));
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, WithoutExtensionTheGreensKeepTheirMinimum) {
    input.ExtendGreens = false;
    const int k1 = add("K1", "1", 10), p1 = add("P1", "1", 8), k2 = add("K2", "2", 10);
    ig(k1, k2, 3);
    ig(p1, k2, 9);
    ig(k2, k1, 4);
    ig(k2, p1, 4);
    EXPECT_EQ(place(), 31);
    EXPECT_EQ(span(k1, 1), Pair(0, 10));
    EXPECT_EQ(span(k2, 1), Pair(17, 10));
    EXPECT_EQ(towardsNextPhase(), QStringList());
}

TEST_F(Placement, AGroupWithoutIntergreenDoesNotHoldTheNextPhaseBack) {
    const int k1 = add("K1", "1", 10), k3 = add("K3", "1", 20), k2 = add("K2", "2", 10);
    ig(k1, k2, 4);  // K3 does not conflict with K2
    ig(k2, k1, 4);
    place();
    EXPECT_EQ(span(k2, 1).first, 14);
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
    EXPECT_EQ(span(k3, 1), Pair(0, 20));  // its minimum green runs on into phase 2
}

TEST_F(Placement, MinimumRedCountsTheAmberOfVehicles) {
    input.MinimumRed = 2;
    const int k1 = add("K1", "1", 10), k2 = add("K2", "2", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 4);
    EXPECT_EQ(place(), 32);
    EXPECT_EQ(span(k1, 1), Pair(0, 10));
    EXPECT_EQ(span(k2, 1), Pair(16, 10));
    // 3 s of amber and at least 2 s of red before the next vehicle green.
    EXPECT_GE(green(k2, 1).Start - (green(k1, 1).Start + green(k1, 1).Length), 3 + 2);
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, MinimumGreensOfVehiclesAndPedestriansStand) {
    const int k1 = add("K1", "1", 10), p2 = add("P2", "2", 8), k2 = add("K2", "2", 10);
    ig(k1, p2, 2);
    ig(k1, k2, 3);
    ig(p2, k1, 9);
    ig(k2, k1, 3);
    place();
    for (int g : {k1, k2}) EXPECT_GE(green(g, 1).Length, 10);
    EXPECT_GE(green(p2, 1).Length, 8);
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, DetailedParametersSetGreensAndShiftThePhaseStart) {
    SetGreenTimes = {{QStringLiteral("K1"), 15}};
    PhaseStartShifts = {{QStringLiteral("K2"), -3}};
    input.DetailedParameters = true;
    input.StartOffset = 3;
    const int k1 = add("K1", "1", 15), k2 = add("K2", "1", 10), k3 = add("K3", "2", 10);
    ig(k1, k3, 4);
    ig(k2, k3, 5);
    ig(k3, k1, 4);
    ig(k3, k2, 6);
    EXPECT_EQ(place(), 38);
    EXPECT_EQ(span(k1, 1), Pair(3, 15));  // the set green time, the phase starting 3 s late
    EXPECT_EQ(span(k2, 1), Pair(0, 17));  // 3 s before its phase, lengthened
    EXPECT_EQ(span(k3, 1), Pair(22, 10));
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, GreensPushedPastTheCycleEndByTheOffsetComeBack) {
    input.DetailedParameters = true;
    input.StartOffset = 3;
    PhaseStartShifts = {{QStringLiteral("K1"), -3}};
    order = {1, 2};
    const int k1 = add("K1", "1", 10), k2 = add("K2", "2", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 2);
    place();
    for (int g : {k1, k2}) {
        EXPECT_GE(green(g, 1).Start, 0);
        EXPECT_LT(green(g, 1).Start, cycle);
    }
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, MergingJoinsGreensOfConsecutivePhases) {
    order = {1, 2, 3};
    input.MergeAdjacentGreens = true;
    const int k1 = add("K1", "1,2", 10), k2 = add("K2", "3", 10), p1 = add("P1", "1", 8);
    ig(k1, k2, 4);
    ig(k2, k1, 5);
    ig(k2, p1, 3);
    ig(p1, k2, 9);
    place();
    ASSERT_EQ(groups[std::size_t(k1)].GreenCount, 1);
    EXPECT_EQ(green(k1, 1).Start, 0);
    EXPECT_EQ(green(k1, 1).LastPhase, 1);  // both phase references on the one green
    EXPECT_EQ(green(k1, 1).Phases[1].Phase, 2);
    EXPECT_EQ(green(k1, 1).Phases[1].Position, 2);
    EXPECT_EQ(green(k1, 2).Length, 0);  // no gap left behind
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, MergingAcrossTheCycleEnd) {
    order = {1, 2, 3};
    input.MergeAdjacentGreens = true;
    const int k1 = add("K1", "1,3", 10), k2 = add("K2", "2", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 5);
    place();
    ASSERT_EQ(groups[std::size_t(k1)].GreenCount, 1);
    const GreenInterval& g = green(k1, 1);
    EXPECT_GT(g.Start, green(k2, 1).Start);  // starts in phase 3 and runs over the cycle end
    EXPECT_GT(g.Start + g.Length, cycle);
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

// With the first phase starting late, the merged green still ends where the first phase's green
// ends: its length counts that start.
TEST_F(Placement, MergingAcrossTheCycleEndKeepsTheFirstPhasesStart) {
    order = {1, 2, 3};
    input.StartOffset = 3;
    auto build = [&] {
        groups.clear();
        const int k1 = add("K1", "1,3", 10);
        const int k2 = add("K2", "2", 10);
        ig(k1, k2, 4);
        ig(k2, k1, 5);
        place();
        return k1;
    };
    const int k1 = build();
    ASSERT_EQ(groups[std::size_t(k1)].GreenCount, 2);
    const GreenInterval first = green(k1, 1), third = green(k1, 2);
    ASSERT_GE(first.Start, 3);
    input.MergeAdjacentGreens = true;
    build();
    ASSERT_EQ(groups[std::size_t(k1)].GreenCount, 1);
    EXPECT_EQ(green(k1, 1).Start, third.Start);
    EXPECT_EQ(green(k1, 1).Start + green(k1, 1).Length - cycle, first.Start + first.Length);
    EXPECT_EQ(towardsNextPhase(), QStringList());
}

TEST_F(Placement, AGroupInEveryPhaseIsGreenAllCycleNotOnlyRed) {
    order = {1, 2};
    input.MergeAdjacentGreens = true;
    const int t1 = add("K5", "1,2", 10), k1 = add("K1", "1", 10), k2 = add("K2", "2", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 4);
    place();
    const GroupRecord& all = groups[std::size_t(t1)];
    ASSERT_EQ(all.GreenCount, 1);
    EXPECT_EQ(all.ComplementMode, ModeOrdinary);
    EXPECT_EQ(span(t1, 1), Pair(0, cycle));
    EXPECT_EQ(everyPair(), QStringList());

    // Without merging it keeps one green per phase, each clear of the other phase's groups.
    groups.clear();
    input.MergeAdjacentGreens = false;
    const int again = add("K5", "1,2", 10);
    add("K1", "1", 10);
    add("K2", "2", 10);
    place();
    EXPECT_EQ(groups[std::size_t(again)].GreenCount, 2);
    EXPECT_EQ(towardsNextPhase(), QStringList());
}

TEST_F(Placement, GroupsInNoPhaseGetTheirSteadySignal) {
    const int k1 = add("K1", "1", 10), k2 = add("K2", "2", 10), s1 = add("S1", "", 10),
              k9 = add("K9", "7", 10);
    ig(k1, k2, 4);
    place();
    EXPECT_EQ(groups[std::size_t(s1)].ComplementMode, ModeNoSignal);
    EXPECT_EQ(groups[std::size_t(k9)].ComplementMode, ModeOnlyRed);
    EXPECT_EQ(groups[std::size_t(k1)].ComplementMode, ModeOrdinary);
}

TEST_F(Placement, DetailedMergingRunsAGreenThroughConsecutivePhases) {
    order = {1, 2, 3};
    input.DetailedParameters = true;
    input.MergeAdjacentGreens = true;
    const int k1 = add("K1", "1,2", 10), k2 = add("K2", "3", 10), k3 = add("K3", "2,3", 10),
              k4 = add("K4", "1", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 5);
    ig(k2, k4, 3);
    ig(k4, k3, 6);
    ig(k3, k4, 4);
    ig(k3, k1, 2);
    ig(k1, k3, 0);
    place();
    EXPECT_EQ(groups[std::size_t(k1)].GreenCount, 1);
    EXPECT_EQ(groups[std::size_t(k3)].GreenCount, 1);
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, DetailedMergingAcrossTheCycleEnd) {
    order = {1, 2, 3};
    input.DetailedParameters = true;
    input.MergeAdjacentGreens = true;
    const int k1 = add("K1", "3,1", 10), k2 = add("K2", "2", 10), k3 = add("K3", "1", 10);
    ig(k1, k2, 4);
    ig(k2, k1, 5);
    ig(k2, k3, 3);
    ig(k3, k2, 6);
    place();
    EXPECT_EQ(groups[std::size_t(k1)].GreenCount, 1);
    EXPECT_EQ(towardsNextPhase(), QStringList());
    EXPECT_EQ(everyPair(), QStringList());
}

TEST_F(Placement, GapClosingMovesGreensDownOverEmptyOnes) {
    GroupRecord g;
    g.GreenCount = 4;
    g.Greens[1] = GreenInterval{0, 0};
    g.Greens[2] = GreenInterval{10, 5};
    g.Greens[3] = GreenInterval{0, 0};
    g.Greens[4] = GreenInterval{30, 6};
    g.Greens[5] = GreenInterval{50, 7};  // beyond the first four: never moved
    CloseGreenGaps(g);
    EXPECT_EQ(span(g, 1), Pair(10, 5));
    EXPECT_EQ(span(g, 2), Pair(30, 6));
    EXPECT_EQ(span(g, 3), Pair(0, 0));
    EXPECT_EQ(span(g, 4), Pair(0, 0));
    EXPECT_EQ(span(g, 5), Pair(50, 7));
}

TEST_F(Placement, TheCheckerFindsABrokenIntergreen) {
    const int k1 = add("K1", "1", 10), k2 = add("K2", "2", 10);
    groups[std::size_t(k1)].Greens[1].Start = 0;
    groups[std::size_t(k2)].Greens[1].Start = 12;  // 2 s after K1, 4 s needed
    cycle = 30;
    ig(k1, k2, 4);
    ig(k2, k1, 4);
    EXPECT_EQ(towardsNextPhase(),
              QStringList{QStringLiteral("0 -> 1: green ends at 10, next starts 2 s later, needs 4")});
    groups[std::size_t(k2)].Greens[1].Start = 8;
    EXPECT_EQ(everyPair().size(), 2);  // green together, both ways
}

TEST_F(Placement, PhaseCountingHelpers) {
    GroupRecord g;
    g.PhaseList = QStringLiteral("1, x, 0, 3");
    EXPECT_EQ(CountGroupPhasesInOrder(g, {1, 2, 3, 1}), 3);
    EXPECT_EQ(CountGroupPhasesInOrder(g, {}), 0);
    EXPECT_FALSE(GroupCoversAllPhases(g, {1, 2, 3}));
    EXPECT_TRUE(GroupCoversAllPhases(g, {3, 1}));
    g.PhaseList.clear();
    EXPECT_FALSE(GroupCoversAllPhases(g, {1}));
    GreenInterval a, b;
    for (int i = 0; i < 15; ++i) b.Phases[std::size_t(i)] = {i + 1, i + 1};
    b.LastPhase = 14;
    AppendGreenPhaseRefs(a, b);
    AppendGreenPhaseRefs(a, b);
    EXPECT_EQ(a.LastPhase, MaxPhaseRefs - 1);  // never past the references a green holds
}

}  // namespace phaseplanner::test
