// Phase sets from phase pictures and transitions: on tables, on a drawing holding the blocks hatcher
// draws, the shortest-path search, and long schemes (many transitions, two-digit phases).
#include "tests/conflictor/export/ExportFixture.h"

#include "conflictor/phases/PhaseGraph.h"

namespace conflictor::test {
namespace {

class PhaseSets : public ExportFixture {
protected:
    void SetUp() override {
        ExportFixture::SetUp();
        automation::EnsureLayer(QStringLiteral("SCHEMAT_FAZY"), false, 7, -10);
        automation::EnsureLayer(QStringLiteral("SCHEMAT_PRZEJCIA_FAZOWE"), false, 7, -10);
    }
    void table(std::initializer_list<int> phases, std::initializer_list<std::pair<int, int>> transitions) {
        PhaseSetTable.clear();
        for (int p : phases) PhaseSetTable.push_back(PhaseSetRecord{p, false, {}, -1, -1});
        for (auto [a, b] : transitions) AddPhaseTransition(a, b);
    }
    // A phase picture as hatcher names it, on its layer.
    void picture(const QString& nr, int phase, int unique = 1) {
        const QString name = QStringLiteral("Schemat_%1_Faza%2_%3").arg(nr).arg(phase).arg(unique);
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{0, 0, 0}, cad::Point{10, 10, 0});
        insert(name, QStringLiteral("SCHEMAT_FAZY"), 100.0 * phase, 0);
    }
    // A transition reference of "dyn_przejscie_fazowe" with its attributes.
    void transition(const QString& nr, const QString& description) {
        const QString name = QStringLiteral("dyn_przejscie_fazowe");
        if (automation::GetBlockDefinition(name).isNull()) {
            cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
            b.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
            automation::AddAttributeDefinition(b, QStringLiteral("SKRZYZOWANIE"), QString(), 0, 0);
            automation::AddAttributeDefinition(b, QStringLiteral("OPIS"), QString(), 0, 0);
        }
        cad::Entity ref = insert(name, QStringLiteral("SCHEMAT_PRZEJCIA_FAZOWE"));
        for (const cad::Entity& att : ref.attributes())
            att.setTextString(att.tagString() == QLatin1String("OPIS") ? description : nr);
    }
};

TEST_F(PhaseSets, ChainAndWalkFromTables) {
    QStringList sets;
    table({1, 2, 3}, {{1, 2}, {2, 3}, {3, 1}});
    EXPECT_EQ(BuildPhaseSetsFromTable(sets), 1);
    EXPECT_EQ(sets, (QStringList{QStringLiteral("1, 2, 3"), QStringLiteral("1, 2, 3, 1")}));

    sets.clear();
    table({1, 2, 3}, {{1, 2}, {2, 1}, {1, 3}, {3, 1}});
    EXPECT_EQ(BuildPhaseSetsFromTable(sets), 1);
    EXPECT_EQ(sets, (QStringList{QStringLiteral("1, 2"), QStringLiteral("1, 2, 1, 3, 1")}));

    sets.clear();
    table({1, 2}, {{1, 2}, {2, 1}, {1, 2}, {2, 1}});
    BuildPhaseSetsFromTable(sets);
    EXPECT_EQ(sets.value(1), QStringLiteral("1, 2, 1"));
    EXPECT_EQ(PhaseWalkList.size(), 1);
}

// Four phases where the walk bridges from 4 back to 2 over 1: every step of the bridge, the last
// one (1 to 2) too, counts as walked, so the walk ends without running 1, 2, 4 a third time.
TEST_F(PhaseSets, AFourPhaseWalkCountsEveryStepOfABridge) {
    QStringList sets;
    table({1, 2, 3, 4}, {{1, 2}, {2, 4}, {3, 1}, {4, 1}, {4, 3}});
    EXPECT_EQ(BuildPhaseSetsFromTable(sets), 1);
    EXPECT_EQ(sets.value(1), QStringLiteral("1, 2, 4, 1, 2, 4, 3, 1"));
    EXPECT_TRUE(AllPhaseSetRecordsComplete());
}

TEST_F(PhaseSets, SchemeErrorsAreListedAndLeaveTheSetsAlone) {
    QStringList sets{QStringLiteral("kept")};
    table({1, 2, 3}, {{1, 2}, {2, 1}});
    prompts.clear();
    EXPECT_EQ(BuildPhaseSetsFromTable(sets), -2);
    EXPECT_EQ(sets, QStringList{QStringLiteral("kept")});
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList{QStringLiteral("Wykryto błędy w schemacie faz:\nW fazie 3 brak przejść międzyfazowych "
                                   "docelowych i poprzedzających.\n")});
}

TEST_F(PhaseSets, ShortestPaths) {
    std::vector<int> path;
    table({1, 2, 3, 4}, {{1, 2}, {2, 4}, {1, 3}, {3, 4}});
    BuildPhaseGraphMatrix();
    EXPECT_EQ(FindShortestPhasePath(1, 4, path), QStringLiteral(", 2"));
    EXPECT_EQ(path, (std::vector<int>{4, 2, 1}));
    EXPECT_EQ(FindShortestPhasePath(1, 1, path), QString());
    EXPECT_EQ(path, (std::vector<int>{1}));

    table({1, 2, 3}, {{1, 2}, {3, 1}});
    BuildPhaseGraphMatrix();
    prompts.clear();
    EXPECT_EQ(FindShortestPhasePath(2, 3, path), QString());
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Nie ma połączenia od 2 do 3!")});
    prompts.clear();
    EXPECT_EQ(FindShortestPhasePath(2, 9, path), QString());  // no such node: no chain, no crash
    EXPECT_EQ(prompts.messageTexts().size(), 1);
}

TEST_F(PhaseSets, ManyTransitionsAndTwoDigitPhases) {
    QStringList sets;
    table({1, 2}, {});
    for (int i = 0; i < 60; ++i) AddPhaseTransition(1, 2);  // sixty transitions: the table grows as far as the scheme needs
    AddPhaseTransition(2, 1);
    EXPECT_EQ(PhaseSetTable[0].LastEntry, 59);
    EXPECT_EQ(BuildPhaseSetsFromTable(sets), 1);

    sets.clear();
    table({10, 11, 12}, {{10, 11}, {11, 10}, {10, 11}, {11, 12}, {12, 10}, {11, 10}});
    EXPECT_EQ(BuildPhaseSetsFromTable(sets), 1);
    EXPECT_EQ(sets.value(0), QStringLiteral("10, 11, 12"));
    // Items compare whole: "10, 11, 10, 11" reduces as one-digit runs do, nothing is cut mid-number.
    EXPECT_EQ(ReduceRepeatedPairs(QStringLiteral("10, 11, 10, 11, 12, 10")),
              QStringLiteral("10, 11, 12, 10"));
    EXPECT_EQ(ReduceRepeatedPairs(QStringLiteral("1, 21, 1, 2")), QStringLiteral("1, 21, 1, 2"));
    for (const QString& item : sets.value(1).split(QStringLiteral(", ")))
        EXPECT_TRUE(item == QLatin1String("10") || item == QLatin1String("11") ||
                    item == QLatin1String("12"));
}

TEST_F(PhaseSets, PicturesAndTransitionsInTheDrawing) {
    picture(QStringLiteral("12"), 3);
    picture(QStringLiteral("12"), 1);
    picture(QStringLiteral("12"), 2);
    picture(QStringLiteral("120"), 4);  // another intersection
    transition(QStringLiteral("12"), QStringLiteral("PF 1-2"));
    transition(QStringLiteral("12"), QStringLiteral("PF 2-3"));
    transition(QStringLiteral("12"), QStringLiteral("PF 3-1"));
    transition(QStringLiteral("13"), QStringLiteral("PF 1-3"));  // not this intersection's
    transition(QStringLiteral("12"), QStringLiteral("PF 2-4"));  // phase 4 has no picture here
    transition(QStringLiteral("12"), QStringLiteral("PF x"));    // malformed
    QStringList sets;
    prompts.clear();
    EXPECT_EQ(StworzZestawyFaz(sets), 1);
    EXPECT_EQ(sets, (QStringList{QStringLiteral("1, 2, 3"), QStringLiteral("1, 2, 3, 1")}));
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    EXPECT_EQ(PhaseSetTable.size(), 3u);
    EXPECT_EQ(PhaseSetTable[0].Phase, 1);
}

TEST_F(PhaseSets, OnePictureGivesTheBasicSet) {
    picture(QStringLiteral("12"), 1);
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(50, -50, 50, 60)});
    drawn();
    storeStreamData(
        {{QStringLiteral("K1"), 1, QStringLiteral("1,2")}, {QStringLiteral("K2"), 2, QStringLiteral("2,3")}});
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    QStringList sets;
    prompts.clear();
    EXPECT_EQ(StworzZestawyFaz(sets), 0);
    EXPECT_EQ(sets, QStringList{QStringLiteral("1, 2, 3")});
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral(
                  "Nie wykryto schematu faz.\nZostanie stworzony tylko podstawowy zestaw faz.")});

    StreamTable.clear();
    sets.clear();
    EXPECT_EQ(StworzZestawyFaz(sets), -1);
    EXPECT_TRUE(sets.isEmpty());
}

TEST_F(PhaseSets, PictureNames) {
    EXPECT_EQ(PhaseOfPictureName(QStringLiteral("Schemat_12_Faza3_1"), QStringLiteral("12")), 3);
    EXPECT_EQ(PhaseOfPictureName(QStringLiteral("Schemat_12_Faza14_2"), QStringLiteral("12")), 14);
    EXPECT_EQ(PhaseOfPictureName(QStringLiteral("Schemat_12_Faza3"), QStringLiteral("12")), 0);
    EXPECT_EQ(PhaseOfPictureName(QStringLiteral("Schemat_12_Faza_3"), QStringLiteral("12")), 0);
    int a = 0, b = 0;
    EXPECT_TRUE(ParseTransitionText(QStringLiteral("PF 10-12"), a, b));
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 12);
    EXPECT_FALSE(ParseTransitionText(QStringLiteral("PF 1"), a, b));
    EXPECT_TRUE(ParseTransitionText(QStringLiteral("pf 3-4"), a, b));  // compared in upper case
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 4);
}

}  // namespace
}  // namespace conflictor::test
