// The window's editing commands as the user runs them at the prompt line: "_move", "_copy",
// "_rotate", "_scale" and "_line" with typed and clicked points, the geometry after each, one undo
// step each (also typed with pauses), Escape in the middle; block references keep their attributes and dynamic properties;
// a typed point at an object prompt selects; selected texts and fills show a highlight; a cancelled
// pick leaves the Polish mark.
#include "HostFixture.h"
#include "platform/cad/engine/DynamicBlocks.h"
#include "platform/ui/core/Prompt.h"
#include "cadhost/MTextEditor.h"
#include "cadhost/PropertiesDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <QTimer>

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
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
    // Keys typed into a widget one by one, a line break as Enter.
    static void typeInto(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            const bool enter = c == QLatin1Char('\n');
            QKeyEvent press(QEvent::KeyPress, enter ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                            enter ? QStringLiteral("\r") : QString(c));
            QCoreApplication::sendEvent(w, &press);
        }
    }
    // The multiline text box, when it shows: what it shows is kept, `act` types, OK is clicked.
    static void answerBox(QString& shown, std::function<void(QPlainTextEdit*)> act) {
        auto* wait = new QTimer;
        wait->start(10);
        QObject::connect(wait, &QTimer::timeout, [wait, &shown, act] {
            auto* box = qobject_cast<cadhost::MTextEditor*>(QApplication::activeModalWidget());
            if (!box) return;
            wait->deleteLater();
            wait->stop();
            shown = box->text();
            act(box->editor());
            auto* buttons = box->findChild<QDialogButtonBox*>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
    }

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

        // The second corner opens the box; its lines are typed with Enter between them.
        QString shown;
        answerBox(shown, [](QPlainTextEdit* edit) { typeInto(edit, QStringLiteral("Faza 1, 2\nFaza {3}")); });
        type(h, {"_mtext", "0,50", "W", "3", "O", "0", "40,30"});
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(shown, QString());
        QCOMPARE(h.ms()->count(), 1);
        const auto& m = h.ms()->item(0)->as<MTextData>();
        QCOMPARE(m.text, QStringLiteral("Faza 1, 2\\PFaza \\{3\\}"));
        QCOMPARE(m.height, 3.0);
        QCOMPARE(m.width, 40.0);
        QVERIFY(near(m.position, 0, 50));
    }

    void ddeditEditsAMultilineTextsLinesKeepingItsCodes() {
        HostFixture h;
        add(h, QStringLiteral("AddMText"), {Point{10, 50, 0}, 40.0, QStringLiteral("{\\C1;Faza 1}\\PFaza 2")});
        h.model.closeUndoSteps();
        h.changed();
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
        // The box shows the lines, not the codes; the user turns "2" into "3".
        QString shown;
        answerBox(shown, [](QPlainTextEdit* edit) {
            edit->moveCursor(QTextCursor::End);
            PressKey(edit, Qt::Key_Backspace);
            typeInto(edit, QStringLiteral("3"));
        });
        type(h, {"_ddedit"});
        h.moveAndClick(h.view()->toScreen(h.ms()->item(0)->as<MTextData>().position).toPoint() + QPoint(8, 4));
        QCOMPARE(shown, QStringLiteral("Faza 1\nFaza 2"));
        QCOMPARE(h.ms()->item(0)->as<MTextData>().text, QStringLiteral("{\\C1;Faza 1}\\PFaza 3"));
        type(h, {""});
        undo(h);
        QCOMPARE(h.ms()->item(0)->as<MTextData>().text, QStringLiteral("{\\C1;Faza 1}\\PFaza 2"));
        // Codes inside a changed stretch stay; a line removed takes its break with it.
        QCOMPARE(cadhost::MTextWithCodes(QStringLiteral("{\\C1;red} rest"), QStringLiteral("blue rest")),
                 QStringLiteral("{\\C1;blue} rest"));
        QCOMPARE(cadhost::MTextWithCodes(QStringLiteral("a\\Pb\\H2;c"), QStringLiteral("a")),
                 QStringLiteral("a\\H2;"));
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
        h.window->submitText(QStringLiteral("Ś"));
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
        // Pressed on a grip, dragged and let go: the point goes where the button was let go.
        h.view()->select({entity(h, id)});
        QTest::mouseMove(h.view(), h.at(30, 30));
        QTest::mousePress(h.view(), Qt::LeftButton, Qt::NoModifier, h.at(30, 30));
        QTest::mouseMove(h.view(), h.at(35, 38));
        QTest::mouseMove(h.view(), h.at(40, 45));
        QTest::mouseRelease(h.view(), Qt::LeftButton, Qt::NoModifier, h.at(40, 45));
        QVERIFY(near(line(h, id).start, 10, 30) && near(line(h, id).end, 40, 45, Pixel));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        // A click elsewhere afterwards moves nothing; one undo takes the drag back.
        h.moveAndClick(h.at(80, 80));
        QVERIFY(near(line(h, id).end, 40, 45, Pixel));
        PressKey(h.view(), Qt::Key_Escape);
        undo(h);
        QVERIFY(near(line(h, id).start, 10, 30) && near(line(h, id).end, 30, 30));
    }

    void menusAndToolbarRunTheCommands() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        auto entries = [&](const char* name) {
            QStringList out;
            for (QAction* a : h.window->findChild<QMenu*>(QLatin1String(name))->actions()) out << a->text();
            return out;
        };
        QCOMPARE(entries("mnuRysuj"),
                 (QStringList{QStringLiteral("&Linia\t_line"), QStringLiteral("&Polilinia\t_pline"),
                              QStringLiteral("Ł&uk\t_arc"), QStringLiteral("&Okrąg\t_circle"),
                              QStringLiteral("&Tekst\t_text"), QStringLiteral("Tekst &wielowierszowy\t_mtext")}));
        QCOMPARE(entries("mnuZmiana"),
                 (QStringList{QStringLiteral("&Przesuń\t_move"), QStringLiteral("&Kopiuj\t_copy"),
                              QStringLiteral("&Obróć\t_rotate"), QStringLiteral("&Skaluj\t_scale"),
                              QStringLiteral("&Usuń\t_erase"), QStringLiteral("&Edytuj tekst\t_ddedit"),
                              QStringLiteral("&Właściwości\t_properties")}));
        // Rysuj → Linia, clicked in the menu bar and in the menu.
        QMenuBar* bar = h.window->menuBar();
        QMenu* draw = h.window->findChild<QMenu*>(QStringLiteral("mnuRysuj"));
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(draw->menuAction()).center());
        QTRY_VERIFY(draw->isVisible());
        QTest::mouseClick(draw, Qt::LeftButton, Qt::NoModifier, draw->actionGeometry(draw->actions()[0]).center());
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Określ pierwszy punkt:"));
        // The toolbar's Przesuń ends the line command and moves the line.
        auto* tools = h.window->findChild<QToolBar*>(QStringLiteral("tbCommands"));
        QAction* move = h.window->findChild<QMenu*>(QStringLiteral("mnuZmiana"))->actions()[0];
        QCOMPARE(move->toolTip(), QStringLiteral("Przesuń (_move)"));
        QTest::mouseClick(tools->widgetForAction(move), Qt::LeftButton);
        QCOMPARE(h.window->promptText(), QStringLiteral("Wybierz obiekty:"));
        type(h, {"20,10", "", "0,0", "5,0"});
        QVERIFY(near(line(h, id).start, 15, 10));
        QCOMPARE(h.ms()->count(), 1);
    }

    void snapsToAHeadsInsertionAndOverridesOnePoint() {
        HostFixture h;
        prepare(h);
        BlockDefinition* head = h.db().addBlock(QStringLiteral("S-1"));
        h.db().addLine(head, {-3, -2, 0}, {3, 2, 0});
        add(h, QStringLiteral("InsertBlock"), {Point{60, 60, 0}, QStringLiteral("S-1"), 1.0, 1.0, 1.0, 0.0});
        h.model.closeUndoSteps();
        h.changed();
        // F3 on: a click beside the head takes its insertion point.
        PressKey(h.view(), Qt::Key_F3);
        QVERIFY(h.view()->snapEnabled());
        type(h, {"_line"});
        h.moveAndClick(h.at(60.7, 60.5));
        type(h, {"@10,0", ""});
        QVERIFY(near(h.ms()->item(2)->as<LineData>().start, 60, 60));
        // F3 off: "_end" snaps the next point only; the one after is where it is clicked.
        PressKey(h.view(), Qt::Key_F3);
        type(h, {"_line", "_end"});
        QCOMPARE(h.window->messageText(), QStringLiteral("Następny punkt: Koniec."));
        h.moveAndClick(h.at(29.4, 10.5));
        h.moveAndClick(h.at(40.5, 40.5));
        type(h, {""});
        const auto& drawn = h.ms()->item(3)->as<LineData>();
        QVERIFY(near(drawn.start, 30, 10));
        QVERIFY(!near(drawn.end, 40, 40, 0.01) && near(drawn.end, 40.5, 40.5, Pixel));
        // Nothing of the kind near the click: the point is refused and the prompt stays.
        type(h, {"_line", "wst"});
        h.moveAndClick(h.at(20, 40));
        QCOMPARE(h.window->messageText(), QStringLiteral("Brak punktu \u201eWstawienie\u201d w pobliżu kursora."));
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ pierwszy punkt:"));
        h.moveAndClick(h.at(60.6, 59.5));
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ następny punkt lub [Cofaj]:"));
        type(h, {"@0,10", ""});
        QVERIFY(near(h.ms()->item(4)->as<LineData>().start, 60, 60));
    }

    void editsShowTheObjectsMovingWithTheCursor() {
        HostFixture h;
        const cad::ObjectId id = prepare(h);
        auto litAt = [&](double x, double y) {
            const QImage img = h.view()->grab().toImage();
            const QPoint at = h.at(x, y);
            int best = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) best = std::max(best, img.pixelColor(at + QPoint(dx, dy)).lightness());
            return best > 120;
        };
        // A copy follows the cursor from the base point, the original stays.
        h.view()->select({entity(h, id)});
        type(h, {"_copy", "10,10"});
        QVERIFY(!litAt(25, 50));
        QTest::mouseMove(h.view(), h.at(10, 50));
        QVERIFY(litAt(25, 50) && litAt(25, 10));
        PressKey(h.view(), Qt::Key_Escape);
        QVERIFY(!litAt(25, 50));
        // Turned round (20, 30) by the angle the cursor shows (90 degrees): along x = 40.
        h.view()->select({entity(h, id)});
        type(h, {"_rotate", "20,30"});
        QTest::mouseMove(h.view(), h.at(20, 50));
        QVERIFY(litAt(40, 30));
        PressKey(h.view(), Qt::Key_Escape);
        // Scaled by the cursor's distance from the base point.
        h.view()->select({entity(h, id)});
        type(h, {"_scale", "10,10"});
        QTest::mouseMove(h.view(), h.at(12, 10));
        QVERIFY(litAt(45, 10));
        PressKey(h.view(), Qt::Key_Escape);
        QCOMPARE(h.ms()->count(), 1);
        QVERIFY(!litAt(45, 10));
        // A dragged grip: the line follows its end.
        h.view()->select({entity(h, id)});
        QTest::mouseMove(h.view(), h.at(30, 10));
        QTest::mousePress(h.view(), Qt::LeftButton, Qt::NoModifier, h.at(30, 10));
        QTest::mouseMove(h.view(), h.at(30, 25));
        QTest::mouseMove(h.view(), h.at(30, 40));
        QVERIFY(litAt(20, 25));
        QTest::mouseRelease(h.view(), Qt::LeftButton, Qt::NoModifier, h.at(30, 40));
        QVERIFY(near(line(h, id).end, 30, 40, Pixel));
        QVERIFY(near(line(h, id).start, 10, 10));
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
