// hatcher with the CAD host gone: every button of the main window and of the settings dialog it
// opens, found in their widget trees, is given as the user does; the program goes on and tells the
// lost connection in Polish. The connection back on the host, nothing is left blocked: the intersections are
// read again.
#include "../../support/HostGoneWalk.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/SettingBindings.h"
#include "common/ui/Help.h"
#include "hatcher/app/MainWindow.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/LayerSets.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace hatcher;

class LostHostWalkTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<automation::InProcessCad> cad;

private slots:
    void everyCommandWithTheHostGone() {
        QCoreApplication::setApplicationName(QLatin1String(ProgramTitleText));
        common::SetHelpOpener([](const QUrl&) { return true; });
        cad = std::make_unique<automation::InProcessCad>();
        automation::SetCadConnector({[this] { return cad->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(false);
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        for (const QString& nr : {QStringLiteral("3"), QStringLiteral("12")}) {
            const QString name = QStringLiteral("ATRYBUTY_STRUMIENI_") + nr;
            cad::Block b = automation::CadDocument.blocks().add({0, 0, 0}, name);
            automation::AddAttributeDefinition(b, QStringLiteral("FAZY"), QString(), 0, 0);
            automation::CadModelSpace.insertBlock({0, 0, 0}, name, 1, 1, 1, 0);
        }
        automation::CadDocument.layers().add(QStringLiteral("KRAWEZNIKI"));
        ui::ScriptedPrompts prompts;
        MainWindow w;
        QVERIFY(w.Form_Load());
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));  // keep the build folder clean
        LayerSetsFilePath = dir.filePath(QStringLiteral("zestawy_warstw.txt"));
        w.transitionTemplatePath =
            QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
        common::SettingBindings[0].Value = 1;  // chosen layers: the settings' layer buttons are on
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* cmbNo = w.findChild<QComboBox*>(QStringLiteral("cmbNo"));
        QCOMPARE(cmbNo->count(), 2);

        std::vector<std::unique_ptr<suitetest::HostGoneNow>> gone;  // kept: handles may still name them
        QMap<QString, int> given;                                   // commands given, by kind
        suitetest::WalkSteps steps;
        steps.hostBack = [&] {
            automation::CadApplication = cad->application();
            QVERIFY(automation::CheckDocumentOpen(false));
        };
        steps.hostGone = [&] {
            gone.push_back(std::make_unique<suitetest::HostGoneNow>());
            prompts.clear();
        };
        steps.check = [&](const QString& what) {
            ++given[suitetest::KindOf(what)];
            const QStringList told = prompts.messageTexts();
            const QString where = what + QStringLiteral(": ") + told.join(QStringLiteral(" | "));
            if (gone.back()->calls() > 0)
                QVERIFY2(told.join(QLatin1Char('\n')).contains(suitetest::HostGoneNow::Message()),
                         qPrintable(where));
            QVERIFY2(!QApplication::overrideCursor(), qPrintable(where));
        };
        suitetest::WalkEveryCommand(&w, steps);
        QVERIFY(!QTest::currentTestFailed());
        qInfo() << "given:" << given;
        // The host back: the intersections are read again.
        steps.hostBack();
        prompts.clear();
        cmbNo->clear();
        QTest::mouseClick(w.findChild<QToolButton*>(QStringLiteral("cmdPobierzSkrzyzowania")),
                          Qt::LeftButton);
        QVERIFY2(prompts.messageTexts().isEmpty(), qPrintable(prompts.messageTexts().join(QLatin1Char('|'))));
        QCOMPARE(cmbNo->count(), 2);
        w.close();
        automation::ResetCadConnectionState();
        common::SetHelpOpener({});
    }
};

QTEST_MAIN(LostHostWalkTest)
#include "LostHostWalkTest.moc"
