// Commands sent as text: they return at once, run on the inputs of the script, and leave the
// entity the command makes last in model space with the quiescent state and the last prompt as polled.
#include "ModelFixture.h"

#include "platform/cad/engine/Database.h"
#include "platform/cad/model/CommandProcessor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <numbers>

using namespace cadtest;

class CadModelCommand : public ModelTest {
protected:
    bool quiescent() { return app.getAcadState().isQuiescent(); }
    QString lastPrompt() { return doc.getVariable(QStringLiteral("LASTPROMPT")).toText(); }
    void makeHead() {
        const cad::Block head = doc.blocks().add({0, 0, 0}, QStringLiteral("S-1"));
        head.addCircle({0, 0, 0}, 1);
        head.addAttribute(3.5, 9, QString(), {0, 0, 0}, QStringLiteral("OBIEKT"),
                          QStringLiteral("SYGNALIZATOR"));
        head.addAttribute(3.5, 9, QString(), {0, 0, 0}, QStringLiteral("RODZAJ"), QString());
    }
};
CADMODEL_CHANNELS(CadModelCommand);

TEST_P(CadModelCommand, ArcRunsStepByStepAsInputsArrive) {
    // A cancel mark left by an earlier pick must not end the new command at once.
    EXPECT_THROW(doc.utility().getPoint(QStringLiteral("Wskaż")), cad::Cancelled);
    ASSERT_TRUE(lastPrompt().contains(QStringLiteral("*Cancel*")));

    const int before = ms.count();
    doc.sendCommand(QStringLiteral("_arc\r"));
    EXPECT_FALSE(quiescent());
    EXPECT_TRUE(lastPrompt().isEmpty());

    script.point(0, 0);
    pump();
    EXPECT_FALSE(quiescent());  // waiting for the second point
    EXPECT_EQ(ms.count(), before);
    // The drawing window learns what is asked and where its rubber band starts.
    const auto rq = model.commands().currentRequest();
    ASSERT_TRUE(rq.has_value());
    EXPECT_EQ(rq->prompt, lastPrompt());
    EXPECT_EQ(rq->basePoint, std::optional<cad::Point>(cad::Point{0, 0, 0}));
    script.point(1, 1).point(2, 0);
    pump();
    ASSERT_TRUE(quiescent());
    EXPECT_FALSE(lastPrompt().contains(QStringLiteral("*Cancel*")));
    ASSERT_EQ(ms.count(), before + 1);
    const cad::Entity arc = ms.item(ms.count() - 1);
    EXPECT_EQ(arc.objectName(), QStringLiteral("AcDbArc"));
    EXPECT_NEAR(arc.center().x, 1, 1e-9);
    EXPECT_NEAR(arc.radius(), 1, 1e-9);
    // Picked clockwise, so the counter-clockwise arc runs from the last point to the first.
    EXPECT_NEAR(arc.startAngle(), 0, 1e-9);
    EXPECT_NEAR(arc.endAngle(), std::numbers::pi, 1e-9);
    EXPECT_EQ(doc.getVariable(QStringLiteral("LASTPOINT")).toPoint(), (cad::Point{2, 0, 0}));
}

TEST_P(CadModelCommand, ArcByStartCentreEndAndCentreStartEnd) {
    // Start, "Center" at the second prompt, centre, end: counter-clockwise from the start.
    doc.sendCommand(QStringLiteral("_arc\r"));
    script.point(2, 0).text(QStringLiteral("_C")).point(0, 0).point(0, 5);
    pump();
    ASSERT_TRUE(quiescent());
    cad::Entity arc = ms.item(ms.count() - 1);
    EXPECT_EQ(arc.objectName(), QStringLiteral("AcDbArc"));
    EXPECT_NEAR(arc.radius(), 2, 1e-9);
    EXPECT_NEAR(arc.startAngle(), 0, 1e-9);
    EXPECT_NEAR(arc.endAngle(), std::numbers::pi / 2, 1e-9);

    // "Center" at the first prompt asks centre, start, end; the arc may pass angle 0.
    doc.sendCommand(QStringLiteral("_arc\r"));
    script.text(QStringLiteral("_C")).point(10, 10).point(10, 7).point(13, 10);
    pump();
    ASSERT_TRUE(quiescent());
    arc = ms.item(ms.count() - 1);
    EXPECT_NEAR(arc.center().x, 10, 1e-9);
    EXPECT_NEAR(arc.radius(), 3, 1e-9);
    EXPECT_NEAR(arc.startAngle(), 3 * std::numbers::pi / 2, 1e-9);
    EXPECT_NEAR(arc.endAngle(), 0, 1e-9);

    // A keyword the prompt does not offer is refused and the prompt stays.
    const int before = ms.count();
    doc.sendCommand(QStringLiteral("_arc\r"));
    script.text(QStringLiteral("_X"));
    pump();
    EXPECT_FALSE(quiescent());
    script.cancel();
    pump();
    EXPECT_EQ(ms.count(), before);
}

TEST_P(CadModelCommand, CancelledArcLeavesNothing) {
    const int before = ms.count();
    doc.sendCommand(QStringLiteral("_arc\r"));
    script.point(0, 0).cancel();
    pump();
    EXPECT_TRUE(quiescent());
    EXPECT_TRUE(lastPrompt().contains(QStringLiteral("*Cancel*")));
    EXPECT_EQ(ms.count(), before);
}

TEST_P(CadModelCommand, PolylineCancelledAfterTwoSegmentsStays) {
    doc.sendCommand(QStringLiteral("_pline\r"));
    script.point(0, 0).point(10, 0).point(10, 10);
    pump();
    EXPECT_FALSE(quiescent());
    EXPECT_EQ(ms.count(), 0);
    script.cancel();
    pump();
    ASSERT_TRUE(quiescent());
    EXPECT_TRUE(lastPrompt().contains(QStringLiteral("*Cancel*")));
    ASSERT_EQ(ms.count(), 1);
    const cad::Entity pl = ms.item(0);
    EXPECT_EQ(pl.objectName(), QStringLiteral("AcDbPolyline"));
    EXPECT_EQ(pl.coordinates(), (QList<cad::Point>{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}));
    EXPECT_EQ(pl.explode().size(), 2);
    EXPECT_EQ(doc.getVariable(QStringLiteral("LASTPOINT")).toPoint(), (cad::Point{10, 10, 0}));
}

TEST_P(CadModelCommand, PolylineArcSegmentsAreTangent) {
    doc.sendCommand(QStringLiteral("_pline\r"));
    script.point(0, 0)
        .point(10, 0)
        .text(QStringLiteral("_A"))
        .point(10, 10)
        .text(QStringLiteral("_L"))
        .point(0, 10)
        .enter();
    pump();
    ASSERT_TRUE(quiescent());
    EXPECT_FALSE(lastPrompt().contains(QStringLiteral("*Cancel*")));
    const cad::Entity pl = ms.item(ms.count() - 1);
    EXPECT_DOUBLE_EQ(pl.bulge(0), 0);
    EXPECT_NEAR(pl.bulge(1), 1.0, 1e-12);  // a half circle continuing the +X direction
    EXPECT_DOUBLE_EQ(pl.bulge(2), 0);
    const QList<cad::Entity> parts = pl.explode();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[1].objectName(), QStringLiteral("AcDbArc"));
    EXPECT_NEAR(parts[1].center().y, 5, 1e-9);
}

TEST_P(CadModelCommand, CircleFromCentreAndPointOrTypedRadius) {
    doc.sendCommand(QStringLiteral("_circle\r"));
    script.point(5, 5).point(8, 9);
    pump();
    ASSERT_TRUE(quiescent());
    cad::Entity c = ms.item(ms.count() - 1);
    EXPECT_EQ(c.objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_NEAR(c.radius(), 5, 1e-12);

    doc.sendCommand(QStringLiteral("_circle\r"));
    script.point(0, 0)
        .text(QStringLiteral("-1"))
        .text(QStringLiteral("2,5"));  // a refused radius is asked again
    pump();
    ASSERT_TRUE(quiescent());
    c = ms.item(ms.count() - 1);
    EXPECT_NEAR(c.radius(), 2.5, 1e-12);
    EXPECT_EQ(ms.count(), 2);
}

TEST_P(CadModelCommand, InsertHeadWithScaleThenPointAndRotation) {
    makeHead();
    doc.sendCommand(QStringLiteral("_-insert\rS-1\rS\r5\r"));
    EXPECT_FALSE(quiescent());
    script.point(100, 100).point(100, 200);  // insertion point, then the rotation towards (100, 200)
    pump();
    ASSERT_TRUE(quiescent());
    const cad::Entity ref = ms.item(ms.count() - 1);
    EXPECT_EQ(ref.name(), QStringLiteral("S-1"));
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 5);
    EXPECT_DOUBLE_EQ(ref.yScaleFactor(), 5);
    EXPECT_NEAR(ref.rotation(), std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(ref.insertionPoint(), (cad::Point{100, 100, 0}));
    const QList<cad::Entity> atts = ref.attributes();
    ASSERT_EQ(atts.size(), 2);
    EXPECT_EQ(atts[0].textString(), QStringLiteral("SYGNALIZATOR"));
}

TEST_P(CadModelCommand, InsertPushButtonWithPresetRotationAndScales) {
    doc.blocks().add({0, 0, 0}, QStringLiteral("sygnprzycisk")).addCircle({0, 0, 0}, 1);
    doc.sendCommand(QStringLiteral("_-insert\rsygnprzycisk\r_R\r90\rX\r2.5\rY\r2.5\r"));
    script.point(7, 8);
    pump();
    ASSERT_TRUE(quiescent());
    const cad::Entity ref = ms.item(ms.count() - 1);
    EXPECT_NEAR(ref.rotation(), std::numbers::pi / 2, 1e-12);
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 2.5);
    EXPECT_DOUBLE_EQ(ref.yScaleFactor(), 2.5);
    EXPECT_EQ(ref.insertionPoint(), (cad::Point{7, 8, 0}));
}

TEST_P(CadModelCommand, InsertCancelledAtThePointLeavesNothing) {
    makeHead();
    doc.sendCommand(QStringLiteral("_-insert\rS-1\rS\r5\r"));
    script.cancel();
    pump();
    EXPECT_TRUE(quiescent());
    EXPECT_TRUE(lastPrompt().contains(QStringLiteral("*Cancel*")));
    EXPECT_EQ(ms.count(), 0);

    doc.sendCommand(QStringLiteral("_-insert\rBRAK\rS\r5\r"));
    pump();
    EXPECT_TRUE(quiescent());
    EXPECT_EQ(ms.count(), 0);
    EXPECT_FALSE(lastPrompt().contains(QStringLiteral("*Cancel*")));
}

TEST_P(CadModelCommand, ViewresAndUnknownCommandsEndWithoutInput) {
    doc.sendCommand(QStringLiteral("_viewres\r_Y\r20000\r"));
    EXPECT_FALSE(quiescent());
    pump();
    EXPECT_TRUE(quiescent());
    EXPECT_TRUE(script.prompts().isEmpty());  // every input came with the text
    EXPECT_EQ(ms.count(), 0);

    doc.sendCommand(QStringLiteral("_nosuch\r"));
    pump();
    EXPECT_TRUE(quiescent());
    EXPECT_TRUE(lastPrompt().contains(QStringLiteral("NOSUCH")));
}

TEST_P(CadModelCommand, ANewCommandEndsTheRunningOne) {
    doc.sendCommand(QStringLiteral("_pline\r"));
    script.point(0, 0).point(5, 0);
    pump();
    doc.sendCommand(QStringLiteral("_circle\r"));  // Escape-like end keeps the polyline
    EXPECT_EQ(ms.count(), 1);
    script.point(0, 0).point(1, 0);
    pump();
    EXPECT_TRUE(quiescent());
    EXPECT_EQ(ms.item(1).objectName(), QStringLiteral("AcDbCircle"));
}

// The event loop drives a command on its own: the way a caller waits for "_circle" to end.
TEST(CadModelCommandLoop, TimerRunsTheCommandWhileTheLoopServes) {
    int argc = 0;
    QCoreApplication qapp(argc, nullptr);
    cad::ObjectModel model;
    cad::ScriptedInteraction script;
    model.setInteraction(&script);
    cad::InProcessChannel channel(model);
    const cad::Application app(&channel);
    const cad::Document doc = app.documents().add();
    script.point(0, 0).point(0, 3);
    doc.sendCommand(QStringLiteral("_circle\r"));
    EXPECT_FALSE(app.getAcadState().isQuiescent());  // returned at once
    QElapsedTimer clock;
    clock.start();
    while (!app.getAcadState().isQuiescent() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(app.getAcadState().isQuiescent());
    EXPECT_NEAR(doc.modelSpace().item(0).radius(), 3, 1e-12);
}

TEST_P(CadModelCommand, PolylineWidthsApplyToTheFollowingSegments) {
    doc.sendCommand(QStringLiteral("_pline\r"));
    // Widths from the second segment on: 2 tapering to 0 (an arrowhead), then 0 onwards.
    script.point(0, 0).point(10, 0).text(QStringLiteral("SZ")).text(QStringLiteral("2")).text(QStringLiteral("0"));
    script.point(14, 0).point(20, 0).enter();
    pump();
    ASSERT_TRUE(quiescent());
    const cad::Entity pl = ms.item(ms.count() - 1);
    const auto& v = static_cast<cad::db::Entity*>(model.record(pl.id()).object)->as<cad::db::LwPolylineData>().vertices;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].startWidth, 0);
    EXPECT_EQ(v[1].startWidth, 2);
    EXPECT_EQ(v[1].endWidth, 0);
    EXPECT_EQ(v[2].startWidth, 0);
    EXPECT_EQ(v[2].endWidth, 0);
    // A width is offered as the last one given; a negative one is refused.
    doc.sendCommand(QStringLiteral("_pline\r"));
    script.point(0, 10).text(QStringLiteral("_W")).text(QStringLiteral("-1"));
    pump();
    EXPECT_EQ(model.commands().currentPrompt(), QStringLiteral("Określ szerokość początkową <0>:"));
    script.text(QStringLiteral("1.5")).enter().point(5, 10).enter();
    pump();
    ASSERT_TRUE(quiescent());
    const cad::Entity second = ms.item(ms.count() - 1);
    const auto& w = static_cast<cad::db::Entity*>(model.record(second.id()).object)->as<cad::db::LwPolylineData>().vertices;
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].startWidth, 1.5);
    EXPECT_EQ(w[0].endWidth, 1.5);
}
