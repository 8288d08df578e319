// Placing the greens of a program built from the intergreen workbook: the phases are walked in cycle
// order, each phase's greens start at the phase start, the next phase starts when the greens of this
// one have cleared towards the groups of the next phase; greens may be lengthened to fill the gap,
// merged across consecutive phases, and groups without a green get their steady signal.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <functional>
#include <vector>

namespace phaseplanner {

struct GreenPlacementInput {
    std::vector<int> PhaseOrder;       // phase numbers in cycle order, positions 0..L
    int StartOffset = 0;               // seconds the first phase starts after the cycle start
    bool MergeAdjacentGreens = false;  // one green over consecutive phases of a group
    int MinimumRed = 0;                // seconds; vehicle groups count 3 s of amber on top
    bool DetailedParameters = false;   // set green times and phase-start shifts per group
    bool ExtendGreens = true;          // lengthen greens up to their clearance before the next phase
    // Intergreen time from clearing group `from` to entering group `to` (indexes of the table).
    std::function<int(int from, int to)> Intergreen;
};

// Whether record `group` lists `phase` among its phases (pieces below 1 never match).
bool RecordHasPhase(const GroupRecord& group, int phase);
// Pairs (phase of the group's list, position of the order) that name the same phase; 0 for an
// empty order.
int CountGroupPhasesInOrder(const GroupRecord& group, const std::vector<int>& phaseOrder);
// The group's list names exactly the phases of the order, as many as the order has positions.
bool GroupCoversAllPhases(const GroupRecord& group, const std::vector<int>& phaseOrder);
// Appends the phase references of `from` to `to`, as many as `to` has room for.
void AppendGreenPhaseRefs(GreenInterval& to, const GreenInterval& from);

// Gap closing: while one of greens 1 to 3 is empty and the green after it is not, the greens from
// there to 4 move down one place (start and length) and green 4 is emptied.
void CloseGreenGaps(GroupRecord& group);

// Places the greens of `groups` (each defined record with one green of its minimum length per phase
// of the order it runs in, no starts yet) and returns the cycle length.
int PlaceGreens(std::vector<GroupRecord>& groups, const GreenPlacementInput& input);

}  // namespace phaseplanner
