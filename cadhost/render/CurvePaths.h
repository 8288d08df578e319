// Curves as Qt painter paths in drawing coordinates: elliptic and circular arcs through arcTo,
// B-splines cut into their Bézier pieces (cubicTo, quadTo), splines through fit points.
#pragma once

#include "platform/cad/engine/Splines.h"

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

// Appends the spline as a subpath (or joined to the current one when `join`): its Bézier pieces
// when its knots are clamped, else points along it; through its fit points when it has no control
// points. False when it cannot be drawn (cad::db::splineDefect names why).
bool AddSpline(QPainterPath& path, const cad::db::SplineCurve& s, bool join);

}  // namespace cadhost::render
