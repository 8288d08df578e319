// Dispatch table of entities. One table serves every kind, as the automation's single entity type
// does: a member that does not apply to the entity's kind raises NotSupported (through the
// engine's typed data access), and any use of an erased entity raises Erased before it gets here.
#include "platform/cad/engine/DynamicBlocks.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/model/EntityMembers.h"
#include "platform/cad/model/RegionBoolean.h"

#include <cmath>
#include <numbers>

namespace cad {

namespace {

using namespace entitymembers;

[[noreturn]] void notFor(Target& t) {
    throw NotSupported(QStringLiteral("Ta składowa nie dotyczy obiektu %1").arg(ent(t)->objectName()));
}

double sweepOf(const db::ArcData& a) {
    double s = a.endAngle - a.startAngle;
    while (s <= 0) s += TwoPi;
    return s;
}

double segmentLength(const db::Vertex& a, const db::Vertex& b) {
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    if (a.bulge == 0) return chord;
    const double included = 4 * std::atan(std::abs(a.bulge));
    const double r = chord / (2 * std::sin(included / 2));
    return r * included;
}

double polylineLength(const std::vector<db::Vertex>& v, bool closed) {
    double len = 0;
    for (size_t i = 0; i + 1 < v.size(); ++i) len += segmentLength(v[i], v[i + 1]);
    if (closed && v.size() > 2) len += segmentLength(v.back(), v.front());
    return len;
}

std::vector<db::Vertex>& verticesOf(Target& t) {
    if (auto* p = ent(t)->tryAs<db::LwPolylineData>()) return p->vertices;
    return data<db::Polyline2dData>(t).vertices;
}

int colorArg(Args a) {
    const qint64 c = IntArg(a, 0);
    if (c < 0 || c > 256) throw InvalidArgument(QStringLiteral("%1 nie jest prawidłowym numerem koloru").arg(c));
    return int(c);
}

// The curves of a hatch loop: its live associated boundary objects, else new lines, arcs or a
// polyline made from the loop in the hatch's owner (the caller deletes them when done).
std::vector<db::Entity*> loopCurves(Target& t, const db::HatchLoop& loop) {
    db::Database& d = Db(t);
    std::vector<db::Entity*> out;
    for (quint64 h : loop.sourceHandles) {
        db::DbObject* o = d.objectByHandle(h);
        if (!o || o->isErased() || o->objectType() != db::ObjectType::Entity) {
            out.clear();
            break;
        }
        out.push_back(static_cast<db::Entity*>(o));
    }
    if (!out.empty()) return out;
    db::BlockDefinition* owner = ent(t)->ownerBlock();
    if (loop.isPolyline()) {
        out.push_back(d.addLwPolyline(owner, loop.vertices, loop.closed));
        return out;
    }
    for (const db::Edge& e : loop.edges) {
        if (e.type == db::Edge::Line)
            out.push_back(d.addLine(owner, e.start, e.end));
        else if (e.type == db::Edge::Arc) {
            // Clockwise edges are stored with mirrored angles; the arc entity runs counter-clockwise.
            double s = e.startAngle, en = e.endAngle;
            if (!e.counterClockwise) {
                s = -e.endAngle;
                en = -e.startAngle;
            }
            if (std::abs(en - s) >= TwoPi - 1e-9)
                out.push_back(d.addCircle(owner, e.center, e.radius));
            else
                out.push_back(d.addArc(owner, e.center, e.radius, normalizeAngle(s), normalizeAngle(en)));
        } else {
            throw NotSupported(QStringLiteral("Krawędzi pętli będących elipsą lub splajnem nie można zwrócić"));
        }
    }
    return out;
}

void addCommon(DispatchTable& tb) {
    tb.get(QStringLiteral("Handle"), [](Target& t, Args) -> Variant { return Variant(ent(t)->handleText()); })
        .get(QStringLiteral("ObjectName"),
             [](Target& t, Args) -> Variant { return Variant(ent(t)->objectName()); })
        .get(QStringLiteral("EntityName"),
             [](Target& t, Args) -> Variant { return Variant(ent(t)->objectName()); })
        .get(QStringLiteral("Owner"),
             [](Target& t, Args) -> Variant {
                 db::Entity* e = ent(t);
                 if (db::Entity* r = e->ownerReference()) return t.model.ref(t.model.entityId(t.rec.doc, r));
                 return t.model.ref(t.model.blockId(t.rec.doc, e->ownerBlock()));
             })
        // The extrusion direction (DXF 210) as read: the plane of the entity's own coordinates.
        .get(QStringLiteral("Normal"), [](Target& t, Args) -> Variant { return PointValue(ent(t)->normal); })
        .get(QStringLiteral("Layer"), [](Target& t, Args) -> Variant { return Variant(ent(t)->layer()); })
        .put(QStringLiteral("Layer"),
             [](Target& t, Args a) -> Variant {
                 Db(t).setLayer(ent(t), TextArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("Color"), [](Target& t, Args) -> Variant { return Variant(ent(t)->color); })
        .put(QStringLiteral("Color"),
             [](Target& t, Args a) -> Variant {
                 ent(t)->color = colorArg(a);
                 ent(t)->trueColor = -1;
                 return {};
             })
        .get(QStringLiteral("TrueColor"),
             [](Target& t, Args) -> Variant {
                 ObjectRecord r;
                 r.kind = Kind::Color;
                 r.color = NewColor(t.model);
                 r.color->aci = ent(t)->color;
                 r.color->rgb = ent(t)->trueColor;
                 return t.model.ref(t.model.newRecord(r));
             })
        .put(QStringLiteral("TrueColor"),
             [](Target& t, Args a) -> Variant {
                 ObjectRecord& c = t.model.record(Arg(a, 0).toObject());
                 if (c.kind != Kind::Color)
                     throw InvalidArgument(QStringLiteral("Oczekiwano obiektu koloru"));
                 if (c.color->rgb >= 0)
                     ent(t)->trueColor = c.color->rgb;
                 else {
                     ent(t)->color = c.color->aci;
                     ent(t)->trueColor = -1;
                 }
                 return {};
             })
        .get(QStringLiteral("Linetype"), [](Target& t, Args) -> Variant { return Variant(ent(t)->linetype); })
        .put(QStringLiteral("Linetype"),
             [](Target& t, Args a) -> Variant {
                 const QString name = TextArg(a, 0);
                 if (name.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) == 0)
                     ent(t)->linetype = QStringLiteral("BYLAYER");
                 else if (name.compare(QLatin1String("BYBLOCK"), Qt::CaseInsensitive) == 0)
                     ent(t)->linetype = QStringLiteral("BYBLOCK");
                 else
                     ent(t)->linetype = Db(t).linetypes().item(name)->name();
                 return {};
             })
        .get(QStringLiteral("Lineweight"),
             [](Target& t, Args) -> Variant { return Variant(ent(t)->lineweight); })
        .put(QStringLiteral("Lineweight"),
             [](Target& t, Args a) -> Variant {
                 const qint64 v = IntArg(a, 0);
                 if (!ValidLineweight(v))
                     throw InvalidArgument(QStringLiteral("%1 nie jest prawidłową grubością linii").arg(v));
                 ent(t)->lineweight = int(v);
                 return {};
             })
        .get(QStringLiteral("LinetypeScale"),
             [](Target& t, Args) -> Variant { return Variant(ent(t)->linetypeScale); })
        .put(QStringLiteral("LinetypeScale"),
             [](Target& t, Args a) -> Variant {
                 const double s = DoubleArg(a, 0);
                 if (!(s > 0)) throw InvalidArgument(QStringLiteral("Skala rodzaju linii musi być dodatnia"));
                 ent(t)->linetypeScale = s;
                 return {};
             })
        .get(QStringLiteral("Visible"), [](Target& t, Args) -> Variant { return Variant(ent(t)->visible); })
        .put(QStringLiteral("Visible"),
             [](Target& t, Args a) -> Variant {
                 ent(t)->visible = BoolArg(a, 0);
                 return {};
             })
        .method(QStringLiteral("Move"),
                [](Target& t, Args a) -> Variant {
                    Db(t).move(ent(t), PointArg(a, 0), PointArg(a, 1));
                    return {};
                })
        .method(QStringLiteral("Rotate"),
                [](Target& t, Args a) -> Variant {
                    Db(t).rotate(ent(t), PointArg(a, 0), DoubleArg(a, 1));
                    return {};
                })
        .method(QStringLiteral("Copy"),
                [](Target& t, Args) -> Variant {
                    return t.model.ref(t.model.entityId(t.rec.doc, Db(t).copy(ent(t))));
                })
        .method(QStringLiteral("Delete"),
                [](Target& t, Args) -> Variant {
                    Db(t).erase(ent(t));
                    return {};
                })
        .method(QStringLiteral("Update"),
                [](Target& t, Args) -> Variant {
                    ++t.model.updateRequests;
                    return {};
                })
        .method(QStringLiteral("HighLight"),
                [](Target& t, Args a) -> Variant {
                    // Kept for the view to show; a highlighted attribute shows its block reference.
                    db::Entity* e = ent(t);
                    if (db::Entity* owner = e->ownerReference()) e = owner;
                    if (BoolArg(a, 0))
                        t.rec.doc->highlighted.insert(e->handle());
                    else
                        t.rec.doc->highlighted.remove(e->handle());
                    return {};
                })
        .get(QStringLiteral("Highlighted"),
             [](Target& t, Args) -> Variant {
                 db::Entity* e = ent(t);
                 if (db::Entity* owner = e->ownerReference()) e = owner;
                 return Variant(t.rec.doc->highlighted.contains(e->handle()));
             })
        .method(QStringLiteral("SetXData"),
                [](Target& t, Args a) -> Variant {
                    // Codes and values of one application's data, the first pair naming it (1001);
                    // they replace that application's earlier data, and the application is registered.
                    const VariantList codes = Arg(a, 0).toArray();
                    const VariantList values = Arg(a, 1).toArray();
                    if (codes.isEmpty() || codes.size() != values.size() || codes[0].toInt() != 1001 ||
                        values[0].toText().isEmpty())
                        throw InvalidArgument(
                            QStringLiteral("Dane rozszerzone muszą zaczynać się od nazwy aplikacji"));
                    const QString app = values[0].toText();
                    Db(t).addAppId(app);
                    db::Tags& x = ent(t)->xdata;
                    db::Tags kept;
                    bool inApp = false;
                    for (const db::Tag& tag : x) {
                        if (tag.code == 1001) inApp = tag.value.compare(app, Qt::CaseInsensitive) == 0;
                        if (!inApp) kept.push_back(tag);
                    }
                    for (qsizetype i = 0; i < codes.size(); ++i) {
                        const Variant& v = values[i];
                        const QString text =
                            v.isNumber() ? QString::number(v.toDouble(), 'g', 17) : v.toText();
                        kept.push_back(db::Tag{int(codes[i].toInt()), text});
                    }
                    x = std::move(kept);
                    return {};
                })
        .method(QStringLiteral("GetXData"),
                [](Target& t, Args a) -> Variant {
                    // [codes, values] of the named application's data (every application's for "").
                    const QString app = TextArg(a, 0);
                    VariantList codes, values;
                    bool inApp = false;
                    for (const db::Tag& tag : ent(t)->xdata) {
                        if (tag.code == 1001)
                            inApp = app.isEmpty() || tag.value.compare(app, Qt::CaseInsensitive) == 0;
                        if (!inApp) continue;
                        codes.append(Variant(qint64(tag.code)));
                        values.append(Variant(tag.value));
                    }
                    return Variant(VariantList{Variant(codes), Variant(values)});
                })
        .method(QStringLiteral("GetBoundingBox"),
                [](Target& t, Args) -> Variant {
                    const db::Box b = Db(t).boundingBox(ent(t));
                    if (b.isEmpty()) throw Failed(QStringLiteral("Obiekt nie ma zasięgu"));
                    return Variant(VariantList{PointValue(b.min), PointValue(b.max)});
                })
        .method(QStringLiteral("Explode"),
                [](Target& t, Args) -> Variant { return EntityList(t, Db(t).explode(ent(t))); })
        .method(QStringLiteral("ArrayRectangular"), [](Target& t, Args a) -> Variant {
            const qint64 rows = IntArg(a, 0), cols = IntArg(a, 1);
            if (rows < 1 || cols < 1 || (rows == 1 && cols == 1))
                throw InvalidArgument(QStringLiteral("Szyk wymaga więcej niż jednego wiersza lub kolumny"));
            return EntityList(
                t, Db(t).arrayRectangular(ent(t), int(rows), int(cols), DoubleArg(a, 3), DoubleArg(a, 4)));
        });
}

void addCurves(DispatchTable& tb) {
    tb.get(QStringLiteral("StartPoint"),
           [](Target& t, Args) -> Variant { return PointValue(Db(t).startPoint(ent(t))); })
        .put(QStringLiteral("StartPoint"),
             [](Target& t, Args a) -> Variant {
                 data<db::LineData>(t).start = PointArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("EndPoint"),
             [](Target& t, Args) -> Variant { return PointValue(Db(t).endPoint(ent(t))); })
        .put(QStringLiteral("EndPoint"),
             [](Target& t, Args a) -> Variant {
                 data<db::LineData>(t).end = PointArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Length"),
             [](Target& t, Args) -> Variant {
                 db::Entity* e = ent(t);
                 if (auto* l = e->tryAs<db::LineData>())
                     return Variant(std::hypot(l->end.x - l->start.x, l->end.y - l->start.y));
                 if (auto* p = e->tryAs<db::LwPolylineData>())
                     return Variant(polylineLength(p->vertices, p->closed));
                 if (auto* p = e->tryAs<db::Polyline2dData>())
                     return Variant(polylineLength(p->vertices, p->closed));
                 notFor(t);
             })
        .get(QStringLiteral("ArcLength"),
             [](Target& t, Args) -> Variant {
                 const auto& a = data<db::ArcData>(t);
                 return Variant(a.radius * sweepOf(a));
             })
        .get(QStringLiteral("TotalAngle"),
             [](Target& t, Args) -> Variant { return Variant(sweepOf(data<db::ArcData>(t))); })
        .get(QStringLiteral("Circumference"),
             [](Target& t, Args) -> Variant { return Variant(TwoPi * data<db::CircleData>(t).radius); })
        // Points are world points; an entity with its own coordinate system keeps its OCS values.
        .get(QStringLiteral("Center"),
             [](Target& t, Args) -> Variant {
                 if (auto* a = ent(t)->tryAs<db::ArcData>()) return PointValue(db::ocsToWorld(*ent(t), a->center));
                 return PointValue(db::ocsToWorld(*ent(t), data<db::CircleData>(t).center));
             })
        .put(QStringLiteral("Center"),
             [](Target& t, Args a) -> Variant {
                 const db::Point3 p = db::worldToOcs(*ent(t), PointArg(a, 0));
                 if (auto* arc = ent(t)->tryAs<db::ArcData>())
                     arc->center = p;
                 else
                     data<db::CircleData>(t).center = p;
                 return {};
             })
        .get(QStringLiteral("Radius"),
             [](Target& t, Args) -> Variant {
                 if (auto* a = ent(t)->tryAs<db::ArcData>()) return Variant(a->radius);
                 return Variant(data<db::CircleData>(t).radius);
             })
        .put(QStringLiteral("Radius"),
             [](Target& t, Args a) -> Variant {
                 const double r = DoubleArg(a, 0);
                 if (!(r > 0)) throw InvalidArgument(QStringLiteral("Promień musi być dodatni"));
                 if (auto* arc = ent(t)->tryAs<db::ArcData>())
                     arc->radius = r;
                 else
                     data<db::CircleData>(t).radius = r;
                 return {};
             })
        .get(QStringLiteral("Diameter"),
             [](Target& t, Args) -> Variant { return Variant(2 * data<db::CircleData>(t).radius); })
        .get(QStringLiteral("StartAngle"),
             [](Target& t, Args) -> Variant { return Variant(data<db::ArcData>(t).startAngle); })
        .put(QStringLiteral("StartAngle"),
             [](Target& t, Args a) -> Variant {
                 data<db::ArcData>(t).startAngle = normalizeAngle(DoubleArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("EndAngle"),
             [](Target& t, Args) -> Variant { return Variant(data<db::ArcData>(t).endAngle); })
        .put(QStringLiteral("EndAngle"),
             [](Target& t, Args a) -> Variant {
                 data<db::ArcData>(t).endAngle = normalizeAngle(DoubleArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("Coordinates"),
             [](Target& t, Args) -> Variant {
                 VariantList flat;
                 for (const db::Vertex& v : verticesOf(t)) flat << v.x << v.y;
                 return Variant(flat);
             })
        .put(QStringLiteral("Coordinates"),
             [](Target& t, Args a) -> Variant {
                 const QList<Point> pts = PointsFromFlat(Arg(a, 0), 2);
                 if (pts.size() < 2)
                     throw InvalidArgument(QStringLiteral("Polilinia wymaga co najmniej dwóch wierzchołków"));
                 auto& v = data<db::LwPolylineData>(t).vertices;
                 v.resize(size_t(pts.size()));
                 for (qsizetype i = 0; i < pts.size(); ++i) {
                     v[size_t(i)].x = pts[i].x;
                     v[size_t(i)].y = pts[i].y;
                 }
                 return {};
             })
        .method(QStringLiteral("GetBulge"),
                [](Target& t, Args a) -> Variant {
                    const auto& v = verticesOf(t);
                    const qint64 i = IntArg(a, 0);
                    if (i < 0 || i >= qint64(v.size()))
                        throw InvalidArgument(QStringLiteral("Brak wierzchołka %1").arg(i));
                    return Variant(v[size_t(i)].bulge);
                })
        .method(QStringLiteral("SetBulge"),
                [](Target& t, Args a) -> Variant {
                    auto& v = verticesOf(t);
                    const qint64 i = IntArg(a, 0);
                    if (i < 0 || i >= qint64(v.size()))
                        throw InvalidArgument(QStringLiteral("Brak wierzchołka %1").arg(i));
                    v[size_t(i)].bulge = DoubleArg(a, 1);
                    return {};
                })
        .get(QStringLiteral("Closed"),
             [](Target& t, Args) -> Variant {
                 if (auto* p = ent(t)->tryAs<db::LwPolylineData>()) return Variant(p->closed);
                 return Variant(data<db::Polyline2dData>(t).closed);
             })
        .put(QStringLiteral("Closed"),
             [](Target& t, Args a) -> Variant {
                 const bool c = BoolArg(a, 0);
                 if (auto* p = ent(t)->tryAs<db::LwPolylineData>())
                     p->closed = c;
                 else {
                     auto& p2 = data<db::Polyline2dData>(t);
                     p2.closed = c;
                     p2.flags = c ? (p2.flags | 1) : (p2.flags & ~1);
                 }
                 return {};
             })
        .get(QStringLiteral("ConstantWidth"),
             [](Target& t, Args) -> Variant { return Variant(data<db::LwPolylineData>(t).constantWidth); })
        .put(QStringLiteral("ConstantWidth"), [](Target& t, Args a) -> Variant {
            const double w = DoubleArg(a, 0);
            if (w < 0) throw InvalidArgument(QStringLiteral("Szerokość nie może być ujemna"));
            data<db::LwPolylineData>(t).constantWidth = w;
            return {};
        });
    // A bulk read of a set of curves asks every one for all of these, each failing on most kinds:
    // the lines are answered empty at once rather than through a thrown failure each.
    tb.onlyFor({"Center", "Radius"}, [](const ObjectRecord& r) {
        const auto* e = static_cast<const db::Entity*>(r.object);
        return e->tryAs<db::ArcData>() != nullptr || e->tryAs<db::CircleData>() != nullptr;
    });
    tb.onlyFor({"StartAngle", "EndAngle"}, [](const ObjectRecord& r) {
        return static_cast<const db::Entity*>(r.object)->tryAs<db::ArcData>() != nullptr;
    });
}

void addReferences(DispatchTable& tb) {
    tb.get(QStringLiteral("Name"),
           [](Target& t, Args) -> Variant { return Variant(data<db::InsertData>(t).blockName); })
        .put(QStringLiteral("Name"),
             [](Target& t, Args a) -> Variant {
                 data<db::InsertData>(t);
                 Db(t).setReferenceBlock(ent(t), TextArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("EffectiveName"),
             [](Target& t, Args) -> Variant {
                 const auto& i = data<db::InsertData>(t);
                 return Variant(i.effectiveName.isEmpty() ? i.blockName : i.effectiveName);
             })
        .get(QStringLiteral("XScaleFactor"),
             [](Target& t, Args) -> Variant { return Variant(data<db::InsertData>(t).xScale); })
        .get(QStringLiteral("YScaleFactor"),
             [](Target& t, Args) -> Variant { return Variant(data<db::InsertData>(t).yScale); })
        .get(QStringLiteral("ZScaleFactor"),
             [](Target& t, Args) -> Variant { return Variant(data<db::InsertData>(t).zScale); })
        .put(QStringLiteral("XScaleFactor"),
             [](Target& t, Args a) -> Variant {
                 const double s = DoubleArg(a, 0);
                 if (s == 0) throw InvalidArgument(QStringLiteral("Skala nie może być zerowa"));
                 data<db::InsertData>(t).xScale = s;
                 return {};
             })
        .put(QStringLiteral("YScaleFactor"),
             [](Target& t, Args a) -> Variant {
                 const double s = DoubleArg(a, 0);
                 if (s == 0) throw InvalidArgument(QStringLiteral("Skala nie może być zerowa"));
                 data<db::InsertData>(t).yScale = s;
                 return {};
             })
        .put(QStringLiteral("ZScaleFactor"),
             [](Target& t, Args a) -> Variant {
                 const double s = DoubleArg(a, 0);
                 if (s == 0) throw InvalidArgument(QStringLiteral("Skala nie może być zerowa"));
                 data<db::InsertData>(t).zScale = s;
                 return {};
             })
        .get(QStringLiteral("HasAttributes"),
             [](Target& t, Args) -> Variant {
                 data<db::InsertData>(t);
                 return Variant(!Db(t).attributes(ent(t)).empty());
             })
        .method(QStringLiteral("GetAttributes"),
                [](Target& t, Args) -> Variant {
                    data<db::InsertData>(t);
                    return EntityList(t, Db(t).attributes(ent(t)));
                })
        .method(QStringLiteral("GetConstantAttributes"),
                [](Target& t, Args) -> Variant {
                    db::BlockDefinition* b = Db(t).block(data<db::InsertData>(t).blockName);
                    std::vector<db::Entity*> out;
                    for (db::Entity* d : b->attributeDefinitions())
                        if (d->as<db::AttributeData>().flags & 2) out.push_back(d);
                    return EntityList(t, out);
                })
        .get(QStringLiteral("IsDynamicBlock"),
             [](Target& t, Args) -> Variant {
                 return Variant(!data<db::InsertData>(t).dynamicProperties.empty());
             })
        .method(QStringLiteral("GetDynamicBlockProperties"), [](Target& t, Args) -> Variant {
            const auto& props = data<db::InsertData>(t).dynamicProperties;
            VariantList out;
            for (size_t i = 0; i < props.size(); ++i) {
                ObjectRecord r;
                r.kind = Kind::DynamicProperty;
                r.doc = t.rec.doc;
                r.object = ent(t);
                r.index = int(i);
                out.append(t.model.ref(t.model.newRecord(r)));
            }
            return Variant(out);
        });
}

void addHatches(DispatchTable& tb) {
    tb.get(QStringLiteral("PatternName"),
           [](Target& t, Args) -> Variant { return Variant(data<db::HatchData>(t).patternName); })
        .get(QStringLiteral("PatternType"),
             [](Target& t, Args) -> Variant { return Variant(data<db::HatchData>(t).patternType); })
        .get(QStringLiteral("PatternScale"),
             [](Target& t, Args) -> Variant { return Variant(data<db::HatchData>(t).patternScale); })
        .put(QStringLiteral("PatternScale"),
             [](Target& t, Args a) -> Variant {
                 const double s = DoubleArg(a, 0);
                 if (!(s > 0)) throw InvalidArgument(QStringLiteral("Skala wzoru kreskowania musi być dodatnia"));
                 data<db::HatchData>(t).patternScale = s;
                 return {};
             })
        .get(QStringLiteral("PatternAngle"),
             [](Target& t, Args) -> Variant { return Variant(data<db::HatchData>(t).patternAngle); })
        .put(QStringLiteral("PatternAngle"),
             [](Target& t, Args a) -> Variant {
                 data<db::HatchData>(t).patternAngle = normalizeAngle(DoubleArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("AssociativeHatch"),
             [](Target& t, Args) -> Variant { return Variant(data<db::HatchData>(t).associative); })
        .method(QStringLiteral("AppendOuterLoop"),
                [](Target& t, Args a) -> Variant {
                    data<db::HatchData>(t);
                    Db(t).appendHatchLoop(ent(t), EntitiesArg(t, a, 0), true);
                    return {};
                })
        .method(QStringLiteral("AppendInnerLoop"),
                [](Target& t, Args a) -> Variant {
                    data<db::HatchData>(t);
                    Db(t).appendHatchLoop(ent(t), EntitiesArg(t, a, 0), false);
                    return {};
                })
        .method(QStringLiteral("Evaluate"),
                [](Target& t, Args) -> Variant {
                    // The engine keeps loops evaluated as they are appended; a hatch without one is refused.
                    if (data<db::HatchData>(t).loops.empty())
                        throw Failed(QStringLiteral("Kreskowanie nie ma obwiedni"));
                    return {};
                })
        .get(QStringLiteral("NumberOfLoops"),
             [](Target& t, Args) -> Variant { return Variant(int(data<db::HatchData>(t).loops.size())); })
        .method(QStringLiteral("GetLoopAt"),
                [](Target& t, Args a) -> Variant {
                    const auto& loops = data<db::HatchData>(t).loops;
                    const qint64 i = IntArg(a, 0);
                    if (i < 0 || i >= qint64(loops.size()))
                        throw InvalidArgument(QStringLiteral("Brak pętli %1").arg(i));
                    const db::HatchLoop loop = loops[size_t(i)];
                    return EntityList(t, loopCurves(t, loop));
                })
        .method(QStringLiteral("Boolean"),
                [](Target& t, Args a) -> Variant {
                    db::RegionData& mine = data<db::RegionData>(t);
                    const qint64 op = IntArg(a, 0);  // 0 union, 1 intersection, 2 subtraction
                    if (op < 0 || op > 2)
                        throw InvalidArgument(QStringLiteral("Operacja logiczna musi mieć numer 0, 1 lub 2"));
                    db::Entity* other = t.model.entityOf(Arg(a, 1), t.rec.doc);
                    if (other == ent(t))
                        throw InvalidArgument(QStringLiteral("Regionu nie można połączyć z nim samym"));
                    CombineRegions(mine, other->as<db::RegionData>(), RegionOperation(op));
                    Db(t).erase(other);  // the other region is consumed, as in the CAD
                    return {};
                })
        .get(QStringLiteral("Area"), [](Target& t, Args) -> Variant {
            db::Entity* e = ent(t);
            if (auto* c = e->tryAs<db::CircleData>())
                return Variant(std::numbers::pi * c->radius * c->radius);
            if (auto* r = e->tryAs<db::RegionData>()) return Variant(RegionArea(*r));
            notFor(t);
        });
}

}  // namespace

std::unique_ptr<DispatchTable> MakeEntityTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadEntity"));
    addCommon(*tb);
    addCurves(*tb);
    AddTextMembers(*tb);
    AddPlacementMembers(*tb);
    addReferences(*tb);
    addHatches(*tb);
    tb->quiet({"Update", "HighLight", "GetBoundingBox", "GetBulge", "GetAttributes", "GetConstantAttributes",
               "GetDynamicBlockProperties", "Evaluate"});
    tb->changesView(ViewChange::Look, {"Color", "TrueColor", "Layer", "Linetype", "Lineweight", "LinetypeScale",
                                       "Visible", "HighLight", "Update"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeDynamicPropertyTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadDynamicBlockReferenceProperty"));
    tb->get(QStringLiteral("PropertyName"),
            [](Target& t, Args) -> Variant {
                return Variant(data<db::InsertData>(t).dynamicProperties.at(size_t(t.rec.index)).first);
            })
        .get(QStringLiteral("Value"),
             [](Target& t, Args) -> Variant {
                 return Variant(data<db::InsertData>(t).dynamicProperties.at(size_t(t.rec.index)).second);
             })
        .put(QStringLiteral("Value"), [](Target& t, Args a) -> Variant {
            // The reference moves to its own anonymous block, rebuilt with the new value.
            data<db::InsertData>(t);
            db::SetDynamicProperty(Db(t), ent(t), t.rec.index, DoubleArg(a, 0));
            return {};
        });
    return tb;
}

}  // namespace cad
