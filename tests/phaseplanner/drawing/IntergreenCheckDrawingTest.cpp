// The intergreen check's blocks on the in-process CAD: the result texts beside the table, the graph
// of lines between group rows, both recreated on each run, shifted with the bars of a start program,
// and erased by the exact name of their intersection.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "GroupBuilders.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <cmath>

namespace phaseplanner::test {
using automation::CadDocument;
using automation::CadModelSpace;

class IntergreenCheckDrawingTest : public automation::test::CadFixture {
protected:
    IntergreenWorkbookData data;

    void SetUp() override {
        CadFixture::SetUp();
        ResetEditorState();
        ResetProgramAttributeState();
        MainProgramWindow().setProgramType(0);
        useIntersection(QStringLiteral("7"));
        // Tight three-group program: 2 -> 0 is kept exactly across the cycle end, 2 -> 1 has slack.
        GroupTable = {Group(KindVehicle, "K1", {{6, 20}}), Group(KindVehicle, "K2", {{30, 10}}),
                      Group(KindPedestrian, "P1", {{44, 20}})};
        CycleLength = 60;
        MaxCycleLength = 120;
        data.Required.assign(3, std::vector<std::optional<int>>(3));
        data.Required[0][1] = 4;
        data.Required[1][2] = 4;
        data.Required[2][0] = 2;
        data.Required[2][1] = 5;
        data.HasPhases = true;
    }
    void TearDown() override {
        ResetEditorState();
        ResetProgramAttributeState();
        MainProgramWindow().setProgramType(0);
        CollisionPairs.clear();
        CadFixture::TearDown();
    }
    void useIntersection(const QString& number) {
        IntersectionNumber = number;
        AddIntersectionNumber(number, true);
        ASSERT_TRUE(UstawWidoczneAtrybuty());
        bool found = false;
        SprawdzSkrzyzowania(found);
        ASSERT_TRUE(found);
        ASSERT_TRUE(ProgramTableOrigin.Known);
    }
    QList<cad::Entity> references(const QString& blockName) {
        automation::HelperSelectionSet set(QStringLiteral("SSTest"));
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT")).add(2, automation::EscapeFilterText(blockName));
        set->select(cad::SelectionSet::All, f);
        return set->entities();
    }
    QList<cad::Entity> entitiesOf(const QString& blockName, const QString& objectName) {
        QList<cad::Entity> out;
        for (const cad::Entity& e : automation::GetBlockDefinition(blockName).entities())
            if (e.objectName() == objectName) out << e;
        return out;
    }
};

TEST_F(IntergreenCheckDrawingTest, ResultTextsStandBesideTheTableAndAreRecreatedEachRun) {
    for (int run = 0; run < 2; ++run) RunIntergreenCheck(data, true, false, NoGraph);
    ASSERT_EQ(references(ResultBlockName()).size(), 1);
    EXPECT_EQ(references(ResultBlockName())[0].layer(), "247-SYGNAL");
    const QList<cad::Entity> texts = entitiesOf(ResultBlockName(), QStringLiteral("AcDbText"));
    // A text beginning with an exact time is written item by item, each with its own colour.
    QStringList seen;
    for (const cad::Entity& t : texts) seen << t.textString();
    EXPECT_EQ(seen, QStringList({"0 (2K sek. 26)", "0 (3P sek. 40)", "0 (1K sek. 4),", "+21 (2K sek. 4)"}));
    const double x0 = ProgramTableOrigin.Point.X, y0 = ProgramTableOrigin.Point.Y;
    EXPECT_DOUBLE_EQ(texts[0].insertionPoint().x, x0 + 120 + 52);
    EXPECT_DOUBLE_EQ(texts[0].insertionPoint().y, std::round(y0) - 3.25);
    EXPECT_DOUBLE_EQ(texts[2].insertionPoint().y, std::round(y0 - 16) - 3.25);
    EXPECT_EQ(texts[0].color(), 3);  // an exact time is green
    EXPECT_EQ(texts[3].color(), 256);
    EXPECT_GT(texts[3].insertionPoint().x, texts[2].insertionPoint().x + 3);
}

TEST_F(IntergreenCheckDrawingTest, WrongTimesAreRedAndOnlyTheyAreWrittenInTheWrongMode) {
    GroupTable[2].Greens[1].Length = 21;  // ends a second later, across the cycle end
    RunIntergreenCheck(data, false, false, NoGraph);
    const QList<cad::Entity> texts = entitiesOf(ResultBlockName(), QStringLiteral("AcDbText"));
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0].textString(), "-1 (1K sek. 5)");
    EXPECT_EQ(texts[0].color(), 1);
    EXPECT_DOUBLE_EQ(texts[0].insertionPoint().y, std::round(ProgramTableOrigin.Point.Y - 16) - 3.25);
    // A run with nothing wrong leaves an empty result, not the old one.
    GroupTable[2].Greens[1].Length = 20;
    RunIntergreenCheck(data, false, false, NoGraph);
    EXPECT_TRUE(entitiesOf(ResultBlockName(), QStringLiteral("AcDbText")).isEmpty());
    EXPECT_EQ(references(ResultBlockName()).size(), 1);
}

TEST_F(IntergreenCheckDrawingTest, GraphLinesJoinTheRowsAndShiftWithAStartProgram) {
    GroupTable[2].Greens[1].Length = 21;
    for (int run = 0; run < 2; ++run) RunIntergreenCheck(data, true, false, AllGroupsGraph);
    const QList<cad::Entity> refs = references(GraphBlockName());
    ASSERT_EQ(refs.size(), 1);
    EXPECT_DOUBLE_EQ(refs[0].insertionPoint().x, ProgramTableOrigin.Point.X);
    EXPECT_DOUBLE_EQ(refs[0].insertionPoint().y, ProgramTableOrigin.Point.Y);
    const QList<cad::Entity> lines = entitiesOf(GraphBlockName(), QStringLiteral("AcDbLine"));
    ASSERT_EQ(lines.size(), 4);  // every measured pair once, not twice after two runs
    // 3 -> 1 is a second short: from its end at 5 on row 3 to the start at 6 on row 1, magenta.
    const cad::Entity wrong = lines[2];
    EXPECT_EQ(wrong.startPoint(), (cad::Point{5, -2 - 16, 0}));
    EXPECT_EQ(wrong.endPoint(), (cad::Point{6, -2, 0}));
    EXPECT_EQ(wrong.color(), 6);
    EXPECT_EQ(lines[0].color(), 3);
    QStringList labels;
    for (const cad::Entity& t : entitiesOf(GraphBlockName(), QStringLiteral("AcDbText")))
        labels << t.textString();
    EXPECT_EQ(labels, QStringList({"0", "0", "-1", "+20"}));

    // Only the wrong pairs, and one group's graph.
    RunIntergreenCheck(data, false, false, AllGroupsGraph);
    EXPECT_EQ(entitiesOf(GraphBlockName(), QStringLiteral("AcDbLine")).size(), 1);
    RunIntergreenCheck(data, true, false, 1);
    EXPECT_EQ(entitiesOf(GraphBlockName(), QStringLiteral("AcDbLine")).size(), 1);

    // A start program draws its bars MaxCycleLength - CycleLength further right.
    MainProgramWindow().setProgramType(1);
    RunIntergreenCheck(data, true, false, AllGroupsGraph);
    EXPECT_DOUBLE_EQ(references(GraphBlockName())[0].insertionPoint().x, ProgramTableOrigin.Point.X + 60);
    RunIntergreenCheck(data, true, false, NoGraph);
    EXPECT_DOUBLE_EQ(entitiesOf(ResultBlockName(), QStringLiteral("AcDbText"))[0].insertionPoint().x,
                     ProgramTableOrigin.Point.X + 60 + 120 + 52);
}

TEST_F(IntergreenCheckDrawingTest, PairModeDrawsNothingAndCollectsEachPairOnce) {
    RunIntergreenCheck(data, true, true, NoGraph);
    EXPECT_TRUE(references(ResultBlockName()).isEmpty());
    EXPECT_TRUE(references(GraphBlockName()).isEmpty());
    const std::vector<std::pair<int, int>> expected{{0, 1}, {1, 2}, {0, 2}};
    EXPECT_EQ(CollisionPairs, expected);
    // A graph of a record the table does not hold draws nothing.
    RunIntergreenCheck(data, true, false, 7);
    EXPECT_TRUE(references(GraphBlockName()).isEmpty());
}

TEST_F(IntergreenCheckDrawingTest, ClearingGraphsMatchesTheIntersectionNumberExactly) {
    useIntersection(QStringLiteral("1#"));  // "#" stands for any digit in a selection pattern
    RunIntergreenCheck(data, true, false, AllGroupsGraph);
    useIntersection(QStringLiteral("15"));
    RunIntergreenCheck(data, true, false, AllGroupsGraph);
    useIntersection(QStringLiteral("1#"));
    mnuDane_GrafWyczysc();
    EXPECT_TRUE(references(QStringLiteral("GRAFDLAGRUPY_1#")).isEmpty());
    EXPECT_TRUE(automation::GetBlockDefinition(QStringLiteral("GRAFDLAGRUPY_1#")).isNull());
    EXPECT_EQ(references(QStringLiteral("GRAFDLAGRUPY_15")).size(), 1);
}

}  // namespace phaseplanner::test
