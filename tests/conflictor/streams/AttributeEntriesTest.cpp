// The "<name>:<value>^" entries of the attribute texts and the stream names of component block names.
#include "StreamsFixture.h"

namespace conflictor::test {
namespace {

class StreamsAttributeEntries : public ::testing::Test {
protected:
    void SetUp() override { ResetStreamState(); }
    void TearDown() override { ResetStreamState(); }
    static QString& text(int entry) { return StreamAttributeTags[size_t(entry)].Value; }
};

TEST_F(StreamsAttributeEntries, TheNineTagsStandInTheEntriesWhereTheyAreLookedUp) {
    const QStringList& tags = StreamAttributeTagNames();
    ASSERT_EQ(tags.size(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(StreamAttributeTags[size_t(i)].Tag, tags[i]);
        ASSERT_TRUE(SetStreamAttribute(tags[i], QStringLiteral("K1"), QString::number(i + 1), false));
    }
    EXPECT_TRUE(StreamAttributeTags[9].Tag.isEmpty());
    // Every tag, the last one included, reads back what was set under it.
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(GetStreamAttribute(tags[i], QStringLiteral("k1")), QString::number(i + 1));
    EXPECT_EQ(text(8), QStringLiteral("K1:9^"));
}

TEST_F(StreamsAttributeEntries, GetAndSetEntries) {
    text(0) = QStringLiteral("K1:5^K2:7^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("k2")), QStringLiteral("7"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K3")), QString());
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K2"), QStringLiteral("9"), false);
    EXPECT_EQ(text(0), QStringLiteral("K1:5^K2:9^"));
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K3"), QStringLiteral("4"), false);
    EXPECT_EQ(text(0), QStringLiteral("K1:5^K2:9^K3:4^"));
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1"), QString(), false);
    EXPECT_EQ(text(0), QStringLiteral("K1:^K2:9^K3:4^"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QString());

    SetStreamAttribute(QStringLiteral("FAZY"), QStringLiteral("P1"), QStringLiteral("1,2"), false);
    EXPECT_EQ(text(1), QStringLiteral("P1:1,2^"));

    text(0) = QStringLiteral("K11:3^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QString());
    text(0) = QStringLiteral("k1:Ab^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QStringLiteral("Ab"));

    // Unknown or lower-case tags are neither read nor written.
    EXPECT_FALSE(
        SetStreamAttribute(QStringLiteral("grupy"), QStringLiteral("K1"), QStringLiteral("1"), false));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("grupy"), QStringLiteral("K1")), QString());
}

TEST_F(StreamsAttributeEntries, ManyStreamsReadFromOneParseAndFollowEveryChangeOfTheText) {
    QString all;
    for (int s = 1; s <= 2000; ++s) all += QStringLiteral("K%1:%2^").arg(s).arg(s * 3);
    text(0) = all + QStringLiteral("K5:99^P1:^P2:7");  // a repeated name, an empty and an unclosed value
    for (int s = 1; s <= 2000; ++s)
        ASSERT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("k%1").arg(s)),
                  QString::number(s * 3));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K5")), QStringLiteral("15"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("P1")), QString());
    // A last entry without its closing "^" (another DXF library drops it) runs to the end.
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("P2")), QStringLiteral("7"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K2001")), QString());
    // Every way the text changes is seen at the next look-up: set through the routine, appended to
    // in place, replaced by an equal-length text.
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K7"), QStringLiteral("1"), false);
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K7")), QStringLiteral("1"));
    text(0) += QStringLiteral("^R1:4^");  // closes the open entry too
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("R1")), QStringLiteral("4"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("P2")), QStringLiteral("7"));
    text(0) = QStringLiteral("K1:5^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QStringLiteral("5"));
    text(0) = QStringLiteral("K1:6^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QStringLiteral("6"));
    text(0).clear();
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QString());
    // Each tag keeps its own entries.
    text(2) = QStringLiteral("K1:opis^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K1")), QStringLiteral("opis"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1")), QString());
}

TEST_F(StreamsAttributeEntries, DescriptionsCannotBreakTheEntriesOfOtherStreams) {
    // A description that names another stream with a colon, or holds "^".
    SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K1"), QStringLiteral("jak K2: w lewo^K3:x"),
                       false);
    SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K2"), QStringLiteral("prosto"), false);
    SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K3"), QStringLiteral("w prawo: ostro"),
                       false);
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K1")),
              QStringLiteral("jak K2 w lewoK3x"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K2")), QStringLiteral("prosto"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K3")),
              QStringLiteral("w prawo: ostro"));
    EXPECT_EQ(text(2).count(QLatin1Char('^')), 3);

    // A text written by an older version with such a description: the entries are still found where
    // they begin, and a change of K2 leaves K1's description alone.
    text(2) = QStringLiteral("K1:jak K2:7^K2:prosto^");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K2")), QStringLiteral("prosto"));
    SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K2"), QStringLiteral("lewo"), false);
    EXPECT_EQ(text(2), QStringLiteral("K1:jak K2:7^K2:lewo^"));

    // Names that would break the format are refused.
    EXPECT_FALSE(
        SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K^1"), QStringLiteral("x"), false));
    EXPECT_FALSE(
        SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K:1"), QStringLiteral("x"), false));
    EXPECT_FALSE(SetStreamAttribute(QStringLiteral("OPISY"), QString(), QStringLiteral("x"), false));
    EXPECT_EQ(text(2), QStringLiteral("K1:jak K2:7^K2:lewo^"));

    // An entry that lost its closing "^" reads to the end and is closed again rather than emptying
    // the text.
    text(0) = QStringLiteral("K1:5^K2:7");
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K2")), QStringLiteral("7"));
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K2"), QStringLiteral("8"), false);
    EXPECT_EQ(text(0), QStringLiteral("K1:5^K2:8^"));
}

TEST_F(StreamsAttributeEntries, BlockNamesListTheirStreams) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2"))};
    QString name = QStringLiteral("12^STRUMIEN_7^K1^K2");
    int none = -1;
    EXPECT_TRUE(ParseStreamBlockName(QStringLiteral("K2"), name, 0, none));
    EXPECT_EQ(none, 0);
    EXPECT_TRUE(ParseStreamBlockName(QStringLiteral("k1"), name, 0, none));
    EXPECT_FALSE(ParseStreamBlockName(QStringLiteral("K12"), name, 0, none));
    int count = 0;
    EXPECT_TRUE(ParseStreamBlockName(QStringLiteral("K1"), name, 0, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(SharedStreamNames, (QStringList{QStringLiteral("K1"), QStringLiteral("K2")}));
    EXPECT_TRUE(ParseStreamBlockName(QStringLiteral("K1"), name, 1, none));
    EXPECT_EQ(name, QStringLiteral("12^STRUMIEN_7^K2"));
    name = QStringLiteral("12^STRUMIEN_7^K1^K2^K3");
    EXPECT_TRUE(ParseStreamBlockName(QStringLiteral("K2"), name, 1, none));
    EXPECT_EQ(name, QStringLiteral("12^STRUMIEN_7^K1^K3"));

    // A name without streams, and an unknown listed name that is not collected.
    name = QStringLiteral("12^STRUMIEN_7");
    count = 0;
    EXPECT_FALSE(ParseStreamBlockName(QStringLiteral("K1"), name, 0, count));
    EXPECT_EQ(count, 0);
    name = QStringLiteral("12^STRUMIEN_8^K9^K2");
    count = 0;
    EXPECT_TRUE(ParseStreamBlockName(QStringLiteral("K9"), name, 0, count));
    EXPECT_EQ(SharedStreamNames, QStringList{QStringLiteral("K2")});
}

}  // namespace
}  // namespace conflictor::test

namespace conflictor::test {
namespace {

TEST_F(StreamsAttributeEntries, AClearedTableGetsItsTagsBackBeforeUse) {
    automation::ClearStreamAttributeTable();
    ASSERT_TRUE(SetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K1"),
                                   QStringLiteral("2.00"), false));
    EXPECT_EQ(StreamAttributeTags[8].Tag, QStringLiteral("MAKS_PRZYSP"));
    EXPECT_EQ(GetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K1")),
              QStringLiteral("2.00"));
}

}  // namespace
}  // namespace conflictor::test
