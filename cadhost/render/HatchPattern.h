// A hatch's boundary as a painter path (lines, bulges, circular and elliptic arcs, splines) and
// its pattern lines cut into their dashes, dots and gaps.
#pragma once

#include "platform/cad/engine/Entity.h"

#include <QLineF>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <vector>

namespace cadhost::render {

// The boundary loops in drawing coordinates, filled by odd parity.
QPainterPath HatchBoundary(const cad::db::HatchData& h);

// The pattern lines of one family over `box` (drawing coordinates) mapped to the screen by
// `screen`, whose scale is `unitScale` pixels a unit. Dashes finer than a few pixels merge into a
// continuous line. Appends to `out`; false when the family is too dense to draw line by line.
bool PatternFamily(const cad::db::PatternLine& pl, const QRectF& box, const QTransform& screen,
                   double unitScale, std::vector<QLineF>& out);

}  // namespace cadhost::render
