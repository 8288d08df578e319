// The phase table: reading the groups' phases from the workbook, walking the phase order through
// the phase-interval search, and drawing periods and transitions under the program table.
#include "phaseplanner/drawing/PhaseTable.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/Selection.h"
#include "automation/WorkbookGroups.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "phaseplanner/workbook/PhaseSets.h"
#include "platform/sheet/Constants.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <QStringList>
#include <cmath>
#include <numbers>

namespace phaseplanner {

namespace {

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

constexpr int AlignMiddleCenter = 10;
constexpr int AlignMiddleRight = 11;

// Table height: group rows 8 units apart and a margin.
double tableHeight() {
    return 8.0 * GroupCountSetting + 16;
}

// A whole number above 0 in the cell (a number, or a text that reads as one); 0 for anything else.
cad::Entity addAlignedText(const QString& text, double x, double y, double height, int alignment) {
    cad::Entity t = automation::CadModelSpace.addText(text, {x, y, 0}, height);
    t.setAlignment(alignment);
    t.setTextAlignmentPoint({x, y, 0});
    return t;
}

void addTransitionLabel(const PhaseTransitionMark& mark, double x0, double y) {
    cad::Entity t = addAlignedText(mark.text(), x0 + mark.X, y, 1.5, AlignMiddleRight);
    t.setRotation(std::numbers::pi / 2);
}

}  // namespace

QString PhaseTableLayer() {
    return QStringLiteral("002-OPISY");
}

QString PhaseTransitionMark::text() const {
    return tr_("PF ") + QString::number(From) + QLatin1Char('-') + QString::number(To) +
           QStringLiteral(" (") + QString::number(Length) + QStringLiteral("s)");
}

void ApplyGroupPhaseEntries(const std::vector<GroupPhaseEntry>& entries, const QStringList& groupHeadTexts) {
    for (int i = 0; i < int(GroupTable.size()); ++i) {
        const int position = WorkbookGroupPosition(i, groupHeadTexts);
        if (position < 0) continue;
        for (const GroupPhaseEntry& e : entries)
            if (e.GroupNumber == position + 1) {
                GroupTable[std::size_t(i)].PhaseList = e.PhaseList;
                break;
            }
    }
}

PhaseTableLayout WalkPhaseOrder(const std::vector<int>& order, int startSecond, bool deriveShifts) {
    PhaseTableLayout layout;
    const int n = int(order.size());
    const int cycle = CycleLength;
    if (n == 0 || cycle <= 0) return layout;

    int previousEnd = -1;
    int previousPhase = order.back();
    int firstIndex = -1;
    auto visit = [&](int i, int& scanFrom) {
        const GreenPhaseRef current{order[std::size_t(i)], i + 1};
        const int next = (i + 1) % n;
        const GreenPhaseRef following{order[std::size_t(next)], next + 1};
        int start = NoSecond, end = NoSecond;
        FindPhaseInterval(current, following, scanFrom, start, end, previousEnd, deriveShifts);
        if (start >= NoSecond || end >= NoSecond) return;  // not found: the next phase from the same second
        // The search gives seconds of the cycle: a period running over the cycle end ends before it starts.
        if (end < start) end += cycle;
        PhasePeriodMark p;
        p.Index = i;
        p.Phase = current.Phase;
        p.Start = start;
        p.End = end;
        p.EndX = end <= cycle ? end : end - cycle;
        p.NumberX = start + (end - start) / 2.0;
        layout.Periods.push_back(p);
        if (firstIndex < 0) firstIndex = i;
        if (previousEnd > -1) {
            // A phase found in the next lap starts after the cycle end: its gap runs over the end too.
            const int gap = start >= previousEnd ? start - previousEnd : start + cycle - previousEnd;
            double x = previousEnd + gap / 2.0;
            if (x > cycle) x -= cycle;
            layout.Transitions.push_back({previousPhase, current.Phase, gap, x});
        }
        if (end > cycle) end -= cycle;
        previousEnd = end;
        scanFrom = end;
        previousPhase = current.Phase;
    };

    int s = startSecond;
    for (int i = 0; i < n; ++i) visit(i, s);
    if (startSecond >= 1 && firstIndex > 0) {
        s = 0;
        const int stop = firstIndex;
        for (int i = 0; i < stop; ++i) visit(i, s);
    }

    if (!layout.Periods.empty()) {
        const PhasePeriodMark* first = nullptr;
        for (const PhasePeriodMark& p : layout.Periods)
            if (p.Index == firstIndex) {
                first = &p;
                break;
            }
        const PhasePeriodMark& last = layout.Periods.back();
        if (first && first->Start > last.EndX) {
            const int gap = int(first->Start - last.EndX);
            layout.Closing = PhaseTransitionMark{last.Phase, first->Phase, gap, last.EndX + gap / 2.0};
        }
    }
    return layout;
}

void ErasePhaseTableObjects() {
    automation::HelperSelectionSet set(QStringLiteral("SSFazy"));
    const cad::SelectionFilter filter = automation::BuildSelectionFilter(
        {8, PhaseTableLayer(), -4, QStringLiteral("<or"), 0, QStringLiteral("Line"), 0,
         QStringLiteral("Text"), 0, QStringLiteral("MText"), -4, QStringLiteral("or>")});
    set->select(cad::SelectionSet::All, filter);
    if (set->count() > 0) set->erase();
}

void DrawPhaseTableLayout(const PhaseTableLayout& layout) {
    const double x0 = ProgramTableOrigin.Point.X, y0 = ProgramTableOrigin.Point.Y;
    const double h = tableHeight();
    ErasePhaseTableObjects();

    const QString heading = tr_("Faza /") + QStringLiteral("\r\n") + tr_("przejście") +
                            QStringLiteral("\r\n") + tr_("między-") + QStringLiteral("\r\n") + tr_("fazowe") +
                            QStringLiteral("\r\n") + tr_("(s)");
    cad::Entity m = automation::CadModelSpace.addMText({x0 - 13, y0 - h + 10, 0}, 1.5 * 0.7 * 11, heading);
    m.setHeight(1.5);
    m.setColor(7);

    for (const PhasePeriodMark& p : layout.Periods) {
        automation::CadModelSpace.addLine({x0 + p.Start, y0 + 4, 0}, {x0 + p.Start, y0 + 4 - h, 0});
        automation::CadModelSpace.addLine({x0 + p.EndX, y0 + 4, 0}, {x0 + p.EndX, y0 + 4 - h, 0});
        addAlignedText(QString::number(p.Phase), x0 + p.NumberX, y0 + 8 - h, 2, AlignMiddleCenter);
    }
    for (const PhaseTransitionMark& t : layout.Transitions) addTransitionLabel(t, x0, y0 + 4 - h);
    if (layout.Closing) addTransitionLabel(*layout.Closing, x0, y0 + 4 - h);
}

std::optional<PhaseTableRequest> PreparePhaseTable() {
    if (!automation::CheckDocumentOpen(true)) return std::nullopt;
    bool found = false;
    SprawdzSkrzyzowania(found);
    if (!ProgramTableOrigin.Known) return std::nullopt;
    const QString answer = ui::InputBox(tr_("Podaj sekundę w której program zaczyna działanie:"),
                                        MainProgramWindow().caption(), QStringLiteral("0"));
    if (answer.isEmpty()) return std::nullopt;  // cancelled
    PhaseTableRequest request;
    request.StartSecond = common::ParseInteger(answer);
    request.Order = ParsePhaseOrder(PhaseOrderText);
    if (request.Order.empty()) return std::nullopt;
    return request;
}

bool PhaseTableFromWorkbook(sheet::Workbook& workbook, const PhaseTableRequest& request, bool fetchOnly) {
    if (workbook.worksheetCount() < 2) return false;
    sheet::Worksheet& ws = workbook.worksheets(2);
    int listColumn = 14;
    const int groups =
        automation::ReadGroupHeadList(ws, listColumn, false, MainProgramWindow().caption(), workbook);
    if (groups < 1 || listColumn < 1) return false;

    if (!fetchOnly) {
        automation::SaveAndSetCadVariables(QStringLiteral("5"), QStringLiteral("Continuous"), 0, 0, 1);
        automation::EnsureLayer(PhaseTableLayer(), true, -1, -10);
        automation::EnsureTextStyle(QStringLiteral("Standard"), 1, QStringLiteral("arial"), true);
    }
    struct Restore {
        bool active;
        ~Restore() {
            if (!active) return;
            try {
                automation::RestoreCadVariables();
            } catch (const cad::Error&) {
                // A value the CAD refuses back stays as the table left it (its layer or pen current),
                // which the user sees in the CAD; the table itself is drawn whole.
            }
        }
    } restore{!fetchOnly};

    ApplyGroupPhaseEntries(
        ReadGroupPhaseEntries(ws, automation::WorkbookHeaderRow, listColumn - 1, ChosenPhaseSet),
        automation::GroupHeadTexts);
    if (DefinedGroupCount() == 0) return false;

    const PhaseTableLayout layout = WalkPhaseOrder(request.Order, request.StartSecond, fetchOnly);
    if (!fetchOnly) DrawPhaseTableLayout(layout);
    return true;
}

bool RysujFazy(bool fetchOnly) {
    const auto request = PreparePhaseTable();
    if (!request) return false;
    sheet::Workbook* book = nullptr;
    if (!OpenIntergreenWorkbook(book, true, QString()) || !book) return false;
    if (!PhaseTableFromWorkbook(*book, *request, fetchOnly)) return false;
    if (!fetchOnly) automation::CadDocument.regen(1);
    return true;
}

}  // namespace phaseplanner
