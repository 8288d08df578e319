// Crossings along the vehicle streams after the cut: a crossing drawn by both edges of the zebra gives
// each vehicle stream a clearance and an approach point of its own; a crossing drawn as one line, two
// one-line crossings and a bicycle crossing drawn as one stream beside a pedestrian crossing are
// reported by name, with how a crossing is drawn.
#include "CutFixture.h"

#include "conflictor/conflicts/CrossingPairs.h"

#include <cmath>
#include <tuple>

namespace conflictor::test {
namespace {

class Crossings : public CutFixture {
protected:
    // The cut's message about the crossings; empty when it showed none.
    QString crossingMessage() {
        for (const QString& text : prompts.messageTexts())
            if (text.startsWith(QStringLiteral("Przejścia dla pieszych lub rowerzystów"))) return text;
        return QString();
    }
    const ConflictMarker* markerAt(const QList<ConflictMarker>& m, double x, double y) {
        for (const ConflictMarker& k : m)
            if (std::abs(k.Position.X - x) < 1e-6 && std::abs(k.Position.Y - y) < 1e-6) return &k;
        ADD_FAILURE() << "no marker at " << x << ", " << y;
        return nullptr;
    }
};

TEST_F(Crossings, BothEdgesGiveAClearanceAndAnApproachPointOfItsOwnOnEveryVehicleStream) {
    // Two crossings, each by both edges, across a car stream and a bus stream.
    draw(QStringLiteral("P1"), {Line(50, -20, 50, 20)});
    draw(QStringLiteral("P1[2]"), {Line(54, -20, 54, 20)});
    draw(QStringLiteral("P5"), {Line(150, -20, 150, 20)});
    draw(QStringLiteral("P5[2]"), {Line(154, -20, 154, 20)});
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("B1"), {Line(0, 10, 300, 10)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(saidDone());
    EXPECT_TRUE(crossingMessage().isEmpty()) << crossingMessage().toStdString();
    EXPECT_TRUE(CheckCrossingPairs().isEmpty());

    // Along each vehicle stream, from its far end: the far edge is where it clears, the near edge
    // where it enters after the pedestrians, who are named there.
    const QList<ConflictMarker> m = markers();
    ASSERT_EQ(m.size(), 8);
    for (double y : {0.0, 10.0})
        for (const auto& [x, kind, associated] :
             {std::tuple{154.0, 2, ""}, {150.0, 1, "P5[2]"}, {54.0, 2, ""}, {50.0, 1, "P1[2]"}}) {
            const ConflictMarker* k = markerAt(m, x, y);
            ASSERT_NE(k, nullptr);
            EXPECT_EQ(k->Kind, kind) << x << ", " << y;
            EXPECT_EQ(k->AssociatedPedestrian, QString::fromLatin1(associated)) << x << ", " << y;
        }
}

TEST_F(Crossings, OneLineCrossingsAreReportedByNameAndNeverTakenForOneCrossing) {
    // K1 meets two crossings of one line each; K2 meets one.
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("K2"), {Line(0, 100, 300, 100)});
    draw(QStringLiteral("P1"), {Line(50, -20, 50, 20)});
    draw(QStringLiteral("P2"), {Line(150, -20, 150, 20)});
    draw(QStringLiteral("P3"), {Line(80, 80, 80, 120)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(saidDone());
    const QString message = crossingMessage();
    EXPECT_TRUE(message.contains(
        QStringLiteral("K1: punkt ewakuacji przy strumieniu P2 połączono w parę z punktem dojazdu przy "
                       "strumieniu P1")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("K2: przejście P3 przecina go tylko raz")))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(HowToDrawACrossing()));
    EXPECT_EQ(CheckCrossingPairs().size(), 2);
}

TEST_F(Crossings, ABicycleCrossingDrawnAsOneStreamBesideAPedestrianCrossingIsReported) {
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -20, 50, 20)});
    draw(QStringLiteral("P1[2]"), {Line(54, -20, 54, 20)});
    draw(QStringLiteral("R1"), {Line(57, -20, 57, 20)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    // From the far end R1, P1[2], P1: R1 is taken with P1[2], and P1 is left alone.
    const QStringList faults = CheckCrossingPairs();
    ASSERT_EQ(faults.size(), 2) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(faults[0].contains(QStringLiteral("R1")) && faults[0].contains(QStringLiteral("P1[2]")));
    EXPECT_TRUE(faults[1].startsWith(QStringLiteral("K1: przejście P1 przecina go tylko raz")));
    EXPECT_TRUE(crossingMessage().contains(faults[0]));
}

TEST_F(Crossings, OneBentStreamMeetingAVehicleStreamTwiceIsNoCrossingOfTwoEdges) {
    // P1 goes across K1, turns and comes back 4 m further: it is no edge of its own second crossing.
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -8, 50, 8), Line(50, 8, 54, 8), Line(54, 8, 54, -8)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(crossingMessage().contains(
        QStringLiteral("K1: strumień P1 przecina go dwa razy, a drugiej krawędzi przejścia brak.")))
        << crossingMessage().toStdString();
}

TEST_F(Crossings, AnApproachPointWithoutItsClearancePointIsNamed) {
    // A crossing drawn by both edges, whose far-edge marker was then erased by hand.
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -20, 50, 20)});
    draw(QStringLiteral("P1[2]"), {Line(54, -20, 54, 20)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    ASSERT_TRUE(CheckCrossingPairs().isEmpty());
    const QList<ConflictMarker> m = markers();
    const ConflictMarker* far = markerAt(m, 54, 0);
    ASSERT_NE(far, nullptr);
    doc().handleToObject(far->Handle).erase();
    EXPECT_EQ(CheckCrossingPairs(),
              QStringList{QStringLiteral("K1: punkt dojazdu przy strumieniu P1 nie ma przed sobą punktu "
                                         "ewakuacji tego samego przejścia.")});
}

}  // namespace
}  // namespace conflictor::test
