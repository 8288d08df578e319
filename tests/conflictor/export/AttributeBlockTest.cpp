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
        EXPECT_TRUE(prompts.messageTexts().contains(message)) << prompts.messageTexts().join('|').toStdString();
        prompts.clear();
        EXPECT_TRUE(exportTo().isEmpty());
        EXPECT_TRUE(prompts.messageTexts().contains(message)) << prompts.messageTexts().join('|').toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xlsx"))));
        prompts.clear();
        EXPECT_TRUE(ExportStreamsXml(dir.path()).isEmpty());
        EXPECT_TRUE(prompts.messageTexts().contains(message)) << prompts.messageTexts().join('|').toStdString();
    }
};

TEST_F(AttributeBlocks, TwoBlocksOfTheIntersectionAreNamedNotReadAsNoGroups) {
    drawCrossing();
    addAttributeBlock(QStringLiteral("12"), {}, 200, 200);
    expectRefused(QStringLiteral("Skrzyżowanie 12 ma na rysunku 2 bloki atrybutów ATRYBUTY_STRUMIENI_12: nie wiadomo, "
                                 "z którego czytać grupy, fazy i opisy strumieni. Usuń zbędne (zostaw jeden) i "
                                 "powtórz polecenie."));
}

TEST_F(AttributeBlocks, ATagHeldTwiceIsNamedNotReadAsAMissingGroup) {
    StreamAttributeBlockHandle =
        addAttributeBlock(QStringLiteral("12"), {}, 0, 0, StreamAttributeTagNames() + QStringList{QStringLiteral("GRUPY")})
            .handle();
    drawCrossing();
    expectRefused(QStringLiteral("Blok atrybutów skrzyżowania 12 ma po dwa atrybuty GRUPY: nie wiadomo, który z nich "
                                 "opisuje strumienie. Usuń powtórzone atrybuty (zostaw po jednym) i powtórz "
                                 "polecenie."));
}

}  // namespace
}  // namespace conflictor::test
