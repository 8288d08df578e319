// Named selection sets: the search path of every program.
#include "ModelFixture.h"

using namespace cadtest;

class CadModelSelection : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        doc.layers().add(QStringLiteral("113-STRUMIENIE_RUCHU"));
        doc.layers().add(QStringLiteral("114-PUNKTY_KOLIZJI"));
        for (const QString& name :
             {QStringLiteral("12^STRUMIEN_1^K1"), QStringLiteral("12^STRUMIEN_2^K2"),
              QStringLiteral("12^POJPOJ_STRUMIEN_1"), QStringLiteral("13^STRUMIEN_1^K1")})
            doc.blocks().add({0, 0, 0}, name).addLine({0, 0, 0}, {10, 0, 0});
        a = insert(QStringLiteral("12^STRUMIEN_1^K1"), QStringLiteral("113-STRUMIENIE_RUCHU"), {0, 0, 0});
        text = ms.addText(QStringLiteral("12"), {500, 500, 0}, 2.5);
        b = insert(QStringLiteral("12^STRUMIEN_2^K2"), QStringLiteral("113-STRUMIENIE_RUCHU"), {100, 0, 0});
        c = insert(QStringLiteral("12^POJPOJ_STRUMIEN_1"), QStringLiteral("114-PUNKTY_KOLIZJI"), {200, 0, 0});
        d = insert(QStringLiteral("13^STRUMIEN_1^K1"), QStringLiteral("113-STRUMIENIE_RUCHU"), {300, 0, 0});
        b.setColor(3);
    }
    cad::Entity insert(const QString& name, const QString& layer, const cad::Point& at) {
        const cad::Entity e = ms.insertBlock(at, name, 1, 1, 1, 0);
        e.setLayer(layer);
        return e;
    }
    // The wrapper's way to get a set: add, or take the existing one and empty it.
    cad::SelectionSet fresh(const QString& name) {
        try {
            return doc.selectionSets().add(name);
        } catch (const cad::AlreadyExists&) {
            const cad::SelectionSet s = doc.selectionSets().item(name);
            s.clear();
            return s;
        }
    }
    cad::Entity a, b, c, d, text;
};
CADMODEL_CHANNELS(CadModelSelection);

TEST_P(CadModelSelection, NamesAreUniquePerDocument) {
    const cad::SelectionSet s = doc.selectionSets().add(QStringLiteral("SS1"));
    EXPECT_THROW(doc.selectionSets().add(QStringLiteral("ss1")), cad::AlreadyExists);
    EXPECT_EQ(doc.selectionSets().item(QStringLiteral("SS1")), s);
    EXPECT_THROW(doc.selectionSets().item(QStringLiteral("SS2")), cad::NotFound);
    s.remove();
    EXPECT_THROW(s.count(), cad::Erased);
    EXPECT_THROW(doc.selectionSets().item(QStringLiteral("SS1")), cad::NotFound);
    EXPECT_NO_THROW(doc.selectionSets().add(QStringLiteral("SS1")));
    // Another drawing has its own sets.
    EXPECT_NO_THROW(app.documents().add().selectionSets().add(QStringLiteral("SS1")));
}

TEST_P(CadModelSelection, AllWithFiltersInModelSpaceOrder) {
    const cad::SelectionSet s = fresh(QStringLiteral("SS1"));
    s.select(cad::SelectionSet::All, cad::SelectionFilter()
                                         .add(0, QStringLiteral("INSERT"))
                                         .add(2, QStringLiteral("12^STRUMIEN_*"))
                                         .add(8, QStringLiteral("113-STRUMIENIE_RUCHU")));
    ASSERT_EQ(s.count(), 2);
    EXPECT_EQ(s.item(0), a);
    EXPECT_EQ(s.item(1), b);
    EXPECT_EQ(s.entities(), (QList<cad::Entity>{a, b}));
    EXPECT_THROW(s.item(2), cad::NotFound);

    // Getting the set again empties it.
    const cad::SelectionSet again = fresh(QStringLiteral("SS1"));
    EXPECT_EQ(again, s);
    EXPECT_EQ(again.count(), 0);
    again.select(cad::SelectionSet::All, cad::SelectionFilter()
                                             .add(0, QStringLiteral("INSERT"))
                                             .add(2, QStringLiteral("12^*STRUMIEN_*"))
                                             .add(62, 3));
    ASSERT_EQ(again.count(), 1);
    EXPECT_EQ(again.item(0), b);

    const cad::SelectionSet groups = fresh(QStringLiteral("SSSygn"));
    groups.select(cad::SelectionSet::All, cad::SelectionFilter()
                                              .add(0, QStringLiteral("INSERT"))
                                              .add(-4, QStringLiteral("<or"))
                                              .add(2, QStringLiteral("13^*"))
                                              .add(2, QStringLiteral("*POJPOJ*"))
                                              .add(-4, QStringLiteral("or>")));
    EXPECT_EQ(groups.entities(), (QList<cad::Entity>{c, d}));

    const cad::SelectionSet everything = fresh(QStringLiteral("SS5"));
    everything.select(cad::SelectionSet::All);
    EXPECT_EQ(everything.count(), 5);
}

TEST_P(CadModelSelection, BadFiltersAreRefused) {
    const cad::SelectionSet s = fresh(QStringLiteral("SS1"));
    cad::SelectionFilter unbalanced;
    unbalanced.add(-4, QStringLiteral("<or")).add(2, QStringLiteral("X"));
    EXPECT_THROW(s.select(cad::SelectionSet::All, unbalanced), cad::InvalidArgument);
    EXPECT_THROW(
        s.invoke(QStringLiteral("Select"), {5, cad::Variant(), cad::Variant(), cad::VariantList{0, 8},
                                            cad::VariantList{QStringLiteral("INSERT")}}),
        cad::InvalidArgument);
    EXPECT_THROW(s.select(42), cad::InvalidArgument);
}

TEST_P(CadModelSelection, CrossingWindowAndPolygon) {
    const cad::SelectionSet s = fresh(QStringLiteral("SSCopy"));
    // The first reference spans x 0..10; a window touching its end selects it.
    s.select(cad::SelectionSet::Crossing, cad::Point{10, -1, 0}, cad::Point{150, 1, 0});
    EXPECT_EQ(s.entities(), (QList<cad::Entity>{a, b}));

    const cad::SelectionSet p = fresh(QStringLiteral("SSKasWym"));
    p.selectByPolygon(cad::SelectionSet::CrossingPolygon,
                      {{195, -5, 0}, {195, 5, 0}, {400, 5, 0}, {400, -5, 0}, {195, -5, 0}},
                      cad::SelectionFilter().add(8, QStringLiteral("113-STRUMIENIE_RUCHU")));
    EXPECT_EQ(p.entities(), (QList<cad::Entity>{d}));
}

TEST_P(CadModelSelection, EraseClearAndDelete) {
    const cad::SelectionSet s = fresh(QStringLiteral("SSRemoveObjects"));
    s.select(cad::SelectionSet::All, cad::SelectionFilter().add(8, QStringLiteral("113-STRUMIENIE_RUCHU")));
    ASSERT_EQ(s.count(), 3);
    s.erase();
    EXPECT_EQ(s.count(), 0);
    EXPECT_THROW(a.handle(), cad::Erased);
    EXPECT_EQ(ms.count(), 2);
    EXPECT_EQ(ms.item(0), text);

    const cad::SelectionSet t = fresh(QStringLiteral("SS2"));
    t.select(cad::SelectionSet::All);
    t.clear();
    EXPECT_EQ(t.count(), 0);
    t.select(cad::SelectionSet::All);
    t.remove();
    EXPECT_EQ(ms.count(), 2);  // deleting a set leaves its entities
}

TEST_P(CadModelSelection, ManyCreateAndDeleteCyclesLeaveOnlyTheLiveSetsFoundByName) {
    const cad::SelectionSets sets = doc.selectionSets();
    const int before = sets.count();
    const cad::SelectionSet kept = sets.add(QStringLiteral("Trwały"));
    cad::SelectionSet old;
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT")).add(2, QStringLiteral("12^STRUMIEN_*"));
    for (int i = 0; i < 500; ++i) {
        const cad::SelectionSet s = fresh(QStringLiteral("SS%1").arg(i % 4));
        s.select(cad::SelectionSet::All, f);
        ASSERT_EQ(s.count(), 2);
        ASSERT_EQ(sets.item(QStringLiteral("ss%1").arg(i % 4)).id(), s.id());
        if (i == 0) old = s;
        s.remove();
        ASSERT_EQ(sets.count(), before + 1);
    }
    // Deleted sets are gone: their names can be taken again and their old ids are dead.
    EXPECT_THROW(sets.item(QStringLiteral("SS0")), cad::NotFound);
    EXPECT_THROW((void)old.count(), cad::Erased);
    EXPECT_THROW(old.remove(), cad::Erased);
    const cad::SelectionSet again = sets.add(QStringLiteral("SS0"));
    EXPECT_NE(again.id(), old.id());
    EXPECT_EQ(again.count(), 0);
    EXPECT_EQ(sets.item(QStringLiteral("TRWAŁY")).id(), kept.id());
    EXPECT_EQ(sets.count(), before + 2);
    // Adding entities already in a set keeps each once, in drawing order.
    kept.addItems({d, a});
    kept.addItems({b, a, d});
    const QList<cad::Entity> members = kept.entities();
    ASSERT_EQ(members.size(), 3);
    EXPECT_EQ(members[0].id(), a.id());
    EXPECT_EQ(members[1].id(), b.id());
    EXPECT_EQ(members[2].id(), d.id());
}
