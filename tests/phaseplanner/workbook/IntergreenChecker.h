// An independent check of a placed program, written apart from the placement: each group's greens as
// seconds of the cycle, and for a clearing group and an entering group, every end of the clearing
// group's green that the entering group's green follows (before the clearing group is green again)
// must leave at least the intergreen time before that start.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>
#include <vector>

// Readable findings in failure messages.
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[' << list.join(QStringLiteral("; ")).toStdString() << ']';
}

namespace phaseplanner::test {

// Second s (0..cycle-1) is green when some green [Start, Start + Length) covers it, over the cycle end.
inline std::vector<bool> GreenSeconds(const GroupRecord& g, int cycle) {
    std::vector<bool> on(std::size_t(std::max(cycle, 0)), false);
    if (!g.Defined || cycle <= 0) return on;
    for (int k = 1; k <= g.GreenCount && k <= MaxGreens; ++k) {
        const GreenInterval& green = g.Greens[std::size_t(k)];
        for (int s = 0; s < green.Length && s < cycle; ++s)
            on[std::size_t(((green.Start + s) % cycle + cycle) % cycle)] = true;
    }
    return on;
}

// Seconds at which the green begins (green now, not a second before).
inline std::vector<int> GreenStarts(const std::vector<bool>& on) {
    std::vector<int> out;
    const int c = int(on.size());
    for (int s = 0; s < c; ++s)
        if (on[std::size_t(s)] && !on[std::size_t((s + c - 1) % c)]) out.push_back(s);
    return out;
}
// Seconds at which the green has ended (red now, green a second before).
inline std::vector<int> GreenEnds(const std::vector<bool>& on) {
    std::vector<int> out;
    const int c = int(on.size());
    for (int s = 0; s < c; ++s)
        if (!on[std::size_t(s)] && on[std::size_t((s + c - 1) % c)]) out.push_back(s);
    return out;
}

// The failures of the pair (clearing `from`, entering `to`) with intergreen `seconds`; empty when it holds.
inline QStringList CheckPair(const std::vector<GroupRecord>& groups, int cycle, int from, int to,
                             int seconds) {
    QStringList problems;
    if (seconds <= 0) return problems;
    const std::vector<bool> a = GreenSeconds(groups[std::size_t(from)], cycle);
    const std::vector<bool> b = GreenSeconds(groups[std::size_t(to)], cycle);
    for (int s = 0; s < cycle; ++s)
        if (a[std::size_t(s)] && b[std::size_t(s)])
            return {QStringLiteral("groups %1 and %2 green together at %3").arg(from).arg(to).arg(s)};
    const std::vector<int> aStarts = GreenStarts(a), bStarts = GreenStarts(b);
    for (int e : GreenEnds(a)) {
        auto after = [&](const std::vector<int>& starts) {
            int best = cycle * 2;
            for (int s : starts) best = std::min(best, (s - e + cycle) % cycle);
            return best;
        };
        const int toEntering = after(bStarts);
        if (toEntering >= after(aStarts)) continue;  // green again before the entering group: not followed
        if (toEntering < seconds)
            problems << QStringLiteral("%1 -> %2: green ends at %3, next starts %4 s later, needs %5")
                            .arg(from)
                            .arg(to)
                            .arg(e)
                            .arg(toEntering)
                            .arg(seconds);
    }
    return problems;
}

// Every intergreen towards the groups of the next phase (groups of phase p that do not run on into the
// next phase, groups of the next phase that were not green in p).
inline QStringList CheckTowardsNextPhase(const std::vector<GroupRecord>& groups, int cycle,
                                         const std::vector<int>& order,
                                         const std::function<int(int, int)>& intergreen,
                                         const std::function<bool(int, int)>& hasPhase) {
    QStringList problems;
    const int n = int(groups.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int p = order[k], next = order[(k + 1) % order.size()];
        for (int g = 0; g < n; ++g)
            for (int h = 0; h < n; ++h) {
                if (g == h || !hasPhase(g, p) || !hasPhase(h, next) || hasPhase(g, next) || hasPhase(h, p))
                    continue;
                problems << CheckPair(groups, cycle, g, h, intergreen(g, h));
            }
    }
    return problems;
}

// Every pair of the matrix.
inline QStringList CheckEveryPair(const std::vector<GroupRecord>& groups, int cycle,
                                  const std::function<int(int, int)>& intergreen) {
    QStringList problems;
    const int n = int(groups.size());
    for (int g = 0; g < n; ++g)
        for (int h = 0; h < n; ++h)
            if (g != h && groups[std::size_t(g)].Defined && groups[std::size_t(h)].Defined)
                problems << CheckPair(groups, cycle, g, h, intergreen(g, h));
    return problems;
}

}  // namespace phaseplanner::test
