// Drawings no real drawing nests so deep, as the user meets them: references nested past the
// drawing's depth (256 levels, 257, 30,000 and 100,000), a block inserting the next one twice 40
// levels deep, a grid of a million cells and a dimension whose block inserts itself. Each opens,
// zooms to its extents, is picked, selected, snapped to, copied and saved without end or crash, and
// the view tells once what it did not draw.
#include "HostFixture.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/engine/BlockNesting.h"
#include "platform/ui/core/Prompt.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace cad::db;

namespace {

QByteArray block(const QByteArray& name, const QByteArray& body, int flags = 0) {
    return "0\nBLOCK\n8\n0\n2\n" + name + "\n70\n" + QByteArray::number(flags) + "\n10\n0\n20\n0\n30\n0\n" +
           body + "0\nENDBLK\n8\n0\n";
}

QByteArray insert(const QByteArray& name, double x, double y = 0) {
    return "0\nINSERT\n8\n0\n2\n" + name + "\n10\n" + QByteArray::number(x) + "\n20\n" +
           QByteArray::number(y) + "\n30\n0\n";
}

QByteArray line(double x0, double y0, double x1, double y1) {
    return "0\nLINE\n8\n0\n10\n" + QByteArray::number(x0) + "\n20\n" + QByteArray::number(y0) +
           "\n30\n0\n11\n" + QByteArray::number(x1) + "\n21\n" + QByteArray::number(y1) + "\n31\n0\n";
}

QByteArray drawing(const QByteArray& blocks, const QByteArray& entities) {
    return "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n" + blocks +
           "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

// References nested `levels` deep: model space holds N<levels-1> at 0,0; each N<i> holds a line
// from 0,0 to 0,1 and N<i-1> one unit along X. The line at X = k is k + 1 levels deep.
QByteArray nested(int levels) {
    QByteArray blocks;
    blocks.reserve(levels * 160);
    blocks += block("N0", line(0, 0, 0, 1));
    for (int i = 1; i < levels; ++i)
        blocks +=
            block("N" + QByteArray::number(i), line(0, 0, 0, 1) + insert("N" + QByteArray::number(i - 1), 1));
    return drawing(blocks, insert("N" + QByteArray::number(levels - 1), 0));
}

}  // namespace

class NestingTest : public QObject {
    Q_OBJECT

    static bool open(HostFixture& h, const QByteArray& dxf,
                     const QString& name = QStringLiteral("zagniezdzone")) {
        const QString path = h.dir.filePath(name + QStringLiteral(".dxf"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(dxf) != dxf.size()) return false;
        f.close();
        return h.window->openFile(path);
    }
    static void type(HostFixture& h, std::initializer_list<const char*> inputs) {
        for (const char* t : inputs) h.window->submitText(QString::fromUtf8(t));
    }
    static bool lit(const QImage& img, QPoint p) {
        const QColor bg = img.pixelColor(0, 0);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (img.rect().contains(p + QPoint(dx, dy)) && img.pixelColor(p + QPoint(dx, dy)) != bg)
                    return true;
        return false;
    }

private slots:
    // 256 levels are drawn whole; from 257 on the 257th reference is left out and told, and its
    // insertion point is the end of the extents. Snaps reach the line 256 levels deep, not the one
    // below it; a copy stops the same way; the save keeps every level.
    void deepNestingOpensZoomsSelectsSnapsCopiesAndSaves_data() {
        QTest::addColumn<int>("levels");
        for (int levels : {256, 257, 30000, 100000}) QTest::addRow("%d", levels) << levels;
    }
    void deepNestingOpensZoomsSelectsSnapsCopiesAndSaves() {
        QFETCH(int, levels);
        HostFixture h;
        QVERIFY(open(h, nested(levels)));
        h.view()->resize(800, 500);
        type(h, {"_zoom", "Z"});
        const double end = levels > 256 ? 256 : 255;
        QCOMPARE(h.view()->viewCenter().x, end / 2);
        QCOMPARE(h.view()->viewCenter().y, 0.5);
        QImage img = h.view()->renderImage();
        QVERIFY(lit(img, h.at(255, 0.5)));
        const QString one = levels > 256 ? nestingLeftOutNote(1) : QString();
        QCOMPARE(h.view()->leftOutNote(), one);

        // Picked and selected as the reference it is, by a click and by a window round it.
        Entity* top = h.ms()->entities().front();
        QCOMPARE(h.view()->entityAt(h.at(100, 0.5)), top);
        h.view()->setSnapEnabled(false);
        const QPoint corner(3, 3);
        h.moveAndClick(corner);
        h.moveAndClick(QPoint(h.view()->width(), h.view()->height()) - corner);
        QCOMPARE(h.view()->selection(), QSet<quint64>{top->handle()});
        h.view()->clearSelection();

        h.view()->setSnapEnabled(true);
        h.zoomTo(250, -2, 260, 3);
        const auto deepest = h.view()->snapAt(h.at(255, 1));
        QVERIFY(deepest && deepest->kind == cadhost::SnapPoint::End);
        QCOMPARE(deepest->point.x, 255.0);
        QVERIFY(!h.view()->snapAt(h.at(256, 1)));

        // Copied up by the user's command: two references, each stopped at the same level.
        h.view()->setSnapEnabled(false);
        type(h, {"_zoom", "Z"});
        h.moveAndClick(h.at(100, 0.5));
        type(h, {"_copy", "0,0", "0,5", ""});
        QCOMPARE(h.ms()->count(), 2);
        h.changed();
        type(h, {"_zoom", "Z"});
        img = h.view()->renderImage();
        QVERIFY(lit(img, h.at(255, 5.5)));
        QCOMPARE(h.view()->leftOutNote(), levels > 256 ? nestingLeftOutNote(2) : QString());

        // Saved as the user saves, and read back with every level.
        ui::ScriptedPrompts prompts;
        const QString path = h.dir.filePath(QStringLiteral("zapisane.dxf"));
        prompts.answerFile(path);
        QTest::keyClick(h.window->promptInput(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(prompts.unexpected(), 0);
        const std::unique_ptr<Database> back = cad::dxf::readFile(path);
        QCOMPARE(back->modelSpace()->count(), 2);
        for (int i = 1; i < levels; ++i) {
            const BlockDefinition* b = back->findBlock(QStringLiteral("N%1").arg(i));
            QVERIFY(b && b->entities().size() == 2);
            QCOMPARE(b->entities()[1]->as<InsertData>().blockName, QStringLiteral("N%1").arg(i - 1));
        }
        QCOMPARE(back->findBlock(QStringLiteral("N0"))->entities().front()->kind(), EntityKind::Line);
        long long leftOut = -1;
        back->boundingBox(back->modelSpace()->entities().back(), &leftOut);
        QCOMPARE(leftOut, levels > 256 ? 1 : 0);
    }

    // The screenshot tool opens such a drawing, zooms to its extents, saves the picture and tells
    // what it lacks.
    void drawingshotDrawsAndTellsWhatItLeftOut() {
        QTemporaryDir dir;
        for (int levels : {30000, 100000}) {
            const QString in = dir.filePath(QStringLiteral("n%1.dxf").arg(levels)),
                          out = in + QStringLiteral(".png");
            QFile f(in);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(nested(levels));
            f.close();
            QProcess shot;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            shot.setProcessEnvironment(env);
            shot.start(QStringLiteral(DRAWINGSHOT), {in, out});
            QVERIFY(shot.waitForFinished(120000));
            QCOMPARE(shot.exitStatus(), QProcess::NormalExit);
            QCOMPARE(shot.exitCode(), 0);
            QVERIFY(QString::fromUtf8(shot.readAllStandardError()).contains(nestingLeftOutNote(1)));
            QVERIFY(!QImage(out).isNull());
        }
    }

    // A block inserting the next one twice at the same place, 40 levels deep (2^40 references, all
    // under the cursor), and a grid of 1000 x 1000 cells: drawn as far as the primitive limit, with
    // how many references were not drawn said; picks, windows and snaps answer.
    void drawingStoppedAtThePrimitiveLimitSaysHowMuchIsMissing() {
        HostFixture h;
        QByteArray blocks = block("F0", line(0, 0, 1, 0));
        for (int i = 1; i <= 40; ++i) {
            const QByteArray inner = "F" + QByteArray::number(i - 1);
            blocks += block("F" + QByteArray::number(i), insert(inner, 0) + insert(inner, 0));
        }
        QVERIFY(open(h, drawing(blocks, insert("F40", 0))));
        h.view()->resize(600, 400);
        h.view()->setSnapEnabled(false);
        h.zoomTo(-1, -1, 2, 1);
        h.view()->renderImage();
        const QString note = h.view()->leftOutNote();
        const QRegularExpressionMatch m =
            QRegularExpression(
                QStringLiteral("^Nie narysowano wstawień bloków: (\\d+) \\(jeden obiekt rysunku składa "
                               "się z ponad 500000 elementów\\)\\.$"))
                .match(note);
        QVERIFY2(m.hasMatch(), qPrintable(note));
        // Of the 2^41 - 2 references inside the top one, fewer than the limit were drawn.
        const long long all = (1LL << 41) - 2, notDrawn = m.captured(1).toLongLong();
        QVERIFY(notDrawn <= all && notDrawn > all - 500000);
        Entity* top = h.ms()->entities().front();
        QCOMPARE(h.view()->entityAt(h.at(0.5, 0)), top);
        h.moveAndClick(h.at(-0.5, -0.5));
        h.moveAndClick(h.at(1.5, 0.5));
        QCOMPARE(h.view()->selection(), QSet<quint64>{top->handle()});
        h.view()->clearSelection();
        h.view()->setSnapEnabled(true);
        const auto snap = h.view()->snapAt(h.at(0.52, 0.01));
        QVERIFY(snap && snap->kind == cadhost::SnapPoint::Middle);

        // A grid: the limit is reached after half the cells (each one line), the rest are counted.
        QByteArray grid = insert("KRESKA", 0);
        grid.replace("0\nINSERT\n", "0\nINSERT\n100\nAcDbMInsertBlock\n70\n1000\n71\n1000\n44\n1\n45\n1\n");
        QVERIFY(open(h, drawing(block("KRESKA", line(0, 0, 0.5, 0)), grid), QStringLiteral("siatka")));
        h.zoomTo(-10, -10, 1010, 1010);
        h.view()->renderImage();
        QCOMPARE(h.view()->leftOutNote(),
                 QStringLiteral(
                     "Nie narysowano wstawień bloków: 500000 (jeden obiekt rysunku składa się z ponad 500000 "
                     "elementów)."));
    }

    // A dimension whose block inserts itself, through another block or directly, draws the block
    // once and names the blocks; the reference it stops at is not told again as nested too deep.
    void aDimensionWhoseBlockInsertsItselfIsNamed() {
        HostFixture h;
        QByteArray dim = "0\nDIMENSION\n8\n0\n2\n*D1\n70\n32\n10\n0\n20\n5\n13\n0\n23\n0\n14\n20\n24\n0\n";
        QByteArray own = dim;  // aligned: a dimension of its own kind
        own.replace("*D1", "*D2").replace("70\n32\n", "70\n33\n");
        const QByteArray blocks = block("*D1", line(0, 0, 20, 0) + insert("POSREDNI", 0), 1) +
                                  block("POSREDNI", insert("*D1", 0)) +
                                  block("*D2", line(0, 10, 20, 10) + insert("*D2", 0), 1);
        QVERIFY(open(h, drawing(blocks, dim + own)));
        h.view()->resize(600, 400);
        h.zoomTo(-5, -5, 25, 15);
        const QImage img = h.view()->renderImage();
        QVERIFY(lit(img, h.at(10, 0)));
        QVERIFY(lit(img, h.at(10, 10)));
        QCOMPARE(h.view()->leftOutNote(),
                 selfInsertionNote({QStringLiteral("*D1"), QStringLiteral("POSREDNI")}) + QLatin1Char('\n') +
                     selfInsertionNote({QStringLiteral("*D2")}));
        QCOMPARE(selfInsertionNote({QStringLiteral("*D1"), QStringLiteral("POSREDNI")}),
                 QStringLiteral("Blok \"*D1\" wstawia sam siebie (przez blok \"POSREDNI\")"));

        // Added afterwards, as a program adds them, and painted over the image: a copy of the first
        // dimension is not told again; a dimension of a new such block and a reference to a block
        // inside itself are.
        Database& db = h.db();
        db.copy(h.ms()->entities()[0]);
        Entity* third = db.copy(h.ms()->entities()[1]);
        BlockDefinition* fresh = db.addBlock(QStringLiteral("*D"));
        db.insertBlock(fresh, {}, fresh->name(), 1, 1, 1, 0);
        third->as<DimensionData>().blockName = fresh->name();
        db.insertBlock(db.addBlock(QStringLiteral("PETLA")), {}, QStringLiteral("PETLA"), 1, 1, 1, 0);
        db.insertBlock(h.ms(), {}, QStringLiteral("PETLA"), 1, 1, 1, 0);
        h.view()->entitiesAdded();
        QCOMPARE(h.view()->leftOutNote(),
                 QStringList({selfInsertionNote({QStringLiteral("*D1"), QStringLiteral("POSREDNI")}),
                              selfInsertionNote({QStringLiteral("*D2")}), selfInsertionNote({fresh->name()}),
                              nestingLeftOutNote(1)})
                     .join(QLatin1Char('\n')));
    }

    // Exactly as many entities are drawn as the limit allows: a grid of 1000 x 1000 cells of one
    // line draws 499,999 lines (the grid itself is the first of the 500,000) and tells the 500,000
    // cells it did not reach.
    void thePrimitiveLimitDrawsAllItAllows() {
        struct Lines : cadhost::PrimitiveSink {
            long count = 0;
            void polyline(const QPolygonF&, const QPen&) override { ++count; }
            void fill(const QPainterPath&, const QColor&) override {}
            void text(const QString&, const QFont&, const QTransform&, const QColor&) override {}
            void clipped(const QPainterPath&, const std::vector<QLineF>&, const QPen&) override {}
        } lines;
        Database db;
        db.addLine(db.addBlock(QStringLiteral("KRESKA")), {0, 0, 0}, {0.5, 0, 0});
        Entity* grid = db.insertBlock(db.modelSpace(), {}, QStringLiteral("KRESKA"), 1, 1, 1, 0);
        auto& d = grid->as<InsertData>();
        d.rows = d.columns = 1000;
        d.rowSpacing = d.columnSpacing = 1;
        cadhost::DrawingRenderer renderer(db, Transform2D{}, lines);
        renderer.draw(grid);
        QCOMPARE(lines.count, 499999L);
        QCOMPARE(renderer.leftOut().overLimit, 500000LL);
        // One reference not drawn is told as well.
        const cadhost::LeftOut one{0, 1, {}};
        QCOMPARE(one.note(),
                 QStringLiteral("Nie narysowano wstawień bloków: 1 (jeden obiekt rysunku składa się z ponad 500000 "
                                "elementów)."));
    }
};

QTEST_MAIN(NestingTest)
#include "NestingTest.moc"
