// The intergreen check's colliding pairs and their dialog on a drawing and a workbook written here,
// offscreen: selecting a pair colours both groups' streams, removing it clears exactly its two
// matrix cells in the saved workbook (read back with openpyxl), a lost workbook is reported.
#include "CheckDrawingSetup.h"
#include "GroupBuilders.h"
#include "phaseplanner/app/CollisionDialog.h"
#include "phaseplanner/app/CommandTable.h"
#include "phaseplanner/drawing/ProgramDrawing.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QProcess>
#include <QTest>

using namespace phaseplanner;

namespace {
// Every stored cell of the workbook's second worksheet as openpyxl reads it: "row,column" -> text;
// with `fills` the indexed fill colour of every filled cell instead.
QJsonObject matrixCells(const QString& path, bool fills = false) {
    QProcess p;
    p.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import openpyxl,sys,json\n"
                        "ws=openpyxl.load_workbook(sys.argv[1]).worksheets[1]\n"
                        "f=sys.argv[2]=='1'\n"
                        "print(json.dumps({'%d,%d'%(c.row,c.column): (str(c.fill.fgColor.indexed) if f else "
                        "str(c.value)) for r in ws.iter_rows() for c in r "
                        "if (c.fill.fill_type=='solid' if f else c.value is not None)}))"),
         path, fills ? QStringLiteral("1") : QStringLiteral("0")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}
}  // namespace

class CollisionDialogTest : public QObject {
    Q_OBJECT
    test::CheckDrawingSetup setup;
    std::unique_ptr<ui::ScriptedPrompts>& prompts = setup.prompts;
    QString& bookPath = setup.bookPath;
    QHash<QString, cad::Entity> streams;

    int colour(const QString& name) { return streams[name].color(); }

private slots:
    void init() {
        QVERIFY(setup.start(test::SmallBook()));  // the workbook lists K1, K2, P1
        bool found = false;
        SprawdzSkrzyzowania(found);
        QVERIFY(found);
        automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, -1, -10);
        streams.clear();
        // Three streams across a junction below the program's texts: K1 west to east, K2 south to
        // north, P1 a crossing; drawn by-block, so a reference's colour shows.
        const QHash<QString, std::pair<cad::Point, cad::Point>> paths{
            {QStringLiteral("7^STRUMIEN_1^K1"), {{-40, -73, 0}, {40, -73, 0}}},
            {QStringLiteral("7^STRUMIEN_2^K2"), {{3, -110, 0}, {3, -30, 0}}},
            {QStringLiteral("7^STRUMIEN_3^P1"), {{-20, -85, 0}, {-20, -55, 0}}}};
        for (const QString& name : {QStringLiteral("7^STRUMIEN_1^K1"), QStringLiteral("7^STRUMIEN_2^K2"),
                                    QStringLiteral("7^STRUMIEN_3^P1")}) {
            automation::CadDocument.blocks()
                .add({0, 0, 0}, name)
                .addLine(paths[name].first, paths[name].second)
                .setColor(0);
            cad::Entity r = automation::CadModelSpace.insertBlock({0, 0, 0}, name, 1, 1, 1, 0);
            r.setLayer(QStringLiteral("113-STRUMIENIE_RUCHU"));
            streams.insert(name, r);
        }
        // conflictor's attribute block of intersection 7 marks the drawing holding its streams.
        automation::CadDocument.blocks().add({0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_7"));
        automation::CadModelSpace.insertBlock({0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_7"), 1, 1, 1, 0);
        // Record i is group i of the workbook.
        GroupTable = {test::Group(KindVehicle, "K1", {{0, 20}}), test::Group(KindVehicle, "K2", {{30, 20}}),
                      test::Group(KindPedestrian, "P1", {{55, 15}})};
    }
    void cleanup() { setup.stop(); }

    // A bus group is "4B" in the list as in the program table, a tram group "5T".
    void pairsNameTheGroupsAsTheProgramTable() {
        GroupTable.push_back(test::Group(KindVehicle, "B1", {{0, 10}}));
        GroupTable.push_back(test::Group(KindTramOrArrow, "T1", {{20, 10}}));
        CollisionDialog dialog({{0, 3}, {3, 4}}, RemoveCollisionPair, false);
        QCOMPARE(dialog.pairList()->item(0)->text(), QStringLiteral("1K : 4B"));
        QCOMPARE(dialog.pairList()->item(1)->text(), GroupLabel(3) + QStringLiteral(" : ") + GroupLabel(4));
        QCOMPARE(GroupLabel(4), QStringLiteral("5T"));
    }

    // K2 moved to layer "0" is measured by no program: the dialog says so as it opens, once, and
    // colours what the measurement reads.
    void aPieceNoProgramReadsIsToldAsTheDialogOpens() {
        streams[QStringLiteral("7^STRUMIEN_2^K2")].setLayer(QStringLiteral("0"));
        prompts->clear();
        CollisionDialog dialog({{0, 1}, {1, 2}}, RemoveCollisionPair, false);
        QCOMPARE(prompts->messageTexts().size(), 1);
        QVERIFY2(prompts->messageTexts()[0].startsWith(
                     QStringLiteral("Kolory mogą nie pokazywać strumieni tak, jak zostaną zmierzone:\nK2: Składowa "
                                    "\"7^STRUMIEN_2^K2\" leży na warstwie \"0\" w punkcie (3.00; -70.00)")),
                 qPrintable(prompts->messageTexts()[0]));
        QCOMPARE(colour(QStringLiteral("7^STRUMIEN_1^K1")), 3);
        QCOMPARE(colour(QStringLiteral("7^STRUMIEN_2^K2")), 256);
        dialog.pairList()->setCurrentRow(1);
        QTest::keyClick(dialog.pairList(), Qt::Key_Return);
        QCOMPARE(colour(QStringLiteral("7^STRUMIEN_3^P1")), 1);
        QCOMPARE(prompts->messageTexts().size(), 1);
        dialog.accept();
    }

    void pairsOfTheCheckAreColouredAndRemovedFromTheMatrix() {
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        QVERIFY(CheckIntergreenTimes(true, true, NoGraph));
        const std::vector<std::pair<int, int>> expected{{0, 1}, {1, 2}};
        QCOMPARE(CollisionPairs, expected);

        const QJsonObject before = matrixCells(bookPath);
        QVERIFY(!before.isEmpty());
        {
            CollisionDialog dialog(CollisionPairs, RemoveCollisionPair, false);
            QListWidget* list = dialog.pairList();
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->item(0)->text(), QStringLiteral("1K : 2K"));
            QCOMPARE(list->item(1)->text(), QStringLiteral("2K : 3P"));
            // The first pair is marked as the dialog opens.
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_1^K1")), 3);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_2^K2")), 1);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_3^P1")), 256);
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_1^K1")), 256);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_2^K2")), 3);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_3^P1")), 1);

            prompts->clear();
            prompts->answerMessage(ui::Yes);  // save the workbook
            dialog.cmdUsunZExcela_Click();
            QCOMPARE(prompts->unexpected(), 0);
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->currentRow(), 0);
            dialog.accept();
        }
        // Closing gives every stream its colour back.
        for (const QString& name : streams.keys()) QCOMPARE(colour(name), 256);

        // K2 (workbook group 2) and P1 (group 3): row 7 + 2 column 3 + 3, row 7 + 3 column 3 + 2.
        QJsonObject after = matrixCells(bookPath);
        QVERIFY(before.contains(QStringLiteral("9,5")));
        QVERIFY(before.contains(QStringLiteral("10,4")));
        QVERIFY(!after.contains(QStringLiteral("9,5")));
        QVERIFY(!after.contains(QStringLiteral("10,4")));
        QJsonObject rest = before;
        rest.remove(QStringLiteral("9,5"));
        rest.remove(QStringLiteral("10,4"));
        QCOMPARE(after, rest);
        // Both cleared cells, and no other, carry the marking colour index 6 (yellow), which the file
        // keeps as entry 13 of the indexed palette (colour indexes start after its 8 fixed entries).
        const QJsonObject marked = matrixCells(bookPath, true);
        QCOMPARE(marked, (QJsonObject{{QStringLiteral("9,5"), QStringLiteral("13")},
                                      {QStringLiteral("10,4"), QStringLiteral("13")}}));

        // The next check no longer finds the removed pair.
        QVERIFY(CheckIntergreenTimes(true, true, NoGraph));
        const std::vector<std::pair<int, int>> left{{0, 1}};
        QCOMPARE(CollisionPairs, left);
    }

    void pairsAreColouredInTheStreamsDrawingWhileAnotherIsActive() {
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        QVERIFY(CheckIntergreenTimes(true, true, NoGraph));
        // The program table's own drawing (a new one from the template) is the active one now.
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        {
            CollisionDialog dialog(CollisionPairs, RemoveCollisionPair, false);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_1^K1")), 3);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_2^K2")), 1);
            QCOMPARE(colour(QStringLiteral("7^STRUMIEN_3^P1")), 256);
            // For the documentation: the streams' drawing as it stands while the pair is marked.
            const QString shot = qEnvironmentVariable("PHASEPLANNER_PAIRS_DXF");
            if (!shot.isEmpty()) automation::CadApplication.documents().item(0).saveAs(shot);
            dialog.accept();
        }
        for (const QString& name : streams.keys()) QCOMPARE(colour(name), 256);
        QCOMPARE(prompts->unexpected(), 0);
    }

    void anOldLayoutWorkbookLosesThePairAtTheSameColumnBase() {
        test::IntergreenBook b = test::SmallBook();
        b.newLayout = false;
        b.oldSetPhases = {b.phases};
        test::WriteIntergreenBook(b, bookPath);
        prompts->answerMessage(ui::Yes);
        QVERIFY(CheckIntergreenTimes(true, true, NoGraph));
        const std::vector<std::pair<int, int>> expected{{0, 1}, {1, 2}};
        QCOMPARE(CollisionPairs, expected);
        const QJsonObject before = matrixCells(bookPath);
        CollisionDialog dialog(CollisionPairs, RemoveCollisionPair, false);
        prompts->clear();
        prompts->answerMessage(ui::Yes);
        dialog.cmdUsunZExcela_Click();  // the first pair: K1 and K2, workbook groups 1 and 2
        // Header row 6: row 6 + 1 + 0 column 3 + 1, row 6 + 1 + 1 column 3 + 0.
        QJsonObject rest = before;
        QVERIFY(rest.contains(QStringLiteral("7,4")) && rest.contains(QStringLiteral("8,3")));
        rest.remove(QStringLiteral("7,4"));
        rest.remove(QStringLiteral("8,3"));
        QCOMPARE(matrixCells(bookPath), rest);
    }

    // The group list changed on disk since the check (K2 and P1 swapped): the pair's rows may now be
    // other groups, so nothing is cleared and the rows are named.
    void aPairIsNotClearedWhenTheListNoLongerMatchesTheMatrix() {
        prompts->answerMessage(ui::Yes);
        QVERIFY(CheckIntergreenTimes(true, true, NoGraph));
        test::RewriteCell(bookPath, 2, 9, 16, sheet::Value(QStringLiteral("P1")));
        test::RewriteCell(bookPath, 2, 10, 16, sheet::Value(QStringLiteral("K2")));
        const QJsonObject listed = matrixCells(bookPath);
        QVERIFY(listed.contains(QStringLiteral("9,5")) && listed.contains(QStringLiteral("10,4")));
        CollisionDialog dialog(CollisionPairs, RemoveCollisionPair, false);
        dialog.pairList()->setCurrentRow(1);  // K2 : P1
        prompts->clear();
        prompts->answerMessage(ui::Ok);
        prompts->answerMessage(ui::Yes);  // were it to ask to save
        dialog.cmdUsunZExcela_Click();
        QVERIFY2(prompts->messageTexts().value(0).startsWith(QStringLiteral(
                     "Błąd w danych arkusza Excel!\nWykaz grup w arkuszu \"MATRYCA KOLIZJI\" nie "
                     "zgadza się z opisami matrycy kolizji")),
                 qPrintable(prompts->messageTexts().join(QLatin1Char('|'))));
        QCOMPARE(dialog.pairList()->count(), 2);
        QCOMPARE(matrixCells(bookPath), listed);
        sheet::Workbook* held = HeldWorkbook();
        QVERIFY(held);
        QVERIFY(!held->worksheets(2).cells(9, 5).value().isEmpty());
        QVERIFY(!held->worksheets(2).cells(10, 4).value().isEmpty());
    }

    void aLostWorkbookIsReportedAndTheListKept() {
        prompts->answerMessage(ui::Yes);
        QVERIFY(CheckIntergreenTimes(true, true, NoGraph));
        CollisionDialog dialog(CollisionPairs, RemoveCollisionPair, false);
        ResetIntergreenWorkbook();
        prompts->clear();
        dialog.cmdUsunZExcela_Click();
        QCOMPARE(prompts->messageTexts(),
                 QStringList({QStringLiteral("Utracono połączenie z programem Excel!")}));
        QCOMPARE(dialog.pairList()->count(), 2);
    }

    void withoutAProgramTableTheCheckSaysWhatToOpen() {
        // The active drawing holds no program table any more.
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") &&
                e.name().startsWith(ProgramAttributeBlockPrefix()))
                e.erase();
        ProgramTableOrigin.Known = false;
        prompts->clear();
        QVERIFY(!CheckIntergreenTimes(true, false, NoGraph));  // "Sprawdź czasy"
        QVERIFY(!CheckIntergreenTimes(true, true, NoGraph));   // "Pokaż kolizje"
        QCOMPARE(prompts->messageTexts(), QStringList({NoProgramTableMessage(), NoProgramTableMessage()}));
        QVERIFY(NoProgramTableMessage().startsWith(
            QStringLiteral("Aktywny rysunek nie zawiera tabeli programu sygnalizacji")));
    }

    void theCommandsAreInTheMenusAndOnTheToolbar() {
        for (const char* name : {"mnuDane_SprawdzCzasy", "mnuDane_SprawdzCzasyBledne", "mnuDane_PokazKolizje",
                                 "mnuDane_GrafGrupa", "mnuDane_GrafWszystkieGrupy", "mnuDane_GrafTylkoKoliz",
                                 "mnuDane_GrafWyczysc"}) {
            const CommandRow* row = FindCommand(name);
            QVERIFY2(row && row->menu && row->handler, name);
        }
        const CommandRow* koordynacja = FindCommand("mnu_Koordynacja");
        QVERIFY(koordynacja && koordynacja->handler && !koordynacja->menu);  // hidden: in no menu
        QStringList keys;
        for (const ToolButtonRow& b : ToolButtonTable()) keys << QString::fromLatin1(b.key);
        for (const char* key : {"SprawdzCzasy", "SprawdzCzasyBledne", "GrafGrupaMain", "GrafGrupa",
                                "GrafWszystkieGrupy", "GrafKolizyjne", "GrafWyczysc", "PokazKolizje"})
            QVERIFY2(keys.contains(QString::fromLatin1(key)), key);
    }
};

QTEST_MAIN(CollisionDialogTest)
#include "CollisionDialogTest.moc"
