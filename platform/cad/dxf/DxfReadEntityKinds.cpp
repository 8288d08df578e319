// The own codes of each modelled entity kind, once the common part is taken: lines, arcs and
// circles, polylines with their vertices, texts, points, regions, block references with their
// attributes, and dimensions.
#include "platform/cad/dxf/DxfReading.h"
#include "platform/cad/engine/Ocs.h"

namespace cad::dxf::reading {

using namespace cad::db;

void Reader::readKind(Entity* e, EntityKind kind, const std::vector<SubRecord>& subs, Tags& tail) {
    switch (kind) {
        case EntityKind::Line:
            readLine(e);
            break;
        case EntityKind::Arc:
        case EntityKind::Circle:
            readCircle(e, kind);
            break;
        case EntityKind::LwPolyline:
            readLwPolyline(e);
            break;
        case EntityKind::Polyline2d:
            readPolyline2d(e, subs);
            break;
        case EntityKind::Text:
        case EntityKind::AttributeDefinition:
            readText(e, kind);
            break;
        case EntityKind::MText:
            readMText(e);
            break;
        case EntityKind::Point:
            readPoint(e);
            break;
        case EntityKind::Region: {
            // Everything after the common part, as read.
            auto& d = e->as<RegionData>();
            for (const RawTag* t : own_) d.acis.push_back(toTag(*t));
            d.acis.insert(d.acis.end(), tail.begin(), tail.end());
            tail.clear();
            break;
        }
        case EntityKind::BlockReference:
            readInsert(e, subs);
            break;
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate:
            readDimension(e);
            break;
        default:
            break;
    }
}

void Reader::readLine(Entity* e) {
    auto& d = e->as<LineData>();
    for (const RawTag* t : own_) {
        if (isPointCode(t->code, 10))
            setPoint(d.start, *t, 10);
        else if (isPointCode(t->code, 11))
            setPoint(d.end, *t, 11);
        else
            extra(e, t);
    }
}

void Reader::readCircle(Entity* e, EntityKind kind) {
    Point3 c;
    double r = 0, a0 = 0, a1 = 0;
    for (const RawTag* t : own_) {
        if (isPointCode(t->code, 10))
            setPoint(c, *t, 10);
        else if (t->code == 40)
            r = num(*t);
        else if (t->code == 50 && kind == EntityKind::Arc)
            a0 = num(*t) * degToRad;
        else if (t->code == 51 && kind == EntityKind::Arc)
            a1 = num(*t) * degToRad;
        else
            extra(e, t);
    }
    if (kind == EntityKind::Arc)
        e->as<ArcData>() = {c, r, normalizeAngle(a0), normalizeAngle(a1)};
    else
        e->as<CircleData>() = {c, r};
}

void Reader::readLwPolyline(Entity* e) {
    auto& d = e->as<LwPolylineData>();
    for (const RawTag* t : own_) {
        switch (t->code) {
            case 90:
                break;  // the count follows from the vertices
            case 70:
                d.closed = integer(*t) & 1;
                d.flags = integer(*t) & ~1;
                break;
            case 43:
                d.constantWidth = num(*t);
                break;
            case 38:
                d.elevation = num(*t);
                break;
            case 10:
                d.vertices.push_back(Vertex{num(*t), 0, 0, 0, 0});
                break;
            case 20:
                if (!d.vertices.empty()) d.vertices.back().y = num(*t);
                break;
            case 40:
                if (!d.vertices.empty()) d.vertices.back().startWidth = num(*t);
                break;
            case 41:
                if (!d.vertices.empty()) d.vertices.back().endWidth = num(*t);
                break;
            case 42:
                if (!d.vertices.empty()) d.vertices.back().bulge = num(*t);
                break;
            case 91:
                break;
            default:
                extra(e, t);
        }
    }
}

void Reader::readPolyline2d(Entity* e, const std::vector<SubRecord>& subs) {
    auto& d = e->as<Polyline2dData>();
    for (const RawTag* t : own_) {
        switch (t->code) {
            case 66:
            case 10:
            case 20:
                break;
            case 30:
                d.elevation = num(*t);
                break;
            case 70:
                d.flags = integer(*t);
                d.closed = d.flags & 1;
                break;
            default:
                extra(e, t);
        }
    }
    for (const SubRecord& sr : subs) {
        Split& vs = subSplit_;
        split(sr.tags, vs);
        if (sr.type == QLatin1String("SEQEND")) {
            d.seqendHandle = claim(vs.handle);
            continue;
        }
        Vertex v;
        for (const RawTag* t : vs.body) {
            switch (t->code) {
                case 10:
                    v.x = num(*t);
                    break;
                case 20:
                    v.y = num(*t);
                    break;
                case 40:
                    v.startWidth = num(*t);
                    break;
                case 41:
                    v.endWidth = num(*t);
                    break;
                case 42:
                    v.bulge = num(*t);
                    break;
                default:
                    break;
            }
        }
        d.vertices.push_back(v);
        d.vertexHandles.push_back(claim(vs.handle));
    }
}

// TEXT and ATTDEF.
void Reader::readText(Entity* e, EntityKind kind) {
    const bool isDef = kind == EntityKind::AttributeDefinition;
    TextData* td = e->textData();
    AttributeData* ad = isDef ? &e->as<AttributeData>() : nullptr;
    // The text's fields belong to its text subclass; in the attribute-definition subclass
    // only the attribute's own (later files repeat codes such as 72 there).
    bool inAttribute = false;
    for (const RawTag* t : own_) {
        const int c = t->code;
        if (c == 100) {
            inAttribute = isDef && trimmed(t->value) == "AcDbAttributeDefinition";
            continue;
        }
        if (inAttribute) {
            if (applyAttribute(*ad, *t)) continue;
            if (c == 74)
                td->vertical = integer(*t);
            else if (c == 3)
                ad->prompt = text(*t);
            else
                extra(e, t);
            continue;
        }
        if (applyText(*td, *t, isDef ? 74 : 73) || (isDef && applyAttribute(*ad, *t))) continue;
        if (c == 3 && isDef) {
            ad->prompt = text(*t);
            continue;
        }
        extra(e, t);
    }
}

void Reader::readMText(Entity* e) {
    auto& d = e->as<MTextData>();
    QString chunks, last;
    bool haveDirection = false;
    Point3 dir;
    for (const RawTag* t : own_) {
        const int c = t->code;
        if (isPointCode(c, 10))
            setPoint(d.position, *t, 10);
        else if (isPointCode(c, 11)) {
            setPoint(dir, *t, 11);
            haveDirection = true;
        } else if (c == 40)
            d.height = num(*t);
        else if (c == 41)
            d.width = num(*t);
        else if (c == 71)
            d.attachment = std::clamp(integer(*t), 1, 9);
        else if (c == 72)
            d.drawingDirection = integer(*t);
        else if (c == 3)
            chunks += text(*t);
        else if (c == 1)
            last = text(*t);
        else if (c == 7)
            d.style = name(*t);
        else if (c == 50) {
            d.givenAngle = num(*t);
            d.hasGivenAngle = true;
            d.rotation = normalizeAngle(d.givenAngle * degToRad);
        } else if (c == 44)
            d.lineSpacing = num(*t);
        else if (c == 42 || c == 43)
            continue;  // measured extents: recomputed by readers
        else
            extra(e, t);
    }
    d.text = chunks + last;
    if (haveDirection && (dir.x != 0 || dir.y != 0 || dir.z != 0)) {
        // The direction is a world vector; the rotation kept is its angle in the text's OCS.
        const Point3 own = Ocs(e->normal).fromWorld(dir);
        d.rotation = normalizeAngle(std::atan2(own.y, own.x));
        d.hasGivenDirection = true;
        d.givenDirection = dir;
    }
    else if (!d.hasGivenAngle && !isWorldExtrusion(e->normal)) {
        // Neither given: the text runs along the world X axis, whatever its extrusion.
        const Point3 own = Ocs(e->normal).fromWorld({1, 0, 0});
        d.rotation = normalizeAngle(std::atan2(own.y, own.x));
    }
    d.givenRotation = d.rotation;
}

void Reader::readPoint(Entity* e) {
    auto& d = e->as<PointData>();
    for (const RawTag* t : own_) {
        if (isPointCode(t->code, 10))
            setPoint(d.position, *t, 10);
        else
            extra(e, t);
    }
}

// INSERT with its attributes and the dynamic-block data this engine keeps in its xdata.
void Reader::readInsert(Entity* e, const std::vector<SubRecord>& subs) {
    auto& d = e->as<InsertData>();
    for (const RawTag* t : own_) {
        const int c = t->code;
        if (c == 2)
            d.blockName = name(*t);
        else if (isPointCode(c, 10))
            setPoint(d.position, *t, 10);
        else if (c == 41)
            d.xScale = num(*t);
        else if (c == 42)
            d.yScale = num(*t);
        else if (c == 43)
            d.zScale = num(*t);
        else if (c == 50)
            d.rotation = normalizeAngle(num(*t) * degToRad);
        else if (c == 66)
            continue;
        else
            extra(e, t);
    }
    readAttributes(e, d, subs);
    // Dynamic-block data kept by this engine: original name and property values.
    for (size_t i = 0; i < e->xdata.size(); ++i) {
        if (e->xdata[i].code != 1001 || e->xdata[i].value != QLatin1String("TESMAR_DYNAMIC")) continue;
        size_t k = i + 1;
        if (k < e->xdata.size() && e->xdata[k].code == 1000) d.effectiveName = e->xdata[k++].value;
        for (; k + 1 < e->xdata.size() && e->xdata[k].code == 1000 && e->xdata[k + 1].code == 1040; k += 2)
            d.dynamicProperties.emplace_back(e->xdata[k].value, e->xdata[k + 1].value.toDouble());
        while (k < e->xdata.size() && e->xdata[k].code != 1001) ++k;
        e->xdata.erase(e->xdata.begin() + long(i), e->xdata.begin() + long(k));
        break;
    }
    if (d.seqendHandle == 0 && !d.attributes.empty()) d.seqendHandle = claim(0);
}

// The ATTRIB records after an INSERT, up to its SEQEND.
void Reader::readAttributes(Entity* e, InsertData& d, const std::vector<SubRecord>& subs) {
    for (const SubRecord& sr : subs) {
        Split& as = subSplit_;
        split(sr.tags, as);
        if (sr.type == QLatin1String("SEQEND")) {
            d.seqendHandle = claim(as.handle);
            continue;
        }
        Entity* a = db_->adoptEntity(nullptr, EntityKind::AttributeReference, want(as.handle), e);
        adopted(as.handle, a);
        applyObject(a, as);
        auto& ad = a->as<AttributeData>();
        bool embedded = false;
        for (const RawTag* t : as.body) {
            const int c = t->code;
            if (embedded) {
                a->extraTags.push_back(toTag(*t));
                continue;
            }
            if (applyCommon(a, *t)) continue;
            if (applyText(ad, *t, 74) || applyAttribute(ad, *t)) continue;
            if (c == 101) embedded = true;
            a->extraTags.push_back(toTag(*t));
        }
    }
}

void Reader::readDimension(Entity* e) {
    auto& d = e->as<DimensionData>();
    for (const RawTag* t : own_) {
        const int c = t->code;
        if (c == 2)
            d.blockName = name(*t);
        else if (c == 3)
            d.style = name(*t);
        else if (isPointCode(c, 10))
            setPoint(d.definitionPoint, *t, 10);
        else if (isPointCode(c, 11))
            setPoint(d.textPosition, *t, 11);
        else if (isPointCode(c, 13))
            setPoint(d.point1, *t, 13);
        else if (isPointCode(c, 14))
            setPoint(d.point2, *t, 14);
        else if (c == 70) {
            d.ordinateXAxis = integer(*t) & 64;
            d.flags = integer(*t) & ~(7 | 64);
        } else if (c == 1)
            d.textOverride = text(*t);
        else if (c == 42)
            d.measurement = num(*t);
        else if (c == 53)
            d.rotation = num(*t) * degToRad;
        else if (c == 71)
            d.attachment = integer(*t);
        else
            extra(e, t);
    }
}

}  // namespace cad::dxf::reading
