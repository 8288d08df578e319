// How the streams of the current intersection show in the drawing: a phase or a group coloured, one
// phase shown alone, the highlighting removed, everything shown, the unhighlighted hidden.
#pragma once

#include "automation/CrossingLinks.h"

#include <QString>
#include <vector>

namespace conflictor {

// One stream listed by a component reference or a start or end marker, kept by a phase colouring
// so that stepping through phases needs no new search of the drawing.
struct StreamReferenceEntry {
    int StreamIndex = -1;
    bool Done = false;
    QString Handle;
    bool IsMarker = false;
};
extern std::vector<StreamReferenceEntry> StreamReferenceCache;

// The phase shown alone by ZmienWidok; -1 when all streams are shown.
extern int ShownPhase;

// Colours with `pen` the streams of phase `value` (phaseMode) or of group `value`. With `rebuild` the
// references are searched in the drawing (and, for phases, cached; `rebuild` is then set false);
// without it the cache is used. In phase mode the crossing links of the phase are coloured too.
void ColourStreamsOfPhaseOrGroup(int value, int pen, bool& rebuild, bool phaseMode);
// True when every stream the link names exists and runs in the phase.
bool IsCrossingLinkInPhase(const automation::CrossingLinkRecord& link, int phase);

// v >= 0: only the streams of phase v visible; -1: highlighting removed; -2: all shown; -3: the
// streams that are not highlighted hidden.
void ZmienWidok(int v);
// Resets the view and colours the streams of the phase with the highlight pen.
void SelectPhaseStreams(int phase, bool& rebuild);

}  // namespace conflictor
