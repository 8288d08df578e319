// Wide polyline segments as filled bands.
#include "cadhost/render/WidePolyline.h"

#include <QPolygonF>
#include <cmath>

namespace cadhost::render {

namespace {

// Points along one segment (with their parameter 0..1), arc segments by their bulge.
std::vector<std::pair<QPointF, double>> samples(const cad::db::Vertex& a, const cad::db::Vertex& b,
                                                double tolerance) {
    std::vector<std::pair<QPointF, double>> out;
    const double cx = b.x - a.x, cy = b.y - a.y, chord = std::hypot(cx, cy);
    if (a.bulge == 0 || chord == 0) {
        out.push_back({QPointF(a.x, a.y), 0});
        out.push_back({QPointF(b.x, b.y), 1});
        return out;
    }
    const double theta = 4 * std::atan(a.bulge);
    const double r = chord / (2 * std::sin(theta / 2));
    const double step = 2 * std::acos(std::max(0.0, 1 - tolerance / std::abs(r)));
    const int n = std::clamp(int(std::ceil(std::abs(theta) / std::max(step, 1e-3))), 4, 360);
    for (int k = 0; k <= n; ++k) {
        const double t = double(k) / n;
        const double phi = theta * (t - 0.5);
        const double off = r * (std::cos(phi) - std::cos(theta / 2));
        const double along = chord / 2 + r * std::sin(phi);
        out.push_back(
            {QPointF(a.x + (cx * along + cy * off) / chord, a.y + (cy * along - cx * off) / chord), t});
    }
    return out;
}

}  // namespace

QPainterPath WidePolyline(const std::vector<cad::db::Vertex>& v, bool closed, double constantWidth,
                          double tolerance) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const size_t n = v.size();
    if (n < 2) return path;
    const size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
        const cad::db::Vertex& a = v[i];
        const cad::db::Vertex& b = v[(i + 1) % n];
        const double w0 = constantWidth > 0 ? constantWidth : a.startWidth;
        const double w1 = constantWidth > 0 ? constantWidth : a.endWidth;
        if (w0 <= 0 && w1 <= 0) continue;
        const auto pts = samples(a, b, tolerance);
        QPolygonF left, right;
        for (size_t k = 0; k < pts.size(); ++k) {
            // The normal from the neighbouring samples (the tangent's direction).
            const QPointF d = pts[std::min(k + 1, pts.size() - 1)].first - pts[k == 0 ? 0 : k - 1].first;
            const double len = std::hypot(d.x(), d.y());
            if (len == 0) continue;
            const QPointF normal(-d.y() / len, d.x() / len);
            const double half = (w0 + (w1 - w0) * pts[k].second) / 2;
            left << pts[k].first + normal * half;
            right.prepend(pts[k].first - normal * half);
        }
        QPolygonF band = left + right;
        if (band.size() < 3) continue;
        band << band.front();
        path.addPolygon(band);
        path.closeSubpath();
    }
    return path;
}

}  // namespace cadhost::render
