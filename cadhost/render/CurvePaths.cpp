// Arcs through QPainterPath::arcTo on a unit circle mapped onto the ellipse's axes; clamped
// polynomial splines of degree 1 to 3 split into Bézier pieces by knot insertion and handed to
// lineTo/quadTo/cubicTo, others sampled closely enough to stay smooth at any zoom.
#include "cadhost/render/CurvePaths.h"

#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace cadhost::render {

namespace {

constexpr double RadToDeg = 180 / std::numbers::pi;

struct H {  // a homogeneous control point: x·w, y·w, w
    double x = 0, y = 0, w = 1;
};

H mix(const H& a, const H& b, double t) {  // (1 - t)·a + t·b
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.w + (b.w - a.w) * t};
}

QPointF point(const H& h) {
    const double w = h.w == 0 ? 1 : h.w;
    return QPointF(h.x / w, h.y / w);
}

void start(QPainterPath& path, QPointF p, bool join) {
    if (join && path.elementCount() > 0)
        path.lineTo(p);
    else
        path.moveTo(p);
}

// De Casteljau on one Bézier piece.
H bezierAt(std::vector<H> q, double t) {
    for (size_t r = 1; r < q.size(); ++r)
        for (size_t i = 0; i + r < q.size(); ++i) q[i] = mix(q[i], q[i + 1], t);
    return q.front();
}

// The Bézier pieces of a clamped B-spline (knot insertion until every inner knot is p-fold).
std::vector<std::vector<H>> bezierPieces(int p, const std::vector<double>& u, const std::vector<H>& pw) {
    std::vector<std::vector<H>> out;
    const int m = int(u.size()) - 1;
    std::vector<H> piece(pw.begin(), pw.begin() + p + 1), next(size_t(p + 1));
    std::vector<double> alphas(size_t(p + 1));
    int a = p, b = p + 1;
    while (b < m) {
        const int i = b;
        while (b < m && u[size_t(b + 1)] == u[size_t(b)]) ++b;
        const int mult = b - i + 1;
        if (mult < p) {
            const double numer = u[size_t(b)] - u[size_t(a)];
            for (int j = p; j > mult; --j)
                alphas[size_t(j - mult - 1)] = numer / (u[size_t(a + j)] - u[size_t(a)]);
            const int r = p - mult;
            for (int j = 1; j <= r; ++j) {
                const int save = r - j, s = mult + j;
                for (int k = p; k >= s; --k)
                    piece[size_t(k)] = mix(piece[size_t(k - 1)], piece[size_t(k)], alphas[size_t(k - s)]);
                if (b < m) next[size_t(save)] = piece[size_t(p)];
            }
        }
        out.push_back(piece);
        if (b < m) {
            for (int k = p - mult; k <= p; ++k) next[size_t(k)] = pw[size_t(b - p + k)];
            piece = next;
            a = b;
            ++b;
        }
    }
    return out;
}

// Knots the Bézier split takes: non-decreasing, the first and last p+1 equal (the curve starts and
// ends on its end points), no inner knot more than p-fold.
bool splittable(int p, const std::vector<double>& u) {
    const size_t n = u.size();
    for (size_t i = 1; i < n; ++i)
        if (!(u[i] >= u[i - 1])) return false;
    for (int k = 1; k <= p; ++k)
        if (u[size_t(k)] != u[0] || u[n - 1 - size_t(k)] != u[n - 1]) return false;
    size_t run = 1;
    for (size_t i = size_t(p) + 2; i + size_t(p) + 1 < n; ++i) {
        run = u[i] == u[i - 1] ? run + 1 : 1;
        if (run > size_t(p)) return false;
    }
    return u[n - 1] > u[0];
}

// de Boor evaluation for knot vectors that are not clamped.
H deBoor(int p, const std::vector<double>& u, const std::vector<H>& pw, double t) {
    const int n = int(pw.size());
    int k = p;
    while (k < n - 1 && t >= u[size_t(k + 1)]) ++k;
    std::vector<H> d(size_t(p + 1));
    for (int j = 0; j <= p; ++j) d[size_t(j)] = pw[size_t(j + k - p)];
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const size_t i = size_t(j + k - p);
            const double den = u[i + size_t(p + 1 - r)] - u[i];
            d[size_t(j)] = mix(d[size_t(j - 1)], d[size_t(j)], den == 0 ? 0 : (t - u[i]) / den);
        }
    return d[size_t(p)];
}

}  // namespace

void AddEllipseArc(QPainterPath& path, QPointF c, QPointF major, double ratio, double t0, double sweep,
                   bool join) {
    // Qt's arc on the unit square turns clockwise in y-up terms, so the angles are negated; the
    // unit circle then maps onto the axes (the minor one is the major turned a quarter left).
    const QTransform axes(major.x(), major.y(), -major.y() * ratio, major.x() * ratio, c.x(), c.y());
    QPainterPath unit;
    unit.moveTo(std::cos(t0), std::sin(t0));
    unit.arcTo(QRectF(-1, -1, 2, 2), -t0 * RadToDeg, -sweep * RadToDeg);
    const QPainterPath mapped = axes.map(unit);
    start(path, mapped.elementAt(0), join);
    path.connectPath(mapped);
}

bool AddSpline(QPainterPath& path, const SplineDef& s, bool join) {
    const int p = s.degree;
    const size_t n = s.control.size();
    if (p >= 1 && n >= size_t(p + 1) && s.knots.size() == n + size_t(p) + 1) {
        std::vector<H> pw(n);
        bool uniformWeights = true;
        for (size_t i = 0; i < n; ++i) {
            const double w = s.weights.size() == n && s.weights[i] > 0 ? s.weights[i] : 1.0;
            if (s.weights.size() == n && s.weights[i] != s.weights[0]) uniformWeights = false;
            pw[i] = {s.control[i].x() * w, s.control[i].y() * w, w};
        }
        if (splittable(p, s.knots)) {
            const auto pieces = bezierPieces(p, s.knots, pw);
            start(path, point(pieces.front().front()), join);
            for (const auto& q : pieces) {
                if (uniformWeights && p == 1)
                    path.lineTo(point(q[1]));
                else if (uniformWeights && p == 2)
                    path.quadTo(point(q[1]), point(q[2]));
                else if (uniformWeights && p == 3)
                    path.cubicTo(point(q[1]), point(q[2]), point(q[3]));
                else
                    for (int k = 1; k <= 32; ++k) path.lineTo(point(bezierAt(q, k / 32.0)));
            }
            return true;
        }
        const double u0 = s.knots[size_t(p)], u1 = s.knots[n];
        if (!(u1 > u0)) return false;
        const int steps = int(std::min<size_t>(4000, n * 32));
        start(path, point(deBoor(p, s.knots, pw, u0)), join);
        for (int i = 1; i <= steps; ++i)
            path.lineTo(point(
                deBoor(p, s.knots, pw, i == steps ? u1 - 1e-12 * (u1 - u0) : u0 + (u1 - u0) * i / steps)));
        return true;
    }
    // Fit points only: a smooth curve through them (Catmull-Rom tangents as cubic pieces).
    const auto& fit = s.fit;
    if (fit.size() < 2) return false;
    start(path, fit[0], join);
    for (size_t i = 0; i + 1 < fit.size(); ++i) {
        const QPointF p0 = fit[i == 0 ? 0 : i - 1], p1 = fit[i], p2 = fit[i + 1];
        const QPointF p3 = fit[std::min(i + 2, fit.size() - 1)];
        path.cubicTo(p1 + (p2 - p0) / 6, p2 - (p3 - p1) / 6, p2);
    }
    return true;
}

SplineDef SplineOfEdge(const cad::db::Tags& tags) {
    SplineDef s;
    double x = 0;
    for (const auto& t : tags) {
        const double v = t.value.trimmed().toDouble();
        switch (t.code) {
            case 94:
                s.degree = int(v);
                break;
            case 40:
                s.knots.push_back(v);
                break;
            case 10:
                x = v;
                break;
            case 20:
                s.control.emplace_back(x, v);
                break;
            case 42:
                s.weights.push_back(v);
                break;
            case 11:
                x = v;
                break;
            case 21:
                s.fit.emplace_back(x, v);
                break;
            default:
                break;
        }
    }
    return s;
}

}  // namespace cadhost::render
