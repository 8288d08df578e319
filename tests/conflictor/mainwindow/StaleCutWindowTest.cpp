// conflictor's window on the sample intersection: cut, a stream drawn and named afterwards, then
// "Eksport danych" from the menu names it and offers the cut; No writes nothing, Yes cuts and writes
// the workbook with the new stream's conflicts.
#include "automation/Automation.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "../ConflictorWindowFixture.h"
#include "WindowCut.h"
#include "platform/cad/model/Interaction.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace conflictor;

class StaleCutWindowTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

    // Types a text into the grid at the cell: the first key opens the editor, the rest go into it.
    static void typeInto(ConflictorWindow& w, int row, int col, const QString& text) {
        w.grdStrumienie->setFocus();
        w.grdStrumienie->setCurrent(row, col);
        for (int i = 0; i < text.size(); ++i) {
            QWidget* target = i == 0 ? static_cast<QWidget*>(w.grdStrumienie) : w.txtEdit;
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(text[i]));
            QApplication::sendEvent(target, &press);
        }
        QTest::keyClick(w.txtEdit, Qt::Key_Return);
    }
    // The entry of the menu as the user picks it.
    static QAction* menuEntry(ConflictorWindow& w, const QString& menu, const QString& text) {
        for (QAction* a : w.menu(menu)->actions())
            if (a->text() == text) return a;
        return nullptr;
    }

private slots:
    void init() {
        makeProgramFolder();
        QVERIFY(copyTemplateAndSample());
        attachCad();
        automation::CadApplication.documents().open(dir->filePath(QStringLiteral("Przyklad.dxf")));
    }

    void cleanup() {
        detachCad();
    }

    void aStreamDrawnAfterTheCutIsNamedByTheExportWhichOffersTheCut() {
        auto w = test::startAndCut(*dir, *prompts);  // cut from the toolbar
        QVERIFY(w);
        QCOMPARE(prompts->messageTexts().value(1), QStringLiteral("Zakończono operację cięcia."));

        // K5 named in the dialog and drawn from the toolbar straight across K1, K1[2], K2 and K3.
        QTimer::singleShot(0, [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("frmNazwaStrumienia") && top->isVisible()) {
                    top->findChild<QLineEdit*>(QStringLiteral("edtNazwaStrumienia"))->setText(QStringLiteral("K5"));
                    top->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
                }
        });
        w->action(QStringLiteral("NowyStrumien"))->trigger();
        QCOMPARE(w->GridStreamName, QStringLiteral("K5"));
        picks.point(-8, -50).point(-8, 50);
        w->action(QStringLiteral("WrysujOdcinek"))->trigger();
        QTRY_VERIFY(!w->DrawingInProgress);
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K5")))].SegmentCount, 1);
        const int row = w->gridRowOfName(QStringLiteral("K5"));
        typeInto(*w, row, ColGroup, QStringLiteral("7"));
        typeInto(*w, row, ColPhases, QStringLiteral("1"));
        w->grdStrumienie->setCurrent(row, ColName);

        // "Eksport danych": the stale cut named first (before the groups and the phase scheme), with the
        // question. No.
        QAction* exportEntry = menuEntry(*w, QStringLiteral("mnuNarzedzia_Eksport"), QStringLiteral("Eksport danych"));
        QVERIFY(exportEntry && exportEntry->isEnabled());
        prompts->clear();
        prompts->answerMessage(ui::No);
        exportEntry->trigger();
        QCOMPARE(prompts->asked().size(), size_t(1));
        const ui::ScriptedPrompts::Asked asked = prompts->asked().back();
        QCOMPARE(asked.text,
                 QStringLiteral("Eksport do programu Excel został przerwany z powodu nieaktualnych punktów kolizji.\n"
                                "Strumienie zmieniły się od ostatniego cięcia: K5 (dodany).\n"
                                "Należy wykonać operację cięcia (Tnij wszystkie strumienie) a następnie eksport.\n\n"
                                "Czy wykonać cięcie teraz?"));
        QCOMPARE(ui::ButtonsOf(asked.flags), int(ui::YesNo));
        QCOMPARE(asked.title, w->windowTitle());
        QVERIFY(QDir(dir->path()).entryList({QStringLiteral("*.xlsx")}).isEmpty());

        // Yes: the cut (its own question, its end), then the export again, saved where the dialog says.
        const QString target = dir->filePath(QStringLiteral("Przyklad_1.xlsx"));
        prompts->clear();
        for (int answer : {ui::Yes, ui::Yes, ui::Ok, ui::Ok, ui::Ok}) prompts->answerMessage(answer);
        prompts->answerFile(target);
        exportEntry->trigger();
        const QStringList told = prompts->messageTexts();
        QVERIFY2(told.size() == 5, qPrintable(told.join(QStringLiteral(" | "))));
        QVERIFY(told[1].startsWith(QStringLiteral("Uwaga!")));
        QCOMPARE(told[2], QStringLiteral("Zakończono operację cięcia."));
        // No spreadsheet application here: the end says where the workbook was written.
        QVERIFY(told[4].startsWith(QStringLiteral("Dane zapisano w skoroszycie:\n") + QDir::toNativeSeparators(target)));
        QCOMPARE(prompts->unexpected(), 0);
        QVERIFY(QFile::exists(target));

        // K5 (group 7) in the matrix after K1 (group 1): row 7 + 7, column 2 + 1.
        sheet::Application app;
        sheet::Workbook& book = app.workbooks().open(target);
        QVERIFY(book.worksheets(2).cells(14, 3).value().isNumber());
        QVERIFY(book.worksheets(2).cells(8, 9).value().isNumber());
        w->close();
    }
};

QTEST_MAIN(StaleCutWindowTest)
#include "StaleCutWindowTest.moc"
