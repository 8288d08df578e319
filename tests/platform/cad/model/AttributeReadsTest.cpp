// ReadAttributes gives, for each reference, what its attributes' single reads give, fails as the
// first failing one would, and sees the drawing as it is at the call.
#include "ModelFixture.h"

#include "platform/cad/AttributeReads.h"

namespace {

using cadtest::ModelTest;

class AttributeReadsTest : public ModelTest {};

TEST_P(AttributeReadsTest, RowsHoldWhatTheSingleReadsGive) {
    const cad::Block b = doc.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("M"));
    b.addAttribute(2.5, 0, QString(), {0, 0, 0}, QStringLiteral("A1"), QStringLiteral("x"));
    b.addAttribute(2.5, 0, QString(), {0, 0, 0}, QStringLiteral("A2"), QStringLiteral("y"));
    const cad::Entity first = ms.insertBlock(cad::Point{1, 2, 0}, QStringLiteral("M"), 1, 1, 1, 0);
    const cad::Entity second = ms.insertBlock(cad::Point{3, 4, 0}, QStringLiteral("M"), 1, 1, 1, 0);
    second.attributes().value(1).setTextString(QStringLiteral("^P1"));
    doc.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("N"));
    const cad::Entity bare = ms.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("N"), 1, 1, 1, 0);

    const QStringList members{QStringLiteral("TagString"), QStringLiteral("TextString"), QStringLiteral("?Radius")};
    // By object and by handle alike; a reference without attributes gives an empty list.
    const cad::VariantList rows = cad::ReadAttributes(
        doc, {cad::Variant(first.ref()), cad::Variant(second.handle()), cad::Variant(bare.ref())}, members);
    ASSERT_EQ(rows.size(), 3);
    const QList<cad::Entity> refs{first, second};
    for (int r = 0; r < 2; ++r) {
        const QList<cad::Entity> single = refs[r].attributes();
        const cad::VariantList atts = rows[r].toArray();
        ASSERT_EQ(atts.size(), single.size());
        for (int k = 0; k < single.size(); ++k) {
            const cad::VariantList row = atts[k].toArray();
            EXPECT_EQ(row.value(0).toObject(), single[k].id());
            EXPECT_EQ(row.value(1).toText(), single[k].tagString());
            EXPECT_EQ(row.value(2).toText(), single[k].textString());
            EXPECT_TRUE(row.value(3).isEmpty());  // an attribute has no radius: "?" gives nothing
        }
    }
    EXPECT_EQ(rows[1].toArray().value(1).toArray().value(2).toText(), QStringLiteral("^P1"));
    EXPECT_TRUE(rows[2].toArray().isEmpty());

    // Failures as the single reads': a member the attribute lacks, an unknown handle, no reference.
    EXPECT_THROW(cad::ReadAttributes(doc, {cad::Variant(first.ref())}, {QStringLiteral("Radius")}), cad::Error);
    EXPECT_THROW(cad::ReadAttributes(doc, {cad::Variant(QStringLiteral("FFFFFF"))}, members), cad::NotFound);
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    EXPECT_THROW(cad::ReadAttributes(doc, {cad::Variant(line.ref())}, members), cad::Error);

    // The drawing as it is at the call: a change made since is read.
    first.attributes().value(0).setTextString(QStringLiteral("z"));
    EXPECT_EQ(cad::ReadAttributes(doc, {cad::Variant(first.ref())}, {QStringLiteral("TextString")})
                  .value(0).toArray().value(0).toArray().value(1).toText(),
              QStringLiteral("z"));
}

CADMODEL_CHANNELS(AttributeReadsTest);

}  // namespace
