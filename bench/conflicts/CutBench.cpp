// Times the whole cut (all streams) of a generated intersection of 60 vehicle streams of 8
// components each and 16 pedestrian and bicycle streams, on the in-process CAD, and reports how
// often the message loop was served.
#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "bench/conflicts/IntersectionGenerator.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/StaleCut.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/Intersections.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

// Yes to the question, OK to the rest, silently.
class QuietPrompts : public ui::PromptService {
public:
    int message(const QString&, int flags, const QString&) override {
        return ui::ButtonsOf(flags) == ui::YesNo ? ui::Yes : ui::Ok;
    }
    std::optional<QString> input(const ui::InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const ui::FileRequest&) override { return std::nullopt; }
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QuietPrompts prompts;
    ui::SetPromptService(&prompts);
    automation::SetCadConnector(automation::InProcessCadConnector());
    automation::CadApplication = automation::ConnectToAutoCad(true);
    automation::CadApplication.documents().add();
    if (!automation::CheckDocumentOpen(false)) return 1;
    conflictor::IntersectionNumber = QStringLiteral("1");

    QElapsedTimer clock;
    clock.start();
    conflictor::bench::GenerateIntersection({});
    const qint64 generated = clock.restart();
    const conflictor::CutOutcome outcome = conflictor::CutStreams(true);
    const qint64 cut = clock.elapsed();
    if (outcome != conflictor::CutOutcome::Done) {
        std::fprintf(stderr, "bench_cut: the cut did not finish\n");
        return 1;
    }
    const auto& s = conflictor::LastCutStatistics;
    std::printf("cut of 60 vehicle streams x 8 components + 16 pedestrian/bicycle streams\n");
    std::printf("  drawing generated in %lld ms\n", static_cast<long long>(generated));
    std::printf("  whole cut: %lld ms (%d component pairs tested, %d crossings, %lld markers)\n",
                static_cast<long long>(cut), s.PairsTested, s.Crossings,
                static_cast<long long>(conflictor::ReadConflictMarkers().size()));
    std::printf("  message loop served %d times (at most every 30 ms)\n", s.MessageLoopRounds);

    // What every export adds: the markers held against a cut of the streams as they stand.
    conflictor::OdczytajStrumienie(false, -1);
    QList<conflictor::ConflictMarker> markers = conflictor::ReadConflictMarkers();
    clock.restart();
    const conflictor::CutComparison check = conflictor::CompareMarkersWithStreams(markers);
    std::printf("  markers checked against the streams in %lld ms (%s)\n", static_cast<long long>(clock.elapsed()),
                check.current() ? "current" : "STALE");
    if (!check.current()) return 1;
    return 0;
}
