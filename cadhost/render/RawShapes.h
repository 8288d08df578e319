// Shapes of the kinds the engine keeps as raw tags: SOLID and TRACE (filled), 3DFACE (its visible
// edges), ELLIPSE (whole or an arc), SPLINE (from its control points and knots, or its fit points
// when it has no control points) and HELIX (the plan of its spline), the 3D POLYLINE (its plan),
// LEADER (its line and arrowhead) and MULTILEADER (leader lines, arrowheads, landing and text).
// Dimensions are in Dimensions.h.
#pragma once

#include "platform/cad/engine/Entity.h"

#include <QString>

#include <QPainterPath>
#include <QPolygonF>
#include <vector>

namespace cadhost::render {

// A multiline text placed by a shape (dimension measurements, leader notes).
struct ShapeText {
    QString text;  // with multiline text codes
    QPointF at;
    double height = 1;
    double rotation = 0;  // radians
    int attachment = 5;   // 1 top left ... 9 bottom right
};

// Everything in drawing coordinates.
struct RawShape {
    std::vector<QPolygonF> outlines;
    QPainterPath strokes;  // curves drawn as lines (flattened on screen)
    QPainterPath filled;   // empty when nothing is filled
    std::vector<ShapeText> texts;
};

// A closed filled arrowhead with its tip at `tip`, pointing along `dir`, `size` long.
void AddArrow(RawShape& out, QPointF tip, QPointF dir, double size);

// False when the kind is not one drawn from its tags (or its tags are unusable). `arrow` is the
// arrowhead size of leaders without one of their own.
bool ShapeOfRaw(const cad::db::RawData& raw, double arrow, RawShape& out);

}  // namespace cadhost::render
