// The filled outline of a polyline with widths (constant, or start and end per segment), in
// drawing coordinates; arc segments follow their bulge.
#pragma once

#include "platform/cad/engine/Entity.h"

#include <QPainterPath>
#include <vector>

namespace cadhost::render {

// Empty when every segment is of zero width. `tolerance` bounds the chord error of arc segments.
QPainterPath WidePolyline(const std::vector<cad::db::Vertex>& vertices, bool closed, double constantWidth,
                          double tolerance);

}  // namespace cadhost::render
