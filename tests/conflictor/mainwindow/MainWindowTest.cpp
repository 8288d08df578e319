// conflictor's main window against the in-process CAD: start-up on a test drawing, the sorted grid (and
// the grid after the streams are read again), in-place edits reaching the records and the attribute
// block, Delete, the single-copy lock, the INI keys of the shut-down, the wheel, the command states and
// the help page.
#include "../HostGone.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "common/SingleInstance.h"
#include "common/Version.h"
#include "common/ui/Help.h"
#include "common/ui/MouseWheelHook.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/mainwindow/StreamCellEditor.h"
#include "conflictor/streams/FormatUpgrade.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "../ConflictorWindowFixture.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/WidgetPrompts.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QStyleOptionToolButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QMenu>
#include <QtTest>
#include <functional>
#include <memory>

using namespace conflictor;

namespace {

const QString StreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

QString attribute(const cad::Entity& ref, const QString& tag) {
    for (const cad::Entity& att : ref.attributes())
        if (att.tagString() == tag) return att.textString();
    return QStringLiteral("<none>");
}

}  // namespace

class MainWindowTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

    cad::Entity attributeRef;
    QString programFolder;

    cad::Document doc() const { return automation::CadApplication.activeDocument(); }

    void addComponent(int n, const QString& streams, double x1, double y1, double x2, double y2) {
        const QString name = QStringLiteral("12^STRUMIEN_%1%2").arg(n).arg(streams);
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{x1, y1, 0}, cad::Point{x2, y2, 0});
        doc().modelSpace().insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0).setLayer(StreamLayer);
    }

    // Streams S1, K10, P1, K1[2], K2, K1 of intersection 12 with groups, phases and values.
    void buildDrawing() {
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
        automation::EnsureLayer(StreamLayer, false, 5, 30);
        addComponent(1, QStringLiteral("^S1"), 0, 0, 10, 0);
        addComponent(2, QStringLiteral("^K10"), 0, 5, 10, 5);
        addComponent(3, QStringLiteral("^P1"), 0, 10, 0, 20);
        addComponent(4, QStringLiteral("^K1[2]"), 5, 0, 5, 10);
        addComponent(5, QStringLiteral("^K2"), 20, 0, 20, 10);
        addComponent(6, QStringLiteral("^K1"), 30, 0, 30, 10);
        const QString blockName = QStringLiteral("ATRYBUTY_STRUMIENI_12");
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, blockName);
        b.addLine(cad::Point{0, 0, 0}, cad::Point{8000, 0, 0});
        for (const QString& t : StreamAttributeTagNames())
            automation::AddAttributeDefinition(b, t, QString(), 0, 0);
        attributeRef = doc().modelSpace().insertBlock(cad::Point{100, 100, 0}, blockName, 1, 1, 1, 0);
        attributeRef.setLayer(StreamLayer);
        const QList<std::pair<QString, QString>> values{
            {QStringLiteral("GRUPY"), QStringLiteral("K1:1^K2:2^K10:2^P1:5^")},
            {QStringLiteral("FAZY"), QStringLiteral("K1:1^K2:2^K10:2^P1:1^")},
            {QStringLiteral("OPISY"), QStringLiteral("K1:lewo^")},
            {QStringLiteral("PROSTA_DOJAZD"), QStringLiteral("K2:13.89^")},
            {QStringLiteral("PROSTA_EWAK"), QStringLiteral("P1:1.40^")},
        };
        for (const cad::Entity& att : attributeRef.attributes())
            for (const auto& [tag, value] : values)
                if (att.tagString() == tag) att.setTextString(value);
    }

    std::unique_ptr<ConflictorWindow> start(bool expectRunning = true) {
        auto w = std::make_unique<ConflictorWindow>();
        w->ProgramFolder = programFolder;
        const bool ok = w->StartUp();
        if (expectRunning) {
            if (!ok) qWarning() << prompts->messageTexts();
            Q_ASSERT(ok);
        }
        return w;
    }

    QStringList gridNames(ConflictorWindow& w) {
        QStringList names;
        for (int r = 1; r < w.grdStrumienie->Rows(); ++r) names << w.grdStrumienie->TextMatrix(r, ColName);
        return names;
    }

    // Types a text into the grid at the cell: the first key opens the editor, the rest go into it.
    void typeInto(ConflictorWindow& w, int row, int col, const QString& text) {
        w.grdStrumienie->setFocus();
        w.grdStrumienie->setCurrent(row, col);
        QVERIFY(!w.CellReadOnly);
        for (int i = 0; i < text.size(); ++i) {
            QWidget* target = i == 0 ? static_cast<QWidget*>(w.grdStrumienie) : w.txtEdit;
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(text[i]));
            QApplication::sendEvent(target, &press);
        }
        QTest::keyClick(w.txtEdit, Qt::Key_Return);
    }

    // The tool button of a toolbar action, and the part of a drop-down button (its main part or its
    // arrow) as the style lays it out.
    QToolButton* toolButton(ConflictorWindow& w, const QString& key) {
        for (QToolBar* bar : w.findChildren<QToolBar*>())
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(w.action(key)))) return b;
        return nullptr;
    }
    static QPoint partOf(QToolButton* b, QStyle::SubControl part) {
        QStyleOptionToolButton option;
        option.initFrom(b);
        option.rect = b->rect();
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
        return b->style()->subControlRect(QStyle::CC_ToolButton, &option, part, b).center();
    }
    // The texts of the menu a click at `at` pops up (closed again at once); "<submenu>" marks an
    // entry that only opens another menu.
    static QStringList popupOf(QWidget* target, QPoint at) {
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!popup) return;
            for (QAction* a : popup->actions()) shown << (a->menu() ? QStringLiteral("<submenu>") : a->text());
            popup->close();
        });
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
        return shown;
    }
    int colorOf(const QString& blockName) {
        for (const cad::Entity& e : doc().modelSpace().entities())
            if (e.objectName() == QStringLiteral("AcDbBlockReference") && e.name() == blockName) return e.color();
        return -1;
    }

private slots:
    void init() {
        makeProgramFolder();
        programFolder = dir->filePath(QStringLiteral("Tesmar/bin"));
        QDir().mkpath(dir->filePath(QStringLiteral("Tesmar/Zasoby/Pomoc")));
        attachCad();
        buildDrawing();
    }

    void cleanup() {
        attributeRef = {};
        detachCad();
    }

    void startUpShowsTheSortedGrid() {
        auto w = start();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tesmar Ziziro Zedivir w.") + common::GetVersionText());
        QCOMPARE(gridNames(*w), (QStringList{"K1", "K1[2]", "K2", "K10", "P1", "S1"}));
        QCOMPARE(w->grdStrumienie->FixedRows(), 1);
        QCOMPARE(w->grdStrumienie->TextMatrix(0, ColName), QStringLiteral("Strumień"));
        QCOMPARE(w->grdStrumienie->TextMatrix(1, ColGroup), QStringLiteral("1"));
        QCOMPARE(w->grdStrumienie->TextMatrix(2, ColGroup), QStringLiteral("1"));  // the variant shares it
        QCOMPARE(w->grdStrumienie->TextMatrix(1, ColDescription), QStringLiteral("lewo"));
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColApproachStraight), QStringLiteral("13.89"));
        QCOMPARE(w->grdStrumienie->TextMatrix(5, ColApproachStraight), QString());  // a pedestrian stream
        QCOMPARE(w->grdStrumienie->TextMatrix(5, ColClearStraight), QStringLiteral("1.40"));
        QCOMPARE(w->cmbNo->currentText(), QStringLiteral("12"));
        QVERIFY(!w->cmbNo->isEditable());
        QCOMPARE(w->panelStan->text(), doc().name());
        QCOMPARE(w->grdStrumienie->colWidthTwips(ColVehicleLength), 0);  // details hidden
        QVERIFY(common::IsMouseWheelHooked(w.get()));
        // No stream selected yet: the stream commands are off, the others on.
        QVERIFY(!w->action(QStringLiteral("mnuEdycja_Detektory"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("mnuOpcje_Konfiguracja"))->isEnabled());
        w->grdStrumienie->setCurrent(3, ColName);
        QCOMPARE(w->GridStreamName, QStringLiteral("K2"));
        QCOMPARE(w->lblWybranyStrumien->text(), QStringLiteral("K2"));
        QVERIFY(w->action(QStringLiteral("mnuEdycja_Detektory"))->isEnabled());
        QVERIFY(w->CellReadOnly);  // the name is never edited
        QCOMPARE(w->grdStrumienie->cellBackColor(3, ColName), QColor(0, 255, 255));
        w->grdStrumienie->setCurrent(3, ColGroup);
        QCOMPARE(w->grdStrumienie->cellBackColor(3, ColName), w->DefaultCellBackColor);
        w->grdStrumienie->setCurrent(5, ColApproachStraight);
        QVERIFY(w->CellReadOnly);  // a pedestrian's approach speed
        w->grdStrumienie->setCurrent(5, ColClearStraight);
        QVERIFY(!w->CellReadOnly);
        w->close();
    }

    void groupEditSpreadsToVariantsAndReachesTheBlock() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        typeInto(*w, 1, ColGroup, QStringLiteral("7"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))].Group, 7);
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1[2]")))].Group, 7);
        QCOMPARE(w->grdStrumienie->TextMatrix(1, ColGroup), QStringLiteral("7"));
        QCOMPARE(w->grdStrumienie->TextMatrix(2, ColGroup), QStringLiteral("7"));
        QCOMPARE(attribute(attributeRef, QStringLiteral("GRUPY")), QStringLiteral("K1:7^K2:2^K10:2^P1:5^"));

        // Phases of a grouped stream go to its group; the list takes its normal form.
        typeInto(*w, 3, ColPhases, QStringLiteral("3,1"));
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColPhases), QStringLiteral("1,3"));
        QCOMPARE(w->grdStrumienie->TextMatrix(4, ColPhases), QStringLiteral("1,3"));  // K10, group 2
        QCOMPARE(attribute(attributeRef, QStringLiteral("FAZY")),
                 QStringLiteral("K1:1^K2:1,3^K10:1,3^P1:1^"));
        // A stream without a group passes its phases to no other stream.
        typeInto(*w, 6, ColPhases, QStringLiteral("4"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("S1")))].Phases, QStringLiteral("4"));
        int withFour = 0;
        for (int r = 1; r < w->grdStrumienie->Rows(); ++r)
            withFour += w->grdStrumienie->TextMatrix(r, ColPhases) == QStringLiteral("4") ? 1 : 0;
        QCOMPARE(withFour, 1);
        QCOMPARE(w->grdStrumienie->TextMatrix(2, ColPhases), QStringLiteral("1"));  // K1[2] keeps its own

        // Descriptions refuse "^", ":" and control characters, which would break the entries.
        typeInto(*w, 3, ColDescription, QStringLiteral("pr^a:wo"));
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColDescription), QStringLiteral("prawo"));
        QVERIFY(attribute(attributeRef, QStringLiteral("OPISY")).contains(QStringLiteral("K2:prawo^")));

        // Escape drops an edit.
        w->grdStrumienie->setCurrent(3, ColGroup);
        QTest::keyClick(w->grdStrumienie, Qt::Key_9);
        QVERIFY(w->gridEditor->isOpen());
        QTest::keyClick(w->txtEdit, Qt::Key_Escape);
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColGroup), QStringLiteral("2"));
        w->close();
    }

    // Typed phases of a stream without a group reach every variant of its base name at once (the
    // drawing keeps them under that one name); other streams without a group keep theirs.
    void phasesOfAnUngroupedStreamReachItsVariants() {
        addComponent(7, QStringLiteral("^S1[2]"), 0, 30, 10, 30);
        addComponent(8, QStringLiteral("^S2"), 0, 40, 10, 40);
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const int s1 = w->gridRowOfName(QStringLiteral("S1"));
        typeInto(*w, s1, ColPhases, QStringLiteral("3,2"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("S1[2]")))].Phases, QStringLiteral("2,3"));
        QCOMPARE(w->grdStrumienie->TextMatrix(w->gridRowOfName(QStringLiteral("S1[2]")), ColPhases),
                 QStringLiteral("2,3"));
        QCOMPARE(w->grdStrumienie->TextMatrix(w->gridRowOfName(QStringLiteral("S2")), ColPhases), QString());
        QVERIFY(StreamTable[size_t(FindStreamIndex(QStringLiteral("S2")))].Phases.isEmpty());
        QVERIFY(attribute(attributeRef, QStringLiteral("FAZY")).contains(QStringLiteral("S1:2,3^")));
        w->close();
    }

    // The switched commands follow the selected stream, the drop-down buttons and their menus with
    // them; after a command the focus is back in the grid (or in the intersection box when the
    // number is missing); after taking names from the signal heads nothing is selected.
    void commandsFollowTheSelectionAndTheFocusComesBack() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QStringList switched{"mnuWidok_Zaznacz", "mnuWidok_WskazStrumien", "mnuWidok_OdznaczWszystkieStrumienie",
                                   "mnuWidok_PokazWszystkie", "mnuWidok_UkryjNiezaznaczone",
                                   "mnuEdycja_ZaznaczoneDoGrupy", "mnuEdycja_ZaznaczoneDoFazy",
                                   "WskazStrumien", "OdznaczWszystkie"};
        const QStringList always{"mnuWidok_PokazOdcinki", "mnuWidok_PokazPunkty", "mnuEdycja_KopiujStrumien",
                                 "mnuNarzedzia_EksportExcelFazy"};
        const QStringList dropDowns{"ZaznaczStrumien", "WrysujOdcinek", "Tnij", "EksportExcel"};
        const auto expectStates = [&](bool on) {
            for (const QString& id : switched) QVERIFY2(w->action(id)->isEnabled() == on, qPrintable(id));
            for (const QString& id : always) QVERIFY2(w->action(id)->isEnabled(), qPrintable(id));
            for (const QString& id : dropDowns) {
                QAction* button = w->action(id);
                QWidget* widget = nullptr;
                for (QToolBar* bar : w->findChildren<QToolBar*>())
                    if (QWidget* b = bar->widgetForAction(button)) widget = b;
                QVERIFY2(widget && widget->isEnabled() == on, qPrintable(id));
                for (QAction* entry : button->menu()->actions())
                    QVERIFY2(entry->isEnabled() == on, qPrintable(id + QStringLiteral(" ") + entry->text()));
            }
        };
        expectStates(false);
        w->grdStrumienie->setFocus();
        w->grdStrumienie->setCurrent(3, ColGroup);
        expectStates(true);

        QVERIFY(w->RunCommand(QStringLiteral("mnuWidok_PokazWszystkie")));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->grdStrumienie));
        QTest::keyClick(w->grdStrumienie, Qt::Key_7);  // the next digit edits the cell
        QVERIFY(w->gridEditor->isOpen());
        QTest::keyClick(w->txtEdit, Qt::Key_Escape);

        QVERIFY(w->RunCommand(QStringLiteral("mnuEdycja_Pobierz")));  // no heads in this drawing
        QVERIFY(w->GridStreamName.isEmpty());
        QVERIFY(w->lblWybranyStrumien->text().isEmpty());
        expectStates(false);

        IntersectionNumber.clear();
        prompts->clear();
        QVERIFY(w->RunCommand(QStringLiteral("mnuEdycja_NowyStrumien")));
        QCOMPARE(prompts->messageTexts(), QStringList{QStringLiteral("Nieprawidłowy numer skrzyżowania!")});
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->cmbNo));
        w->close();
    }

    // The four drop-down buttons: a click on the main part runs the button's command, the arrow
    // lists the entries themselves.
    void dropDownButtonsRunTheirCommandAndListTheirEntries() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QList<std::pair<QString, QStringList>> dropDowns{
            {"ZaznaczStrumien", {"Zaznacz strumień", "Zaznacz grupę", "Zaznacz fazę", "Zaznacz aktywną fazę"}},
            {"WrysujOdcinek", {"linia", "łuk", "polilinia"}},
            {"Tnij", {"Tnij wszystkie strumienie", "Tnij zaznaczone strumienie"}},
            {"EksportExcel", {"Eksport danych", "Eksport informacji o fazach"}}};
        w->grdStrumienie->setCurrent(w->gridRowOfName(QStringLiteral("K2")), ColName);
        for (const auto& [key, entries] : dropDowns) {
            QToolButton* b = toolButton(*w, key);
            QVERIFY2(b && b->isEnabled(), qPrintable(key));
            QCOMPARE(popupOf(b, partOf(b, QStyle::SC_ToolButtonMenu)), entries);
        }

        const QString k2Block = QStringLiteral("12^STRUMIEN_5^K2");
        QVERIFY(colorOf(k2Block) != common::Settings.PisakZaznaczenia);
        QVERIFY(popupOf(toolButton(*w, QStringLiteral("ZaznaczStrumien")),
                        partOf(toolButton(*w, QStringLiteral("ZaznaczStrumien")), QStyle::SC_ToolButton))
                    .isEmpty());
        QCOMPARE(colorOf(k2Block), common::Settings.PisakZaznaczenia);  // highlighted in the drawing

        const int k2 = FindStreamIndex(QStringLiteral("K2"));
        const int segments = StreamTable[size_t(k2)].SegmentCount;
        picks.point(20, 10).point(20, 20);
        QTest::mouseClick(toolButton(*w, QStringLiteral("WrysujOdcinek")), Qt::LeftButton, {},
                          partOf(toolButton(*w, QStringLiteral("WrysujOdcinek")), QStyle::SC_ToolButton));
        QCOMPARE(StreamTable[size_t(k2)].SegmentCount, segments + 1);  // a line drawn

        // The cut asks first; the export tells what it lacks in this test folder (its template).
        const QList<std::pair<QString, QString>> told{
            {QStringLiteral("Tnij"), QStringLiteral("Uwaga!\nPo \"cięciu\"")},
            {QStringLiteral("EksportExcel"), QString()}};
        for (const auto& [key, first] : told) {
            prompts->clear();
            QToolButton* b = toolButton(*w, key);
            QTest::mouseClick(b, Qt::LeftButton, {}, partOf(b, QStyle::SC_ToolButton));
            QVERIFY2(!prompts->asked().empty(), qPrintable(key));
            QVERIFY2(prompts->asked().front().text.startsWith(first), qPrintable(prompts->asked().front().text));
        }
        w->close();
    }

    // A click on a cell opens its editor; a command from a toolbar button or a menu then gives the
    // keyboard back to that cell, so the next digit typed edits it.
    void aCommandGivesTheKeyboardBackToTheClickedCell() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const int row = w->gridRowOfName(QStringLiteral("K2"));
        const auto typeIntoFocus = [](const QString& text) {
            for (const QChar ch : text) {
                QWidget* focus = QApplication::focusWidget();
                QVERIFY2(focus, "nothing has the keyboard");
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(focus, &press);
            }
            QVERIFY(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        const QList<std::pair<QString, std::function<void()>>> commands{
            {QStringLiteral("toolbar button"),
             [&] { QTest::mouseClick(toolButton(*w, QStringLiteral("OdznaczWszystkie")), Qt::LeftButton); }},
            {QStringLiteral("menu item"), [&] { w->action(QStringLiteral("mnuWidok_PokazWszystkie"))->trigger(); }}};
        int group = 7;
        for (const auto& [how, run] : commands) {
            const QRect cell = w->grdStrumienie->cellRectInViewport(row, ColGroup);
            QTest::mouseClick(w->grdStrumienie->viewport(), Qt::LeftButton, {}, cell.center());
            QVERIFY2(w->gridEditor->isOpen(), qPrintable(how));
            run();
            typeIntoFocus(QString::number(group));
            QCOMPARE(w->grdStrumienie->TextMatrix(row, ColGroup), QString::number(group));
            QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K2")))].Group, group);
            ++group;
            w->grdStrumienie->setCurrent(1, ColName);  // elsewhere, so the next click selects the cell
        }
        w->close();
    }

    // The drawing saved under another name in the CAD: back in the window, the panel shows the new name.
    void thePanelFollowsTheDrawingSavedUnderAnotherName() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QString old = doc().name();
        QCOMPARE(w->panelStan->text(), old);
        QWidget cadWindow;  // the user works in the CAD meanwhile
        cadWindow.show();
        cadWindow.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&cadWindow));
        doc().saveAs(dir->filePath(QStringLiteral("Skrzyżowanie 12.dxf")));
        QCOMPARE(doc().name(), QStringLiteral("Skrzyżowanie 12.dxf"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(w->panelStan->text(), QStringLiteral("Skrzyżowanie 12.dxf"));
        w->close();
    }

    // With the CAD host gone every kind of entry point tells the Polish message and the program goes
    // on: the intersection box, a grid edit, the timer awaiting a drawing command, a menu command.
    void aLostHostIsToldAtEveryEntryPoint() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->grdStrumienie->setCurrent(w->gridRowOfName(QStringLiteral("K2")), ColName);
        picks.point(20, 10).point(25, 15).point(30, 10);
        QVERIFY(w->RunCommand(QStringLiteral("mnuEdycja_WrysujSkladnik_Luk")));
        QVERIFY(w->DrawingInProgress);
        prompts->clear();
        test::HostGone gone;
        const auto toldOnce = [&](const char* where) {
            const QStringList told = prompts->messageTexts();
            QVERIFY2(told.size() == 1 && told[0].contains(test::HostGone::Message()),
                     qPrintable(QString::fromUtf8(where) + QStringLiteral(": ") + told.join(QStringLiteral(" | "))));
            prompts->clear();
            QVERIFY(w->isVisible());
        };
        QTRY_VERIFY(!w->DrawingInProgress);
        QVERIFY(!RunNextTimerActive());
        toldOnce("timer");

        emit w->cmbNo->activated(0);
        toldOnce("intersection box");
        QVERIFY(w->panelStan->pixmap().isNull());  // the notice no longer flashes

        typeInto(*w, 3, ColGroup, QStringLiteral("4"));
        toldOnce("grid edit");

        w->grdStrumienie->setCurrent(3, ColName);
        w->RunCommand(QStringLiteral("mnuEdycja_WrysujSkladnik_Odcinek"));
        toldOnce("menu command");

        // "Nowy strumień" tells it before its dialog takes any input.
        bool dialogOpened = false;
        QTimer::singleShot(0, w.get(), [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialogOpened = true;
                d->reject();
            }
        });
        w->RunCommand(QStringLiteral("mnuEdycja_NowyStrumien"));
        toldOnce("new stream");
        QVERIFY(!dialogOpened);
        w->close();
    }

    void kmhColumnStoresMetresPerSecond() {
        common::PutIni(QDir(programFolder).filePath(QStringLiteral("Tesmar.ini")),
                       QStringLiteral("Tesmar Ziziro Zedivir"), QStringLiteral("kmh"), QStringLiteral("1"));
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(!w->cmdZmienJednostki->isVisible());  // the units button comes with the details
        w->cmdBig_Click();
        QVERIFY(w->DetailsShown);
        QVERIFY(w->cmdZmienJednostki->isVisible());
        w->grdStrumienie->setCurrent(3, ColName);
        QVERIFY(w->RunCommand(QStringLiteral("mnuWidok_PokazWszystkie")));  // a view change keeps it
        QVERIFY(w->cmdZmienJednostki->isVisible());
        QVERIFY(w->grdStrumienie->colWidthTwips(ColApproachStraight) > 0);
        QCOMPARE(w->grdStrumienie->TextMatrix(0, ColApproachStraight), QStringLiteral("vd"));
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColApproachStraight), QStringLiteral("50"));  // 13.89 m/s
        typeInto(*w, 3, ColApproachStraight, QStringLiteral("72"));
        const StreamRecord& k2 = StreamTable[size_t(FindStreamIndex(QStringLiteral("K2")))];
        QCOMPARE(k2.ApproachStraightSpeed, 20.0);
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColApproachStraight), QStringLiteral("72"));
        QCOMPARE(attribute(attributeRef, QStringLiteral("PROSTA_DOJAZD")), QStringLiteral("K2:20.00^"));
        QCOMPARE(w->width(), 9000 / TwipsPerPixel);
        // The unit switch shows the same values in m/s; the records keep m/s throughout.
        QCOMPARE(w->cmdZmienJednostki->text(), QStringLiteral("Zmień na: m/s"));
        w->cmdZmienJednostki_Click();
        QCOMPARE(w->cmdZmienJednostki->text(), QStringLiteral("Zmień na: km/h"));
        const int k2Row = w->gridRowOfName(QStringLiteral("K2"));
        QCOMPARE(w->grdStrumienie->TextMatrix(k2Row, ColApproachStraight), QStringLiteral("20.00"));
        QCOMPARE(w->grdStrumienie->TextMatrix(k2Row, ColClearStraight),
                 QStringLiteral("11.11"));  // the default
        w->close();
    }

    void deleteClearsGroupsAndPhasesButNeverNames() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        ui::FlexGrid* g = w->grdStrumienie;
        g->setFocus();
        g->setCurrent(3, ColDescription);
        g->setRangeSelected(
            QTableWidgetSelectionRange(g->tableRow(3), g->tableCol(0), g->tableRow(4), g->tableCol(3)), true);
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(g->TextMatrix(3, ColName), QStringLiteral("K2"));
        QCOMPARE(g->TextMatrix(4, ColName), QStringLiteral("K10"));
        QCOMPARE(g->TextMatrix(3, ColGroup), QString());
        QCOMPARE(g->TextMatrix(4, ColPhases), QString());
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K10")))].Group, 0);
        QCOMPARE(attribute(attributeRef, QStringLiteral("GRUPY")), QStringLiteral("K1:1^K2:^K10:^P1:5^"));
        QCOMPARE(attribute(attributeRef, QStringLiteral("FAZY")), QStringLiteral("K1:1^K2:^K10:^P1:1^"));
        w->close();
    }

    void wheelScrollsTheGridWhenItIsActive() {
        for (int i = 0; i < 40; ++i) {
            const QString name = QStringLiteral("^K%1").arg(20 + i);
            addComponent(20 + i, name, 0, i, 1, i);
        }
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->grdStrumienie->setFocus();
        QCOMPARE(w->grdStrumienie->TopRow(), 1);
        QPointF pos(5, 5);
        QWheelEvent wheel(pos, w->grdStrumienie->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->grdStrumienie->viewport(), &wheel);
        QCOMPARE(w->grdStrumienie->TopRow(), 4);
        w->close();
    }

    void secondStartIsRefusedAndLeavesTheSettingsAlone() {
        const QString ini = QDir(programFolder).filePath(QStringLiteral("Tesmar.ini"));
        common::PutIni(ini, QStringLiteral("Tesmar Ziziro Zedivir"), QStringLiteral("Okno_Glowne_Lewy"),
                       QStringLiteral("4500"));
        QLockFile other(common::SingleInstanceLockPath(QStringLiteral("conflictor")));
        QVERIFY(other.tryLock(0));
        auto w = start(false);
        QVERIFY(!w->isVisible());
        QCOMPARE(prompts->asked().size(), size_t(1));
        const auto& asked = prompts->asked().front();
        QCOMPARE(asked.title, QStringLiteral("Tesmar Ziziro Zedivir - ponowne uruchomienie"));
        QVERIFY(asked.text.startsWith(
            QStringLiteral("Uwaga! Ponowne uruchomienie już pracującej aplikacji.\r\n")));
        QCOMPARE(asked.text.count(QStringLiteral("Tesmar Ziziro Zedivir")), 2);
        QCOMPARE(asked.flags & ui::Exclamation, int(ui::Exclamation));
        w.reset();
        QCOMPARE(common::GetIni(ini, QStringLiteral("Tesmar Ziziro Zedivir"),
                                QStringLiteral("Okno_Glowne_Lewy"), {}),
                 QStringLiteral("4500"));
        QCOMPARE(common::GetIni(ini, QStringLiteral("Tesmar Ziziro Zedivir"), QStringLiteral("NaWierzchu"),
                                QStringLiteral("<none>")),
                 QStringLiteral("<none>"));
        other.unlock();
        auto again = start();  // the lock is free again
        QVERIFY(again->isVisible());
        again->close();
    }

    void shutDownWritesTheWindowKeys() {
        auto w = start();
        w->move(200, 120);
        typeInto(*w, 1, ColGroup, QStringLiteral("3"));
        w->grdStrumienie->setCurrent(1, ColGroup);
        QTest::keyClick(w->grdStrumienie, Qt::Key_4);  // left open: the shut-down stores it
        w->close();
        const QString ini = QDir(programFolder).filePath(QStringLiteral("Tesmar.ini"));
        const QString section = QStringLiteral("Tesmar Ziziro Zedivir");
        QCOMPARE(common::GetIni(ini, section, QStringLiteral("NaWierzchu"), {}), QStringLiteral("0"));
        QCOMPARE(common::GetIni(ini, section, QStringLiteral("Okno_Glowne_Lewy"), {}),
                 QString::number(w->x() * TwipsPerPixel));
        QCOMPARE(common::GetIni(ini, section, QStringLiteral("Okno_Glowne_Gora"), {}),
                 QString::number(w->y() * TwipsPerPixel));
        QCOMPARE(common::GetIni(ini, section, QStringLiteral("kmh"), {}), QStringLiteral("0"));
        QCOMPARE(common::GetIni(ini, section, QStringLiteral("edtWspPoczatek"), {}), QStringLiteral("1"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))].Group, 4);
        QVERIFY(!common::IsMouseWheelHooked(w.get()));
        // The next start reads the position back.
        auto next = start();
        QCOMPARE(next->x(), w->x());
        next->close();
    }

    void newIntersectionGetsItsBlockAndAnEmptyGrid() {
        auto w = start();
        const int refreshes = w->GridRefreshCount;
        w->cmbNo_Click();  // choosing the current intersection reads it again
        QVERIFY(w->GridRefreshCount > refreshes);
        QCOMPARE(gridNames(*w).size(), 6);

        prompts->answerInput(QStringLiteral("1*2"));  // refused: not a letter, digit or "-"
        w->cmdAddNo_Click();
        QCOMPARE(w->cmbNo->count(), 1);
        prompts->clear();
        prompts->answerInput(QStringLiteral("7-A"));
        picks.point(300, 300);
        w->cmdAddNo_Click();
        QCOMPARE(w->cmbNo->count(), 2);
        QCOMPARE(w->cmbNo->currentText(), QStringLiteral("7-A"));
        QCOMPARE(IntersectionNumber, QStringLiteral("7-A"));
        QCOMPARE(w->grdStrumienie->Rows(), 1);  // only the header
        QCOMPARE(w->grdStrumienie->FixedRows(), 0);
        QVERIFY(!automation::GetBlockDefinition(QStringLiteral("ATRYBUTY_STRUMIENI_7-A")).isNull());
        QVERIFY(w->isVisible());
        // Back to the first intersection: its streams return.
        w->selectIntersection(0);
        QCOMPARE(gridNames(*w).size(), 6);
        w->close();
    }

    // Reading every stream again (as the cut and the exports do) shows the drawing's streams in the
    // grid as read: one drawn meanwhile joins, none is listed twice.
    void readingEveryStreamShowsTheDrawingsStreamsOnce() {
        auto w = start();
        addComponent(7, QStringLiteral("^K3"), 40, 0, 40, 10);
        QVERIFY(OdczytajStrumienie(false, -1));
        QCOMPARE(gridNames(*w), (QStringList{"K1", "K1[2]", "K2", "K3", "K10", "P1", "S1"}));
        QCOMPARE(w->grdStrumienie->FixedRows(), 1);
        w->close();
    }

    void sampleDrawingFillsTheGrid() {
        automation::CadApplication.documents().open(QStringLiteral(SUITE_SOURCE_DIR) +
                                                    QStringLiteral("/resources/Tesmar/Zasoby/Przyklad.dxf"));
        auto w = start();
        QCOMPARE(w->cmbNo->currentText(), QStringLiteral("1"));
        // Each crossing is two streams of one group, along the two edges of its zebra.
        QCOMPARE(gridNames(*w), (QStringList{"K1", "K1[2]", "K2", "K3", "K4", "P1", "P1[2]", "P2", "P2[2]"}));
        QCOMPARE(w->grdStrumienie->TextMatrix(2, ColGroup), QStringLiteral("1"));
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColPhases), QStringLiteral("2"));
        QCOMPARE(w->grdStrumienie->TextMatrix(3, ColDescription), QStringLiteral("w lewo"));
        const StreamRecord& k2 = StreamTable[size_t(FindStreamIndex(QStringLiteral("K2")))];
        QCOMPARE(k2.SegmentCount, 3);  // line, arc and the exit shared with K4
        w->close();
    }

    void helpOpensThePageOfTheContext() {
        const QString page = dir->filePath(QStringLiteral("Tesmar/Zasoby/Pomoc/10003.html"));
        QFile f(page);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html></html>");
        f.close();
        QUrl opened;
        common::SetHelpOpener([&](const QUrl& url) {
            opened = url;
            return true;
        });
        auto w = start();
        QVERIFY(w->RunCommand(QStringLiteral("mnuPomoc_Pomocnik")));
        QCOMPARE(opened.toLocalFile(), QFileInfo(page).absoluteFilePath());
        QCOMPARE(prompts->asked().size(), size_t(0));
        // No browser opens it: the user is told where the page is.
        common::SetHelpOpener([](const QUrl&) { return false; });
        QVERIFY(w->RunCommand(QStringLiteral("mnuPomoc_Pomocnik")));
        QCOMPARE(prompts->messageTexts(),
                 QStringList{QStringLiteral("Żadna przeglądarka nie otworzyła strony pomocy.\nStrona pomocy: ") +
                             QDir::toNativeSeparators(QFileInfo(page).absoluteFilePath())});
        QCOMPARE(prompts->asked().back().title, w->windowTitle());
        // F1 in the window says the same.
        const QStringList told = prompts->messageTexts();
        prompts->clear();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        QCOMPARE(prompts->messageTexts(), told);
        QCOMPARE(prompts->asked().back().title, w->windowTitle());
        common::SetHelpOpener({});
        QVERIFY(!w->RunCommand(QStringLiteral("mnuNieMaTakiej")));
        w->close();
    }

    void theNewIntersectionBoxIsAsWideAsItsTitle() {
        auto w = start();
        // The real input box, as the user sees it after "+".
        ui::WidgetPrompts widgets;
        ui::PromptService* scripted = ui::SetPromptService(&widgets);
        int titleWidth = 0, boxWidth = 0;
        QString title;
        QTimer::singleShot(50, [&] {
            auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            titleWidth = QFontMetrics(box->font()).horizontalAdvance(title);
            boxWidth = box->width();
            box->reject();
        });
        w->cmdAddNo_Click();
        ui::SetPromptService(scripted);
        QCOMPARE(title, w->windowTitle());
        QVERIFY(title.endsWith(common::GetVersionText()));
        // The title bar's icon and three buttons take about 100 pixels beside the text.
        QVERIFY2(boxWidth >= titleWidth + 100, qPrintable(QStringLiteral("%1 < %2 + 100").arg(boxWidth).arg(titleWidth)));
        QCOMPARE(w->cmbNo->count(), 1);
        w->close();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
