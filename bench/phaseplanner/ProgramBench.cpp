// Draws a 32-group program with three greens a group into the in-process CAD, reads it back, and
// steps the playback 120 times over a drawing with 60 stream blocks; prints the times.
#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

using namespace phaseplanner;
using Clock = std::chrono::steady_clock;

static double ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    automation::SetCadConnector(automation::InProcessCadConnector());
    automation::CadApplication = automation::ConnectToAutoCad(false);
    automation::CadApplication.documents().add();
    automation::CheckDocumentOpen(false);
    IntersectionNumber = QStringLiteral("1");
    AddIntersectionNumber(IntersectionNumber, true);
    UstawWidoczneAtrybuty();

    CycleLength = 120;
    GroupTable.assign(32, GroupRecord{});
    for (int i = 0; i < 32; ++i) {
        GroupRecord& g = GroupTable[std::size_t(i)];
        g.Defined = true;
        g.Kind = i % 4 == 3 ? KindPedestrian : KindVehicle;
        g.Symbols =
            (g.Kind == KindPedestrian ? QStringLiteral("P") : QStringLiteral("K")) + QString::number(i + 1);
        g.GreenCount = 3;
        for (int k = 1; k <= 3; ++k) g.Greens[std::size_t(k)] = {((i * 5) % 30) + (k - 1) * 40 + 1, 15};
    }
    automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, -1, -10);
    for (int s = 0; s < 60; ++s) {
        const QString name =
            QStringLiteral("1^STRUMIEN_%1^%2").arg(s).arg(GroupTable[std::size_t(s % 32)].Symbols);
        const cad::Block b = automation::CadDocument.blocks().add({0, 0, 0}, name);
        b.addLine({0, 0, 0}, {10, 10, 0});
        automation::CadModelSpace.insertBlock({double(s), 0, 0}, name, 1, 1, 1, 0)
            .setLayer(QStringLiteral("113-STRUMIENIE_RUCHU"));
    }
    // conflictor's stream attribute block marks the drawing that holds intersection 1's streams.
    automation::CadDocument.blocks().add({0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_1"));
    automation::CadModelSpace.insertBlock({0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_1"), 1, 1, 1, 0);

    const auto t0 = Clock::now();
    DrawProgram(false);
    const auto t1 = Clock::now();
    bool ok = false;
    ReadProgramFromDrawing(true, ok);
    const auto t2 = Clock::now();
    const ProgramStates states = ComputeStates(GroupTable, CycleLength);
    double worst = 0;
    const auto t3 = Clock::now();
    for (int s = 0; s < 120; ++s) {
        const auto a = Clock::now();
        ShowSecondInDrawing(s, states, CycleLength);
        worst = std::max(worst, ms(a, Clock::now()));
    }
    const auto t4 = Clock::now();
    ShowSecondInDrawing(-1, states, CycleLength);
    std::printf("draw 32 groups x 3 greens      %8.1f ms\n", ms(t0, t1));
    std::printf("read back                      %8.1f ms (%s)\n", ms(t1, t2), ok ? "ok" : "failed");
    std::printf("playback step, mean            %8.3f ms\n", ms(t3, t4) / 120);
    std::printf("playback step, worst           %8.3f ms\n", worst);
    return ok ? 0 : 1;
}
