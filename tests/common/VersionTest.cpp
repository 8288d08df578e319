// The version text.
#include "common/Version.h"

#include <gtest/gtest.h>

using namespace common;

TEST(CommonVersionText, BuildVersionAndNormalForm) {
    EXPECT_EQ(GetVersionText(), QStringLiteral(TESMAR_VERSION));
    EXPECT_EQ(FormatVersionText(QStringLiteral("2.0.15")), QStringLiteral("2.0.15"));
    EXPECT_EQ(FormatVersionText(QStringLiteral(" 02.00.015")), QStringLiteral("2.0.15"));
    EXPECT_EQ(FormatVersionText(QStringLiteral("1.2")), QStringLiteral("1.2.0"));
    EXPECT_EQ(FormatVersionText(QStringLiteral("3.1.4.1")), QStringLiteral("3.1.4"));
}
