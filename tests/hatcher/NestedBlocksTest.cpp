// The pattern area over block references nested as deep as a file nests them: a reference that
// straddles the circle is exploded one level at a time down to the depth every walk over block
// references stops at, the references left deeper (or inserting their own block) are told once, and a
// chain of 30,000 levels costs seconds and bounded stack.
#include "HatcherFixture.h"

#include "platform/cad/engine/BlockNesting.h"

#include <QElapsedTimer>

using namespace hatcher;
using namespace hatcher::test;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

class NestedBlocks : public HatcherFixture {
protected:
    // `levels` references nested in each other, the outermost in model space; each level's block holds
    // a line across the circle of radius 30 at the origin and the next level's reference. Each level is
    // turned half a turn (by turns one way and the other) about a point off the origin, two levels giving
    // back the plan, so that the lines lie where they are drawn only when every level is composed.
    void drawChain(int levels) {
        const cad::Blocks blocks = CadDocument.blocks();
        const cad::Point at{7, 3, 0};
        for (int k = 0; k < levels; ++k) {
            const cad::Block b = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("L%1").arg(k));
            // The line of level k + 1 from the outside lies across the circle once placed.
            const double y = (levels - k) % 2 ? 0 : 3;
            b.addLine({-100, y, 0}, {100, y, 0});
            if (k > 0)
                b.insertBlock(at, QStringLiteral("L%1").arg(k - 1), 1, 1, 1,
                              k % 2 ? std::numbers::pi : -std::numbers::pi);
        }
        CadModelSpace.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("L%1").arg(levels - 1), 1, 1, 1, 0);
    }
    // The pattern of the circle of radius 30 at the origin, placed 200 below; the lines it took.
    QList<cad::Entity> pattern() {
        picks.point(0, 0).point(30, 0).point(0, -200);
        frmMain_cmdDefObszar_Click(form);
        QList<cad::Entity> lines;
        for (const QString& h : PatternCopyHandles.value(QStringLiteral("7"))) {
            const cad::Entity e = CadDocument.handleToObject(h);
            if (e.objectName() == QLatin1String("AcDbLine")) lines << e;
        }
        return lines;
    }
};

}  // namespace

// Every line of 256 levels is cut to its piece in the circle, moved under it; at 257 the innermost
// reference is left out, and told once.
TEST_F(NestedBlocks, TheCutGoesAsDeepAsEveryWalkAndTellsWhatItLeftOut) {
    for (const int levels : {cad::db::MaxBlockNesting, cad::db::MaxBlockNesting + 1}) {
        automation::CadApplication.documents().add();
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        PatternCopyHandles.clear();
        prompts.clear();
        drawChain(levels);
        const QList<cad::Entity> lines = pattern();
        ASSERT_EQ(lines.size(), cad::db::MaxBlockNesting) << levels;
        for (const cad::Entity& line : lines) {
            const cad::Point a = line.startPoint(), b = line.endPoint();
            ASSERT_NEAR(std::min(a.x, b.x), -30, 1e-6) << levels;
            ASSERT_NEAR(std::max(a.x, b.x), 30, 1e-6) << levels;
            ASSERT_NEAR(a.y, -200, 1e-6) << levels;
            ASSERT_NEAR(b.y, -200, 1e-6) << levels;
        }
        if (levels == cad::db::MaxBlockNesting) {
            EXPECT_TRUE(prompts.asked().empty())
                << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
        } else {
            ASSERT_EQ(prompts.asked().size(), 1u);
            EXPECT_EQ(prompts.asked()[0].text,
                      QStringLiteral("Schemat wzorcowy jest niepełny:\n") + cad::db::nestingLeftOutNote(1));
        }
    }
}

// A block inserting itself through another is named, its reference left out once; what the blocks draw
// around it is cut as usual.
TEST_F(NestedBlocks, ABlockThatInsertsItselfIsNamed) {
    const cad::Blocks blocks = CadDocument.blocks();
    const cad::Block a = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("A"));
    const cad::Block b = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("B"));
    a.addLine({-100, 0, 0}, {100, 0, 0});
    a.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("B"), 1, 1, 1, 0);
    b.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("A"), 1, 1, 1, 0);
    CadModelSpace.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("A"), 1, 1, 1, 0);
    EXPECT_EQ(pattern().size(), 1);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text,
              QStringLiteral("Schemat wzorcowy jest niepełny:\n") + cad::db::nestingLeftOutNote(1) +
                  QLatin1Char('\n') + cad::db::selfInsertionNote({QStringLiteral("A"), QStringLiteral("B")}));
    // The next pattern, of a drawing without such blocks, tells nothing of the last one.
    automation::CadApplication.documents().add();
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    PatternCopyHandles.clear();
    prompts.clear();
    CadModelSpace.addLine({-100, 0, 0}, {100, 0, 0});
    EXPECT_EQ(pattern().size(), 1);
    EXPECT_TRUE(prompts.asked().empty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
}

// 30,000 levels, as a hostile file nests them: one reference left out, told once, in seconds.
TEST_F(NestedBlocks, ThirtyThousandLevelsCostSecondsAndBoundedStack) {
    drawChain(30000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(pattern().size(), cad::db::MaxBlockNesting);
    EXPECT_LT(clock.elapsed(), 20000);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text,
              QStringLiteral("Schemat wzorcowy jest niepełny:\n") + cad::db::nestingLeftOutNote(1));
}
