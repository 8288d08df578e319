// Highlighting the streams of two colliding groups, with their start and end markers, for the
// colliding-pairs dialog; the block-to-group mapping is kept so that later pairs colour by handle.
#pragma once

#include <QString>
#include <vector>

namespace phaseplanner {

struct StreamGroupEntry {
    int Group = -1;  // index into GroupTable
    bool Coloured = false;
    QString Handle;
    bool IsMarker = false;  // a start or end marker rather than the stream body
};

extern std::vector<StreamGroupEntry> StreamGroupTable;
extern bool StreamGroupTableFilled;
// Armed by the colliding-pairs dialog when it opens; the missing-scheme message shows once a run.
extern bool SchemeWarningArmed;
extern bool SchemeWarningShown;

// Colours the streams of `groupA` with `colourA` and those of `groupB` with `colourB`, after
// resetting every colour this program gave. `refresh` rebuilds the mapping from the drawing and
// is cleared once it is rebuilt.
void HighlightGroupPairStreams(int groupA, int groupB, int colourA, int colourB, bool& refresh);

// Forgets the mapping and the warning flags (tests, a new drawing).
void ResetPairHighlight();

}  // namespace phaseplanner
