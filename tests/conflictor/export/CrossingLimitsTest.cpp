// The limits that decide which crossing streams are one crossing, and what the stale-cut comparison and
// the cut's name check hold against the drawing: each case just inside and just outside its limit,
// in metres and in centimetres.
#include "tests/conflictor/export/HeadlessRun.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/CrossingGeometry.h"
#include "conflictor/conflicts/CrossingPairs.h"
#include "conflictor/conflicts/DrawingUnits.h"
#include "conflictor/conflicts/StaleCut.h"
#include "conflictor/phases/CrossingLinkConfirm.h"
#include "conflictor/streams/StreamReading.h"

namespace conflictor::test {
namespace {

// A pedestrian stream of one line, in metres times `unit`.
StreamRecord edge(double x1, double y1, double x2, double y2, double unit = 1) {
    StreamRecord r = Stream(QStringLiteral("P1"));
    r.SegmentCount = 1;
    r.Segments[1] = Line(x1 * unit, y1 * unit, x2 * unit, y2 * unit);
    return r;
}

TEST(CrossingEdges, SideBySideIsWithinTwentyDegreesTwelveMetresAndHalfTheShorterOne) {
    for (const double unit : {1.0, 100.0}) {
        SCOPED_TRACE(unit);
        const StreamRecord a = edge(0, 0, 20, 0, unit);
        auto edges = [&](double x1, double y1, double x2, double y2) {
            return AreEdgesOfOneCrossing(a, edge(x1, y1, x2, y2, unit), unit);
        };
        EXPECT_TRUE(edges(0, 4, 20, 4));
        EXPECT_TRUE(edges(20, 4, 0, 4));  // drawn the other way
        // Turned about its middle (10, 4) by 15 and by 25 degrees.
        EXPECT_TRUE(edges(0.341, 1.412, 19.659, 6.588));
        EXPECT_FALSE(edges(0.937, -0.226, 19.063, 8.226));
        EXPECT_TRUE(edges(0, 10, 20, 10));
        EXPECT_FALSE(edges(0, 15, 20, 15));
        // 9 m apart at one end, 16 m at the other: 12.5 m on the mean.
        EXPECT_FALSE(edges(0, 9, 20, 16));
        EXPECT_TRUE(edges(0, 8, 20, 15));
        // Along the same stretch by 12 m and by 6 m of 20.
        EXPECT_TRUE(edges(8, 4, 28, 4));
        EXPECT_FALSE(edges(14, 4, 34, 4));
    }
}

// K2 north, K3 south, a 3 m refuge island between them; the west half P1 (15 m) and the east half P2
// (12 m) of one group, on one line or the east one moved north by `stagger`; in metres times `unit`.
class IslandWalk : public ExportFixture {
protected:
    void drawHalves(double unit, double stagger, int eastGroup = 3) {
        auto L = [unit](double x1, double y1, double x2, double y2) {
            return Line(x1 * unit, y1 * unit, x2 * unit, y2 * unit);
        };
        draw(QStringLiteral("K2"), {L(50, -50, 50, 60)});
        draw(QStringLiteral("K3"), {L(64, 60, 64, -50)});
        draw(QStringLiteral("P1"), {L(40, 30, 55, 30)});
        draw(QStringLiteral("P2"), {L(58, 30 + stagger, 70, 30 + stagger)});
        drawn();
        storeStreamData({{QStringLiteral("K2"), 1, QStringLiteral("2")},
                         {QStringLiteral("K3"), 2, QStringLiteral("2")},
                         {QStringLiteral("P1"), 3, QStringLiteral("1")},
                         {QStringLiteral("P2"), eastGroup, QStringLiteral("1")}});
        ASSERT_TRUE(OdczytajStrumienie(false, -1));
    }
    CrossingWalk walkOf(const char* name, double unit) {
        return WalkAcrossIslands(FindStreamIndex(QString::fromLatin1(name)), unit);
    }
};

TEST_F(IslandWalk, HalvesAreWalkedAsOneFromEitherSideInACentimetreDrawing) {
    drawHalves(100, 2);
    for (const char* from : {"P1", "P2"}) {
        SCOPED_TRACE(from);
        const CrossingWalk w = walkOf(from, 100);
        EXPECT_EQ(w.Streams.size(), 2u);
        EXPECT_NEAR(w.Units, 3000, 1e-6);  // 15 + 3 + 12 m
    }
}

TEST_F(IslandWalk, AHalfNineAndAHalfMetresAsideIsTheSameCrossing) {
    drawHalves(100, 9.5);
    EXPECT_EQ(walkOf("P1", 100).Streams.size(), 2u);
}

TEST_F(IslandWalk, AHalfFifteenMetresAsideIsACrossingOfItsOwn) {
    drawHalves(100, 15);
    const CrossingWalk w = walkOf("P1", 100);
    EXPECT_EQ(w.Streams.size(), 1u);
    EXPECT_NEAR(w.Units, 1500, 1e-6);
}

TEST_F(IslandWalk, HalvesOfTwoGroupsAreTwoCrossings) {
    drawHalves(1, 0, 4);
    EXPECT_EQ(walkOf("P1", 1).Streams.size(), 1u);
}

class CrossingPairLimits : public HeadlessRun {};

TEST_F(CrossingPairLimits, TwoCrossingsWithoutAGroupAreNeverOneCrossing) {
    // P1 and P3 side by side as the edges of one zebra would be, neither given a group.
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("P1"), {Line(50, -7, 50, 7)});
    draw(QStringLiteral("P3"), {Line(54, -7, 54, 7)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")}});
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QStringList faults = CheckCrossingPairs();
    ASSERT_EQ(faults.size(), 1) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(faults[0].endsWith(QStringLiteral("(strumienie różnych grup)."))) << faults[0].toStdString();
}

TEST_F(CrossingPairLimits, AtOnePlaceTheClearancePointComesBeforeTheApproachPoint) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("P1"), {Line(50, -7, 50, 7)});
    draw(QStringLiteral("P1[2]"), {Line(54, -7, 54, 7)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                     {QStringLiteral("P1"), 2, QStringLiteral("1")},
                     {QStringLiteral("P1[2]"), 2, QStringLiteral("1")}});
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    // Both points on K1's one component: the approach listed first.
    QList<ConflictMarker> markers;
    markers.append({1, QStringLiteral("K1"), QStringLiteral("P1"), QStringLiteral("P1[2]"), {50, 0}, {}});
    markers.append({2, QStringLiteral("K1"), QStringLiteral("P1[2]"), QString(), {54, 0}, {}});
    const QStringList faults = CheckCrossingPairs(markers);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

TEST_F(CrossingPairLimits, LinkedHalvesOfTwoGroupsAreEachClearedByThemselves) {
    drawIslandCrossing({1, 2, 3, 4});
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    int index = -1;
    CrossingSide failed = CrossingSide::None;
    ASSERT_TRUE(ConfirmCrossingLink(QStringLiteral("P1 P2"), QStringLiteral("P1[2] P2[2]"), index,
                                    QStringLiteral("Przejścia - powiązania strumieni"), failed));
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.clear();
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_DOUBLE_EQ(clearingDistance(path, QStringLiteral("P1"), QStringLiteral("K2")), 15);
    EXPECT_DOUBLE_EQ(clearingDistance(path, QStringLiteral("P2[2]"), QStringLiteral("K3")), 12);
}

TEST(UnitsProposal, AValueUnderWhichADistanceWouldBeWrittenAsZeroIsNeverProposed) {
    // 40,000 units fit a road at 100 (400 m) and at 1000 (40 m); at 1000 the 30 units between K1's
    // start and its conflict point would be written as 0.0 m.
    const std::vector<MeasuredLength> streams{{QStringLiteral("K1"), 40000, LengthKind::VehiclePath},
                                              {QStringLiteral("K2"), 45000, LengthKind::VehiclePath}};
    const std::vector<MeasuredLength> distances{{QStringLiteral("K1 - K2"), 30, LengthKind::VehiclePath}};
    const UnitsFinding f = JudgeDrawingUnits(1, DeclaredUnits::None, streams, distances);
    EXPECT_TRUE(f.blocking());
    EXPECT_EQ(f.Proposal, 100);
}

class StaleMarkers : public HeadlessRun {};

TEST_F(StaleMarkers, AnApproachPointFollowingAnotherCrossingIsAChange) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    QList<ConflictMarker> markers = ReadConflictMarkers();
    ASSERT_TRUE(CompareMarkersWithStreams(markers).current());
    bool changed = false;
    for (ConflictMarker& m : markers)
        if (m.Kind == 1) {
            m.AssociatedPedestrian = QStringLiteral("P1");  // it follows P1[2]'s clearance
            changed = true;
        }
    ASSERT_TRUE(changed);
    EXPECT_FALSE(CompareMarkersWithStreams(markers).current());
}

TEST_F(StaleMarkers, AStreamRedrawnWholeAcrossTheOtherIsNotCutThere) {
    // K2 put back in one piece after the cut, along the same line: K1 is still split at the point, K2
    // is not, and the export would measure K2 from a component that does not end there.
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(50, -50, 50, 60)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")}, {QStringLiteral("K2"), 2, QStringLiteral("2")}});
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QList<cad::Entity> pieces = references(QStringLiteral("12^STRUMIEN_*^K2"));
    ASSERT_EQ(pieces.size(), 2);
    for (const cad::Entity& line : doc().blocks().item(pieces[0].name()).entities()) {
        line.setStartPoint({50, -50, 0});
        line.setEndPoint({50, 60, 0});
    }
    pieces[1].erase();
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    const QString said = prompts.messageTexts().join(QLatin1Char('\n'));
    EXPECT_TRUE(said.contains(QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: K")) &&
                said.contains(QStringLiteral("(punkt kolizji w miejscu, w którym strumieni nie pocięto).")))
        << said.toStdString();
}

TEST_F(StaleMarkers, AComponentNameTooLongWithItsNewCounterStopsTheCut) {
    // 226 characters of number pass by themselves; with "^STRUMIEN_", a counter of up to 10 digits and
    // "^K1^K2^K3^K4" (a component the four streams share) a split's name would hold 258.
    const QString number = IntersectionNumber;
    IntersectionNumber = QString(226, QLatin1Char('7'));
    addLine(1, QStringLiteral("^K1^K2^K3^K4"), 0, 0, 10, 0, IntersectionNumber);
    const double ends[][2] = {{100, 0}, {10, 100}, {10, -100}, {80, 70}};
    for (int k = 0; k < 4; ++k) {
        const QString name = QStringLiteral("K%1").arg(k + 1);
        addLine(2 + k, QLatin1Char('^') + name, 10, 0, ends[k][0], ends[k][1], IntersectionNumber);
        StreamTable.push_back(Stream(name));
        InsertMarkerBlock({0, 0}, StartMarkerKind(), name, QString(), QString());
    }
    drawn();
    prompts.clear();
    EXPECT_EQ(cut(), CutOutcome::NumberRefused);
    EXPECT_TRUE(prompts.messageTexts().join(QLatin1Char('\n')).contains(QStringLiteral(
        "utworzone z numeru skrzyżowania przekroczyłyby 255 znaków. Rysunek nie został zmieniony; nadaj "
        "skrzyżowaniu krótszy numer.")))
        << prompts.messageTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(markers().isEmpty());
    IntersectionNumber = number;
}

}  // namespace
}  // namespace conflictor::test
