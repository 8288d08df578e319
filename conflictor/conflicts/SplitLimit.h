// The cut splits every vehicle stream at its crossings, and a stream holds at most MaxSegments
// components: a cut that would split one past that is refused before it changes the drawing, as
// the pieces past the limit could be neither kept nor read back.
#pragma once

#include "common/Geometry.h"

#include <QString>
#include <vector>

namespace conflictor {

// A stream the cut would split past the limit: its components now and after the cut, and where
// its first component starts.
struct SplitPastLimit {
    QString Stream;  // empty: none
    int Now = 0;
    int After = 0;
    common::PlanePoint At;
};

// The first stream (in table order) that a cut of the marked streams, each against the marked
// streams after it, would split into more than MaxSegments components. Reads the table only.
SplitPastLimit FindSplitPastLimit(const std::vector<bool>& marked);

// The refusal of such a cut, told as the other refusals of the cut are.
QString SplitPastLimitMessage(const SplitPastLimit& past);

}  // namespace conflictor
