// The stream commands in frmMain: the View and Stream menus and both toolbars with their button
// menus, commands run from them against the in-process CAD, and commands held while one is busy.
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "../ConflictorWindowFixture.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace conflictor;

class StreamMenusTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

    cad::Document doc() const { return automation::CadApplication.activeDocument(); }

    void buildDrawing() {
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
        automation::EnsureLayer(common::Settings.StreamLayerName, false, 5, 30);
        const QString name = QStringLiteral("12^STRUMIEN_1^K1");
        doc().blocks().add(cad::Point{0, 0, 0}, name).addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
        doc()
            .modelSpace()
            .insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0)
            .setLayer(common::Settings.StreamLayerName);
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_12"));
        b.addLine(cad::Point{0, 0, 0}, cad::Point{8000, 0, 0});
        for (const QString& t : StreamAttributeTagNames())
            automation::AddAttributeDefinition(b, t, QString(), 0, 0);
        doc()
            .modelSpace()
            .insertBlock(cad::Point{100, 100, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_12"), 1, 1, 1, 0)
            .setLayer(common::Settings.StreamLayerName);
    }

    std::unique_ptr<ConflictorWindow> start() {
        auto w = std::make_unique<ConflictorWindow>();
        w->ProgramFolder = dir->filePath(QStringLiteral("Tesmar/bin"));
        if (!w->StartUp()) qWarning() << prompts->messageTexts();
        return w;
    }

    static QStringList entries(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    static QStringList keys(QToolBar* bar) {
        QStringList out;
        for (QAction* a : bar->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        return out;
    }

private slots:
    void init() {
        makeProgramFolder();
        attachCad();
        buildDrawing();
    }
    void cleanup() {
        detachCad();
    }

    void phaseEditorAndCrossingLinksOpenFromTheMenus() {
        auto w = start();
        QAction* phases = w->action(QStringLiteral("mnu_Fazy"));
        QVERIFY(phases);
        QCOMPARE(phases->text(), QStringLiteral("&Fazy"));
        QAction* links = w->action(QStringLiteral("mnuEdycja_PowiazaniaPrzejsc"));
        QVERIFY(links && links->isEnabled());
        // Each opens its modal window, owned by the main window; closing it ends the command.
        QStringList opened;
        auto closeNext = [&opened] {
            QTimer::singleShot(0, [&opened] {
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible()) {
                        opened << d->objectName() + QLatin1Char('/') + d->parentWidget()->objectName();
                        d->accept();
                    }
            });
        };
        closeNext();
        phases->trigger();
        closeNext();
        links->trigger();
        QCOMPARE(opened, (QStringList{"frmFazy/frmMain", "frmPowiazaniaPrzejsc/frmMain"}));
        // Without an intersection the links are refused.
        IntersectionNumber.clear();
        prompts->clear();
        links->trigger();
        QCOMPARE(prompts->messageTexts(), QStringList{QStringLiteral("Nieprawidłowy numer skrzyżowania!")});
    }

    void menusHoldTheStreamCommandsAndNothingThatIsNotBuilt() {
        auto w = start();
        QCOMPARE(entries(w->menu(QStringLiteral("mnuWidok"))),
                 (QStringList{"Zaznacz", "&Odznacz strumień", "Zaznacz/Odznacz wskazany na rysunku strumień",
                              "Odznacz &wszystkie strumienie", "-", "&Pokaż fazę (ukryj pozostałe)",
                              "Po&każ wszystkie strumienie", "Ukryj wszystkie niezaznaczone strumienie", "-",
                              "Pokaż odcinki strumie&nia", "Pokaż punkt&y kolizji strumienia"}));
        QCOMPARE(entries(w->menu(QStringLiteral("mnuWidok_Zaznacz"))),
                 (QStringList{"&strumień", "&grupę", "&fazę", "&aktywną fazę"}));
        QCOMPARE(entries(w->menu(QStringLiteral("mnuEdycja"))),
                 (QStringList{"&Nowy strumień",
                              "Kopiuj &strumień - tworzenie warunkowego",
                              "&Usuń strumień",
                              "-",
                              "&Pobierz nazwy strumieni z sygnalizatorów",
                              "-",
                              "&Wrysuj składnik strumienia",
                              "-",
                              "&Dołącz składnik",
                              "W&yłącz składnik",
                              "-",
                              "U&staw punkt początkowy",
                              "&Zamień punkt początkowy",
                              "-",
                              "Przypisz zaznaczone strumienie do &grupy",
                              "Przypisz zaznaczone strumienie do &fazy",
                              "-",
                              "Detektory strumienia",
                              "-",
                              "Przejścia - powiązania strumieni pieszych i rowerowych"}));
        QCOMPARE(entries(w->menu(QStringLiteral("mnuEdycja_WrysujSkladnik"))),
                 (QStringList{"&linia", "ł&uk", "polilinia"}));
        // The stream commands wait for a selected stream.
        QVERIFY(!w->action(QStringLiteral("mnuEdycja_UsunStrumien"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("mnuEdycja_NowyStrumien"))->isEnabled());
        w->grdStrumienie->setCurrent(1, ColName);
        QCOMPARE(w->GridStreamName, QStringLiteral("K1"));
        QVERIFY(w->action(QStringLiteral("mnuEdycja_UsunStrumien"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("UsunStrumien"))->isEnabled());
        w->close();
    }

    void toolbarsAndTheirButtonMenus() {
        auto w = start();
        auto* first = w->findChild<QToolBar*>(QStringLiteral("tlbPrzyciski"));
        auto* second = w->findChild<QToolBar*>(QStringLiteral("tlbPrzyciski2"));
        QVERIFY(first && second);
        QCOMPARE(keys(first), (QStringList{"ZaznaczStrumien", "OdznaczStrumien", "WskazStrumien",
                                           "OdznaczWszystkie", "-", "NowyStrumien", "UsunStrumien",
                                           "WrysujOdcinek", "DolaczSkladnik", "WylaczSkladnik"}));
        QCOMPARE(keys(second), (QStringList{"UstawPoczatkowy", "ZamienPoczatkowy", "-", "Tnij", "Legenda",
                                            "EksportExcel", "-", "Konfiguracja", "FormNotOnTop", "-", "Pomoc"}));
        // The export drop-down waits for a selected stream; the phase export stays reachable from the menu.
        QMenu* exportMenu = w->action(QStringLiteral("EksportExcel"))->menu();
        QVERIFY(exportMenu);
        QCOMPARE(entries(exportMenu), (QStringList{"Eksport danych", "Eksport informacji o fazach"}));
        QVERIFY(!w->action(QStringLiteral("EksportExcel"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("mnuNarzedzia_EksportExcelFazy"))->isEnabled());
        QCOMPARE(entries(w->menu(QStringLiteral("mnuNarzedzia_Eksport"))),
                 (QStringList{"Eksport danych", "Eksport informacji o fazach"}));
        auto* hidden = w->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(hidden && !hidden->isVisible());
        QCOMPARE(hidden->text(), QStringLiteral("xx export test"));
        for (QAction* a : first->actions())
            if (!a->isSeparator()) QVERIFY(!a->icon().isNull());
        auto* draw =
            qobject_cast<QToolButton*>(first->widgetForAction(w->action(QStringLiteral("WrysujOdcinek"))));
        QVERIFY(draw);
        QCOMPARE(draw->popupMode(), QToolButton::MenuButtonPopup);
        QMenu* drawMenu = w->action(QStringLiteral("WrysujOdcinek"))->menu();
        QVERIFY(drawMenu);
        QCOMPARE(entries(drawMenu), (QStringList{"linia", "łuk", "polilinia"}));
        QCOMPARE(w->action(QStringLiteral("WrysujOdcinek"))->toolTip(),
                 QStringLiteral("Wrysuj składnik strumienia - linia"));
        QCOMPARE(entries(w->action(QStringLiteral("ZaznaczStrumien"))->menu()),
                 (QStringList{"Zaznacz strumień", "Zaznacz grupę", "Zaznacz fazę", "Zaznacz aktywną fazę"}));
        // Always on top: the button's picture follows the setting, twice toggled is as before.
        QAction* onTop = w->action(QStringLiteral("FormNotOnTop"));
        const QImage before = onTop->icon().pixmap(24, 24).toImage();
        onTop->trigger();
        QVERIFY(common::AlwaysOnTop);
        QVERIFY(onTop->icon().pixmap(24, 24).toImage() != before);
        onTop->trigger();
        QVERIFY(!common::AlwaysOnTop);
        QCOMPARE(onTop->icon().pixmap(24, 24).toImage(), before);
        // The hover text, and the drawing's name back once the mouse has left the toolbars.
        w->action(QStringLiteral("WskazStrumien"))->hover();
        QCOMPARE(w->panelStan->text(), QStringLiteral("Zaznacz/Odznacz strumień na rysunku"));
        QTRY_COMPARE(w->panelStan->text(), w->DrawingName);
        // An entry of a button menu runs its command.
        picks.point(10, 0).point(10, 10);
        w->grdStrumienie->setCurrent(1, ColName);
        drawMenu->actions().first()->trigger();
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))].SegmentCount, 2);
        w->close();
    }

    void aLineDrawnFromTheToolbarAndAStreamNamedInTheDialog() {
        auto w = start();
        w->show();
        w->grdStrumienie->setCurrent(1, ColName);
        picks.point(10, 0).point(10, 10);
        w->action(QStringLiteral("WrysujOdcinek"))->trigger();
        QVERIFY(w->isVisible());
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))].SegmentCount, 2);

        // "Nowy strumień" opens the naming dialog, owned by the main window.
        QTimer::singleShot(0, [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("frmNazwaStrumienia") && top->isVisible()) {
                    top->findChild<QLineEdit*>(QStringLiteral("edtNazwaStrumienia"))
                        ->setText(QStringLiteral("K7"));
                    top->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
                }
        });
        w->action(QStringLiteral("NowyStrumien"))->trigger();
        QVERIFY(FindStreamIndex(QStringLiteral("K7")) >= 0);
        QCOMPARE(w->GridStreamName, QStringLiteral("K7"));
        QVERIFY(w->gridRowOfName(QStringLiteral("K7")) >= 1);

        // Delete it again from the toolbar: the grid goes back to K1 alone.
        prompts->answerMessage(ui::Yes);
        prompts->answerMessage(ui::No);
        w->action(QStringLiteral("UsunStrumien"))->trigger();
        QCOMPARE(FindStreamIndex(QStringLiteral("K7")), -1);
        QCOMPARE(w->grdStrumienie->Rows(), 2);
        QCOMPARE(w->GridStreamName, QStringLiteral("K1"));
        w->close();
    }

    void theCutAndTheLegendInTheToolsMenuAndTheSecondToolbar() {
        auto w = start();
        QCOMPARE(entries(w->menu(QStringLiteral("mnuNarzedzia"))).mid(0, 6),
                 (QStringList{"Tnij i ustaw ziziro zedivir", "&Ustaw legendę", "&Eksport danych do programu Excel",
                              "-", "Zawsze na wierzchu", "&Konfiguracja"}));
        QCOMPARE(entries(w->menu(QStringLiteral("mnuNarzedzia_Tnij"))),
                 (QStringList{"Tnij wszystkie strumienie", "Tnij zaznaczone strumienie"}));
        auto* second = w->findChild<QToolBar*>(QStringLiteral("tlbPrzyciski2"));
        QAction* cut = w->action(QStringLiteral("Tnij"));
        QVERIFY(cut && cut->menu());
        QCOMPARE(cut->toolTip(), QStringLiteral("Tnij i ustaw ziziro zedivir"));
        QCOMPARE(qobject_cast<QToolButton*>(second->widgetForAction(cut))->popupMode(),
                 QToolButton::MenuButtonPopup);
        QCOMPARE(entries(cut->menu()),
                 (QStringList{"Tnij wszystkie strumienie", "Tnij zaznaczone strumienie"}));
        QVERIFY(!w->action(QStringLiteral("Legenda"))->icon().isNull());
        // The cut waits for a selected stream; the legend is always there.
        QVERIFY(!cut->isEnabled());
        QVERIFY(!w->action(QStringLiteral("mnuNarzedzia_Tnij"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("Legenda"))->isEnabled());
        w->grdStrumienie->setCurrent(1, ColName);
        QVERIFY(cut->isEnabled());

        // The button runs the cut of all streams: its question, then the check finds K1 without a start.
        prompts->answerMessage(ui::Yes);
        cut->trigger();
        QVERIFY(prompts->messageTexts().value(0).startsWith(QStringLiteral("Uwaga!")));
        QCOMPARE(prompts->messageTexts().value(1),
                 QStringLiteral("K1: Brak punktu początkowego strumienia!"));
        QVERIFY(w->menuBar()->isEnabled());
        // The legend button places the legend at the pick.
        picks.point(50, 50);
        w->action(QStringLiteral("Legenda"))->trigger();
        QCOMPARE(doc().modelSpace().item(doc().modelSpace().count() - 1).name(),
                 QStringLiteral("OBIEKT_LEGENDA"));
        QVERIFY(w->isVisible());
        w->close();
    }

    void commandsWaitWhileALongOperationRuns() {
        auto w = start();
        w->setCommandsBlocked(true);
        QVERIFY(!w->menuBar()->isEnabled());
        QVERIFY(!w->findChild<QToolBar*>(QStringLiteral("tlbPrzyciski"))->isEnabled());
        QVERIFY(!w->RunCommand(QStringLiteral("mnuEdycja_NowyStrumien")));
        w->setCommandsBlocked(false);
        QVERIFY(w->menuBar()->isEnabled());
        QVERIFY(w->RunCommand(QStringLiteral("mnuWidok_PokazWszystkie")));
        w->close();
    }
};

QTEST_MAIN(StreamMenusTest)
#include "StreamMenusTest.moc"
