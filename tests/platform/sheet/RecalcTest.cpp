// Values entered as the spreadsheet takes them, displayed texts, the dependency graph's order
// and cycles, and the objects' lifetime.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sheet;

namespace {

TEST(SheetEnteredValues, NumericTextsBecomeNumbersOthersStayText) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("A1").setValue(QStringLiteral("12.5"));
    EXPECT_EQ(s.range("A1").value(), Value(12.5));
    s.range("A2").setValue(QStringLiteral(" -3e2 "));
    EXPECT_EQ(s.range("A2").value(), Value(-300.0));
    s.range("A3").setValue(QStringLiteral("12,5"));  // dot decimal only
    EXPECT_EQ(s.range("A3").value(), Value(QStringLiteral("12,5")));
    s.range("A4").setValue(QStringLiteral("1, 2, 3"));
    EXPECT_TRUE(s.range("A4").value().isText());
    s.range("A5").setValue(QStringLiteral("'0"));
    EXPECT_EQ(s.range("A5").value(), Value(QStringLiteral("0")));
    s.range("A1").setValue(QString());
    EXPECT_TRUE(s.range("A1").value().isEmpty());
    EXPECT_EQ(s.range("A1").text(), "");
    s.range("A7").setValue(std::nan(""));
    EXPECT_EQ(s.range("A7").value(), Value(ErrorCode::Num));
    s.range("A6").setValue(QStringLiteral("K2, K10"));
    EXPECT_EQ(s.range("A6").text(), "K2, K10");
}

TEST(SheetDisplayedText, FollowsTheNumberFormat) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    Range c = s.range("B2");
    c.setValue(1234.5678);
    EXPECT_EQ(c.text(), "1234.5678");
    c.setNumberFormat(QStringLiteral("0.00"));
    EXPECT_EQ(c.text(), "1234.57");
    c.setNumberFormat(QStringLiteral("#,##0"));
    EXPECT_EQ(c.text(), "1,235");
    c.setNumberFormat(QStringLiteral("0%"));
    c.setValue(0.256);
    EXPECT_EQ(c.text(), "26%");
    c.setNumberFormat(QStringLiteral("#######0.00"));
    c.setValue(-0.004);
    EXPECT_EQ(c.text(), "0.00");
    c.setValue(2.005);
    EXPECT_EQ(c.text(), "2.01");  // halves away from zero, not to even
    c.setNumberFormat(QStringLiteral("0"));
    c.setValue(2.5);
    EXPECT_EQ(c.text(), "3");
    c.setValue(-2.5);
    EXPECT_EQ(c.text(), "-3");
    c.setValue(2.0 / 3);
    c.setNumberFormat(QStringLiteral("General"));
    EXPECT_EQ(c.text(), "0.6666666667");
    c.setValue(true);
    EXPECT_EQ(c.text(), "TRUE");
}

TEST(SheetRecalculation, ChainsRecomputeInOrderAndOnlyDependantsChange) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("A1").setValue(1.0);
    s.range("A2").setFormula(QStringLiteral("=A1+1"));
    s.range("A3").setFormula(QStringLiteral("=A2*A1+A2"));
    s.range("A4").setFormula(QStringLiteral("=SUM(A1:A3)"));
    s.range("B1").setFormula(QStringLiteral("=A1*100"));
    EXPECT_EQ(s.range("A4").value(), Value(1.0 + 2 + 4));
    s.range("A1").setValue(2.0);
    EXPECT_EQ(s.range("A2").value(), Value(3.0));
    EXPECT_EQ(s.range("A3").value(), Value(9.0));
    EXPECT_EQ(s.range("A4").value(), Value(14.0));
    EXPECT_EQ(s.range("B1").value(), Value(200.0));
    // Replacing a formula by a value drops its old dependencies.
    s.range("A2").setValue(10.0);
    s.range("A1").setValue(1.0);
    EXPECT_EQ(s.range("A2").value(), Value(10.0));
    EXPECT_EQ(s.range("A3").value(), Value(20.0));
    s.range("A1").clearContents();
    EXPECT_EQ(s.range("B1").value(), Value(0.0));
}

TEST(SheetRecalculation, LongChainDoesNotOverflowAndLargeRangesFollow) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("A1").setValue(1.0);
    for (int r = 2; r <= 5000; ++r) s.cells(r, 1).setFormulaR1C1(QStringLiteral("=R[-1]C+1"));
    s.range("B1").setFormula(QStringLiteral("=SUM(A1:A5000)"));
    EXPECT_EQ(s.range("A5000").value(), Value(5000.0));
    s.range("A1").setValue(2.0);
    EXPECT_EQ(s.range("A5000").value(), Value(5001.0));
    EXPECT_EQ(s.range("B1").value(), Value(5000.0 * 5001 / 2 + 5000));
}

TEST(SheetRecalculation, CyclesGiveAnErrorAndRecoverWhenBroken) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("A1").setFormula(QStringLiteral("=A1+1"));
    EXPECT_TRUE(s.range("A1").value().isError());
    s.range("B1").setFormula(QStringLiteral("=C1"));
    s.range("C1").setFormula(QStringLiteral("=B1*2"));
    EXPECT_TRUE(s.range("B1").value().isError());
    EXPECT_TRUE(s.range("C1").value().isError());
    s.range("C1").setValue(4.0);
    EXPECT_EQ(s.range("B1").value(), Value(4.0));
}

TEST(SheetLifetime, ClosedWorkbookObjectsFailCleanly) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(2);
    Range r = s.range("A1");
    EXPECT_EQ(app.activeWorkbook(), &b);
    EXPECT_EQ(b.name(), b.fullName());
    b.close();
    EXPECT_EQ(app.activeWorkbook(), nullptr);
    EXPECT_EQ(app.workbooks().count(), 0);
    EXPECT_THROW(b.name(), Released);
    EXPECT_THROW(s.name(), Released);
    EXPECT_THROW(r.value(), Released);
    EXPECT_THROW(app.workbooks().item(1), NotFound);
}

TEST(SheetWorkbook, SheetsByIndexAndNameAndProperties) {
    Application app;
    Workbook& b = app.workbooks().add();
    EXPECT_EQ(b.worksheetCount(), 3);
    EXPECT_EQ(b.worksheets(2).name(), "Arkusz2");
    b.worksheets(2).setName(QStringLiteral("MATRYCA KOLIZJI"));
    EXPECT_EQ(&b.worksheets(QStringLiteral("matryca kolizji")), &b.worksheets(2));
    EXPECT_THROW(b.worksheets(4), NotFound);
    EXPECT_THROW(b.worksheets(0), NotFound);
    EXPECT_THROW(b.worksheets(1).setName(QStringLiteral("Matryca kolizji")), InvalidArgument);
    EXPECT_THROW(b.worksheets(1).setName(QStringLiteral("a/b")), InvalidArgument);
    EXPECT_EQ(b.builtinDocumentProperty(QStringLiteral("Subject")), "");
    b.setBuiltinDocumentProperty(QStringLiteral("Subject"), QStringLiteral("wersja 2.6"));
    EXPECT_EQ(b.builtinDocumentProperty(QStringLiteral("Subject")), "wersja 2.6");
    EXPECT_THROW(b.builtinDocumentProperty(QStringLiteral("Nonsense")), NotFound);
    EXPECT_THROW(b.worksheets(1).range(QStringLiteral("A0")), InvalidArgument);
    EXPECT_THROW(b.worksheets(1).cells(0, 1), InvalidArgument);
    EXPECT_EQ(b.worksheets(1).range(b.worksheets(1).cells(40, 15), b.worksheets(1).cells(1, 1)).address(),
              "$A$1:$O$40");
}

}  // namespace
