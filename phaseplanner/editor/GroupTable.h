// The signal groups of the current intersection as phaseplanner holds them: one GroupRecord per group
// with its greens over the cycle, the table of records and the look-ups from grid rows to records.
#pragma once

#include <QString>
#include <array>
#include <vector>

namespace phaseplanner {

constexpr int MaxGreens = 200;      // greens of one group, numbered 1..200
constexpr int MaxPhaseRefs = 21;    // phase references of one green, 0..20
constexpr int MinCycleLength = 14;  // seconds

// A phase in which a green runs: its number and its 1-based place in the chosen phase order.
struct GreenPhaseRef {
    int Phase = 0;
    int Position = 0;
};

struct GreenInterval {
    int Start = 0;   // second of the cycle
    int Length = 0;  // seconds; 0 shows no green
    int Flag = 0;
    std::array<GreenPhaseRef, MaxPhaseRefs> Phases{};
    int LastPhase = -1;  // index of the last used entry of Phases; -1 none
};

enum GroupKind : int { KindVehicle = 0, KindPedestrian = 1, KindTramOrArrow = 2, KindBicycle = 3 };
enum ComplementModes : int { ModeOrdinary = 0, ModeOnlyRed = 1, ModeNoSignal = 2 };

struct GroupRecord {
    bool Defined = false;
    QString Symbols;  // signal-head symbols joined by ", "
    int Kind = KindVehicle;
    std::array<GreenInterval, MaxGreens + 1> Greens{};  // 1-based; element 0 unused
    int GreenCount = 0;
    bool ComplementOn = false;
    int ComplementFrom = 0;
    int ComplementMode = ModeOrdinary;
    QString PhaseList;  // phase numbers joined by ","
};

// The program of the current intersection; records of deleted groups stay with Defined false.
extern std::vector<GroupRecord> GroupTable;

// 1-based number of the defined group at `index` among the defined records up to it.
int GroupOrdinal(int index);
// GroupTable index of the group shown in data row `row` + 1 of the grid (row counts from 0);
// -1 when no defined group is shown there.
int ZnajdzIdxGrupy(int row);
// Number of defined groups.
int DefinedGroupCount();
// The largest green count of the defined groups, at least 1: the grid shows that many greens.
int LargestGreenCount();

// The kind text of the group table: "Kołowe", "Bus", "Piesze", "Tramwajowe", "Warunkowe", "Rowerowe".
QString GroupKindText(const GroupRecord& group);
// The kind word of the complement question: "Kołowe", "Piesze", "Strzałka", "Rowerowe".
QString GroupKindWord(int kind);

// The second at which the green ends as the grid shows it: past the cycle end it wraps.
int GreenEnd(const GreenInterval& green, int cycleLength);
// Whether the group is green at second s (both ends of every green inclusive, a green running over
// the cycle end continues from 0); never for a free record or an only-red or no-signal group.
bool IsGroupGreenAt(const GroupRecord& group, int second, int cycleLength);

}  // namespace phaseplanner
