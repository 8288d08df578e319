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

bool AddSpline(QPainterPath& path, const cad::db::SplineCurve& s, bool join) {
    if (!cad::db::splineDefect(s).isEmpty()) return false;
    const int p = s.degree;
    const size_t n = s.control.size();
    if (n > 0) {
        const auto weight = [&](size_t i) { return s.weights.empty() ? 1.0 : s.weights[i]; };
        std::vector<H> pw(n);
        bool uniformWeights = true;
        for (size_t i = 0; i < n; ++i) {
            const double w = weight(i);
            uniformWeights = uniformWeights && w == weight(0);
            pw[i] = {s.control[i].x * w, s.control[i].y * w, w};
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
        // Knots that are not clamped: points along the curve, close enough to look smooth.
        const std::vector<cad::db::Point3> along = cad::db::splineSamples(s);
        start(path, QPointF(along.front().x, along.front().y), join);
        for (size_t i = 1; i < along.size(); ++i) path.lineTo(along[i].x, along[i].y);
        return true;
    }
    // Fit points only: a smooth curve through them (Catmull-Rom tangents as cubic pieces).
    std::vector<QPointF> fit;
    for (const cad::db::Point3& f : s.fit) fit.emplace_back(f.x, f.y);
    start(path, fit[0], join);
    for (size_t i = 0; i + 1 < fit.size(); ++i) {
        const QPointF p0 = fit[i == 0 ? 0 : i - 1], p1 = fit[i], p2 = fit[i + 1];
        const QPointF p3 = fit[std::min(i + 2, fit.size() - 1)];
        path.cubicTo(p1 + (p2 - p0) / 6, p2 - (p3 - p1) / 6, p2);
    }
    return true;
}

}  // namespace cadhost::render
