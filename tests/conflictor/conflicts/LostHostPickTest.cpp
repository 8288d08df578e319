// cadhost killed while a command waits for the user's pick in it: the command stops and its guard tells
// the lost connection, the window comes back, nothing is taken for an Escape. One host for each command,
// killed the moment it shows the command's prompt.
#include "CutFixture.h"

#include "../../support/KilledHost.h"
#include "conflictor/conflicts/Legend.h"
#include "conflictor/streams/CommandGuard.h"
#include "conflictor/streams/ComponentPicking.h"
#include "conflictor/streams/StreamNaming.h"
#include "conflictor/streams/ViewCommands.h"

#include <functional>

namespace conflictor::test {
namespace {

class LostHostPick : public CutFixture {};

TEST_F(LostHostPick, EveryPickTellsTheLostHost) {
    struct Pick {
        const char* prompt;
        std::function<void()> command;
    };
    const QList<Pick> picks{
        {"Wskaż położenie legendy", [] { UstawLegende(); }},
        {"Proszę wskazać linię lub łuk, który ma być dołączony", [] { mnuEdycja_DolaczSkladnik(); }},
        {"Proszę wskazać linię lub łuk, który ma być wyłączony", [] { mnuEdycja_WylaczSkladnik(); }},
        {"Wskaż strumień, który chcesz zaznaczyć", [] { mnuWidok_WskazStrumien(); }},
        {"Wskaż sygnalizator", [] { PickSignalHeadName(); }},
        {"Wskaż położenie bloku z atrybutami skrzyżowania",
         [] {
             QString handle;
             DodajAtrStrumieni(IntersectionBlockPrefix() + IntersectionNumber, handle);
         }},
    };
    for (const Pick& pick : picks) {
        const QString prompt = QString::fromUtf8(pick.prompt);
        suitetest::KilledHost host;
        ASSERT_TRUE(host.attached()) << pick.prompt;
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        window.GridStreamName = QStringLiteral("K1");
        host.killAtPrompt(prompt);
        prompts.clear();
        EXPECT_FALSE(RunStreamCommand(pick.command)) << pick.prompt;
        EXPECT_TRUE(host.killed()) << pick.prompt;
        const QString told = prompts.messageTexts().join(QLatin1Char('\n'));
        EXPECT_TRUE(told.contains(QStringLiteral("połączenie z programem CAD (cadhost)")) ||
                    told.contains(QStringLiteral("Brak połączenia z programem CAD (cadhost)")))
            << pick.prompt << ": " << told.toStdString();
        EXPECT_TRUE(window.Visible) << pick.prompt;
    }
}

}  // namespace
}  // namespace conflictor::test
