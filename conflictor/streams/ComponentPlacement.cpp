// Components read as drawn: the reference's placement applied to its block's line or arc.
#include "conflictor/streams/ComponentPlacement.h"

#include "conflictor/streams/StreamRecords.h"

#include <cmath>
#include <utility>

namespace conflictor {

namespace {

using cad::db::Point3;
using cad::db::Transform2D;

Point3 point3(const PlanePoint& p) {
    return {p.X, p.Y, 0};
}

PlanePoint plane(const Point3& p) {
    return {p.x, p.y};
}

// Equal scales in every direction (rotation, uniform scale, mirror): circles stay circles.
bool keepsCircles(const Transform2D& t) {
    const double xLength = t.a * t.a + t.c * t.c, yLength = t.b * t.b + t.d * t.d;
    const double scale = std::max(xLength, yLength);
    return std::abs(xLength - yLength) <= 1e-9 * scale && std::abs(t.a * t.b + t.c * t.d) <= 1e-9 * scale;
}

}  // namespace

Transform2D ReferencePlacement(const cad::Point& insertion, double rotation, double xScale, double yScale,
                               const cad::Point& basePoint) {
    return Transform2D::translation(insertion.x, insertion.y)
        .after(Transform2D::rotation(rotation))
        .after(Transform2D::scale(xScale, yScale))
        .after(Transform2D::translation(-basePoint.x, -basePoint.y));
}

bool IsIdentityPlacement(const Transform2D& t) {
    return t.a == 1 && t.b == 0 && t.c == 0 && t.d == 1 && t.tx == 0 && t.ty == 0;
}

cad::Variant PlacementValue(const Transform2D& t) {
    return cad::Variant(cad::VariantList{cad::Variant(t.a), cad::Variant(t.b), cad::Variant(t.c),
                                         cad::Variant(t.d), cad::Variant(t.tx), cad::Variant(t.ty)});
}

Transform2D PlacementFromValue(const cad::Variant& v) {
    const cad::VariantList n = v.toArray();
    if (n.size() != 6) return {};
    return {n[0].toDouble(), n[1].toDouble(), n[2].toDouble(), n[3].toDouble(), n[4].toDouble(), n[5].toDouble()};
}

void PlaceSegment(SegmentRecord& segment, const Transform2D& t) {
    segment.Placement = t;
    if (IsIdentityPlacement(t)) return;
    const PlanePoint start = plane(t.apply(point3(segment.StartPoint)));
    const PlanePoint end = plane(t.apply(point3(segment.EndPoint)));
    segment.StartPoint = start;
    segment.EndPoint = end;
    if (segment.IsLine) return;
    const PlanePoint centre = plane(t.apply(point3(segment.Center)));
    segment.Center = centre;
    segment.Radius *= std::sqrt(std::abs(t.determinant()));
    if (!keepsCircles(t)) {
        segment.Unmeasurable = true;
        return;
    }
    auto angleTo = [&](const PlanePoint& p) {
        return cad::db::normalizeAngle(std::atan2(p.Y - centre.Y, p.X - centre.X));
    };
    segment.StartAngle = angleTo(start);
    segment.EndAngle = angleTo(end);
    // Mirrored, the arc's counter-clockwise run starts at the block's end point.
    if (t.determinant() < 0) {
        std::swap(segment.StartAngle, segment.EndAngle);
        std::swap(segment.StartPoint, segment.EndPoint);
    }
}

PlanePoint ToBlockCoordinates(const Transform2D& t, const PlanePoint& p) {
    const double det = t.determinant();
    const double x = p.X - t.tx, y = p.Y - t.ty;
    return {(t.d * x - t.b * y) / det, (-t.c * x + t.a * y) / det};
}

}  // namespace conflictor
