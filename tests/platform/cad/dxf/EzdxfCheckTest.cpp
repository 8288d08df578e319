// The independent check: drawings we write are opened by ezdxf, whose auditor must report no
// errors and which must see the attributes, the custom properties and the draw order we wrote.
#include "Sample.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "tests/platform/cad/dxf/PythonScript.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <set>

using namespace cad::db;

namespace {

const char* python = "/usr/bin/python3";

QJsonObject ezdxfReport(const QString& path) {
    return QJsonDocument::fromJson(
               cadtest::RunPythonScript(QStringLiteral(SUITE_SOURCE_DIR "/tests/platform/cad/dxf/ezdxf_check.py"), {path}))
        .object();
}

class DxfEzdxf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(python)) GTEST_SKIP() << "no /usr/bin/python3";
        QProcess probe;
        probe.start(python, {"-c", "import ezdxf"});
        probe.waitForFinished(30000);
        if (probe.exitCode() != 0) GTEST_SKIP() << "python3-ezdxf is not installed";
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
};

TEST_F(DxfEzdxf, AcceptsEverythingWeWrite) {
    auto sample = cadtest::makeSample();
    const QString path = dir.filePath("sample.dxf");
    cad::dxf::writeFile(*sample.db, path);
    const QJsonObject report = ezdxfReport(path);
    EXPECT_TRUE(report["errors"].toArray().isEmpty())
        << QJsonDocument(report["errors"].toArray()).toJson().toStdString();
    EXPECT_EQ(report["version"].toString(), "AC1015");
    EXPECT_EQ(report["encoding"].toString(), "cp1250");

    // Attributes of the reference, in order, with their flags.
    const QJsonArray inserts = report["inserts"].toArray();
    ASSERT_EQ(inserts.size(), 1);
    const QJsonObject ref = inserts[0].toObject();
    EXPECT_EQ(ref["name"].toString(), "12^POJPIESZ_STRUMIEN_3");
    EXPECT_EQ(ref["handle"].toString(), sample.ref->handleText());
    const QJsonArray attribs = ref["attribs"].toArray();
    ASSERT_EQ(attribs.size(), 2);
    EXPECT_EQ(attribs[0].toArray()[0].toString(), "POJPIESZ_STRUMIEN1");
    EXPECT_EQ(attribs[0].toArray()[1].toString(), "^P2");
    EXPECT_EQ(attribs[0].toArray()[2].toInt(), 9);
    EXPECT_EQ(attribs[1].toArray()[1].toString(), "opis");
    const QJsonArray defs = report["blocks"].toObject()["12^POJPIESZ_STRUMIEN_3"].toArray();
    ASSERT_EQ(defs.size(), 3);
    EXPECT_EQ(defs[2].toArray()[0].toString(), "STALY");

    // Custom properties in their order, the ten slots and the ones after them.
    const QJsonObject props = report["properties"].toObject();
    EXPECT_EQ(props["title"].toString(), "Skrzyżowanie 12");
    EXPECT_EQ(props["author"].toString(), "Projektant");
    const QJsonArray custom = props["custom"].toArray();
    const auto& expected = sample.db->summaryInfo().custom();
    ASSERT_EQ(custom.size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(custom[qsizetype(i)].toArray()[0].toString(), expected[i].first);
        EXPECT_EQ(custom[qsizetype(i)].toArray()[1].toString(), expected[i].second);
    }

    // The draw order ezdxf computes from our sort table.
    QStringList ours;
    for (Entity* e : sample.db->drawOrder(sample.db->modelSpace())) ours << e->handleText();
    QStringList theirs;
    for (const auto& h : report["order"].toArray()) theirs << h.toString();
    EXPECT_EQ(theirs, ours);
    EXPECT_EQ(theirs.last(), sample.line->handleText());

    const QJsonArray types = report["types"].toArray();
    for (const char* kind : {"LINE", "ARC", "CIRCLE", "LWPOLYLINE", "POLYLINE", "TEXT", "MTEXT", "POINT",
                             "HATCH", "REGION", "INSERT", "DIMENSION"})
        EXPECT_TRUE(types.contains(QString(kind))) << kind;
    EXPECT_EQ(report["layers"].toObject()["MAPA-ZIELEŃ"].toInt(), -7);  // switched off
}

TEST_F(DxfEzdxf, AcceptsDrawingsWeReadAndSavedAgain) {
    auto db = cad::dxf::readFile(QStringLiteral(SUITE_TEST_DATA "/cad/preserve_unknown.dxf"));
    const QString path = dir.filePath("preserved.dxf");
    cad::dxf::writeFile(*db, path);
    const QJsonObject report = ezdxfReport(path);
    EXPECT_TRUE(report["errors"].toArray().isEmpty())
        << QJsonDocument(report["errors"].toArray()).toJson().toStdString();
    const QJsonArray types = report["types"].toArray();
    EXPECT_TRUE(types.contains(QString("SPLINE")));
    EXPECT_TRUE(types.contains(QString("POLYLINE")));
    EXPECT_TRUE(types.contains(QString("WIPEOUT")));
}

// Exploded pieces are new entities: each has a handle of its own, apart from every other one in the
// drawing (the handles the 3D polyline's vertices keep too), and ezdxf reads them back under it.
TEST_F(DxfEzdxf, ExplodedPiecesHaveHandlesOfTheirOwn) {
    auto db = cad::dxf::readFile(QStringLiteral(SUITE_TEST_DATA "/cad/preserve_unknown.dxf"));
    Entity* polyline3d = nullptr;
    for (Entity* e : db->modelSpace()->entities())
        if (const auto* raw = e->tryAs<RawData>(); raw && raw->dxfName == QLatin1String("POLYLINE")) polyline3d = e;
    ASSERT_NE(polyline3d, nullptr);
    Entity* lw = db->addLwPolyline(db->modelSpace(), {{0, 0, 0.5}, {10, 0}, {10, 10}, {0, 10}});
    ASSERT_EQ(db->explode(polyline3d).size(), 1u);  // its two vertices
    ASSERT_EQ(db->explode(lw).size(), 3u);  // an arc and two lines
    std::set<quint64> handles;
    QStringList ours;
    for (Entity* e : db->modelSpace()->entities()) {
        EXPECT_NE(e->handle(), 0u);
        EXPECT_TRUE(handles.insert(e->handle()).second) << e->handleText().toStdString();
        ours << e->handleText();
    }
    const QString path = dir.filePath("exploded.dxf");
    cad::dxf::writeFile(*db, path);
    const QJsonObject report = ezdxfReport(path);
    EXPECT_TRUE(report["errors"].toArray().isEmpty())
        << QJsonDocument(report["errors"].toArray()).toJson().toStdString();
    QStringList theirs;
    for (const auto& h : report["handles"].toArray()) theirs << h.toString();
    EXPECT_EQ(theirs, ours);
}

}  // namespace
