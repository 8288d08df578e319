// The single-instance lock files.
#include "common/ui/SingleInstance.h"

#include <QDir>
#include <QHash>
#include <QLockFile>

#include <memory>

namespace common {

namespace {
QHash<QString, std::shared_ptr<QLockFile>>& locks() {
    static QHash<QString, std::shared_ptr<QLockFile>> held;
    return held;
}
QString lockPath(const QString& key) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = QStringLiteral("user");
    return QDir(QDir::tempPath()).filePath(QStringLiteral("tesmar-%1-%2.lock").arg(key, user));
}
}  // namespace

bool AcquireSingleInstance(const QString& programKey) {
    if (locks().contains(programKey)) return false;
    auto lock = std::make_shared<QLockFile>(lockPath(programKey));
    lock->setStaleLockTime(0);  // a lock is stale only when its process is gone
    if (!lock->tryLock(0)) return false;
    locks().insert(programKey, lock);
    return true;
}

void ReleaseSingleInstance(const QString& programKey) {
    locks().remove(programKey);
}

}  // namespace common
