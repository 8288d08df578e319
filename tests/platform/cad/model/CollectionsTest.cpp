// Blocks, layers, linetypes and styles: look-up, creation and the failures the wrappers rely on.
#include "ModelFixture.h"

using namespace cadtest;

class CadModelCollections : public ModelTest {};
CADMODEL_CHANNELS(CadModelCollections);

TEST_P(CadModelCollections, LayersByNameIgnoringCase) {
    const cad::Layers layers = doc.layers();
    EXPECT_THROW(layers.item(QStringLiteral("113-STRUMIENIE_RUCHU")), cad::NotFound);
    const cad::Layer l = layers.add(QStringLiteral("113-STRUMIENIE_RUCHU"));
    l.setColor(5);
    l.setLineweight(30);
    EXPECT_EQ(layers.item(QStringLiteral("113-strumienie_ruchu")), l);
    EXPECT_TRUE(l.typeName().startsWith(QStringLiteral("IAcadLayer")));
    // Adding an existing layer returns it unchanged.
    EXPECT_EQ(layers.add(QStringLiteral("113-Strumienie_Ruchu")), l);
    EXPECT_EQ(l.color(), 5);
    EXPECT_EQ(l.lineweight(), 30);

    EXPECT_THROW(l.setColor(0), cad::InvalidArgument);
    EXPECT_THROW(l.setColor(256), cad::InvalidArgument);
    EXPECT_THROW(l.setLineweight(33), cad::InvalidArgument);
    EXPECT_THROW(layers.add(QStringLiteral("zła*nazwa")), cad::InvalidArgument);

    l.setLayerOn(false);
    EXPECT_FALSE(l.layerOn());
    l.setLock(true);
    EXPECT_TRUE(l.lock());

    QStringList names;
    for (const cad::Layer& x : layers.all()) names << x.name();
    EXPECT_EQ(names, (QStringList{QStringLiteral("0"), QStringLiteral("113-STRUMIENIE_RUCHU")}));
    EXPECT_EQ(layers.count(), 2);
}

TEST_P(CadModelCollections, ActiveLayerAndStyles) {
    const cad::Layer l = doc.layers().add(QStringLiteral("002-OPISY"));
    doc.setActiveLayer(l);
    EXPECT_EQ(doc.activeLayer().name(), QStringLiteral("002-OPISY"));
    EXPECT_EQ(doc.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("002-OPISY"));

    const cad::TextStyle s = doc.textStyles().add(QStringLiteral("SYGN_TXT"));
    s.setHeight(1.5);
    s.setFont(QStringLiteral("arial"), false, false, 0, 0);
    EXPECT_EQ(s.typeface(), QStringLiteral("arial"));
    EXPECT_THROW(s.setHeight(-1), cad::InvalidArgument);
    doc.setActiveTextStyle(s);
    EXPECT_EQ(doc.activeTextStyle(), s);
    EXPECT_DOUBLE_EQ(doc.textStyles().add(QStringLiteral("sygn_txt")).height(), 1.5);  // kept
    EXPECT_THROW(doc.textStyles().item(QStringLiteral("ARIAL")), cad::NotFound);
    EXPECT_THROW(doc.setActiveLayer(cad::Layer(s.channel(), s.id())), cad::InvalidArgument);
}

TEST_P(CadModelCollections, LinetypesLoadFromTheBuiltInDefinitions) {
    EXPECT_THROW(doc.linetypes().item(QStringLiteral("ACAD_ISO03W100")), cad::NotFound);
    doc.linetypes().load(QStringLiteral("ACAD_ISO03W100"), QStringLiteral("acad.lin"));
    EXPECT_EQ(doc.linetypes().item(QStringLiteral("acad_iso03w100")).name(),
              QStringLiteral("ACAD_ISO03W100"));
    EXPECT_THROW(doc.linetypes().load(QStringLiteral("NO_SUCH_TYPE"), QStringLiteral("acad.lin")),
                 cad::NotFound);

    const cad::Entity line = ms.addLine({0, 0, 0}, {10, 0, 0});
    line.setLinetype(QStringLiteral("ACAD_ISO03W100"));
    EXPECT_EQ(line.linetype(), QStringLiteral("ACAD_ISO03W100"));
    line.setLinetype(QStringLiteral("ByBlock"));
    EXPECT_EQ(line.linetype(), QStringLiteral("BYBLOCK"));
    EXPECT_THROW(line.setLinetype(QStringLiteral("DASHDOT_BRAK")), cad::NotFound);
}

TEST_P(CadModelCollections, DimensionStyleFromTheCurrentVariables) {
    doc.textStyles().add(QStringLiteral("DIM_TXT"));
    doc.setVariable(QStringLiteral("DIMTXSTY"), QStringLiteral("DIM_TXT"));
    doc.setVariable(QStringLiteral("DIMASZ"), 0.5);
    doc.setVariable(QStringLiteral("DIMCLRD"), 5);
    EXPECT_THROW(doc.dimStyles().item(QStringLiteral("DIM_STYLE")), cad::NotFound);
    const cad::DimStyle st = doc.dimStyles().add(QStringLiteral("DIM_STYLE"));
    st.copyFrom(doc);
    doc.setActiveDimStyle(st);
    EXPECT_EQ(doc.activeDimStyle().name(), QStringLiteral("DIM_STYLE"));
    EXPECT_THROW(st.copyFrom(ms), cad::InvalidArgument);
}

TEST_P(CadModelCollections, BlocksAreNamedDefinitionsNotLayouts) {
    const cad::Blocks blocks = doc.blocks();
    EXPECT_THROW(blocks.item(QStringLiteral("12^STRUMIEN_1^K1")), cad::NotFound);
    const int before = blocks.count();
    const cad::Block b = blocks.add({0, 0, 0}, QStringLiteral("12^STRUMIEN_1^Ż[2]"));
    EXPECT_EQ(blocks.count(), before + 1);
    EXPECT_EQ(blocks.item(QStringLiteral("12^strumien_1^ż[2]")), b);
    EXPECT_TRUE(b.typeName().startsWith(QStringLiteral("IAcadBlock")));
    // Model space answers another interface name, so the wrappers never take it for a block.
    EXPECT_FALSE(ms.typeName().startsWith(QStringLiteral("IAcadBlock")));
    EXPECT_EQ(blocks.item(QStringLiteral("*Model_Space")), ms);
    EXPECT_EQ(blocks.add({0, 0, 0}, QStringLiteral("12^STRUMIEN_1^Ż[2]")), b);  // existing returned
}

TEST_P(CadModelCollections, RenamingABlockKeepsItsReferences) {
    const cad::Block b = doc.blocks().add({0, 0, 0}, QStringLiteral("STRUMIEN_1"));
    b.addLine({0, 0, 0}, {10, 0, 0});
    const cad::Entity ref = ms.insertBlock({5, 5, 0}, QStringLiteral("STRUMIEN_1"), 1, 1, 1, 0);
    b.setName(QStringLiteral("12^STRUMIEN_1"));
    EXPECT_EQ(b.name(), QStringLiteral("12^STRUMIEN_1"));
    EXPECT_EQ(ref.name(), QStringLiteral("12^STRUMIEN_1"));
    EXPECT_THROW(doc.blocks().item(QStringLiteral("STRUMIEN_1")), cad::NotFound);
    doc.blocks().add({0, 0, 0}, QStringLiteral("ZAJETA"));
    EXPECT_THROW(b.setName(QStringLiteral("zajeta")), cad::AlreadyExists);
}

TEST_P(CadModelCollections, AReferencedBlockCannotBeDeleted) {
    const cad::Block b = doc.blocks().add({0, 0, 0}, QStringLiteral("AKTUALNY_CZAS_12"));
    b.addLine({0, 0, 0}, {0, -100, 0});
    const cad::Entity ref = ms.insertBlock({0, 0, 0}, QStringLiteral("AKTUALNY_CZAS_12"), 1, 1, 1, 0);
    EXPECT_THROW(b.erase(), cad::Failed);
    EXPECT_NO_THROW(doc.blocks().item(QStringLiteral("AKTUALNY_CZAS_12")));
    ref.erase();
    b.erase();
    EXPECT_THROW(doc.blocks().item(QStringLiteral("AKTUALNY_CZAS_12")), cad::NotFound);
    EXPECT_THROW(b.name(), cad::Erased);
    EXPECT_THROW(ms.erase(), cad::Failed);  // model space is never deleted
}

// NamesFrom gives the count and the blocks from a position on, in table order, also after blocks
// before that position were deleted (positions then close up).
TEST_P(CadModelCollections, NamesFromGivesTheCountAndTheBlocksFromAPosition) {
    const cad::Blocks blocks = doc.blocks();
    const int base = blocks.count();
    QList<cad::Block> made;
    for (int i = 1; i <= 5; ++i) made.append(blocks.add(cad::Point{0, 0, 0}, QStringLiteral("B%1").arg(i)));
    auto names = [&](int from) {
        const cad::VariantList r = blocks.namesFrom(from);
        QStringList out{QString::number(r.value(0).toInt())};
        for (qsizetype k = 1; k + 1 < r.size(); k += 2) {
            EXPECT_EQ(cad::Block(channel.get(), r[k].toObject()).name(), r[k + 1].toText());
            out << r[k + 1].toText();
        }
        return out;
    };
    EXPECT_EQ(names(base + 3), (QStringList{QString::number(base + 5), "B4", "B5"}));
    made[1].erase();
    EXPECT_EQ(names(base + 2), (QStringList{QString::number(base + 4), "B4", "B5"}));
    EXPECT_EQ(names(base + 4), (QStringList{QString::number(base + 4)}));
    EXPECT_EQ(names(-3).size(), base + 4 + 1);
    EXPECT_EQ(names(base + 99), (QStringList{QString::number(base + 4)}));
}

// Items gives every open drawing in the order of Item, in one call; a closed one is gone from it.
TEST_P(CadModelCollections, DocumentsItemsGivesTheOpenDrawingsInOrder) {
    const cad::Documents docs = app.documents();
    const cad::Document second = docs.add();
    const cad::Document third = docs.add();
    QList<cad::Document> expected;
    for (int i = 0; i < docs.count(); ++i) expected.append(docs.item(i));
    EXPECT_EQ(docs.all(), expected);
    EXPECT_TRUE(expected.contains(doc) && expected.contains(second) && expected.contains(third));
    second.close();
    const QList<cad::Document> after = docs.all();
    EXPECT_EQ(after.size(), expected.size() - 1);
    EXPECT_FALSE(after.contains(second));
}
