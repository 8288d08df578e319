// conflictor with the CAD host gone: every menu entry, toolbar button (and drop-down entry), button and
// dialog button of the window, found in its widget tree, is given as the user does; the program goes
// on and tells the lost connection in Polish. The connection back on the host, nothing is left blocked: the
// intersection is read again.
#include "../../support/HostGoneWalk.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "common/ui/Help.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "../ConflictorWindowFixture.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace conflictor;

class LostHostWalkTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

    // Streams K1, K2 and P1 of intersection 12 with their attribute block.
    void buildDrawing() {
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
        const QString layer = QStringLiteral("113-STRUMIENIE_RUCHU");
        automation::EnsureLayer(layer, false, 5, 30);
        const cad::Document doc = automation::CadApplication.activeDocument();
        int n = 0;
        for (const QString& s : {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P1")}) {
            const QString name = QStringLiteral("12^STRUMIEN_%1^%2").arg(++n).arg(s);
            doc.blocks()
                .add(cad::Point{0, 0, 0}, name)
                .addLine(cad::Point{0, 5.0 * n, 0}, cad::Point{10, 5.0 * n, 0});
            doc.modelSpace().insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0).setLayer(layer);
        }
        const QString blockName = QStringLiteral("ATRYBUTY_STRUMIENI_12");
        cad::Block b = doc.blocks().add(cad::Point{0, 0, 0}, blockName);
        b.addLine(cad::Point{0, 0, 0}, cad::Point{8000, 0, 0});
        for (const QString& t : StreamAttributeTagNames())
            automation::AddAttributeDefinition(b, t, QString(), 0, 0);
        cad::Entity ref = doc.modelSpace().insertBlock(cad::Point{100, 100, 0}, blockName, 1, 1, 1, 0);
        ref.setLayer(layer);
        for (const cad::Entity& att : ref.attributes())
            if (att.tagString() == QStringLiteral("GRUPY"))
                att.setTextString(QStringLiteral("K1:1^K2:2^P1:5^"));
    }

private slots:
    void init() {
        makeProgramFolder();
        QDir().mkpath(dir->filePath(QStringLiteral("Tesmar/Zasoby/Pomoc")));
        common::SetHelpOpener([](const QUrl&) { return true; });
        attachCad();
        buildDrawing();
    }
    void cleanup() {
        common::SetHelpOpener({});
        detachCad();
    }

    void everyCommandWithTheHostGone() {
        ConflictorWindow w;
        w.ProgramFolder = dir->filePath(QStringLiteral("Tesmar/bin"));
        QVERIFY(w.StartUp());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.grdStrumienie->Rows(), 4);
        std::vector<std::unique_ptr<suitetest::HostGoneNow>> gone;  // kept: handles may still name them
        QMap<QString, int> given;                                   // commands given, by kind
        suitetest::WalkSteps steps;
        steps.hostBack = [&] {
            automation::CadApplication = cad->application();
            automation::CadState = {};
            QVERIFY(automation::CheckDocumentOpen(false));
            w.grdStrumienie->setCurrent(2, ColName);  // a stream selected: its commands are on
        };
        steps.hostGone = [&] {
            gone.push_back(std::make_unique<suitetest::HostGoneNow>());
            prompts->clear();
        };
        steps.check = [&](const QString& what) {
            ++given[suitetest::KindOf(what)];
            const QStringList told = prompts->messageTexts();
            const QString where = what + QStringLiteral(": ") + told.join(QStringLiteral(" | "));
            QVERIFY2(w.isVisible() || !w.DrawingInProgress, qPrintable(where));
            // Whatever reached for the host told so, first.
            if (gone.back()->calls() > 0)
                QVERIFY2(told.join(QLatin1Char('\n')).contains(suitetest::HostGoneNow::Message()),
                         qPrintable(where));
            QVERIFY2(!w.DrawingInProgress, qPrintable(where));
        };
        suitetest::WalkEveryCommand(&w, steps);
        QVERIFY(!QTest::currentTestFailed());
        qInfo() << "given:" << given;
        // The connection back on the host: nothing is left blocked.
        steps.hostBack();
        prompts->clear();
        StreamTable.clear();
        w.cmbNo->setCurrentIndex(0);
        emit w.cmbNo->activated(0);
        QVERIFY2(prompts->messageTexts().isEmpty(),
                 qPrintable(prompts->messageTexts().join(QLatin1Char('|'))));
        QStringList read;
        for (const StreamRecord& s : StreamTable) read << s.Name;
        read.sort();
        QCOMPARE(read, (QStringList{QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P1")}));
        w.close();
    }
};

QTEST_MAIN(LostHostWalkTest)
#include "LostHostWalkTest.moc"
