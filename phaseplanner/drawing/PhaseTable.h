// The phase table at the foot of the program table: for every phase of the chosen phase order the
// period in which it runs and, between two phases, the transition with its length. The phases of
// the groups come from the intergreen workbook; the periods from the phase-interval search.
#pragma once

#include "phaseplanner/workbook/PhaseSets.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sheet {
class Workbook;
class Worksheet;
}  // namespace sheet

namespace phaseplanner {

// The layer the phase table lies on.
QString PhaseTableLayer();

// Gives every record of GroupTable the phase list of the entry whose group number is the ordinal of
// the record's workbook group position (WorkbookGroupPosition over `groupHeadTexts`; the first entry
// of a number wins). Records the workbook does not list, or without an entry, keep their list.
void ApplyGroupPhaseEntries(const std::vector<GroupPhaseEntry>& entries, const QStringList& groupHeadTexts);

// What the walk over the phase order found, in drawing units relative to the table origin.
struct PhasePeriodMark {
    int Index = 0;  // place of the phase in the order
    int Phase = 0;
    int Start = 0;       // first second of the period
    int End = 0;         // last second; above the cycle when the period runs over the cycle end
    double EndX = 0;     // where the end line stands: End, or End less the cycle when it wraps
    double NumberX = 0;  // middle of the period, where the phase number stands
};
struct PhaseTransitionMark {
    int From = 0, To = 0;  // phase numbers
    int Length = 0;        // seconds
    double X = 0;          // middle of the transition
    QString text() const;  // "PF 1-2 (5s)"
};
struct PhaseTableLayout {
    std::vector<PhasePeriodMark> Periods;
    std::vector<PhaseTransitionMark> Transitions;
    // The transition from the last drawn end to the first drawn start, when the first start lies to
    // the right of the last end (the last period ran over the cycle end).
    std::optional<PhaseTransitionMark> Closing;
};

// Walks the phase order from `startSecond` through the phase-interval search (with the shifts of the
// greens derived into ComputedStartShifts when `deriveShifts`). A phase that is not found is
// skipped, the next one searched from the same second. When the start second is above 0 and the
// first phase found is not the first of the order, a second pass from second 0 reaches the phases
// before it.
PhaseTableLayout WalkPhaseOrder(const std::vector<int>& order, int startSecond, bool deriveShifts);

// Erases every line, text and multiline text on the phase table's layer.
void ErasePhaseTableObjects();
// Draws the layout under the program table (origin and GroupCountSetting of the program attribute
// block): heading, period lines, phase numbers and transition labels, on the phase table's layer
// with the drawing colour 5. The previous phase table is erased first.
void DrawPhaseTableLayout(const PhaseTableLayout& layout);

// The steps of the phase table before the workbook: an open drawing, the table origin, the start
// second asked of the user (default 0) and the phase order of the program. Empty when the operation
// stops (no drawing, no origin, the question cancelled, no phase in the order).
struct PhaseTableRequest {
    int StartSecond = 0;
    std::vector<int> Order;
};
std::optional<PhaseTableRequest> PreparePhaseTable();

// The rest with the intergreen workbook at hand: the group list of its second worksheet, the phase
// lists of the groups from the chosen phase set into GroupTable, then the walk; with `fetchOnly`
// nothing is drawn and the shifts are derived, else the table is drawn. False when the workbook holds
// no group list or the program no group (nothing drawn then).
bool PhaseTableFromWorkbook(sheet::Workbook& workbook, const PhaseTableRequest& request, bool fetchOnly);

// The phase table as the menu's "Przejścia fazowe" (fetchOnly false) and the green-time dialog's
// "Pobierz" (true) run it: the steps above with the intergreen workbook the program holds or opens.
// True when the phases were walked.
bool RysujFazy(bool fetchOnly);

}  // namespace phaseplanner
