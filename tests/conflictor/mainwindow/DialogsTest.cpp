// conflictor's dialogs and window pieces: settings (checks, storing, length texts), the detector list,
// the about box, the flashing status panel, the width rule of the window and the command states.
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "common/Version.h"
#include "common/ui/AboutDialog.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/mainwindow/DetectorDialog.h"
#include "conflictor/mainwindow/SettingsDialog.h"
#include "conflictor/mainwindow/StreamGridRules.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/FlexGridEditor.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace conflictor;

class DialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<ui::ScriptedPrompts> prompts;

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        QCoreApplication::setApplicationName(QStringLiteral("Tesmar Ziziro Zedivir"));
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));
        QFile::remove(common::IniFilePath);
        common::Settings = common::ProgramSettings{};
        FillSettingBindings();
        automation::ResetCadConnectionState();
        automation::DrawingScale = 500;
        prompts = std::make_unique<ui::ScriptedPrompts>();
    }
    void cleanup() { prompts.reset(); }

    void settingsRefuseValuesThatDoNotFit() {
        SettingsDialog d;
        QCOMPARE(d.field(QStringLiteral("edtPredkPiesi"))->text(), QStringLiteral("1.40"));
        QCOMPARE(d.cbSkala->currentText(), QStringLiteral("500"));
        QCOMPARE(d.labScaled->text(), QStringLiteral("250"));  // 0.5 x 500
        struct Case {
            QWidget* control;
            QString text;
        };
        QLineEdit* cars = d.field(QStringLiteral("edtIloscWagonow"));
        QLineEdit* speed = d.field(QStringLiteral("edtPredkEwakLuk3"));
        for (const auto& [control, text] : {std::pair<QLineEdit*, QString>{cars, QStringLiteral("0")},
                                            {cars, QStringLiteral("256")},
                                            {cars, QStringLiteral("2.5")},
                                            {speed, QStringLiteral("0")},
                                            {speed, QStringLiteral("-3")},
                                            {speed, QStringLiteral("abc")},
                                            {speed, QStringLiteral("1e300")},
                                            {speed, QStringLiteral("0.001")},
                                            {speed, QStringLiteral("0x10")}}) {
            const QString before = control->text();
            control->setText(text);
            prompts->clear();
            d.cmdOk_Click();
            QCOMPARE(prompts->asked().size(), size_t(1));
            QCOMPARE(d.result(), int(QDialog::Rejected));
            control->setText(before);
        }
        // The bound passed is named, as loading the settings names it.
        QLineEdit* pedestrians = d.field(QStringLiteral("edtPredkPiesi"));
        pedestrians->setText(QStringLiteral("1e300"));
        prompts->clear();
        QTest::mouseClick(d.cmdOk, Qt::LeftButton);
        QCOMPARE(prompts->messageTexts(),
                 QStringList{QStringLiteral("Wartość jest za duża (musi być liczbą od 0,1 do 5 m/s)!")});
        QCOMPARE(d.result(), int(QDialog::Rejected));
        pedestrians->setText(QStringLiteral("1.40"));
        // A scale no drawing can hold: none of them becomes "SKALA".
        for (const char* scale : {"0", "-1", "32768", "+5", "1e3", "abc"}) {
            d.cbSkala->setCurrentText(QString::fromLatin1(scale));
            prompts->clear();
            QTest::mouseClick(d.cmdOk, Qt::LeftButton);
            QCOMPARE(prompts->messageTexts().size(), qsizetype(1));
            QVERIFY2(prompts->messageTexts().first().contains(QStringLiteral("od 1 do 32767")), scale);
            QCOMPARE(d.result(), int(QDialog::Rejected));
        }
        d.cbSkala->setCurrentText(QStringLiteral("500"));
        QVERIFY(!QFile::exists(common::IniFilePath));  // nothing stored while refused
    }

    // Buses and trams repeat the vehicles' captions: only the tab tells the user whose value it is.
    void settingsFieldsStandOnTheTabOfTheirVehicle() {
        SettingsDialog d;
        // The tab's caption, then each row as "caption=field".
        auto rowsOf = [&d](int tab) {
            QStringList rows{d.SSTab1->tabText(tab)};
            auto* form = qobject_cast<QFormLayout*>(d.SSTab1->widget(tab)->layout());
            for (int r = 0; form && r < form->rowCount(); ++r) {
                auto* label = form->itemAt(r, QFormLayout::LabelRole);
                auto* field = form->itemAt(r, QFormLayout::FieldRole);
                auto* caption = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
                rows << (caption ? caption->text() : QString()) + QLatin1Char('=') +
                            (field && field->widget() ? field->widget()->objectName() : QString());
            }
            return rows;
        };
        auto speeds = [](const QString& suffix, const QString& acceleration) {
            return QStringList{QStringLiteral("Prędkość dojazdu - prosta [m/s]=edtPredkDojazdProsta") + suffix,
                               QStringLiteral("Prędkość dojazdu - łuk [m/s]=edtPredkDojazdLuk") + suffix,
                               QStringLiteral("Prędkość ewakuacji - prosta [m/s]=edtPredkEwakProsta") + suffix,
                               QStringLiteral("Prędkość ewakuacji - łuk [m/s]=edtPredkEwakLuk") + suffix,
                               QStringLiteral("Maksymalne przyspieszenie [m/s²]=") + acceleration};
        };
        QCOMPARE(rowsOf(0), QStringList({QStringLiteral("Pojazdy"), QStringLiteral("Długość pojazdu [m]=edtDlugoscPojazdu")}) +
                                speeds({}, QStringLiteral("edtMaksPrzysp")));
        QCOMPARE(rowsOf(1),
                 QStringList({QStringLiteral("Autobusy"), QStringLiteral("Długość autobusu [m]=edtDlugoscAutobusu")}) +
                     speeds(QStringLiteral("2"), QStringLiteral("edtMaksPrzyspAutobus")));
        QCOMPARE(rowsOf(2),
                 QStringList({QStringLiteral("Tramwaje"), QStringLiteral("Długość wagonu tramwaju [m]=edtDlugoscTramwaj"),
                              QStringLiteral("Liczba wagonów=edtIloscWagonow")}) +
                     speeds(QStringLiteral("3"), QStringLiteral("edtMaksPrzyspTramwaj")));
        QCOMPARE(rowsOf(3), (QStringList{QStringLiteral("Piesi i rowery"), QStringLiteral("Prędkość pieszych [m/s]=edtPredkPiesi"),
                                         QStringLiteral("Prędkość rowerów [m/s]=edtPredkRowery"),
                                         QStringLiteral("Czas sygnału żółtego [s]=edtSygnalZolty"),
                                         QStringLiteral("Granica promienia łuku [m]=edtGranicaPromien")}));
    }

    void settingsOkStoresAndCancelKeeps() {
        {
            SettingsDialog d;
            d.field(QStringLiteral("edtPredkPiesi"))->setText(QStringLiteral("1,2"));
            d.field(QStringLiteral("edtIloscWagonow"))->setText(QStringLiteral("3"));
            d.reject();
        }
        QCOMPARE(common::Settings.PredkPiesi, 1.4);
        QVERIFY(!QFile::exists(common::IniFilePath) ||
                common::GetIni(common::IniFilePath, QStringLiteral("Tesmar Ziziro Zedivir"),
                               QStringLiteral("PredkPiesi"),
                               QStringLiteral("<none>")) == QStringLiteral("<none>"));
        SettingsDialog d;
        d.field(QStringLiteral("edtPredkPiesi"))->setText(QStringLiteral("1,2"));
        d.field(QStringLiteral("edtIloscWagonow"))->setText(QStringLiteral("3"));
        d.field(QStringLiteral("edtWspPoczatek"))->setText(QStringLiteral("1.5"));
        d.field(QStringLiteral("edtWspKoniec"))->setText(QStringLiteral("-2"));
        d.cmdOk_Click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(common::Settings.PredkPiesi, 1.2);
        QCOMPARE(common::Settings.IloscWagonow, 3);
        const QString section = QStringLiteral("Tesmar Ziziro Zedivir");
        QCOMPARE(common::GetIni(common::IniFilePath, section, QStringLiteral("PredkPiesi"), {}),
                 QStringLiteral("1.2"));
        QCOMPARE(common::SettingBindings[4].Value.toString(), QStringLiteral("1,5"));
        QCOMPARE(common::SettingBindings[5].Value.toString(), QStringLiteral("1"));
    }

    void settingsResizeTheLengthTexts() {
        automation::InProcessCad cad;
        const auto previous = automation::SetCadConnector({[&] { return cad.application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::EnsureLayer(QStringLiteral("400-DLUGOSCI_STRUMIENI"), false, 7, -10);
        cad::Entity length =
            automation::CadModelSpace.addText(QStringLiteral("12.5"), cad::Point{0, 0, 0}, 1);
        length.setLayer(QStringLiteral("400-DLUGOSCI_STRUMIENI"));
        cad::Entity other = automation::CadModelSpace.addText(QStringLiteral("x"), cad::Point{0, 0, 0}, 1);
        {
            SettingsDialog d;
            d.field(QStringLiteral("edtPredkPiesi"))->setText(QStringLiteral("1.3"));  // no text change
            d.cmdOk_Click();
        }
        QCOMPARE(length.height(), 1.0);
        QCOMPARE(automation::GetDrawingProperty(QStringLiteral("SKALA")), QStringLiteral("500"));
        {
            // The field says what "SKALA" is; a value proposed by the check shows in it.
            SettingsDialog d;
            auto* form = qobject_cast<QFormLayout*>(d.cbSkala->parentWidget()->layout());
            QVERIFY(form);
            auto* caption = qobject_cast<QLabel*>(form->labelForField(d.cbSkala));
            QVERIFY(caption);
            QCOMPARE(caption->text(), QStringLiteral("Jednostek rysunku na metr (SKALA):"));
            d.ProposeScale(1);
            QCOMPARE(d.cbSkala->currentText(), QStringLiteral("1"));
            d.chkTextScaled->setChecked(true);
            d.cbSkala->setCurrentText(QStringLiteral("1000"));
            d.cmbDlugosciTekstWysokosc->setCurrentText(QStringLiteral("1,8"));
            d.cmdOk_Click();
        }
        QCOMPARE(length.height(), 1800.0);
        QCOMPARE(other.height(), 1.0);
        QCOMPARE(automation::GetDrawingProperty(QStringLiteral("SKALA")), QStringLiteral("1000"));
        {
            SettingsDialog d;
            d.chkTextScaled->setChecked(false);
            d.cmdOk_Click();
        }
        QCOMPARE(length.height(), 1.8);
        automation::SetCadConnector(previous);
        automation::ResetCadConnectionState();
    }

    void detectorListEditsOnlyItsOwnRows() {
        for (int round = 0; round < 2; ++round) {
            DetectorDialog d;
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            ui::FlexGrid* g = d.grdDetektory;
            QCOMPARE(g->Rows(), 9);
            QCOMPARE(g->TextMatrix(1, 0), QStringLiteral("L0"));
            QCOMPARE(g->TextMatrix(8, 1), QStringLiteral("17"));
            // Typing: a letter starts at "0", a digit with itself; Escape drops the edit.
            g->setFocus();
            g->setCurrent(2, 1);
            QTest::keyClick(g, Qt::Key_X);
            QCOMPARE(d.editor->editor()->text(), QStringLiteral("0"));
            QTest::keyClick(d.editor->editor(), Qt::Key_Escape);
            QCOMPARE(g->TextMatrix(2, 1), QStringLiteral("11"));
            QTest::keyClick(g, Qt::Key_7);
            QCOMPARE(d.editor->editor()->text(), QStringLiteral("7"));
            QTest::keyClick(d.editor->editor(), Qt::Key_Return);
            QCOMPARE(g->TextMatrix(2, 1), QStringLiteral("7"));
            // Moves keep the moved detector selected; none past the ends.
            g->setCurrent(1, 0);
            d.MoveDetectorRow(true);
            QCOMPARE(g->Row(), 1);
            d.MoveDetectorRow(false);
            QCOMPARE(g->Row(), 2);
            QCOMPARE(g->TextMatrix(2, 0), QStringLiteral("L0"));
            QCOMPARE(d.lblWybrany->text(), QStringLiteral("L0"));
            g->setCurrent(8, 0);
            d.MoveDetectorRow(false);
            QCOMPARE(g->Row(), 8);
            // Adding needs a name; the distance may stay empty.
            prompts->clear();
            d.btnDodaj_Click();
            QCOMPARE(prompts->messageTexts(), QStringList{QStringLiteral("Nie podano nazwy detektora!")});
            QCOMPARE(g->Rows(), 9);
            d.edNazwa->setText(QStringLiteral(" D1 "));
            d.btnDodaj_Click();
            QCOMPARE(g->Rows(), 10);
            QCOMPARE(g->TextMatrix(9, 0), QStringLiteral("D1"));
            QCOMPARE(g->TextMatrix(9, 1), QString());
            // Removing every row leaves the header; adding fixes it again.
            while (g->FixedRows() > 0) {
                g->setCurrent(1, 0);
                d.btnUsun_Click();
            }
            QCOMPARE(g->Rows(), 1);
            QCOMPARE(g->TextMatrix(0, 0), QStringLiteral("Nazwa"));
            d.btnDodaj_Click();
            QCOMPARE(g->FixedRows(), 1);
            QCOMPARE(g->TextMatrix(1, 0), QStringLiteral("D1"));
            d.reject();
        }
        QVERIFY(!common::GetIni(common::IniFilePath, QStringLiteral("Tesmar Ziziro Zedivir"),
                                QStringLiteral("Okno_Detektory_Lewy"), {})
                     .isEmpty());
    }

    void aboutBoxNamesProgramAndVersion() {
        common::AboutDialog about;
        about.ProgramTitle = QStringLiteral("Tesmar Ziziro Zedivir");
        about.ProgramName = QStringLiteral("Ziziro Zedivir");
        about.Form_Load();
        QCOMPARE(about.lblWersja->text(),
                 QStringLiteral("Tesmar Ziziro Zedivir w. ") + common::GetVersionText());
        QCOMPARE(about.windowTitle(), QStringLiteral("Tesmar Ziziro Zedivir - informacja o programie"));
        QCOMPARE(about.lblProgram->text(), QStringLiteral("Ziziro Zedivir"));
    }

    void statusPanelFlashesAndGivesTheTextBack() {
        ConflictorWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.StopPanelFlash();  // without a start: the text stays
        w.setStatusText(QStringLiteral("rysunek.dxf"));
        QCOMPARE(w.panelStan->text(), QStringLiteral("rysunek.dxf"));
        w.StartPanelFlash(QStringLiteral("Trwa odczyt strumieni z rysunku ..."));
        QVERIFY(w.TimerKolor->isActive());
        QImage first = w.panelStan->pixmap().toImage();
        QCOMPARE(first.pixelColor(1, 1), QColor(255, 255, 0));
        QCOMPARE(first.size() / first.devicePixelRatio(), w.panelStan->size());
        w.TimerKolor_Timer();
        QCOMPARE(w.panelStan->pixmap().toImage().pixelColor(1, 1), QColor(0, 0, 128));
        w.StopPanelFlash();
        QVERIFY(!w.TimerKolor->isActive());
        QVERIFY(w.panelStan->pixmap().isNull());
        QCOMPARE(w.panelStan->text(), QStringLiteral("rysunek.dxf"));
    }

    void windowKeepsItsWidthAndSwitchesCommandsAsAGroup() {
        ConflictorWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(900, 100);
        QCOMPARE(w.width(), 4650 / TwipsPerPixel);
        QVERIFY(w.height() >= 5000 / TwipsPerPixel);
        w.cmdBig_Click();
        QCOMPARE(w.width(), 9000 / TwipsPerPixel);
        QCOMPARE(w.cmdBig->text(), QStringLiteral("< Ukryj szczegóły"));
        w.cmdBig_Click();
        QCOMPARE(w.cmdBig->text(), QStringLiteral("Pokaż szczegóły >"));

        QAction* detectors = w.action(QStringLiteral("mnuEdycja_Detektory"));
        QAction* settings = w.action(QStringLiteral("mnuOpcje_Konfiguracja"));
        QVERIFY(detectors && settings && w.action(QStringLiteral("mnuPlik_Zakoncz")));
        w.UpdateCommandStates(false);
        QVERIFY(!detectors->isEnabled());
        QVERIFY(settings->isEnabled());
        w.UpdateCommandStates(true);
        QVERIFY(detectors->isEnabled());
        QCOMPARE(w.menu(QStringLiteral("mnuPomoc"))->title(), QStringLiteral("Po&moc"));
        QVERIFY(!w.menu(QStringLiteral("mnuWidok")) || w.menu(QStringLiteral("mnuWidok"))->isEmpty() ||
                w.menuBar()->actions().contains(w.menu(QStringLiteral("mnuWidok"))->menuAction()));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
