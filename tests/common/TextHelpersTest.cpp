// Character and substring replacement, the last character and the translation hook.
#include "common/TextHelpers.h"
#include "platform/ui/core/Prompt.h"

#include <gtest/gtest.h>

using namespace common;

TEST(CommonReplaceCharInText, ReplacesEachOriginalOccurrenceOnce) {
    QString text = QStringLiteral("a  b");
    EXPECT_EQ(ReplaceCharInText(text, QLatin1Char(' '), QString()), QStringLiteral("ab"));
    EXPECT_EQ(text, QStringLiteral("ab"));  // written back
    QString grows = QStringLiteral("ab");
    EXPECT_EQ(ReplaceCharInText(grows, QLatin1Char('a'), QStringLiteral("aa")), QStringLiteral("aab"));
}

TEST(CommonReplaceCharInCopy, LeavesArgumentUnchanged) {
    const QString text = QStringLiteral("1.5.7");
    EXPECT_EQ(ReplaceCharInCopy(text, QLatin1Char('.'), QStringLiteral(", ")), QStringLiteral("1, 5, 7"));
    EXPECT_EQ(text, QStringLiteral("1.5.7"));
}

TEST(CommonReplaceChr, ReplacesInPlaceAndRefusesEqualCharacters) {
    ui::ScriptedPrompts prompts;
    EXPECT_EQ(ReplaceChr(QStringLiteral("1.5"), QLatin1Char('.'), QLatin1Char(',')), QStringLiteral("1,5"));
    EXPECT_EQ(ReplaceChr(QStringLiteral("a b c"), QLatin1Char(' '), QLatin1Char(':')),
              QStringLiteral("a:b:c"));
    EXPECT_TRUE(prompts.asked().empty());
    // Case matters: "A" is not "a".
    EXPECT_EQ(ReplaceChr(QStringLiteral("Aa"), QLatin1Char('a'), QLatin1Char('x')), QStringLiteral("Ax"));

    EXPECT_EQ(ReplaceChr(QStringLiteral("x.y"), QLatin1Char('.'), QLatin1Char('.')), QStringLiteral("x.y"));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("ReplaceChr(): oba znaki są identyczne!"));
    EXPECT_EQ(prompts.asked()[0].flags, ui::OkOnly);
}

TEST(CommonReplaceSubstring, RestartsFromTheStart) {
    QString text = QStringLiteral("aabb");
    EXPECT_EQ(ReplaceSubstring(text, QStringLiteral("ab"), QString()), QString());  // aabb -> ab -> ""
    QString numbers = QStringLiteral("1,5;2,25");
    EXPECT_EQ(ReplaceSubstring(numbers, QStringLiteral(","), QStringLiteral(".")),
              QStringLiteral("1.5;2.25"));
    QString unchanged = QStringLiteral("abc");
    EXPECT_EQ(ReplaceSubstring(unchanged, QString(), QStringLiteral("x")), QStringLiteral("abc"));
    QString formed = QStringLiteral("aaab");  // each replacement forms the next occurrence
    EXPECT_EQ(ReplaceSubstring(formed, QStringLiteral("ab"), QStringLiteral("b")), QStringLiteral("b"));
}

TEST(CommonReplaceSubstring, EndsWhenReplacementContainsSearch) {
    QString text = QStringLiteral("a-b-c");
    EXPECT_EQ(ReplaceSubstring(text, QStringLiteral("-"), QStringLiteral("--")), QStringLiteral("a--b--c"));
    QString same = QStringLiteral("xx");
    EXPECT_EQ(ReplaceSubstring(same, QStringLiteral("x"), QStringLiteral("x")), QStringLiteral("xx"));
}

TEST(CommonFindLastChar, OneBasedOrZero) {
    EXPECT_EQ(FindLastChar(QStringLiteral("C:\\a\\b.ini"), QLatin1Char('\\')), 5);
    EXPECT_EQ(FindLastChar(QStringLiteral("abc"), QLatin1Char('a')), 1);
    EXPECT_EQ(FindLastChar(QStringLiteral("abc"), QLatin1Char('x')), 0);
    EXPECT_EQ(FindLastChar(QString(), QLatin1Char('x')), 0);
}

TEST(CommonTlumacz, ReturnsTextUnchanged) {
    EXPECT_EQ(Tlumacz(QStringLiteral("Zakończono operację cięcia.")),
              QStringLiteral("Zakończono operację cięcia."));
    EXPECT_TRUE(Tlumacz(QString()).isEmpty());
}
TEST(CommonPolishCount, TheNounTakesTheFormItsNumberAsks) {
    const QString one = QStringLiteral("znak"), few = QStringLiteral("znaki"), many = QStringLiteral("znaków");
    const std::pair<long long, const char*> cases[] = {{0, "0 znaków"},    {1, "1 znak"},      {2, "2 znaki"},
                                                       {4, "4 znaki"},     {5, "5 znaków"},    {11, "11 znaków"},
                                                       {12, "12 znaków"},  {14, "14 znaków"},  {21, "21 znaków"},
                                                       {22, "22 znaki"},   {112, "112 znaków"}, {234, "234 znaki"},
                                                       {1001, "1001 znaków"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(common::PolishCount(n, one, few, many), QString::fromUtf8(text));
}

TEST(ShortForMessage, KeepsFortyCharactersAndNoLineBreaks) {
    const QString forty(40, QLatin1Char('a'));
    EXPECT_EQ(common::ShortForMessage(forty), forty);
    EXPECT_EQ(common::ShortForMessage(forty + QStringLiteral("b")), forty + QStringLiteral("…"));
    EXPECT_EQ(common::ShortForMessage(QStringLiteral("K1\nK2\r")), QStringLiteral("K1 K2 "));
    EXPECT_EQ(common::ShortForMessage(QString(10'000'000, QLatin1Char('x')), 5), QStringLiteral("xxxxx…"));
}
