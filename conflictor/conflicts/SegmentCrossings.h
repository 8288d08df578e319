// Where two stream components cross: the candidates of the line and circle routines that lie on both
// components within the drawing tolerance.
#pragma once

#include "conflictor/streams/StreamRecords.h"

#include <vector>

namespace conflictor {

// The crossing points of the two components, at most two (a line through an arc, two arcs), in the
// order the geometry routines give them; a second candidate within 0.01 of the first is dropped.
std::vector<PlanePoint> FindSegmentCrossings(const SegmentRecord& a, const SegmentRecord& b);
// Whether the point lies on the component (drawing tolerance).
bool IsPointOnComponent(const PlanePoint& p, const SegmentRecord& s);

}  // namespace conflictor
