// The state a test of the program drawing starts from: nothing edited, no program block read, no
// playback, dimensioned bars, intersection 7 known.
#pragma once

#include "EditorFixture.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/ProgramWindow.h"

namespace phaseplanner::test {

inline void PrepareProgramDrawing() {
    ResetEditorState();
    ResetProgramAttributeState();
    ResetPlayback();
    DimensioningMode = 2;
    ServiceView = false;
    IntersectionNumber = QStringLiteral("7");
    AddIntersectionNumber(IntersectionNumber, true);
}

}  // namespace phaseplanner::test
