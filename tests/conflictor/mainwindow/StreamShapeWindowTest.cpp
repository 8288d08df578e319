// conflictor's window on the sample intersection: cut, one piece of K3 erased, then "Eksport danych"
// from the menu names the gap in K3 with its point, highlights the stream and writes nothing.
#include "automation/Automation.h"
#include "common/ProgramSettings.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamShape.h"
#include "../ConflictorWindowFixture.h"
#include "WindowCut.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QtTest>
#include <memory>

using namespace conflictor;

class StreamShapeWindowTest : public QObject, test::ConflictorWindowFixture {
    Q_OBJECT

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

    void cleanup() { detachCad(); }

    void theExportNamesAPieceErasedAfterTheCutAndWritesNothing() {
        auto w = test::startAndCut(*dir, *prompts);  // cut from the toolbar
        QVERIFY(w);
        QCOMPARE(prompts->messageTexts().value(1), QStringLiteral("Zakończono operację cięcia."));

        // K3's second piece from its start marker erased, as "_erase" would.
        QVERIFY(OdczytajStrumienie(false, -1));
        const int k3 = FindStreamIndex(QStringLiteral("K3"));
        QVERIFY(k3 >= 0);
        SortujOdcinkiStrumienia(k3);
        const StreamRecord r = StreamTable[size_t(k3)];
        QVERIFY(r.SegmentCount >= 3);
        const SegmentRecord* first = nullptr;
        const SegmentRecord* second = nullptr;
        for (int k = 1; k <= r.SegmentCount; ++k) {
            if (r.Segments[size_t(k)].Order == 1) first = &r.Segments[size_t(k)];
            if (r.Segments[size_t(k)].Order == 2) second = &r.Segments[size_t(k)];
        }
        QVERIFY(first && second);
        const common::PlanePoint gap =
            common::ArePointsEqual(first->StartPoint, r.StartPoint) ? first->EndPoint : first->StartPoint;
        automation::CadDocument.handleToObject(second->Handle).erase();

        QAction* exportEntry = menuEntry(*w, QStringLiteral("mnuNarzedzia_Eksport"), QStringLiteral("Eksport danych"));
        QVERIFY(exportEntry && exportEntry->isEnabled());
        prompts->clear();
        prompts->answerMessage(ui::Ok);
        exportEntry->trigger();
        // The stream is checked before anything else of the export is asked or told.
        const QStringList told = prompts->messageTexts();
        QVERIFY2(told.size() == 1, qPrintable(told.join(QStringLiteral(" | "))));
        QCOMPARE(told[0], QStringLiteral("K3: Niepoprawny strumień. Strumień ma przerwę: ciąg jego składowych urywa się "
                                         "w punkcie %1, a pozostałe składowe (%2) nie łączą się z nim.\n"
                                         "Skoroszyt nie został zapisany. Należy poprawić strumień, wykonać cięcie, "
                                         "a następnie eksport.")
                              .arg(PointText(gap))
                              .arg(r.SegmentCount - 2));
        QCOMPARE(prompts->asked().back().title, w->windowTitle());
        QCOMPARE(prompts->unexpected(), 0);
        QVERIFY(QDir(dir->path()).entryList({QStringLiteral("*.xlsx")}).isEmpty());
        // The stream is highlighted: its first piece drawn with the selection pen.
        QCOMPARE(automation::CadDocument.handleToObject(first->Handle).color(), common::Settings.PisakZaznaczenia);
        w->close();
    }
};

QTEST_MAIN(StreamShapeWindowTest)
#include "StreamShapeWindowTest.moc"
