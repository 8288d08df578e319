// Saving a workbook safely beside other writers: a failed save names the file and the cause, a
// writer of the suite holding the workbook's lock file is named to the second one, a workbook
// changed on disk since it was read is not written over, and two programs saving one workbook at
// once never report a save the file does not hold.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/WriteGuard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace sheet;

namespace {

QString saveError(Workbook& book, const QString& path) {
    try {
        book.saveAs(path);
    } catch (const FileError& e) {
        return e.message();
    }
    return QString();
}

QString cellText(const QString& file, const char* cell) {
    Application app;
    return app.workbooks().open(file).worksheets(1).range(QString::fromLatin1(cell)).value().toString();
}

class SheetWriteGuard : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Application app;
    QString file;
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath(QStringLiteral("czasy.xlsx"));
        Workbook& b = app.workbooks().add();
        b.worksheets(1).range("A1").setValue(QStringLiteral("pierwszy"));
        b.saveAs(file);
        b.close();
    }
    // What the folder holds besides the workbook: no temporary file or lock left behind.
    QStringList leftovers() {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral("czasy.xlsx"));
        return names;
    }
};

TEST_F(SheetWriteGuard, AFailedSaveNamesTheFileAndItsCause) {
    Workbook& b = app.workbooks().add();
    const QString noFolder = dir.filePath(QStringLiteral("brak/czasy.xlsx"));
    EXPECT_EQ(saveError(b, noFolder),
              QStringLiteral("Nie można zapisać pliku \"%1\": folder nie istnieje").arg(noFolder));
    const QString throughFile = file + QStringLiteral("/czasy.xlsx");
    EXPECT_EQ(
        saveError(b, throughFile),
        QStringLiteral("Nie można zapisać pliku \"%1\": część ścieżki nie jest folderem").arg(throughFile));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.xlsx")));
    const QString folder = dir.filePath(QStringLiteral("folder.xlsx"));
    EXPECT_EQ(saveError(b, folder),
              QStringLiteral("Nie można zapisać pliku \"%1\": pod tą nazwą jest folder").arg(folder));
    EXPECT_EQ(systemErrorText(ENOSPC), QStringLiteral("brak miejsca na dysku"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*tmp~*")}, QDir::Files | QDir::Hidden),
              QStringList());
}

TEST_F(SheetWriteGuard, AWriterHoldingTheLockIsNamedAndAnotherProgramsLockIsKept) {
    const QString lockPath = dir.filePath(QStringLiteral(".~lock.czasy.xlsx#"));
    EXPECT_EQ(lockFilePathOf(file), lockPath);
    Workbook& b = app.workbooks().open(file);
    b.worksheets(1).range("A2").setValue(QStringLiteral("drugi"));
    {
        // Another of the suite's programs is saving: its lock file is held.
        const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const QByteArray holder = ",jan,stacja,10.12.2026 03:00,tesmar-zapis:4242:conflictor-headless;";
        ASSERT_EQ(::write(fd, holder.constData(), size_t(holder.size())), holder.size());
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        try {
            b.save();
            ADD_FAILURE() << "saved while another writer held the workbook";
        } catch (const FileError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("Skoroszyt \"%1\" zapisuje teraz conflictor-headless (proces 4242, "
                                     "użytkownik jan, komputer stacja); spróbuj ponownie, gdy skończy")
                          .arg(file));
        }
        EXPECT_EQ(cellText(file, "A2"), QString());
        ::close(fd);
    }
    // Its writer ended without removing the lock file: the lock is free, the save goes through
    // and the lock file goes with it.
    b.save();
    EXPECT_EQ(cellText(file, "A2"), QStringLiteral("drugi"));
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();

    // LibreOffice's own lock (the user chose to write anyway) stays as LibreOffice wrote it.
    const QByteArray office = ",Jan Kowalski,stacja,10.12.2026 03:00,file:///home/jan/.config/libreoffice/4;";
    QFile lock(lockPath);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(office);
    lock.close();
    b.worksheets(1).range("A3").setValue(QStringLiteral("trzeci"));
    b.save();
    EXPECT_EQ(cellText(file, "A3"), QStringLiteral("trzeci"));
    ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
    EXPECT_EQ(lock.readAll(), office);
}

TEST_F(SheetWriteGuard, AWorkbookSavedByAnotherProgramSinceItWasReadIsNotWrittenOver) {
    Workbook& mine = app.workbooks().open(file);
    mine.worksheets(1).range("B1").setValue(QStringLiteral("moje"));
    {
        Application other;
        Workbook& theirs = other.workbooks().open(file);
        theirs.worksheets(1).range("C1").setValue(QStringLiteral("ich"));
        theirs.save();
    }
    try {
        mine.save();
        ADD_FAILURE() << "wrote over the other program's save";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Plik \"%1\" zapisał inny program po jego wczytaniu; nie zapisano, aby "
                                 "nie zastąpić tamtych zmian - wczytaj skoroszyt ponownie")
                      .arg(file));
    }
    EXPECT_EQ(cellText(file, "C1"), QStringLiteral("ich"));
    EXPECT_EQ(cellText(file, "B1"), QString());
    // Saved under another name it is a new file; saved again there, it is its own.
    const QString copy = dir.filePath(QStringLiteral("kopia.xlsx"));
    mine.saveAs(copy);
    mine.worksheets(1).range("B2").setValue(QStringLiteral("dalej"));
    mine.save();
    EXPECT_EQ(cellText(copy, "B2"), QStringLiteral("dalej"));
}

// Two programs read, change and save one workbook at the same moment, 50 times: each save a
// program reports is in the file, one it refuses is not, and the refusal says why.
TEST_F(SheetWriteGuard, TwoWriterProcessesNeverReportASaveTheFileDoesNotHold) {
    int refused = 0;
    for (int round = 1; round <= 50; ++round) {
        QProcess first, second;
        const QString a = QStringLiteral("A%1").arg(round + 1), b = QStringLiteral("B%1").arg(round + 1);
        const QString pause = QString::number(round % 5 * 4);
        first.start(QStringLiteral(SUITE_SHEET_WRITER),
                    {file, a, QStringLiteral("pierwszy %1").arg(round), pause});
        second.start(QStringLiteral(SUITE_SHEET_WRITER),
                     {file, b, QStringLiteral("drugi %1").arg(round), pause});
        ASSERT_TRUE(first.waitForFinished(30000));
        ASSERT_TRUE(second.waitForFinished(30000));
        Application check;
        Worksheet& ws = check.workbooks().open(file).worksheets(1);
        for (auto* p : {&first, &second}) {
            const bool isFirst = p == &first;
            const QString cell = isFirst ? a : b;
            const QString expected = QStringLiteral("%1 %2").arg(isFirst ? "pierwszy" : "drugi").arg(round);
            const QString said = QString::fromUtf8(p->readAllStandardOutput()).trimmed();
            ASSERT_EQ(p->exitStatus(), QProcess::NormalExit);
            if (p->exitCode() == 0) {
                EXPECT_EQ(ws.range(cell).value().toString(), expected)
                    << "round " << round << " reported saved";
            } else {
                ++refused;
                EXPECT_EQ(ws.range(cell).value().toString(), QString())
                    << "round " << round << ": " << said.toStdString();
                EXPECT_TRUE(
                    said.startsWith(
                        QStringLiteral("Skoroszyt \"%1\" zapisuje teraz sheet_test_writer (proces ")
                            .arg(file)) ||
                    said.startsWith(
                        QStringLiteral("Plik \"%1\" zapisał inny program po jego wczytaniu").arg(file)))
                    << said.toStdString();
            }
        }
    }
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
    std::printf("refused saves: %d of 100\n", refused);
}

}  // namespace
