// Starting or raising a program of the suite.
#include "cadhost/ProgramLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

namespace cadhost {

namespace {

bool alive(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

}  // namespace

qint64 ProgramLauncher::running(const QString& program, const cad::DocumentState* doc) const {
    if (attached_)
        if (const qint64 pid = attached_(program, doc)) return pid;
    // Started from here and still starting up (or working without having called yet).
    const auto it = started_.find({program, doc});
    return it != started_.end() && alive(it->second) ? it->second : 0;
}

QString ProgramLauncher::start(const QString& program, const cad::DocumentState* doc,
                               const QStringList& arguments) {
    const bool oncePerDrawing = program != QLatin1String("headplacer");
    if (oncePerDrawing)
        if (const qint64 pid = running(program, doc)) {
            if (raiser_ && raiser_(pid)) return QStringLiteral("Program %1 już pracuje na tym rysunku.").arg(program);
            return QStringLiteral("Program %1 już pracuje na tym rysunku (jego okna nie można wysunąć na wierzch).")
                .arg(program);
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
    if (oncePerDrawing) started_[{program, doc}] = pid;
    return QStringLiteral("Uruchomiono program %1.").arg(program);
}

}  // namespace cadhost
