// Entities whose extrusion direction a file writes at the extremes of its numbers, (1,1,1)×1e308
// and (1,1,1)×1e-170, or off world Z by rounding noise: cadhost draws them and zooms to them where
// ezdxf, the independent reader, places them from the unit vector of the same direction, and never
// where the same records would land taken for the XY plane.
#include "RenderCanvas.h"
#include "tests/platform/cad/dxf/PythonScript.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

struct Told {
    QString what, layer;
    std::vector<double> v;
};

void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "cadhost_logic_test";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
}

}  // namespace

TEST(CadHostExtrusion, DirectionsOfAnyMagnitudeAreDrawnAndBoxedWhereEzdxfPlacesThem) {
    if (!QFile::exists(QStringLiteral("/usr/bin/python3"))) GTEST_SKIP() << "no /usr/bin/python3";
    ensureGuiApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kierunki.dxf"));
    std::vector<Told> told;
    for (const QByteArray& row :
         cadtest::RunPythonScript(QStringLiteral(SUITE_SOURCE_DIR "/tests/cadhost/extrusion_magnitudes.py"),
                                  {path})
             .split('\n')) {
        const QStringList f = QString::fromUtf8(row).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 4) continue;
        Told t{f[0], f[1], {}};
        for (qsizetype i = 2; i < f.size(); ++i) t.v.push_back(f[i].toDouble());
        told.push_back(t);
    }
    const auto db = cad::dxf::readFile(path);
    ASSERT_TRUE(db);
    Canvas c;
    c.db = db.get();
    c.render(-20, -20, 600, 40, 4);
    int ink = 0, none = 0, boxes = 0;
    for (const Told& t : told) {
        const std::string what = t.layer.toStdString();
        if (t.what == QLatin1String("ink")) {
            ++ink;
            EXPECT_TRUE(c.lit(t.v[0], t.v[1], 1)) << what << " missing at " << t.v[0] << "; " << t.v[1];
        } else if (t.what == QLatin1String("none")) {
            ++none;
            EXPECT_FALSE(c.lit(t.v[0], t.v[1], 1)) << what << " drawn at " << t.v[0] << "; " << t.v[1];
        } else if (t.what == QLatin1String("box")) {
            ++boxes;
            const cad::db::Entity* e = nullptr;
            for (const cad::db::Entity* m : db->modelSpace()->entities())
                if (m->layer() == t.layer) e = m;
            ASSERT_NE(e, nullptr) << what;
            // ezdxf measures the curves flattened within 0.05.
            const cad::db::Box b = db->boundingBox(e);
            EXPECT_NEAR(b.min.x, t.v[0], 0.05) << what;
            EXPECT_NEAR(b.min.y, t.v[1], 0.05) << what;
            EXPECT_NEAR(b.max.x, t.v[2], 0.05) << what;
            EXPECT_NEAR(b.max.y, t.v[3], 0.05) << what;
        }
    }
    EXPECT_GT(ink, 200);
    EXPECT_GT(none, 100);
    EXPECT_EQ(boxes, 20);
}
