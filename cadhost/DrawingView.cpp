// Painting, zooming, panning and picking of the drawing view.
#include "cadhost/DrawingView.h"

#include "cadhost/DrawingRenderer.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace cadhost {

using namespace cad::db;

namespace {
const QColor Background(33, 40, 48);
const QColor Cursor(220, 220, 220);
const QColor SnapColor(255, 200, 0);
// Above this many entities in view the drawing is painted without antialiasing.
constexpr size_t SmoothLimit = 20000;
}  // namespace

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMinimumSize(200, 150);
}

DrawingView::ViewState& DrawingView::state() {
    return scene_ ? states_[scene_] : none_;
}
const DrawingView::ViewState& DrawingView::state() const {
    if (!scene_) return none_;
    auto it = states_.constFind(scene_);
    return it == states_.constEnd() ? none_ : it.value();
}

void DrawingView::setScene(DrawingScene* scene) {
    if (scene == scene_) return;
    scene_ = scene;
    if (scene_ && state().scale == 0) zoomExtents();
    invalidateCache();
}

void DrawingView::forgetScene(DrawingScene* scene) {
    states_.remove(scene);
    if (scene_ == scene) setScene(nullptr);
}

void DrawingView::drawingChanged() {
    if (!scene_) return;
    scene_->invalidate();
    invalidateCache();
}

void DrawingView::entitiesAdded() {
    if (!scene_) return;
    const quint64 generation = scene_->generation();
    const size_t before = scene_->appendedCount();
    scene_->entitiesAdded();
    if (cacheValid_ && state().scale > 0 && cache_.size() == size() * devicePixelRatioF()) {
        scene_->refresh();
        if (scene_->generation() == generation && scene_->appendedCount() >= before) {
            paintAppended(before);
            update();
            return;
        }
    }
    invalidateCache();
}

bool DrawingView::isUnpainted(const Entity* entity) const {
    if (!cacheValid_ || !scene_) return true;
    return entity->ownerBlock() == scene_->database()->modelSpace() && entity->sequence() > paintedUpTo_;
}

void DrawingView::paintAppended(size_t from) {
    QPainter p(&cache_);
    p.setRenderHint(QPainter::Antialiasing, smooth_);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    PainterSink sink(p);
    DrawingRenderer renderer(*scene_->database(), transform(), sink);
    const Box area = visibleArea();
    const bool anyHighlight = !scene_->highlighted.isEmpty();
    for (size_t i = from; i < scene_->appendedCount(); ++i) {
        const Entity* e = scene_->appended(i);
        if (e->isErased() || !scene_->appendedBox(i).overlaps(area)) continue;
        renderer.draw(e, anyHighlight && scene_->highlighted.contains(e->handle()));
    }
    paintedUpTo_ = scene_->newestSequence();
}

void DrawingView::setMode(Mode mode, std::optional<Point3> base) {
    mode_ = mode;
    base_ = base;
    snapShown_.reset();
    setCursor(mode == Mode::Entity ? Qt::PointingHandCursor : Qt::CrossCursor);
    update();
}

void DrawingView::setSnapEnabled(bool on) {
    snap_ = on;
    snapShown_.reset();
    update();
    emit snapToggled(on);
}

Transform2D DrawingView::transform() const {
    const ViewState& s = state();
    const double k = s.scale > 0 ? s.scale : 1;
    return Transform2D{k, 0, 0, -k, width() / 2.0 - s.center.x * k, height() / 2.0 + s.center.y * k};
}

QPointF DrawingView::toScreen(const Point3& p) const {
    const Point3 q = transform().apply(p);
    return QPointF(q.x, q.y);
}

Point3 DrawingView::toWorld(QPointF p) const {
    const ViewState& s = state();
    const double k = s.scale > 0 ? s.scale : 1;
    return Point3{s.center.x + (p.x() - width() / 2.0) / k, s.center.y - (p.y() - height() / 2.0) / k, 0};
}

Box DrawingView::visibleArea() const {
    Box b;
    b.add(toWorld(QPointF(0, 0)));
    b.add(toWorld(QPointF(width(), height())));
    return b;
}

void DrawingView::zoomExtents() {
    if (!scene_) return;
    const Box e = scene_->extents();
    if (e.isEmpty()) {
        state() = ViewState{Point3{0, 0, 0}, 1, true};
    } else {
        zoomWindow(e);
        state().fitted = true;
        return;
    }
    invalidateCache();
}

void DrawingView::zoomWindow(const Box& box) {
    if (!scene_ || box.isEmpty()) return;
    const double w = std::max(box.max.x - box.min.x, 1e-6), h = std::max(box.max.y - box.min.y, 1e-6);
    ViewState& s = state();
    s.center = Point3{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2, 0};
    s.scale = 0.95 * std::min(std::max(width(), 1) / w, std::max(height(), 1) / h);
    s.fitted = false;
    invalidateCache();
}

void DrawingView::renderCache() {
    QElapsedTimer timer;
    timer.start();
    const qreal dpr = devicePixelRatioF();
    cache_ = QImage(size() * dpr, QImage::Format_RGB32);
    cache_.setDevicePixelRatio(dpr);
    cache_.fill(Background);
    if (scene_ && state().scale > 0) {
        QPainter p(&cache_);
        std::vector<Box> boxes;
        const std::vector<const Entity*> shown = scene_->entitiesIn(visibleArea(), &boxes);
        smooth_ = shown.size() <= SmoothLimit;
        p.setRenderHint(QPainter::Antialiasing, smooth_);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        PainterSink sink(p);
        DrawingRenderer renderer(*scene_->database(), transform(), sink);
        const double k = state().scale;
        const bool anyHighlight = !scene_->highlighted.isEmpty();
        for (size_t i = 0; i < shown.size(); ++i) {
            const Box& b = boxes[i];
            // Smaller than a pixel: one dot in the entity's colour says as much as its geometry.
            if ((b.max.x - b.min.x) * k < 0.8 && (b.max.y - b.min.y) * k < 0.8 &&
                shown[i]->kind() != EntityKind::BlockReference) {
                p.setPen(renderer.topLevelColor(shown[i]));
                p.drawPoint(toScreen(b.min));
                continue;
            }
            renderer.draw(shown[i], anyHighlight && scene_->highlighted.contains(shown[i]->handle()));
        }
    }
    cacheValid_ = true;
    paintedUpTo_ = scene_ ? scene_->newestSequence() : 0;
    lastRenderMs_ = timer.nsecsElapsed() / 1e6;
}

QImage DrawingView::renderImage() {
    renderCache();
    return cache_;
}

void DrawingView::paintEvent(QPaintEvent*) {
    if (!cacheValid_ || cache_.size() != size() * devicePixelRatioF()) renderCache();
    QPainter p(this);
    if (panning_ && !panOffset_.isNull()) {
        p.fillRect(rect(), Background);
        p.drawImage(panOffset_, cache_);
    } else {
        p.drawImage(QPointF(0, 0), cache_);
    }
    drawOverlay(p);
}

void DrawingView::drawOverlay(QPainter& p) {
    if (!cursor_ || panning_) return;
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = *cursor_;
    QPointF target = c;
    if (snapShown_) target = toScreen(snapShown_->point);
    if (mode_ == Mode::Point && base_) {
        p.setPen(QPen(Cursor, 1, Qt::DashLine));
        p.drawLine(toScreen(*base_), target);
    }
    p.setPen(QPen(Cursor, 1));
    if (mode_ == Mode::Entity) {
        p.drawRect(QRectF(c.x() - Aperture / 2.0, c.y() - Aperture / 2.0, Aperture, Aperture));
    } else {
        p.drawLine(QPointF(c.x() - 20, c.y()), QPointF(c.x() + 20, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - 20), QPointF(c.x(), c.y() + 20));
        p.drawRect(QRectF(c.x() - 3, c.y() - 3, 6, 6));
    }
    if (snapShown_) {
        p.setPen(QPen(SnapColor, 2));
        p.setBrush(Qt::NoBrush);
        const QPointF s = toScreen(snapShown_->point);
        const double r = 6;
        switch (snapShown_->kind) {
            case SnapPoint::End:
                p.drawRect(QRectF(s.x() - r, s.y() - r, 2 * r, 2 * r));
                break;
            case SnapPoint::Middle:
                p.drawPolygon(QPolygonF{QPointF(s.x(), s.y() - r), QPointF(s.x() + r, s.y() + r),
                                        QPointF(s.x() - r, s.y() + r)});
                break;
            case SnapPoint::Center:
                p.drawEllipse(s, r, r);
                break;
            case SnapPoint::Intersection:
                p.drawLine(QPointF(s.x() - r, s.y() - r), QPointF(s.x() + r, s.y() + r));
                p.drawLine(QPointF(s.x() - r, s.y() + r), QPointF(s.x() + r, s.y() - r));
                break;
        }
    }
}

void DrawingView::resizeEvent(QResizeEvent*) {
    // A drawing shown whole stays whole when the window changes size.
    if (scene_ && state().fitted) zoomExtents();
    invalidateCache();
}

void DrawingView::wheelEvent(QWheelEvent* e) {
    if (!scene_) return;
    const double steps = e->angleDelta().y() / 120.0;
    if (steps == 0) return;
    const QPointF at = e->position();
    const Point3 before = toWorld(at);
    ViewState& s = state();
    s.fitted = false;
    s.scale *= std::pow(1.25, steps);
    s.scale = std::clamp(s.scale, 1e-9, 1e9);
    // Keep the drawing point under the cursor where it was.
    const Point3 after = toWorld(at);
    s.center.x += before.x - after.x;
    s.center.y += before.y - after.y;
    snapShown_.reset();
    invalidateCache();
}

void DrawingView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    if (e->button() == Qt::MiddleButton || (e->button() == Qt::LeftButton && mode_ == Mode::Idle)) {
        panning_ = true;
        dragged_ = false;
        panFrom_ = e->position();
        panOffset_ = QPointF();
        return;
    }
    if (e->button() != Qt::LeftButton || !scene_) return;
    const QPointF at = e->position();
    if (mode_ == Mode::Point) {
        const Point3 p = pickPoint(at);
        emit pointClicked(p.x, p.y);
    } else if (mode_ == Mode::Entity) {
        const Point3 w = toWorld(at);
        if (const Entity* hit = entityAt(at))
            emit entityClicked(hit, w.x, w.y);
        else
            emit emptyClicked(w.x, w.y);
    }
}

void DrawingView::mouseMoveEvent(QMouseEvent* e) {
    cursor_ = e->position();
    if (panning_) {
        panOffset_ = e->position() - panFrom_;
        dragged_ = dragged_ || panOffset_.manhattanLength() > 2;
        update();
        return;
    }
    const Point3 w = toWorld(e->position());
    emit cursorMoved(w.x, w.y);
    snapShown_ = mode_ == Mode::Point ? snapAt(e->position()) : std::nullopt;
    update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* e) {
    if (!panning_) return;
    panning_ = false;
    const QPointF d = e->position() - panFrom_;
    if (!d.isNull() && scene_) {
        ViewState& s = state();
        s.fitted = false;
        s.center.x -= d.x() / s.scale;
        s.center.y += d.y() / s.scale;
        invalidateCache();
    }
    panOffset_ = QPointF();
    update();
}

void DrawingView::leaveEvent(QEvent*) {
    cursor_.reset();
    snapShown_.reset();
    update();
}

void DrawingView::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Escape:
            emit escapePressed();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit enterPressed();
            return;
        case Qt::Key_F3:
            setSnapEnabled(!snap_);
            return;
        default:
            break;
    }
    if (!e->text().isEmpty() && e->text().at(0).isPrint()) {
        emit textTyped(e->text());
        return;
    }
    QWidget::keyPressEvent(e);
}

const Entity* DrawingView::entityAt(QPointF screen) const {
    if (!scene_) return nullptr;
    const ViewState& s = state();
    const double r = Aperture / 2.0 / s.scale;
    const Point3 w = toWorld(screen);
    Box area;
    area.add(w.x - r, w.y - r);
    area.add(w.x + r, w.y + r);
    const std::vector<const Entity*> near = scene_->entitiesIn(area);
    // The one drawn last is on top.
    for (auto it = near.rbegin(); it != near.rend(); ++it) {
        HitSink hit(screen, Aperture / 2.0);
        DrawingRenderer renderer(*scene_->database(), transform(), hit);
        renderer.draw(*it);
        if (hit.hit()) return *it;
    }
    return nullptr;
}

std::optional<SnapPoint> DrawingView::snapAt(QPointF screen) const {
    if (!snap_ || !scene_) return std::nullopt;
    const double r = Aperture / state().scale;
    const Point3 w = toWorld(screen);
    Box area;
    area.add(w.x - r, w.y - r);
    area.add(w.x + r, w.y + r);
    return FindSnap(scene_->entitiesIn(area), w, r);
}

Point3 DrawingView::pickPoint(QPointF screen) const {
    if (const auto s = snapAt(screen)) return s->point;
    return toWorld(screen);
}

}  // namespace cadhost
