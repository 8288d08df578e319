// Counting what drawing a reference would make: every cell of a grid, every nested reference, the
// references drawing stops at (inside themselves, too deep) but nothing below them.
#include "cadhost/render/ReferenceTally.h"

#include <gtest/gtest.h>

using namespace cad::db;

TEST(CadHostReferenceTally, CountsCellsNestedReferencesAndWhereDrawingWouldStop) {
    Database db;
    db.addLine(db.addBlock(QStringLiteral("LISC")), {0, 0, 0}, {1, 0, 0});
    BlockDefinition* two = db.addBlock(QStringLiteral("DWA"));
    db.insertBlock(two, {0, 0, 0}, QStringLiteral("LISC"), 1, 1, 1, 0);
    Entity* grid = db.insertBlock(two, {0, 0, 0}, QStringLiteral("LISC"), 1, 1, 1, 0);
    grid->as<InsertData>().rows = 3;
    grid->as<InsertData>().columns = 4;
    cadhost::render::ReferenceTally tally(db);
    BlockPath path;
    // The reference itself, the plain one inside and the twelve cells of the grid.
    EXPECT_EQ(tally.eachCell(db.insertBlock(db.modelSpace(), {}, QStringLiteral("DWA"), 1, 1, 1, 0), path),
              14);
    EXPECT_EQ(path.depth(), 0);

    // An erased block draws nothing: the reference alone.
    BlockDefinition* gone = db.addBlock(QStringLiteral("USUNIETY"));
    db.insertBlock(gone, {}, QStringLiteral("LISC"), 1, 1, 1, 0);
    Entity* toGone = db.insertBlock(db.modelSpace(), {}, QStringLiteral("USUNIETY"), 1, 1, 1, 0);
    db.eraseObject(gone);
    EXPECT_EQ(tally.eachCell(toGone, path), 1);

    // Inside itself: the reference and its own reference, which drawing refuses, and nothing more.
    BlockDefinition* loop = db.addBlock(QStringLiteral("PETLA"));
    db.insertBlock(loop, {}, QStringLiteral("PETLA"), 1, 1, 1, 0);
    EXPECT_EQ(tally.eachCell(db.insertBlock(db.modelSpace(), {}, QStringLiteral("PETLA"), 1, 1, 1, 0), path),
              2);

    // 300 levels: the reference, the 255 below it that drawing opens and the one it stops at.
    db.addLine(db.addBlock(QStringLiteral("N0")), {0, 0, 0}, {0, 1, 0});
    for (int i = 1; i < 300; ++i)
        db.insertBlock(db.addBlock(QStringLiteral("N%1").arg(i)), {}, QStringLiteral("N%1").arg(i - 1), 1, 1,
                       1, 0);
    Entity* deep = db.insertBlock(db.modelSpace(), {}, QStringLiteral("N299"), 1, 1, 1, 0);
    EXPECT_EQ(tally.eachCell(deep, path), 257);
    // Met 10 levels down, 10 levels fewer are reached.
    BlockPath lower;
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(lower.enter(db.addBlock(QStringLiteral("P%1").arg(i))));
    EXPECT_EQ(tally.eachCell(deep, lower), 247);
    EXPECT_EQ(lower.depth(), 10);
    EXPECT_EQ(lower.leftOut(), 0);

    // A block inserting the next one twice, 40 levels deep: 2^41 - 1 references, counted at once.
    db.addLine(db.addBlock(QStringLiteral("F0")), {0, 0, 0}, {1, 0, 0});
    for (int i = 1; i <= 40; ++i) {
        BlockDefinition* f = db.addBlock(QStringLiteral("F%1").arg(i));
        for (int k = 0; k < 2; ++k) db.insertBlock(f, {}, QStringLiteral("F%1").arg(i - 1), 1, 1, 1, 0);
    }
    EXPECT_EQ(tally.eachCell(db.insertBlock(db.modelSpace(), {}, QStringLiteral("F40"), 1, 1, 1, 0), path),
              (1LL << 41) - 1);
}
