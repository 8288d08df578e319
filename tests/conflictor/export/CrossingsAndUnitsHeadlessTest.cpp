// Drawings a user could make, cut and exported by conflictor-headless: separate one-line crossings of
// one group and a pedestrian beside a bicycle crossing are never taken for the two edges of one
// crossing; "SKALA" that fits a drawing's lengths only by accident, or disagrees with its declared
// centimetres or inches, stops with the value proposed; an island crossing under one signal group is
// cleared over the whole crossing, under two groups half by half. In-process: crossing links that put
// two edges into different crossings, and a distance of 0.0 m from either stream of a pair.
#include "tests/conflictor/export/HeadlessRun.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/CrossingPairs.h"
#include "conflictor/phases/CrossingLinkConfirm.h"
#include "conflictor/streams/StreamReading.h"

#include <QFile>
#include <QProcess>

namespace conflictor::test {
namespace {

class CrossingsAndUnits : public HeadlessRun {
protected:
    // K1 east, K2 north across it, the crossing P1 (P1 and P1[2], 14 m) across K2: in drawing units of
    // `unit` to the metre, with the declared units `insunits` and "SKALA" `scale`.
    void drawIntersection(double unit, int insunits, const QString& scale) {
        auto L = [unit](double x1, double y1, double x2, double y2) {
            return Line(x1 * unit, y1 * unit, x2 * unit, y2 * unit);
        };
        draw(QStringLiteral("K1"), {L(0, 0, 80, 0)});
        draw(QStringLiteral("K2"), {L(40, -40, 40, 40)});
        draw(QStringLiteral("P1"), {L(33, 20, 47, 20)});
        draw(QStringLiteral("P1[2]"), {L(33, 24, 47, 24)});
        drawn();
        storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                         {QStringLiteral("K2"), 2, QStringLiteral("2")},
                         {QStringLiteral("P1"), 3, QStringLiteral("1")},
                         {QStringLiteral("P1[2]"), 3, QStringLiteral("1")}});
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), insunits);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), scale);
    }
};

TEST_F(CrossingsAndUnits, TwoOneLineCrossingsOfOneGroupAreNeverTheTwoEdgesOfOneCrossing) {
    // P1 and P1[2] are two zebras 100 m apart on K1, each drawn as one line.
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -10, 50, 10)});
    draw(QStringLiteral("P1[2]"), {Line(150, -10, 150, 10)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                     {QStringLiteral("P1"), 2, QStringLiteral("2")},
                     {QStringLiteral("P1[2]"), 2, QStringLiteral("2")}});
    const Run r = runTool(QStringLiteral("dwa-przejscia"));
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.workbook.isEmpty());
    EXPECT_TRUE(r.said.contains(QStringLiteral(
        "K1: punkt ewakuacji przy strumieniu P1[2] połączono w parę z punktem dojazdu przy strumieniu P1, a "
        "nie są to dwie krawędzie jednego przejścia (nie biegną obok siebie wzdłuż krawędzi tych samych "
        "pasów: to dwa przejścia narysowane jedną linią).")))
        << r.said.toStdString();
    EXPECT_TRUE(r.said.contains(QStringLiteral("Skoroszyt nie został zapisany."))) << r.said.toStdString();
}

TEST_F(CrossingsAndUnits, APedestrianAndABicycleCrossingOfOneGroupAreNeverOneCrossing) {
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -7, 50, 7)});
    draw(QStringLiteral("R1"), {Line(54, -7, 54, 7)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                     {QStringLiteral("P1"), 2, QStringLiteral("2")},
                     {QStringLiteral("R1"), 2, QStringLiteral("2")}});
    const Run r = runTool(QStringLiteral("piesi-rowery"));
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.workbook.isEmpty());
    EXPECT_TRUE(r.said.contains(QStringLiteral(
        "K1: punkt ewakuacji przy strumieniu R1 połączono w parę z punktem dojazdu przy strumieniu P1, a nie "
        "są to dwie krawędzie jednego przejścia (przejście dla pieszych i przejazd dla rowerzystów to dwa "
        "osobne przejścia).")))
        << r.said.toStdString();
}

TEST_F(CrossingsAndUnits, AMetreDrawingWithoutUnitsIsExportedOnlyUnderSkalaOne) {
    drawIntersection(1, 0, QStringLiteral("1"));
    const Run metres = runTool(QStringLiteral("metry-1"));
    EXPECT_EQ(metres.exit, 0) << metres.said.toStdString();
    ASSERT_FALSE(metres.workbook.isEmpty());
    EXPECT_DOUBLE_EQ(clearingDistance(metres.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 14);

    // 10 fits the vehicle streams (8 m) by accident, not the crossing (1.4 m); 100 and 1000 fit nothing.
    for (const char* scale : {"10", "100", "1000"}) {
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::fromLatin1(scale));
        const Run r = runTool(QStringLiteral("metry-") + QString::fromLatin1(scale));
        EXPECT_EQ(r.exit, 1) << scale;
        EXPECT_TRUE(r.workbook.isEmpty()) << scale;
        EXPECT_TRUE(r.said.contains(QStringLiteral("SKALA rysunku wynosi %1 i nie pasuje do rysunku:")
                                        .arg(QString::fromLatin1(scale))))
            << r.said.toStdString();
        EXPECT_TRUE(r.said.contains(QStringLiteral("proponowana wartość 1."))) << r.said.toStdString();
    }
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("10"));
    EXPECT_TRUE(runTool(QStringLiteral("metry-10b"))
                    .said.contains(QStringLiteral("przejścia od 3 m do 40 m): P1 1,40 m, P1[2] 1,40 m;")));
}

TEST_F(CrossingsAndUnits, ACentimetreDrawingTakesOneHundred) {
    // Centimetres declared: 1000 (millimetres) is refused with 100 proposed, 100 gives the metre lengths.
    drawIntersection(100, 5, QStringLiteral("1000"));
    Run r = runTool(QStringLiteral("cm-1000"));
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.said.contains(QStringLiteral(
        "- rysunek deklaruje jednostki centymetry ($INSUNITS 5), dla których SKALA wynosi 100;")))
        << r.said.toStdString();
    EXPECT_TRUE(r.said.contains(QStringLiteral("proponowana wartość 100."))) << r.said.toStdString();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("100"));
    r = runTool(QStringLiteral("cm-100"));
    EXPECT_EQ(r.exit, 0) << r.said.toStdString();
    ASSERT_FALSE(r.workbook.isEmpty());
    EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 14);
}

TEST_F(CrossingsAndUnits, AnInchDrawingTakesThirtyNine) {
    drawIntersection(1 / 0.0254, 1, QStringLiteral("1"));
    Run r = runTool(QStringLiteral("cale-1"));
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.said.contains(
        QStringLiteral("- rysunek deklaruje jednostki cale ($INSUNITS 1), dla których SKALA wynosi 39;")))
        << r.said.toStdString();
    EXPECT_TRUE(r.said.contains(QStringLiteral("proponowana wartość 39."))) << r.said.toStdString();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("39"));
    r = runTool(QStringLiteral("cale-39"));
    EXPECT_EQ(r.exit, 0) << r.said.toStdString();
    ASSERT_FALSE(r.workbook.isEmpty());
    EXPECT_NEAR(clearingDistance(r.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 14 * 39.37 / 39,
                0.05);
}

// K2 north and K3 south on either side of a 3 m refuge island; the crossing's west half P1/P1[2] (15 m)
// across K2, its east half P2/P2[2] (12 m) across K3 (which meets P2[2] first, and enters there).
class IslandCrossing : public CrossingsAndUnits {
protected:
    void drawIsland(int groupOfEastHalf) { drawIslandCrossing({2, 3, 4, groupOfEastHalf, 1}); }
};

TEST_F(IslandCrossing, UnderOneGroupThePedestriansClearTheWholeCrossing) {
    drawIsland(3);
    const Run r = runTool(QStringLiteral("wysepka-1"));
    EXPECT_EQ(r.exit, 0) << r.said.toStdString();
    ASSERT_FALSE(r.workbook.isEmpty());
    // 15 m, the 3 m island and 12 m: a pedestrian stepping on at the end of green crosses it all.
    EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 30);
    EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P2[2]"), QStringLiteral("K3")), 30);
}

TEST_F(IslandCrossing, UnderTwoGroupsEachHalfIsItsOwnCrossing) {
    drawIsland(5);
    const Run r = runTool(QStringLiteral("wysepka-2"));
    EXPECT_EQ(r.exit, 0) << r.said.toStdString();
    ASSERT_FALSE(r.workbook.isEmpty());
    EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 15);
    EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P2[2]"), QStringLiteral("K3")), 12);
}

TEST_F(CrossingsAndUnits, CrossingLinksDecideWhichEdgesMakeOneCrossing) {
    // Two crossings by both edges on K1, linked crosswise by mistake: P1 with P3[2], P3 with P1[2].
    draw(QStringLiteral("K1"), {Line(0, 0, 300, 0)});
    draw(QStringLiteral("P1"), {Line(50, -10, 50, 10)});
    draw(QStringLiteral("P1[2]"), {Line(54, -10, 54, 10)});
    draw(QStringLiteral("P3"), {Line(150, -10, 150, 10)});
    draw(QStringLiteral("P3[2]"), {Line(154, -10, 154, 10)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                     {QStringLiteral("P1"), 2, QStringLiteral("2")},
                     {QStringLiteral("P1[2]"), 2, QStringLiteral("2")},
                     {QStringLiteral("P3"), 3, QStringLiteral("2")},
                     {QStringLiteral("P3[2]"), 3, QStringLiteral("2")}});
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(cut(), CutOutcome::Done);
    ASSERT_TRUE(CheckCrossingPairs().isEmpty());
    for (const auto& [inner, outer] : {std::pair{"P1", "P3[2]"}, std::pair{"P3", "P1[2]"}}) {
        int index = -1;
        CrossingSide failed = CrossingSide::None;
        ASSERT_TRUE(ConfirmCrossingLink(QString::fromLatin1(inner), QString::fromLatin1(outer), index,
                                        QStringLiteral("Przejścia - powiązania strumieni"), failed));
    }
    const QStringList faults = CheckCrossingPairs();
    ASSERT_EQ(faults.size(), 2) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(faults[0].endsWith(QStringLiteral("(powiązania przejść przypisują je do różnych przejść).")))
        << faults[0].toStdString();
}

TEST_F(CrossingsAndUnits, ADistanceOfZeroFromEitherStreamStopsTheExport) {
    // K2 starts 3 cm before K1, and K1 starts 3 cm before K3: both pairs would be written as 0.0 m.
    draw(QStringLiteral("K1"), {Line(0, 0, 60, 0)});
    draw(QStringLiteral("K2"), {Line(25, -0.03, 25, 30)});
    draw(QStringLiteral("K3"), {Line(0.03, -20, 0.03, 30)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                     {QStringLiteral("K2"), 2, QStringLiteral("2")},
                     {QStringLiteral("K3"), 3, QStringLiteral("2")}});
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    const QString said = prompts.messageTexts().join(QLatin1Char('\n'));
    EXPECT_TRUE(said.contains(QStringLiteral("odległości do punktów kolizji wyniosłyby 0,0 m:")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("K1 - K2"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("K1 - K3"))) << said.toStdString();
}

}  // namespace
}  // namespace conflictor::test
