// Path joining, parent folder and the file-existence test.
#include "common/PathHelpers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace common;

TEST(CommonJoinPath, OneSeparatorWrittenAsSlash) {
    EXPECT_EQ(JoinPath(QStringLiteral("C:\\x\\"), QStringLiteral("\\y.ini")), QStringLiteral("C:/x/y.ini"));
    EXPECT_EQ(JoinPath(QStringLiteral("  C:\\x  "), QStringLiteral("y")), QStringLiteral("C:/x/y"));
    EXPECT_EQ(JoinPath(QString(), QStringLiteral("y")), QStringLiteral("/y"));
    EXPECT_EQ(JoinPath(QStringLiteral("/opt/suite/"), QStringLiteral("/Tesmar.ini")),
              QStringLiteral("/opt/suite/Tesmar.ini"));
    EXPECT_EQ(JoinPath(QStringLiteral("/opt"), QStringLiteral("a/b")), QStringLiteral("/opt/a/b"));
}

TEST(CommonCollapseDoubleBackslashes, RunsShrinkExceptNetworkPath) {
    EXPECT_EQ(CollapseDoubleBackslashes(QStringLiteral("C:\\\\\\a")), QStringLiteral("C:/a"));
    EXPECT_EQ(CollapseDoubleBackslashes(QStringLiteral("/a//b///c")), QStringLiteral("/a/b/c"));
    EXPECT_EQ(CollapseDoubleBackslashes(QStringLiteral("\\\\server\\\\share")),
              QStringLiteral("//server//share"));
    EXPECT_EQ(CollapseDoubleBackslashes(QStringLiteral("a\\/b")), QStringLiteral("a/b"));
}

TEST(CommonGetParentFolder, TextLeftOfLastSeparator) {
    EXPECT_EQ(GetParentFolder(QStringLiteral("C:\\a\\b.ini")), QStringLiteral("C:/a"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("C:\\a\\")), QStringLiteral("C:/a"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("C:\\")), QStringLiteral("C:"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("a.ini")), QString());
    EXPECT_EQ(GetParentFolder(QStringLiteral("   ")), QString());
    // Twice from the program folder gives the suite root.
    EXPECT_EQ(GetParentFolder(GetParentFolder(QStringLiteral("/opt/suite/Tesmar/bin"))),
              QStringLiteral("/opt/suite"));
}

TEST(CommonCheckFileExists, FilesFoldersHiddenAndPatterns) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath(QStringLiteral("Ulice.lst")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile hidden(dir.filePath(QStringLiteral(".ukryty")));
    ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    QDir(dir.path()).mkdir(QStringLiteral("Zasoby"));

    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral("Ulice.lst")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("Brak.lst")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("Brak/Ulice.lst")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("Zasoby")), 0));  // a folder is no ordinary file
    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral("Zasoby")), AttrDirectory));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral(".ukryty")), 0));
    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral(".ukryty")), AttrHidden));
    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral("*.lst")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("*.xml")), 0));
    QString backslashed = dir.filePath(QStringLiteral("Ulice.lst"));
    backslashed.replace(QLatin1Char('/'), QLatin1Char('\\'));
    EXPECT_TRUE(CheckFileExists(backslashed, 0));
    EXPECT_FALSE(CheckFileExists(QString(), 0));
}

TEST(CommonCheckFileExists, DrawingNameFindsItsDxfFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"Program_12grup.DXF", "EKP.dxf", "notatki.txt"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral("Program_12grup.dwt")), 0));
    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral("program_12GRUP.dwt")), 0));
    EXPECT_TRUE(CheckFileExists(dir.filePath(QStringLiteral("EKP.DWG")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("EKO.dwg")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("notatki.dwg")), 0));
    EXPECT_FALSE(CheckFileExists(dir.filePath(QStringLiteral("ekp.txt")), 0));  // other names keep their case
}
