// Components read as drawn: the reference's placement applied to its block's line or arc.
#include "conflictor/streams/ComponentPlacement.h"

#include "conflictor/streams/StreamRecords.h"

#include <algorithm>
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

// The largest and smallest factor the transform stretches a direction by (its singular values).
std::pair<double, double> stretches(const Transform2D& t) {
    const double p = (t.a + t.d) / 2, q = (t.a - t.d) / 2, r = (t.c + t.b) / 2, s = (t.c - t.b) / 2;
    const double u = std::hypot(p, s), v = std::hypot(q, r);
    return {u + v, std::abs(u - v)};
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

void PlaceSegment(SegmentRecord& segment, const Transform2D& t, double circleTolerance) {
    segment.Placement = t;
    if (IsIdentityPlacement(t)) return;
    const PlanePoint start = plane(t.apply(point3(segment.StartPoint)));
    const PlanePoint end = plane(t.apply(point3(segment.EndPoint)));
    segment.StartPoint = start;
    segment.EndPoint = end;
    if (segment.IsLine) return;
    const PlanePoint centre = plane(t.apply(point3(segment.Center)));
    segment.Center = centre;
    const bool nearCircle = [&] {
        if (!(circleTolerance > 0)) return false;
        const auto [most, least] = stretches(t);
        return (most - least) * segment.Radius <= circleTolerance;
    }();
    segment.Radius *= std::sqrt(std::abs(t.determinant()));
    if (!keepsCircles(t) && !nearCircle) {
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

Transform2D NearestIsometry(const Transform2D& t) {
    // A turn keeps the orientation, a mirror reverses it: the angle of either from the linear part.
    if (t.determinant() >= 0) {
        const double angle = std::atan2(t.c - t.b, t.a + t.d);
        return {std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle), t.tx, t.ty};
    }
    const double angle = std::atan2(t.c + t.b, t.a - t.d);
    return {std::cos(angle), std::sin(angle), std::sin(angle), -std::cos(angle), t.tx, t.ty};
}

double PlanChange(const SegmentRecord& s, const Transform2D& drawn, const Transform2D& flat) {
    if (s.IsLine) {
        const Point3 v{s.EndPoint.X - s.StartPoint.X, s.EndPoint.Y - s.StartPoint.Y, 0};
        const Point3 a = flat.applyVector(v), b = drawn.applyVector(v);
        return std::hypot(a.x, a.y) - std::hypot(b.x, b.y);
    }
    // The arc's plan view is at least its radius times the least stretch of `drawn` in every
    // direction, and at most the same times the most of `flat`.
    const double loss = stretches(flat).first - stretches(drawn).second;
    return loss * s.Radius * std::max(1.0, common::GetArcLength(1, s.StartAngle, s.EndAngle));
}

PlanePoint ToBlockCoordinates(const Transform2D& t, const PlanePoint& p) {
    const double det = t.determinant();
    const double x = p.X - t.tx, y = p.Y - t.ty;
    return {(t.d * x - t.b * y) / det, (-t.c * x + t.a * y) / det};
}

}  // namespace conflictor
