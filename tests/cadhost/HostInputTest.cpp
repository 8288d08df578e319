// What the user types and clicks reaches what it means: the codes of a multiline text edited in
// several places stay with their text, keywords answer to the letters the Polish prompts show,
// a stray click leaves nothing pending for the next command, keys typed in the layer panel reach
// the prompt line, snaps reach inside block references, a menu command ends the running one, and
// the selection keywords and a grip edit keep to their own objects and undo step.
#include "HostFixture.h"
#include "cadhost/MTextEditor.h"
#include "platform/cad/model/Commands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

using namespace cad::db;
using cad::Point;

namespace {

bool near(const Point3& p, double x, double y, double tolerance = 1e-6) {
    return std::abs(p.x - x) < tolerance && std::abs(p.y - y) < tolerance;
}

// Characters typed into a widget one key at a time (Polish letters too), a line break as Enter.
void typeInto(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const bool enter = c == QLatin1Char('\n');
        QKeyEvent press(QEvent::KeyPress, enter ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                        enter ? QStringLiteral("\r") : QString(c));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, enter ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                          enter ? QStringLiteral("\r") : QString(c));
        QCoreApplication::sendEvent(w, &release);
    }
}

// An answer typed at the prompt line and ended with Enter, key by key.
void answer(HostFixture& h, const QString& text) {
    typeInto(h.window->promptInput(), text);
    PressKey(h.window->promptInput(), Qt::Key_Return);
}

int liveCount(HostFixture& h) {
    int n = 0;
    for (const Entity* e : h.ms()->entities()) n += e->isErased() ? 0 : 1;
    return n;
}

QAction* menuEntry(HostFixture& h, const char* menu, const QString& command) {
    auto* m = h.window->findChild<QMenu*>(QLatin1String(menu));
    if (!m) return nullptr;
    for (QAction* a : m->actions())
        if (a->data().toString() == command) return a;
    return nullptr;
}

}  // namespace

class HostInputTest : public QObject {
    Q_OBJECT

    static cad::ObjectId add(HostFixture& h, const QString& member, std::initializer_list<cad::Variant> args) {
        return h.invoke(h.model.blockId(h.doc(), h.ms()), member, args).toObject();
    }
    static Entity* entity(HostFixture& h, cad::ObjectId id) {
        return static_cast<Entity*>(h.model.record(id).object);
    }
    // The drawing shown from (0, 0) to (100, 100), snapping off, what was made one undo step.
    static void show(HostFixture& h) {
        h.model.closeUndoSteps();
        h.changed();
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
    }
    static std::vector<const LineData*> lines(HostFixture& h) {
        std::vector<const LineData*> out;
        for (const Entity* e : h.ms()->entities())
            if (!e->isErased() && e->kind() == EntityKind::Line) out.push_back(&e->as<LineData>());
        return out;
    }
    // The multiline text box, when it shows: `act` edits it as the user does, then OK.
    static void answerBox(std::function<void(QPlainTextEdit*)> act) {
        auto* wait = new QTimer;
        wait->start(10);
        QObject::connect(wait, &QTimer::timeout, [wait, act] {
            auto* box = qobject_cast<cadhost::MTextEditor*>(QApplication::activeModalWidget());
            if (!box) return;
            wait->stop();
            wait->deleteLater();
            act(box->editor());
            box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    }
    // The box's cursor put where the user clicks: after the `n`-th occurrence of `text`'s start
    // plus `offset` characters.
    static void putCursor(QPlainTextEdit* edit, const QString& text, int offset) {
        QTextCursor c = edit->textCursor();
        c.setPosition(edit->toPlainText().indexOf(text) + offset);
        edit->setTextCursor(c);
    }

private slots:
    void multilineTextEditedInSeveralPlacesKeepsItsCodes() {
        HostFixture h;
        const QString before = QStringLiteral("{\\fArial|b1;Linia} 1\\PLinia 2\\P{\\LPodkreślone} \\C1;koniec");
        add(h, QStringLiteral("AddMText"), {Point{10, 50, 0}, 40.0, before});
        show(h);
        // One character at the end of line 1, one before the underlined group, one inside it, and
        // the last word (after a colour code) replaced.
        answerBox([](QPlainTextEdit* edit) {
            putCursor(edit, QStringLiteral(" 1\n"), 2);
            typeInto(edit, QStringLiteral("A"));
            putCursor(edit, QStringLiteral("Podkreślone"), 0);
            typeInto(edit, QStringLiteral("Ż"));
            putCursor(edit, QStringLiteral("kreślone"), 0);
            typeInto(edit, QStringLiteral("x"));
            QTextCursor c = edit->textCursor();
            c.setPosition(edit->toPlainText().indexOf(QStringLiteral("koniec")));
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            edit->setTextCursor(c);
            typeInto(edit, QStringLiteral("KONIEC"));
        });
        answer(h, QStringLiteral("_ddedit"));
        h.moveAndClick(h.view()->toScreen(h.ms()->item(0)->as<MTextData>().position).toPoint() + QPoint(8, 4));
        QCOMPARE(h.ms()->item(0)->as<MTextData>().text,
                 QStringLiteral("{\\fArial|b1;Linia} 1A\\PLinia 2\\PŻ{\\LPodxkreślone} \\C1;KONIEC"));
        PressKey(h.view(), Qt::Key_Escape);
        // Lines removed take only their characters: the codes around them stay where they were.
        QCOMPARE(cadhost::MTextWithCodes(before, QStringLiteral("Linia 1\nPodkreślone koniec")),
                 QStringLiteral("{\\fArial|b1;Linia} 1\\P{\\LPodkreślone} \\C1;koniec"));
        QCOMPARE(cadhost::MTextWithCodes(QStringLiteral("a{\\H2;b}c{\\C3;d}e"), QStringLiteral("XacYe")),
                 QStringLiteral("Xa{\\H2;}c{\\C3;Y}e"));
        // Typed after the first character: after it, in its group.
        QCOMPARE(cadhost::MTextWithCodes(QStringLiteral("{\\LAb}c"), QStringLiteral("AXbc")),
                 QStringLiteral("{\\LAXb}c"));
    }

    void keywordsAnswerToTheLettersThePolishPromptsShow() {
        HostFixture h;
        show(h);
        // "_line": "c" takes back the last segment, "z" closes the figure.
        for (const char* t : {"_line", "0,0", "10,0", "10,10", "c"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(int(lines(h).size()), 1);
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ następny punkt lub [Cofaj]:"));
        for (const char* t : {"20,10", "20,20", "z"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(int(lines(h).size()), 4);
        QVERIFY(near(lines(h).back()->end, 0, 0));
        // The English forms after "_": "_u" undoes, "_c" closes.
        for (const char* t : {"_line", "50,50", "60,50", "60,60", "_u", "70,60", "_c"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(int(lines(h).size()), 7);
        QVERIFY(near(lines(h).back()->start, 70, 60) && near(lines(h).back()->end, 50, 50));

        // "_pline": "ł" draws arcs, "l" lines again, "s" asks the widths, "z" closes.
        for (const char* t : {"_pline", "0,80", "10,80", "ł"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ punkt końcowy łuku lub [Linia/Szerokość/Zamknij/Cofaj]:"));
        answer(h, QStringLiteral("10,90"));
        answer(h, QStringLiteral("l"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ następny punkt lub [Łuk/Szerokość/Zamknij/Cofaj]:"));
        answer(h, QStringLiteral("s"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ szerokość początkową <0>:"));
        for (const char* t : {"1", "1", "0,90", "z"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        const Entity* pl = h.ms()->entities().back();
        QCOMPARE(pl->kind(), EntityKind::LwPolyline);
        QVERIFY(pl->as<LwPolylineData>().closed);
        QCOMPARE(int(pl->as<LwPolylineData>().vertices.size()), 4);

        // "Wybierz obiekty:": "w" is "Wszystko" (not a window), which leaves a locked layer's
        // objects out; "o" is "Okno".
        const cad::ObjectId layer = h.invoke(h.doc()->layersId, QStringLiteral("Add"), {QStringLiteral("Z")}).toObject();
        h.model.invoke(layer, QStringLiteral("Lock"), cad::CallKind::Put, cad::Args(std::array{cad::Variant(true)}));
        h.db().setLayer(h.ms()->entities().front(), QStringLiteral("Z"));
        h.changed();
        answer(h, QStringLiteral("_move"));
        answer(h, QStringLiteral("w"));
        QCOMPARE(h.window->messageText(), QStringLiteral("Wybrano obiektów: 7."));
        QCOMPARE(h.view()->selection().size(), 7);
        answer(h, QStringLiteral("o"));
        QCOMPARE(h.window->messageText(), QStringLiteral("Wskaż dwa narożniki okna."));
        PressKey(h.view(), Qt::Key_Escape);
        // A start two keywords share answers none of them.
        QCOMPARE(cad::KeywordIndex(QStringLiteral("p"), {{"Pierwszy", "First"}, {"Poprzedni", "Previous"}}), -1);
        QCOMPARE(cad::KeywordIndex(QStringLiteral("po"), {{"Pierwszy", "First"}, {"Poprzedni", "Previous"}}), 1);
        QCOMPARE(cad::KeywordIndex(QStringLiteral("Cofaj"), {{"Cofaj", "Undo"}, {"Cofajmy", "Back"}}), 0);
    }

    void aStrayClickLeavesNothingForTheNextCommand() {
        HostFixture h;
        const cad::ObjectId id = add(h, QStringLiteral("AddLine"), {Point{10, 10, 0}, Point{30, 10, 0}});
        show(h);
        // Empty space: a window's first corner (left of the line, so that a window closed on the
        // line would take nothing).
        h.moveAndClick(h.at(2, 60));
        QVERIFY(h.view()->windowCorner().has_value());
        answer(h, QStringLiteral("_move"));
        QVERIFY(!h.view()->windowCorner().has_value());
        h.moveAndClick(h.at(20, 10));
        QCOMPARE(h.view()->selection().size(), 1);
        for (const char* t : {"", "0,0", "5,5"}) answer(h, QString::fromUtf8(t));
        QVERIFY(near(entity(h, id)->as<LineData>().start, 15, 15));
    }

    void keysTypedInTheLayerPanelReachThePromptLine() {
        HostFixture h;
        show(h);
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTableWidget* table = h.window->layerPanel()->table();
        QVERIFY(table->rowCount() > 0);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                          table->visualItemRect(table->item(0, cadhost::LayerPanel::Name)).center());
        QCOMPARE(QApplication::focusWidget(), table);
        for (const QChar c : QStringLiteral("_circle")) typeInto(QApplication::focusWidget(), QString(c));
        PressKey(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ środek okręgu:"));
        for (const char* t : {"50,50", "5"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(h.ms()->entities().back()->kind(), EntityKind::Circle);
        // A field that takes text keeps its keys.
        auto* field = new QLineEdit(h.window->layerPanel());
        field->show();
        field->setFocus();
        typeInto(field, QStringLiteral("_erase"));
        QCOMPARE(field->text(), QStringLiteral("_erase"));
        QCOMPARE(h.window->promptInput()->text(), QString());
    }

    void endSnapReachesALineInsideARotatedScaledReference() {
        HostFixture h;
        BlockDefinition* block = h.db().addBlock(QStringLiteral("STRUMIEN"));
        block->basePoint = {1, 0, 0};
        h.db().addLine(block, {1, 0, 0}, {11, 0, 0});
        add(h, QStringLiteral("InsertBlock"), {Point{50, 50, 0}, QStringLiteral("STRUMIEN"), 2.0, 0.5, 1.0,
                                               std::numbers::pi / 6});
        show(h);
        // The line's far end: 10 from the base point, scaled by 2 and turned by 30 degrees.
        const double ex = 50 + 20 * std::cos(std::numbers::pi / 6), ey = 50 + 20 * std::sin(std::numbers::pi / 6);
        answer(h, QStringLiteral("_line"));
        answer(h, QStringLiteral("_end"));
        h.moveAndClick(h.at(ex - 0.6, ey + 0.5));
        for (const char* t : {"0,0", ""}) answer(h, QString::fromUtf8(t));
        QCOMPARE(int(lines(h).size()), 1);
        QVERIFY(near(lines(h).front()->start, ex, ey, 1e-9));
    }

    void aMenuCommandEndsTheRunningOneAndStarts() {
        HostFixture h;
        show(h);
        QAction* move = menuEntry(h, "mnuZmiana", QStringLiteral("_move"));
        QAction* line = menuEntry(h, "mnuRysuj", QStringLiteral("_line"));
        QVERIFY(move && line);
        for (const char* t : {"_pline", "0,0", "10,0", "10,10"}) answer(h, QString::fromUtf8(t));
        move->trigger();
        QCOMPARE(h.window->promptText(), QStringLiteral("Wybierz obiekty:"));
        // The polyline drawn so far stays, as on Escape.
        QCOMPARE(h.ms()->entities().back()->kind(), EntityKind::LwPolyline);
        QCOMPARE(int(h.ms()->entities().back()->as<LwPolylineData>().vertices.size()), 3);
        line->trigger();
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ pierwszy punkt:"));
        // Ctrl+Z inside "_line" takes back its last segment; the command goes on.
        for (const char* t : {"20,20", "30,20", "40,30"}) answer(h, QString::fromUtf8(t));
        QCOMPARE(int(lines(h).size()), 2);
        PressKey(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(lines(h).size()), 1);
        QCOMPARE(h.window->promptText(), QStringLiteral("Określ następny punkt lub [Cofaj]:"));
        answer(h, QString());
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
    }

    void previousTakesOnlyLiveObjectsAndAGripEditIsAStepOfItsOwn() {
        HostFixture h;
        const cad::ObjectId a = add(h, QStringLiteral("AddLine"), {Point{10, 10, 0}, Point{30, 10, 0}});
        const cad::ObjectId b = add(h, QStringLiteral("AddLine"), {Point{10, 30, 0}, Point{30, 30, 0}});
        show(h);
        for (const char* t : {"_move", "w", "", "0,0", "0,1"}) answer(h, QString::fromUtf8(t));
        h.moveAndClick(h.at(20, 11));
        PressKey(h.view(), Qt::Key_Delete);
        QVERIFY(entity(h, a)->isErased());
        answer(h, QStringLiteral("_move"));
        answer(h, QStringLiteral("p"));
        QCOMPARE(h.window->messageText(), QStringLiteral("Wybrano obiektów: 1."));
        PressKey(h.view(), Qt::Key_Escape);
        PressKey(h.view(), Qt::Key_Escape);

        // A change a program made just before is its own step: undoing the grip edit keeps it.
        const cad::ObjectId c = add(h, QStringLiteral("AddLine"), {Point{10, 60, 0}, Point{30, 60, 0}});
        h.changed();
        h.view()->select({entity(h, b)});
        h.moveAndClick(h.at(30, 31));
        QCOMPARE(h.window->promptText(), QStringLiteral("** ROZCIĄGNIJ ** Określ punkt rozciągnięcia:"));
        answer(h, QStringLiteral("40,40"));
        QVERIFY(near(entity(h, b)->as<LineData>().end, 40, 40));
        PressKey(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(near(entity(h, b)->as<LineData>().end, 30, 31));
        QVERIFY(!entity(h, c)->isErased());
        QCOMPARE(liveCount(h), 2);
    }
};

QTEST_MAIN(HostInputTest)
#include "HostInputTest.moc"
