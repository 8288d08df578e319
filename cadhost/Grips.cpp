// Grip points per entity kind and what dragging one does.
#include "cadhost/Grips.h"

#include "cadhost/DrawingView.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/engine/UndoJournal.h"

#include <cmath>
#include <optional>

namespace cadhost {

using namespace cad::db;

namespace {

Point3 onArc(const ArcData& a, double angle) {
    return {a.center.x + a.radius * std::cos(angle), a.center.y + a.radius * std::sin(angle), 0};
}

// The point a plan transform takes to `p`, when there is one.
std::optional<Point3> inverseOf(const Transform2D& t, const Point3& p) {
    const double det = t.determinant();
    if (!(std::abs(det) > 1e-12)) return std::nullopt;
    const double x = p.x - t.tx, y = p.y - t.ty;
    return Point3{(t.d * x - t.b * y) / det, (-t.c * x + t.a * y) / det, p.z};
}

Point3 textPoint(const TextData& t) {
    return (t.horizontal == 0 && t.vertical == 0) ? t.position : t.alignmentPoint;
}

}  // namespace

std::vector<Grip> GripsOf(const Entity* e) {
    std::vector<Grip> out;
    auto add = [&out](const Point3& p) { out.push_back(Grip{p, int(out.size())}); };
    switch (e->kind()) {
        case EntityKind::Line: {
            const auto& l = e->as<LineData>();
            add(l.start);
            add(l.end);
            add({(l.start.x + l.end.x) / 2, (l.start.y + l.end.y) / 2, 0});
            break;
        }
        case EntityKind::Arc: {
            const auto& a = e->as<ArcData>();
            add(onArc(a, a.startAngle));
            add(onArc(a, a.endAngle));
            add(a.center);
            break;
        }
        case EntityKind::Circle:
            add(e->as<CircleData>().center);
            break;
        case EntityKind::LwPolyline:
            for (const Vertex& v : e->as<LwPolylineData>().vertices) add({v.x, v.y, 0});
            break;
        case EntityKind::Text:
            add(textPoint(e->as<TextData>()));
            break;
        case EntityKind::MText:
            add(e->as<MTextData>().position);
            break;
        case EntityKind::BlockReference:
            add(e->as<InsertData>().position);
            break;
        case EntityKind::Point:
            add(e->as<PointData>().position);
            break;
        default:
            break;
    }
    // Kinds keeping their points in their own coordinate system show them where they are drawn.
    if (!isWorldExtrusion(e->normal) && usesOcs(*e)) {
        const Transform2D t = ocsPlacement(*e);
        for (Grip& g : out) g.at = t.apply(g.at);
    }
    return out;
}

bool MovesOnePoint(const Entity* e, int index) {
    switch (e->kind()) {
        case EntityKind::Line:
        case EntityKind::Arc:
            return index == 0 || index == 1;
        case EntityKind::LwPolyline:
            return index >= 0 && size_t(index) < e->as<LwPolylineData>().vertices.size();
        default:
            return false;
    }
}

void SetGripPoint(Entity* e, int index, const Point3& world) {
    if (!MovesOnePoint(e, index)) return;
    // The cursor's point in the entity's own coordinate system (a plane seen edge-on has no point
    // under the cursor: nothing moves).
    Point3 to = world;
    if (!isWorldExtrusion(e->normal) && usesOcs(*e)) {
        const std::optional<Point3> back = inverseOf(ocsPlacement(*e), world);
        if (!back) return;
        to = *back;
    }
    switch (e->kind()) {
        case EntityKind::Line: {
            auto& l = e->as<LineData>();
            Point3& p = index == 0 ? l.start : l.end;
            p = Point3{to.x, to.y, p.z};
            return;
        }
        case EntityKind::Arc: {
            // An end keeps the arc on its circle: only its angle follows the cursor.
            auto& a = e->as<ArcData>();
            double angle = std::atan2(to.y - a.center.y, to.x - a.center.x);
            if (angle < 0) angle += 2 * std::acos(-1.0);
            (index == 0 ? a.startAngle : a.endAngle) = angle;
            return;
        }
        case EntityKind::LwPolyline: {
            Vertex& v = e->as<LwPolylineData>().vertices[size_t(index)];
            v.x = to.x;
            v.y = to.y;
            return;
        }
        default:
            return;
    }
}

void MoveGrip(Database& db, Entity* e, int index, const Point3& to) {
    const std::vector<Grip> grips = GripsOf(e);
    if (index < 0 || index >= int(grips.size())) return;
    if (MovesOnePoint(e, index)) {
        db.journal().willModify(e);
        SetGripPoint(e, index, to);
        return;
    }
    db.move(e, grips[size_t(index)].at, to);  // a middle, a centre or an insertion point carries the whole entity
}

namespace {

class GripCommand : public EditCommand {
public:
    GripCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d, quint64 handle, int index)
        : EditCommand(m, v, d), handle_(handle), index_(index) {}
    QString prompt() const override { return QStringLiteral("** ROZCIĄGNIJ ** Określ punkt rozciągnięcia:"); }
    DragPreview dragPreview() const override {
        const Entity* e = entity();
        const std::optional<cad::Point> from = basePoint();
        if (!e || !from) return {};
        DragPreview p;
        p.handles = {handle_};
        if (MovesOnePoint(e, index_)) {
            p.grip = index_;
        } else {
            const cad::Point f = *from;
            p.placement = [f](const Point3& c) {
                return std::optional(Transform2D::translation(c.x - f.x, c.y - f.y));
            };
        }
        return p;
    }
    std::optional<cad::Point> basePoint() const override {
        if (const Entity* e = entity())
            for (const Grip& g : GripsOf(e))
                if (g.index == index_) return cad::Point{g.at.x, g.at.y, 0};
        return std::nullopt;
    }
    QString input(const cad::Input& in) override {
        if (in.kind == cad::Input::Enter) {
            finished_ = true;
            return {};
        }
        if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż punkt.");
        finished_ = true;
        Entity* e = entity();
        if (!e) return QStringLiteral("Obiekt został usunięty.");
        MoveGrip(*doc_->db, e, index_, Point3{in.point.x, in.point.y, 0});
        doc_->saved = false;
        view_->clearSelection();
        return {};
    }

private:
    Entity* entity() const {
        auto* e = dynamic_cast<Entity*>(doc_->db->objectByHandle(handle_));
        return e && !e->isErased() ? e : nullptr;
    }
    quint64 handle_;
    int index_;
};

}  // namespace

std::unique_ptr<EditCommand> MakeGripCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d,
                                             quint64 handle, int index) {
    return std::make_unique<GripCommand>(m, v, d, handle, index);
}

}  // namespace cadhost
