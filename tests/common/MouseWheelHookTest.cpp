// The wheel hook: notches summed from fine-grained wheels, forwarded by name to the hooked window, 3 rows
// a notch within the data rows, and wheels left alone when the window does not use them.
#include "common/ui/MouseWheelHook.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>

namespace {

class HookedWindow : public QWidget {
    Q_OBJECT
public:
    ui::FlexGrid* grid;
    QLineEdit* other;
    QList<int> deltas;
    HookedWindow() {
        auto* layout = new QVBoxLayout(this);
        grid = new ui::FlexGrid;
        other = new QLineEdit;
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->setCols(2);
        grid->setRows(1);
        for (int i = 0; i < 40; ++i) grid->addRow();
        grid->setFixedRows(1);
        resize(300, 200);
    }
    // The window's reaction to a wheel: the grid scrolls only while it is the active control.
    Q_INVOKABLE bool MouseWheel(int keys, int delta, int x, int y) {
        deltas << delta;
        if (focusWidget() != grid) return false;
        common::ScrollGridByWheel(grid, keys, delta, x, y);
        return true;
    }
};

ulong stamp = 1;

bool wheel(QWidget* target, int delta) {
    QPointF pos(5, 5);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    event.setTimestamp(++stamp);
    return QApplication::sendEvent(target, &event) && event.isAccepted();
}

}  // namespace

class MouseWheelHookTest : public QObject {
    Q_OBJECT
private slots:
    void scrollGridByWheelMovesThreeRowsANotch() {
        HookedWindow w;
        w.show();
        ui::FlexGrid* g = w.grid;
        g->setTopRow(10);
        common::ScrollGridByWheel(g, 0, 120, 0, 0);
        QCOMPARE(g->TopRow(), 7);
        common::ScrollGridByWheel(g, 0, -120, 0, 0);
        QCOMPARE(g->TopRow(), 10);
        common::ScrollGridByWheel(g, 0, 0, 0, 0);  // no turn, no move
        QCOMPARE(g->TopRow(), 10);
        common::ScrollGridByWheel(g, 0, -240, 0, 0);  // two notches
        QCOMPARE(g->TopRow(), 16);
        common::ScrollGridByWheel(g, 0, 120 * 20, 0, 0);
        QCOMPARE(g->TopRow(), 1);  // never above the first data row
        common::ScrollGridByWheel(g, 0, -120 * 40, 0, 0);
        QVERIFY(g->TopRow() > 16);  // down to the end the view allows
        QVERIFY(g->TopRow() <= g->Rows() - 1);
    }

    void hookSumsPartialTurnsAndForwardsByName() {
        HookedWindow w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.grid->setFocus();
        w.grid->setTopRow(10);
        common::HookMouseWheel(&w);
        QVERIFY(common::IsMouseWheelHooked(&w));
        QVERIFY(wheel(w.grid->viewport(), -60));
        QCOMPARE(w.grid->TopRow(), 10);  // half a notch moves nothing
        QVERIFY(wheel(w.grid->viewport(), -60));
        QCOMPARE(w.grid->TopRow(), 13);
        QCOMPARE(w.deltas, (QList<int>{0, -120}));
        wheel(w.grid->viewport(), 120);
        QCOMPARE(w.grid->TopRow(), 10);

        // Another control active: the window does not use the wheel and the grid handles it itself.
        w.other->setFocus();
        w.deltas.clear();
        wheel(w.other, -120);
        QCOMPARE(w.deltas.size(), 1);

        common::UnhookMouseWheel(&w);
        QVERIFY(!common::IsMouseWheelHooked(&w));
        w.grid->setFocus();
        w.deltas.clear();
        wheel(w.grid->viewport(), -120);
        QVERIFY(w.deltas.isEmpty());
        common::UnhookMouseWheel(&w);  // a second unhook does nothing
    }
};

QTEST_MAIN(MouseWheelHookTest)
#include "MouseWheelHookTest.moc"
