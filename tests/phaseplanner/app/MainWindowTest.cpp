// phaseplanner's main window on the in-process CAD: start-up with and without a drawing, a refused
// second copy, the INI keys written at shut-down, the group commands through the group dialog, the
// in-cell edits, the complement applied to all groups, the grid editing class, the parameters dialog
// writing the program attribute block (read back by ezdxf) and the dispatcher guard.
#include "CadFixture.h"
#include "GroupBuilders.h"
#include "InProcessSession.h"
#include "automation/BlockAttributes.h"
#include "common/Ini.h"
#include "common/SingleInstance.h"
#include "common/Version.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/FlexGridEdit.h"
#include "phaseplanner/app/GroupCommands.h"
#include "phaseplanner/app/GroupDialog.h"
#include "phaseplanner/app/GroupGridEditor.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/ParametersDialog.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "platform/ui/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QFile>
#include <QHelpEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace phaseplanner;
using phaseplanner::test::Group;

namespace {

// Runs `act` on the next modal dialog of type D once it is shown.
template <class D>
void onDialog(std::function<void(D&)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d) {
            qWarning("no dialog");
            if (auto* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        act(*d);
        if (d->isVisible()) d->reject();
    });
}

void resetProgram() {
    GroupTable.clear();
    SetGreenTimes.clear();
    PhaseStartShifts.clear();
    CycleLength = 80;
    MaxCycleLength = 120;
    WorkStartHour.clear();
    WorkEndHour.clear();
    ProgramOffset.clear();
    IntersectionNumber.clear();
    CurrentGroupIndex = -1;
    RefreshAllGroups = false;
    ResetProgramAttributeState();
    MainProgramWindow().clearIntersections();
    MainProgramWindow().SuppressIntersectionClick = false;
}

// Types text on the grid's current cell and presses a key in the open editor.
void typeInCell(ui::FlexGrid* grid, QLineEdit* editor, const QString& text, Qt::Key end = Qt::Key_Return) {
    QTest::keyClick(grid, text.front().toLatin1());
    for (int i = 1; i < text.size(); ++i) QTest::keyClick(editor, text.at(i).toLatin1());
    QTest::keyClick(editor, end);
}

// The channel of a CAD host that went away: every call fails as the socket's calls then do.
class LostHostChannel : public cad::Channel {
public:
    cad::Variant call(cad::ObjectId, const QString&, cad::CallKind, std::span<const cad::Variant>) override {
        throw cad::Failed(QStringLiteral("Not connected to the CAD host"));
    }
};

}  // namespace

class MainWindowTest : public QObject, protected test::InProcessSession {
    Q_OBJECT

private:
    // The suite laid out as installed: the program in bin/, its help in Zasoby/Pomoc beside it.
    QString programFolder() const { return folder->filePath(QStringLiteral("bin")); }
    QString ini() const { return folder->filePath(QStringLiteral("bin/Tesmar.ini")); }
    QString iniValue(const char* key) const {
        return common::GetIni(ini(), QStringLiteral("Tesmar Program"), QString::fromLatin1(key),
                              QStringLiteral("<none>"));
    }
    std::unique_ptr<MainWindow> start() {
        auto w = std::make_unique<MainWindow>(programFolder());
        if (!w->Form_Load()) return nullptr;
        return w;
    }
    void openDrawing() {
        automation::CadApplication = cad->application();
        cad->application().documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
    }

private slots:
    void init() {
        openSession();
        QDir(folder->path()).mkpath(QStringLiteral("Zasoby/Pomoc"));
        QFile::copy(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Pomoc/10011.html"),
                    folder->filePath(QStringLiteral("Zasoby/Pomoc/10011.html")));
        resetProgram();
    }
    void cleanup() {
        closeSession();
        resetProgram();
        common::IniFilePath.clear();
    }

    void startsWithoutDrawing() {
        auto w = start();
        QVERIFY(w);
        QCOMPARE(prompts->asked().size(), size_t(0));
        QCOMPARE(w->windowTitle(), QStringLiteral("Tesmar Program w.") + common::GetVersionText());
        QCOMPARE(w->grid()->Cols(), 7);
        QCOMPARE(w->grid()->Rows(), 2);
        QVERIFY(!w->HasGroupRows);
        QCOMPARE(w->grid()->TextMatrix(0, 6), QStringLiteral("Dopeł- niaj od"));
        QCOMPARE(w->intersectionCount(), 0);
        QVERIFY(IntersectionNumber.isEmpty());
        QCOMPARE(w->cycleBox()->text(), QStringLiteral("80"));
        QVERIFY(!w->stateSlider()->isEnabled());
        QCOMPARE(w->findChild<QComboBox*>("cmbWymiarowanie")->currentIndex(), 2);
        // Commands of this program are there; those of later parts are not.
        for (const char* name :
             {"mnuPlik_Zakoncz", "mnuDane_Parametry", "mnuGrupa_Dodaj", "mnuGrupa_Kopiuj", "mnuGrupa_Edytuj",
              "mnuGrupa_Usun", "mnuNarzedzia_NaWierzchu", "mnuPomoc_Pomocnik", "mnuPomoc_OProgramie",
              "mnuDane_Pobierz", "mnuDane_Wrysuj", "mnuNarzedzia_WczytajZwykly",
              "mnuNarzedzia_WczytajAkomodowany", "mnuGrupa_Excel", "mnuNarzedzia_Konf",
              "mnuDane_PrzejsciaFazowe"})
            QVERIFY2(w->findChild<QAction*>(name), name);
        // Only "Zawsze na wierzchu" carries a tick.
        for (const QAction* a : w->findChildren<QAction*>())
            if (a->objectName().startsWith(QLatin1String("mnu")))
                QVERIFY2(a->isCheckable() == (a->objectName() == QLatin1String("mnuNarzedzia_NaWierzchu")),
                         qPrintable(a->objectName()));
        QVERIFY(w->findChild<QToolButton*>("PobierzExcel"));
        QVERIFY(!w->findChild<QAction*>("mnu_Koordynacja"));
        // The preliminary parameters stay out of the user's reach.
        QVERIFY(!w->findChild<QAction*>("mnuGrupa_ExcelWstepne")->isVisible());
        QVERIFY(w->findChild<QToolButton*>("PrzejsciaFazowe"));
        QVERIFY(w->findChild<QToolButton*>("Konfiguracja"));
        QVERIFY(w->findChild<QToolButton*>("DodajGrupe"));
        QVERIFY(w->findChild<QToolButton*>("PobierzDane"));
        QVERIFY(w->findChild<QToolButton*>("WrysujGrupy"));
        // Always on top twice returns to normal.
        auto* onTop = w->findChild<QAction*>("mnuNarzedzia_NaWierzchu");
        w->findChild<QToolButton*>("FormNotOnTop")->click();
        QVERIFY(w->AlwaysOnTop && onTop->isChecked());
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        onTop->trigger();
        QVERIFY(!w->AlwaysOnTop && !onTop->isChecked());
        // Edit and delete do nothing without a group row.
        w->RunCommand("mnuGrupa_Edytuj");
        w->RunCommand("mnuGrupa_Usun");
        w->RunCommand("mnuGrupa_Kopiuj");
        QCOMPARE(prompts->asked().size(), size_t(0));
        w->close();
        QCOMPARE(iniValue("Dlugosc_Cyklu"), QStringLiteral("80"));
        QCOMPARE(iniValue("cmbWymiarowanie"), QStringLiteral("2"));
        QVERIFY(iniValue("Program_Lewy") != QStringLiteral("<none>"));
    }

    void toolbarAndMenusInTheirOrder() {
        auto w = start();
        QVERIFY(w);
        auto* bar = w->findChild<QToolBar*>(QStringLiteral("tlbPrzyciski"));
        QVERIFY(bar);
        QStringList keys;
        for (QAction* a : bar->actions())
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a))) keys << b->objectName();
        QCOMPARE(keys, (QStringList{"PobierzDane", "WrysujGrupy", "SprawdzCzasy", "GrafGrupaMain",
                                    "PrzejsciaFazowe", "PokazKolizje", "PobierzExcel", "DodajGrupe",
                                    "KopiujGrupe", "EdytujGrupe", "UsunGrupe", "Konfiguracja", "Wczytaj",
                                    "FormNotOnTop", "Pomoc"}));
        auto* load = w->findChild<QToolButton*>(QStringLiteral("Wczytaj"));
        QCOMPARE(load->toolTip(), QStringLiteral("Wczytaj nową tabelę - program zwykły"));
        QVERIFY(load->menu());
        QStringList entries;
        for (QAction* a : load->menu()->actions()) entries << a->objectName() + QLatin1Char('=') + a->text();
        QCOMPARE(entries, (QStringList{"WczytajZwykly=Wczytaj nową tabelę - program zwykły",
                                       "WczytajAkomod=Wczytaj nową tabelę - program akomodowany"}));
        QCOMPARE(w->findChild<QAction*>("mnuNarzedzia_WczytajZwykly")->text(),
                 QStringLiteral("Wczytaj nową tabelę - program zwykły"));
        QCOMPARE(w->findChild<QAction*>("mnuNarzedzia_WczytajAkomodowany")->text(),
                 QStringLiteral("Wczytaj nową tabelę - program akomodowany"));
        QCOMPARE(w->findChild<QAction*>("mnuDane_Wrysuj")->text(), QStringLiteral("Wrysuj grupy z &tabeli"));
        QStringList dane;
        for (QAction* a : w->findChild<QMenu*>(QStringLiteral("mnuDane"))->actions())
            dane << (a->menu() ? a->menu()->objectName() : a->objectName());
        QVERIFY(dane.indexOf("mnuDane_PrzejsciaFazowe") >= 0);
        QCOMPARE(dane.indexOf("mnuDane_PrzejsciaFazowe") + 1, dane.indexOf("mnuDane_PokazKolizje"));
        w->close();
    }

    void secondStartRefused() {
        // Another running copy holds the lock.
        QLockFile other(common::SingleInstanceLockPath(QStringLiteral("phaseplanner")));
        QVERIFY(other.tryLock(0));
        MainWindow second(programFolder());
        QVERIFY(!second.Form_Load());
        QCOMPARE(prompts->asked().size(), size_t(1));
        const auto& asked = prompts->asked().front();
        QCOMPARE(asked.title, QStringLiteral("Tesmar Program - ponowne uruchomienie"));
        QCOMPARE(asked.text.split(QStringLiteral("\r\n")).size(), 4);
        QVERIFY(
            asked.text.startsWith(QStringLiteral("Uwaga! Ponowne uruchomienie już pracującej aplikacji.")));
        QCOMPARE(asked.flags, int(ui::Exclamation));
        second.close();
        QCOMPARE(iniValue("Dlugosc_Cyklu"), QStringLiteral("<none>"));  // the refused copy writes nothing
        other.unlock();
        auto first = start();
        QVERIFY(first);
        first->close();
    }

    void helpOpensTheProgramsPage() {
        QUrl opened;
        common::SetHelpOpener([&opened](const QUrl& url) {
            opened = url;
            return true;
        });
        auto w = start();
        QVERIFY(w);
        w->activateWindow();
        w->RunCommand("mnuPomoc_Pomocnik");
        QVERIFY2(opened.toLocalFile().endsWith(QStringLiteral("Zasoby/Pomoc/10011.html")),
                 qPrintable(opened.toString()));
        common::SetHelpOpener({});
        w->close();
    }

    void shutDownWritesCycleKeys() {
        common::PutIni(ini(), "Tesmar Program", "Dlugosc_Cyklu", "200");
        common::PutIni(ini(), "Tesmar Program", "Min_Zielony_Pojazd", "12");
        auto w = start();
        QVERIFY(w);
        QCOMPARE(w->cycleBox()->text(), QStringLiteral("200"));
        WorkStartHour = QStringLiteral("6:00");
        w->close();
        QCOMPARE(iniValue("Dlugosc_Cyklu"), QStringLiteral("80"));
        QCOMPARE(iniValue("Min_Zielony_Pojazd"), QStringLiteral("12"));
        QCOMPARE(iniValue("Min_Zielony_Piesz_Rower"), QStringLiteral("4"));
        QCOMPARE(iniValue("GodzRozpPracy"), QStringLiteral("6:00"));
        QCOMPARE(iniValue("DirProjekt"), QDir::currentPath());
    }

    void groupsThroughTheDialog() {
        auto w = start();
        QVERIFY(w);
        ui::FlexGrid* g = w->grid();
        onDialog<GroupDialog>([](GroupDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Grupa - Dodawanie"));
            d.findChild<QComboBox*>("cmbSymbSygn")->setEditText(QStringLiteral("K1, K1p"));
            d.greenGrid()->setTextMatrix(1, 1, "70");
            d.greenGrid()->setTextMatrix(1, 2, "20");
            d.cmdDodaj_Click();
            d.greenGrid()->setTextMatrix(2, 1, "30");
            d.greenGrid()->setTextMatrix(2, 2, "15");
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Dodaj");
        QCOMPARE(int(GroupTable.size()), 1);
        QVERIFY(w->HasGroupRows);
        QCOMPARE(g->Cols(), 10);
        QCOMPARE(g->TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("Kołowe"));
        QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("K1, K1p"));
        QCOMPARE(g->TextMatrix(1, 5), QStringLiteral("10"));  // 70 + 20 ends at 10
        QCOMPARE(g->TextMatrix(1, 8), QStringLiteral("45"));
        QCOMPARE(GroupTable[0].Greens[1].LastPhase, -1);
        QVERIFY(w->stateSlider()->isEnabled());
        QCOMPARE(w->States.StateStarts, (std::vector<int>{0, 11, 30, 46, 70}));

        // Copy: a new record with the source's greens.
        g->setCurrent(1, 2);
        onDialog<GroupDialog>([](GroupDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Grupa - Dodawanie"));
            QCOMPARE(d.greenGrid()->TextMatrix(2, 1), QStringLiteral("30"));
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Kopiuj");
        QCOMPARE(int(GroupTable.size()), 2);
        QCOMPARE(g->Rows(), 3);
        QCOMPARE(g->TextMatrix(2, 0), QStringLiteral("2"));
        QCOMPARE(g->TextMatrix(2, 6), QStringLiteral("30"));

        // Edit group 2: the caption names it; a symbol with "^" keeps the dialog open.
        g->setCurrent(2, 2);
        onDialog<GroupDialog>([this](GroupDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Grupa 2 - Edycja"));
            d.findChild<QComboBox*>("cmbSymbSygn")->setEditText(QStringLiteral("K2^x"));
            d.cmdOK_Click();
            QVERIFY(d.isVisible());
            QCOMPARE(prompts->asked().size(), size_t(1));
            d.findChild<QComboBox*>("cmbSymbSygn")->setEditText(QStringLiteral("K2"));
            d.greenGrid()->setTextMatrix(1, 1, "85");  // past the cycle: refused
            d.cmdOK_Click();
            QVERIFY(d.isVisible());
            d.greenGrid()->setTextMatrix(1, 1, "75");
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Edytuj");
        QCOMPARE(GroupTable[1].Symbols, QStringLiteral("K2"));
        QCOMPARE(g->TextMatrix(2, 2), QStringLiteral("K2"));
        QCOMPARE(g->TextMatrix(2, 3), QStringLiteral("75"));

        // Delete group 1: the rows below are renumbered; the record stays free.
        prompts->clear();
        prompts->answerMessage(ui::Yes);
        g->setCurrent(1, 2);
        w->RunCommand("mnuGrupa_Usun");
        QCOMPARE(prompts->messageTexts(), QStringList{"Czy na pewno usunąć grupę?"});
        QVERIFY(!GroupTable[0].Defined);
        QCOMPARE(g->Rows(), 2);
        QCOMPARE(g->TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("K2"));

        // Deleting the last group empties the row and stops the state controls.
        prompts->answerMessage(ui::Yes);
        g->setCurrent(1, 2);
        w->RunCommand("mnuGrupa_Usun");
        QVERIFY(!w->HasGroupRows);
        QCOMPARE(g->TextMatrix(1, 2), QString());
        QCOMPARE(g->Cols(), 7);
        QVERIFY(!w->stateSlider()->isEnabled());
        QCOMPARE(w->States.LastState, -1);

        // A new group is appended at the end of the table.
        onDialog<GroupDialog>([](GroupDialog& d) {
            d.findChild<QComboBox*>("cmbSymbSygn")->setEditText(QStringLiteral("P1"));
            d.findChild<QRadioButton*>("optRodzSygn_1")->click();
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Dodaj");
        QCOMPARE(int(GroupTable.size()), 3);
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("Piesze"));
        QCOMPARE(GroupTable[2].GreenCount, 0);

        // A cycle outside 14..max blocks adding, with both bounds in the message.
        prompts->clear();
        w->cycleBox()->setText(QStringLiteral("130"));
        w->RunCommand("mnuGrupa_Dodaj");
        QCOMPARE(prompts->asked().size(), size_t(1));
        QVERIFY(prompts->asked().front().text.contains(
            QStringLiteral("Maksymalna długość cyklu wynosi: 120 [s]")));
        w->cycleBox()->setText(QStringLiteral("80"));
        w->close();
    }

    void groupDialogRules() {
        auto w = start();
        QVERIFY(w);
        onDialog<GroupDialog>([](GroupDialog& d) {
            auto* onlyRed = d.findChild<QRadioButton*>("optRodzSygnPojedynczy_1");
            auto* noSignal = d.findChild<QRadioButton*>("optRodzSygnPojedynczy_2");
            auto* complement = d.findChild<QCheckBox*>("cbDopelnienie");
            QVERIFY(!noSignal->isEnabled());  // a vehicle group has a signal
            d.findChild<QRadioButton*>("optRodzSygn_1")->click();
            QVERIFY(noSignal->isEnabled());
            d.greenGrid()->setTextMatrix(1, 1, "10");
            onlyRed->click();  // only red: the green list is emptied and closed
            QCOMPARE(d.greenGrid()->TextMatrix(1, 1), QString());
            QVERIFY(!d.greenGrid()->isEnabled());
            d.findChild<QRadioButton*>("optRodzSygn_2")->click();  // tram or arrow
            QVERIFY(!onlyRed->isEnabled());
            QVERIFY(!complement->isEnabled());
            QVERIFY(d.findChild<QRadioButton*>("optRodzSygnPojedynczy_0")->isChecked());
            QVERIFY(d.greenGrid()->isEnabled());
            d.findChild<QRadioButton*>("optRodzSygn_0")->click();
            QVERIFY(complement->isEnabled());
            complement->click();
            QVERIFY(d.findChild<QLineEdit*>("edtDopelnienieOd")->isEnabled());
            d.findChild<QLineEdit*>("edtDopelnienieOd")->setText("130");  // beyond the maximum cycle
            d.cmdOK_Click();
            QVERIFY(d.isVisible());
            d.reject();
        });
        w->RunCommand("mnuGrupa_Dodaj");
        QCOMPARE(prompts->messageTexts(), QStringList{"Nieprawidłowa wartość \"Dopełniaj od\"!"});
        QVERIFY(GroupTable.empty());
        w->close();
    }

    void phaseReferencesFollowTheirGreens() {
        auto w = start();
        QVERIFY(w);
        GroupTable.push_back(Group(KindVehicle, "K1", {{10, 5}, {40, 8}}));
        GroupTable[0].Greens[2].LastPhase = 0;
        GroupTable[0].Greens[2].Phases[0] = {3, 2};
        w->FillGroupGrid();
        w->grid()->setCurrent(1, 2);
        onDialog<GroupDialog>([](GroupDialog& d) {
            // Green 1 starts later now: the typed start re-sorts the rows.
            ui::FlexGrid* grid = d.greenGrid();
            grid->setFocus();
            grid->setCurrent(1, 1);
            typeInCell(grid, d.gridEdit()->editor(), QStringLiteral("60"));
            QCOMPARE(grid->TextMatrix(1, 1), QStringLiteral("40"));
            QCOMPARE(grid->TextMatrix(2, 1), QStringLiteral("60"));
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Edytuj");
        QCOMPARE(GroupTable[0].Greens[1].Start, 40);
        QCOMPARE(GroupTable[0].Greens[1].LastPhase, 0);
        QCOMPARE(GroupTable[0].Greens[1].Phases[0].Phase, 3);
        QCOMPARE(GroupTable[0].Greens[2].Start, 60);
        QCOMPARE(GroupTable[0].Greens[2].LastPhase, -1);
        w->close();
    }

    void inCellEdits() {
        auto w = start();
        QVERIFY(w);
        GroupTable.push_back(Group(KindVehicle, "K1", {{70, 20}}));
        GroupRecord red = Group(KindVehicle, "K2", {});
        red.ComplementMode = ModeOnlyRed;
        GroupTable.push_back(red);
        w->FillGroupGrid();
        ui::FlexGrid* g = w->grid();
        QLineEdit* box = w->gridEditor()->editor();
        QCOMPARE(box->objectName(), QStringLiteral("txtEdit"));
        g->setFocus();

        g->setCurrent(1, 5);  // end: at or before the start wraps over the cycle end
        typeInCell(g, box, "75");
        QCOMPARE(GroupTable[0].Greens[1].Length, 5);
        typeInCell(g, box, "70");
        QCOMPARE(GroupTable[0].Greens[1].Length, 80);
        typeInCell(g, box, "10");
        QCOMPARE(GroupTable[0].Greens[1].Length, 20);
        QCOMPARE(g->TextMatrix(1, 5), QStringLiteral("10"));

        g->setCurrent(1, 4);  // length: the end is written anew
        typeInCell(g, box, "7");
        QCOMPARE(GroupTable[0].Greens[1].Length, 7);
        QCOMPARE(g->TextMatrix(1, 5), QStringLiteral("77"));

        g->setCurrent(1, 3);  // start: the cycle length is second 0
        typeInCell(g, box, "80");
        QCOMPARE(GroupTable[0].Greens[1].Start, 0);
        QCOMPARE(g->TextMatrix(1, 3), QStringLiteral("0"));
        QTest::keyClick(g, 'a');  // a letter opens the box with "0"
        QVERIFY(box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("0"));
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!box->isVisible());
        QCOMPARE(GroupTable[0].Greens[1].Start, 0);
        typeInCell(g, box, "5", Qt::Key_Escape);  // Esc keeps record and cell
        QCOMPARE(GroupTable[0].Greens[1].Start, 0);
        QCOMPARE(g->TextMatrix(1, 3), QStringLiteral("0"));

        // A green past the 80 s cycle is refused with the group dialog's message; the row shows the
        // green as it stands.
        prompts->clear();
        typeInCell(g, box, "81");  // a second past the cycle
        QCOMPARE(GroupTable[0].Greens[1].Start, 0);
        QCOMPARE(g->TextMatrix(1, 3), QStringLiteral("0"));
        typeInCell(g, box, "99999");  // beyond 16 bits: never read as 0
        g->setCurrent(1, 4);
        typeInCell(g, box, "81");
        QCOMPARE(GroupTable[0].Greens[1].Length, 7);
        QCOMPARE(g->TextMatrix(1, 4), QStringLiteral("7"));
        g->setCurrent(1, 5);
        typeInCell(g, box, "99");  // an end making it 99 s long
        QCOMPARE(GroupTable[0].Greens[1].Length, 7);
        QCOMPARE(
            prompts->messageTexts(),
            QStringList({QStringLiteral("Nieprawidłowy początek sygnału zielonego: 81 [s]!\nPoczątek musi "
                                        "być mniejszy od długości cyklu (80 [s])."),
                         QStringLiteral("Nieprawidłowy początek sygnału zielonego: 99999 [s]!\nPoczątek "
                                        "musi być mniejszy od długości cyklu (80 [s])."),
                         QStringLiteral("Nieprawidłowa długość sygnału zielonego: 81 [s]!\nDługość nie "
                                        "może przekraczać długości cyklu (80 [s])."),
                         QStringLiteral("Nieprawidłowa długość sygnału zielonego: 99 [s]!\nDługość nie "
                                        "może przekraczać długości cyklu (80 [s]).")}));
        g->setCurrent(1, 3);

        // A click on the current editable cell opens it with its text selected.
        g->setCurrent(1, 4);
        const QRect cell = g->cellRectInViewport(1, 4);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(box->isVisible());
        QCOMPARE(box->selectedText(), QStringLiteral("7"));
        QTest::keyClick(box, Qt::Key_Escape);

        for (int col : {1, 2, 6}) {  // kind, symbols, complement while off
            g->setCurrent(1, col);
            QTest::keyClick(g, '4');
            QVERIFY2(!box->isVisible(), qPrintable(QString::number(col)));
        }
        g->setCurrent(2, 3);  // only red
        QTest::keyClick(g, '4');
        QVERIFY(!box->isVisible());
        QVERIFY(w->gridEditor()->CellReadOnly());
        w->close();
    }

    void complementForAllGroupsAsks() {
        auto w = start();
        QVERIFY(w);
        GroupTable.push_back(Group(KindVehicle, "K1", {{20, 18}}));
        GroupTable.push_back(Group(KindTramOrArrow, "SK1->", {{10, 30}}));
        GroupTable.push_back(Group(KindPedestrian, "P1", {{0, 10}}));
        w->FillGroupGrid();
        w->grid()->setCurrent(3, 2);
        prompts->answerMessage(ui::Yes);
        onDialog<GroupDialog>([](GroupDialog& d) {
            d.findChild<QCheckBox*>("cbDopelnienie")->click();
            d.findChild<QLineEdit*>("edtDopelnienieOd")->setText("35");
            d.findChild<QCheckBox*>("cbDopelniajWszystkie")->click();
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Edytuj");
        QCOMPARE(prompts->asked().size(), size_t(1));
        QVERIFY(prompts->asked().front().text.contains(QStringLiteral("1 Kołowe, 2 Strzałka\n")));
        QCOMPARE(prompts->asked().front().flags, int(ui::YesNo | ui::Question));
        QVERIFY(RefreshAllGroups);
        QCOMPARE(GroupTable[0].ComplementMode, int(ModeOnlyRed));
        QCOMPARE(GroupTable[1].ComplementMode, int(ModeNoSignal));
        QCOMPARE(GroupTable[2].ComplementFrom, 35);
        QCOMPARE(w->grid()->TextMatrix(1, 3), QString());  // the whole grid was rebuilt
        QCOMPARE(w->grid()->TextMatrix(1, w->LastColumn), QStringLiteral("35"));
        w->close();
    }

    void gridEditingClass() {
        QWidget form;
        auto* grid = new ui::FlexGrid(&form);
        grid->setCols(3);
        grid->setRows(4);
        grid->setFixedRows(1);
        grid->setRows(4);
        auto* first = new FlexGridEdit(grid);
        auto* second = new FlexGridEdit(grid);
        QCOMPARE(first->editor()->objectName(), QStringLiteral("tbFgEdit1"));
        QCOMPARE(second->editor()->objectName(), QStringLiteral("tbFgEdit11"));
        delete second;
        first->setKolumnaSortowania(1);
        first->setLiczbaKolumnFixed(1);
        first->setDefaultDataType(FlexGridEdit::DigitsOnly);
        first->SetDataTypeForColumn(2, FlexGridEdit::NegativeOnly);
        first->MessageTitle = QStringLiteral("Test");
        form.show();
        grid->setFocus();
        grid->setTextMatrix(1, 1, "30");
        grid->setTextMatrix(2, 1, "5");
        grid->setTextMatrix(3, 1, "12");

        grid->setCurrent(1, 0);  // locked leading column
        QTest::keyClick(grid, '7');
        QVERIFY(!first->isOpen());

        grid->setCurrent(1, 1);
        QTest::keyClick(grid, '1');
        QTest::keyClick(first->editor(), '-');  // digits only
        QTest::keyClick(first->editor(), 'x');
        QCOMPARE(first->editor()->text(), QStringLiteral("1"));
        QTest::keyClick(first->editor(), Qt::Key_Down);  // a move writes, checks and sorts
        QCOMPARE(grid->TextMatrix(1, 1), QStringLiteral("1"));
        QCOMPARE(grid->TextMatrix(2, 1), QStringLiteral("5"));
        QCOMPARE(grid->TextMatrix(3, 1), QStringLiteral("12"));
        QVERIFY(first->isOpen());  // the move opened the next cell
        QTest::keyClick(first->editor(), Qt::Key_Escape);

        grid->setCurrent(1, 2);  // negative numbers only, checked on every write
        QTest::keyClick(grid, '4');
        QTest::keyClick(first->editor(), Qt::Key_Down);
        QCOMPARE(grid->TextMatrix(1, 2), QString());
        QCOMPARE(prompts->messageTexts(), QStringList{"Można wpisywać tylko wartości ujemne."});
        QTest::keyClick(first->editor(), '-');
        QTest::keyClick(first->editor(), '3');
        first->UpdateFg();
        QCOMPARE(grid->TextMatrix(2, 2), QStringLiteral("-3"));
        QCOMPARE(prompts->asked().size(), size_t(1));
    }

    void scrollingCarriesAnOpenEdit() {
        QWidget form;
        form.resize(300, 160);
        auto* grid = new ui::FlexGrid(&form);
        grid->resize(300, 160);
        grid->setCols(3);
        grid->setRows(40);
        grid->setFixedRows(1);
        grid->setRows(40);
        auto* edit = new FlexGridEdit(grid);
        edit->setLiczbaKolumnFixed(1);
        edit->setDefaultDataType(FlexGridEdit::NegativeOnly);
        form.show();
        grid->setFocus();
        grid->setCurrent(2, 2);
        QTest::keyClick(grid, '-');
        QTest::keyClick(edit->editor(), '1');
        const int y = edit->editor()->y();
        grid->verticalScrollBar()->setValue(1);  // one row up: the editor follows its cell
        QCoreApplication::processEvents();
        QVERIFY(edit->isOpen());
        QCOMPARE(grid->TextMatrix(2, 2), QString());  // nothing committed mid typing
        QVERIFY(edit->editor()->y() < y);
        grid->verticalScrollBar()->setValue(30);  // the cell leaves the view, so does the editor
        QCoreApplication::processEvents();
        QVERIFY(edit->isOpen());
        QVERIFY(edit->editor()->y() < 0);
        QTest::keyClick(edit->editor(), '2');  // the next key brings the cell back
        QVERIFY(edit->editor()->y() >= 0);
        QCOMPARE(edit->editor()->text(), QStringLiteral("-12"));
        edit->UpdateFg();
        QCOMPARE(grid->TextMatrix(2, 2), QStringLiteral("-12"));
        QVERIFY(prompts->asked().empty());
    }

    void tabInTheGreenGridMovesToTheLength() {
        auto w = start();
        QVERIFY(w);
        onDialog<GroupDialog>([this](GroupDialog& d) {
            d.findChild<QComboBox*>("cmbSymbSygn")->setEditText("K1");
            ui::FlexGrid* g = d.greenGrid();
            g->setFocus();
            g->setCurrent(1, 1);
            QTest::keyClick(g, '1');
            QTest::keyClick(d.gridEdit()->editor(), '0');
            QTest::keyClick(d.gridEdit()->editor(), Qt::Key_Tab);
            QVERIFY(d.gridEdit()->isOpen());
            QCOMPARE(g->Col(), 2);
            QTest::keyClick(d.gridEdit()->editor(), '2');
            QTest::keyClick(d.gridEdit()->editor(), '5');
            QTest::keyClick(d.gridEdit()->editor(), Qt::Key_Tab);
            QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("10"));
            QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("25"));
            // A start typed without its length: OK says so and keeps the dialog open.
            d.cmdDodaj_Click();
            const int last = g->Rows() - 1;
            g->setTextMatrix(last, 1, "40");
            prompts->answerMessage(ui::Ok);
            d.cmdOK_Click();
            QVERIFY(d.isVisible());
            g->setTextMatrix(last, 2, "5");
            d.cmdOK_Click();
        });
        w->RunCommand("mnuGrupa_Dodaj");
        QCOMPARE(prompts->messageTexts(),
                 QStringList{"Nie podano długości sygnału zielonego rozpoczynającego się w 40 [s]!"});
        QCOMPARE(GroupTable.size(), size_t(1));
        QCOMPARE(GroupTable[0].GreenCount, 2);
        QCOMPARE(GroupTable[0].Greens[1].Start, 10);
        QCOMPARE(GroupTable[0].Greens[1].Length, 25);
        QCOMPARE(GroupTable[0].Greens[2].Length, 5);
        w->close();
    }

    void drawingRefusesABadCycleBox() {
        openDrawing();
        auto w = start();
        QVERIFY(w);
        GroupTable.push_back(Group(KindVehicle, "K1", {{0, 20}}));
        w->FillGroupGrid();
        IntersectionNumber = QStringLiteral("3");
        w->addIntersection(IntersectionNumber);
        const int before = automation::CadModelSpace.count();
        for (const char* text : {"0", "abc", "-5"}) {
            w->cycleBox()->setText(QString::fromLatin1(text));
            prompts->answerMessage(ui::Ok);
            w->RunCommand("mnuDane_Wrysuj");
            QCOMPARE(prompts->messageTexts().last(), QStringLiteral("Nieprawidłowa wartość długości cyklu!"));
        }
        QCOMPARE(prompts->asked().size(), size_t(3));
        QCOMPARE(automation::CadModelSpace.count(), before);  // nothing drawn
        QCOMPARE(CycleLength, 80);
        w->cycleBox()->setText(QStringLiteral("80"));
        w->close();
    }

    void reconnectsToTheCadAtTheNextCommand() {
        openDrawing();
        auto w = start();
        QVERIFY(w);
        LostHostChannel lost;
        automation::CadApplication = cad::Application(&lost);
        const QString question = QStringLiteral(
            "Połączenie z programem CAD zostało przerwane (program mógł zostać zamknięty lub uruchomiony "
            "ponownie).\nCzy połączyć ponownie?");
        prompts->answerMessage(ui::No);
        w->RunCommand("mnuDane_Pobierz");
        QCOMPARE(prompts->messageTexts(), QStringList{question});
        QCOMPARE(automation::CadApplication.channel(), static_cast<cad::Channel*>(&lost));
        // Yes: connected again, and the command runs on the new connection (it asks for a table).
        prompts->answerMessage(ui::Yes);
        prompts->answerMessage(ui::No);
        w->RunCommand("mnuDane_Pobierz");
        QCOMPARE(prompts->messageTexts(),
                 (QStringList{question, question, "Nieprawidłowy dokument. Czy wczytać tabelę programu?"}));
        QCOMPARE(automation::CadApplication.channel(), cad->application().channel());
        w->close();
    }

    void parametersDialogWritesTheBlock() {
        openDrawing();
        IntersectionNumber = QStringLiteral("12");
        WorkStartHour = QStringLiteral("6:00");
        WorkEndHour = QStringLiteral("22:00");
        ProgramOffset = QStringLiteral("5");
        CycleLength = 90;
        QVERIFY(UstawWidoczneAtrybuty());
        resetProgram();
        common::PutIni(ini(), "Tesmar Program", "GodzRozpPracy", "ini");

        auto w = start();
        QVERIFY(w);
        QCOMPARE(prompts->asked().size(), size_t(0));
        QCOMPARE(IntersectionNumber, QStringLiteral("12"));
        QCOMPARE(w->intersectionCount(), 1);
        QCOMPARE(w->cycleBox()->text(), QStringLiteral("90"));

        onDialog<ParametersDialog>([](ParametersDialog& d) {
            auto* from = d.findChild<QLineEdit*>("edGodzOd");
            QVERIFY(from->isEnabled());
            QCOMPARE(from->text(), QStringLiteral("6:00"));
            QCOMPARE(d.findChild<QLineEdit*>("edOffset")->text(), QStringLiteral("5"));
            from->setText(QStringLiteral("  7:00 "));
            d.findChild<QLineEdit*>("edGodzDo")->setText(QStringLiteral("19:00"));
            d.findChild<QLineEdit*>("edOffset")->setText(QStringLiteral("12"));
            d.cmdOK_Click();
        });
        w->RunCommand("mnuDane_Parametry");
        QCOMPARE(WorkStartHour, QStringLiteral("7:00"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("program.dxf"));
        automation::CadDocument.saveAs(path);
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(SUITE_TEST_DATA "/phaseplanner/read_program_attributes.py"), path});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QJsonObject a = QJsonDocument::fromJson(p.readAllStandardOutput())
                                  .object()
                                  .value("ATRYBUTY_PROGRAMU_12")
                                  .toObject()
                                  .value("attribs")
                                  .toObject();
        QCOMPARE(a.value("GODZ_ROZP_PRACY").toString(), QStringLiteral("7:00"));
        QCOMPARE(a.value("GODZ_ZAK_PRACY").toString(), QStringLiteral("19:00"));
        QCOMPARE(a.value("OFFSET").toString(), QStringLiteral("12"));
        QCOMPARE(a.value("WID_GODZ_PRACY").toString(), QStringLiteral("7:00-19:00"));
        QCOMPARE(a.value("DLUG_CYKLU").toString(), QStringLiteral("90"));

        // Cancel changes nothing.
        onDialog<ParametersDialog>([](ParametersDialog& d) {
            d.findChild<QLineEdit*>("edGodzOd")->setText(QStringLiteral("9:00"));
            d.reject();
        });
        w->RunCommand("mnuDane_Parametry");
        QCOMPARE(WorkStartHour, QStringLiteral("7:00"));
        w->close();
        QCOMPARE(iniValue("GodzRozpPracy"), QStringLiteral("7:00"));
    }

    void parametersWithoutDrawingChangeNothing() {
        common::PutIni(ini(), "Tesmar Program", "GodzRozpPracy", "6:30");
        auto w = start();
        QVERIFY(w);
        onDialog<ParametersDialog>([](ParametersDialog& d) {
            auto* from = d.findChild<QLineEdit*>("edGodzOd");
            QVERIFY(!from->isEnabled());
            QCOMPARE(from->text(), QString());
            d.cmdOK_Click();
        });
        w->RunCommand("mnuDane_Parametry");
        QCOMPARE(WorkStartHour, QStringLiteral("6:30"));
        w->close();
        QCOMPARE(iniValue("GodzRozpPracy"), QStringLiteral("6:30"));
    }

    void unexpectedErrorIsReported() {
        openDrawing();
        auto w = start();
        QVERIFY(w);
        automation::test::RelayChannel relay(automation::CadApplication.channel());
        automation::CadApplication = cad::Application(&relay);
        relay.failOn = QStringLiteral("ReadSelection");  // the search of the program blocks
        w->RunCommand("mnuDane_Parametry");
        QCOMPARE(prompts->asked().size(), size_t(1));
        QCOMPARE(prompts->asked().front().flags, int(ui::Exclamation));
        QVERIFY(prompts->asked().front().text.startsWith(QStringLiteral("Nieoczekiwany błąd polecenia:")));
        relay.failOn.clear();
        automation::CadApplication = cad->application();
        w->close();
    }

    void staleMarkersRemovedAtStart() {
        openDrawing();
        automation::EnsureLayer(QStringLiteral("255-ROBOCZA"), false, -1, -10);
        automation::CadDocument.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("AKTUALNY_CZAS_1"));
        automation::CadModelSpace
            .insertBlock(cad::Point{0, 0, 0}, QStringLiteral("AKTUALNY_CZAS_1"), 1, 1, 1, 0)
            .setLayer(QStringLiteral("255-ROBOCZA"));
        auto w = start();
        QVERIFY(w);
        QVERIFY(!automation::CheckBlockExists(QStringLiteral("AKTUALNY_CZAS_1")));
        QCOMPARE(prompts->asked().size(), size_t(0));
        w->close();
    }

    void intersectionNumbersFromThePlusButton() {
        auto w = start();
        QVERIFY(w);
        prompts->answerInput(QStringLiteral("12 A"));
        w->RunCommand("cmdAddNo");
        prompts->answerInput(QStringLiteral("2"));
        w->RunCommand("cmdAddNo");
        prompts->answerInput(QStringLiteral("10"));
        w->RunCommand("cmdAddNo");
        QCOMPARE(w->intersectionCount(), 3);
        QCOMPARE(w->intersectionText(0), QStringLiteral("10"));  // numbers sort as text
        QCOMPARE(w->intersectionText(2), QStringLiteral("2"));
        QCOMPARE(IntersectionNumber, QStringLiteral("10"));
        QCOMPARE(w->selectedIntersection(), 0);
        prompts->answerInput(QStringLiteral("12a"));
        w->RunCommand("cmdAddNo");
        QCOMPARE(w->intersectionCount(), 3);
        QVERIFY(
            prompts->messageTexts().contains(QStringLiteral("Istnieje już skrzyżowanie o podanym numerze.")));
        w->findChild<QComboBox*>("cmbNo")->setCurrentIndex(1);  // the user's choice sets the number
        QCOMPARE(IntersectionNumber, QStringLiteral("12A"));
        w->close();
    }

    void columnTooltips() {
        auto w = start();
        QVERIFY(w);
        GroupTable.push_back(Group(KindVehicle, "K1", {{0, 10}, {20, 10}}));
        w->FillGroupGrid();
        w->resize(900, 500);
        ui::FlexGrid* g = w->grid();
        auto tipAt = [g](int col) {
            const QPoint pos(g->columnViewportPosition(col) + 3, 5);
            QHelpEvent e(QEvent::ToolTip, pos, g->viewport()->mapToGlobal(pos));
            QApplication::sendEvent(g->viewport(), &e);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(1), QString());  // kind: no tooltip
        QCOMPARE(tipAt(7), QStringLiteral("Długość 2-go sygnału zielonego"));
        QCOMPARE(tipAt(3), QStringLiteral("Początek 1-go sygnału zielonego"));
        QCOMPARE(tipAt(w->LastColumn), QStringLiteral("Dopełniaj od"));
        w->close();
    }

    void keptSecondStaysInsideAShorterCycle() {
        auto w = start();
        QVERIFY(w);
        GroupTable.push_back(Group(KindVehicle, "K1", {{0, 30}}));
        w->FillGroupGrid();
        w->ComputeProgramStates(false);
        QCOMPARE(w->stateSlider()->value(), -1);
        w->stateSlider()->setValue(70);
        QCOMPARE(w->CurrentSecond, 70);
        CycleLength = 50;
        w->ComputeProgramStates(true);
        QCOMPARE(w->stateSlider()->maximum(), 50);
        QCOMPARE(w->stateSlider()->value(), 50);
        QCOMPARE(w->CurrentSecond, 50);
        w->close();
    }

    void dialogsFollowAlwaysOnTop() {
        auto w = start();
        QVERIFY(w);
        w->RunCommand("mnuNarzedzia_NaWierzchu");
        bool topmost = false;
        onDialog<ParametersDialog>([&topmost](ParametersDialog& d) {
            d.activateWindow();
            QTest::qWait(20);
            topmost = d.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            d.reject();
        });
        w->RunCommand("mnuDane_Parametry");
        QVERIFY(topmost);
        w->close();
    }

    // With PHASEPLANNER_SCREENSHOT set: the window with a filled group table, saved as that PNG.
    void screenshotOfFilledTable() {
        const QString path = qEnvironmentVariable("PHASEPLANNER_SCREENSHOT");
        if (path.isEmpty()) QSKIP("PHASEPLANNER_SCREENSHOT not set");
        auto w = start();
        QVERIFY(w);
        AddIntersectionNumber(QStringLiteral("12"), true);
        CycleLength = 90;
        w->cycleBox()->setText(QStringLiteral("90"));
        GroupTable = {Group(KindVehicle, "K1, K1p", {{0, 32}}),
                      Group(KindVehicle, "K2, K2p", {{40, 20}, {75, 12}}),
                      Group(KindVehicle, "B3", {{0, 28}}),
                      Group(KindTramOrArrow, "T4", {{36, 18}}),
                      Group(KindTramOrArrow, "SK1->", {{40, 10}}),
                      Group(KindPedestrian, "P1a, P1b", {{0, 20}}),
                      Group(KindPedestrian, "P2a, P2b", {{64, 18}}),
                      Group(KindBicycle, "R1", {{80, 20}})};
        GroupTable[5].ComplementOn = true;
        GroupTable[5].ComplementFrom = 30;
        w->FillGroupGrid();
        w->ComputeProgramStates(false);
        w->stateSlider()->setValue(45);
        w->resize(1020, 560);
        w->grid()->setCurrent(2, 7);
        QVERIFY(w->grab().save(path));
        w->close();
    }

    void helpWithoutABrowserSaysWhereThePageIs() {
        openDrawing();
        auto w = start();
        QVERIFY(w);
        common::SetHelpOpener([](const QUrl&) { return false; });
        w->RunCommand(QStringLiteral("mnuPomoc_Pomocnik"));
        const QString page = QFileInfo(folder->filePath(QStringLiteral("Zasoby/Pomoc/10011.html"))).absoluteFilePath();
        const QString told = QStringLiteral("Żadna przeglądarka nie otworzyła strony pomocy.\nStrona pomocy: ") +
                             QDir::toNativeSeparators(page);
        QCOMPARE(prompts->messageTexts(), QStringList{told});
        // F1 says the same.
        prompts->clear();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        common::SetHelpOpener({});
        QCOMPARE(prompts->messageTexts(), QStringList{told});
        QCOMPARE(prompts->asked().back().title, w->windowTitle());
        w->close();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
