// What a command shows moving with the cursor while it asks for its second point: the objects it
// moves, copies, turns or scales, drawn where they would go, or the entity a dragged grip changes.
#pragma once

#include "platform/cad/engine/Database.h"

#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace cadhost {

struct DragPreview {
    std::vector<quint64> handles;  // the entities shown moving
    // Where they go for the cursor at a drawing point; nullopt: not shown there (a zero scale).
    std::function<std::optional<cad::db::Transform2D>(const cad::db::Point3&)> placement;
    // A grip that moves one point of the entity (handles[0]) rather than the whole of it; -1: none.
    int grip = -1;
    bool empty() const { return handles.empty(); }
};

// Draws the preview for the cursor at a drawing point over what the view shows (`view` maps the
// drawing to the screen). At most `limit` entities are drawn, so a huge selection keeps the
// mouse smooth.
void DrawDragPreview(QPainter& painter, const cad::db::Database& db, const cad::db::Transform2D& view,
                     const DragPreview& preview, const cad::db::Point3& cursor, size_t limit = 2000);

}  // namespace cadhost
