// Where a component's curve is drawn: the placement of its block reference (and of every reference
// it sits in) applied to the line or arc of the block definition.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/Variant.h"
#include "platform/cad/engine/Geometry.h"

namespace conflictor {

struct SegmentRecord;

// The block-to-drawing transform of one reference: its block's base point to the origin, the
// scale factors (a negative one mirrors), the rotation, then the insertion point.
cad::db::Transform2D ReferencePlacement(const cad::Point& insertion, double rotation, double xScale,
                                        double yScale, const cad::Point& basePoint);
bool IsIdentityPlacement(const cad::db::Transform2D& t);
// A placement as six numbers in a row of the reading, and back (an empty value reads as identity).
cad::Variant PlacementValue(const cad::db::Transform2D& t);
cad::db::Transform2D PlacementFromValue(const cad::Variant& v);

// The segment's geometry, given in its block's coordinates, moved to where the placement draws it.
// An arc runs counter-clockwise in the drawing too: under a mirror its ends trade places. An arc
// under unequal X and Y scales is drawn as an ellipse arc, which no stream can measure: it is kept
// at its placed centre and ends, with Unmeasurable set, unless its placed radius differs between
// the two directions by no more than `circleTolerance` (drawing units; 0: the scales must be equal).
// The identity placement leaves the segment untouched.
void PlaceSegment(SegmentRecord& segment, const cad::db::Transform2D& placement, double circleTolerance = 0);
// The turn or mirror nearest to the transform's linear part (its orthogonal polar factor), with the
// transform's translation: an OCS plan view with its tilt taken away.
cad::db::Transform2D NearestIsometry(const cad::db::Transform2D& t);
// How much a piece given in its block's coordinates loses of its size when drawn by `drawn` rather
// than by `flat` (the same placement with its planes laid flat): for a line what its length loses,
// for an arc the most its length or its radius can lose. Drawing units.
double PlanChange(const SegmentRecord& segment, const cad::db::Transform2D& drawn,
                  const cad::db::Transform2D& flat);
// A drawing point in the block coordinates of the placement.
common::PlanePoint ToBlockCoordinates(const cad::db::Transform2D& placement, const common::PlanePoint& p);

}  // namespace conflictor
