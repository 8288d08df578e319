// File names, base names, array bounds and folder paths.
#include "common/FileNameHelpers.h"
#include "common/PathHelpers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace common {

TEST(FileNameHelpersTest, FileNames) {
    EXPECT_EQ(GetFileName("C:/a/b.txt"), QStringLiteral("b.txt"));
    EXPECT_EQ(GetFileName("C:\\a\\b.txt"), QStringLiteral("b.txt"));
    EXPECT_EQ(GetFileName("C:b.txt"), QStringLiteral("b.txt"));
    EXPECT_EQ(GetFileName("b.txt"), QStringLiteral("b.txt"));
    EXPECT_EQ(GetFileName("   "), QStringLiteral("   "));
    EXPECT_EQ(GetFileBaseName("C:\\a\\b.c.txt"), QStringLiteral("b.c"));
    EXPECT_EQ(GetFileBaseName("C:\\a\\b"), QStringLiteral("b"));
    EXPECT_EQ(GetFileBaseName("C:\\a\\"), QString());
    EXPECT_EQ(ReplaceAll("a-b-c", "-", "+"), QStringLiteral("a+b+c"));
}

TEST(FileNameHelpersTest, ArrayUpperBound) {
    std::vector<int> never;
    EXPECT_EQ(GetArrayUpperBound(never), -1);
    EXPECT_EQ(GetArrayUpperBound(std::vector<int>(5)), 4);
    EXPECT_EQ(GetArrayUpperBound(std::optional<std::vector<int>>{}), -1);
}

TEST(FileNameHelpersTest, CreatesMissingFoldersOnly) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir().mkdir(root + "/x");
    CreateFolderPath(root + "\\x\\y\\z");
    EXPECT_TRUE(QDir(root + "/x/y/z").exists());
    CreateFolderPath(root + "/x/y/z");  // all present: nothing to do, no failure
    QFile f(root + "/file");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_THROW(CreateFolderPath(root + "/file/sub"), FileError);
}

}  // namespace common
