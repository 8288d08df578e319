// Where programs look for the host: the override for tests, the runtime folder, and refusal of
// a shared /tmp folder that is not the user's own.
#include "platform/cad/socket/CadHostConnection.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace {
// Sets an environment variable for one test and restores it afterwards.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvGuard() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};
}  // namespace

TEST(CadHostConnection, SocketNameFollowsOverrideThenRuntimeFolder) {
    QTemporaryDir runtime;
    EnvGuard xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    {
        EnvGuard forced("TESMAR_CAD_SOCKET", QByteArray("/tmp/some-test.sock"));
        EXPECT_EQ(cad::CadHostSocketName(), QStringLiteral("/tmp/some-test.sock"));
    }
    EnvGuard none("TESMAR_CAD_SOCKET", QByteArray());
    EXPECT_EQ(cad::CadHostSocketName(), runtime.path() + QStringLiteral("/tesmar-cadhost.sock"));
    EXPECT_EQ(cad::CadHostRuntimeFolder(), runtime.path());
}

TEST(CadHostConnection, NothingAnswersWhereNoHostListens) {
    QTemporaryDir dir;
    EXPECT_EQ(cad::AttachToCadHost(dir.filePath(QStringLiteral("none.sock")), 100), nullptr);
    // No cadhost in that folder: nothing is started, nothing attached.
    EXPECT_EQ(cad::AttachOrStartCadHost(300, dir.filePath(QStringLiteral("none.sock")), dir.path()), nullptr);
}
