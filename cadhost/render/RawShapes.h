// Shapes of the kinds the engine keeps as raw tags: SOLID and TRACE (filled), 3DFACE (its visible
// edges), ELLIPSE (whole or an arc) and SPLINE (from its control points and knots, or its fit
// points when it has no control points), DIMENSION of the types the engine does not model (from
// their definition points), LEADER and MULTILEADER (their leader lines).
#pragma once

#include "platform/cad/engine/Entity.h"

#include <QPainterPath>
#include <QPolygonF>
#include <vector>

namespace cadhost::render {

struct RawShape {
    std::vector<QPolygonF> outlines;  // drawing coordinates
    QPainterPath filled;              // drawing coordinates, empty when nothing is filled
};

// False when the kind is not one drawn from its tags (or its tags are unusable).
bool ShapeOfRaw(const cad::db::RawData& raw, double tolerance, RawShape& out);

}  // namespace cadhost::render
