// Object snap: end points, middle points, centres and intersections of lines, arcs, circles and
// polyline segments (of splines and helices their ends, crossings and nearest points), the
// insertion points of block references and texts, nodes (points), the foot of the perpendicular
// from the point the rubber band starts at, and, when none of those is near, the nearest point on a
// curve. The geometry inside block references (nested ones too) counts as drawn, through each
// reference's placement, rotation, scale and mirroring.
#pragma once

#include "cadhost/SpatialIndex.h"
#include "platform/cad/engine/Entity.h"

#include <QString>
#include <optional>
#include <unordered_map>
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

// The entities of block definitions near a place, found through an index of each definition's
// entity boxes (in its own coordinates), built the first time a snap looks into it, so that a
// base map drawn as one large block is searched as model space is.
class BlockContents {
public:
    // The definition's entities whose boxes overlap `area` (in the definition's coordinates).
    std::vector<const cad::db::Entity*> near(const cad::db::BlockDefinition* block, const cad::db::Box& area);
    // The drawing changed: each index is built again when next used.
    void clear() { blocks_.clear(); }

private:
    struct Indexed {
        size_t count = 0;  // the definition's entities when indexed: another count means a change
        std::vector<const cad::db::Entity*> entities;
        SpatialIndex index;
    };
    std::unordered_map<const cad::db::BlockDefinition*, Indexed> blocks_;
};

// The snap point nearest the cursor within `aperture` (drawing units) among the entities' own
// geometry, or nullopt. `from` is where the rubber band starts (for the perpendicular); a nearest
// point on a curve is taken only when no other kind asked for is near. `contents` keeps the
// indexes of block definitions between calls (without it, each call builds those it needs).
std::optional<SnapPoint> FindSnap(const std::vector<const cad::db::Entity*>& entities,
                                  const cad::db::Point3& cursor, double aperture,
                                  const std::optional<cad::db::Point3>& from = std::nullopt,
                                  SnapKinds kinds = AllSnapKinds, BlockContents* contents = nullptr);

// The kind a snap override typed at a point prompt names: "_end", "_mid", "_cen", "_int", "_ins",
// "_per", "_nea", "_nod" (also without the underscore and in full), or the Polish "kon", "śro",
// "cen", "prz", "wst", "pro", "bli", "węz" (three letters or more of "koniec", "środek", ...).
// A word that starts a keyword of the prompt (in its "[...]") is that keyword, not an override.
std::optional<SnapPoint::Kind> SnapOverrideOf(const QString& typed, const QString& prompt = {});
// The kind's Polish name ("Wstawienie"), for the user's notes.
QString SnapKindName(SnapPoint::Kind kind);

}  // namespace cadhost
