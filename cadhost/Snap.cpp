// Snap candidates from straight and circular pieces; intersections solved pairwise among the few
// pieces near the cursor. Block references are looked into through their transforms.
#include "cadhost/Snap.h"

#include "platform/cad/engine/Block.h"
#include "platform/cad/engine/BlockPath.h"
#include "platform/cad/engine/Curves.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/engine/Splines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cadhost {

using namespace cad::db;

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

struct Piece {
    bool arc = false;
    Point3 a, b;  // line ends, or arc start and end points
    Point3 center;
    double r = 0;
    double a0 = 0, sweep = TwoPi;  // counter-clockwise from a0
    bool full = false;
    // A short chord of an arc a reference draws as part of an ellipse (scaled unevenly): it has no
    // end or middle of its own, and stands for the curve in crossings, perpendiculars and nearest.
    bool chord = false;
    int curve = 0;  // the chords of one curve share a number: where they meet is no crossing
};

double norm(double a) {
    a = std::fmod(a, TwoPi);
    return a < 0 ? a + TwoPi : a;
}

bool onArc(const Piece& p, double angle) {
    if (p.full) return true;
    return norm(angle - p.a0) <= p.sweep + 1e-9;
}

Piece arcPiece(const Point3& c, double r, double a0, double sweep, bool full) {
    Piece p;
    p.arc = true;
    p.center = c;
    p.r = r;
    p.a0 = a0;
    p.sweep = sweep;
    p.full = full;
    p.a = {c.x + r * std::cos(a0), c.y + r * std::sin(a0), 0};
    p.b = {c.x + r * std::cos(a0 + sweep), c.y + r * std::sin(a0 + sweep), 0};
    return p;
}

void polylinePieces(const std::vector<Vertex>& v, bool closed, std::vector<Piece>& out) {
    if (v.size() < 2) return;
    const size_t n = closed ? v.size() : v.size() - 1;
    for (size_t i = 0; i < n; ++i) {
        const Vertex& s = v[i];
        const Vertex& e = v[(i + 1) % v.size()];
        const bool coincident = s.x == e.x && s.y == e.y;
        if (std::abs(s.bulge) < 1e-9 || coincident) {
            Piece p;
            p.a = {s.x, s.y, 0};
            p.b = {e.x, e.y, 0};
            out.push_back(p);
            continue;
        }
        // The engine's arc of the segment is counter-clockwise whichever way the segment runs.
        const BulgeArc arc = bulgeToArc({s.x, s.y, 0}, {e.x, e.y, 0}, s.bulge);
        Piece p = arcPiece(arc.center, arc.radius, norm(arc.startAngle), norm(arc.endAngle - arc.startAngle),
                           false);
        out.push_back(p);
    }
}

void piecesOf(const Entity* e, std::vector<Piece>& out) {
    switch (e->kind()) {
        case EntityKind::Line: {
            const auto& d = *e->tryAs<LineData>();
            Piece p;
            p.a = d.start;
            p.b = d.end;
            out.push_back(p);
            break;
        }
        case EntityKind::Arc: {
            const auto& d = *e->tryAs<ArcData>();
            double sweep = norm(d.endAngle - d.startAngle);
            if (sweep == 0) sweep = TwoPi;
            out.push_back(arcPiece(d.center, d.radius, norm(d.startAngle), sweep, false));
            break;
        }
        case EntityKind::Circle: {
            const auto& d = *e->tryAs<CircleData>();
            out.push_back(arcPiece(d.center, d.radius, 0, TwoPi, true));
            break;
        }
        case EntityKind::LwPolyline: {
            const auto& d = *e->tryAs<LwPolylineData>();
            polylinePieces(d.vertices, d.closed, out);
            break;
        }
        case EntityKind::Polyline2d: {
            const auto& d = *e->tryAs<Polyline2dData>();
            polylinePieces(d.vertices, d.closed, out);
            break;
        }
        case EntityKind::Unknown: {  // a 3D polyline snaps as its plan
            std::vector<Point3> points;
            bool closed = false;
            if (!polyline3dVertices(e->as<RawData>(), points, closed)) break;
            std::vector<Vertex> plan;
            for (const Point3& p : points) plan.push_back({p.x, p.y});
            polylinePieces(plan, closed, out);
            break;
        }
        default:
            break;
    }
}

void intersections(const Piece& p, const Piece& q, std::vector<Point3>& out) {
    if (!p.arc && !q.arc) {
        const double rx = p.b.x - p.a.x, ry = p.b.y - p.a.y, sx = q.b.x - q.a.x, sy = q.b.y - q.a.y;
        const double den = rx * sy - ry * sx;
        if (std::abs(den) < 1e-12) return;
        const double t = ((q.a.x - p.a.x) * sy - (q.a.y - p.a.y) * sx) / den;
        const double u = ((q.a.x - p.a.x) * ry - (q.a.y - p.a.y) * rx) / den;
        if (t >= -1e-9 && t <= 1 + 1e-9 && u >= -1e-9 && u <= 1 + 1e-9)
            out.push_back({p.a.x + t * rx, p.a.y + t * ry, 0});
        return;
    }
    if (p.arc && !q.arc) return intersections(q, p, out);
    if (!p.arc && q.arc) {
        const double dx = p.b.x - p.a.x, dy = p.b.y - p.a.y;
        const double fx = p.a.x - q.center.x, fy = p.a.y - q.center.y;
        const double A = dx * dx + dy * dy, B = 2 * (fx * dx + fy * dy), C = fx * fx + fy * fy - q.r * q.r;
        const double disc = B * B - 4 * A * C;
        if (A == 0 || disc < 0) return;
        const double sq = std::sqrt(disc);
        for (double t : {(-B - sq) / (2 * A), (-B + sq) / (2 * A)}) {
            if (t < -1e-9 || t > 1 + 1e-9) continue;
            const Point3 x{p.a.x + t * dx, p.a.y + t * dy, 0};
            if (onArc(q, std::atan2(x.y - q.center.y, x.x - q.center.x))) out.push_back(x);
            if (disc == 0) break;
        }
        return;
    }
    const double dx = q.center.x - p.center.x, dy = q.center.y - p.center.y;
    const double d = std::hypot(dx, dy);
    if (d < 1e-12 || d > p.r + q.r || d < std::abs(p.r - q.r)) return;
    const double a = (p.r * p.r - q.r * q.r + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, p.r * p.r - a * a));
    const double mx = p.center.x + a * dx / d, my = p.center.y + a * dy / d;
    for (double s : {1.0, -1.0}) {
        const Point3 x{mx - s * h * dy / d, my + s * h * dx / d, 0};
        if (onArc(p, std::atan2(x.y - p.center.y, x.x - p.center.x)) &&
            onArc(q, std::atan2(x.y - q.center.y, x.x - q.center.x)))
            out.push_back(x);
        if (h == 0) break;
    }
}

// The point an entity is placed by: a block reference's insertion point, a text's alignment
// point (its start when it is left-aligned on the base line), a point's position.
std::optional<std::pair<Point3, SnapPoint::Kind>> placementOf(const Entity* e) {
    switch (e->kind()) {
        case EntityKind::BlockReference:
            return std::pair{e->as<InsertData>().position, SnapPoint::Insertion};
        case EntityKind::Text: {
            const auto& t = e->as<TextData>();
            return std::pair{(t.horizontal == 0 && t.vertical == 0) ? t.position : t.alignmentPoint,
                             SnapPoint::Insertion};
        }
        case EntityKind::MText:
            return std::pair{e->as<MTextData>().position, SnapPoint::Insertion};
        case EntityKind::Point:
            return std::pair{e->as<PointData>().position, SnapPoint::Node};
        default:
            return std::nullopt;
    }
}

// The point of the piece nearest to `p`.
Point3 nearestOn(const Piece& piece, const Point3& p) {
    if (!piece.arc) {
        const double dx = piece.b.x - piece.a.x, dy = piece.b.y - piece.a.y, len2 = dx * dx + dy * dy;
        const double t = len2 == 0 ? 0 : std::clamp(((p.x - piece.a.x) * dx + (p.y - piece.a.y) * dy) / len2, 0.0, 1.0);
        return {piece.a.x + t * dx, piece.a.y + t * dy, 0};
    }
    const double angle = std::atan2(p.y - piece.center.y, p.x - piece.center.x);
    if (onArc(piece, angle))
        return {piece.center.x + piece.r * std::cos(angle), piece.center.y + piece.r * std::sin(angle), 0};
    const bool nearerStart = std::hypot(p.x - piece.a.x, p.y - piece.a.y) <= std::hypot(p.x - piece.b.x, p.y - piece.b.y);
    return nearerStart ? piece.a : piece.b;
}

// The feet of the perpendiculars from `from` on the piece (on a circle: both points on the line
// through its centre).
void perpendicularFeet(const Piece& piece, const Point3& from, std::vector<Point3>& out) {
    if (!piece.arc) {
        const double dx = piece.b.x - piece.a.x, dy = piece.b.y - piece.a.y, len2 = dx * dx + dy * dy;
        if (len2 == 0) return;
        const double t = ((from.x - piece.a.x) * dx + (from.y - piece.a.y) * dy) / len2;
        if (t >= -1e-9 && t <= 1 + 1e-9) out.push_back({piece.a.x + t * dx, piece.a.y + t * dy, 0});
        return;
    }
    const double angle = std::atan2(from.y - piece.center.y, from.x - piece.center.x);
    if (from.x == piece.center.x && from.y == piece.center.y) return;
    for (double a : {angle, angle + std::numbers::pi})
        if (onArc(piece, a)) out.push_back({piece.center.x + piece.r * std::cos(a), piece.center.y + piece.r * std::sin(a), 0});
}

// The box a piece lies in (a whole circle's for an arc: enough to tell it is far).
Box boxOf(const Piece& p) {
    Box b;
    if (p.arc) {
        b.add(p.center.x - p.r, p.center.y - p.r);
        b.add(p.center.x + p.r, p.center.y + p.r);
    } else {
        b.add(p.a);
        b.add(p.b);
    }
    return b;
}

// A place a snap marks by itself: an end or middle of an unevenly scaled arc, its centre, an
// insertion point, a node.
struct Mark {
    Point3 point;
    SnapPoint::Kind kind;
};

// Entities (and cells of grids) looked at for one snap, blocks' included: as far as drawing one
// entity goes, so a block inserting the next one many times over (or a grid of millions of cells)
// cannot stall the mouse.
constexpr long MaxLookedAt = 500000;

// What lies near the cursor, gathered from the entities and the blocks they show. Only pieces
// whose box meets the cursor's square are kept: every snap point lies on its piece (a centre
// within its circle's box), so nothing within the aperture is lost. Blocks are looked into as
// drawing goes into them: a block inside itself once, nothing nested deeper than MaxBlockNesting.
class Gathering {
public:
    Gathering(const Box& area, BlockContents& contents) : area_(area), contents_(contents) {}
    std::vector<Piece> pieces;
    std::vector<Mark> marks;

    // `t`: the placement of the block the entity is in (nullptr in model space).
    void add(const Entity* e, const Transform2D* outer) {
        if (e->isErased() || ++looked_ > MaxLookedAt) return;
        // Kinds keeping their points in their own coordinate system are placed through its plan
        // view (a reference's before its block's).
        Transform2D own;
        const Transform2D* t = outer;
        if (!isWorldExtrusion(e->normal) && usesOcs(*e)) {
            own = outer ? outer->after(ocsPlacement(*e)) : ocsPlacement(*e);
            t = &own;
        }
        local_.clear();
        piecesOf(e, local_);
        for (const Piece& p : local_) t ? addTransformed(p, *t) : keep(p);
        if (const auto* raw = e->tryAs<RawData>()) addSpline(*raw, t);
        if (const auto placed = placementOf(e)) marks.push_back({t ? t->apply(placed->first) : placed->first, placed->second});
        if (e->kind() == EntityKind::BlockReference) addReference(e, t);
    }

private:
    void keep(const Piece& p) {
        if (boxOf(p).overlaps(area_)) pieces.push_back(p);
    }

    // A spline (a helix by its spline, as drawn) marks its two ends; short chords along it stand
    // for the curve in crossings, perpendiculars and the nearest point.
    void addSpline(const RawData& raw, const Transform2D* t) {
        SplineCurve s;
        if (!splineOfRaw(raw, s)) return;
        std::vector<Point3> along = splineSamples(s);
        if (along.size() < 2) return;
        if (t)
            for (Point3& p : along) p = t->apply(p);
        marks.push_back({along.front(), SnapPoint::End});
        marks.push_back({along.back(), SnapPoint::End});
        ++curves_;
        for (size_t i = 1; i < along.size(); ++i) {
            Piece chord;
            chord.a = along[i - 1];
            chord.b = along[i];
            chord.chord = true;
            chord.curve = curves_;
            keep(chord);
        }
    }

    // The definition's entities near the cursor, placed as the reference places them.
    void addReference(const Entity* e, const Transform2D* outer) {
        const Database* db = e->database();
        const auto& d = e->as<InsertData>();
        const BlockDefinition* block = db ? db->findBlock(d.blockName) : nullptr;
        if (!block || block->isErased() || !path_.canEnter(block)) return;
        // A MINSERT shows the block in every cell of its grid; a damaged file's grid of millions of
        // cells is looked into as far as the drawing shows it.
        for (int row = 0; row < d.gridRows(); ++row)
            for (int column = 0; column < d.gridColumns(); ++column) {
                if (++looked_ > MaxLookedAt) return;
                const Point3 o = d.cellOffset(row, column);
                const Transform2D local = Transform2D::translation(d.position.x + o.x, d.position.y + o.y)
                                              .after(Transform2D::rotation(d.rotation))
                                              .after(Transform2D::scale(d.xScale, d.yScale))
                                              .after(Transform2D::translation(-block->basePoint.x, -block->basePoint.y));
                addCell(block, outer ? outer->after(local) : local);
            }
    }

    void addCell(const BlockDefinition* block, const Transform2D& t) {
        const double det = t.determinant();
        if (!std::isfinite(det) || std::abs(det) < 1e-300) return;  // a reference scaled to nothing shows nothing
        // The cursor's square in the definition's own coordinates.
        const Transform2D inv{t.d / det, -t.b / det, -t.c / det, t.a / det, (t.b * t.ty - t.d * t.tx) / det,
                              (t.c * t.tx - t.a * t.ty) / det};
        Box inside;
        for (const Point3& c : {area_.min, area_.max, Point3{area_.min.x, area_.max.y, 0}, Point3{area_.max.x, area_.min.y, 0}})
            inside.add(inv.apply(c));
        path_.enter(block);
        for (const Entity* inner : contents_.near(block, inside)) add(inner, &t);
        path_.leave();
    }

    void addTransformed(const Piece& p, const Transform2D& t) {
        if (!p.arc) {
            Piece q = p;
            q.a = t.apply(p.a);
            q.b = t.apply(p.b);
            keep(q);
            return;
        }
        // Rotation, even scale and mirroring keep an arc an arc.
        const double sx = std::hypot(t.a, t.c), sy = std::hypot(t.b, t.d);
        const double big = std::max(sx, sy);
        if (std::abs(sx - sy) <= 1e-9 * big && std::abs(t.a * t.b + t.c * t.d) <= 1e-9 * big * big) {
            const auto angleOf = [&t](double a) {
                const Point3 v = t.applyVector({std::cos(a), std::sin(a), 0});
                return norm(std::atan2(v.y, v.x));
            };
            // Mirrored, the arc runs the other way: it starts where it ended.
            const double start = t.determinant() < 0 ? angleOf(p.a0 + p.sweep) : angleOf(p.a0);
            keep(arcPiece(t.apply(p.center), p.r * sx, start, p.sweep, p.full));
            return;
        }
        // Scaled unevenly it is part of an ellipse: its centre, ends and middle are marked, and
        // short chords stand for the curve.
        const auto at = [&](double a) { return t.apply({p.center.x + p.r * std::cos(a), p.center.y + p.r * std::sin(a), 0}); };
        const Point3 c = t.apply(p.center);
        const double r = p.r * std::hypot(sx, sy);  // no point of the ellipse lies further out
        Box reach;
        reach.add(c.x - r, c.y - r);
        reach.add(c.x + r, c.y + r);
        if (!reach.overlaps(area_)) return;
        marks.push_back({c, SnapPoint::Center});
        if (!p.full) {
            marks.push_back({at(p.a0), SnapPoint::End});
            marks.push_back({at(p.a0 + p.sweep), SnapPoint::End});
            marks.push_back({at(p.a0 + p.sweep / 2), SnapPoint::Middle});
        }
        const int n = std::max(4, int(std::ceil(p.sweep / TwoPi * 96)));
        ++curves_;
        Point3 prev = at(p.a0);
        for (int i = 1; i <= n; ++i) {
            Piece chord;
            chord.a = prev;
            chord.b = prev = at(p.a0 + p.sweep * i / n);
            chord.chord = true;
            chord.curve = curves_;
            keep(chord);
        }
    }

    Box area_;
    BlockContents& contents_;
    std::vector<Piece> local_;
    BlockPath path_;
    long looked_ = 0;
    int curves_ = 0;
};

}  // namespace

std::optional<SnapPoint> FindSnap(const std::vector<const Entity*>& entities, const Point3& cursor,
                                  double aperture, const std::optional<Point3>& from, SnapKinds kinds,
                                  BlockContents* contents) {
    std::optional<SnapPoint> best;
    double bestDist = aperture;
    auto consider = [&](const Point3& p, SnapPoint::Kind kind) {
        if (!(kinds & OnlySnap(kind))) return;
        const double d = std::hypot(p.x - cursor.x, p.y - cursor.y);
        // An intersection at a shared end point stays an end point.
        if (kind == SnapPoint::Intersection ? d < bestDist - 1e-9 : d <= bestDist) {
            bestDist = d;
            best = SnapPoint{p, kind};
        }
    };
    BlockContents own;
    Box area;
    area.add(cursor.x - aperture, cursor.y - aperture);
    area.add(cursor.x + aperture, cursor.y + aperture);
    Gathering near(area, contents ? *contents : own);
    for (const Entity* e : entities) near.add(e, nullptr);
    const std::vector<Piece>& pieces = near.pieces;
    std::vector<Point3> feet;
    if (from)
        for (const Piece& p : pieces) perpendicularFeet(p, *from, feet);
    for (const Point3& f : feet) consider(f, SnapPoint::Perpendicular);
    for (const Piece& p : pieces) {
        if (p.chord) continue;
        if (p.arc) {
            consider(p.center, SnapPoint::Center);
            if (p.full) continue;
            const double mid = p.a0 + p.sweep / 2;
            consider({p.center.x + p.r * std::cos(mid), p.center.y + p.r * std::sin(mid), 0},
                     SnapPoint::Middle);
        } else {
            consider({(p.a.x + p.b.x) / 2, (p.a.y + p.b.y) / 2, 0}, SnapPoint::Middle);
        }
        consider(p.a, SnapPoint::End);
        consider(p.b, SnapPoint::End);
    }
    // After the pieces: a reference's insertion point stays that where its geometry has a point
    // too.
    for (const Mark& m : near.marks) consider(m.point, m.kind);
    // Pairwise intersections; the pieces near a cursor are few, but a bound keeps a pathological
    // crowd from stalling the mouse.
    const size_t n = std::min<size_t>(pieces.size(), 300);
    std::vector<Point3> xs;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j) {
            if (pieces[i].curve != 0 && pieces[i].curve == pieces[j].curve) continue;
            xs.clear();
            intersections(pieces[i], pieces[j], xs);
            for (const Point3& x : xs) consider(x, SnapPoint::Intersection);
        }
    // A point on a curve only when nothing that marks a place is near.
    if (!best && (kinds & OnlySnap(SnapPoint::Nearest)))
        for (const Piece& p : pieces) consider(nearestOn(p, cursor), SnapPoint::Nearest);
    return best;
}

std::vector<const Entity*> BlockContents::near(const BlockDefinition* block, const Box& area) {
    Indexed& in = blocks_[block];
    const std::vector<Entity*>& all = block->entities();
    if (in.entities.empty() || in.count != all.size()) {
        in.count = all.size();
        in.entities.assign(all.begin(), all.end());
        std::vector<Box> boxes;
        boxes.reserve(all.size());
        const Database* db = block->database();
        for (const Entity* e : all) {
            Box b;
            try {
                if (db) b = db->boundingBox(e);
            } catch (const cad::Error&) {
                // An entity without a box is never near: it has no geometry a snap could use.
            }
            boxes.push_back(b);
        }
        in.index.build(std::move(boxes));
    }
    std::vector<const Entity*> out;
    for (uint32_t i : in.index.query(area)) out.push_back(in.entities[i]);
    return out;
}

}  // namespace cadhost
