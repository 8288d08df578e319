// Geometry services: bounding boxes, explode, transforms, hatch loops, regions and dimensions.
#include "platform/cad/engine/Database.h"
#include "tests/platform/cad/engine/ExpectBox.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cad::db;
using cadtest::expectBox;

namespace {

TEST(CadGeometry, BoundingBoxesOfCurves) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    expectBox(db.boundingBox(db.addLine(ms, {3, 4, 0}, {-1, 2, 0})), -1, 2, 3, 4);
    expectBox(db.boundingBox(db.addCircle(ms, {1, 1, 0}, 2)), -1, -1, 3, 3);
    // A quarter arc through 90 degrees only: from 45 to 135 degrees reaches the top.
    expectBox(db.boundingBox(db.addArc(ms, {0, 0, 0}, 1, M_PI / 4, 3 * M_PI / 4)), -std::sqrt(0.5),
              std::sqrt(0.5), std::sqrt(0.5), 1);
    // An arc that passes angle 0 (end < start) reaches +X.
    expectBox(db.boundingBox(db.addArc(ms, {0, 0, 0}, 1, 3 * M_PI / 2, M_PI / 2)), 0, -1, 1, 1);
    // Walking clockwise from (0,0) to (2,0) the half circle passes above the chord, counter-clockwise below.
    Entity* pl = db.addLwPolyline(ms, {{0, 0, -1, 0, 0}, {2, 0, 0, 0, 0}});
    expectBox(db.boundingBox(pl), 0, 0, 2, 1);
    pl->as<LwPolylineData>().vertices[0].bulge = 1;
    expectBox(db.boundingBox(pl), 0, -1, 2, 0);
}

// A SPLINE far from the origin by its curve: a crest just past a knot, between two of the points it
// is drawn through, counts; its tangent (a direction) does not; one that cannot be drawn still shows
// where its control points lie.
TEST(CadGeometry, SplineExtentsAreItsCurves) {
    constexpr double X0 = 7.5e9, Y0 = 5.5e9;
    Database db;
    Entity* e = db.addEntity(db.modelSpace(), EntityKind::Unknown);
    auto& raw = e->as<RawData>();
    raw.dxfName = QStringLiteral("SPLINE");
    auto tag = [&](int code, double v) { raw.tags.push_back({code, QString::number(v, 'f', 6)}); };
    raw.tags.push_back({100, QStringLiteral("AcDbSpline")});
    tag(71, 2);
    for (double k : {0, 0, 0, 1, 2, 2, 2}) tag(40, k);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 4.0}, {2.0, 4.5}, {3.0, -20.0}})
        tag(10, X0 + x), tag(20, Y0 + y);
    tag(12, 0.6), tag(22, 0.8);
    // The second span is the Bézier (1.5, 4.25), (2, 4.5), (3, -20): its top at t = 0.25 / 24.75.
    expectBox(db.boundingBox(e), X0, Y0 - 20, X0 + 3, Y0 + 4.25 + 0.0625 / 24.75, 1e-6);
    raw.tags[1].value = QStringLiteral("0");
    expectBox(db.boundingBox(e), X0, Y0 - 20, X0 + 3, Y0 + 4.5, 1e-6);
}

TEST(CadGeometry, TextExtentsFollowArialAndAlignment) {
    Database db;
    Entity* t = db.addText(db.modelSpace(), "SYGN 12", {10, 20, 0}, 2.5);
    const Box left = db.boundingBox(t);
    const double width = left.max.x - left.min.x;
    // Arial: "SYGN 12" is about 3.79 ems at cap height 0.716.
    EXPECT_NEAR(width, 2.5 * (667 + 667 + 778 + 722 + 278 + 556 + 556) / 1000.0 / 0.716, 1e-9);
    EXPECT_NEAR(left.min.x, 10, 1e-9);
    EXPECT_NEAR(left.max.y, 22.5, 1e-9);
    auto& td = t->as<TextData>();
    td.setAlignment(13);  // bottom centre
    EXPECT_EQ(td.horizontal, 1);
    EXPECT_EQ(td.vertical, 1);
    EXPECT_EQ(td.alignment(), 13);
    td.alignmentPoint = {0, 0, 0};
    const Box centred = db.boundingBox(t);
    EXPECT_NEAR(centred.min.x, -width / 2, 1e-9);
    EXPECT_NEAR(centred.max.x, width / 2, 1e-9);
    EXPECT_NEAR(centred.min.y, 0, 1e-9);
    EXPECT_THROW(td.setAlignment(15), cad::InvalidArgument);
    // Polish letters take their base letter's width.
    const double a = db.boundingBox(db.addText(db.modelSpace(), "Łódź", {}, 1)).max.x;
    const double b = db.boundingBox(db.addText(db.modelSpace(), "Lodz", {}, 1)).max.x;
    EXPECT_DOUBLE_EQ(a, b);
}

TEST(CadGeometry, ReferenceExtentsLeaveInvisibleAttributesOut) {
    Database db;
    BlockDefinition* b = db.addBlock("Schemat_wzorzec_12");
    db.addCircle(b, {0, 0, 0}, 10);
    db.addAttributeDefinition(b, 3.5, 9, "", {500, 500, 0}, "PT_CENTER_X", "1000.0000");
    Entity* ref = db.insertBlock(db.modelSpace(), {100, 100, 0}, "Schemat_wzorzec_12", 2, 2, 1, 0);
    expectBox(db.boundingBox(ref), 80, 80, 120, 120);
    db.attributes(ref)[0]->as<AttributeData>().flags = 0;  // made visible, it widens the box
    EXPECT_GT(db.boundingBox(ref).max.x, 1000);
}

TEST(CadGeometry, NestedAndSelfContainingBlocksEndQuickly) {
    Database db;
    // Ten levels of ten references each, and a block that holds a reference to itself.
    for (int level = 9; level >= 0; --level) {
        BlockDefinition* b = db.addBlock(QString("L%1").arg(level));
        if (level == 9) {
            db.addLine(b, {0, 0, 0}, {1, 1, 0});
            continue;
        }
        for (int i = 0; i < 10; ++i)
            db.insertBlock(b, {double(i), 0, 0}, QString("L%1").arg(level + 1), 1, 1, 1, 0);
    }
    BlockDefinition* self = db.addBlock("SELF");
    db.addCircle(self, {0, 0, 0}, 1);
    db.insertBlock(self, {5, 0, 0}, "SELF", 1, 1, 1, 0);
    db.insertBlock(self, {0, 0, 0}, "L0", 1, 1, 1, 0);
    expectBox(db.boundingBox(db.insertBlock(db.modelSpace(), {}, "L0", 1, 1, 1, 0)), 0, 0, 82, 1);
    const Box box = db.boundingBox(db.insertBlock(db.modelSpace(), {}, "SELF", 1, 1, 1, 0));
    EXPECT_FALSE(box.isEmpty());
    EXPECT_LE(box.min.x, -1);
}

TEST(CadGeometry, ExplodedPolylineGivesLinesAndArcsInOrder) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    // Line, then a counter-clockwise half circle, then a clockwise quarter.
    const double quarter = std::tan(M_PI / 8);
    Entity* pl = db.addLwPolyline(
        ms, {{0, 0, 0, 0, 0}, {10, 0, 1, 0, 0}, {10, 10, -quarter, 0, 0}, {15, 15, 0, 0, 0}});
    pl->color = 3;
    const auto parts = db.explode(pl);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_FALSE(pl->isErased());
    EXPECT_EQ(parts[0]->kind(), EntityKind::Line);
    EXPECT_EQ(parts[1]->kind(), EntityKind::Arc);
    EXPECT_EQ(parts[2]->kind(), EntityKind::Arc);
    EXPECT_EQ(parts[1]->color, 3);
    const auto& half = parts[1]->as<ArcData>();
    EXPECT_NEAR(half.radius, 5, 1e-9);
    EXPECT_NEAR(half.center.x, 10, 1e-9);
    EXPECT_NEAR(half.center.y, 5, 1e-9);
    // Counter-clockwise: starts at (10,0), ends at (10,10).
    EXPECT_NEAR(db.startPoint(parts[1]).y, 0, 1e-9);
    EXPECT_NEAR(db.endPoint(parts[1]).y, 10, 1e-9);
    // The clockwise segment becomes an arc from its end to its start.
    EXPECT_NEAR(db.startPoint(parts[2]).x, 15, 1e-9);
    EXPECT_NEAR(db.endPoint(parts[2]).x, 10, 1e-9);
    EXPECT_NEAR(db.endPoint(parts[2]).y, 10, 1e-9);
    EXPECT_EQ(ms->item(ms->count() - 1), parts[2]);
    EXPECT_THROW(db.explode(db.addText(ms, "x", {}, 1)), cad::NotSupported);
}

TEST(CadGeometry, ExplodedReferenceIsPlacedByScaleAndRotation) {
    Database db;
    BlockDefinition* b = db.addBlock("KONIEC");
    db.addLine(b, {0, 0, 0}, {1, 0, 0});
    db.addArc(b, {0, 0, 0}, 1, 0, M_PI / 2);
    // A kind kept as read whose points are known (an arrowhead's SOLID) is placed with the rest.
    RawData& arrow = db.addEntity(b, EntityKind::Unknown)->as<RawData>();
    arrow = {QStringLiteral("SOLID"),
             {{10, "1"}, {20, "0"}, {11, "1"}, {21, "1"}, {12, "2"}, {22, "0"}, {13, "2"}, {23, "0"}}};
    db.addAttributeDefinition(b, 1, 0, "", {0, 1, 0}, "OPIS", "a");
    Entity* ref = db.insertBlock(db.modelSpace(), {10, 0, 0}, "KONIEC", 3, 3, 1, M_PI / 2);
    const int count = db.modelSpace()->count();
    const auto parts = db.explode(ref);
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(db.modelSpace()->count(), count + 4);
    const Box solid = db.boundingBox(parts[2]);  // (1..2; 0..1) turned a quarter, scaled 3, at (10; 0)
    EXPECT_NEAR(solid.min.x, 7, 1e-9);
    EXPECT_NEAR(solid.max.x, 10, 1e-9);
    EXPECT_NEAR(solid.min.y, 3, 1e-9);
    EXPECT_NEAR(solid.max.y, 6, 1e-9);
    // One that cannot be placed (a 3DSOLID) refuses the explode before anything is made: left out,
    // it would be lost from the drawing.
    BlockDefinition* body = db.addBlock("BRYLA");
    db.addLine(body, {0, 0, 0}, {1, 0, 0});
    db.addEntity(body, EntityKind::Unknown)->as<RawData>().dxfName = QStringLiteral("3DSOLID");
    Entity* bodyRef = db.insertBlock(db.modelSpace(), {}, "BRYLA", 1, 1, 1, 0);
    const int withBody = db.modelSpace()->count();
    EXPECT_THROW(db.explode(bodyRef), cad::NotSupported);
    EXPECT_EQ(db.modelSpace()->count(), withBody);
    const auto& line = parts[0]->as<LineData>();
    EXPECT_NEAR(line.end.x, 10, 1e-9);
    EXPECT_NEAR(line.end.y, 3, 1e-9);
    const auto& arc = parts[1]->as<ArcData>();
    EXPECT_NEAR(arc.radius, 3, 1e-9);
    EXPECT_NEAR(arc.startAngle, M_PI / 2, 1e-9);
    EXPECT_NEAR(arc.endAngle, M_PI, 1e-9);
    EXPECT_EQ(parts[3]->kind(), EntityKind::AttributeDefinition);
    EXPECT_EQ(parts[3]->ownerBlock(), db.modelSpace());
    // A non-uniform scale cannot turn arcs into arcs.
    Entity* stretched = db.insertBlock(db.modelSpace(), {}, "KONIEC", 5, 1, 1, 0);
    const int before = db.modelSpace()->count();
    EXPECT_THROW(db.explode(stretched), cad::Failed);
    EXPECT_EQ(db.modelSpace()->count(), before);
}

TEST(CadGeometry, MirroringKeepsArcsCounterClockwise) {
    Database db;
    Entity* arc = db.addArc(db.modelSpace(), {0, 0, 0}, 1, 0, M_PI / 2);
    db.transform(arc, Transform2D::scale(-1, 1));
    const auto& a = arc->as<ArcData>();
    EXPECT_NEAR(a.startAngle, M_PI / 2, 1e-9);
    EXPECT_NEAR(a.endAngle, M_PI, 1e-9);
    Entity* text = db.addText(db.modelSpace(), "A", {1, 0, 0}, 2);
    db.rotate(text, {0, 0, 0}, M_PI);
    EXPECT_NEAR(text->as<TextData>().position.x, -1, 1e-9);
    EXPECT_NEAR(text->as<TextData>().rotation, M_PI, 1e-9);
    // Moving by a zero vector is allowed for every kind, also kinds kept raw.
    Entity* raw = db.addEntity(db.modelSpace(), EntityKind::Unknown);
    EXPECT_NO_THROW(db.move(raw, {0, 0, 0}, {0, 0, 0}));
    EXPECT_THROW(db.move(raw, {0, 0, 0}, {1, 0, 0}), cad::NotSupported);
}

// A multiline text on a tilted plane keeps a world insertion point and turns in its own plane: it
// can be moved, but a turn, a shear or a scale along one axis is refused, the text left as it was.
TEST(CadGeometry, TiltedMultilineTextOnlyMoves) {
    Database db;
    Entity* m = db.addMText(db.modelSpace(), {10, 20, 5}, 30, "Tekst");
    m->normal = {0, 0.6, 0.8};
    db.move(m, {0, 0, 0}, {3, -2, 0});
    const MTextData moved = m->as<MTextData>();
    EXPECT_EQ(moved.position, (Point3{13, 18, 5}));
    for (const Transform2D& t : {Transform2D::rotation(M_PI / 6), Transform2D::scale(2, 1), Transform2D::scale(1, 2),
                                 Transform2D{1, 0.5, 0, 1, 0, 0}, Transform2D{1, 0, 0.5, 1, 0, 0}}) {
        EXPECT_THROW(db.transform(m, t), cad::NotSupported);
        const MTextData& now = m->as<MTextData>();
        EXPECT_EQ(now.position, moved.position);
        EXPECT_EQ(now.rotation, moved.rotation);
        EXPECT_EQ(now.height, moved.height);
        EXPECT_EQ(now.width, moved.width);
    }
}

TEST(CadGeometry, HatchLoopsFromCirclesPolylinesAndChains) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    Entity* circle = db.addCircle(ms, {0, 0, 0}, 150);
    Entity* solid = db.addHatch(ms, 0, "solid", true);
    db.appendHatchLoop(solid, {circle});
    const auto& h = solid->as<HatchData>();
    EXPECT_TRUE(h.solid);
    EXPECT_EQ(h.patternName, "SOLID");
    ASSERT_EQ(h.loops.size(), 1u);
    EXPECT_EQ(h.loops[0].edges.size(), 1u);
    EXPECT_EQ(h.loops[0].sourceHandles, std::vector<quint64>{circle->handle()});
    EXPECT_EQ(circle->reactors, std::vector<quint64>{solid->handle()});
    expectBox(db.boundingBox(solid), -150, -150, 150, 150);

    Entity* frame = db.addLwPolyline(
        ms, {{0, 0, 0, 0, 0}, {8, 0, 0, 0, 0}, {8, -4, 0, 0, 0}, {0, -4, 0, 0, 0}, {0, 0, 0, 0, 0}});
    Entity* pattern = db.addHatch(ms, 1, "ANSI31", true);
    db.appendHatchLoop(pattern, {frame});
    EXPECT_FALSE(pattern->as<HatchData>().solid);
    EXPECT_TRUE(pattern->as<HatchData>().loops[0].isPolyline());
    EXPECT_EQ(pattern->as<HatchData>().loops[0].vertices.size(), 4u);

    // Lines and an arc given in any order and direction close into one loop.
    Entity* l1 = db.addLine(ms, {0, 0, 0}, {10, 0, 0});
    Entity* l2 = db.addLine(ms, {0, 10, 0}, {0, 0, 0});
    Entity* arc = db.addArc(ms, {0, 0, 0}, 10, 0, M_PI / 2);
    Entity* chain = db.addHatch(ms, 1, "SOLID", false);
    db.appendHatchLoop(chain, {l1, l2, arc});
    EXPECT_EQ(chain->as<HatchData>().loops[0].edges.size(), 3u);
    expectBox(db.boundingBox(chain), 0, 0, 10, 10);

    // An arc seen from below, away from the origin, closed by world lines: the loop lies where the
    // arc is drawn (x -10..0), bulging below its chord.
    Entity* below = db.addArc(ms, {5, 10, 0}, 5, M_PI, 2 * M_PI);
    below->normal = {0, 0, -1};
    Entity* mirrored = db.addHatch(ms, 1, "SOLID", false);
    db.appendHatchLoop(mirrored, {below, db.addLine(ms, {-10, 10, 0}, {-10, 20, 0}),
                                  db.addLine(ms, {-10, 20, 0}, {0, 20, 0}), db.addLine(ms, {0, 20, 0}, {0, 10, 0})});
    expectBox(db.boundingBox(below), -10, 5, 0, 10);
    expectBox(db.boundingBox(mirrored), -10, 5, 0, 20);

    Entity* open = db.addHatch(ms, 1, "SOLID", false);
    EXPECT_THROW(db.appendHatchLoop(open, {l1, l2}), cad::InvalidArgument);
    EXPECT_THROW(db.appendHatchLoop(open, {db.addText(ms, "x", {}, 1)}), cad::InvalidArgument);

    // Loop curves: the boundary objects while they live, new curves once they are gone.
    EXPECT_EQ(db.hatchLoopCurves(solid, 0, ms), std::vector<Entity*>{circle});
    EXPECT_THROW(db.hatchLoopCurves(solid, 1, ms), cad::NotFound);
    BlockDefinition* scratch = db.addBlock("SCRATCH");
    const auto rebuilt = db.hatchLoopCurves(chain, 0, scratch);
    ASSERT_EQ(rebuilt.size(), 3u);
    EXPECT_EQ(rebuilt[0]->ownerBlock(), scratch);
    const auto frameCurves = db.hatchLoopCurves(pattern, 0, scratch);
    ASSERT_EQ(frameCurves.size(), 1u);
    EXPECT_EQ(frameCurves[0], frame);

    const auto regions = db.addRegions(ms, {l1, arc, l2, circle});
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0]->objectName(), "AcDbRegion");
    const auto pieces = db.explode(regions[1]);
    EXPECT_EQ(pieces.size(), 3u);
}

TEST(CadGeometry, DimensionsAreDrawnInTheirOwnBlocks) {
    Database db;
    db.addLayer("243-WYMIAROWANIE_SEKUNDOWE");
    Entity* aligned = db.addDimAligned(db.modelSpace(), {0, 0, 0}, {30, 0, 0}, {15, -5, 0});
    const auto& d = aligned->as<DimensionData>();
    EXPECT_DOUBLE_EQ(d.measurement, 30);
    BlockDefinition* drawn = db.findBlock(d.blockName);
    ASSERT_NE(drawn, nullptr);
    EXPECT_TRUE(drawn->name().startsWith("*D"));
    EXPECT_GE(drawn->count(), 4);
    const Box box = db.boundingBox(aligned);
    EXPECT_LE(box.min.y, -5);
    EXPECT_GE(box.max.x, 30);
    Entity* ordinate = db.addDimOrdinate(db.modelSpace(), {12, 3, 0}, {12, 10, 0}, true);
    EXPECT_EQ(ordinate->kind(), EntityKind::DimOrdinate);
    EXPECT_DOUBLE_EQ(ordinate->as<DimensionData>().measurement, 12);
    EXPECT_EQ(ordinate->objectName(), "AcDbOrdinateDimension");
    db.move(ordinate, {0, 0, 0}, {1, 0, 0});
    EXPECT_DOUBLE_EQ(ordinate->as<DimensionData>().point2.x, 13);
    // A piece of its block that cannot move (a 3DSOLID) refuses the move: nothing is left behind.
    db.addEntity(drawn, EntityKind::Unknown)->as<RawData>().dxfName = QStringLiteral("3DSOLID");
    EXPECT_THROW(db.move(aligned, {0, 0, 0}, {1, 0, 0}), cad::NotSupported);
    EXPECT_DOUBLE_EQ(aligned->as<DimensionData>().point2.x, 30);
    EXPECT_DOUBLE_EQ(db.boundingBox(aligned).max.x, box.max.x);
    // Without its block a dimension spans its points and its text, whose place is an OCS point:
    // seen from below, (15; 20) lies at (-15; 20).
    Entity* bare = db.addDimAligned(db.modelSpace(), {0, 0, 0}, {30, 0, 0}, {15, -5, 0});
    bare->as<DimensionData>().blockName.clear();
    bare->as<DimensionData>().textPosition = {15, 20, 0};
    bare->normal = {0, 0, -1};
    const Box spanned = db.boundingBox(bare);
    EXPECT_DOUBLE_EQ(spanned.min.x, -15);
    EXPECT_DOUBLE_EQ(spanned.max.x, 30);
    EXPECT_DOUBLE_EQ(spanned.max.y, 20);
}

// Each end of an aligned dimension gets a filled arrowhead DIMASZ long and a third of that wide, its tip
// on the dimension line; a dimension too short for both turns them outside the extension lines.
TEST(CadGeometry, AlignedDimensionsHaveArrowheads) {
    Database db;
    auto heads = [&](const Point3& a, const Point3& b) {
        Entity* dim = db.addDimAligned(db.modelSpace(), a, b, {a.x, a.y - 5, 0});
        std::vector<const LwPolylineData*> out;
        for (Entity* e : db.findBlock(dim->as<DimensionData>().blockName)->entities())
            if (e->kind() == EntityKind::LwPolyline) out.push_back(&e->as<LwPolylineData>());
        return out;
    };
    const auto wide = heads({0, 0, 0}, {30, 0, 0});
    ASSERT_EQ(wide.size(), 2u);
    const double size = 0.18;  // DIMASZ of a new drawing, DIMSCALE 1
    for (const auto* h : wide) {
        ASSERT_EQ(h->vertices.size(), 2u);
        EXPECT_DOUBLE_EQ(h->vertices[0].y, -5);  // the tip on the dimension line
        EXPECT_DOUBLE_EQ(h->vertices[0].startWidth, 0);
        EXPECT_NEAR(h->vertices[0].endWidth, size / 3, 1e-12);
        EXPECT_NEAR(std::abs(h->vertices[1].x - h->vertices[0].x), size, 1e-12);
    }
    EXPECT_DOUBLE_EQ(wide[0]->vertices[0].x, 0);
    EXPECT_NEAR(wide[0]->vertices[1].x, size, 1e-12);  // pointing at the first extension line
    EXPECT_DOUBLE_EQ(wide[1]->vertices[0].x, 30);
    EXPECT_NEAR(wide[1]->vertices[1].x, 30 - size, 1e-12);
    const auto narrow = heads({0, 0, 0}, {0.2, 0, 0});
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_NEAR(narrow[0]->vertices[1].x, -size, 1e-12);  // outside, pointing in
    EXPECT_NEAR(narrow[1]->vertices[1].x, 0.2 + size, 1e-12);
}

TEST(CadGeometry, ArraysCopyInRowsAndColumns) {
    Database db;
    Entity* line = db.addLine(db.modelSpace(), {0, 0, 0}, {0, 5, 0});
    const auto copies = db.arrayRectangular(line, 2, 3, 10, 4);
    ASSERT_EQ(copies.size(), 5u);
    EXPECT_DOUBLE_EQ(copies.back()->as<LineData>().start.x, 8);
    EXPECT_DOUBLE_EQ(copies.back()->as<LineData>().start.y, 10);
    EXPECT_THROW(db.arrayRectangular(line, 0, 1, 1, 1), cad::InvalidArgument);
}

}  // namespace
