// A search of the drawing read in one call (ReadSelection) gives the entities a selection set of
// mode All with the same filter holds, in its order, with the rows ReadProperties reads; quiet
// methods without arguments (GetAttributes, GetBoundingBox) read like properties, other methods not;
// several system variables are read and set in one call as one at a time.
#include "ModelFixture.h"

#include "platform/cad/FilteredReads.h"
#include "platform/cad/Variables.h"

namespace {

using cadtest::ModelTest;

class FilteredReadsTest : public ModelTest {};

TEST_P(FilteredReadsTest, RowsAreTheSelectionsEntitiesWithTheirReads) {
    const cad::Block b = doc.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("S_A"));
    b.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    b.addAttribute(2.5, 0, QStringLiteral("?"), cad::Point{0, 0, 0}, QStringLiteral("NR"), QStringLiteral("7"));
    doc.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("T_B")).addLine(cad::Point{0, 0, 0}, cad::Point{1, 1, 0});
    const cad::Entity first = ms.insertBlock(cad::Point{1, 2, 0}, QStringLiteral("S_A"), 1, 1, 1, 0);
    ms.insertBlock(cad::Point{5, 5, 0}, QStringLiteral("T_B"), 1, 1, 1, 0);
    const cad::Entity second = ms.insertBlock(cad::Point{3, 4, 0}, QStringLiteral("S_A"), 1, 1, 1, 0);
    const cad::Entity text = ms.addText(QStringLiteral("abc"), cad::Point{0, 0, 0}, 2.5);
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT")).add(2, QStringLiteral("S_*"));

    const cad::VariantList rows = cad::ReadSelection(
        doc, f, {QStringLiteral("Name"), QStringLiteral("InsertionPoint"), QStringLiteral("GetAttributes")},
        {QStringLiteral("ObjectName")});
    cad::SelectionSet set = doc.selectionSets().add(QStringLiteral("X"));
    set.select(cad::SelectionSet::All, f);
    const QList<cad::Entity> selected = set.entities();
    ASSERT_EQ(rows.size(), selected.size());
    ASSERT_EQ(rows.size(), 2);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const cad::VariantList row = rows[i].toArray();
        const cad::Entity e = cad::EntityOfRow(doc, rows[i]);
        EXPECT_EQ(e.id(), selected[i].id());
        EXPECT_EQ(row.value(1).toText(), selected[i].name());
        EXPECT_EQ(row.value(2).toPoint(), selected[i].insertionPoint());
        const cad::VariantList attributes = row.value(3).toArray();
        ASSERT_EQ(attributes.size(), 1);
        EXPECT_EQ(attributes[0].toObject(), selected[i].attributes().value(0).id());
        EXPECT_EQ(row.value(4).toArray().size(), 2);  // the definition's line and attribute definition
    }
    EXPECT_EQ(cad::EntityOfRow(doc, rows[0]).id(), first.id());
    EXPECT_EQ(cad::EntityOfRow(doc, rows[1]).id(), second.id());

    // A bounding box reads as its method answers; a method that changes the drawing does not run.
    const cad::VariantList box = cad::ReadProperties(doc, {cad::Variant(text.ref())}, {QStringLiteral("GetBoundingBox")});
    EXPECT_EQ(box.value(0).toArray().value(0).toArray().value(1).toPoint(), text.boundingBox().second);
    EXPECT_THROW(cad::ReadProperties(doc, {cad::Variant(text.ref())}, {QStringLiteral("Delete")}), cad::Error);
    EXPECT_EQ(text.textString(), QStringLiteral("abc"));

    // The drawing as it is at the call; nothing found gives no rows, and no set is left behind.
    second.erase();
    EXPECT_EQ(cad::ReadSelection(doc, f, {QStringLiteral("Name")}).size(), 1);
    cad::SelectionFilter none;
    none.add(2, QStringLiteral("NIC"));
    EXPECT_TRUE(cad::ReadSelection(doc, none, {QStringLiteral("Name")}).isEmpty());
    EXPECT_EQ(doc.selectionSets().count(), 1);
    // A filter the selection refuses fails as its Select would.
    cad::SelectionFilter odd;
    odd.codes = {0, 2};
    odd.values = {cad::Variant(QStringLiteral("INSERT"))};
    EXPECT_THROW(cad::ReadSelection(doc, odd, {QStringLiteral("Name")}), cad::InvalidArgument);
}

TEST_P(FilteredReadsTest, VariablesReadAndSetTogetherAsOneAtATime) {
    doc.layers().add(QStringLiteral("A"));
    cad::SetVariables(doc, {QStringLiteral("CLAYER"), QStringLiteral("CECOLOR")},
                      {cad::Variant(QStringLiteral("A")), cad::Variant(QStringLiteral("3"))});
    const cad::VariantList values = cad::GetVariables(doc, {QStringLiteral("CLAYER"), QStringLiteral("CECOLOR")});
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[0].toText(), doc.getVariable(QStringLiteral("CLAYER")).toText());
    EXPECT_EQ(values[0].toText(), QStringLiteral("A"));
    EXPECT_EQ(values[1].toText(), doc.getVariable(QStringLiteral("CECOLOR")).toText());
    // A refused value raises its failure after the values behind it have been set.
    EXPECT_THROW(cad::SetVariables(doc, {QStringLiteral("LASTPROMPT"), QStringLiteral("CLAYER")},
                                   {cad::Variant(QStringLiteral("x")), cad::Variant(QStringLiteral("0"))}),
                 cad::InvalidArgument);
    EXPECT_EQ(doc.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("0"));
    EXPECT_THROW(cad::GetVariables(doc, {QStringLiteral("CLAYER"), QStringLiteral("NOSUCHVAR")}), cad::Error);
}

CADMODEL_CHANNELS(FilteredReadsTest);

}  // namespace
