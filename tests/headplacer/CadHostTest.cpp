// headplacer against a real cadhost process on a private X server: the head window places "S-1"
// where the user types the point into cadhost's prompt line, the completion asks cadhost for the
// description's place, the inventory dialog is accepted, and the drawing cadhost saves is read
// back with ezdxf. The test starts its own Xvfb and shows its windows there too (a screenshot of
// the head window beside cadhost is kept when HEADPLACER_SCREENSHOT names a file).
#include "automation/Automation.h"
#include "common/Ini.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "platform/cad/Application.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QProcess* xvfb = nullptr;
QString display;

// Runs xdotool on the test's display; the output.
QString xdotool(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

}  // namespace

class CadHostTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QProcess host;
    QString socket;
    QString hostWindow;

    // Types a value into cadhost's prompt line, as the user would, and presses Enter.
    void typeIntoHost(const QString& text) {
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), hostWindow});
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }
    QString lastPrompt() {
        return automation::CadDocument.getVariable(QStringLiteral("LASTPROMPT")).toText();
    }
    bool waitForPrompt(const QString& start) {
        for (int i = 0; i < 100; ++i) {
            if (lastPrompt().startsWith(start)) return true;
            QTest::qWait(50);
        }
        return false;
    }

private slots:
    void initTestCase() {
        QVERIFY(!display.isEmpty());
        // A suite of our own: the built resources, a private INI and registry stand-in.
        const QString suite = dir.filePath(QStringLiteral("suite"));
        QVERIFY(QDir().mkpath(suite + QStringLiteral("/Tesmar/bin")));
        QVERIFY(QFile::link(QStringLiteral(SUITE_BINARY_DIR "/suite/aZasoby"),
                            suite + QStringLiteral("/aZasoby")));
        QVERIFY(
            QFile::link(QStringLiteral(SUITE_BINARY_DIR "/suite/aDane"), suite + QStringLiteral("/aDane")));
        headplacer::SetProgramFolder(suite + QStringLiteral("/Tesmar/bin"));
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("config/Morvane"))));
        QFile reg(headplacer::RegistryFilePath());
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write(QStringLiteral("[Software\\Morvane\\Directories]\naDane=%1/aDane\nCity=Miasto\n")
                      .arg(suite)
                      .toUtf8());
        reg.close();

        QVERIFY(QFile::copy(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf"),
                            dir.filePath(QStringLiteral("Przyklad.dxf"))));
        socket = dir.filePath(QStringLiteral("host.sock"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("TESMAR_CADHOST_INI"), dir.filePath(QStringLiteral("cadhost.ini")));
        host.setProcessEnvironment(env);
        host.start(QStringLiteral(CADHOST_EXE),
                   {QStringLiteral("--socket"), socket, dir.filePath(QStringLiteral("Przyklad.dxf"))});
        QVERIFY(host.waitForStarted(5000));
        automation::SetCadConnector(automation::CadHostConnector(20000, socket));
        for (int i = 0; i < 100 && automation::CadApplication.isNull(); ++i) {
            QTest::qWait(100);
            try {
                automation::CadApplication = automation::CadHostConnector(2000, socket).attach();
            } catch (...) {
            }
        }
        QVERIFY(!automation::CadApplication.isNull());
        for (int i = 0; i < 100 && hostWindow.isEmpty(); ++i) {
            hostWindow = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                  QStringLiteral("--class"), QStringLiteral("cadhost")})
                             .section(QLatin1Char('\n'), 0, 0);
            if (hostWindow.isEmpty()) QTest::qWait(100);
        }
        QVERIFY2(!hostWindow.isEmpty(), "the cadhost window did not appear");
        xdotool({QStringLiteral("windowmove"), hostWindow, QStringLiteral("0"), QStringLiteral("0")});
        xdotool({QStringLiteral("windowsize"), hostWindow, QStringLiteral("860"), QStringLiteral("760")});
        // The drawing's scale and map section, as a surveyed base map carries them.
        QVERIFY(automation::CheckDocumentOpen(false));
        // A drawing in metres: one drawing unit per metre.
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
    }

    void cleanupTestCase() {
        automation::ResetCadConnectionState();
        if (host.state() != QProcess::NotRunning) {
            host.terminate();
            if (!host.waitForFinished(3000)) host.kill();
        }
    }

    void placesS1WithItsAttributesAndDescription() {
        ui::ScriptedPrompts prompts;
        headplacer::HeadPlacerApp app;
        int ended = 0;
        app.setEndHandler([&] { ++ended; });
        QVERIFY(app.start(QStringLiteral("S-1")));
        headplacer::HeadWindow& w = app.headWindow();
        w.move(880, 20);
        QTest::qWait(200);
        QCOMPARE(headplacer::HeadSymbol, QStringLiteral("S-1"));
        // The engineer picks the intersection and an additional head "p", facing north.
        QComboBox* intersections = w.findChild<QComboBox*>(QStringLiteral("cmbNumSkrzyz"));
        const int row = intersections->findText(QStringLiteral("987"), Qt::MatchStartsWith);
        QVERIFY(row >= 0);
        intersections->setCurrentIndex(row);
        w.cmbNumSkrzyz_Click();
        w.findChild<QRadioButton*>(QStringLiteral("chkPowtStr_0"))->click();
        QCOMPARE(w.inventoryLabel()->text(), QStringLiteral("Sygnalizator: 30-18/987/K1p"));
        if (qEnvironmentVariableIsSet("HEADPLACER_SCREENSHOT")) {
            QTest::qWait(400);
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                qEnvironmentVariable("HEADPLACER_SCREENSHOT"));
        }

        // The inventory dialog, when it comes, is filled in and accepted.
        QTimer inventory;
        bool dialogSeen = false;
        connect(&inventory, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || d->objectName() != QLatin1String("frmAtrybutySygnalizatora")) return;
            dialogSeen = true;
            if (qEnvironmentVariableIsSet("HEADPLACER_SCREENSHOT_INVENTORY")) {
                d->move(880, 20);
                QTest::qWait(400);
                QGuiApplication::primaryScreen()->grabWindow(0).save(
                    qEnvironmentVariable("HEADPLACER_SCREENSHOT_INVENTORY"));
            }
            d->findChild<QLineEdit*>(QStringLiteral("fldKtoNaniosl"))
                ->setText(QStringLiteral("Jan Wiśniewski"));
            d->findChild<QLineEdit*>(QStringLiteral("fldUwagi"))->setText(QStringLiteral("próba"));
            d->findChild<QPushButton*>(QStringLiteral("cmdAccept"))->click();
        });
        inventory.start(100);

        w.findChild<QPushButton*>(QStringLiteral("cmdAccept"))->click();
        QVERIFY(app.poll().active());
        QVERIFY2(waitForPrompt(QStringLiteral("Określ punkt wstawienia")), qPrintable(lastPrompt()));
        typeIntoHost(QStringLiteral("40,30"));
        QVERIFY2(waitForPrompt(QStringLiteral("Określ kąt obrotu")), qPrintable(lastPrompt()));
        // The description's place is asked by the completion while the test waits in it.
        QTimer::singleShot(1500, this, [this] { typeIntoHost(QStringLiteral("44,36")); });
        typeIntoHost(QStringLiteral("90"));
        QTRY_VERIFY_WITH_TIMEOUT(ended == 1, 15000);
        QVERIFY(dialogSeen);
        QVERIFY(prompts.asked().empty());

        // cadhost saves the drawing; ezdxf reads it.
        const QString saved = dir.filePath(QStringLiteral("wynik.dxf"));
        automation::CadDocument.saveAs(saved);
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(SUITE_TEST_DATA "/headplacer/check_head.py"), saved, QStringLiteral("S-1")});
        QVERIFY(py.waitForFinished(30000));
        const QString out = QString::fromUtf8(py.readAllStandardOutput());
        QVERIFY2(py.exitCode() == 0, qPrintable(QString::fromUtf8(py.readAllStandardError())));
        QVERIFY2(out.contains(QStringLiteral(
                     "HEAD layer=110-SYGNALIZACJA_KOMORY attribs=19 INWENT_NUMER=30-18/987/K1p "
                     "NUMER_SKRZYZ=987 SYMBOL=S-1 scale=0.01 extent=0.87")),
                 qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("TEXT K1p height=1\n")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("BLOCKDEF attdefs=19")), qPrintable(out));
    }

    // The program itself, started as the CAD menu starts it, driven only through the keyboard.
    void theProgramPlacesAHeadAsAProcess() {
        const QString bin = dir.filePath(QStringLiteral("suite/Tesmar/bin/headplacer"));
        QVERIFY(QFile::copy(QStringLiteral(HEADPLACER_EXE), bin));
        // A drawing of intersection 55, which the city's list does not name: the head and the drawing
        // keep 55 (never the list's first entry).
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("55"));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("TESMAR_CAD_SOCKET"), socket);
        program.setProcessEnvironment(env);
        program.start(bin, {QStringLiteral("S-3p")});
        QVERIFY(program.waitForStarted(5000));
        QString window;
        for (int i = 0; i < 100 && window.isEmpty(); ++i) {
            QTest::qWait(100);
            window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), QStringLiteral("Rodzaj i oznaczenie sygnalizatora")})
                         .section(QLatin1Char('\n'), 0, 0);
        }
        QVERIFY2(!window.isEmpty(), "the head window did not appear");
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        xdotool({QStringLiteral("key"), QStringLiteral("alt+z")});  // "&Zatwierdź"
        QVERIFY2(waitForPrompt(QStringLiteral("Określ punkt wstawienia")), qPrintable(lastPrompt()));
        typeIntoHost(QStringLiteral("60,30"));
        QVERIFY2(waitForPrompt(QStringLiteral("Określ kąt obrotu")), qPrintable(lastPrompt()));
        typeIntoHost(QStringLiteral("0"));
        QVERIFY2(waitForPrompt(QStringLiteral("Wskaż położenie opisu")), qPrintable(lastPrompt()));
        typeIntoHost(QStringLiteral("62,34"));  // the description
        QString dialog;
        for (int i = 0; i < 100 && dialog.isEmpty(); ++i) {
            QTest::qWait(100);
            dialog = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), QStringLiteral("Opisywanie sygnalizatora")})
                         .section(QLatin1Char('\n'), 0, 0);
        }
        QVERIFY2(!dialog.isEmpty(), "the inventory dialog did not appear");
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), dialog});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QString found;
        for (const cad::Entity& e : automation::GetModelSpace().entities()) {
            if (e.objectName() != QLatin1String("AcDbBlockReference") || e.name() != QLatin1String("S-3p"))
                continue;
            for (const cad::Entity& a : e.attributes())
                if (a.tagString() == QLatin1String("INWENT_NUMER")) found = a.textString();
        }
        QCOMPARE(found, QStringLiteral("30-18/55/K1"));
        QCOMPARE(automation::GetDrawingProperty(QStringLiteral("ONUMERSKRZYZ")), QStringLiteral("55"));
    }

    // On a drawing without an intersection number the field is empty and the accept asks for it.
    void theProgramAsksForAMissingIntersectionNumber() {
        const QString bin = dir.filePath(QStringLiteral("suite/Tesmar/bin/headplacer"));
        if (!QFile::exists(bin)) QVERIFY(QFile::copy(QStringLiteral(HEADPLACER_EXE), bin));
        automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QString());
        const int entities = automation::GetModelSpace().count();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("TESMAR_CAD_SOCKET"), socket);
        program.setProcessEnvironment(env);
        program.start(bin, {QStringLiteral("S-1")});
        QVERIFY(program.waitForStarted(5000));
        auto windows = [&] {
            return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--name"), QStringLiteral("Rodzaj i oznaczenie sygnalizatora")})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        QStringList found;
        for (int i = 0; i < 100 && found.isEmpty(); ++i) {
            QTest::qWait(100);
            found = windows();
        }
        QVERIFY2(!found.isEmpty(), "the head window did not appear");
        xdotool({QStringLiteral("windowmove"), found.first(), QStringLiteral("880"), QStringLiteral("20")});
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), found.first()});
        xdotool({QStringLiteral("key"), QStringLiteral("alt+z")});  // "&Zatwierdź" with the field empty
        // The message box carries the window's title: two windows of that name while it is shown.
        for (int i = 0; i < 100 && found.size() < 2; ++i) {
            QTest::qWait(100);
            found = windows();
        }
        QCOMPARE(found.size(), 2);
        if (qEnvironmentVariableIsSet("HEADPLACER_SCREENSHOT_NO_NUMBER")) {
            QTest::qWait(400);
            QGuiApplication::primaryScreen()
                ->grabWindow(0, 0, 0, 1600, 680)
                .save(qEnvironmentVariable("HEADPLACER_SCREENSHOT_NO_NUMBER"));
        }
        QTest::qWait(300);
        QCOMPARE(automation::GetModelSpace().count(), entities);  // no insertion was started
        QCOMPARE(automation::GetDrawingProperty(QStringLiteral("ONUMERSKRZYZ")), QString());
        program.terminate();
        if (!program.waitForFinished(3000)) program.kill();
    }
};

int main(int argc, char** argv) {
    // A private X server, so the test needs no display of its own and cadhost can take typed input.
    QProcess server;
    server.setProgram(QStringLiteral("Xvfb"));
    server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                         QStringLiteral("0"), QStringLiteral("1600x1000x24"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp")});
    server.start();
    if (!server.waitForStarted(5000) || !server.waitForReadyRead(10000)) {
        fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    display = QStringLiteral(":") + QString::fromLatin1(server.readLine()).trimmed();
    xvfb = &server;
    qputenv("DISPLAY", display.toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        CadHostTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    server.terminate();
    server.waitForFinished(3000);
    return result;
}

#include "CadHostTest.moc"
