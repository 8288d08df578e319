// A MINSERT (a block reference repeated in rows and columns) as ezdxf writes it: read with its block
// name and grid, its extents those ezdxf finds, saved back as one, and copied, mirrored and
// exploded cell by cell. ezdxf is the independent reader throughout.
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"
#include "tests/platform/cad/dxf/PythonScript.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

using namespace cad::db;

namespace {

const char* python = "/usr/bin/python3";

QByteArray runScript(const QStringList& args) {
    return cadtest::RunPythonScript(QStringLiteral(SUITE_TEST_DATA "/cad/grid_reference.py"), args);
}

// What ezdxf reads from a file: every model-space reference in file order.
QJsonArray ezdxfReferences(const QString& path) {
    return QJsonDocument::fromJson(runScript({QStringLiteral("read"), path})).array();
}

// `tolerance` for coordinates of map-grid size, where a double holds only micrometres.
void expectBox(const Box& ours, const QJsonValue& theirs, double tolerance = 1e-9) {
    const QJsonArray b = theirs.toArray();
    ASSERT_EQ(b.size(), 4);
    EXPECT_NEAR(ours.min.x, b[0].toDouble(), tolerance);
    EXPECT_NEAR(ours.min.y, b[1].toDouble(), tolerance);
    EXPECT_NEAR(ours.max.x, b[2].toDouble(), tolerance);
    EXPECT_NEAR(ours.max.y, b[3].toDouble(), tolerance);
}

std::vector<Entity*> references(Database& db) {
    std::vector<Entity*> out;
    for (Entity* e : db.modelSpace()->entities())
        if (e->tryAs<InsertData>()) out.push_back(e);
    return out;
}

class GridReference : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(python)) GTEST_SKIP() << "no /usr/bin/python3";
        QProcess probe;
        probe.start(python, {"-c", "import ezdxf"});
        probe.waitForFinished(30000);
        if (probe.exitCode() != 0) GTEST_SKIP() << "python3-ezdxf is not installed";
        ASSERT_TRUE(dir.isValid());
    }
    // The test drawing as ezdxf writes it in the given DXF version (with the script's options).
    QString written(const QString& version, const QStringList& options = {}) {
        const QString path = dir.filePath(QStringLiteral("grid_%1%2.dxf").arg(version, options.join(QString())));
        runScript(QStringList{QStringLiteral("write"), path, version} + options);
        return path;
    }
    QTemporaryDir dir;
};

// With subclass markers (R2010) and without them (R12), the MINSERT is named, gridded and as wide
// as ezdxf finds it; the plain reference beside it stays one.
TEST_F(GridReference, ReadWithItsNameGridAndExtents) {
    for (const QString version : {QStringLiteral("R2010"), QStringLiteral("R12")}) {
        SCOPED_TRACE(version.toStdString());
        const QString path = written(version);
        const auto db = cad::dxf::readFile(path);
        const auto refs = references(*db);
        ASSERT_EQ(refs.size(), 2u);
        const auto& grid = refs[0]->as<InsertData>();
        EXPECT_EQ(grid.blockName, QStringLiteral("KRATKA"));
        EXPECT_TRUE(grid.grid);
        EXPECT_EQ(grid.rows, 2);
        EXPECT_EQ(grid.columns, 3);
        EXPECT_EQ(grid.rowSpacing, 5);
        EXPECT_EQ(grid.columnSpacing, 8);
        EXPECT_EQ(refs[0]->objectName(), QStringLiteral("AcDbMInsertBlock"));
        EXPECT_EQ(refs[0]->dxfName(), QStringLiteral("INSERT"));
        EXPECT_TRUE(refs[0]->extraTags.empty());  // nothing of the grid left over as unread tags
        EXPECT_FALSE(refs[1]->as<InsertData>().grid);
        EXPECT_EQ(refs[1]->objectName(), QStringLiteral("AcDbBlockReference"));
        const QJsonArray theirs = ezdxfReferences(path);
        ASSERT_EQ(theirs.size(), 2);
        expectBox(db->boundingBox(refs[0]), theirs[0].toObject()["box"]);
        expectBox(db->boundingBox(refs[1]), theirs[1].toObject()["box"]);
    }
}

// A MINSERT written without its spacings (no 44, no 45) has them 0, as DXF has it: every cell lies on
// the first, and the grid is as wide as one cell, where ezdxf finds it.
TEST_F(GridReference, WithoutSpacingsEveryCellLiesOnTheFirst) {
    const QString path = written(QStringLiteral("R2010"), {QStringLiteral("--no-spacing")});
    const auto db = cad::dxf::readFile(path);
    const auto refs = references(*db);
    ASSERT_EQ(refs.size(), 2u);
    const auto& grid = refs[0]->as<InsertData>();
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.rowSpacing, 0);
    EXPECT_EQ(grid.columnSpacing, 0);
    expectBox(db->boundingBox(refs[0]), ezdxfReferences(path)[0].toObject()["box"]);
}

// Seen from below (extrusion (0, 0, -1)) on map-grid coordinates, turned 30 degrees, two rows and
// three columns: the grid runs where ezdxf finds it, alone and inside a block that is itself
// turned half round and mirrored in Y far from the origin (there where ezdxf places each cell's
// lines: its bbox lets a mirrored grid's rows run the side they ran before).
TEST_F(GridReference, SeenFromBelowFarFromTheOriginWhereEzdxfFindsIt) {
    const QString path = written(QStringLiteral("R2010"), {QStringLiteral("--down")});
    const auto db = cad::dxf::readFile(path);
    const auto refs = references(*db);
    ASSERT_EQ(refs.size(), 3u);
    EXPECT_EQ(refs[0]->normal, (Point3{0, 0, -1}));
    EXPECT_EQ(refs[0]->as<InsertData>().rows, 2);
    const QJsonArray theirs = ezdxfReferences(path);
    ASSERT_EQ(theirs.size(), 3);
    expectBox(db->boundingBox(refs[0]), theirs[0].toObject()["box"], 1e-5);
    expectBox(db->boundingBox(refs[2]), theirs[2].toObject()["cells"], 1e-5);
}

// Open and save: the MINSERT is written as one (its subclass and grid), the plain reference as a
// plain one, and ezdxf reads back the same name, grid and extents.
TEST_F(GridReference, SavedAsRead) {
    const QString source = written(QStringLiteral("R2010"));
    const QJsonArray before = ezdxfReferences(source);
    const auto db = cad::dxf::readFile(source);
    const QString saved = dir.filePath(QStringLiteral("saved.dxf"));
    cad::dxf::writeFile(*db, saved);
    QFile f(saved);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_EQ(text.count("\nAcDbMInsertBlock"), 1);
    EXPECT_EQ(text.count("\nAcDbBlockReference"), 1);
    EXPECT_EQ(ezdxfReferences(saved), before);
    // Read again, it is the same grid.
    const auto again = cad::dxf::readFile(saved);
    EXPECT_EQ(references(*again)[0]->objectName(), QStringLiteral("AcDbMInsertBlock"));
    EXPECT_EQ(references(*again)[0]->as<InsertData>().rows, 2);
}

// A copy keeps the grid; mirrored in Y its rows run the other way, where ezdxf finds them after a
// save; exploded, every cell gives the block's five lines at its own place.
TEST_F(GridReference, CopiedMirroredAndExplodedCellByCell) {
    const auto db = cad::dxf::readFile(written(QStringLiteral("R2010")));
    Entity* grid = references(*db)[0];
    const Box box = db->boundingBox(grid);

    Entity* copy = db->copy(grid);
    EXPECT_EQ(copy->objectName(), QStringLiteral("AcDbMInsertBlock"));
    db->transform(copy, Transform2D{-1, 0, 0, 1, 0, 0});
    const Box mirrored = db->boundingBox(copy);
    EXPECT_NEAR(mirrored.min.x, -box.max.x, 1e-9);
    EXPECT_NEAR(mirrored.max.x, -box.min.x, 1e-9);
    EXPECT_NEAR(mirrored.min.y, box.min.y, 1e-9);
    EXPECT_NEAR(mirrored.max.y, box.max.y, 1e-9);
    // Scaled, the spacings grow with the block.
    Entity* doubled = db->copy(grid);
    db->transform(doubled, Transform2D{2, 0, 0, 2, 0, 0});
    EXPECT_NEAR(doubled->as<InsertData>().rowSpacing, 10, 1e-12);
    EXPECT_NEAR(doubled->as<InsertData>().columnSpacing, 16, 1e-12);
    const QString saved = dir.filePath(QStringLiteral("mirrored.dxf"));
    cad::dxf::writeFile(*db, saved);
    const QJsonArray theirs = ezdxfReferences(saved);
    ASSERT_EQ(theirs.size(), 4);
    expectBox(mirrored, theirs[2].toObject()["box"]);
    expectBox(db->boundingBox(doubled), theirs[3].toObject()["box"]);

    // Exploded: 6 cells of 5 lines; each cell's diagonal mark starts at the block's origin placed
    // in that cell: the base point (1, 0.5) scaled by (1.5, 1) back from the cell's insertion point.
    const std::vector<Entity*> pieces = db->explode(grid);
    ASSERT_EQ(pieces.size(), 30u);
    Box exploded;
    for (Entity* e : pieces) exploded.add(db->boundingBox(e));
    expectBox(exploded, ezdxfReferences(saved)[0].toObject()["box"]);
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) {
            const double x = 8 * column - 1.5, y = 5 * row - 0.5;
            const Point3 origin{10 + x * c - y * s, 20 + x * s + y * c, 0};
            const auto& mark = pieces[size_t(row * 3 + column) * 5 + 4]->as<LineData>();
            EXPECT_NEAR(mark.start.x, origin.x, 1e-9) << row << "," << column;
            EXPECT_NEAR(mark.start.y, origin.y, 1e-9) << row << "," << column;
        }
}

}  // namespace
