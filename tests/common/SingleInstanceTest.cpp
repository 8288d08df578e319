// One running copy per user: the lock is refused while another live process holds it and taken over
// from a copy that ended without giving it back.
#include "common/SingleInstance.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>

namespace {

struct RuntimeDir {
    QTemporaryDir dir;
    QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    RuntimeDir() { qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8()); }
    ~RuntimeDir() { qputenv("XDG_RUNTIME_DIR", previous); }
};

}  // namespace

TEST(SingleInstance, ALiveHolderRefusesASecondCopy) {
    RuntimeDir runtime;
    const QString path = common::SingleInstanceLockPath(QStringLiteral("probe"));
    EXPECT_TRUE(path.startsWith(runtime.dir.path()));
    QLockFile other(path);
    ASSERT_TRUE(other.tryLock(0));
    EXPECT_FALSE(common::AcquireSingleInstance(QStringLiteral("probe")));
    other.unlock();
    EXPECT_TRUE(common::AcquireSingleInstance(QStringLiteral("probe")));
    EXPECT_TRUE(common::AcquireSingleInstance(QStringLiteral("probe")));  // the holder asks again
    common::ReleaseSingleInstance(QStringLiteral("probe"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SingleInstance, TheLockOfAnEndedCopyIsTakenOver) {
    RuntimeDir runtime;
    const QString path = common::SingleInstanceLockPath(QStringLiteral("crashed"));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // The lock file format: process id, application name, host name.
    stale.write("2147480000\nconflictor\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_TRUE(common::AcquireSingleInstance(QStringLiteral("crashed")));
    common::ReleaseSingleInstance(QStringLiteral("crashed"));
}
