// The program's states: the runs of seconds of the cycle during which no group changes between green
// and not green; and the phase-interval search of the phase table with the shifts of the groups'
// greens against the phase start that it derives.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>
#include <vector>

namespace phaseplanner {

struct SymbolIndexEntry {
    QString Symbol;
    int Group = -1;  // GroupTable index
};

struct ProgramStates {
    // One entry per head symbol of every defined group, groups in table order.
    std::vector<SymbolIndexEntry> SymbolIndex;
    // StateGreens[state][group]: the group is green during the state.
    std::vector<std::vector<bool>> StateGreens;
    // First second of each state, strictly increasing from 0; the last state runs to the cycle length.
    std::vector<int> StateStarts;
    int LastState = -1;  // -1: no states
};

// The states of the program in GroupTable over seconds 0..CycleLength (both included). No states
// when the table holds no defined group with a head symbol.
ProgramStates ComputeStates(const std::vector<GroupRecord>& table, int cycleLength);
// The state that holds the second; -1 when there are no states or the second is outside 0..cycle.
int StateAtSecond(const ProgramStates& states, int second, int cycleLength);

struct ComputedStartShift {
    int Shift = 0;
    bool Set = false;
};
// One per GroupTable index; sized by the green-time parameters dialog before the phase-table
// computation, grown here when it is shorter than the table.
extern std::vector<ComputedStartShift> ComputedStartShifts;

// True when the group's PhaseList (pieces split at ",", read by ParseInteger, those below 1
// skipped) names the phase.
bool GroupHasPhase(int group, int phase);

// The phase test: whether group `group` of GroupTable is green at `second` with pedestrian and
// bicycle greens shortened by 4 s. `start` and `length` give the found green (-1 and 0 when none);
// `positionMatch` whether that green runs in a phase at `phase.Position`.
bool FindGreenAtSecond(int group, int second, int& start, int& length, const GreenPhaseRef& phase,
                       bool& positionMatch);

// Not found.
constexpr int NoSecond = 30000;

// Where phase `currentPhase` is shown in the cycle: from the second `scanFrom` (taken into the
// cycle, so any value is safe) at most one full cycle is examined. `phaseStart` and `phaseEnd` get
// the first and last second, NoSecond when not found. With `deriveShifts` the shifts of the phase's
// groups whose green starts before the phase are stored in ComputedStartShifts (first phase wins).
void FindPhaseInterval(const GreenPhaseRef& currentPhase, const GreenPhaseRef& nextPhase, int scanFrom,
                       int& phaseStart, int& phaseEnd, int previousEnd, bool deriveShifts);

}  // namespace phaseplanner
