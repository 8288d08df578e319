// Changes of entity geometry: transforms (move, rotate, scale), copy, explode and rectangular
// arrays. A transform is given in world plan coordinates; an entity kept in its own coordinate
// system (extrusion other than +Z) gets it conjugated by its OCS, so it moves where it is drawn.
#include "platform/cad/engine/Curves.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/DatabaseImpl.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/engine/Splines.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace cad::db {

// ---- Transforms ----

namespace {

// A move alone: no turn, scale, mirror or shear.
bool isTranslation(const Transform2D& t) {
    return t.a == 1 && t.b == 0 && t.c == 0 && t.d == 1;
}

bool isIdentity(const Transform2D& t) {
    return isTranslation(t) && t.tx == 0 && t.ty == 0;
}

void transformVertices(std::vector<Vertex>& vs, const Transform2D& t, double scale, bool mirror) {
    for (Vertex& v : vs) {
        const Point3 p = t.apply({v.x, v.y, 0});
        v.x = p.x;
        v.y = p.y;
        if (mirror) v.bulge = -v.bulge;
        v.startWidth *= scale;
        v.endWidth *= scale;
    }
}

void transformArc(Point3& center, double& radius, double& start, double& end, const Transform2D& t,
                  double scale, bool mirror) {
    const Point3 ps = t.apply(pointAt(center, radius, start));
    const Point3 pe = t.apply(pointAt(center, radius, end));
    center = t.apply(center);
    radius *= scale;
    double a0 = normalizeAngle(std::atan2(ps.y - center.y, ps.x - center.x));
    double a1 = normalizeAngle(std::atan2(pe.y - center.y, pe.x - center.x));
    if (mirror) std::swap(a0, a1);
    start = a0;
    end = a1;
}

// Turns and moves the X/Y pairs of tags [from, to) (an X code followed by its Y code, X + 10): those
// of `points` as points, those of `vectors` as directions, which only turn.
void transformPairs(Tags& tags, size_t from, size_t to, const Transform2D& t, const std::vector<int>& points,
                    const std::vector<int>& vectors) {
    const auto has = [](const std::vector<int>& codes, int c) {
        return std::find(codes.begin(), codes.end(), c) != codes.end();
    };
    for (size_t i = from; i + 1 < to; ++i) {
        Tag& x = tags[i];
        Tag& y = tags[i + 1];
        const bool vector = has(vectors, x.code), point = !vector && has(points, x.code);
        if ((!point && !vector) || y.code != x.code + 10) continue;
        const Point3 p{x.value.trimmed().toDouble(), y.value.trimmed().toDouble(), 0};
        const Point3 q = point ? t.apply(p) : t.applyVector(p);
        x.value = QString::number(q.x, 'g', 17);
        y.value = QString::number(q.y, 'g', 17);
        ++i;
    }
}

void transformEdge(Edge& e, const Transform2D& t, double scale, bool mirror) {
    switch (e.type) {
        case Edge::Line:
            e.start = t.apply(e.start);
            e.end = t.apply(e.end);
            break;
        case Edge::Arc: {
            if (!e.counterClockwise) {
                // Bring it into the counter-clockwise form first.
                const double s = -e.endAngle, en = -e.startAngle;
                e.startAngle = s;
                e.endAngle = en;
                e.counterClockwise = true;
            }
            transformArc(e.center, e.radius, e.startAngle, e.endAngle, t, scale, mirror);
            break;
        }
        case Edge::Ellipse:
            e.center = t.apply(e.center);
            e.majorAxis = t.applyVector(e.majorAxis);
            break;
        case Edge::Spline:  // control and fit points, end tangents
            transformPairs(e.raw, 0, e.raw.size(), t, {10, 11}, {12, 13});
            break;
    }
}

void transformText(TextData& td, const Transform2D& t) {
    const Point3 xAxis = t.applyVector({std::cos(td.rotation), std::sin(td.rotation), 0});
    const Point3 yAxis = t.applyVector({-std::sin(td.rotation), std::cos(td.rotation), 0});
    const double sx = std::hypot(xAxis.x, xAxis.y), sy = std::hypot(yAxis.x, yAxis.y);
    td.position = t.apply(td.position);
    td.alignmentPoint = t.apply(td.alignmentPoint);
    td.rotation = normalizeAngle(std::atan2(xAxis.y, xAxis.x));
    td.height *= sy;
    if (sy > 0) td.widthFactor *= sx / sy;
}

}  // namespace

namespace {

// Whether a helix whose own part starts at `helix` is still one after `t`: a plan transform keeps
// heights, so only a turn, a mirror or a move keeps any helix one, and an even scale one whose axis
// stands upright (its radius grows, its turns keep their height).
bool staysAHelix(const RawData& raw, size_t helix, const Transform2D& t, double scale) {
    const double big = std::max({std::abs(t.a), std::abs(t.b), std::abs(t.c), std::abs(t.d)});
    const bool similar = std::abs(t.a * t.b + t.c * t.d) <= 1e-12 * big * big &&
                         std::abs(std::hypot(t.a, t.c) - std::hypot(t.b, t.d)) <= 1e-12 * big;
    if (!similar) return false;
    if (std::abs(scale - 1) <= 1e-12) return true;
    Point3 axis{0, 0, 1};
    for (const Tag& tag : std::span(raw.tags).subspan(std::min(helix, raw.tags.size()))) {
        const double v = tag.value.trimmed().toDouble();
        if (tag.code == 12) axis.x = v;
        if (tag.code == 22) axis.y = v;
        if (tag.code == 32) axis.z = v;
    }
    return std::hypot(axis.x, axis.y) <= 1e-9 * std::abs(axis.z);
}

// Kinds kept as raw tags whose geometry is points (and direction vectors) in the file's tags: the
// filled SOLID and TRACE, 3DFACE, the ELLIPSE (centre, major axis), the SPLINE (control and fit
// points, end tangents) and the HELIX (its spline, then its axis base point, start point, axis and
// radius). Each X tag is followed by its Y tag (code + 10). False for other kinds, for a mirrored
// ellipse, whose parameters would run the other way, and for a helix the transform would no longer
// leave a helix (sheared, scaled unevenly, or scaled about an axis that does not stand upright).
bool transformRawTags(RawData& raw, const Transform2D& t, bool mirror) {
    const QString kind = raw.dxfName.toUpper();
    std::vector<int> points, vectors;
    if (kind == QLatin1String("SOLID") || kind == QLatin1String("TRACE") || kind == QLatin1String("3DFACE"))
        points = {10, 11, 12, 13};
    else if (kind == QLatin1String("ELLIPSE") && !mirror)
        points = {10}, vectors = {11};
    else if (kind == QLatin1String("SPLINE") || kind == QLatin1String("HELIX"))
        points = {10, 11}, vectors = {12, 13};
    else
        return false;
    const size_t helix = helixPartStart(raw);
    const double scale = std::sqrt(std::abs(t.determinant()));
    if (helix < raw.tags.size() && !staysAHelix(raw, helix, t, scale)) return false;
    transformPairs(raw.tags, 0, helix, t, points, vectors);
    // In the helix's own part 10 and 11 are its axis base and start points, 12 its axis.
    transformPairs(raw.tags, helix, raw.tags.size(), t, {10, 11}, {12});
    // Its radius is a length; mirrored, it turns the other way round its axis, as its spline now does.
    for (size_t i = helix; i < raw.tags.size(); ++i) {
        Tag& tag = raw.tags[i];
        if (tag.code == 40) tag.value = QString::number(tag.value.trimmed().toDouble() * scale, 'g', 17);
        if (tag.code == 290 && mirror)
            tag.value = tag.value.trimmed().toInt() ? QStringLiteral("0") : QStringLiteral("1");
    }
    return true;
}

// Whether transform() can move a copy of the entity by `world` where it is drawn: every modelled
// kind in a plane parallel to XY (a tilted MTEXT by a move alone), and of the kinds kept as read
// those whose points are known.
bool movable(const Entity& e, const Transform2D& world) {
    if (usesOcs(e) && !Ocs(e.normal).parallelToXY()) return false;
    if (e.kind() == EntityKind::MText && !isTranslation(world) && !Ocs(e.normal).parallelToXY()) return false;
    if (e.kind() == EntityKind::Unknown) {
        RawData probe = e.as<RawData>();  // a helix is judged by its axis
        return transformRawTags(probe, world, world.determinant() < 0);
    }
    return true;
}

}  // namespace

void Database::transform(Entity* e, const Transform2D& world) {
    e->checkAlive();
    if (isIdentity(world)) return;
    // Applied to the stored values, so the entity moves by `world` where it is drawn; a tilted
    // entity is refused here, before anything changed.
    const Transform2D t = ocsTransform(*e, world);
    std::vector<Transform2D> attributeTransforms;
    if (const auto* ins = e->tryAs<InsertData>())
        for (Entity* a : ins->attributes) attributeTransforms.push_back(ocsTransform(*a, world));
    // MTEXT keeps a world insertion point but turns in its OCS.
    const Ocs mtextOcs(e->kind() == EntityKind::MText ? e->normal : Point3{0, 0, 1});
    if (!mtextOcs.parallelToXY() && !isTranslation(world))
        throw NotSupported(QStringLiteral("Obiektu %1 leżącego poza płaszczyzną XY nie można obrócić ani skalować")
                               .arg(e->objectName()));
    const Transform2D mtextTurn = mtextOcs.parallelToXY()
                                      ? mtextOcs.planTransform().inverse().after(world).after(mtextOcs.planTransform())
                                      : world;
    // A dimension moves with its drawn block: a piece of it that cannot move refuses the whole move
    // before anything changed, rather than being left behind.
    if (const auto* dim = e->tryAs<DimensionData>())
        if (const BlockDefinition* def = dim->blockName.isEmpty() ? nullptr : findBlock(dim->blockName))
            for (const Entity* child : def->entities())
                if (!movable(*child, world))
                    throw NotSupported(QStringLiteral("Wymiaru z obiektem %1 w bloku nie można przekształcić")
                                           .arg(child->objectName()));
    d->journal->willModify(e);
    if (const auto* ins = e->tryAs<InsertData>())
        for (Entity* a : ins->attributes) d->journal->willModify(a);
    const double det = t.determinant();
    const bool mirror = det < 0;
    const double scale = std::sqrt(std::abs(det));
    const double rot = std::atan2(t.c, t.a);
    switch (e->kind()) {
        case EntityKind::Line: {
            auto& l = e->as<LineData>();
            l.start = t.apply(l.start);
            l.end = t.apply(l.end);
            break;
        }
        case EntityKind::Arc: {
            auto& a = e->as<ArcData>();
            transformArc(a.center, a.radius, a.startAngle, a.endAngle, t, scale, mirror);
            break;
        }
        case EntityKind::Circle: {
            auto& c = e->as<CircleData>();
            c.center = t.apply(c.center);
            c.radius *= scale;
            break;
        }
        case EntityKind::LwPolyline: {
            auto& p = e->as<LwPolylineData>();
            transformVertices(p.vertices, t, scale, mirror);
            p.constantWidth *= scale;
            break;
        }
        case EntityKind::Polyline2d:
            transformVertices(e->as<Polyline2dData>().vertices, t, scale, mirror);
            break;
        case EntityKind::Text:
        case EntityKind::AttributeDefinition:
        case EntityKind::AttributeReference:
            transformText(*e->textData(), t);
            break;
        case EntityKind::MText: {
            auto& m = e->as<MTextData>();
            m.position = world.apply(m.position);
            m.rotation = normalizeAngle(m.rotation + std::atan2(mtextTurn.c, mtextTurn.a));
            m.height *= scale;
            m.width *= scale;
            break;
        }
        case EntityKind::Point: {
            auto& p = e->as<PointData>();
            p.position = t.apply(p.position);
            break;
        }
        case EntityKind::Hatch: {
            auto& h = e->as<HatchData>();
            for (auto& loop : h.loops) {
                transformVertices(loop.vertices, t, scale, mirror);
                for (Edge& edge : loop.edges) transformEdge(edge, t, scale, mirror);
            }
            for (Point3& s : h.seeds) s = t.apply(s);
            h.patternAngle = normalizeAngle(h.patternAngle + rot);
            if (!h.solid) h.patternScale *= scale;
            h.patternLines.clear();  // regenerated from name, angle and scale when written
            break;
        }
        case EntityKind::Region:
            for (auto& loop : e->as<RegionData>().loops)
                for (Edge& edge : loop) transformEdge(edge, t, scale, mirror);
            if (!e->as<RegionData>().acis.empty())
                throw NotSupported(QStringLiteral("Regionu odczytanego z pliku nie można przekształcić"));
            break;
        case EntityKind::BlockReference: {
            auto& ins = e->as<InsertData>();
            const Point3 xAxis = t.applyVector({std::cos(ins.rotation), std::sin(ins.rotation), 0});
            const Point3 yAxis = t.applyVector({-std::sin(ins.rotation), std::cos(ins.rotation), 0});
            ins.position = t.apply(ins.position);
            ins.rotation = normalizeAngle(std::atan2(xAxis.y, xAxis.x));
            ins.xScale *= std::hypot(xAxis.x, xAxis.y);
            ins.yScale *= std::hypot(yAxis.x, yAxis.y) * (mirror ? -1 : 1);
            // A grid keeps running along the reference's axes: mirrored, its rows go the other way.
            ins.columnSpacing *= std::hypot(xAxis.x, xAxis.y);
            ins.rowSpacing *= std::hypot(yAxis.x, yAxis.y) * (mirror ? -1 : 1);
            for (size_t i = 0; i < ins.attributes.size(); ++i)
                if (!ins.attributes[i]->isErased())
                    transformText(*ins.attributes[i]->textData(), attributeTransforms[i]);
            break;
        }
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate: {
            auto& dim = e->as<DimensionData>();
            // Definition and extension points are world points, the text position an OCS one.
            dim.textPosition = ocsTransform(e->normal, e->objectName(), world).apply(dim.textPosition);
            dim.point1 = world.apply(dim.point1);
            dim.point2 = world.apply(dim.point2);
            if (e->kind() == EntityKind::DimAligned) dim.definitionPoint = world.apply(dim.definitionPoint);
            // The drawn block follows the dimension; it holds world points, its entities each
            // conjugating the move by their own OCS (arrowheads kept as SOLIDs too).
            if (BlockDefinition* def = dim.blockName.isEmpty() ? nullptr : findBlock(dim.blockName))
                for (Entity* child : def->entities())
                    if (child->kind() != EntityKind::DimAligned && child->kind() != EntityKind::DimOrdinate)
                        transform(child, world);
            break;
        }
        case EntityKind::Unknown:
            if (auto* raw = e->tryAs<RawData>(); raw && transformRawTags(*raw, t, mirror)) break;
            throw NotSupported(QStringLiteral("Obiektu %1 nie można przekształcić").arg(e->objectName()));
    }
}

void Database::move(Entity* entity, const Point3& from, const Point3& to) {
    transform(entity, Transform2D::translation(to.x - from.x, to.y - from.y));
}

void Database::rotate(Entity* entity, const Point3& base, double angle) {
    transform(entity, Transform2D::translation(base.x, base.y)
                          .after(Transform2D::rotation(angle))
                          .after(Transform2D::translation(-base.x, -base.y)));
}

// ---- Copy ----

Entity* Database::cloneEntity(const Entity* src, BlockDefinition* target, Database& targetDb) const {
    Entity* e = targetDb.newEntity(target, src->kind(), 0, nullptr);
    e->layer_ = src->layer_;
    e->color = src->color;
    e->trueColor = src->trueColor;
    e->linetype = src->linetype;
    e->lineweight = src->lineweight;
    e->linetypeScale = src->linetypeScale;
    e->visible = src->visible;
    e->thickness = src->thickness;
    e->normal = src->normal;
    e->extraTags = src->extraTags;
    e->commonTags = src->commonTags;
    e->xdata = src->xdata;
    e->data = src->data;
    if (auto* p = e->tryAs<Polyline2dData>()) {
        for (quint64& h : p->vertexHandles) h = targetDb.nextHandle_++;
        p->vertexHandles.resize(p->vertices.size());
        for (quint64& h : p->vertexHandles)
            if (h == 0) h = targetDb.nextHandle_++;
        p->seqendHandle = targetDb.nextHandle_++;
    }
    if (auto* h = e->tryAs<HatchData>()) {
        // The copy has no boundary objects of its own.
        h->associative = false;
        for (auto& loop : h->loops) loop.sourceHandles.clear();
    }
    if (auto* raw = e->tryAs<RawData>()) {
        // Records that follow the entity (VERTEX, SEQEND) need handles of their own.
        for (Tag& t : raw->tags)
            if (t.code == 5) t.value = handleToText(targetDb.nextHandle_++);
    }
    if (auto* ins = e->tryAs<InsertData>()) {
        ins->attributes.clear();
        ins->seqendHandle = targetDb.nextHandle_++;
        for (Entity* a : std::get<InsertData>(src->data).attributes) {
            if (a->isErased()) continue;
            Entity* ac = targetDb.newEntity(nullptr, EntityKind::AttributeReference, 0, e);
            ac->layer_ = a->layer_;
            ac->color = a->color;
            ac->trueColor = a->trueColor;
            ac->linetype = a->linetype;
            ac->lineweight = a->lineweight;
            ac->visible = a->visible;
            ac->extraTags = a->extraTags;
            ac->xdata = a->xdata;
            ac->data = a->data;
        }
    }
    targetDb.indexEntity(e);
    return e;
}

Entity* Database::copy(Entity* entity) {
    entity->checkAlive();
    if (!entity->ownerBlock())
        throw NotSupported(QStringLiteral("Atrybut kopiuje się razem z jego wstawieniem bloku"));
    return cloneEntity(entity, entity->ownerBlock(), *this);
}

std::vector<Entity*> Database::copyObjects(const std::vector<Entity*>& entities, BlockDefinition* target) {
    target->checkAlive();
    for (Entity* e : entities) {
        e->checkAlive();
        if (!e->ownerBlock())
            throw NotSupported(QStringLiteral("Atrybut kopiuje się razem z jego wstawieniem bloku"));
    }
    std::vector<Entity*> out;
    out.reserve(entities.size());
    for (Entity* e : entities) out.push_back(cloneEntity(e, target, *this));
    return out;
}

std::vector<Entity*> Database::arrayRectangular(Entity* entity, int rows, int columns, double rowSpacing,
                                                double columnSpacing) {
    entity->checkAlive();
    if (rows < 1 || columns < 1)
        throw InvalidArgument(QStringLiteral("Liczba wierszy i kolumn musi wynosić co najmniej 1"));
    std::vector<Entity*> out;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            if (r == 0 && c == 0) continue;
            Entity* copied = copy(entity);
            transform(copied, Transform2D::translation(c * columnSpacing, r * rowSpacing));
            out.push_back(copied);
        }
    return out;
}

// ---- Explode ----

namespace {

struct Piece {
    bool arc = false;
    Point3 a, b;  // line
    BulgeArc arcData;
};

std::vector<Piece> polylinePieces(const std::vector<Vertex>& v, bool closed, double z) {
    std::vector<Piece> out;
    const size_t n = v.size();
    const size_t segments = closed ? n : (n ? n - 1 : 0);
    for (size_t i = 0; i < segments; ++i) {
        const Vertex& p = v[i];
        const Vertex& q = v[(i + 1) % n];
        Piece piece;
        piece.a = {p.x, p.y, z};
        piece.b = {q.x, q.y, z};
        if (p.x == q.x && p.y == q.y) continue;  // zero-length segment draws nothing
        if (p.bulge != 0) {
            piece.arc = true;
            piece.arcData = bulgeToArc(piece.a, piece.b, p.bulge);
        }
        out.push_back(piece);
    }
    return out;
}

}  // namespace

std::vector<Entity*> Database::explode(Entity* e) {
    e->checkAlive();
    BlockDefinition* owner = e->ownerBlock();
    if (!owner) throw NotSupported(QStringLiteral("Atrybutu nie można rozbić"));
    std::vector<Entity*> out;
    auto inherit = [&](Entity* n) {
        n->layer_ = e->layer_;
        n->color = e->color;
        n->trueColor = e->trueColor;
        n->linetype = e->linetype;
        n->lineweight = e->lineweight;
        n->linetypeScale = e->linetypeScale;
        n->visible = e->visible;
        indexEntity(n);
        out.push_back(n);
    };
    // A polyline's pieces lie in its OCS: arcs keep it, lines take world points.
    auto fromPieces = [&](const std::vector<Piece>& pieces) {
        for (const Piece& p : pieces) {
            if (p.arc) {
                Entity* n = newEntity(owner, EntityKind::Arc, 0, nullptr);
                n->as<ArcData>() = {p.arcData.center, p.arcData.radius, p.arcData.startAngle,
                                    p.arcData.endAngle};
                n->normal = e->normal;
                inherit(n);
            } else {
                Entity* n = newEntity(owner, EntityKind::Line, 0, nullptr);
                n->as<LineData>() = {ocsToWorld(*e, p.a), ocsToWorld(*e, p.b)};
                inherit(n);
            }
        }
    };
    switch (e->kind()) {
        case EntityKind::LwPolyline: {
            const auto& p = e->as<LwPolylineData>();
            fromPieces(polylinePieces(p.vertices, p.closed, p.elevation));
            return out;
        }
        case EntityKind::Polyline2d: {
            const auto& p = e->as<Polyline2dData>();
            fromPieces(polylinePieces(p.vertices, p.closed, p.elevation));
            return out;
        }
        case EntityKind::Region: {
            const auto& r = e->as<RegionData>();
            if (r.loops.empty()) throw NotSupported(QStringLiteral("Tego regionu nie można rozbić"));
            for (const auto& loop : r.loops)
                for (const Edge& edge : loop) {
                    if (edge.type == Edge::Line) {
                        Entity* n = newEntity(owner, EntityKind::Line, 0, nullptr);
                        n->as<LineData>() = {edge.start, edge.end};
                        inherit(n);
                    } else if (edge.type == Edge::Arc) {
                        Entity* n = newEntity(owner, EntityKind::Arc, 0, nullptr);
                        const bool ccw = edge.counterClockwise;
                        n->as<ArcData>() = {edge.center, edge.radius,
                                            normalizeAngle(ccw ? edge.startAngle : -edge.endAngle),
                                            normalizeAngle(ccw ? edge.endAngle : -edge.startAngle)};
                        inherit(n);
                    }
                }
            return out;
        }
        case EntityKind::BlockReference: {
            const auto& ins = e->as<InsertData>();
            BlockDefinition* def = findBlock(ins.blockName);
            if (!def) throw Failed(QStringLiteral("Brak bloku %1").arg(ins.blockName));
            const bool uniform =
                std::abs(std::abs(ins.xScale) - std::abs(ins.yScale)) <= 1e-12 * std::abs(ins.xScale);
            if (!uniform)
                for (Entity* child : def->entities())
                    if (child->kind() == EntityKind::Arc || child->kind() == EntityKind::Circle)
                        throw Failed(QStringLiteral(
                            "Nierównomiernie skalowanego wstawienia bloku z łukami nie można rozbić"));
            // The pieces go where the reference draws them: through its OCS, and each through its own.
            const auto tilted = [](const Entity* x) { return usesOcs(*x) && !Ocs(x->normal).parallelToXY(); };
            if (tilted(e) || std::any_of(def->entities().begin(), def->entities().end(), tilted))
                throw NotSupported(QStringLiteral(
                    "Wstawienia bloku leżącego poza płaszczyzną XY (lub z takimi obiektami) nie można rozbić"));
            const std::vector<Entity*> children = def->entities();  // copying adds to `owner`, not to def
            // A piece that cannot be placed refuses the explode before anything is made: leaving it
            // out would lose it from the drawing without a word.
            const Transform2D placed = ocsPlacement(*e).after(referenceTransform(ins, def->basePoint));
            for (const Entity* child : children)
                if (!movable(*child, placed))
                    throw NotSupported(QStringLiteral("Wstawienia bloku z obiektem %1 nie można rozbić")
                                           .arg(child->objectName()));
            // A grid gives the block's entities once for each of its cells.
            for (int r = 0; r < ins.gridRows(); ++r)
                for (int c = 0; c < ins.gridColumns(); ++c) {
                    const Point3 o = ins.cellOffset(r, c);
                    const Transform2D t = ocsPlacement(*e)
                                              .after(Transform2D::translation(o.x, o.y))
                                              .after(referenceTransform(ins, def->basePoint));
                    for (Entity* child : children) {
                        Entity* n = cloneEntity(child, owner, *this);
                        transform(n, t);
                        out.push_back(n);
                    }
                }
            return out;
        }
        case EntityKind::Unknown: {
            // A 3D polyline: one line per edge, heights kept.
            std::vector<Point3> v;
            bool closed = false;
            if (!polyline3dVertices(e->as<RawData>(), v, closed)) break;
            for (size_t i = 0; i + 1 < v.size() + (closed && v.size() > 2 ? 1 : 0); ++i) {
                Entity* n = newEntity(owner, EntityKind::Line, 0, nullptr);
                n->as<LineData>() = {v[i], v[(i + 1) % v.size()]};
                inherit(n);
            }
            return out;
        }
        default:
            break;
    }
    throw NotSupported(QStringLiteral("Obiektu %1 nie można rozbić").arg(e->objectName()));
}

}  // namespace cad::db
