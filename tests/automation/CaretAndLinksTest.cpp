// Stream names out of block names, the crossing-link blocks of an intersection, and the combo filler.
#include "CadFixture.h"

namespace automation::test {
namespace {

TEST(AutomationCaretList, NamesAfterTheBlockNumber) {
    EXPECT_EQ(SplitCaretList(QStringLiteral("7^STRUMIEN_12^K1^P2"), QStringLiteral("7^STRUMIEN")),
              (QStringList{QStringLiteral("K1"), QStringLiteral("P2")}));
    EXPECT_EQ(SplitCaretList(QStringLiteral("7^STRUMIEN_12^K1[2]^^S3^"), QStringLiteral("7^STRUMIEN")),
              (QStringList{QStringLiteral("K1[2]"), QStringLiteral("S3")}));
    // The prefix is skipped by its length, not compared.
    EXPECT_EQ(SplitCaretList(QStringLiteral("8^STRUMIEN_3^R1"), QStringLiteral("7^STRUMIEN")),
              (QStringList{QStringLiteral("R1")}));
}

TEST(AutomationCaretList, AlwaysAFreshListNothingLeftFromThePreviousBlock) {
    QStringList items;
    EXPECT_EQ(SplitCaretList(QStringLiteral("7^STRUMIEN_12^K1^P2"), QStringLiteral("7^STRUMIEN"), items), 2);
    EXPECT_EQ(SplitCaretList(QStringLiteral("7^STRUMIEN_13"), QStringLiteral("7^STRUMIEN"), items), 0);
    EXPECT_TRUE(items.isEmpty());
    EXPECT_EQ(SplitCaretList(QStringLiteral("7^STRUMIEN_14^T1"), QStringLiteral("7^STRUMIEN"), items), 1);
    EXPECT_EQ(items, (QStringList{QStringLiteral("T1")}));
}

class AutomationCrossingLinks : public CadFixture {
protected:
    // A link block as the crossing-link dialog writes it, inserted on its layer.
    cad::Entity link(const QString& name, const QString& inner, const QString& outer,
                     const QString& crossing = QStringLiteral("12.5"),
                     const QString& island = QStringLiteral("2.0"),
                     const QString& total = QStringLiteral("14.5")) {
        if (!CheckLayerExists(QStringLiteral("402-POWIAZANIA_PRZEJSC")))
            EnsureLayer(QStringLiteral("402-POWIAZANIA_PRZEJSC"), false, 4, 30);
        defineBlock(name, {{QStringLiteral("DLUGOSC_WYSPY"), island},
                           {QStringLiteral("DLUGOSC_PRZEJSC"), crossing},
                           {QStringLiteral("DLUGOSC_CALKOWITA"), total},
                           {QStringLiteral("STRUMIENIE_OD_SRODKA"), inner},
                           {QStringLiteral("STRUMIENIE_ZEWN"), outer}});
        return insert(name, QStringLiteral("402-POWIAZANIA_PRZEJSC"));
    }
};

TEST_F(AutomationCrossingLinks, ValidLinksInSelectionOrderWithAllFields) {
    const cad::Entity a =
        link(QStringLiteral("12^POWIAZANIE_5"), QStringLiteral("P1:P2"), QStringLiteral("P3"),
             QStringLiteral("10.0"), QStringLiteral("3.5"), QStringLiteral("13.5"));
    link(QStringLiteral("12^POWIAZANIE_6"), QStringLiteral("R1"), QString());
    const cad::Entity c = link(QStringLiteral("12^POWIAZANIE_7"), QStringLiteral("R2"), QStringLiteral("R3"));
    ReadCrossingLinks(QStringLiteral("12"));
    ASSERT_EQ(CrossingLinkTable.size(), 2);
    const CrossingLinkRecord& r = CrossingLinkTable[0];
    EXPECT_EQ(r.InnerStreams, QStringLiteral("P1:P2"));
    EXPECT_EQ(r.OuterStreams, QStringLiteral("P3"));
    EXPECT_EQ(r.CrossingLength, QStringLiteral("10.0"));
    EXPECT_EQ(r.IslandLength, QStringLiteral("3.5"));
    EXPECT_EQ(r.TotalLength, QStringLiteral("13.5"));
    EXPECT_EQ(r.Handle, a.handle());
    EXPECT_EQ(CrossingLinkTable[1].Handle, c.handle());
    // The skipped reference stays in the drawing.
    EXPECT_EQ(CadModelSpace.count(), 3);
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationCrossingLinks, AnIntersectionWithoutLinksLeavesTheTableEmpty) {
    link(QStringLiteral("12^POWIAZANIE_5"), QStringLiteral("P1"), QStringLiteral("P2"));
    ReadCrossingLinks(QStringLiteral("12"));
    ASSERT_EQ(CrossingLinkTable.size(), 1);
    ReadCrossingLinks(QStringLiteral("3"));
    EXPECT_TRUE(CrossingLinkTable.isEmpty());
}

TEST_F(AutomationCrossingLinks, TagsAreComparedExactlyAndALaterDuplicateWins) {
    defineBlock(QStringLiteral("4^POWIAZANIE_1"),
                {{QStringLiteral("strumienie_od_srodka"), QStringLiteral("P1")},
                 {QStringLiteral("STRUMIENIE_ZEWN"), QStringLiteral("P2")}});
    insert(QStringLiteral("4^POWIAZANIE_1"));
    defineBlock(QStringLiteral("4^POWIAZANIE_2"),
                {{QStringLiteral("STRUMIENIE_OD_SRODKA"), QStringLiteral("P1")},
                 {QStringLiteral("STRUMIENIE_ZEWN"), QStringLiteral("P2")},
                 {QStringLiteral("STRUMIENIE_ZEWN"), QStringLiteral("P9")}});
    insert(QStringLiteral("4^POWIAZANIE_2"));
    ReadCrossingLinks(QStringLiteral("4"));
    ASSERT_EQ(CrossingLinkTable.size(), 1);
    EXPECT_EQ(CrossingLinkTable[0].OuterStreams, QStringLiteral("P9"));
}

TEST_F(AutomationCrossingLinks, TheIntersectionNumberIsNeverAWildcard) {
    link(QStringLiteral("12^POWIAZANIE_5"), QStringLiteral("P1"), QStringLiteral("P2"));
    link(QStringLiteral("1#^POWIAZANIE_6"), QStringLiteral("P3"), QStringLiteral("P4"));
    ReadCrossingLinks(QStringLiteral("1?"));
    EXPECT_TRUE(CrossingLinkTable.isEmpty());
    ReadCrossingLinks(QStringLiteral("1*"));
    EXPECT_TRUE(CrossingLinkTable.isEmpty());
    ReadCrossingLinks(QStringLiteral("1#"));
    ASSERT_EQ(CrossingLinkTable.size(), 1);
    EXPECT_EQ(CrossingLinkTable[0].InnerStreams, QStringLiteral("P3"));
}

// Stands in for a combo box: what the filler calls.
struct FakeCombo {
    QStringList items;
    QString current;
    void clear() {
        items.clear();
        current.clear();
    }
    void addItem(const QString& s) { items.append(s); }
    int count() const { return int(items.size()); }
    QString itemText(int i) const { return items.value(i); }
    void setCurrentText(const QString& s) { current = s; }
};

TEST(AutomationComboFill, AddsTheRangeAndShowsTheEntryAtTheIndex) {
    FakeCombo combo;
    combo.addItem(QStringLiteral("stary"));
    const QStringList items{QStringLiteral("zero"), QStringLiteral("jeden"), QStringLiteral("dwa"),
                            QStringLiteral("trzy"), QStringLiteral("cztery")};
    FillComboFromArray(combo, items, 1, 3, 2);
    EXPECT_EQ(combo.items,
              (QStringList{QStringLiteral("jeden"), QStringLiteral("dwa"), QStringLiteral("trzy")}));
    EXPECT_EQ(combo.current, QStringLiteral("trzy"));
    FillComboFromArray(combo, items, 0, 9, 7);
    EXPECT_EQ(combo.count(), 5);
    EXPECT_EQ(combo.current, QString());
}

}  // namespace
}  // namespace automation::test
