// headplacer with the CAD host gone part-way through a head's placement: while it waits for the
// insertion point, and while the inventory dialog is open (the user then presses "Zatwierdź"). Each
// time the user is told the head's inventory was not written and to start the programs again, and the
// program ends as one that failed.
#include "../support/HostGoneWalk.h"
#include "../support/KilledHost.h"
#include "SuiteFolder.h"
#include "automation/Automation.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/Interaction.h"
#include "platform/cad/model/ObjectModel.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace headplacer;

class LostHostPlacementTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<automation::InProcessCad> cad;
    cad::ScriptedInteraction picks;
    std::unique_ptr<suitetest::HostGoneNow> gone;

    // The head window accepted for intersection 12: the insert is under way in the CAD.
    void accept(HeadPlacerApp& app) {
        QVERIFY(app.start(QStringLiteral("S-1")));
        HeadWindow& w = app.headWindow();
        w.findChild<QComboBox*>(QStringLiteral("cmbNumSkrzyz"))->setEditText(QStringLiteral("12"));
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdAccept")), Qt::LeftButton);
        QVERIFY(app.poll().active());
    }
    // What the user is told: the cause, that the inventory went nowhere, and to start again.
    static void expectToldLost(const ui::ScriptedPrompts& prompts) {
        const QStringList said = prompts.messageTexts();
        QCOMPARE(said.size(), qsizetype(1));
        QVERIFY2(said.first().startsWith(QStringLiteral("Nie dokończono wstawiania sygnalizatora:\n") +
                                         suitetest::HostGoneNow::Message()),
                 qPrintable(said.first()));
        QVERIFY2(
            said.first().endsWith(QStringLiteral(
                "\nOpis sygnalizatora i jego dane inwentaryzacyjne nie zostały zapisane w rysunku.\n"
                "Uruchom ponownie program CAD i ten program, otwórz rysunek i wstaw sygnalizator ponownie.")),
            qPrintable(said.first()));
    }

private slots:
    void initTestCase() { QVERIFY(!test::MakeSuiteFolder(dir).isEmpty()); }

    void init() {
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
    }
    void cleanup() {
        automation::ResetCadConnectionState();
        gone.reset();
    }

    void theHostLostWhileWaitingForTheInsertionPoint() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        int ended = 0;
        app.setEndHandler([&] { ++ended; });
        accept(app);
        // The CAD waits for the insertion point when it goes away.
        gone = std::make_unique<suitetest::HostGoneNow>();
        QCOMPARE(app.poll().tick(), InsertionPoll::Failed);
        QVERIFY(!app.poll().active());
        expectToldLost(prompts);
        QCOMPARE(ended, 1);
        QCOMPARE(app.exitStatus(), 1);
    }

    void theHostLostBeforeTheInventoryIsAccepted() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        int ended = 0;
        app.setEndHandler([&] { ++ended; });
        accept(app);
        // The head at (40, 30) turned by 90, its description at (44, 36).
        picks.point(40, 30).text(QStringLiteral("90")).point(44, 36);
        for (int i = 0; i < 20 && !cad->model().commands().isQuiescent(); ++i) cad->model().pumpCommands();
        // The inventory dialog, filled in; the host goes away before the user presses "Zatwierdź".
        bool dialogSeen = false;
        QTimer inventory;
        connect(&inventory, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || d->objectName() != QLatin1String("frmAtrybutySygnalizatora") || dialogSeen) return;
            dialogSeen = true;
            gone = std::make_unique<suitetest::HostGoneNow>();
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdAccept")), Qt::LeftButton);
        });
        inventory.start(20);
        QCOMPARE(app.poll().tick(), InsertionPoll::Failed);
        inventory.stop();
        QVERIFY(dialogSeen);
        QVERIFY(gone->calls() > 0);
        expectToldLost(prompts);
        QCOMPARE(ended, 1);
        QCOMPARE(app.exitStatus(), 1);
        QVERIFY(!app.detectorWindow());
    }

    // A real cadhost killed while it asks the user for the head's insertion point: told as above.
    void theHostKilledAtTheInsertionPoint() {
        ui::ScriptedPrompts prompts;
        suitetest::KilledHost host;
        QVERIFY(host.attached());
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("12"));
        HeadPlacerApp app;
        int ended = 0;
        app.setEndHandler([&] { ++ended; });
        host.killAtPrompt(QStringLiteral("Określ punkt wstawienia"));
        accept(app);
        QTRY_VERIFY_WITH_TIMEOUT(!app.poll().active(), 20000);
        QVERIFY(host.killed());
        const QStringList said = prompts.messageTexts();
        QCOMPARE(said.size(), qsizetype(1));
        QVERIFY2(said.first().startsWith(
                     QStringLiteral("Nie dokończono wstawiania sygnalizatora:\nUtracono połączenie "
                                    "z programem CAD (cadhost)")),
                 qPrintable(said.first()));
        QVERIFY2(said.first().endsWith(QStringLiteral("wstaw sygnalizator ponownie.")),
                 qPrintable(said.first()));
        QCOMPARE(ended, 1);
        QCOMPARE(app.exitStatus(), 1);
    }
};

QTEST_MAIN(LostHostPlacementTest)
#include "LostHostPlacementTest.moc"
