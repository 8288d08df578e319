// A cadhost process of the test's own (offscreen, on its own socket, with its own settings) that the
// program is attached to as it attaches to the user's, and that is killed the moment it shows the
// prompt of a pick the program waits on: the user's CAD crashing, or killed, in the middle of a pick.
#pragma once

#include "automation/CadConnection.h"
#include "automation/CadHostConnector.h"
#include "platform/cad/Application.h"
#include "platform/cad/socket/CadHostConnection.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <memory>

namespace suitetest {

class KilledHost {
public:
    // Starts the host on `drawing` (a new drawing when empty) and attaches the program to it.
    explicit KilledHost(const QString& drawing = QString()) {
        socket_ = dir_.filePath(QStringLiteral("host.sock"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TESMAR_CADHOST_INI"), dir_.filePath(QStringLiteral("cadhost.ini")));
        host_.setProcessEnvironment(env);
        QStringList args{QStringLiteral("--socket"), socket_};
        if (!drawing.isEmpty()) args << drawing;
        host_.start(QStringLiteral(CADHOST_EXE), args);
        if (!host_.waitForStarted(10000)) return;
        QElapsedTimer clock;
        clock.start();
        while (!program_ && clock.elapsed() < 20000) {
            program_ = cad::AttachToCadHost(socket_, 500);
            if (!program_) QThread::msleep(20);
        }
        if (!program_) return;
        probe_ = cad::AttachToCadHost(socket_, 2000);
        previous_ = automation::SetCadConnector({[this] { return cad::Application(program_.get()); }, {}});
        automation::ResetCadConnectionState();
        automation::CadApplication = automation::ConnectToAutoCad(false);
    }
    ~KilledHost() {
        timer_.stop();
        automation::ResetCadConnectionState();
        automation::SetCadConnector(previous_);
        if (host_.state() != QProcess::NotRunning) {
            host_.kill();
            host_.waitForFinished(5000);
        }
    }
    KilledHost(const KilledHost&) = delete;
    KilledHost& operator=(const KilledHost&) = delete;

    bool attached() const { return program_ && probe_ && !automation::CadApplication.isNull(); }
    // Kills the host once a pick waits in it whose prompt starts with `prompt`. The program's call
    // waiting for the pick lets its event loop run: the host is watched from there over a connection of
    // its own, so nothing the program holds is called meanwhile.
    void killAtPrompt(const QString& prompt) { step(prompt, QString(), true); }
    // Before that, once the host's prompt starts with `prompt`, sends it the command `typed` (its name
    // and inputs, as "_circle\r0,0\r30\r"): it takes the place of the command waiting there, as the
    // user's own command in the host's prompt line does, and draws what the user would.
    void typeAtPrompt(const QString& prompt, const QString& typed) { step(prompt, typed, false); }
    bool killed() const { return killed_; }

private:
    struct Step {
        QString prompt, typed;
        bool kill = false;
    };
    void step(const QString& prompt, const QString& typed, bool kill) {
        steps_.append({prompt, typed, kill});
        if (timer_.isActive()) return;
        QObject::connect(&timer_, &QTimer::timeout, [this] { watch(); });
        timer_.start(20);
    }
    void watch() {
        if (killed_ || steps_.isEmpty() || !probe_) return;
        const cad::Document doc = cad::Application(probe_.get()).activeDocument();
        QString shown;
        try {
            shown = doc.getVariable(QStringLiteral("LASTPROMPT")).toText();
        } catch (const std::exception&) {
            return;  // asked again at the next tick
        }
        if (!shown.startsWith(steps_.front().prompt)) return;
        const Step next = steps_.takeFirst();
        if (!next.kill) {
            doc.sendCommand(next.typed);
            return;
        }
        killed_ = true;
        timer_.stop();
        host_.kill();
        host_.waitForFinished(5000);
    }

    QTemporaryDir dir_;
    QString socket_;
    QProcess host_;
    std::unique_ptr<cad::SocketChannel> program_, probe_;
    automation::CadConnector previous_;
    QTimer timer_;
    QList<Step> steps_;
    bool killed_ = false;
};

}  // namespace suitetest
