// The worksheet functions an engineer adds to the intergreen workbook: rounding to multiples with
// their sign rules, picking, error handling, conversions, SUMPRODUCT over areas and arrays, and
// references made from text (INDIRECT) or moved (OFFSET), recomputed as the cells they read change.
#include "platform/sheet/Application.h"
#include "platform/sheet/CellStore.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

class SheetFunctions : public ::testing::Test {
protected:
    Application app;
    Workbook* book = nullptr;
    Worksheet* ws = nullptr;
    void SetUp() override {
        book = &app.workbooks().add();
        ws = &book->worksheets(1);
        book->worksheets(2).setName(QStringLiteral("Dane 2"));
        // A1:A4 numbers, B1:B4 numbers, C1 text, C2 boolean, C3 a numeric text, D1 an error.
        const double a[] = {1, 2, 3, 4}, b[] = {5, 6, 7, 8};
        for (int r = 1; r <= 4; ++r) {
            ws->cells(r, 1).setValue(a[r - 1]);
            ws->cells(r, 2).setValue(b[r - 1]);
        }
        ws->range("C1").setValue(QStringLiteral("abc"));
        ws->range("C2").setValue(true);
        ws->range("C3").setValue(QStringLiteral("'12"));
        ws->range("D1").setFormula(QStringLiteral("=1/0"));
        book->worksheets(2).range("B2").setValue(42.0);
    }
    Value eval(const char* formula) {
        ws->range("H1").setFormula(QString::fromUtf8(formula));
        return ws->range("H1").value();
    }
};

TEST_F(SheetFunctions, RoundingToAMultipleFollowsTheSignRules) {
    EXPECT_EQ(eval("=CEILING(2.5,1)"), Value(3.0));
    EXPECT_EQ(eval("=CEILING(-2.5,-2)"), Value(-4.0));  // both negative: away from zero
    EXPECT_EQ(eval("=CEILING(-2.5,2)"), Value(-2.0));   // towards plus infinity
    EXPECT_EQ(eval("=CEILING(2.5,-2)"), Value(ErrorCode::Num));
    EXPECT_EQ(eval("=CEILING(1.5,0.1)"), Value(1.5));  // no binary remainder pushes it up a step
    EXPECT_EQ(eval("=CEILING(7,0)"), Value(0.0));
    EXPECT_EQ(eval("=CEILING(4.1,2)"), Value(6.0));
    EXPECT_EQ(eval("=CEILING(D1,1)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=CEILING(C1,1)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=MROUND(10,3)"), Value(9.0));
    EXPECT_EQ(eval("=MROUND(-10,-3)"), Value(-9.0));
    EXPECT_EQ(eval("=MROUND(5,2)"), Value(6.0));  // a half goes away from zero
    EXPECT_EQ(eval("=MROUND(-5,-2)"), Value(-6.0));
    EXPECT_EQ(eval("=MROUND(10,-3)"), Value(ErrorCode::Num));
    EXPECT_EQ(eval("=MROUND(-10,3)"), Value(ErrorCode::Num));
    EXPECT_EQ(eval("=MROUND(1.3,0.2)"), Value(1.4));
    EXPECT_EQ(eval("=MROUND(7,0)"), Value(0.0));
}

TEST_F(SheetFunctions, PickingConvertingAndTrappingErrors) {
    EXPECT_EQ(eval("=CHOOSE(2,\"a\",\"b\",\"c\")"), Value(QStringLiteral("b")));
    EXPECT_EQ(eval("=CHOOSE(3.9,1,2,3)"), Value(3.0));  // the index is cut to a whole number
    EXPECT_EQ(eval("=CHOOSE(4,1,2,3)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=CHOOSE(0,1,2,3)"), Value(ErrorCode::Value));
    // Both ends of the index: the first value and the last one are picked, one step past is refused.
    EXPECT_EQ(eval("=CHOOSE(1,\"a\",\"b\",\"c\")"), Value(QStringLiteral("a")));
    EXPECT_EQ(eval("=CHOOSE(0.9,1,2,3)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=CHOOSE(3,1,2,30)"), Value(30.0));
    EXPECT_EQ(eval("=SUM(CHOOSE(2,A1:A4,B1:B4))"), Value(26.0));  // a reference picked is a reference
    EXPECT_EQ(eval("=CHOOSE(D1,1,2)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=IFERROR(D1,-1)"), Value(-1.0));
    EXPECT_EQ(eval("=IFERROR(A2*2,-1)"), Value(4.0));
    EXPECT_EQ(eval("=IFERROR(NOSUCH(1),\"x\")"), Value(QStringLiteral("x")));
    EXPECT_EQ(eval("=IFERROR(1/0,)"), Value(0.0));
    EXPECT_EQ(eval("=MEDIAN(A1:A4)"), Value(2.5));
    EXPECT_EQ(eval("=MEDIAN(A1:A3,C1:C3,10)"), Value(2.5));  // texts and booleans of a range skipped
    EXPECT_EQ(eval("=MEDIAN(3,1,2)"), Value(2.0));
    EXPECT_EQ(eval("=MEDIAN(C1)"), Value(ErrorCode::Num));
    EXPECT_EQ(eval("=MEDIAN(A1,D1)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=N(A3)"), Value(3.0));
    EXPECT_EQ(eval("=N(C1)"), Value(0.0));
    EXPECT_EQ(eval("=N(C2)"), Value(1.0));
    EXPECT_EQ(eval("=N(C3)"), Value(0.0));  // a numeric text is a text
    EXPECT_EQ(eval("=N(D1)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=VALUE(C3)"), Value(12.0));
    EXPECT_EQ(eval("=VALUE(\" 2.5e1 \")"), Value(25.0));
    EXPECT_EQ(eval("=VALUE(\"15%\")"), Value(0.15));
    EXPECT_EQ(eval("=VALUE(C1)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=VALUE(D1)"), Value(ErrorCode::Div0));
}

TEST_F(SheetFunctions, LogicalFunctionsPassOverATypedText) {
    EXPECT_EQ(eval("=AND(TRUE,\"0\")"), Value(true));
    EXPECT_EQ(eval("=AND(TRUE,\"0\",#REF!)"), Value(ErrorCode::Ref));
    EXPECT_EQ(eval("=AND(TRUE,\"false\")"), Value(false));  // unless it reads TRUE or FALSE
    EXPECT_EQ(eval("=OR(FALSE,\"x\")"), Value(false));
    EXPECT_EQ(eval("=OR(\"x\")"), Value(ErrorCode::Value));  // no logical value at all
    EXPECT_EQ(eval("=XOR(TRUE,FALSE)"), Value(true));
    EXPECT_EQ(eval("=XOR(TRUE,TRUE,\"y\")"), Value(false));
    EXPECT_EQ(eval("=XOR(A1:A3)"), Value(true));  // three TRUE: odd
    EXPECT_EQ(eval("=XOR(C1)"), Value(ErrorCode::Value));
    // The file names XOR with the prefix of the newer functions.
    ws->range("H2").setFormula(QStringLiteral("=XOR(A1>0,FALSE)"));
    EXPECT_EQ(ws->range("H2").formula(), QStringLiteral("=_xlfn.XOR(A1>0,FALSE)"));
    EXPECT_EQ(ws->range("H2").value(), Value(true));
}

TEST_F(SheetFunctions, SumproductMultipliesAreasElementByElement) {
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A4,B1:B4)"), Value(70.0));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A4)"), Value(10.0));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A3,C1:C3)"), Value(0.0));  // texts and booleans count as 0
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A4,B1:B3)"), Value(ErrorCode::Value));
    // Arrays of the same rows and other columns, or of rows and columns swapped, are refused too;
    // a non-square pair of one shape is multiplied.
    EXPECT_EQ(eval("=SUMPRODUCT(A1:B2,A1:C2)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:B3,A1:C2)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A2,A1:B1)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:B3,A2:B4)"), Value(1 * 2 + 2 * 3 + 5 * 6 + 6 * 7 + 3 * 4 + 7 * 8.0));
    EXPECT_EQ(eval("=SUMPRODUCT((A1:A4>2)*B1:B4)"), Value(15.0));
    EXPECT_EQ(eval("=SUMPRODUCT(--(A1:A4>2),B1:B4)"), Value(15.0));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A4>2,B1:B4)"), Value(0.0));  // booleans themselves count as 0
    EXPECT_EQ(eval("=SUMPRODUCT({1,2;3,4},{5,6;7,8})"), Value(70.0));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:B1,{2,3})"), Value(17.0));
    EXPECT_EQ(eval("=SUMPRODUCT(D1:D1,A1)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A4*50%)"), Value(5.0));
    // One column, or one row, is stretched over the other side's columns or rows.
    EXPECT_EQ(eval("=SUMPRODUCT(A1:A2*A1:B2)"), Value(1 * 1 + 1 * 5 + 2 * 2 + 2 * 6.0));
    EXPECT_EQ(eval("=SUMPRODUCT(A1:B1*A1:B2)"), Value(1 * 1 + 5 * 5 + 1 * 2 + 5 * 6.0));
    // A function of plain values is one value; nested deeper, it still is.
    EXPECT_EQ(eval("=SUMPRODUCT(ABS(-2),3)"), Value(6.0));
    EXPECT_EQ(eval("=SUMPRODUCT(ABS(MIN(-2,4)),3)"), Value(6.0));
    // A function over an area would be computed per element: refused, not answered as one value.
    EXPECT_EQ(eval("=SUMPRODUCT(ABS(A1:A4))"), Value(ErrorCode::Value));
}

TEST_F(SheetFunctions, ReferencesFromTextAndMovedReferencesFollowTheirCells) {
    EXPECT_EQ(eval("=INDIRECT(\"B2\")"), Value(6.0));
    EXPECT_EQ(eval("=SUM(INDIRECT(\"A1:\"&\"A3\"))"), Value(6.0));
    EXPECT_EQ(eval("=INDIRECT(\"'Dane 2'!B2\")"), Value(42.0));
    EXPECT_EQ(eval("=INDIRECT(\"R2C1\",FALSE)"), Value(2.0));
    EXPECT_EQ(eval("=INDIRECT(\"R[1]C[-7]\",FALSE)"), Value(2.0));  // from H1: one row down, column A
    EXPECT_EQ(eval("=INDIRECT(\"nie adres\")"), Value(ErrorCode::Ref));
    EXPECT_EQ(eval("=INDIRECT(\"Brak!A1\")"), Value(ErrorCode::Ref));
    EXPECT_EQ(eval("=INDIRECT(D1)"), Value(ErrorCode::Div0));
    EXPECT_EQ(eval("=OFFSET(A1,2,1)"), Value(7.0));
    EXPECT_EQ(eval("=SUM(OFFSET(A1,1,0,3))"), Value(9.0));
    EXPECT_EQ(eval("=SUM(OFFSET(A1:B2,2,0))"), Value(22.0));
    EXPECT_EQ(eval("=SUM(OFFSET(A1,0,0,2,2))"), Value(14.0));
    EXPECT_EQ(eval("=OFFSET(A1,-1,0)"), Value(ErrorCode::Ref));
    EXPECT_EQ(eval("=OFFSET(A1,0,0,0)"), Value(ErrorCode::Ref));
    EXPECT_EQ(eval("=OFFSET(5,0,0)"), Value(ErrorCode::Value));
    EXPECT_EQ(eval("=SUM(OFFSET(A4,0,0,-2))"), Value(7.0));  // a negative height reaches up
    // and a negative width left, from the moved corner: B4 back over A4:B4, C2 over A1:C2; a width
    // of -1 is the corner alone, and one reaching past column A is off the sheet.
    EXPECT_EQ(eval("=SUM(OFFSET(B4,0,0,1,-2))"), Value(12.0));
    EXPECT_EQ(eval("=SUM(OFFSET(B1,1,1,-2,-3))"), Value(14.0));
    EXPECT_EQ(eval("=SUM(OFFSET(B4,0,0,1,-1))"), Value(8.0));
    EXPECT_EQ(eval("=SUM(OFFSET(B4,0,0,1,-3))"), Value(ErrorCode::Ref));

    // The cells they reach are known only as they are evaluated: a change there recomputes them,
    // and a formula read through them is computed first.
    ws->range("J1").setFormula(QStringLiteral("=SUM(INDIRECT(\"A1:A4\"))"));
    ws->range("J2").setFormula(QStringLiteral("=SUM(OFFSET(B1,0,0,4))+J1"));
    ws->range("J3").setFormula(QStringLiteral("=INDIRECT(\"K10\")*2"));
    ws->range("K10").setFormula(QStringLiteral("=A1+100"));
    EXPECT_EQ(ws->range("J1").value(), Value(10.0));
    EXPECT_EQ(ws->range("J2").value(), Value(36.0));
    EXPECT_EQ(ws->range("J3").value(), Value(202.0));
    ws->range("A1").setValue(11.0);
    EXPECT_EQ(ws->range("J1").value(), Value(20.0));
    EXPECT_EQ(ws->range("J2").value(), Value(46.0));
    EXPECT_EQ(ws->range("J3").value(), Value(222.0));
    // A full recalculation goes in cell order, where K10 comes after J3 that reads it.
    ws->cell(1, 1)->value = Value(50.0);
    book->calculate();
    EXPECT_EQ(ws->range("K10").value(), Value(150.0));
    EXPECT_EQ(ws->range("J3").value(), Value(300.0));
    EXPECT_EQ(ws->range("J2").value(), Value(85.0));
}

TEST_F(SheetFunctions, ACircularReferenceIsMarkedAsSuchUntilBroken) {
    ws->range("E1").setFormula(QStringLiteral("=E2+1"));
    ws->range("E2").setFormula(QStringLiteral("=E1+1"));
    ws->range("E3").setFormula(QStringLiteral("=E1*2"));
    for (int pass = 0; pass < 2; ++pass) {
        for (const char* a : {"E1", "E2", "E3"}) {
            EXPECT_EQ(ws->range(a).value(), Value(ErrorCode::Ref)) << a;
            EXPECT_TRUE(ws->cell(ws->range(a).row(), 5)->circular) << a;
        }
        book->calculate();
    }
    // An ordinary #REF! is no circular reference.
    ws->range("E4").setFormula(QStringLiteral("=Brak!A1"));
    EXPECT_FALSE(ws->cell(4, 5)->circular);
    ws->range("E2").setValue(1.0);
    EXPECT_EQ(ws->range("E3").value(), Value(4.0));
    EXPECT_FALSE(ws->cell(1, 5)->circular);
    EXPECT_FALSE(ws->cell(3, 5)->circular);
}

}  // namespace
