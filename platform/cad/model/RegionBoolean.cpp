// Region union, intersection and subtraction through Boost.Geometry: loops are tessellated within
// the drawing tolerance, combined as general polygons with holes, and the runs of the result that
// follow one of the input arcs are turned back into arc edges.
#include "platform/cad/model/RegionBoolean.h"

// The library's envelope code trips a false uninitialised-use warning in GCC 12.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <cmath>
#include <numbers>

namespace cad {

namespace {

namespace bg = boost::geometry;
using Pt = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Pt>;  // clockwise outer rings, closed
using Area = bg::model::multi_polygon<Polygon>;
using Ring = Polygon::ring_type;

constexpr double TwoPi = 2 * std::numbers::pi;
// Largest distance between an arc and its chords, in drawing units.
constexpr double ChordTolerance = 1e-3;

// The angle step that keeps the chords of a circle of this radius within the tolerance.
double stepFor(double radius) {
    double step = radius > ChordTolerance ? 2 * std::acos(1 - ChordTolerance / radius) : TwoPi / 8;
    return std::clamp(step, TwoPi / 1024, TwoPi / 8);
}

struct Circle {
    double x, y, r;
};

void appendArc(std::vector<Pt>& out, const db::Edge& e) {
    // Clockwise edges hold mirrored angles (the hatch-boundary convention the engine uses).
    const double a0 = e.counterClockwise ? e.startAngle : -e.startAngle;
    const double a1 = e.counterClockwise ? e.endAngle : -e.endAngle;
    double sweep = e.counterClockwise ? a1 - a0 : a0 - a1;
    while (sweep <= 1e-12) sweep += TwoPi;
    if (sweep > TwoPi) sweep = TwoPi;
    const int steps = std::max(2, int(std::ceil(sweep / stepFor(e.radius))));
    const double dir = e.counterClockwise ? 1 : -1;
    for (int i = 0; i < steps; ++i) {  // the end point is the next edge's start
        const double a = a0 + dir * sweep * i / steps;
        out.emplace_back(e.center.x + e.radius * std::cos(a), e.center.y + e.radius * std::sin(a));
    }
}

std::vector<Pt> tessellate(const std::vector<db::Edge>& loop, std::vector<Circle>& circles) {
    std::vector<Pt> out;
    for (const db::Edge& e : loop) {
        if (e.type == db::Edge::Line) {
            out.emplace_back(e.start.x, e.start.y);
        } else if (e.type == db::Edge::Arc) {
            appendArc(out, e);
            circles.push_back({e.center.x, e.center.y, e.radius});
        } else {
            throw NotSupported(QStringLiteral("Regionów ograniczonych elipsami lub splajnami nie można łączyć"));
        }
    }
    return out;
}

// The area of the loops under the even-odd rule.
Area toArea(const db::RegionData& region, std::vector<Circle>& circles) {
    Area area;
    for (const auto& loop : region.loops) {
        std::vector<Pt> pts = tessellate(loop, circles);
        if (pts.size() < 3) continue;
        Polygon p;
        p.outer().assign(pts.begin(), pts.end());
        bg::correct(p);
        if (!bg::is_valid(p)) {
            // A self-touching loop: let the library rebuild it as the union of its parts.
            Area fixed;
            bg::union_(p, Polygon{}, fixed);
            Area next;
            bg::sym_difference(area, fixed, next);
            area = std::move(next);
            continue;
        }
        Area next;
        bg::sym_difference(area, p, next);
        area = std::move(next);
    }
    return area;
}

db::Edge lineEdge(const Pt& a, const Pt& b) {
    db::Edge e;
    e.type = db::Edge::Line;
    e.start = {a.x(), a.y(), 0};
    e.end = {b.x(), b.y(), 0};
    return e;
}

// The circle an open segment of a result ring follows, or -1: both ends on the circle and no
// longer than one tessellation step.
int circleOf(const Pt& a, const Pt& b, const std::vector<Circle>& circles) {
    for (size_t k = 0; k < circles.size(); ++k) {
        const Circle& c = circles[k];
        const double tol = ChordTolerance * 1.01 + 1e-9 * c.r;
        if (std::abs(std::hypot(a.x() - c.x, a.y() - c.y) - c.r) > tol) continue;
        if (std::abs(std::hypot(b.x() - c.x, b.y() - c.y) - c.r) > tol) continue;
        const double chord = std::hypot(b.x() - a.x(), b.y() - a.y());
        if (chord > 2 * c.r * std::sin(stepFor(c.r) / 2) * 1.01 + 1e-9) continue;
        if (chord < 1e-12) continue;
        return int(k);
    }
    return -1;
}

db::Edge arcEdge(const Circle& c, const Pt& from, const Pt& second, const Pt& to, bool fullCircle) {
    db::Edge e;
    e.type = db::Edge::Arc;
    e.center = {c.x, c.y, 0};
    e.radius = c.r;
    const double cross = (from.x() - c.x) * (second.y() - c.y) - (from.y() - c.y) * (second.x() - c.x);
    e.counterClockwise = cross > 0;
    const double a0 = std::atan2(from.y() - c.y, from.x() - c.x);
    const double a1 = fullCircle ? a0 : std::atan2(to.y() - c.y, to.x() - c.x);
    e.startAngle = e.counterClockwise ? a0 : -a0;
    e.endAngle = e.counterClockwise ? a1 : -a1;
    return e;
}

db::Point3 arcPoint(const db::Edge& e, bool atEnd) {
    const double a = (e.counterClockwise ? 1 : -1) * (atEnd ? e.endAngle : e.startAngle);
    return {e.center.x + e.radius * std::cos(a), e.center.y + e.radius * std::sin(a), 0};
}

// Makes the chain continuous: an arc's ends lie on its circle, a little off the ring's vertices,
// so a neighbouring line takes the arc's end, and two arcs that do not meet get a short line.
std::vector<db::Edge> joinEdges(const std::vector<db::Edge>& edges) {
    if (edges.size() < 2) return edges;
    std::vector<db::Edge> out = edges;
    const size_t n = out.size();
    for (size_t i = 0; i < n; ++i) {
        db::Edge& a = out[i];
        db::Edge& b = out[(i + 1) % n];
        if (a.type == db::Edge::Arc && b.type == db::Edge::Line) b.start = arcPoint(a, true);
        if (a.type == db::Edge::Line && b.type == db::Edge::Arc) a.end = arcPoint(b, false);
    }
    std::vector<db::Edge> joined;
    for (size_t i = 0; i < n; ++i) {
        joined.push_back(out[i]);
        const db::Edge& b = out[(i + 1) % n];
        if (out[i].type == db::Edge::Arc && b.type == db::Edge::Arc) {
            const db::Point3 p = arcPoint(out[i], true), q = arcPoint(b, false);
            if (std::hypot(p.x - q.x, p.y - q.y) > 1e-12) {
                db::Edge l;
                l.type = db::Edge::Line;
                l.start = p;
                l.end = q;
                joined.push_back(l);
            }
        }
    }
    return joined;
}

// One ring as edges: lines, and arcs where two or more segments follow one input circle.
std::vector<db::Edge> ringEdges(const Ring& ring, const std::vector<Circle>& circles) {
    std::vector<Pt> pts(ring.begin(), ring.end());
    if (pts.size() > 1 && bg::equals(pts.front(), pts.back())) pts.pop_back();
    const size_t n = pts.size();
    std::vector<db::Edge> out;
    if (n < 3) return out;
    std::vector<int> seg(n);
    for (size_t i = 0; i < n; ++i) seg[i] = circleOf(pts[i], pts[(i + 1) % n], circles);
    // Start where a run begins, so no run wraps around the first vertex.
    size_t start = 0;
    bool found = false;
    for (size_t i = 0; i < n; ++i)
        if (seg[i] != seg[(i + n - 1) % n]) {
            start = i;
            found = true;
            break;
        }
    if (!found && seg[0] >= 0) {
        out.push_back(arcEdge(circles[size_t(seg[0])], pts[0], pts[1], pts[0], true));
        return out;
    }
    for (size_t k = 0; k < n;) {
        const size_t i = (start + k) % n;
        size_t len = 1;
        if (seg[i] >= 0)
            while (k + len < n && seg[(start + k + len) % n] == seg[i]) ++len;
        const Pt& a = pts[i];
        const Pt& b = pts[(i + len) % n];
        if (seg[i] >= 0 && len >= 2)
            out.push_back(arcEdge(circles[size_t(seg[i])], a, pts[(i + 1) % n], b, false));
        else
            for (size_t j = 0; j < len; ++j) out.push_back(lineEdge(pts[(i + j) % n], pts[(i + j + 1) % n]));
        k += len;
    }
    return joinEdges(out);
}

}  // namespace

void CombineRegions(db::RegionData& target, const db::RegionData& other, RegionOperation op) {
    std::vector<Circle> circles;
    Area result;
    try {
        const Area a = toArea(target, circles);
        const Area b = toArea(other, circles);
        switch (op) {
            case RegionOperation::Union:
                bg::union_(a, b, result);
                break;
            case RegionOperation::Intersection:
                bg::intersection(a, b, result);
                break;
            case RegionOperation::Subtraction:
                bg::difference(a, b, result);
                break;
        }
    } catch (const boost::geometry::exception&) {
        // Boundaries the library cannot node (self-crossing loops): the CAD refuses the operation.
        // The library's own text is English; the cause is named instead.
        throw Failed(QStringLiteral(
            "Nie można połączyć regionów: ich obwiednie przecinają się same ze sobą albo nie dają się rozłożyć"));
    }
    std::vector<std::vector<db::Edge>> loops;
    for (const Polygon& p : result) {
        if (std::abs(bg::area(p)) < 1e-12) continue;
        loops.push_back(ringEdges(p.outer(), circles));
        for (const Ring& hole : p.inners()) loops.push_back(ringEdges(hole, circles));
    }
    std::erase_if(loops, [](const auto& l) { return l.empty(); });
    target.loops = std::move(loops);
    target.acis.clear();  // the modeller data no longer describes the region
}

double RegionArea(const db::RegionData& region) {
    // Each loop's area exactly from its edges (Green's theorem, arcs in closed form); the loops of a
    // region do not cross, so nesting depth decides whether a loop adds or removes its area.
    struct Loop {
        double area;
        Polygon shape;
    };
    std::vector<Loop> loops;
    std::vector<Circle> circles;
    for (const auto& edges : region.loops) {
        double twice = 0;
        for (const db::Edge& e : edges) {
            if (e.type == db::Edge::Line) {
                twice += e.start.x * e.end.y - e.end.x * e.start.y;
            } else if (e.type == db::Edge::Arc) {
                const double a0 = e.counterClockwise ? e.startAngle : -e.startAngle;
                const double a1 = e.counterClockwise ? e.endAngle : -e.endAngle;
                double sweep = e.counterClockwise ? a1 - a0 : a0 - a1;
                while (sweep <= 1e-12) sweep += TwoPi;
                if (sweep > TwoPi) sweep = TwoPi;
                const double end = a0 + (e.counterClockwise ? sweep : -sweep);
                twice += e.radius * e.radius * (end - a0) +
                         e.center.x * e.radius * (std::sin(end) - std::sin(a0)) -
                         e.center.y * e.radius * (std::cos(end) - std::cos(a0));
            } else {
                throw NotSupported(
                    QStringLiteral("Pole regionu ograniczonego elipsami lub splajnami nie jest obliczane"));
            }
        }
        std::vector<Pt> pts = tessellate(edges, circles);
        if (pts.size() < 3) continue;
        Polygon p;
        p.outer().assign(pts.begin(), pts.end());
        bg::correct(p);
        loops.push_back({std::abs(twice) / 2, std::move(p)});
    }
    double area = 0;
    for (size_t i = 0; i < loops.size(); ++i) {
        const Pt probe = loops[i].shape.outer().front();  // loops do not cross: any vertex tells
        int depth = 0;
        for (size_t j = 0; j < loops.size(); ++j)
            if (j != i && bg::within(probe, loops[j].shape)) ++depth;
        area += (depth % 2 == 0 ? 1 : -1) * loops[i].area;
    }
    return std::max(0.0, area);
}

}  // namespace cad
