// The green-time parameters dialog on the in-process CAD, offscreen: the stored values shown, keys
// typed into the set-green and shift columns (each takes only its own sign), OK writing the tables
// into the program attribute block, OK without group rows keeping them, Cancel, the exclusive
// options, the window's size rules, and "Pobierz" with the phase table's fetch mode run on a workbook
// built here (values placed by group ordinal when a deleted group leaves a gap); and the commands
// "Konfiguracja", "Przejścia fazowe" and the hidden preliminary parameters from the window.
#include "CadFixture.h"
#include "GroupBuilders.h"
#include "InProcessSession.h"
#include "automation/BlockAttributes.h"
#include "common/Ini.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/FlexGridEdit.h"
#include "phaseplanner/app/GreenTimeDialog.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/PhaseTable.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/sheet/Application.h"
#include "platform/ui/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace phaseplanner;
using phaseplanner::test::Group;
using phaseplanner::test::SetPhases;

namespace {

void resetProgram() {
    GroupTable.clear();
    SetGreenTimes.clear();
    PhaseStartShifts.clear();
    ComputedStartShifts.clear();
    CycleLength = 80;
    MaxCycleLength = 120;
    MinGreenVehicle = 10;
    MinGreenPedestrianBicycle = 4;
    IntersectionNumber.clear();
    ResetProgramAttributeState();
    ExcelWorkbookPath.clear();
    MainProgramWindow().clearIntersections();
    MainProgramWindow().SuppressIntersectionClick = false;
}

GroupRecord phaseGroup(const char* symbols, int start, int length, int phase) {
    GroupRecord g = Group(KindVehicle, QString::fromLatin1(symbols), {{start, length}});
    SetPhases(g.Greens[1], {{phase, phase}});
    return g;
}

// Types into the grid's cell (row, col): the first key on the grid opens the editor, the rest go to it.
void typeInto(ui::FlexGrid* grid, QLineEdit* editor, int row, int col, const QByteArray& keys) {
    grid->setFocus();
    grid->setCurrent(row, col);
    QTest::keyClick(grid, keys.front());
    for (int i = 1; i < keys.size(); ++i) QTest::keyClick(editor, keys.at(i));
    QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace

class GreenTimeDialogTest : public QObject, protected test::InProcessSession {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    QString ini() const { return folder->filePath(QStringLiteral("bin/Tesmar.ini")); }

    // The main window on a drawing holding the program block of intersection 3, with `groups`; false
    // when it did not start (the test stops there).
    [[nodiscard]] bool start(const std::vector<GroupRecord>& groups) {
        automation::CadApplication = cad->application();
        cad->application().documents().add();
        IntersectionNumber = QStringLiteral("3");
        if (!UstawWidoczneAtrybuty()) return false;
        window = std::make_unique<MainWindow>(folder->filePath(QStringLiteral("bin")));
        if (!window->Form_Load()) return false;
        GroupTable = groups;
        window->FillGroupGrid();
        prompts->clear();
        return true;
    }
    QString blockAttribute(const char* tag) {
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") &&
                e.name() == QLatin1String("ATRYBUTY_PROGRAMU_3"))
                return automation::ReadAttributeByTag(e, QString::fromLatin1(tag));
        return QStringLiteral("<none>");
    }

    // The intergreen workbook the drawing names, as the import left it: the group list of GroupTable
    // with each group's phases, and the marked preliminary-parameters sheet.
    void writeWorkbook(const QStringList& phases) {
        sheet::Application app;
        sheet::Workbook& book = app.workbooks().add();
        while (book.worksheetCount() < 3) book.addWorksheet();
        book.worksheets(2).setName(QStringLiteral("MATRYCA KOLIZJI"));
        book.worksheets(3).cells(1, 1).setValue(sheet::Value(QStringLiteral("PARAMETRY WSTĘPNE")));
        book.setBuiltinDocumentProperty(QStringLiteral("Subject"), QStringLiteral("wersja 2.6"));
        sheet::Worksheet& ws = book.worksheets(2);
        ws.cells(7, 15).setValue(sheet::Value(QStringLiteral("Gr")));
        for (int i = 0; i < phases.size(); ++i) {
            ws.cells(8 + i, 1).setValue(sheet::Value(QStringLiteral("x")));
            ws.cells(8 + i, 15).setValue(sheet::Value(i + 1));
            ws.cells(8 + i, 16).setValue(sheet::Value(GroupTable[std::size_t(i)].Symbols));
            ws.cells(8 + i, 20).setValue(sheet::Value(phases[i]));
        }
        ExcelWorkbookPath = folder->filePath(QStringLiteral("czasy.xlsx"));
        book.saveAs(ExcelWorkbookPath);
        ChosenPhaseSet = 20;
    }
    int linesOnTableLayer() {
        int n = 0;
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.layer() == PhaseTableLayer() && e.objectName() == QLatin1String("AcDbLine")) ++n;
        return n;
    }

private slots:
    void init() {
        openSession();
        resetProgram();
    }
    void cleanup() {
        if (window) window->close();
        window.reset();
        ResetIntergreenWorkbook();
        closeSession();
        resetProgram();
        common::IniFilePath.clear();
    }

    void showsStoredValuesAndTypedValuesKeepTheirSign() {
        QVERIFY(start({Group(KindVehicle, "K1, K2", {{0, 20}}), Group(KindPedestrian, "P1", {{30, 12}}),
                       Group(KindVehicle, "K3", {{40, 20}})}));
        ParseSetGreenTimes(QStringLiteral("K1, K2:15^P1:0"));
        ParsePhaseStartShifts(QStringLiteral("K3:-4^P1:3"));
        MinGreenVehicle = 12;

        GreenTimeDialog d(*window);
        d.show();
        ui::FlexGrid* grid = d.grid();
        QCOMPARE(grid->Rows(), 4);
        QCOMPARE(grid->TextMatrix(0, 3), QStringLiteral("Zadany czas zielony"));
        QCOMPARE(grid->TextMatrix(1, 2), QStringLiteral("K1, K2"));
        QCOMPARE(grid->TextMatrix(2, 1), QStringLiteral("Piesze"));
        QCOMPARE(grid->TextMatrix(1, 3), QStringLiteral("15"));
        QCOMPARE(grid->TextMatrix(2, 3), QString());
        QCOMPARE(grid->TextMatrix(3, 4), QStringLiteral("-4"));
        QCOMPARE(grid->TextMatrix(2, 4), QString());  // a positive shift is not shown
        QCOMPARE(d.findChild<QLineEdit*>("edtMinZielony")->text(), QStringLiteral("12"));
        QCOMPARE(d.findChild<QLineEdit*>("edtMinCzerwMSR")->text(), QStringLiteral("0"));
        QVERIFY(d.findChild<QCheckBox*>("chkWydluzZielone")->isChecked());

        QLineEdit* editor = d.gridEditor()->editor();
        // The set green takes digits only: the minus is not typed.
        typeInto(grid, editor, 2, 3, "-8");
        QCOMPARE(grid->TextMatrix(2, 3), QStringLiteral("8"));
        // The symbols are not edited.
        grid->setCurrent(2, 2);
        QTest::keyClick(grid, '5');
        QVERIFY(!d.gridEditor()->isOpen());
        // A positive shift is refused with the message; a negative one stays.
        typeInto(grid, editor, 1, 4, "5");
        QCOMPARE(grid->TextMatrix(1, 4), QString());
        QCOMPARE(prompts->messageTexts(), QStringList{"Można wpisywać tylko wartości ujemne."});
        typeInto(grid, editor, 2, 4, "-2");
        QCOMPARE(grid->TextMatrix(2, 4), QStringLiteral("-2"));
        // A set green of 0 is not stored.
        typeInto(grid, editor, 3, 3, "0");

        d.findChild<QLineEdit*>("edtMinZielonyPiesiRow")->setText(QStringLiteral("6"));
        d.cmdOk_Click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(MinGreenPedestrianBicycle, 6);
        QCOMPARE(FormatSetGreenTimes(), QStringLiteral("K1, K2:15^P1:8"));
        QCOMPARE(FormatPhaseStartShifts(), QStringLiteral("P1:-2^K3:-4"));
        QCOMPARE(blockAttribute("PARAMETRY_SZCZEGOLOWE"), QStringLiteral("K1, K2:15^P1:8"));
        QCOMPARE(blockAttribute("PARAM_SZCZEG_PRZESUNIECIE"), QStringLiteral("P1:-2^K3:-4"));
        QCOMPARE(common::GetIni(ini(), "Tesmar Program", "chkWydluzZielone", "<none>"), QStringLiteral("1"));
        QVERIFY(common::GetIni(ini(), "Tesmar Program", "Okno_Konfiguracja_Wysokosc", "") != QString());
    }

    void okWithoutGroupRowsKeepsTheTablesAndCancelKeepsAll() {
        QVERIFY(start({}));
        ParseSetGreenTimes(QStringLiteral("K1:15"));
        ParsePhaseStartShifts(QStringLiteral("K1:-3"));
        {
            GreenTimeDialog d(*window);
            QCOMPARE(d.grid()->Rows(), 2);
            d.cmdOk_Click();
        }
        QCOMPARE(FormatSetGreenTimes(), QStringLiteral("K1:15"));
        QCOMPARE(FormatPhaseStartShifts(), QStringLiteral("K1:-3"));
        QCOMPARE(blockAttribute("PARAMETRY_SZCZEGOLOWE"), QStringLiteral("K1:15"));

        GroupTable = {Group(KindVehicle, "K1", {{0, 20}})};
        window->FillGroupGrid();
        {
            GreenTimeDialog d(*window);
            d.show();
            d.grid()->setTextMatrix(1, 3, QStringLiteral("30"));
            d.findChild<QLineEdit*>("edtMinZielony")->setText(QStringLiteral("25"));
            d.findChild<QPushButton*>("cmdAnuluj")->click();
        }
        QCOMPARE(FormatSetGreenTimes(), QStringLiteral("K1:15"));
        QCOMPARE(MinGreenVehicle, 10);
    }

    void optionsExcludeEachOtherAndTheWindowKeepsItsWidth() {
        QVERIFY(start({}));
        GreenTimeDialog d(*window);
        d.show();
        auto* detailed = d.findChild<QCheckBox*>("chkParametrySzczegolowe");
        auto* lengthen = d.findChild<QCheckBox*>("chkWydluzZielone");
        QVERIFY(lengthen->isChecked() && !detailed->isChecked());
        detailed->click();
        QVERIFY(detailed->isChecked() && !lengthen->isChecked());
        detailed->click();  // clearing one leaves the other
        QVERIFY(!detailed->isChecked() && !lengthen->isChecked());
        lengthen->click();
        detailed->click();
        QVERIFY(detailed->isChecked() && !lengthen->isChecked());

        // "Pomoc" opens the dialog's own page.
        QTemporaryDir pages;
        QFile page(pages.filePath(QStringLiteral("10009.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        const QString folder = common::HelpFolder();
        common::SetHelpFolder(pages.path());
        QUrl opened;
        common::SetHelpOpener([&opened](const QUrl& url) {
            opened = url;
            return true;
        });
        d.findChild<QPushButton*>("cmdPomoc")->click();
        common::SetHelpOpener({});
        common::SetHelpFolder(folder);
        QCOMPARE(opened, QUrl::fromLocalFile(page.fileName()));

        const int width = d.width();
        QCOMPARE(width, 5910 / 15);
        d.resize(width + 200, 100);
        QCOMPARE(d.width(), width);
        QVERIFY(d.height() >= 9570 / 15);
    }

    void pobierzTakesGreensAndShiftsByOrdinal() {
        // The second record is deleted: the grid's second row shows the third record.
        GroupRecord deleted = Group(KindVehicle, "K2", {{50, 10}});
        deleted.Defined = false;
        QVERIFY(start({phaseGroup("K1", 10, 20, 1), deleted, phaseGroup("K3", 40, 25, 2)}));
        // K4 runs in phase 2 and starts 6 s before it.
        GroupTable.push_back(phaseGroup("K4", 34, 31, 2));
        window->FillGroupGrid();

        writeWorkbook({"1", "1", "2", "2"});
        ChosenPhaseSet = 20;

        GreenTimeDialog d(*window);
        d.show();
        ui::FlexGrid* grid = d.grid();
        QCOMPARE(grid->Rows(), 4);
        grid->setTextMatrix(1, 4, QStringLiteral("-9"));
        // Without the computation (the start-second question cancelled) the typed shifts stay.
        bool ran = false;
        d.ComputePhases = [&] {
            ran = true;
            return RysujFazy(true);
        };
        PhaseOrderText = QStringLiteral("1,2");
        prompts->answerInput(std::nullopt);
        d.findChild<QPushButton*>("cmdPobierz")->click();
        QVERIFY(ran);
        QCOMPARE(grid->TextMatrix(1, 3), QStringLiteral("20"));
        QCOMPARE(grid->TextMatrix(3, 3), QStringLiteral("31"));
        QCOMPARE(grid->TextMatrix(1, 4), QStringLiteral("-9"));

        prompts->answerInput(QStringLiteral("0"));
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        d.findChild<QPushButton*>("cmdPobierz")->click();
        QCOMPARE(ComputedStartShifts.size(), size_t(4));
        QCOMPARE(ComputedStartShifts[3].Shift, -6);
        QCOMPARE(grid->TextMatrix(1, 4), QString());
        QCOMPARE(grid->TextMatrix(2, 4), QString());
        QCOMPARE(grid->TextMatrix(3, 4), QStringLiteral("-6"));  // ordinal 3 is the fourth record
        QCOMPARE(prompts->unexpected(), 0);
    }
    void commandsOfTheMenusAndToolbar() {
        QVERIFY(start({phaseGroup("K1", 10, 20, 1), phaseGroup("K3", 40, 25, 2), phaseGroup("K4", 34, 31, 2)}));
        writeWorkbook({"1", "2", "2"});
        PhaseOrderText = QStringLiteral("1,2");

        // "Konfiguracja" from the toolbar; its "Pobierz" runs the phase table in fetch mode.
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* d = qobject_cast<GreenTimeDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            d->findChild<QPushButton*>("cmdPobierz")->click();
            shown = d->grid()->TextMatrix(3, 4);
            d->reject();
        });
        prompts->answerInput(QStringLiteral("0"));
        prompts->answerMessage(ui::Yes);  // open the workbook the drawing names
        window->findChild<QToolButton*>("Konfiguracja")->click();
        QCOMPARE(shown, QStringLiteral("-6"));
        QCOMPARE(linesOnTableLayer(), 0);

        // "Przejścia fazowe" from the menu: the held workbook, only the start second asked.
        prompts->answerInput(QStringLiteral("0"));
        window->findChild<QAction*>("mnuDane_PrzejsciaFazowe")->trigger();
        QCOMPARE(linesOnTableLayer(), 4);

        // The hidden command writes the green lengths and saves after the question.
        prompts->answerMessage(ui::Yes);
        window->RunCommand("mnuGrupa_ExcelWstepne");
        QCOMPARE(prompts->unexpected(), 0);
        sheet::Application app;
        sheet::Workbook& saved = app.workbooks().open(ExcelWorkbookPath);
        QCOMPARE(saved.worksheets(3).cells(4, 3).value().number(), 20.0);
        QCOMPARE(saved.worksheets(3).cells(6, 3).value().number(), 31.0);
    }
};

QTEST_MAIN(GreenTimeDialogTest)
#include "GreenTimeDialogTest.moc"
