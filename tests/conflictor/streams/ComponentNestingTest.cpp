// Component blocks that nest other blocks as hostile or broken files do: as deep as cadhost draws
// them (256 blocks) a piece is read through its nested references; one level deeper, 30,000 or
// 100,000 levels deep, or in blocks that insert each other thousands of times over, the piece is
// named as not read in full; a block that inserts itself, directly or through others, is named with
// the blocks of the loop.
#include "StreamsFixture.h"

#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "platform/cad/engine/BlockNesting.h"

namespace conflictor::test {
namespace {

const QString Component = QStringLiteral("12^STRUMIEN_1^K1");

class ComponentNesting : public StreamsFixture {
protected:
    // K1's piece: its component block inserts "N1" at (1; 0), "N1" inserts "N2" there, and so on
    // to the deepest, which holds the line (0; 0)-(10; 0). `levels` counts every block on the way,
    // the component's own the first.
    void nest(int levels) {
        const cad::Blocks blocks = doc().blocks();
        auto name = [](int k) { return k == 1 ? Component : QStringLiteral("N%1").arg(k - 1); };
        blocks.add(cad::Point{0, 0, 0}, name(levels)).addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
        for (int k = levels - 1; k >= 1; --k)
            blocks.add(cad::Point{0, 0, 0}, name(k))
                .insertBlock(cad::Point{1, 0, 0}, name(k + 1), 1, 1, 1, 0);
        insert(Component, StreamLayer);
    }
    // The stream read with everything else, and what the shape check says of it.
    QString faultOfK1() {
        EXPECT_TRUE(OdczytajStrumienie(false, -1));
        const int k1 = FindStreamIndex(QStringLiteral("K1"));
        EXPECT_GE(k1, 0);
        if (k1 < 0) return {};
        return CheckStreamShape(StreamTable[size_t(k1)], false).Fault;
    }
    static QString notReadInFull() {
        return QStringLiteral(": Niepoprawny strumień. Składowej \"") + Component +
               QStringLiteral("\" nie odczytano w całości. ") + cad::db::nestingLeftOutNote(1);
    }
};

TEST_F(ComponentNesting, APieceAsDeepAsCadhostDrawsIsReadThroughEveryLevel) {
    nest(cad::db::MaxBlockNesting);
    EXPECT_EQ(faultOfK1(), QString());
    const SegmentRecord& s = StreamTable[0].Segments[1];
    EXPECT_TRUE(s.IsLine);
    EXPECT_NEAR(s.StartPoint.X, cad::db::MaxBlockNesting - 1, 1e-9);
    EXPECT_NEAR(s.EndPoint.X, cad::db::MaxBlockNesting + 9, 1e-9);
}

TEST_F(ComponentNesting, OneLevelDeeperThePieceIsNamedAsNotReadInFull) {
    nest(cad::db::MaxBlockNesting + 1);
    EXPECT_EQ(faultOfK1(), notReadInFull());
}

TEST_F(ComponentNesting, ThirtyAndAHundredThousandLevelsAreNamedAsNotReadInFull) {
    for (const int levels : {30000, 100000}) {
        SCOPED_TRACE(levels);
        freshDrawing();
        nest(levels);
        EXPECT_EQ(faultOfK1(), notReadInFull());
    }
}

TEST_F(ComponentNesting, ABlockThatInsertsItselfIsNamedWithTheBlocksOfItsLoop) {
    const cad::Blocks blocks = doc().blocks();
    // Directly: the component's own block holds its line and a reference to itself.
    cad::Block own = blocks.add(cad::Point{0, 0, 0}, Component);
    own.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    own.insertBlock(cad::Point{0, 5, 0}, Component, 1, 1, 1, 0);
    insert(Component, StreamLayer);
    const QString cannotRead = QStringLiteral(", więc składowej \"") + Component +
                               QStringLiteral("\" nie można odczytać. Usuń to wstawienie bloku.");
    EXPECT_EQ(faultOfK1(), QStringLiteral(": Niepoprawny strumień. ") +
                               cad::db::selfInsertionNote({Component}) + cannotRead);
    EXPECT_EQ(cad::db::selfInsertionNote({Component}),
              QStringLiteral("Blok \"") + Component + QStringLiteral("\" wstawia sam siebie"));

    // Through other blocks: the component inserts "A", "A" holds the line and inserts "B", "B"
    // inserts "C", and "C" inserts "A" again.
    for (const cad::Entity& e : own.entities()) e.erase();
    cad::Block a = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("A"));
    a.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    own.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("A"), 1, 1, 1, 0);
    cad::Block c = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("C"));
    blocks.add(cad::Point{0, 0, 0}, QStringLiteral("B"))
        .insertBlock(cad::Point{0, 0, 0}, QStringLiteral("C"), 1, 1, 1, 0);
    a.insertBlock(cad::Point{3, 0, 0}, QStringLiteral("B"), 1, 1, 1, 0);
    // Spelt in another case, the name is the same block's.
    c.insertBlock(cad::Point{0, 7, 0}, QStringLiteral("a"), 1, 1, 1, 0);
    EXPECT_EQ(faultOfK1(),
              QStringLiteral(": Niepoprawny strumień. Blok \"A\" wstawia sam siebie (przez bloki \"B\", "
                             "\"C\")") +
                  cannotRead);
    // Through one block.
    blocks.item(QStringLiteral("B")).entities().value(0).erase();
    blocks.item(QStringLiteral("B")).insertBlock(cad::Point{0, 0, 0}, QStringLiteral("A"), 1, 1, 1, 0);
    EXPECT_EQ(faultOfK1(),
              QStringLiteral(": Niepoprawny strumień. Blok \"A\" wstawia sam siebie (przez blok \"B\")") +
                  cannotRead);
}

// The entities of a component's blocks are read up to MostComponentParts, nested ones counted.
TEST_F(ComponentNesting, AsManyEntitiesAsAPieceIsReadThroughAreReadOneMoreIsNamed) {
    // The component's block holds the line and a reference to "N1", which holds the rest in
    // circles (no curve of a piece): the line, the reference and the circles make the count.
    const cad::Blocks blocks = doc().blocks();
    cad::Block inner = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("N1"));
    for (int k = 0; k < MostComponentParts - 2; ++k) inner.addCircle(cad::Point{double(k), 50, 0}, 1);
    cad::Block own = blocks.add(cad::Point{0, 0, 0}, Component);
    own.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    own.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("N1"), 1, 1, 1, 0);
    insert(Component, StreamLayer);
    EXPECT_EQ(faultOfK1(), QString());
    inner.addCircle(cad::Point{-1, 50, 0}, 1);
    EXPECT_TRUE(faultOfK1().contains(QStringLiteral("więcej niż 10000 obiektów")));
}

TEST_F(ComponentNesting, BlocksInsertingEachOtherThousandsOfTimesOverAreNamedNotWalked) {
    // Every level inserts the next twice: 2^40 lines in all, one at the bottom.
    const cad::Blocks blocks = doc().blocks();
    constexpr int Levels = 40;
    blocks.add(cad::Point{0, 0, 0}, QStringLiteral("F%1").arg(Levels))
        .addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    for (int k = Levels - 1; k >= 1; --k) {
        cad::Block b = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("F%1").arg(k));
        b.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("F%1").arg(k + 1), 1, 1, 1, 0);
        b.insertBlock(cad::Point{0, 1, 0}, QStringLiteral("F%1").arg(k + 1), 1, 1, 1, 0);
    }
    blocks.add(cad::Point{0, 0, 0}, Component)
        .insertBlock(cad::Point{0, 0, 0}, QStringLiteral("F1"), 1, 1, 1, 0);
    insert(Component, StreamLayer);
    EXPECT_EQ(faultOfK1(),
              QStringLiteral(": Niepoprawny strumień. Blok składowej \"") + Component +
                  QStringLiteral("\" zawiera (razem z blokami wstawionymi w nim) więcej niż 10000 "
                                 "obiektów, a składowa strumienia to dokładnie jedna linia lub jeden łuk."));
}

}  // namespace
}  // namespace conflictor::test
