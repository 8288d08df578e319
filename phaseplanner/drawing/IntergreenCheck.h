// The intergreen check measured on the group table: for every ordered pair of groups that the
// matrix links, the time from the end of a green of the first group to the start of the following
// green of the second, held against the required time. No drawing and no workbook here.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>
#include <QStringList>
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

// A group position where the program and the workbook do not hold the same group: its head
// symbols differ (the pairs are measured by position all the same), or one side has no group there
// (its pairs are not measured).
struct UncheckedGroup {
    int Position = 0;         // 0-based: workbook group row and group record
    QString ProgramSymbols;   // empty: no defined group record there
    QString WorkbookSymbols;  // empty: the workbook lists no group there
    bool measured() const { return !ProgramSymbols.isEmpty() && !WorkbookSymbols.isEmpty(); }
};

struct IntergreenCheckResult {
    std::vector<MeasuredIntergreen> Reported;  // in check order
    std::vector<QString> ResultTexts;          // per record, items joined by ", "
    std::vector<bool> ErrorFlags;              // per record: a pair of its greens is too short
    // Every measured pair once, as two record indexes, smaller first.
    std::vector<std::pair<int, int>> CollisionPairs;
    // What the check could not hold against the workbook; filled by the callers that read it.
    std::vector<UncheckedGroup> Unchecked;
    int UnreadableCells = 0;  // matrix cells holding no required time (their pairs not measured)
    bool complete() const { return Unchecked.empty() && UnreadableCells == 0; }
};

// The time from the end of a clearing green to the start of an entering green. The entering start is
// taken at its first occurrence from the clearing green's start on (at that very second it is the
// same cycle), so an entering green that starts while the clearing green still runs, also across
// the cycle end, gives a negative time; so does one that started earlier and still runs when the
// clearing green starts (`enteringLength` tells), measured from its own start.
int MeasureIntergreen(int clearingStart, int clearingLength, int enteringStart, int enteringLength,
                      int cycleLength);

// The green of `entering` measured against a clearing green (start, length) whose group's next green
// of 1 s or more starts `nextAhead` seconds after its start (the cycle length when it has no other):
// an entering green that is green together with the clearing one, the most negative; else, with
// one green of 1 s or more, that green; else the one starting nearest after the clearing green's
// start, before the next clearing green, over the cycle end too (ties: the first). 0 when none
// qualifies (another green of the clearing group meets it).
int FollowingGreen(const GroupRecord& entering, int clearingStart, int clearingLength, int nextAhead,
                   int cycleLength);

// Checks the groups: `reportAll` reports every measured pair, else the pairs that are too short;
// `onlyGroup` >= 0 checks the greens of that record only. Records beyond the table or the matrix,
// and free records, are never indexed.
IntergreenCheckResult CheckGroups(const std::vector<GroupRecord>& groups, int cycleLength,
                                  const RequiredIntergreens& required, bool reportAll, int onlyGroup = -1);

// The group positions where the program's records and the workbook's group texts do not hold the
// same group (head symbols compared trimmed, letter case ignored).
std::vector<UncheckedGroup> CompareWithWorkbookGroups(const std::vector<GroupRecord>& groups,
                                                      const QStringList& workbookSymbols);
// What a check left unchecked, as lines for the user; empty for a complete check.
QString IncompleteCheckText(const IntergreenCheckResult& result);

// A result item: "+1 (2K sek. 30)".
QString FormatPairItem(const MeasuredIntergreen& pair, const GroupRecord& entering);
// Splits a result text at ", " and, when it has two or more items, sorts them by the whole number
// before the first " (" of each, ascending (equal numbers keep their order).
QString SortPairTexts(const QString& text);

}  // namespace phaseplanner
