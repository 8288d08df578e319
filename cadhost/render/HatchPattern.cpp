// Hatch boundaries and pattern lines. A pattern family is the set of parallel lines through
// base + k·offset; along each line its dash list repeats from the line's own origin, so dashes
// of neighbouring lines shift by the offset's along-line part (which makes bricks and herringbone).
#include "cadhost/render/HatchPattern.h"

#include "cadhost/render/CurvePaths.h"
#include "platform/cad/engine/Curves.h"

#include <cmath>
#include <numbers>

namespace cadhost::render {

using namespace cad::db;

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr size_t MaxSegments = 1000000;  // per family; more could not be told apart on screen

// Counter-clockwise sweep from a to b, a whole turn when they meet.
double sweepOf(double a, double b) {
    double s = std::fmod(b - a, TwoPi);
    if (s <= 1e-12) s += TwoPi;
    return s;
}

void addEdge(QPainterPath& path, const Edge& ed, bool join) {
    switch (ed.type) {
        case Edge::Line:
            if (join && path.elementCount() > 0)
                path.lineTo(ed.start.x, ed.start.y);
            else
                path.moveTo(ed.start.x, ed.start.y);
            path.lineTo(ed.end.x, ed.end.y);
            break;
        case Edge::Arc:
        case Edge::Ellipse: {
            const bool circle = ed.type == Edge::Arc;
            const QPointF major = circle ? QPointF(ed.radius, 0) : QPointF(ed.majorAxis.x, ed.majorAxis.y);
            const double ratio = circle ? 1 : ed.ratio;
            const QPointF c(ed.center.x, ed.center.y);
            const double sweep = sweepOf(ed.startAngle, ed.endAngle);
            // A clockwise edge keeps its angles mirrored: it runs from -start back to -end.
            if (ed.counterClockwise)
                AddEllipseArc(path, c, major, ratio, ed.startAngle, sweep, join);
            else
                AddEllipseArc(path, c, major, ratio, -ed.startAngle, -sweep, join);
            break;
        }
        case Edge::Spline:
            AddSpline(path, splineOfEdge(ed.raw), join);
            break;
    }
}

}  // namespace

QPainterPath HatchBoundary(const HatchData& h) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const HatchLoop& loop : h.loops) {
        QPainterPath sub;
        if (loop.isPolyline()) {
            const auto& v = loop.vertices;
            if (v.size() < 2) continue;
            sub.moveTo(v[0].x, v[0].y);
            for (size_t i = 0; i < v.size(); ++i) {
                const Vertex& a = v[i];
                const Vertex& b = v[(i + 1) % v.size()];
                if (i + 1 == v.size() && (!loop.closed || (a.x == v[0].x && a.y == v[0].y))) break;
                if (std::abs(a.bulge) < 1e-9) {
                    sub.lineTo(b.x, b.y);
                    continue;
                }
                const BulgeArc arc = bulgeToArc({a.x, a.y, 0}, {b.x, b.y, 0}, a.bulge);
                const double a0 = std::atan2(a.y - arc.center.y, a.x - arc.center.x);
                AddEllipseArc(sub, QPointF(arc.center.x, arc.center.y), QPointF(arc.radius, 0), 1, a0,
                              4 * std::atan(a.bulge), true);
            }
        } else {
            // Edges join end to start; one given the other way round (as some programs write them)
            // is taken reversed, so the loop still closes round its area.
            for (const Edge& ed : loop.edges) {
                QPainterPath piece;
                addEdge(piece, ed, false);
                if (piece.elementCount() == 0) continue;
                if (sub.elementCount() == 0) {
                    sub = piece;
                    continue;
                }
                const QPointF at = sub.currentPosition();
                const QPointF first = piece.elementAt(0), last = piece.currentPosition();
                if (QLineF(at, last).length() < QLineF(at, first).length()) piece = piece.toReversed();
                sub.connectPath(piece);
            }
        }
        if (sub.elementCount() < 2) continue;
        sub.closeSubpath();
        path.addPath(sub);
    }
    return path;
}

bool PatternFamily(const PatternLine& pl, const QRectF& box, const QTransform& screen, double unitScale,
                   std::vector<QLineF>& out) {
    const double a = pl.angle * std::numbers::pi / 180;
    const double ux = std::cos(a), uy = std::sin(a);
    const double nx = -uy, ny = ux;
    const double spacing = pl.offset.x * nx + pl.offset.y * ny;
    const double shift = pl.offset.x * ux + pl.offset.y * uy;
    if (std::abs(spacing) < 1e-12) return true;
    if (std::abs(spacing) * unitScale < 2.5) return false;  // too dense to show line by line
    double nMin = 1e300, nMax = -1e300, uMin = 1e300, uMax = -1e300;
    for (const QPointF& p : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        const double rx = p.x() - pl.base.x, ry = p.y() - pl.base.y;
        nMin = std::min(nMin, rx * nx + ry * ny);
        nMax = std::max(nMax, rx * nx + ry * ny);
        uMin = std::min(uMin, rx * ux + ry * uy);
        uMax = std::max(uMax, rx * ux + ry * uy);
    }
    const long k0 = long(std::floor(nMin / std::abs(spacing)));
    const long k1 = long(std::ceil(nMax / std::abs(spacing)));
    if (k1 - k0 > 20000) return false;
    double period = 0;
    for (double d : pl.dashes) period += std::abs(d);
    // Dashes under a few pixels a period read as a continuous line.
    const bool dashed = !pl.dashes.empty() && period * unitScale >= 3;
    const double dot = 0.75 / unitScale;
    for (long k = k0; k <= k1; ++k) {
        const double kk = spacing > 0 ? k : -k;
        const double ox = pl.base.x + kk * pl.offset.x, oy = pl.base.y + kk * pl.offset.y;
        // The box's extent along the line, measured from this line's origin.
        const double s0 = uMin - kk * shift, s1 = uMax - kk * shift;
        auto segment = [&](double from, double to) {
            out.emplace_back(screen.map(QPointF(ox + ux * from, oy + uy * from)),
                             screen.map(QPointF(ox + ux * to, oy + uy * to)));
        };
        if (!dashed) {
            segment(s0, s1);
            continue;
        }
        for (double pos = std::floor(s0 / period) * period; pos < s1;) {
            for (double d : pl.dashes) {
                const double len = d == 0 ? dot : std::abs(d);
                if (d >= 0) {
                    const double from = std::max(pos, s0), to = std::min(pos + len, s1);
                    if (to > from) segment(from, to);
                }
                pos += std::abs(d);
            }
            if (out.size() > MaxSegments) return true;
        }
    }
    return true;
}

}  // namespace cadhost::render
