// Reading the intergreen matrix: both orientations, both layouts, 12 and 13 groups, the largest
// intergreen time over the matrix columns only, cells holding text, and the group-position mapping.
#include "WorkbookFixture.h"

#include "automation/WorkbookGroups.h"

namespace phaseplanner::test {

class Matrix : public WorkbookFixture {
protected:
    // Opens the book through the connection and reads its group list as every reader does.
    sheet::Worksheet& load(const IntergreenBook& b, int expectedGroups) {
        prompts.answerFile(write(b));
        sheet::Workbook* book = open();
        EXPECT_NE(book, nullptr);
        IntergreenSheet = &book->worksheets(2);
        int column = 14;
        EXPECT_EQ(automation::ReadGroupHeadList(*IntergreenSheet, column, true, QString(), *book),
                  expectedGroups);
        EXPECT_EQ(column, GrColumn(b) + 1);
        return *IntergreenSheet;
    }
    static IntergreenBook Numbered(int n) {
        IntergreenBook b;
        for (int g = 0; g < n; ++g) {
            b.texts << QStringLiteral("K%1").arg(g + 1);
            b.phases << QString::number(g % 2 + 1);
        }
        return b;
    }
};

TEST_F(Matrix, ValuesBetweenGroupsFollowTheHeader) {
    for (bool inverted : {false, true}) {
        for (bool newLayout : {true, false}) {
            SCOPED_TRACE(testing::Message() << "inverted " << inverted << " new layout " << newLayout);
            ResetIntergreenWorkbook();
            IntergreenBook b = SmallBook();
            b.inverted = inverted;
            b.newLayout = newLayout;
            sheet::Worksheet& ws = load(b, 3);
            EXPECT_EQ(automation::WorkbookHeaderRow, newLayout ? 7 : 6);
            EXPECT_EQ(IsEvacuationMatrix(ws), inverted);
            const bool evacuation = IsEvacuationMatrix(ws);
            EXPECT_EQ(IntergreenValue(ws, 0, 1, evacuation), 4);
            EXPECT_EQ(IntergreenValue(ws, 1, 0, evacuation), 5);
            EXPECT_EQ(IntergreenValue(ws, 2, 1, evacuation), 7);
            EXPECT_EQ(IntergreenValue(ws, 1, 2, evacuation), 3);
            EXPECT_EQ(IntergreenValue(ws, 0, 2, evacuation), 0);  // no conflict: blank
        }
    }
}

TEST_F(Matrix, TheMatrixInMemoryTransposedOrNot) {
    load(SmallBook(), 3);
    std::vector<std::vector<int>> m(3, std::vector<int>(3, -1));
    PobierzMatryceTMZ(m, 2, false);
    // Rows of the default matrix are the entering groups: (1, 0) holds the time from 0 to 1.
    EXPECT_EQ(m[1][0], 4);
    EXPECT_EQ(m[0][1], 5);
    EXPECT_EQ(m[1][2], 7);
    EXPECT_EQ(m[2][0], 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m[std::size_t(i)][std::size_t(i)], -1);  // the diagonal is not read

    std::vector<std::vector<int>> t(3, std::vector<int>(3, -1));
    PobierzMatryceTMZ(t, 2, true);
    EXPECT_EQ(t[0][1], 4);
    EXPECT_EQ(t[2][1], 7);
    EXPECT_EQ(t[1][1], -1);

    std::vector<std::vector<int>> one(1, std::vector<int>(1, -1));
    PobierzMatryceTMZ(one, 0, false);
    EXPECT_EQ(one[0][0], -1);
    // A matrix smaller than the group count asked for is filled as far as it goes.
    std::vector<std::vector<int>> small(2, std::vector<int>(2, -1));
    PobierzMatryceTMZ(small, 2, false);
    EXPECT_EQ(small[1][0], 4);
    EXPECT_EQ(small[0][1], 5);
}

TEST_F(Matrix, TheLargestIntergreenTimeComesFromTheMatrixColumnsOnly) {
    for (int n : {12, 13}) {
        SCOPED_TRACE(n);
        ResetIntergreenWorkbook();
        IntergreenBook b = Numbered(n);
        b.set(0, 1, 3);
        b.set(n - 1, 0, 9);  // the last group's column, never read by the old loop
        sheet::Worksheet& ws = load(b, n);
        // Column B holds the group numbers up to n, all above 9 for the last rows: never counted.
        EXPECT_EQ(ReadMaxIntergreenTime(ws, n), 9);
    }
    ResetIntergreenWorkbook();
    IntergreenBook small = Numbered(3);
    small.set(0, 1, 4);
    EXPECT_EQ(ReadMaxIntergreenTime(load(small, 3), 3), 5);
}

TEST_F(Matrix, CellsHoldingTextAreFound) {
    IntergreenBook b = SmallBook();
    sheet::Worksheet& ws = load(b, 3);
    EXPECT_FALSE(FindMatrixTextCell(ws, 3).has_value());  // "X" on the diagonal, numbers, blanks

    ResetIntergreenWorkbook();
    b.intergreen[{2, 0}] = QStringLiteral("cztery");
    sheet::Worksheet& bad = load(b, 3);
    const auto cell = FindMatrixTextCell(bad, 3);
    ASSERT_TRUE(cell.has_value());
    EXPECT_EQ(cell->Row, 8);
    EXPECT_EQ(cell->Column, 5);
    EXPECT_EQ(cell->Text, QStringLiteral("cztery"));
    EXPECT_EQ(MatrixTextCellMessage(*cell),
              QStringLiteral("Błąd w danych arkusza Excel!\nKomórka matrycy kolizji E8 nie zawiera liczby "
                             "całkowitej: \"cztery\"."));

    EXPECT_EQ(ReadMatrixCell(bad, 9, 3).Seconds, std::optional<int>(4));

    // Numbers that are no required time: a fraction, beyond 16 bits, below 0; each named by its cell.
    const std::vector<std::pair<sheet::Value, QString>> numbers{
        {sheet::Value(4.5), QStringLiteral("nie zawiera liczby całkowitej: \"4.5\".")},
        {sheet::Value(40000), QStringLiteral("zawiera czas międzyzielony większy niż 32767 s: \"40000\".")},
        {sheet::Value(32768), QStringLiteral("zawiera czas międzyzielony większy niż 32767 s: \"32768\".")},
        {sheet::Value(-1), QStringLiteral("zawiera ujemny czas międzyzielony: \"-1\".")},
        {sheet::Value(QStringLiteral("-1")), QStringLiteral("zawiera ujemny czas międzyzielony: \"-1\".")},
        {sheet::Value(QStringLiteral("  ")), QStringLiteral("nie zawiera liczby całkowitej: \"  \".")}};
    for (const auto& [value, message] : numbers) {
        SCOPED_TRACE(message.toStdString());
        ResetIntergreenWorkbook();
        const QString path = write(SmallBook(), QStringLiteral("n.xlsx"));
        RewriteCell(path, 2, 9, 3, value);  // row of K2, column of K1
        prompts.answerFile(path);
        sheet::Workbook* book = open();
        ASSERT_NE(book, nullptr);
        int column = 14;
        ASSERT_EQ(automation::ReadGroupHeadList(book->worksheets(2), column, true, QString(), *book), 3);
        const auto found = FindMatrixTextCell(book->worksheets(2), 3);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(MatrixTextCellMessage(*found),
                  QStringLiteral("Błąd w danych arkusza Excel!\nKomórka matrycy kolizji C9 ") + message);
        EXPECT_FALSE(ReadMatrixCell(book->worksheets(2), 9, 3).Seconds.has_value());
    }
}

// A formula stands for the number it gives: one without a number (a function the engine does not
// compute, a formula it cannot read, no value saved beside it) or on a circular reference is named
// with its formula, never read as "no conflict".
TEST_F(Matrix, FormulasWithoutANumberAreNamedWithTheirFormula) {
    const QString deep = QLatin1Char('=') + QString(1000, QLatin1Char('(')) + QLatin1Char('1') +
                         QString(1000, QLatin1Char(')'));
    const std::vector<std::pair<QString, QString>> cases{
        {QStringLiteral("=NA()"), QStringLiteral("zawiera formułę, której nie można obliczyć: \"=NA()\".")},
        {QStringLiteral("=4+"), QStringLiteral("zawiera formułę, której nie można obliczyć: \"=4+\".")},
        {QStringLiteral("=NIEZNANA(4)"),
         QStringLiteral("zawiera formułę, której nie można obliczyć: \"=NIEZNANA(4)\".")},
        {deep,  // quoted by its first 40 characters
         QStringLiteral("zawiera formułę, której nie można obliczyć: \"=") + QString(39, QLatin1Char('(')) +
             QStringLiteral("…\".")},
        {QStringLiteral("=C9+1"), QStringLiteral("zawiera odwołanie cykliczne: \"=C9+1\".")},
        {QStringLiteral("=1/0"), QStringLiteral("nie zawiera liczby całkowitej: \"#DIV/0!\".")},
        {QStringLiteral("=CEILING(3.2,1)"), QString()}};
    for (const auto& [formula, message] : cases) {
        SCOPED_TRACE(formula.left(40).toStdString());
        ResetIntergreenWorkbook();
        const QString path = write(SmallBook(), QStringLiteral("f.xlsx"));
        ASSERT_TRUE(RewriteFormulasAsScript(path, {{QStringLiteral("C9"), formula}}));  // K1 -> K2
        prompts.answerFile(path);
        sheet::Workbook* book = open();
        ASSERT_NE(book, nullptr);
        int column = 14;
        ASSERT_EQ(automation::ReadGroupHeadList(book->worksheets(2), column, true, QString(), *book), 3);
        const MatrixCellReading reading = ReadMatrixCell(book->worksheets(2), 9, 3);
        const auto found = FindMatrixTextCell(book->worksheets(2), 3);
        if (message.isEmpty()) {
            EXPECT_FALSE(found.has_value());
            EXPECT_EQ(reading.Seconds, std::optional<int>(4));
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(MatrixTextCellMessage(*found),
                  QStringLiteral("Błąd w danych arkusza Excel!\nKomórka matrycy kolizji C9 ") + message);
        EXPECT_FALSE(reading.Seconds.has_value());
    }
}

// A value another program cached beside a formula the engine did not compute is no time anywhere:
// not the required time of its pair, not the largest intergreen time (K2 -> K1, D8, caches 99).
TEST_F(Matrix, ACachedValueTheEngineDidNotComputeIsNoTime) {
    const QString path = write(SmallBook(), QStringLiteral("c.xlsx"));
    ASSERT_TRUE(RewriteCellsAsForeignProgram(path, {{QStringLiteral("D8"), DeeplyNestedFormulaXml(5), QStringLiteral("99")}}));
    prompts.answerFile(path);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    int column = 14;
    ASSERT_EQ(automation::ReadGroupHeadList(book->worksheets(2), column, true, QString(), *book), 3);
    sheet::Worksheet& ws = book->worksheets(2);
    EXPECT_EQ(ws.cells(8, 4).value(), sheet::Value(99.0));  // the file's value, kept for saving
    EXPECT_EQ(ReadMatrixCell(ws, 8, 4).Fault, MatrixCellFault::Uncomputed);
    EXPECT_EQ(MatrixCellValue(ws, 0, 1), 0);
    EXPECT_EQ(MatrixCellValue(ws, 1, 0), 4);
    EXPECT_EQ(ReadMaxIntergreenTime(ws, 3), 7);
}

// The matrix labels its rows (column A) and, from version 2.6 on, its columns (the row above the
// header): a label that differs from the list, or one missing where every group is labelled, is
// named; in the older layout a missing label is not held against the list.
TEST_F(Matrix, LabelsOfRowsAndColumnsAreHeldAgainstTheGroupList) {
    const int list = GrColumn(SmallBook()) + 1;
    sheet::Worksheet& ws = load(SmallBook(), 3);
    EXPECT_EQ(MatrixLabelProblem(ws, 3, list), QString());
    ws.cells(6, 4).setValue(QStringLiteral("P7"));  // the column of K2 alone
    EXPECT_TRUE(
        MatrixLabelProblem(ws, 3, list)
            .contains(QStringLiteral(
                "wiersz 9: w wykazie grup (P9) \"K2\", w opisie wiersza matrycy (A9) \"K2\", w opisie "
                "kolumny matrycy (D6) \"P7\"")))
        << MatrixLabelProblem(ws, 3, list).toStdString();
    ws.cells(6, 4).setValue(QStringLiteral("k2 "));
    EXPECT_EQ(MatrixLabelProblem(ws, 3, list), QString());
    ws.cells(10, 1).setValue(sheet::Value());  // the row of P1 without its label
    EXPECT_TRUE(MatrixLabelProblem(ws, 3, list)
                    .contains(QStringLiteral(
                        "wiersz 10: w wykazie grup (P10) \"P1\", w opisie wiersza matrycy (A10) \"\"")))
        << MatrixLabelProblem(ws, 3, list).toStdString();
    ws.cells(10, 1).setValue(QStringLiteral("P1"));
    ws.cells(6, 5).setValue(sheet::Value());  // the column of P1 without its label
    EXPECT_TRUE(
        MatrixLabelProblem(ws, 3, list).contains(QStringLiteral("w opisie kolumny matrycy (E6) \"\"")));

    ResetIntergreenWorkbook();
    IntergreenBook old = SmallBook();
    old.newLayout = false;
    sheet::Worksheet& oldWs = load(old, 3);
    const int oldList = GrColumn(old) + 1;
    oldWs.cells(9, 1).setValue(sheet::Value());
    EXPECT_EQ(MatrixLabelProblem(oldWs, 3, oldList), QString());
    oldWs.cells(9, 1).setValue(QStringLiteral("K1"));
    EXPECT_TRUE(MatrixLabelProblem(oldWs, 3, oldList).contains(QStringLiteral("(A9) \"K1\"")));
}

TEST_F(Matrix, GroupRecordsMapToWorkbookPositionsByTheirSymbols) {
    const QStringList texts{QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P1")};
    GroupTable.resize(5);
    auto define = [](int i, const char* symbols) {
        GroupTable[std::size_t(i)].Defined = true;
        GroupTable[std::size_t(i)].Symbols = QString::fromUtf8(symbols);
    };
    define(0, "K1");
    define(1, " p1 ");  // moved and differently written
    define(3, "K9");    // unknown to the workbook
    define(4, "K2");    // past the workbook's rows
    EXPECT_EQ(WorkbookGroupPosition(0, texts), 0);
    EXPECT_EQ(WorkbookGroupPosition(1, texts), 2);
    EXPECT_EQ(WorkbookGroupPosition(2, texts), -1);  // a free record
    EXPECT_EQ(WorkbookGroupPosition(3, texts), -1);
    EXPECT_EQ(WorkbookGroupPosition(4, texts), 1);
    EXPECT_EQ(WorkbookGroupPosition(5, texts), -1);
    EXPECT_EQ(WorkbookGroupPosition(-1, texts), -1);
}

}  // namespace phaseplanner::test
