// The sinks of the renderer's primitives: the painter for the view, the hit test for picks.
#include "cadhost/DrawingRenderer.h"

#include <QPainter>
#include <cmath>

namespace cadhost {

void PainterSink::polyline(const QPolygonF& points, const QPen& pen) {
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    p_.drawPolyline(points);
}

void PainterSink::fill(const QPainterPath& path, const QColor& color) {
    p_.fillPath(path, color);
}

void PainterSink::text(const QString& text, const QFont& font, const QTransform& place, const QColor& color) {
    p_.save();
    p_.setTransform(place, true);
    p_.setFont(font);
    p_.setPen(color);
    p_.drawText(QPointF(0, 0), text);
    p_.restore();
}

QRectF PainterSink::area() const {
    return p_.transform().inverted().mapRect(QRectF(p_.viewport()));
}

void PainterSink::clipped(const QPainterPath& clip, const std::vector<QLineF>& lines, const QPen& pen) {
    p_.save();
    p_.setClipPath(clip, Qt::IntersectClip);
    p_.setPen(pen);
    p_.drawLines(lines.data(), int(lines.size()));
    p_.restore();
}

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 > 0 ? QPointF::dotProduct(p - a, ab) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF d = p - (a + ab * t);
    return std::hypot(d.x(), d.y());
}

void HitSink::polyline(const QPolygonF& points, const QPen& pen) {
    if (hit_) return;
    const double r = r_ + pen.widthF() / 2;
    if (points.size() == 1) {
        hit_ = QLineF(points[0], at_).length() <= r;
        return;
    }
    for (qsizetype i = 1; i < points.size(); ++i)
        if (SegmentDistance(at_, points[i - 1], points[i]) <= r) {
            hit_ = true;
            return;
        }
}

void HitSink::fill(const QPainterPath& path, const QColor&) {
    if (!hit_ && path.contains(at_)) hit_ = true;
}

void HitSink::text(const QString& text, const QFont& font, const QTransform& place, const QColor&) {
    if (hit_) return;
    const QRectF box = QFontMetricsF(font).tightBoundingRect(text).adjusted(-r_, -r_, r_, r_);
    bool invertible = false;
    const QPointF local = place.inverted(&invertible).map(at_);
    if (invertible && box.contains(local)) hit_ = true;
}

QRectF HitSink::area() const {
    return QRectF(at_.x() - r_, at_.y() - r_, 2 * r_, 2 * r_);
}

void HitSink::clipped(const QPainterPath& clip, const std::vector<QLineF>&, const QPen&) {
    if (!hit_ && clip.contains(at_)) hit_ = true;
}

}  // namespace cadhost
