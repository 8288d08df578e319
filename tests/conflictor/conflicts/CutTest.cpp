// The cut on intersections the tests draw: where markers go and of which kind, which components are
// split, and the crossings that lie on component ends, common starts and second crossings.
#include "CutFixture.h"

#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"

#include "conflictor/streams/StreamDrawing.h"

#include <QElapsedTimer>

namespace conflictor::test {
namespace {

using Cut = CutFixture;

void expectAt(const ConflictMarker& m, double x, double y) {
    EXPECT_NEAR(m.Position.X, x, 1e-6);
    EXPECT_NEAR(m.Position.Y, y, 1e-6);
}

TEST_F(Cut, TwoCrossingLinesGiveOneVehicleMarkerAndSplitBoth) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(saidDone());

    const QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].Kind, 3);
    EXPECT_EQ(m[0].Stream1, QStringLiteral("K1"));
    EXPECT_EQ(m[0].Stream2, QStringLiteral("K2"));
    expectAt(m[0], 40, 0);
    EXPECT_EQ(references(QStringLiteral("12^POJPOJ_STRUMIEN_*")).value(0).layer(),
              QStringLiteral("114-PUNKTY_KOLIZJI"));

    // Both split at the crossing, in the table (re-chained from the start) and in the drawing.
    const StreamRecord& k1 = stream(QStringLiteral("K1"));
    ASSERT_EQ(k1.SegmentCount, 2);
    for (int k = 1; k <= 2; ++k) {
        const SegmentRecord& s = k1.Segments[size_t(k)];
        EXPECT_EQ(s.Order, common::ArePointsEqual(s.StartPoint, {0, 0}) ? 1 : 2);
    }
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 2);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K2")), 2);

    // A second cut finds the same point once: the old marker goes, the split parts meet at it.
    ASSERT_EQ(cut(), CutOutcome::Done);
    ASSERT_EQ(markers().size(), 1);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 2);
}

// Three vehicle streams and a pedestrian one, and blocks that already hold names the cut would take
// next: the component number right after the block count (a clash) and one two further (a gap),
// and runs of marker numbers with gaps between them.
class CutNaming : public CutFixture {
protected:
    void drawForNaming() {
        EnsureStreamLayers();
        draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
        draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
        draw(QStringLiteral("K3"), {Line(70, -50, 70, 50)});
        draw(QStringLiteral("P1"), {Line(20, -15, 20, 15)});
        const std::vector<std::pair<const char*, int>> taken = {
            {"12^STRUMIEN_%1^X9", 1},       {"12^STRUMIEN_%1^X9", 3},       {"12^POJPOJ_STRUMIEN_%1", 4},
            {"12^POJPOJ_STRUMIEN_%1", 5},   {"12^POJPOJ_STRUMIEN_%1", 6},   {"12^POJPOJ_STRUMIEN_%1", 8},
            {"12^POJPOJ_STRUMIEN_%1", 9},   {"12^PIESZPOJ_STRUMIEN_%1", 6}, {"12^PIESZPOJ_STRUMIEN_%1", 7},
            {"12^PIESZPOJ_STRUMIEN_%1", 8}, {"12^PIESZPOJ_STRUMIEN_%1", 9}, {"12^PIESZPOJ_STRUMIEN_%1", 11}};
        const int c = doc().blocks().count() + int(taken.size());
        for (const auto& [name, k] : taken)
            doc().blocks().add(cad::Point{0, 0, 0}, QString::fromLatin1(name).arg(c + k));
        drawn();
    }
    static QStringList blockNames() {
        QStringList names;
        const cad::Blocks blocks = automation::CadDocument.blocks();
        for (int i = 0; i < blocks.count(); ++i) names.append(blocks.itemAt(i).name());
        return names;
    }
};

// The cut names its component and marker blocks from one read of the drawing's names: each name is
// the one MakeUniqueStreamBlockName or automation::MakeUniqueBlockName gives on the same drawing.
TEST_F(CutNaming, TheCutsBlockNamesAreThoseTheNamingRoutinesGiveOnTheSameDrawing) {
    drawForNaming();
    const QStringList before = blockNames();
    ASSERT_EQ(cut(), CutOutcome::Done) << prompts.messageTexts().join(QStringLiteral(" | ")).toStdString();
    const QStringList after = blockNames();
    ASSERT_EQ(after.mid(0, before.size()), before);
    const QStringList made = after.mid(before.size());
    const QString component = QStringLiteral("12^STRUMIEN_");
    EXPECT_GE(made.filter(component).size(), 4);
    EXPECT_GE(made.filter(QStringLiteral("12^POJPOJ_STRUMIEN_")).size(), 2);
    EXPECT_GE(made.filter(QStringLiteral("12^PIESZPOJ_STRUMIEN_")).size(), 1);
    // Every marker the cut placed shows a block the cut made, none that stood there before.
    for (const cad::Entity& ref : references(QStringLiteral("12^*POJ*_STRUMIEN_*")))
        EXPECT_TRUE(made.contains(ref.name())) << ref.name().toStdString();

    // The same drawing in a second document, given each name in turn by the naming routines.
    automation::CadApplication.documents().add();
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    automation::EnsureLayer(StreamLayer, false, 5, 30);
    drawForNaming();
    ASSERT_EQ(blockNames(), before);
    for (const QString& name : made) {
        QString given;
        if (name.startsWith(component))
            given = MakeUniqueStreamBlockName(component,
                                              name.mid(name.indexOf(QLatin1Char('^'), component.size())));
        else
            given = automation::MakeUniqueBlockName(name.left(name.lastIndexOf(QLatin1Char('_')) + 1));
        EXPECT_EQ(given, name);
        doc().blocks().add(cad::Point{0, 0, 0}, name);
    }
}

// A variant whose first component the user drew as a polyline has its own start marker, so
// "Tnij wszystkie" cuts it with the others instead of refusing the intersection.
TEST_F(Cut, AVariantDrawnAsAPolylineIsCut) {
    addAttributeBlock(QStringLiteral("12"));
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
    StreamTable.push_back(Stream(QStringLiteral("K1[2]")));
    MainWindow().GridStreamName = QStringLiteral("K1[2]");
    picks.point(0, 10).point(60, 10).point(60, 60).cancel();
    DrawStreamComponent(Kontynuacja);
    QElapsedTimer clock;
    clock.start();
    while (MainWindow().DrawingInProgress && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_FALSE(MainWindow().DrawingInProgress);
    drawn();
    prompts.clear();
    ASSERT_EQ(cut(), CutOutcome::Done) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(saidDone());
    EXPECT_EQ(stream(QStringLiteral("K1[2]")).SegmentCount, 3);  // split where K2 crosses it
}

TEST_F(Cut, ALineCrossingAnArcTwiceGivesBothPoints) {
    // y = 25 meets the upper half of the circle of radius 50 at ±43.3 (decimetres: a 20 m crossing).
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("10"));
    draw(QStringLiteral("K1"), {Line(-100, 25, 100, 25)});
    draw(QStringLiteral("K2"), {Arc(0, 0, 50, 0, Pi)});
    // The same with a pedestrian crossing, which is never split: both points all the same.
    draw(QStringLiteral("K3"), {Arc(300, 0, 50, 0, Pi)});
    draw(QStringLiteral("P1"), {Line(200, 25, 400, 25)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);

    const double x = std::sqrt(50.0 * 50.0 - 25.0 * 25.0);
    const QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 4);
    EXPECT_EQ(m[0].Kind, 3);
    EXPECT_EQ(m[1].Kind, 3);
    expectAt(m[0], -x, 25);
    expectAt(m[1], x, 25);
    expectAt(m[2], 300 - x, 25);
    expectAt(m[3], 300 + x, 25);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 3);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K2")), 3);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K3")), 3);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("P1")), 1);
    // Along K3 (counter-clockwise from 0) the farther point is the clearance point, the nearer the approach.
    EXPECT_EQ(m[2].Kind, 2);
    EXPECT_EQ(m[3].Kind, 1);
    EXPECT_EQ(m[3].AssociatedPedestrian, QStringLiteral("P1"));
}

TEST_F(Cut, StreamsWithACommonStartGetNoMarkerButAreSplit) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 50)});
    draw(QStringLiteral("K2"), {Line(0, 0, 50, 0), Line(50, 0, 50, 100)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(markers().isEmpty());
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 2);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K2")), 3);
}

TEST_F(Cut, ACrossingAtAComponentEndSplitsNothingThereAndIsRecordedOnce) {
    draw(QStringLiteral("K1"), {Line(0, 0, 50, 0), Line(50, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(50, -50, 50, 50)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 1);
    expectAt(m[0], 50, 0);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 2);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K2")), 2);
}

TEST_F(Cut, VehiclePedestrianPointsAlternateClearanceAndApproachAlongTheStream) {
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -20, 50, 20)});
    draw(QStringLiteral("R1"), {Line(150, -20, 150, 20)});
    draw(QStringLiteral("P2"), {Line(250, -20, 250, 20)});
    // Two pedestrian streams that cross get no marker.
    draw(QStringLiteral("P3"), {Line(240, -10, 260, 10)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 4);  // P3 crosses K1 at 250 too; P2 x P3 gives none
    // From the far end: 250 clearance (two streams there: P2 then P3), 150 approach, 50 ...
    expectAt(m[0], 50, 0);
    expectAt(m[1], 150, 0);
    int clearance = 0, approach = 0;
    for (const ConflictMarker& k : m) {
        EXPECT_EQ(k.Stream1, QStringLiteral("K1"));
        (k.Kind == 2 ? clearance : approach) += 1;
        if (k.Kind == 2) {
            EXPECT_TRUE(k.AssociatedPedestrian.isEmpty());
        }
    }
    EXPECT_EQ(clearance, 2);
    EXPECT_EQ(approach, 2);
    // 50 and 150 follow 250's two points: 150 is a clearance point, 50 an approach naming R1.
    EXPECT_EQ(m[1].Kind, 2);
    EXPECT_EQ(m[1].Stream2, QStringLiteral("R1"));
    EXPECT_EQ(m[0].Kind, 1);
    EXPECT_EQ(m[0].AssociatedPedestrian, QStringLiteral("R1"));
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 4);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("P1")), 1);
}

TEST_F(Cut, TheSelectedVariantCutsOnlyPairsOfHighlightedStreams) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(30, -50, 30, 50)});
    draw(QStringLiteral("K3"), {Line(70, -50, 70, 50)});
    // A stream of intersection 1, highlighted, whose block name would give K3 to a careless reader.
    addLine(1, QStringLiteral("^K3"), 500, 0, 600, 0, QStringLiteral("1"));
    references(QStringLiteral("1^STRUMIEN_1^K3")).value(0).setColor(3);
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("K1")), 3, false);
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("K2")), 3, false);

    ASSERT_EQ(cut(false), CutOutcome::Done);
    QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 1);
    expectAt(m[0], 30, 0);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 2);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K3")), 1);
    // Split parts of highlighted streams come out highlighted.
    for (const cad::Entity& ref : references(QStringLiteral("12^STRUMIEN_*^K1"))) EXPECT_EQ(ref.color(), 3);

    // All streams: three points. Then the selected cut of K1 and K2 again replaces only their marker.
    ASSERT_EQ(cut(true), CutOutcome::Done);
    ASSERT_EQ(markers().size(), 2);  // K2 and K3 are parallel
    const QString keptHandle = markers()[1].Handle;
    for (const QString& name : {QStringLiteral("K1"), QStringLiteral("K2")})
        ZaznaczStrumien(FindStreamIndex(name), 3, false);
    ASSERT_EQ(cut(false), CutOutcome::Done);
    m = markers();
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[1].Handle, keptHandle);  // K1 x K3 names the unmarked K3: it stays
    expectAt(m[0], 30, 0);
}

}  // namespace
}  // namespace conflictor::test
