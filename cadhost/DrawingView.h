// The drawing window's canvas: shows the active drawing's model space, zooms with the wheel, pans
// with the middle button, and takes picks: points with a rubber band from the base point and
// object snap (F3), or the top-level entity under the cursor.
// While nothing is asked (or a command asks to select objects) clicks select: an entity, or a
// window from two corners, clicked or dragged from empty space (left to right: wholly inside;
// right to left: crossing). A grip is dragged (or clicked, then the point clicked).
// The drawing is painted into a cached image; the cursor, rubber band and snap marker are drawn
// over it, so moving the mouse never repaints a large base map.
#pragma once

#include "cadhost/DragPreview.h"
#include "cadhost/DrawingRenderer.h"
#include "cadhost/DrawingScene.h"
#include "cadhost/Snap.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

namespace cadhost {

class DrawingView : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Idle, Point, Entity, Select };

    explicit DrawingView(QWidget* parent = nullptr);

    // The drawing shown (nullptr: none open). Each drawing keeps its own zoom.
    // `paintNow` false: the switch is painted when the window next repaints (a program's switch
    // waits for its calls to pause, like its other changes).
    void setScene(DrawingScene* scene, bool paintNow = true);
    DrawingScene* scene() const { return scene_; }
    // The drawing changed: rebuild the index and repaint soon.
    void drawingChanged();
    // Entities were only added at the end: they are painted over the cached image on their own,
    // so a program adding entities one call at a time never waits for a full repaint.
    void entitiesAdded();
    // True when the entity is not in the cached image yet (added after it was painted, or the
    // image is to be repainted anyway): a change of its look needs no repaint of its own.
    bool isUnpainted(const cad::db::Entity* entity) const;
    void repaintDrawing() { invalidateCache(); }
    void forgetScene(DrawingScene* scene);

    void setMode(Mode mode, std::optional<cad::db::Point3> base = std::nullopt);
    Mode mode() const { return mode_; }
    void setSnapEnabled(bool on);
    bool snapEnabled() const { return snap_; }
    // The next point picked snaps to this kind only (a typed "_ins", ...), even with F3 off; a
    // click with no such point near is refused (snapMissed) and the override stays.
    void setSnapOverride(SnapPoint::Kind kind);
    std::optional<SnapPoint::Kind> snapOverride() const { return override_; }

    void zoomExtents();
    void zoomWindow(const cad::db::Box& box);
    // Back to the view before the last zoom or pan; false when there is none.
    bool zoomPrevious();
    // While a circle's size is asked: the circle through the cursor (or half of it for a diameter)
    // is drawn round the base point.
    enum class CirclePreview { None, Radius, Diameter };
    void setCirclePreview(CirclePreview preview);
    // The objects a command shows moving with the cursor while it asks for a point.
    void setDragPreview(DragPreview preview);
    // The running command's segments picked so far (x, y, bulge), drawn over the drawing.
    void setPreview(std::vector<std::array<double, 3>> vertices);
    // Scale factor (pixels per drawing unit) and the drawing point at the widget's centre.
    double viewScale() const { return state().scale; }
    cad::db::Point3 viewCenter() const { return state().center; }

    // Screen and drawing coordinates.
    QPointF toScreen(const cad::db::Point3& p) const;
    cad::db::Point3 toWorld(QPointF p) const;
    // The top-level entity drawn under a screen point, nullptr when none.
    const cad::db::Entity* entityAt(QPointF screen) const;
    // The snap point for a screen point (when snapping is on), else nullopt.
    std::optional<SnapPoint> snapAt(QPointF screen) const;
    // The drawing point a click at the screen point gives: snapped when snapping finds one.
    cad::db::Point3 pickPoint(QPointF screen) const;

    // ---- The user's selection in the shown drawing ----
    // Handles of the selected entities (empty when no drawing is shown).
    QSet<quint64> selection() const;
    void clearSelection();
    // Adds the entities to the selection (or takes them out).
    void select(const std::vector<const cad::db::Entity*>& entities, bool remove = false);
    // A selection click at a screen point: an entity there, else a window corner (the second
    // corner closes the window). `remove` (Shift) takes entities out instead.
    void selectAt(QPointF screen, bool remove = false);
    // Selects every entity that can be selected (not on a hidden or locked layer): Ctrl+A,
    // "Wszystko". Returns how many are selected; nothing while a command asks for other input.
    int selectAll();
    // Selects again what the last command took ("Poprzedni"); returns how many are left of it.
    int selectPrevious();
    // The selection is what a command takes now: "Poprzedni" gives it back later.
    void rememberSelection();
    // The next two corners make a window, whichever way they are picked ("Okno").
    void forceWindow() { forceWindow_ = true; }
    // The grip of a selected entity under a screen point (its handle and index), while nothing is
    // asked and the selection is small enough to show grips.
    std::optional<std::pair<quint64, int>> gripAt(QPointF screen) const;
    static constexpr int GripLimit = 100;  // more selected entities than this show no grips
    // A command starts: a window corner clicked while nothing ran is forgotten, so that the
    // command's first click is its own.
    void forgetWindowCorner();
    // The first corner of a window being picked, if any.
    std::optional<cad::db::Point3> windowCorner() const { return corner_; }

    // Renders the drawing into a fresh image of the widget's size (tests, screenshots).
    QImage renderImage();
    // What the last image of the drawing left out, as shown over it, a line for each kind (empty
    // when nothing).
    QString leftOutNote() const;

    static constexpr int Aperture = 10;  // pixels around the cursor that picks and snaps look at

signals:
    void cursorMoved(double x, double y);
    void pointClicked(double x, double y);
    void entityClicked(const cad::db::Entity* entity, double x, double y);
    // A double-click on an entity while nothing is asked (the text editing).
    void entityDoubleClicked(const cad::db::Entity* entity, double x, double y);
    void emptyClicked(double x, double y);
    void escapePressed();
    // A grip was clicked: the user drags that point of the entity.
    void gripClicked(quint64 handle, int index);
    void enterPressed();
    void textTyped(const QString& text);
    void snapToggled(bool on);
    // A click found no point of the overriding snap kind near it.
    void snapMissed(SnapPoint::Kind kind);
    void selectionChanged();
    void deletePressed();
    void undoPressed();
    void redoPressed();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    struct ViewState {
        cad::db::Point3 center;
        double scale = 0;     // 0: not yet fitted
        bool fitted = false;  // showing the extents until the user zooms or pans
        std::vector<std::pair<cad::db::Point3, double>> previous;  // earlier views, last on top
    };
    void rememberView();
    void fitExtents();
    void reportCursor();
    ViewState& state();
    const ViewState& state() const;
    cad::db::Transform2D transform() const;
    cad::db::Box visibleArea() const;
    void renderCache();
    void paintAppended(size_t from);
    void drawOverlay(QPainter& p);
    void invalidateCache() {
        cacheValid_ = false;
        if (!holdUpdates_) update();
    }
    bool holdUpdates_ = false;

    DrawingScene* scene_ = nullptr;
    QHash<DrawingScene*, ViewState> states_;
    ViewState none_;
    QImage cache_;
    bool cacheValid_ = false;
    bool smooth_ = true;  // antialiasing of the cached image
    // What the cached image could not draw. The picks, selections, snaps and previews walk the same
    // entities with the same limits, so this one note tells what any of them left out.
    LeftOut leftOut_;
    quint64 paintedUpTo_ = 0;  // sequence of the newest model-space entity in the cached image

    Mode mode_ = Mode::Idle;
    std::optional<cad::db::Point3> base_;
    bool snap_ = true;
    std::optional<SnapPoint::Kind> override_;
    // Picks the point under a screen point (snapped as asked): pointClicked, or snapMissed.
    void pickAt(QPointF screen);
    void drawSnapMarker(QPainter& p, const SnapPoint& snap) const;
    std::optional<QPointF> cursor_;
    std::optional<SnapPoint> snapShown_;
    bool panning_ = false;  // the middle button drags the view
    QPointF panFrom_;
    QPointF panOffset_;
    std::optional<QPointF> leftPress_;  // the left button went down to select here
    bool pressedOnEntity_ = false;      // ... on an entity: a drag selects it, as a click
    bool windowDrag_ = false;           // ... and the drag from empty space draws a window
    std::optional<QPointF> gripPress_;  // the left button went down on a grip here
    static constexpr int DragDistance = 3;  // pixels the mouse moves before a press is a drag
    std::optional<cad::db::Point3> corner_;  // first corner of a selection window
    bool forceWindow_ = false;                // the window takes only what lies wholly inside
    std::vector<std::array<double, 3>> preview_;
    CirclePreview circle_ = CirclePreview::None;
    DragPreview moving_;
};

}  // namespace cadhost
