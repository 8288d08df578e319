// The formula engine: the formulas the intergreen export writes, evaluated on a small sheet with
// known results; notation round trips; precedence; error values; malformed formulas.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

class SheetPairRows : public ::testing::Test {
protected:
    Application app;
    Workbook* book = nullptr;
    Worksheet* ws = nullptr;

    void SetUp() override {
        book = &app.workbooks().add();
        ws = &book->worksheets(1);
        ws->range("X9").setValue(3.0);   // amber
        ws->range("X10").setValue(2.5);  // maximum acceleration
        // Stream rows: R length, S/T approach straight/arc, U/V clearing straight/arc, W acceleration.
        setRow(24, {10, 14, 10, 12, 8, 2.0});
        setRow(25, {0, 12.5, 9, 1.4, 1.4, 2.0});
        setRow(26, {10, 14, 10, 0, 0, 2.0});  // a stream with no clearing speed
    }
    void setRow(int r, std::initializer_list<double> v) {
        int c = 18;
        for (double d : v) ws->cells(r, c++).setValue(d);
    }
    // One pair row written in the export's order of steps.
    void writePair(int r, const QString& dist1, const QString& d, const QString& e, const QString& dist2,
                   const QString& h, const QString& i, const QString& k, const QString& n) {
        ws->range(QStringLiteral("A%1").arg(r)).setValue(QStringLiteral("K1"));
        ws->range(QStringLiteral("C%1").arg(r)).setFormulaR1C1(QLatin1Char('=') + dist1);
        ws->range(QStringLiteral("B%1").arg(r)).setValue(QStringLiteral("K2"));
        ws->range(QStringLiteral("G%1").arg(r)).setFormulaR1C1(QLatin1Char('=') + dist2);
        ws->range(QStringLiteral("D%1").arg(r)).setFormulaR1C1(d);
        ws->range(QStringLiteral("E%1").arg(r)).setFormulaR1C1(e);
        ws->range(QStringLiteral("F%1").arg(r)).activate();
        ws->range(QStringLiteral("F%1").arg(r))
            .setFormulaR1C1(QStringLiteral("=SUM(R[]C[-3]:R[]C[-2])/R[]C[-1]"));
        ws->range(QStringLiteral("H%1").arg(r)).setFormulaR1C1(h);
        ws->range(QStringLiteral("I%1").arg(r)).setFormulaR1C1(i);
        ws->range(QStringLiteral("J%1").arg(r))
            .setFormulaR1C1(QStringLiteral("=SQRT(2*(R[]C[-3]+1.5)/R[]C[+4])"));
        ws->range(QStringLiteral("K%1").arg(r)).setFormulaR1C1(k);
        ws->range(QStringLiteral("L%1").arg(r))
            .setFormulaR1C1(QStringLiteral("=SUM(R[]C[-6],R[]C[-1],-R[]C[-3])"));
        ws->range(QStringLiteral("M%1").arg(r))
            .setFormulaR1C1(QStringLiteral("=SUM(R[]C[-7],R[]C[-2],-R[]C[-3])"));
        ws->range(QStringLiteral("N%1").arg(r)).setFormulaR1C1(n);
        ws->range(QStringLiteral("O%1").arg(r)).setFormulaR1C1(QStringLiteral("=ROUNDUP(R[]C[-3],0)"));
    }
    double num(const QString& a) {
        Value v = ws->range(a).value();
        EXPECT_TRUE(v.isNumber()) << a.toStdString() << " holds " << v.toString().toStdString();
        return v.number();
    }
};

TEST_F(SheetPairRows, VehiclePairGivesKnownTimes) {
    writePair(12, "12.4+3.1", "=R24C18", "=R24C21", "20.5", "=R25C19", "=R[]C[-2]/R[]C[-1]+1", "=R9C24",
              "=R25C23");
    EXPECT_DOUBLE_EQ(num("C12"), 15.5);
    EXPECT_DOUBLE_EQ(num("F12"), (15.5 + 10) / 12);
    EXPECT_DOUBLE_EQ(num("I12"), 20.5 / 12.5 + 1);
    // J refers to N, which was written after it: it must have been recomputed.
    EXPECT_NEAR(num("J12"), std::sqrt(2 * 22.0 / 2.0), 1e-12);
    EXPECT_NEAR(num("L12"), 2.125 + 3 - 2.64, 1e-12);
    EXPECT_NEAR(num("M12"), 2.125 + 3 - std::sqrt(22.0), 1e-12);
    EXPECT_EQ(num("O12"), 3);
    EXPECT_EQ(ws->range("O12").text(), "3");
}

TEST_F(SheetPairRows, TextZeroCountsAsNumberAndNegativeRoundsAwayFromZero) {
    // D, K and I written as the text "0", as the export does for some kinds of pairs.
    writePair(13, "1", "0", "=R24C21", "50", "=R24C19", "=R[]C[-2]/R[]C[-1]+1", "0", "=R10C24");
    EXPECT_TRUE(ws->range("D13").value().isNumber());
    EXPECT_NEAR(num("L13"), 1.0 / 12 - (50.0 / 14 + 1), 1e-12);
    EXPECT_EQ(num("O13"), -5);  // ROUNDUP(-4.49) is -5
    ws->range("I13").setValue(QStringLiteral("0"));
    EXPECT_NEAR(num("L13"), 1.0 / 12, 1e-12);
    EXPECT_EQ(num("O13"), 1);
}

TEST_F(SheetPairRows, ZeroSpeedGivesDivisionByZeroDownTheRow) {
    writePair(14, "10", "=R26C18", "=R26C21", "5", "=R26C19", "=R[]C[-2]/R[]C[-1]+1", "=R9C24", "=R26C23");
    EXPECT_EQ(ws->range("F14").value(), Value(ErrorCode::Div0));
    EXPECT_EQ(ws->range("L14").value(), Value(ErrorCode::Div0));
    EXPECT_EQ(ws->range("O14").value(), Value(ErrorCode::Div0));
    EXPECT_EQ(ws->range("O14").text(), "#DIV/0!");
    // Mending the speed mends the row.
    ws->range("U26").setValue(5.0);
    EXPECT_DOUBLE_EQ(num("F14"), 4);
    EXPECT_TRUE(ws->range("O14").value().isNumber());
}

TEST_F(SheetPairRows, FormulasPrintBackInBothNotations) {
    writePair(12, "12.4+3.1", "=R24C18", "=R24C21", "20.5", "=R25C19", "=R[]C[-2]/R[]C[-1]+1", "=R9C24",
              "=R25C23");
    EXPECT_EQ(ws->range("F12").formula(), "=SUM(C12:D12)/E12");
    EXPECT_EQ(ws->range("F12").formulaR1C1(), "=SUM(RC[-3]:RC[-2])/RC[-1]");
    EXPECT_EQ(ws->range("J12").formula(), "=SQRT(2*(G12+1.5)/N12)");
    EXPECT_EQ(ws->range("L12").formula(), "=SUM(F12,K12,-I12)");
    EXPECT_EQ(ws->range("D12").formula(), "=$R$24");
    EXPECT_EQ(ws->range("K12").formulaR1C1(), "=R9C24");
    EXPECT_EQ(ws->range("C12").formula(), "=12.4+3.1");
    EXPECT_EQ(ws->range("A12").formula(), "K1");
}

Value eval(const QString& formula) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    s.range("A1").setValue(2.0);
    s.range("A2").setValue(QStringLiteral("abc"));
    s.range("A3").setValue(true);
    s.range("A4").setValue(QStringLiteral("TRUE"));
    s.range("B1").setFormula(formula);
    return s.range("B1").value();
}

TEST(SheetFormulaEval, PrecedenceFollowsTheSpreadsheet) {
    EXPECT_EQ(eval("=-2^2"), Value(4.0));
    EXPECT_EQ(eval("=2+3*4"), Value(14.0));
    EXPECT_EQ(eval("=2^3^2"), Value(64.0));
    EXPECT_EQ(eval("=1+2&\"x\""), Value(QStringLiteral("3x")));
    EXPECT_EQ(eval("=1+2>2"), Value(true));
    EXPECT_EQ(eval("=50%*A1"), Value(1.0));
    EXPECT_EQ(eval("=(1+2)*3"), Value(9.0));
}

TEST(SheetFormulaEval, FunctionsAndCoercions) {
    EXPECT_EQ(eval("=SUM(A1:A3)"), Value(2.0));  // text and boolean in a range are skipped
    EXPECT_EQ(eval("=SUM(A1,TRUE,\"3\")"), Value(6.0));
    EXPECT_EQ(eval("=ROUND(2.5,0)"), Value(3.0));
    EXPECT_EQ(eval("=ROUND(-2.5,0)"), Value(-3.0));
    EXPECT_EQ(eval("=ROUNDDOWN(-2.7,0)"), Value(-2.0));
    EXPECT_EQ(eval("=ROUNDUP(0.1+0.2,1)"), Value(0.3));
    EXPECT_EQ(eval("=ROUNDUP(2.0000001,0)"), Value(3.0));
    EXPECT_EQ(eval("=INT(-1.5)"), Value(-2.0));
    EXPECT_EQ(eval("=ABS(-4)"), Value(4.0));
    EXPECT_EQ(eval("=MAX(A1:A3,7)"), Value(7.0));
    EXPECT_EQ(eval("=MIN(A1,-1)"), Value(-1.0));
    EXPECT_EQ(eval("=IF(A1>1,\"tak\",\"nie\")"), Value(QStringLiteral("tak")));
    EXPECT_EQ(eval("=IF(A1>5,1)"), Value(false));
    EXPECT_EQ(eval("=AND(A1>1,A3)"), Value(true));
    EXPECT_EQ(eval("=OR(A1>5,NOT(A3))"), Value(false));
    // A logical test: "TRUE" typed in the formula converts, a text in a referenced cell does not.
    EXPECT_EQ(eval("=IF(\"TRUE\",1,2)"), Value(1.0));
    EXPECT_EQ(eval("=NOT(\"false\")"), Value(true));
    EXPECT_EQ(eval("=IF(A4,1,2)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=NOT(A4)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=IF(A5,1,2)"), Value(2.0));  // an empty cell is FALSE
    // Compared, an empty cell is 0, "" or FALSE after the other side, on either side.
    for (const char* f : {"=A5=FALSE", "=FALSE=A5", "=A5<TRUE", "=A5=0", "=0=A5", "=A5<1", "=-1<A5",
                          "=A5=\"\"", "=A5<\"a\""})
        EXPECT_EQ(eval(f), Value(true)) << f;
    EXPECT_EQ(eval("=AND(A4,A3)"), Value(true));  // AND and OR skip a referenced text
    EXPECT_EQ(eval("=COUNT(A1:A3)"), Value(1.0));
    EXPECT_EQ(eval("=COUNTA(A1:A5)"), Value(4.0));
    EXPECT_EQ(eval("=AVERAGE(A1,4)"), Value(3.0));
}

TEST(SheetFormulaEval, FinalAdditionOfNearlyOppositeNumbersIsZero) {
    EXPECT_EQ(eval("=0.1+0.2-0.3"), Value(0.0));
    EXPECT_EQ(eval("=0.3-(0.1+0.2)"), Value(0.0));
    EXPECT_EQ(eval("=-0.3+(0.1+0.2)"), Value(0.0));
    // Not the final operation, or behind brackets: the binary remainder stays.
    EXPECT_NE(eval("=(0.1+0.2-0.3)"), Value(0.0));
    EXPECT_NE(eval("=1*(0.1+0.2-0.3)"), Value(0.0));
    EXPECT_EQ(eval("=ROUNDUP(1*(0.1+0.2-0.3),0)"), Value(1.0));
    // Numbers that differ within 15 digits are not touched.
    EXPECT_EQ(eval("=1.00000000000001-1").number(), 1.00000000000001 - 1);
    EXPECT_EQ(eval("=12.4+3.1"), Value(15.5));
    // SUMPRODUCT's element operations are none of them the final one.
    EXPECT_EQ(eval("=SUMPRODUCT({0.3}-0.1-0.2)").number(), 0.3 - 0.1 - 0.2);
}

TEST(SheetFormulaEval, ErrorValuesAndPropagation) {
    EXPECT_EQ(eval("=1/0"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=SQRT(-1)"), Value(ErrorCode::Num));
    EXPECT_EQ(eval("=A2+1"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=SUM(1/0,2)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=NOSUCH(1)"), Value(ErrorCode::Name));
    EXPECT_EQ(eval("=AVERAGE(A2)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=IF(1/0,1,2)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=Brak!A1"), Value(ErrorCode::Ref));
}

TEST(SheetFormulaEval, MalformedFormulasAreRejectedAndLeaveTheCell) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("A1").setValue(5.0);
    for (const char* bad :
         {"=SUM(A1", "=(1+2", "=1+2)", "=SUM(R[]C[-1]:)", "=1+", "=\"abc", "=R[x]C1", "=A1:"}) {
        EXPECT_THROW(s.range("A1").setFormula(QString::fromLatin1(bad)), FormulaError) << bad;
        EXPECT_THROW(s.range("A1").setFormulaR1C1(QString::fromLatin1(bad)), FormulaError) << bad;
    }
    EXPECT_EQ(s.range("A1").value(), Value(5.0));
}

TEST(SheetFormulaEval, ShortRelativeFormsAndSheetReferences) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s1 = b.worksheets(1);
    Worksheet& s2 = b.worksheets(2);
    s2.setName(QStringLiteral("Matryca kolizji"));
    s1.range("B5").setValue(4.0);
    s1.range("F5").setValue(6.0);
    s1.range("C5").setFormulaR1C1(QStringLiteral("=RC[-1]+R[]C[+3]"));
    EXPECT_EQ(s1.range("C5").value(), Value(10.0));
    s2.range("A1").setFormulaR1C1(QStringLiteral("=Arkusz1!R5C3*2"));
    EXPECT_EQ(s2.range("A1").value(), Value(20.0));
    EXPECT_EQ(s2.range("A1").formula(), "=Arkusz1!$C$5*2");
    s1.range("A9").setFormula(QStringLiteral("='Matryca kolizji'!A1+SUM(B:B)"));
    EXPECT_EQ(s1.range("A9").value(), Value(20.0 + 4.0));
    s1.range("A10").setFormulaR1C1(QStringLiteral("=SUM(C[1])"));  // the whole of column B
    EXPECT_EQ(s1.range("A10").formula(), "=SUM(B:B)");
    EXPECT_EQ(s1.range("A10").value(), Value(4.0));
    s1.range("B5").setValue(1.0);
    EXPECT_EQ(s2.range("A1").value(), Value(14.0));
    EXPECT_EQ(s1.range("A9").value(), Value(15.0));
    EXPECT_EQ(s1.range("A10").value(), Value(1.0));
}

}  // namespace

namespace {

// Random texts never crash the parser, and whatever it accepts prints back to a text that reads
// as the same formula.
TEST(SheetFormulaEval, RandomTextsParseOrFailCleanlyAndPrintStably) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    const QString alphabet = QStringLiteral("=ABCRS[]-+*/^&()<>,:!$'\"0123456789.%# E");
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        QString text = QStringLiteral("=");
        const int len = 1 + int(next() % 16);
        for (int k = 0; k < len; ++k) text += alphabet[int(next() % unsigned(alphabet.size()))];
        const bool r1c1 = i % 2;
        Range cell = s.range("E5");
        try {
            r1c1 ? cell.setFormulaR1C1(text) : cell.setFormula(text);
        } catch (const FormulaError&) {
            continue;
        }
        ++accepted;
        const QString printed = r1c1 ? cell.formulaR1C1() : cell.formula();
        if (printed.contains(QLatin1String("#REF!"))) continue;  // an off-sheet reference prints as an error
        r1c1 ? cell.setFormulaR1C1(printed) : cell.setFormula(printed);
        EXPECT_EQ(r1c1 ? cell.formulaR1C1() : cell.formula(), printed) << text.toStdString();
    }
    EXPECT_GT(accepted, 100) << accepted;
}

}  // namespace

// Comparisons at equality and the grid's last row: the boundaries where an operator or a limit
// off by one goes unnoticed.
TEST(SheetFormulaEval, ComparisonsAtEqualityAndTheLastRow) {
    EXPECT_EQ(eval("=A1>=2"), Value(true));
    EXPECT_EQ(eval("=A1<=2"), Value(true));
    EXPECT_EQ(eval("=A1>2"), Value(false));
    EXPECT_EQ(eval("=A1<2"), Value(false));
    EXPECT_EQ(eval("=2>=A1"), Value(true));
    EXPECT_EQ(eval("=\"abc\">=A2"), Value(true));
    EXPECT_EQ(eval("=\"ABC\"<=A2"), Value(true));  // texts compare without regard to case
    EXPECT_EQ(eval("=A3>=TRUE"), Value(true));
    EXPECT_EQ(eval("=\"łódź\"<\"m\""), Value(true));  // in the order of the Polish alphabet
    EXPECT_EQ(eval("=\"é\"<\"f\""), Value(true));
    EXPECT_EQ(eval("=\"ŁÓDŹ\"=\"łódź\""), Value(true));
    EXPECT_EQ(eval("=\"é\"=\"e\""), Value(false));
    // Across kinds: numbers before texts before logical values, whatever the number or the text.
    EXPECT_EQ(eval("=99<\"a\""), Value(true));
    EXPECT_EQ(eval("=FALSE>\"zzz\""), Value(true));
    EXPECT_EQ(eval("=A2<=-1"), Value(false));

    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    s.range("A1048576").setValue(21.0);
    s.range("B1").setFormula("=A1048576*2");
    s.range("B2").setFormula("=SUM($A$1048575:$A$1048576)");
    s.range("B3").setFormula("=A:A");
    EXPECT_EQ(s.range("B1").value(), Value(42.0));
    EXPECT_EQ(s.range("B2").value(), Value(21.0));
    EXPECT_EQ(s.range("B1").formula(), "=A1048576*2");
    EXPECT_EQ(s.range("B2").formula(), "=SUM($A$1048575:$A$1048576)");
    s.range("A1048576").setValue(1.0);
    EXPECT_EQ(s.range("B1").value(), Value(2.0));
    // One row past the grid is no reference.
    s.range("B4").setFormula("=A1048577");
    EXPECT_TRUE(s.range("B4").value().isError());
}

// Array constants and references over a span of worksheets compute as the spreadsheet does and
// print back as written.
TEST(SheetFormulaEval, ArrayConstantsAndThreeDimensionalReferences) {
    EXPECT_EQ(eval("=SUM({1,2;3,-4})"), Value(2.0));
    EXPECT_EQ(eval("=SUM({1,\"2\",TRUE})"), Value(1.0));  // texts and logical values are skipped
    EXPECT_EQ(eval("=MAX({1,5,2})"), Value(5.0));
    EXPECT_EQ(eval("=COUNT({1,\"a\",#N/A,3})"), Value(2.0));

    Application app;
    Workbook& b = app.workbooks().add();
    while (b.worksheetCount() < 3) b.addWorksheet();
    b.worksheets(1).setName("Arkusz 1");
    for (int i = 1; i <= 3; ++i) b.worksheets(i).range("C3").setValue(double(i));
    Worksheet& s = b.worksheets(1);
    s.range("A1").setFormula("=SUM('Arkusz 1:Arkusz3'!C3)");
    s.range("A2").setFormula("=SUM(Arkusz2:Arkusz3!C2:C3)*{2}");
    EXPECT_EQ(s.range("A1").value(), Value(6.0));
    EXPECT_EQ(s.range("A2").value(), Value(10.0));
    EXPECT_EQ(s.range("A1").formula(), "=SUM('Arkusz 1:Arkusz3'!C3)");
    EXPECT_EQ(s.range("A2").formula(), "=SUM(Arkusz2:Arkusz3!C2:C3)*{2}");
    b.worksheets(2).range("C3").setValue(20.0);  // a sheet inside the span
    EXPECT_EQ(s.range("A1").value(), Value(24.0));
    EXPECT_EQ(s.range("A2").value(), Value(46.0));
    // A single value from a span is no value.
    s.range("A3").setFormula("=Arkusz2:Arkusz3!C3+1");
    EXPECT_EQ(s.range("A3").value(), Value(ErrorCode::Value));
    // Rows of different lengths are refused.
    EXPECT_THROW(s.range("A4").setFormula("={1,2;3}"), FormulaError);
}
