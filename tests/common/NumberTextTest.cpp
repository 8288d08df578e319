// Numbers written with a dot and read back without failing.
#include "common/NumberText.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <clocale>

using namespace common;

TEST(CommonFormatNumberWithDot, PatternsOfTheSuite) {
    EXPECT_EQ(FormatNumberWithDot(12.5, QStringLiteral("#######0.00")), QStringLiteral("12.50"));
    EXPECT_EQ(FormatNumberWithDot(-3, QStringLiteral("#######0.0")), QStringLiteral("-3.0"));
    EXPECT_EQ(FormatNumberWithDot(-5, QStringLiteral("#######0.0000")), QStringLiteral("-5.0000"));
    EXPECT_EQ(FormatNumberWithDot(10, QStringLiteral("#######0.000")), QStringLiteral("10.000"));
    EXPECT_EQ(FormatNumberWithDot(0, QStringLiteral("#######0.0000")), QStringLiteral("0.0000"));
    EXPECT_EQ(FormatNumberWithDot(49.6, QStringLiteral("#######0")), QStringLiteral("50"));
    EXPECT_EQ(FormatNumberWithDot(123456789.25, QStringLiteral("#######0.0")), QStringLiteral("123456789.3"));
    EXPECT_EQ(FormatNumberWithDot(7, QStringLiteral("0")), QStringLiteral("7"));
    EXPECT_EQ(FormatNumberWithDot(0.25, QStringLiteral("#0.0")), QStringLiteral("0.3"));
    EXPECT_EQ(FormatNumberWithDot(0.5, QStringLiteral("#.00")), QStringLiteral(".50"));
    EXPECT_EQ(FormatNumberWithDot(1.5, QStringLiteral("0.0#")), QStringLiteral("1.5"));
    EXPECT_EQ(FormatNumberWithDot(1.234, QStringLiteral("0.0#")), QStringLiteral("1.23"));
    EXPECT_EQ(FormatNumberWithDot(12, QString()), QStringLiteral("12"));
    EXPECT_EQ(FormatNumberWithDot(0.5, QString()), QStringLiteral("0.5"));
    EXPECT_EQ(FormatNumberWithDot(-0.25, QString()), QStringLiteral("-0.25"));
    EXPECT_EQ(FormatNumberWithDot(0.01, QString()), QStringLiteral("0.01"));  // a scale text
    EXPECT_EQ(FormatNumberWithDot(2.5, QString()), QStringLiteral("2.5"));
}

TEST(CommonFormatNumberWithDot, RoundsHalvesAwayFromZeroInDecimal) {
    EXPECT_EQ(FormatNumberWithDot(1.005, QStringLiteral("#######0.00")), QStringLiteral("1.01"));
    EXPECT_EQ(FormatNumberWithDot(-1.005, QStringLiteral("#######0.00")), QStringLiteral("-1.01"));
    EXPECT_EQ(FormatNumberWithDot(9.995, QStringLiteral("#######0.00")), QStringLiteral("10.00"));
    EXPECT_EQ(FormatNumberWithDot(2.5, QStringLiteral("#######0")), QStringLiteral("3"));
    EXPECT_EQ(FormatNumberWithDot(0.00004, QStringLiteral("#######0.0000")), QStringLiteral("0.0000"));
    EXPECT_EQ(FormatNumberWithDot(-0.00004, QStringLiteral("#######0.0000")),
              QStringLiteral("0.0000"));  // no "-0"
    EXPECT_EQ(FormatNumberWithDot(1e20, QStringLiteral("#######0.0")),
              QStringLiteral("100000000000000000000.0"));
}

TEST(CommonFormatNumberWithDot, DotUnderACommaLocale) {
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    const char* previous = std::setlocale(LC_ALL, "pl_PL.UTF-8");
    EXPECT_EQ(FormatNumberWithDot(0.5, QStringLiteral("#######0.00")), QStringLiteral("0.50"));
    EXPECT_EQ(FormatNumberWithDot(13.89, QString()), QStringLiteral("13.89"));
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("1.5")), 1.5);
    if (previous) std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

TEST(CommonFormatNumber, UsersDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    EXPECT_EQ(FormatNumber(12.5, QStringLiteral("#######0.00")), QStringLiteral("12,50"));
    EXPECT_EQ(FormatNumber(-3, QStringLiteral("#######0.0")), QStringLiteral("-3,0"));
    EXPECT_EQ(FormatNumber(1234567.891, QStringLiteral("#######0.00")),
              QStringLiteral("1234567,89"));  // no grouping
    EXPECT_EQ(FormatNumber(0.01, QString()), QStringLiteral("0,01"));
    EXPECT_EQ(FormatNumber(7, QStringLiteral("#######0")), QStringLiteral("7"));
    EXPECT_DOUBLE_EQ(ParseDouble(FormatNumber(13.89, QStringLiteral("#######0.00"))), 13.89);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(FormatNumber(12.5, QStringLiteral("#######0.00")), QStringLiteral("12.50"));
}

TEST(CommonFormatPlainNumber, NoLeadingZeroNoTrailingZeros) {
    EXPECT_EQ(FormatPlainNumber(0.5), QStringLiteral(".5"));
    EXPECT_EQ(FormatPlainNumber(-0.25), QStringLiteral("-.25"));
    EXPECT_EQ(FormatPlainNumber(13.89), QStringLiteral("13.89"));
    EXPECT_EQ(FormatPlainNumber(3.5), QStringLiteral("3.5"));
    EXPECT_EQ(FormatPlainNumber(10), QStringLiteral("10"));
    EXPECT_EQ(FormatPlainNumber(0), QStringLiteral("0"));
    EXPECT_EQ(FormatPlainNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(FormatPlainNumber(0.00001), QStringLiteral("1E-05"));
    EXPECT_EQ(FormatPlainNumber(1e15), QStringLiteral("1E+15"));
    EXPECT_EQ(FormatPlainNumber(0.1 + 0.2), QStringLiteral(".3"));  // 15 significant digits
}

TEST(CommonParseDouble, LeadingNumberWithCommaOrDot) {
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("  2,75  ")), 2.75);
    EXPECT_DOUBLE_EQ(ParseDouble(QString()), 0);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("12.5 m")), 12.5);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("1 234,5")), 1234.5);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("1.2.3")), 1.2);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("m12")), 0);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("-1,5E2")), -150);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("+2.5d-1")), 0.25);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("3E")), 3);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("-.5")), -0.5);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("\t1\n2")), 12);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("--5")), 0);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral(".")), 0);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("1E400")), 0);  // beyond the double range
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("&H1F")), 31);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("&O17")), 15);
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("&HFFFF")), -1);  // a 16-bit pattern
    EXPECT_DOUBLE_EQ(ParseDouble(QStringLiteral("ąę")), 0);
}

TEST(CommonParseInteger, RoundsHalfToEvenAndRangeGivesZero) {
    EXPECT_EQ(ParseInteger(QStringLiteral("2,5")), 2);
    EXPECT_EQ(ParseInteger(QStringLiteral("40000")), 0);
    EXPECT_EQ(ParseInteger(QStringLiteral("-1")), -1);
    EXPECT_EQ(ParseInteger(QStringLiteral("2.5")), 2);
    EXPECT_EQ(ParseInteger(QStringLiteral("3.5")), 4);
    EXPECT_EQ(ParseInteger(QStringLiteral("-2.5")), -2);
    EXPECT_EQ(ParseInteger(QStringLiteral("2.51")), 3);
    EXPECT_EQ(ParseInteger(QStringLiteral("32767")), 32767);
    EXPECT_EQ(ParseInteger(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(ParseInteger(QStringLiteral("32767.5")), 0);  // rounds to 32768
    EXPECT_EQ(ParseInteger(QStringLiteral("1,4")), 1);
    EXPECT_EQ(ParseInteger(QStringLiteral("")), 0);
    EXPECT_EQ(ParseInteger(QStringLiteral(" 12abc")), 12);
    EXPECT_EQ(ParseInteger(QStringLiteral("1e3")), 1000);
}

TEST(CommonParseLong, ThirtyTwoBitRange) {
    EXPECT_EQ(ParseLong(QStringLiteral("40000")), 40000);
    EXPECT_EQ(ParseLong(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(ParseLong(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(ParseLong(QStringLiteral("2147483648")), 0);
    EXPECT_EQ(ParseLong(QStringLiteral("0.5")), 0);
    EXPECT_EQ(ParseLong(QStringLiteral("1.5")), 2);
}

TEST(CommonBooleans, OnlyOneIsTrue) {
    EXPECT_TRUE(ConvertIntToBool(1));
    EXPECT_FALSE(ConvertIntToBool(2));
    EXPECT_FALSE(ConvertIntToBool(-1));
    EXPECT_EQ(ConvertBoolToInt(-1), 1);
    EXPECT_EQ(ConvertBoolToInt(0), 0);
    EXPECT_EQ(ConvertBoolToInt(true), 1);
}

TEST(CommonRoundToDecimals, HalvesGoUp) {
    EXPECT_DOUBLE_EQ(RoundToDecimals(-2.5, 0), -2);
    EXPECT_DOUBLE_EQ(RoundToDecimals(2.5, 0), 3);
    EXPECT_DOUBLE_EQ(RoundToDecimals(1.2345, 2), 1.23);
    EXPECT_DOUBLE_EQ(RoundToDecimals(-1.26, 1), -1.3);
}

TEST(CommonSortIntegerArray, AscendingAndStable) {
    std::vector<int> v{5, -1, 3, 3, 0};
    SortIntegerArray(v);
    EXPECT_EQ(v, (std::vector<int>{-1, 0, 3, 3, 5}));
    std::vector<int> one{7};
    SortIntegerArray(one);
    EXPECT_EQ(one, std::vector<int>{7});
    std::vector<int> empty;
    SortIntegerArray(empty);
    EXPECT_TRUE(empty.empty());
}
