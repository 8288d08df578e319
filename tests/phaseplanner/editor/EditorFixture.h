// Module state of the editor reset around each test, and short ways to build groups.
#pragma once

#include "GroupBuilders.h"
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

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEditorState(); }
    void TearDown() override { ResetEditorState(); }
};

}  // namespace phaseplanner::test
