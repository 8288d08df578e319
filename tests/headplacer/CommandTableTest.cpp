// The windows and headplacer-headless run the same command rows: a pedestrian head with its screen,
// inventory and a push-button placed by clicking "Zatwierdź" and "Ustaw" in the windows, and by the
// tool with the same choices and picks, leave the same references, attributes and texts; the tool
// refuses an id it does not know and a row that needs the window, saying why, and its accept refuses
// what the window's refuses.
#include "SuiteFolder.h"
#include "automation/Automation.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/InventoryDialog.h"
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
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace headplacer;

class CommandTableTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString suite, input;
    std::unique_ptr<automation::InProcessCad> cad;
    cad::ScriptedInteraction picks;

    template <class T>
    static T* child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    void connectCad() {
        automation::ResetCadConnectionState();
        cad = std::make_unique<automation::InProcessCad>();
        cad->setInteraction(&picks);
        automation::SetCadConnector({[this] { return cad->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
    }
    void pump() {
        for (int i = 0; i < 50 && !cad->model().commands().isQuiescent(); ++i) cad->model().pumpCommands();
    }
    struct Run {
        int status;
        QString errors;
    };
    Run headless(const QStringList& args) {
        QProcess tool;
        tool.start(QStringLiteral(HEADLESS_EXE), QStringList{input} + args);
        if (!tool.waitForFinished(120000)) return {-1, QStringLiteral("timeout")};
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                QString::fromUtf8(tool.readAllStandardError())};
    }
    // The poll's tick that completes the head, the inventory dialog it opens accepted with a name and
    // a street typed; the step, or Cancelled when the dialog never opened.
    InsertionPoll::Step completeWithInventory(HeadPlacerApp& app) {
        bool inventoryAccepted = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<InventoryDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            answer.stop();
            child<QLineEdit>(d, "fldKtoNaniosl")->setText(QStringLiteral("Jan Kowalski"));
            child<QComboBox>(d, "cmbUlica")->setEditText(QStringLiteral("Leśna"));
            QTest::mouseClick(child<QPushButton>(d, "cmdAccept"), Qt::LeftButton);
            inventoryAccepted = true;
        });
        answer.start(10);
        const InsertionPoll::Step step = app.poll().tick();
        return inventoryAccepted ? step : InsertionPoll::Cancelled;
    }
    static QString references(const QString& drawing) {
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(SUITE_SOURCE_DIR "/tests/data/headplacer/references.py"), drawing});
        py.waitForFinished(60000);
        return QString::fromUtf8(py.readAllStandardOutput());
    }

    // headplacer started for an S-5 head on the test drawing, with nothing remembered from a last head.
    bool startOnTheDrawing(HeadPlacerApp& app) {
        ResetHeadState();
        HeadPlacerSettings = {};
        connectCad();
        automation::CadApplication.documents().open(input);
        app.setEndHandler([] {});
        return app.start(QStringLiteral("S-5"));
    }

private slots:
    void initTestCase() {
        suite = test::MakeSuiteFolder(dir);
        QVERIFY(!suite.isEmpty());
        // One drawing for both runs: the sample in metres, of section 30-18 and intersection 12.
        connectCad();
        automation::CadApplication.documents().open(
            QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf"));
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("12"));
        input = dir.filePath(QStringLiteral("wejscie.dxf"));
        automation::CadDocument.saveAs(input);
    }

    void theWindowsAndTheToolPlaceTheSameHeadAndPushButton() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        QVERIFY(startOnTheDrawing(app));
        HeadWindow& w = app.headWindow();
        QCOMPARE(child<QComboBox>(&w, "cmbNumSkrzyz")->currentText(), QStringLiteral("12 Rondo Wschodnie"));
        child<QRadioButton>(&w, "chkOrientGeo_2")->click();
        child<QComboBox>(&w, "cmbTypSyg")->setCurrentText(QStringLiteral("Elektrotim"));
        child<QComboBox>(&w, "cmbZrodSwiatla")->setCurrentIndex(2);  // "Diody LED"
        child<QCheckBox>(&w, "chkSygnAkust")->click();
        child<QCheckBox>(&w, "chkEkrany")->click();
        child<QCheckBox>(&w, "chkUstawDetektory")->click();
        picks.point(30, 15);
        picks.text(QStringLiteral("90"));
        picks.point(32, 17);
        QTest::mouseClick(child<QPushButton>(&w, "cmdAccept"), Qt::LeftButton);
        QVERIFY(app.poll().active());
        pump();
        // The inventory dialog, modal during the completion: a name and a street typed, the rest as it opens.
        QCOMPARE(completeWithInventory(app), InsertionPoll::HeadCompleted);
        DetectorWindow* d = app.detectorWindow();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->description()->text(), QStringLiteral("D3a"));
        d->pushButtonType()->setCurrentText(QStringLiteral("mechaniczny"));
        d->pushButtonMaker()->setCurrentText(QStringLiteral("Sprint"));
        picks.point(35, 15);
        picks.point(36, 16);
        QTest::mouseClick(child<QPushButton>(d, "cbUstaw"), Qt::LeftButton);
        pump();
        QCOMPARE(app.poll().tick(), InsertionPoll::PushButtonCompleted);
        const QString byWindows = dir.filePath(QStringLiteral("okna.dxf"));
        automation::CadDocument.saveAs(byWindows);
        QVERIFY2(prompts.messageTexts().isEmpty(), qPrintable(prompts.messageTexts().join(QLatin1Char('|'))));

        const QString byTool = dir.filePath(QStringLiteral("narzedzie.dxf"));
        const Run run = headless({QStringLiteral("--symbol"),
                                  QStringLiteral("s-5"),
                                  QStringLiteral("--orientation"),
                                  QStringLiteral("3"),
                                  QStringLiteral("--suffix"),
                                  QStringLiteral("a"),
                                  QStringLiteral("--type"),
                                  QStringLiteral("Elektrotim"),
                                  QStringLiteral("--light-source"),
                                  QStringLiteral("LED"),
                                  QStringLiteral("--acoustic"),
                                  QStringLiteral("--screen"),
                                  QStringLiteral("EKP"),
                                  QStringLiteral("--at"),
                                  QStringLiteral("30,15"),
                                  QStringLiteral("--rotation"),
                                  QStringLiteral("90"),
                                  QStringLiteral("--text-at"),
                                  QStringLiteral("32,17"),
                                  QStringLiteral("--entered-by"),
                                  QStringLiteral("Jan Kowalski"),
                                  QStringLiteral("--street"),
                                  QStringLiteral("Leśna"),
                                  QStringLiteral("--push-button"),
                                  QStringLiteral("35,15"),
                                  QStringLiteral("--push-text-at"),
                                  QStringLiteral("36,16"),
                                  QStringLiteral("--push-button-type"),
                                  QStringLiteral("mechaniczny"),
                                  QStringLiteral("--push-button-maker"),
                                  QStringLiteral("Sprint"),
                                  QStringLiteral("--command"),
                                  QStringLiteral("cmdAccept"),
                                  QStringLiteral("--command"),
                                  QStringLiteral("cbUstaw"),
                                  QStringLiteral("--suite"),
                                  suite,
                                  QStringLiteral("--save"),
                                  byTool});
        QVERIFY2(run.status == 0, qPrintable(run.errors));

        const QString windows = references(byWindows), tool = references(byTool);
        // The placement is there, with the choices made: not two equally empty drawings.
        for (const char* expected :
             {"INSERT S-5 at=30.0000,15.0000 rotation=90.0000 layer=110-SYGNALIZACJA_KOMORY",
              "INWENT_NUMER=30-18/12/P3a", "TYP=Elektrotim", "ZRODLO_SW=LED", "SYGN_AKUST=TAK",
              "KTO_NANIOSL=Jan Kowalski", "NAZWA_ULICY=Leśna", "INSERT EKP at=30.0000,15.0000",
              "INSERT sygnprzycisk at=35.0000,15.0000 rotation=90.0000 layer=109-SYGNALIZACJA_PRZYCISKI",
              "PRODUCENT=Sprint", "TYP=mechaniczny", "TEXT D3a at=36.0000,16.0000",
              "TEXT P3a at=32.0000,17.0000"})
            QVERIFY2(windows.contains(QString::fromUtf8(expected)), expected);
        QCOMPARE(tool, windows);
    }

    // The accept takes the boxes as ticked: a pedestrian head with anti-glare inserts gets its
    // symbol's insert code, and without "Ustaw przyciski" it ends with its inventory, no detector
    // window opening.
    void theAcceptTakesTheBoxesAsTicked() {
        ui::ScriptedPrompts prompts;
        HeadPlacerApp app;
        QVERIFY(startOnTheDrawing(app));
        HeadWindow& w = app.headWindow();
        // Whatever the box remembers from the last head, the user leaves it unticked.
        QCheckBox* follow = child<QCheckBox>(&w, "chkUstawDetektory");
        QVERIFY(follow->isEnabled());
        if (follow->isChecked()) follow->click();
        child<QCheckBox>(&w, "chkWkladyAntyZl")->click();
        picks.point(40, 15);
        picks.text(QStringLiteral("0"));
        picks.point(42, 17);
        QTest::mouseClick(child<QPushButton>(&w, "cmdAccept"), Qt::LeftButton);
        QVERIFY(app.poll().active());
        pump();
        QCOMPARE(completeWithInventory(app), InsertionPoll::HeadCompleted);
        QVERIFY(!app.detectorWindow() || !app.detectorWindow()->isVisible());
        QVERIFY2(prompts.messageTexts().isEmpty(), qPrintable(prompts.messageTexts().join(QLatin1Char('|'))));
        const QString saved = dir.filePath(QStringLiteral("wklady.dxf"));
        automation::CadDocument.saveAs(saved);
        const QString placed = references(saved);
        QVERIFY2(placed.contains(QStringLiteral("INSERT S-5 at=40.0000,15.0000")) &&
                     placed.contains(QStringLiteral(" WKLADY_ANTYZL=2")),
                 qPrintable(placed));
    }

    // Without --type, --light-source and --push-button-maker the tool takes the first entries the
    // window's lists show: a blank entry heading a list is not shown, so the types start with the
    // next line and the light sources with the next pair; a light source without its code is not
    // offered, and a list offering none leaves the head without one.
    void theToolTakesTheFirstEntriesTheWindowsListsShow() {
        QTemporaryDir other;
        const QString root = other.filePath(QStringLiteral("suite"));
        const QString shipped = QStringLiteral(SUITE_BINARY_DIR "/suite/aZasoby/");
        QVERIFY(QDir().mkpath(root + QStringLiteral("/Tesmar/bin")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/aZasoby/Listy")));
        for (const char* folder : {"Symbole", "Sygnalizacja"})
            QVERIFY(QFile::link(shipped + QLatin1String(folder),
                                root + QStringLiteral("/aZasoby/") + QLatin1String(folder)));
        const QString lists = root + QStringLiteral("/aZasoby/Listy/");
        for (const QFileInfo& f : QDir(shipped + QStringLiteral("Listy")).entryInfoList(QDir::Files))
            QVERIFY(QFile::link(f.absoluteFilePath(), lists + f.fileName()));
        const auto write = [&](const char* name, const char* text) {
            QFile::remove(lists + QLatin1String(name));
            QFile f(lists + QLatin1String(name));
            return f.open(QIODevice::WriteOnly) && f.write(text) > 0;
        };
        QVERIFY(write("SygnTypySygnDet.lst", "\"\"\nSiemens Mobility\n"));
        const std::pair<const char*, const char*> lightSources[] = {{"\"\", X\n\"Diody LED\", LED\n", "LED"},
                                                                    {"\"Halogen\"\n", ""}};
        for (const auto& [list, code] : lightSources) {
            QVERIFY(write("SygnZrodSwiatla.lst", list));
            const QString out = dir.filePath(QStringLiteral("pierwsze.dxf"));
            QFile::remove(out);
            const Run run =
                headless({QStringLiteral("--symbol"), QStringLiteral("S-5"), QStringLiteral("--at"),
                          QStringLiteral("1,1"), QStringLiteral("--text-at"), QStringLiteral("2,2"),
                          QStringLiteral("--push-button"), QStringLiteral("3,3"), QStringLiteral("--suite"),
                          root, QStringLiteral("--save"), out});
            QVERIFY2(run.status == 0, qPrintable(run.errors));
            const QString placed = references(out);
            const auto has = [&](const QString& pattern) {
                return QRegularExpression(pattern, QRegularExpression::MultilineOption)
                    .match(placed)
                    .hasMatch();
            };
            QVERIFY2(has(QStringLiteral("^INSERT S-5 .* TYP=Siemens Mobility( |$)")), qPrintable(placed));
            QVERIFY2(has(QStringLiteral("^INSERT S-5 .* ZRODLO_SW=%1( |$)").arg(QLatin1String(code))),
                     qPrintable(placed));
            QVERIFY2(has(QStringLiteral("^INSERT sygnprzycisk .* PRODUCENT=Siemens Mobility( |$)")),
                     qPrintable(placed));
        }
    }

    // The tool takes the suite's resources from beside itself, as headplacer does: copied where no suite
    // lies around it, it says so and places nothing; --suite names the tree it then takes them from.
    void theToolFindsTheSuiteBesideItselfAndSaysWhenItIsNot() {
        const QString out = dir.filePath(QStringLiteral("obok.dxf"));
        const QStringList head{QStringLiteral("--symbol"),  QStringLiteral("S-5"),
                               QStringLiteral("--at"),      QStringLiteral("1,1"),
                               QStringLiteral("--text-at"), QStringLiteral("2,2"),
                               QStringLiteral("--save"),    out};
        Run run = headless(head);
        QVERIFY2(run.status == 0, qPrintable(run.errors));
        QVERIFY(QFile::remove(out));

        const QString elsewhere = dir.filePath(QStringLiteral("gdzieindziej"));
        QVERIFY(QDir().mkpath(elsewhere + QStringLiteral("/Tesmar/bin")));
        const QString copy = elsewhere + QStringLiteral("/Tesmar/bin/headplacer-headless");
        QVERIFY(QFile::copy(QStringLiteral(HEADLESS_EXE), copy));
        QProcess tool;
        tool.start(copy, QStringList{input} + head);
        QVERIFY(tool.waitForFinished(120000));
        QCOMPARE(tool.exitCode(), 1);
        const QString said = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(
            said.contains(QStringLiteral("Błąd: nie znaleziono zasobów pakietu: brak folderu ") + elsewhere +
                          QStringLiteral("/aZasoby/Sygnalizacja/Sygnalizatory (szukano obok programu; inny "
                                         "katalog pakietu wskazuje opcja --suite)")),
            qPrintable(said));
        QVERIFY(!QFile::exists(out));
        run = headless(head + QStringList{QStringLiteral("--suite"), elsewhere});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("(katalog pakietu z opcji --suite)")),
                 qPrintable(run.errors));
        QVERIFY(!QFile::exists(out));

        tool.start(copy, QStringList{input} + head + QStringList{QStringLiteral("--suite"), suite});
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        QVERIFY(QFile::exists(out));
    }

    // A drawing in feet under "SKALA" 3: the tool places nothing and says why, as the window does.
    void theToolRefusesADrawingInFeet() {
        connectCad();
        automation::CadApplication.documents().open(input);
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 2);
        const QString feet = dir.filePath(QStringLiteral("stopy.dxf")),
                      out = dir.filePath(QStringLiteral("stopy-wynik.dxf"));
        automation::CadDocument.saveAs(feet);
        QProcess tool;
        tool.start(QStringLiteral(HEADLESS_EXE),
                   {feet, QStringLiteral("--symbol"), QStringLiteral("S-5"), QStringLiteral("--at"),
                    QStringLiteral("1,1"), QStringLiteral("--text-at"), QStringLiteral("2,2"),
                    QStringLiteral("--scale"), QStringLiteral("3"), QStringLiteral("--suite"), suite,
                    QStringLiteral("--save"), out});
        QVERIFY(tool.waitForFinished(120000));
        QCOMPARE(tool.exitCode(), 1);
        const QString said = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("SKALA rysunku wynosi 3 i nie pasuje do rysunku:")),
                 qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("stopy ($INSUNITS 2)")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("Nic nie narysowano.")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("Błąd: polecenie cmdAccept nie zostało wykonane")),
                 qPrintable(said));
        QVERIFY(!QFile::exists(out));

        // The same drawing holding no "SKALA" is told the value is missing and 1 was taken for it.
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString());
        automation::CadDocument.saveAs(feet);
        tool.start(QStringLiteral(HEADLESS_EXE),
                   {feet, QStringLiteral("--symbol"), QStringLiteral("S-5"), QStringLiteral("--at"),
                    QStringLiteral("1,1"), QStringLiteral("--text-at"), QStringLiteral("2,2"),
                    QStringLiteral("--suite"), suite, QStringLiteral("--save"), out});
        QVERIFY(tool.waitForFinished(120000));
        QCOMPARE(tool.exitCode(), 1);
        const QString missing = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(missing.contains(
                     QStringLiteral("Rysunek nie ma wartości SKALA; przyjęta wartość 1 (rysunek w metrach) "
                                    "nie pasuje do rysunku:")),
                 qPrintable(missing));
        QVERIFY2(!missing.contains(QStringLiteral("SKALA rysunku wynosi")), qPrintable(missing));
        QVERIFY(!QFile::exists(out));
    }

    void theToolRefusesUnknownAndWindowOnlyCommands() {
        const QString out = dir.filePath(QStringLiteral("odmowa.dxf"));
        const QStringList head{QStringLiteral("--symbol"),  QStringLiteral("S-5"),
                               QStringLiteral("--at"),      QStringLiteral("1,1"),
                               QStringLiteral("--text-at"), QStringLiteral("2,2"),
                               QStringLiteral("--suite"),   suite,
                               QStringLiteral("--save"),    out};
        Run run = headless(head + QStringList{QStringLiteral("--command"), QStringLiteral("cmdNieMa")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("Błąd: nie ma polecenia cmdNieMa")),
                 qPrintable(run.errors));
        run = headless(head + QStringList{QStringLiteral("--command"), QStringLiteral("cmdAccept"),
                                          QStringLiteral("--command"), QStringLiteral("cmdUstawienia")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.errors.contains(QStringLiteral(
                     "Błąd: polecenie cmdUstawienia otwiera okno ustawień; bez okna nie można go wykonać")),
                 qPrintable(run.errors));
        // Refused before anything ran: no drawing written.
        QVERIFY(!QFile::exists(out));
        // A value the windows would not let through is refused, not bent into range.
        const QList<std::pair<QStringList, QString>> wrong{
            {{QStringLiteral("--orientation"), QStringLiteral("9")},
             QStringLiteral("Błąd: --orientation: orientacja musi być liczbą całkowitą od 1 do 8: \"9\"")},
            {{QStringLiteral("--at"), QStringLiteral("1;2")},
             QStringLiteral("Błąd: --at: punkt musi mieć postać X,Y (dwie liczby): \"1;2\"")},
            {{QStringLiteral("--scale"), QStringLiteral("32768")},
             QStringLiteral(
                 "Błąd: --scale: SKALA musi być liczbą całkowitą od 1 do 32767 (jednostki rysunku na "
                 "metr): \"32768\"")},
            {{QStringLiteral("--scale"), QStringLiteral("0")},
             QStringLiteral(
                 "Błąd: --scale: SKALA musi być liczbą całkowitą od 1 do 32767 (jednostki rysunku na "
                 "metr): \"0\"")},
            {{QStringLiteral("--screen"), QStringLiteral("XYZ")},
             QStringLiteral("Błąd: --screen: ekran musi być EKP albo EKO: \"XYZ\"")},
        };
        for (const auto& [options, told] : wrong) {
            run = headless(head + options);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.errors.contains(told), qPrintable(run.errors));
            QVERIFY(!QFile::exists(out));
        }
        QStringList vehicle = head;
        vehicle[vehicle.indexOf(QStringLiteral("S-5"))] = QStringLiteral("S-1");
        run = headless(vehicle + QStringList{QStringLiteral("--acoustic")});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.errors.contains(
                     QStringLiteral("Błąd: --acoustic: sygnalizator S-1 nie ma sygnałów akustycznych")),
                 qPrintable(run.errors));
        QVERIFY(!QFile::exists(out));
        // The accept refuses what the head window refuses, with its message.
        run = headless(head + QStringList{QStringLiteral("--intersection"), QStringLiteral("12/3 most")});
        QVERIFY(run.status != 0);
        QVERIFY2(run.errors.contains(QStringLiteral(
                     "Numer skrzyżowania \"12/3\" może zawierać tylko litery, cyfry i znak \"-\".")),
                 qPrintable(run.errors));
        QVERIFY2(run.errors.contains(QStringLiteral("Błąd: polecenie cmdAccept nie zostało wykonane")),
                 qPrintable(run.errors));
        QVERIFY(!QFile::exists(out));
        // A head without its drawing: the accept stops with the window's message.
        QStringList missing = head;
        missing[missing.indexOf(QStringLiteral("S-5"))] = QStringLiteral("S-99");
        run = headless(missing);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("Nie znaleziono sygnalizatora S-99.dwg")),
                 qPrintable(run.errors));
        QVERIFY2(run.errors.contains(QStringLiteral("Błąd: polecenie cmdAccept nie zostało wykonane")),
                 qPrintable(run.errors));
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(CommandTableTest)
#include "CommandTableTest.moc"
