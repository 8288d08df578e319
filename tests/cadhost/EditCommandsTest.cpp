// The window's editing commands as the user runs them at the prompt line: "_move", "_copy",
// "_rotate", "_scale" and "_line" with typed and clicked points, the geometry after each, one undo
// step each (also typed with pauses), Escape in the middle; block references keep their attributes and dynamic properties;
// a typed point at an object prompt selects; selected texts and fills show a highlight; a cancelled
// pick leaves the Polish mark.
#include "HostFixture.h"
#include "platform/cad/engine/DynamicBlocks.h"
#include "platform/ui/core/Prompt.h"
#include "cadhost/PropertiesDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>
#include <cmath>
#include <numbers>

using namespace cad::db;
using cad::Point;

namespace {

bool near(const Point3& p, double x, double y, double tolerance = 1e-6) {
    return std::abs(p.x - x) < tolerance && std::abs(p.y - y) < tolerance;
}
// A clicked point is as exact as a pixel of the view.
constexpr double Pixel = 0.3;

}  // namespace

class EditCommandsTest : public QObject {
    Q_OBJECT

    static cad::ObjectId add(HostFixture& h, const QString& member, std::initializer_list<cad::Variant> args) {
        return h.invoke(h.model.blockId(h.doc(), h.ms()), member, args).toObject();
    }
    static Entity* entity(HostFixture& h, cad::ObjectId id) {
        return static_cast<Entity*>(h.model.record(id).object);
    }
    static const LineData& line(HostFixture& h, cad::ObjectId id) { return entity(h, id)->as<LineData>(); }
    // A line from (10, 10) to (30, 10), shown from (0, 0) to (100, 100), snapping off.
    static cad::ObjectId prepare(HostFixture& h) {
        const cad::ObjectId id = add(h, QStringLiteral("AddLine"), {Point{10, 10, 0}, Point{30, 10, 0}});
        h.model.closeUndoSteps();
        h.changed();
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
        return id;
    }
    static void type(HostFixture& h, std::initializer_list<const char*> inputs) {
        for (const char* t : inputs) h.window->submitText(QString::fromUtf8(t));
    }
    static void undo(HostFixture& h) { PressKey(h.view(), Qt::Key_Z, Qt::ControlModifier); }

private slots:
    void moveSelectsByTypedPointAndIsOneStep() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        h.window->submitText(QStringLiteral("_move"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Wybierz obiekty:"));
        QCOMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Select);
        // A typed point on the line selects it, as a click there would.
        h.window->submitText(QStringLiteral("20,10"));
        QCOMPARE(h.view()->selection().size(), 1);
        h.window->submitText(QString());
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ punkt bazowy:"));
        h.window->submitText(QStringLiteral("10,10"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ drugi punkt:"));
        // The second point clicked in the view, relative input is the typed form of the same.
        h.moveAndClick(h.at(15, 15));
        QVERIFY(near(line(h, id).start, 15, 15, Pixel) && near(line(h, id).end, 35, 15, Pixel));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QVERIFY(h.view()->selection().isEmpty());
        QVERIFY(!h.doc()->saved);
        undo(h);
        QVERIFY(near(line(h, id).start, 10, 10) && near(line(h, id).end, 30, 10));
        QCOMPARE(h.ms()->count(), 1);  // one step: the line itself stays

        // Escape before the second point changes nothing and leaves the Polish mark.
        h.view()->select({entity(h, id)});
        type(h, {"_move", "10,10"});
        PressKey(h.view(), Qt::Key_Escape);
        QCOMPARE(h.model.lastPrompt, QStringLiteral("*Anulowano*"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QVERIFY(near(line(h, id).start, 10, 10));
        // Nothing selected: the command says so and ends.
        type(h, {"_move", ""});
        QCOMPARE(h.window->messageText(), QStringLiteral("Nie wybrano obiektów."));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
    }

    void copyRepeatsUntilEnter() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        h.view()->select({entity(h, id)});
        type(h, {"_copy", "0,0", "0,10", "@0,20"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ drugi punkt lub [Zakończ] <Zakończ>:"));
        h.window->submitText(QString());
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(h.ms()->count(), 3);
        QVERIFY(near(h.ms()->item(1)->as<LineData>().start, 10, 20));
        QVERIFY(near(h.ms()->item(2)->as<LineData>().end, 30, 30));
        QVERIFY(near(line(h, id).start, 10, 10));
        undo(h);
        QCOMPARE(h.ms()->count(), 1);
        // Escape after a copy keeps it, as one step too.
        h.view()->select({entity(h, id)});
        type(h, {"_copy", "0,0", "5,5"});
        PressKey(h.view(), Qt::Key_Escape);
        QCOMPARE(h.ms()->count(), 2);
        undo(h);
        QCOMPARE(h.ms()->count(), 1);
    }

    void rotateByAngleAndByReference() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        h.view()->select({entity(h, id)});
        type(h, {"_rotate", "10,10", "90"});
        QVERIFY(near(line(h, id).start, 10, 10) && near(line(h, id).end, 10, 30));
        // The reference: the line's own direction (two points) is to become 45 degrees.
        h.view()->select({entity(h, id)});
        type(h, {"_rotate", "10,10"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ kąt obrotu lub [Odniesienie]:"));
        type(h, {"O"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ kąt odniesienia <0>:"));
        type(h, {"10,10", "10,30"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ nowy kąt:"));
        type(h, {"45"});
        const double d = 20 / std::sqrt(2.0);
        QVERIFY(near(line(h, id).end, 10 + d, 10 + d));
        undo(h);
        QVERIFY(near(line(h, id).end, 10, 30));
        // Escape at the angle changes nothing.
        h.view()->select({entity(h, id)});
        type(h, {"_rotate", "0,0"});
        PressKey(h.window->promptInput(), Qt::Key_Escape);
        QVERIFY(near(line(h, id).end, 10, 30));
        QCOMPARE(h.model.lastPrompt, QStringLiteral("*Anulowano*"));
    }

    void scaleByFactorAndByPoint() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        h.view()->select({entity(h, id)});
        type(h, {"_scale", "10,10", "2,5"});  // a point: its distance is the factor
        QVERIFY(near(line(h, id).end, 10 + 20 * std::hypot(8.0, 5.0), 10));
        undo(h);
        h.view()->select({entity(h, id)});
        type(h, {"_scale", "10,10", "-1"});
        QCOMPARE(h.window->messageText(), QStringLiteral("Współczynnik skali musi być liczbą dodatnią."));
        type(h, {"0.5"});
        QVERIFY(near(line(h, id).end, 20, 10));
        undo(h);
        QVERIFY(near(line(h, id).end, 30, 10));
        h.view()->select({entity(h, id)});
        type(h, {"_scale", "10,10"});
        PressKey(h.view(), Qt::Key_Escape);
        QVERIFY(near(line(h, id).end, 30, 10));
    }

    void lineChainsClosesAndTakesBack() {
        HostFixture h;
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
        type(h, {"_line", "0,0", "10,0"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ następny punkt lub [Cofaj]:"));
        type(h, {"10,10"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ następny punkt lub [Zamknij/Cofaj]:"));
        type(h, {"Cofaj"});
        QCOMPARE(h.ms()->count(), 1);
        h.moveAndClick(h.at(20, 20));
        type(h, {"@-20,0", "Z"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(h.ms()->count(), 4);
        QVERIFY(near(h.ms()->item(3)->as<LineData>().start, 0, 20, Pixel));
        QVERIFY(near(h.ms()->item(3)->as<LineData>().end, 0, 0));
        undo(h);
        QCOMPARE(h.ms()->count(), 0);
        // Escape keeps what is drawn, as one step.
        type(h, {"_line", "0,0", "10,0", "10,10"});
        PressKey(h.view(), Qt::Key_Escape);
        QCOMPARE(h.ms()->count(), 2);
        QCOMPARE(h.model.lastPrompt, QStringLiteral("*Anulowano*"));
        undo(h);
        QCOMPARE(h.ms()->count(), 0);
    }

    // Typed with pauses longer than the programs' quiet time, a command is still one step; a
    // cancel before it is no news when it ends well.
    void commandsTypedWithPausesAreOneStep() {
        HostFixture h;
        h.listen();
        const cad::ObjectId id = prepare(h);
        type(h, {"_zoom"});
        PressKey(h.view(), Qt::Key_Escape);
        QCOMPARE(h.window->statusBar()->currentMessage(), QStringLiteral("*Anulowano*"));
        // A program's change after it brings the mark back no more.
        h.window->statusBar()->clearMessage();
        add(h, QStringLiteral("AddLine"), {Point{50, 50, 0}, Point{60, 60, 0}});
        h.model.closeUndoSteps();
        QTest::qWait(250);
        QVERIFY(h.window->statusBar()->currentMessage().isEmpty());
        auto typeSlowly = [&h](std::initializer_list<const char*> inputs) {
            for (const char* t : inputs) {
                h.window->submitText(QString::fromUtf8(t));
                QTest::qWait(400);
            }
        };
        h.view()->select({entity(h, id)});
        typeSlowly({"_copy", "0,0", "0,10", "0,20", "0,30", ""});
        QCOMPARE(h.ms()->count(), 5);
        QVERIFY(h.window->statusBar()->currentMessage().isEmpty());
        undo(h);
        QCOMPARE(h.ms()->count(), 2);
        typeSlowly({"_line", "0,0", "10,0", "10,10", "Cofaj", "20,20", "0,20", "Z"});
        QCOMPARE(h.ms()->count(), 6);
        QVERIFY(h.window->statusBar()->currentMessage().isEmpty());
        undo(h);
        QCOMPARE(h.ms()->count(), 2);
        QVERIFY(near(line(h, id).start, 10, 10));
    }

    void blocksKeepAttributesAndDynamicProperties() {
        HostFixture h;
        Database& db = h.db();
        BlockDefinition* block = db.addBlock(QStringLiteral("S-1"));
        db.addLine(block, {-5, 0, 0}, {5, 0, 0});
        const cad::ObjectId blockId = h.model.blockId(h.doc(), block);
        h.invoke(blockId, QStringLiteral("AddAttribute"),
                 {2.0, 0, QStringLiteral("NAZWA"), Point{0, 3, 0}, QStringLiteral("NAZWA"), QStringLiteral("S1")});
        // A dynamic block whose length property stretches its line's end.
        BlockDefinition* arrow = db.addBlock(QStringLiteral("PF a-b"));
        db.addLine(arrow, {0, 0, 0}, {10, 0, 0});
        DynamicDefinition def;
        def.properties = {{QStringLiteral("Długość"), 10}};
        DynamicAction stretch;
        stretch.property = QStringLiteral("Długość");
        stretch.vertices = {{0, 1}};
        def.actions = {stretch};
        WriteDynamicDefinition(db, arrow, def);
        const cad::ObjectId ref =
            add(h, QStringLiteral("InsertBlock"), {Point{20, 20, 0}, QStringLiteral("S-1"), 1.0, 1.0, 1.0, 0.0});
        const cad::ObjectId dyn =
            add(h, QStringLiteral("InsertBlock"), {Point{50, 50, 0}, QStringLiteral("PF a-b"), 1.0, 1.0, 1.0, 0.0});
        SetDynamicProperty(db, entity(h, dyn), 0, 25);
        const QString anonymous = entity(h, dyn)->as<InsertData>().blockName;
        h.model.closeUndoSteps();
        h.changed();
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);

        h.view()->select({entity(h, ref), entity(h, dyn)});
        type(h, {"_move", "0,0", "10,-5"});
        const auto& ins = entity(h, ref)->as<InsertData>();
        QVERIFY(near(ins.position, 30, 15));
        QCOMPARE(int(ins.attributes.size()), 1);
        QVERIFY(near(ins.attributes[0]->textData()->position, 30, 18));
        QCOMPARE(ins.attributes[0]->textData()->text, QStringLiteral("S1"));
        const auto& d = entity(h, dyn)->as<InsertData>();
        QVERIFY(near(d.position, 60, 45));
        QCOMPARE(d.blockName, anonymous);
        QCOMPARE(d.effectiveName, QStringLiteral("PF a-b"));
        QCOMPARE(d.dynamicProperties.size(), size_t(1));
        QCOMPARE(d.dynamicProperties[0].second, 25.0);

        // A copy carries its own attributes and the same properties.
        h.view()->select({entity(h, ref), entity(h, dyn)});
        type(h, {"_copy", "0,0", "0,30", ""});
        QCOMPARE(h.ms()->count(), 4);
        const auto& refCopy = h.ms()->item(2)->as<InsertData>();
        QCOMPARE(int(refCopy.attributes.size()), 1);
        QVERIFY(refCopy.attributes[0] != ins.attributes[0]);
        QVERIFY(near(refCopy.attributes[0]->textData()->position, 30, 48));
        const auto& dynCopy = h.ms()->item(3)->as<InsertData>();
        QCOMPARE(dynCopy.effectiveName, QStringLiteral("PF a-b"));
        QCOMPARE(dynCopy.dynamicProperties[0].second, 25.0);
        // Rotated, the attribute turns with its reference.
        h.view()->select({entity(h, ref)});
        type(h, {"_rotate", "30,15", "90"});
        QVERIFY(near(ins.attributes[0]->textData()->position, 27, 15));
    }

    void selectedTextsAndFillsShowAHighlight() {
        HostFixture h;
        Database& db = h.db();
        const cad::ObjectId text = add(h, QStringLiteral("AddText"), {QStringLiteral("L=12,5"), Point{10, 10, 0}, 5.0});
        Entity* hatch = db.addHatch(h.ms(), 1, QStringLiteral("SOLID"), false);
        HatchLoop loop;
        loop.flags = 3;
        loop.vertices = {{60, 60}, {90, 60}, {90, 90}, {60, 90}};
        hatch->as<HatchData>().loops.push_back(loop);
        hatch->color = 3;
        h.changed();
        h.zoomTo(0, 0, 100, 100);
        const QImage plain = h.view()->renderImage();
        auto differsIn = [&](double x0, double y0, double x1, double y1) {
            const QImage now = h.view()->renderImage();
            const QRect r = QRectF(h.view()->toScreen({x0, y0, 0}), h.view()->toScreen({x1, y1, 0}))
                                .normalized()
                                .toRect();
            return now.copy(r) != plain.copy(r);
        };
        h.view()->select({entity(h, text)});
        QVERIFY(differsIn(5, 5, 50, 20));
        QVERIFY(!differsIn(55, 55, 95, 95));
        h.view()->clearSelection();
        h.view()->select({hatch});
        // Inside the fill, away from its edges: paler.
        const QImage now = h.view()->renderImage();
        const QPoint mid = h.at(75, 75);
        QVERIFY(now.pixelColor(mid) != plain.pixelColor(mid));
        QVERIFY(!differsIn(5, 5, 50, 20));
    }

    void textAndMTextTakeHeightAngleAndFreeText() {
        HostFixture h;
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
        type(h, {"_text", "10,10"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ wysokość <2.5>:"));
        type(h, {"5", "90"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Wpisz tekst:"));
        // Space and the decimal comma belong to the text here.
        PressKey(h.window->promptInput(), Qt::Key_Space);
        QCOMPARE(h.window->promptText(), QStringLiteral("Wpisz tekst:"));
        h.window->promptInput()->clear();
        h.window->submitText(QStringLiteral("L = 12,5 m"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(h.ms()->count(), 1);
        const auto& t = *h.ms()->item(0)->textData();
        QCOMPARE(t.text, QStringLiteral("L = 12,5 m"));
        QCOMPARE(t.height, 5.0);
        QVERIFY(std::abs(t.rotation - std::numbers::pi / 2) < 1e-9);
        QVERIFY(near(t.position, 10, 10));
        // The height given is offered next time.
        type(h, {"_text", "0,0"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ wysokość <5>:"));
        PressKey(h.view(), Qt::Key_Escape);
        QCOMPARE(h.ms()->count(), 1);
        undo(h);
        QCOMPARE(h.ms()->count(), 0);

        type(h, {"_mtext", "0,50", "W", "3", "O", "0", "40,30"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Wpisz tekst:"));
        h.window->submitText(QStringLiteral("Faza 1, 2"));
        QCOMPARE(h.ms()->count(), 1);
        const auto& m = h.ms()->item(0)->as<MTextData>();
        QCOMPARE(m.text, QStringLiteral("Faza 1, 2"));
        QCOMPARE(m.height, 3.0);
        QCOMPARE(m.width, 40.0);
        QVERIFY(near(m.position, 0, 50));
    }

    void ddeditAndDoubleClickEditTextsAndAttributes() {
        HostFixture h;
        ui::ScriptedPrompts prompts;
        Database& db = h.db();
        add(h, QStringLiteral("AddText"), {QStringLiteral("1.0"), Point{10, 10, 0}, 6.0});
        BlockDefinition* block = db.addBlock(QStringLiteral("S-1"));
        db.addLine(block, {-5, 0, 0}, {5, 0, 0});
        h.invoke(h.model.blockId(h.doc(), block), QStringLiteral("AddAttribute"),
                 {4.0, 0, QStringLiteral("NAZWA"), Point{0, 3, 0}, QStringLiteral("NAZWA"), QStringLiteral("S1")});
        const cad::ObjectId ref =
            add(h, QStringLiteral("InsertBlock"), {Point{60, 60, 0}, QStringLiteral("S-1"), 1.0, 1.0, 1.0, 0.0});
        h.model.closeUndoSteps();
        h.changed();
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);

        prompts.answerInput(QStringLiteral("2.5"));
        type(h, {"_ddedit"});
        QCOMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Entity);
        h.moveAndClick(h.at(13, 12));
        QCOMPARE(h.ms()->item(0)->textData()->text, QStringLiteral("2.5"));
        QCOMPARE(prompts.asked().size(), size_t(1));
        QCOMPARE(h.window->promptText(), QStringLiteral("Wybierz tekst lub atrybut:"));
        h.window->submitText(QString());
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        undo(h);
        QCOMPARE(h.ms()->item(0)->textData()->text, QStringLiteral("1.0"));

        // A double-click on the block reference edits its attribute.
        prompts.answerInput(QStringLiteral("S2"));
        QTest::mouseDClick(h.view(), Qt::LeftButton, Qt::NoModifier, h.at(60, 60));
        Entity* attribute = entity(h, ref)->as<InsertData>().attributes[0];
        QCOMPARE(attribute->textData()->text, QStringLiteral("S2"));
        undo(h);
        QCOMPARE(attribute->textData()->text, QStringLiteral("S1"));
        QCOMPARE(prompts.unexpected(), 0);
    }

    void propertiesSetLayerColourAndLinetypeAsOneStep() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        const cad::ObjectId circle = add(h, QStringLiteral("AddCircle"), {Point{60, 60, 0}, 5.0});
        h.invoke(h.doc()->layersId, QStringLiteral("Add"), {QStringLiteral("113-STRUMIENIE_RUCHU")});
        h.model.closeUndoSteps();
        h.changed();
        QStringList shown;
        // The window is modal: it is answered as soon as it shows.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<cadhost::PropertiesDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            shown << dialog->layer()->currentText() << dialog->color()->currentText();
            dialog->layer()->setCurrentText(QStringLiteral("113-STRUMIENIE_RUCHU"));
            dialog->color()->setCurrentText(QStringLiteral("3 zielony"));
            dialog->accept();
        });
        type(h, {"_properties", "20,10", "60,65", ""});
        QCOMPARE(shown, (QStringList{QStringLiteral("0"), QStringLiteral("DLA WARSTWY")}));
        QCOMPARE(h.window->messageText(), QStringLiteral("Zmieniono właściwości obiektów: 2."));
        for (cad::ObjectId e : {id, circle}) {
            QCOMPARE(entity(h, e)->layer(), QStringLiteral("113-STRUMIENIE_RUCHU"));
            QCOMPARE(entity(h, e)->color, 3);
            QCOMPARE(entity(h, e)->linetype.toUpper(), QStringLiteral("BYLAYER"));  // left as it was
        }
        undo(h);
        QCOMPARE(entity(h, id)->layer(), QStringLiteral("0"));
        QCOMPARE(entity(h, circle)->color, 256);
        QCOMPARE(h.ms()->count(), 2);
    }

    void circleFollowsTheCursorWhileItsRadiusIsAsked() {
        HostFixture h;
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
        h.window->submitText(QStringLiteral("_circle"));
        h.moveAndClick(h.at(50, 50));
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Określ promień okręgu lub [Średnica]:"));
        QTest::mouseMove(h.view(), h.at(70, 50));
        // The top of the circle, away from the rubber band: lit only by the preview.
        auto litAt = [&](double x, double y) {
            const QImage img = h.view()->grab().toImage();
            const QPoint at = h.at(x, y);
            int best = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) best = std::max(best, img.pixelColor(at + QPoint(dx, dy)).lightness());
            return best > 120;
        };
        QTRY_VERIFY(litAt(50, 70));
        QVERIFY(!litAt(50, 80));
        h.window->submitText(QStringLiteral("D"));
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Określ średnicę okręgu:"));
        QTest::mouseMove(h.view(), h.at(70, 50));
        QTRY_VERIFY(litAt(50, 60));
        PressKey(h.view(), Qt::Key_Escape);
        QTRY_VERIFY(!litAt(50, 60));
    }

    void gripsShowAndDragOnePoint() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        h.moveAndClick(h.at(25, 10));
        QCOMPARE(h.view()->selection().size(), 1);
        // The grips are drawn (blue squares) and found under the cursor.
        const QColor end = h.view()->grab().toImage().pixelColor(h.at(30, 10));
        QVERIFY(end.blue() > 200 && end.red() < 120);
        QVERIFY(h.view()->gripAt(h.view()->toScreen({30, 10, 0})).has_value());
        h.moveAndClick(h.at(30, 10));
        QCOMPARE(h.window->promptText(), QStringLiteral("** ROZCIĄGNIJ ** Określ punkt rozciągnięcia:"));
        h.window->submitText(QStringLiteral("40,20"));
        QVERIFY(near(line(h, id).start, 10, 10) && near(line(h, id).end, 40, 20));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        undo(h);
        QVERIFY(near(line(h, id).end, 30, 10));
        QCOMPARE(h.ms()->count(), 1);
        // Escape leaves the line as it was; the middle grip carries the whole line.
        h.view()->select({entity(h, id)});
        h.moveAndClick(h.at(20, 10));
        PressKey(h.view(), Qt::Key_Escape);
        QVERIFY(near(line(h, id).start, 10, 10) && near(line(h, id).end, 30, 10));
        QCOMPARE(h.model.lastPrompt, QStringLiteral("*Anulowano*"));
        h.view()->select({entity(h, id)});
        h.moveAndClick(h.at(20, 10));
        h.window->submitText(QStringLiteral("@0,20"));
        QVERIFY(near(line(h, id).start, 10, 30) && near(line(h, id).end, 30, 30));
    }

    void typedPointAnswersAProgramsObjectPick() {
        HostFixture h;
        prepare(h);
        cad::InputRequest rq;
        rq.prompt = QStringLiteral("Wybierz obiekt:");
        rq.wanted = cad::InputRequest::AnEntity;
        cad::Input answer;
        h.interaction.beginPick(rq, [&](const cad::Input& in) { answer = in; }, this);
        h.window->submitText(QStringLiteral("20,10"));
        QCOMPARE(answer.kind, cad::Input::EntityInput);
        QCOMPARE(answer.handle, h.ms()->item(0)->handleText());
    }
};

QTEST_MAIN(EditCommandsTest)
#include "EditCommandsTest.moc"
