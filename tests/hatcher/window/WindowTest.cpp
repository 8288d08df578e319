// hatcher's windows: start-up lists the intersections and the layers of the chosen set; the settings
// dialog edits a copy of the layer sets that only OK keeps, refuses a repeated or a 51st layer, and
// saves its values; closing the main window keeps the label height for the next start.
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/SettingBindings.h"
#include "common/ui/Help.h"
#include "hatcher/app/ConfigDialog.h"
#include "hatcher/app/MainWindow.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/LayerSets.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace hatcher;

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QLatin1String(ProgramTitleText));
        automation::SetCadConnector(automation::InProcessCadConnector());
        automation::CadApplication = automation::ConnectToAutoCad(false);
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        for (const QString nr : {QStringLiteral("3"), QStringLiteral("12")}) {
            const QString name = QStringLiteral("ATRYBUTY_STRUMIENI_") + nr;
            cad::Block b = automation::CadDocument.blocks().add({0, 0, 0}, name);
            automation::AddAttributeDefinition(b, QStringLiteral("FAZY"), QString(), 0, 0);
            automation::CadModelSpace.insertBlock({0, 0, 0}, name, 1, 1, 1, 0);
        }
        automation::CadDocument.layers().add(QStringLiteral("KRAWEZNIKI"));
        automation::CadDocument.layers().add(QStringLiteral("113-STRUMIENIE_RUCHU"));
        automation::CadDocument.layers().add(QStringLiteral(" OZNAKOWANIE "));
    }

    void startUpListsIntersectionsAndLayers() {
        MainWindow w;
        QVERIFY(w.Form_Load());
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));  // keep the build folder clean
        LayerSetsFilePath = dir.filePath(QStringLiteral("zestawy_warstw.txt"));
        auto* cmbNo = w.findChild<QComboBox*>(QStringLiteral("cmbNo"));
        QVERIFY(cmbNo);
        QCOMPARE(cmbNo->count(), 2);
        QCOMPARE(cmbNo->itemText(0), QStringLiteral("3"));
        QCOMPARE(w.intersectionText(), QStringLiteral("3"));
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Tesmar Schemat faz w.")));
        QVERIFY(w.transitionTemplatePath.endsWith(QStringLiteral("Tesmar/Zasoby/dyn_wzorzec.dwg")));
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdDefObszar"))->isVisible());
        QCOMPARE(common::HelpContextOf(&w), 10014);
        QVERIFY(common::HelpFolder().endsWith(QStringLiteral("Tesmar/Zasoby/Pomoc")));
        common::SetHelpFolder(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Pomoc"));
        QUrl opened;
        common::SetHelpOpener([&opened](const QUrl& u) {
            opened = u;
            return true;
        });
        w.findChild<QPushButton*>(QStringLiteral("btnHlp"))->click();
        QVERIFY(opened.toLocalFile().endsWith(QStringLiteral("Pomoc/10014.html")));
        common::SetHelpOpener({});
        for (const char* name : {"cmdTworzObrazyFaz", "cmdConnect", "cmdConnectAll", "cmdAtrrsAngle",
                                 "cmdKonfig", "btnHlp", "btnClose"})
            QVERIFY2(w.findChild<QPushButton*>(QLatin1String(name)), name);
        LayerSets = {};
        LayerSets[1][0] = QStringLiteral("A");
        LayerSets[1][3] = QStringLiteral("B");
        common::SettingBindings[1].Value = 1;
        w.FillLayerSetList();
        QCOMPARE(w.searchLayers(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        // The bar never shows a value past its end.
        w.setMaximum(100);
        w.setValue(130);
        QCOMPARE(w.value(), 100);
        w.close();
    }

    void settingsDialogEditsACopy() {
        LayerSets = {};
        common::SettingBindings[0].Value = 1;
        common::SettingBindings[1].Value = 0;
        ui::ScriptedPrompts prompts;
        {
            ConfigDialog d;
            auto* fetch = d.findChild<QObject*>(QStringLiteral("cmdPobierzWarstwy"));
            QVERIFY(fetch);
            d.cmdPobierzWarstwy_Click();
            auto* cmbWarstwy = d.findChild<QComboBox*>(QStringLiteral("cmbWarstwy"));
            QStringList offered;
            for (int i = 0; i < cmbWarstwy->count(); ++i) offered << cmbWarstwy->itemText(i);
            QVERIFY(offered.contains(QStringLiteral("KRAWEZNIKI")));
            QVERIFY(offered.contains(QStringLiteral("OZNAKOWANIE")));  // trimmed
            QVERIFY(!offered.contains(QStringLiteral("113-STRUMIENIE_RUCHU")));
            cmbWarstwy->setCurrentText(QStringLiteral("KRAWEZNIKI"));
            d.cmdDodajWarstweDoZestawu_Click();
            QCOMPARE(d.editedSets()[0][0], QStringLiteral("KRAWEZNIKI"));
            cmbWarstwy->setCurrentText(QStringLiteral("OZNAKOWANIE"));
            d.cmdDodajWarstweDoZestawu_Click();  // offered trimmed, kept as the drawing names it
            QCOMPARE(d.editedSets()[0][1], QStringLiteral(" OZNAKOWANIE "));
            d.cmdAnuluj_Click();
        }
        QCOMPARE(LayerSets[0][0], QString());  // cancel keeps nothing
        QCOMPARE(prompts.asked().size(), size_t(0));

        ConfigDialog d;
        auto* cmbWarstwy = d.findChild<QComboBox*>(QStringLiteral("cmbWarstwy"));
        cmbWarstwy->addItem(QStringLiteral("krawezniki"));
        for (int i = 0; i < 50; ++i) {
            cmbWarstwy->addItem(QStringLiteral("W%1").arg(i));
            cmbWarstwy->setCurrentIndex(cmbWarstwy->count() - 1);
            d.cmdDodajWarstweDoZestawu_Click();
        }
        prompts.answerMessage(ui::Ok);
        cmbWarstwy->addItem(QStringLiteral("W50"));
        cmbWarstwy->setCurrentIndex(cmbWarstwy->count() - 1);
        d.cmdDodajWarstweDoZestawu_Click();  // a 51st name is refused
        QCOMPARE(prompts.asked().size(), size_t(1));
        prompts.answerMessage(ui::Ok);
        cmbWarstwy->addItem(QStringLiteral("w3"));
        cmbWarstwy->setCurrentIndex(cmbWarstwy->count() - 1);
        d.cmdDodajWarstweDoZestawu_Click();  // repeated, ignoring case
        QCOMPARE(prompts.asked().size(), size_t(2));
        QCOMPARE(prompts.asked().back().text, QStringLiteral("Lista zawiera już taką pozycję."));
        auto* list = d.findChild<QListWidget*>(QStringLiteral("lstWarstwy"));
        list->setCurrentRow(0);
        d.cmdUsunWarstwe_Click();
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(d.editedSets()[0][0], QStringLiteral("W1"));
        QCOMPARE(d.editedSets()[0][49], QString());
        d.findChild<QLineEdit*>(QStringLiteral("edtFazaWys"))->setText(QStringLiteral("7.5"));
        d.cmdOk_Click();
        QCOMPARE(LayerSets[0][0], QStringLiteral("W1"));
        QCOMPARE(LayerSetNames(LayerSets, 0).size(), 49);
        LayerSetTable back;
        QVERIFY(ReadLayerSets(LayerSetsFilePath, back));
        QCOMPARE(back, LayerSets);
        QCOMPARE(common::GetIni(common::IniFilePath, QLatin1String(ProgramTitleText),
                                QStringLiteral("edtFazaWys"), QString()),
                 QStringLiteral("7.5"));
        QCOMPARE(common::SettingBindings[2].Value.toString(), QStringLiteral("7.5"));
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
