// Boolean operations on regions with any boundaries (arc edges tessellated within the drawing
// tolerance), through the Boost.Geometry polygon library; arcs of the inputs come back as arcs.
#pragma once

#include "platform/cad/engine/Entity.h"

namespace cad {

enum class RegionOperation { Union = 0, Intersection = 1, Subtraction = 2 };

// Replaces the loops of `target` by the result; `other` is left to the caller to erase.
void CombineRegions(db::RegionData& target, const db::RegionData& other, RegionOperation op);

// The area of a region (even-odd over its loops, arcs tessellated).
double RegionArea(const db::RegionData& region);

}  // namespace cad
