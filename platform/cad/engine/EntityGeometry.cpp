// Geometry services on entities: bounding boxes and start and end points, in world coordinates.
// Entities kept in their own coordinate system (OCS, extrusion other than +Z) are measured where
// they are drawn: their stored geometry goes through the OCS plan placement.
#include "platform/cad/engine/BlockPath.h"
#include "platform/cad/engine/Curves.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/DatabaseImpl.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/engine/Splines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

namespace cad::db {

namespace {

constexpr double descent = 0.296;  // Arial descender below the baseline, in text heights

// The four corners of a local box placed at an anchor and rotated, then seen through `place`.
void addRotatedBox(Box& box, const Point3& anchor, double x0, double y0, double x1, double y1,
                   double rotation, const Transform2D& place) {
    const double c = std::cos(rotation), s = std::sin(rotation);
    for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
        box.add(place.apply({anchor.x + x * c - y * s, anchor.y + x * s + y * c, 0}));
}

// A text's box; its points are in its OCS, `place` puts them in the plan.
Box textBox(const TextData& t, const Transform2D& place) {
    Box box;
    if (t.text.isEmpty()) {
        box.add(place.apply(t.position));
        return box;
    }
    const double h = t.height;
    double w = estimateTextWidth(t.text, h, t.widthFactor);
    Point3 anchor = t.position;
    double dx = 0, dy = 0;
    double rotation = t.rotation;
    if (t.horizontal == 3 || t.horizontal == 5) {  // aligned, fit: between the two points
        w = std::hypot(t.alignmentPoint.x - t.position.x, t.alignmentPoint.y - t.position.y);
        rotation = std::atan2(t.alignmentPoint.y - t.position.y, t.alignmentPoint.x - t.position.x);
    } else if (t.horizontal != 0 || t.vertical != 0) {
        anchor = t.alignmentPoint;
        if (t.horizontal == 1)
            dx = -w / 2;
        else if (t.horizontal == 2)
            dx = -w;
        else if (t.horizontal == 4) {
            dx = -w / 2;
            dy = -h / 2;
        }
        if (t.vertical == 1)
            dy = descent * h;
        else if (t.vertical == 2)
            dy = -h / 2;
        else if (t.vertical == 3)
            dy = -h;
    }
    addRotatedBox(box, anchor, dx, dy - descent * h, dx + w, dy + h, rotation, place);
    return box;
}

QStringList mtextLines(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\\P"), QLatin1String("\n"));
    plain.remove('\r');
    return plain.split('\n');
}

// MTEXT's insertion point is a world point; its frame is the OCS turned by the rotation (an OCS
// angle), so under extrusion -Z its Y axis (extrusion x X axis) points down the plan and the
// glyphs mirror.
Box mtextBox(const MTextData& m, const Point3& normal, const Transform2D& outer) {
    const QStringList lines = mtextLines(m.text);
    double w = 0;
    qsizetype rows = 0;
    for (const QString& l : lines) {
        const double lw = estimateTextWidth(l, m.height, 1);
        // A text with a reference width wraps its lines inside it.
        rows += m.width > 0 ? std::max<qsizetype>(1, qsizetype(std::ceil(lw / m.width))) : 1;
        w = std::max(w, m.width > 0 ? std::min(lw, m.width) : lw);
    }
    const double totalH = m.height + (std::max<qsizetype>(rows, 1) - 1) * m.height * 1.6667 * m.lineSpacing;
    const int col = (m.attachment - 1) % 3, row = (m.attachment - 1) / 3;
    const double x0 = -col * w / 2;
    const double y1 = row == 0 ? 0 : row == 1 ? totalH / 2 : totalH;
    Box box;
    const Transform2D frame = outer.after(Ocs(normal).planTransform().movedTo(m.position.x, m.position.y));
    addRotatedBox(box, {}, x0, y1 - totalH, x0 + w, y1, m.rotation, frame);
    return box;
}

}  // namespace

namespace {

// A block's box is measured once for each way it is turned (the linear part of its placement, to
// about twelve digits, so the same turn reached in another order finds it again). Where the walk
// refused no reference the box holds wherever the block is met (as long as its own nesting fits
// under the depth it is met at), else only at the same depth. So a block inserting the next one
// twice, forty levels deep, is measured in forty steps, not 2^40.
using LinearKey = std::array<long long, 5>;

LinearKey linearKey(const Transform2D& t) {
    const double largest = std::max({std::abs(t.a), std::abs(t.b), std::abs(t.c), std::abs(t.d)});
    if (!(largest > 0) || !std::isfinite(largest)) return {};
    int exponent = 0;
    std::frexp(largest, &exponent);
    const double unit = std::ldexp(1.0, exponent - 40);
    return {exponent, std::llround(t.a / unit), std::llround(t.b / unit), std::llround(t.c / unit),
            std::llround(t.d / unit)};
}

struct BoxContext {
    using Key = std::pair<const BlockDefinition*, LinearKey>;
    struct Whole {
        Box box;
        int height = 0;  // levels of blocks the walk opened, the block's own included
    };
    struct Cut {
        Box box;
        long long leftOut = 0;
    };
    BlockPath path;
    std::map<Key, Whole> whole;
    std::map<std::pair<Key, int>, Cut> cut;
    int deepest = 0;    // the deepest level the walk has opened
    long measured = 0;  // entities measured in blocks
};

// Past this many entities measured, turns that never repeat (a pathological drawing) are no longer
// measured one by one: a block is then taken by the turned box of its own box, which holds the
// exact one.
constexpr long MeasureLimit = 1000000;

// An ELLIPSE kept raw: centre (10), major axis end relative to it (11), ratio (40) and the start and
// end parameters (41, 42), all world values. The minor axis is extrusion x major axis scaled by the
// ratio, so under extrusion -Z the parameter runs clockwise in the plan. Its plan view is the image
// of a unit arc under centre + major*cos + minor*sin. False when the tags are not an ellipse's.
bool ellipsePlan(const Tags& tags, const Point3& normal, Transform2D& t, double& start, double& end) {
    Point3 c, m;
    double ratio = 1;
    start = 0;
    end = 2 * M_PI;
    bool haveCentre = false, haveAxis = false;
    for (const Tag& tag : tags) {
        const double v = tag.value.trimmed().toDouble();
        switch (tag.code) {
            case 10: c.x = v, haveCentre = true; break;
            case 20: c.y = v; break;
            case 30: c.z = v; break;
            case 11: m.x = v, haveAxis = true; break;
            case 21: m.y = v; break;
            case 31: m.z = v; break;
            case 40: ratio = v; break;
            case 41: start = v; break;
            case 42: end = v; break;
            default: break;
        }
    }
    if (!haveCentre || !haveAxis) return false;
    const Point3 n = unitDirection(normal);
    const Point3 minor{ratio * (n.y * m.z - n.z * m.y), ratio * (n.z * m.x - n.x * m.z),
                       ratio * (n.x * m.y - n.y * m.x)};
    t = {m.x, minor.x, m.y, minor.y, c.x, c.y};
    return true;
}

Box transformedBox(const Box& b, const Transform2D& t) {
    Box out;
    if (b.isEmpty()) return out;
    for (const Point3& p : {b.min, Point3{b.max.x, b.min.y, 0}, b.max, Point3{b.min.x, b.max.y, 0}})
        out.add(t.apply(p));
    return out;
}

}  // namespace

static Box entityBox(const Database& db, const Entity* e, BoxContext& ctx, const Transform2D& outer = {});

// The box of a block's entities seen through a linear map.
static Box ownBox(const Database& db, const BlockDefinition* def, BoxContext& ctx,
                  const Transform2D& linear) {
    const BoxContext::Key key{def, linearKey(linear)};
    const int depth = ctx.path.depth();
    if (auto it = ctx.whole.find(key);
        it != ctx.whole.end() && depth + it->second.height <= MaxBlockNesting) {
        ctx.deepest = std::max(ctx.deepest, depth + it->second.height);
        return it->second.box;
    }
    if (auto it = ctx.cut.find({key, depth}); it != ctx.cut.end()) {
        ctx.path.addLeftOut(it->second.leftOut);
        return it->second.box;
    }
    if (!ctx.path.enter(def)) return Box{};
    const long long before = ctx.path.leftOut();
    const int deepestBefore = ctx.deepest;
    ctx.deepest = depth + 1;
    Box box;
    for (Entity* child : def->entities()) {
        if (child->kind() == EntityKind::AttributeDefinition) continue;  // shown as attributes
        ++ctx.measured;
        box.add(entityBox(db, child, ctx, linear));
    }
    ctx.path.leave();
    const long long refused = ctx.path.leftOut() - before;
    if (refused == 0 && before != std::numeric_limits<long long>::max())
        ctx.whole[key] = {box, ctx.deepest - depth};
    else
        ctx.cut[{key, depth}] = {box, refused};
    ctx.deepest = std::max(deepestBefore, ctx.deepest);
    return box;
}

// True when a transform maps axis-aligned boxes onto axis-aligned boxes exactly.
static bool keepsAxes(const Transform2D& t) {
    return (t.b == 0 && t.c == 0) || (t.a == 0 && t.d == 0);
}

// The box of a block's entities placed by `t`. A reference turned by other than quarter turns is
// measured through the turn, so its box is the exact one, not the box of its turned box.
static Box blockBox(const Database& db, const BlockDefinition* def, BoxContext& ctx, const Transform2D& t) {
    if (keepsAxes(t) || ctx.measured > MeasureLimit) return transformedBox(ownBox(db, def, ctx, {}), t);
    return transformedBox(ownBox(db, def, ctx, {t.a, t.b, t.c, t.d, 0, 0}),
                          Transform2D::translation(t.tx, t.ty));
}

// The entity's extents seen through `outer` (the placement of the block holding it; world for
// model space).
static Box entityBox(const Database& db, const Entity* e, BoxContext& ctx, const Transform2D& outer) {
    Box box;
    // Stored coordinates -> world plan: identity for world-point kinds and extrusion +Z.
    const Transform2D place = outer.after(ocsPlacement(*e));
    switch (e->kind()) {
        case EntityKind::Line: {
            const auto& l = e->as<LineData>();
            box.add(outer.apply(l.start));
            box.add(outer.apply(l.end));
            break;
        }
        case EntityKind::Arc: {
            const auto& a = e->as<ArcData>();
            addArcToBox(box, a.center, a.radius, a.startAngle, a.endAngle, place);
            break;
        }
        case EntityKind::Circle: {
            const auto& c = e->as<CircleData>();
            addArcToBox(box, c.center, c.radius, 0, 2 * M_PI, place);
            break;
        }
        case EntityKind::LwPolyline:
        case EntityKind::Polyline2d: {
            const auto* lw = e->tryAs<LwPolylineData>();
            const auto& v = lw ? lw->vertices : e->as<Polyline2dData>().vertices;
            const bool closed = lw ? lw->closed : e->as<Polyline2dData>().closed;
            for (size_t i = 0; i < v.size(); ++i) {
                box.add(place.apply({v[i].x, v[i].y, 0}));
                if (i + 1 < v.size())
                    addSegmentToBox(box, v[i], v[i + 1], place);
                else if (closed && v.size() > 1)
                    addSegmentToBox(box, v[i], v[0], place);
            }
            break;
        }
        case EntityKind::AttributeDefinition: {  // shown by its tag
            TextData shown = e->as<AttributeData>();
            shown.text = e->as<AttributeData>().tag;
            return textBox(shown, place);
        }
        case EntityKind::Text:
        case EntityKind::AttributeReference:
            return textBox(*const_cast<Entity*>(e)->textData(), place);
        case EntityKind::MText:
            return mtextBox(e->as<MTextData>(), e->normal, outer);
        case EntityKind::Point:
            box.add(outer.apply(e->as<PointData>().position));
            break;
        case EntityKind::Hatch:
            for (const auto& loop : e->as<HatchData>().loops) {
                if (loop.isPolyline()) {
                    for (size_t i = 0; i < loop.vertices.size(); ++i)
                        addSegmentToBox(box, loop.vertices[i], loop.vertices[(i + 1) % loop.vertices.size()],
                                        place);
                } else {
                    for (const Edge& edge : loop.edges) addEdgeToBox(box, edge, place);
                }
            }
            break;
        case EntityKind::Region:
            for (const auto& loop : e->as<RegionData>().loops)
                for (const Edge& edge : loop) addEdgeToBox(box, edge, outer);
            break;
        case EntityKind::BlockReference: {
            const auto& ins = e->as<InsertData>();
            if (const BlockDefinition* def = db.findBlock(ins.blockName)) {
                const Transform2D t = place.after(referenceTransform(ins, def->basePoint));
                box = blockBox(db, def, ctx, t);
            }
            // Attributes carry their own extrusion.
            for (Entity* a : ins.attributes)
                if (!a->isErased() && !a->as<AttributeData>().invisible() && a->visible)
                    box.add(entityBox(db, a, ctx, outer));
            if (box.isEmpty()) box.add(place.apply(ins.position));
            // The grid's cells are the first one moved along straight rows and columns (in the
            // reference's own plane): the four corner cells reach as far as all of them.
            if (ins.gridRows() > 1 || ins.gridColumns() > 1) {
                const Box first = box;
                for (int r : {0, ins.gridRows() - 1})
                    for (int c : {0, ins.gridColumns() - 1}) {
                        const Point3 o = place.applyVector(ins.cellOffset(r, c));
                        box.add(transformedBox(first, Transform2D::translation(o.x, o.y)));
                    }
            }
            break;
        }
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate: {
            // The drawn block and the definition points are world points, the text position an OCS one.
            const auto& dim = e->as<DimensionData>();
            if (const BlockDefinition* def = dim.blockName.isEmpty() ? nullptr : db.findBlock(dim.blockName))
                box = blockBox(db, def, ctx, place);
            if (box.isEmpty()) {
                box.add(outer.apply(dim.point1));
                box.add(outer.apply(dim.point2));
                box.add(outer.apply(Ocs(e->normal).toWorld(dim.textPosition)));
                if (e->kind() == EntityKind::DimAligned) box.add(outer.apply(dim.definitionPoint));
            }
            break;
        }
        case EntityKind::Unknown: {
            const auto& raw = e->as<RawData>();
            const Tags& tags = raw.tags;
            std::vector<Point3> vertices;
            bool closed = false;
            if (polyline3dVertices(raw, vertices, closed)) {  // its plan, not the 0,0 it is placed at
                for (const Point3& p : vertices) box.add(outer.apply(p));
                break;
            }
            if (raw.dxfName.compare(QLatin1String("ELLIPSE"), Qt::CaseInsensitive) == 0) {
                Transform2D t;
                double start = 0, end = 0;
                if (ellipsePlan(tags, e->normal, t, start, end)) {
                    if (std::abs(end - start) >= 2 * M_PI - 1e-12) start = 0, end = 2 * M_PI;
                    addArcToBox(box, {}, 1, start, end, outer.after(t));
                }
                break;
            }
            // A spline by its curve: its control points may lie far outside it, its tangents are
            // directions, and a helix's own axis and start point are no points of its plan.
            if (SplineCurve spline; splineOfRaw(raw, spline)) {
                addSplineToBox(box, spline, outer);
                break;
            }
            if (raw.dxfName.compare(QLatin1String("DIMENSION"), Qt::CaseInsensitive) == 0) {
                for (const Tag& t : tags)
                    if (t.code == 2)
                        if (const BlockDefinition* def = db.findBlock(t.value.trimmed()))
                            box = blockBox(db, def, ctx, place);
                if (!box.isEmpty()) break;
            }
            // SOLID and TRACE corners are OCS points (place is the identity for the others).
            for (size_t i = 0; i + 1 < tags.size(); ++i)
                if (tags[i].code >= 10 && tags[i].code <= 18 && tags[i + 1].code == tags[i].code + 10)
                    box.add(place.apply({tags[i].value.toDouble(), tags[i + 1].value.toDouble(), 0}));
            break;
        }
    }
    return box;
}

Box Database::boundingBox(const Entity* entity, long long* leftOut) const {
    entity->checkAlive();
    BoxContext ctx;
    const Box box = entityBox(*this, entity, ctx);
    if (leftOut) *leftOut = ctx.path.leftOut();
    return box;
}

namespace {

// The first or last point of an ELLIPSE kept raw, in world coordinates.
std::optional<Point3> ellipseEnd(const Entity* e, bool last) {
    const auto* raw = e->tryAs<RawData>();
    if (!raw || raw->dxfName.compare(QLatin1String("ELLIPSE"), Qt::CaseInsensitive) != 0) return std::nullopt;
    Transform2D t;
    double start = 0, end = 0;
    if (!ellipsePlan(raw->tags, e->normal, t, start, end)) return std::nullopt;
    return t.apply(pointAt({}, 1, last ? end : start));
}

}  // namespace

Point3 Database::startPoint(const Entity* e) const {
    e->checkAlive();
    if (auto* l = e->tryAs<LineData>()) return l->start;
    if (auto* a = e->tryAs<ArcData>()) return ocsToWorld(*e, pointAt(a->center, a->radius, a->startAngle));
    if (auto* p = e->tryAs<LwPolylineData>(); p && !p->vertices.empty())
        return ocsToWorld(*e, {p->vertices.front().x, p->vertices.front().y, p->elevation});
    if (auto* p = e->tryAs<Polyline2dData>(); p && !p->vertices.empty())
        return ocsToWorld(*e, {p->vertices.front().x, p->vertices.front().y, p->elevation});
    if (const auto p = ellipseEnd(e, false)) return *p;
    throw NotSupported(QStringLiteral("StartPoint nie dotyczy obiektu %1").arg(e->objectName()));
}

Point3 Database::endPoint(const Entity* e) const {
    e->checkAlive();
    if (auto* l = e->tryAs<LineData>()) return l->end;
    if (auto* a = e->tryAs<ArcData>()) return ocsToWorld(*e, pointAt(a->center, a->radius, a->endAngle));
    auto last = [e](const std::vector<Vertex>& v, bool closed, double z) {
        const Vertex& p = closed ? v.front() : v.back();
        return ocsToWorld(*e, Point3{p.x, p.y, z});
    };
    if (auto* p = e->tryAs<LwPolylineData>(); p && !p->vertices.empty())
        return last(p->vertices, p->closed, p->elevation);
    if (auto* p = e->tryAs<Polyline2dData>(); p && !p->vertices.empty())
        return last(p->vertices, p->closed, p->elevation);
    if (const auto p = ellipseEnd(e, true)) return *p;
    throw NotSupported(QStringLiteral("EndPoint nie dotyczy obiektu %1").arg(e->objectName()));
}

}  // namespace cad::db
