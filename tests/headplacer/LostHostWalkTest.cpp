// headplacer with the CAD host gone: every button and dialog button of the head window and of the
// detector window, found in their widget trees, is given as the user does; the program goes on and
// tells the lost connection in Polish. The connection back on the host, nothing is left blocked: a head's
// placement starts.
#include "../support/HostGoneWalk.h"
#include "SuiteFolder.h"
#include "automation/Automation.h"
#include "common/ui/Help.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace headplacer;

class LostHostWalkTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<automation::InProcessCad> cad;
    cad::ScriptedInteraction picks;

    // Walks `window` of `app` with the host going away before each command; returns the commands
    // given, by kind.
    QMap<QString, int> walk(HeadPlacerApp& app, QWidget* window, ui::ScriptedPrompts& prompts) {
        std::vector<std::unique_ptr<suitetest::HostGoneNow>> gone;  // kept: handles may still name them
        QMap<QString, int> given;                                   // commands given, by kind
        suitetest::WalkSteps steps;
        steps.hostBack = [&] {
            app.poll().timer().stop();  // a placement left waiting by the previous command ends
            PendingInsertMode = 0;
            automation::CadApplication = cad->application();
            automation::CadState = automation::CadApplication.getAcadState();
            QVERIFY(automation::CheckDocumentOpen(false));
        };
        steps.hostGone = [&] {
            gone.push_back(std::make_unique<suitetest::HostGoneNow>());
            prompts.clear();
        };
        steps.check = [&](const QString& what) {
            ++given[suitetest::KindOf(what)];
            // A placement under way meets the gone host at its next tick.
            for (int i = 0; i < 20 && app.poll().active(); ++i) app.poll().tick();
            const QStringList told = prompts.messageTexts();
            const QString where = what + QStringLiteral(": ") + told.join(QStringLiteral(" | "));
            if (gone.back()->calls() > 0)
                QVERIFY2(told.join(QLatin1Char('\n')).contains(suitetest::HostGoneNow::Message()),
                         qPrintable(where));
            QVERIFY2(!app.poll().active(), qPrintable(where));
        };
        suitetest::WalkEveryCommand(window, steps);
        steps.hostBack();
        return given;
    }

private slots:
    void initTestCase() {
        QVERIFY(!test::MakeSuiteFolder(dir).isEmpty());
        common::SetHelpOpener([](const QUrl&) { return true; });
    }

    void everyCommandWithTheHostGone() {
        ResetHeadState();
        HeadPlacerSettings = {};
        automation::ResetCadConnectionState();
        cad = std::make_unique<automation::InProcessCad>();
        cad->setInteraction(&picks);
        automation::SetCadConnector({[this] { return cad->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("12"));
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-5")));
        QVERIFY(QTest::qWaitForWindowExposed(&app.headWindow()));
        const auto head = walk(app, &app.headWindow(), prompts);
        QVERIFY(!QTest::currentTestFailed());
        OrientationNumber = 1;
        app.openDetectorWindow();
        QVERIFY(app.detectorWindow());
        const auto detector = walk(app, app.detectorWindow(), prompts);
        QVERIFY(!QTest::currentTestFailed());
        qInfo() << "given: head window" << head << "detector window" << detector;
        // The host back: the next head's placement starts in the CAD.
        app.detectorWindow()->hide();
        app.headWindow().show();
        prompts.clear();
        app.headWindow()
            .findChild<QComboBox*>(QStringLiteral("cmbNumSkrzyz"))
            ->setEditText(QStringLiteral("12"));
        QTest::mouseClick(app.headWindow().findChild<QPushButton*>(QStringLiteral("cmdAccept")),
                          Qt::LeftButton);
        QVERIFY2(prompts.messageTexts().isEmpty(), qPrintable(prompts.messageTexts().join(QLatin1Char('|'))));
        QVERIFY(app.poll().active());
        app.poll().timer().stop();
    }
};

QTEST_MAIN(LostHostWalkTest)
#include "LostHostWalkTest.moc"
