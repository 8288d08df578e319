// Starting or raising a program of the suite.
#include "cadhost/ProgramLauncher.h"

#include "common/SingleInstance.h"
#include "platform/cad/model/ObjectModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>

#include <csignal>

namespace cadhost {

namespace {

bool alive(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// The programs whose start-up refuses a second copy for the same user.
bool oncePerUser(const QString& program) {
    return program == QLatin1String("conflictor") || program == QLatin1String("phaseplanner");
}

// The copy of the program that holds its once-per-user lock (started elsewhere, or left from an
// earlier cadhost); 0 when none runs.
qint64 lockHolder(const QString& program) {
    QLockFile lock(common::SingleInstanceLockPath(program));
    qint64 pid = 0;
    QString host, application;
    if (!lock.getLockInfo(&pid, &host, &application) || !alive(pid)) return 0;
    // A number taken over by another process after the holder died holds nothing.
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    return QFileInfo(exe).fileName() == program ? pid : 0;
}

}  // namespace

std::pair<qint64, QString> ProgramLauncher::running(const QString& program, const cad::DocumentState* doc) const {
    if (attached_)
        if (const qint64 pid = attached_(program, doc)) return {pid, QString()};
    // Started from here and still starting up (or working without having called yet).
    for (const auto& [key, started] : started_)
        if (key.first == program && (!doc || key.second == doc) && alive(started.pid))
            return {started.pid, started.drawing};
    return {0, QString()};
}

QString ProgramLauncher::raise(const QString& program, qint64 pid, const QString& where, bool onlyOne) const {
    QString note = QStringLiteral("Program %1 już pracuje%2").arg(program, where);
    if (onlyOne) note += QStringLiteral(" (jednocześnie może pracować tylko jedna kopia programu)");
    if (raiser_ && raiser_(pid)) return note + QLatin1Char('.');
    return note + QStringLiteral(" (jego okna nie można wysunąć na wierzch).");
}

QString ProgramLauncher::start(const QString& program, const cad::DocumentState* doc,
                               const QStringList& arguments) {
    const bool oncePerDrawing = program != QLatin1String("headplacer");
    if (oncePerUser(program)) {
        auto [pid, drawing] = running(program, nullptr);
        if (!pid) pid = lockHolder(program);
        if (pid) {
            const cad::DocumentState* on = workingOn_ ? workingOn_(pid) : nullptr;
            // Not told yet: the drawing it was started on.
            if (on ? on == doc : running(program, doc).first == pid)
                return raise(program, pid, QStringLiteral(" na tym rysunku"), false);
            if (on) drawing = on->name;
            return raise(program, pid, drawing.isEmpty() ? QString() : QStringLiteral(" na rysunku %1").arg(drawing),
                         true);
        }
    } else if (oncePerDrawing) {
        if (const qint64 pid = running(program, doc).first)
            return raise(program, pid, QStringLiteral(" na tym rysunku"), false);
    }
    const QString path = QDir(folder_).filePath(program);
    if (!QFileInfo(path).isExecutable())
        return QStringLiteral("Nie znaleziono programu %1 (%2).").arg(program, QDir::toNativeSeparators(path));
    qint64 pid = 0;
    if (starter_)
        pid = starter_(path, arguments);
    else if (!QProcess::startDetached(path, arguments, folder_, &pid))
        pid = 0;
    if (pid <= 0) return QStringLiteral("Nie można uruchomić programu %1.").arg(program);
    if (oncePerDrawing) started_[{program, doc}] = Started{pid, doc ? doc->name : QString()};
    return QStringLiteral("Uruchomiono program %1.").arg(program);
}

}  // namespace cadhost
