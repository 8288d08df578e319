// Reads of many objects in one call (ReadProperties) give what the single reads give, fail as the
// first failing one would, and see the drawing as it is at the call; Blocks.Contains answers for a
// free name without a failure; new entities take the current properties as the header stands.
#include "ModelFixture.h"

#include "platform/cad/BulkReads.h"

#include <numbers>

namespace {

using cadtest::ModelTest;

class BulkReadsTest : public ModelTest {};

TEST_P(BulkReadsTest, RowsHoldWhatTheSingleReadsGive) {
    const cad::Block b = doc.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("C1"));
    const cad::Entity line = b.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    const cad::Entity arc = b.addArc(cad::Point{5, 5, 0}, 2, 0, std::numbers::pi / 2);
    const cad::Entity ref = ms.insertBlock(cad::Point{1, 2, 0}, QStringLiteral("C1"), 1, 1, 1, 0);
    const QStringList parts{QStringLiteral("ObjectName"), QStringLiteral("?StartPoint"), QStringLiteral("?Center"),
                            QStringLiteral("?Radius")};
    // By object and by handle alike.
    for (const cad::Variant& object : {cad::Variant(ref.ref()), cad::Variant(ref.handle())}) {
        const cad::VariantList rows =
            cad::ReadProperties(doc, {object}, {QStringLiteral("Name"), QStringLiteral("InsertionPoint")}, parts);
        ASSERT_EQ(rows.size(), 1);
        const cad::VariantList row = rows[0].toArray();
        EXPECT_EQ(row.value(0).toText(), ref.name());
        EXPECT_EQ(row.value(1).toPoint(), ref.insertionPoint());
        const cad::VariantList entities = row.value(2).toArray();
        ASSERT_EQ(entities.size(), 2);
        const cad::VariantList l = entities[0].toArray(), a = entities[1].toArray();
        EXPECT_EQ(l.value(0).toObject(), line.id());
        EXPECT_EQ(l.value(1).toText(), line.objectName());
        EXPECT_EQ(l.value(2).toPoint(), line.startPoint());
        EXPECT_TRUE(l.value(3).isEmpty());  // a line has no centre: "?" gives nothing
        EXPECT_EQ(a.value(1).toText(), arc.objectName());
        EXPECT_EQ(a.value(3).toPoint(), arc.center());
        EXPECT_DOUBLE_EQ(a.value(4).toDouble(), arc.radius());
    }
    // Each kind of curve gives its own members and nothing for the others (read as a set, as the
    // streams' components are): a line no centre, radius or angles, a circle no angles.
    const cad::Entity circle = ms.addCircle(cad::Point{3, 4, 0}, 1.5);
    const QStringList curveMembers{QStringLiteral("?Center"), QStringLiteral("?Radius"), QStringLiteral("?StartAngle"),
                                   QStringLiteral("?EndAngle")};
    const cad::VariantList curves = cad::ReadProperties(
        doc, cad::ObjectsOf(QList<cad::Entity>{line, arc, circle}), curveMembers);
    ASSERT_EQ(curves.size(), 3);
    for (const cad::Variant& v : curves[0].toArray()) EXPECT_TRUE(v.isEmpty());
    const cad::VariantList arcRow = curves[1].toArray(), circleRow = curves[2].toArray();
    EXPECT_EQ(arcRow.value(0).toPoint(), arc.center());
    EXPECT_DOUBLE_EQ(arcRow.value(1).toDouble(), arc.radius());
    EXPECT_DOUBLE_EQ(arcRow.value(2).toDouble(), arc.startAngle());
    EXPECT_DOUBLE_EQ(arcRow.value(3).toDouble(), arc.endAngle());
    EXPECT_EQ(circleRow.value(0).toPoint(), circle.center());
    EXPECT_DOUBLE_EQ(circleRow.value(1).toDouble(), 1.5);
    EXPECT_TRUE(circleRow.value(2).isEmpty() && circleRow.value(3).isEmpty());
    // Without "?" a member the object lacks fails as its single read does.
    EXPECT_THROW(cad::ReadProperties(doc, {cad::Variant(line.ref())}, {QStringLiteral("StartAngle")}), cad::Error);
    EXPECT_THROW(cad::ReadProperties(doc, {cad::Variant(line.ref())}, {QStringLiteral("Center")}), cad::Error);
    EXPECT_THROW(cad::ReadProperties(doc, {cad::Variant(QStringLiteral("FFFFFF"))}, {QStringLiteral("Name")}),
                 cad::NotFound);
    // The drawing as it is at the call: a change made since is read.
    line.setEndPoint(cad::Point{20, 0, 0});
    const cad::VariantList again =
        cad::ReadProperties(doc, cad::ObjectsOf(QList<cad::Entity>{line}), {QStringLiteral("EndPoint")});
    EXPECT_EQ(again.value(0).toArray().value(0).toPoint(), (cad::Point{20, 0, 0}));

    EXPECT_TRUE(doc.blocks().invoke(QStringLiteral("Contains"), {QStringLiteral("c1")}).toBool());
    EXPECT_FALSE(doc.blocks().invoke(QStringLiteral("Contains"), {QStringLiteral("C2")}).toBool());
}

TEST_P(BulkReadsTest, NewEntitiesTakeTheCurrentPropertiesAsTheHeaderStands) {
    doc.layers().add(QStringLiteral("A"));
    doc.layers().add(QStringLiteral("B"));
    doc.setVariable(QStringLiteral("CLAYER"), QStringLiteral("A"));
    EXPECT_EQ(ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0}).layer(), QStringLiteral("A"));
    doc.setVariable(QStringLiteral("CLAYER"), QStringLiteral("B"));
    doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("3"));
    const cad::Entity second = ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    EXPECT_EQ(second.layer(), QStringLiteral("B"));
    EXPECT_EQ(second.color(), 3);
    // Undo puts the header back: the next entity takes what stands then.
    model.closeUndoSteps();
    doc.setVariable(QStringLiteral("CLAYER"), QStringLiteral("A"));
    ASSERT_TRUE(model.undo(model.activeDocument()));
    EXPECT_EQ(ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0}).layer(), QStringLiteral("B"));
}

CADMODEL_CHANNELS(BulkReadsTest);

}  // namespace
