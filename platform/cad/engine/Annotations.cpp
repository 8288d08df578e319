// Hatches with their loops, regions from closed curves, and the dimensions the programs draw
// (each with the anonymous block that shows it).
#include "platform/cad/engine/Curves.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/DatabaseImpl.h"
#include "platform/cad/engine/Ocs.h"

#include <cmath>

namespace cad::db {

namespace {

constexpr double closeTolerance = 1e-6;

bool samePoint(const Point3& a, const Point3& b) {
    const double scale = std::max({1.0, std::abs(a.x), std::abs(a.y)});
    return std::abs(a.x - b.x) <= closeTolerance * scale && std::abs(a.y - b.y) <= closeTolerance * scale;
}

Edge lineEdge(const Point3& a, const Point3& b) {
    Edge e;
    e.type = Edge::Line;
    e.start = a;
    e.end = b;
    return e;
}

Edge arcEdge(const Point3& c, double r, double s, double en) {
    Edge e;
    e.type = Edge::Arc;
    e.center = c;
    e.radius = r;
    e.startAngle = s;
    e.endAngle = en;
    e.counterClockwise = true;
    return e;
}

Edge reversed(const Edge& e) {
    if (e.type == Edge::Line) return lineEdge(e.end, e.start);
    Edge r = e;
    // A counter-clockwise arc walked backwards is the clockwise arc of the negated angles.
    r.counterClockwise = !e.counterClockwise;
    r.startAngle = -e.endAngle;
    r.endAngle = -e.startAngle;
    return r;
}

std::vector<Edge> polylineEdges(const std::vector<Vertex>& v, bool closed) {
    std::vector<Edge> out;
    const size_t n = v.size();
    const size_t segs = closed ? n : (n ? n - 1 : 0);
    for (size_t i = 0; i < segs; ++i) {
        const Vertex& p = v[i];
        const Vertex& q = v[(i + 1) % n];
        if (p.x == q.x && p.y == q.y) continue;
        if (p.bulge == 0) {
            out.push_back(lineEdge({p.x, p.y, 0}, {q.x, q.y, 0}));
        } else {
            const BulgeArc a = bulgeToArc({p.x, p.y, 0}, {q.x, q.y, 0}, p.bulge);
            Edge e = arcEdge(a.center, a.radius, a.startAngle, a.endAngle);
            out.push_back(p.bulge > 0 ? e : reversed(e));
        }
    }
    return out;
}

// An edge moved by a similarity of unit scale (an OCS change: identity, mirror in Y); a mirror
// turns the direction an arc runs, and the edge is still walked from its start to its end.
Edge placedEdge(const Edge& e, const Transform2D& t) {
    if (e.type == Edge::Line) return lineEdge(t.apply(e.start), t.apply(e.end));
    double sweep = e.endAngle - e.startAngle;
    while (sweep <= 0) sweep += 2 * M_PI;
    const Point3 c = t.apply(e.center);
    const Point3 ps = t.apply(edgeStart(e)), pe = t.apply(edgeEnd(e));
    const bool ccw = e.counterClockwise != (t.determinant() < 0);
    if (ccw) {
        const double s = std::atan2(ps.y - c.y, ps.x - c.x);
        return arcEdge(c, e.radius, s, s + sweep);
    }
    const double s = std::atan2(pe.y - c.y, pe.x - c.x);
    return reversed(arcEdge(c, e.radius, s, s + sweep));
}

// Orders open curves into closed chains; each chain becomes one loop.
std::vector<std::vector<Edge>> chainLoops(std::vector<Edge> pool) {
    std::vector<std::vector<Edge>> loops;
    while (!pool.empty()) {
        std::vector<Edge> chain{pool.front()};
        pool.erase(pool.begin());
        bool grown = true;
        while (grown && !samePoint(edgeEnd(chain.back()), edgeStart(chain.front()))) {
            grown = false;
            for (size_t i = 0; i < pool.size(); ++i) {
                if (samePoint(edgeStart(pool[i]), edgeEnd(chain.back()))) {
                    chain.push_back(pool[i]);
                } else if (samePoint(edgeEnd(pool[i]), edgeEnd(chain.back()))) {
                    chain.push_back(reversed(pool[i]));
                } else {
                    continue;
                }
                pool.erase(pool.begin() + long(i));
                grown = true;
                break;
            }
        }
        if (!samePoint(edgeEnd(chain.back()), edgeStart(chain.front())))
            throw InvalidArgument(QStringLiteral("Obwiednia nie jest zamknięta"));
        loops.push_back(std::move(chain));
    }
    return loops;
}

// Refuses an entity whose plane is not parallel to XY: its plan view is no loop of its own shape.
void checkParallel(const Entity* e, const QString& role) {
    if (usesOcs(*e) && !Ocs(e->normal).parallelToXY())
        throw InvalidArgument(QStringLiteral("Obiekt %1 leżący poza płaszczyzną XY nie może %2")
                                  .arg(e->objectName(), role));
}

// The closed loops that a set of boundary objects forms, in the coordinates `toTarget` maps world
// plan points to (a hatch's OCS; the identity for world coordinates). Each curve's own coordinate
// system is applied first.
std::vector<std::vector<Edge>> loopsOf(const std::vector<Entity*>& curves, const Transform2D& toTarget = {}) {
    std::vector<std::vector<Edge>> loops;
    std::vector<Edge> open;
    for (Entity* c : curves) {
        c->checkAlive();
        checkParallel(c, QStringLiteral("ograniczać obszaru"));
        const Transform2D place = toTarget.after(ocsPlacement(*c));
        const bool moved = place.a != 1 || place.b != 0 || place.c != 0 || place.d != 1 || place.tx != 0 ||
                           place.ty != 0;
        const size_t loopsBefore = loops.size(), openBefore = open.size();
        switch (c->kind()) {
            case EntityKind::Circle: {
                const auto& ci = c->as<CircleData>();
                loops.push_back({arcEdge(ci.center, ci.radius, 0, 2 * M_PI)});
                break;
            }
            case EntityKind::LwPolyline:
            case EntityKind::Polyline2d: {
                const auto* lw = c->tryAs<LwPolylineData>();
                const auto& v = lw ? lw->vertices : c->as<Polyline2dData>().vertices;
                const bool closed = lw ? lw->closed : c->as<Polyline2dData>().closed;
                auto edges = polylineEdges(v, closed);
                if (closed ||
                    (!v.empty() && samePoint({v.front().x, v.front().y, 0}, {v.back().x, v.back().y, 0})))
                    loops.push_back(std::move(edges));
                else
                    open.insert(open.end(), edges.begin(), edges.end());
                break;
            }
            case EntityKind::Line: {
                const auto& l = c->as<LineData>();
                open.push_back(lineEdge(l.start, l.end));
                break;
            }
            case EntityKind::Arc: {
                const auto& a = c->as<ArcData>();
                double en = a.endAngle;
                if (en <= a.startAngle) en += 2 * M_PI;
                open.push_back(arcEdge(a.center, a.radius, a.startAngle, en));
                break;
            }
            case EntityKind::Region:
                for (const auto& loop : c->as<RegionData>().loops) loops.push_back(loop);
                break;
            default:
                throw InvalidArgument(
                    QStringLiteral("Obiekt %1 nie może ograniczać obszaru").arg(c->objectName()));
        }
        if (moved) {
            for (size_t i = loopsBefore; i < loops.size(); ++i)
                for (Edge& edge : loops[i]) edge = placedEdge(edge, place);
            for (size_t i = openBefore; i < open.size(); ++i) open[i] = placedEdge(open[i], place);
        }
    }
    auto chained = chainLoops(std::move(open));
    loops.insert(loops.end(), chained.begin(), chained.end());
    return loops;
}

}  // namespace

Entity* Database::addHatch(BlockDefinition* block, int patternType, const QString& patternName,
                           bool associative) {
    if (patternName.trimmed().isEmpty())
        throw InvalidArgument(QStringLiteral("Pusta nazwa wzoru kreskowania"));
    if (patternType < 0 || patternType > 2)
        throw InvalidArgument(QStringLiteral("Nieprawidłowy typ wzoru kreskowania"));
    Entity* e = addEntity(block, EntityKind::Hatch);
    auto& h = e->as<HatchData>();
    h.patternName = patternName.trimmed().toUpper();
    h.solid = h.patternName == QLatin1String("SOLID");
    // Both numbering conventions fill by the name; the file records a predefined pattern.
    h.patternType = 1;
    h.associative = associative;
    return e;
}

void Database::appendHatchLoop(Entity* hatch, const std::vector<Entity*>& boundary, bool outer) {
    hatch->checkAlive();
    auto& h = hatch->as<HatchData>();
    if (boundary.empty()) throw InvalidArgument(QStringLiteral("Brak obiektów obwiedni"));
    checkParallel(hatch, QStringLiteral("mieć obwiedni"));
    // A single closed polyline in the hatch's own coordinate system stays a polyline loop;
    // everything else becomes edge loops, placed from where each curve is drawn.
    const Transform2D toHatch = ocsPlacement(*hatch).inverse();
    if (boundary.size() == 1 && boundary[0]->kind() == EntityKind::LwPolyline &&
        Ocs(boundary[0]->normal).planTransform() == Ocs(hatch->normal).planTransform()) {
        boundary[0]->checkAlive();
        const auto& p = boundary[0]->as<LwPolylineData>();
        const bool closedByPoints =
            p.vertices.size() > 2 && samePoint({p.vertices.front().x, p.vertices.front().y, 0},
                                               {p.vertices.back().x, p.vertices.back().y, 0});
        if (!p.closed && !closedByPoints)
            throw InvalidArgument(QStringLiteral("Obwiednia nie jest zamknięta"));
        HatchLoop loop;
        loop.flags = 2 | (outer ? 1 | 16 : 0);
        loop.vertices = p.vertices;
        if (closedByPoints && !p.closed) loop.vertices.pop_back();
        loop.closed = true;
        if (h.associative) loop.sourceHandles.push_back(boundary[0]->handle());
        h.loops.push_back(std::move(loop));
    } else {
        for (auto& edges : loopsOf(boundary, toHatch)) {
            HatchLoop loop;
            loop.flags = outer ? 1 | 16 : 0;
            loop.edges = std::move(edges);
            h.loops.push_back(std::move(loop));
        }
        if (h.associative)
            for (Entity* b : boundary) h.loops.back().sourceHandles.push_back(b->handle());
    }
    if (h.associative)
        for (Entity* b : boundary)
            if (std::find(b->reactors.begin(), b->reactors.end(), hatch->handle()) == b->reactors.end())
                b->reactors.push_back(hatch->handle());
}

std::vector<Entity*> Database::hatchLoopCurves(Entity* hatch, int index, BlockDefinition* into) {
    hatch->checkAlive();
    const auto& h = hatch->as<HatchData>();
    if (index < 0 || index >= int(h.loops.size()))
        throw NotFound(QStringLiteral("Brak pętli kreskowania %1").arg(index));
    const HatchLoop loop = h.loops[size_t(index)];  // a copy: adding entities may not touch the hatch
    std::vector<Entity*> out;
    for (quint64 s : loop.sourceHandles)
        if (Entity* e = entityByHandle(handleToText(s))) out.push_back(e);
    if (!out.empty() && out.size() == loop.sourceHandles.size()) return out;
    out.clear();
    if (loop.isPolyline()) {
        out.push_back(addLwPolyline(into, loop.vertices, true));
        return out;
    }
    for (const Edge& e : loop.edges) {
        if (e.type == Edge::Line) {
            out.push_back(addLine(into, e.start, e.end));
        } else if (e.type == Edge::Arc) {
            const double s = e.counterClockwise ? e.startAngle : -e.endAngle;
            const double en = e.counterClockwise ? e.endAngle : -e.startAngle;
            if (std::abs(en - s) >= 2 * M_PI - 1e-12)
                out.push_back(addCircle(into, e.center, e.radius));
            else
                out.push_back(addArc(into, e.center, e.radius, s, en));
        } else {
            throw NotSupported(
                QStringLiteral("Obwiedni eliptycznych i splajnowych nie można podać jako krzywych"));
        }
    }
    return out;
}

std::vector<Entity*> Database::addRegions(BlockDefinition* block, const std::vector<Entity*>& curves) {
    if (curves.empty()) throw InvalidArgument(QStringLiteral("Brak krzywych"));
    auto loops = loopsOf(curves);
    std::vector<Entity*> out;
    for (auto& loop : loops) {
        Entity* r = addEntity(block, EntityKind::Region);
        r->as<RegionData>().loops.push_back(std::move(loop));
        out.push_back(r);
    }
    return out;
}

namespace {

QString measurementText(double value, int decimals) {
    return QString::number(value, 'f', std::clamp(decimals, 0, 8));
}

}  // namespace

Entity* Database::addDimAligned(BlockDefinition* block, const Point3& ext1, const Point3& ext2,
                                const Point3& textPosition) {
    const double len = std::hypot(ext2.x - ext1.x, ext2.y - ext1.y);
    if (len == 0) throw InvalidArgument(QStringLiteral("Punkty wymiaru pokrywają się"));
    Entity* e = addEntity(block, EntityKind::DimAligned);
    auto& dim = e->as<DimensionData>();
    dim.point1 = ext1;
    dim.point2 = ext2;
    dim.textPosition = textPosition;
    dim.measurement = len;
    if (DimStyle* s = activeDimStyle()) dim.style = s->name();
    // The dimension line passes through the text position, parallel to the measured points.
    const double ux = (ext2.x - ext1.x) / len, uy = (ext2.y - ext1.y) / len;
    const double offset = (textPosition.x - ext1.x) * -uy + (textPosition.y - ext1.y) * ux;
    const Point3 d1{ext1.x - uy * offset, ext1.y + ux * offset, 0};
    const Point3 d2{ext2.x - uy * offset, ext2.y + ux * offset, 0};
    dim.definitionPoint = d2;
    BlockDefinition* drawn = addBlock(QStringLiteral("*D"));
    dim.blockName = drawn->name();
    auto put = [&](Entity* child) {
        child->color = ColorByBlock;
        child->linetype = QStringLiteral("BYBLOCK");
        child->lineweight = LineweightByBlock;
        setLayer(child, QStringLiteral("0"));
    };
    put(addLine(drawn, d1, d2));
    put(addLine(drawn, ext1, d1));
    put(addLine(drawn, ext2, d2));
    const double scale = std::get<double>(variable(QStringLiteral("DIMSCALE")));
    // Closed filled arrowheads, as a CAD draws them by default: a tapering polyline from the tip,
    // as long as DIMASZ and a third of that wide; outside the extension lines when they do not fit.
    const double arrow = std::get<double>(variable(QStringLiteral("DIMASZ"))) * (scale > 0 ? scale : 1.0);
    if (arrow > 0) {
        const double inward = len >= 2 * arrow ? 1.0 : -1.0;
        auto head = [&](const Point3& tip, double dx, double dy) {
            std::vector<Vertex> v(2);
            v[0].x = tip.x;
            v[0].y = tip.y;
            v[0].endWidth = arrow / 3;
            v[1].x = tip.x + dx * arrow;
            v[1].y = tip.y + dy * arrow;
            v[1].startWidth = v[1].endWidth = arrow / 3;
            put(addLwPolyline(drawn, v));
        };
        head(d1, ux * inward, uy * inward);
        head(d2, -ux * inward, -uy * inward);
    }
    const double h = std::get<double>(variable(QStringLiteral("DIMTXT"))) * scale;
    Entity* text = addText(drawn, measurementText(len, std::get<int>(variable(QStringLiteral("DIMDEC")))),
                           textPosition, h > 0 ? h : 0.18);
    auto& td = text->as<TextData>();
    td.setAlignment(10);  // middle centre
    td.alignmentPoint = textPosition;
    td.rotation = normalizeAngle(std::atan2(uy, ux));
    put(text);
    return e;
}

Entity* Database::addDimOrdinate(BlockDefinition* block, const Point3& definitionPoint,
                                 const Point3& leaderEnd, bool useXAxis) {
    Entity* e = addEntity(block, EntityKind::DimOrdinate);
    auto& dim = e->as<DimensionData>();
    dim.definitionPoint = Point3{};
    dim.point1 = definitionPoint;
    dim.point2 = leaderEnd;
    dim.textPosition = leaderEnd;
    dim.ordinateXAxis = useXAxis;
    dim.measurement = useXAxis ? definitionPoint.x : definitionPoint.y;
    if (DimStyle* s = activeDimStyle()) dim.style = s->name();
    BlockDefinition* drawn = addBlock(QStringLiteral("*D"));
    dim.blockName = drawn->name();
    Entity* l = addLine(drawn, definitionPoint, leaderEnd);
    l->color = ColorByBlock;
    setLayer(l, QStringLiteral("0"));
    const double h = std::get<double>(variable(QStringLiteral("DIMTXT"))) *
                     std::get<double>(variable(QStringLiteral("DIMSCALE")));
    Entity* text =
        addText(drawn, measurementText(dim.measurement, std::get<int>(variable(QStringLiteral("DIMDEC")))),
                leaderEnd, h > 0 ? h : 0.18);
    text->color = ColorByBlock;
    setLayer(text, QStringLiteral("0"));
    return e;
}

}  // namespace cad::db
