// The workbook import through phaseplanner's window, offscreen: the menu entry and toolbar button, the
// phase-set chooser (three sets listed, the first preselected, a double-click confirming, closing it
// from its title bar cancelling), the grid and cycle box refilled, and the end of the program offering
// the workbook's unsaved changes.
#include "CadFixture.h"
#include "InProcessSession.h"
#include "common/Ini.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/PhaseSetDialog.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "phaseplanner/workbook/PhaseSets.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/FlexGrid.h"
#include "tests/phaseplanner/workbook/IntergreenBooks.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace phaseplanner;

namespace {

// Runs `act` on the phase-set chooser once it is shown.
void onChooser(std::function<void(PhaseSetDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<PhaseSetDialog*>(QApplication::activeModalWidget());
        if (!d) {
            qWarning("no chooser");
            if (auto* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        act(*d);
        if (d->isVisible()) d->reject();
    });
}

test::IntergreenBook ThreeSets() {
    test::IntergreenBook b = test::SmallBook();
    b.sets = {{QStringLiteral("V.1"), QStringLiteral("1, 2")},
              {QStringLiteral("V.2"), QStringLiteral("2, 1")},
              {QStringLiteral("V.3"), QStringLiteral("1, 2, 1, 2")}};
    return b;
}

}  // namespace

class WorkbookImportWindowTest : public QObject, protected test::InProcessSession {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> start() {
        auto w = std::make_unique<MainWindow>(folder->filePath(QStringLiteral("bin")));
        if (!w->Form_Load()) return nullptr;
        return w;
    }
    QString book(const test::IntergreenBook& b) {
        const QString path = folder->filePath(QStringLiteral("czasy.xlsx"));
        test::WriteIntergreenBook(b, path);
        return path;
    }

private slots:
    void init() {
        openSession();
        GroupTable.clear();
        ResetProgramAttributeState();
        ResetIntergreenWorkbook();
    }
    void cleanup() {
        closeSession();
        GroupTable.clear();
        ResetProgramAttributeState();
        ResetIntergreenWorkbook();
        MainProgramWindow().clearIntersections();
        IntersectionNumber.clear();
        common::IniFilePath.clear();
    }

    void chooserListsTheSetsAndADoubleClickImports() {
        auto w = start();
        QVERIFY(w);
        QVERIFY(w->findChild<QToolButton*>(QStringLiteral("PobierzExcel")));
        prompts->answerFile(book(ThreeSets()));  // no drawing names a workbook: the file dialog
        prompts->answerMessage(ui::No);          // no merging
        QStringList lines;
        int preselected = -2;
        onChooser([&](PhaseSetDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Wybór zestawu faz"));
            for (int i = 0; i < d.list()->count(); ++i) lines << d.list()->item(i)->text();
            preselected = d.list()->currentRow();
            const QPoint second = d.list()->visualItemRect(d.list()->item(1)).center();
            QTest::mouseClick(d.list()->viewport(), Qt::LeftButton, {}, second);
            QTest::mouseDClick(d.list()->viewport(), Qt::LeftButton, {}, second);
        });
        w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"))->trigger();
        QCOMPARE(lines, (QStringList{QStringLiteral("V.1, Kolejność faz: 1, 2"),
                                     QStringLiteral("V.2, Kolejność faz: 2, 1"),
                                     QStringLiteral("V.3, Kolejność faz: 1, 2, 1, 2")}));
        QCOMPARE(preselected, 0);
        QCOMPARE(PhaseSetDialogOk, 1);
        QCOMPARE(PhaseOrderText, QStringLiteral("2, 1"));
        QCOMPARE(int(GroupTable.size()), 3);
        // K2's phase comes first now.
        QCOMPARE(GroupTable[1].Greens[1].Start, 0);
        QCOMPARE(w->cycleBox()->text(), QString::number(CycleLength));
        QCOMPARE(w->grid()->TextMatrix(1, 1), QStringLiteral("Kołowe"));
        QCOMPARE(w->grid()->TextMatrix(3, 1), QStringLiteral("Piesze"));
        QCOMPARE(w->intersectionText(w->selectedIntersection()), QStringLiteral("7"));
        w->close();
    }

    void closingTheChooserCancelsTheImport() {
        auto w = start();
        QVERIFY(w);
        prompts->answerFile(book(ThreeSets()));
        bool ignoredEmptyDoubleClick = false;
        onChooser([&](PhaseSetDialog& d) {
            d.list()->clearSelection();
            d.list()->setCurrentRow(-1);
            d.lstFazy_DblClick();  // nothing selected: nothing happens
            ignoredEmptyDoubleClick = d.isVisible();
            d.close();  // the title bar's close
        });
        w->findChild<QToolButton*>(QStringLiteral("PobierzExcel"))->click();
        QVERIFY(ignoredEmptyDoubleClick);
        QCOMPARE(PhaseSetDialogOk, -1);
        QVERIFY(GroupTable.empty());
        w->close();
    }

    // A program in the table is replaced only after "Tak"; Cancel (Escape) at the merge question
    // leaves it; the kept workbook is offered, "Nie" opening the file dialog for another one (the
    // workbook exported again under a new name); Plik closes the kept workbook.
    void theImportAsksBeforeReplacingAndMayTakeAnotherWorkbook() {
        auto w = start();
        QVERIFY(w);
        QAction* import = w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"));
        const QString first = book(test::SmallBook());
        prompts->answerFile(first);
        prompts->answerMessage(ui::No);  // no merging
        import->trigger();
        QCOMPARE(int(GroupTable.size()), 3);
        GroupTable[0].Greens[1].Length = 33;  // typed in the grid
        const QString replace = QStringLiteral(
            "Tabela programu zawiera grupy. Czy zastąpić je grupami pobranymi ze skoroszytu czasów "
            "międzyzielonych?");
        prompts->clear();
        prompts->answerMessage(ui::No);
        import->trigger();
        QCOMPARE(prompts->messageTexts(), QStringList{replace});
        QCOMPARE(GroupTable[0].Greens[1].Length, 33);

        prompts->clear();
        prompts->answerMessage(ui::Yes);     // replace
        prompts->answerMessage(ui::Yes);     // the kept workbook
        prompts->answerMessage(ui::Cancel);  // Escape at "Czy łączyć sąsiadujące sygnały?"
        import->trigger();
        QCOMPARE(prompts->unexpected(), 0);
        QCOMPARE(prompts->messageTexts().last(), QStringLiteral("Czy łączyć sąsiadujące sygnały?"));
        QCOMPARE(GroupTable[0].Greens[1].Length, 33);

        const QString second = folder->filePath(QStringLiteral("czasy-nowe.xlsx"));
        test::WriteIntergreenBook(test::SmallBook(), second);
        prompts->clear();
        prompts->answerMessage(ui::Yes);  // replace
        prompts->answerMessage(ui::No);   // not the kept workbook: another
        prompts->answerFile(second);
        prompts->answerMessage(ui::No);  // no merging
        import->trigger();
        QCOMPARE(prompts->unexpected(), 0);
        QCOMPARE(prompts->messageTexts().at(1), QStringLiteral("Czy pobrać grupy ze skoroszytu:\n\"") +
                                                    QFileInfo(first).absoluteFilePath() +
                                                    QStringLiteral("\" ?\n(Nie: wybór innego skoroszytu)"));
        QVERIFY(HeldWorkbook());
        QCOMPARE(HeldWorkbook()->fullName(), QFileInfo(second).absoluteFilePath());
        QVERIFY(GroupTable[0].Greens[1].Length != 33);

        prompts->clear();
        w->findChild<QAction*>(QStringLiteral("mnuPlik_ZamknijSkoroszyt"))->trigger();
        QVERIFY(!HeldWorkbook());
        QCOMPARE(prompts->unexpected(), 1);  // the notice that it was closed
        w->close();
    }

    // A workbook written by a script holds no value beside its formulas: a matrix cell whose formula
    // gives no number stops the import with the cell and the formula named, and no program is taken.
    void aMatrixFormulaWithoutANumberStopsTheImportNamingIt() {
        auto w = start();
        QVERIFY(w);
        const QString path = book(test::SmallBook());
        QVERIFY(test::RewriteFormulasAsScript(path, {{QStringLiteral("C9"), QStringLiteral("=NA()")}}));
        prompts->answerFile(path);
        prompts->answerMessage(ui::No);  // were it to ask about merging
        w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"))->trigger();
        QVERIFY2(prompts->messageTexts().contains(
                     QStringLiteral("Błąd w danych arkusza Excel!\nKomórka matrycy kolizji C9 zawiera formułę, "
                                    "której nie można obliczyć: \"=NA()\".")),
                 qPrintable(prompts->messageTexts().join(QLatin1Char('|'))));
        QVERIFY(GroupTable.empty());
        w->close();
    }

    // A matrix cell holding only the value another program cached beside a formula the engine did not
    // compute (one reading another workbook) stops the import as well; a 10 MB row label is quoted by
    // its first 40 characters, within seconds.
    void anUncomputedCellOrAHugeLabelStopsTheImportSayingItShortly() {
        auto w = start();
        QVERIFY(w);
        const QString path = book(test::SmallBook());
        QVERIFY(test::RewriteCellsAsForeignProgram(
            path, {{QStringLiteral("C9"), QStringLiteral("<f>[1]Arkusz!A1</f>"), QStringLiteral("4")}}));
        prompts->answerFile(path);
        prompts->answerMessage(ui::No);  // were it to ask about merging
        w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"))->trigger();
        QVERIFY2(prompts->messageTexts().contains(
                     QStringLiteral("Błąd w danych arkusza Excel!\nKomórka matrycy kolizji C9 zawiera formułę, "
                                    "której nie można obliczyć: \"=[1]Arkusz!A1\".")),
                 qPrintable(prompts->messageTexts().join(QLatin1Char('|'))));
        QVERIFY(GroupTable.empty());

        const QString huge = book(test::SmallBook());
        test::RewriteCell(huge, 2, 9, 1, sheet::Value(QStringLiteral("K2") + QString(10'000'000, QLatin1Char('y'))));
        ResetIntergreenWorkbook();
        prompts->clear();
        prompts->answerFile(huge);
        prompts->answerMessage(ui::No);
        QElapsedTimer clock;
        clock.start();
        w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"))->trigger();
        QVERIFY2(clock.elapsed() < 10'000, qPrintable(QString::number(clock.elapsed())));
        const QStringList said = prompts->messageTexts();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].size() < 1000, qPrintable(said[0].left(1000)));
        QVERIFY2(said[0].contains(QStringLiteral("w opisie wiersza matrycy (A9) \"K2") + QString(38, QLatin1Char('y')) +
                                  QStringLiteral("…\", w opisie kolumny")),
                 qPrintable(said[0].left(1000)));
        QVERIFY(GroupTable.empty());
        w->close();
    }

    void theEndOffersTheWorkbooksUnsavedChanges() {
        auto w = start();
        QVERIFY(w);
        test::IntergreenBook b = test::SmallBook();
        prompts->answerFile(book(b));
        prompts->answerMessage(ui::No);
        w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"))->trigger();
        QCOMPARE(int(GroupTable.size()), 3);
        QVERIFY(HeldWorkbook());
        HeldWorkbook()->worksheets(3).cells(4, 3).setValue(12);  // a writing command's change
        prompts->clear();
        prompts->answerMessage(ui::Cancel);
        QVERIFY(!w->close());  // Cancel: the program stays
        QVERIFY(prompts->messageTexts().front().startsWith(
            QStringLiteral("Skoroszyt czasów międzyzielonych ma niezapisane zmiany:")));
        prompts->answerMessage(ui::No);  // leave without saving
        QVERIFY(w->close());
        QVERIFY(!HeldWorkbook());
    }
};

QTEST_MAIN(WorkbookImportWindowTest)
#include "WorkbookImportWindowTest.moc"
