// The intergreen check measured on group tables built here, against matrices built here.
#include "GroupBuilders.h"
#include "phaseplanner/drawing/IntergreenCheck.h"

#include <gtest/gtest.h>

using namespace phaseplanner;
using phaseplanner::test::Group;

namespace {

RequiredIntergreens matrix(int n) {
    return RequiredIntergreens(std::size_t(n), std::vector<std::optional<int>>(std::size_t(n)));
}

// A three-phase program in a 60 s cycle whose intergreens towards the next phase are exactly kept;
// the third group's green runs across the cycle end (44 + 20 = 64, so it ends at 4).
struct TightProgram {
    std::vector<GroupRecord> groups{Group(KindVehicle, "K1", {{6, 20}}), Group(KindVehicle, "K2", {{30, 10}}),
                                    Group(KindPedestrian, "P1", {{44, 20}})};
    RequiredIntergreens required = matrix(3);
    TightProgram() {
        required[0][1] = 4;  // 26 -> 30
        required[1][2] = 4;  // 40 -> 44
        required[2][0] = 2;  // 4 -> 6, across the cycle end
        required[0][2] = 3;
        required[2][1] = 5;
        required[1][0] = 3;
    }
};

// Independent of the check: the gap on a circle of `cycle` seconds, negative while both are green.
int gapOnCircle(int clearingStart, int clearingLength, int enteringStart, int cycle) {
    for (int t = clearingStart; t < clearingStart + 2 * cycle; ++t)
        if (t % cycle == enteringStart && t > clearingStart) return t - (clearingStart + clearingLength);
    return enteringStart - (clearingStart + clearingLength);
}

}  // namespace

TEST(IntergreenCheck, ProgramKeepingEveryIntergreenReportsNoneWrong) {
    TightProgram p;
    const IntergreenCheckResult wrong = CheckGroups(p.groups, 60, p.required, false);
    EXPECT_TRUE(wrong.Reported.empty());
    for (bool f : wrong.ErrorFlags) EXPECT_FALSE(f);

    const IntergreenCheckResult all = CheckGroups(p.groups, 60, p.required, true);
    ASSERT_EQ(all.Reported.size(), 6u);
    for (const MeasuredIntergreen& m : all.Reported) {
        const GreenInterval& c = p.groups[std::size_t(m.From)].Greens[1];
        EXPECT_EQ(m.Measured, gapOnCircle(c.Start, c.Length, m.EnteringStart, 60)) << m.From << "->" << m.To;
        EXPECT_GE(m.Difference(), 0);
    }
    EXPECT_EQ(all.ResultTexts[2], "0 (1K sek. 4), +21 (2K sek. 4)");
    EXPECT_EQ(all.CollisionPairs.size(), 3u);  // each pair once, whichever direction came first
}

TEST(IntergreenCheck, OneGreenLongerByASecondMakesExactlyItsTightPairWrongAcrossTheCycleEnd) {
    TightProgram p;
    p.groups[2].Greens[1].Length = 21;  // now ends at 65, i.e. second 5 of the next cycle
    const IntergreenCheckResult r = CheckGroups(p.groups, 60, p.required, false);
    ASSERT_EQ(r.Reported.size(), 1u);
    EXPECT_EQ(r.Reported[0].From, 2);
    EXPECT_EQ(r.Reported[0].To, 0);
    EXPECT_EQ(r.Reported[0].End, 5);
    EXPECT_EQ(r.Reported[0].Measured, 1);
    EXPECT_EQ(r.Reported[0].Difference(), -1);
    EXPECT_TRUE(r.ErrorFlags[2]);
    EXPECT_FALSE(r.ErrorFlags[0]);
    EXPECT_FALSE(r.ErrorFlags[1]);
    EXPECT_EQ(r.ResultTexts[2], "-1 (1K sek. 5)");

    // The entering side: the second group starting a second earlier breaks only the pair into it.
    TightProgram q;
    q.groups[1].Greens[1] = {};
    q.groups[1].GreenCount = 1;
    q.groups[1].Greens[1].Start = 29;
    q.groups[1].Greens[1].Length = 11;
    const IntergreenCheckResult s = CheckGroups(q.groups, 60, q.required, false);
    ASSERT_EQ(s.Reported.size(), 1u);
    EXPECT_EQ(s.Reported[0].From, 0);
    EXPECT_EQ(s.Reported[0].To, 1);
    EXPECT_EQ(s.Reported[0].Difference(), -1);
}

TEST(IntergreenCheck, WorkedExamplesOfAnEightySecondCycle) {
    auto req = matrix(2);
    req[0][1] = 4;
    std::vector<GroupRecord> g{Group(KindVehicle, "K1", {{10, 20}}), Group(KindVehicle, "K2", {{35, 10}})};
    IntergreenCheckResult r = CheckGroups(g, 80, req, true);
    ASSERT_EQ(r.Reported.size(), 1u);
    EXPECT_EQ(r.Reported[0].Measured, 5);
    EXPECT_EQ(r.ResultTexts[0], "+1 (2K sek. 30)");
    EXPECT_TRUE(CheckGroups(g, 80, req, false).Reported.empty());

    g[1].Greens[1].Start = 28;
    r = CheckGroups(g, 80, req, false);
    ASSERT_EQ(r.Reported.size(), 1u);
    EXPECT_EQ(r.Reported[0].Difference(), -6);
    EXPECT_EQ(r.ResultTexts[0], "-6 (2K sek. 30)");

    // A green from 70 for 20 s ends at 10; the entering green at 15 is 5 s later.
    g[0].Greens[1] = {};
    g[0].Greens[1].Start = 70;
    g[0].Greens[1].Length = 20;
    g[1].Greens[1].Start = 15;
    r = CheckGroups(g, 80, req, true);
    ASSERT_EQ(r.Reported.size(), 1u);
    EXPECT_EQ(r.Reported[0].End, 10);
    EXPECT_EQ(r.Reported[0].Measured, 5);
    // An entering green that starts while the wrapped green still runs is an overlap, not a wait
    // into a further cycle.
    g[1].Greens[1].Start = 5;
    r = CheckGroups(g, 80, req, false);
    ASSERT_EQ(r.Reported.size(), 1u);
    EXPECT_EQ(r.Reported[0].Measured, -5);
    g[1].Greens[1].Start = 75;
    EXPECT_EQ(CheckGroups(g, 80, req, false).Reported.at(0).Measured, -15);
}

TEST(IntergreenCheck, FollowingGreenIsTheNearestAfterTheStartAndBeforeTheNextGreen) {
    const GroupRecord entering = Group(KindVehicle, "K2", {{50, 5}, {20, 5}, {30, 5}});
    EXPECT_EQ(FollowingGreen(entering, 10, 5, 80, 80), 2);  // 20 is nearest after 10
    EXPECT_EQ(FollowingGreen(entering, 25, 5, 80, 80), 3);
    EXPECT_EQ(FollowingGreen(entering, 25, 5, 5, 80), 0);  // 30 is not before the next green at 30
    // After the clearing group's last green the search goes on over the cycle end.
    EXPECT_EQ(FollowingGreen(entering, 60, 5, 80, 80), 2);
    EXPECT_EQ(FollowingGreen(entering, 60, 5, 30, 80), 0);  // its first green, at 10, comes first
    // One green is always the following one, wherever it lies.
    EXPECT_EQ(FollowingGreen(Group(KindVehicle, "K3", {{0, 0}, {5, 10}}), 60, 5, 10, 80), 2);
    // A green running when the clearing one starts, or starting with it, is measured, most negative first.
    EXPECT_EQ(FollowingGreen(entering, 22, 10, 80, 80), 2);
    EXPECT_EQ(FollowingGreen(entering, 30, 10, 80, 80), 3);

    // Two greens of the clearing group each meet the green of the other group that follows them.
    auto req = matrix(2);
    req[0][1] = 3;
    const std::vector<GroupRecord> g{Group(KindVehicle, "K1", {{0, 10}, {40, 10}}),
                                     Group(KindVehicle, "K2", {{14, 20}, {53, 10}})};
    const IntergreenCheckResult r = CheckGroups(g, 80, req, true);
    ASSERT_EQ(r.Reported.size(), 2u);
    EXPECT_EQ(r.Reported[0].EnteringStart, 14);
    EXPECT_EQ(r.Reported[0].Measured, 4);
    EXPECT_EQ(r.Reported[1].EnteringStart, 53);
    EXPECT_EQ(r.Reported[1].Measured, 3);
    EXPECT_EQ(r.ResultTexts[0], "+1 (2K sek. 10), 0 (2K sek. 50)");
}

TEST(IntergreenCheck, PairsAreStoredOnceAndEmptyCellsMeasureNothing) {
    std::vector<GroupRecord> g{Group(KindVehicle, "K1", {{0, 10}}), Group(KindPedestrian, "P1", {{20, 10}})};
    auto req = matrix(2);
    EXPECT_TRUE(CheckGroups(g, 40, req, true).CollisionPairs.empty());
    req[0][1] = 5;
    req[1][0] = 5;
    const IntergreenCheckResult r = CheckGroups(g, 40, req, true);
    ASSERT_EQ(r.CollisionPairs.size(), 1u);
    EXPECT_EQ(r.CollisionPairs[0], std::make_pair(0, 1));
    EXPECT_EQ(r.Reported.size(), 2u);
}

TEST(IntergreenCheck, RecordsBeyondTheTableOrMatrixAndFreeRecordsAreSkipped) {
    std::vector<GroupRecord> g{Group(KindVehicle, "K1", {{0, 10}}), GroupRecord{},
                               Group(KindVehicle, "K3", {{20, 10}})};
    auto req = matrix(5);  // the workbook knows more groups than the table holds
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            if (i != j) req[std::size_t(i)][std::size_t(j)] = 2;
    req[0].resize(2);  // a short row
    const IntergreenCheckResult r = CheckGroups(g, 40, req, true);
    ASSERT_EQ(r.Reported.size(), 1u);  // only 3 -> 1; 1 -> 3 lies beyond the short row
    EXPECT_EQ(r.Reported[0].From, 2);
    EXPECT_EQ(r.Reported[0].To, 0);
    EXPECT_EQ(r.ResultTexts.size(), 3u);

    // An only-red group has no greens to measure, whatever its record still holds.
    g[0].ComplementMode = ModeOnlyRed;
    EXPECT_TRUE(CheckGroups(g, 40, req, true).Reported.empty());
    // One group only.
    g[0].ComplementMode = ModeOrdinary;
    req[0].assign(5, 2);
    EXPECT_EQ(CheckGroups(g, 40, req, true, 0).Reported.size(), 1u);
}

TEST(IntergreenCheck, ResultTextsSortByTheirDifference) {
    EXPECT_EQ(SortPairTexts("+3 (2K sek. 10), -1 (3P sek. 10), 0 (4K sek. 10), -1 (5R sek. 10)"),
              "-1 (3P sek. 10), -1 (5R sek. 10), 0 (4K sek. 10), +3 (2K sek. 10)");
    EXPECT_EQ(SortPairTexts("+3 (2K sek. 10)"), "+3 (2K sek. 10)");
    EXPECT_EQ(SortPairTexts(""), "");
}

TEST(IntergreenCheck, KindLettersOfTheEnteringGroup) {
    MeasuredIntergreen m;
    m.To = 1;
    m.End = 7;
    m.Measured = 4;
    m.Required = 4;
    EXPECT_EQ(FormatPairItem(m, Group(KindVehicle, "B1", {})), "0 (2B sek. 7)");
    EXPECT_EQ(FormatPairItem(m, Group(KindTramOrArrow, "T1", {})), "0 (2T sek. 7)");
    EXPECT_EQ(FormatPairItem(m, Group(KindTramOrArrow, "S1", {})), "0 (2S sek. 7)");
    EXPECT_EQ(FormatPairItem(m, Group(KindBicycle, "R1", {})), "0 (2R sek. 7)");
}

TEST(IntergreenCheck, GreensStartingTogetherOrOverlappingAreMeasuredNegative) {
    // Two colliding groups with two greens each starting at the same seconds: every green of each
    // meets a green of the other that runs with it.
    auto req = matrix(2);
    req[0][1] = 4;
    req[1][0] = 5;
    const std::vector<GroupRecord> g{Group(KindVehicle, "K2", {{21, 10}, {50, 10}}),
                                     Group(KindVehicle, "K4", {{21, 10}, {50, 10}})};
    const IntergreenCheckResult r = CheckGroups(g, 90, req, false);
    ASSERT_EQ(r.Reported.size(), 4u);
    for (const MeasuredIntergreen& m : r.Reported) {
        EXPECT_EQ(m.Measured, -10);
        EXPECT_EQ(m.EnteringStart, g[std::size_t(m.From)].Greens[std::size_t(m.Green)].Start);
    }
    EXPECT_TRUE(r.ErrorFlags[0]);
    EXPECT_TRUE(r.ErrorFlags[1]);
    EXPECT_EQ(r.ResultTexts[0], "-14 (2K sek. 31), -14 (2K sek. 60)");

    // An entering green that started three seconds earlier and still runs: 3 s before the clearing
    // green's end of 10 s it started 13 s too early, never a wait of a whole cycle.
    EXPECT_EQ(MeasureIntergreen(21, 10, 18, 10, 90), -13);
    EXPECT_EQ(MeasureIntergreen(21, 10, 11, 10, 90), 70);  // ended as the clearing one started
    std::vector<GroupRecord> one{Group(KindVehicle, "K1", {{21, 10}}), Group(KindVehicle, "K2", {{18, 10}})};
    const IntergreenCheckResult s = CheckGroups(one, 90, req, false);
    ASSERT_EQ(s.Reported.size(), 2u);
    EXPECT_EQ(s.Reported[0].Measured, -13);
    EXPECT_EQ(s.Reported[1].Measured, -7);
}

TEST(IntergreenCheck, TheLastGreenMeetsTheFirstGreenOfTheNextCycle) {
    // K1's last green ends at 70; of K2's two greens the one at 5 follows it in the next cycle.
    auto req = matrix(2);
    req[0][1] = 20;
    const std::vector<GroupRecord> g{Group(KindVehicle, "K1", {{10, 10}, {50, 20}}),
                                     Group(KindVehicle, "K2", {{5, 3}, {40, 5}})};
    const IntergreenCheckResult r = CheckGroups(g, 80, req, false);
    ASSERT_EQ(r.Reported.size(), 1u);
    EXPECT_EQ(r.Reported[0].Green, 2);
    EXPECT_EQ(r.Reported[0].EnteringStart, 5);
    EXPECT_EQ(r.Reported[0].Measured, 15);
    EXPECT_EQ(CheckGroups(g, 80, req, true).Reported.size(), 2u);  // 20 -> 40 holds
}

TEST(IntergreenCheck, GroupsDifferingFromTheWorkbookAtTheirPositionAreListed) {
    std::vector<GroupRecord> g{Group(KindVehicle, "K1", {{0, 10}}), Group(KindPedestrian, " p1 ", {{20, 10}}),
                               GroupRecord{}, Group(KindVehicle, "K4", {{40, 10}}),
                               Group(KindVehicle, "K5", {{50, 10}})};
    const QStringList workbook{QStringLiteral("K1"), QStringLiteral("P1"), QStringLiteral("K3"),
                               QStringLiteral("P1, P3")};
    const std::vector<UncheckedGroup> u = CompareWithWorkbookGroups(g, workbook);
    ASSERT_EQ(u.size(), 3u);
    EXPECT_EQ(u[0].Position, 2);  // no program group: not measured
    EXPECT_FALSE(u[0].measured());
    EXPECT_EQ(u[1].ProgramSymbols, "K4");
    EXPECT_EQ(u[1].WorkbookSymbols, "P1, P3");
    EXPECT_TRUE(u[1].measured());
    EXPECT_EQ(u[2].Position, 4);  // not in the workbook
    EXPECT_TRUE(u[2].WorkbookSymbols.isEmpty());

    IntergreenCheckResult r;
    EXPECT_TRUE(IncompleteCheckText(r).isEmpty());
    r.Unchecked = u;
    r.UnreadableCells = 1;
    EXPECT_EQ(IncompleteCheckText(r),
              "Sprawdzenie czasów międzyzielonych jest niepełne.\n"
              "Grupy programu i skoroszytu porównano według kolejności; na tych pozycjach się różnią:\n"
              "grupa 3: w programie brak grupy, w skoroszycie \"K3\" - jej par nie sprawdzono\n"
              "grupa 4: w programie \"K4\", w skoroszycie \"P1, P3\"\n"
              "grupa 5: w programie \"K5\", w skoroszycie brak grupy - jej par nie sprawdzono\n"
              "Komórek matrycy kolizji bez poprawnego czasu: 1 - tych par nie sprawdzono.");
}
