// A program's stand-in for the socket tests: connects to the host named by --socket, then runs
// one command per line of standard input and answers one line each ("ok ..." or "error ...").
//   count | addline x1 y1 x2 y2 | color HANDLE [INDEX] | highlight HANDLE 0|1 | getpoint PROMPT |
//   getentity PROMPT | zoom x1 y1 x2 y2 | raise | send TEXT ("|" stands for CR) | quiescent |
//   lastprompt | shown (the active drawing's name, kept as the drawing it works on) | keptcount
//   (the count of that drawing's model space, whichever is active now) | garbage | oversized | quit
#include "platform/cad/Application.h"
#include "platform/cad/socket/CadHostConnection.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTextStream>
#include <QTimer>
#include <QtEndian>
#include <iostream>
#include <string>

namespace {

// Sends bytes no host can accept and reports whether the host then closed the connection.
QString sendRaw(const QString& name, const QByteArray& bytes) {
    QLocalSocket s;
    s.connectToServer(name);
    if (!s.waitForConnected(2000)) return QStringLiteral("error connect");
    s.write(bytes);
    s.flush();
    s.waitForBytesWritten(2000);
    if (s.state() != QLocalSocket::UnconnectedState && !s.waitForDisconnected(3000))
        return QStringLiteral("error still open");
    return QStringLiteral("ok closed");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString name = args.value(args.indexOf(QStringLiteral("--socket")) + 1);
    auto channel = cad::AttachToCadHost(name, 3000);
    QTextStream out(stdout);
    if (!channel) {
        out << "error no host\n";
        return 1;
    }
    out << "ok connected\n" << Qt::flush;
    cad::Application acad(channel.get());
    cad::Document kept;  // the drawing the program read last as the active one
    std::string raw;
    while (std::getline(std::cin, raw)) {
        const QStringList w = QString::fromStdString(raw).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w.isEmpty()) continue;
        const QString cmd = w[0];
        try {
            if (cmd == QLatin1String("quit")) break;
            if (cmd == QLatin1String("count")) {
                out << "ok " << acad.activeDocument().modelSpace().count() << '\n';
            } else if (cmd == QLatin1String("addline")) {
                const cad::Entity e = acad.activeDocument().modelSpace().addLine(
                    cad::Point{w[1].toDouble(), w[2].toDouble(), 0},
                    cad::Point{w[3].toDouble(), w[4].toDouble(), 0});
                out << "ok " << e.handle() << '\n';
            } else if (cmd == QLatin1String("color")) {
                const cad::Entity e = acad.activeDocument().handleToObject(w[1]);
                if (w.size() > 2) e.setColor(w[2].toInt());
                out << "ok " << e.color() << '\n';
            } else if (cmd == QLatin1String("getpoint")) {
                // A timer of the program keeps ticking while the pick waits (its windows paint).
                int ticks = 0;
                QTimer timer;
                QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
                timer.start(20);
                const cad::Point p =
                    acad.activeDocument().utility().getPoint(w.mid(1).join(QLatin1Char(' ')));
                out << "ok " << p.x << ' ' << p.y << ' ' << (ticks > 0 ? "ticked" : "frozen") << '\n';
            } else if (cmd == QLatin1String("getentity")) {
                const auto [e, p] =
                    acad.activeDocument().utility().getEntity(w.mid(1).join(QLatin1Char(' ')));
                out << "ok " << e.handle() << ' ' << e.objectName() << '\n';
            } else if (cmd == QLatin1String("highlight")) {
                acad.activeDocument().handleToObject(w[1]).invoke(QStringLiteral("Highlight"),
                                                                  {w[2] == QLatin1String("1")});
                out << "ok\n";
            } else if (cmd == QLatin1String("zoom")) {
                acad.zoomWindow(cad::Point{w[1].toDouble(), w[2].toDouble(), 0},
                                cad::Point{w[3].toDouble(), w[4].toDouble(), 0});
                out << "ok\n";
            } else if (cmd == QLatin1String("send")) {
                acad.activeDocument().sendCommand(
                    w.mid(1).join(QLatin1Char(' ')).replace(QLatin1Char('|'), QLatin1Char('\r')));
                out << "ok\n";
            } else if (cmd == QLatin1String("quiescent")) {
                out << "ok " << (acad.getAcadState().isQuiescent() ? "yes" : "no") << '\n';
            } else if (cmd == QLatin1String("lastprompt")) {
                out << "ok " << acad.activeDocument().getVariable(QStringLiteral("LASTPROMPT")).toText()
                    << '\n';
            } else if (cmd == QLatin1String("shown")) {
                kept = acad.activeDocument();
                out << "ok " << kept.name() << '\n';
            } else if (cmd == QLatin1String("keptcount")) {
                out << "ok " << kept.modelSpace().count() << '\n';
            } else if (cmd == QLatin1String("raise")) {
                acad.raiseDrawingWindow();
                out << "ok\n";
            } else if (cmd == QLatin1String("garbage")) {
                out << sendRaw(name, QByteArray("\x00\x00\x00\x10 this is no frame!", 20)) << '\n';
            } else if (cmd == QLatin1String("oversized")) {
                QByteArray head(4, 0);
                qToBigEndian<quint32>(0x7FFFFFF0u, head.data());
                out << sendRaw(name, head + QByteArray(64, 'x')) << '\n';
            } else {
                out << "error unknown command\n";
            }
        } catch (const cad::Error& e) {
            out << "error " << int(e.kind()) << ' ' << e.message() << '\n';
        }
        out << Qt::flush;
    }
    return 0;
}
