// The windows of headplacer on an in-process drawing: the head window's choices and checks at
// accept, the settings dialog, the inventory dialog's single filling, and the detector window.
#include "automation/Automation.h"
#include "common/Ini.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/InventoryDialog.h"
#include "headplacer/app/SettingsDialog.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace headplacer;

class WindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<automation::InProcessCad> cad;
    cad::ScriptedInteraction picks;
    QString suite;

    template <class T>
    static T* child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    QString label(HeadWindow& w) { return w.inventoryLabel()->text(); }

private slots:
    void initTestCase() {
        suite = dir.filePath(QStringLiteral("suite"));
        QVERIFY(QDir().mkpath(suite + QStringLiteral("/Tesmar/bin")));
        QVERIFY(QFile::link(QStringLiteral(SUITE_BINARY_DIR "/suite/aZasoby"),
                            suite + QStringLiteral("/aZasoby")));
        // The city's lists are copied: the tests append to them.
        QVERIFY(QDir().mkpath(suite + QStringLiteral("/aDane/Miasto/Ulic")));
        for (const char* f : {"Ulice.lst", "Skrzyzowania.lst"})
            QVERIFY(QFile::copy(
                QStringLiteral(SUITE_SOURCE_DIR "/resources/aDane/Miasto/Ulic/") + QLatin1String(f),
                suite + QStringLiteral("/aDane/Miasto/Ulic/") + QLatin1String(f)));
        SetProgramFolder(suite + QStringLiteral("/Tesmar/bin"));
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("config/Morvane"))));
        QFile reg(RegistryFilePath());
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write(QStringLiteral("[Software\\Morvane\\Directories]\naDane=%1/aDane\nCity=Miasto\n")
                      .arg(suite)
                      .toUtf8());
    }

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
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("12"));
    }

    void startUpSelectsTheSymbolsKindAndTheDrawingsIntersection() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("s-2P  quelro")));
        QVERIFY(StartedBySibling);
        QCOMPARE(HeadSymbol, QStringLiteral("S-2p"));
        HeadWindow& w = app.headWindow();
        QCOMPARE(child<QComboBox>(&w, "cmbRdz2Syg")->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(&w, "cmbNumSkrzyz")->currentText(), QStringLiteral("12 Rondo Wschodnie"));
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/K1"));
        QCOMPARE(child<QComboBox>(&w, "cmbZrodSwiatla")->count(), 4);
        QVERIFY(prompts.asked().empty());
    }

    void missingSymbolsAndCommandLinesEndTheRun() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        int ended = 0;
        app.setEndHandler([&] { ++ended; });
        prompts.answerInput(std::nullopt);
        QVERIFY(!app.start(QString()));
        QCOMPARE(prompts.asked().back().text,
                 QStringLiteral("Moduł wymaga przekazania symbolu sygnalizatora jako parametru, np. S-1"));
        HeadPlacerApp other;
        other.setEndHandler([&] { ++ended; });
        QVERIFY(!other.start(QStringLiteral("../aZasoby/Symbole/sygnprzycisk")));
        QVERIFY(prompts.asked().back().text.startsWith(QStringLiteral("Nie znaleziono sygnalizatora")));
        QCOMPARE(ended, 1);
    }

    void choicesRebuildTheDesignation() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-1")));
        HeadWindow& w = app.headWindow();
        child<QRadioButton>(&w, "chkRodzSyg_1")->click();
        QCOMPARE(HeadSymbol, QStringLiteral("S-B"));
        QVERIFY(!child<QComboBox>(&w, "cmbRdz2Syg")->isEnabled());
        QCOMPARE(child<QComboBox>(&w, "cmbRdz2Syg")->count(), 0);
        child<QRadioButton>(&w, "chkRodzSyg_2")->click();
        QCOMPARE(HeadSymbol, QStringLiteral("ST"));
        QCOMPARE(LensDiameter, 200);
        child<QRadioButton>(&w, "chkRodzSyg_0")->click();
        QCOMPARE(HeadSymbol, QStringLiteral("S-1"));
        QComboBox* names = child<QComboBox>(&w, "cmbRdz2Syg");
        names->setCurrentIndex(15);
        w.cmbRdz2Syg_Click();
        QVERIFY(child<QRadioButton>(&w, "chkFiSocz_2")->isChecked());
        QCOMPARE(LensDiameter, 100);
        child<QRadioButton>(&w, "chkRodzSyg_3")->click();
        QVERIFY(child<QRadioButton>(&w, "chkPowtStr_1")->isChecked());
        QVERIFY(child<QComboBox>(&w, "cmbStrum")->isEnabled());
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/P1a"));
        QVERIFY(child<QCheckBox>(&w, "chkUstawDetektory")->isEnabled());
        child<QCheckBox>(&w, "chkLinZatrz")->click();
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/P11a"));
        child<QCheckBox>(&w, "chkLinZatrz")->click();
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/P1a"));
        child<QRadioButton>(&w, "chkOrientGeo_5")->click();
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/P6a"));
    }

    void acceptChecksTheTypedIntersection() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-1")));
        HeadWindow& w = app.headWindow();
        QComboBox* intersection = child<QComboBox>(&w, "cmbNumSkrzyz");
        for (const QString& bad :
             {QStringLiteral("   "), QStringLiteral("???"), QStringLiteral("12/3 most")}) {
            intersection->setEditText(bad);
            w.cmdAccept_Click();
            QVERIFY(!app.poll().active());
            QVERIFY(w.isVisible());
        }
        QCOMPARE(prompts.asked()[0].text, QStringLiteral("Nie wypełniono pola \"Skrzyżowanie\"!"));
        QCOMPARE(prompts.asked().size(), size_t(3));
        // A number typed into the combo (not chosen from its list) is taken at accept.
        intersection->setEditText(QStringLiteral("77A Nowe"));
        w.cmdAccept_Click();
        QVERIFY(app.poll().active());
        QCOMPARE(InventoryNumber, QStringLiteral("30-18/77A/K1"));
        QVERIFY(!w.isVisible());
    }

    void aFailedInsertShowsTheErrorAndTheWindowAgain() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        int ended = 0;
        app.setEndHandler([&] { ++ended; });
        QVERIFY(app.start(QStringLiteral("S-1")));
        HeadWindow& w = app.headWindow();
        w.hide();                                             // as the accept button leaves it
        HeadSymbolFile = QStringLiteral("/nowhere/S-1.dwg");  // the drawing went away meanwhile
        app.insertAcceptedHead();
        QCOMPARE(ended, 0);
        QVERIFY(w.isVisible());
        QVERIFY(prompts.asked().back().text.startsWith(QStringLiteral("Nie można wstawić sygnalizatora")));
        // A head whose drawing is missing is refused at accept; the window stays for another choice.
        HeadSymbol = QStringLiteral("S-99");
        child<QComboBox>(&w, "cmbNumSkrzyz")->setEditText(QStringLiteral("987"));
        w.cmdAccept_Click();
        QCOMPARE(ended, 0);
        QVERIFY(w.isVisible());
        QVERIFY(!app.poll().active());
        QVERIFY(
            prompts.asked().back().text.startsWith(QStringLiteral("Nie znaleziono sygnalizatora S-99.dwg")));
    }

    void theSettingsDialogScalesAndStores() {
        ui::ScriptedPrompts prompts;
        common::IniFilePath = dir.filePath(QStringLiteral("settings.ini"));
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-5pr")));
        common::IniFilePath = dir.filePath(QStringLiteral("settings.ini"));
        HeadWindow& w = app.headWindow();
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/PR1a"));
        SettingsDialog d(w);
        QCOMPARE(child<QComboBox>(&d, "cbSkala")->currentText(), QStringLiteral("500"));
        QCOMPARE(child<QLabel>(&d, "labScaled")->text(), QStringLiteral("500"));
        child<QComboBox>(&d, "cbSkala")->setCurrentText(QStringLiteral("250"));
        child<QLineEdit>(&d, "txtSygFontHeight")->setText(QStringLiteral("0,8"));
        QCOMPARE(child<QLabel>(&d, "labScaled")->text().replace(QLatin1Char(','), QLatin1Char('.')),
                 QStringLiteral("200"));
        child<QComboBox>(&d, "cmbFormatPR")->setCurrentIndex(1);
        d.cmdOK_Click();
        QCOMPARE(HeadPlacerSettings.FormatPR, 1);
        QCOMPARE(common::GetIni(common::IniFilePath, QStringLiteral("OstatnioUzyte"),
                                QStringLiteral("FormatPR"), {}),
                 QStringLiteral("1"));
        QCOMPARE(automation::GetDrawingProperty(QStringLiteral("SKALA")), QStringLiteral("250"));
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/P1aR1a"));
    }

    void theInventoryDialogFillsOnceAndAddsNoDuplicates() {
        ui::ScriptedPrompts prompts;
        CityDataFolder = suite + QStringLiteral("/aDane/Miasto");
        InventoryDialog d(nullptr);
        d.show();
        QComboBox* applicants = child<QComboBox>(&d, "cmbNaWniosek");
        const int count = applicants->count();
        QCOMPARE(count, 4);
        child<QLineEdit>(&d, "fldUwagi")->setText(QStringLiteral("wpisane"));
        d.hide();
        d.show();  // activated again, as after a message box or a switch to cadhost
        QCOMPARE(child<QLineEdit>(&d, "fldUwagi")->text(), QStringLiteral("wpisane"));
        QCOMPARE(applicants->count(), count);
        QComboBox* street = child<QComboBox>(&d, "cmbUlica");
        QVERIFY(street->findText(QStringLiteral("Aleja 3 Maja, wschód")) >= 0);
        street->setEditText(QStringLiteral("Nowa"));
        d.cmdDopiszWlot_Click();
        d.cmdDopiszWlot_Click();
        QFile f(suite + QStringLiteral("/aDane/Miasto/Ulic/Ulice.lst"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()).count(QStringLiteral("Nowa")), 1);
        QCOMPARE(street->findText(QStringLiteral("Nowa")) >= 0, true);
        d.cmdAccept_Click();
        QVERIFY(d.DialogAccepted);
        QCOMPARE(d.values.Remarks, QStringLiteral("wpisane"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}\\.\\d{2}\\.\\d{2}$"))
                    .match(d.values.InventoryDate)
                    .hasMatch());
    }

    void theDetectorWindowOffersPushButtonsOnly() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-5")));
        OrientationNumber = 1;
        AdditionalHeadSuffix = QStringLiteral("p");
        app.openDetectorWindow();
        DetectorWindow* d = app.detectorWindow();
        QVERIFY(d && d->isVisible());
        QVERIFY(!app.headWindow().isVisible());
        QCOMPARE(d->tabs()->currentIndex(), 3);
        for (int t = 0; t < 3; ++t) QVERIFY(!d->tabs()->isTabEnabled(t));
        QCOMPARE(d->description()->text(), QStringLiteral("D1p"));
        QCOMPARE(d->pushButtonType()->currentText(), QStringLiteral("sensorowy"));
        QVERIFY(d->pushButtonType()->isEnabled());
        // A loop on the other vendor's members ends the click with that CAD's message.
        d->tabs()->setTabEnabled(0, true);
        d->tabs()->setCurrentIndex(0);
        QCOMPARE(d->description()->text(), QStringLiteral("L1p"));
        d->cbUstaw_Click();
        QVERIFY(d->isVisible());
        QCOMPARE(prompts.asked().back().flags & 0x70, int(ui::Exclamation));
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
