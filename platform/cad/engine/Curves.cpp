// Arc and bulge arithmetic for extents and conversions.
#include "platform/cad/engine/Curves.h"

#include "platform/cad/engine/DatabaseImpl.h"
#include "platform/cad/engine/Splines.h"

#include <cmath>

namespace cad::db {

BulgeArc bulgeToArc(const Point3& p0, const Point3& p1, double bulge) {
    const double theta = 4 * std::atan(bulge);  // included angle, signed
    const double dx = p1.x - p0.x, dy = p1.y - p0.y;
    const double chord = std::hypot(dx, dy);
    BulgeArc arc;
    arc.radius = chord / (2 * std::sin(std::abs(theta) / 2));
    // Distance from the chord midpoint to the centre, towards the left for a CCW arc.
    const double sagittaDir = (bulge > 0 ? 1 : -1);
    const double h = std::sqrt(std::max(0.0, arc.radius * arc.radius - chord * chord / 4));
    const double mx = (p0.x + p1.x) / 2, my = (p0.y + p1.y) / 2;
    // The centre lies on the left of p0->p1 for |theta| < π with a CCW arc; beyond π it flips.
    const double side = sagittaDir * (std::abs(theta) > M_PI ? -1 : 1);
    arc.center = {mx - side * dy / chord * h, my + side * dx / chord * h, p0.z};
    const double a0 = std::atan2(p0.y - arc.center.y, p0.x - arc.center.x);
    const double a1 = std::atan2(p1.y - arc.center.y, p1.x - arc.center.x);
    if (bulge > 0) {
        arc.startAngle = normalizeAngle(a0);
        arc.endAngle = normalizeAngle(a1);
    } else {
        arc.startAngle = normalizeAngle(a1);
        arc.endAngle = normalizeAngle(a0);
    }
    return arc;
}

void addArcToBox(Box& box, const Point3& center, double radius, double startAngle, double endAngle,
                 const Transform2D& t) {
    const double s = normalizeAngle(startAngle);
    double e = normalizeAngle(endAngle);
    if (e <= s) e += 2 * M_PI;
    box.add(t.apply(pointAt(center, radius, s)));
    box.add(t.apply(pointAt(center, radius, e)));
    // x' = a*r*cos + b*r*sin + ... is extreme where tan = b/a, y' where tan = d/c: for the identity
    // the quarter angles.
    const double ax = std::atan2(t.b, t.a), ay = std::atan2(t.d, t.c);
    for (const double base : {ax, ax + M_PI, ay, ay + M_PI}) {
        const double q0 = normalizeAngle(base);
        for (const double q : {q0, q0 + 2 * M_PI})
            if (q > s && q < e) box.add(t.apply(pointAt(center, radius, q)));
    }
}

void addSegmentToBox(Box& box, const Vertex& a, const Vertex& b, const Transform2D& t) {
    box.add(t.apply({a.x, a.y, 0}));
    box.add(t.apply({b.x, b.y, 0}));
    if (a.bulge != 0 && (a.x != b.x || a.y != b.y)) {
        const BulgeArc arc = bulgeToArc({a.x, a.y, 0}, {b.x, b.y, 0}, a.bulge);
        addArcToBox(box, arc.center, arc.radius, arc.startAngle, arc.endAngle, t);
    }
}

Point3 edgeStart(const Edge& e) {
    switch (e.type) {
        case Edge::Line:
            return e.start;
        case Edge::Arc:
            return pointAt(e.center, e.radius, e.counterClockwise ? e.startAngle : -e.startAngle);
        default:
            return e.start;
    }
}

Point3 edgeEnd(const Edge& e) {
    switch (e.type) {
        case Edge::Line:
            return e.end;
        case Edge::Arc:
            return pointAt(e.center, e.radius, e.counterClockwise ? e.endAngle : -e.endAngle);
        default:
            return e.end;
    }
}

void addEdgeToBox(Box& box, const Edge& e, const Transform2D& t) {
    switch (e.type) {
        case Edge::Line:
            box.add(t.apply(e.start));
            box.add(t.apply(e.end));
            break;
        case Edge::Arc:
            if (e.counterClockwise)
                addArcToBox(box, e.center, e.radius, e.startAngle, e.endAngle, t);
            else
                addArcToBox(box, e.center, e.radius, -e.endAngle, -e.startAngle, t);
            break;
        case Edge::Ellipse: {
            // The circle of the major axis holds the ellipse; its square is placed corner by corner.
            const double a = std::hypot(e.majorAxis.x, e.majorAxis.y);
            for (const auto& [x, y] : {std::pair{-a, -a}, {a, -a}, {a, a}, {-a, a}})
                box.add(t.apply({e.center.x + x, e.center.y + y, 0}));
            break;
        }
        case Edge::Spline:
            addSplineToBox(box, splineOfEdge(e.raw), t);
            break;
    }
}

bool polyline3dVertices(const RawData& raw, std::vector<Point3>& out, bool& closed) {
    if (raw.dxfName.compare(QLatin1String("POLYLINE"), Qt::CaseInsensitive) != 0) return false;
    out.clear();
    int flags = 0, vertexFlags = 0;
    bool inVertex = false;
    Point3 p;
    auto flush = [&] {
        if (inVertex && !(vertexFlags & 16)) out.push_back(p);  // 16: a frame control point
    };
    for (const Tag& t : raw.tags) {
        if (t.code == 0) {
            flush();
            inVertex = t.value.trimmed() == QLatin1String("VERTEX");
            p = {};
            vertexFlags = 0;
        } else if (!inVertex) {
            if (t.code == 70) flags = t.value.trimmed().toInt();
        } else if (t.code == 10 || t.code == 20 || t.code == 30) {
            (t.code == 10 ? p.x : t.code == 20 ? p.y : p.z) = t.value.trimmed().toDouble();
        } else if (t.code == 70) {
            vertexFlags = t.value.trimmed().toInt();
        }
    }
    flush();
    closed = flags & 1;
    return flags & 8;
}

}  // namespace cad::db
