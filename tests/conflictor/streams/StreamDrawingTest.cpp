// Streams in a drawing: reading the table back from component blocks, start markers and the attribute
// block; unique component numbers; writing, highlighting and splitting components.
#include "StreamsFixture.h"

#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"
#include "platform/cad/LoopbackChannel.h"

#include <numbers>

namespace conflictor::test {
namespace {

constexpr double Pi = std::numbers::pi;

class StreamsDrawing : public StreamsFixture {
protected:
    // K1 from (0,0) over (10,0) to (10,10); K2 from (20,10) over (10,10) to (10,0); the component
    // between (10,10) and (10,0) lists both streams. Start markers at (0,0) and (20,10).
    void twoStreamsSharingAComponent() {
        for (const char* marker : {"12^POCZATEK_STRUMIEN_K1_90", "12^POCZATEK_STRUMIEN_K2_91"})
            doc()
                .blocks()
                .add(cad::Point{0, 0, 0}, QString::fromLatin1(marker))
                .addCircle(cad::Point{0, 0, 0}, 375);
        addLine(3, QStringLiteral("^K1"), 0, 0, 10, 0);
        sharedHandle = addLine(4, QStringLiteral("^K1^K2"), 10, 10, 10, 0);
        addLine(5, QStringLiteral("^K2"), 20, 10, 10, 10);
        insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1_90"), StreamLayer, 0, 0);
        insert(QStringLiteral("12^POCZATEK_STRUMIEN_K2_91"), StreamLayer, 20, 10);
    }
    const StreamRecord& stream(const QString& name) {
        const int i = FindStreamIndex(name);
        EXPECT_GE(i, 0) << name.toStdString();
        return StreamTable[size_t(std::max(i, 0))];
    }
    // The component of the stream whose Order is `order`.
    const SegmentRecord& inOrder(const StreamRecord& r, int order) {
        for (int k = 1; k <= r.SegmentCount; ++k)
            if (r.Segments[size_t(k)].Order == order) return r.Segments[size_t(k)];
        ADD_FAILURE() << "no component of order " << order;
        return r.Segments[0];
    }
    QString sharedHandle;
};

TEST_F(StreamsDrawing, TwoStreamsSharingAComponentReadBackWithNamesValuesAndChainOrder) {
    twoStreamsSharingAComponent();
    addLine(6, QStringLiteral("^X1"), 0, 0, 1, 1);                       // no stream kind X
    addLine(7, QStringLiteral("^p3"), 50, 0, 60, 0);                     // a pedestrian stream, lower case
    addLine(8, QStringLiteral("^K1"), 0, 0, 5, 5, QStringLiteral("7"));  // another intersection
    addAttributeBlock(QStringLiteral("12"), {{QStringLiteral("GRUPY"), QStringLiteral("K1:4^K2:6^")},
                                             {QStringLiteral("FAZY"), QStringLiteral("K1:1,3^")},
                                             {QStringLiteral("OPISY"), QStringLiteral("K2:w lewo^")},
                                             {QStringLiteral("DLUG_POJ"), QStringLiteral("K1:12.5^")},
                                             {QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K2:2,5^")}});

    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 3u);
    EXPECT_EQ(StreamTable[0].Name, QStringLiteral("K1"));
    EXPECT_EQ(StreamTable[1].Name, QStringLiteral("K2"));
    EXPECT_EQ(StreamTable[2].Name, QStringLiteral("p3"));
    EXPECT_EQ(StreamTable[2].Kind, KindPedestrian);
    EXPECT_TRUE(common::IsMissingPoint(StreamTable[2].StartPoint));

    const StreamRecord& k1 = stream(QStringLiteral("K1"));
    const StreamRecord& k2 = stream(QStringLiteral("K2"));
    EXPECT_EQ(k1.SegmentCount, 2);
    EXPECT_EQ(k2.SegmentCount, 2);
    EXPECT_EQ(k1.Group, 4);
    EXPECT_EQ(k2.Group, 6);
    EXPECT_EQ(window.MaxGroupNumber, 6);
    EXPECT_EQ(k1.Phases, QStringLiteral("1,3"));
    EXPECT_EQ(k2.Description, QStringLiteral("w lewo"));
    EXPECT_DOUBLE_EQ(k1.VehicleLength, 12.5);
    EXPECT_DOUBLE_EQ(k2.VehicleLength, 10);  // the setting
    EXPECT_DOUBLE_EQ(k2.MaxAcceleration, 2.5);
    EXPECT_DOUBLE_EQ(k1.StartPoint.X, 0);
    EXPECT_DOUBLE_EQ(k2.StartPoint.X, 20);
    EXPECT_EQ(window.GridRefreshCount, 1);
    EXPECT_FALSE(StreamAttributeBlockHandle.isEmpty());

    // The shared component is the same reference in both streams.
    int inK1 = 0, inK2 = 0;
    for (int k = 1; k <= 2; ++k) {
        if (k1.Segments[size_t(k)].Handle == sharedHandle) inK1 = k;
        if (k2.Segments[size_t(k)].Handle == sharedHandle) inK2 = k;
    }
    ASSERT_GT(inK1, 0);
    ASSERT_GT(inK2, 0);
    EXPECT_EQ(k1.Segments[size_t(inK1)].Label, QStringLiteral("12^STRUMIEN_4^K1^K2"));
    EXPECT_TRUE(k1.Segments[size_t(inK1)].IsLine);

    for (int i = 0; i < 2; ++i) SortujOdcinkiStrumienia(i);
    const StreamRecord& a = stream(QStringLiteral("K1"));
    EXPECT_DOUBLE_EQ(inOrder(a, 1).EndPoint.X, 10);  // (0,0)-(10,0) first
    EXPECT_EQ(inOrder(a, 2).Handle, sharedHandle);   // then the shared one, walked from its end
    const StreamRecord& b = stream(QStringLiteral("K2"));
    EXPECT_DOUBLE_EQ(inOrder(b, 1).StartPoint.X, 20);
    EXPECT_EQ(inOrder(b, 2).Handle, sharedHandle);
}

TEST_F(StreamsDrawing, ReadingOrdersVehicleStreamsFirstAndMergesOnlyEqualNames) {
    addLine(3, QStringLiteral("^P1"), 0, 0, 1, 0);
    addLine(4, QStringLiteral("^K1"), 0, 0, 1, 0);
    addLine(5, QStringLiteral("^R2"), 0, 0, 1, 0);
    addLine(6, QStringLiteral("^T3"), 0, 0, 1, 0);
    addLine(7, QStringLiteral("^k1"), 1, 0, 2, 0);
    ASSERT_TRUE(OdczytajStrumienie(true, -1));
    QStringList names;
    for (const StreamRecord& r : StreamTable) names.append(r.Name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("K1"), QStringLiteral("T3"), QStringLiteral("k1"),
                                  QStringLiteral("P1"), QStringLiteral("R2")}));
    EXPECT_EQ(StreamTable[0].SegmentCount, 1);
    // Names only: no geometry.
    EXPECT_TRUE(StreamTable[0].Segments[1].Handle.isEmpty());

    // Nothing of another intersection, nothing at all: false, the table is kept.
    IntersectionNumber = QStringLiteral("99");
    EXPECT_FALSE(OdczytajStrumienie(true, -1));
    EXPECT_EQ(StreamTable.size(), 5u);
}

TEST_F(StreamsDrawing, ReReadingOneStreamKeepsOnlyItsVariant) {
    addLine(3, QStringLiteral("^K1"), 0, 0, 1, 0);
    addLine(4, QStringLiteral("^K1[2]"), 5, 0, 6, 0);
    addLine(5, QStringLiteral("^K1[2]^K1"), 6, 0, 7, 0);
    doc()
        .blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("12^POCZATEK_STRUMIEN_K1[2]_40"))
        .addCircle(cad::Point{0, 0, 0}, 1);
    insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1[2]_40"), StreamLayer, 5, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int i = FindStreamIndex(QStringLiteral("K1[2]"));
    ASSERT_GE(i, 0);
    EXPECT_EQ(StreamTable[size_t(i)].Variant, 2);
    EXPECT_EQ(StreamTable[size_t(i)].BaseName, QStringLiteral("K1"));
    StreamTable[size_t(i)].SegmentCount = 0;
    StreamTable[size_t(i)].StartPoint = {};
    ASSERT_TRUE(OdczytajStrumienie(false, i));
    EXPECT_EQ(StreamTable[size_t(i)].SegmentCount, 2);
    EXPECT_DOUBLE_EQ(StreamTable[size_t(i)].StartPoint.X, 5);
    EXPECT_EQ(FindStreamBlockHandle(PatternText(IntersectionNumber) + QStringLiteral("^STRUMIEN_*^"),
                                    QStringLiteral("K1[2]"), StreamLayer),
              StreamTable[size_t(i)].Segments[1].Handle);
}

// K1 and k1 are two streams: re-reading k1 reads k1's one component, whichever the drawing lists first.
TEST_F(StreamsDrawing, ReReadingOneOfTwoNamesDifferingInCaseKeepsItsOwn) {
    addLine(3, QStringLiteral("^K1"), 0, 0, 1, 0);
    addLine(4, QStringLiteral("^K1"), 1, 0, 2, 0);
    const QString own = addLine(10, QStringLiteral("^k1"), 5, 5, 6, 6);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    int lower = -1;
    for (size_t r = 0; r < StreamTable.size(); ++r)
        if (StreamTable[r].Name == QStringLiteral("k1")) lower = int(r);
    ASSERT_GE(lower, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, lower));
    const StreamRecord& k1 = StreamTable[size_t(lower)];
    EXPECT_EQ(k1.Name, QStringLiteral("k1"));
    EXPECT_EQ(k1.SegmentCount, 1);
    EXPECT_EQ(k1.Segments[1].Handle, own);
    EXPECT_EQ(StreamTable[size_t(1 - lower)].Name, QStringLiteral("K1"));
    EXPECT_EQ(StreamTable[size_t(1 - lower)].SegmentCount, 2);
}

TEST_F(StreamsDrawing, AStreamOfMoreThanAHundredComponentsIsReadUpToTheLimit) {
    for (int n = 1; n <= MaxSegments + 3; ++n) addLine(n, QStringLiteral("^K1"), n, 0, n + 1, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    EXPECT_EQ(StreamTable[0].SegmentCount, MaxSegments);
}

TEST_F(StreamsDrawing, AComponentBlockYieldsItsLastLineOrArc) {
    cad::Block two = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("12^STRUMIEN_3^K1"));
    two.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    two.addArc(cad::Point{0, 0, 0}, 2, 0, Pi);
    two.addLine(cad::Point{5, 5, 0}, cad::Point{6, 6, 0});
    two.addCircle(cad::Point{0, 0, 0}, 1);
    const SegmentRecord last =
        ReadStreamComponent(insert(QStringLiteral("12^STRUMIEN_3^K1"), StreamLayer).handle());
    EXPECT_TRUE(last.IsLine);
    EXPECT_DOUBLE_EQ(last.StartPoint.X, 5);
    EXPECT_DOUBLE_EQ(last.EndPoint.Y, 6);

    doc()
        .blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("12^STRUMIEN_4^K1"))
        .addCircle(cad::Point{0, 0, 0}, 1);
    const SegmentRecord empty =
        ReadStreamComponent(insert(QStringLiteral("12^STRUMIEN_4^K1"), StreamLayer).handle());
    EXPECT_EQ(empty.Label, QStringLiteral("12^STRUMIEN_4^K1"));
    EXPECT_FALSE(empty.IsLine);
    EXPECT_DOUBLE_EQ(empty.Radius, 0);
    EXPECT_DOUBLE_EQ(empty.EndPoint.X, 0);
}

TEST_F(StreamsDrawing, ComponentNumbersAreUniqueByTheirPrefix) {
    const int count = doc().blocks().count();
    const QString prefix = QStringLiteral("12^STRUMIEN_");
    const QString first = MakeUniqueStreamBlockName(prefix, QStringLiteral("^K1"));
    EXPECT_EQ(first, prefix + QString::number(count + 1) + QStringLiteral("^K1"));
    // A block of that number listing other streams takes the number, whatever its suffix.
    doc().blocks().add(cad::Point{0, 0, 0}, prefix + QString::number(count + 2) + QStringLiteral("^K7"));
    doc().blocks().add(cad::Point{0, 0, 0}, prefix + QString::number(count + 4));
    const int now = doc().blocks().count();  // two more blocks
    const QString next = MakeUniqueStreamBlockName(prefix, QStringLiteral("^K2"));
    EXPECT_EQ(now, count + 2);
    EXPECT_EQ(next, prefix + QString::number(count + 3) + QStringLiteral("^K2"));
    doc().blocks().add(cad::Point{0, 0, 0}, next);
    EXPECT_EQ(MakeUniqueStreamBlockName(prefix, QStringLiteral("^K2")),
              prefix + QString::number(count + 5) + QStringLiteral("^K2"));
}

TEST_F(StreamsDrawing, ComponentNumbersStayUniqueWhileOtherProgramsAddAndRemoveBlocks) {
    // Another program on the same drawing, through a channel of its own.
    cad::LoopbackChannel channel(cad_->model());
    const cad::Blocks theirs = cad::Application(&channel).activeDocument().blocks();
    const QString prefix = QStringLiteral("12^STRUMIEN_");
    auto numberOf = [&](const QString& name) -> qint64 {
        if (!name.startsWith(prefix, Qt::CaseInsensitive)) return -1;
        bool ok = false;
        const qint64 n = name.mid(prefix.size()).section(QLatin1Char('^'), 0, 0).toLongLong(&ok);
        return ok ? n : -1;
    };
    QSet<qint64> given;
    QStringList ours;
    for (int i = 0; i < 240; ++i) {
        const QString name = MakeUniqueStreamBlockName(prefix, QStringLiteral("^K1"));
        const qint64 n = numberOf(name);
        ASSERT_FALSE(given.contains(n)) << name.toStdString();
        for (const cad::Block& b : doc().blocks().all())
            ASSERT_NE(numberOf(b.name()), n) << b.name().toStdString();
        given.insert(n);
        doc().blocks().add(cad::Point{0, 0, 0}, name);
        ours.append(name);
        if (i % 10 == 9)  // a start marker of the caller's own
            doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("12^POCZATEK_STRUMIEN_K1_%1").arg(i));
        const int count = theirs.count();
        if (i % 7 == 3)  // the other program takes the numbers the next name would start from
            for (int k = 1; k <= 2; ++k)
                theirs.add(cad::Point{0, 0, 0}, prefix + QString::number(count + k) + QStringLiteral("^K9"));
        if (i % 11 == 5) {
            // It deletes one of ours and adds one block, so the count stays as it was.
            theirs.item(ours.takeFirst()).erase();
            theirs.add(cad::Point{0, 0, 0}, prefix + QString::number(count + 1) + QStringLiteral("^K8"));
        }
        if (i % 37 == 20) {
            // Many blocks deleted at once: the numbers are read again from the whole table.
            for (int k = 0; k < 20 && ours.size() > 1; ++k) theirs.item(ours.takeFirst()).erase();
            theirs.add(cad::Point{0, 0, 0}, prefix + QString::number(count - 5) + QStringLiteral("^K7"));
        }
    }
    EXPECT_EQ(given.size(), 240);
}

TEST_F(StreamsDrawing, WrittenComponentsReadBackAsWritten) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("S2"))};
    SegmentRecord line;
    line.IsLine = true;
    line.StartPoint = {1, 2};
    line.EndPoint = {11, 2};
    ASSERT_TRUE(WriteStreamComponent(line, 0, {}));
    EXPECT_TRUE(line.Label.startsWith(QStringLiteral("12^STRUMIEN_")));
    EXPECT_TRUE(line.Label.endsWith(QStringLiteral("^K1")));
    SegmentRecord arc;
    arc.Center = {0, 0};
    arc.Radius = 5;
    arc.StartAngle = 0;
    arc.EndAngle = Pi / 2;
    ASSERT_TRUE(WriteStreamComponent(arc, 1, {QStringLiteral("S2"), QStringLiteral("K1")}));
    EXPECT_TRUE(arc.Label.endsWith(QStringLiteral("^S2^K1")));

    const cad::Entity lineRef = doc().handleToObject(line.Handle);
    EXPECT_EQ(lineRef.layer(), StreamLayer);
    EXPECT_EQ(lineRef.name(), line.Label);
    const cad::Entity inside = doc().blocks().item(line.Label).item(0);
    EXPECT_EQ(inside.color(), 0);
    EXPECT_EQ(inside.linetype().toUpper(), QStringLiteral("BYBLOCK"));
    EXPECT_EQ(doc().handleToObject(arc.Handle).linetype().toUpper(), QStringLiteral("ACAD_ISO03W100"));

    const SegmentRecord back = ReadStreamComponent(arc.Handle);
    EXPECT_FALSE(back.IsLine);
    EXPECT_EQ(back.Label, arc.Label);
    EXPECT_NEAR(back.Radius, 5, 1e-9);
    EXPECT_NEAR(back.EndAngle, Pi / 2, 1e-9);
    EXPECT_NEAR(back.EndPoint.Y, 5, 1e-9);
    const SegmentRecord lineBack = ReadStreamComponent(line.Handle);
    EXPECT_TRUE(lineBack.IsLine);
    EXPECT_DOUBLE_EQ(lineBack.EndPoint.X, 11);

    // While the highlighted streams are cut, new references get the selection pen.
    window.CuttingSelectedStreams = true;
    SegmentRecord third = line;
    WriteStreamComponent(third, 0, {});
    EXPECT_EQ(doc().handleToObject(third.Handle).color(), 3);
    EXPECT_NE(third.Label, line.Label);
}

TEST_F(StreamsDrawing, SplittingASharedComponentUpdatesEveryStreamThatUsesIt) {
    addLine(3, QStringLiteral("^K1"), -10, 0, 0, 0);
    sharedHandle = addLine(4, QStringLiteral("^K1^K2"), 0, 0, 10, 0);
    addLine(5, QStringLiteral("^K2"), 10, 0, 10, 10);
    addLine(6, QStringLiteral("^P1"), 4, -5, 4, 5);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int i1 = FindStreamIndex(QStringLiteral("K1"));
    const int i2 = FindStreamIndex(QStringLiteral("K2"));
    int k = 0;
    for (int s = 1; s <= StreamTable[size_t(i1)].SegmentCount; ++s)
        if (StreamTable[size_t(i1)].Segments[size_t(s)].Handle == sharedHandle) k = s;
    ASSERT_GT(k, 0);

    // A point at an end does nothing.
    SplitStreamSegmentAtPoint(i1, k, {0.005, 0}, StreamTable[size_t(i1)].Segments[size_t(k)].Label);
    EXPECT_EQ(StreamTable[size_t(i1)].SegmentCount, 2);

    SplitStreamSegmentAtPoint(i1, k, {4, 0}, StreamTable[size_t(i1)].Segments[size_t(k)].Label);
    const StreamRecord& a = StreamTable[size_t(i1)];
    const StreamRecord& b = StreamTable[size_t(i2)];
    ASSERT_EQ(a.SegmentCount, 3);
    ASSERT_EQ(b.SegmentCount, 3);
    EXPECT_DOUBLE_EQ(a.Segments[size_t(k)].EndPoint.X, 4);
    EXPECT_DOUBLE_EQ(a.Segments[size_t(k)].Bounds2.X, 4);
    const SegmentRecord& piece = a.Segments[3];
    EXPECT_DOUBLE_EQ(piece.StartPoint.X, 4);
    EXPECT_DOUBLE_EQ(piece.EndPoint.X, 10);
    EXPECT_TRUE(piece.Label.endsWith(QStringLiteral("^K1^K2")));
    EXPECT_EQ(b.Segments[3].Handle, piece.Handle);

    // The drawing agrees: read again, both streams hold the two pieces.
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    for (const QString& name : {QStringLiteral("K1"), QStringLiteral("K2")}) {
        const StreamRecord& r = StreamTable[size_t(FindStreamIndex(name))];
        EXPECT_EQ(r.SegmentCount, 3) << name.toStdString();
        int ending = 0, starting = 0;
        for (int s = 1; s <= r.SegmentCount; ++s) {
            if (common::ArePointsEqual(r.Segments[size_t(s)].EndPoint, {4, 0})) ++ending;
            if (common::ArePointsEqual(r.Segments[size_t(s)].StartPoint, {4, 0})) ++starting;
        }
        EXPECT_EQ(ending, 1);
        EXPECT_EQ(starting, 1);
    }

    // A pedestrian stream is never split.
    const int p = FindStreamIndex(QStringLiteral("P1"));
    SplitStreamSegmentAtPoint(p, 1, {4, 0}, StreamTable[size_t(p)].Segments[1].Label);
    EXPECT_EQ(StreamTable[size_t(p)].SegmentCount, 1);
}

TEST_F(StreamsDrawing, ASharedSplitNeverWritesPastAFullStream) {
    sharedHandle = addLine(1, QStringLiteral("^K1^K2"), 0, 0, 10, 0);
    for (int n = 2; n <= MaxSegments; ++n) addLine(n, QStringLiteral("^K2"), 10 * n - 10, 0, 10 * n, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int i1 = FindStreamIndex(QStringLiteral("K1"));
    const int i2 = FindStreamIndex(QStringLiteral("K2"));
    ASSERT_EQ(StreamTable[size_t(i2)].SegmentCount, MaxSegments);
    SplitStreamSegmentAtPoint(i1, 1, {4, 0}, StreamTable[size_t(i1)].Segments[1].Label);
    EXPECT_EQ(StreamTable[size_t(i1)].SegmentCount, 2);
    EXPECT_EQ(StreamTable[size_t(i2)].SegmentCount, MaxSegments);
    EXPECT_DOUBLE_EQ(StreamTable[size_t(i2)].Segments[1].EndPoint.X, 4);  // shortened in place
    // The full stream itself is not split: it has no room for the second piece.
    SplitStreamSegmentAtPoint(i2, 5, {45, 0}, StreamTable[size_t(i2)].Segments[5].Label);
    EXPECT_EQ(StreamTable[size_t(i2)].SegmentCount, MaxSegments);
    EXPECT_DOUBLE_EQ(StreamTable[size_t(i2)].Segments[5].EndPoint.X, 50);
}

TEST_F(StreamsDrawing, SplittingAnArcShortensItsDefinitionAtTheAngleOfThePoint) {
    addArc(3, QStringLiteral("^K1"), 0, 0, 10, 0, Pi);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const PlanePoint top{0, 10};
    SplitStreamSegmentAtPoint(0, 1, top, StreamTable[0].Segments[1].Label);
    ASSERT_EQ(StreamTable[0].SegmentCount, 2);
    EXPECT_NEAR(StreamTable[0].Segments[1].EndAngle, Pi / 2, 1e-9);
    EXPECT_NEAR(StreamTable[0].Segments[2].StartAngle, Pi / 2, 1e-9);
    EXPECT_NEAR(StreamTable[0].Segments[2].EndAngle, Pi, 1e-9);
    const SegmentRecord shortened = ReadStreamComponent(StreamTable[0].Segments[1].Handle);
    EXPECT_NEAR(shortened.EndAngle, Pi / 2, 1e-9);
    EXPECT_NEAR(shortened.EndPoint.Y, 10, 1e-9);
}

TEST_F(StreamsDrawing, SplittingAnArcThroughAngleZeroKeepsBothPiecesAndTheirBounds) {
    addArc(3, QStringLiteral("^K1"), 0, 0, 10, 3 * Pi / 2, Pi / 2);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    SplitStreamSegmentAtPoint(0, 1, {10, 0}, StreamTable[0].Segments[1].Label);
    ASSERT_EQ(StreamTable[0].SegmentCount, 2);
    const SegmentRecord& before = StreamTable[0].Segments[1];
    const SegmentRecord& after = StreamTable[0].Segments[2];
    EXPECT_NEAR(before.EndAngle, 0, 1e-9);
    EXPECT_NEAR(after.StartAngle, 0, 1e-9);
    EXPECT_NEAR(after.EndAngle, Pi / 2, 1e-9);
    // The lower quarter reaches down to -10, the upper one up to +10; both touch x = 10.
    EXPECT_NEAR(before.Bounds1.Y, -10, 1e-9);
    EXPECT_NEAR(before.Bounds2.X, 10, 1e-9);
    EXPECT_NEAR(before.Bounds2.Y, 0, 1e-9);
    EXPECT_NEAR(after.Bounds1.Y, 0, 1e-9);
    EXPECT_NEAR(after.Bounds2.Y, 10, 1e-9);

    // Read again from the drawing: two quarter arcs meeting at (10, 0).
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable[0].SegmentCount, 2);
    int meeting = 0;
    for (int k = 1; k <= 2; ++k) {
        const SegmentRecord& s = StreamTable[0].Segments[size_t(k)];
        if (common::ArePointsEqual(s.StartPoint, {10, 0}) || common::ArePointsEqual(s.EndPoint, {10, 0}))
            ++meeting;
    }
    EXPECT_EQ(meeting, 2);
}

TEST_F(StreamsDrawing, HighlightingColoursTheComponentsAndTheMarkersOfAVehicleStream) {
    twoStreamsSharingAComponent();
    const QString p1 = addLine(9, QStringLiteral("^P1"), 0, 5, 5, 5);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("K2")), 3, false);
    for (const cad::Entity& e : references(QStringLiteral("12^STRUMIEN_*")))
        EXPECT_EQ(e.color(), e.name().contains(QStringLiteral("K2")) ? 3 : 256) << e.name().toStdString();
    EXPECT_EQ(references(QStringLiteral("12^POCZATEK_STRUMIEN_K2_*")).value(0).color(), 3);
    EXPECT_EQ(references(QStringLiteral("12^POCZATEK_STRUMIEN_K1_*")).value(0).color(), 256);
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("K2")), 256, true);
    for (const cad::Entity& e : references(QStringLiteral("12^*"))) EXPECT_EQ(e.color(), 256);
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("P1")), 3, false);
    EXPECT_EQ(doc().handleToObject(p1).color(), 3);
}

TEST_F(StreamsDrawing, TheAttributeBlockIsReadAndWrittenBack) {
    cad::Entity ref = addAttributeBlock(QStringLiteral("12"),
                                        {{QStringLiteral("GRUPY"), QStringLiteral("K1:2^")},
                                         {QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K1:3.00^")}});
    addAttributeBlock(QStringLiteral("7"), {{QStringLiteral("GRUPY"), QStringLiteral("K1:9^")}});
    ReadIntersectionAttributeBlock();
    EXPECT_EQ(StreamAttributeBlockHandle, ref.handle());
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QStringLiteral("2"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K1")),
              QStringLiteral("3.00"));
    ASSERT_TRUE(SetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K2"),
                                   QStringLiteral("1.50"), true));
    EXPECT_EQ(attribute(ref, QStringLiteral("MAKS_PRZYSP")), QStringLiteral("K1:3.00^K2:1.50^"));
    EXPECT_EQ(attribute(ref, QStringLiteral("GRUPY")), QStringLiteral("K1:2^"));

    // Two references of one intersection's block: nothing is taken as the block.
    addAttributeBlock(QStringLiteral("12"));
    ReadIntersectionAttributeBlock();
    EXPECT_TRUE(StreamAttributeBlockHandle.isEmpty());
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")),
              QStringLiteral("2"));  // kept
    EXPECT_EQ(doc().selectionSets().count(), 0);
}

}  // namespace
}  // namespace conflictor::test
