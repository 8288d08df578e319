// The host window driven by a scripted mouse and keyboard: rendering, commands with snaps,
// Escape, and the file menu's questions.
#include "HostFixture.h"

#include "cadhost/Palette.h"
#include "platform/cad/dxf/DxfReader.h"
#include "platform/ui/core/Prompt.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>
#include <cmath>
#include <numbers>

using namespace cad::db;

class WindowTest : public QObject {
    Q_OBJECT

    // A pixel near the point painted in the expected colour, possibly blended with the
    // background by antialiasing (a thin line may fall between two pixel rows).
    static bool colourNear(const QImage& img, QPoint p, const QColor& want, int radius = 1) {
        const QColor bg = img.pixelColor(0, 0);
        const double wr = want.red() - bg.red(), wg = want.green() - bg.green(), wb = want.blue() - bg.blue();
        const double len2 = wr * wr + wg * wg + wb * wb;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const QPoint q = p + QPoint(dx, dy);
                if (!img.rect().contains(q)) continue;
                const QColor c = img.pixelColor(q);
                const double cr = c.red() - bg.red(), cg = c.green() - bg.green(), cb = c.blue() - bg.blue();
                const double t = (cr * wr + cg * wg + cb * wb) / len2;
                const double rr = cr - t * wr, rg = cg - t * wg, rb = cb - t * wb;
                if (t > 0.35 && std::sqrt(rr * rr + rg * rg + rb * rb) < 30) return true;
            }
        return false;
    }

private slots:
    void rendersColoursBlocksHatchesAndHiddenLayers() {
        HostFixture h;
        Database& db = h.db();
        db.addLayer(QStringLiteral("DROGA"))->color = 3;
        db.addLayer(QStringLiteral("UKRYTA"))->color = 2;
        db.layers().find(QStringLiteral("UKRYTA"))->on = false;
        Entity* road = db.addLine(h.ms(), {-40, 0, 0}, {40, 0, 0});
        db.setLayer(road, QStringLiteral("DROGA"));                // by layer: green
        db.addLine(h.ms(), {20, -40, 0}, {20, 40, 0})->color = 1;  // red
        db.setLayer(db.addLine(h.ms(), {-40, -20, 0}, {40, -20, 0}), QStringLiteral("UKRYTA"));
        // A block whose circle takes the reference's colour, referenced directly and nested.
        BlockDefinition* b = db.addBlock(QStringLiteral("KOLO"));
        db.addCircle(b, {0, 0, 0}, 5)->color = ColorByBlock;
        db.insertBlock(h.ms(), {-20, 20, 0}, QStringLiteral("KOLO"), 1, 1, 1, 0)->color = 5;
        BlockDefinition* outer = db.addBlock(QStringLiteral("ZEWN"));
        db.insertBlock(outer, {0, 0, 0}, QStringLiteral("KOLO"), 1, 1, 1, 0)->color = ColorByBlock;
        db.insertBlock(h.ms(), {-20, -35, 0}, QStringLiteral("ZEWN"), 2, 2, 1, 0)->color = 4;
        Entity* hatch = db.addHatch(h.ms(), 1, QStringLiteral("SOLID"), false);
        HatchLoop loop;
        loop.flags = 3;
        loop.vertices = {{30, 20}, {40, 20}, {40, 30}, {30, 30}};
        hatch->as<HatchData>().loops.push_back(loop);
        hatch->color = 6;
        h.changed();
        h.view()->resize(400, 400);
        Box area;
        area.add(-50, -50);
        area.add(50, 50);
        h.view()->zoomWindow(area);
        const QImage img = h.view()->renderImage();
        QVERIFY(colourNear(img, h.at(-30, 0), cadhost::AciColor(3)));
        QVERIFY(colourNear(img, h.at(20, 10), cadhost::AciColor(1)));
        QVERIFY(colourNear(img, h.at(-15, 20), cadhost::AciColor(5)));      // right edge of the circle
        QVERIFY(colourNear(img, h.at(-10, -35), cadhost::AciColor(4)));     // nested, scaled twice
        QVERIFY(colourNear(img, h.at(35, 25), cadhost::AciColor(6), 0));    // inside the fill
        QVERIFY(!colourNear(img, h.at(-30, -20), cadhost::AciColor(2)));    // layer off
        QVERIFY(!colourNear(img, h.at(-20, 20), cadhost::AciColor(5), 2));  // circle centre is empty
        // Pick returns the top-level reference for a click on the nested circle.
        QCOMPARE(h.view()->entityAt(h.at(-10, -35))->kind(), EntityKind::BlockReference);
        QVERIFY(h.view()->entityAt(h.at(0, 40)) == nullptr);
    }

    void selfReferencingBlockStillPaints() {
        HostFixture h;
        Database& db = h.db();
        BlockDefinition* loop = db.addBlock(QStringLiteral("PETLA"));
        db.addLine(loop, {0, 0, 0}, {1, 0, 0});
        try {
            // A damaged drawing: the block holds references to itself.
            db.insertBlock(loop, {1, 0, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
            db.insertBlock(loop, {0, 1, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
        } catch (const cad::Error&) {
            QSKIP("the engine refuses a block that references itself");
        }
        db.insertBlock(h.ms(), {0, 0, 0}, QStringLiteral("PETLA"), 1, 1, 1, 0);
        h.changed();
        QElapsedTimer t;
        t.start();
        h.view()->renderImage();
        QVERIFY(t.elapsed() < 5000);
        // The references of the block inside itself are left out, and the view says so.
        QCOMPARE(h.view()->leftOutNote(),
                 QStringLiteral("Nie narysowano wstawień bloków: 2 (blok wstawiony w samego siebie lub zagnieżdżony "
                                "głębiej niż 256 poziomów)."));
    }

    // Blocks nested 40 deep (each holding the one before, shifted) are drawn to the innermost.
    void deeplyNestedBlocksAreDrawn() {
        HostFixture h;
        Database& db = h.db();
        db.addCircle(db.addBlock(QStringLiteral("POZIOM0")), {0, 0, 0}, 2)->color = 1;
        for (int i = 1; i <= 40; ++i)
            db.insertBlock(db.addBlock(QStringLiteral("POZIOM%1").arg(i)), {0.5, 0, 0},
                           QStringLiteral("POZIOM%1").arg(i - 1), 1, 1, 1, 0);
        db.insertBlock(h.ms(), {0, 0, 0}, QStringLiteral("POZIOM40"), 1, 1, 1, 0);
        h.changed();
        h.view()->resize(400, 400);
        h.zoomTo(0, -10, 40, 10);
        const QImage img = h.view()->renderImage();
        QVERIFY(colourNear(img, h.at(22, 0), cadhost::AciColor(1)));  // the circle at x = 20, 40 levels down
        QVERIFY(!colourNear(img, h.at(2, 0), cadhost::AciColor(1)));
        QVERIFY(h.view()->leftOutNote().isEmpty());
    }

    void saveAsIsCtrlShiftS() {
        HostFixture h;
        ui::ScriptedPrompts prompts;
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        const QString path = h.dir.filePath(QStringLiteral("skrot.dxf"));
        prompts.answerFile(path);
        QTest::keyClick(h.window->promptInput(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h.doc()->fullName, path);
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(prompts.unexpected(), 0);
    }

    void arcThroughThreePointsSnapsToLineEnd() {
        HostFixture h;
        h.db().addLine(h.ms(), {0, 0, 0}, {100, 0, 0});
        h.changed();
        Box area;
        area.add(-20, -60);
        area.add(120, 60);
        h.view()->zoomWindow(area);
        h.sendCommand(QStringLiteral("_arc\r"));
        QTRY_COMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Point);
        QVERIFY(!h.model.commands().isQuiescent());
        // A few pixels off the line's end: the snap puts the point on it exactly.
        h.moveAndClick(h.at(100, 0) + QPoint(4, -3));
        QTRY_VERIFY(h.window->promptText().contains(QStringLiteral("drugi punkt")));
        h.moveAndClick(h.at(70, 30));
        // The third point typed at the prompt line.
        QTest::keyClicks(h.window->promptInput(), QStringLiteral("40,0"));
        QTest::keyClick(h.window->promptInput(), Qt::Key_Return);
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.ms()->count(), 2);
        const Entity* arc = h.ms()->item(1);
        QCOMPARE(arc->kind(), EntityKind::Arc);
        const ArcData& a = *arc->tryAs<ArcData>();
        const double sx = a.center.x + a.radius * std::cos(a.startAngle),
                     sy = a.center.y + a.radius * std::sin(a.startAngle);
        const double ex = a.center.x + a.radius * std::cos(a.endAngle),
                     ey = a.center.y + a.radius * std::sin(a.endAngle);
        const bool startOnEnd = std::hypot(sx - 100, sy) < 1e-9 || std::hypot(ex - 100, ey) < 1e-9;
        QVERIFY2(startOnEnd, "the arc must begin exactly on the line's end point");
        QVERIFY(std::hypot(sx - 40, sy) < 1e-9 || std::hypot(ex - 40, ey) < 1e-9);
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));

        // A command a program sends whole runs with no input from the user: its note is shown
        // and what it drew is painted.
        (void)h.view()->grab();
        h.sendCommand(QStringLiteral("_circle\r40,0\rxyz\r5\r"));
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.ms()->count(), 3);
        QTRY_VERIFY(!h.view()->isUnpainted(h.ms()->item(2)));
        QCOMPARE(h.window->messageText(), QStringLiteral("Nieprawidłowa odpowiedź \u201exyz\u201d."));
    }

    void escapeDuringPolylineKeepsItsSegments() {
        HostFixture h;
        Box area;
        area.add(-10, -10);
        area.add(110, 110);
        h.view()->zoomWindow(area);
        h.view()->setFocus();
        QTest::keyClick(h.view(), Qt::Key_F3);  // snapping off: the clicks stay where they are
        QVERIFY(!h.view()->snapEnabled());
        h.sendCommand(QStringLiteral("_pline\r"));
        QTRY_COMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Point);
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {50.0, 0.0}, {50.0, 50.0}, {100.0, 50.0}})
            h.moveAndClick(h.at(x, y));
        QTest::keyClick(h.view(), Qt::Key_Escape);
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.model.lastPrompt, QStringLiteral("*Anulowano*"));
        QCOMPARE(h.ms()->count(), 1);
        const auto& pl = *h.ms()->item(0)->tryAs<LwPolylineData>();
        QCOMPARE(int(pl.vertices.size()), 4);
        QVERIFY(std::abs(pl.vertices[2].x - 50) < 0.5 && std::abs(pl.vertices[2].y - 50) < 0.5);
        QCOMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Idle);
    }

    void bundledSampleMapOpensAndShows() {
        HostFixture h;
        const QString sample = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf");
        QVERIFY(h.window->openFile(sample));
        QCOMPARE(int(h.model.documents().size()), 2);
        QCOMPARE(h.doc()->name, QStringLiteral("Przyklad.dxf"));
        for (const char* layer : {"KRAWEZNIKI", "LINIE", "PRZEJSCIA", "WYSEPKI"})
            QVERIFY2(h.db().layers().find(QString::fromLatin1(layer)), layer);
        QVERIFY(h.db().findBlock(QStringLiteral("STRZALKA")));
        // Shown whole: the island's green fill is on screen.
        const QImage img = h.view()->renderImage();
        bool green = false;
        for (int y = 0; y < img.height() && !green; y += 2)
            for (int x = 0; x < img.width() && !green; x += 2)
                green = img.pixelColor(x, y) == cadhost::AciColor(3);
        QVERIFY(green);
        // The window menu lists both drawings; the first is reachable again.
        cad::DocumentState* first = h.model.documents().front();
        h.model.setActiveDocument(first);
        h.window->syncDocuments();
        QCOMPARE(h.view()->scene()->database(), first->db.get());
    }

    void wheelZoomKeepsThePointUnderTheCursor() {
        HostFixture h;
        h.db().addLine(h.ms(), {0, 0, 0}, {100, 100, 0});
        h.changed();
        h.view()->zoomExtents();
        const QPoint p(200, 150);
        const Point3 before = h.view()->toWorld(p);
        const double scale = h.view()->viewScale();
        QWheelEvent wheel(p, h.view()->mapToGlobal(p), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(h.view(), &wheel);
        QVERIFY(h.view()->viewScale() > scale * 1.5);
        const Point3 after = h.view()->toWorld(p);
        QVERIFY(std::abs(after.x - before.x) < 1e-6 && std::abs(after.y - before.y) < 1e-6);
    }

    void closingAsksAboutUnsavedChangesAndSaveAsWritesTheFile() {
        HostFixture h;
        ui::ScriptedPrompts prompts;
        h.invoke(h.model.blockId(h.doc(), h.ms()), QStringLiteral("AddLine"),
                 {cad::Point{0, 0, 0}, cad::Point{10, 5, 0}});
        h.doc()->saved = false;
        prompts.answerMessage(ui::Cancel);
        QVERIFY(!h.window->closeDrawing(h.doc()));
        QCOMPARE(int(h.model.documents().size()), 1);
        QVERIFY(prompts.messageTexts().value(0).startsWith(QStringLiteral("Zapisać zmiany w rysunku")));

        const QString path = h.dir.filePath(QStringLiteral("zapis"));  // the extension is added
        prompts.answerMessage(ui::Yes);
        prompts.answerFile(path);
        QVERIFY(h.window->closeDrawing(h.doc()));
        QCOMPARE(int(h.model.documents().size()), 0);
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        const auto back = cad::dxf::readFile(path + QStringLiteral(".dxf"));
        QCOMPARE(back->modelSpace()->count(), 1);
        // An independent reader accepts the file too.
        QProcess py;
        py.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys, ezdxf; d = ezdxf.readfile(sys.argv[1]); print(len(d.modelspace()))"),
             path + QStringLiteral(".dxf")});
        QVERIFY(py.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(py.readAllStandardOutput()).trimmed(), QStringLiteral("1"));
        QCOMPARE(h.window->recentFiles().value(0), path + QStringLiteral(".dxf"));

        // Reopening from the list: the window shows it, and opening it twice keeps one copy.
        QVERIFY(h.window->openFile(path + QStringLiteral(".dxf")));
        QVERIFY(h.window->openFile(path + QStringLiteral(".dxf")));
        QCOMPARE(int(h.model.documents().size()), 1);
        QVERIFY(h.window->windowTitle().contains(QStringLiteral("zapis.dxf")));
        QCOMPARE(prompts.unexpected(), 0);
    }

    // Whether a drawing holds unsaved changes is the model's answer: an untouched new drawing
    // and a drawing just opened close without a question however long they stay open; what the
    // user draws marks the drawing and saving clears the mark.
    void onlyChangedDrawingsAskToBeSaved() {
        HostFixture h;
        ui::ScriptedPrompts prompts;
        QVERIFY(h.doc()->saved);
        QVERIFY(!h.window->windowTitle().endsWith(QLatin1Char('*')));
        QVERIFY(h.window->openFile(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf")));
        QTest::qWait(300);  // the window keeps looking at the drawings meanwhile
        QVERIFY(h.doc()->saved);
        QVERIFY(!h.window->windowTitle().endsWith(QLatin1Char('*')));
        QVERIFY(h.window->closeDrawing(h.doc()));
        QCOMPARE(int(h.model.documents().size()), 1);
        QTest::qWait(300);
        QVERIFY(h.doc()->saved);
        QVERIFY(prompts.asked().empty());

        Box area;
        area.add(-10, -10);
        area.add(110, 110);
        h.view()->zoomWindow(area);
        h.view()->setSnapEnabled(false);
        h.sendCommand(QStringLiteral("_pline\r"));
        QTRY_COMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Point);
        for (const auto& [x, y] : {std::pair{10.0, 10.0}, {60.0, 40.0}, {60.0, 80.0}})
            h.moveAndClick(h.at(x, y));
        QTest::keyClick(h.view(), Qt::Key_Escape);
        QTRY_VERIFY(h.model.commands().isQuiescent());
        QCOMPARE(h.ms()->count(), 1);
        QTRY_VERIFY(h.window->windowTitle().endsWith(QLatin1Char('*')));
        prompts.answerMessage(ui::Cancel);
        QVERIFY(!h.window->closeDrawing(h.doc()));
        QCOMPARE(prompts.messageTexts().size(), 1);

        prompts.answerFile(h.dir.filePath(QStringLiteral("linia.dxf")));
        QVERIFY(h.window->saveDrawingAs(h.doc()));
        QVERIFY(h.doc()->saved);
        QVERIFY(!h.window->windowTitle().endsWith(QLatin1Char('*')));
        QVERIFY(h.window->closeDrawing(h.doc()));
        QCOMPARE(int(h.model.documents().size()), 0);
        QCOMPARE(prompts.messageTexts().size(), 1);
        QCOMPARE(prompts.unexpected(), 0);
    }

    // The view shows the highlight the model keeps, whoever set it: here calls the window never
    // hears of. An attribute lights up its block reference.
    void addedEntitiesArePaintedOverTheCachedImage() {
        HostFixture h;
        Database& db = h.db();
        for (int i = 0; i < 20; ++i) db.addLine(h.ms(), {-40, -40.0 + 4 * i, 0}, {40, -40.0 + 4 * i, 0});
        h.changed();
        Box area;
        area.add(-50, -50);
        area.add(50, 50);
        h.view()->zoomWindow(area);
        (void)h.view()->grab();  // paints the cached image
        Entity* added = db.addLine(h.ms(), {-30, -30, 0}, {30, 30, 0});
        added->color = 1;
        QVERIFY(h.view()->isUnpainted(added));
        QVERIFY(!h.view()->isUnpainted(h.ms()->item(0)));
        h.view()->entitiesAdded();
        QVERIFY(!h.view()->isUnpainted(added));  // drawn into the kept image, no full repaint
        const QImage incremental = h.view()->grab().toImage();
        QVERIFY(colourNear(incremental, h.at(10, 10), cadhost::AciColor(1)));
        // The same picture a full repaint gives.
        QCOMPARE(incremental.convertToFormat(QImage::Format_RGB32),
                 h.view()->renderImage().convertToFormat(QImage::Format_RGB32));
    }

    // While a program's calls keep coming the view is not repainted; once they pause it shows
    // what they did. A pick shows the drawing before the pause: the user answers looking at it.
    void programsCallsHoldTheRepaintUntilTheyPause() {
        HostFixture h;
        h.zoomTo(-50, -50, 50, 50);
        (void)h.view()->grab();
        const cad::ObjectId space = h.model.blockId(h.doc(), h.ms());
        double y = -40;
        auto programAddsLine = [&] {
            cad::Call call{space, QStringLiteral("AddLine"), cad::CallKind::Method,
                           {cad::Point{-40, y, 0}, cad::Point{40, y, 0}}};
            cad::Reply reply;
            reply.result = h.model.invoke(call.object, call.member, call.kind, call.args);
            h.window->afterCall(call, reply);
            y += 1;
            return static_cast<Entity*>(h.model.record(reply.result.toObject()).object);
        };
        Entity* first = programAddsLine();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 250) {
            programAddsLine();
            QTest::qWait(3);
        }
        QVERIFY(h.view()->isUnpainted(first));
        Entity* last = programAddsLine();
        last->color = 1;
        QTRY_VERIFY_WITH_TIMEOUT(!h.view()->isUnpainted(last), 1000);
        QVERIFY(colourNear(h.view()->grab().toImage(), h.at(0, y - 1), cadhost::AciColor(1)));

        Entity* shownAtPick = programAddsLine();
        QVERIFY(h.view()->isUnpainted(shownAtPick));
        cad::InputRequest pick;
        pick.prompt = QStringLiteral("Wskaż punkt");
        const int owner = 0;
        h.interaction.beginPick(pick, [](const cad::Input&) {}, &owner);
        clock.restart();
        while (clock.elapsed() < 40 && h.view()->isUnpainted(shownAtPick)) {
            programAddsLine();  // another program keeps calling
            QTest::qWait(3);
        }
        QVERIFY(!h.view()->isUnpainted(shownAtPick));
        h.interaction.dropPicksOf(&owner);
    }

    // A program's change of look (an entity's colour, a layer's) repaints the picture without
    // rebuilding the drawing's index, as the tables declare those members; a move rebuilds it.
    void aProgramsLookChangeRepaintsWithoutRebuildingTheIndex() {
        HostFixture h;
        h.zoomTo(-50, -50, 50, 50);
        Entity* line = h.db().addLine(h.ms(), {-30, 0, 0}, {30, 0, 0});
        h.changed();
        (void)h.view()->grab();
        const quint64 built = h.view()->scene()->generation();
        auto programPuts = [&](cad::ObjectId object, const QString& member, const cad::Variant& value) {
            cad::Call call{object, member, cad::CallKind::Put, {value}};
            cad::Reply reply;
            reply.result = h.model.invoke(call.object, call.member, call.kind, call.args);
            h.window->afterCall(call, reply);
        };
        const cad::ObjectId id = h.model.entityId(h.doc(), line);
        programPuts(id, QStringLiteral("Color"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(colourNear(h.view()->grab().toImage(), h.at(10, 0), cadhost::AciColor(1)), 1000);
        programPuts(id, QStringLiteral("Color"), 256);
        const cad::Variant zero(QStringLiteral("0"));
        const cad::ObjectId layer =
            h.model.invoke(h.doc()->layersId, QStringLiteral("Item"), cad::CallKind::Method, {&zero, 1}).toObject();
        programPuts(layer, QStringLiteral("Color"), 3);
        QTRY_VERIFY_WITH_TIMEOUT(colourNear(h.view()->grab().toImage(), h.at(10, 0), cadhost::AciColor(3)), 1000);
        QCOMPARE(h.view()->scene()->generation(), built);

        const cad::Variant from(cad::Point{0, 0, 0}), to(cad::Point{0, 10, 0});
        const cad::Call move{id, QStringLiteral("Move"), cad::CallKind::Method, {from, to}};
        cad::Reply moved;
        moved.result = h.model.invoke(move.object, move.member, move.kind, move.args);
        h.window->afterCall(move, moved);
        QTRY_VERIFY_WITH_TIMEOUT(colourNear(h.view()->grab().toImage(), h.at(10, 10), cadhost::AciColor(3)), 1000);
        QVERIFY(h.view()->scene()->generation() != built);
    }

    void aDrawingAProgramOpensIsPaintedWhenItsCallsPause() {
        HostFixture h;
        (void)h.view()->grab();
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) ++paints;
                return false;
            }
        } counter;
        h.view()->installEventFilter(&counter);
        auto programCalls = [&](cad::ObjectId object, const QString& member, cad::CallKind kind) {
            cad::Call call{object, member, kind, {}};
            cad::Reply reply;
            reply.result = h.model.invoke(call.object, call.member, call.kind, call.args);
            h.window->afterCall(call, reply);
            return reply.result;
        };
        const cadhost::DrawingScene* before = h.view()->scene();
        const cad::ObjectId opened =
            programCalls(h.model.documentsId, QStringLiteral("Add"), cad::CallKind::Method).toObject();
        QVERIFY(h.view()->scene() != before);  // the window follows the active drawing at once
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 40) {  // the program reads on
            programCalls(opened, QStringLiteral("Name"), cad::CallKind::Get);
            QTest::qWait(3);
        }
        QCOMPARE(counter.paints, 0);
        QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, 1000);
        h.view()->removeEventFilter(&counter);
    }

    void viewShowsWhatTheModelHighlights() {
        HostFixture h;
        using cad::Point;
        const cad::ObjectId block =
            h.invoke(h.doc()->blocksId, QStringLiteral("Add"), {Point{0, 0, 0}, QStringLiteral("S-1")})
                .toObject();
        h.invoke(block, QStringLiteral("AddLine"), {Point{-20, 0, 0}, Point{20, 0, 0}});
        h.invoke(block, QStringLiteral("AddAttribute"),
                 {3.5, 0, QStringLiteral("RODZAJ"), Point{0, 5, 0}, QStringLiteral("RODZAJ"),
                  QStringLiteral("S")});
        const cad::ObjectId ref = h.invoke(h.model.blockId(h.doc(), h.ms()), QStringLiteral("InsertBlock"),
                                           {Point{0, 0, 0}, QStringLiteral("S-1"), 1.0, 1.0, 1.0, 0.0})
                                      .toObject();
        const cad::ObjectId attr =
            h.invoke(ref, QStringLiteral("GetAttributes")).toArray().value(0).toObject();
        QVERIFY(attr != 0);
        const quint64 handle = static_cast<Entity*>(h.model.record(ref).object)->handle();
        h.changed();
        Box area;
        area.add(-30, -30);
        area.add(30, 30);
        h.view()->zoomWindow(area);
        const QImage plain = h.view()->renderImage();

        h.invoke(attr, QStringLiteral("HighLight"), {true});
        QVERIFY(h.view()->scene()->highlighted.contains(handle));
        QVERIFY(h.view()->renderImage() != plain);  // drawn dashed and wider
        h.invoke(ref, QStringLiteral("HighLight"), {false});
        QVERIFY(h.view()->scene()->highlighted.isEmpty());
        QCOMPARE(h.view()->renderImage(), plain);

        // Each drawing keeps its own: a second one shows nothing highlighted.
        h.invoke(attr, QStringLiteral("HighLight"), {true});
        h.window->newDrawing();
        QVERIFY(h.view()->scene()->highlighted.isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
