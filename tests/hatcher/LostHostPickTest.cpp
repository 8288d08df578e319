// cadhost killed while hatcher waits for the user in it: drawing the pattern's circle, picking the
// pattern's place, picking the phases a transition joins. Each stops the command with the lost host,
// never taken for an Escape.
#include "HatcherFixture.h"

#include "../support/KilledHost.h"
#include "automation/DrawingProperties.h"
#include "hatcher/core/PhaseTransitions.h"

using namespace hatcher;
using namespace hatcher::test;

namespace {

class LostHostPick : public HatcherFixture {};

}  // namespace

TEST_F(LostHostPick, EveryPickStopsTheCommandWithTheLostHost) {
    struct Pick {
        const char* answered;  // a prompt answered first, and with what
        const char* typed;
        const char* killedAt;
        void (*command)(HatcherForm&);
    };
    const Pick picks[] = {
        {nullptr, nullptr, "Określ środek okręgu", frmMain_cmdDefObszar_Click},
        {"Określ środek okręgu", "_circle\r0,0\r30\r", "Określ położenie tworzonego schematu",
         frmMain_cmdDefObszar_Click},
        {nullptr, nullptr, "Wybierz fazę początkową", cmdConnect_Click},
    };
    for (const Pick& pick : picks) {
        suitetest::KilledHost host;
        ASSERT_TRUE(host.attached()) << pick.killedAt;
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::CadModelSpace.addLine({-10, 0, 0}, {10, 0, 0});
        if (pick.answered) host.typeAtPrompt(QString::fromUtf8(pick.answered), QString::fromUtf8(pick.typed));
        host.killAtPrompt(QString::fromUtf8(pick.killedAt));
        prompts.clear();
        EXPECT_THROW(pick.command(form), cad::ConnectionLost) << pick.killedAt;
        EXPECT_TRUE(host.killed()) << pick.killedAt;
        EXPECT_TRUE(prompts.asked().empty())
            << pick.killedAt << ": " << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    }
}
