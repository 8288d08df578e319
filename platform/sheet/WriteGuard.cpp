// The lock file of a workbook during a save, file stamps and the words for system errors.
#include "platform/sheet/WriteGuard.h"

#include "platform/sheet/Errors.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>

namespace sheet {

namespace {

// The last field of a lock file the suite writes: "tesmar-zapis:<pid>:<program>".
const QLatin1String ownMark("tesmar-zapis:");

QByteArray readAll(int fd) {
    QByteArray data;
    char buf[512];
    if (::lseek(fd, 0, SEEK_SET) < 0) return data;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0 || data.size() > 4096) break;
        data.append(buf, qsizetype(n));
    }
    return data;
}

// Who a lock file names: the program, process, user and computer of the suite's writer, or the user
// and computer LibreOffice writes (",user,host,date,profile;").
QString holderOf(const QByteArray& content) {
    const QStringList f =
        QString::fromUtf8(content).trimmed().remove(QLatin1Char(';')).split(QLatin1Char(','));
    const QString user = f.value(1).trimmed(), host = f.value(2).trimmed();
    const QString last = f.value(4).trimmed();
    QString who;
    if (last.startsWith(ownMark)) {
        const QStringList p = last.mid(ownMark.size()).split(QLatin1Char(':'));
        who = QStringLiteral("%1 (proces %2").arg(p.value(1), p.value(0));
    } else {
        who = QStringLiteral("inny program pakietu (");
    }
    if (user.isEmpty() && host.isEmpty() && !last.startsWith(ownMark)) return QStringLiteral("inny program pakietu");
    if (!user.isEmpty()) who += QStringLiteral(", użytkownik %1").arg(user);
    if (!host.isEmpty()) who += QStringLiteral(", komputer %1").arg(host);
    who += QLatin1Char(')');
    return who.replace(QStringLiteral("(, "), QStringLiteral("("));
}

}  // namespace

FileStamp fileStampOf(const QString& path) {
    FileStamp s;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
    s.exists = true;
    s.size = qint64(st.st_size);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.inode = quint64(st.st_ino);
    return s;
}

QString lockFilePathOf(const QString& path) {
    const QFileInfo info(path);
    return info.absoluteDir().filePath(QStringLiteral(".~lock.") + info.fileName() + QLatin1Char('#'));
}

WorkbookWriteLock::WorkbookWriteLock(const QString& path) : lockPath_(lockFilePathOf(path)) {
    const QByteArray name = QFile::encodeName(lockPath_);
    // The lock is the file's own advisory lock; the file may be removed by the holder as it ends,
    // so the one locked must still be the one at the path.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            // No lock file can be made here (a read-only folder): the save itself will fail and
            // say why.
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // The holder names itself just after it takes the lock: a moment to read its name.
            QByteArray content = readAll(fd);
            for (int wait = 0; wait < 20 && content.trimmed().isEmpty(); ++wait) {
                ::usleep(5000);
                content = readAll(fd);
            }
            const QString who = holderOf(content);
            ::close(fd);
            throw FileError(
                QStringLiteral("Skoroszyt \"%1\" zapisuje teraz %2; spróbuj ponownie, gdy skończy")
                    .arg(path, who));
        }
        struct stat held, now;
        if (::fstat(fd, &held) != 0 || ::stat(name.constData(), &now) != 0 || held.st_ino != now.st_ino ||
            held.st_dev != now.st_dev) {
            ::close(fd);
            continue;
        }
        fd_ = fd;
        const QByteArray content = readAll(fd);
        // Empty (just made) or left by a writer of ours that ended without removing it: ours now.
        // LibreOffice's or Excel's own lock stays as they wrote it.
        if (content.trimmed().isEmpty() || QString::fromUtf8(content).contains(ownMark)) {
            ours_ = true;
            const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
            // The program's own file, whether or not it made an application object.
            const QString program =
                QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).fileName();
            const QByteArray line =
                (QStringLiteral(",%1,%2,%3,%4%5:%6;")
                     .arg(user, QSysInfo::machineHostName(),
                          QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")), ownMark)
                     .arg(QCoreApplication::applicationPid())
                     .arg(program))
                    .toUtf8();
            if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, line.constData(), size_t(line.size()), 0) < 0) {
                // The lock holds through the advisory lock alone; the text only names the holder.
            }
        }
        return;
    }
    throw FileError(QStringLiteral("Nie można zablokować skoroszytu \"%1\" do zapisu").arg(path));
}

WorkbookWriteLock::~WorkbookWriteLock() {
    if (fd_ < 0) return;
    // Removed while still held, so that no writer locks a file that is about to go.
    if (ours_) ::unlink(QFile::encodeName(lockPath_).constData());
    ::close(fd_);
}

}  // namespace sheet
