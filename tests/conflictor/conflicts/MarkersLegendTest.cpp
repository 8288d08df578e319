// The marker step on hand-made point lists, the chain order at a point, the crossing routine, and
// the legend block with its insertion.
#include "CutFixture.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/Legend.h"
#include "conflictor/conflicts/SegmentCrossings.h"

namespace conflictor::test {
namespace {

class MarkerStep : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2")),
                       Stream(QStringLiteral("P1")), Stream(QStringLiteral("R2"))};
    }
    static ConflictPointRecord point(double x, int kind, int s1, int s2) {
        return ConflictPointRecord{{x, 0}, kind, s1, s2};
    }
    QList<int> kindsByX() {
        QList<int> kinds;
        for (const ConflictMarker& m : markers()) kinds.append(m.Kind);
        return kinds;
    }
};

TEST_F(MarkerStep, VehiclePointsAreMarkedAtOnceAndKindZeroNever) {
    std::vector<ConflictPointRecord> points{ConflictPointRecord{}, point(1, 3, 0, 1), point(2, 0, 2, 3),
                                            point(3, 3, 0, 1)};
    InsertConflictPointMarkers(points);
    EXPECT_EQ(kindsByX(), (QList<int>{3, 3}));
    // Only element 0: nothing.
    std::vector<ConflictPointRecord> none(1);
    InsertConflictPointMarkers(none);
    EXPECT_EQ(markers().size(), 2);
}

TEST_F(MarkerStep, PointsWithoutChainOrderAlternateInListOrder) {
    std::vector<ConflictPointRecord> points{ConflictPointRecord{}, point(1, 4, 0, 2), point(2, 4, 0, 3),
                                            point(3, 4, 0, 2)};
    InsertConflictPointMarkers(points);
    const QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(kindsByX(), (QList<int>{2, 1, 2}));
    EXPECT_TRUE(m[0].AssociatedPedestrian.isEmpty());
    EXPECT_EQ(m[1].AssociatedPedestrian, QStringLiteral("P1"));
    // The kind-4 records of the caller keep their kind.
    EXPECT_EQ(points[1].Kind, 4);
}

TEST_F(MarkerStep, ChainOrderIsTheSmallerOrderOfTheComponentsMeetingThere) {
    StreamRecord& k1 = StreamTable[0];
    k1.SegmentCount = 3;
    k1.Segments[1] = Line(10, 0, 20, 0);
    k1.Segments[1].Order = 2;
    k1.Segments[2] = Line(0, 0, 10, 0);
    k1.Segments[2].Order = 1;
    k1.Segments[3] = Line(20, 0, 30, 0);
    k1.Segments[3].Order = 3;
    int order = -1;
    GetSegmentOrderAtPoint({10, 0}, 0, order);
    EXPECT_EQ(order, 1);
    GetSegmentOrderAtPoint({30, 0.005}, 0, order);
    EXPECT_EQ(order, 3);
    GetSegmentOrderAtPoint({15, 0}, 0, order);
    EXPECT_EQ(order, 0);
}

TEST_F(MarkerStep, MarkerSizeFollowsScaleAndSetting) {
    automation::DrawingScale = 500;
    std::vector<ConflictPointRecord> points{ConflictPointRecord{}, point(1, 3, 0, 1)};
    InsertConflictPointMarkers(points);
    const cad::Entity ref = references(QStringLiteral("12^POJPOJ_STRUMIEN_*")).value(0);
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 0.5);  // the star reaches 125 units from its centre
    const auto box = ref.boundingBox();
    EXPECT_NEAR(box.second.x - box.first.x, 250, 1e-6);
}

TEST(SegmentCrossings, BothCandidatesCountAndEndsTouch) {
    // Line through an arc twice, arc through arc twice, arcs touching at one end, parallel lines.
    EXPECT_EQ(FindSegmentCrossings(Line(-100, 25, 100, 25), Arc(0, 0, 50, 0, Pi)).size(), 2u);
    EXPECT_EQ(FindSegmentCrossings(Arc(0, 0, 50, 0, Pi), Line(-100, 25, 100, 25)).size(), 2u);
    EXPECT_EQ(FindSegmentCrossings(Arc(0, 0, 50, 0, Pi), Arc(0, 60, 50, Pi, 2 * Pi)).size(), 2u);
    EXPECT_EQ(FindSegmentCrossings(Arc(0, 0, 50, 0, Pi / 6), Line(-100, 25, 100, 25)).size(), 1u);
    EXPECT_EQ(FindSegmentCrossings(Line(0, 0, 10, 0), Line(10, 0, 10, 10)).size(), 1u);
    EXPECT_TRUE(FindSegmentCrossings(Line(0, 0, 10, 0), Line(0, 1, 10, 1)).empty());
    EXPECT_TRUE(FindSegmentCrossings(Line(0, 0, 10, 0), Line(11, -5, 11, 5)).empty());
}

class LegendTest : public CutFixture {};

// Passes every call on to the CAD but the insertion of a block, which the CAD refuses.
class RefusedInsertion : public cad::Channel {
public:
    explicit RefusedInsertion(cad::Channel* inner) : inner_(inner) {}
    cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                      std::span<const cad::Variant> args) override {
        if (member == QLatin1String("InsertBlock")) throw cad::Failed(QStringLiteral("InsertBlock refused"));
        return inner_->call(object, member, kind, args);
    }

private:
    cad::Channel* inner_;
};

TEST_F(LegendTest, TheLegendIsDrawnOnceAndInsertedAtThePickScaled) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
    picks.point(1000, 2000);
    ASSERT_TRUE(UstawLegende());
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(picks.prompts().value(0), QStringLiteral("Wskaż położenie legendy..."));

    const QList<cad::Entity> refs = references(LegendBlockName());
    ASSERT_EQ(refs.size(), 1);
    EXPECT_DOUBLE_EQ(refs[0].xScaleFactor(), 0.5);
    EXPECT_DOUBLE_EQ(refs[0].insertionPoint().x, 1000);
    const auto box = refs[0].boundingBox();
    EXPECT_NEAR(box.second.x - box.first.x, 9375, 1e-6);
    EXPECT_NEAR(box.second.y - box.first.y, 4375, 1e-6);

    const QList<cad::Entity> parts = doc().blocks().item(LegendBlockName()).entities();
    QStringList texts;
    int lines = 0, circles = 0, hatches = 0;
    for (const cad::Entity& e : parts) {
        const QString kind = e.objectName();
        if (kind == QLatin1String("AcDbText")) {
            texts.append(e.textString());
            continue;
        }
        EXPECT_EQ(e.color(), 5) << kind.toStdString();
        lines += kind == QLatin1String("AcDbLine");
        circles += kind == QLatin1String("AcDbCircle");
        hatches += kind == QLatin1String("AcDbHatch");
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("LEGENDA"), QStringLiteral("punkt kolizji pojazd - pojazd"),
                                  QStringLiteral("punkt kolizji ewakuacji pojazd - pieszy"),
                                  QStringLiteral("punkt kolizji dojazdu pojazd - pieszy"),
                                  QStringLiteral("punkt początkowy")}));
    EXPECT_EQ(lines, 9);
    EXPECT_EQ(circles, 4);
    EXPECT_EQ(hatches, 2);

    // A second legend uses the definition as it stands, changed by hand or not.
    doc().blocks().item(LegendBlockName()).addLine(cad::Point{0, 0, 0}, cad::Point{1, 1, 0});
    picks.point(0, 0);
    ASSERT_TRUE(UstawLegende());
    EXPECT_EQ(references(LegendBlockName()).size(), 2);
    EXPECT_EQ(doc().blocks().item(LegendBlockName()).count(), parts.size() + 1);
}

TEST_F(LegendTest, WithoutADrawingTheWindowStaysAndNothingIsAsked) {
    doc().close();
    EXPECT_FALSE(UstawLegende());
    EXPECT_TRUE(window.Visible);
    EXPECT_TRUE(picks.prompts().isEmpty());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Najpierw proszę otworzyć jakiś dokument...")});
}

TEST_F(LegendTest, ACancelledPickInsertsNothingAndShowsTheWindowAgain) {
    picks.cancel();
    EXPECT_FALSE(UstawLegende());
    EXPECT_TRUE(window.Visible);
    EXPECT_FALSE(automation::CheckBlockExists(LegendBlockName()));
    EXPECT_TRUE(references(LegendBlockName()).isEmpty());
}

// The CAD refusing to insert the legend: told, with its reason; the window comes back.
TEST_F(LegendTest, ARefusedInsertionIsTold) {
    RefusedInsertion refusing(automation::CadApplication.channel());
    automation::CadApplication = cad::Application(&refusing);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    picks.point(1000, 2000);
    EXPECT_FALSE(UstawLegende());
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Nie wstawiono legendy:\nInsertBlock refused")});
    automation::ResetCadConnectionState();
}

}  // namespace
}  // namespace conflictor::test
