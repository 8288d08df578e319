// Boolean operations on regions, built in the model from the engine's region loops because the
// engine offers none. Covered: every operation between regions whose boundaries do not cross
// (nesting decides), and intersection with a convex region (the clip circle of the pattern area)
// by clipping each loop; the clipped loops become chains of short lines. Crossing boundaries
// of two non-convex regions are refused with NotSupported.
#pragma once

#include "platform/cad/engine/Entity.h"

namespace cad {

enum class RegionOperation { Union = 0, Intersection = 1, Subtraction = 2 };

// Replaces the loops of `target` by the result; `other` is left to the caller to erase.
void CombineRegions(db::RegionData& target, const db::RegionData& other, RegionOperation op);

// The area of a region (even-odd over its loops, arcs tessellated).
double RegionArea(const db::RegionData& region);

}  // namespace cad
