// Drawings a user could make, cut and exported by conflictor-headless: the halves of an island crossing
// under one group drawn a little off the line or staggered are walked as one, as the halves in line
// are; "SKALA" that fits the lengths by accident is told by the lane spacing and the zebra widths, and
// one that disagrees with the declared metres stops the export with nothing written.
#include "tests/conflictor/export/HeadlessRun.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/DrawingUnits.h"

namespace conflictor::test {
namespace {

class IslandHalves : public HeadlessRun {
protected:
    // K2 north and K3 south on either side of a 3 m refuge island; the crossing's west half P1/P1[2]
    // (15 m, y 30 and 34) across K2, its east half P2/P2[2] (12 m) across K3, which meets P2[2] first.
    // The pedestrians are group 2 (halves of one group unless `eastGroup` says otherwise).
    void drawIsland(int eastGroup = 2) { drawIslandCrossing({1, 2, eastGroup == 2 ? 3 : 4, eastGroup}); }
    // Moves a stream as drawn: its lines in their component blocks and its start marker.
    void moveStream(const QString& name, double dx, double dy) {
        for (const cad::Entity& ref : references(QStringLiteral("12^*"))) {
            if (ref.name().startsWith(QStringLiteral("12^POCZATEK_STRUMIEN_") + name + QLatin1Char('_'))) {
                ref.move({0, 0, 0}, {dx, dy, 0});
                continue;
            }
            if (!ref.name().endsWith(QLatin1Char('^') + name)) continue;
            for (const cad::Entity& line : doc().blocks().item(ref.name()).entities()) {
                const cad::Point a = line.startPoint(), b = line.endPoint();
                line.setStartPoint({a.x + dx, a.y + dy, 0});
                line.setEndPoint({b.x + dx, b.y + dy, 0});
            }
        }
    }
    // The east half moved north by `dy` with K3's start, so that every vehicle distance stays as drawn
    // in line: only the walk across the island differs.
    void shiftEastHalf(double dy) {
        for (const char* name : {"P2", "P2[2]", "K3"}) moveStream(QString::fromLatin1(name), 0, dy);
    }
};

TEST_F(IslandHalves, HalvesOfOneGroupOffTheLineOrStaggeredAreWalkedAsOneAsInLine) {
    drawIsland();
    const Run inLine = runTool(QStringLiteral("w-linii"));
    ASSERT_EQ(inLine.exit, 0) << inLine.said.toStdString();
    ASSERT_FALSE(inLine.workbook.isEmpty());
    EXPECT_DOUBLE_EQ(clearingDistance(inLine.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 30);
    const QStringList expected = matrix(inLine.workbook);

    // 0.6 m off the line (a drawing's imprecision), then staggered by 2 m: the same crossing.
    double shifted = 0;
    for (const double offset : {0.6, 2.0}) {
        SCOPED_TRACE(offset);
        shiftEastHalf(offset - shifted);
        shifted = offset;
        const Run r = runTool(QStringLiteral("przesuniete-%1").arg(offset));
        ASSERT_EQ(r.exit, 0) << r.said.toStdString();
        ASSERT_FALSE(r.workbook.isEmpty());
        EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 30);
        EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P2[2]"), QStringLiteral("K3")), 30);
        EXPECT_EQ(matrix(r.workbook), expected);
    }

    // 15 m aside the east half is no continuation of the west one: each is a crossing of its own.
    shiftEastHalf(15 - shifted);
    const Run apart = runTool(QStringLiteral("osobne"));
    ASSERT_EQ(apart.exit, 0) << apart.said.toStdString();
    EXPECT_DOUBLE_EQ(clearingDistance(apart.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 15);
    EXPECT_DOUBLE_EQ(clearingDistance(apart.workbook, QStringLiteral("P2[2]"), QStringLiteral("K3")), 12);
}

TEST_F(IslandHalves, AnEdgeOfTheFarHalfShorterThanItsTwinStillLetsEachStreamClearTheWholeCrossing) {
    // P2[2] 10 m where P2 is 12 m: P1 walks 15 + 3 + 12, its twin P1[2] (the approach point's crossing)
    // only 15 + 3 + 10. The pedestrians of P1 still clear their own whole walk.
    drawIslandCrossing({1, 2, 3, 2}, 68);
    const Run r = runTool(QStringLiteral("krotsza-krawedz"));
    ASSERT_EQ(r.exit, 0) << r.said.toStdString();
    EXPECT_DOUBLE_EQ(clearingDistance(r.workbook, QStringLiteral("P1"), QStringLiteral("K2")), 30);
}

class RoadWidths : public HeadlessRun {
protected:
    // A drawing in metres with no crossing: K1 and K3 eastward in two lanes 3.5 m apart (without
    // `secondLane`, K1 alone), K2 northward across them; every path 87-100 m long.
    void drawLanes(bool secondLane = true) {
        draw(QStringLiteral("K1"), {Line(0, 0, 90, 0)});
        if (secondLane) draw(QStringLiteral("K3"), {Line(0, 3.5, 87, 3.5)});
        draw(QStringLiteral("K2"), {Line(40, -45, 40, 55)});
        drawn();
        QList<StreamData> data{{QStringLiteral("K1"), 1, QStringLiteral("1")},
                               {QStringLiteral("K2"), 2, QStringLiteral("2")}};
        if (secondLane) data.append({QStringLiteral("K3"), 3, QStringLiteral("1")});
        storeStreamData(data);
    }
    static void expectRefusedWithOne(const Run& r, int scale) {
        EXPECT_NE(r.exit, 0);
        EXPECT_TRUE(r.workbook.isEmpty());
        EXPECT_TRUE(r.said.contains(QStringLiteral("SKALA rysunku wynosi %1 i nie pasuje do rysunku:").arg(scale)))
            << r.said.toStdString();
        EXPECT_TRUE(r.said.contains(QStringLiteral("proponowana wartość 1."))) << r.said.toStdString();
        EXPECT_TRUE(r.said.contains(QStringLiteral("Nic nie zapisano: popraw wartość SKALA.")))
            << r.said.toStdString();
    }
};

TEST_F(RoadWidths, SkalaTenOnAMetreDrawingWithoutUnitsOrCrossingsIsToldByItsLanes) {
    drawLanes();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("10"));
    const Run r = runTool(QStringLiteral("pasy-10"));
    expectRefusedWithOne(r, 10);
    EXPECT_TRUE(r.said.contains(QStringLiteral(
        "- strumienie pojazdów na sąsiednich pasach biegłyby bliżej siebie, niż pozwala szerokość pasa ruchu "
        "(co najmniej 2,5 m): K1 i K3 0,35 m;")))
        << r.said.toStdString();

    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
    const Run metres = runTool(QStringLiteral("pasy-1"));
    EXPECT_EQ(metres.exit, 0) << metres.said.toStdString();
    EXPECT_FALSE(metres.workbook.isEmpty());
}

TEST_F(RoadWidths, SkalaTwoSetAfterTheCutOnAMetreDrawingWithoutUnitsStopsTheExport) {
    drawLanes();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
    ASSERT_EQ(cut(), CutOutcome::Done);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("2"));
    const Run r = runTool(QStringLiteral("pasy-po-cieciu"), false);
    expectRefusedWithOne(r, 2);
    EXPECT_TRUE(r.said.contains(QStringLiteral("K1 i K3 1,75 m;"))) << r.said.toStdString();
}

TEST_F(RoadWidths, AZebraNarrowerThanAnyIsTold) {
    // The crossing of the metre drawing, its edges 4 m apart: under SKALA 10 its 14 m edges read 1.4 m
    // and its width 0.4 m.
    drawCrossing();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("10"));
    const Run r = runTool(QStringLiteral("zebra-10"));
    expectRefusedWithOne(r, 10);
    EXPECT_TRUE(r.said.contains(QStringLiteral(
        "- krawędzie przejścia byłyby od siebie w odległości, jakiej nie ma żadne przejście (od 2,5 m do 10 m): "
        "P1 i P1[2] 0,40 m;")))
        << r.said.toStdString();
}

TEST_F(RoadWidths, SkalaTwoOnADrawingThatDeclaresMetresStopsWithNothingWritten) {
    // No lanes side by side, no crossing: halved, every length still fits a road; the declared units
    // alone tell that every distance would be written half as long as drawn.
    drawLanes(false);
    automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("2"));
    const Run r = runTool(QStringLiteral("metry-2"));
    expectRefusedWithOne(r, 2);
    EXPECT_TRUE(r.said.contains(
        QStringLiteral("- rysunek deklaruje jednostki metry ($INSUNITS 6), dla których SKALA wynosi 1;")))
        << r.said.toStdString();
}

TEST_F(RoadWidths, InTheWindowTheQuestionsDefaultAnswerStopsTheCut) {
    drawLanes(false);
    automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("2"));
    int opened = 0;
    OpenScaleSettings = [&](int) {
        ++opened;
        return false;
    };
    prompts.answerMessage(ui::Yes);  // the cut
    prompts.answerMessage(ui::No);   // the settings, as the default button answers
    EXPECT_EQ(CutStreams(true), CutOutcome::UnitsRefused);
    OpenScaleSettings = nullptr;
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[1].flags, ui::YesNo | ui::Exclamation | ui::DefaultButton2);
    EXPECT_TRUE(prompts.asked()[1].text.endsWith(QStringLiteral(
        "Czy otworzyć ustawienia, aby zmienić wartość SKALA? (Nie: operacja zostanie przerwana)")))
        << prompts.asked()[1].text.toStdString();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(markers().isEmpty());
}

TEST_F(RoadWidths, ASkalaOfBlanksIsAMetreDrawing) {
    drawLanes();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("   "));
    ASSERT_EQ(cut(), CutOutcome::Done) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    prompts.clear();
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_DOUBLE_EQ(clearingDistance(path, QStringLiteral("K1"), QStringLiteral("K2")), 40);
}

}  // namespace
}  // namespace conflictor::test
