// The phase table on the in-process CAD with a workbook built here: the groups' phases from the
// chosen phase set, the walk over the phase order (plain, wrapping over the cycle end, a later start
// second, a phase without groups), the drawn lines and labels, and the fetch mode's shifts.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "automation/WorkbookGroups.h"
#include "phaseplanner/drawing/PhaseTable.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/workbook/PhaseSets.h"
#include "platform/sheet/Application.h"

#include <cmath>

namespace phaseplanner::test {
using automation::CadModelSpace;

namespace {

// A green with its phase reference (phase, 1-based place in the order).
GroupRecord phaseGroup(int kind, const char* symbols, int start, int length, int phase, int position) {
    GroupRecord g = Group(kind, QString::fromUtf8(symbols), {{start, length}});
    SetPhases(g.Greens[1], {{phase, position}});
    return g;
}

class PhaseTableTest : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        ResetEditorState();
        ResetProgramAttributeState();
        book = &app.workbooks().add();
        while (book->worksheetCount() < 3) book->addWorksheet();
        book->worksheets(2).setName(QStringLiteral("Matryca kolizji"));
        book->setBuiltinDocumentProperty(QStringLiteral("Subject"), QStringLiteral("wersja 2.6"));
    }
    void TearDown() override {
        ResetEditorState();
        ResetProgramAttributeState();
        CadFixture::TearDown();
    }
    // The group list of the new layout (header row 7, "Gr" in O, texts in P) with each group's phases
    // in T, where the phase-set block of 12 groups or fewer puts them.
    void fillWorkbook(const QStringList& symbols, const QStringList& phases) {
        sheet::Worksheet& ws = book->worksheets(2);
        ws.cells(7, 15).setValue(sheet::Value(QStringLiteral("Gr")));
        for (int i = 0; i < symbols.size(); ++i) {
            ws.cells(8 + i, 1).setValue(sheet::Value(symbols[i]));
            ws.cells(8 + i, 15).setValue(sheet::Value(i + 1));
            ws.cells(8 + i, 16).setValue(sheet::Value(symbols[i]));
            ws.cells(8 + i, 20).setValue(sheet::Value(phases.value(i)));
        }
        ChosenPhaseSet = 20;
    }
    // Three phases of an 90 s cycle; phase 3 runs over the cycle end to second 2.
    void threePhaseProgram() {
        CycleLength = 90;
        GroupTable = {phaseGroup(KindVehicle, "K1", 10, 20, 1, 1),
                      phaseGroup(KindVehicle, "K2", 36, 20, 2, 2),
                      phaseGroup(KindVehicle, "K3", 62, 30, 3, 3)};
        fillWorkbook({"K1", "K2", "K3"}, {"1", "2", "3"});
    }
    QList<cad::Entity> onTableLayer(const QString& objectName) {
        QList<cad::Entity> out;
        for (const cad::Entity& e : CadModelSpace.entities())
            if (e.layer() == PhaseTableLayer() && e.objectName() == objectName) out << e;
        return out;
    }
    QStringList texts() {
        QStringList out;
        for (const cad::Entity& e : onTableLayer(QStringLiteral("AcDbText"))) out << e.textString();
        return out;
    }

    sheet::Application app;
    sheet::Workbook* book = nullptr;
};

TEST_F(PhaseTableTest, PhaseOrderKeepsNumbersFromOneUp) {
    EXPECT_EQ(ParsePhaseOrder(QStringLiteral("0,x,2")), (std::vector<int>{2}));
    EXPECT_EQ(ParsePhaseOrder(QStringLiteral("3, 1 ,a,0,2")), (std::vector<int>{3, 1, 2}));
    EXPECT_TRUE(ParsePhaseOrder(QString()).empty());
}

TEST_F(PhaseTableTest, GroupPhasesGoToTheirRecordsAndOddRowsAreSkipped) {
    sheet::Worksheet& ws = book->worksheets(2);
    ws.cells(8, 15).setValue(sheet::Value(2));
    ws.cells(8, 20).setValue(sheet::Value(QStringLiteral("2, 3")));
    ws.cells(9, 15).setValue(sheet::Value(QStringLiteral("abc")));  // text in the number column
    ws.cells(9, 20).setValue(sheet::Value(QStringLiteral("9")));
    ws.cells(10, 15).setValue(sheet::Value(2.5));
    ws.cells(10, 20).setValue(sheet::Value(QStringLiteral("8")));
    ws.cells(11, 15).setValue(sheet::Value(7));  // names no record
    ws.cells(11, 20).setValue(sheet::Value(QStringLiteral("7")));
    ws.cells(12, 15).setValue(sheet::Value(1));
    ws.cells(12, 20).setValue(sheet::Value(1));  // a single phase stored as a number
    ws.cells(13, 15).setValue(sheet::Value(2));  // a second row of group 2 does not override the first
    ws.cells(13, 20).setValue(sheet::Value(QStringLiteral("4")));
    ws.cells(15, 15).setValue(sheet::Value(3));  // after the first empty row: not read

    const auto entries = ReadGroupPhaseEntries(ws, 7, 15, 20);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[1].GroupNumber, 0);
    EXPECT_EQ(entries[2].GroupNumber, 0);

    // Records in another order than the workbook's list, one the list does not know.
    GroupTable = {Group(KindVehicle, QStringLiteral("K2"), {}),
                  Group(KindVehicle, QStringLiteral(" k1 "), {}),
                  Group(KindVehicle, QStringLiteral("K3"), {}, QStringLiteral("6")),
                  Group(KindVehicle, QStringLiteral("K9"), {}, QStringLiteral("7"))};
    ApplyGroupPhaseEntries(entries, {"K1", "K2", "K3"});
    EXPECT_EQ(GroupTable[0].PhaseList, QStringLiteral("2, 3"));
    EXPECT_EQ(GroupTable[1].PhaseList, QStringLiteral("1"));
    EXPECT_EQ(GroupTable[2].PhaseList, QStringLiteral("6"));  // no entry: its list stays
    EXPECT_EQ(GroupTable[3].PhaseList, QStringLiteral("7"));  // not in the workbook

    EXPECT_TRUE(ReadGroupPhaseEntries(ws, 7, 0, 20).empty());
}

TEST_F(PhaseTableTest, PlainOrderHasTransitionsBetweenPeriodsAndNoClosingLabel) {
    CycleLength = 80;
    GroupTable = {phaseGroup(KindVehicle, "K1", 0, 24, 1, 1), phaseGroup(KindVehicle, "K2", 30, 24, 2, 2),
                  phaseGroup(KindVehicle, "K3", 60, 14, 3, 3)};
    for (GroupRecord& g : GroupTable) g.PhaseList = QString::number(g.Greens[1].Phases[0].Phase);

    const PhaseTableLayout layout = WalkPhaseOrder({1, 2, 3}, 0, false);
    ASSERT_EQ(layout.Periods.size(), 3u);
    EXPECT_EQ(layout.Periods[0].Start, 0);
    EXPECT_EQ(layout.Periods[0].End, 24);
    EXPECT_EQ(layout.Periods[1].Start, 30);
    EXPECT_EQ(layout.Periods[2].End, 74);
    EXPECT_DOUBLE_EQ(layout.Periods[1].NumberX, 42);
    ASSERT_EQ(layout.Transitions.size(), 2u);
    EXPECT_EQ(layout.Transitions[0].text(), QStringLiteral("PF 1-2 (6s)"));
    EXPECT_DOUBLE_EQ(layout.Transitions[0].X, 27);
    EXPECT_EQ(layout.Transitions[1].text(), QStringLiteral("PF 2-3 (6s)"));
    EXPECT_FALSE(layout.Closing.has_value());  // the first period starts left of the last end
}

TEST_F(PhaseTableTest, PeriodOverTheCycleEndWrapsItsEndAndGetsTheClosingLabel) {
    threePhaseProgram();
    for (GroupRecord& g : GroupTable) g.PhaseList = QString::number(g.Greens[1].Phases[0].Phase);
    const PhaseTableLayout layout = WalkPhaseOrder({1, 2, 3}, 0, false);
    ASSERT_EQ(layout.Periods.size(), 3u);
    EXPECT_EQ(layout.Periods[2].Start, 62);
    EXPECT_EQ(layout.Periods[2].End, 92);
    EXPECT_DOUBLE_EQ(layout.Periods[2].EndX, 2);
    EXPECT_DOUBLE_EQ(layout.Periods[2].NumberX, 77);
    ASSERT_TRUE(layout.Closing.has_value());
    EXPECT_EQ(layout.Closing->text(), QStringLiteral("PF 3-1 (8s)"));
    EXPECT_DOUBLE_EQ(layout.Closing->X, 6);
}

TEST_F(PhaseTableTest, LaterStartSecondAndPhaseWithoutGroups) {
    threePhaseProgram();
    for (GroupRecord& g : GroupTable) g.PhaseList = QString::number(g.Greens[1].Phases[0].Phase);
    // Phase 4 has no group: skipped, phase 2 is searched from where phase 1 ended.
    for (GroupRecord& g : GroupTable)
        for (GreenPhaseRef& r : g.Greens[1].Phases)
            if (r.Phase >= 2) ++r.Position;
    const PhaseTableLayout layout = WalkPhaseOrder({1, 4, 2, 3}, 15, false);
    ASSERT_EQ(layout.Periods.size(), 3u);
    EXPECT_EQ(layout.Periods[0].Start, 15);  // the program starts inside phase 1
    EXPECT_EQ(layout.Periods[0].End, 30);
    EXPECT_EQ(layout.Periods[1].Phase, 2);
    ASSERT_EQ(layout.Transitions.size(), 2u);
    EXPECT_EQ(layout.Transitions[0].text(), QStringLiteral("PF 1-2 (6s)"));
}

TEST_F(PhaseTableTest, NextPhaseInTheNextLapCountsItsGapOverTheCycleEnd) {
    CycleLength = 80;
    // Phase 2 runs before phase 1 in the cycle: from phase 1's end it is found after the cycle end.
    GroupTable = {phaseGroup(KindVehicle, "K1", 40, 20, 1, 1), phaseGroup(KindVehicle, "K2", 5, 20, 2, 2)};
    for (GroupRecord& g : GroupTable) g.PhaseList = QString::number(g.Greens[1].Phases[0].Phase);
    const PhaseTableLayout layout = WalkPhaseOrder({1, 2}, 0, false);
    ASSERT_EQ(layout.Transitions.size(), 1u);
    EXPECT_EQ(layout.Transitions[0].Length, 25);  // 60 .. 80 and 0 .. 5
    EXPECT_DOUBLE_EQ(layout.Transitions[0].X, 72.5);
}

TEST_F(PhaseTableTest, LongOrdersAndHighPhaseNumbersAreWalkedSafely) {
    CycleLength = 80;
    // Phase 12 at the 35th place of a 40-phase order; the other phases have no groups.
    GroupTable = {phaseGroup(KindVehicle, "K1", 10, 20, 12, 35)};
    GroupTable[0].PhaseList = QStringLiteral("12");
    std::vector<int> order;
    for (int i = 0; i < 40; ++i) order.push_back(i == 34 ? 12 : 100 + i);
    const PhaseTableLayout layout = WalkPhaseOrder(order, 0, true);
    ASSERT_EQ(layout.Periods.size(), 1u);
    EXPECT_EQ(layout.Periods[0].Phase, 12);
    EXPECT_EQ(layout.Periods[0].Index, 34);
    EXPECT_TRUE(layout.Transitions.empty());
    EXPECT_FALSE(layout.Closing.has_value());
    EXPECT_TRUE(WalkPhaseOrder(order, 0, false).Periods.size() == 1u);
    CycleLength = 0;  // no cycle: nothing to walk
    EXPECT_TRUE(WalkPhaseOrder(order, 0, false).Periods.empty());
}

TEST_F(PhaseTableTest, DrawsTheTableUnderTheProgramFromTheWorkbook) {
    IntersectionNumber = QStringLiteral("7");
    AddIntersectionNumber(IntersectionNumber, true);
    GroupCountSetting = 12;
    PhaseOrderText = QStringLiteral("1, 2, 3");
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    threePhaseProgram();

    prompts.answerInput(QStringLiteral("0"));
    const auto request = PreparePhaseTable();
    ASSERT_TRUE(request.has_value());
    ASSERT_TRUE(ProgramTableOrigin.Known);
    EXPECT_EQ(request->Order, (std::vector<int>{1, 2, 3}));
    ASSERT_TRUE(PhaseTableFromWorkbook(*book, *request, false));
    EXPECT_EQ(GroupTable[1].PhaseList, QStringLiteral("2"));  // from the workbook

    const double x0 = ProgramTableOrigin.Point.X, y0 = ProgramTableOrigin.Point.Y;
    const double h = 8.0 * 12 + 16;
    const auto lines = onTableLayer(QStringLiteral("AcDbLine"));
    ASSERT_EQ(lines.size(), 6);
    QList<double> xs;
    for (const cad::Entity& l : lines) {
        EXPECT_DOUBLE_EQ(l.startPoint().x, l.endPoint().x);
        EXPECT_DOUBLE_EQ(l.startPoint().y, y0 + 4);
        EXPECT_DOUBLE_EQ(l.endPoint().y, y0 + 4 - h);
        EXPECT_EQ(l.color(), 5);  // the colour the table draws with
        xs << l.startPoint().x - x0;
    }
    std::sort(xs.begin(), xs.end());
    EXPECT_EQ(xs, (QList<double>{2, 10, 30, 36, 56, 62}));

    EXPECT_EQ(texts(), (QStringList{"1", "2", "3", "PF 1-2 (6s)", "PF 2-3 (6s)", "PF 3-1 (8s)"}));
    for (const cad::Entity& t : onTableLayer(QStringLiteral("AcDbText"))) {
        if (t.textString() == QLatin1String("2")) {
            EXPECT_EQ(t.alignment(), 10);
            EXPECT_DOUBLE_EQ(t.textAlignmentPoint().x, x0 + 46);
            EXPECT_DOUBLE_EQ(t.textAlignmentPoint().y, y0 + 8 - h);
        }
        if (t.textString().startsWith(QLatin1String("PF 3-1"))) {
            EXPECT_EQ(t.alignment(), 11);
            EXPECT_NEAR(t.rotation(), M_PI / 2, 1e-9);
            EXPECT_DOUBLE_EQ(t.textAlignmentPoint().x, x0 + 6);
        }
    }
    const auto headings = onTableLayer(QStringLiteral("AcDbMText"));
    ASSERT_EQ(headings.size(), 1);
    EXPECT_EQ(headings[0].color(), 7);
    EXPECT_TRUE(headings[0].textString().contains(QStringLiteral("między-")));
    // The colour of the user comes back after the table.
    EXPECT_EQ(automation::CadDocument.getVariable(QStringLiteral("CECOLOR")).toText(),
              QStringLiteral("BYLAYER"));

    // Drawn again: the previous table goes first.
    prompts.answerInput(QStringLiteral("0"));
    ASSERT_TRUE(PhaseTableFromWorkbook(*book, *PreparePhaseTable(), false));
    EXPECT_EQ(onTableLayer(QStringLiteral("AcDbLine")).size(), 6);
    EXPECT_EQ(onTableLayer(QStringLiteral("AcDbMText")).size(), 1);
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(PhaseTableTest, StopsWithoutStartSecondOrderOrGroupList) {
    IntersectionNumber = QStringLiteral("7");
    AddIntersectionNumber(IntersectionNumber, true);
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    threePhaseProgram();
    PhaseOrderText = QStringLiteral("1, 2, 3");
    prompts.answerInput(std::nullopt);  // cancelled
    EXPECT_FALSE(PreparePhaseTable().has_value());
    PhaseOrderText = QStringLiteral("0, x");
    prompts.answerInput(QStringLiteral("0"));
    EXPECT_FALSE(PreparePhaseTable().has_value());

    // A workbook without the "Gr" header: nothing drawn, nothing changed.
    book->worksheets(2).cells(7, 15).setValue(sheet::Value(QStringLiteral("x")));
    EXPECT_FALSE(PhaseTableFromWorkbook(*book, {0, {1, 2, 3}}, false));
    EXPECT_TRUE(onTableLayer(QStringLiteral("AcDbLine")).isEmpty());
    // No groups in the program: the phases are read, nothing is drawn.
    book->worksheets(2).cells(7, 15).setValue(sheet::Value(QStringLiteral("Gr")));
    GroupTable.clear();
    EXPECT_FALSE(PhaseTableFromWorkbook(*book, {0, {1, 2, 3}}, false));
    EXPECT_TRUE(onTableLayer(QStringLiteral("AcDbText")).isEmpty());
}

TEST_F(PhaseTableTest, FetchModeDrawsNothingAndDerivesShifts) {
    threePhaseProgram();
    // K4 runs in phase 1 and starts 5 s before it.
    GroupTable.push_back(phaseGroup(KindVehicle, "K4", 5, 25, 1, 1));
    fillWorkbook({"K1", "K2", "K3", "K4"}, {"1", "2", "3", "1"});
    ComputedStartShifts.assign(GroupTable.size(), {});
    ASSERT_TRUE(PhaseTableFromWorkbook(*book, {0, {1, 2, 3}}, true));
    EXPECT_TRUE(onTableLayer(QStringLiteral("AcDbLine")).isEmpty());
    EXPECT_TRUE(onTableLayer(QStringLiteral("AcDbText")).isEmpty());
    ASSERT_EQ(ComputedStartShifts.size(), 4u);
    EXPECT_FALSE(ComputedStartShifts[0].Set);
    EXPECT_TRUE(ComputedStartShifts[3].Set);
    EXPECT_EQ(ComputedStartShifts[3].Shift, -5);
    EXPECT_EQ(GroupTable[3].PhaseList, QStringLiteral("1"));
}

}  // namespace
}  // namespace phaseplanner::test
