// The phase editor's content and commands: ticks written through to the streams, the main grid and
// the FAZY texts in the drawing; add, copy, copy without pedestrians and delete of a phase.
#include "StreamsFixture.h"

#include "automation/CadConnection.h"
#include "conflictor/phases/PhaseEditorModel.h"
#include "conflictor/streams/StreamReading.h"

namespace conflictor::test {
namespace {

class PhaseEditor : public StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        block = addAttributeBlock(
            QStringLiteral("12"),
            {{QStringLiteral("GRUPY"), QStringLiteral("K1:5^K2:5^P1:2^P2:2^K3:7^R1:7^")},
             {QStringLiteral("FAZY"), QStringLiteral("K1:1,3^K2:2^P1:2^P2:2^K3:5,2^R1:5^X9:4^")}});
        int n = 1;
        for (const char* s : {"^K1", "^K2", "^P1", "^P2", "^K3", "^R1"}) {
            addLine(n, QString::fromLatin1(s), n * 10, 0, n * 10, 5);
            ++n;
        }
        ASSERT_TRUE(OdczytajStrumienie(false, -1));
        ASSERT_EQ(StreamTable.size(), 6u);
        model.Load();
    }
    QString phasesOf(const QString& name) { return StreamTable[size_t(FindStreamIndex(name))].Phases; }
    QString fazy() { return attribute(doc().handleToObject(block.handle()), QStringLiteral("FAZY")); }
    int row(int group) {
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.Groups[size_t(r)] == group) return r;
        return -1;
    }
    int column(const QString& header) { return int(model.PhaseHeaders.indexOf(header)); }

    cad::Entity block;
    PhaseEditorModel model;
};

TEST_F(PhaseEditor, RowsColumnsAndTicksFromTheStreams) {
    EXPECT_EQ(model.PhaseHeaders, (QStringList{"1", "2", "3", "5"}));
    EXPECT_EQ(model.Groups, (std::vector<int>{2, 5, 7}));
    EXPECT_EQ(model.GroupNames, (QStringList{"P1, P2", "K1, K2", "K3, R1"}));
    // Group 5 shows the list of K1, its first stream: 1 and 3.
    EXPECT_EQ(model.RowPhaseList(row(5)), QStringLiteral("1,3"));
    EXPECT_EQ(model.RowPhaseList(row(7)), QStringLiteral("2,5"));
    EXPECT_EQ(model.CurrentPhase, 0);
    EXPECT_EQ(model.CurrentGroup, 0);
}

TEST_F(PhaseEditor, ATickChangesEveryStreamOfTheGroupTheGridAndTheDrawing) {
    window.GridCells.clear();
    EXPECT_FALSE(model.Toggle(row(5), column("3")));  // unticks 3
    EXPECT_EQ(phasesOf("K1"), QStringLiteral("1"));
    EXPECT_EQ(phasesOf("K2"), QStringLiteral("1"));
    EXPECT_EQ(window.GridCells, (QStringList{"0/3=1", "1/3=1"}));
    EXPECT_TRUE(fazy().contains(QStringLiteral("K1:1^")));
    EXPECT_TRUE(fazy().contains(QStringLiteral("K2:1^")));
    EXPECT_TRUE(fazy().contains(QStringLiteral("X9:4^")));  // other entries kept
    EXPECT_TRUE(model.Toggle(row(5), column("2")));
    EXPECT_EQ(model.LastToggleText, QStringLiteral("Grupa 5, Fazy 1,2"));
    EXPECT_TRUE(fazy().contains(QStringLiteral("K2:1,2^")));
    // Unticking everything leaves an empty list.
    model.Toggle(row(5), column("1"));
    model.Toggle(row(5), column("2"));
    EXPECT_EQ(phasesOf("K2"), QString());
    EXPECT_TRUE(fazy().contains(QStringLiteral("K2:^")));
}

TEST_F(PhaseEditor, TheBlockIsFoundAgainInTheActiveDrawing) {
    // A handle left from another drawing: the write must go to this drawing's block.
    StreamAttributeBlockHandle = QStringLiteral("FFFF");
    model.Toggle(row(2), column("1"));
    EXPECT_TRUE(fazy().contains(QStringLiteral("P1:1,2^")));
    EXPECT_EQ(StreamAttributeBlockHandle, block.handle());
    // A second drawing made active without this intersection: the records change, nothing is written.
    const cad::Document first = doc();
    const QString before = fazy();
    automation::CadApplication.documents().add();
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    model.Toggle(row(2), column("3"));
    EXPECT_EQ(phasesOf("P2"), QStringLiteral("1,2,3"));
    EXPECT_TRUE(StreamAttributeBlockHandle.isEmpty());
    EXPECT_EQ(attribute(first.handleToObject(block.handle()), QStringLiteral("FAZY")), before);
}

TEST_F(PhaseEditor, WithoutADrawingRecordsAndGridChangeOnly) {
    automation::CadApplication.documents().item(0).close();
    ASSERT_FALSE(automation::CheckDocumentOpen(false));
    model.Toggle(row(7), column("1"));
    EXPECT_EQ(phasesOf("R1"), QStringLiteral("1,2,5"));
    EXPECT_TRUE(window.GridCells.contains(QStringLiteral("5/3=1,2,5")));
}

TEST_F(PhaseEditor, ClicksWithoutGroupRowsDoNothing) {
    StreamTable.clear();
    StreamTable.push_back(Stream(QStringLiteral("K1"), QStringLiteral("7")));  // no group
    model.Load();
    EXPECT_EQ(model.PhaseHeaders, QStringList{"7"});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.Toggle(0, 0));
    EXPECT_FALSE(model.Toggle(-1, 0));
    EXPECT_TRUE(model.AddPhaseColumn(false, false));
    EXPECT_TRUE(model.AddPhaseColumn(true, false));
    model.DeleteCurrentPhase();
    EXPECT_EQ(phasesOf("K1"), QStringLiteral("7"));
}

TEST_F(PhaseEditor, AddCopyAndCopyWithoutPedestrians) {
    // Columns 1, 2, 3, 5: add gives 6, nothing stored until a tick.
    ASSERT_TRUE(model.AddPhaseColumn(false, false));
    EXPECT_EQ(model.PhaseHeaders.last(), QStringLiteral("6"));
    EXPECT_EQ(model.RowPhaseList(row(5)), QStringLiteral("1,3"));
    EXPECT_FALSE(fazy().contains(QStringLiteral("6")));
    // Copy of phase 2: 7, ticked for exactly the groups of 2.
    model.CurrentPhase = column("2");
    ASSERT_TRUE(model.AddPhaseColumn(true, false));
    EXPECT_EQ(model.PhaseHeaders.last(), QStringLiteral("7"));
    EXPECT_EQ(phasesOf("P1"), QStringLiteral("2,7"));
    EXPECT_EQ(phasesOf("K3"), QStringLiteral("2,5,7"));
    EXPECT_EQ(phasesOf("R1"), QStringLiteral("2,5,7"));
    EXPECT_EQ(phasesOf("K1"), QStringLiteral("1,3"));
    EXPECT_TRUE(fazy().contains(QStringLiteral("R1:2,5,7^")));
    // Without pedestrians: 21; the group of P1 and P2 is left out, K3 with R1 is not.
    ASSERT_TRUE(model.AddPhaseColumn(true, true));
    EXPECT_EQ(model.PhaseHeaders.last(), QStringLiteral("21"));
    EXPECT_EQ(phasesOf("P2"), QStringLiteral("2,7"));
    EXPECT_EQ(phasesOf("K3"), QStringLiteral("2,5,7,21"));
    EXPECT_TRUE(fazy().contains(QStringLiteral("K3:2,5,7,21^")));
    // Next without pedestrians of 2 is 22; a plain add is one above the largest: 23.
    EXPECT_EQ(model.NewPhaseNumber(true), 22);
    EXPECT_EQ(model.NewPhaseNumber(false), 22);
    model.PhaseHeaders.append(QStringLiteral("22"));
    EXPECT_EQ(model.NewPhaseNumber(false), 23);
}

TEST_F(PhaseEditor, NumbersAreNeverDuplicatedZeroOrPastTheLimit) {
    model.PhaseHeaders = {"3", "1"};
    EXPECT_EQ(model.NewPhaseNumber(false), 4);  // not the rightmost plus one (2 would repeat)
    model.PhaseHeaders = {"1", "11", "12", "13", "14", "15", "16", "17", "18", "19", "110"};
    model.CurrentPhase = 0;
    EXPECT_EQ(model.NewPhaseNumber(true), 111);  // 11 to 19 and 110 are taken
    model.PhaseHeaders = {"3277"};
    EXPECT_EQ(model.NewPhaseNumber(true), 0);  // 32771 is past the limit
    prompts.clear();
    EXPECT_FALSE(model.AddPhaseColumn(true, true, QStringLiteral("Fazy")));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Nie można utworzyć fazy o numerze 32771!")});
    EXPECT_EQ(model.PhaseHeaders, QStringList{"3277"});
    model.PhaseHeaders = {"32767"};
    EXPECT_EQ(model.NewPhaseNumber(false), 0);
    model.PhaseHeaders.clear();
    model.PhaseCellStates.assign(size_t(model.rowCount()), {});
    model.CurrentPhase = -1;
    EXPECT_FALSE(model.AddPhaseColumn(true, false));  // no phase to copy
    EXPECT_TRUE(model.AddPhaseColumn(false, false));
    EXPECT_EQ(model.PhaseHeaders, QStringList{"1"});
}

TEST_F(PhaseEditor, DeleteKeepsTheOtherNumbers) {
    model.CurrentPhase = column("2");
    model.DeleteCurrentPhase();
    EXPECT_EQ(model.PhaseHeaders, (QStringList{"1", "3", "5"}));
    EXPECT_EQ(model.CurrentPhase, 0);
    EXPECT_EQ(phasesOf("K3"), QStringLiteral("5"));
    EXPECT_EQ(phasesOf("K2"), QStringLiteral("1,3"));  // every group rewritten from its row
    EXPECT_EQ(phasesOf("P1"), QString());
    EXPECT_TRUE(fazy().contains(QStringLiteral("P1:^")));
    EXPECT_TRUE(fazy().contains(QStringLiteral("K3:5^")));
    model.CurrentPhase = 2;
    model.DeleteCurrentPhase();
    EXPECT_EQ(model.CurrentPhase, 1);
    model.DeleteCurrentPhase();
    model.DeleteCurrentPhase();
    EXPECT_EQ(model.CurrentPhase, -1);
    EXPECT_EQ(phasesOf("K1"), QString());
    model.DeleteCurrentPhase();  // nothing selected: nothing happens
}

TEST(PedestrianGroups, EveryStreamMustBePedestrianOrBicycle) {
    EXPECT_TRUE(IsPedestrianBicycleGroup(QStringLiteral("P1, r2")));
    EXPECT_FALSE(IsPedestrianBicycleGroup(QStringLiteral("K1, P1")));
    EXPECT_FALSE(IsPedestrianBicycleGroup(QStringLiteral("P1, K1")));
    EXPECT_FALSE(IsPedestrianBicycleGroup(QString()));
}

}  // namespace
}  // namespace conflictor::test
