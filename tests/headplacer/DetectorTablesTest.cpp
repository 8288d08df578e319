// The detector window's tables, the stepping and rounding of descriptions and sizes, and the
// other vendor's command texts and outlines.
#include "headplacer/logic/DetectorTables.h"

#include <gtest/gtest.h>

using namespace headplacer;

TEST(DetectorTables, LoopFunctionsAndSizeLists) {
    ASSERT_EQ(RectangleLoopFunctions.size(), 8);
    ASSERT_EQ(ParallelogramLoopFunctions.size(), 8);
    EXPECT_EQ(RectangleLoopFunctions[1].Length, 16);
    EXPECT_EQ(RectangleLoopFunctions[1].Width, 2);
    EXPECT_EQ(RectangleLoopFunctions[1].Turns, 3);
    EXPECT_EQ(ParallelogramLoopFunctions[1].Turns, 4);
    EXPECT_EQ(ParallelogramLoopFunctions[4].Length, 1);
    EXPECT_EQ(AboveRoadDetectorKinds[0].Code, QStringLiteral("kam."));
    EXPECT_EQ(LoopWidths(1).items.size(), 12);
    EXPECT_EQ(LoopWidths(1).items.first(), QStringLiteral("2,75"));
    EXPECT_EQ(LoopWidths(1).items.last(), QStringLiteral("5,50"));
    EXPECT_EQ(AreaWidths(0).items.size(), 13);
    EXPECT_EQ(AreaLengths(1).shown, 1);
}

TEST(DetectorTables, NextDescriptionsAndRounding) {
    EXPECT_EQ(NextDetectionArea(QStringLiteral("V111"), false), QStringLiteral("V112"));
    EXPECT_EQ(NextDetectionArea(QString(), false), QStringLiteral("V112"));
    EXPECT_EQ(NextDetectionLane(QStringLiteral("V111"), false), QStringLiteral("V121"));
    EXPECT_EQ(NextDetectionArea(QStringLiteral("V2111"), true), QStringLiteral("V2112"));
    EXPECT_EQ(NextVideoDetector(QStringLiteral("kam.1p.0"), false, QStringLiteral("kam.")),
              QStringLiteral("kam.1p.1"));
    EXPECT_EQ(NextVideoDetector(QString(), false, QStringLiteral("kam.")), QStringLiteral("kam.1.1"));
    EXPECT_EQ(RoundToWholeMetres(QStringLiteral("2,5")), QStringLiteral("3"));
    EXPECT_EQ(RoundToWholeMetres(QStringLiteral("2,4")), QStringLiteral("2"));
    EXPECT_NEAR(QString(RoundToDecimetres(QStringLiteral("2,46")))
                    .replace(QLatin1Char(','), QLatin1Char('.'))
                    .toDouble(),
                2.5, 1e-9);
}

TEST(DetectorTables, CommandTextsAndOutlines) {
    EXPECT_EQ(MoveObjectCommand(7), QStringLiteral("SUW(tryb=OSTOBI, obiidx=7, p=(0.00,0.00))"));
    EXPECT_EQ(
        AboveRoadInsertCommand(QStringLiteral("C:\\Suite\\aZasoby\\Symbole\\vkam")),
        QStringLiteral("OBW(n=\"C:\\Suite\\aZasoby\\Symbole\\vkam\", skala=10.000, warstwa=115,symbol=1)"));
    const auto r = RectangleCorners(14, 1);
    EXPECT_DOUBLE_EQ(r[2].X, 14000);
    EXPECT_DOUBLE_EQ(r[2].Y, 1000);
    const auto second = RectangleCorners(12, 0.5, 0.5 + 0.6);
    EXPECT_NEAR(second[0].Y, 1100, 1e-9);
    EXPECT_NEAR(second[3].Y, 1600, 1e-9);
    const auto p = ParallelogramCorners(1, 3.5, 0.25, 0.3);
    EXPECT_NEAR(p[0].X, -3250, 1e-6);
    EXPECT_NEAR(p[0].Y, -3250, 1e-6);
    EXPECT_NEAR(p[1].Y, -4250, 1e-6);
    EXPECT_NEAR(p[2].X, -300, 1e-6);
    EXPECT_NEAR(p[2].Y, -1300, 1e-6);
    EXPECT_NEAR(p[3].X, -300, 1e-6);
    EXPECT_NEAR(p[3].Y, -300, 1e-6);
}
