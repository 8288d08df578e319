// Object snap: end points, middle points, centres and intersections of lines, arcs, circles and
// polyline segments, the insertion points of block references and texts, nodes (points), the foot
// of the perpendicular from the point the rubber band starts at, and, when none of those is near,
// the nearest point on a curve.
#pragma once

#include "platform/cad/engine/Entity.h"

#include <QString>
#include <optional>
#include <vector>

namespace cadhost {

struct SnapPoint {
    enum Kind { End, Middle, Center, Intersection, Insertion, Node, Perpendicular, Nearest };
    cad::db::Point3 point;
    Kind kind = End;
};

// A set of snap kinds, one bit per kind.
using SnapKinds = unsigned;
constexpr SnapKinds AllSnapKinds = (1u << (SnapPoint::Nearest + 1)) - 1;
constexpr SnapKinds OnlySnap(SnapPoint::Kind kind) { return 1u << kind; }

// The snap point nearest the cursor within `aperture` (drawing units) among the entities' own
// geometry, or nullopt. `from` is where the rubber band starts (for the perpendicular); a nearest
// point on a curve is taken only when no other kind asked for is near.
std::optional<SnapPoint> FindSnap(const std::vector<const cad::db::Entity*>& entities,
                                  const cad::db::Point3& cursor, double aperture,
                                  const std::optional<cad::db::Point3>& from = std::nullopt,
                                  SnapKinds kinds = AllSnapKinds);

// The kind a snap override typed at a point prompt names: "_end", "_mid", "_cen", "_int", "_ins",
// "_per", "_nea", "_nod" (also without the underscore and in full), or the Polish "kon", "śro",
// "cen", "prz", "wst", "pro", "bli", "węz" (three letters or more of "koniec", "środek", ...).
// A word that starts a keyword of the prompt (in its "[...]") is that keyword, not an override.
std::optional<SnapPoint::Kind> SnapOverrideOf(const QString& typed, const QString& prompt = {});
// The kind's Polish name ("Wstawienie"), for the user's notes.
QString SnapKindName(SnapPoint::Kind kind);

}  // namespace cadhost
