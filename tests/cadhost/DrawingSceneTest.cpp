// The view's index of a drawing follows additions cheaply and any other change by a rebuild.
#include "cadhost/DrawingScene.h"

#include <gtest/gtest.h>

using namespace cad::db;

namespace {
Box area(double x0, double y0, double x1, double y1) {
    Box b;
    b.add(x0, y0);
    b.add(x1, y1);
    return b;
}
}  // namespace

TEST(CadHostScene, AddedEntitiesAreFoundInDrawingOrderAndErasedOnesVanish) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    for (int i = 0; i < 10; ++i) db.addLine(ms, {double(i), 0, 0}, {double(i), 1, 0});
    cadhost::DrawingScene scene(&db);
    EXPECT_EQ(scene.size(), 10u);
    EXPECT_EQ(scene.entitiesIn(area(2.5, 0, 4.5, 1)).size(), 2u);

    Entity* added = db.addLine(ms, {3, 0.5, 0}, {30, 0.5, 0});
    scene.entitiesAdded();
    const auto found = scene.entitiesIn(area(2.5, 0, 4.5, 1));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found.back(), added);  // drawn last
    EXPECT_DOUBLE_EQ(scene.extents().max.x, 30);

    // An erase is not an addition: the scene notices and rebuilds.
    db.erase(ms->item(3));
    Entity* later = db.addLine(ms, {4, 0, 0}, {4.2, 1, 0});
    scene.entitiesAdded();
    const auto after = scene.entitiesIn(area(2.9, 0, 4.5, 1));
    EXPECT_EQ(after.size(), 3u);  // lines 4, the long one and the newest
    EXPECT_EQ(after.back(), later);
    EXPECT_EQ(scene.size(), 11u);

    // A moved entity is found at its new place after an invalidation.
    db.move(added, {0, 0, 0}, {0, 100, 0});
    scene.invalidate();
    EXPECT_EQ(scene.entitiesIn(area(10, 100, 11, 101)).size(), 1u);
}
