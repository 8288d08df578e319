// The lock files of running programs, one QLockFile each.
#include "common/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <map>
#include <memory>

namespace common {

namespace {

std::map<QString, std::unique_ptr<QLockFile>>& held() {
    static std::map<QString, std::unique_ptr<QLockFile>> locks;
    return locks;
}

}  // namespace

QString SingleInstanceLockPath(const QString& program) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("Tesmar-%1.lock").arg(program));
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = QStringLiteral("user");
    return QDir(QDir::tempPath()).filePath(QStringLiteral("Tesmar-%1-%2.lock").arg(program, user));
}

bool AcquireSingleInstance(const QString& program) {
    auto& locks = held();
    if (locks.count(program)) return true;
    auto lock = std::make_unique<QLockFile>(SingleInstanceLockPath(program));
    lock->setStaleLockTime(0);  // a lock is stale only when its process is gone
    if (!lock->tryLock(0)) return false;
    locks[program] = std::move(lock);
    return true;
}

void ReleaseSingleInstance(const QString& program) {
    held().erase(program);
}

}  // namespace common
