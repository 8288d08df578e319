// The user's window and crossing selection, judged on what the view draws: a window (picked left
// to right) takes the entities drawn wholly inside it, a crossing (right to left) also those it
// cuts. Entities on hidden or locked layers are never taken.
#pragma once

#include "cadhost/DrawingRenderer.h"
#include "cadhost/DrawingScene.h"

#include <QRectF>
#include <vector>

namespace cadhost {

// Tells whether the primitives of one entity lie inside a screen rectangle or cut it.
class RectSink : public PrimitiveSink {
public:
    explicit RectSink(const QRectF& rect) : r_(rect) {}
    // Something was drawn and all of it lies inside.
    bool inside() const { return drawn_ && !outside_; }
    // Something drawn lies inside or cuts the edge.
    bool touches() const { return touches_; }

    void polyline(const QPolygonF& points, const QPen& pen) override;
    void fill(const QPainterPath& path, const QColor& color) override;
    void text(const QString& text, const QFont& font, const QTransform& place, const QColor& color) override;
    void clipped(const QPainterPath& clip, const std::vector<QLineF>& lines, const QPen& pen) override;

private:
    void area(const QPolygonF& outline);
    QRectF r_;
    bool drawn_ = false, outside_ = false, touches_ = false;
};

// Whether the entity's layer is locked (its entities cannot be selected for a change).
bool OnLockedLayer(const cad::db::Database& db, const cad::db::Entity* e);

// The top-level entities a selection rectangle (screen pixels, `view` maps the drawing to the
// screen) takes: a window (`window` true) or a crossing. In drawing order.
std::vector<const cad::db::Entity*> SelectInRect(DrawingScene& scene, const cad::db::Transform2D& view,
                                                 const QRectF& screenRect, bool window);

}  // namespace cadhost
