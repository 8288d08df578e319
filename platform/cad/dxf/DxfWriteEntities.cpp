// The ENTITIES section and every entity wherever it is written: kinds the engine does not model
// as read with their common properties patched in, modelled kinds from their records, and
// hatches with their boundaries and patterns.
#include "platform/cad/dxf/DxfWriting.h"
#include "platform/cad/engine/Ocs.h"

namespace cad::dxf::writing {

using namespace cad::db;

void Writer::entities() {
    ascii(0, "SECTION");
    ascii(2, "ENTITIES");
    for (const Entity* e : db_.modelSpace()->entities()) entity(*e, false);
    if (db_.paperSpace())
        for (const Entity* e : db_.paperSpace()->entities()) entity(*e, true);
    ascii(0, "ENDSEC");
}

void Writer::common(const Entity& e, bool paper) {
    if (paper) integer(67, 1);
    str(8, e.layer());
    if (e.linetype.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) != 0) str(6, e.linetype);
    if (e.color != ColorByLayer) integer(62, e.color);
    if (e.trueColor >= 0) integer(420, e.trueColor);
    if (e.lineweight != LineweightByLayer) integer(370, e.lineweight);
    if (e.linetypeScale != 1) real(48, e.linetypeScale);
    if (!e.visible) integer(60, 1);
    tags(e.commonTags);
}

void Writer::entity(const Entity& e, bool paper) {
    if (e.kind() == EntityKind::Unknown) {
        rawEntity(e, paper);
        return;
    }
    const QByteArray type = e.dxfName().toLatin1();
    const quint64 owner = e.ownerBlock() ? e.ownerBlock()->handle() : e.ownerHandle;
    head(type.constData(), e, owner);
    ascii(100, "AcDbEntity");
    common(e, paper);
    switch (e.kind()) {
        case EntityKind::Line:
            line(e);
            break;
        case EntityKind::Circle:
        case EntityKind::Arc:
            circle(e);
            break;
        case EntityKind::LwPolyline:
            lwPolyline(e);
            break;
        case EntityKind::Polyline2d:
            polyline2d(e, paper);  // its extra data goes before the vertices
            return;
        case EntityKind::Text:
        case EntityKind::AttributeDefinition:
        case EntityKind::AttributeReference:
            text(e);
            break;
        case EntityKind::MText:
            mtext(e);
            break;
        case EntityKind::Point: {
            ascii(100, "AcDbPoint");
            point(10, e.as<PointData>().position);
            if (e.thickness != 0) real(39, e.thickness);
            if (!defaultNormal(e.normal)) point(210, e.normal);
            break;
        }
        case EntityKind::Hatch:
            ascii(100, "AcDbHatch");
            point(10, {0, 0, e.as<HatchData>().elevation});
            point(210, e.normal);
            hatch(e.as<HatchData>());
            break;
        case EntityKind::Region: {
            const auto& r = e.as<RegionData>();
            if (r.acis.empty()) {
                ascii(100, "AcDbModelerGeometry");
                integer(70, 1);
            } else {
                tags(r.acis);
            }
            break;
        }
        case EntityKind::BlockReference:
            insert(e, paper);  // its extra data goes before the attributes
            return;
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate:
            dimension(e);
            break;
        case EntityKind::Unknown:
            break;
    }
    tags(e.extraTags);
    tags(e.xdata);
}

// Raw entities: tags as read, with the common properties patched in.
void Writer::rawEntity(const Entity& e, bool paper) {
    const QByteArray type = e.dxfName().toLatin1();
    const quint64 owner = e.ownerBlock() ? e.ownerBlock()->handle() : e.ownerHandle;
    const Tags& raw = e.as<RawData>().tags;
    head(type.constData(), e, owner);
    size_t i = 0;
    bool hasEntityMarker = false;
    for (const Tag& t : raw) {
        if (t.code == 0) break;
        if (t.code == 100 && t.value == QLatin1String("AcDbEntity")) hasEntityMarker = true;
    }
    auto isCommon = [](int c) {
        return c == 8 || c == 62 || c == 6 || c == 370 || c == 420 || c == 48 || c == 60 || c == 67;
    };
    if (!hasEntityMarker) common(e, paper);
    bool inEntityPart = false;
    for (; i < raw.size() && raw[i].code != 0; ++i) {
        const Tag& t = raw[i];
        if (t.code == 100) {
            inEntityPart = t.value == QLatin1String("AcDbEntity");
            str(100, t.value);
            if (inEntityPart) common(e, paper);
            continue;
        }
        if (isCommon(t.code) && (inEntityPart || !hasEntityMarker)) continue;
        str(t.code, t.value);
    }
    tags(e.extraTags);
    tags(e.xdata);
    for (; i < raw.size(); ++i) str(raw[i].code, raw[i].value);
}

void Writer::line(const Entity& e) {
    const auto& d = e.as<LineData>();
    ascii(100, "AcDbLine");
    if (e.thickness != 0) real(39, e.thickness);
    point(10, d.start);
    point(11, d.end);
    if (!defaultNormal(e.normal)) point(210, e.normal);
}

void Writer::circle(const Entity& e) {
    ascii(100, "AcDbCircle");
    if (e.thickness != 0) real(39, e.thickness);
    if (const auto* a = e.tryAs<ArcData>()) {
        point(10, a->center);
        real(40, a->radius);
        if (!defaultNormal(e.normal)) point(210, e.normal);
        ascii(100, "AcDbArc");
        real(50, a->startAngle * radToDeg);
        real(51, a->endAngle * radToDeg);
    } else {
        const auto& c = e.as<CircleData>();
        point(10, c.center);
        real(40, c.radius);
        if (!defaultNormal(e.normal)) point(210, e.normal);
    }
}

void Writer::lwPolyline(const Entity& e) {
    const auto& d = e.as<LwPolylineData>();
    ascii(100, "AcDbPolyline");
    integer(90, qsizetype(d.vertices.size()));
    integer(70, (d.flags & ~1) | (d.closed ? 1 : 0));
    if (d.constantWidth != 0) real(43, d.constantWidth);
    if (d.elevation != 0) real(38, d.elevation);
    if (e.thickness != 0) real(39, e.thickness);
    bool widths = false;
    for (const Vertex& v : d.vertices)
        if (v.startWidth != 0 || v.endWidth != 0) widths = true;
    for (const Vertex& v : d.vertices) {
        real(10, v.x);
        real(20, v.y);
        if (widths) {
            real(40, v.startWidth);
            real(41, v.endWidth);
        }
        if (v.bulge != 0) real(42, v.bulge);
    }
    if (!defaultNormal(e.normal)) point(210, e.normal);
}

// POLYLINE with its extra data, then its VERTEX records and SEQEND.
void Writer::polyline2d(const Entity& e, bool paper) {
    const auto& d = e.as<Polyline2dData>();
    ascii(100, "AcDb2dPolyline");
    integer(66, 1);
    point(10, {0, 0, d.elevation});
    if (e.thickness != 0) real(39, e.thickness);
    integer(70, (d.flags & ~1) | (d.closed ? 1 : 0));
    if (!defaultNormal(e.normal)) point(210, e.normal);
    tags(e.extraTags);
    tags(e.xdata);
    for (size_t i = 0; i < d.vertices.size(); ++i) {
        const Vertex& v = d.vertices[i];
        ascii(0, "VERTEX");
        handle(5, i < d.vertexHandles.size() && d.vertexHandles[i] ? d.vertexHandles[i] : newHandle());
        handle(330, e.handle());
        ascii(100, "AcDbEntity");
        common(e, paper);
        ascii(100, "AcDbVertex");
        ascii(100, "AcDb2dVertex");
        point(10, {v.x, v.y, d.elevation});
        if (v.startWidth != 0) real(40, v.startWidth);
        if (v.endWidth != 0) real(41, v.endWidth);
        if (v.bulge != 0) real(42, v.bulge);
        integer(70, 0);
    }
    ascii(0, "SEQEND");
    handle(5, d.seqendHandle ? d.seqendHandle : newHandle());
    handle(330, e.handle());
    ascii(100, "AcDbEntity");
    common(e, paper);
}

// TEXT, ATTDEF and ATTRIB: the text subclass, then the attribute's own.
void Writer::text(const Entity& e) {
    const TextData& t = *const_cast<Entity&>(e).textData();
    ascii(100, "AcDbText");
    if (e.thickness != 0) real(39, e.thickness);
    point(10, t.position);
    real(40, t.height);
    str(1, t.text);
    if (t.rotation != 0) real(50, t.rotation * radToDeg);
    if (t.widthFactor != 1) real(41, t.widthFactor);
    if (t.oblique != 0) real(51, t.oblique * radToDeg);
    str(7, t.style);
    if (t.generation != 0) integer(71, t.generation);
    if (t.horizontal != 0) integer(72, t.horizontal);
    if (t.horizontal != 0 || t.vertical != 0 || t.alignmentGiven) point(11, t.alignmentPoint);
    if (!defaultNormal(e.normal)) point(210, e.normal);
    if (e.kind() == EntityKind::Text) {
        ascii(100, "AcDbText");
        if (t.vertical != 0) integer(73, t.vertical);
        return;
    }
    const auto& a = e.as<AttributeData>();
    if (e.kind() == EntityKind::AttributeDefinition) {
        ascii(100, "AcDbAttributeDefinition");
        str(3, a.prompt);
    } else {
        ascii(100, "AcDbAttribute");
    }
    str(2, a.tag);
    integer(70, a.flags);
    if (a.fieldLength != 0) integer(73, a.fieldLength);
    if (t.vertical != 0) integer(74, t.vertical);
}

void Writer::mtext(const Entity& e) {
    const auto& m = e.as<MTextData>();
    ascii(100, "AcDbMText");
    point(10, m.position);
    real(40, m.height);
    real(41, m.width);
    integer(71, m.attachment);
    integer(72, m.drawingDirection);
    QString text = m.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\\P"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\P"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\P"));
    // Long texts go in chunks of 250 characters (3), the last chunk in 1.
    while (text.size() > 250) {
        qsizetype cut = 250;
        if (text.at(cut - 1).isHighSurrogate()) --cut;
        str(3, text.left(cut));
        text.remove(0, cut);
    }
    str(1, text);
    str(7, m.style);
    if (!defaultNormal(e.normal)) point(210, e.normal);
    const bool asGiven = m.rotation == m.givenRotation;
    if (m.hasGivenDirection)
        point(11, asGiven ? m.givenDirection
                          : Ocs(e.normal).directionToWorld({std::cos(m.rotation), std::sin(m.rotation), 0}));
    if (m.hasGivenAngle)
        real(50, asGiven ? m.givenAngle : m.rotation * radToDeg);
    else if (!m.hasGivenDirection && !asGiven)
        real(50, m.rotation * radToDeg);
    if (m.lineSpacing != 1) {
        integer(73, 1);
        real(44, m.lineSpacing);
    }
}

// INSERT with its extra data and dynamic-block data, then its ATTRIB records and SEQEND.
void Writer::insert(const Entity& e, bool paper) {
    const auto& d = e.as<InsertData>();
    std::vector<const Entity*> attrs;
    for (const Entity* a : d.attributes)
        if (!a->isErased()) attrs.push_back(a);
    ascii(100, "AcDbBlockReference");
    if (!attrs.empty()) integer(66, 1);
    str(2, d.blockName);
    point(10, d.position);
    if (d.xScale != 1) real(41, d.xScale);
    if (d.yScale != 1) real(42, d.yScale);
    if (d.zScale != 1) real(43, d.zScale);
    if (d.rotation != 0) real(50, d.rotation * radToDeg);
    if (!defaultNormal(e.normal)) point(210, e.normal);
    tags(e.extraTags);
    tags(e.xdata);
    if (hasDynamicData(e)) {
        ascii(1001, dynamicApp);
        str(1000, d.effectiveName);
        for (const auto& [name, value] : d.dynamicProperties) {
            str(1000, name);
            real(1040, value);
        }
    }
    if (!attrs.empty()) {
        for (const Entity* a : attrs) entity(*a, paper);
        ascii(0, "SEQEND");
        handle(5, d.seqendHandle ? d.seqendHandle : newHandle());
        handle(330, e.handle());
        ascii(100, "AcDbEntity");
        common(e, paper);
    }
}

void Writer::dimension(const Entity& e) {
    const auto& d = e.as<DimensionData>();
    const bool ordinate = e.kind() == EntityKind::DimOrdinate;
    ascii(100, "AcDbDimension");
    str(2, d.blockName);
    point(10, d.definitionPoint);
    point(11, d.textPosition);
    integer(70,
            (ordinate ? 6 : 1) | 32 | (ordinate && d.ordinateXAxis ? 64 : 0) | (d.flags & ~(7 | 32 | 64)));
    integer(71, d.attachment);
    if (d.measurement != 0) real(42, d.measurement);
    if (!d.textOverride.isEmpty()) str(1, d.textOverride);
    if (d.rotation != 0) real(53, d.rotation * radToDeg);
    if (!defaultNormal(e.normal)) point(210, e.normal);
    str(3, d.style);
    ascii(100, ordinate ? "AcDbOrdinateDimension" : "AcDbAlignedDimension");
    point(13, d.point1);
    point(14, d.point2);
}

void Writer::hatch(const HatchData& h) {
    str(2, h.patternName);
    integer(70, h.solid ? 1 : 0);
    integer(71, h.associative ? 1 : 0);
    integer(91, qsizetype(h.loops.size()));
    for (const HatchLoop& loop : h.loops) {
        integer(92, loop.flags);
        if (loop.isPolyline()) {
            bool bulges = false;
            for (const Vertex& v : loop.vertices)
                if (v.bulge != 0) bulges = true;
            integer(72, bulges ? 1 : 0);
            integer(73, loop.closed ? 1 : 0);
            integer(93, qsizetype(loop.vertices.size()));
            for (const Vertex& v : loop.vertices) {
                real(10, v.x);
                real(20, v.y);
                if (bulges) real(42, v.bulge);
            }
        } else {
            integer(93, qsizetype(loop.edges.size()));
            for (const Edge& edge : loop.edges) hatchEdge(edge);
        }
        integer(97, qsizetype(loop.sourceHandles.size()));
        for (quint64 s : loop.sourceHandles) handle(330, s);
    }
    integer(75, h.style);
    integer(76, h.patternType);
    if (!h.solid) hatchPattern(h);
    integer(98, qsizetype(h.seeds.size()));
    for (const Point3& s : h.seeds) point(10, s, false);
}

void Writer::hatchEdge(const Edge& edge) {
    integer(72, int(edge.type));
    switch (edge.type) {
        case Edge::Line:
            point(10, edge.start, false);
            point(11, edge.end, false);
            break;
        case Edge::Arc:
            point(10, edge.center, false);
            real(40, edge.radius);
            real(50, edge.startAngle * radToDeg);
            real(51, edge.endAngle * radToDeg);
            integer(73, edge.counterClockwise ? 1 : 0);
            break;
        case Edge::Ellipse:
            point(10, edge.center, false);
            point(11, edge.majorAxis, false);
            real(40, edge.ratio);
            real(50, edge.startAngle * radToDeg);
            real(51, edge.endAngle * radToDeg);
            integer(73, edge.counterClockwise ? 1 : 0);
            break;
        case Edge::Spline:
            tags(edge.raw);
            break;
    }
}

// A pattern hatch's angle, scale and lines.
void Writer::hatchPattern(const HatchData& h) {
    real(52, h.patternAngle * radToDeg);
    real(41, h.patternScale);
    integer(77, h.patternDouble ? 1 : 0);
    std::vector<PatternLine> lines = h.patternLines;
    if (lines.empty() && h.patternName.compare(QLatin1String("ANSI31"), Qt::CaseInsensitive) == 0) {
        // ANSI31: lines at 45 degrees, 0.125 apart, scaled and turned with the hatch.
        const double a = h.patternAngle;
        const double base = M_PI / 4;
        const double s = h.patternScale;
        PatternLine pl;
        pl.angle = (base + a) * radToDeg;
        const double ox = -std::sin(base) * 0.125 * s, oy = std::cos(base) * 0.125 * s;
        pl.offset = {ox * std::cos(a) - oy * std::sin(a), ox * std::sin(a) + oy * std::cos(a), 0};
        lines.push_back(pl);
    }
    integer(78, qsizetype(lines.size()));
    for (const PatternLine& pl : lines) {
        real(53, pl.angle);
        real(43, pl.base.x);
        real(44, pl.base.y);
        real(45, pl.offset.x);
        real(46, pl.offset.y);
        integer(79, qsizetype(pl.dashes.size()));
        for (double dash : pl.dashes) real(49, dash);
    }
}

}  // namespace cad::dxf::writing
