// Grip points per entity kind and what dragging one does.
#include "cadhost/Grips.h"

#include "cadhost/DrawingView.h"
#include "platform/cad/engine/UndoJournal.h"

#include <cmath>

namespace cadhost {

using namespace cad::db;

namespace {

Point3 onArc(const ArcData& a, double angle) {
    return {a.center.x + a.radius * std::cos(angle), a.center.y + a.radius * std::sin(angle), 0};
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
    return out;
}

void MoveGrip(Database& db, Entity* e, int index, const Point3& to) {
    const std::vector<Grip> grips = GripsOf(e);
    if (index < 0 || index >= int(grips.size())) return;
    const Point3 from = grips[size_t(index)].at;
    switch (e->kind()) {
        case EntityKind::Line:
            if (index < 2) {
                db.journal().willModify(e);
                auto& l = e->as<LineData>();
                (index == 0 ? l.start : l.end) = Point3{to.x, to.y, (index == 0 ? l.start : l.end).z};
                return;
            }
            break;
        case EntityKind::Arc:
            if (index < 2) {
                // An end keeps the arc on its circle: only its angle follows the cursor.
                db.journal().willModify(e);
                auto& a = e->as<ArcData>();
                double angle = std::atan2(to.y - a.center.y, to.x - a.center.x);
                if (angle < 0) angle += 2 * std::acos(-1.0);
                (index == 0 ? a.startAngle : a.endAngle) = angle;
                return;
            }
            break;
        case EntityKind::LwPolyline: {
            db.journal().willModify(e);
            Vertex& v = e->as<LwPolylineData>().vertices[size_t(index)];
            v.x = to.x;
            v.y = to.y;
            return;
        }
        default:
            break;
    }
    db.move(e, from, to);  // a middle, a centre or an insertion point carries the whole entity
}

namespace {

class GripCommand : public EditCommand {
public:
    GripCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d, quint64 handle, int index)
        : EditCommand(m, v, d), handle_(handle), index_(index) {}
    QString prompt() const override { return QStringLiteral("** ROZCIĄGNIJ ** Określ punkt rozciągnięcia:"); }
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
