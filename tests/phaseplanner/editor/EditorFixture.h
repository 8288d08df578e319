// Module state of the editor reset around each test, and short ways to build groups.
#pragma once

#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <utility>

#ifndef PHASEPLANNER_QSTRING_PRINT
#define PHASEPLANNER_QSTRING_PRINT
// Readable texts in failure messages (the automation fixture has the same).
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
#endif

namespace phaseplanner::test {

inline void ResetEditorState() {
    GroupTable.clear();
    SetGreenTimes.clear();
    PhaseStartShifts.clear();
    ComputedStartShifts.clear();
    CycleLength = 80;
    MaxCycleLength = 120;
    MinGreenVehicle = 10;
    MinGreenPedestrianBicycle = 4;
    WorkStartHour.clear();
    WorkEndHour.clear();
    ProgramOffset.clear();
    IntersectionNumber.clear();
    ProgramWindow& w = MainProgramWindow();
    w.clearIntersections();
    w.SuppressIntersectionClick = false;
    w.ProgramType = 0;
}

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

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEditorState(); }
    void TearDown() override { ResetEditorState(); }
};

}  // namespace phaseplanner::test
