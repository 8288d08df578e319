// The drawing's file replaced in one rename, after the new content is on disk.
#include "platform/cad/dxf/FileReplace.h"

#include "platform/cad/engine/Errors.h"
#include "platform/FileSync.h"
#include "platform/cad/dxf/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cad::dxf {

namespace {

std::function<void(const char*)>& stepHook() {
    static std::function<void(const char*)> hook;
    return hook;
}

void step(const char* name) {
    if (stepHook()) stepHook()(name);
}

[[noreturn]] void fail(const QString& target, const QString& why) {
    throw Failed(QStringLiteral("Nie można zapisać rysunku %1: %2").arg(QDir::toNativeSeparators(target), why));
}

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

// Writes everything or returns the errno of the write that failed.
int writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += n;
    }
    return 0;
}

// A temporary name no other writer in this or another process uses at the same time.
QString uniqueTemporary(const QString& target) {
    static std::atomic<unsigned> counter{0};
    return temporaryPrefix(target) + QStringLiteral("-%1-%2").arg(::getpid()).arg(counter++);
}

// Copies `from` to `to` (created new) and flushes it: the backup where the file system has no links.
int copyFile(const QString& from, const QString& to) {
    const int in = ::open(local(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    const int out = ::open(local(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return err;
    }
    int err = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = errno;
            break;
        }
        if (n == 0) break;
        if ((err = writeAll(out, QByteArray::fromRawData(buffer, int(n)))) != 0) break;
    }
    if (err == 0 && ::fsync(out) != 0) err = errno;
    ::close(out);
    ::close(in);
    if (err != 0) ::unlink(local(to).constData());
    return err;
}

// Keeps the current file as the backup. The old backup goes only once the new one can be made
// from a file that exists, so a failure here leaves the drawing as it was.
int keepBackup(const QString& target, const QString& backup) {
    const QByteArray b = local(backup);
    if (::unlink(b.constData()) != 0 && errno != ENOENT) return errno;
    if (::link(local(target).constData(), b.constData()) == 0) return 0;
    const int err = errno;
    if (err != EPERM && err != EXDEV && err != EMLINK && err != ENOTSUP) return err;
    return copyFile(target, backup);
}

}  // namespace

QString temporaryPrefix(const QString& target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".tmp");
}

void replaceFile(const QString& target, const QString& backup, std::initializer_list<QByteArray> parts) {
    const QString folder = QFileInfo(target).absolutePath();
    const QString temp = uniqueTemporary(target);
    struct stat old {};
    const bool exists = ::stat(local(target).constData(), &old) == 0;
    const int fd = ::open(local(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fail(target, systemErrorText(errno));
    int err = 0;
    for (const QByteArray& part : parts)
        if ((err = writeAll(fd, part)) != 0) break;
    // The drawing keeps the permissions it had; a new one gets the user's default.
    if (err == 0 && exists) ::fchmod(fd, old.st_mode & 07777);
    // The data on disk before the rename can make it the drawing; the step is told only when it is.
    if (err == 0) {
        if (::fsync(fd) == 0)
            step("flushed");
        else
            err = errno;
    }
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) {
        ::unlink(local(temp).constData());
        fail(target, systemErrorText(err));
    }
    step("temp");
    if (exists && !backup.isEmpty() && QFileInfo(backup).absoluteFilePath() != QFileInfo(target).absoluteFilePath()) {
        if ((err = keepBackup(target, backup)) != 0) {
            ::unlink(local(temp).constData());
            fail(target, QStringLiteral("nie można utworzyć kopii zapasowej %1 (%2)")
                             .arg(QDir::toNativeSeparators(backup), systemErrorText(err)));
        }
    }
    step("backup");
    if (::rename(local(temp).constData(), local(target).constData()) != 0) {
        err = errno;
        ::unlink(local(temp).constData());
        fail(target, systemErrorText(err));
    }
    step("rename");
    platform::syncFolder(local(folder));
}

QString missingDrawingMessage(const QString& path) {
    QString text = QStringLiteral("Nie znaleziono pliku rysunku: %1").arg(path);
    const QFileInfo info(path);
    const QDir dir(info.absolutePath());
    if (!dir.exists()) return text;
    const QString backup = info.completeBaseName() + QStringLiteral(".bak");
    const QStringList temps =
        dir.entryList({QLatin1Char('.') + info.fileName() + QStringLiteral(".tmp*")}, QDir::Files | QDir::Hidden);
    if (QFileInfo::exists(dir.filePath(backup)))
        text += QStringLiteral("\nObok leży kopia zapasowa %1 z poprzedniego zapisu: otwórz ją albo nadaj jej nazwę %2.")
                    .arg(QDir::toNativeSeparators(dir.filePath(backup)), info.fileName());
    if (!temps.isEmpty())
        text += QStringLiteral("\nObok leży plik %1 z przerwanego zapisu: może zawierać nowszy stan rysunku; "
                               "nadaj mu nazwę %2, aby go otworzyć.")
                    .arg(QDir::toNativeSeparators(dir.filePath(temps.last())), info.fileName());
    return text;
}

void setReplaceStepHook(std::function<void(const char*)> hook) {
    stepHook() = std::move(hook);
}

}  // namespace cad::dxf
