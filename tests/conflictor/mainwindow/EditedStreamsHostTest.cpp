// conflictor's window on the sample intersection open in cadhost: after the cut the engineer moves
// the crossing P1 (both edges) 3 m west and scales P2 (both edges) twice about its middle with
// cadhost's own "_move" and "_scale"; "Eksport danych" names the moved streams and offers the cut,
// and the workbook written after it (P2 measured 14 m long) equals the one exported from the same
// drawing with the new geometry written into the component blocks at the origin.
#include "../../cadhost/HostFixture.h"
#include "../ConflictorWindowFixture.h"
#include "WindowCut.h"
#include "../export/WorkbookValues.h"
#include "automation/Automation.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/InProcessChannel.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace conflictor;

class EditedStreamsHostTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

    static QAction* menuEntry(ConflictorWindow& w, const QString& menu, const QString& text) {
        for (QAction* a : w.menu(menu)->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    // The line of the component block whose name ends with `suffix`, redrawn from (x1, y1) to (x2, y2).
    static void redrawInBlock(const QString& suffix, double x1, double y1, double x2, double y2) {
        for (const cad::Block& b : automation::CadDocument.blocks().all()) {
            if (!b.name().startsWith(QStringLiteral("1^STRUMIEN_")) || !b.name().endsWith(suffix)) continue;
            for (const cad::Entity& e : b.entities()) {
                e.setStartPoint(cad::Point{x1, y1, 0});
                e.setEndPoint(cad::Point{x2, y2, 0});
            }
            return;
        }
        QFAIL(qPrintable(QStringLiteral("no block ") + suffix));
    }

private slots:
    void init() {
        makeProgramFolder();
        QVERIFY(copyTemplateAndSample({QStringLiteral("Przyklad.dxf"), QStringLiteral("Przyklad-w-blokach.dxf")}));
    }

    void streamsMovedAndScaledInCadhostAfterTheCutAreExportedAsDrawn() {
        HostFixture host;
        cad::InProcessChannel channel(host.model);
        attachCad();
        automation::SetCadConnector({[&channel] { return cad::Application(&channel); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
        QVERIFY(host.window->openFile(dir->filePath(QStringLiteral("Przyklad.dxf"))));

        auto w = test::startAndCut(*dir, *prompts);  // cut from the toolbar
        QVERIFY(w);
        QCOMPARE(prompts->messageTexts().value(1), QStringLiteral("Zakończono operację cięcia."));

        // In cadhost: P1 and P1[2] (x -17.5 and -21.5) 3 m west, P2 and P2[2] (7 m at y 21 and 25)
        // twice as long about their middles.
        host.changed();
        host.view()->setSnapEnabled(false);
        host.zoomTo(-60, -60, 60, 60);
        for (const char* typed : {"_move", "-17.5,6.5", "-21.5,6.5", "", "0,0", "-3,0", "_scale", "-3,21", "",
                                  "0,21", "2", "_scale", "-3,25", "", "0,25", "2"})
            host.window->submitText(QString::fromLatin1(typed));
        QCOMPARE(host.window->promptText(), QStringLiteral("Polecenie:"));

        // "Eksport danych": the moved crossing named first, with the question
        // (P2 meets the others where it did: its conflict points stand, only its length changed).
        QAction* exportEntry = menuEntry(*w, QStringLiteral("mnuNarzedzia_Eksport"), QStringLiteral("Eksport danych"));
        QVERIFY(exportEntry && exportEntry->isEnabled());
        prompts->clear();
        prompts->answerMessage(ui::No);
        exportEntry->trigger();
        const QString asked = prompts->asked().back().text;
        QVERIFY2(asked.contains(QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: ")), qPrintable(asked));
        for (const char* name : {"P1", "P1[2]"})
            QVERIFY2(asked.contains(QString::fromLatin1(name) + QStringLiteral(" (przesunięty lub zmieniony)")),
                     qPrintable(asked));
        QVERIFY(asked.endsWith(QStringLiteral("Czy wykonać cięcie teraz?")));
        QVERIFY(QDir(dir->path()).entryList({QStringLiteral("*.xlsx")}).isEmpty());

        // Yes: the cut, then the workbook.
        const QString target = dir->filePath(QStringLiteral("Przyklad.xlsx"));
        prompts->clear();
        // The last Ok: no spreadsheet application opens the workbook here, and the export says where it is.
        for (int answer : {ui::Yes, ui::Yes, ui::Ok, ui::Ok, ui::Ok}) prompts->answerMessage(answer);
        prompts->answerFile(target);
        exportEntry->trigger();
        QVERIFY2(prompts->messageTexts().contains(QStringLiteral("Zakończono operację cięcia.")),
                 qPrintable(prompts->messageTexts().join(QStringLiteral(" | "))));
        QCOMPARE(prompts->unexpected(), 0);
        QVERIFY(QFile::exists(target));
        w->close();

        // The same drawing with the moved and scaled crossings written into their blocks at the
        // origin, cut and exported by the headless tool.
        const QString same = dir->filePath(QStringLiteral("Przyklad-w-blokach.dxf"));
        QVERIFY(host.window->openFile(same));
        QVERIFY(automation::CheckDocumentOpen(false));
        redrawInBlock(QStringLiteral("^P1"), -20.5, -7, -20.5, 7);
        redrawInBlock(QStringLiteral("^P1[2]"), -24.5, -7, -24.5, 7);
        redrawInBlock(QStringLiteral("^P2"), -7, 21, 7, 21);
        redrawInBlock(QStringLiteral("^P2[2]"), -7, 25, 7, 25);
        automation::CadDocument.save();
        const QString expected = dir->filePath(QStringLiteral("w-blokach.xlsx"));
        QProcess tool;
        tool.start(QStringLiteral(HEADLESS_TOOL),
                   {same, QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--cut"),
                    QStringLiteral("--export"), expected, QStringLiteral("--resources"),
                    QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby")});
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        QCOMPARE(test::WorkbookValues(target), test::WorkbookValues(expected));
        detachCad();
    }
};

QTEST_MAIN(EditedStreamsHostTest)
#include "EditedStreamsHostTest.moc"
