// A crossing link confirmed in the drawing reaches the workbook: the export reads its block back and
// fills the crossing table with its lengths and the pedestrians' minimum time.
#include "ExportFixture.h"

#include "conflictor/phases/CrossingLinkConfirm.h"
#include "conflictor/streams/StreamReading.h"

namespace conflictor::test {
namespace {

class CrossingLinkExport : public ExportFixture {};

TEST_F(CrossingLinkExport, TheCrossingTableHoldsTheLinksLengthsAndMinimumTime) {
    // K1 and K2 as in the plain crossing; P1 and P2 the inner side with a 3 m island, P3 outside.
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(50, -50, 50, 60)});
    draw(QStringLiteral("P1"), {Line(40, 30, 60, 30)});
    draw(QStringLiteral("P2"), {Line(63, 30, 70, 30)});
    draw(QStringLiteral("P3"), {Line(40, 36, 65, 36)});
    drawn();
    storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                     {QStringLiteral("K2"), 2, QStringLiteral("2")},
                     {QStringLiteral("P1"), 3, QStringLiteral("1")},
                     {QStringLiteral("P2"), 3, QStringLiteral("1")},
                     {QStringLiteral("P3"), 4, QStringLiteral("1")}});
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    int index = -1;
    CrossingSide failed = CrossingSide::None;
    ASSERT_TRUE(ConfirmCrossingLink(QStringLiteral("P1 P2"), QStringLiteral("P3"), index,
                                    QStringLiteral("Przejścia - powiązania strumieni"), failed));
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.clear();
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();

    sheet::Worksheet& m = readBack(path).worksheets(2);
    const int n = 4;  // groups
    const int R = 9 + n, K = 4 + n;
    EXPECT_EQ(m.cells(R, K).value().toString(),
              QStringLiteral("Przejścia - powiązania strumieni pieszych i rowerowych"));
    EXPECT_EQ(m.cells(R + 3, K + 1).value().toString(), QStringLiteral("P1:P2,P3"));
    EXPECT_DOUBLE_EQ(m.cells(R + 3, K + 2).value().number(), 27.0);  // the inner side, 20 + 7 m
    EXPECT_DOUBLE_EQ(m.cells(R + 3, K + 3).value().number(), 3.0);   // its island
    EXPECT_DOUBLE_EQ(m.cells(R + 3, K + 4).value().number(), 30.0);
    EXPECT_DOUBLE_EQ(m.cells(R + 3, K + 5).value().number(), 21.43);  // 30 m at 1.4 m/s
    EXPECT_DOUBLE_EQ(m.cells(R + 3, K + 6).value().number(), 22);
    EXPECT_TRUE(m.cells(R + 4, K + 1).value().isEmpty());
}

}  // namespace
}  // namespace conflictor::test
