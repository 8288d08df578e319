// Grips: the points of a selected entity the user can drag (a line's ends and middle, an arc's ends
// and centre, a circle's centre, a polyline's vertices, the insertion point of a text or a block
// reference). Dragging an end or a vertex moves that point; the others move the whole entity.
#pragma once

#include "cadhost/EditCommand.h"
#include "platform/cad/engine/Database.h"

#include <vector>

namespace cadhost {

struct Grip {
    cad::db::Point3 at;
    int index = 0;  // which point of the entity, in the order GripsOf gives them
};

// The grips of an entity (none for kinds that have no points to drag).
std::vector<Grip> GripsOf(const cad::db::Entity* entity);
// Whether the grip moves one point of the entity (an end, a vertex) rather than the whole of it.
bool MovesOnePoint(const cad::db::Entity* entity, int index);
// Puts that one point of the entity at the world point `to`, recording nothing (MoveGrip records it).
void SetGripPoint(cad::db::Entity* entity, int index, const cad::db::Point3& to);
// Moves the entity's grip to a point, recording the change for undo; throws cad::Error.
void MoveGrip(cad::db::Database& db, cad::db::Entity* entity, int index, const cad::db::Point3& to);

// The command a click on a grip starts: "Określ punkt rozciągnięcia:", then the grip moves there
// (one undo step; Escape leaves the entity as it was).
std::unique_ptr<EditCommand> MakeGripCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d,
                                             quint64 handle, int index);

}  // namespace cadhost
