// Saving a drawing over an existing one: a process ended between any two steps of the save leaves a
// readable drawing at its path, a failing write names the drawing and the cause, and a drawing found
// missing beside its backup says where the backup is.
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/dxf/FileReplace.h"
#include "platform/cad/engine/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using cad::db::Database;

int linesIn(const QString& path) {
    return int(cad::dxf::readFile(path)->modelSpace()->count());
}

void addLines(Database& db, int n) {
    for (int i = 0; i < n; ++i) db.addLine(db.modelSpace(), {double(i), 0, 0}, {double(i), 1, 0});
}

// Runs `work` in a child process and waits for it; the child's exit status.
template <class Work>
int inChild(Work work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DxfSave, AProcessEndedBetweenAnyTwoStepsLeavesTheOldOrTheNewDrawingAtItsPath) {
    for (const char* stopAt : {"flushed", "temp", "backup", "rename"}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plan.dxf"));
        Database old;
        addLines(old, 1);
        cad::dxf::writeFile(old, path);
        const int status = inChild([&] {
            cad::dxf::setReplaceStepHook([&](const char* step) {
                if (qstrcmp(step, stopAt) == 0) ::_exit(7);
            });
            Database next;
            addLines(next, 3);
            cad::dxf::writeFile(next, path);
        });
        ASSERT_EQ(status, 7) << stopAt;
        ASSERT_TRUE(QFile::exists(path)) << stopAt;
        const int lines = linesIn(path);
        EXPECT_EQ(lines, qstrcmp(stopAt, "rename") == 0 ? 3 : 1) << stopAt;
        if (qstrcmp(stopAt, "temp") != 0 && qstrcmp(stopAt, "flushed") != 0)
            EXPECT_EQ(linesIn(dir.filePath(QStringLiteral("plan.bak"))), 1) << stopAt;
    }
}

// The new content reaches the disk before anything else happens to the drawing: a power cut after the
// rename finds the new drawing whole.
TEST(DxfSave, TheNewContentIsOnDiskBeforeTheBackupAndTheRename) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.dxf"));
    Database db;
    addLines(db, 1);
    cad::dxf::writeFile(db, path);
    QStringList steps;
    cad::dxf::setReplaceStepHook([&](const char* step) { steps << QString::fromLatin1(step); });
    addLines(db, 1);
    cad::dxf::writeFile(db, path);
    cad::dxf::setReplaceStepHook({});
    EXPECT_EQ(steps, (QStringList{QStringLiteral("flushed"), QStringLiteral("temp"), QStringLiteral("backup"),
                                  QStringLiteral("rename")}));
    EXPECT_EQ(linesIn(path), 2);
}

TEST(DxfSave, ADrawingMissingBesideItsBackupOrAnInterruptedSaveSaysWhereTheyAre) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.dxf"));
    EXPECT_EQ(cad::dxf::missingDrawingMessage(path), QStringLiteral("Nie znaleziono pliku rysunku: %1").arg(path));
    Database db;
    addLines(db, 1);
    cad::dxf::writeFile(db, path);
    cad::dxf::writeFile(db, path);
    QFile::remove(path);
    QFile(cad::dxf::temporaryPrefix(path) + QStringLiteral("-99-0")).open(QIODevice::WriteOnly);
    const QString message = cad::dxf::missingDrawingMessage(path);
    EXPECT_TRUE(message.contains(QStringLiteral("Obok leży kopia zapasowa %1").arg(dir.filePath(QStringLiteral("plan.bak")))))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("z przerwanego zapisu"))) << message.toStdString();
    // Two saves in a row each replace the drawing; the backup holds the one before.
    EXPECT_EQ(linesIn(dir.filePath(QStringLiteral("plan.bak"))), 1);
}

TEST(DxfSave, EachSaveReplacesTheBackupAndKeepsTheDrawingsPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.dxf"));
    Database db;
    for (int lines = 1; lines <= 3; ++lines) {
        addLines(db, 1);
        cad::dxf::writeFile(db, path);
        if (lines == 1)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    }
    EXPECT_EQ(linesIn(path), 3);
    EXPECT_EQ(linesIn(dir.filePath(QStringLiteral("plan.bak"))), 2);
    // The owner, group and other bits (the "user" ones depend on who runs the test).
    EXPECT_EQ(QFileInfo(path).permissions() & QFileDevice::Permissions(0x7077),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

TEST(DxfSave, AWriteThatFailsNamesTheDrawingAndTheCauseAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.dxf"));
    Database old;
    addLines(old, 1);
    cad::dxf::writeFile(old, path);
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    // A file-size limit makes the write fail half way, as a full disk does.
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Database big;
        addLines(big, 2000);
        try {
            cad::dxf::writeFile(big, path);
        } catch (const cad::Failed& e) {
            const QString text = e.message();
            const bool named = text.startsWith(QStringLiteral("Nie można zapisać rysunku %1: ").arg(path)) &&
                               text.contains(QStringLiteral("rozmiar"));
            ::_exit(named ? 3 : 4);
        }
        ::_exit(5);
    });
    EXPECT_EQ(status, 3);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral(".plan.dxf.tmp*")}, QDir::Files | QDir::Hidden).isEmpty());
    // A folder that is not there: the cause is named.
    try {
        cad::dxf::writeFile(old, dir.filePath(QStringLiteral("brak/plan.dxf")));
        FAIL();
    } catch (const cad::Failed& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral(": folder nie istnieje"))) << e.message().toStdString();
    }
}

}  // namespace
