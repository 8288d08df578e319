// The phase table and the preliminary parameters as commands, on workbook files the tests write: the
// workbook the drawing names is opened after the question, the phase table drawn from it; the green
// lengths written, saved after the question (openpyxl and our reader check the file), kept unsaved
// on No, and written into the file as another program changed it meanwhile.
#include "WorkbookFixture.h"
#include "phaseplanner/drawing/PhaseTable.h"
#include "phaseplanner/drawing/PreliminaryParameters.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"

namespace phaseplanner::test {
namespace {

class WorkbookCommandsTest : public WorkbookFixture {
protected:
    void SetUp() override {
        WorkbookFixture::SetUp();
        ResetProgramAttributeState();
    }
    void TearDown() override {
        ResetProgramAttributeState();
        WorkbookFixture::TearDown();
    }
    // K1 in phase 1 (10..30), K2 in phase 2 (36..56), P1 in phase 1 (10..30) of an 80 s cycle.
    void program() {
        CycleLength = 80;
        GroupTable = {Group(KindVehicle, QStringLiteral("K1"), {{10, 20}}),
                      Group(KindVehicle, QStringLiteral("K2"), {{36, 20}}),
                      Group(KindPedestrian, QStringLiteral("P1"), {{10, 24}, {60, 0}, {62, 10}})};
        SetPhases(GroupTable[0].Greens[1], {{1, 1}});
        SetPhases(GroupTable[1].Greens[1], {{2, 2}});
        SetPhases(GroupTable[2].Greens[1], {{1, 1}});
    }
    int linesOnTableLayer() {
        int n = 0;
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.layer() == PhaseTableLayer() && e.objectName() == QLatin1String("AcDbLine")) ++n;
        return n;
    }
};

TEST_F(WorkbookCommandsTest, PhaseTableFromTheWorkbookTheDrawingNames) {
    const QString path = write(SmallBook());
    IntersectionNumber = QStringLiteral("7");
    AddIntersectionNumber(IntersectionNumber, true);
    ExcelWorkbookPath = path;
    PhaseOrderText = QStringLiteral("1, 2");
    ChosenPhaseSet = 20;
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    program();

    prompts.answerInput(QStringLiteral("0"));
    prompts.answerMessage(ui::Yes);  // open the file the drawing names
    ASSERT_TRUE(RysujFazy(false));
    EXPECT_EQ(linesOnTableLayer(), 4);
    EXPECT_EQ(GroupTable[2].PhaseList, QStringLiteral("1"));
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_TRUE(prompts.asked()[1].text.startsWith(QStringLiteral("Czy otworzyć plik:")));

    // The held workbook is used again without a question; fetch mode draws nothing new.
    prompts.clear();
    prompts.answerInput(QStringLiteral("0"));
    ComputedStartShifts.assign(GroupTable.size(), {});
    ASSERT_TRUE(RysujFazy(true));
    EXPECT_EQ(linesOnTableLayer(), 4);
    EXPECT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(WorkbookCommandsTest, GreenLengthsSavedAfterTheQuestion) {
    const QString path = write(SmallBook());
    ExcelWorkbookPath = path;
    program();

    prompts.answerMessage(ui::Yes);  // open the named file
    prompts.answerMessage(ui::Yes);  // save
    EXPECT_EQ(ExcelWstepne(), 3);
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_TRUE(prompts.asked()[1].text.startsWith(QStringLiteral("Czy zapisać zmiany w skoroszycie:")));
    EXPECT_EQ(prompts.unexpected(), 0);
    ASSERT_NE(HeldWorkbook(), nullptr);
    EXPECT_TRUE(HeldWorkbook()->saved());

    // Row 4 + position: K1 row 4, K2 row 5, P1 row 6 (its empty second green is skipped).
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("20"));
    EXPECT_EQ(OpenpyxlCell(path, 3, 5, 3), QStringLiteral("20"));
    EXPECT_EQ(OpenpyxlCell(path, 3, 6, 3), QStringLiteral("24"));
    EXPECT_EQ(OpenpyxlCell(path, 3, 6, 5), QStringLiteral("10"));
    EXPECT_EQ(OpenpyxlCell(path, 3, 6, 7), QString());
    EXPECT_EQ(OpenpyxlCell(path, 3, 1, 1), QStringLiteral("PARAMETRY WSTĘPNE"));
    sheet::Application other;
    sheet::Workbook& back = other.workbooks().open(path);
    EXPECT_EQ(back.worksheets(3).cells(6, 5).value().number(), 10);
    EXPECT_TRUE(back.worksheets(2).name().startsWith(QStringLiteral("MATRYCA KOLIZJI")));
}

TEST_F(WorkbookCommandsTest, RefusedSaveKeepsTheFileAndTheChangesForLater) {
    const QString path = write(SmallBook());
    ExcelWorkbookPath = path;
    program();
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::No);  // not now
    EXPECT_EQ(ExcelWstepne(), 3);
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QString());
    ASSERT_NE(HeldWorkbook(), nullptr);
    EXPECT_FALSE(HeldWorkbook()->saved());
    // At the end the changes are offered once more.
    prompts.answerMessage(ui::Yes);
    EXPECT_TRUE(CloseIntergreenWorkbook());
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("20"));
}

TEST_F(WorkbookCommandsTest, WritesIntoTheFileAsAnotherProgramLeftIt) {
    const QString path = write(SmallBook());
    ExcelWorkbookPath = path;
    program();
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Yes);
    ASSERT_EQ(ExcelWstepne(), 3);
    // conflictor's phase export rewrites the file: the next write starts from that file.
    RewriteCell(path, 2, 8, 20, sheet::Value(QStringLiteral("1, 3")));
    GroupTable[0].Greens[1].Length = 25;
    prompts.clear();
    prompts.answerMessage(ui::Yes);  // save
    ASSERT_EQ(ExcelWstepne(), 3);
    EXPECT_EQ(prompts.unexpected(), 0);
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("25"));
    EXPECT_EQ(OpenpyxlCell(path, 2, 8, 20), QStringLiteral("1, 3"));
}

TEST_F(WorkbookCommandsTest, NoMarkedSheetNothingWrittenNothingAsked) {
    IntergreenBook b = SmallBook();
    const QString path = write(b);
    RewriteCell(path, 3, 1, 1, sheet::Value(QStringLiteral("Inne")));
    ExcelWorkbookPath = path;
    program();
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(ExcelWstepne(), -1);
    EXPECT_EQ(prompts.asked().size(), 1u);
    ASSERT_NE(HeldWorkbook(), nullptr);
    EXPECT_TRUE(HeldWorkbook()->saved());
}

}  // namespace
}  // namespace phaseplanner::test
