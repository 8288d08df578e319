// Drawing, naming, copying and deleting streams through the Edit-menu commands, with scripted picks
// and CAD commands in the in-process host.
#include "StreamCommandsFixture.h"

#include "automation/CadVariables.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "conflictor/streams/ComponentPicking.h"

namespace conflictor::test {
namespace {

using common::PlanePoint;

constexpr double R2 = 7.0710678118654755;  // 10 / sqrt(2)

const SegmentRecord& inOrder(const StreamRecord& r, int order) {
    for (int k = 1; k <= r.SegmentCount; ++k)
        if (r.Segments[size_t(k)].Order == order) return r.Segments[size_t(k)];
    ADD_FAILURE() << "no component of order " << order;
    return r.Segments[0];
}

void expectPoint(const PlanePoint& p, double x, double y) {
    EXPECT_NEAR(p.X, x, 1e-6);
    EXPECT_NEAR(p.Y, y, 1e-6);
}

TEST_F(StreamCommands, ALineAnArcAndAPolylineReadBackInChainOrderWithTheirMarkers) {
    addAttributeBlock(QStringLiteral("12"));
    ASSERT_GE(newStream(QStringLiteral("K1")), 0);
    ASSERT_EQ(window.GridStreamName, QStringLiteral("K1"));

    drawLine(0, 0, 10, 0);
    expectPoint(marker(QStringLiteral("POCZATEK"), QStringLiteral("K1")), 0, 0);
    expectPoint(marker(QStringLiteral("KONIEC"), QStringLiteral("K1")), 10, 0);

    // An arc from the line's end through a point of the quarter circle round (10,10) to (20,10).
    picks.point(10, 0).point(10 + R2, 10 - R2).point(20, 10);
    DrawStreamComponent(Luk);
    EXPECT_FALSE(window.Visible);  // hidden while the CAD draws
    ASSERT_TRUE(waitForDrawing());
    EXPECT_TRUE(window.Visible);
    EXPECT_FALSE(RunNextTimerActive());
    expectPoint(marker(QStringLiteral("KONIEC"), QStringLiteral("K1")), 20, 10);

    // A continuation of three straight parts, ended with Enter.
    picks.point(20, 10).point(20, 20).point(30, 20).point(30, 30).enter();
    DrawStreamComponent(Kontynuacja);
    ASSERT_TRUE(waitForDrawing());
    EXPECT_TRUE(window.Visible);
    EXPECT_TRUE(picks.exhausted());

    // Nothing loose is left: every component is a block reference on the stream layer.
    EXPECT_TRUE(references(QStringLiteral("*")).size() == modelSpace().count());
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*^K1")).size(), 5);
    expectPoint(marker(QStringLiteral("POCZATEK"), QStringLiteral("K1")), 0, 0);
    expectPoint(marker(QStringLiteral("KONIEC"), QStringLiteral("K1")), 30, 30);
    // The CAD variables are the user's again and the active layer is as before.
    EXPECT_FALSE(automation::SavedCadVariables.pending);
    EXPECT_NE(doc().activeLayer().name(), StreamLayer);

    StreamTable.clear();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int i = FindStreamIndex(QStringLiteral("K1"));
    ASSERT_GE(i, 0);
    SortujOdcinkiStrumienia(i);
    const StreamRecord& k1 = StreamTable[size_t(i)];
    ASSERT_EQ(k1.SegmentCount, 5);
    expectPoint(k1.StartPoint, 0, 0);
    EXPECT_TRUE(inOrder(k1, 1).IsLine);
    EXPECT_FALSE(inOrder(k1, 2).IsLine);
    EXPECT_NEAR(inOrder(k1, 2).Radius, 10, 1e-6);
    for (int o = 3; o <= 5; ++o) EXPECT_TRUE(inOrder(k1, o).IsLine);
    // The chain walks (0,0) (10,0) (20,10) (20,20) (30,20) (30,30).
    const PlanePoint chain[] = {{0, 0}, {10, 0}, {20, 10}, {20, 20}, {30, 20}, {30, 30}};
    for (int o = 1; o <= 5; ++o) {
        const SegmentRecord& s = inOrder(k1, o);
        const bool forward = common::ArePointsEqual(s.StartPoint, chain[o - 1]);
        const PlanePoint from = forward ? s.StartPoint : s.EndPoint;
        const PlanePoint to = forward ? s.EndPoint : s.StartPoint;
        EXPECT_TRUE(common::ArePointsEqual(from, chain[o - 1])) << o;
        EXPECT_TRUE(common::ArePointsEqual(to, chain[o])) << o;
    }
}

TEST_F(StreamCommands, APolylineForANewStreamPutsItsStartMarkerAtTheFirstVertex) {
    addAttributeBlock(QStringLiteral("12"));
    newStream(QStringLiteral("S4"));
    picks.point(0, 0).point(0, 10).point(10, 10).cancel();  // Escape keeps what was drawn
    DrawStreamComponent(Kontynuacja);
    ASSERT_TRUE(waitForDrawing());
    EXPECT_EQ(stream(QStringLiteral("S4")).SegmentCount, 2);
    expectPoint(marker(QStringLiteral("POCZATEK"), QStringLiteral("S4")), 0, 0);
    expectPoint(marker(QStringLiteral("KONIEC"), QStringLiteral("S4")), 10, 10);
    // A conditional stream is drawn dashed.
    for (const cad::Entity& ref : references(QStringLiteral("12^STRUMIEN_*^S4")))
        EXPECT_EQ(ref.linetype(), QStringLiteral("ACAD_ISO03W100"));
}

// The first component of a variant drawn as a polyline gets the variant's own start marker, though
// its base stream has one already.
TEST_F(StreamCommands, AVariantsFirstPolylineGetsItsOwnStartMarker) {
    addAttributeBlock(QStringLiteral("12"));
    newStream(QStringLiteral("K1"));
    drawLine(0, 0, 10, 0);
    newStream(QStringLiteral("K1[2]"));
    ASSERT_EQ(window.GridStreamName, QStringLiteral("K1[2]"));
    picks.point(0, 20).point(0, 30).point(10, 30).cancel();
    DrawStreamComponent(Kontynuacja);
    ASSERT_TRUE(waitForDrawing());
    const QString variant = automation::EscapeFilterText(QStringLiteral("K1[2]"));
    expectPoint(marker(QStringLiteral("POCZATEK"), variant), 0, 20);
    expectPoint(marker(QStringLiteral("KONIEC"), variant), 10, 30);
    expectPoint(marker(QStringLiteral("POCZATEK"), QStringLiteral("K1")), 0, 0);
}

TEST_F(StreamCommands, ACommandThatIsCancelledOrDrawsNothingGivesTheWindowBack) {
    addAttributeBlock(QStringLiteral("12"));
    newStream(QStringLiteral("K2"));
    const int before = modelSpace().count();

    picks.point(0, 0).cancel();
    DrawStreamComponent(Luk);
    ASSERT_TRUE(waitForDrawing());
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(modelSpace().count(), before);

    // A polyline of one vertex ends without an entity and without a cancel: the wait ends too.
    picks.point(5, 5).enter();
    DrawStreamComponent(Kontynuacja);
    ASSERT_TRUE(waitForDrawing());
    EXPECT_TRUE(window.Visible);
    EXPECT_FALSE(RunNextTimerActive());
    EXPECT_EQ(modelSpace().count(), before);
    EXPECT_FALSE(automation::SavedCadVariables.pending);

    // Escape at the second point of a line draws nothing.
    picks.point(1, 1).cancel();
    DrawStreamComponent(Odcinek);
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(modelSpace().count(), before);
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(StreamCommands, AFullStreamIsRefusedBeforeAnythingIsDrawn) {
    addAttributeBlock(QStringLiteral("12"));
    newStream(QStringLiteral("K3"));
    StreamTable[size_t(FindStreamIndex(QStringLiteral("K3")))].SegmentCount = MaxSegments;
    const int before = modelSpace().count();
    prompts.answerMessage(ui::Ok);
    DrawStreamComponent(Luk);
    EXPECT_FALSE(window.DrawingInProgress);
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(modelSpace().count(), before);
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_EQ(prompts.messageTexts().first(), FullStreamMessage());
    EXPECT_FALSE(automation::SavedCadVariables.pending);
    EXPECT_THROW(StoreStreamComponent(FindStreamIndex(QStringLiteral("K3")), QStringLiteral("1")),
                 std::out_of_range);
}

TEST_F(StreamCommands, AnUnreadableScaleIsSaidBeforeAnythingIsPickedOrDrawn) {
    addAttributeBlock(QStringLiteral("12"));
    newStream(QStringLiteral("K3"));
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1e3"));
    const int before = modelSpace().count();
    prompts.clear();
    prompts.answerMessage(ui::Ok);
    picks.point(0, 0).point(10, 0);
    DrawStreamComponent(Odcinek);
    EXPECT_FALSE(window.DrawingInProgress);
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(modelSpace().count(), before);
    EXPECT_EQ(picks.prompts().size(), 0);
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts().first().contains(
        QStringLiteral(" ma wartość SKALA \"1e3\", która nie jest liczbą całkowitą od 1 do 32767.")))
        << prompts.messageTexts().first().toStdString();
    EXPECT_EQ(stream(QStringLiteral("K3")).SegmentCount, 0);
    EXPECT_FALSE(automation::SavedCadVariables.pending);
}

TEST_F(StreamCommands, NameCopyAsConditionalAndDeleteTheSource) {
    addAttributeBlock(QStringLiteral("12"));
    newStream(QStringLiteral("K1"));
    drawLine(0, 0, 10, 0);
    drawLine(10, 0, 10, 10);
    ASSERT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*^K1")).size(), 2);

    select(QStringLiteral("K1"));
    mnuEdycja_KopiujStrumien();
    const int s1 = FindStreamIndex(QStringLiteral("S1"));
    ASSERT_GE(s1, 0);
    EXPECT_EQ(StreamTable[size_t(s1)].Kind, KindConditional);
    // Shared blocks: both components now list K1 and S1, and S1's record holds the same references.
    const QStringList shared = referenceNames(QStringLiteral("12^STRUMIEN_*^K1^S1"));
    EXPECT_EQ(shared.size(), 2);
    EXPECT_EQ(StreamTable[size_t(s1)].SegmentCount, 2);
    // Own markers at the source's places; the source keeps its own.
    expectPoint(marker(QStringLiteral("POCZATEK"), QStringLiteral("S1")), 0, 0);
    expectPoint(marker(QStringLiteral("KONIEC"), QStringLiteral("S1")), 10, 10);
    expectPoint(marker(QStringLiteral("POCZATEK"), QStringLiteral("K1")), 0, 0);
    expectPoint(marker(QStringLiteral("KONIEC"), QStringLiteral("K1")), 10, 10);

    // Delete K1, also from the drawing.
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Yes);
    select(QStringLiteral("K1"));
    mnuEdycja_UsunStrumien();
    EXPECT_EQ(FindStreamIndex(QStringLiteral("K1")), -1);
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*^K1*")).size(), 0);
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*^S1")).size(), 2);
    EXPECT_TRUE(references(QStringLiteral("12^POCZATEK_STRUMIEN_K1_*")).isEmpty());
    EXPECT_TRUE(references(QStringLiteral("12^KONIEC_STRUMIEN_K1_*")).isEmpty());
    EXPECT_EQ(window.GridStreamName, QStringLiteral("S1"));

    // S1 keeps the geometry.
    StreamTable.clear();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 1u);
    EXPECT_EQ(StreamTable[0].Name, QStringLiteral("S1"));
    EXPECT_EQ(StreamTable[0].SegmentCount, 2);
    expectPoint(StreamTable[0].StartPoint, 0, 0);
}

TEST_F(StreamCommands, DeletingKeepsAComponentThatStillListsAnyOtherName) {
    addLine(5, QStringLiteral("^K1^Q9"), 0, 0, 1, 0);  // Q9: a name the table does not know
    addLine(6, QStringLiteral("^K1"), 1, 0, 2, 0);
    addLine(7, QStringLiteral("^K1^K2"), 2, 0, 3, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Yes);
    select(QStringLiteral("K1"));
    mnuEdycja_UsunStrumien();
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*")),
              (QStringList{QStringLiteral("12^STRUMIEN_5^Q9"), QStringLiteral("12^STRUMIEN_7^K2")}));

    // Answering No to the drawing keeps the drawing as it was.
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::No);
    select(QStringLiteral("K2"));
    mnuEdycja_UsunStrumien();
    EXPECT_TRUE(StreamTable.empty());
    EXPECT_TRUE(window.GridStreamName.isEmpty());
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*")).size(), 2);
}

TEST_F(StreamCommands, AttachAndDetachComponentsByPicking) {
    addLine(5, QStringLiteral("^K2"), 50, 0, 60, 0);
    const QString k2Ref = references(QStringLiteral("12^STRUMIEN_5^K2")).first().handle();
    addLine(6, QStringLiteral("^K1"), 0, 0, 10, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const cad::Entity line = modelSpace().addLine(cad::Point{10, 0, 0}, cad::Point{20, 0, 0});
    const cad::Entity arc = modelSpace().addArc(cad::Point{20, 10, 0}, 10, -1.5707963267948966, 0);
    const QString lineHandle = line.handle(), arcHandle = arc.handle();

    select(QStringLiteral("K1"));
    picks.entity(lineHandle).entity(arcHandle).entity(k2Ref).entity(k2Ref);  // the second pick ends it
    mnuEdycja_DolaczSkladnik();
    EXPECT_TRUE(window.Visible);
    EXPECT_TRUE(picks.exhausted());
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*^K1")).size(), 4);  // three own, one shared
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_5^K2^K1")).size(), 1);
    // The loose entities are gone; K1 was read again with everything it now has.
    EXPECT_THROW(doc().handleToObject(lineHandle).objectName(), std::exception);
    EXPECT_THROW(doc().handleToObject(arcHandle).objectName(), std::exception);
    EXPECT_EQ(stream(QStringLiteral("K1")).SegmentCount, 4);

    // Detach K1 from the shared block; picking a line afterwards ends the command.
    const cad::Entity loose = modelSpace().addLine(cad::Point{0, 50, 0}, cad::Point{1, 50, 0});
    picks.entity(k2Ref).entity(loose.handle());
    mnuEdycja_WylaczSkladnik();
    EXPECT_TRUE(picks.exhausted());
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_5*")),
              QStringList{QStringLiteral("12^STRUMIEN_5^K2")});
    EXPECT_EQ(stream(QStringLiteral("K1")).SegmentCount, 3);

    // A component of another intersection changes nothing; Escape ends the command.
    const QString other = addLine(9, QStringLiteral("^K1"), 0, 0, 1, 1, QStringLiteral("13"));
    picks.entity(other).cancel();
    mnuEdycja_DolaczSkladnik();
    EXPECT_EQ(referenceNames(QStringLiteral("13^STRUMIEN_*")),
              QStringList{QStringLiteral("13^STRUMIEN_9^K1")});
    EXPECT_TRUE(window.Visible);
}

TEST_F(StreamCommands, TheFirstComponentWritesTheStreamsValuesAndPedestriansGetNoMarkers) {
    const cad::Entity block = addAttributeBlock(QStringLiteral("12"));
    StreamRecord k5 = Stream(QStringLiteral("K5"), QStringLiteral("1,2"));
    k5.Group = 4;
    k5.Description = QStringLiteral("AP");
    k5.VehicleLength = 12;
    k5.ApproachStraightSpeed = 13.89;  // the setting: not written
    StreamTable.push_back(k5);
    StreamTable.push_back(Stream(QStringLiteral("P1")));
    select(QStringLiteral("K5"));
    drawLine(0, 0, 5, 0);
    EXPECT_EQ(attribute(block, QStringLiteral("GRUPY")), QStringLiteral("K5:4^"));
    EXPECT_EQ(attribute(block, QStringLiteral("FAZY")), QStringLiteral("K5:1,2^"));
    EXPECT_EQ(attribute(block, QStringLiteral("OPISY")), QStringLiteral("K5:AP^"));
    EXPECT_DOUBLE_EQ(
        common::ParseDouble(GetStreamAttribute(QStringLiteral("DLUG_POJ"), QStringLiteral("K5"))), 12);
    EXPECT_TRUE(attribute(block, QStringLiteral("PROSTA_DOJAZD")).isEmpty());

    select(QStringLiteral("P1"));
    drawLine(0, 10, 5, 10);
    EXPECT_EQ(referenceNames(QStringLiteral("12^STRUMIEN_*^P1")).size(), 1);
    EXPECT_TRUE(references(QStringLiteral("12^*_STRUMIEN_P1_*")).isEmpty());
}

TEST_F(StreamCommands, CommandsNeedAnIntersection) {
    IntersectionNumber.clear();
    prompts.answerMessage(ui::Ok);
    mnuEdycja_NowyStrumien();
    EXPECT_EQ(window.ComboFocusCount, 1);
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Nieprawidłowy numer skrzyżowania!")});
    EXPECT_TRUE(StreamTable.empty());
}

}  // namespace
}  // namespace conflictor::test
