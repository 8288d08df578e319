// Short ways to build groups and phase references in tests.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <initializer_list>
#include <utility>

namespace phaseplanner::test {

// A defined group with greens given as (start, length).
inline GroupRecord Group(int kind, const QString& symbols, std::initializer_list<std::pair<int, int>> greens,
                         const QString& phases = QString()) {
    GroupRecord g;
    g.Defined = true;
    g.Kind = kind;
    g.Symbols = symbols;
    g.PhaseList = phases;
    for (const auto& [s, l] : greens) {
        ++g.GreenCount;
        g.Greens[g.GreenCount].Start = s;
        g.Greens[g.GreenCount].Length = l;
    }
    return g;
}

// Phase references of a green as (phase, position) pairs.
inline void SetPhases(GreenInterval& green, std::initializer_list<std::pair<int, int>> refs) {
    green.LastPhase = -1;
    for (const auto& [p, pos] : refs) green.Phases[++green.LastPhase] = {p, pos};
}

}  // namespace phaseplanner::test
