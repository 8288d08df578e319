// socket_bench: every program command through the socket to a host and in-process on the same
// drawing — conflictor's stream reading, cut, legend and exports; phaseplanner's import, drawing,
// reading back, playback, check and group graphs; hatcher's pattern area, pictures and connect-all;
// headplacer's head with its descriptions — on the sample and on a generated 60-stream intersection.
// Each side runs in a process of its own (the programs keep their state in module variables), the
// better of two runs counts, and one line per command is printed:
//   socket <drawing>/<command> inprocess_ms <a> socket_ms <b> ratio <b/a> round_trips <n>
// Options: --repeat N (runs of each side, 2), --only sample|k60, --keep DIR (the folder that keeps
// what each side wrote: DIR/<drawing>-inprocess and DIR/<drawing>-socket). --side and --host start
// the parts this program runs of itself.
#include "bench/socket/BenchDrawings.h"
#include "bench/socket/BenchHost.h"
#include "bench/socket/CommandRun.h"
#include "platform/cad/socket/CadHostConnection.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <cstdio>

namespace {

using socketbench::SideRun;

struct Timing {
    double ms = 0;
    bool ok = true;
    qint64 roundTrips = 0;  // over the socket: batches of calls that waited for an answer
};
using Timings = QList<std::pair<QString, Timing>>;

QStringList sideArguments(const SideRun& run) {
    return {QStringLiteral("--side"), run.overSocket ? QStringLiteral("socket") : QStringLiteral("inprocess"),
            run.drawing, run.label, run.workDir, QString::number(run.radius), run.socketName};
}

Timings parse(const QByteArray& output) {
    Timings out;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 5 || f[0] != "time") continue;
        out.append({QString::fromUtf8(f[1]), Timing{f[2].toDouble(), f[3] == "ok", f[4].toLongLong()}});
    }
    return out;
}

QProcessEnvironment offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// Runs one side in a child process (with its host for the socket side); empty on failure.
Timings runSide(SideRun run, const QString& dir) {
    QDir().mkpath(run.workDir);
    QProcess host;
    if (run.overSocket) {
        const QString script = QDir(dir).filePath(run.label + QStringLiteral("-picks.txt"));
        QFile f(script);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
        f.write(socketbench::PickScript(run).join(QLatin1Char('\n')).toUtf8() + '\n');
        f.close();
        run.socketName = QDir(dir).filePath(run.label + QStringLiteral(".sock"));
        QProcessEnvironment env = offscreen();
        env.insert(QStringLiteral("TESMAR_CADHOST_INI"), QDir(dir).filePath(QStringLiteral("cadhost.ini")));
        host.setProcessEnvironment(env);
        host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--host"), run.socketName, script});
        bool up = false;
        for (int i = 0; i < 200 && !up; ++i) {
            up = cad::AttachToCadHost(run.socketName, 100) != nullptr;
            if (!up) QThread::msleep(50);
        }
        if (!up) {
            std::fprintf(stderr, "socket_bench: the host did not start\n");
            return {};
        }
    }
    QProcess side;
    side.setProcessEnvironment(offscreen());
    side.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    side.start(QCoreApplication::applicationFilePath(), sideArguments(run));
    side.waitForFinished(600000);
    const Timings t = parse(side.readAllStandardOutput());
    if (run.overSocket) {
        host.kill();
        host.waitForFinished(5000);
    }
    return t;
}

// The better of the repeats, command by command.
void keepBest(Timings& best, const Timings& next) {
    if (best.isEmpty()) {
        best = next;
        return;
    }
    for (auto& [name, t] : best)
        for (const auto& [n, u] : next)
            if (n == name) {
                t.ms = std::min(t.ms, u.ms);
                t.roundTrips = u.roundTrips;
                t.ok = t.ok && u.ok;
            }
}

// `only`: the label of the one drawing to run (empty: both); `keep`: the folder that keeps the
// drawings, workbooks and XML each side wrote (empty: a temporary one).
int orchestrate(int repeat, const QString& only, const QString& keep) {
    QTemporaryDir temporary;
    const QDir dir(keep.isEmpty() ? temporary.path() : keep);
    dir.mkpath(QStringLiteral("."));
    struct Drawing {
        QString label, path;
        double radius;
    };
    QList<Drawing> drawings;
    if (only.isEmpty() || only == QLatin1String("sample")) {
        drawings.append({QStringLiteral("sample"), dir.filePath(QStringLiteral("sample.dxf")), 50});
        QFile::remove(drawings.back().path);
        QFile::copy(QStringLiteral(SUITE_SOURCE_ROOT "/resources/Tesmar/Zasoby/Przyklad.dxf"), drawings.back().path);
    }
    if (only.isEmpty() || only == QLatin1String("k60")) {
        drawings.append({QStringLiteral("k60"), dir.filePath(QStringLiteral("k60.dxf")), 100});
        if (!socketbench::WriteGeneratedIntersection(drawings.back().path)) return 1;
    }
    int failures = 0;
    for (const Drawing& d : drawings) {
        Timings in, over;
        for (int r = 0; r < repeat; ++r) {
            for (bool socket : {false, true}) {
                SideRun run;
                run.overSocket = socket;
                run.drawing = d.path;
                run.label = d.label;
                run.radius = d.radius;
                run.workDir = dir.filePath(d.label + (socket ? QStringLiteral("-socket") : QStringLiteral("-inprocess")));
                const Timings t = runSide(run, dir.path());
                if (t.isEmpty()) ++failures;
                keepBest(socket ? over : in, t);
            }
        }
        for (const auto& [name, a] : in) {
            Timing b{-1, false};
            for (const auto& [n, u] : over)
                if (n == name) b = u;
            if (!a.ok || !b.ok) ++failures;
            std::printf("socket %s inprocess_ms %.1f socket_ms %.1f ratio %.2f round_trips %lld%s\n", qPrintable(name),
                        a.ms, b.ms, a.ms > 0 ? b.ms / a.ms : 0.0, static_cast<long long>(b.roundTrips),
                        a.ok && b.ok ? "" : " (the command failed)");
            std::fflush(stdout);
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--host")) return socketbench::RunScriptedHost(args[2], args[3]);
    if (args.size() >= 7 && args[1] == QLatin1String("--side")) {
        SideRun run;
        run.overSocket = args[2] == QLatin1String("socket");
        run.drawing = args[3];
        run.label = args[4];
        run.workDir = args[5];
        run.radius = args[6].toDouble();
        run.socketName = args.value(7);
        return socketbench::RunCommands(run) == 0 ? 0 : 1;
    }
    auto option = [&](const char* name) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 ? args.value(at + 1) : QString();
    };
    const QString repeat = option("--repeat");
    return orchestrate(repeat.isEmpty() ? 2 : std::max(1, repeat.toInt()), option("--only"), option("--keep"));
}
