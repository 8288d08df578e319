// The windows of headplacer on an in-process drawing: the head window's choices and checks at
// accept, the settings dialog, the inventory dialog's single filling, and the detector window.
#include "SuiteFolder.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ui/Help.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/HelpPages.h"
#include "headplacer/app/InventoryDialog.h"
#include "headplacer/app/SettingsDialog.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/Interaction.h"
#include "platform/cad/model/ObjectModel.h"
#include "platform/ui/core/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
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
    // A mouse click on an option's circle and text, where the style takes it.
    static void clickOption(QRadioButton* b) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const QRect area = b->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, b);
        QTest::mouseClick(b, Qt::LeftButton, {}, area.center());
    }

private slots:
    void initTestCase() {
        suite = test::MakeSuiteFolder(dir);
        QVERIFY(!suite.isEmpty());
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
        // A drawing in metres: one drawing unit per metre.
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
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

    // A click on the kind already chosen changes nothing: the head keeps the symbol it opened with.
    void reClickingTheChosenKindKeepsTheSymbol() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-3l")));
        HeadWindow& w = app.headWindow();
        QComboBox* names = child<QComboBox>(&w, "cmbRdz2Syg");
        QCOMPARE(names->currentText(), QStringLiteral("Kierunkowy w lewo"));
        auto* vehicles = child<QRadioButton>(&w, "chkRodzSyg_0");
        QVERIFY(vehicles->isChecked());
        clickOption(vehicles);
        QCOMPARE(names->currentText(), QStringLiteral("Kierunkowy w lewo"));
        QCOMPARE(HeadSymbol, QStringLiteral("S-3l"));
        // Another kind, then vehicles again: a change, which starts from the general head.
        clickOption(child<QRadioButton>(&w, "chkRodzSyg_2"));
        QCOMPARE(HeadSymbol, QStringLiteral("ST"));
        clickOption(vehicles);
        QCOMPARE(HeadSymbol, QStringLiteral("S-1"));
        QCOMPARE(names->currentIndex(), 0);
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

    // "1" typed into the intersection box where the list holds "12 Rondo Wschodnie": the box keeps "1"
    // when the user leaves it with Tab, and the designation follows each key.
    void aTypedIntersectionStaysAsTypedAndTheDesignationFollowsIt() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-1")));
        HeadWindow& w = app.headWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QComboBox* intersection = child<QComboBox>(&w, "cmbNumSkrzyz");
        QCOMPARE(intersection->currentText(), QStringLiteral("12 Rondo Wschodnie"));
        QLineEdit* edit = intersection->lineEdit();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::qWait(30);
        QTest::keyClick(edit, Qt::Key_1);
        QTest::qWait(30);
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/1/K1"));
        QTest::keyClick(edit, Qt::Key_Tab);
        QTest::qWait(30);
        QCOMPARE(intersection->currentText(), QStringLiteral("1"));
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/1/K1"));
        // A second digit and a space with a description: the number alone goes into the designation.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        for (Qt::Key k : {Qt::Key_3, Qt::Key_Space, Qt::Key_N}) {
            QTest::keyClick(edit, k);
            QTest::qWait(20);
        }
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/13/K1"));
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(intersection->currentText(), QStringLiteral("13 n"));
        w.cmdAccept_Click();
        QVERIFY(app.poll().active());
        QCOMPARE(InventoryNumber, QStringLiteral("30-18/13/K1"));
        QVERIFY(prompts.asked().empty());
    }

    // A drawing in feet under "SKALA" 3 is refused as the cut refuses it, before a head is placed; a
    // drawing in metres under "SKALA" 1000 is asked about once, and "Tak" places the head.
    void unitsTheDrawingDeniesAreToldBeforeAHeadIsPlaced() {
        ui::ScriptedPrompts prompts;
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 2);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("3"));
        int ended = 0;
        HeadPlacerApp feet;
        feet.setEndHandler([&] { ++ended; });
        QVERIFY(!feet.start(QStringLiteral("S-1")));
        QCOMPARE(ended, 1);
        QVERIFY(!feet.poll().active());
        QCOMPARE(prompts.asked().size(), size_t(1));
        const QString told = prompts.asked()[0].text;
        QVERIFY2(told.contains(QStringLiteral("stopy ($INSUNITS 2)")), qPrintable(told));
        QVERIFY2(told.endsWith(QStringLiteral("Nic nie narysowano.")), qPrintable(told));
        // Holding no "SKALA" at all, the drawing is told that 1 was taken for it, not that it holds 1.
        prompts.clear();
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString());
        HeadPlacerApp missing;
        missing.setEndHandler([&] { ++ended; });
        QVERIFY(!missing.start(QStringLiteral("S-1")));
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY2(prompts.asked()[0].text.startsWith(
                     QStringLiteral("Rysunek nie ma wartości SKALA; przyjęta wartość 1 (rysunek w metrach) "
                                    "nie pasuje do rysunku:")),
                 qPrintable(prompts.asked()[0].text));
        QCOMPARE(ended, 2);

        prompts.clear();
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1000"));
        prompts.answerMessage(ui::Yes);
        HeadPlacerApp metres;
        metres.setEndHandler([&] { ++ended; });
        QVERIFY(metres.start(QStringLiteral("S-1")));
        child<QComboBox>(&metres.headWindow(), "cmbNumSkrzyz")->setEditText(QStringLiteral("987"));
        metres.headWindow().cmdAccept_Click();
        QVERIFY(metres.poll().active());
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY2(prompts.asked()[0].text.contains(QStringLiteral(
                     "Czy mimo to rysować przy wartości SKALA 1000? (Nie: nic nie zostanie narysowane)")),
                 qPrintable(prompts.asked()[0].text));
        QCOMPARE(ended, 2);
    }

    // A section number of a megabyte in the drawing is quoted by its first 40 characters.
    void aHugeSectionNumberIsQuotedCut() {
        ui::ScriptedPrompts prompts;
        const QString huge = QStringLiteral("26-") + QString(1 << 20, QLatin1Char('7'));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), huge);
        prompts.answerMessage(ui::No);
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(!app.start(QStringLiteral("S-1")));
        QCOMPARE(prompts.asked().size(), size_t(1));
        QCOMPARE(prompts.asked()[0].text,
                 QStringLiteral("Zawarty w aktywnym dokumencie numer sekcji\n[") + huge.left(40) +
                     QStringLiteral("…] jest niezgodny z wzorcem.\nCzy pomimo tego kontynuować ustawianie "
                                    "sygnalizatora?"));
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
        // A drawing without its section number, the question whether to go on declined: the run ends
        // and nothing is inserted.
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QString());
        HeadSymbol = QStringLiteral("S-1");
        prompts.answerMessage(ui::No);
        w.cmdAccept_Click();
        QVERIFY(prompts.asked().back().text.startsWith(
            QStringLiteral("Aktywny dokument nie zawiera numeru sekcji.")));
        QCOMPARE(ended, 1);
        QVERIFY(!app.poll().active());
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
        QCOMPARE(child<QComboBox>(&d, "cbSkala")->currentText(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(&d, "labScaled")->text(), QStringLiteral("1"));
        // A scale no drawing can hold is refused and stores nothing.
        const QString stored = automation::GetDrawingProperty(QStringLiteral("SKALA"));
        for (const char* scale : {"abc", "-5", "0", "32768"}) {
            child<QComboBox>(&d, "cbSkala")->setCurrentText(QString::fromLatin1(scale));
            QVERIFY(child<QLabel>(&d, "labScaled")->text().isEmpty());
            prompts.clear();
            QTest::mouseClick(child<QPushButton>(&d, "cmdOK"), Qt::LeftButton);
            QCOMPARE(prompts.messageTexts().size(), qsizetype(1));
            QVERIFY2(prompts.messageTexts().first().contains(QStringLiteral("od 1 do 32767")), scale);
            QCOMPARE(automation::GetDrawingProperty(QStringLiteral("SKALA")), stored);
            QCOMPARE(d.result(), int(QDialog::Rejected));
        }
        // The same drawing in millimetres: a thousand units per metre.
        child<QComboBox>(&d, "cbSkala")->setCurrentText(QStringLiteral("1000"));
        child<QLineEdit>(&d, "txtSygFontHeight")->setText(QStringLiteral("0,8"));
        QCOMPARE(child<QLabel>(&d, "labScaled")->text().replace(QLatin1Char(','), QLatin1Char('.')),
                 QStringLiteral("800"));
        child<QComboBox>(&d, "cmbFormatPR")->setCurrentIndex(1);
        d.cmdOK_Click();
        QCOMPARE(HeadPlacerSettings.FormatPR, 1);
        QCOMPARE(common::GetIni(common::IniFilePath, QStringLiteral("OstatnioUzyte"),
                                QStringLiteral("FormatPR"), {}),
                 QStringLiteral("1"));
        QCOMPARE(automation::GetDrawingProperty(QStringLiteral("SKALA")), QStringLiteral("1000"));
        QCOMPARE(label(w), QStringLiteral("Sygnalizator: 30-18/12/P1aR1a"));
    }

    // The pedestrian-and-cyclist format chosen in the settings is the next run's from its start.
    void theNextRunStartsWithTheChosenFormat() {
        ui::ScriptedPrompts prompts;
        const auto chooseFormat = [&](HeadWindow& w, int format) {
            SettingsDialog d(w);
            child<QComboBox>(&d, "cmbFormatPR")->setCurrentIndex(format);
            d.cmdOK_Click();
        };
        {
            HeadPlacerApp app;
            app.setEndHandler([] {});
            QVERIFY(app.start(QStringLiteral("S-5pr")));
            QCOMPARE(label(app.headWindow()), QStringLiteral("Sygnalizator: 30-18/12/PR1a"));
            chooseFormat(app.headWindow(), 1);
        }
        ResetHeadState();
        HeadPlacerSettings = {};
        HeadPlacerApp next;
        next.setEndHandler([] {});
        QVERIFY(next.start(QStringLiteral("S-5pr")));
        QCOMPARE(label(next.headWindow()), QStringLiteral("Sygnalizator: 30-18/12/P1aR1a"));
        chooseFormat(next.headWindow(), 0);  // the runs after this test start as before
    }

    void theInventoryDialogFillsOnceAndAddsNoDuplicates() {
        ui::ScriptedPrompts prompts;
        CityDataFolder = suite + QStringLiteral("/aDane/Miasto");
        // The hint shows the locale's own short date (German 30.12.99, Swedish 1999-12-30) in r, m and
        // d; the dates themselves keep the inventory's format whatever the locale.
        const QLocale before;
        for (const auto& [locale, hint] :
             {std::pair{"de_DE", "dd.mm.rr"}, std::pair{"sv_SE", "rrrr-mm-dd"}}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            InventoryDialog other(nullptr);
            other.show();
            const QString shown = child<QLabel>(&other, "lblFormatDaty")->text();
            const QString date = child<QDateEdit>(&other, "dtpDataInwent")->text();
            QLocale::setDefault(before);
            QCOMPARE(shown, QStringLiteral("(Format daty: %1)").arg(QLatin1String(hint)));
            QCOMPARE(date, QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")));
        }
        QLocale::setDefault(QLocale::c());
        InventoryDialog d(nullptr);
        QLocale::setDefault(before);
        d.show();
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd"));
        for (const char* picker : {"dtpDataRealizacji", "dtpDataZlecenia", "dtpDataInwent"})
            QCOMPARE(child<QDateEdit>(&d, picker)->text(), today);
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
        QCOMPARE(d.values.InventoryDate, today);
    }

    // The intersection and the street show what the drawing remembers, never the first list entry.
    void theFieldsShowOnlyWhatTheDrawingRemembers() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QString());
        QVERIFY(app.start(QStringLiteral("S-1")));
        HeadWindow& w = app.headWindow();
        QComboBox* intersection = child<QComboBox>(&w, "cmbNumSkrzyz");
        QVERIFY(intersection->count() > 0);
        QCOMPARE(intersection->currentText(), QString());
        w.cmdAccept_Click();
        QVERIFY(!app.poll().active());
        QCOMPARE(prompts.asked().back().text, QStringLiteral("Nie wypełniono pola \"Skrzyżowanie\"!"));

        // A drawing of intersection 55, which the list does not name: 55 stays.
        HeadPlacerApp second;
        second.setEndHandler([] {});
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("55"));
        QVERIFY(second.start(QStringLiteral("S-1")));
        QCOMPARE(child<QComboBox>(&second.headWindow(), "cmbNumSkrzyz")->currentText(), QStringLiteral("55"));
        second.headWindow().cmdAccept_Click();
        QVERIFY(second.poll().active());
        QCOMPARE(IntersectionNumber, QStringLiteral("55"));
        QCOMPARE(InventoryNumber, QStringLiteral("30-18/55/K1"));

        CityDataFolder = suite + QStringLiteral("/aDane/Miasto");
        automation::SetDrawingProperty(QStringLiteral("OSTULICA"), QString());
        InventoryDialog none(nullptr);
        none.show();
        QVERIFY(child<QComboBox>(&none, "cmbUlica")->count() > 0);
        QCOMPARE(child<QComboBox>(&none, "cmbUlica")->currentText(), QString());
        automation::SetDrawingProperty(QStringLiteral("OSTULICA"), QStringLiteral("Zielna"));
        InventoryDialog remembered(nullptr);
        remembered.show();
        QCOMPARE(child<QComboBox>(&remembered, "cmbUlica")->currentText(), QStringLiteral("Zielna"));
        automation::SetDrawingProperty(QStringLiteral("OSTULICA"), QStringLiteral("Leśna"));
        InventoryDialog listed(nullptr);
        listed.show();
        QCOMPARE(child<QComboBox>(&listed, "cmbUlica")->currentIndex(), 1);
    }

    // Nothing configured: the suite's own lists; a list that is not there is named with where the
    // folder is configured.
    void firstRunReadsTheSuitesLists() {
        ui::ScriptedPrompts prompts;
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("pusty")).toUtf8());
        {
            HeadPlacerApp app;
            app.setEndHandler([] {});
            QVERIFY(app.start(QStringLiteral("S-1")));
            QCOMPARE(QDir(CityDataFolder).canonicalPath(),
                     QDir(suite + QStringLiteral("/aDane/Miasto")).canonicalPath());
            QVERIFY(child<QComboBox>(&app.headWindow(), "cmbNumSkrzyz")
                        ->findText(QStringLiteral("12 Rondo Wschodnie")) >= 0);
            QVERIFY(prompts.asked().empty());
        }
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("inne/Morvane"))));
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("inne")).toUtf8());
        QFile reg(RegistryFilePath());
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write("[Software\\Morvane\\Directories]\naDane=/nigdzie\nCity=Miasto\n");
        reg.close();
        {
            HeadPlacerApp app;
            app.setEndHandler([] {});
            QVERIFY(app.start(QStringLiteral("S-1")));
            QVERIFY(!prompts.asked().empty());
            const QString text = prompts.asked().front().text;
            QVERIFY2(text.startsWith(QStringLiteral(
                         "Nie można przeczytać listy skrzyżowań.\n[/nigdzie/Miasto/Ulic/Skrzyzowania.lst]")),
                     qPrintable(text));
            QVERIFY2(text.contains(RegistryFilePath()), qPrintable(text));
        }
        qputenv("XDG_CONFIG_HOME", saved);
    }

    // F1 in each window opens a page of headplacer about that window.
    void f1OpensThePageOfEachWindow() {
        ui::ScriptedPrompts prompts;
        common::SetHelpOpener([](const QUrl&) { return true; });  // no browser starts under the test
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-5")));
        auto pageAfterF1 = [](QWidget* w) {
            QTest::keyClick(w, Qt::Key_F1);
            return QFileInfo(LastHelpPage()).fileName();
        };
        HeadWindow& w = app.headWindow();
        SettingsDialog settings(w);
        CityDataFolder = suite + QStringLiteral("/aDane/Miasto");
        InventoryDialog inventory(nullptr);
        app.openDetectorWindow();
        DetectorSettingsDialog detectorSettings(app.detectorWindow());
        const QList<std::pair<QWidget*, QString>> own = {
            {&w, QStringLiteral("headplacer-sygnalizator.html")},
            {&settings, QStringLiteral("10012.html")},
            {&inventory, QStringLiteral("headplacer-inwentaryzacja.html")},
            {app.detectorWindow(), QStringLiteral("headplacer-detektory.html")},
            {&detectorSettings, QStringLiteral("headplacer-opisy-detektorow.html")}};
        for (const auto& [window, page] : own) {
            QCOMPARE(pageAfterF1(window), page);
            // The page is shipped, and it is headplacer's.
            QFile f(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Pomoc/") + page);
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(page));
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(html.contains(QStringLiteral("sygnalizator"), Qt::CaseInsensitive) ||
                         html.contains(QStringLiteral("detektor"), Qt::CaseInsensitive),
                     qPrintable(page));
        }
        StartedBySibling = true;
        QCOMPARE(pageAfterF1(&w), QStringLiteral("10256.html"));
        QCOMPARE(pageAfterF1(&settings), QStringLiteral("10332.html"));
        QCOMPARE(pageAfterF1(app.detectorWindow()), QStringLiteral("10239.html"));
        StartedBySibling = false;

        // No browser opens the page: F1 says so and where the page is, in the window's own title.
        common::SetHelpOpener([](const QUrl&) { return false; });
        const int before = prompts.asked().size();
        QTest::keyClick(&inventory, Qt::Key_F1);
        common::SetHelpOpener({});
        QCOMPARE(int(prompts.asked().size()), before + 1);
        const QString told = prompts.asked().back().text;
        const QString page = QDir::toNativeSeparators(QFileInfo(LastHelpPage()).absoluteFilePath());
        QVERIFY2(
            told == (QFileInfo::exists(LastHelpPage())
                         ? QStringLiteral("Żadna przeglądarka nie otworzyła strony pomocy.\nStrona pomocy: ")
                         : QStringLiteral("Nie znaleziono strony pomocy:\n")) +
                        page,
            qPrintable(told));
        QCOMPARE(prompts.asked().back().title, inventory.windowTitle());
    }

    // Each "Zmierz" stands right of the list it fills, in one column with the other "Zmierz" of its tab.
    void theMeasureButtonsStandBesideTheirLists() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        app.setEndHandler([] {});
        QVERIFY(app.start(QStringLiteral("S-5")));
        OrientationNumber = 1;
        app.openDetectorWindow();
        DetectorWindow* d = app.detectorWindow();
        QVERIFY(d);
        const std::pair<int, std::vector<std::pair<const char*, const char*>>> tabs[] = {
            {0, {{"cmbNDlugosc", "cmdPobierzDlugosc"}, {"cmbNSzerokosc", "cmdPobierzSzerokosc"}}},
            {2,
             {{"cmbObsDetDlugosc", "cmdPobierzDluObsD"},
              {"cmbObsDetSzerokosc", "cmdPobierzSzerObsD"},
              {"cmbObsDetOdlProst", "cmdPobierzOdlPrObsD"}}}};
        for (const auto& [tab, pairs] : tabs) {
            d->tabs()->setTabEnabled(tab, true);
            d->tabs()->setCurrentIndex(tab);
            QVERIFY(QTest::qWaitForWindowExposed(d));
            QCoreApplication::processEvents();
            int column = -1;
            for (const auto& [list, button] : pairs) {
                const QRect l = child<QComboBox>(d, list)->geometry();
                QPushButton* b = child<QPushButton>(d, button);
                QCOMPARE(b->text(), QStringLiteral("Zmierz"));
                const QRect r = b->geometry();
                QVERIFY2(r.left() > l.right() && r.center().y() >= l.top() && r.center().y() <= l.bottom(),
                         button);
                if (column < 0) column = r.left();
                QVERIFY2(r.left() == column, button);
                // A click waits for a picked line: this CAD has no such pick, which the user is told.
                const size_t asked = prompts.asked().size();
                QTest::mouseClick(b, Qt::LeftButton);
                QCOMPARE(prompts.asked().size(), asked + 1);
                QCOMPARE(prompts.asked().back().flags & 0x70, int(ui::Exclamation));
                QVERIFY2(d->isVisible(), button);
            }
        }
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
        // "Ustaw": the CAD is raised and this window steps aside, so typed coordinates reach the
        // CAD's prompt; it comes back once the push-button's pick ends.
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        const int raised = cad->model().raiseRequests;
        QTest::mouseClick(child<QPushButton>(d, "cbUstaw"), Qt::LeftButton);
        QVERIFY(app.poll().active());
        QCOMPARE(cad->model().raiseRequests, raised + 1);
        QVERIFY(!d->isVisible());
        QVERIFY(QApplication::activeWindow() != d);
        picks.cancel();
        for (int i = 0; i < 20 && !cad->model().commands().isQuiescent(); ++i) cad->model().pumpCommands();
        QCOMPARE(app.poll().tick(), InsertionPoll::Cancelled);
        QVERIFY(d->isVisible());
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
