// The intergreen check measured on the group table: for every ordered pair of groups that the
// matrix links, the time from the end of a green of the first group to the start of the following
// green of the second, held against the required time. No drawing and no workbook here.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace phaseplanner {

// Required intergreen time from group i (first index) to group j, in seconds; nullopt for an empty
// matrix cell. Group i of the matrix is record i of the group table.
using RequiredIntergreens = std::vector<std::vector<std::optional<int>>>;

// One measured pair.
struct MeasuredIntergreen {
    int From = 0;   // clearing group (record index)
    int To = 0;     // entering group
    int Green = 0;  // 1-based green of the clearing group
    int End = 0;    // second the clearing green ends, within the cycle
    int EnteringStart = 0;
    int Measured = 0;
    int Required = 0;
    int Difference() const { return Measured - Required; }
};

struct IntergreenCheckResult {
    std::vector<MeasuredIntergreen> Reported;  // in check order
    std::vector<QString> ResultTexts;          // per record, items joined by ", "
    std::vector<bool> ErrorFlags;              // per record: a pair of its greens is too short
    // Every measured pair once, as two record indexes, smaller first.
    std::vector<std::pair<int, int>> CollisionPairs;
};

// The time from a green's end to the start of a green of another group. The entering start is
// taken at its first occurrence from the clearing green's start on (at that very second it is the
// same cycle), so an entering green that starts while the clearing green still runs, also across
// the cycle end, gives a negative time.
int MeasureIntergreen(int clearingStart, int clearingLength, int enteringStart, int cycleLength);

// The green of `entering` that follows green `green` of `clearing` (whose next green of 1 s or
// more starts at `nextStart`): with one green of 1 s or more, that green; with several, the one
// starting after the clearing green's start and before `nextStart`, nearest to it (ties: the
// first). 0 when none qualifies.
int FollowingGreen(const GroupRecord& entering, int clearingStart, int nextStart);

// Checks the groups: `reportAll` reports every measured pair, else the pairs that are too short;
// `onlyGroup` >= 0 checks the greens of that record only. Records beyond the table or the matrix,
// and free records, are never indexed.
IntergreenCheckResult CheckGroups(const std::vector<GroupRecord>& groups, int cycleLength,
                                  const RequiredIntergreens& required, bool reportAll, int onlyGroup = -1);

// A result item: "+1 (2K sek. 30)".
QString FormatPairItem(const MeasuredIntergreen& pair, const GroupRecord& entering);
// Splits a result text at ", " and, when it has two or more items, sorts them by the whole number
// before the first " (" of each, ascending (equal numbers keep their order).
QString SortPairTexts(const QString& text);

}  // namespace phaseplanner
