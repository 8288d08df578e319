// The prompt line as CAD users work it: Space and right-click as Enter, repeating and recalling
// commands, Polish answers to unknown commands and wrong keywords, the window's own zoom, the
// segments of a polyline shown while picked, the cursor readout and one document per file.
#include "HostFixture.h"

#include "platform/cad/dxf/DxfWriter.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace cad::db;

class PromptLineTest : public QObject {
    Q_OBJECT

    static void type(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
        }
    }
    static void key(QWidget* w, Qt::Key k) { PressKey(w, k); }

private slots:
    // A program raising the window waits for an answer: what is typed next goes to the prompt line.
    void aRaisedWindowTakesTheKeyboardInItsPromptLine() {
        HostFixture h;
        h.view()->setFocus();
        QTRY_VERIFY(h.view()->hasFocus());
        h.interaction.raiseWindow();
        QTRY_VERIFY(h.window->promptInput()->hasFocus());
        // The window's state is what the programs read, and a raise keeps a maximised window
        // maximised, brings a minimised one back maximised and leaves a normal one normal.
        QCOMPARE(h.model.windowState, 1);
        h.window->showMaximized();
        QTRY_COMPARE(h.model.windowState, 3);
        h.interaction.raiseWindow();
        QTRY_VERIFY(h.window->isMaximized());
        h.window->showMinimized();
        QTRY_COMPARE(h.model.windowState, 2);
        h.interaction.raiseWindow();
        QTRY_VERIFY(h.window->isMaximized() && !h.window->isMinimized());
        h.window->showNormal();
        QTRY_COMPARE(h.model.windowState, 1);
        h.interaction.raiseWindow();
        QTest::qWait(50);
        QVERIFY(!h.window->isMaximized() && !h.window->isMinimized());
        QCOMPARE(h.model.windowState, 1);
    }

    void unknownCommandAndWrongKeywordAnswerInPolish() {
        HostFixture h;
        QLineEdit* in = h.window->promptInput();
        type(in, QStringLiteral("xline"));
        key(in, Qt::Key_Return);
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.window->messageText(), QStringLiteral("Nieznane polecenie \u201eXLINE\u201d."));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));

        h.zoomTo(-10, -10, 110, 110);
        h.view()->setSnapEnabled(false);
        type(in, QStringLiteral("_pline"));
        key(in, Qt::Key_Return);
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Określ punkt początkowy:"));
        h.moveAndClick(h.at(0, 0));
        QTRY_VERIFY(h.window->promptText().startsWith(QStringLiteral("Określ następny punkt")));
        type(in, QStringLiteral("xyz"));
        key(in, Qt::Key_Return);
        QCOMPARE(h.window->messageText(), QStringLiteral("Nieprawidłowa odpowiedź \u201exyz\u201d."));
        QVERIFY(h.window->promptText().startsWith(QStringLiteral("Określ następny punkt")));
        QVERIFY(!h.model.commands().isQuiescent());
        // The Polish keyword works as the English one does.
        type(in, QStringLiteral("łuk"));
        key(in, Qt::Key_Return);
        QVERIFY(h.window->promptText().startsWith(QStringLiteral("Określ punkt końcowy łuku")));
        key(h.view(), Qt::Key_Escape);
        QTRY_VERIFY(h.model.commands().isQuiescent());
    }

    void spaceRightClickAndEnterRepeatWithSegmentsShown() {
        HostFixture h;
        QLineEdit* in = h.window->promptInput();
        h.zoomTo(-10, -10, 110, 110);
        h.view()->setSnapEnabled(false);
        type(in, QStringLiteral("_pline"));
        key(in, Qt::Key_Space);  // Space starts the command as Enter would
        QTRY_COMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Point);
        h.moveAndClick(h.at(0, 0));
        h.moveAndClick(h.at(100, 0));
        h.moveAndClick(h.at(100, 100));
        // The segments picked so far are on screen before the polyline exists.
        QCOMPARE(h.ms()->count(), 0);
        QTest::mouseMove(h.view(), h.at(0, 100));
        const QImage shot = h.view()->grab().toImage();
        const QColor bg = shot.pixelColor(3, 3);
        auto lit = [&](QPoint p) {
            for (int d = -1; d <= 1; ++d)
                if (shot.pixelColor(p + QPoint(0, d)) != bg || shot.pixelColor(p + QPoint(d, 0)) != bg)
                    return true;
            return false;
        };
        QVERIFY(lit(h.at(50, 0)));
        QVERIFY(lit(h.at(100, 50)));
        QVERIFY(!lit(h.at(50, 50)));
        // Right-click ends the polyline.
        QTest::mouseClick(h.view(), Qt::RightButton, Qt::NoModifier, h.at(0, 100));
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.ms()->count(), 1);
        QCOMPARE(int(h.ms()->item(0)->tryAs<LwPolylineData>()->vertices.size()), 3);
        // Enter on an empty line (and Space in the view) repeats the last command.
        key(in, Qt::Key_Return);
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Określ punkt początkowy:"));
        key(h.view(), Qt::Key_Escape);
        QTRY_VERIFY(h.model.commands().isQuiescent());
        key(h.view(), Qt::Key_Space);
        QTRY_COMPARE(h.window->promptText(), QStringLiteral("Określ punkt początkowy:"));
        key(h.view(), Qt::Key_Escape);
        QTRY_VERIFY(h.model.commands().isQuiescent());
        // Up and Down walk the history.
        type(in, QStringLiteral("_regen"));
        key(in, Qt::Key_Return);
        key(in, Qt::Key_Up);
        QCOMPARE(in->text(), QStringLiteral("_regen"));
        key(in, Qt::Key_Up);
        QCOMPARE(in->text(), QStringLiteral("_pline"));
        key(in, Qt::Key_Down);
        QCOMPARE(in->text(), QStringLiteral("_regen"));
        key(in, Qt::Key_Down);
        QCOMPARE(in->text(), QString());
    }

    void zoomExtentsWindowAndPreviousAndTheReadout() {
        HostFixture h;
        h.db().addLine(h.ms(), {0, 0, 0}, {1000, 500, 0});
        h.changed();
        QLineEdit* in = h.window->promptInput();
        h.zoomTo(0, 0, 10, 10);
        const double closeScale = h.view()->viewScale();
        h.window->submitText(QStringLiteral("_zoom"));
        QVERIFY(h.window->promptText().contains(QStringLiteral("[Zakres/Okno/Poprzedni]")));
        h.window->submitText(QStringLiteral("Z"));
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QVERIFY(h.view()->viewScale() < closeScale / 20);
        QVERIFY(std::abs(h.view()->viewCenter().x - 500) < 1);
        h.window->submitText(QStringLiteral("_zoom"));
        h.window->submitText(QStringLiteral("q"));  // no such option: asked again
        QVERIFY(h.window->messageText().contains(QStringLiteral("q")));
        QVERIFY(h.window->promptText().contains(QStringLiteral("Zakres")));
        h.window->submitText(QStringLiteral("_W"));
        h.window->submitText(QStringLiteral("100,100"));
        h.window->submitText(QStringLiteral("200,150"));
        QVERIFY(std::abs(h.view()->viewCenter().x - 150) < 1e-6);
        h.window->submitText(QStringLiteral("_zoom"));
        h.window->submitText(QStringLiteral("P"));
        QVERIFY(std::abs(h.view()->viewCenter().x - 500) < 1);
        h.window->submitText(QStringLiteral("'_z"));
        h.window->submitText(QStringLiteral("P"));
        QVERIFY(std::abs(h.view()->viewScale() - closeScale) < 1e-9);
        Q_UNUSED(in);

        // The readout follows the drawing under a still cursor when the view or the drawing changes.
        auto* coords = h.window->findChild<QLabel*>(QStringLiteral("lblCoords"));
        QVERIFY(coords);
        const QPoint c(200, 200);
        auto readout = [&] {
            const cad::db::Point3 w = h.view()->toWorld(c);
            return QStringLiteral("X = %1   Y = %2").arg(w.x, 0, 'f', 3).arg(w.y, 0, 'f', 3);
        };
        QTest::mouseMove(h.view(), c);
        QCOMPARE(coords->text(), readout());
        h.window->submitText(QStringLiteral("_zoom"));
        h.window->submitText(QStringLiteral("_E"));
        QCOMPARE(coords->text(), readout());
        const QString onFirst = coords->text();
        h.window->newDrawing();
        QCOMPARE(coords->text(), readout());
        QVERIFY(coords->text() != onFirst);
    }

    void theSameFileOpensOnce() {
        HostFixture h;
        const QString path = h.dir.filePath(QStringLiteral("Mapa.dxf"));
        {
            Database db;
            db.addLine(db.modelSpace(), {0, 0, 0}, {10, 0, 0});
            cad::dxf::writeFile(db, path);
        }
        QVERIFY(h.window->openFile(path));
        const size_t count = h.model.documents().size();
        cad::DocumentState* first = h.doc();
        h.window->newDrawing();
        QVERIFY(h.doc() != first);
        // The menu, through another spelling of the same path.
        QVERIFY(h.window->openFile(h.dir.path() + QStringLiteral("/./Mapa.dxf")));
        QCOMPARE(h.doc(), first);
        h.window->newDrawing();
        // A program's call.
        const cad::Variant d = h.invoke(h.model.documentsId, QStringLiteral("Open"), {cad::Variant(path)});
        QCOMPARE(d.toObject(), first->id);
        QCOMPARE(h.doc(), first);
        QCOMPARE(h.model.documents().size(), count + 2);  // only the two new drawings were added
    }
};

QTEST_MAIN(PromptLineTest)
#include "PromptLineTest.moc"
