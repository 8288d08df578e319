// Object snap: end points, middle points, centres and intersections of lines, arcs, circles and
// polyline segments near the cursor.
#pragma once

#include "platform/cad/engine/Entity.h"

#include <optional>
#include <vector>

namespace cadhost {

struct SnapPoint {
    enum Kind { End, Middle, Center, Intersection };
    cad::db::Point3 point;
    Kind kind = End;
};

// The snap point nearest the cursor within `aperture` (drawing units) among the entities' own
// geometry, or nullopt.
std::optional<SnapPoint> FindSnap(const std::vector<const cad::db::Entity*>& entities,
                                  const cad::db::Point3& cursor, double aperture);

}  // namespace cadhost
