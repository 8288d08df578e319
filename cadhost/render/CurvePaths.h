// Curves as Qt painter paths in drawing coordinates: elliptic and circular arcs through arcTo,
// B-splines cut into their Bézier pieces (cubicTo, quadTo), splines through fit points.
#pragma once

#include "platform/cad/engine/DbObject.h"

#include <QPainterPath>
#include <QPointF>
#include <vector>

namespace cadhost::render {

// Appends an arc of the ellipse with centre `c`, major axis end `major` (relative to the centre)
// and minor/major `ratio`, over the parameters t0..t0+sweep (radians; a negative sweep runs
// clockwise). A circle is the ellipse with ratio 1. Starts a new subpath unless `join`, in which
// case a line joins the current position to the arc's start.
void AddEllipseArc(QPainterPath& path, QPointF c, QPointF major, double ratio, double t0, double sweep,
                   bool join);

struct SplineDef {
    int degree = 3;
    std::vector<double> knots;
    std::vector<QPointF> control;
    std::vector<double> weights;  // empty or one per control point
    std::vector<QPointF> fit;     // used when there are no usable control points
};

// Appends the spline as a subpath (or joined to the current one when `join`); false when it has
// no usable geometry.
bool AddSpline(QPainterPath& path, const SplineDef& s, bool join);

// The spline of a hatch boundary edge from its tags (94 degree, 73 rational, 40 knots, 10/20
// control points, 42 weights, 11/21 fit points).
SplineDef SplineOfEdge(const cad::db::Tags& tags);

}  // namespace cadhost::render
