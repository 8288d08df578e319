// Arc and bulge arithmetic for extents and conversions.
#include "platform/cad/engine/Curves.h"

#include "platform/cad/engine/DatabaseImpl.h"

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

void addArcToBox(Box& box, const Point3& center, double radius, double startAngle, double endAngle) {
    const double s = normalizeAngle(startAngle);
    double e = normalizeAngle(endAngle);
    if (e <= s) e += 2 * M_PI;
    box.add(pointAt(center, radius, s));
    box.add(pointAt(center, radius, e));
    for (int k = 0; k < 8; ++k) {
        const double q = k * M_PI / 2;
        if (q > s && q < e) box.add(pointAt(center, radius, q));
    }
}

void addSegmentToBox(Box& box, const Vertex& a, const Vertex& b) {
    box.add(a.x, a.y);
    box.add(b.x, b.y);
    if (a.bulge != 0 && (a.x != b.x || a.y != b.y)) {
        const BulgeArc arc = bulgeToArc({a.x, a.y, 0}, {b.x, b.y, 0}, a.bulge);
        addArcToBox(box, arc.center, arc.radius, arc.startAngle, arc.endAngle);
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

void addEdgeToBox(Box& box, const Edge& e) {
    switch (e.type) {
        case Edge::Line:
            box.add(e.start);
            box.add(e.end);
            break;
        case Edge::Arc:
            if (e.counterClockwise)
                addArcToBox(box, e.center, e.radius, e.startAngle, e.endAngle);
            else
                addArcToBox(box, e.center, e.radius, -e.endAngle, -e.startAngle);
            break;
        case Edge::Ellipse: {
            const double a = std::hypot(e.majorAxis.x, e.majorAxis.y);
            box.add(e.center.x - a, e.center.y - a);
            box.add(e.center.x + a, e.center.y + a);
            break;
        }
        case Edge::Spline:
            for (size_t i = 0; i + 1 < e.raw.size(); ++i)
                if (e.raw[i].code == 10 && e.raw[i + 1].code == 20)
                    box.add(e.raw[i].value.toDouble(), e.raw[i + 1].value.toDouble());
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
