// Loading a new table through phaseplanner's menu, offscreen: "program zwykły" opens the plain
// template of the program's size and draws the program into it; "program akomodowany" looks for the
// actuated one, and names the file it could not find.
#include "ProgramDrawingSetup.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/TableTemplate.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace phaseplanner;

class LoadTableWindowTest : public QObject, protected test::ProgramDrawingSetup {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openProgramDrawing()); }
    void cleanup() {
        closeSession();
        GroupTable.clear();
        IntersectionNumber.clear();
        MainProgramWindow().clearIntersections();
        ResetProgramAttributeState();
        TemplateFolder.clear();
    }

    void eachMenuEntryLoadsItsOwnTemplate() {
        // Only the plain template of 12 groups is there.
        const QString templates = folder->filePath(QStringLiteral("Zasoby"));
        QVERIFY(QDir().mkpath(templates));
        QVERIFY(QFile::copy(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf"),
                            templates + QStringLiteral("/Program_12grup.dxf")));
        TemplateFolder = templates;
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        QCOMPARE(DefinedGroupCount(), 2);

        const int before = cad->application().documents().count();
        ProgramTableType = -1;
        w.findChild<QAction*>(QStringLiteral("mnuNarzedzia_WczytajZwykly"))->trigger();
        QCOMPARE(prompts->messageTexts(), QStringList());
        QCOMPARE(cad->application().documents().count(), before + 1);
        QCOMPARE(ProgramTableType, 0);
        QVERIFY(automation::CheckBlockExists(ProgramAttributeBlockNameFor(QStringLiteral("7"))));

        prompts->answerMessage(ui::Ok);
        w.findChild<QAction*>(QStringLiteral("mnuNarzedzia_WczytajAkomodowany"))->trigger();
        QCOMPARE(prompts->messageTexts(),
                 QStringList{QStringLiteral("Nie znaleziono formatki:\n") + templates +
                             QStringLiteral("/Program_akomod_12grup.dwt")});
        QCOMPARE(cad->application().documents().count(), before + 1);
        w.close();
    }
};

QTEST_MAIN(LoadTableWindowTest)
#include "LoadTableWindowTest.moc"
