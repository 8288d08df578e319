// The stream table's look-ups, names, phase lists, kinematic defaults, component boxes and
// directions, chain order and the cut's point list: logic that needs no drawing.
#include "StreamsFixture.h"

#include "conflictor/streams/KinematicCheck.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"

#include <numbers>

namespace conflictor::test {
namespace {

constexpr double Pi = std::numbers::pi;

class StreamsTable : public ::testing::Test {
protected:
    void SetUp() override { ResetStreamState(); }
    void TearDown() override { ResetStreamState(); }
};

TEST_F(StreamsTable, LooksStreamsUpWithoutRegardToCaseButWithTheVariant) {
    StreamTable = {Stream(QStringLiteral("K1[2]")), Stream(QStringLiteral("K1")),
                   Stream(QStringLiteral("k1"))};
    EXPECT_EQ(FindStreamIndex(QStringLiteral("k1")), 1);
    EXPECT_EQ(FindStreamIndex(QStringLiteral("K1[2]")), 0);
    EXPECT_EQ(FindStreamIndex(QStringLiteral("K1[")), -1);
    EXPECT_EQ(FindStreamIndex(QStringLiteral(" K1")), -1);
    StreamTable.clear();
    EXPECT_EQ(FindStreamIndex(QStringLiteral("K1")), -1);
}

TEST_F(StreamsTable, NamesGiveKindNumberVariantAndBaseName) {
    const StreamRecord t = Stream(QStringLiteral("T7"));
    EXPECT_EQ(t.Kind, KindTram);
    EXPECT_EQ(t.Number, 7);
    EXPECT_EQ(t.Variant, 1);
    EXPECT_EQ(t.BaseName, QStringLiteral("T7"));
    const StreamRecord s = Stream(QStringLiteral("S3[12]"));
    EXPECT_EQ(s.Kind, KindConditional);
    EXPECT_EQ(s.Number, 3);
    EXPECT_EQ(s.Variant, 12);
    EXPECT_EQ(s.BaseName, QStringLiteral("S3"));
    EXPECT_EQ(Stream(QStringLiteral("p3")).Kind, KindPedestrian);
    EXPECT_EQ(Stream(QStringLiteral("X1")).Kind, 0);

    for (const char* name : {"K1", "S1", "T1", "B1"})
        EXPECT_TRUE(IsVehicleStream(Stream(QString::fromLatin1(name))));
    for (const char* name : {"P1", "R1"}) EXPECT_FALSE(IsVehicleStream(Stream(QString::fromLatin1(name))));
    StreamRecord odd;
    odd.Kind = 7;
    EXPECT_FALSE(IsVehicleStream(odd));
}

TEST_F(StreamsTable, AddNumberToListMergesSortsAndNormalises) {
    StreamTable = {Stream(QStringLiteral("K1"), QStringLiteral("3,1")),
                   Stream(QStringLiteral("K2"), QStringLiteral("1,,4")), Stream(QStringLiteral("K3"))};
    EXPECT_EQ(AddNumberToList(0, 2), QStringLiteral("1,2,3"));
    EXPECT_EQ(AddNumberToList(0, 3), QStringLiteral("1,3"));
    EXPECT_EQ(AddNumberToList(1, 2), QStringLiteral("0,1,2,4"));
    EXPECT_EQ(AddNumberToList(0, 0), QStringLiteral("1,3"));
    EXPECT_EQ(AddNumberToList(2, 0), QString());
    EXPECT_EQ(AddNumberToList(2, 5), QStringLiteral("5"));
    EXPECT_EQ(StreamTable[0].Phases, QStringLiteral("3,1"));  // the record is not changed
}

TEST_F(StreamsTable, CollectPhaseNumbersListsEachPositivePhaseOnce) {
    StreamTable = {Stream(QStringLiteral("K1"), QStringLiteral("3,1")),
                   Stream(QStringLiteral("K2"), QStringLiteral("1")),
                   Stream(QStringLiteral("P1"), QStringLiteral("0,x,2"))};
    std::vector<int> phases{99};
    EXPECT_EQ(CollectPhaseNumbers(phases), 2);
    EXPECT_EQ(phases, (std::vector<int>{1, 2, 3}));
    StreamTable = {Stream(QStringLiteral("K1"), QStringLiteral("0,-1"))};
    EXPECT_EQ(CollectPhaseNumbers(phases), -1);
    EXPECT_EQ(phases, (std::vector<int>{1, 2, 3}));  // left unchanged
}

TEST_F(StreamsTable, KinematicValuesFallBackToTheSettingOfTheKind) {
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("DLUG_POJ"), QString(), KindVehicle), 10);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("DLUG_POJ"), QStringLiteral("0"), KindVehicle), 10);
    // A tram without a length of its own is its whole composition (13.5 m × 2 cars by default), as
    // the workbook's header shows it; a length stored with the stream stays.
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("DLUG_POJ"), QStringLiteral("0,0"), KindTram), 27);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("DLUG_POJ"), QStringLiteral("13,50"), KindTram), 13.5);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("DLUG_POJ"), QStringLiteral("abc"), KindBus), 14);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("DLUG_POJ"), QStringLiteral("12,5"), KindVehicle), 12.5);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("MAKS_PRZYSP"), QStringLiteral("-3"), KindVehicle), -3);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("LUK_EWAK"), QString(), KindPedestrian), 0);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("PROSTA_EWAK"), QString(), KindPedestrian), 1.4);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("PROSTA_EWAK"), QString(), KindBicycle), 2.8);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("PROSTA_EWAK"), QString(), KindTram), 10);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("MAKS_PRZYSP"), QString(), KindTram), 1.2);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("MAKS_PRZYSP"), QString(), KindBus), 2);
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("maks_przysp"), QString(), KindVehicle), 0);
    common::Settings.PredkDojazdLuk2 = 7.5;
    EXPECT_DOUBLE_EQ(CheckValue(QStringLiteral("LUK_DOJAZD"), QString(), KindBus), 7.5);
}

TEST_F(StreamsTable, BoundsOfLinesAndOfArcsThroughEachAxisDirection) {
    SegmentRecord line = Line(10, 5, 2, 8);
    ComputeSegmentBounds(line);
    EXPECT_DOUBLE_EQ(line.Bounds1.X, 2);
    EXPECT_DOUBLE_EQ(line.Bounds1.Y, 5);
    EXPECT_DOUBLE_EQ(line.Bounds2.X, 10);
    EXPECT_DOUBLE_EQ(line.Bounds2.Y, 8);

    SegmentRecord quarter = Arc(0, 0, 10, Pi / 4, 3 * Pi / 4);  // passes π/2 only
    ComputeSegmentBounds(quarter);
    EXPECT_NEAR(quarter.Bounds2.Y, 10, 1e-12);
    EXPECT_NEAR(quarter.Bounds1.X, -10 * std::cos(Pi / 4), 1e-9);
    EXPECT_NEAR(quarter.Bounds2.X, 10 * std::cos(Pi / 4), 1e-9);

    SegmentRecord throughZero = Arc(100, 50, 10, 7 * Pi / 4, Pi / 4);  // passes 0 only
    ComputeSegmentBounds(throughZero);
    EXPECT_NEAR(throughZero.Bounds2.X, 110, 1e-12);
    EXPECT_NEAR(throughZero.Bounds1.X, 100 + 10 * std::cos(Pi / 4), 1e-9);
    EXPECT_LT(throughZero.Bounds1.Y, throughZero.Bounds2.Y);

    SegmentRecord big = Arc(0, 0, 5, Pi / 4, Pi / 8);  // nearly a full circle: every side but 0 ... all four
    ComputeSegmentBounds(big);
    EXPECT_NEAR(big.Bounds1.X, -5, 1e-12);
    EXPECT_NEAR(big.Bounds1.Y, -5, 1e-12);
    EXPECT_NEAR(big.Bounds2.X, 5, 1e-12);
    EXPECT_NEAR(big.Bounds2.Y, 5, 1e-12);
}

TEST_F(StreamsTable, OutwardAnglesOfLinesAndArcsIncludingArcsThroughAngleZero) {
    const SegmentRecord line = Line(0, 0, 10, 0);
    EXPECT_NEAR(GetSegmentOutwardAngle(line, {0, 0}), Pi, 1e-12);
    EXPECT_NEAR(GetSegmentOutwardAngle(line, {10, 0}), 0, 1e-12);

    const SegmentRecord arc = Arc(0, 0, 10, 0, Pi / 2);
    EXPECT_NEAR(GetSegmentOutwardAngle(arc, arc.StartPoint), -Pi / 2, 1e-9);
    EXPECT_NEAR(GetSegmentOutwardAngle(arc, arc.EndPoint), Pi, 1e-9);

    // From 3π/2 through 0 to π/2, centre (0, 0), radius 10: it starts at (0, -10), where leaving it
    // means going -X (the arc itself runs +X from there), and ends at (0, 10), leaving towards -X too.
    const SegmentRecord wrap = Arc(0, 0, 10, 3 * Pi / 2, Pi / 2);
    const double atStart = GetSegmentOutwardAngle(wrap, wrap.StartPoint);
    const double atEnd = GetSegmentOutwardAngle(wrap, wrap.EndPoint);
    EXPECT_NEAR(std::cos(atStart), -1, 1e-9);
    EXPECT_NEAR(std::sin(atStart), 0, 1e-9);
    EXPECT_NEAR(std::cos(atEnd), -1, 1e-9);
    EXPECT_NEAR(std::sin(atEnd), 0, 1e-9);
}

TEST_F(StreamsTable, ChainOrderWalksFromTheStartPointWithoutReversingComponents) {
    StreamRecord k = Stream(QStringLiteral("K1"));
    k.Segments[1] = Line(10, 0, 20, 0);  // B-C
    k.Segments[2] = Line(0, 0, 10, 0);   // A-B
    k.Segments[3] = Line(30, 0, 20, 0);  // D-C, walked from its end
    k.SegmentCount = 3;
    k.StartPoint = {0, 0};
    StreamTable = {k};
    EXPECT_TRUE(SortujOdcinkiStrumienia(0));
    EXPECT_EQ(StreamTable[0].Segments[1].Order, 2);
    EXPECT_EQ(StreamTable[0].Segments[2].Order, 1);
    EXPECT_EQ(StreamTable[0].Segments[3].Order, 3);
    EXPECT_DOUBLE_EQ(StreamTable[0].Segments[3].StartPoint.X, 30);

    StreamTable[0].StartPoint = common::MissingPoint();  // without start point: index order
    SortujOdcinkiStrumienia(0);
    EXPECT_EQ(StreamTable[0].Segments[1].Order, 1);
    EXPECT_EQ(StreamTable[0].Segments[2].Order, 2);

    StreamRecord p = Stream(QStringLiteral("P1"));
    p.Segments[1] = Line(10, 0, 20, 0);
    p.Segments[2] = Line(0, 0, 10, 0);
    p.SegmentCount = 2;
    p.StartPoint = {0, 0};
    StreamTable = {p};
    SortujOdcinkiStrumienia(0);
    EXPECT_EQ(StreamTable[0].Segments[1].Order, 1);
    EXPECT_EQ(StreamTable[0].Segments[2].Order, 2);
}

TEST_F(StreamsTable, EndPointsOfAChainAndTheFaultyShapes) {
    ui::ScriptedPrompts prompts;
    StreamRecord k =
        Stream(QStringLiteral("P1"));  // pedestrian: a faulty one is not highlighted in a drawing
    k.Segments[1] = Line(10, 0, 20, 0);
    k.Segments[2] = Line(0, 0, 10, 0);
    k.SegmentCount = 2;
    StreamTable = {k};
    int first = 0, second = 0;
    common::PlanePointPair ends = GetStreamEndPoints(0, false, first, second);
    EXPECT_DOUBLE_EQ(ends.First.X, 20);
    EXPECT_EQ(first, 1);
    EXPECT_DOUBLE_EQ(ends.Second.X, 0);
    EXPECT_EQ(second, 2);
    EXPECT_TRUE(prompts.asked().empty());

    // A closed ring of three lines has no free end.
    StreamTable[0].Segments[3] = Line(20, 0, 0, 0);
    StreamTable[0].SegmentCount = 3;
    ends = GetStreamEndPoints(0, false, first, second);
    EXPECT_TRUE(common::IsMissingPoint(ends.First));
    EXPECT_EQ(prompts.messageTexts().value(0),
              QStringLiteral("P1: Niepoprawny strumień. Składowe strumienia tworzą zamkniętą pętlę (bez wolnego "
                             "końca), np. w punkcie (10.00; 0.00)."));
    // A plain box: OK only, no icon, the program's title.
    EXPECT_EQ(prompts.asked()[0].flags, ui::OkOnly);
    EXPECT_EQ(prompts.asked()[0].title, ui::DefaultTitle());

    // A Y shape stops at the branching point.
    prompts.clear();
    StreamTable[0].Segments[3] = Line(10, 0, 10, 10);
    ends = GetStreamEndPoints(0, false, first, second);
    EXPECT_TRUE(common::IsMissingPoint(ends.First));
    EXPECT_EQ(prompts.messageTexts().value(0),
              QStringLiteral("P1: Niepoprawny strumień. Strumień rozgałęzia się w punkcie (10.00; 0.00): schodzi się "
                             "w nim więcej niż dwie składowe."));

    // Checking the start point.
    prompts.clear();
    StreamTable[0].SegmentCount = 2;
    StreamTable[0].StartPoint = common::MissingPoint();
    ends = GetStreamEndPoints(0, true, first, second);
    EXPECT_TRUE(common::IsMissingPoint(ends.First));
    EXPECT_EQ(prompts.messageTexts().value(0), QStringLiteral("P1: Brak punktu początkowego strumienia!"));
    prompts.clear();
    StreamTable[0].StartPoint = {10, 0};
    ends = GetStreamEndPoints(0, true, first, second);
    EXPECT_TRUE(common::IsMissingPoint(ends.First));
    EXPECT_TRUE(prompts.messageTexts().value(0).endsWith(QStringLiteral("na jednym z końców strumienia")));
    // A start point on no end at all (inside a line, or off the stream) is refused the same way.
    for (const common::PlanePoint p : {common::PlanePoint{5, 0}, common::PlanePoint{7, 7}}) {
        prompts.clear();
        StreamTable[0].StartPoint = p;
        ends = GetStreamEndPoints(0, true, first, second);
        EXPECT_TRUE(common::IsMissingPoint(ends.First));
        EXPECT_TRUE(
            prompts.messageTexts().value(0).endsWith(QStringLiteral("na jednym z końców strumienia")));
    }
    prompts.clear();
    StreamTable[0].StartPoint = {0, 0};
    ends = GetStreamEndPoints(0, true, first, second);
    EXPECT_FALSE(common::IsMissingPoint(ends.First));
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(StreamsTable, ConflictPointsAreKeptOncePerPositionAndSecondStream) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2")), Stream(QStringLiteral("P1")),
                   Stream(QStringLiteral("R1"))};
    std::vector<ConflictPointRecord> points(1);
    EXPECT_TRUE(AddConflictPoint({5, 5}, points, 0, 1));
    EXPECT_FALSE(AddConflictPoint({5.005, 5}, points, 2, 1));  // same point, same second stream
    EXPECT_TRUE(AddConflictPoint({5, 5}, points, 0, 2));
    EXPECT_TRUE(AddConflictPoint({9, 9}, points, 2, 3));
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1].Kind, 3);
    EXPECT_EQ(points[2].Kind, 4);
    EXPECT_EQ(points[3].Kind, 0);
    EXPECT_EQ(points[2].Stream1, 0);
    EXPECT_EQ(points[2].Stream2, 2);

    std::vector<ConflictPointRecord> fresh;  // index 0 is never filled, even on an empty list
    EXPECT_TRUE(AddConflictPoint({1, 1}, fresh, 0, 1));
    ASSERT_EQ(fresh.size(), 2u);
    EXPECT_EQ(fresh[1].Stream2, 1);
}

}  // namespace
}  // namespace conflictor::test
