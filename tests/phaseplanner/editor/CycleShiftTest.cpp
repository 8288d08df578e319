// Seconds added and removed at the shown second, the removal's lower bound and moving the program.
#include "EditorFixture.h"
#include "GroupBuilders.h"
#include "phaseplanner/editor/CycleShift.h"

namespace phaseplanner::test {

namespace {
std::pair<int, int> green(const std::vector<GroupRecord>& t, int g, int k) {
    return {t[std::size_t(g)].Greens[std::size_t(k)].Start, t[std::size_t(g)].Greens[std::size_t(k)].Length};
}
using P = std::pair<int, int>;
}  // namespace

TEST(CycleShift, AddingAtASecondStretchesCoveringGreensAndMovesLaterOnes) {
    std::vector<GroupRecord> t{Group(KindVehicle, "K1", {{20, 20}, {50, 10}}),
                               Group(KindVehicle, "K2", {{5, 10}})};
    EXPECT_EQ(ShiftGreens(t, 80, 30, 5), 85);
    EXPECT_EQ(green(t, 0, 1), P(20, 25));
    EXPECT_EQ(green(t, 0, 2), P(55, 10));
    EXPECT_EQ(green(t, 1, 1), P(5, 10));
}

TEST(CycleShift, RemovingInsideBeforeAndAcrossAGreen) {
    std::vector<GroupRecord> t{Group(KindVehicle, "K1", {{20, 20}, {50, 10}}),
                               Group(KindVehicle, "K2", {{5, 10}}), Group(KindVehicle, "K3", {{32, 10}})};
    EXPECT_EQ(ShiftGreens(t, 80, 30, -5), 75);
    EXPECT_EQ(green(t, 0, 1), P(20, 15));  // inside
    EXPECT_EQ(green(t, 0, 2), P(45, 10));  // after: moved
    EXPECT_EQ(green(t, 1, 1), P(5, 10));   // before: unchanged
    EXPECT_EQ(green(t, 2, 1), P(30, 7));   // across its start

    std::vector<GroupRecord> u{Group(KindVehicle, "K1", {{20, 20}})};
    ShiftGreens(u, 80, 30, -15);
    EXPECT_EQ(green(u, 0, 1), P(20, 10));
}

TEST(CycleShift, RemovalSwallowingAGreenDropsItNeverNegative) {
    std::vector<GroupRecord> t{Group(KindVehicle, "K1", {{32, 3}})};
    ShiftGreens(t, 80, 30, -10);
    EXPECT_EQ(green(t, 0, 1), P(30, 0));
    EXPECT_EQ(ClampRemoval(20, 10), 6);  // the cycle never goes below 14
    EXPECT_EQ(ClampRemoval(14, 3), 0);
    EXPECT_EQ(ClampRemoval(80, 5), 5);
}

TEST(CycleShift, PedestrianGreensEndFourSecondsEarlierAndWrappedGreensFollow) {
    std::vector<GroupRecord> p{Group(KindPedestrian, "P1", {{20, 14}})};
    ShiftGreens(p, 80, 30, 5);
    EXPECT_EQ(green(p, 0, 1), P(20, 19));
    std::vector<GroupRecord> q{Group(KindPedestrian, "P1", {{20, 14}})};
    ShiftGreens(q, 80, 30, -5);
    EXPECT_EQ(green(q, 0, 1), P(20, 14));

    std::vector<GroupRecord> w{Group(KindVehicle, "K1", {{70, 20}})};
    ShiftGreens(w, 80, 5, 3);
    EXPECT_EQ(green(w, 0, 1), P(73, 23));
    std::vector<GroupRecord> v{Group(KindVehicle, "K1", {{70, 20}})};
    ShiftGreens(v, 80, 5, -3);
    EXPECT_EQ(green(v, 0, 1), P(67, 17));
}

TEST(CycleShift, MovesWrapModuloTheCycle) {
    std::vector<GroupRecord> t{Group(KindVehicle, "K1", {{3, 10}}), Group(KindVehicle, "K2", {{78, 10}})};
    GroupRecord red = Group(KindVehicle, "K3", {{10, 5}});
    red.ComplementMode = ModeOnlyRed;
    t.push_back(red);
    MoveGreens(t, 80, -5);
    EXPECT_EQ(green(t, 0, 1), P(78, 10));
    EXPECT_EQ(green(t, 1, 1), P(73, 10));
    EXPECT_EQ(green(t, 2, 1), P(10, 5));  // only-red groups stay
    MoveGreens(t, 80, 5 + 160);           // two whole cycles and more
    EXPECT_EQ(green(t, 0, 1), P(3, 10));
    MoveGreens(t, 80, -245);
    EXPECT_EQ(green(t, 0, 1), P(78, 10));
}

}  // namespace phaseplanner::test
