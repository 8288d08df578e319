// Extended data of entities: one application's data replaced as a whole, the others kept, the
// application registered, and the data kept through a DXF file.
#include "ModelFixture.h"

#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Errors.h"

#include <QTemporaryDir>

using namespace cadtest;

namespace {

class CadModelXData : public ModelTest {
protected:
    static cad::VariantList list(std::initializer_list<cad::Variant> v) { return cad::VariantList(v); }
    static QStringList texts(const cad::VariantList& values) {
        QStringList out;
        for (const cad::Variant& v : values) out.append(v.toText());
        return out;
    }
};
CADMODEL_CHANNELS(CadModelXData);

TEST_P(CadModelXData, AnApplicationsDataIsReplacedAndTheOthersKept) {
    const cad::Entity text = ms.addText(QStringLiteral("12.5"), {0, 0, 0}, 1);
    EXPECT_TRUE(text.xData(QString()).first.isEmpty());
    text.setXData(list({1001, 1000}), list({QStringLiteral("APP_A"), QStringLiteral("12")}));
    text.setXData(list({1001, 1000, 1040}), list({QStringLiteral("APP_B"), QStringLiteral("x"), 2.5}));
    text.setXData(list({1001, 1000}), list({QStringLiteral("app_a"), QStringLiteral("13")}));

    const auto [codes, values] = text.xData(QStringLiteral("APP_A"));
    ASSERT_EQ(codes.size(), 2);
    EXPECT_EQ(codes[0].toInt(), 1001);
    EXPECT_EQ(texts(values), (QStringList{QStringLiteral("app_a"), QStringLiteral("13")}));
    EXPECT_EQ(texts(text.xData(QStringLiteral("APP_B")).second),
              (QStringList{QStringLiteral("APP_B"), QStringLiteral("x"), QStringLiteral("2.5")}));
    EXPECT_EQ(text.xData(QString()).first.size(), 5);
    EXPECT_TRUE(text.xData(QStringLiteral("APP_C")).first.isEmpty());
    EXPECT_NE(model.activeDocument()->db->appIds().find(QStringLiteral("APP_B")), nullptr);

    // Data must name its application first.
    EXPECT_THROW(text.setXData(list({1000}), list({QStringLiteral("12")})), cad::InvalidArgument);
    EXPECT_THROW(text.setXData(list({1001, 1000}), list({QStringLiteral("APP_A")})), cad::InvalidArgument);
}

TEST_P(CadModelXData, TheDataComesBackFromAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ms.addText(QStringLiteral("3.0"), {5, 5, 0}, 1)
        .setXData(list({1001, 1000}), list({QStringLiteral("TESMAR_SKRZYZOWANIE"), QStringLiteral("7")}));
    const QString path = dir.filePath(QStringLiteral("x.dxf"));
    doc.saveAs(path);
    const cad::Document again = app.documents().open(path);
    const cad::Entity text = again.modelSpace().item(0);
    EXPECT_EQ(texts(text.xData(QStringLiteral("TESMAR_SKRZYZOWANIE")).second),
              (QStringList{QStringLiteral("TESMAR_SKRZYZOWANIE"), QStringLiteral("7")}));
}

}  // namespace
