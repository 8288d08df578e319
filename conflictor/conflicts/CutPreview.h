// The conflict-point markers a cut of the streams as they stand would insert, worked out from the
// stream table alone: nothing in the drawing is read or changed. The cut splits every vehicle
// stream where it crosses another, so on streams cut since their last change these are the markers
// the cut left in the drawing, at the same points and of the same kinds.
#pragma once

#include "conflictor/conflicts/ConflictMarkers.h"

#include <vector>

namespace conflictor {

// Every pair of streams of the table (chains ordered by SortujOdcinkiStrumienia), as the cut pairs
// them: the crossings of their components, none for two streams with a common start, each point
// once per pair, divided into markers as the cut divides them. With `marked` (one entry per stream
// of the table) only the pairs of two marked streams, as the cut of the selected streams pairs them.
std::vector<MarkerOfPoint> PreviewConflictMarkers(const std::vector<bool>* marked = nullptr);

}  // namespace conflictor
