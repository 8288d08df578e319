// Geometry of the raw-tag kinds from their group codes.
#include "cadhost/render/RawShapes.h"

#include <QPointF>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace cadhost::render {

namespace {

using cad::db::Tags;

// The first value of each code, and every value of the repeated codes (in order).
struct TagView {
    std::map<int, std::vector<double>> values;
    double get(int code, double fallback = 0) const {
        const auto it = values.find(code);
        return it == values.end() || it->second.empty() ? fallback : it->second.front();
    }
    bool has(int code) const { return values.count(code) != 0; }
    const std::vector<double>& all(int code) const {
        static const std::vector<double> none;
        const auto it = values.find(code);
        return it == values.end() ? none : it->second;
    }
};

TagView viewOf(const Tags& tags) {
    TagView v;
    for (const auto& t : tags) {
        bool ok = false;
        const double d = t.value.trimmed().toDouble(&ok);
        if (ok && std::isfinite(d)) v.values[t.code].push_back(d);
    }
    return v;
}

// Segments for an arc of `sweep` radians at `radius` so the chord error stays under `tolerance`.
int segmentsFor(double radius, double sweep, double tolerance) {
    if (radius <= tolerance) return 4;
    const double step = 2 * std::acos(std::max(0.0, 1 - tolerance / radius));
    return std::clamp(int(std::ceil(std::abs(sweep) / std::max(step, 1e-3))), 4, 720);
}

bool quad(const TagView& v, RawShape& out) {
    if (!v.has(10) || !v.has(11) || !v.has(12)) return false;
    const QPointF p1(v.get(10), v.get(20)), p2(v.get(11), v.get(21)), p3(v.get(12), v.get(22));
    const QPointF p4 = v.has(13) ? QPointF(v.get(13), v.get(23)) : p3;
    // The corners go 1, 2, 4, 3 around the shape.
    const QPolygonF poly{p1, p2, p4, p3, p1};
    out.filled.addPolygon(poly);
    out.filled.closeSubpath();
    out.outlines.push_back(poly);
    return true;
}

bool face(const TagView& v, RawShape& out) {
    if (!v.has(10) || !v.has(11) || !v.has(12)) return false;
    const QPointF p[4] = {{v.get(10), v.get(20)},
                          {v.get(11), v.get(21)},
                          {v.get(12), v.get(22)},
                          v.has(13) ? QPointF(v.get(13), v.get(23)) : QPointF(v.get(12), v.get(22))};
    const int hidden = int(v.get(70));
    for (int i = 0; i < 4; ++i) {
        if (hidden & (1 << i)) continue;
        const QPointF a = p[i], b = p[(i + 1) % 4];
        if (a != b) out.outlines.push_back(QPolygonF{a, b});
    }
    return true;
}

bool ellipse(const TagView& v, double tolerance, RawShape& out) {
    const double cx = v.get(10), cy = v.get(20), mx = v.get(11), my = v.get(21), ratio = v.get(40, 1);
    const double major = std::hypot(mx, my);
    if (!(major > 0) || !(ratio > 0)) return false;
    double t0 = v.get(41, 0), t1 = v.get(42, 2 * std::numbers::pi);
    while (t1 <= t0) t1 += 2 * std::numbers::pi;
    // The minor axis is the major one turned a quarter counter-clockwise, times the ratio.
    const double nx = -my * ratio, ny = mx * ratio;
    const int n = segmentsFor(major, t1 - t0, tolerance);
    QPolygonF poly;
    for (int i = 0; i <= n; ++i) {
        const double t = t0 + (t1 - t0) * i / n;
        poly << QPointF(cx + mx * std::cos(t) + nx * std::sin(t), cy + my * std::cos(t) + ny * std::sin(t));
    }
    out.outlines.push_back(poly);
    return true;
}

// de Boor evaluation of the B-spline (rational when weights are given) at parameter u.
QPointF deBoor(int degree, const std::vector<double>& knots, const std::vector<QPointF>& ctrl,
               const std::vector<double>& weights, double u) {
    const int n = int(ctrl.size());
    int k = degree;
    while (k < n - 1 && u >= knots[size_t(k + 1)]) ++k;
    std::vector<double> x(size_t(degree + 1)), y(size_t(degree + 1)), w(size_t(degree + 1));
    for (int j = 0; j <= degree; ++j) {
        const size_t i = size_t(j + k - degree);
        const double wt = weights.size() == ctrl.size() ? weights[i] : 1.0;
        x[size_t(j)] = ctrl[i].x() * wt;
        y[size_t(j)] = ctrl[i].y() * wt;
        w[size_t(j)] = wt;
    }
    for (int r = 1; r <= degree; ++r)
        for (int j = degree; j >= r; --j) {
            const size_t i = size_t(j + k - degree);
            const double den = knots[i + size_t(degree) + 1 - size_t(r)] - knots[i];
            const double a = den == 0 ? 0 : (u - knots[i]) / den;
            x[size_t(j)] = (1 - a) * x[size_t(j - 1)] + a * x[size_t(j)];
            y[size_t(j)] = (1 - a) * y[size_t(j - 1)] + a * y[size_t(j)];
            w[size_t(j)] = (1 - a) * w[size_t(j - 1)] + a * w[size_t(j)];
        }
    const double wd = w[size_t(degree)] == 0 ? 1 : w[size_t(degree)];
    return QPointF(x[size_t(degree)] / wd, y[size_t(degree)] / wd);
}

bool spline(const TagView& v, double tolerance, RawShape& out) {
    const int degree = int(v.get(71, 3));
    const auto& kx = v.all(10);
    const auto& ky = v.all(20);
    std::vector<QPointF> ctrl;
    for (size_t i = 0; i < std::min(kx.size(), ky.size()); ++i) ctrl.emplace_back(kx[i], ky[i]);
    const std::vector<double>& knots = v.all(40);
    if (ctrl.size() >= 2 && degree >= 1 && knots.size() == ctrl.size() + size_t(degree) + 1) {
        const double u0 = knots[size_t(degree)], u1 = knots[ctrl.size()];
        if (!(u1 > u0)) return false;
        double length = 0;
        for (size_t i = 1; i < ctrl.size(); ++i)
            length += std::hypot(ctrl[i].x() - ctrl[i - 1].x(), ctrl[i].y() - ctrl[i - 1].y());
        const int n = std::clamp(int(length / std::max(tolerance, 1e-9) / 4), int(ctrl.size()) * 8, 4000);
        QPolygonF poly;
        for (int i = 0; i <= n; ++i)
            poly << deBoor(degree, knots, ctrl, v.all(41),
                           i == n ? u1 - 1e-12 * (u1 - u0) : u0 + (u1 - u0) * i / n);
        out.outlines.push_back(poly);
        return true;
    }
    // Fit points only: a smooth curve through them (Catmull-Rom as cubic segments).
    const auto& fx = v.all(11);
    const auto& fy = v.all(21);
    std::vector<QPointF> fit;
    for (size_t i = 0; i < std::min(fx.size(), fy.size()); ++i) fit.emplace_back(fx[i], fy[i]);
    if (fit.size() < 2) return false;
    QPainterPath path(fit[0]);
    for (size_t i = 0; i + 1 < fit.size(); ++i) {
        const QPointF p0 = fit[i == 0 ? 0 : i - 1], p1 = fit[i], p2 = fit[i + 1];
        const QPointF p3 = fit[std::min(i + 2, fit.size() - 1)];
        path.cubicTo(p1 + (p2 - p0) / 6, p2 - (p3 - p1) / 6, p2);
    }
    for (const QPolygonF& poly : path.toSubpathPolygons()) out.outlines.push_back(poly);
    return true;
}

QPointF pointOf(const TagView& v, int code) {
    return QPointF(v.get(code), v.get(code + 10));
}

// An arc about `c` from the direction of `a` to that of `b`, the way that passes `through`.
QPolygonF arcThrough(QPointF c, QPointF a, QPointF b, QPointF through, double tolerance) {
    const double r = std::hypot(through.x() - c.x(), through.y() - c.y());
    const double twoPi = 2 * std::numbers::pi;
    auto angle = [&c](QPointF p) { return std::atan2(p.y() - c.y(), p.x() - c.x()); };
    auto norm = [twoPi](double x) { return std::fmod(std::fmod(x, twoPi) + twoPi, twoPi); };
    double a0 = angle(a), sweep = norm(angle(b) - a0);
    // Counter-clockwise from a to b misses the point: the other way round.
    if (norm(angle(through) - a0) > sweep) {
        a0 = angle(b);
        sweep = twoPi - sweep;
    }
    const int n = segmentsFor(r, sweep, tolerance);
    QPolygonF poly;
    for (int i = 0; i <= n; ++i) {
        const double t = a0 + sweep * i / n;
        poly << QPointF(c.x() + r * std::cos(t), c.y() + r * std::sin(t));
    }
    return poly;
}

// Where two lines (each by two points) cross; nullopt when parallel.
std::optional<QPointF> crossing(QPointF a, QPointF b, QPointF c, QPointF d) {
    const QPointF r = b - a, s = d - c;
    const double den = r.x() * s.y() - r.y() * s.x();
    if (std::abs(den) < 1e-12) return std::nullopt;
    const double t = ((c.x() - a.x()) * s.y() - (c.y() - a.y()) * s.x()) / den;
    return a + r * t;
}

// The lines of a dimension without its block: extension and dimension lines of linear ones, the
// measured line of radial and diameter ones, the arc of angular ones.
bool dimension(const TagView& v, double tolerance, RawShape& out) {
    const int type = int(v.get(70)) & 7;
    const QPointF p10 = pointOf(v, 10), p13 = pointOf(v, 13), p14 = pointOf(v, 14), p15 = pointOf(v, 15);
    switch (type) {
        case 0:
        case 1: {
            // The dimension line passes the point 10 at the angle 50 (aligned: parallel to 13-14).
            double ang = v.get(50) * std::numbers::pi / 180;
            if (type == 1) ang = std::atan2(p14.y() - p13.y(), p14.x() - p13.x());
            const QPointF dir(std::cos(ang), std::sin(ang));
            auto onLine = [&](QPointF p) {
                const QPointF d = p - p10;
                return p10 + dir * (d.x() * dir.x() + d.y() * dir.y());
            };
            const QPointF a = onLine(p13), b = onLine(p14);
            out.outlines.push_back(QPolygonF{p13, a});
            out.outlines.push_back(QPolygonF{p14, b});
            out.outlines.push_back(QPolygonF{a, b});
            return true;
        }
        case 2: {
            const auto c = crossing(p13, p14, p10, p15);
            if (!c) return false;
            out.outlines.push_back(arcThrough(*c, p14, p15, pointOf(v, 16), tolerance));
            return true;
        }
        case 3:
        case 4:
            out.outlines.push_back(QPolygonF{p10, p15});
            return true;
        case 5:
            out.outlines.push_back(arcThrough(p15, p13, p14, p10, tolerance));
            return true;
        default:
            return false;
    }
}

// LEADER: its vertices. MULTILEADER: each leader line's vertices to its landing point.
bool leader(const cad::db::Tags& tags, bool multi, RawShape& out) {
    if (!multi) {
        const TagView v = viewOf(tags);
        const auto& xs = v.all(10);
        const auto& ys = v.all(20);
        QPolygonF poly;
        for (size_t i = 0; i < std::min(xs.size(), ys.size()); ++i) poly << QPointF(xs[i], ys[i]);
        if (poly.size() < 2) return false;
        out.outlines.push_back(poly);
        return true;
    }
    int depth = 0;  // 1 in a LEADER{ section, 2 in a LEADER_LINE{ section
    std::optional<QPointF> landing;
    QPolygonF line;
    double x = 0;
    for (const auto& t : tags) {
        if (t.code == 302 && t.value.startsWith(QLatin1String("LEADER{")))
            depth = 1, landing.reset();
        else if (t.code == 304 && t.value.startsWith(QLatin1String("LEADER_LINE{")))
            depth = 2, line.clear();
        else if (t.code == 305 || t.code == 303) {
            if (depth == 2) {
                if (landing) line << *landing;
                if (line.size() >= 2) out.outlines.push_back(line);
                depth = 1;
            } else {
                depth = 0;
            }
        } else if (depth > 0 && t.code == 10) {
            x = t.value.toDouble();
        } else if (depth > 0 && t.code == 20) {
            if (depth == 1)
                landing = QPointF(x, t.value.toDouble());
            else
                line << QPointF(x, t.value.toDouble());
        }
    }
    return !out.outlines.empty();
}

}  // namespace

bool ShapeOfRaw(const cad::db::RawData& raw, double tolerance, RawShape& out) {
    const QString kind = raw.dxfName.toUpper();
    if (kind == QLatin1String("LEADER") || kind == QLatin1String("MULTILEADER"))
        return leader(raw.tags, kind == QLatin1String("MULTILEADER"), out);
    if (kind != QLatin1String("SOLID") && kind != QLatin1String("TRACE") && kind != QLatin1String("3DFACE") &&
        kind != QLatin1String("ELLIPSE") && kind != QLatin1String("SPLINE") &&
        kind != QLatin1String("DIMENSION"))
        return false;
    const TagView v = viewOf(raw.tags);
    if (kind == QLatin1String("SOLID") || kind == QLatin1String("TRACE")) return quad(v, out);
    if (kind == QLatin1String("3DFACE")) return face(v, out);
    if (kind == QLatin1String("ELLIPSE")) return ellipse(v, tolerance, out);
    if (kind == QLatin1String("DIMENSION")) return dimension(v, tolerance, out);
    return spline(v, tolerance, out);
}

}  // namespace cadhost::render
