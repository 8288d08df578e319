// phaseplanner with the CAD host gone: every menu entry, toolbar button, button and dialog button of
// the window, found in its widget tree, is given as the user does; the program goes on and offers to
// connect again in Polish. Answered "Nie", nothing is done; answered "Tak" with the host back, the
// program is connected to it again.
#include "../../support/HostGoneWalk.h"
#include "ProgramDrawingSetup.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/PairHighlight.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"

#include <QSlider>
#include <QTest>

using namespace phaseplanner;

namespace {

const QString ReconnectQuestion = QStringLiteral(
    "Połączenie z programem CAD zostało przerwane (program mógł zostać zamknięty lub uruchomiony "
    "ponownie).\nCzy połączyć ponownie?");

// Answers the question to connect again always the same; every other prompt as scripted.
class ReconnectAnswer : public ui::ScriptedPrompts {
public:
    int answer = ui::No;
    int message(const QString& text, int flags, const QString& title) override {
        if (text == ReconnectQuestion) answerMessage(answer);
        return ScriptedPrompts::message(text, flags, title);
    }
};

}  // namespace

class LostHostWalkTest : public QObject, protected test::ProgramDrawingSetup {
    Q_OBJECT

    // Walks the window answering the question to connect again with `answer`.
    void walk(int answer) {
        prompts.reset();  // the session's prompts give way (put back in their turn) ...
        auto* reconnect = new ReconnectAnswer;  // ... to these, installed over the service they put back
        prompts.reset(reconnect);
        reconnect->answer = answer;
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(DefinedGroupCount(), 2);
        const cad::Channel* live = cad->application().channel();
        std::vector<std::unique_ptr<suitetest::HostGoneNow>> gone;  // kept: handles may still name them
        suitetest::WalkSteps steps;
        steps.hostBack = [&] {
            automation::CadApplication = cad->application();
            automation::CadState = {};
            ResetPlayback();
            ResetPairHighlight();
            QVERIFY(automation::CheckDocumentOpen(false));
            // A second shown: the cycle controls are on.
            if (w.stateSlider()->isEnabled()) {
                w.stateSlider()->setValue(-1);
                w.stateSlider()->setValue(2);
            }
        };
        steps.hostGone = [&] {
            gone.push_back(std::make_unique<suitetest::HostGoneNow>());
            prompts->clear();
        };
        steps.check = [&](const QString& what) {
            const QStringList told = prompts->messageTexts();
            const QString where = what + QStringLiteral(": ") + told.join(QStringLiteral(" | "));
            // Whatever reached for the host told so: the question to connect again comes first.
            if (gone.back()->calls() > 0) {
                QVERIFY2(!told.isEmpty() && told.front() == ReconnectQuestion, qPrintable(where));
            }
            if (answer == ui::Yes && !told.isEmpty() && told.front() == ReconnectQuestion)
                QVERIFY2(automation::CadApplication.channel() == live, qPrintable(where));
        };
        suitetest::WalkEveryCommand(&w, steps);
        QVERIFY(!QTest::currentTestFailed());
        automation::CadApplication = cad->application();
        w.Form_Unload();
    }

private slots:
    void init() {
        common::SetHelpOpener([](const QUrl&) { return true; });
        QVERIFY(openProgramDrawing());
    }
    void cleanup() {
        closeSession();
        common::SetHelpOpener({});
        GroupTable.clear();
        IntersectionNumber.clear();
        ResetPlayback();
        common::IniFilePath.clear();
    }

    void everyCommandWithTheHostGoneAnsweredNo() { walk(ui::No); }

    // Plik -> "Zakończ" with the host gone ends the program at once: nothing to connect for, the
    // settings written as at every end.
    void endingWithTheHostGoneEndsTheProgram() {
        MainWindow w(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        common::PutIni(common::IniFilePath, ProgramTitleText(), QStringLiteral("Dlugosc_Cyklu"),
                       QStringLiteral("0"));
        suitetest::HostGoneNow gone;
        prompts->clear();
        QAction* end = w.findChild<QAction*>(QStringLiteral("mnuPlik_Zakoncz"));
        QVERIFY(end);
        end->trigger();
        QVERIFY2(prompts->messageTexts().isEmpty(), qPrintable(prompts->messageTexts().join(QLatin1Char('|'))));
        QVERIFY(!w.isVisible());
        QCOMPARE(gone.calls(), 0);
        QCOMPARE(common::GetIni(common::IniFilePath, ProgramTitleText(), QStringLiteral("Dlugosc_Cyklu"), QString()),
                 QString::number(CycleLength));
        automation::CadApplication = cad->application();
    }
    void everyCommandWithTheHostBackAnsweredYes() { walk(ui::Yes); }
};

QTEST_MAIN(LostHostWalkTest)
#include "LostHostWalkTest.moc"
