// Entities in their own coordinate systems as ezdxf writes them, read through the object model:
// points answer and take world coordinates (as ezdxf's OCS.to_wcs gives them), angles and vertex
// lists stay in the entity's OCS, and a bulk read answers what the single reads answer.
#include "ModelFixture.h"

#include "platform/cad/BulkReads.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <numbers>

namespace {

using cadtest::ModelTest;

class OcsMembersTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        if (!QFile::exists(QStringLiteral("/usr/bin/python3"))) GTEST_SKIP() << "no /usr/bin/python3";
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("ocs.dxf"));
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(SUITE_SOURCE_DIR "/tests/platform/cad/dxf/ocs_drawing.py"), QStringLiteral("write"),
                 path});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        truth = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        drawing = app.documents().open(path);
        const cad::Block space = drawing.modelSpace();
        for (int i = 0; i < space.count(); ++i) byLayer.insert(space.item(i).layer(), space.item(i));
    }

    cad::Point want(const QString& layer, const QString& member) const {
        const QJsonArray a = truth[layer].toObject()[QStringLiteral("points")].toObject()[member].toArray();
        return cad::Point{a[0].toDouble(), a[1].toDouble(), a[2].toDouble()};
    }

    static void expectNear(const cad::Point& got, const cad::Point& w, const char* what) {
        EXPECT_NEAR(got.x, w.x, 1e-9) << what;
        EXPECT_NEAR(got.y, w.y, 1e-9) << what;
        EXPECT_NEAR(got.z, w.z, 1e-9) << what;
    }

    QTemporaryDir dir;
    QJsonObject truth;
    cad::Document drawing;
    QHash<QString, cad::Entity> byLayer;
};

TEST_P(OcsMembersTest, PointsAreWorldAnglesAndVerticesStayInTheOcs) {
    const cad::Entity circle = byLayer.value(QStringLiteral("CIRCLE"));
    const cad::Entity arc = byLayer.value(QStringLiteral("ARC"));
    const cad::Entity polyline = byLayer.value(QStringLiteral("LWPOLYLINE"));
    const cad::Entity ref = byLayer.value(QStringLiteral("INSERT"));
    const cad::Entity text = byLayer.value(QStringLiteral("TEXT"));
    const cad::Entity attdef = byLayer.value(QStringLiteral("ATTDEF"));
    const cad::Entity tilted = byLayer.value(QStringLiteral("TILTED"));
    expectNear(circle.center(), want("CIRCLE", "Center"), "circle centre");  // (-75; 50)
    expectNear(arc.center(), want("ARC", "Center"), "arc centre");
    expectNear(arc.startPoint(), want("ARC", "StartPoint"), "arc start");
    expectNear(arc.endPoint(), want("ARC", "EndPoint"), "arc end");
    expectNear(polyline.startPoint(), want("LWPOLYLINE", "StartPoint"), "polyline start");
    expectNear(ref.insertionPoint(), want("INSERT", "InsertionPoint"), "reference");
    expectNear(text.insertionPoint(), want("TEXT", "InsertionPoint"), "text");
    expectNear(attdef.insertionPoint(), want("ATTDEF", "InsertionPoint"), "attribute definition");
    expectNear(tilted.center(), want("TILTED", "Center"), "tilted circle");
    // Angles and vertex lists as stored; Normal answers the extrusion.
    EXPECT_NEAR(arc.startAngle(), std::numbers::pi / 6, 1e-12);
    EXPECT_NEAR(arc.endAngle(), 2 * std::numbers::pi / 3, 1e-12);
    EXPECT_EQ(polyline.coordinates().value(1), (cad::Point{10, 0, 0}));
    EXPECT_EQ(arc.get(QStringLiteral("Normal")).toPoint(), (cad::Point{0, 0, -1}));

    // A bulk read answers as the single calls.
    const cad::VariantList rows = cad::ReadProperties(
        drawing, cad::ObjectsOf(QList<cad::Entity>{arc, circle}),
        {QStringLiteral("?StartPoint"), QStringLiteral("Center"), QStringLiteral("?StartAngle")});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].toArray().value(0).toPoint(), arc.startPoint());
    EXPECT_EQ(rows[0].toArray().value(1).toPoint(), arc.center());
    EXPECT_DOUBLE_EQ(rows[0].toArray().value(2).toDouble(), arc.startAngle());
    EXPECT_EQ(rows[1].toArray().value(1).toPoint(), circle.center());
}

TEST_P(OcsMembersTest, WorldPointsSetAreKeptInTheOcs) {
    // A centre set 5 to the right in world lands there, and the extents follow.
    const cad::Entity circle = byLayer.value(QStringLiteral("CIRCLE"));
    circle.setCenter(cad::Point{-70, 50, -3});
    expectNear(circle.center(), cad::Point{-70, 50, -3}, "circle centre set");
    EXPECT_NEAR(circle.boundingBox().first.x, -80, 1e-9);
    // A reference placed anew keeps its own coordinate system; its box moves by the same vector.
    const cad::Entity ref = byLayer.value(QStringLiteral("INSERT"));
    const auto before = ref.boundingBox();
    ref.setInsertionPoint(cad::Point{-20, -25, 0});
    expectNear(ref.insertionPoint(), cad::Point{-20, -25, 0}, "reference set");
    EXPECT_NEAR(ref.boundingBox().first.x, before.first.x + 10, 1e-9);
    EXPECT_NEAR(ref.boundingBox().second.y, before.second.y - 5, 1e-9);
    // Turned by its Rotation (an OCS angle), it turns about its insertion point where it is drawn.
    ref.setRotation(0);
    EXPECT_DOUBLE_EQ(ref.get(QStringLiteral("Rotation")).toDouble(), 0);
    expectNear(ref.insertionPoint(), cad::Point{-20, -25, 0}, "reference turned");
    // The block (0..12 wide with its circle) scaled by 2 runs along the OCS X axis: to world -X.
    EXPECT_NEAR(ref.boundingBox().first.x, -44, 1e-9);
    EXPECT_NEAR(ref.boundingBox().second.x, -20, 1e-9);
    // Text: an insertion point set in world coordinates is answered back unchanged.
    const cad::Entity text = byLayer.value(QStringLiteral("TEXT"));
    text.setInsertionPoint(cad::Point{-12, 6, 0});
    expectNear(text.insertionPoint(), cad::Point{-12, 6, 0}, "text set");
    EXPECT_NEAR(text.boundingBox().second.x, -12, 1e-9);  // runs to the left from its insertion point
}

CADMODEL_CHANNELS(OcsMembersTest);

}  // namespace
