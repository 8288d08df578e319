// Named selection sets, filters, erase by filter, the reference-handle search and point conversions.
#include "CadFixture.h"

namespace automation::test {
namespace {

using AutomationSelection = CadFixture;

TEST_F(AutomationSelection, GettingANamedSetTwiceGivesTheSameSetEmptied) {
    defineBlock(QStringLiteral("A"));
    insert(QStringLiteral("A"));
    insert(QStringLiteral("A"));
    cad::SelectionSet first = GetSelectionSet(QStringLiteral("SS1"));
    first.select(cad::SelectionSet::All, BuildSelectionFilter({0, QStringLiteral("INSERT")}));
    EXPECT_EQ(first.count(), 2);
    cad::SelectionSet second = GetSelectionSet(QStringLiteral("SS1"));
    EXPECT_EQ(second.name(), QStringLiteral("SS1"));
    EXPECT_EQ(second.count(), 0);
    EXPECT_EQ(countSets(), 1);
    second.remove();
}

TEST_F(AutomationSelection, FilterArraysFromPairs) {
    const cad::SelectionFilter f =
        BuildSelectionFilter({0, QStringLiteral("INSERT"), 2, QStringLiteral("7^STRUMIEN_*"), 8,
                              QStringLiteral("113-STRUMIENIE_RUCHU")});
    EXPECT_EQ(f.codes, (QList<int>{0, 2, 8}));
    ASSERT_EQ(f.values.size(), 3);
    EXPECT_EQ(f.values[1].toText(), QStringLiteral("7^STRUMIEN_*"));
    EXPECT_THROW(BuildSelectionFilter({0, QStringLiteral("INSERT"), 2}), cad::InvalidArgument);
}

TEST_F(AutomationSelection, FilterGroupsOfAlternativesAndNegations) {
    CadDocument.layers().add(QStringLiteral("SCHEMAT_FAZY"));
    defineBlock(QStringLiteral("Schemat_7_Faza1"));
    defineBlock(QStringLiteral("dyn_przejscie_fazowe"));
    defineBlock(QStringLiteral("INNY"));
    const cad::Entity picture = insert(QStringLiteral("Schemat_7_Faza1"), QStringLiteral("SCHEMAT_FAZY"));
    const cad::Entity transition = insert(QStringLiteral("dyn_przejscie_fazowe"));
    insert(QStringLiteral("INNY"));
    cad::SelectionSet set = GetSelectionSet(QStringLiteral("SSSchemat"));
    set.select(cad::SelectionSet::All,
               BuildSelectionFilter({0, QStringLiteral("INSERT"), -4, QStringLiteral("<or"), 2,
                                     QStringLiteral("Schemat_7_Faza*"), 2,
                                     QStringLiteral("dyn_przejscie_fazowe"), -4, QStringLiteral("or>")}));
    EXPECT_EQ(set.entities(), (QList<cad::Entity>{picture, transition}));
    set = GetSelectionSet(QStringLiteral("SSSchemat"));
    set.select(cad::SelectionSet::All,
               BuildSelectionFilter({0, QStringLiteral("INSERT"), -4, QStringLiteral("<not"), 8,
                                     QStringLiteral("SCHEMAT_FAZY"), -4, QStringLiteral("not>")}));
    EXPECT_EQ(set.count(), 2);
    set.remove();
}

TEST_F(AutomationSelection, UserTextIsEscapedSoItNeverActsAsAWildcard) {
    EXPECT_EQ(EscapeFilterText(QStringLiteral("12")), QStringLiteral("12"));
    EXPECT_EQ(EscapeFilterText(QStringLiteral("K1[2]")), QStringLiteral("K1`[2`]"));
    EXPECT_EQ(EscapeFilterText(QStringLiteral("1*#,?")), QStringLiteral("1`*`#`,`?"));
    EXPECT_EQ(UnescapeFilterText(EscapeFilterText(QStringLiteral("A.b@~`c"))), QStringLiteral("A.b@~`c"));

    defineBlock(QStringLiteral("7^STRUMIEN_1^K1[2]"));
    defineBlock(QStringLiteral("7^STRUMIEN_2^K12"));
    const cad::Entity variant = insert(QStringLiteral("7^STRUMIEN_1^K1[2]"));
    insert(QStringLiteral("7^STRUMIEN_2^K12"));
    cad::SelectionSet set = GetSelectionSet(QStringLiteral("SS3"));
    set.select(cad::SelectionSet::All, BuildSelectionFilter({0, QStringLiteral("INSERT"), 2,
                                                             QStringLiteral("7^STRUMIEN_*^") +
                                                                 EscapeFilterText(QStringLiteral("K1[2]"))}));
    ASSERT_EQ(set.count(), 1);
    EXPECT_EQ(set.item(0), variant);
    set.remove();
}

TEST_F(AutomationSelection, EraseByLayerWithNothingThereLeavesNoSet) {
    CadDocument.layers().add(QStringLiteral("400-DLUGOSCI_STRUMIENI"));
    CadModelSpace.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    const int before = CadModelSpace.count();
    EraseByLayerFilter(QStringLiteral("400-DLUGOSCI_STRUMIENI"), QString());
    EXPECT_EQ(CadModelSpace.count(), before);
    EXPECT_EQ(countSets(), 0);
    EXPECT_THROW(CadDocument.selectionSets().item(QStringLiteral("SS2")), cad::Error);
}

TEST_F(AutomationSelection, EraseByLayerTakesEverythingOnItOrOnlyTheNamedBlock) {
    CadDocument.layers().add(QStringLiteral("L"));
    defineBlock(QStringLiteral("A"));
    defineBlock(QStringLiteral("B"));
    const cad::Entity keepOther = insert(QStringLiteral("A"));  // layer 0
    insert(QStringLiteral("A"), QStringLiteral("L"));
    const cad::Entity keepB = insert(QStringLiteral("B"), QStringLiteral("L"));
    EraseByLayerFilter(QStringLiteral("L"), QStringLiteral("A"));
    EXPECT_EQ(CadModelSpace.count(), 2);
    cad::Entity text = CadModelSpace.addText(QStringLiteral("12.5"), cad::Point{0, 0, 0}, 1.5);
    text.setLayer(QStringLiteral("L"));
    EraseByLayerFilter(QStringLiteral("L"), QString());
    ASSERT_EQ(CadModelSpace.count(), 1);
    EXPECT_EQ(CadModelSpace.item(0), keepOther);
    EXPECT_THROW(keepB.handle(), cad::Erased);
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationSelection, EraseBlockReferencesOnlyOfThePatternOnTheLayer) {
    CadDocument.layers().add(QStringLiteral("114-PUNKTY_KOLIZJI"));
    defineBlock(QStringLiteral("7^POJPOJ_STRUMIEN_1"));
    defineBlock(QStringLiteral("8^POJPOJ_STRUMIEN_2"));
    insert(QStringLiteral("7^POJPOJ_STRUMIEN_1"), QStringLiteral("114-PUNKTY_KOLIZJI"));
    const cad::Entity otherIntersection =
        insert(QStringLiteral("8^POJPOJ_STRUMIEN_2"), QStringLiteral("114-PUNKTY_KOLIZJI"));
    const cad::Entity otherLayer = insert(QStringLiteral("7^POJPOJ_STRUMIEN_1"));
    EraseBlockReferencesOnLayer(QStringLiteral("7^*POJ*_STRUMIEN*"), QStringLiteral("114-PUNKTY_KOLIZJI"));
    EXPECT_EQ(CadModelSpace.count(), 2);
    EraseBlockReferencesOnLayer(QStringLiteral("8^*POJ*_STRUMIEN*"), cad::Variant(),
                                QStringLiteral("114-PUNKTY_KOLIZJI"));
    EXPECT_EQ(CadModelSpace.count(), 1);
    EXPECT_THROW(otherIntersection.handle(), cad::Erased);
    EXPECT_NO_THROW(otherLayer.handle());
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationSelection, FirstInsertOfAPattern) {
    cad::Entity found;
    EXPECT_FALSE(FindFirstInsert(QStringLiteral("ATRYBUTY_STRUMIENI_*"), found));
    EXPECT_TRUE(found.isNull());
    defineBlock(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
    defineBlock(QStringLiteral("ATRYBUTY_STRUMIENI_8"));
    const cad::Entity first = insert(QStringLiteral("ATRYBUTY_STRUMIENI_8"));
    insert(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
    EXPECT_TRUE(FindFirstInsert(QStringLiteral("ATRYBUTY_STRUMIENI_*"), found));
    EXPECT_EQ(found, first);
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationSelection, MarkerOfAVariantStreamIsFoundByItsFullName) {
    const QString layer = QStringLiteral("113-STRUMIENIE_RUCHU");
    CadDocument.layers().add(layer);
    defineBlock(QStringLiteral("7^POCZATEK_STRUMIEN_K1[3]_4"));
    defineBlock(QStringLiteral("7^POCZATEK_STRUMIEN_K1_5"));
    defineBlock(QStringLiteral("7^POCZATEK_STRUMIEN_K1[2]_6"));
    insert(QStringLiteral("7^POCZATEK_STRUMIEN_K1[3]_4"), layer);
    const cad::Entity plain = insert(QStringLiteral("7^POCZATEK_STRUMIEN_K1_5"), layer);
    const cad::Entity wanted = insert(QStringLiteral("7^POCZATEK_STRUMIEN_K1[2]_6"), layer);
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^POCZATEK_STRUMIEN_K1[2]_*"),
                                       cad::Variant(), layer),
              wanted.handle());
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^POCZATEK_STRUMIEN_K1_*"),
                                       cad::Variant(), layer),
              plain.handle());
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^POCZATEK_STRUMIEN_K1[9]_*"),
                                       cad::Variant(), layer),
              QString());
    // A pattern whose stream name is escaped selects exactly.
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace,
                                       QStringLiteral("7^POCZATEK_STRUMIEN_") +
                                           EscapeFilterText(QStringLiteral("K1[2]")) + QStringLiteral("_*"),
                                       cad::Variant(), layer),
              wanted.handle());
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^POCZATEK_STRUMIEN_K1_*"),
                                       cad::Variant(), QStringLiteral("0")),
              QString());
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationSelection, HandleByAttributeValueWithASeparateTag) {
    const QString layer = QStringLiteral("110-SYGNALIZACJA_KOMORY");
    CadDocument.layers().add(layer);
    defineBlock(QStringLiteral("S-1"),
                {{QStringLiteral("OBIEKT"), QString()}, {QStringLiteral("INWENT_NUMER"), QString()}});
    cad::Entity a = insert(QStringLiteral("S-1"), layer);
    cad::Entity b = insert(QStringLiteral("S-1"), layer);
    a.attributes()[1].setTextString(QStringLiteral("SYG/1"));
    b.attributes()[1].setTextString(QStringLiteral("SYG/2"));
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("S-*"), QStringLiteral("INWENT_NUMER"),
                                       QStringLiteral("SYG/2"), layer),
              b.handle());
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("S-*"), QStringLiteral("INWENT_NUMER"),
                                       QStringLiteral("SYG/3"), layer),
              QString());
    // The tag taken from the pattern itself: an attribute whose tag contains it.
    defineBlock(QStringLiteral("M"), {{QStringLiteral("XMY"), QStringLiteral("v")}});
    cad::Entity m = insert(QStringLiteral("M"), layer);
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("M"), QStringLiteral("v"), layer),
              m.handle());
}

TEST_F(AutomationSelection, WithASeparateTagTheNameRulesComeFromTheNamePattern) {
    const QString layer = QStringLiteral("113-STRUMIENIE_RUCHU");
    CadDocument.layers().add(layer);
    defineBlock(QStringLiteral("7^KONIEC_STRUMIEN_K12_1"), {{QStringLiteral("NR[1]"), QStringLiteral("a")}});
    defineBlock(QStringLiteral("7^KONIEC_STRUMIEN_K1[2]_2"),
                {{QStringLiteral("NR[1]"), QStringLiteral("b")}});
    insert(QStringLiteral("7^KONIEC_STRUMIEN_K12_1"), layer);
    const cad::Entity variant = insert(QStringLiteral("7^KONIEC_STRUMIEN_K1[2]_2"), layer);
    // The "[" of a variant name never acts as a character class (that would take the K12 marker).
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^KONIEC_STRUMIEN_K1[2]_*"), QString(),
                                       cad::Variant(), layer),
              variant.handle());
    // A "[" in the tag does not touch the selection by name.
    EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^KONIEC_STRUMIEN_*"),
                                       QStringLiteral("NR[1]"), QStringLiteral("b"), layer),
              variant.handle());
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationSelection, HelpersLeaveACallersSetOfTheSameNameAlone) {
    const QString layer = QStringLiteral("113-STRUMIENIE_RUCHU");
    CadDocument.layers().add(layer);
    for (int i = 1; i <= 3; ++i) {
        defineBlock(QStringLiteral("7^STRUMIEN_%1^K%1").arg(i));
        insert(QStringLiteral("7^STRUMIEN_%1^K%1").arg(i), layer);
    }
    defineBlock(QStringLiteral("7^POCZATEK_STRUMIEN_K1_9"));
    const cad::Entity marker = insert(QStringLiteral("7^POCZATEK_STRUMIEN_K1_9"), layer);
    defineBlock(QStringLiteral("7^POWIAZANIE_1"),
                {{QStringLiteral("STRUMIENIE_OD_SRODKA"), QStringLiteral("P1")},
                 {QStringLiteral("STRUMIENIE_ZEWN"), QStringLiteral("P2")}});
    insert(QStringLiteral("7^POWIAZANIE_1"));

    cad::SelectionSet mine = GetSelectionSet(QStringLiteral("SS1"));
    mine.select(cad::SelectionSet::All,
                BuildSelectionFilter({0, QStringLiteral("INSERT"), 2, QStringLiteral("7^STRUMIEN_*")}));
    ASSERT_EQ(mine.count(), 3);
    int visited = 0;
    for (int i = 0; i < mine.count(); ++i) {
        EXPECT_EQ(FindBlockReferenceHandle(CadModelSpace, QStringLiteral("7^POCZATEK_STRUMIEN_K1_*"),
                                           cad::Variant(), layer),
                  marker.handle());
        ReadCrossingLinks(QStringLiteral("7"));
        cad::Entity first;
        EXPECT_TRUE(FindFirstInsert(QStringLiteral("7^STRUMIEN_*"), first));
        EXPECT_NO_THROW(mine.item(i).handle());
        ++visited;
    }
    EXPECT_EQ(visited, 3);
    EXPECT_EQ(mine.count(), 3);
    EXPECT_EQ(CrossingLinkTable.size(), 1);
    EXPECT_EQ(countSets(), 1);  // only the caller's own
    mine.remove();
}

TEST_F(AutomationSelection, AFailedSearchOrEraseLeavesNoSetBehind) {
    RelayChannel relay(CadApplication.channel());
    CadApplication = cad::Application(&relay);
    ASSERT_TRUE(CheckDocumentOpen(false));
    relay.failOn = QStringLiteral("Select");
    EXPECT_THROW(EraseByLayerFilter(QStringLiteral("0"), QString()), cad::Error);
    EXPECT_THROW(EraseBlockReferencesOnLayer(QStringLiteral("A*"), QStringLiteral("0")), cad::Error);
    EXPECT_THROW(ReadCrossingLinks(QStringLiteral("7")), cad::Error);
    relay.failOn = QStringLiteral("ReadSelection");  // a search without a named set
    EXPECT_THROW(
        FindBlockReferenceHandle(CadModelSpace, QStringLiteral("A*"), cad::Variant(), QStringLiteral("0")),
        cad::Error);
    relay.failOn = QStringLiteral("Select");
    cad::Entity found;
    EXPECT_FALSE(FindFirstInsert(QStringLiteral("A*"), found));
    relay.failOn.clear();
    EXPECT_EQ(countSets(), 0);
    // The fixed names are free for the next search.
    defineBlock(QStringLiteral("A1"));
    const cad::Entity a = insert(QStringLiteral("A1"));
    EXPECT_EQ(
        FindBlockReferenceHandle(CadModelSpace, QStringLiteral("A*"), cad::Variant(), QStringLiteral("0")),
        a.handle());
    EXPECT_EQ(countSets(), 0);
    ResetCadConnectionState();
}

TEST(AutomationPoints, ConversionsAndSubtraction) {
    EXPECT_EQ(MakeCadPoint(common::PlanePoint{3, 4}), (cad::Point{3, 4, 0}));
    const common::PlanePoint p = ReadCadPoint(cad::Variant(cad::Point{3, 4, 5}));
    EXPECT_EQ(p.X, 3);
    EXPECT_EQ(p.Y, 4);
    const common::PlanePoint q = ReadCadPoint(cad::Variant(cad::VariantList{7.5, -2.0, 1.0}));
    EXPECT_EQ(q.X, 7.5);
    EXPECT_EQ(q.Y, -2.0);
    common::PlaneSegment s{{10, 20}, {30, 40}};
    SubtractFromSegment(s, common::PlanePoint{10, 5});
    EXPECT_EQ(s.P1.X, 0);
    EXPECT_EQ(s.P1.Y, 15);
    EXPECT_EQ(s.P2.X, 20);
    EXPECT_EQ(s.P2.Y, 35);
    common::PlanePoint a{1, 1}, b{2, 2};
    SubtractFromSegment(a, b, common::PlanePoint{1, 2});
    EXPECT_EQ(a.X, 0);
    EXPECT_EQ(a.Y, -1);
    EXPECT_EQ(b.X, 1);
    EXPECT_EQ(b.Y, 0);
}

}  // namespace
}  // namespace automation::test
