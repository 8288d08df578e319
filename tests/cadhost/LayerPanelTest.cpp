// The layer list: it shows the drawing's layers and states, a layer switched off there is hidden and
// the change is part of the drawing, the current layer picked there takes what the user draws.
#include "HostFixture.h"

#include "platform/ui/core/Prompt.h"

#include <QTableWidget>
#include <QtTest>

using namespace cad::db;

class LayerPanelTest : public QObject {
    Q_OBJECT

    static int rowOf(QTableWidget* t, const QString& name) {
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, cadhost::LayerPanel::Name)->text() == name) return r;
        return -1;
    }

    // A reddish pixel at or next to the point (a thin line may fall between two pixel rows).
    static bool redNear(const QImage& img, QPoint p) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = img.pixelColor(p + QPoint(dx, dy));
                if (c.red() > 120 && c.green() < 90 && c.blue() < 90) return true;
            }
        return false;
    }

private slots:
    void switchingOffHidesAndPickingCurrentTakesNewObjects() {
        HostFixture h;
        h.db().addLayer(QStringLiteral("KRAWĘŻNIKI"))->color = 1;
        h.db().addLayer(QStringLiteral("OZNAKOWANIE"))->color = 3;
        h.db().layers().find(QStringLiteral("OZNAKOWANIE"))->locked = true;
        h.db().setLayer(h.db().addLine(h.ms(), {0, 0, 0}, {100, 0, 0}), QStringLiteral("KRAWĘŻNIKI"));
        h.doc()->saved = true;
        h.changed();
        h.window->syncDocuments();
        Box area;
        area.add(-10, -50);
        area.add(110, 50);
        h.view()->zoomWindow(area);

        QTableWidget* t = h.window->layerPanel()->table();
        QCOMPARE(t->rowCount(), 3);
        const int kr = rowOf(t, QStringLiteral("KRAWĘŻNIKI")), oz = rowOf(t, QStringLiteral("OZNAKOWANIE"));
        QVERIFY(kr >= 0 && oz >= 0);
        QCOMPARE(t->item(kr, cadhost::LayerPanel::Color)->text(), QStringLiteral("1"));
        QCOMPARE(t->item(kr, cadhost::LayerPanel::On)->checkState(), Qt::Checked);
        QCOMPARE(t->item(oz, cadhost::LayerPanel::Locked)->checkState(), Qt::Checked);
        QCOMPARE(t->item(rowOf(t, QStringLiteral("0")), cadhost::LayerPanel::Current)->text(),
                 QStringLiteral("✓"));

        QImage img = h.view()->renderImage();
        QVERIFY(redNear(img, h.at(50, 0)));
        // The user unticks "on": the line disappears and the drawing has changed.
        t->item(kr, cadhost::LayerPanel::On)->setCheckState(Qt::Unchecked);
        QVERIFY(!h.db().layers().find(QStringLiteral("KRAWĘŻNIKI"))->on);
        QVERIFY(!h.doc()->saved);
        img = h.view()->renderImage();
        QVERIFY(!redNear(img, h.at(50, 0)));
        QVERIFY(h.window->windowTitle().endsWith(QLatin1Char('*')));

        // Double-click makes a layer current; what the user draws lands on it.
        const int ozRow = rowOf(t, QStringLiteral("OZNAKOWANIE"));
        emit t->cellDoubleClicked(ozRow, cadhost::LayerPanel::Name);
        QCOMPARE(h.db().activeLayer()->name(), QStringLiteral("OZNAKOWANIE"));
        QCOMPARE(t->item(rowOf(t, QStringLiteral("OZNAKOWANIE")), cadhost::LayerPanel::Current)->text(),
                 QStringLiteral("✓"));
        h.sendCommand(QStringLiteral("_circle\r10,10\r5\r"));
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.ms()->item(h.ms()->count() - 1)->layer(), QStringLiteral("OZNAKOWANIE"));

        // The current layer cannot be frozen: the user is told, the layer stays thawed.
        ui::ScriptedPrompts prompts;
        prompts.answerMessage(ui::Ok);
        t->item(rowOf(t, QStringLiteral("OZNAKOWANIE")), cadhost::LayerPanel::Frozen)
            ->setCheckState(Qt::Checked);
        QVERIFY(!h.db().layers().find(QStringLiteral("OZNAKOWANIE"))->frozen);
        QCOMPARE(int(prompts.asked().size()), 1);
        QCOMPARE(t->item(rowOf(t, QStringLiteral("OZNAKOWANIE")), cadhost::LayerPanel::Frozen)->checkState(),
                 Qt::Unchecked);
    }
};

QTEST_MAIN(LayerPanelTest)
#include "LayerPanelTest.moc"
