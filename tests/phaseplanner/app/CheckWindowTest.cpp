// The intergreen check's commands through phaseplanner's window, offscreen, on a drawn program and
// the workbook its drawing names: the menu entries and buttons, the check's message and result
// block, a graph of the selected group, the colliding-pairs dialog, the hidden coordination window.
#include "CheckDrawingSetup.h"
#include "GroupBuilders.h"
#include "phaseplanner/app/CollisionDialog.h"
#include "phaseplanner/app/CoordinationWindow.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "platform/ui/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace phaseplanner;

namespace {
int blockReferences(const QString& name) {
    int n = 0;
    for (const cad::Entity& e : automation::CadModelSpace.entities())
        if (e.objectName() == QLatin1String("AcDbBlockReference") && e.name() == name) ++n;
    return n;
}
}  // namespace

class CheckWindowTest : public QObject {
    Q_OBJECT
    test::CheckDrawingSetup setup;
    std::unique_ptr<ui::ScriptedPrompts>& prompts = setup.prompts;
    QString folderPath;

private slots:
    void init() {
        // A drawing holding intersection 7's program (K1, K2, P1 of the workbook), naming the workbook.
        QVERIFY(setup.start(test::SmallBook()));
        folderPath = setup.folder->path();
        CycleLength = 60;
        GroupTable = {test::Group(KindVehicle, "K1", {{0, 20}}), test::Group(KindVehicle, "K2", {{23, 17}}),
                      test::Group(KindPedestrian, "P1", {{47, 10}})};
        QVERIFY(DrawProgram(false));
        // The window reads it all back at its start.
        GroupTable.clear();
        IntersectionNumber.clear();
        MainProgramWindow().clearIntersections();
        ResetProgramAttributeState();
    }
    void cleanup() { setup.stop(); }

    void theCheckCommandsRunFromTheWindow() {
        MainWindow w(folderPath + QStringLiteral("/bin"));
        QVERIFY(w.Form_Load());
        QCOMPARE(DefinedGroupCount(), 3);
        for (const char* key : {"SprawdzCzasy", "GrafGrupaMain", "PokazKolizje"})
            QVERIFY2(w.findChild<QToolButton*>(QString::fromLatin1(key)), key);
        QVERIFY(w.findChild<QAction*>(QStringLiteral("mnuDane_SprawdzCzasyBledne")));
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("mnu_Koordynacja")));  // hidden for the whole run

        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        w.RunCommand(QStringLiteral("mnuDane_SprawdzCzasyBledne"));
        QVERIFY(prompts->messageTexts().contains(QStringLiteral("Sprawdzono czasy międzyzielone.")));
        QCOMPARE(blockReferences(QStringLiteral("CZASMIEDZYZIELONY_7")), 1);
        // K2 starts a second early: its one wrong pair is written, in red.
        const QList<cad::Entity> texts =
            automation::CadDocument.blocks().item(QStringLiteral("CZASMIEDZYZIELONY_7")).entities();
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts[0].textString(), QStringLiteral("-1 (2K sek. 20)"));
        QCOMPARE(texts[0].color(), 1);

        // A graph needs a selected group row, and says so when none is current (as after an import).
        w.grid()->setCurrentCell(-1, -1);
        prompts->answerMessage(ui::Ok);
        w.RunCommand(QStringLiteral("mnuDane_GrafGrupa"));
        QCOMPARE(prompts->messageTexts().last(), QStringLiteral("Najpierw proszę wybrać grupę w tabeli."));
        QCOMPARE(blockReferences(QStringLiteral("GRAFDLAGRUPY_7")), 0);
        // The row's group is graphed.
        w.grid()->setRow(2);
        w.RunCommand(QStringLiteral("mnuDane_GrafGrupa"));
        QCOMPARE(blockReferences(QStringLiteral("GRAFDLAGRUPY_7")), 1);
        w.RunCommand(QStringLiteral("mnuDane_GrafWyczysc"));
        QCOMPARE(blockReferences(QStringLiteral("GRAFDLAGRUPY_7")), 0);

        int listed = -1;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<CollisionDialog*>(QApplication::activeModalWidget());
            if (d) {
                listed = d->pairList()->count();
                d->accept();
            }
        });
        w.RunCommand(QStringLiteral("mnuDane_PokazKolizje"));
        QCOMPARE(listed, 2);

        bool coordination = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<CoordinationWindow*>(QApplication::activeModalWidget());
            coordination = d != nullptr;
            if (d) d->reject();
        });
        w.RunCommand(QStringLiteral("mnu_Koordynacja"));
        QVERIFY(coordination);
        // Every message of the run: the question, the check's end, the graph without a group row, and
        // (no open drawing holds the intersection's streams) that when the dialog marks its first pair.
        const QStringList said = prompts->messageTexts();
        QCOMPARE(said.size(), 4);
        QVERIFY(said[0].startsWith(QStringLiteral("Czy otworzyć plik:")));
        QCOMPARE(said[1], QStringLiteral("Sprawdzono czasy międzyzielone."));
        QCOMPARE(said[2], QStringLiteral("Najpierw proszę wybrać grupę w tabeli."));
        QCOMPARE(said[3], QStringLiteral("Żaden otwarty rysunek nie zawiera strumieni skrzyżowania (bloku "
                                         "ATRYBUTY_STRUMIENI_7): strumienie nie zostaną pokolorowane."));
        w.Form_Unload();
    }

    void aGroupDifferingFromTheWorkbookIsListedNotCalledChecked() {
        MainWindow w(folderPath + QStringLiteral("/bin"));
        QVERIFY(w.Form_Load());
        QCOMPARE(DefinedGroupCount(), 3);
        GroupTable[2].Symbols = QStringLiteral("P1, P3");  // the workbook's third group is "P1"
        prompts->clear();
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        w.RunCommand(QStringLiteral("mnuDane_SprawdzCzasy"));
        const QStringList said = prompts->messageTexts();
        QCOMPARE(said.size(), 2);
        QVERIFY(said[1].startsWith(QStringLiteral("Sprawdzenie czasów międzyzielonych jest niepełne.")));
        QVERIFY(said[1].contains(QStringLiteral("grupa 3: w programie \"P1, P3\", w skoroszycie \"P1\"")));
        QVERIFY(!said.contains(QStringLiteral("Sprawdzono czasy międzyzielone.")));
        // Measured by position all the same: its pairs are written beside the table.
        QCOMPARE(blockReferences(QStringLiteral("CZASMIEDZYZIELONY_7")), 1);
        w.Form_Unload();
    }

    // D8 (K2 -> K1) holds a formula nested past what the engine reads, with 99 cached by the program
    // that saved it: the check names the cell and says it is incomplete, never "Sprawdzono".
    void aCachedValueTheEngineDidNotComputeLeavesTheCheckIncomplete() {
        QVERIFY(test::RewriteCellsAsForeignProgram(
            setup.bookPath, {{QStringLiteral("D8"), test::DeeplyNestedFormulaXml(5), QStringLiteral("99")}}));
        MainWindow w(folderPath + QStringLiteral("/bin"));
        QVERIFY(w.Form_Load());
        prompts->clear();
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        w.RunCommand(QStringLiteral("mnuDane_SprawdzCzasy"));
        const QStringList said = prompts->messageTexts();
        QCOMPARE(said.size(), 3);
        QCOMPARE(said[1], QStringLiteral("Błąd w danych arkusza Excel!\nKomórka matrycy kolizji D8 zawiera formułę, "
                                         "której nie można obliczyć: \"=") +
                              QString(39, QLatin1Char('(')) + QStringLiteral("…\"."));
        QCOMPARE(said[2], QStringLiteral("Sprawdzenie czasów międzyzielonych jest niepełne.\nKomórek matrycy kolizji "
                                         "bez poprawnego czasu: 1 - tych par nie sprawdzono."));
        w.Form_Unload();
    }

    // The workbook's first group text 10 MB long: the check answers within seconds and its message
    // quotes the text by its first 40 characters.
    void aTenMegabyteGroupTextIsQuotedByItsStartWithinSeconds() {
        test::IntergreenBook b = test::SmallBook();
        b.texts[0] = QStringLiteral("K1") + QString(10'000'000, QLatin1Char('x'));
        test::WriteIntergreenBook(b, setup.bookPath);
        MainWindow w(folderPath + QStringLiteral("/bin"));
        QVERIFY(w.Form_Load());
        prompts->clear();
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        QElapsedTimer clock;
        clock.start();
        w.RunCommand(QStringLiteral("mnuDane_SprawdzCzasy"));
        QVERIFY2(clock.elapsed() < 10'000, qPrintable(QString::number(clock.elapsed())));
        const QStringList said = prompts->messageTexts();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said[1], QStringLiteral("Sprawdzenie czasów międzyzielonych jest niepełne.\nGrupy programu i "
                                         "skoroszytu porównano według kolejności; na tych pozycjach się różnią:\n"
                                         "grupa 1: w programie \"K1\", w skoroszycie \"K1") +
                              QString(38, QLatin1Char('x')) + QStringLiteral("…\""));
        w.Form_Unload();
    }
};

QTEST_MAIN(CheckWindowTest)
#include "CheckWindowTest.moc"
