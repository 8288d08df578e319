// Dynamic blocks: a drawing file inserted as a block brings its nested dynamic block; properties
// stretch and turn the reference's own anonymous block; the values survive a save and reopen, and
// anonymous blocks nothing uses any more are purged when the drawing is saved.
#include "ModelFixture.h"

#include <QTemporaryDir>
#include <numbers>

using namespace cadtest;

class CadModelDynamic : public ModelTest {};
CADMODEL_CHANNELS(CadModelDynamic);

namespace {
const QString Template = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
const QString Arrow = QStringLiteral("dyn_przejscie_fazowe");

double property(const cad::Entity& r, const QString& name) {
    for (const cad::DynamicProperty& p : r.dynamicBlockProperties())
        if (p.propertyName() == name) return p.value().toDouble();
    return -1;
}
void setProperty(const cad::Entity& r, const QString& name, double v) {
    for (const cad::DynamicProperty& p : r.dynamicBlockProperties())
        if (p.propertyName() == name) p.setValue(v);
}
}  // namespace

TEST_P(CadModelDynamic, FileInsertBringsNestedDynamicBlock) {
    const cad::Entity file = ms.insertBlock({0, 0, 0}, Template, 1, 1, 1, 0);
    EXPECT_EQ(file.name(), QStringLiteral("dyn_wzorzec"));
    file.erase();
    const cad::Block def = doc.blocks().item(Arrow);
    EXPECT_TRUE(def.get(QStringLiteral("IsDynamicBlock")).toBool());

    const cad::Entity r = ms.insertBlock({10, 5, 0}, Arrow, 2, 2, 2, 0);
    ASSERT_TRUE(r.isDynamicBlock());
    EXPECT_EQ(r.name(), Arrow);  // untouched references use the definition itself
    EXPECT_DOUBLE_EQ(property(r, QStringLiteral("Distance")), 10);
    EXPECT_DOUBLE_EQ(property(r, QStringLiteral("Angle")), 0);
    auto [lo, hi] = r.boundingBox();
    EXPECT_NEAR(hi.x - lo.x, 20, 1e-6);  // 10 block units at scale 2

    setProperty(r, QStringLiteral("Distance"), 30);
    setProperty(r, QStringLiteral("Distance2"), 30);
    setProperty(r, QStringLiteral("Angle"), std::numbers::pi / 2);
    EXPECT_TRUE(r.name().startsWith(QStringLiteral("*U")));
    EXPECT_EQ(r.effectiveName(), Arrow);
    std::tie(lo, hi) = r.boundingBox();
    EXPECT_NEAR(lo.y, 5 - 15, 1e-6);  // the value is the drawn length, whatever the scale
    EXPECT_NEAR(hi.y, 5 + 15, 1e-6);
    EXPECT_NEAR(hi.x - lo.x, 2 * 0.9, 1e-6);  // the head's width, turned upright
    // The definition itself is unchanged.
    const cad::Entity plain = ms.insertBlock({0, 0, 0}, Arrow, 1, 1, 1, 0);
    std::tie(lo, hi) = plain.boundingBox();
    EXPECT_NEAR(hi.x - lo.x, 10, 1e-6);
}

TEST_P(CadModelDynamic, ValuesSurviveSaveAndUnusedAnonymousBlocksGo) {
    ms.insertBlock({0, 0, 0}, Template, 1, 1, 1, 0).erase();
    const cad::Entity kept = ms.insertBlock({0, 0, 0}, Arrow, 1, 1, 1, 0);
    setProperty(kept, QStringLiteral("Distance"), 24);
    const cad::Entity dropped = ms.insertBlock({0, 0, 0}, Arrow, 1, 1, 1, 0);
    setProperty(dropped, QStringLiteral("Angle"), 1.0);
    const QString droppedBlock = dropped.name();
    dropped.erase();
    const QString keptBlock = kept.name();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dyn.dxf"));
    doc.saveAs(path);
    EXPECT_THROW(doc.blocks().item(droppedBlock), cad::NotFound);
    EXPECT_NO_THROW(doc.blocks().item(keptBlock));

    const cad::Document again = app.documents().open(path);
    const QList<cad::Entity> all = again.modelSpace().entities();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].effectiveName(), Arrow);
    EXPECT_TRUE(all[0].name().startsWith(QStringLiteral("*U")));
    EXPECT_DOUBLE_EQ(property(all[0], QStringLiteral("Distance")), 24);
    EXPECT_DOUBLE_EQ(property(all[0], QStringLiteral("Distance2")), 10);
    const auto [lo, hi] = all[0].boundingBox();
    EXPECT_NEAR(hi.x - lo.x, 17, 1e-6);  // head end moved by half of the 14 added
}
