// Correcting a mistake in the window: undo and redo of what the user drew and erased (Ctrl+Z,
// Ctrl+Y, "_u", "_undo", "_redo"), selection by click, window and crossing with its highlight,
// Escape, and erasing with Delete or "_erase" as one undo step.
#include "HostFixture.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>
#include <algorithm>

using namespace cad::db;
using cad::Point;

namespace {

QSet<quint64> handles(std::initializer_list<cad::ObjectId> ids, HostFixture& h) {
    QSet<quint64> out;
    for (cad::ObjectId id : ids) out.insert(h.model.record(id).object->handle());
    return out;
}

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

    static void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { PressKey(w, k, m); }
    static cad::ObjectId add(HostFixture& h, const QString& member,
                             std::initializer_list<cad::Variant> args) {
        return h.invoke(h.model.blockId(h.doc(), h.ms()), member, args).toObject();
    }
    // Two clicks in the view: the corners of a selection window.
    static void drag(HostFixture& h, double x0, double y0, double x1, double y1) {
        h.moveAndClick(h.at(x0, y0));
        h.moveAndClick(h.at(x1, y1));
    }
    static int live(HostFixture& h) { return h.ms()->count(); }
    // The button held down from one drawing point to another, as a hand drags the mouse.
    static void holdAndDrag(HostFixture& h, Qt::MouseButton b, double x0, double y0, double x1, double y1) {
        QTest::mouseMove(h.view(), h.at(x0, y0));
        QTest::mousePress(h.view(), b, Qt::NoModifier, h.at(x0, y0));
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(h.view(), h.at(x0 + (x1 - x0) * i / 4, y0 + (y1 - y0) * i / 4));
        QTest::mouseRelease(h.view(), b, Qt::NoModifier, h.at(x1, y1));
    }

    // A line along y = 10, a circle round (60, 60), a long line along y = 20 and a diagonal line
    // whose box reaches where the line itself does not; shown from (0, 0) to (100, 100).
    struct Scene {
        cad::ObjectId shortLine, circle, longLine, diagonal;
    };
    static Scene build(HostFixture& h) {
        Scene s;
        s.shortLine = add(h, QStringLiteral("AddLine"), {Point{10, 10, 0}, Point{30, 10, 0}});
        s.circle = add(h, QStringLiteral("AddCircle"), {Point{60, 60, 0}, 5.0});
        s.longLine = add(h, QStringLiteral("AddLine"), {Point{40, 20, 0}, Point{90, 20, 0}});
        s.diagonal = add(h, QStringLiteral("AddLine"), {Point{70, 30, 0}, Point{95, 45, 0}});
        h.model.closeUndoSteps();
        h.changed();
        h.view()->setSnapEnabled(false);
        h.zoomTo(0, 0, 100, 100);
        return s;
    }

private slots:
    void undoAndRedoWhatTheUserDrew() {
        HostFixture h;
        h.zoomTo(-10, -10, 110, 110);
        h.view()->setSnapEnabled(false);
        h.window->submitText(QStringLiteral("_pline"));
        h.moveAndClick(h.at(0, 0));
        h.moveAndClick(h.at(50, 0));
        h.moveAndClick(h.at(50, 50));
        h.window->submitText(QString());
        QTRY_VERIFY(h.model.commands().isQuiescent());
        h.window->submitText(QStringLiteral("_circle"));
        h.moveAndClick(h.at(80, 80));
        h.window->submitText(QStringLiteral("10"));
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(live(h), 2);
        QTest::qWait(200);  // the window's own refresh after the command
        const QImage both = h.view()->renderImage();

        // Ctrl+Z takes back the circle only: each command is a step of its own.
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(live(h), 1);
        QCOMPARE(h.ms()->item(0)->kind(), EntityKind::LwPolyline);
        QCOMPARE(h.window->messageText(), QStringLiteral("Cofnięto ostatnią operację."));
        QTRY_VERIFY(h.view()->renderImage() != both);
        // Ctrl+Y brings it back, and the picture is the one before.
        key(h.view(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(live(h), 2);
        QCOMPARE(h.window->messageText(), QStringLiteral("Przywrócono cofniętą operację."));
        QTRY_COMPARE(h.view()->renderImage(), both);

        // The typed forms, at the prompt line as a CAD user types them.
        h.window->submitText(QStringLiteral("_u"));
        QTRY_COMPARE(live(h), 1);
        h.window->submitText(QStringLiteral("_redo"));
        QTRY_COMPARE(live(h), 2);
        h.window->submitText(QStringLiteral("_undo"));
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Podaj liczbę operacji do cofnięcia <1>:"));
        h.window->submitText(QStringLiteral("2"));
        QTRY_COMPARE(live(h), 0);
        QCOMPARE(h.window->messageText(), QStringLiteral("Cofnięto operacji: 2."));
        // Ctrl+Z in the empty prompt line acts on the drawing; nothing is left to undo.
        key(h.window->promptInput(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.window->messageText(), QStringLiteral("Nie ma nic do cofnięcia."));
        QTRY_VERIFY(h.window->windowTitle().endsWith(QLatin1Char('*')));
    }

    void layerPanelChangesAreUndoneOneByOne() {
        HostFixture h;
        h.invoke(h.doc()->layersId, QStringLiteral("Add"), {QStringLiteral("KRAWĘŻNIKI")});
        h.model.closeUndoSteps();
        h.window->syncDocuments();
        cadhost::LayerPanel* panel = h.window->layerPanel();
        panel->setLayerState(QStringLiteral("KRAWĘŻNIKI"), cadhost::LayerPanel::On, false);
        panel->makeCurrent(QStringLiteral("KRAWĘŻNIKI"));
        QCOMPARE(h.db().activeLayer()->name(), QStringLiteral("KRAWĘŻNIKI"));
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.db().activeLayer()->name(), QStringLiteral("0"));
        QVERIFY(!h.db().layers().find(QStringLiteral("KRAWĘŻNIKI"))->on);
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(h.db().layers().find(QStringLiteral("KRAWĘŻNIKI"))->on);
        // The panel shows the drawing as it is now.
        QTRY_COMPARE(panel->table()->rowCount(), 2);
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!h.db().layers().find(QStringLiteral("KRAWĘŻNIKI")));
        QTRY_COMPARE(panel->table()->rowCount(), 1);
    }

    void undoIsRefusedWhileACommandRuns() {
        HostFixture h;
        add(h, QStringLiteral("AddLine"), {Point{0, 0, 0}, Point{5, 5, 0}});
        h.window->submitText(QStringLiteral("_circle"));
        QTRY_VERIFY(!h.model.commands().isQuiescent());
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.window->messageText(), QStringLiteral("Najpierw zakończ bieżące polecenie."));
        QCOMPARE(live(h), 1);
    }

    void clickWindowAndCrossingSelectExactly() {
        HostFixture h;
        const Scene s = build(h);
        // A click on an entity selects it and shows it highlighted.
        const QImage plain = h.view()->renderImage();
        h.moveAndClick(h.at(20, 10));
        QCOMPARE(h.view()->selection(), handles({s.shortLine}, h));
        QVERIFY(h.view()->renderImage() != plain);
        // Escape clears it, and the picture is plain again; in the prompt line as in the view.
        key(h.view(), Qt::Key_Escape);
        QVERIFY(h.view()->selection().isEmpty());
        QCOMPARE(h.view()->renderImage(), plain);
        h.moveAndClick(h.at(20, 10));
        key(h.window->promptInput(), Qt::Key_Escape);
        QVERIFY(h.view()->selection().isEmpty());

        // Left to right: a window takes what lies wholly inside (not the long line it cuts).
        drag(h, 5, 5, 66, 70);
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.circle}, h));
        key(h.view(), Qt::Key_Escape);

        // Right to left: a crossing also takes what it cuts.
        drag(h, 66, 70, 5, 5);
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.circle, s.longLine}, h));
        key(h.view(), Qt::Key_Escape);
        drag(h, 45, 25, 35, 15);
        QCOMPARE(h.view()->selection(), handles({s.longLine}, h));

        // A crossing over the diagonal's box but not over the line takes nothing more.
        drag(h, 94, 34, 88, 30);
        QCOMPARE(h.view()->selection(), handles({s.longLine}, h));
        // Shift takes out again; a click beside everything starts a window, Escape drops it.
        h.moveAndClick(h.at(20, 10));
        QTest::mouseClick(h.view(), Qt::LeftButton, Qt::ShiftModifier, h.at(60, 20));
        QCOMPARE(h.view()->selection(), handles({s.shortLine}, h));
        h.moveAndClick(h.at(5, 90));
        QVERIFY(h.view()->windowCorner().has_value());
        key(h.view(), Qt::Key_Escape);
        QVERIFY(!h.view()->windowCorner().has_value());
        QCOMPARE(h.view()->selection(), handles({s.shortLine}, h));

        // Dragged from empty space with the left button: left to right a window, right to left a
        // crossing; the view stays where it was.
        key(h.view(), Qt::Key_Escape);
        const cad::db::Point3 centre = h.view()->viewCenter();
        holdAndDrag(h, Qt::LeftButton, 5, 5, 66, 70);
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.circle}, h));
        QVERIFY(!h.view()->windowCorner().has_value());
        key(h.view(), Qt::Key_Escape);
        holdAndDrag(h, Qt::LeftButton, 66, 70, 5, 5);
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.circle, s.longLine}, h));
        QCOMPARE(h.view()->viewCenter().x, centre.x);
        // A drag starting on an entity selects that entity only.
        key(h.view(), Qt::Key_Escape);
        holdAndDrag(h, Qt::LeftButton, 20, 10, 66, 70);
        QCOMPARE(h.view()->selection(), handles({s.shortLine}, h));
        // The middle button pans and selects nothing.
        key(h.view(), Qt::Key_Escape);
        holdAndDrag(h, Qt::MiddleButton, 50, 50, 60, 50);
        QVERIFY(h.view()->selection().isEmpty());
        QVERIFY(std::abs(h.view()->viewCenter().x - (centre.x - 10)) < 0.5);
        h.zoomTo(0, 0, 100, 100);

        // Entities on a locked layer are not taken.
        const cad::ObjectId layer =
            h.invoke(h.doc()->layersId, QStringLiteral("Add"), {QStringLiteral("Z")}).toObject();
        h.model.invoke(layer, QStringLiteral("Lock"), cad::CallKind::Put,
                       cad::Args(std::array{cad::Variant(true)}));
        h.model.invoke(s.circle, QStringLiteral("Layer"), cad::CallKind::Put,
                       cad::Args(std::array{cad::Variant(QStringLiteral("Z"))}));
        h.changed();
        key(h.view(), Qt::Key_Escape);
        drag(h, 100, 100, 0, 0);
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.longLine, s.diagonal}, h));
    }

    void selectAllPreviousAndAForcedWindow() {
        HostFixture h;
        const Scene s = build(h);
        // Ctrl+A in the view and in the empty prompt line.
        key(h.view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(h.view()->selection().size(), 4);
        key(h.view(), Qt::Key_Escape);
        key(h.window->promptInput(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(h.view()->selection().size(), 4);
        key(h.view(), Qt::Key_Escape);
        // "Okno": picked right to left, still a window.
        h.window->submitText(QStringLiteral("_move"));
        h.window->submitText(QStringLiteral("Okno"));
        drag(h, 66, 70, 5, 5);
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.circle}, h));
        for (const char* t : {"", "0,0", "0,5"}) h.window->submitText(QString::fromLatin1(t));
        QVERIFY(h.view()->selection().isEmpty());
        // "Poprzedni" takes what the move took, "Wszystko" (from two letters) everything.
        h.window->submitText(QStringLiteral("_erase"));
        h.window->submitText(QStringLiteral("P"));
        QCOMPARE(h.view()->selection(), handles({s.shortLine, s.circle}, h));
        h.window->submitText(QString());
        QCOMPARE(live(h), 2);
        h.window->submitText(QStringLiteral("_erase"));
        h.window->submitText(QStringLiteral("ws"));
        QCOMPARE(h.window->messageText(), QStringLiteral("Wybrano obiektów: 2."));
        h.window->submitText(QString());
        QCOMPARE(live(h), 0);
    }

    void deleteErasesTheSelectionAsOneStep() {
        HostFixture h;
        const Scene s = build(h);
        drag(h, 5, 5, 66, 70);
        QCOMPARE(h.view()->selection().size(), 2);
        key(h.view(), Qt::Key_Delete);
        QCOMPARE(live(h), 2);
        QCOMPARE(h.window->messageText(), QStringLiteral("Usunięto obiektów: 2."));
        QVERIFY(h.view()->selection().isEmpty());
        QVERIFY(h.model.record(s.circle).object->isErased());
        // One undo brings both back, one redo takes both again.
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(live(h), 4);
        QVERIFY(!h.model.record(s.circle).object->isErased());
        key(h.view(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(live(h), 2);
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        // The restored entities can be picked again.
        h.moveAndClick(h.at(20, 10));
        QCOMPARE(h.view()->selection(), handles({s.shortLine}, h));
        // Delete in the empty prompt line erases too.
        key(h.window->promptInput(), Qt::Key_Delete);
        QCOMPARE(live(h), 3);
        QCOMPARE(h.window->messageText(), QStringLiteral("Usunięto 1 obiekt."));
    }

    void eraseCommandWithAndWithoutASelection() {
        HostFixture h;
        const Scene s = build(h);
        // Objects chosen at the command's prompt, ended with a right-click.
        h.window->submitText(QStringLiteral("_erase"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Wybierz obiekty:"));
        QCOMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Select);
        h.moveAndClick(h.at(60, 20));
        drag(h, 66, 70, 54, 50);
        QCOMPARE(h.view()->selection(), handles({s.longLine, s.circle}, h));
        QTest::mouseClick(h.view(), Qt::RightButton, Qt::NoModifier, h.at(50, 50));
        QCOMPARE(live(h), 2);
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(h.window->messageText(), QStringLiteral("Usunięto obiektów: 2."));
        // Escape at the prompt erases nothing.
        h.window->submitText(QStringLiteral("_erase"));
        h.moveAndClick(h.at(20, 10));
        key(h.view(), Qt::Key_Escape);
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QCOMPARE(live(h), 2);
        QVERIFY(h.view()->selection().isEmpty());
        // Escape in the prompt line ends the window's own commands too.
        h.window->submitText(QStringLiteral("_zoom"));
        QVERIFY(h.window->promptText() != QStringLiteral("Polecenie:"));
        key(h.window->promptInput(), Qt::Key_Escape);
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        // A selection made first is erased at once.
        h.moveAndClick(h.at(20, 10));
        h.window->submitText(QStringLiteral("_erase"));
        QCOMPARE(live(h), 1);
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        // Each erase is a step: two undos bring back all four.
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(live(h), 2);
        key(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(live(h), 4);
    }
};

QTEST_MAIN(EditingTest)
#include "EditingTest.moc"
