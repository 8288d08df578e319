// Painting, zooming, panning and picking of the drawing view.
#include "cadhost/DrawingView.h"

#include "cadhost/DrawingRenderer.h"
#include "cadhost/Grips.h"
#include "cadhost/Selection.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>
#include <tuple>
#include <utility>

namespace cadhost {

using namespace cad::db;

namespace {
const QColor Background(33, 40, 48);
const QColor Cursor(220, 220, 220);
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

void DrawingView::setScene(DrawingScene* scene, bool paintNow) {
    if (scene == scene_) return;
    scene_ = scene;
    corner_.reset();
    holdUpdates_ = !paintNow;
    if (scene_ && state().scale == 0) fitExtents();
    invalidateCache();
    holdUpdates_ = false;
    reportCursor();
}

void DrawingView::reportCursor() {
    // The readout follows the drawing under the cursor after a pan, a zoom or a drawing switch.
    if (!cursor_ || !scene_) return;
    const Point3 w = toWorld(*cursor_);
    emit cursorMoved(w.x, w.y);
}

void DrawingView::rememberView() {
    ViewState& s = state();
    if (!scene_ || s.scale <= 0) return;
    s.previous.emplace_back(s.center, s.scale);
    if (s.previous.size() > 20) s.previous.erase(s.previous.begin());
}

bool DrawingView::zoomPrevious() {
    ViewState& s = state();
    if (!scene_ || s.previous.empty()) return false;
    std::tie(s.center, s.scale) = s.previous.back();
    s.previous.pop_back();
    s.fitted = false;
    invalidateCache();
    reportCursor();
    return true;
}

void DrawingView::setPreview(std::vector<std::array<double, 3>> vertices) {
    if (vertices == preview_) return;
    preview_ = std::move(vertices);
    update();
}

void DrawingView::setDragPreview(DragPreview preview) {
    if (preview.empty() && moving_.empty()) return;
    moving_ = std::move(preview);
    update();
}

void DrawingView::setCirclePreview(CirclePreview preview) {
    if (preview == circle_) return;
    circle_ = preview;
    update();
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
    const bool anyHighlight = scene_->anyHighlighted();
    for (size_t i = from; i < scene_->appendedCount(); ++i) {
        const Entity* e = scene_->appended(i);
        if (e->isErased() || !scene_->appendedBox(i).overlaps(area)) continue;
        renderer.draw(e, anyHighlight && scene_->isHighlighted(e));
    }
    leftOut_.add(renderer.leftOut());
    paintedUpTo_ = scene_->newestSequence();
}

void DrawingView::setMode(Mode mode, std::optional<Point3> base) {
    if (mode != Mode::Idle && mode != Mode::Select) corner_.reset();
    if (mode != Mode::Point) override_.reset();
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
    rememberView();
    fitExtents();
    reportCursor();
}

void DrawingView::fitExtents() {
    if (!scene_) return;
    const Box e = scene_->extents();
    if (e.isEmpty()) {
        state() = ViewState{Point3{0, 0, 0}, 1, true, {}};
    } else {
        const auto previous = std::move(state().previous);
        zoomWindow(e);
        state().previous = std::move(previous);
        state().fitted = true;
        return;
    }
    invalidateCache();
}

void DrawingView::zoomWindow(const Box& box) {
    if (!scene_ || box.isEmpty()) return;
    const double w = std::max(box.max.x - box.min.x, 1e-6), h = std::max(box.max.y - box.min.y, 1e-6);
    rememberView();
    ViewState& s = state();
    s.center = Point3{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2, 0};
    s.scale = 0.95 * std::min(std::max(width(), 1) / w, std::max(height(), 1) / h);
    s.fitted = false;
    invalidateCache();
}

void DrawingView::renderCache() {
    const qreal dpr = devicePixelRatioF();
    cache_ = QImage(size() * dpr, QImage::Format_RGB32);
    cache_.setDevicePixelRatio(dpr);
    cache_.fill(Background);
    leftOut_ = {};
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
        const bool anyHighlight = scene_->anyHighlighted();
        for (size_t i = 0; i < shown.size(); ++i) {
            const Box& b = boxes[i];
            // Smaller than a pixel: one dot in the entity's colour says as much as its geometry.
            if ((b.max.x - b.min.x) * k < 0.8 && (b.max.y - b.min.y) * k < 0.8 &&
                shown[i]->kind() != EntityKind::BlockReference) {
                p.setPen(renderer.topLevelColor(shown[i]));
                p.drawPoint(toScreen(b.min));
                continue;
            }
            renderer.draw(shown[i], anyHighlight && scene_->isHighlighted(shown[i]));
        }
        leftOut_ = renderer.leftOut();
    }
    cacheValid_ = true;
    paintedUpTo_ = scene_ ? scene_->newestSequence() : 0;
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

QString DrawingView::leftOutNote() const {
    return leftOut_.note();
}

void DrawingView::drawOverlay(QPainter& p) {
    if (panning_) return;
    p.setRenderHint(QPainter::Antialiasing, true);
    if (const QString note = leftOutNote(); !note.isEmpty()) {
        // What the image lacks is said on it, where the drawing shows.
        p.setPen(QColor(255, 200, 80));
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, note);
    }
    if (preview_.size() >= 2) {
        // Each segment as picked; arc segments from their bulge (included angle = 4·atan(bulge)).
        QPainterPath path(toScreen(Point3{preview_[0][0], preview_[0][1], 0}));
        for (size_t i = 0; i + 1 < preview_.size(); ++i) {
            const auto& a = preview_[i];
            const auto& b = preview_[i + 1];
            const int n = a[2] == 0 ? 1 : 24;
            const double theta = 4 * std::atan(a[2]);
            const double cx = b[0] - a[0], cy = b[1] - a[1], chord = std::hypot(cx, cy);
            for (int k = 1; k <= n; ++k) {
                const double t = double(k) / n;
                double x = a[0] + cx * t, y = a[1] + cy * t;
                if (n > 1 && chord > 0) {
                    // Sagitta offset of a point at parameter t along the chord, on the arc.
                    const double r = chord / (2 * std::sin(theta / 2));
                    const double phi = theta * (t - 0.5);
                    const double off = r * (std::cos(phi) - std::cos(theta / 2));
                    const double along = chord / 2 + r * std::sin(phi);
                    x = a[0] + (cx * along + cy * off) / chord;
                    y = a[1] + (cy * along - cx * off) / chord;
                }
                path.lineTo(toScreen(Point3{x, y, 0}));
            }
        }
        p.setPen(QPen(Cursor, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    if (mode_ == Mode::Idle && scene_ && !scene_->selected.isEmpty() && scene_->selected.size() <= GripLimit) {
        // The grips of the selection: small filled squares, as every CAD program shows them.
        p.setPen(QPen(QColor(20, 20, 60), 1));
        p.setBrush(QColor(60, 110, 255));
        for (quint64 h : scene_->selected) {
            const auto* ent = dynamic_cast<const Entity*>(scene_->database()->objectByHandle(h));
            if (!ent || ent->isErased()) continue;
            for (const Grip& g : GripsOf(ent)) {
                const QPointF s = toScreen(g.at);
                p.drawRect(QRectF(s.x() - 3.5, s.y() - 3.5, 7, 7));
            }
        }
        p.setBrush(Qt::NoBrush);
    }
    if (!cursor_) return;
    const QPointF c = *cursor_;
    if (corner_) {
        // Blue and solid for a window, green and dashed for a crossing.
        const QPointF first = toScreen(*corner_);
        const bool window = forceWindow_ || c.x() >= first.x();
        const QColor edge = window ? QColor(90, 150, 255) : QColor(90, 220, 120);
        QColor inside = edge;
        inside.setAlpha(40);
        p.setPen(QPen(edge, 1, window ? Qt::SolidLine : Qt::DashLine));
        p.setBrush(inside);
        p.drawRect(QRectF(first, c).normalized());
        p.setBrush(Qt::NoBrush);
    }
    QPointF target = c;
    if (snapShown_) target = toScreen(snapShown_->point);
    if (mode_ == Mode::Point && scene_ && !moving_.empty())
        DrawDragPreview(p, *scene_->database(), transform(), moving_, snapShown_ ? snapShown_->point : toWorld(c));
    if (mode_ == Mode::Point && base_) {
        p.setPen(QPen(Cursor, 1, Qt::DashLine));
        p.drawLine(toScreen(*base_), target);
        if (circle_ != CirclePreview::None) {
            const QPointF centre = toScreen(*base_);
            double r = QLineF(centre, target).length();
            if (circle_ == CirclePreview::Diameter) r /= 2;
            p.setPen(QPen(Cursor, 1.5));
            p.drawEllipse(centre, r, r);
        }
    }
    p.setPen(QPen(Cursor, 1));
    if (mode_ == Mode::Entity || mode_ == Mode::Select) {
        p.drawRect(QRectF(c.x() - Aperture / 2.0, c.y() - Aperture / 2.0, Aperture, Aperture));
    } else {
        p.drawLine(QPointF(c.x() - 20, c.y()), QPointF(c.x() + 20, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - 20), QPointF(c.x(), c.y() + 20));
        p.drawRect(QRectF(c.x() - 3, c.y() - 3, 6, 6));
    }
    if (snapShown_) drawSnapMarker(p, *snapShown_);
}

void DrawingView::resizeEvent(QResizeEvent*) {
    // A drawing shown whole stays whole when the window changes size.
    if (scene_ && state().fitted) fitExtents();
    invalidateCache();
}

void DrawingView::wheelEvent(QWheelEvent* e) {
    if (!scene_) return;
    const double steps = e->angleDelta().y() / 120.0;
    if (steps == 0) return;
    const QPointF at = e->position();
    const Point3 before = toWorld(at);
    rememberView();
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
    reportCursor();
}

void DrawingView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    // Right-click answers as Enter does (ends a polyline, repeats the last command).
    if (e->button() == Qt::RightButton) {
        emit enterPressed();
        return;
    }
    if (e->button() == Qt::LeftButton && mode_ == Mode::Idle)
        if (const auto grip = gripAt(e->position())) {
            // Released away from the grip, the drag places the point; released on it, the next
            // click does.
            gripPress_ = e->position();
            emit gripClicked(grip->first, grip->second);
            return;
        }
    if (e->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = e->position();
        panOffset_ = QPointF();
        return;
    }
    if (e->button() == Qt::LeftButton && (mode_ == Mode::Idle || mode_ == Mode::Select)) {
        // A click selects, a drag from empty space draws a window (see mouseMoveEvent).
        leftPress_ = e->position();
        pressedOnEntity_ = entityAt(e->position()) != nullptr;
        windowDrag_ = false;
        return;
    }
    if (e->button() != Qt::LeftButton || !scene_) return;
    const QPointF at = e->position();
    if (mode_ == Mode::Point) {
        pickAt(at);
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
        update();
        return;
    }
    if (leftPress_ && !windowDrag_ && !corner_ && (e->buttons() & Qt::LeftButton) &&
        (e->position() - *leftPress_).manhattanLength() > DragDistance && !pressedOnEntity_) {
        corner_ = toWorld(*leftPress_);
        windowDrag_ = true;
    }
    const Point3 w = toWorld(e->position());
    emit cursorMoved(w.x, w.y);
    snapShown_ = mode_ == Mode::Point ? snapAt(e->position()) : std::nullopt;
    update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && gripPress_) {
        const QPointF from = *std::exchange(gripPress_, std::nullopt);
        if (mode_ == Mode::Point && (e->position() - from).manhattanLength() > DragDistance) pickAt(e->position());
        return;
    }
    if (e->button() == Qt::LeftButton && leftPress_) {
        const QPointF from = *std::exchange(leftPress_, std::nullopt);
        cursor_ = e->position();
        // A dragged window closes where the button is let go.
        selectAt(std::exchange(windowDrag_, false) ? e->position() : from, e->modifiers() & Qt::ShiftModifier);
        return;
    }
    if (!panning_ || e->button() != Qt::MiddleButton) return;
    panning_ = false;
    const QPointF d = e->position() - panFrom_;
    if (!d.isNull() && scene_) {
        rememberView();
        ViewState& s = state();
        s.fitted = false;
        s.center.x -= d.x() / s.scale;
        s.center.y += d.y() / s.scale;
        invalidateCache();
    }
    panOffset_ = QPointF();
    cursor_ = e->position();
    reportCursor();
    update();
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !scene_ || (mode_ != Mode::Idle && mode_ != Mode::Select)) {
        mousePressEvent(e);
        return;
    }
    if (const Entity* hit = entityAt(e->position())) {
        const Point3 w = toWorld(e->position());
        emit entityDoubleClicked(hit, w.x, w.y);
    }
}

void DrawingView::leaveEvent(QEvent*) {
    cursor_.reset();
    snapShown_.reset();
    update();
}

void DrawingView::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (e->matches(QKeySequence::Undo)) {
        emit undoPressed();
        return;
    }
    if (e->matches(QKeySequence::Redo) || (e->key() == Qt::Key_Y && (e->modifiers() & Qt::ControlModifier))) {
        emit redoPressed();
        return;
    }
    switch (e->key()) {
        case Qt::Key_Escape:
            override_.reset();
            // Escape drops a window being picked, else the selection, and cancels what runs.
            leftPress_.reset();
            windowDrag_ = false;
            forceWindow_ = false;
            if (corner_) {
                corner_.reset();
                update();
            } else {
                clearSelection();
            }
            emit escapePressed();
            return;
        case Qt::Key_Delete:
            emit deletePressed();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
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

QSet<quint64> DrawingView::selection() const {
    return scene_ ? scene_->selected : QSet<quint64>();
}

void DrawingView::clearSelection() {
    corner_.reset();
    if (!scene_ || scene_->selected.isEmpty()) return;
    scene_->selected.clear();
    invalidateCache();
    emit selectionChanged();
}

void DrawingView::select(const std::vector<const Entity*>& entities, bool remove) {
    if (!scene_) return;
    bool changed = false;
    for (const Entity* e : entities) {
        if (remove)
            changed = scene_->selected.remove(e->handle()) || changed;
        else if (!scene_->selected.contains(e->handle())) {
            scene_->selected.insert(e->handle());
            changed = true;
        }
    }
    if (!changed) return;
    invalidateCache();
    emit selectionChanged();
}

void DrawingView::selectAt(QPointF screen, bool remove) {
    if (!scene_ || (mode_ != Mode::Idle && mode_ != Mode::Select)) return;
    if (corner_) {
        const QPointF first = toScreen(*corner_);
        corner_.reset();
        // Picked left to right: a window; right to left: a crossing.
        const bool window = std::exchange(forceWindow_, false) || screen.x() >= first.x();
        select(SelectInRect(*scene_, transform(), QRectF(first, screen).normalized(), window), remove);
        update();
        return;
    }
    if (const Entity* hit = forceWindow_ ? nullptr : entityAt(screen);
        hit && !OnLockedLayer(*scene_->database(), hit)) {
        select({hit}, remove);
        return;
    }
    corner_ = toWorld(screen);
    update();
}

std::optional<std::pair<quint64, int>> DrawingView::gripAt(QPointF screen) const {
    if (!scene_ || mode_ != Mode::Idle || scene_->selected.size() > GripLimit) return std::nullopt;
    for (quint64 h : scene_->selected) {
        const auto* ent = dynamic_cast<const Entity*>(scene_->database()->objectByHandle(h));
        if (!ent || ent->isErased()) continue;
        for (const Grip& g : GripsOf(ent))
            if (QLineF(toScreen(g.at), screen).length() <= 5) return std::pair{h, g.index};
    }
    return std::nullopt;
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

}  // namespace cadhost
