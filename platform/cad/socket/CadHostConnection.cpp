// Locating and starting the user's CAD host.
#include "platform/cad/socket/CadHostConnection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace cad {

QString CadHostRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime;
    const QString dir = QStringLiteral("/tmp/tesmar-%1").arg(::getuid());
    const QByteArray path = QFile::encodeName(dir);
    ::mkdir(path.constData(), 0700);
    struct stat st {};
    // Use the folder only when it is ours and closed to others: a folder planted by someone else
    // would let them read or intercept the drawing.
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return QString();
    return dir;
}

QString CadHostSocketName() {
    const QString forced = qEnvironmentVariable("TESMAR_CAD_SOCKET");
    if (!forced.isEmpty()) return forced;
    const QString dir = CadHostRuntimeFolder();
    if (dir.isEmpty()) return QString();
    return dir + QStringLiteral("/tesmar-cadhost.sock");
}

std::unique_ptr<SocketChannel> AttachToCadHost(const QString& socketName, int timeoutMs) {
    const QString name = socketName.isEmpty() ? CadHostSocketName() : socketName;
    if (name.isEmpty()) return nullptr;
    auto ch = std::make_unique<SocketChannel>();
    if (!ch->connectTo(name, timeoutMs)) return nullptr;
    return ch;
}

std::unique_ptr<SocketChannel> AttachOrStartCadHost(int timeoutMs, const QString& socketName,
                                                    const QString& programFolder) {
    const QString name = socketName.isEmpty() ? CadHostSocketName() : socketName;
    if (name.isEmpty()) return nullptr;
    if (auto ch = AttachToCadHost(name, 500)) return ch;

    const QString folder = !programFolder.isEmpty()       ? programFolder
                           : QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                          : QString();
    const QString exe = QDir(folder).filePath(QStringLiteral("cadhost"));
    if (folder.isEmpty() || !QFileInfo(exe).isExecutable()) return nullptr;
    if (!QProcess::startDetached(exe, {QStringLiteral("--socket"), name}, folder)) return nullptr;

    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (auto ch = AttachToCadHost(name, 200)) return ch;
        QThread::msleep(100);
    }
    return nullptr;
}

}  // namespace cad
