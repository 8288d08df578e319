// One drawing exported through the window's menu and through conflictor-headless gives the same
// workbook, cell for cell with its formulas: the sample intersection, and the sample with a tram and a
// bicycle crossing drawn in the window beside its pedestrian crossings (the grid lists K, P, R, T; the
// table holds them in drawing order). The window's export on a desktop without a spreadsheet
// application says where the workbook was written.
#include "automation/Automation.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/StreamRecords.h"
#include "../ConflictorWindowFixture.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace conflictor;

class HeadlessSameWorkbookTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

    std::unique_ptr<ConflictorWindow> w;

    // Types a text into the grid at the cell: the first key opens the editor, the rest go into it.
    void typeInto(int row, int col, const QString& text) {
        w->grdStrumienie->setFocus();
        w->grdStrumienie->setCurrent(row, col);
        for (int i = 0; i < text.size(); ++i) {
            QWidget* target = i == 0 ? static_cast<QWidget*>(w->grdStrumienie) : w->txtEdit;
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(text[i]));
            QApplication::sendEvent(target, &press);
        }
        QTest::keyClick(w->txtEdit, Qt::Key_Return);
    }
    // A new stream named in the dialog, drawn as one line picked from `a` to `b`, with its group and
    // phases typed into the grid.
    void drawStream(const QString& name, QPointF a, QPointF b, const QString& group) {
        QTimer::singleShot(0, [name] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("frmNazwaStrumienia") && top->isVisible()) {
                    top->findChild<QLineEdit*>(QStringLiteral("edtNazwaStrumienia"))->setText(name);
                    top->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
                }
        });
        w->action(QStringLiteral("NowyStrumien"))->trigger();
        QCOMPARE(w->GridStreamName, name);
        picks.point(a.x(), a.y()).point(b.x(), b.y());
        w->action(QStringLiteral("WrysujOdcinek"))->trigger();
        QTRY_VERIFY(!w->DrawingInProgress);
        const int row = w->gridRowOfName(name);
        QVERIFY(row > 0);
        typeInto(row, ColGroup, group);
        typeInto(w->gridRowOfName(name), ColPhases, QStringLiteral("2"));
    }
    static QAction* menuEntry(ConflictorWindow& window, const QString& menu, const QString& text) {
        for (QAction* a : window.menu(menu)->actions())
            if (a->text() == text) return a;
        return nullptr;
    }

    // Saves the drawing as it stands, then cuts and exports in the window; the headless tool cuts and
    // exports the saved drawing. The two workbooks must match cell for cell.
    void compareExports(const QString& name) {
        // Saved under its own name: the workbook names the drawing it came from.
        const QString drawing = dir->filePath(QStringLiteral("Przyklad.dxf"));
        automation::CadDocument.save();
        w->grdStrumienie->setCurrent(1, ColName);
        prompts->clear();
        prompts->answerMessage(ui::Yes);
        prompts->answerMessage(ui::Ok);
        w->action(QStringLiteral("Tnij"))->trigger();
        QCOMPARE(prompts->messageTexts().value(1), QStringLiteral("Zakończono operację cięcia."));

        const QString fromWindow = dir->filePath(name + QStringLiteral("-okno.xlsx"));
        prompts->clear();
        prompts->answerFile(fromWindow);
        QAction* exportEntry = menuEntry(*w, QStringLiteral("mnuNarzedzia_Eksport"), QStringLiteral("Eksport danych"));
        QVERIFY(exportEntry && exportEntry->isEnabled());
        exportEntry->trigger();
        QVERIFY(QFile::exists(fromWindow));
        // No spreadsheet application on this desktop: the last word says where the workbook is.
        QCOMPARE(prompts->asked().back().text,
                 QStringLiteral("Dane zapisano w skoroszycie:\n%1\n\nŻaden program arkusza kalkulacyjnego nie "
                                "otworzył go; można go otworzyć z tego miejsca.")
                     .arg(QDir::toNativeSeparators(fromWindow)));
        QCOMPARE(prompts->asked().back().flags & 0xF0, int(ui::Information));
        QCOMPARE(prompts->asked().back().title, w->windowTitle());

        const QString fromTool = dir->filePath(name + QStringLiteral("-narzedzie.xlsx"));
        QProcess tool;
        tool.start(QStringLiteral(HEADLESS_TOOL),
                   {drawing, QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--command"),
                    QStringLiteral("mnuNarzedzia_TnijWszystkie"), QStringLiteral("--export"), fromTool,
                    QStringLiteral("--resources"), dir->filePath(QStringLiteral("Tesmar/Zasoby"))});
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());

        QProcess compare;
        compare.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(SUITE_SOURCE_DIR "/tests/conflictor/mainwindow/compare_workbooks.py"),
                       fromWindow, fromTool});
        QVERIFY(compare.waitForFinished(60000));
        const QByteArray said = compare.readAllStandardOutput();
        QVERIFY2(compare.exitCode() == 0, said.constData());
        qInfo("%s: %s", qPrintable(name), said.trimmed().constData());
    }

private slots:
    void init() {
        makeProgramFolder();
        QVERIFY(copyTemplateAndSample());
        attachCad();
        automation::CadApplication.documents().open(dir->filePath(QStringLiteral("Przyklad.dxf")));
        w = std::make_unique<ConflictorWindow>();
        w->ProgramFolder = dir->filePath(QStringLiteral("Tesmar/bin"));
        QVERIFY(w->StartUp());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    void cleanup() {
        if (w) w->close();
        w.reset();
        detachCad();
    }

    void theSampleGivesTheSameWorkbook() {
        compareExports(QStringLiteral("przyklad"));
    }

    void tramAndBicycleStreamsGiveTheSameWorkbook() {
        // The tram across the western approach, the bicycle crossing along both edges over K1 and K3.
        drawStream(QStringLiteral("T1"), {-8, -50}, {-8, 50}, QStringLiteral("7"));
        drawStream(QStringLiteral("R1"), {26, -9}, {26, 5}, QStringLiteral("8"));
        drawStream(QStringLiteral("R1[2]"), {30, -9}, {30, 5}, QStringLiteral("8"));
        // The table holds the new streams after the sample's; the grid lists them by kind.
        QStringList table;
        for (const StreamRecord& s : StreamTable) table << s.Name;
        QVERIFY(table.indexOf(QStringLiteral("T1")) < table.indexOf(QStringLiteral("R1")));
        const QStringList grid = w->gridStreamNames();
        QVERIFY(grid.indexOf(QStringLiteral("P2[2]")) < grid.indexOf(QStringLiteral("R1")));
        QVERIFY(grid.indexOf(QStringLiteral("R1[2]")) < grid.indexOf(QStringLiteral("T1")));
        compareExports(QStringLiteral("tramwaj-rower"));
    }
};

QTEST_MAIN(HeadlessSameWorkbookTest)
#include "HeadlessSameWorkbookTest.moc"
