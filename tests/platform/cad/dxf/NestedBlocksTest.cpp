// References nested far deeper than drawing goes are data all the same: a drawing so made is
// saved with every level and read back with every level, by us and by ezdxf.
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"
#include "tests/platform/cad/dxf/PythonScript.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cad::db;

namespace {

// Model space holds N<levels-1>; each N<i> holds a line and N<i-1>, turned and moved.
void chain(Database& db, int levels) {
    db.addLine(db.addBlock(QStringLiteral("N0")), {0, 0, 0}, {0, 1, 0});
    for (int i = 1; i < levels; ++i) {
        BlockDefinition* b = db.addBlock(QStringLiteral("N%1").arg(i));
        db.addLine(b, {0, 0, 0}, {0, 1, 0});
        db.insertBlock(b, {1, 0.5, 0}, QStringLiteral("N%1").arg(i - 1), 1, 1, 1, 0.01);
    }
    db.insertBlock(db.modelSpace(), {7.5e9, 5.5e9, 0}, QStringLiteral("N%1").arg(levels - 1), 1, 1, 1, 0);
}

// Every level is there, each block holding the next as it was made.
void expectWhole(const Database& db, int levels) {
    ASSERT_EQ(db.modelSpace()->count(), 1);
    for (int i = 1; i < levels; ++i) {
        const BlockDefinition* b = db.findBlock(QStringLiteral("N%1").arg(i));
        ASSERT_TRUE(b) << i;
        ASSERT_EQ(b->entities().size(), 2u) << i;
        const auto& ins = b->entities()[1]->as<InsertData>();
        ASSERT_EQ(ins.blockName, QStringLiteral("N%1").arg(i - 1));
        ASSERT_DOUBLE_EQ(ins.rotation, 0.01);
    }
    ASSERT_TRUE(db.findBlock(QStringLiteral("N0")));
}

}  // namespace

TEST(DxfNesting, ReferencesNestedPastTheDrawingsDepthAreSavedAndReadBackWhole) {
    for (const int levels : {257, 100000}) {
        SCOPED_TRACE(levels);
        Database db;
        chain(db, levels);
        const std::unique_ptr<Database> back =
            cad::dxf::readBuffer(cad::dxf::writeBuffer(db), QStringLiteral("n.dxf"));
        expectWhole(*back, levels);
        long long leftOut = -1;
        back->boundingBox(back->modelSpace()->entities().front(), &leftOut);
        EXPECT_EQ(leftOut, 1);
    }
}

TEST(DxfNesting, EzdxfReadsEveryLevelWeSaved) {
    QProcess probe;
    probe.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import ezdxf")});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        GTEST_SKIP() << "python3-ezdxf is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lancuch.dxf"));
    Database db;
    chain(db, 300);
    cad::dxf::writeFile(db, path);
    const QJsonObject report =
        QJsonDocument::fromJson(
            cadtest::RunPythonScript(
                QStringLiteral(SUITE_SOURCE_DIR "/tests/platform/cad/dxf/ezdxf_check.py"), {path}))
            .object();
    EXPECT_TRUE(report[QStringLiteral("errors")].toArray().isEmpty());
    const QJsonObject inserted = report[QStringLiteral("block_inserts")].toObject();
    for (int i = 1; i < 300; ++i)
        ASSERT_EQ(inserted[QStringLiteral("N%1").arg(i)].toArray(),
                  QJsonArray{QStringLiteral("N%1").arg(i - 1)})
            << i;
    EXPECT_TRUE(inserted[QStringLiteral("N0")].toArray().isEmpty());
}
