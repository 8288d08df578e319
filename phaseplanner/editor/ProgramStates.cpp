// Program states and the phase-interval search.
#include "phaseplanner/editor/ProgramStates.h"

#include "common/NumberText.h"

#include <QStringList>
#include "phaseplanner/editor/CycleParameters.h"

namespace phaseplanner {

std::vector<ComputedStartShift> ComputedStartShifts;

ProgramStates ComputeStates(const std::vector<GroupRecord>& table, int cycleLength) {
    ProgramStates st;
    const int groupCount = int(table.size());
    for (int i = 0; i < groupCount; ++i) {
        if (!table[i].Defined) continue;
        const QStringList items = table[i].Symbols.split(QLatin1Char(','));
        for (const QString& item : items) {
            const QString symbol = item.trimmed();
            if (!symbol.isEmpty()) st.SymbolIndex.push_back({symbol, i});
        }
    }
    if (groupCount == 0 || st.SymbolIndex.empty() || cycleLength < 0) return st;

    std::vector<bool> cur(groupCount);
    for (int s = 0; s <= cycleLength; ++s) {
        for (int g = 0; g < groupCount; ++g) cur[g] = IsGroupGreenAt(table[g], s, cycleLength);
        if (s == 0 || cur != st.StateGreens.back()) {
            st.StateGreens.push_back(cur);
            st.StateStarts.push_back(s);
        }
    }
    st.LastState = int(st.StateStarts.size()) - 1;
    return st;
}

int StateAtSecond(const ProgramStates& states, int second, int cycleLength) {
    if (states.LastState < 0 || second < 0 || second > cycleLength) return -1;
    int k = 0;
    while (k < states.LastState && states.StateStarts[k + 1] <= second) ++k;
    return k;
}

bool GroupHasPhase(int group, int phase) {
    if (group < 0 || group >= int(GroupTable.size())) return false;
    const QStringList pieces = GroupTable[group].PhaseList.split(QLatin1Char(','));
    for (const QString& piece : pieces) {
        const int p = common::ParseInteger(piece);
        if (p >= 1 && p == phase) return true;
    }
    return false;
}

bool FindGreenAtSecond(int group, int second, int& start, int& length, const GreenPhaseRef& phase,
                       bool& positionMatch) {
    start = -1;
    length = 0;
    positionMatch = false;
    if (group < 0 || group >= int(GroupTable.size())) return false;
    const GroupRecord& g = GroupTable[group];
    const bool shortened = g.Kind == KindPedestrian || g.Kind == KindBicycle;
    for (int k = 1; k <= g.GreenCount && k <= MaxGreens; ++k) {
        const GreenInterval& green = g.Greens[k];
        const int st = green.Start;
        const int len = green.Length - (shortened ? 4 : 0);
        if (len <= 0) continue;
        const bool contains = st == second || (st < second && second <= st + len) ||
                              (st + len > CycleLength && st > second && second <= st + len - CycleLength);
        if (!contains) continue;
        start = st;
        length = len;
        for (int i = 0; i <= green.LastPhase && i < MaxPhaseRefs; ++i)
            if (green.Phases[i].Position == phase.Position) positionMatch = true;
        return true;
    }
    return false;
}

void FindPhaseInterval(const GreenPhaseRef& currentPhase, const GreenPhaseRef& nextPhase, int scanFrom,
                       int& phaseStart, int& phaseEnd, int previousEnd, bool deriveShifts) {
    phaseStart = phaseEnd = NoSecond;
    const int groupCount = int(GroupTable.size());
    if (groupCount == 0 || CycleLength <= 0) return;

    // A start typed by the user may lie anywhere: take it into the cycle so that one lap ends.
    const int from = ((scanFrom % CycleLength) + CycleLength) % CycleLength;
    std::vector<bool> prev(groupCount, false), cur(groupCount);
    bool showing = false;
    int s = from;
    for (int examined = 0; examined < CycleLength; ++examined) {
        std::fill(cur.begin(), cur.end(), false);
        bool voting = phaseStart == NoSecond;
        for (int g = 0; g < groupCount; ++g) {
            const GroupRecord& rec = GroupTable[g];
            if (!rec.Defined || rec.ComplementMode != ModeOrdinary) continue;
            int st = 0, len = 0;
            bool match = false;
            cur[g] = FindGreenAtSecond(g, s, st, len, currentPhase, match);
            if (!voting) continue;
            if (GroupHasPhase(g, currentPhase.Phase)) {
                if (!cur[g] || !match) {
                    showing = false;
                    voting = false;  // no further group is examined for the vote at this second
                } else {
                    showing = true;
                }
            } else if (cur[g]) {
                showing = false;
            }
        }
        bool ended = false;
        if (phaseStart != NoSecond && cur != prev) {
            phaseEnd = s == 0 ? CycleLength - 1 : s - 1;
            ended = true;
        }
        if (showing && !ended) {
            prev = cur;
            if (phaseStart == NoSecond) phaseStart = s;
        }
        if (ended) break;
        s = (s + 1) % CycleLength;
    }

    if (!showing || !deriveShifts || phaseStart == NoSecond) return;
    std::vector<int> shift(groupCount, 0);
    for (int g = 0; g < groupCount; ++g) {
        if (!GroupHasPhase(g, currentPhase.Phase)) continue;
        int st = 0, len = 0;
        bool match = false;
        if (!FindGreenAtSecond(g, phaseStart, st, len, currentPhase, match) || st < 0) continue;
        if (nextPhase.Phase > -1 && GroupHasPhase(g, nextPhase.Phase)) {
            if (previousEnd >= 0) {
                if (st < previousEnd || st + len > CycleLength) st = -1;
            } else if (st + len > CycleLength && phaseStart <= st + len - CycleLength) {
                st = -1;
            }
        }
        shift[g] = (st >= 0 && st < phaseStart) ? st - phaseStart : 0;
    }
    if (int(ComputedStartShifts.size()) < groupCount) ComputedStartShifts.resize(groupCount);
    for (int g = 0; g < groupCount; ++g)
        if (!ComputedStartShifts[g].Set && shift[g] < 0) ComputedStartShifts[g] = {shift[g], true};
}

}  // namespace phaseplanner
