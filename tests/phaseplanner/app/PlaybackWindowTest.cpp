// frmMain's playback and cycle controls on the in-process CAD, offscreen: the program drawn in the
// drawing is read at start-up, stepping by states, the speeds, the streams coloured and restored,
// adding seconds at the shown second redraws the program, the shift controls off with no second.
#include "ProgramDrawingSetup.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/PlaybackControls.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "platform/ui/core/Prompt.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace phaseplanner;

class PlaybackWindowTest : public QObject, protected test::ProgramDrawingSetup {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openProgramDrawing()); }
    void cleanup() {
        closeSession();
        GroupTable.clear();
        IntersectionNumber.clear();
        ResetPlayback();
        common::IniFilePath.clear();
    }

    void playsTheProgramReadFromTheDrawing() {
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        QCOMPARE(DefinedGroupCount(), 2);  // read back at start-up
        PlaybackControls* p = w.playback();
        QVERIFY(p);
        QVERIFY(!p->cmdDodajSek->isEnabled());  // no second shown
        // Stepping by states from -1: 0, then the last second of the first state, ...
        QList<int> visited;
        for (int i = 0; i < 4; ++i) {
            p->cmdStanPrawo->click();
            visited << w.stateSlider()->value();
        }
        QCOMPARE(visited, (QList<int>{0, 20, 21, 29}));
        QVERIFY(p->cmdDodajSek->isEnabled());
        QCOMPARE(streams["7^STRUMIEN_1^K1"].color(), 256);
        QCOMPARE(streams["7^STRUMIEN_2^K2"].color(), 256);
        w.stateSlider()->setValue(10);
        QCOMPARE(streams["7^STRUMIEN_1^K1"].color(), 3);
        QCOMPARE(streams["7^STRUMIEN_2^K2"].color(), 256);
        // The timer at the last second goes on at 0.
        w.stateSlider()->setValue(80);
        p->tick();
        QCOMPARE(w.stateSlider()->value(), 0);
        // Speeds x1, x2, x3 and back.
        for (int interval : {500, 333, 1000}) {
            p->cmdSpeed->click();
            QCOMPARE(p->timerPlay->interval(), interval);
        }
        QCOMPARE(p->cmdSpeed->text(), QStringLiteral("x1"));
        p->cmdPlaySekunda->click();
        QVERIFY(p->IsPlaying && p->timerPlay->isActive());
        p->cmdPlaySekunda->click();
        QVERIFY(!p->IsPlaying && !p->timerPlay->isActive());
        // Second -1 restores every colour.
        w.stateSlider()->setValue(-1);
        QCOMPARE(streams["7^STRUMIEN_1^K1"].color(), 256);
        QVERIFY(!p->cmdOdejmijSek->isEnabled());
        w.Form_Unload();
    }

    void addingSecondsRedrawsAndRecolours() {
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        PlaybackControls* p = w.playback();
        w.stateSlider()->setValue(35);
        QCOMPARE(streams["7^STRUMIEN_2^K2"].color(), 3);
        p->edtZmianaSek->setText(QStringLiteral("5"));
        p->cmdDodajSek->click();
        QCOMPARE(CycleLength, 85);
        QCOMPARE(GroupTable[1].Greens[1].Length, 25);
        QCOMPARE(w.cycleBox()->text(), QStringLiteral("85"));
        // The drawing follows: read back, the group's green is the new one.
        GroupTable.clear();
        w.mnuDane_Pobierz_Click();
        QCOMPARE(CycleLength, 85);
        QCOMPARE(GroupTable[1].Greens[1].Start, 30);
        QCOMPARE(GroupTable[1].Greens[1].Length, 25);
        QCOMPARE(GroupTable[0].Greens[1].Length, 20);
        // Removing never goes below the minimum cycle: refused with the reason, nothing removed.
        w.stateSlider()->setValue(10);
        p->edtZmianaSek->setText(QStringLiteral("72"));
        prompts->answerMessage(ui::Ok);
        p->cmdOdejmijSek->click();
        QCOMPARE(prompts->messageTexts(),
                 QStringList{"Nieprawidłowa wartość długości cyklu!\nMinimalna długość cyklu wynosi: 14 [s]"});
        QCOMPARE(CycleLength, 85);
        QCOMPARE(GroupTable[1].Greens[1].Length, 25);
        p->edtZmianaSek->setText(QStringLiteral("71"));
        p->cmdOdejmijSek->click();
        QCOMPARE(CycleLength, MinCycleLength);
        for (const GroupRecord& g : GroupTable)
            if (g.Defined) QVERIFY(g.Greens[1].Length >= 0);
        // The add and remove controls sit in their own frame.
        auto* frame = w.findChild<QGroupBox*>(QStringLiteral("Frame2"));
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("sek. -/+"));
        QCOMPARE(p->cmdDodajSek->parentWidget(), frame);
        QCOMPARE(p->edtZmianaSek->parentWidget(), frame);
        w.Form_Unload();
    }

    void buttonsFollowTheSlider() {
        // A drawing without groups: no states, so neither the slider nor any playback button works.
        GroupTable.clear();
        automation::CadDocument.close();
        automation::CadApplication.documents().add();
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        PlaybackControls* p = w.playback();
        QVERIFY(!w.stateSlider()->isEnabled());
        for (QPushButton* b : {p->cmdStart, p->cmdEnd, p->cmdStanLewo, p->cmdStanPrawo, p->cmdSekundaLewo,
                               p->cmdSekundaPrawo, p->cmdPlayStan, p->cmdPlaySekunda, p->cmdSpeed})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        p->togglePlay(true);  // as a click would: nothing to play, no Stop picture
        QVERIFY(!p->IsPlaying && !p->timerPlay->isActive());
        QCOMPARE(p->cmdPlaySekunda->property("picture").toString(), QStringLiteral("Play"));
        QCOMPARE(p->cmdPlayStan->property("picture").toString(), QStringLiteral("PlayStan"));
        QCOMPARE(automation::CadModelSpace.count(), 0);  // no marker
        // A group with a head symbol brings the states and the buttons.
        GroupTable = {vehicle(QStringLiteral("K1"), 0, 20)};
        w.ComputeProgramStates(false);
        QVERIFY(w.stateSlider()->isEnabled());
        QVERIFY(p->cmdEnd->isEnabled() && p->cmdPlaySekunda->isEnabled());
        p->cmdPlaySekunda->click();
        QVERIFY(p->IsPlaying);
        QCOMPARE(p->cmdPlaySekunda->property("picture").toString(), QStringLiteral("Stop"));
        // Losing the states stops a running playback.
        GroupTable.clear();
        w.ComputeProgramStates(false);
        QVERIFY(!p->IsPlaying && !p->timerPlay->isActive() && !p->cmdPlaySekunda->isEnabled());
        w.Form_Unload();
    }

    void typedCycleMovesOnlyTheEnds() {
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        w.cycleBox()->clear();
        QTest::keyClicks(w.cycleBox(), QStringLiteral("60"));
        QCOMPARE(CycleLength, 60);
        QCOMPARE(GroupTable[1].Greens[1].Start, 30);  // greens stay
        QCOMPARE(w.stateSlider()->maximum(), 60);
        QTest::keyClicks(w.cycleBox(), QStringLiteral("0"));  // 600: out of range, stored only
        QCOMPARE(CycleLength, 600);
        QCOMPARE(w.stateSlider()->maximum(), 60);
        w.Form_Unload();
    }
};

QTEST_MAIN(PlaybackWindowTest)
#include "PlaybackWindowTest.moc"
