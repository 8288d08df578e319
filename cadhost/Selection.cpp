// Window and crossing selection over the renderer's primitives.
#include "cadhost/Selection.h"

#include <QFontMetricsF>

namespace cadhost {

using namespace cad::db;

namespace {

bool segmentCuts(const QRectF& r, QPointF a, QPointF b) {
    if (r.contains(a) || r.contains(b)) return true;
    const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    const QLineF s(a, b);
    for (int i = 0; i < 4; ++i)
        if (s.intersects(QLineF(corners[i], corners[(i + 1) % 4])) == QLineF::BoundedIntersection)
            return true;
    return false;
}

// The screen point back in drawing coordinates.
Point3 unmap(const Transform2D& t, double x, double y) {
    const double det = t.a * t.d - t.b * t.c;
    if (det == 0) return {};
    const double px = x - t.tx, py = y - t.ty;
    return Point3{(t.d * px - t.b * py) / det, (-t.c * px + t.a * py) / det, 0};
}

}  // namespace

void RectSink::polyline(const QPolygonF& points, const QPen&) {
    if (points.isEmpty()) return;
    drawn_ = true;
    for (const QPointF& p : points)
        if (!r_.contains(p)) outside_ = true;
    if (touches_) return;
    if (points.size() == 1) {
        touches_ = r_.contains(points[0]);
        return;
    }
    for (qsizetype i = 1; i < points.size() && !touches_; ++i)
        touches_ = segmentCuts(r_, points[i - 1], points[i]);
}

void RectSink::area(const QPolygonF& outline) {
    drawn_ = true;
    if (!r_.contains(outline.boundingRect())) outside_ = true;
    if (!touches_) touches_ = outline.intersects(QPolygonF(r_));
}

void RectSink::fill(const QPainterPath& path, const QColor&) {
    drawn_ = true;
    if (!r_.contains(path.boundingRect())) outside_ = true;
    if (!touches_) touches_ = path.intersects(r_);
}

void RectSink::text(const QString& text, const QFont& font, const QTransform& place, const QColor&) {
    area(place.map(QPolygonF(QFontMetricsF(font).tightBoundingRect(text))));
}

void RectSink::clipped(const QPainterPath& clip, const std::vector<QLineF>&, const QPen&) {
    fill(clip, QColor());
}

bool OnLockedLayer(const Database& db, const Entity* e) {
    const Layer* l = db.layers().find(e->layer());
    return l && l->locked;
}

std::vector<const Entity*> SelectInRect(DrawingScene& scene, const Transform2D& view,
                                        const QRectF& screenRect, bool window) {
    std::vector<const Entity*> out;
    const QRectF r = screenRect.normalized();
    if (r.isEmpty()) return out;
    // The rectangle in drawing coordinates: the view maps without rotation.
    Box area;
    area.add(unmap(view, r.left(), r.top()));
    area.add(unmap(view, r.right(), r.bottom()));
    std::vector<Box> boxes;
    const std::vector<const Entity*> near = scene.entitiesIn(area, &boxes);
    const Database& db = *scene.database();
    for (size_t i = 0; i < near.size(); ++i) {
        const Box& b = boxes[i];
        const bool boxInside = !b.isEmpty() && b.min.x >= area.min.x && b.max.x <= area.max.x &&
                               b.min.y >= area.min.y && b.max.y <= area.max.y;
        if (window && !boxInside) continue;
        if (OnLockedLayer(db, near[i])) continue;
        RectSink sink(r);
        DrawingRenderer renderer(db, view, sink);
        renderer.draw(near[i]);
        if (window ? sink.inside() : sink.touches()) out.push_back(near[i]);
    }
    return out;
}

}  // namespace cadhost
