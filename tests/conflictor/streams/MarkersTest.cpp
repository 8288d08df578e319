// The five marker kinds (geometry, scale, layer, attributes), the start point command with its swap,
// the end marker, and the linetype of components shared by a conditional stream.
#include "StreamsFixture.h"

#include "conflictor/streams/ComponentPicking.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"

#include <numbers>

namespace conflictor::test {
namespace {

constexpr double Pi = std::numbers::pi;

class StreamsMarkers : public StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        EnsureStreamLayers();
        automation::DrawingScale = 500;
    }
    // The only reference whose name matches the pattern.
    cad::Entity only(const QString& pattern) {
        const QList<cad::Entity> found = references(pattern);
        EXPECT_EQ(found.size(), 1) << pattern.toStdString();
        return found.value(0);
    }
    QList<cad::Entity> contents(const cad::Entity& ref) { return doc().blocks().item(ref.name()).entities(); }
    static void expectLine(const cad::Entity& e, double x1, double y1, double x2, double y2) {
        ASSERT_EQ(e.objectName(), QStringLiteral("AcDbLine"));
        EXPECT_NEAR(e.startPoint().x, x1, 1e-9);
        EXPECT_NEAR(e.startPoint().y, y1, 1e-9);
        EXPECT_NEAR(e.endPoint().x, x2, 1e-9);
        EXPECT_NEAR(e.endPoint().y, y2, 1e-9);
    }
};

TEST_F(StreamsMarkers, StartMarkerIsACircleScaledByDrawingScaleAndCoefficient) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("S2"))};
    InsertMarkerBlock({100, 200}, QStringLiteral("0"), QStringLiteral("K1"), QString(), QString());
    const cad::Entity ref = only(QStringLiteral("12^POCZATEK_STRUMIEN_K1_*"));
    EXPECT_EQ(ref.layer(), StreamLayer);
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 0.5);
    EXPECT_DOUBLE_EQ(ref.insertionPoint().x, 100);
    EXPECT_DOUBLE_EQ(ref.insertionPoint().y, 200);
    const QList<cad::Entity> circle = contents(ref);
    ASSERT_EQ(circle.size(), 1);
    EXPECT_EQ(circle[0].objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_DOUBLE_EQ(circle[0].radius(), 375);  // 187.5 drawing units at 1:500
    EXPECT_EQ(circle[0].color(), 0);

    // A coefficient written with a decimal comma; one of 0 or below counts as 1.
    common::SettingBindings[4].Value = QStringLiteral("1,5");
    InsertMarkerBlock({0, 0}, QStringLiteral("0"), QStringLiteral("K7"), QString(), QString());
    EXPECT_DOUBLE_EQ(only(QStringLiteral("12^POCZATEK_STRUMIEN_K7_*")).xScaleFactor(), 0.75);
    for (const char* c : {"0", "-2", ""}) {
        common::SettingBindings[4].Value = QString::fromLatin1(c);
        EXPECT_DOUBLE_EQ(MarkerSizeCoefficient(QStringLiteral("0")), 1);
    }

    // A conditional stream's start carries the bar across MarkerDirection.
    window.MarkerDirection = Pi / 2;
    InsertMarkerBlock({0, 0}, QStringLiteral("0"), QStringLiteral("S2"), QString(), QString());
    const QList<cad::Entity> s = contents(only(QStringLiteral("12^POCZATEK_STRUMIEN_S2_*")));
    ASSERT_EQ(s.size(), 2);
    expectLine(s[1], -1250, 1000, 1250, 1000);
    EXPECT_EQ(s[1].color(), 0);
}

TEST_F(StreamsMarkers, EndMarkerIsAnArrowAlongMarkerDirection) {
    StreamTable = {Stream(QStringLiteral("K1"))};
    window.MarkerDirection = 0;
    common::SettingBindings[5].Value = QStringLiteral("2");
    InsertMarkerBlock({50, 60}, QStringLiteral("5"), QStringLiteral("K1"), QString(), QString());
    const cad::Entity ref = only(QStringLiteral("12^KONIEC_STRUMIEN_K1_*"));
    EXPECT_EQ(ref.layer(), StreamLayer);
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 1.0);
    const QList<cad::Entity> arrow = contents(ref);
    ASSERT_EQ(arrow.size(), 3);
    expectLine(arrow[0], -500, 187.5, -500, -187.5);
    expectLine(arrow[1], -500, 187.5, 0, 0);
    expectLine(arrow[2], -500, -187.5, 0, 0);
    for (const cad::Entity& e : arrow) EXPECT_EQ(e.color(), 0);
}

TEST_F(StreamsMarkers, ConflictPointMarkersCarryTheirStreamsOnTheConflictLayer) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2")), Stream(QStringLiteral("P1"))};
    common::SettingBindings[6].Value = QStringLiteral("0.8");
    InsertMarkerBlock({1, 1}, QStringLiteral("3"), QStringLiteral("K1"), QStringLiteral("K2"), QString());
    const cad::Entity cross = only(QStringLiteral("12^POJPOJ_STRUMIEN_*"));
    EXPECT_EQ(cross.layer(), QStringLiteral("114-PUNKTY_KOLIZJI"));
    EXPECT_DOUBLE_EQ(cross.xScaleFactor(), 0.4);
    EXPECT_EQ(attribute(cross, QStringLiteral("POJPOJ_STRUMIEN1")), QStringLiteral("^K1"));
    EXPECT_EQ(attribute(cross, QStringLiteral("POJPOJ_STRUMIEN2")), QStringLiteral("^K2"));
    QList<cad::Entity> lines;
    for (const cad::Entity& e : contents(cross))
        if (e.objectName() == QLatin1String("AcDbLine")) lines.append(e);
    ASSERT_EQ(lines.size(), 4);
    expectLine(lines[0], -250, 0, 250, 0);
    expectLine(lines[1], 0, -250, 0, 250);
    expectLine(lines[2], -177.5, -177.5, 177.5, 177.5);
    expectLine(lines[3], -177.5, 177.5, 177.5, -177.5);

    // Vehicle against pedestrian, first kind, without second stream: only the first attribute.
    InsertMarkerBlock({2, 2}, QStringLiteral("1"), QStringLiteral("K1"), QString(), QStringLiteral("P1"));
    const cad::Entity first = only(QStringLiteral("12^POJPIESZ_STRUMIEN_*"));
    EXPECT_DOUBLE_EQ(first.xScaleFactor(), 0.5);
    const QList<cad::Entity> attributes = first.attributes();
    ASSERT_EQ(attributes.size(), 1);
    EXPECT_EQ(attributes[0].tagString(), QStringLiteral("POJPIESZ_STRUMIEN1"));
    QStringList kinds;
    for (const cad::Entity& e : contents(first)) kinds.append(e.objectName());
    EXPECT_TRUE(kinds.contains(QStringLiteral("AcDbCircle")));
    EXPECT_TRUE(kinds.contains(QStringLiteral("AcDbHatch")));
    for (const cad::Entity& e : contents(first))
        if (e.objectName() == QLatin1String("AcDbCircle")) {
            EXPECT_DOUBLE_EQ(e.radius(), 150);
            EXPECT_EQ(e.color(), 256);
        }

    // Second kind: the outer circle, the filled one and all three attributes.
    InsertMarkerBlock({3, 3}, QStringLiteral("2"), QStringLiteral("P1"), QStringLiteral("K2"),
                      QStringLiteral("P1"));
    const cad::Entity second = only(QStringLiteral("12^PIESZPOJ_STRUMIEN_*"));
    QList<double> radii;
    for (const cad::Entity& e : contents(second))
        if (e.objectName() == QLatin1String("AcDbCircle")) radii.append(e.radius());
    EXPECT_EQ(radii, (QList<double>{250, 150}));
    EXPECT_EQ(attribute(second, QStringLiteral("PIESZPOJ_STRUMIEN1")), QStringLiteral("^P1"));
    EXPECT_EQ(attribute(second, QStringLiteral("PIESZPOJ_STRUMIEN2")), QStringLiteral("^K2"));
    EXPECT_EQ(attribute(second, QStringLiteral("SKOJARZONY_PIESZY")), QStringLiteral("P1"));

    // Each marker has a block of its own.
    InsertMarkerBlock({4, 4}, QStringLiteral("3"), QStringLiteral("K2"), QStringLiteral("K1"), QString());
    const QStringList names = referenceNames(QStringLiteral("12^POJPOJ_STRUMIEN_*"));
    ASSERT_EQ(names.size(), 2);
    EXPECT_NE(names[0], names[1]);
}

class StreamsStartPoint : public StreamsMarkers {
protected:
    // K1: (0,0)-(10,0) and (10,0)-(10,10); S2: the same shape at y = 100.
    void SetUp() override {
        StreamsMarkers::SetUp();
        automation::DrawingScale = 1000;
        addLine(3, QStringLiteral("^K1"), 0, 0, 10, 0);
        addLine(4, QStringLiteral("^K1"), 10, 0, 10, 10);
        addLine(5, QStringLiteral("^P1"), 0, 50, 10, 50);
        ASSERT_TRUE(OdczytajStrumienie(false, -1));
        window.GridStreamName = QStringLiteral("K1");
    }
    PlanePoint at(const QString& pattern) {
        const cad::Point p = only(pattern).insertionPoint();
        return {p.x, p.y};
    }
    PlanePoint start() { return at(QStringLiteral("12^POCZATEK_STRUMIEN_K1_*")); }
    void DeleteStart() {
        for (const cad::Entity& e : references(QStringLiteral("12^POCZATEK_STRUMIEN_K1_*")))
            automation::DeleteEntity(e);
    }
    PlanePoint end() { return at(QStringLiteral("12^KONIEC_STRUMIEN_K1_*")); }
};

TEST_F(StreamsStartPoint, SetAndSwapPlaceTheMarkersAtTheFreeEnds) {
    SetStartPoint(false);
    const PlanePoint a = start();
    const PlanePoint b = end();
    EXPECT_TRUE(common::ArePointsEqual(a, {0, 0}) || common::ArePointsEqual(a, {10, 10}));
    EXPECT_TRUE(common::ArePointsEqual(b, {0, 0}) || common::ArePointsEqual(b, {10, 10}));
    EXPECT_FALSE(common::ArePointsEqual(a, b));

    SetStartPoint(false);  // again: both stay
    EXPECT_TRUE(common::ArePointsEqual(start(), a));
    EXPECT_TRUE(common::ArePointsEqual(end(), b));

    SetStartPoint(true);  // swap
    EXPECT_TRUE(common::ArePointsEqual(start(), b));
    EXPECT_TRUE(common::ArePointsEqual(end(), a));
    SetStartPoint(true);
    EXPECT_TRUE(common::ArePointsEqual(start(), a));
    EXPECT_TRUE(common::ArePointsEqual(end(), b));
    EXPECT_EQ(references(QStringLiteral("12^*STRUMIEN_K1_*")).size(), 2);
    EXPECT_TRUE(prompts.asked().empty());
}

// A piece attached at the far end moves the end arrow there; kept where it already stands.
TEST_F(StreamsStartPoint, AnAttachedPieceTakesTheEndArrowToTheNewEnd) {
    SetStartPoint(false);
    if (!common::ArePointsEqual(start(), {0, 0})) SetStartPoint(true);
    ASSERT_TRUE(common::ArePointsEqual(end(), {10, 10}));
    addLine(6, QStringLiteral("^K1"), 10, 10, 10, 20);
    const int k1 = FindStreamIndex(QStringLiteral("K1"));
    ASSERT_TRUE(OdczytajStrumienie(false, k1));
    KeepEndMarkerAtTheEnd(k1);
    EXPECT_TRUE(common::ArePointsEqual(end(), {10, 20}));
    const QString handle = only(QStringLiteral("12^KONIEC_STRUMIEN_K1_*")).handle();
    ASSERT_TRUE(OdczytajStrumienie(false, k1));
    KeepEndMarkerAtTheEnd(k1);
    EXPECT_EQ(only(QStringLiteral("12^KONIEC_STRUMIEN_K1_*")).handle(), handle);
}

// Attaching a line at the end by picking takes the end arrow to it; detaching that piece brings it back.
TEST_F(StreamsStartPoint, AttachAndDetachByPickingKeepTheEndArrowAtTheEnd) {
    SetStartPoint(false);
    if (!common::ArePointsEqual(start(), {0, 0})) SetStartPoint(true);
    const cad::Entity line = modelSpace().addLine(cad::Point{10, 10, 0}, cad::Point{10, 20, 0});
    picks.entity(line.handle()).cancel();
    mnuEdycja_DolaczSkladnik();
    EXPECT_TRUE(common::ArePointsEqual(end(), {10, 20}));
    const int k1 = FindStreamIndex(QStringLiteral("K1"));
    ASSERT_GE(k1, 0);
    ASSERT_EQ(StreamTable[size_t(k1)].SegmentCount, 3);
    QString added;
    for (const cad::Entity& ref : references(QStringLiteral("12^STRUMIEN_*^K1")))
        if (std::abs(ref.boundingBox().second.y - 20) < 1e-9) added = ref.handle();
    ASSERT_FALSE(added.isEmpty());
    picks.entity(added).cancel();
    mnuEdycja_WylaczSkladnik();
    EXPECT_EQ(StreamTable[size_t(k1)].SegmentCount, 2);
    EXPECT_TRUE(common::ArePointsEqual(end(), {10, 10}));
    EXPECT_TRUE(common::ArePointsEqual(start(), {0, 0}));
}

// Reading one stream names a piece of it the reading passes over, and leaves the other streams alone.
TEST_F(StreamsStartPoint, OneStreamReadAloneIsToldOfItsPieceOnAnotherLayer) {
    const QString name = QStringLiteral("12^STRUMIEN_6^K1");
    doc().blocks().add(cad::Point{0, 0, 0}, name).addLine(cad::Point{10, 10, 0}, cad::Point{10, 20, 0});
    insert(name, QStringLiteral("0"));
    const int k1 = FindStreamIndex(QStringLiteral("K1"));
    const int p1 = FindStreamIndex(QStringLiteral("P1"));
    ASSERT_TRUE(OdczytajStrumienie(false, p1));
    EXPECT_TRUE(StreamTable[size_t(p1)].ReferenceFault.isEmpty());
    EXPECT_TRUE(StreamTable[size_t(k1)].ReferenceFault.isEmpty());  // not read yet
    ASSERT_TRUE(OdczytajStrumienie(false, k1));
    EXPECT_TRUE(StreamTable[size_t(k1)].ReferenceFault.contains(QStringLiteral("leży na warstwie \"0\"")))
        << StreamTable[size_t(k1)].ReferenceFault.toStdString();
    EXPECT_TRUE(StreamTable[size_t(p1)].ReferenceFault.isEmpty());
}

TEST_F(StreamsStartPoint, TheEndArrowPointsOutOfTheStreamAlongItsLastComponent) {
    // An old start marker at (10,10) makes that end the start; the end arrow at (0,0) then points
    // along the first line walked backwards: towards -X.
    doc()
        .blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("12^POCZATEK_STRUMIEN_K1_77"))
        .addCircle(cad::Point{0, 0, 0}, 1);
    insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1_77"), StreamLayer, 10, 10);
    SetStartPoint(false);
    EXPECT_TRUE(common::ArePointsEqual(start(), {10, 10}));
    EXPECT_TRUE(common::ArePointsEqual(end(), {0, 0}));
    EXPECT_NEAR(window.MarkerDirection, Pi, 1e-9);
    const QList<cad::Entity> arrow = contents(only(QStringLiteral("12^KONIEC_STRUMIEN_K1_*")));
    ASSERT_EQ(arrow.size(), 3);
    EXPECT_NEAR(arrow[0].startPoint().x, 500, 1e-9);  // the base lies behind the tip, at +X

    // An old start marker half-way between the ends counts as standing at the second end.
    DeleteStart();
    doc()
        .blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("12^POCZATEK_STRUMIEN_K1_78"))
        .addCircle(cad::Point{0, 0, 0}, 1);
    insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1_78"), StreamLayer, 5, 5);
    int f = 0, s = 0;
    const common::PlanePointPair ends =
        GetStreamEndPoints(FindStreamIndex(QStringLiteral("K1")), false, f, s);
    SetStartPoint(false);
    EXPECT_TRUE(common::ArePointsEqual(start(), ends.Second));
}

// The markers are drawn at the drawing's scale: a "SKALA" the drawing does not hold as a whole number
// is said, and neither marker is drawn (nor an old one taken away).
TEST_F(StreamsStartPoint, AnUnreadableScaleIsSaidAndNoMarkerIsDrawn) {
    doc()
        .blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("12^POCZATEK_STRUMIEN_K1_77"))
        .addCircle(cad::Point{0, 0, 0}, 1);
    insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1_77"), StreamLayer, 10, 10);
    for (const QString& skala : {QStringLiteral("-500"), QStringLiteral("2,5")}) {
        automation::SetDrawingProperty(QStringLiteral("SKALA"), skala);
        prompts.clear();
        prompts.answerMessage(ui::Ok);
        const int before = modelSpace().count();
        SetStartPoint(false);
        ASSERT_EQ(prompts.messageTexts().size(), 1) << skala.toStdString();
        const QString said = prompts.messageTexts().first();
        EXPECT_TRUE(said.contains(QStringLiteral(" ma wartość SKALA \"%1\", która nie jest liczbą całkowitą od 1 "
                                                 "do 32767.").arg(skala)))
            << said.toStdString();
        EXPECT_TRUE(said.endsWith(QStringLiteral("Popraw ją w ustawieniach programu."))) << said.toStdString();
        EXPECT_EQ(modelSpace().count(), before);
        EXPECT_TRUE(references(QStringLiteral("12^KONIEC_STRUMIEN_K1_*")).isEmpty());
        EXPECT_EQ(referenceNames(QStringLiteral("12^POCZATEK_STRUMIEN_K1_*")),
                  QStringList{QStringLiteral("12^POCZATEK_STRUMIEN_K1_77")});
    }
}

TEST_F(StreamsStartPoint, PedestrianAndUnknownStreamsGetNoMarkers) {
    window.GridStreamName = QStringLiteral("P1");
    SetStartPoint(false);
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_EQ(prompts.messageTexts()[0],
              QStringLiteral("Na strumieniu pieszym i rowerowym nie wyznacza się punktu początkowego."));
    EXPECT_EQ(prompts.asked()[0].flags, ui::Information);
    EXPECT_EQ(prompts.asked()[0].title, window.Caption);

    // A stream missing from the table is not added to it.
    const size_t before = StreamTable.size();
    window.GridStreamName = QStringLiteral("K9");
    SetStartPoint(false);
    EXPECT_EQ(StreamTable.size(), before);
    EXPECT_EQ(FindStreamIndex(QStringLiteral("K9")), -1);
    EXPECT_TRUE(references(QStringLiteral("12^*STRUMIEN_*_*")).isEmpty());
    // The CAD's variables are back as they were.
    EXPECT_FALSE(automation::SavedCadVariables.pending);
}

TEST_F(StreamsStartPoint, AVariantStreamKeepsOneStartAndOneEndMarker) {
    // "[" of the variant must not make the old markers unfindable: each command replaces them.
    addLine(6, QStringLiteral("^K1[2]"), 0, 30, 10, 30);
    addLine(7, QStringLiteral("^K1[2]"), 10, 30, 10, 40);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    window.GridStreamName = QStringLiteral("K1[2]");
    SetStartPoint(false);
    SetStartPoint(false);
    SetStartPoint(true);
    EXPECT_EQ(referenceNames(QStringLiteral("12^POCZATEK_STRUMIEN_*")).size(), 1);
    EXPECT_EQ(referenceNames(QStringLiteral("12^KONIEC_STRUMIEN_*")).size(), 1);
    const cad::Point marker = references(QStringLiteral("12^POCZATEK_STRUMIEN_*")).value(0).insertionPoint();

    // Read back for all streams and for the variant alone; K1 itself has no start marker.
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int i = FindStreamIndex(QStringLiteral("K1[2]"));
    ASSERT_GE(i, 0);
    EXPECT_TRUE(common::ArePointsEqual(StreamTable[size_t(i)].StartPoint, {marker.x, marker.y}));
    EXPECT_TRUE(
        common::IsMissingPoint(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))].StartPoint));
    StreamTable[size_t(i)].StartPoint = {};
    ASSERT_TRUE(OdczytajStrumienie(false, i));
    EXPECT_TRUE(common::ArePointsEqual(StreamTable[size_t(i)].StartPoint, {marker.x, marker.y}));

    // Highlighting the variant colours its markers and leaves K1's components alone.
    ZaznaczStrumien(i, 3, false);
    EXPECT_EQ(references(QStringLiteral("12^POCZATEK_STRUMIEN_*")).value(0).color(), 3);
    EXPECT_EQ(references(QStringLiteral("12^KONIEC_STRUMIEN_*")).value(0).color(), 3);
    EXPECT_EQ(references(QStringLiteral("12^STRUMIEN_3^K1")).value(0).color(), 256);
}

TEST_F(StreamsStartPoint, ConditionalStartBarLiesAlongTheOutwardDirection) {
    addLine(6, QStringLiteral("^S2"), 0, 100, 10, 100);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    window.GridStreamName = QStringLiteral("S2");
    SetStartPoint(false);
    const cad::Entity ref = only(QStringLiteral("12^POCZATEK_STRUMIEN_S2_*"));
    const QList<cad::Entity> s = contents(ref);
    ASSERT_EQ(s.size(), 2);
    // The bar stands 1000 units out of the stream, across it.
    const double midX = (s[1].startPoint().x + s[1].endPoint().x) / 2;
    if (common::ArePointsEqual({ref.insertionPoint().x, ref.insertionPoint().y}, {10, 100}))
        EXPECT_NEAR(midX, 1000, 1e-6);
    else
        EXPECT_NEAR(midX, -1000, 1e-6);
    EXPECT_NEAR(s[1].startPoint().x, s[1].endPoint().x, 1e-6);
}

// A marker whose block the drawing refuses (its name past 255 characters) is left out whole: nothing
// is drawn into the missing block and no reference names it.
TEST_F(StreamsMarkers, AMarkerWhoseBlockIsRefusedIsLeftOut) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2")), Stream(QStringLiteral("P1"))};
    const QString number = IntersectionNumber;
    IntersectionNumber = QString(240, QLatin1Char('7'));
    const int blocks = doc().blocks().count();
    const int entities = int(doc().modelSpace().entities().size());
    for (const char* kind : {"1", "2", "3"})
        InsertMarkerBlock({1, 1}, QString::fromLatin1(kind), QStringLiteral("K1"), QStringLiteral("K2"),
                          QStringLiteral("P1"));
    IntersectionNumber = number;
    EXPECT_EQ(doc().blocks().count(), blocks);
    EXPECT_EQ(int(doc().modelSpace().entities().size()), entities);
    // Each is said, named, with the drawing's reason.
    const QStringList said = prompts.messageTexts();
    ASSERT_EQ(said.size(), 3);
    for (const QString& s : said)
        EXPECT_TRUE(s.startsWith(QStringLiteral("Program CAD odmówił części znacznika; znacznik jest niepełny albo go "
                                                "brak:\nznacznik punktu kolizji strumieni K1 i K2 (1.00; 1.00): ")))
            << s.toStdString();
}

TEST_F(StreamsMarkers, ConflictDiscsTakeTheStreamPenAndAnAssociativeSolidFill) {
    common::Settings.PisakStrumieni = 7;
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("P1"))};
    InsertMarkerBlock({2, 2}, QStringLiteral("2"), QStringLiteral("P1"), QStringLiteral("K1"), QString());
    const cad::Entity ref = only(QStringLiteral("12^PIESZPOJ_STRUMIEN_*"));
    const QList<cad::Entity> c = contents(ref);
    ASSERT_GE(c.size(), 3);
    // The ring keeps the colour of new objects, the disc takes the stream pen and is filled solid.
    EXPECT_EQ(c[0].objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_DOUBLE_EQ(c[0].radius(), 250);
    EXPECT_EQ(c[0].color(), 256);
    EXPECT_EQ(c[1].objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_DOUBLE_EQ(c[1].radius(), 150);
    EXPECT_EQ(c[1].color(), 7);
    ASSERT_EQ(c[2].objectName(), QStringLiteral("AcDbHatch"));
    EXPECT_EQ(c[2].patternName(), QStringLiteral("SOLID"));
    EXPECT_TRUE(c[2].get(QStringLiteral("AssociativeHatch")).toBool());
    ASSERT_EQ(c[2].numberOfLoops(), 1);
    const QList<cad::Entity> loop = c[2].loopAt(0);
    ASSERT_EQ(loop.size(), 1);
    EXPECT_EQ(loop[0].handle(), c[1].handle());
    // Two attributes, hidden and preset, in their order; no associated stream was given.
    QStringList tags;
    for (const cad::Entity& e : c)
        if (e.objectName() == QLatin1String("AcDbAttributeDefinition")) {
            tags.append(e.tagString());
            EXPECT_EQ(e.mode(), 9);
        }
    EXPECT_EQ(tags,
              (QStringList{QStringLiteral("PIESZPOJ_STRUMIEN1"), QStringLiteral("PIESZPOJ_STRUMIEN2")}));
}

TEST_F(StreamsMarkers, SharedConditionalComponentsAreDrawnByLayer) {
    StreamTable = {Stream(QStringLiteral("S2")), Stream(QStringLiteral("K1"))};
    automation::EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"));
    addLine(4, QStringLiteral("^S2^K1"), 0, 0, 1, 0);
    addLine(5, QStringLiteral("^S2"), 1, 0, 2, 0);
    for (const cad::Entity& e : references(QStringLiteral("12^STRUMIEN_*"))) {
        e.setLinetype(QStringLiteral("ACAD_ISO03W100"));
        SetRefLineType(e);
    }
    EXPECT_EQ(only(QStringLiteral("12^STRUMIEN_4^*")).linetype().toUpper(), QStringLiteral("BYLAYER"));
    EXPECT_EQ(only(QStringLiteral("12^STRUMIEN_5^*")).linetype().toUpper(), QStringLiteral("ACAD_ISO03W100"));
    InsertMarkerBlock({0, 0}, QStringLiteral("0"), QStringLiteral("S2"), QString(), QString());
    const cad::Entity marker = only(QStringLiteral("12^POCZATEK_STRUMIEN_S2_*"));
    const QString before = marker.linetype();
    SetRefLineType(marker);
    EXPECT_EQ(marker.linetype(), before);
}

}  // namespace
}  // namespace conflictor::test
