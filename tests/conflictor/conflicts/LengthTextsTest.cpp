// Length texts after a cut: one per component in metres along it, none on a component shorter than
// 0.3 × scale, marked with the intersection; other intersections' texts survive, old unmarked
// texts on this intersection's components are replaced, and a second cut does not stack texts.
#include "CutFixture.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/LengthTexts.h"

#include <cmath>

namespace conflictor::test {
namespace {

class LengthTexts : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("100"));
    }
    static QString mark(const cad::Entity& text) {
        const auto [codes, values] = text.xData(LengthTextApplication());
        return values.size() > 1 ? values[1].toText() : QString();
    }
    cad::Entity textAt(double x, double y) {
        for (const cad::Entity& t : lengthTexts()) {
            const cad::Point p = t.textAlignmentPoint();
            if (std::abs(p.x - x) < 1e-6 && std::abs(p.y - y) < 1e-6) return t;
        }
        ADD_FAILURE() << "no length text at " << x << ", " << y;
        return {};
    }
};

TEST_F(LengthTexts, OnePerComponentInMetresNoneOnShortComponents) {
    // 20 units at 1:100 is below 0.3 × 100: no text. The line runs right to left: its text still reads
    // upright.
    draw(QStringLiteral("K1"), {Line(1020, 0, 20, 0), Line(20, 0, 0, 0)});
    draw(QStringLiteral("K2"), {Arc(0, 3000, 1000, 0, Pi / 2)}, PlanePoint{1000, 3000});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);

    const QList<cad::Entity> texts = lengthTexts();
    ASSERT_EQ(texts.size(), 2);
    const cad::Entity line = textAt(520, 0);
    EXPECT_EQ(line.textString(), QStringLiteral("10.0"));
    EXPECT_EQ(line.alignment(), 13);
    EXPECT_NEAR(std::fmod(line.rotation(), 2 * Pi), 0, 1e-9);
    EXPECT_DOUBLE_EQ(line.height(), 50);  // 0.5 × scale
    EXPECT_EQ(line.styleName(), QStringLiteral("SYGN_TXT"));
    EXPECT_EQ(mark(line), QStringLiteral("12"));

    // The arc's text stands at its middle, turned along the chord (135°, read upright at 315°).
    const cad::Entity arc = textAt(1000 * std::cos(Pi / 4), 3000 + 1000 * std::sin(Pi / 4));
    EXPECT_EQ(arc.textString(), QStringLiteral("15.7"));
    EXPECT_NEAR(arc.rotation(), 7 * Pi / 4, 1e-9);

    // Without scaling the height is the setting itself.
    common::Settings.SkalujTekst = false;
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_DOUBLE_EQ(textAt(520, 0).height(), 0.5);
}

TEST_F(LengthTexts, OnlyThisIntersectionsTextsAreReplaced) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("10"));  // streams of 10 m
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
    drawn();
    automation::CadDocument.setActiveLayer(automation::CadDocument.layers().item(LengthTextLayer()));
    // Intersection 13's text, an old unmarked text on K1 and an unmarked one away from every stream.
    const cad::Entity other = modelSpace().addText(QStringLiteral("9.9"), cad::Point{500, 0, 0}, 1);
    other.setXData({cad::Variant(1001), cad::Variant(1000)},
                   {cad::Variant(LengthTextApplication()), cad::Variant(QStringLiteral("13"))});
    const cad::Entity old = modelSpace().addText(QStringLiteral("1.0"), cad::Point{50, 0, 0}, 1);
    old.setAlignment(13);
    old.setTextAlignmentPoint(cad::Point{50, 0, 0});
    const cad::Entity loose = modelSpace().addText(QStringLiteral("7.0"), cad::Point{500, 500, 0}, 1);
    const QString otherHandle = other.handle(), looseHandle = loose.handle();

    ASSERT_EQ(cut(), CutOutcome::Done);
    QStringList ours, kept;
    for (const cad::Entity& t : lengthTexts())
        (mark(t) == QStringLiteral("12") ? ours : kept).append(t.handle());
    EXPECT_EQ(ours.size(), 4);  // two streams split in two
    kept.sort();
    QStringList expected{otherHandle, looseHandle};
    expected.sort();
    EXPECT_EQ(kept, expected);

    // The selected variant rewrites the texts of every component without a second text on any.
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("K1")), 3, false);
    ZaznaczStrumien(FindStreamIndex(QStringLiteral("K2")), 3, false);
    ASSERT_EQ(cut(false), CutOutcome::Done);
    EXPECT_EQ(lengthTexts().size(), 6);
}

TEST_F(LengthTexts, PlacementFollowsTheComponent) {
    // A line running left: midpoint, turned half a turn so it reads upright.
    LengthTextPlacement t = PlaceLengthText(Line(10, 10, 0, 10));
    EXPECT_DOUBLE_EQ(t.Length, 10);
    EXPECT_NEAR(t.Position.X, 5, 1e-12);
    EXPECT_NEAR(t.Angle, 0, 1e-12);
    // Straight down (270°) stays; straight up (90°) too.
    EXPECT_NEAR(PlaceLengthText(Line(0, 10, 0, 0)).Angle, 3 * Pi / 2, 1e-12);
    EXPECT_NEAR(PlaceLengthText(Line(0, 0, 0, 10)).Angle, Pi / 2, 1e-12);
    // An arc through angle 0 (from 315° to 45°): middle at 0°, chord upwards.
    t = PlaceLengthText(Arc(0, 0, 10, 7 * Pi / 4, Pi / 4));
    EXPECT_NEAR(t.Length, 10 * Pi / 2, 1e-9);
    EXPECT_NEAR(t.Position.X, 10, 1e-9);
    EXPECT_NEAR(t.Position.Y, 0, 1e-9);
    EXPECT_NEAR(t.Angle, Pi / 2, 1e-9);
}

// A vertical piece whose ends differ in X by their rounding only reads as the vertical one does, at
// the origin and at map-grid coordinates in millimetres, for a piece of 1 m, 1 mm and half of one; a piece
// leaning by a thousandth of a turn past the vertical is still turned.
TEST_F(LengthTexts, ARoundingOffTheVerticalTurnsNoText) {
    for (const double x : {1.75, 7.5e9 + 1750}) {
        for (const double length : {1000.0, 1.0, 0.5}) {
            SCOPED_TRACE(testing::Message() << x << " " << length);
            const double y = x > 1e9 ? 5.5e9 : 0;
            // Up, the top end a few units in the last place to the left; down, to the right.
            const double left = std::nextafter(std::nextafter(x, 0.0), 0.0), right = std::nextafter(x, 2 * x);
            EXPECT_NEAR(PlaceLengthText(Line(x, y, left, y + length)).Angle, Pi / 2, 1e-5);
            EXPECT_NEAR(PlaceLengthText(Line(x, y + length, right, y)).Angle, 3 * Pi / 2, 1e-5);
            // An arc whose chord runs straight down, its ends apart in X by their rounding: turned
            // half a turn as the exact one is.
            SegmentRecord arc = Arc(x - length / 2, y, length / 2, 3 * Pi / 2, Pi / 2);
            arc.StartPoint = {x, y + length / 2};
            arc.EndPoint = {right, y - length / 2};
            EXPECT_NEAR(std::remainder(PlaceLengthText(arc).Angle - Pi / 2, 2 * Pi), 0, 1e-5);
        }
    }
    const double lean = 2 * Pi / 1000;
    EXPECT_NEAR(PlaceLengthText(Line(0, 0, -std::sin(lean), std::cos(lean))).Angle, lean - Pi / 2, 1e-12);
}

// A text the engineer moved off its component (as cadhost's "_move" does) is still this
// intersection's: the next cut replaces it instead of leaving it beside a new one.
TEST_F(LengthTexts, AMovedTextIsStillReplacedByTheNextCut) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("10"));  // streams of 10 m
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QList<cad::Entity> first = lengthTexts();
    ASSERT_FALSE(first.isEmpty());
    first[0].move(cad::Point{0, 0, 0}, cad::Point{300, 250, 0});
    const cad::Entity copied = first[1].copy();
    copied.move(cad::Point{0, 0, 0}, cad::Point{-300, 0, 0});
    const QString moved = first[0].handle(), copy = copied.handle();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QList<cad::Entity> second = lengthTexts();
    EXPECT_EQ(second.size(), first.size());
    for (const cad::Entity& t : second) EXPECT_TRUE(t.handle() != moved && t.handle() != copy);
}

}  // namespace
}  // namespace conflictor::test
