// Entities in their own coordinate systems (extrusion (0,0,-1), one tilted plane) as ezdxf writes
// them: the engine measures each where ezdxf places it (a dimension, also one kept as read, by the
// world points of its block), moves it where it is drawn (a hatch's spline edge as ezdxf turns it),
// explodes it in place, and saves it exactly as read.
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Ocs.h"
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

QJsonObject runScript(const QString& mode, const QString& path) {
    return QJsonDocument::fromJson(cadtest::RunPythonScript(
                                      QStringLiteral(SUITE_SOURCE_DIR "/tests/platform/cad/dxf/ocs_drawing.py"), {mode, path}))
        .object();
}

Entity* onLayer(Database& db, const QString& layer) {
    for (Entity* e : db.modelSpace()->entities())
        if (e->layer() == layer) return e;
    ADD_FAILURE() << "no entity on layer " << layer.toStdString();
    return nullptr;
}

void expectPoint(const Point3& got, const QJsonValue& want, double tol, const QString& what) {
    const QJsonArray w = want.toArray();
    ASSERT_EQ(w.size(), 3) << what.toStdString();
    EXPECT_NEAR(got.x, w[0].toDouble(), tol) << what.toStdString();
    EXPECT_NEAR(got.y, w[1].toDouble(), tol) << what.toStdString();
    EXPECT_NEAR(got.z, w[2].toDouble(), tol) << what.toStdString();
}

class OcsPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(python)) GTEST_SKIP() << "no /usr/bin/python3";
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("ocs.dxf");
        truth = runScript("write", path);
        ASSERT_FALSE(truth.isEmpty());
        db = cad::dxf::readFile(path);
    }
    QTemporaryDir dir;
    QString path;
    QJsonObject truth;
    std::unique_ptr<Database> db;
};

TEST_F(OcsPlacement, ExtentsAndEndsAreWhereEzdxfPlacesEachKind) {
    ASSERT_EQ(truth.size(), 21);
    for (auto it = truth.begin(); it != truth.end(); ++it) {
        const QString name = it.key();
        const QJsonObject want = it.value().toObject();
        Entity* e = onLayer(*db, name);
        ASSERT_NE(e, nullptr);
        // Texts are measured with our own font widths, ezdxf with its own: the anchor and the side
        // the text runs to must agree, within half a text height. ezdxf measures curves flattened
        // (within a thousandth here, a tilted circle within 0.02).
        const double tol = want["text"].toBool() ? 0.5 * want["height"].toDouble()
                           : name.startsWith("TILTED") ? 0.02
                                                 : 2e-3;
        const QJsonArray b = want["box"].toArray();
        const Box box = db->boundingBox(e);
        EXPECT_NEAR(box.min.x, b[0].toDouble(), tol) << name.toStdString();
        EXPECT_NEAR(box.min.y, b[1].toDouble(), tol) << name.toStdString();
        EXPECT_NEAR(box.max.x, b[2].toDouble(), tol) << name.toStdString();
        EXPECT_NEAR(box.max.y, b[3].toDouble(), tol) << name.toStdString();
        const QJsonObject points = want["points"].toObject();
        if (points.contains("StartPoint"))
            expectPoint(db->startPoint(e), points["StartPoint"], 1e-9, name + " start");
        if (points.contains("EndPoint")) expectPoint(db->endPoint(e), points["EndPoint"], 1e-9, name + " end");
    }
}

TEST_F(OcsPlacement, MovesAndTurnsHappenWhereTheEntityIsDrawn) {
    // An arc seen from below moved 5 to the right ends 5 further right in world.
    Entity* arc = onLayer(*db, "ARC");
    const Point3 start = db->startPoint(arc);
    db->move(arc, {0, 0, 0}, {5, 0, 0});
    EXPECT_NEAR(db->startPoint(arc).x, start.x + 5, 1e-9);
    EXPECT_NEAR(db->startPoint(arc).y, start.y, 1e-9);
    EXPECT_EQ(arc->normal, (Point3{0, 0, -1}));  // still as read: only its OCS values changed
    EXPECT_NEAR(arc->as<ArcData>().center.x, 15, 1e-9);
    // A quarter turn about the world origin turns its box with it.
    const Box before = db->boundingBox(arc);
    db->rotate(arc, {0, 0, 0}, M_PI / 2);
    const Box after = db->boundingBox(arc);
    EXPECT_NEAR(after.min.x, -before.max.y, 1e-9);
    EXPECT_NEAR(after.max.y, before.max.x, 1e-9);
    // A reference seen from below: its box moves by the world vector.
    Entity* ref = onLayer(*db, "INSERT");
    const Box refBefore = db->boundingBox(ref);
    db->move(ref, {1, 1, 0}, {4, -1, 0});
    EXPECT_NEAR(db->boundingBox(ref).min.x, refBefore.min.x + 3, 1e-9);
    EXPECT_NEAR(db->boundingBox(ref).max.y, refBefore.max.y - 2, 1e-9);
    // A filled SOLID seen from below: its corners move by the world vector too.
    Entity* solid = onLayer(*db, "SOLID");
    const Box solidBefore = db->boundingBox(solid);
    db->move(solid, {0, 0, 0}, {2, 7, 0});
    EXPECT_NEAR(db->boundingBox(solid).min.x, solidBefore.min.x + 2, 1e-9);
    EXPECT_NEAR(db->boundingBox(solid).max.y, solidBefore.max.y + 7, 1e-9);
    EXPECT_NEAR(db->boundingBox(solid).max.x, solidBefore.max.x + 2, 1e-9);
    // A dimension seen from below: the world lines of its block and its SOLID arrowhead (the top of
    // the box, at y -54.7) move with it by the world vector.
    Entity* dim = onLayer(*db, "DIMENSION");
    const Box dimBefore = db->boundingBox(dim);
    db->move(dim, {0, 0, 0}, {3, -2, 0});
    const Box dimAfter = db->boundingBox(dim);
    EXPECT_NEAR(dimAfter.min.x, dimBefore.min.x + 3, 1e-9);
    EXPECT_NEAR(dimAfter.max.x, dimBefore.max.x + 3, 1e-9);
    EXPECT_NEAR(dimAfter.min.y, dimBefore.min.y - 2, 1e-9);
    EXPECT_NEAR(dimAfter.max.y, dimBefore.max.y - 2, 1e-9);
    // A hatch's spline edge: its control points turn and move as ezdxf turns and moves them.
    Entity* hatch = onLayer(*db, "SPLINEHATCH");
    db->rotate(hatch, {0, 0, 0}, M_PI / 2);
    db->move(hatch, {0, 0, 0}, {3, -2, 0});
    const auto& loop = hatch->as<HatchData>().loops.at(0);
    ASSERT_EQ(loop.edges.size(), 3u);
    const Tags& spline = loop.edges[2].raw;
    std::vector<Point3> controls;
    for (size_t i = 0; i + 1 < spline.size(); ++i)
        if (spline[i].code == 10 && spline[i + 1].code == 20)
            controls.push_back({spline[i].value.toDouble(), spline[i + 1].value.toDouble(), 0});
    const QJsonArray turned = truth["SPLINEHATCH"].toObject()["turned"].toArray();
    ASSERT_EQ(controls.size(), size_t(turned.size()));
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_NEAR(controls[i].x, turned[qsizetype(i)].toArray()[0].toDouble(), 1e-9) << i;
        EXPECT_NEAR(controls[i].y, turned[qsizetype(i)].toArray()[1].toDouble(), 1e-9) << i;
    }
    // A reference on a tilted plane cannot be exploded into plan pieces: refused.
    EXPECT_THROW(db->explode(onLayer(*db, "TILTEDREF")), cad::NotSupported);
    // A tilted plane cannot be moved by a plan transform: refused, left as it was.
    Entity* tilted = onLayer(*db, "TILTED");
    const Box tiltedBox = db->boundingBox(tilted);
    EXPECT_THROW(db->move(tilted, {0, 0, 0}, {1, 0, 0}), cad::NotSupported);
    EXPECT_EQ(db->boundingBox(tilted).min.x, tiltedBox.min.x);
}

TEST_F(OcsPlacement, ExplodedPiecesLieWhereTheWholeWasDrawn) {
    for (const char* name : {"LWPOLYLINE", "POLYLINE", "NESTED"}) {
        Entity* whole = onLayer(*db, name);
        const Box box = db->boundingBox(whole);
        Box pieces;
        for (Entity* piece : db->explode(whole)) pieces.add(db->boundingBox(piece));
        EXPECT_NEAR(pieces.min.x, box.min.x, 1e-9) << name;
        EXPECT_NEAR(pieces.min.y, box.min.y, 1e-9) << name;
        EXPECT_NEAR(pieces.max.x, box.max.x, 1e-9) << name;
        EXPECT_NEAR(pieces.max.y, box.max.y, 1e-9) << name;
    }
}

TEST_F(OcsPlacement, SavedFileKeepsEveryExtrusionAsRead) {
    const QString saved = dir.filePath("saved.dxf");
    cad::dxf::writeFile(*db, saved);
    const QJsonObject before = runScript("read", path);
    const QJsonObject after = runScript("read", saved);
    ASSERT_EQ(before.size(), 21);
    for (auto it = before.begin(); it != before.end(); ++it) {
        const QJsonObject a = after[it.key()].toObject(), b = it.value().toObject();
        EXPECT_EQ(a.keys(), b.keys()) << it.key().toStdString();
        for (const QString& k : b.keys()) {
            if (b[k].isArray()) {
                const QJsonArray x = a[k].toArray(), y = b[k].toArray();
                ASSERT_EQ(x.size(), y.size()) << it.key().toStdString() << " " << k.toStdString();
                for (qsizetype i = 0; i < y.size(); ++i)
                    EXPECT_EQ(QJsonDocument(QJsonArray{x[i]}).toJson(), QJsonDocument(QJsonArray{y[i]}).toJson())
                        << it.key().toStdString() << " " << k.toStdString();
            } else {
                EXPECT_NEAR(a[k].toDouble(), b[k].toDouble(), 1e-12) << it.key().toStdString() << " " << k.toStdString();
            }
        }
    }
}

TEST(OcsEllipse, AnEllipseWithoutItsPointsHasNoExtentsNorEnds) {
    Database db;
    Entity* e = db.addEntity(db.modelSpace(), EntityKind::Unknown);
    e->as<RawData>().dxfName = QStringLiteral("ELLIPSE");
    e->as<RawData>().tags = {Tag{11, QStringLiteral("5")}, Tag{21, QStringLiteral("0")}};
    EXPECT_TRUE(db.boundingBox(e).isEmpty());
    EXPECT_THROW(db.startPoint(e), cad::NotSupported);
    e->as<RawData>().tags.insert(e->as<RawData>().tags.begin(), {Tag{10, QStringLiteral("1")}, Tag{20, QStringLiteral("2")}});
    EXPECT_NEAR(db.startPoint(e).x, 6, 1e-12);
}

}  // namespace
