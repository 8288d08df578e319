// Picks for the programs: points with and without a base point, entities, keywords, cancels.
#include "ModelFixture.h"

using namespace cadtest;

class CadModelUtility : public ModelTest {};
CADMODEL_CHANNELS(CadModelUtility);

TEST_P(CadModelUtility, PointsWithAndWithoutBase) {
    const cad::Utility u = doc.utility();
    script.point(10, 20).point(30, 40);
    const cad::Point first = u.getPoint(QStringLiteral("Select line start point"));
    EXPECT_EQ(first, (cad::Point{10, 20, 0}));
    const cad::Point second = u.getPoint(first, QStringLiteral("Select end point"));
    EXPECT_EQ(second, (cad::Point{30, 40, 0}));
    ASSERT_EQ(script.requests().size(), 2);
    EXPECT_FALSE(script.requests()[0].basePoint.has_value());
    ASSERT_TRUE(script.requests()[1].basePoint.has_value());
    EXPECT_EQ(*script.requests()[1].basePoint, first);  // rubber band from the first point
    EXPECT_EQ(script.prompts()[1], QStringLiteral("Select end point"));
    EXPECT_EQ(doc.getVariable(QStringLiteral("LASTPOINT")).toPoint(), second);
}

TEST_P(CadModelUtility, CancelAndNoAnswerRaiseCancelled) {
    const cad::Utility u = doc.utility();
    script.cancel();
    EXPECT_THROW(u.getPoint(QStringLiteral("Wskaż położenie legendy...")), cad::Cancelled);
    EXPECT_EQ(doc.getVariable(QStringLiteral("LASTPROMPT")).toText(), QStringLiteral("*Cancel*"));
    EXPECT_THROW(u.getPoint(QStringLiteral("nic")), cad::Cancelled);  // nobody answers
}

TEST_P(CadModelUtility, NoEmptyInputAppliesToTheNextPickOnly) {
    const cad::Utility u = doc.utility();
    u.initializeUserInput(cad::Utility::NoNull);
    script.enter().point(1, 2);
    EXPECT_EQ(u.getPoint(QStringLiteral("p")), (cad::Point{1, 2, 0}));  // Enter was asked again
    EXPECT_EQ(script.requests().front().initBits, 1);
    ASSERT_EQ(script.requests().size(), 2);
    EXPECT_EQ(script.requests()[1].initBits, 1);  // still in force when asked again

    // The keywords stay offered too when the pick is asked again.
    u.initializeUserInput(cad::Utility::NoNull, QStringLiteral("Legenda"));
    script.enter().point(3, 4);
    EXPECT_EQ(u.getPoint(QStringLiteral("Punkt lub [Legenda]")), (cad::Point{3, 4, 0}));
    ASSERT_EQ(script.requests().size(), 4);
    EXPECT_EQ(script.requests()[2].keywords, QStringLiteral("Legenda"));
    EXPECT_EQ(script.requests()[3].keywords, QStringLiteral("Legenda"));
    script.enter();
    EXPECT_THROW(u.getPoint(QStringLiteral("p")), cad::Failed);  // no longer in force
}

TEST_P(CadModelUtility, EntityPickAnswersTheTopLevelEntity) {
    const cad::Block b = doc.blocks().add({0, 0, 0}, QStringLiteral("S-1"));
    b.addAttribute(3.5, 0, QStringLiteral("RODZAJ"), {0, 0, 0}, QStringLiteral("RODZAJ"),
                   QStringLiteral("S"));
    const cad::Entity ref = ms.insertBlock({50, 50, 0}, QStringLiteral("S-1"), 1, 1, 1, 0);
    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Utility u = doc.utility();

    u.initializeUserInput(1);
    script.entity(line.handle(), 5, 0);
    const auto [picked, at] = u.getEntity(QStringLiteral("Proszę wskazać linię lub łuk..."));
    EXPECT_EQ(picked, line);
    EXPECT_EQ(at, (cad::Point{5, 0, 0}));

    // A pick on an attribute gives its block reference.
    script.entity(ref.attributes()[0].handle(), 50, 50);
    EXPECT_EQ(u.getEntity(QStringLiteral("Wskaż sygnalizator...")).first, ref);

    script.point(500, 500);  // empty space ends the pick as Escape does
    EXPECT_THROW(u.getEntity(QStringLiteral("x")), cad::Cancelled);
    script.cancel();
    EXPECT_THROW(u.getEntity(QStringLiteral("x")), cad::Cancelled);
    const QString gone = line.handle();
    line.erase();
    script.entity(gone);
    EXPECT_THROW(u.getEntity(QStringLiteral("x")), cad::Cancelled);
}

TEST_P(CadModelUtility, Keywords) {
    const cad::Utility u = doc.utility();
    u.initializeUserInput(0, QStringLiteral("Tak Nie"));
    script.text(QStringLiteral("x")).text(QStringLiteral("n"));
    EXPECT_EQ(u.getKeyword(QStringLiteral("[Tak/Nie]")), QStringLiteral("Nie"));
    u.initializeUserInput(0, QStringLiteral("Legenda"));
    script.text(QStringLiteral("L"));
    EXPECT_THROW(u.getPoint(QStringLiteral("Punkt lub [Legenda]")), cad::Failed);
    EXPECT_EQ(u.invoke(QStringLiteral("GetInput")).toText(), QStringLiteral("Legenda"));
}
