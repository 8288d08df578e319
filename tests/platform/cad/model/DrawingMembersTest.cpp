// Members the programs use to build and rework drawings: copying into blocks, regions, dimensions,
// rectangular arrays and hatch loops.
#include "ModelFixture.h"

#include <numbers>

using namespace cadtest;

class CadModelDrawing : public ModelTest {};
CADMODEL_CHANNELS(CadModelDrawing);

TEST_P(CadModelDrawing, CopyObjectsIntoABlockKeepsCoordinates) {
    const cad::Entity l1 = ms.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Entity l2 = ms.addLine({10, 0, 0}, {10, 10, 0});
    const cad::Block marker = doc.blocks().add({0, 0, 0}, QStringLiteral("12^KONIEC_STRUMIEN_K1_1"));
    const QList<cad::Entity> copies = doc.copyObjects({l1, l2}, marker);
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(marker.entities(), copies);
    EXPECT_EQ(copies[1].startPoint(), (cad::Point{10, 0, 0}));
    EXPECT_EQ(ms.count(), 2);  // the originals stay
    copies[0].move({0, 0, 0}, {-10, 0, 0});
    EXPECT_EQ(l1.startPoint(), (cad::Point{0, 0, 0}));

    const cad::Document other = app.documents().add();
    EXPECT_THROW(other.copyObjects({l1}, other.modelSpace()), cad::InvalidArgument);
}

TEST_P(CadModelDrawing, RegionBooleans) {
    const double pi = std::numbers::pi;
    const auto square = [&](double x0, double y0, double side) {
        return ms
            .addRegion({ms.addLightWeightPolyline({{x0, y0, 0},
                                                   {x0 + side, y0, 0},
                                                   {x0 + side, y0 + side, 0},
                                                   {x0, y0 + side, 0},
                                                   {x0, y0, 0}})})
            .value(0);
    };
    const auto disc = [&](double x, double y, double r) {
        return ms.addRegion({ms.addCircle({x, y, 0}, r)}).value(0);
    };

    // Nested boundaries: subtraction makes a hole, union keeps the outer area.
    const cad::Entity plate = square(0, 0, 20);
    EXPECT_NEAR(plate.area(), 400, 1e-9);
    const cad::Entity hole = disc(10, 10, 5);
    plate.boolean(2, hole);
    EXPECT_THROW(hole.handle(), cad::Erased);  // the other region is consumed
    EXPECT_NEAR(plate.area(), 400 - pi * 25, 0.01);
    plate.boolean(0, disc(10, 10, 5));
    EXPECT_NEAR(plate.area(), 400, 0.01);

    // Crossing boundaries against the convex clip circle: the quarter of the square inside it.
    const cad::Entity corner = square(0, 0, 20);
    corner.boolean(1, disc(0, 0, 10));
    EXPECT_NEAR(corner.area(), pi * 100 / 4, 0.05);
    const auto [lo, hi] = corner.boundingBox();
    EXPECT_NEAR(hi.x, 10, 1e-6);
    EXPECT_NEAR(lo.y, 0, 1e-6);

    // Disjoint intersection leaves an empty region; crossing regions with holes combine in general.
    const cad::Entity far = disc(100, 100, 1);
    far.boolean(1, disc(0, 0, 1));
    EXPECT_NEAR(far.area(), 0, 1e-12);
    const cad::Entity ring = square(50, 50, 20);
    ring.boolean(2, disc(60, 60, 3));
    const cad::Entity ring2 = square(55, 55, 20);
    ring2.boolean(2, disc(65, 65, 3));
    ring.boolean(0, ring2);  // each hole lies inside the other square, so both are filled
    EXPECT_NEAR(ring.area(), 400 + 400 - 225, 0.01);
    EXPECT_THROW(ring.boolean(3, ring2), cad::InvalidArgument);
    EXPECT_THROW(ms.addLine({0, 0, 0}, {1, 0, 0}).boolean(0, ring), cad::NotSupported);
    EXPECT_THROW(ms.addRegion({ms.addLine({0, 0, 0}, {1, 0, 0})}), cad::InvalidArgument);
}

TEST_P(CadModelDrawing, DimensionsTakeTextOverrides) {
    doc.layers().add(QStringLiteral("243-WYMIAROWANIE_SEKUNDOWE"));
    const cad::Entity ord = ms.addDimOrdinate({10, 0, 0}, {10, -5, 0}, true);
    ord.setTextOverride(QStringLiteral("12"));
    ord.setLayer(QStringLiteral("243-WYMIAROWANIE_SEKUNDOWE"));
    EXPECT_EQ(ord.textOverride(), QStringLiteral("12"));
    const cad::Entity al = ms.addDimAligned({0, 0, 0}, {30, 0, 0}, {15, 5, 0});
    EXPECT_NO_THROW(al.textOverride());
    EXPECT_THROW(ms.addLine({0, 0, 0}, {1, 1, 0}).setTextOverride(QStringLiteral("x")), cad::NotSupported);
}

TEST_P(CadModelDrawing, RectangularArrayCopiesTheEntity) {
    const cad::Entity tick = ms.addLine({0, 0, 0}, {0, 4, 0});
    const QList<cad::Entity> copies = tick.arrayRectangular(1, 4, 1, 0, 10, 0);
    ASSERT_EQ(copies.size(), 3);
    EXPECT_EQ(ms.count(), 4);
    EXPECT_DOUBLE_EQ(copies.back().startPoint().x, 30);
    EXPECT_THROW(tick.arrayRectangular(1, 1, 1, 0, 0, 0), cad::InvalidArgument);
}

TEST_P(CadModelDrawing, HatchLoopsComeBackAsCurves) {
    const cad::Entity frame =
        ms.addLightWeightPolyline({{0, 0, 0}, {10, 0, 0}, {10, -4, 0}, {0, -4, 0}, {0, 0, 0}});
    const cad::Entity hatch = ms.addHatch(0, QStringLiteral("SOLID"), true);
    hatch.appendOuterLoop({frame});
    ASSERT_EQ(hatch.numberOfLoops(), 1);
    const QList<cad::Entity> loop = hatch.loopAt(0);
    ASSERT_FALSE(loop.isEmpty());
    const auto [lo, hi] = loop[0].boundingBox();
    EXPECT_DOUBLE_EQ(lo.y, -4);
    EXPECT_DOUBLE_EQ(hi.x, 10);
    EXPECT_THROW(hatch.loopAt(1), cad::InvalidArgument);
    EXPECT_EQ(ms.addRegion(loop).size(), 1);  // the loop's curves make a region
}

TEST_P(CadModelDrawing, BoundingBoxesOfTextsAndReferences) {
    const cad::Entity t = ms.addText(QStringLiteral("Faza 12"), {0, 0, 0}, 2.5);
    const auto [lo, hi] = t.boundingBox();
    EXPECT_GT(hi.x - lo.x, 2.5);  // several characters wide
    EXPECT_GE(hi.y - lo.y, 2.0);
    const cad::Block b = doc.blocks().add({0, 0, 0}, QStringLiteral("Schemat_wzorzec_12"));
    b.addCircle({0, 0, 0}, 50);
    b.addAttribute(3.5, 9, QString(), {500, 500, 0}, QStringLiteral("PT_CENTER_X"), QStringLiteral("0.0000"));
    const cad::Entity ref = ms.insertBlock({100, 100, 0}, QStringLiteral("Schemat_wzorzec_12"), 1, 1, 1, 0);
    const auto [rlo, rhi] = ref.boundingBox();
    // The hidden attribute does not widen the box: half its width is the pattern radius.
    EXPECT_NEAR((rhi.x - rlo.x) / 2, 50, 1e-9);
}
