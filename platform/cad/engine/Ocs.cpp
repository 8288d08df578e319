// The arbitrary axis algorithm and the plan transforms built on it.
#include "platform/cad/engine/Ocs.h"

#include "platform/cad/engine/Entity.h"

#include <algorithm>
#include <cmath>

namespace cad::db {

namespace {

Point3 cross(const Point3& u, const Point3& v) {
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// Within this of 1 in every component an extrusion is taken as an axis (files write 0.9999999...).
constexpr double AxisTolerance = 1e-12;

}  // namespace

Point3 unitDirection(const Point3& v) {
    // Scaled by its largest component first: the squares of 1e308 overflow to infinity and those of
    // 1e-170 underflow to 0, and either would turn a tilted plane into the XY plane.
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return {0, 0, 1};
    const double largest = std::max({std::abs(v.x), std::abs(v.y), std::abs(v.z)});
    if (!(largest > 0)) return {0, 0, 1};
    const Point3 s{v.x / largest, v.y / largest, v.z / largest};
    const double n = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
    return {s.x / n, s.y / n, s.z / n};
}

bool isWorldExtrusion(const Point3& extrusion) {
    const Point3 u = unitDirection(extrusion);
    return std::abs(u.x) <= AxisTolerance && std::abs(u.y) <= AxisTolerance && u.z > 0;
}

Ocs::Ocs(const Point3& extrusion) {
    if (isWorldExtrusion(extrusion)) return;
    world_ = false;
    uz_ = unitDirection(extrusion);
    // The arbitrary axis algorithm: the OCS X axis is the world Y (or, near the Z axis, the world
    // Z) axis crossed with the extrusion; 1/64 is the format's own threshold.
    constexpr double Threshold = 1.0 / 64;
    const Point3 helper = (std::abs(uz_.x) < Threshold && std::abs(uz_.y) < Threshold) ? Point3{0, 1, 0}
                                                                                        : Point3{0, 0, 1};
    ux_ = unitDirection(cross(helper, uz_));
    uy_ = unitDirection(cross(uz_, ux_));
    parallel_ = std::abs(uz_.x) <= AxisTolerance && std::abs(uz_.y) <= AxisTolerance;
}

Point3 Ocs::toWorld(const Point3& p) const {
    if (world_) return p;
    return {p.x * ux_.x + p.y * uy_.x + p.z * uz_.x, p.x * ux_.y + p.y * uy_.y + p.z * uz_.y,
            p.x * ux_.z + p.y * uy_.z + p.z * uz_.z};
}

Point3 Ocs::fromWorld(const Point3& p) const {
    if (world_) return p;
    // The axes are orthonormal: the inverse is the transpose.
    return {p.x * ux_.x + p.y * ux_.y + p.z * ux_.z, p.x * uy_.x + p.y * uy_.y + p.z * uy_.z,
            p.x * uz_.x + p.y * uz_.y + p.z * uz_.z};
}

Point3 Ocs::directionToWorld(const Point3& v) const {
    if (world_) return v;
    return {v.x * ux_.x + v.y * uy_.x + v.z * uz_.x, v.x * ux_.y + v.y * uy_.y + v.z * uz_.y,
            v.x * ux_.z + v.y * uy_.z + v.z * uz_.z};
}

Transform2D Ocs::planTransform(double elevation) const {
    if (world_) return {};
    return {ux_.x, uy_.x, ux_.y, uy_.y, elevation * uz_.x, elevation * uz_.y};
}

bool usesOcs(const Entity& e) {
    switch (e.kind()) {
        case EntityKind::Arc:
        case EntityKind::Circle:
        case EntityKind::LwPolyline:
        case EntityKind::Text:
        case EntityKind::AttributeDefinition:
        case EntityKind::AttributeReference:
        case EntityKind::Hatch:
        case EntityKind::BlockReference:
            return true;
        case EntityKind::Polyline2d:
            // 3D polylines, meshes and polyface meshes hold world points.
            if (const auto* p = e.tryAs<Polyline2dData>()) return !(p->flags & (8 | 16 | 64));
            return true;
        case EntityKind::Unknown:
            if (const auto* raw = e.tryAs<RawData>()) {
                const QString& n = raw->dxfName;
                return n.compare(QLatin1String("SOLID"), Qt::CaseInsensitive) == 0 ||
                       n.compare(QLatin1String("TRACE"), Qt::CaseInsensitive) == 0;
            }
            return false;
        default:
            // Lines and points hold world points, and so does a dimension's drawn block (it is
            // inserted at the world origin; only its text position is an OCS point). MTEXT's
            // insertion point and direction are world values (its extrusion only turns the side
            // it is read from).
            return false;
    }
}

double ocsElevation(const Entity& e) {
    if (const auto* a = e.tryAs<ArcData>()) return a->center.z;
    if (const auto* c = e.tryAs<CircleData>()) return c->center.z;
    if (const auto* l = e.tryAs<LwPolylineData>()) return l->elevation;
    if (const auto* p = e.tryAs<Polyline2dData>()) return p->elevation;
    if (const auto* h = e.tryAs<HatchData>()) return h->elevation;
    if (const auto* i = e.tryAs<InsertData>()) return i->position.z;
    if (const auto* t = e.tryAs<AttributeData>()) return t->position.z;
    if (const auto* t = e.tryAs<TextData>()) return t->position.z;
    if (const auto* raw = e.tryAs<RawData>()) {
        // SOLID and TRACE: the Z of their first corner (a 2D entity shares it).
        for (const Tag& t : raw->tags)
            if (t.code == 30) return t.value.trimmed().toDouble();
    }
    return 0;
}

Transform2D ocsPlacement(const Entity& e) {
    if (isWorldExtrusion(e.normal) || !usesOcs(e)) return {};
    return Ocs(e.normal).planTransform(ocsElevation(e));
}

Point3 ocsToWorld(const Entity& e, const Point3& p) {
    if (isWorldExtrusion(e.normal) || !usesOcs(e)) return p;
    return Ocs(e.normal).toWorld(p);
}

Point3 worldToOcs(const Entity& e, const Point3& p) {
    if (isWorldExtrusion(e.normal) || !usesOcs(e)) return p;
    return Ocs(e.normal).fromWorld(p);
}

Transform2D ocsTransform(const Entity& e, const Transform2D& world) {
    if (isWorldExtrusion(e.normal) || !usesOcs(e)) return world;
    return ocsTransform(e.normal, e.objectName(), world);
}

Transform2D ocsTransform(const Point3& extrusion, const QString& objectName, const Transform2D& world) {
    if (isWorldExtrusion(extrusion)) return world;
    const Ocs ocs(extrusion);
    if (!ocs.parallelToXY())
        throw NotSupported(QStringLiteral("Obiektu %1 leżącego poza płaszczyzną XY nie można przekształcić")
                               .arg(objectName));
    // Parallel to XY the plan transform has no translation part: the elevation only shifts Z.
    const Transform2D plan = ocs.planTransform();
    return plan.inverse().after(world).after(plan);
}

void placeInPlaneOf(const Entity& plane, double elevation, Entity& curve) {
    if (isWorldExtrusion(plane.normal)) return;
    const Ocs ocs(plane.normal);
    if (auto* l = curve.tryAs<LineData>()) {
        l->start = ocs.toWorld({l->start.x, l->start.y, elevation});
        l->end = ocs.toWorld({l->end.x, l->end.y, elevation});
        return;
    }
    curve.normal = plane.normal;
    if (auto* a = curve.tryAs<ArcData>()) a->center.z = elevation;
    if (auto* c = curve.tryAs<CircleData>()) c->center.z = elevation;
    if (auto* p = curve.tryAs<LwPolylineData>()) p->elevation = elevation;
}

}  // namespace cad::db
