// Typed prompt input: absolute, relative and polar points, Enter, values and keywords.
#include "cadhost/InputParser.h"

#include <gtest/gtest.h>

using cad::Input;
using cadhost::ParseTypedInput;

TEST(CadHostInput, PointsValuesAndKeywords) {
    const std::optional<cad::Point> last = cad::Point{10, 20, 0};
    Input in = ParseTypedInput(QStringLiteral(" 12.5, -3 "), last);
    ASSERT_EQ(in.kind, Input::PointInput);
    EXPECT_DOUBLE_EQ(in.point.x, 12.5);
    EXPECT_DOUBLE_EQ(in.point.y, -3);
    in = ParseTypedInput(QStringLiteral("@5,-5"), last);
    ASSERT_EQ(in.kind, Input::PointInput);
    EXPECT_DOUBLE_EQ(in.point.x, 15);
    EXPECT_DOUBLE_EQ(in.point.y, 15);
    in = ParseTypedInput(QStringLiteral("@10<90"), last);
    ASSERT_EQ(in.kind, Input::PointInput);
    EXPECT_NEAR(in.point.x, 10, 1e-12);
    EXPECT_NEAR(in.point.y, 30, 1e-12);
    EXPECT_EQ(ParseTypedInput(QStringLiteral("   "), last).kind, Input::Enter);
    in = ParseTypedInput(QStringLiteral("A"), last);
    EXPECT_EQ(in.kind, Input::TextInput);
    EXPECT_EQ(in.text, QStringLiteral("A"));
    in = ParseTypedInput(QStringLiteral("2.5"), std::nullopt);
    EXPECT_EQ(in.kind, Input::TextInput);  // a single number is a value for the command
    in = ParseTypedInput(QStringLiteral("@1,1"), std::nullopt);
    EXPECT_DOUBLE_EQ(in.point.x, 1);  // relative to the origin when nothing came before
}
