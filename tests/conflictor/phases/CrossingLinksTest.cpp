// Confirming crossing links: the block with its symbol, island line, length text and attributes,
// read back by the crossing-link reader; the refusals; the replacement of an edited link's block.
#include "StreamsFixture.h"

#include "automation/CrossingLinks.h"
#include "automation/DrawingProperties.h"
#include "conflictor/phases/CrossingLinkConfirm.h"
#include "conflictor/phases/CrossingLinkGeometry.h"
#include "conflictor/streams/StreamReading.h"

namespace conflictor::test {
namespace {

class CrossingLinks : public StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        automation::CrossingLinkTable.clear();
        addAttributeBlock(QStringLiteral("12"));
    }
    void TearDown() override {
        automation::CrossingLinkTable.clear();
        StreamsFixture::TearDown();
    }
    // An island crossing along Y, lengths multiplied by `k` drawing units a metre: inner P1 0-6 and
    // P2 9-15 (3 m island), outer P3 1-12 at x = 2; a vehicle stream K1 beside them.
    void buildCrossing(double k = 1) {
        addLine(1, QStringLiteral("^P1"), 0, 0, 0, 6 * k);
        addLine(2, QStringLiteral("^P2"), 0, 15 * k, 0, 9 * k);
        addLine(3, QStringLiteral("^P3"), 2 * k, 1 * k, 2 * k, 12 * k);
        addLine(4, QStringLiteral("^K1"), 10 * k, 0, 10 * k, 20 * k);
        ASSERT_TRUE(OdczytajStrumienie(false, -1));
    }
    bool confirm(const QString& inner, const QString& outer, int& index, CrossingSide& failed) {
        return ConfirmCrossingLink(inner, outer, index, QStringLiteral("Przejścia - powiązania strumieni"),
                                   failed);
    }
    QList<cad::Entity> entitiesOf(const QString& blockName) {
        QList<cad::Entity> out;
        for (const cad::Entity& e : automation::GetBlockDefinition(blockName).entities()) out.append(e);
        return out;
    }
};

TEST_F(CrossingLinks, AnIslandLinkGivesItsBlockAndReadsBack) {
    buildCrossing();
    const QString layerBefore = doc().getVariable(QStringLiteral("CLAYER")).toText();
    doc().setVariable(QStringLiteral("CECOLOR"), QStringLiteral("1"));
    const QString colourBefore = doc().getVariable(QStringLiteral("CECOLOR")).toText();
    int index = -1;
    CrossingSide failed;
    ASSERT_TRUE(confirm(QStringLiteral(" P1 P2 "), QStringLiteral("P3"), index, failed));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(prompts.asked().empty());

    const QList<cad::Entity> refs = references(QStringLiteral("12^POWIAZANIE_*"));
    ASSERT_EQ(refs.size(), 1);
    EXPECT_EQ(refs[0].layer(), QStringLiteral("402-POWIAZANIA_PRZEJSC"));
    // Arrow tip: 2 m (scale 1) before the middle of the spans' first ends (0,0) and (2,1).
    EXPECT_NEAR(refs[0].insertionPoint().x, 1.0, 0.05);
    EXPECT_LT(refs[0].insertionPoint().y, -1.0);

    int symbolLines = 0, gapLines = 0;
    QStringList texts;
    QStringList tags;
    for (const cad::Entity& e : entitiesOf(refs[0].name())) {
        const QString type = e.objectName();
        if (type == QLatin1String("AcDbLine")) {
            if (e.layer() == QLatin1String("404-ODCINKI_POWIAZAN_PRZEJSC")) {
                ++gapLines;
                // The island's line lies between (0,6) and (0,9), in block coordinates.
                const cad::Point a = e.startPoint(), b = e.endPoint();
                EXPECT_NEAR(std::abs(a.y - b.y), 3.0, 1e-6);
            } else {
                ++symbolLines;
            }
        } else if (type == QLatin1String("AcDbText")) {
            EXPECT_EQ(e.layer(), QStringLiteral("403-DLUGOSCI_POWIAZAN_PRZEJSC"));
            texts.append(e.textString());
        } else if (type == QLatin1String("AcDbAttributeDefinition")) {
            tags.append(e.tagString());
        }
    }
    EXPECT_EQ(symbolLines, 10);
    EXPECT_EQ(gapLines, 1);
    EXPECT_EQ(texts, QStringList{QStringLiteral("3.0")});
    EXPECT_EQ(tags, (QStringList{"DLUGOSC_WYSPY", "DLUGOSC_PRZEJSC", "DLUGOSC_CALKOWITA",
                                 "STRUMIENIE_OD_SRODKA", "STRUMIENIE_ZEWN"}));

    // The table entry carries the lengths at once, as the reader gives them from the block.
    const automation::CrossingLinkRecord made = automation::CrossingLinkTable.value(0);
    EXPECT_EQ(made.CrossingLength, QStringLiteral("12.0"));
    automation::ReadCrossingLinks(QStringLiteral("12"));
    ASSERT_EQ(automation::CrossingLinkTable.size(), 1);
    const automation::CrossingLinkRecord& read = automation::CrossingLinkTable[0];
    EXPECT_EQ(read.InnerStreams, QStringLiteral("P1:P2"));
    EXPECT_EQ(read.OuterStreams, QStringLiteral("P3"));
    EXPECT_EQ(read.IslandLength, QStringLiteral("3.0"));
    EXPECT_EQ(read.CrossingLength, QStringLiteral("12.0"));
    EXPECT_EQ(read.TotalLength, QStringLiteral("15.0"));
    EXPECT_EQ(read.Handle, made.Handle);
    EXPECT_EQ(read.IslandLength, made.IslandLength);
    EXPECT_EQ(read.TotalLength, made.TotalLength);

    // The link layer stays current; the other CAD variables come back.
    EXPECT_EQ(doc().getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("402-POWIAZANIA_PRZEJSC"));
    EXPECT_NE(layerBefore, QStringLiteral("402-POWIAZANIA_PRZEJSC"));
    EXPECT_EQ(doc().getVariable(QStringLiteral("CECOLOR")).toText(), colourBefore);
}

TEST_F(CrossingLinks, LengthsFollowTheDrawingScaleAndCarryADot) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("100"));
    automation::DrawingScale = 1;  // a stale value: the confirm must measure with the drawing's own
    buildCrossing(100);
    int index = -1;
    CrossingSide failed;
    ASSERT_TRUE(confirm(QStringLiteral("P1:P2"), QStringLiteral("P3"), index, failed));
    automation::ReadCrossingLinks(QStringLiteral("12"));
    ASSERT_EQ(automation::CrossingLinkTable.size(), 1);
    EXPECT_EQ(automation::CrossingLinkTable[0].CrossingLength, QStringLiteral("12.0"));
    EXPECT_EQ(automation::CrossingLinkTable[0].IslandLength, QStringLiteral("3.0"));
    EXPECT_EQ(automation::CrossingLinkTable[0].TotalLength, QStringLiteral("15.0"));
    EXPECT_EQ(automation::DrawingScale, 100);
}

TEST_F(CrossingLinks, OneStreamASideAndTheOuterSideDecidingOnATie) {
    buildCrossing();
    int index = -1;
    CrossingSide failed;
    ASSERT_TRUE(confirm(QStringLiteral("P1"), QStringLiteral("P2"), index, failed));
    const automation::CrossingLinkRecord& r = automation::CrossingLinkTable[0];
    EXPECT_EQ(r.IslandLength, QStringLiteral("0.0"));
    EXPECT_EQ(r.CrossingLength, QStringLiteral("6.0"));
    EXPECT_EQ(r.TotalLength, QStringLiteral("6.0"));
    // The island on the shorter side is drawn but does not count.
    int index2 = -1;
    ASSERT_TRUE(confirm(QStringLiteral("P3"), QStringLiteral("P1 P2"), index2, failed));
    EXPECT_EQ(index2, 1);
    EXPECT_EQ(automation::CrossingLinkTable[1].IslandLength,
              QStringLiteral("3.0"));  // 12 vs 11: outer decides
    int index3 = -1;
    ASSERT_TRUE(confirm(QStringLiteral("P1:P2"), QStringLiteral("P3"), index3, failed));
    EXPECT_EQ(automation::CrossingLinkTable[2].IslandLength, QStringLiteral("3.0"));
}

TEST_F(CrossingLinks, RefusalsTellWhyAndWriteNothing) {
    buildCrossing();
    struct Case {
        const char* inner;
        const char* outer;
        const char* message;
        CrossingSide side;
    } cases[] = {
        {"", "P3", "Nie wypełniono pola \"Od środka skrzyżowania\"!", CrossingSide::Inner},
        {"P1", "  ", "Nie wypełniono pola \"Zewnętrzne\"!", CrossingSide::Outer},
        {"P1 P2 P3", "P3", "Program obsługuje powiązanie maksymalnie dwóch par strumieni!",
         CrossingSide::Inner},
        {"P1  P2", "P3", "Program obsługuje powiązanie maksymalnie dwóch par strumieni!",
         CrossingSide::Inner},
        {"P1", "P1:P2:P3", "Program obsługuje powiązanie maksymalnie dwóch par strumieni!",
         CrossingSide::Outer},
        {"P1:", "P3", "W programie nie zdefiniowano strumienia: !", CrossingSide::Inner},
        {"P1", "P7", "W programie nie zdefiniowano strumienia: P7!", CrossingSide::Outer},
        {"K1", "P3", "Powiązać można tylko strumienie piesze lub rowerowe!", CrossingSide::Inner},
        {"P1 P2", "p2", "Strumień nie może należeć do obu stron przejścia: p2!", CrossingSide::Outer},
    };
    for (const Case& c : cases) {
        prompts.clear();
        int index = -1;
        CrossingSide failed = CrossingSide::None;
        EXPECT_FALSE(confirm(QString::fromUtf8(c.inner), QString::fromUtf8(c.outer), index, failed))
            << c.inner;
        EXPECT_EQ(failed, c.side) << c.inner;
        EXPECT_EQ(prompts.messageTexts(), QStringList{QString::fromUtf8(c.message)}) << c.inner;
        EXPECT_EQ(index, -1);
    }
    EXPECT_TRUE(references(QStringLiteral("12^POWIAZANIE_*")).isEmpty());
    EXPECT_TRUE(automation::CrossingLinkTable.isEmpty());
}

TEST_F(CrossingLinks, ASideWithoutAUsableStreamIsRefusedAndNothingDrawnAtTheOrigin) {
    buildCrossing();
    // A stream the table knows whose component is gone from the drawing.
    StreamRecord ghost = Stream(QStringLiteral("P9"));
    StreamTable.push_back(ghost);
    const QString colour = doc().getVariable(QStringLiteral("CECOLOR")).toText();
    int index = -1;
    CrossingSide failed;
    EXPECT_FALSE(confirm(QStringLiteral("P1"), QStringLiteral("P9"), index, failed));
    EXPECT_EQ(failed, CrossingSide::Outer);
    ASSERT_FALSE(prompts.messageTexts().isEmpty());
    EXPECT_TRUE(prompts.messageTexts().last().contains(QStringLiteral("Zewnętrzne")));
    EXPECT_TRUE(references(QStringLiteral("12^POWIAZANIE_*")).isEmpty());
    EXPECT_EQ(doc().getVariable(QStringLiteral("CECOLOR")).toText(), colour);
}

TEST_F(CrossingLinks, EditingReplacesTheBlockAndKeepsTheEntry) {
    buildCrossing();
    int index = -1;
    CrossingSide failed;
    ASSERT_TRUE(confirm(QStringLiteral("P1"), QStringLiteral("P3"), index, failed));
    const QString oldName = references(QStringLiteral("12^POWIAZANIE_*")).value(0).name();
    ASSERT_TRUE(confirm(QStringLiteral("P1:P2"), QStringLiteral("P3"), index, failed));
    EXPECT_EQ(index, 0);
    const QList<cad::Entity> refs = references(QStringLiteral("12^POWIAZANIE_*"));
    ASSERT_EQ(refs.size(), 1);
    EXPECT_NE(refs[0].name(), oldName);
    EXPECT_FALSE(automation::CheckBlockExists(oldName));
    EXPECT_EQ(automation::CrossingLinkTable.size(), 1);
    EXPECT_EQ(automation::CrossingLinkTable[0].Handle, refs[0].handle());
    EXPECT_EQ(automation::CrossingLinkTable[0].InnerStreams, QStringLiteral("P1:P2"));
}

TEST(CrossingSides, SpansGapsAndTheAxis) {
    PointPair gap;
    const PointPair span = CombineCrossingSide({{{0, 0}, {0, 6}}, {{0, 15}, {0, 9}}}, gap);
    EXPECT_NEAR(span.P1.Y, 0, 1e-9);
    EXPECT_NEAR(span.P2.Y, 15, 1e-9);
    EXPECT_NEAR(gap.P1.Y, 6, 1e-9);
    EXPECT_NEAR(gap.P2.Y, 9, 1e-9);
    CombineCrossingSide({{{0, 0}, {0, 6}}, {{0, 6.005}, {0, 9}}}, gap);
    EXPECT_TRUE(IsAbsentPair(gap));  // touching streams: no island
    EXPECT_TRUE(common::IsMissingPoint(CombineCrossingSide({{}, {}, {}}, gap).P1));
    PointPair outer{{2, 10}, {2, 0}};
    PointPair tips = AbsentPair();
    const PointPair axis = BuildLinkAxis(PointPair{{0, 0}, {0, 10}}, outer, 1, tips);
    EXPECT_NEAR(outer.P1.Y, 0, 1e-9);  // turned round
    EXPECT_NEAR(axis.P1.Y, -1, 1e-9);
    EXPECT_NEAR(axis.P2.Y, 11, 1e-9);
    EXPECT_NEAR(tips.P1.Y, -2, 1e-9);
    EXPECT_NEAR(tips.P2.X, 1, 1e-9);
    EXPECT_EQ(CrossingSideList(QStringLiteral(" P1 P2 ")), (QStringList{"P1", "P2"}));
    EXPECT_TRUE(CrossingSideList(QStringLiteral("  ")).isEmpty());
}

}  // namespace
}  // namespace conflictor::test
