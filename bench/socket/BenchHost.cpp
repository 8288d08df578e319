#include "bench/socket/BenchHost.h"

#include "cadhost/Host.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <deque>

namespace socketbench {

namespace {

std::deque<cad::Input> readScript(const QString& path) {
    std::deque<cad::Input> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1String("p "))) {
            const QStringList xy = line.mid(2).split(QLatin1Char(' '));
            out.push_back(cad::Input::at(cad::Point{xy.value(0).toDouble(), xy.value(1).toDouble(), 0}));
        } else if (line.startsWith(QLatin1String("t "))) {
            out.push_back(cad::Input::typed(line.mid(2)));
        } else if (line == QLatin1String("e")) {
            out.push_back(cad::Input::enter());
        } else if (line == QLatin1String("c")) {
            out.push_back(cad::Input::cancel());
        }
    }
    return out;
}

}  // namespace

int RunScriptedHost(const QString& socketName, const QString& scriptPath) {
    cadhost::Host host;
    cadhost::HostInteraction& interaction = host.interaction;
    cadhost::MainWindow& window = host.window;
    QString error;
    if (!host.server.listen(socketName, &error)) {
        QTextStream(stderr) << "socket_bench host: " << error << '\n';
        return 1;
    }
    std::deque<cad::Input> script = readScript(scriptPath);
    // Answered from the event loop, after the request is fully set up, as a click would be.
    bool queued = false;
    QObject::connect(&interaction, &cadhost::HostInteraction::requestChanged, &window, [&] {
        if (queued || !interaction.currentRequest()) return;
        queued = true;
        QTimer::singleShot(0, &window, [&] {
            queued = false;
            if (!interaction.currentRequest()) return;
            cad::Input next = cad::Input::cancel();
            if (!script.empty()) {
                next = script.front();
                script.pop_front();
            }
            interaction.userInput(next);
        });
    });
    window.newDrawing();
    window.show();
    return qApp->exec();
}

}  // namespace socketbench
