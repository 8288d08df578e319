// Addresses, number texts and formula notation: the small conversions everything else rests on.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

TEST(SheetAddress, ColumnLettersAndRanges) {
    EXPECT_EQ(columnLetters(1), "A");
    EXPECT_EQ(columnLetters(26), "Z");
    EXPECT_EQ(columnLetters(27), "AA");
    EXPECT_EQ(columnLetters(16384), "XFD");
    EXPECT_EQ(columnLetters(16385), "");
    for (int c : {1, 25, 26, 27, 52, 53, 702, 703, 16384}) EXPECT_EQ(columnNumber(columnLetters(c)), c);
    EXPECT_EQ(columnNumber(QStringLiteral("XFE")), 0);
    EXPECT_EQ(columnNumber(QStringLiteral("A1")), 0);
    EXPECT_EQ(parseRect(QStringLiteral("$A$1:$O$40")), (Rect{1, 1, 40, 15}));
    EXPECT_EQ(parseRect(QStringLiteral("B2:A1")), (Rect{1, 1, 2, 2}));
    EXPECT_EQ(parseRect(QStringLiteral("n6")), (Rect{6, 14, 6, 14}));
    EXPECT_EQ(parseRect(QStringLiteral("C:D")), (Rect{1, 3, MaxRows, 4}));
    EXPECT_EQ(parseRect(QStringLiteral("3:5")), (Rect{3, 1, 5, MaxColumns}));
    for (const char* bad : {"", "A", "1", "A0", "A1:B", "XFE1", "A1048577", "A 1", "A1:B2:C3", "1A", "$"})
        EXPECT_FALSE(parseRect(QString::fromLatin1(bad)).has_value()) << bad;
    EXPECT_EQ(rectAddress({1, 1, 40, 15}), "$A$1:$O$40");
    EXPECT_EQ(rectAddress({3, 2, 3, 2}, false), "B3");
    EXPECT_EQ(rectAddress({1, 14, MaxRows, 14}), "$N:$N");
}

TEST(SheetNumbers, ParsingAndGeneralForm) {
    EXPECT_EQ(parseNumber(QStringLiteral(" 2 ")), 2.0);
    EXPECT_EQ(parseNumber(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(parseNumber(QStringLiteral("1.")), 1.0);
    EXPECT_EQ(parseNumber(QStringLiteral("+3")), 3.0);
    EXPECT_EQ(parseNumber(QStringLiteral("5%")), 0.05);
    EXPECT_EQ(parseNumber(QStringLiteral("1e3")), 1000.0);
    for (const char* bad : {"", " ", "1e", "1,5", "abc", "1.2.3", "--1", "1 2", "inf", "nan", "0x10"})
        EXPECT_FALSE(parseNumber(QString::fromLatin1(bad)).has_value()) << bad;
    EXPECT_EQ(formatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatNumber(1e20), "1E+20");
    EXPECT_EQ(formatNumber(1.5e-7), "0.00000015");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(123456789012.0), "123456789012");
    EXPECT_EQ(exactNumber(0.1 + 0.2).toDouble(), 0.1 + 0.2);
    EXPECT_EQ(Value(QStringLiteral("x")).toNumber(), std::nullopt);
    EXPECT_EQ(Value().toNumber(), 0.0);
    EXPECT_EQ(Value(ErrorCode::Div0).toString(), "#DIV/0!");
    EXPECT_EQ(errorFromText(QStringLiteral("#name?")), ErrorCode::Name);
}

TEST(SheetNotation, ReferencesPrintFromEveryCell) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("C5").setFormulaR1C1(QStringLiteral("=R[-1]C[2]+R1C1+RC[-2]+R2C[1]"));
    EXPECT_EQ(s.range("C5").formula(), "=E4+$A$1+A5+D$2");
    s.range("C5").setFormula(QStringLiteral("=$B4+C$1*Arkusz2!$D$9"));
    EXPECT_EQ(s.range("C5").formulaR1C1(), "=R[-1]C2+R1C*Arkusz2!R9C4");
    // A range filled with one relative formula reads it relative to each cell.
    s.range("F1:F3").setFormula(QStringLiteral("=E1*2"));
    EXPECT_EQ(s.range("F3").formula(), "=E3*2");
    EXPECT_EQ(s.range("F3").formulaR1C1(), "=RC[-1]*2");
    // A relative reference that points off the sheet gives #REF!.
    s.range("A1").setFormulaR1C1(QStringLiteral("=R[-1]C+1"));
    EXPECT_EQ(s.range("A1").formula(), "=#REF!+1");
    EXPECT_EQ(s.range("A1").value(), Value(ErrorCode::Ref));
    // Texts, booleans, percent, comparison and error literals survive a print.
    s.range("B9").setFormula(QStringLiteral("=IF(A1<>\"a\"\"b\",TRUE,#N/A)&5%"));
    EXPECT_EQ(s.range("B9").formula(), "=IF(A1<>\"a\"\"b\",TRUE,#N/A)&5%");
    s.range("B10").setFormula(QStringLiteral("= SUM( 1 , 2 ) "));
    EXPECT_EQ(s.range("B10").formula(), "=SUM(1,2)");
    EXPECT_EQ(s.range("B10").value(), Value(3.0));
    s.range("B11").setFormula(QStringLiteral("=1.5E-7*2"));
    EXPECT_NEAR(s.range("B11").value().number(), 3e-7, 1e-20);
    EXPECT_EQ(s.range("B11").formula(), "=1.5E-07*2");
}

}  // namespace
