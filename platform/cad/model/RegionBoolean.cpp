// Region union, intersection and subtraction over tessellated loops.
#include "platform/cad/model/RegionBoolean.h"

#include <cmath>
#include <numbers>

namespace cad {

namespace {

struct P {
    double x, y;
};
using Poly = std::vector<P>;

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double ArcStep = TwoPi / 360;  // one degree: chord error below 0.004 % of the radius

void appendArc(Poly& out, const db::Edge& e) {
    // Clockwise edges hold mirrored angles (the hatch-boundary convention the engine uses).
    double a0 = e.counterClockwise ? e.startAngle : -e.startAngle;
    double a1 = e.counterClockwise ? e.endAngle : -e.endAngle;
    double sweep = e.counterClockwise ? a1 - a0 : a0 - a1;
    while (sweep <= 0) sweep += TwoPi;
    if (sweep > TwoPi) sweep = TwoPi;
    const int steps = std::max(2, int(std::ceil(sweep / ArcStep)));
    const double dir = e.counterClockwise ? 1 : -1;
    for (int i = 0; i < steps; ++i) {  // the end point is the next edge's start
        const double a = a0 + dir * sweep * i / steps;
        out.push_back({e.center.x + e.radius * std::cos(a), e.center.y + e.radius * std::sin(a)});
    }
}

Poly tessellate(const std::vector<db::Edge>& loop) {
    Poly out;
    for (const db::Edge& e : loop) {
        if (e.type == db::Edge::Line)
            out.push_back({e.start.x, e.start.y});
        else if (e.type == db::Edge::Arc)
            appendArc(out, e);
        else
            throw NotSupported(QStringLiteral("Regions bounded by ellipses or splines cannot be combined"));
    }
    // A single full-circle edge closes on itself.
    return out;
}

double signedArea(const Poly& p) {
    double a = 0;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) a += (p[j].x * p[i].y - p[i].x * p[j].y);
    return a / 2;
}

bool convex(const Poly& p) {
    if (p.size() < 3) return false;
    int sign = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const P& a = p[i];
        const P& b = p[(i + 1) % p.size()];
        const P& c = p[(i + 2) % p.size()];
        const double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
        if (std::abs(cross) < 1e-12) continue;
        const int s = cross > 0 ? 1 : -1;
        if (sign == 0)
            sign = s;
        else if (s != sign)
            return false;
    }
    return true;
}

bool insidePoly(const Poly& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const P& a = poly[i];
        const P& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

// Inside the area of a region (even-odd over its loops).
bool insideArea(const std::vector<Poly>& loops, double x, double y) {
    bool in = false;
    for (const Poly& l : loops)
        if (insidePoly(l, x, y)) in = !in;
    return in;
}

// Two points beside the middle of the loop's first edge, one on each side; `filled` is the one
// inside the region the loop belongs to.
struct Probes {
    P filled, empty;
};
Probes probes(const Poly& p, const std::vector<Poly>& own) {
    const P& a = p[0];
    const P& b = p[1 % p.size()];
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const double len = std::max(std::hypot(b.x - a.x, b.y - a.y), 1e-12);
    const double eps = len * 1e-6;
    const P left{mx - (b.y - a.y) / len * eps, my + (b.x - a.x) / len * eps};
    const P right{mx + (b.y - a.y) / len * eps, my - (b.x - a.x) / len * eps};
    if (insideArea(own, left.x, left.y)) return {left, right};
    return {right, left};
}

bool segmentsCross(const P& a, const P& b, const P& c, const P& d) {
    auto orient = [](const P& p, const P& q, const P& r) {
        return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    };
    const double d1 = orient(c, d, a), d2 = orient(c, d, b), d3 = orient(a, b, c), d4 = orient(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool boundariesCross(const std::vector<Poly>& a, const std::vector<Poly>& b) {
    for (const Poly& p : a)
        for (const Poly& q : b)
            for (size_t i = 0; i < p.size(); ++i)
                for (size_t j = 0; j < q.size(); ++j)
                    if (segmentsCross(p[i], p[(i + 1) % p.size()], q[j], q[(j + 1) % q.size()])) return true;
    return false;
}

// Sutherland–Hodgman: the part of `subject` inside the convex `clip` (counter-clockwise).
Poly clipConvex(const Poly& subject, const Poly& clip) {
    Poly out = subject;
    for (size_t i = 0; i < clip.size() && !out.empty(); ++i) {
        const P& a = clip[i];
        const P& b = clip[(i + 1) % clip.size()];
        auto side = [&](const P& p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
        Poly in = std::move(out);
        out.clear();
        for (size_t k = 0; k < in.size(); ++k) {
            const P& cur = in[k];
            const P& prev = in[(k + in.size() - 1) % in.size()];
            const double sc = side(cur), sp = side(prev);
            if (sc >= 0) {
                if (sp < 0) {
                    const double t = sp / (sp - sc);
                    out.push_back({prev.x + t * (cur.x - prev.x), prev.y + t * (cur.y - prev.y)});
                }
                out.push_back(cur);
            } else if (sp >= 0) {
                const double t = sp / (sp - sc);
                out.push_back({prev.x + t * (cur.x - prev.x), prev.y + t * (cur.y - prev.y)});
            }
        }
    }
    return out;
}

std::vector<db::Edge> lineLoop(const Poly& p) {
    std::vector<db::Edge> out;
    for (size_t i = 0; i < p.size(); ++i) {
        const P& a = p[i];
        const P& b = p[(i + 1) % p.size()];
        if (a.x == b.x && a.y == b.y) continue;
        db::Edge e;
        e.type = db::Edge::Line;
        e.start = {a.x, a.y, 0};
        e.end = {b.x, b.y, 0};
        out.push_back(e);
    }
    return out;
}

}  // namespace

void CombineRegions(db::RegionData& target, const db::RegionData& other, RegionOperation op) {
    std::vector<Poly> a, b;
    for (const auto& l : target.loops) a.push_back(tessellate(l));
    for (const auto& l : other.loops) b.push_back(tessellate(l));
    std::erase_if(a, [](const Poly& p) { return p.size() < 3; });
    std::erase_if(b, [](const Poly& p) { return p.size() < 3; });

    std::vector<std::vector<db::Edge>> result;
    if (!boundariesCross(a, b)) {
        // A loop stays when the region changes across it. Probing both sides of each loop also
        // settles loops that coincide (a hole refilled by a disc of the same circle): the copy
        // from the other region is kept only where it lies strictly inside or outside this one.
        auto in = [](const std::vector<Poly>& area, const P& q) { return insideArea(area, q.x, q.y); };
        for (size_t i = 0; i < a.size(); ++i) {
            const Probes pr = probes(a[i], a);
            bool keep = false;
            switch (op) {
                case RegionOperation::Union:
                    keep = !in(b, pr.empty);
                    break;
                case RegionOperation::Intersection:
                    keep = in(b, pr.filled);
                    break;
                case RegionOperation::Subtraction:
                    keep = !in(b, pr.filled);
                    break;
            }
            if (keep) result.push_back(target.loops[i]);
        }
        for (size_t i = 0; i < b.size(); ++i) {
            const Probes pr = probes(b[i], b);
            const bool filledInA = in(a, pr.filled), emptyInA = in(a, pr.empty);
            bool keep = false;
            switch (op) {
                case RegionOperation::Union:
                    keep = !filledInA && !emptyInA;
                    break;
                case RegionOperation::Intersection:
                case RegionOperation::Subtraction:
                    keep = filledInA && emptyInA;
                    break;
            }
            if (keep) result.push_back(other.loops[i]);
        }
    } else if (op == RegionOperation::Intersection && (b.size() == 1 && convex(b[0]))) {
        Poly clip = b[0];
        if (signedArea(clip) < 0) std::reverse(clip.begin(), clip.end());
        for (const Poly& loop : a) {
            const Poly part = clipConvex(loop, clip);
            if (part.size() >= 3 && std::abs(signedArea(part)) > 1e-12) result.push_back(lineLoop(part));
        }
    } else if (op == RegionOperation::Intersection && (a.size() == 1 && convex(a[0]))) {
        Poly clip = a[0];
        if (signedArea(clip) < 0) std::reverse(clip.begin(), clip.end());
        for (const Poly& loop : b) {
            const Poly part = clipConvex(loop, clip);
            if (part.size() >= 3 && std::abs(signedArea(part)) > 1e-12) result.push_back(lineLoop(part));
        }
    } else {
        throw NotSupported(QStringLiteral("Combining regions whose boundaries cross is not available"));
    }
    target.loops = std::move(result);
    target.acis.clear();  // the modeller data no longer describes the region
}

double RegionArea(const db::RegionData& region) {
    // Loops of a region do not cross: an area is outer minus holes, by nesting depth.
    std::vector<Poly> loops;
    for (const auto& l : region.loops) {
        Poly p = tessellate(l);
        if (p.size() >= 3) loops.push_back(std::move(p));
    }
    double area = 0;
    for (size_t i = 0; i < loops.size(); ++i) {
        const P s = probes(loops[i], {loops[i]}).filled;
        int depth = 0;
        for (size_t j = 0; j < loops.size(); ++j)
            if (j != i && insidePoly(loops[j], s.x, s.y)) ++depth;
        area += (depth % 2 == 0 ? 1 : -1) * std::abs(signedArea(loops[i]));
    }
    return area;
}

}  // namespace cad
