// Worksheet 2 on the template for 3, 12 and 13 groups, the inverted matrix, rounded clearing times,
// the crossing table; and what the signal-program editor's reader finds there.
#include "tests/conflictor/export/ExportFixture.h"

#include "automation/CrossingLinks.h"
#include "automation/WorkbookGroups.h"

namespace conflictor::test {
namespace {

class GroupMatrixSheet : public ExportFixture {
protected:
    IntergreenData data(int n) {
        IntergreenData d;
        d.n = n;
        d.GroupMatrix.assign(size_t(n + 1), std::vector<int>(size_t(n + 1), -111));
        d.GroupStreamNames = QStringList(n + 1);
        for (int g = 1; g <= n; ++g) d.GroupStreamNames[g] = QStringLiteral("K") + QString::number(g);
        d.GroupClearance.assign(size_t(n + 1), GroupClearanceRecord{});
        d.Sets = {QStringLiteral("1, 2, 3"), QStringLiteral("1, 2, 3, 1")};
        d.SetCount = 1;
        return d;
    }
    sheet::Workbook& templateCopy() {
        return app.workbooks().add(TemplateFolder() + QStringLiteral("/") + IntergreenTemplateName());
    }
    // Where the signal-program editor reads the phase sets: column 22 up to 12 groups, n + 11 above.
    static int readerSetColumn(int n) { return n > 12 ? n + 11 : 22; }
};

TEST_F(GroupMatrixSheet, ColumnsForThreeTwelveAndThirteenGroups) {
    for (int n : {3, 12, 13, 60}) {  // 60: the group list lies past the 50 columns from 14
        SCOPED_TRACE(n);
        automation::CrossingLinkTable.clear();
        sheet::Workbook& book = templateCopy();
        WriteGroupMatrixSheet(app, book, data(n));
        sheet::Worksheet& ws = book.worksheets(2);
        const int C = n > 12 ? n + 4 : 15;
        EXPECT_EQ(ws.cells(7, C).value().toString(), QStringLiteral("Gr"));
        EXPECT_EQ(ws.cells(7 + n, C).value().number(), n);
        EXPECT_EQ(ws.cells(7 + n, C + 1).value().toString(), QStringLiteral("K") + QString::number(n));
        EXPECT_EQ(ws.cells(7, 2 + n).value().number(), n);
        EXPECT_EQ(ws.cells(7 + n, 2 + n).value().toString(), QStringLiteral("X"));
        EXPECT_EQ(ws.cells(8, readerSetColumn(n)).value().toString(), QStringLiteral("V.1"));
        EXPECT_EQ(ws.cells(9, readerSetColumn(n) + 1).value().toString(), QStringLiteral("1, 2, 3, 1"));
        if (n == 12) EXPECT_EQ(ws.pageSetup().printArea(), QStringLiteral("$A$1:$T$20,$V$6:$W$20"));
        if (n == 13) EXPECT_EQ(C, 17);
        EXPECT_EQ(ws.cells(9 + n, 2).value().toString(), QStringLiteral("Oryginalna matryca"));
        EXPECT_EQ(ws.cells(10 + n + n, 2 + n).value().toString(), QStringLiteral("X"));  // the copy

        // The group-list reader of the phase export and the signal-program editor.
        int column = 14;
        EXPECT_EQ(automation::ReadGroupHeadList(ws, column, true, QString(), book), n);
        EXPECT_EQ(column, C + 1);
        EXPECT_EQ(automation::WorkbookHeaderRow, 7);
        EXPECT_EQ(automation::GroupHeadTexts.value(0), QStringLiteral("K1"));
    }
}

TEST_F(GroupMatrixSheet, InvertedMatrixSwapsRowsAndColumns) {
    for (bool inverted : {false, true}) {
        SCOPED_TRACE(inverted);
        IntergreenData d = data(5);
        d.MatrixInverted = inverted;
        d.GroupMatrix[5][2] = 7;  // entering group 5, clearing group 2
        d.GroupMatrix[3][1] = -2;
        d.GroupMatrix[4][1] = 0;  // a 0 s intergreen is a conflict all the same
        sheet::Workbook& book = templateCopy();
        WriteGroupMatrixSheet(app, book, d);
        sheet::Worksheet& ws = book.worksheets(2);
        const int row = inverted ? 9 : 12, column = inverted ? 7 : 4;
        EXPECT_EQ(ws.cells(row, column).value().number(), 7);
        EXPECT_TRUE(ws.cells(inverted ? 12 : 9, inverted ? 4 : 7).value().isEmpty());
        EXPECT_EQ(ws.cells(inverted ? 8 : 10, inverted ? 5 : 3).value().number(), 0);  // never below 0
        EXPECT_TRUE(ws.cells(inverted ? 8 : 11, inverted ? 6 : 3).value().isNumber());
        EXPECT_EQ(ws.cells(inverted ? 8 : 11, inverted ? 6 : 3).value().number(), 0);
        EXPECT_EQ(ws.range(QStringLiteral("A7")).value().toString().toUpper() == QLatin1String("EWAKUACJA"),
                  inverted);
        EXPECT_EQ(ws.cells(8, 4).interior().colorIndex(), 15);
        EXPECT_NE(ws.cells(8, 5).interior().colorIndex(), 15);
    }
}

// A colliding pair of 0 s (or less) is the number 0, not an empty cell: an empty cell says the
// groups do not collide.
TEST_F(GroupMatrixSheet, ACollidingPairOfNoSecondsIsTheNumberZero) {
    IntergreenData d = data(3);
    d.GroupMatrix[1][2] = 0;
    d.GroupMatrix[2][1] = -3;
    d.GroupMatrix[1][3] = 4;
    sheet::Workbook& book = templateCopy();
    WriteGroupMatrixSheet(app, book, d);
    sheet::Worksheet& ws = book.worksheets(2);
    for (auto [row, column] : {std::pair{8, 4}, std::pair{9, 3}}) {
        const sheet::Value v = ws.cells(row, column).value();
        EXPECT_EQ(v.type(), sheet::Value::Type::Number) << row << "," << column;
        EXPECT_EQ(v.number(), 0) << row << "," << column;
    }
    EXPECT_EQ(ws.cells(8, 5).value().number(), 4);
    EXPECT_TRUE(ws.cells(9, 5).value().isEmpty());  // no collision
}

TEST_F(GroupMatrixSheet, ClearingTimesRoundHalvesToEvenAndCrossingTable) {
    IntergreenData d = data(3);
    d.GroupClearance[1] = {6.3, true, 4.5};
    d.GroupClearance[2] = {7.0, true, 5.0};
    d.GroupClearance[3] = {5.6, true, 4.0};
    automation::CrossingLinkTable = {{QStringLiteral("p1"), QStringLiteral("P2"), QStringLiteral("7.0"),
                                      QStringLiteral("2.0"), QStringLiteral("9.1"), QString()},
                                     {QStringLiteral("R1"), QStringLiteral("R2"), QStringLiteral("8"),
                                      QStringLiteral("0"), QStringLiteral("xx"), QString()}};
    sheet::Workbook& book = templateCopy();
    WriteGroupMatrixSheet(app, book, d);
    automation::CrossingLinkTable.clear();
    sheet::Worksheet& ws = book.worksheets(2);
    EXPECT_EQ(ws.cells(8, 19).value().number(), 5);
    EXPECT_EQ(ws.cells(9, 19).value().number(), 6);
    EXPECT_EQ(ws.cells(10, 19).value().number(), 4);
    // The crossing table at row 12, column 7.
    EXPECT_EQ(ws.cells(12, 7).value().toString(),
              QStringLiteral("Przejścia - powiązania strumieni pieszych i rowerowych"));
    EXPECT_EQ(ws.cells(13, 13).value().toString(), QStringLiteral("Przyjęto (s)"));
    EXPECT_EQ(ws.cells(15, 8).value().toString(), QStringLiteral("p1,P2"));
    EXPECT_DOUBLE_EQ(ws.cells(15, 12).value().number(), 6.5);  // 9.1 / 1.4: lower-case p too
    EXPECT_EQ(ws.cells(15, 13).value().number(), 7);
    EXPECT_DOUBLE_EQ(ws.cells(16, 12).value().number(), 0);  // unreadable length
}

}  // namespace
}  // namespace conflictor::test
