// Services the cut shares with the stream model: the bounding box of a component and the layers the
// streams, conflict points and length texts are drawn on.
#pragma once

#include "conflictor/streams/StreamRecords.h"

namespace conflictor {

// Bounds1/Bounds2 = smallest/largest X and Y of the ends, widened by the radius on each side whose
// axis direction (0, π/2, π, 3π/2) an arc passes counter-clockwise from StartAngle to EndAngle.
void ComputeSegmentBounds(SegmentRecord& segment);

// "113-STRUMIENIE_RUCHU" (colour 5, lineweight 30), "114-PUNKTY_KOLIZJI" (colour 5) and
// "400-DLUGOSCI_STRUMIENI" exist afterwards; none is made current, existing ones keep their properties.
void EnsureStreamLayers();

}  // namespace conflictor
