// The coordination window offscreen: new projects made as empty files in folders created on
// request (a file in the way is reported), projects opened from files written here, faults that
// leave the open project as it was.
#include "common/Ini.h"
#include "common/SettingBindings.h"
#include "phaseplanner/app/CoordinationWindow.h"
#include "phaseplanner/drawing/CoordinationProject.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace phaseplanner;

class CoordinationWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    // Runs `act` on the folder chooser as soon as it shows, then closes it if still open.
    void onChooser(std::function<void(FolderChooserDialog*)> act) {
        QTimer::singleShot(0, [act] {
            auto* d = qobject_cast<FolderChooserDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            act(d);
            if (d->isVisible()) d->reject();
        });
    }
    void newProjectWith(CoordinationWindow& w, const QString& folder,
                        std::function<void(FolderChooserDialog*)> act) {
        SetProjectFolderSetting(folder);
        onChooser(std::move(act));
        w.mnuProjektNowy_Click();
    }

private slots:
    void initTestCase() {
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));
        common::SettingBindings[0] = {QStringLiteral("frmMain"),    QString(), common::KindText,
                                      QStringLiteral("DirProjekt"), QString(), QString()};
    }

    void newProjectCreatesTheFolderOnRequestAndAnEmptyFile() {
        ui::ScriptedPrompts prompts;
        prompts.answerMessage(ui::Yes);
        CoordinationWindow w;
        const QString folder = dir.filePath(QStringLiteral("a/b"));
        QString shown;
        newProjectWith(w, folder, [&](FolderChooserDialog* d) {
            shown = d->folderBox()->text();
            d->cmdOk_Click();
        });
        QCOMPARE(shown, folder + QStringLiteral("/Projekt1.prk"));
        QCOMPARE(prompts.messageTexts(),
                 QStringList({QStringLiteral("Katalog: nie istnieje.\nCzy utworzyć katalog?")}));
        const QString file = folder + QStringLiteral("/Projekt1.prk");
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(QFileInfo(file).size(), 0);
        QCOMPARE(w.projectLabel()->text(), file);
        QCOMPARE(ProjectFolderSetting(), folder);
        QVERIFY(w.cycleTimes()->isEnabled());

        // The same name again is refused and the chooser stays open; the file is untouched.
        prompts.clear();
        newProjectWith(w, folder, [&](FolderChooserDialog* d) {
            d->cmdOk_Click();
            QVERIFY(d->isVisible());
            d->folderBox()->setText(QStringLiteral("   "));
            d->cmdOk_Click();
            QVERIFY(d->isVisible());
        });
        QCOMPARE(prompts.messageTexts(),
                 QStringList({QStringLiteral("We wskazanej lokazlizacji istnieje plik o takiej nazwie."),
                              QStringLiteral("Niepoprawna nazwa projektu.")}));
        QCOMPARE(w.projectLabel()->text(), file);
    }

    void aFolderPathNamesTheProjectAfterItsLastFolder() {
        ui::ScriptedPrompts prompts;
        CoordinationWindow w;
        QDir(dir.path()).mkpath(QStringLiteral("c"));
        newProjectWith(w, dir.path(), [&](FolderChooserDialog* d) {
            d->folderBox()->setText(dir.filePath(QStringLiteral("c/Skrzyzowania")));
            d->cmdOk_Click();
        });
        QCOMPARE(w.projectLabel()->text(), dir.filePath(QStringLiteral("c/Skrzyzowania.prk")));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("c/Skrzyzowania.prk"))));
        QCOMPARE(prompts.unexpected(), 0);
    }

    void aFileInTheWayOfTheFolderIsReported() {
        ui::ScriptedPrompts prompts;
        prompts.answerMessage(ui::Yes);
        CoordinationWindow w;
        write(QStringLiteral("plik"), "x");
        const QString folder = dir.filePath(QStringLiteral("plik/sub"));
        newProjectWith(w, folder, [&](FolderChooserDialog* d) { d->cmdOk_Click(); });
        const QStringList texts = prompts.messageTexts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[1], QStringLiteral("Nie można utworzyć katalogu:\n[") + folder + QLatin1Char(']'));
        QVERIFY(w.projectLabel()->text().isEmpty());
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(ProjectFolderSetting(), folder);  // an empty Folder leaves the setting as it was

        // Answering No creates nothing either.
        prompts.clear();
        prompts.answerMessage(ui::No);
        const QString other = dir.filePath(QStringLiteral("nie/ma"));
        newProjectWith(w, other, [&](FolderChooserDialog* d) { d->cmdOk_Click(); });
        QVERIFY(!QFileInfo::exists(other));
        QVERIFY(w.projectLabel()->text().isEmpty());
    }

    void openingAProjectFillsTheCycleListAndAFaultKeepsWhatWasOpen() {
        ui::ScriptedPrompts prompts;
        CoordinationWindow w;
        QVERIFY(!w.cycleTimes()->isEnabled());
        const QString good =
            write(QStringLiteral("dobry.prk"),
                  "<P><OstKoordynacja>90</OstKoordynacja><Skrzyzowanie><NrSkrzyz>12</NrSkrzyz>"
                  "<Koordynacja><TC>80</TC><Plik>a</Plik></Koordynacja>"
                  "<Koordynacja><TC>90</TC><Plik>b</Plik></Koordynacja></Skrzyzowanie></P>");
        prompts.answerFile(good);
        w.mnuProjektOtworz_Click();
        QCOMPARE(w.projectLabel()->text(), good);
        QCOMPARE(w.cycleTimes()->count(), 2);
        QCOMPARE(w.cycleTimes()->currentText(), QStringLiteral("90"));
        QVERIFY(w.trace()->toPlainText().contains(QStringLiteral("NrSkrzyz: 12")));
        QCOMPARE(ProjectFolderSetting(), dir.path());
        QCOMPARE(CoordinationTable.at(0).NrSkrzyz, QStringLiteral("12"));

        const QString bad = write(QStringLiteral("zly.prk"), "<P><OstKoordynacja>90</P>");
        prompts.answerFile(bad);
        w.mnuProjektOtworz_Click();
        QCOMPARE(prompts.messageTexts().size(), 1);
        QVERIFY(prompts.messageTexts()[0].endsWith(QStringLiteral("\n[") + bad + QLatin1Char(']')));
        QCOMPARE(w.projectLabel()->text(), good);
        QCOMPARE(w.cycleTimes()->count(), 2);
        QCOMPARE(CoordinationTable.at(0).NrSkrzyz, QStringLiteral("12"));

        // Cancelling the dialog, or naming a file that is not there, changes nothing.
        prompts.answerFile(std::nullopt);
        w.mnuProjektOtworz_Click();
        prompts.answerFile(dir.filePath(QStringLiteral("brak.prk")));
        w.mnuProjektOtworz_Click();
        QCOMPARE(w.projectLabel()->text(), good);

        // An empty file is an empty project.
        const QString empty = write(QStringLiteral("pusty.prk"), QByteArray());
        prompts.answerFile(empty);
        w.mnuProjektOtworz_Click();
        QCOMPARE(w.projectLabel()->text(), empty);
        QCOMPARE(w.cycleTimes()->count(), 0);
        QCOMPARE(int(CoordinationTable.size()), 1);
        QVERIFY(CoordinationTable[0].NrSkrzyz.isEmpty());
        QCOMPARE(prompts.messageTexts().size(), 1);
    }
};

QTEST_MAIN(CoordinationWindowTest)
#include "CoordinationWindowTest.moc"
