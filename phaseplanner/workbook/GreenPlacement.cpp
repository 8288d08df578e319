// The green placement of an imported program: one walk over the phase order, then merging, gap
// closing, the start offset and the steady signal of groups without greens.
#include "phaseplanner/workbook/GreenPlacement.h"

#include "common/NumberText.h"
#include "phaseplanner/editor/GroupParameters.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace phaseplanner {

namespace {

QList<int> phasesOf(const GroupRecord& group) {
    QList<int> out;
    for (const QString& piece : group.PhaseList.split(QLatin1Char(','))) {
        const int p = common::ParseInteger(piece);
        if (p >= 1) out.append(p);
    }
    return out;
}

// The green at `index` (1-based), kept within the record's greens.
GreenInterval& greenAt(GroupRecord& g, int index) {
    return g.Greens[std::size_t(std::clamp(index, 1, MaxGreens))];
}

void appendRef(GreenInterval& green, int phase, int position) {
    if (green.LastPhase + 1 >= MaxPhaseRefs) return;
    ++green.LastPhase;
    green.Phases[std::size_t(green.LastPhase)] = GreenPhaseRef{phase, position};
}

// Green `from` leaves: the greens after it move down one place, the last place is emptied.
void removeGreen(GroupRecord& g, int from) {
    for (int k = from; k < g.GreenCount; ++k) g.Greens[std::size_t(k)] = g.Greens[std::size_t(k + 1)];
    if (g.GreenCount >= 1) g.Greens[std::size_t(g.GreenCount)] = GreenInterval{};
    --g.GreenCount;
}

// A group gives back one green of those made for its phases (a green running on through the next
// phase needs one fewer).
void giveBackGreen(GroupRecord& g) {
    if (g.GreenCount <= 1) return;
    g.Greens[std::size_t(g.GreenCount)].Length = 0;
    --g.GreenCount;
}

// The last green runs on over the cycle end into the first: the two become one. A group whose only
// green would join itself is green the whole cycle.
void joinAcrossCycleEnd(GroupRecord& g, int cycle) {
    if (g.GreenCount < 1) return;
    if (g.GreenCount == 1) {
        GreenInterval& only = greenAt(g, 1);
        only.Start = 0;
        only.Length = cycle;
        return;
    }
    GreenInterval& ga = greenAt(g, g.GreenCount);
    const GreenInterval first = greenAt(g, 1);
    ga.Length = cycle - ga.Start + first.Start + first.Length;
    AppendGreenPhaseRefs(ga, first);
    removeGreen(g, 1);
}

// Merging of non-detailed programs: a green running in consecutive phases becomes one green.
void mergeGreens(GroupRecord& g, const std::vector<int>& order, int cycle) {
    const int last = int(order.size()) - 1;
    int a = 1, b = 2;
    for (int k = 0; k < last; ++k) {
        const bool here = RecordHasPhase(g, order[std::size_t(k)]);
        if (here && RecordHasPhase(g, order[std::size_t(k + 1)])) {
            if (b > g.GreenCount) break;
            GreenInterval& ga = greenAt(g, a);
            const GreenInterval gb = greenAt(g, b);
            ga.Length = gb.Start - ga.Start + gb.Length;
            AppendGreenPhaseRefs(ga, gb);
            removeGreen(g, b);
        } else if (here) {
            ++a;
            ++b;
        }
    }
    if (RecordHasPhase(g, order[std::size_t(last)]) && RecordHasPhase(g, order[0]))
        joinAcrossCycleEnd(g, cycle);
}

}  // namespace

bool RecordHasPhase(const GroupRecord& group, int phase) {
    return phase >= 1 && phasesOf(group).contains(phase);
}

int CountGroupPhasesInOrder(const GroupRecord& group, const std::vector<int>& phaseOrder) {
    int count = 0;
    for (int p : phasesOf(group))
        for (int q : phaseOrder)
            if (q == p) ++count;
    return count;
}

bool GroupCoversAllPhases(const GroupRecord& group, const std::vector<int>& phaseOrder) {
    const QList<int> phases = phasesOf(group);
    if (phaseOrder.empty() || phases.isEmpty() || phases.size() != qsizetype(phaseOrder.size())) return false;
    for (int p : phaseOrder)
        if (!phases.contains(p)) return false;
    return true;
}

void AppendGreenPhaseRefs(GreenInterval& to, const GreenInterval& from) {
    for (int i = 0; i <= from.LastPhase && i < MaxPhaseRefs; ++i)
        appendRef(to, from.Phases[std::size_t(i)].Phase, from.Phases[std::size_t(i)].Position);
}

void CloseGreenGaps(GroupRecord& g) {
    bool changed = true;
    while (changed) {
        changed = false;
        for (int k = 1; k <= 3; ++k) {
            if (g.Greens[std::size_t(k)].Length != 0 || g.Greens[std::size_t(k + 1)].Length <= 0) continue;
            for (int m = k; m < 4; ++m) {
                g.Greens[std::size_t(m)].Start = g.Greens[std::size_t(m + 1)].Start;
                g.Greens[std::size_t(m)].Length = g.Greens[std::size_t(m + 1)].Length;
            }
            g.Greens[4].Start = 0;
            g.Greens[4].Length = 0;
            changed = true;
        }
    }
}

int PlaceGreens(std::vector<GroupRecord>& groups, const GreenPlacementInput& in) {
    const std::vector<int>& order = in.PhaseOrder;
    if (order.empty()) return 0;
    const int count = int(groups.size());
    const int last = int(order.size()) - 1;
    const bool detailed = in.DetailedParameters;
    const bool continuation = detailed && in.MergeAdjacentGreens;
    const int m = in.MinimumRed;
    auto has = [&](int g, int phase) {
        return groups[std::size_t(g)].Defined && RecordHasPhase(groups[std::size_t(g)], phase);
    };
    auto intergreen = [&](int from, int to) { return in.Intergreen ? in.Intergreen(from, to) : 0; };

    std::vector<int> current(std::size_t(count), 0), clearance(std::size_t(count), 0);
    // Groups whose green at the last phase runs on over the cycle end into the first phase.
    std::vector<bool> wraps(std::size_t(count), false);
    int t = in.StartOffset;
    int latestEnd = in.StartOffset;  // the latest green end so far, with the amber of vehicles

    for (int k = 0; k <= last; ++k) {
        const int p = order[std::size_t(k)];
        const int next = order[std::size_t(k == last ? 0 : k + 1)];
        std::fill(clearance.begin(), clearance.end(), 0);
        int tNext = t;
        bool clearingSeen = false;

        for (int g = 0; g < count; ++g) {
            if (!has(g, p)) continue;
            GroupRecord& rec = groups[std::size_t(g)];
            // With detailed parameters and merging, a green of the previous phase runs on.
            const bool continuing =
                continuation && k > 0 && has(g, order[std::size_t(k - 1)]) && current[std::size_t(g)] >= 1;
            if (continuing) giveBackGreen(rec);
            if (continuation && k == last && k > 0 && has(g, order[0])) wraps[std::size_t(g)] = true;
            if (!continuing) {
                ++current[std::size_t(g)];
                if (current[std::size_t(g)] > std::max(rec.GreenCount, 1))
                    current[std::size_t(g)] = rec.GreenCount;
                GreenInterval& green = greenAt(rec, current[std::size_t(g)]);
                green.Start = t;
                if (detailed) {
                    const int s = GetPhaseStartShift(rec.Symbols);
                    if (s < 0) green.Start += s;
                }
            }
            appendRef(greenAt(rec, current[std::size_t(g)]), p, k + 1);

            // Clearance towards the groups of the next phase.
            int b = 0;
            for (int h = 0; h < count; ++h) {
                if (h == g || !has(h, next)) continue;
                int v = intergreen(g, h);
                if (detailed && v >= 1) {
                    const int s = GetPhaseStartShift(groups[std::size_t(h)].Symbols);
                    if (s < 0) v -= s;
                }
                b = std::max(b, v);
            }
            clearance[std::size_t(g)] = b;

            const GreenInterval& green = greenAt(rec, current[std::size_t(g)]);
            int e = green.Start + green.Length + b;
            // The next cycle's first phase starts the offset later than the cycle does.
            if (detailed && k == last && in.StartOffset >= 1 && e > in.StartOffset) e -= in.StartOffset;
            if (b > 0) {
                tNext = clearingSeen ? std::max(tNext, e) : e;
                clearingSeen = true;
            } else if (!clearingSeen) {
                tNext = std::max(tNext, e);
            }
            if (m > 0)
                latestEnd =
                    std::max(latestEnd, green.Start + green.Length + (rec.Kind == KindVehicle ? 3 : 0));
        }
        tNext = std::max(tNext, t);

        bool vehicleNext = false;
        for (int h = 0; h < count; ++h)
            if (has(h, next) && groups[std::size_t(h)].Kind == KindVehicle) vehicleNext = true;
        int limit = tNext;
        if (m > 0) {
            limit = vehicleNext ? tNext - 1 : tNext;
            if (latestEnd + m > limit) {
                limit = latestEnd + m;
                tNext = vehicleNext ? limit + 1 : limit;
            }
        }

        if (in.ExtendGreens) {
            for (int g = 0; g < count; ++g) {
                if (!has(g, p)) continue;
                GroupRecord& rec = groups[std::size_t(g)];
                GreenInterval& green = greenAt(rec, current[std::size_t(g)]);
                if (green.Flag != 0) continue;
                const int b = clearance[std::size_t(g)];
                const int e = green.Start + green.Length + b;
                if (m <= 0) {
                    if (e < tNext) green.Length = tNext - b - green.Start;
                } else {
                    const int r = rec.Kind == KindVehicle ? m + 3 : m;
                    if (e + r < limit) green.Length = limit - b - r - green.Start;
                }
            }
        }
        t = tNext;
    }

    // Greens that run on over the cycle end join the group's first green.
    for (int g = 0; g < count; ++g)
        if (wraps[std::size_t(g)]) joinAcrossCycleEnd(groups[std::size_t(g)], t);

    const int cycle = t;
    if (!detailed && in.MergeAdjacentGreens) {
        for (GroupRecord& g : groups)
            if (g.Defined) mergeGreens(g, order, cycle);
        for (GroupRecord& g : groups)
            if (g.Defined) CloseGreenGaps(g);
    }
    if (in.StartOffset >= 1) {
        for (GroupRecord& g : groups) {
            const int n = std::min(CountGroupPhasesInOrder(g, order), MaxGreens);
            for (int k = 1; k <= n; ++k) {
                GreenInterval& green = g.Greens[std::size_t(k)];
                if (green.Length > 0 && green.Start >= cycle) green.Start -= cycle;
            }
        }
    }
    for (GroupRecord& g : groups)
        if (g.Defined && g.GreenCount == 0)
            g.ComplementMode = g.Kind == KindTramOrArrow ? ModeNoSignal : ModeOnlyRed;
    return cycle;
}

}  // namespace phaseplanner
