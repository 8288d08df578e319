// Extents of nested block references: measured as deep as they are drawn (MaxBlockNesting levels),
// whatever the file nests, in bounded time for a block that inserts the next one twice over, and
// with a count of the references left out.
#include "platform/cad/engine/BlockPath.h"
#include "platform/cad/engine/Database.h"
#include "tests/platform/cad/engine/ExpectBox.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cad::db;
using cadtest::expectBox;

namespace {

// References nested `levels` deep: model space holds B<levels-1>, each B<i> holds B<i-1> `along`
// units along X, turned by `turn`, and B0 holds a line 5 units up. The reference to B0 is the one
// `levels` deep; unturned, the line stands at X = levels - 1.
Entity* chain(Database& db, int levels, const QString& prefix = QStringLiteral("B"), double turn = 0,
              double along = 1) {
    db.addLine(db.addBlock(prefix + QStringLiteral("0")), {0, 0, 0}, {0, 5, 0});
    for (int i = 1; i < levels; ++i)
        db.insertBlock(db.addBlock(prefix + QString::number(i)), {along, 0, 0},
                       prefix + QString::number(i - 1), 1, 1, 1, turn);
    return db.insertBlock(db.modelSpace(), {0, 0, 0}, prefix + QString::number(levels - 1), 1, 1, 1, 0);
}

bool holds(const Box& outer, const Box& inner, double tol) {
    return outer.min.x <= inner.min.x + tol && outer.min.y <= inner.min.y + tol &&
           outer.max.x >= inner.max.x - tol && outer.max.y >= inner.max.y - tol;
}

}  // namespace

// 256 levels are measured to the line; at 257 the innermost reference counts by its insertion point
// only, and is told as left out. 30,000 and 100,000 levels stop at the same place.
TEST(CadNesting, ExtentsStopAtTheDrawingsDepthAndCountWhatTheyLeaveOut) {
    ASSERT_EQ(MaxBlockNesting, 256);
    for (const int levels : {256, 257, 30000, 100000}) {
        SCOPED_TRACE(levels);
        Database db;
        Entity* top = chain(db, levels);
        long long leftOut = -1;
        const Box box = db.boundingBox(top, &leftOut);
        if (levels == 256) {
            expectBox(box, 255, 0, 255, 5);
            EXPECT_EQ(leftOut, 0);
        } else {
            expectBox(box, 256, 0, 256, 0);
            EXPECT_EQ(leftOut, 1);
        }
    }
}

// Exploding a reference 100,000 levels deep gives the reference one level down, which is measured
// as deep again from where it now stands.
TEST(CadNesting, ExplodingADeepReferenceGivesTheLevelBelow) {
    Database db;
    Entity* top = chain(db, 100000);
    const std::vector<Entity*> pieces = db.explode(top);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0]->as<InsertData>().blockName, QStringLiteral("B99998"));
    long long leftOut = -1;
    expectBox(db.boundingBox(pieces[0], &leftOut), 257, 0, 257, 0);
    EXPECT_EQ(leftOut, 1);
}

// A block measured whole where it is shallow is measured again where it lies deeper, and one cut
// short where it lies deep is measured again where it is shallow, whichever is met first: met 201
// levels down, a chain 100 deep reaches past the limit there.
TEST(CadNesting, ABlockIsMeasuredAgainWhereItLiesAtAnotherDepth) {
    for (const bool shallowFirst : {true, false}) {
        SCOPED_TRACE(shallowFirst);
        Database db;
        chain(db, 100, QStringLiteral("C"));
        db.erase(db.modelSpace()->entities().back());
        // Through a chain of D blocks 200 deep, moved 1000 up, C99 is met 201 levels down.
        db.insertBlock(db.addBlock(QStringLiteral("D0")), {0, 1000, 0}, QStringLiteral("C99"), 1, 1, 1, 0);
        for (int i = 1; i < 200; ++i)
            db.insertBlock(db.addBlock(QStringLiteral("D%1").arg(i)), {0, 0, 0},
                           QStringLiteral("D%1").arg(i - 1), 1, 1, 1, 0);
        BlockDefinition* top = db.addBlock(QStringLiteral("TOP"));
        for (const QString& name : shallowFirst ? QStringList{"C99", "D199"} : QStringList{"D199", "C99"})
            db.insertBlock(top, {0, 0, 0}, name, 1, 1, 1, 0);  // C0's line at X 99 is 101 levels down
        long long leftOut = -1;
        // In the D path the reference 257 deep (C's at X 55) is left out: the box rises only to 1000.
        expectBox(
            db.boundingBox(db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("TOP"), 1, 1, 1, 0),
                           &leftOut),
            55, 0, 99, 1000);
        EXPECT_EQ(leftOut, 1);
    }
}

// A block holding a block already measured is as deep as both: met far down, it is cut there.
TEST(CadNesting, ABlockHoldingAMeasuredBlockIsAsDeepAsBoth) {
    Database db;
    chain(db, 100, QStringLiteral("C"));
    db.erase(db.modelSpace()->entities().back());
    db.insertBlock(db.addBlock(QStringLiteral("P")), {0, 0, 0}, QStringLiteral("C99"), 1, 1, 1, 0);
    db.insertBlock(db.addBlock(QStringLiteral("D0")), {0, 1000, 0}, QStringLiteral("P"), 1, 1, 1, 0);
    for (int i = 1; i < 200; ++i)
        db.insertBlock(db.addBlock(QStringLiteral("D%1").arg(i)), {0, 0, 0}, QStringLiteral("D%1").arg(i - 1), 1,
                       1, 1, 0);
    BlockDefinition* top = db.addBlock(QStringLiteral("TOP"));
    for (const char* name : {"C99", "P", "D199"}) db.insertBlock(top, {0, 0, 0}, QString::fromLatin1(name), 1, 1, 1, 0);
    long long leftOut = -1;
    // Through the D path, P is opened 202 levels down and C's block at X 53 is the 256th.
    expectBox(db.boundingBox(db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("TOP"), 1, 1, 1, 0), &leftOut),
              54, 0, 99, 1000);
    EXPECT_EQ(leftOut, 1);
}

// One block referenced at several turns (none, 60 and 180 degrees, mirrored in Y and turned by 30),
// inside a reference far out at map-grid coordinates: each reference is measured at its own turn.
TEST(CadNesting, EachTurnOfABlockIsMeasuredAsItsOwn) {
    Database db;
    db.addLine(db.addBlock(QStringLiteral("X")), {0, 0, 0}, {10, 0, 0});
    BlockDefinition* y = db.addBlock(QStringLiteral("Y"));
    db.insertBlock(y, {0, 0, 0}, QStringLiteral("X"), 1, 1, 1, 0);
    db.insertBlock(y, {100, 0, 0}, QStringLiteral("X"), 1, 1, 1, M_PI / 3);
    db.insertBlock(y, {200, 0, 0}, QStringLiteral("X"), 1, 1, 1, M_PI);
    db.insertBlock(y, {300, 0, 0}, QStringLiteral("X"), 1, -1, 1, M_PI / 6);
    const Box box =
        db.boundingBox(db.insertBlock(db.modelSpace(), {7.5e9, 5.5e9, 0}, QStringLiteral("Y"), 1, 1, 1, 0));
    // 60 degrees reaches 10 sin 60 up; mirrored and turned by 30, X reaches 300 + 10 cos 30.
    expectBox(box, 7.5e9, 5.5e9, 7.5e9 + 300 + 10 * std::cos(M_PI / 6), 5.5e9 + 10 * std::sin(M_PI / 3),
              1e-5);
}

// A block measured after the walk has left something out elsewhere counts only what it leaves out
// itself, each time it is met.
TEST(CadNesting, EachReferenceLeftOutIsCountedOnce) {
    Database db;
    BlockDefinition* loop = db.addBlock(QStringLiteral("PETLA"));
    db.insertBlock(loop, {0, 0, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
    db.addLine(db.addBlock(QStringLiteral("KRESKA")), {0, 0, 0}, {1, 0, 0});
    BlockDefinition* top = db.addBlock(QStringLiteral("TOP"));
    db.insertBlock(top, {0, 0, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
    for (int i = 0; i < 3; ++i) db.insertBlock(top, {double(i), 0, 0}, QStringLiteral("KRESKA"), 1, 1, 1, 0);
    long long leftOut = -1;
    expectBox(db.boundingBox(db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("TOP"), 1, 1, 1, 0),
                             &leftOut),
              0, 0, 3, 0);
    EXPECT_EQ(leftOut, 1);
}

// A block inserting the next one twice, 40 levels deep (2^40 references), is measured at once: moved
// apart, exactly; turned at every level, 60 deep, one reference by 30 and the other by 45 degrees
// (the same turn is reached in many orders), to a box holding every path's own box and no further out than a
// path can reach.
TEST(CadNesting, AFanOutOfTwoIsMeasuredInBoundedTime) {
    Database db;
    db.addLine(db.addBlock(QStringLiteral("F0")), {0, 0, 0}, {1, 0, 0});
    db.addLine(db.addBlock(QStringLiteral("T0")), {0, 0, 0}, {0, 5, 0});
    for (int i = 1; i <= 60; ++i) {
        if (i <= 40) {
            BlockDefinition* f = db.addBlock(QStringLiteral("F%1").arg(i));
            db.insertBlock(f, {0, 0, 0}, QStringLiteral("F%1").arg(i - 1), 1, 1, 1, 0);
            db.insertBlock(f, {1, 0, 0}, QStringLiteral("F%1").arg(i - 1), 1, 1, 1, 0);
        }
        BlockDefinition* t = db.addBlock(QStringLiteral("T%1").arg(i));
        db.insertBlock(t, {0, 0, 0}, QStringLiteral("T%1").arg(i - 1), 1, 1, 1, M_PI / 6);
        db.insertBlock(t, {1, 0, 0}, QStringLiteral("T%1").arg(i - 1), 1, 1, 1, M_PI / 4);
    }
    long long leftOut = -1;
    expectBox(db.boundingBox(db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("F40"), 1, 1, 1, 0),
                             &leftOut),
              0, 0, 41, 0);
    EXPECT_EQ(leftOut, 0);
    const Box turned = db.boundingBox(
        db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("T60"), 1, 1, 1, 0), &leftOut);
    EXPECT_EQ(leftOut, 0);
    for (const auto& [turn, along] : {std::pair{M_PI / 6, 0.0}, std::pair{M_PI / 4, 1.0}}) {
        Database one;
        const Box path = one.boundingBox(chain(one, 61, QStringLiteral("S"), turn, along));
        EXPECT_TRUE(holds(turned, path, 1e-9)) << along;
    }
    Box reach;  // 60 steps of one unit and the line's 5
    reach.add(-65, -65);
    reach.add(65, 65);
    EXPECT_TRUE(holds(reach, turned, 0))
        << turned.min.x << " " << turned.min.y << " " << turned.max.x << " " << turned.max.y;
}

// A block that inserts itself adds its own entities once; each reference to itself is left out. A
// dimension whose block does so through another block is measured the same way.
TEST(CadNesting, ABlockInsertingItselfIsMeasuredOnceAndItsSelfReferencesCounted) {
    Database db;
    BlockDefinition* loop = db.addBlock(QStringLiteral("PETLA"));
    db.addLine(loop, {0, 0, 0}, {2, 0, 0});
    db.insertBlock(loop, {10, 0, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
    db.insertBlock(loop, {0, 10, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
    long long leftOut = -1;
    expectBox(db.boundingBox(db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0),
                             &leftOut),
              0, 0, 10, 10);
    EXPECT_EQ(leftOut, 2);

    Entity* dim = db.addDimAligned(db.modelSpace(), {0, 0, 0}, {40, 0, 0}, {20, 5, 0});
    const QString drawn = dim->as<DimensionData>().blockName;
    ASSERT_FALSE(drawn.isEmpty());
    db.insertBlock(db.addBlock(QStringLiteral("POSREDNI")), {0, 0, 0}, drawn, 1, 1, 1, 0);
    const Box before = db.boundingBox(dim);
    db.insertBlock(db.findBlock(drawn), {0, 0, 0}, QStringLiteral("POSREDNI"), 1, 1, 1, 0);
    expectBox(db.boundingBox(dim, &leftOut), before.min.x, before.min.y, before.max.x, before.max.y);
    EXPECT_EQ(leftOut, 1);
}

TEST(CadNesting, CountsStopAtTheLargestInsteadOfWrapping) {
    constexpr long long Max = std::numeric_limits<long long>::max();
    EXPECT_EQ(saturatingAdd(Max - 1, 1), Max);
    EXPECT_EQ(saturatingAdd(Max, 5), Max);
    EXPECT_EQ(saturatingAdd(2, 3), 5);
    EXPECT_EQ(saturatingMultiply(Max / 2, 3), Max);
    EXPECT_EQ(saturatingMultiply(3037000500LL, 3037000500LL), Max);  // just past the square root
    EXPECT_EQ(saturatingMultiply(3037000499LL, 3037000499LL), 3037000499LL * 3037000499LL);
    EXPECT_EQ(saturatingMultiply(0, 7), 0);
    BlockPath path;
    path.addLeftOut(Max);
    path.addLeftOut(1);
    EXPECT_EQ(path.leftOut(), Max);
}
