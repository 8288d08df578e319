// Drawing the moving objects through the renderer, with the placement added to the view's
// transform; a dragged end of a curve is drawn from the entity with that point moved for the
// moment of the drawing.
#include "cadhost/DragPreview.h"

#include "cadhost/DrawingRenderer.h"
#include "cadhost/Grips.h"

#include <QPainter>

namespace cadhost {

using namespace cad::db;

void DrawDragPreview(QPainter& painter, const Database& db, const Transform2D& view, const DragPreview& preview,
                     const Point3& cursor, size_t limit) {
    if (preview.empty()) return;
    painter.save();
    painter.setOpacity(0.8);
    PainterSink sink(painter);
    if (preview.grip >= 0) {
        auto* e = dynamic_cast<Entity*>(const_cast<Database&>(db).objectByHandle(preview.handles.front()));
        if (e && !e->isErased()) {
            // The entity's own data, changed only while it is drawn: nothing else runs meanwhile.
            const EntityData kept = e->data;
            SetGripPoint(e, preview.grip, cursor);
            DrawingRenderer(db, view, sink).draw(e);
            e->data = kept;
        }
        painter.restore();
        return;
    }
    const std::optional<Transform2D> t = preview.placement ? preview.placement(cursor) : std::nullopt;
    if (t) {
        DrawingRenderer renderer(db, view.after(*t), sink);
        size_t drawn = 0;
        for (quint64 h : preview.handles) {
            const auto* e = dynamic_cast<const Entity*>(db.objectByHandle(h));
            if (!e || e->isErased()) continue;
            if (++drawn > limit) break;
            renderer.draw(e);
        }
    }
    painter.restore();
}

}  // namespace cadhost
