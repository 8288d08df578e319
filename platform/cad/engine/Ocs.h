// An entity's own coordinate system (OCS): the plane its extrusion direction (DXF group 210)
// stands on, found by the arbitrary axis algorithm of the DXF format. Planar entities keep their
// points in it (arcs, circles, 2D polylines, block references, texts, hatches, solids); the file's
// values stay as read, and whatever uses their geometry goes through this to world coordinates.
#pragma once

#include "platform/cad/engine/Geometry.h"

#include <QString>

namespace cad::db {

class Entity;

class Ocs {
public:
    // The OCS of an extrusion direction; a zero vector stands for the world Z axis.
    explicit Ocs(const Point3& extrusion = {0, 0, 1});

    // True when the OCS is the world's own (extrusion +Z): nothing to apply.
    bool isWorld() const { return world_; }
    // True when the entity's plane is parallel to XY (extrusion +Z or -Z): its plan view is its
    // true shape, only mirrored for -Z.
    bool parallelToXY() const { return parallel_; }
    // True when the plan view mirrors the entity (extrusion pointing down).
    bool mirrors() const { return uz_.z < 0; }

    const Point3& xAxis() const { return ux_; }
    const Point3& yAxis() const { return uy_; }
    const Point3& zAxis() const { return uz_; }

    Point3 toWorld(const Point3& p) const;
    Point3 fromWorld(const Point3& p) const;
    Point3 directionToWorld(const Point3& v) const;

    // The plan view (world X and Y) of points of the OCS plane at the given elevation (their OCS Z).
    Transform2D planTransform(double elevation = 0) const;

private:
    Point3 ux_{1, 0, 0}, uy_{0, 1, 0}, uz_{0, 0, 1};
    bool world_ = true;
    bool parallel_ = true;
};

// The unit vector of a direction (an extrusion as a file writes it) at any magnitude: (1,1,1)×1e308
// and (1,1,1)×1e-170 are both the direction of (0.577, 0.577, 0.577). A zero vector, and one with a
// component that is not a finite number (which no file read holds), stands for world Z.
Point3 unitDirection(const Point3& extrusion);
// True when an extrusion direction is the world Z axis (a zero vector counts as it).
bool isWorldExtrusion(const Point3& extrusion);

// Whether the kind keeps its points in its OCS (so the extrusion moves them); lines, points,
// ellipses, splines, 3D polylines and a dimension's drawn block hold world points.
bool usesOcs(const Entity& e);
// The entity's OCS elevation: the Z its OCS points share (arc centre, polyline elevation, ...).
double ocsElevation(const Entity& e);
// From the entity's stored coordinates to the world plan: identity for world-point kinds and for
// extrusion +Z, else the OCS plan transform at the entity's elevation.
Transform2D ocsPlacement(const Entity& e);
// A point of the entity's OCS (its stored value, Z the elevation) in world coordinates, and back;
// identity where ocsPlacement is.
Point3 ocsToWorld(const Entity& e, const Point3& p);
Point3 worldToOcs(const Entity& e, const Point3& p);
// A transform of world plan coordinates as seen in the entity's stored coordinates (the OCS plan
// transform conjugates it), so that applying the result to the stored values moves the entity by
// `world` where it is drawn. Only for an entity whose plane is parallel to XY: it throws
// NotSupported for a tilted one, whose plan view a 2D transform cannot move in its own plane.
Transform2D ocsTransform(const Entity& e, const Transform2D& world);
// The same for a point of the OCS of `extrusion` held by an entity of another kind (a dimension's
// text position); `objectName` names the entity refused.
Transform2D ocsTransform(const Point3& extrusion, const QString& objectName, const Transform2D& world);
// Puts a curve just made from OCS values of `plane` (a hatch loop's edges, at that elevation)
// where `plane` draws them: an arc, circle or polyline takes its extrusion and elevation, a line
// its points in world coordinates. Nothing changes for a plane with extrusion +Z.
void placeInPlaneOf(const Entity& plane, double elevation, Entity& curve);

}  // namespace cad::db
