// B-splines as the drawing keeps them in tags: a SPLINE, the spline part of a HELIX (AutoCAD draws a
// helix by its spline, its axis, radius and turns only describe it), and a hatch's spline boundary
// edge. One reading of their tags, one judgement of whether they can be drawn, one evaluation for
// extents, moves and snaps.
#pragma once

#include "platform/cad/engine/Entity.h"
#include "platform/cad/engine/Geometry.h"

#include <QString>
#include <vector>

namespace cad::db {

struct SplineCurve {
    int degree = 3;
    std::vector<double> knots;
    std::vector<Point3> control;
    std::vector<double> weights;  // none, or one per control point
    std::vector<Point3> fit;      // the curve passes through them when it has no control points
    // The counts the tags declare, -1 where they declare none: a record that gives fewer is cut short.
    long long knotCount = -1, controlCount = -1, fitCount = -1;
};

// Whether the raw kind's geometry is a spline: SPLINE and HELIX.
bool isSplineKind(const QString& dxfName);
// The index of the first tag of a HELIX's own part (its AcDbHelix marker, or in a file without
// subclass markers its release number 90, which the spline part never holds); tags.size() for a
// SPLINE. Before it lie the spline's codes, from it on the helix's axis, start point and radius,
// whose codes (10, 11, 12, 40...) mean other things than the same codes of the spline.
size_t helixPartStart(const RawData& raw);
// The spline of a SPLINE or a HELIX kept raw; false for other kinds.
bool splineOfRaw(const RawData& raw, SplineCurve& out);
// A hatch boundary edge's spline from its tags (94 degree, 95/96/97 counts, 40 knots, 10/20
// control points, 42 weights, 11/21 fit points).
SplineCurve splineOfEdge(const Tags& tags);

// Why the spline cannot be drawn, in Polish for the user ("stopień 0 (najmniejszy możliwy to 1)"),
// or "" when it can: a degree below 1, fewer knots, control or fit points than declared, fewer
// control points than the degree needs, a knot vector of another length than degree and control
// points need, decreasing knots or knots that span nothing, weights not one positive value per
// control point, and neither control points nor two fit points.
QString splineDefect(const SplineCurve& s);

// Points along a drawable spline, `perSpan` to each knot span (to each fit point interval of a
// curve through fit points, the cubic the renderer draws): its ends exact, nowhere further from the
// curve than a span's sagitta at that step. Empty for a spline splineDefect refuses.
std::vector<Point3> splineSamples(const SplineCurve& s, int perSpan = 32);
// Adds the extent of the spline's plan seen through `t`, its crests found between the samples (its
// control points' box where it cannot be drawn, so that zooming to the extents still shows where
// it lies).
void addSplineToBox(Box& box, const SplineCurve& s, const Transform2D& t = {});

}  // namespace cad::db
