// Small curve helpers shared by bounding boxes, explode, hatches and regions.
#pragma once

#include "platform/cad/engine/Entity.h"
#include "platform/cad/engine/Geometry.h"

namespace cad::db {

// The arc of a polyline segment with a non-zero bulge, as a counter-clockwise arc.
struct BulgeArc {
    Point3 center;
    double radius = 0, startAngle = 0, endAngle = 0;
};
BulgeArc bulgeToArc(const Point3& p0, const Point3& p1, double bulge);
// Adds the extent of a counter-clockwise arc, seen through `t` (an entity's plan placement: under a
// map that is not a similarity the arc's image is an elliptic arc, and its own extremes count).
void addArcToBox(Box& box, const Point3& center, double radius, double startAngle, double endAngle,
                 const Transform2D& t = {});
// Adds the extent of one polyline segment, seen through `t`.
void addSegmentToBox(Box& box, const Vertex& a, const Vertex& b, const Transform2D& t = {});
// Adds the extent of a boundary edge, seen through `t`.
void addEdgeToBox(Box& box, const Edge& e, const Transform2D& t = {});
// A point on a circle.
inline Point3 pointAt(const Point3& c, double r, double angle) {
    return {c.x + r * std::cos(angle), c.y + r * std::sin(angle), c.z};
}
// Start and end of an edge.
Point3 edgeStart(const Edge& e);
Point3 edgeEnd(const Edge& e);

}  // namespace cad::db
