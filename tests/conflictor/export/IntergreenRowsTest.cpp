// Distance texts along the streams and the formulas of one pair row, on streams the tests draw.
#include "tests/conflictor/export/ExportFixture.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/IntergreenRows.h"

namespace conflictor::test {
namespace {

class IntergreenRows : public ExportFixture {
protected:
    // A stream of a line of 20 and an arc of length 10 with the given radius, read and ordered.
    PlanePoint drawLineAndArc(const QString& name, double radius, double y) {
        const double sweep = 10.0 / radius;
        // The arc continues the line eastward, turning left around (20, y + radius).
        draw(name, {Line(0, y, 20, y), Arc(20, y + radius, radius, -Pi / 2, -Pi / 2 + sweep)});
        drawn();
        EXPECT_TRUE(OdczytajStrumienie(false, -1));
        SortujOdcinkiStrumienia(FindStreamIndex(name));
        return common::GetPolarPoint({20, y + radius}, -Pi / 2 + sweep, radius);
    }

    // A worksheet with the stream rows of the table from row 24, as the export writes them.
    sheet::Worksheet& sheetWithStreamRows() {
        sheet::Worksheet& ws = app.workbooks().add().worksheets(1);
        ws.cells(9, 24).setValue(3.0);
        ws.cells(10, 24).setValue(3.5);
        int row = 24;
        for (StreamRecord& s : StreamTable) {
            s.SheetIndex = row;
            ws.cells(row, 17).setValue(s.Name);
            ws.cells(row, 18).setValue(s.VehicleLength);
            ws.cells(row, 19).setValue(s.ApproachStraightSpeed);
            ws.cells(row, 20).setValue(s.ApproachArcSpeed);
            ws.cells(row, 21).setValue(s.ClearStraightSpeed);
            ws.cells(row, 22).setValue(s.ClearArcSpeed);
            ws.cells(row, 23).setValue(s.MaxAcceleration);
            ++row;
        }
        return ws;
    }
};

TEST_F(IntergreenRows, ArcBelowTheRadiusLimitTakesTheArcSpeed) {
    for (double radius : {30.0, 60.0}) {
        SCOPED_TRACE(radius);
        const QString name = radius < 50 ? QStringLiteral("K1") : QStringLiteral("K2");
        const PlanePoint end = drawLineAndArc(name, radius, radius < 50 ? 0 : 500);
        StreamTable.erase(StreamTable.begin(), StreamTable.begin() + FindStreamIndex(name));
        StreamTable.resize(1);
        const int k1 = 0;
        bool onArc = false;
        double distance = 0;
        QString text;
        ASSERT_TRUE(GetConflictDistanceText(end, k1, onArc, distance, text));
        EXPECT_EQ(text, QStringLiteral("20.0+10.0"));
        EXPECT_NEAR(distance, 30.0, 1e-9);
        EXPECT_EQ(onArc, radius < 50);

        StreamTable[size_t(k1)].VehicleLength = 10;
        StreamTable[size_t(k1)].ClearStraightSpeed = 11.11;
        StreamTable[size_t(k1)].ClearArcSpeed = 8;
        StreamTable[size_t(k1)].ApproachStraightSpeed = 13.89;
        StreamTable[size_t(k1)].MaxAcceleration = 3.5;
        sheet::Worksheet& ws = sheetWithStreamRows();
        const IntergreenPair pair{
            name,  name,  QStringLiteral("=") + text,       QStringLiteral("=5.0"), k1, k1,
            onArc, false, QStringLiteral("POJPOJ_STRUMIEN")};
        const int o = WriteIntergreenRow(ws, 12, pair);
        EXPECT_EQ(ws.range(QStringLiteral("E12")).formulaR1C1(),
                  radius < 50 ? QStringLiteral("=R24C22") : QStringLiteral("=R24C21"));
        EXPECT_EQ(ws.range(QStringLiteral("D12")).formulaR1C1(), QStringLiteral("=R24C18"));
        EXPECT_EQ(ws.range(QStringLiteral("H12")).formulaR1C1(), QStringLiteral("=R24C19"));
        EXPECT_EQ(ws.range(QStringLiteral("N12")).formulaR1C1(), QStringLiteral("=R24C23"));
        // (30 + 10) / v + 3 - (5 / 13.89 + 1), rounded up.
        const double v = radius < 50 ? 8 : 11.11;
        EXPECT_EQ(o, int(std::ceil(40 / v + 3 - (5 / 13.89 + 1))));
        EXPECT_NEAR(ws.range(QStringLiteral("J12")).value().number(), std::sqrt(2 * 6.5 / 3.5), 1e-9);
    }
}

// A drawing in millimetres (SKALA 1000): the distances are metres all the same, and the radius
// limit is in metres too.
TEST_F(IntergreenRows, DistancesOfADrawingInMillimetresAreMetres) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1000"));
    const double radius = 30000, sweep = 10000 / radius;
    draw(QStringLiteral("K1"), {Line(0, 0, 20000, 0), Arc(20000, radius, radius, -Pi / 2, -Pi / 2 + sweep)});
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int k1 = FindStreamIndex(QStringLiteral("K1"));
    SortujOdcinkiStrumienia(k1);
    ASSERT_EQ(automation::DrawingScale, 1000);
    bool onArc = false;
    double distance = 0;
    QString text;
    ASSERT_TRUE(GetConflictDistanceText(common::GetPolarPoint({20000, radius}, -Pi / 2 + sweep, radius), k1,
                                        onArc, distance, text));
    EXPECT_EQ(text, QStringLiteral("20.0+10.0"));
    EXPECT_TRUE(onArc);  // 30 m is below the 50 m limit
}

TEST_F(IntergreenRows, PedestrianStreamsAreMeasuredWhole) {
    draw(QStringLiteral("P1"), {Line(0, 0, 5, 0), Line(5, 0, 8.5, 0)});
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    SortujOdcinkiStrumienia(FindStreamIndex(QStringLiteral("P1")));
    bool onArc = true;
    double distance = 0;
    QString text;
    ASSERT_TRUE(
        GetConflictDistanceText({2, 0}, FindStreamIndex(QStringLiteral("P1")), onArc, distance, text));
    EXPECT_NEAR(distance, 8.5, 1e-9) << text.toStdString();
    EXPECT_FALSE(onArc);
    EXPECT_EQ(text, QStringLiteral("5.0+3.5"));
}

TEST_F(IntergreenRows, VehicleStreamWithoutAComponentEndAtThePointIsNotMeasured) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    bool onArc = false;
    double distance = -1;
    QString text = QStringLiteral("old");
    EXPECT_FALSE(
        GetConflictDistanceText({50, 0}, FindStreamIndex(QStringLiteral("K1")), onArc, distance, text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(distance, 0);
}

TEST_F(IntergreenRows, SpeedZeroGivesTheWorksheetErrorNotANumber) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("P1"))};
    StreamTable[0].VehicleLength = 10;  // speeds 0
    StreamTable[1].ClearStraightSpeed = 1.4;
    sheet::Worksheet& ws = sheetWithStreamRows();
    const IntergreenPair pair{QStringLiteral("K1"),
                              QStringLiteral("P1"),
                              QStringLiteral("=12.0"),
                              QStringLiteral("=0"),
                              0,
                              1,
                              false,
                              false,
                              QStringLiteral("PIESZPOJ_STRUMIEN")};
    EXPECT_EQ(WriteIntergreenRow(ws, 12, pair), NotANumber);
    EXPECT_TRUE(ws.range(QStringLiteral("O12")).value().isError());
    // A pedestrian entering: G is =0, H and I the value 0, N the general acceleration.
    EXPECT_EQ(ws.range(QStringLiteral("H12")).value().toString(), QStringLiteral("0"));
    EXPECT_FALSE(ws.range(QStringLiteral("I12")).hasFormula());
    EXPECT_EQ(ws.range(QStringLiteral("N12")).formulaR1C1(), QStringLiteral("=R10C24"));
}

// The matrix carries times from -32767 to 32767 s: one second past either end is no time; and an
// entering stream's speed of 0 or below (which the formula turns into a longer time) is none either.
TEST_F(IntergreenRows, TimesPastTheMatrixsRangeAndNonPositiveEnteringSpeedsAreNoTime) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2"))};
    for (StreamRecord& s : StreamTable) {
        s.ClearStraightSpeed = 1;
        s.ApproachStraightSpeed = 1;
        s.MaxAcceleration = 3;
    }
    // O = ROUNDUP(C / 1 + 3 - (G / H + 1)) with the vehicle length 0.
    auto time = [&](const char* clearing, const char* entering, double enteringSpeed) {
        StreamTable[1].ApproachStraightSpeed = enteringSpeed;
        sheet::Worksheet& ws = sheetWithStreamRows();
        const IntergreenPair pair{QStringLiteral("K1"), QStringLiteral("K2"), QString::fromLatin1(clearing),
                                  QString::fromLatin1(entering), 0, 1, false, false,
                                  QStringLiteral("POJPOJ_STRUMIEN")};
        return WriteIntergreenRow(ws, 12, pair);
    };
    EXPECT_EQ(time("=32765", "=0", 1), 32767);
    EXPECT_EQ(time("=32766", "=0", 1), NotANumber);
    EXPECT_EQ(time("=0", "=32769", 1), -32767);
    EXPECT_EQ(time("=0", "=32770", 1), NotANumber);
    EXPECT_EQ(time("=0", "=32771", 1), NotANumber);  // -32769: not the -32768 that means no time
    EXPECT_EQ(time("=10", "=10", 0.5), -8);
    EXPECT_EQ(time("=10", "=10", -0.5), NotANumber);  // 32 s by the formula
}

}  // namespace
}  // namespace conflictor::test

namespace conflictor::test {
namespace {

TEST_F(IntergreenRows, PairsOfStreamsWithoutARowOrANumberAreReportedAndLeaveTheMatrix) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2")), Stream(QStringLiteral("K3"))};
    for (StreamRecord& s : StreamTable) {
        s.VehicleLength = 10;
        s.ClearStraightSpeed = 10;
        s.ApproachStraightSpeed = 10;
        s.MaxAcceleration = 3;
        s.Group = 1;
    }
    StreamTable[1].Group = 2;
    StreamTable[2].ClearStraightSpeed = 0;
    sheet::Worksheet& ws = sheetWithStreamRows();
    StreamTable[1].SheetIndex = 0;  // K2 has no row
    GroupMatrixTable matrix(3, std::vector<int>(3, -111));
    QStringList problems;
    const std::vector<IntergreenPair> pairs{
        {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("=10.0"), QStringLiteral("=10.0"), 0, 1,
         false, false, QStringLiteral("POJPOJ_STRUMIEN")},
        {QStringLiteral("K3"), QStringLiteral("K1"), QStringLiteral("=10.0"), QStringLiteral("=10.0"), 2, 0,
         false, false, QStringLiteral("POJPOJ_STRUMIEN")},
        {QStringLiteral("K1"), QStringLiteral("K1"), QStringLiteral("=10.0"), QStringLiteral("=10.0"), 0, 0,
         false, false, QStringLiteral("POJPOJ_STRUMIEN")}};
    EXPECT_EQ(WriteIntergreenRows(app, ws, pairs, {}, matrix, problems), 14);
    EXPECT_EQ(problems, (QStringList{QStringLiteral("K1 - K2"), QStringLiteral("K3 - K1")}));
    // K1 after K1: (10 + 10) / 10 + 3 - (10 / 10 + 1) = 3.
    EXPECT_EQ(matrix[1][1], 3);
    EXPECT_EQ(matrix[1][2], -111);
    // Sorted: K1 before K3; the error stays visible in its row.
    EXPECT_EQ(ws.range(QStringLiteral("A12")).value().toString(), QStringLiteral("K1"));
    EXPECT_TRUE(ws.range(QStringLiteral("O13")).value().isError());
}

}  // namespace
}  // namespace conflictor::test
