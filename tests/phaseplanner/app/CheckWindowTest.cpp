// The intergreen check's commands through phaseplanner's window, offscreen, on a drawn program and
// the workbook its drawing names: the menu entries and buttons, the check's message and result
// block, a graph of the selected group, the colliding-pairs dialog, the hidden coordination window.
#include "IntergreenBooks.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "phaseplanner/app/CollisionDialog.h"
#include "phaseplanner/app/CoordinationWindow.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace phaseplanner;

namespace {
GroupRecord vehicle(const QString& symbols, int start, int length) {
    GroupRecord g;
    g.Defined = true;
    g.Symbols = symbols;
    g.GreenCount = 1;
    g.Greens[1].Start = start;
    g.Greens[1].Length = length;
    return g;
}

int blockReferences(const QString& name) {
    int n = 0;
    for (const cad::Entity& e : automation::CadModelSpace.entities())
        if (e.objectName() == QLatin1String("AcDbBlockReference") && e.name() == name) ++n;
    return n;
}
}  // namespace

class CheckWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<automation::InProcessCad> cad;
    std::unique_ptr<ui::ScriptedPrompts> prompts;
    automation::CadConnector previous;

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        QDir(folder->path()).mkpath(QStringLiteral("bin"));
        automation::ResetCadConnectionState();
        cad = std::make_unique<automation::InProcessCad>();
        previous = automation::SetCadConnector({[this] { return cad->application(); }, {}});
        prompts = std::make_unique<ui::ScriptedPrompts>();
        ResetProgramAttributeState();
        ResetPlayback();
        ResetIntergreenWorkbook();
        CycleLength = 60;
        MaxCycleLength = 120;
        // A drawing holding intersection 7's program (K1, K2, P1 of the workbook), naming the workbook.
        automation::CadApplication = cad->application();
        cad->application().documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        const QString book = folder->filePath(QStringLiteral("czasy.xlsx"));
        test::WriteIntergreenBook(test::SmallBook(), book);
        ExcelWorkbookPath = book;
        IntersectionNumber = QStringLiteral("7");
        AddIntersectionNumber(IntersectionNumber, true);
        QVERIFY(UstawWidoczneAtrybuty());
        GroupTable = {vehicle(QStringLiteral("K1"), 0, 20), vehicle(QStringLiteral("K2"), 23, 17),
                      vehicle(QStringLiteral("P1"), 47, 10)};
        GroupTable[2].Kind = KindPedestrian;
        QVERIFY(DrawProgram(false));
        GroupTable.clear();
        IntersectionNumber.clear();
        MainProgramWindow().clearIntersections();
        ResetProgramAttributeState();
    }
    void cleanup() {
        prompts.reset();
        ResetIntergreenWorkbook();
        automation::SetCadConnector(previous);
        automation::ResetCadConnectionState();
        cad.reset();
        GroupTable.clear();
        CollisionPairs.clear();
        IntersectionNumber.clear();
        MainProgramWindow().clearIntersections();
        ResetProgramAttributeState();
        ResetPlayback();
        common::IniFilePath.clear();
    }

    void theCheckCommandsRunFromTheWindow() {
        MainWindow w(folder->filePath(QStringLiteral("bin")));
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

        // A graph needs a selected group row; the row's group is graphed.
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
        // Every message of the run: the question, the check's end, and (the drawing holds no streams)
        // the missing scheme when the dialog marks its first pair.
        const QStringList said = prompts->messageTexts();
        QCOMPARE(said.size(), 3);
        QVERIFY(said[0].startsWith(QStringLiteral("Czy otworzyć plik:")));
        QCOMPARE(said[1], QStringLiteral("Sprawdzono czasy międzyzielone."));
        QCOMPARE(said[2], QStringLiteral("Nie znaleziono schematu skrzyżowania!"));
        w.Form_Unload();
    }
};

QTEST_MAIN(CheckWindowTest)
#include "CheckWindowTest.moc"
