// The view's object snap: what is looked for under the cursor, the override of the next point and
// the marker of each kind.
#include "cadhost/DrawingView.h"

#include <QPainter>

namespace cadhost {

using namespace cad::db;

namespace {
const QColor SnapColor(255, 200, 0);
}  // namespace

void DrawingView::setSnapOverride(SnapPoint::Kind kind) {
    override_ = kind;
    snapShown_.reset();
    update();
}

std::optional<SnapPoint> DrawingView::snapAt(QPointF screen) const {
    if ((!snap_ && !override_) || !scene_) return std::nullopt;
    const double r = Aperture / state().scale;
    const Point3 w = toWorld(screen);
    Box area;
    area.add(w.x - r, w.y - r);
    area.add(w.x + r, w.y + r);
    // The perpendicular is dropped from where the rubber band starts.
    const std::optional<Point3> from = mode_ == Mode::Point ? base_ : std::nullopt;
    return FindSnap(scene_->entitiesIn(area), w, r, from, override_ ? OnlySnap(*override_) : AllSnapKinds,
                    &scene_->blockContents());
}

Point3 DrawingView::pickPoint(QPointF screen) const {
    if (const auto s = snapAt(screen)) return s->point;
    return toWorld(screen);
}

void DrawingView::pickAt(QPointF screen) {
    const std::optional<SnapPoint> s = snapAt(screen);
    if (override_ && !s) {
        emit snapMissed(*override_);
        return;
    }
    override_.reset();
    const Point3 p = s ? s->point : toWorld(screen);
    emit pointClicked(p.x, p.y);
}

void DrawingView::drawSnapMarker(QPainter& p, const SnapPoint& snap) const {
    p.setPen(QPen(SnapColor, 2));
    p.setBrush(Qt::NoBrush);
    const QPointF s = toScreen(snap.point);
    const double r = 6;
    const QRectF box(s.x() - r, s.y() - r, 2 * r, 2 * r);
    switch (snap.kind) {
        case SnapPoint::End:
            p.drawRect(box);
            break;
        case SnapPoint::Middle:
            p.drawPolygon(QPolygonF{QPointF(s.x(), s.y() - r), QPointF(s.x() + r, s.y() + r),
                                    QPointF(s.x() - r, s.y() + r)});
            break;
        case SnapPoint::Center:
            p.drawEllipse(s, r, r);
            break;
        case SnapPoint::Intersection:
            p.drawLine(box.topLeft(), box.bottomRight());
            p.drawLine(box.bottomLeft(), box.topRight());
            break;
        case SnapPoint::Insertion:
            // Two overlapping squares, as every CAD program marks an insertion point.
            p.drawPolyline(QPolygonF{QPointF(s.x() - r, s.y() - r), QPointF(s.x() + r / 3, s.y() - r),
                                     QPointF(s.x() + r / 3, s.y() - r / 3), QPointF(s.x() + r, s.y() - r / 3),
                                     QPointF(s.x() + r, s.y() + r), QPointF(s.x() - r / 3, s.y() + r),
                                     QPointF(s.x() - r / 3, s.y() + r / 3), QPointF(s.x() - r, s.y() + r / 3),
                                     QPointF(s.x() - r, s.y() - r)});
            break;
        case SnapPoint::Node:
            p.drawEllipse(s, r, r);
            p.drawLine(QPointF(s.x() - r * 0.7, s.y() - r * 0.7), QPointF(s.x() + r * 0.7, s.y() + r * 0.7));
            p.drawLine(QPointF(s.x() - r * 0.7, s.y() + r * 0.7), QPointF(s.x() + r * 0.7, s.y() - r * 0.7));
            break;
        case SnapPoint::Perpendicular:
            p.drawPolyline(QPolygonF{QPointF(s.x() - r, s.y() - r), QPointF(s.x() - r, s.y() + r),
                                     QPointF(s.x() + r, s.y() + r)});
            p.drawPolyline(QPolygonF{QPointF(s.x() - r, s.y()), QPointF(s.x(), s.y()), QPointF(s.x(), s.y() + r)});
            break;
        case SnapPoint::Nearest:
            // An hourglass.
            p.drawPolygon(QPolygonF{box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()});
            break;
    }
}

}  // namespace cadhost
