// The streams' groups and phases come from one attribute block of the intersection: two blocks, or a
// tag held twice in one, stop the cut and the exports with the cause named, never read as "no groups"
// or a missing group.
#include "tests/conflictor/export/ExportFixture.h"

#include "conflictor/conflicts/StreamsXml.h"

namespace conflictor::test {
namespace {

class AttributeBlocks : public ExportFixture {
protected:
    // The cut and the export both refuse, each with exactly `message`.
    void expectRefused(const QString& message) {
        prompts.clear();
        EXPECT_EQ(cut(), CutOutcome::CheckFailed);
        EXPECT_TRUE(prompts.messageTexts().contains(message))
            << prompts.messageTexts().join('|').toStdString();
        prompts.clear();
        EXPECT_TRUE(exportTo().isEmpty());
        EXPECT_TRUE(prompts.messageTexts().contains(message))
            << prompts.messageTexts().join('|').toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xlsx"))));
        prompts.clear();
        EXPECT_TRUE(ExportStreamsXml(dir.path()).isEmpty());
        EXPECT_TRUE(prompts.messageTexts().contains(message))
            << prompts.messageTexts().join('|').toStdString();
    }
};

TEST_F(AttributeBlocks, TwoBlocksOfTheIntersectionAreNamedNotReadAsNoGroups) {
    drawCrossing();
    addAttributeBlock(QStringLiteral("12"), {}, 200, 200);
    expectRefused(
        QStringLiteral("Skrzyżowanie 12 ma na rysunku 2 bloki atrybutów ATRYBUTY_STRUMIENI_12: nie wiadomo, "
                       "z którego czytać grupy, fazy i opisy strumieni. Usuń zbędne (zostaw jeden) i "
                       "powtórz polecenie."));
}

TEST_F(AttributeBlocks, ATagHeldTwiceIsNamedNotReadAsAMissingGroup) {
    StreamAttributeBlockHandle =
        addAttributeBlock(QStringLiteral("12"), {}, 0, 0,
                          StreamAttributeTagNames() + QStringList{QStringLiteral("GRUPY")})
            .handle();
    drawCrossing();
    expectRefused(
        QStringLiteral("Blok atrybutów skrzyżowania 12 ma po dwa atrybuty GRUPY: nie wiadomo, który z nich "
                       "opisuje strumienie. Usuń powtórzone atrybuty (zostaw po jednym) i powtórz "
                       "polecenie."));
}

// The groups attribute as a hostile file holds it, 10 MB long: the streams' entries that give no group
// (megabytes of digits, a word, 0) are named with the attribute, never told as groups not defined; the
// same megabytes after entries that do give groups are read through, and an attribute without entries
// is told as before.
TEST_F(AttributeBlocks, AGroupsAttributeTooLongToReadIsNamed) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const auto setGroups = [](const QString& text) {
        for (const cad::Entity& a :
             automation::CadDocument.handleToObject(StreamAttributeBlockHandle).attributes())
            if (a.tagString() == QLatin1String("GRUPY")) a.setTextString(text);
    };
    const QString megabytes(10 * 1024 * 1024, QLatin1Char('7'));
    setGroups(QStringLiteral("K1:") + megabytes + QStringLiteral("^K2:dwa^P1:0^"));
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xlsx"))));
    EXPECT_EQ(
        prompts.messageTexts().value(0),
        QStringLiteral("Nie odczytano numerów grup: atrybut GRUPY bloku ATRYBUTY_STRUMIENI_12 podaje dla "
                       "strumieni wartości, które nie są numerami grup:\n- K1: wartość za długa, by ją "
                       "odczytać (%1 znaków)\n- K2: \"dwa\"\n- P1: \"0\"\n\nSkoroszyt nie został zapisany. "
                       "Popraw numery grup strumieni i wykonaj eksport ponownie.")
            .arg(megabytes.size()))
        << prompts.messageTexts().join('|').left(2000).toStdString();

    setGroups(QStringLiteral("K1:1^K2:2^P1:3^") + QString(10 * 1024 * 1024, QLatin1Char(' ')));
    prompts.clear();
    EXPECT_FALSE(exportTo().isEmpty()) << prompts.messageTexts().join('|').left(2000).toStdString();

    // Ten streams are listed, then "…".
    QStringList words;
    for (int i = 3; i <= 12; ++i) {
        draw(QStringLiteral("K%1").arg(i), {Line(0, 10.0 * i, 100, 10.0 * i)});
        words << QStringLiteral("K%1:x%1^").arg(i);
    }
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    setGroups(QStringLiteral("K1:x1^K2:x2^P1:x0^") + words.join(QString()));
    prompts.clear();
    EXPECT_TRUE(exportTo(QStringLiteral("wiele.xlsx")).isEmpty());
    const QStringList listed = prompts.messageTexts().value(0).split(QLatin1Char('\n'));
    ASSERT_GE(listed.size(), 12);
    EXPECT_EQ(listed[1], QStringLiteral("- K1: \"x1\""));
    EXPECT_EQ(listed[11], QStringLiteral("…"));
    // Exactly ten (the streams without an entry are no unreadable value): all listed, no "…".
    setGroups(words.join(QString()));
    prompts.clear();
    EXPECT_TRUE(exportTo(QStringLiteral("dziesiec.xlsx")).isEmpty());
    const QStringList ten = prompts.messageTexts().value(0).split(QLatin1Char('\n'));
    EXPECT_EQ(ten.size(), 1 + 10 + 2) << prompts.messageTexts().value(0).toStdString();
    EXPECT_FALSE(ten.contains(QStringLiteral("…")));

    setGroups(QString());
    prompts.clear();
    EXPECT_TRUE(exportTo(QStringLiteral("bez-grup.xlsx")).isEmpty());
    EXPECT_EQ(prompts.messageTexts().value(0), QStringLiteral("Nie zdefiniowano grup!"));
}

}  // namespace
}  // namespace conflictor::test
