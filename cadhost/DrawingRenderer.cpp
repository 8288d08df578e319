// Entity drawing. Everything is mapped to screen pixels here, so pens are always one device
// pixel per unit and texts keep a readable size whatever the zoom.
#include "cadhost/DrawingRenderer.h"

#include "cadhost/render/Dimensions.h"
#include "cadhost/render/HatchPattern.h"
#include "cadhost/render/RawShapes.h"
#include "cadhost/render/ScreenMapping.h"
#include "cadhost/render/WidePolyline.h"

#include "cadhost/Palette.h"
#include "platform/cad/engine/Curves.h"
#include "platform/cad/engine/Ocs.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace cadhost {

using namespace cad::db;

namespace {

using render::map;
using render::Pi;

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double PixelsPerMm = 96.0 / 25.4;

double scaleOf(const Transform2D& t) {
    return std::sqrt(std::abs(t.determinant()));
}

QTransform qtTransform(const Transform2D& t) {
    return QTransform(t.a, t.c, t.b, t.d, t.tx, t.ty);
}

// Special characters of single-line texts.
QString plainText(const QString& raw) {
    if (!raw.contains(QLatin1String("%%"))) return raw;
    QString s = raw;
    s.replace(QLatin1String("%%d"), QStringLiteral("°"), Qt::CaseInsensitive);
    s.replace(QLatin1String("%%p"), QStringLiteral("±"), Qt::CaseInsensitive);
    s.replace(QLatin1String("%%c"), QStringLiteral("⌀"), Qt::CaseInsensitive);
    s.replace(QLatin1String("%%u"), QString(), Qt::CaseInsensitive);
    s.replace(QLatin1String("%%o"), QString(), Qt::CaseInsensitive);
    s.replace(QLatin1String("%%%"), QLatin1String("%"));
    return s;
}

Point3 tagPoint(const RawData& raw, int code) {
    Point3 p;
    bool seen[3] = {false, false, false};
    for (const Tag& t : raw.tags)
        for (int k = 0; k < 3; ++k)
            if (t.code == code + 10 * k && !seen[k]) {
                seen[k] = true;
                (k == 0 ? p.x : k == 1 ? p.y : p.z) = t.value.trimmed().toDouble();
            }
    return p;
}

Point3 ellipseCenter(const RawData& raw) { return tagPoint(raw, 10); }
Point3 ellipseMajor(const RawData& raw) { return tagPoint(raw, 11); }

}  // namespace

// ---- renderer ----

bool DrawingRenderer::isDimension(const Entity* e) {
    if (e->kind() == EntityKind::DimAligned || e->kind() == EntityKind::DimOrdinate) return true;
    const auto* raw = e->kind() == EntityKind::Unknown ? e->tryAs<RawData>() : nullptr;
    return raw && raw->dxfName.compare(QLatin1String("DIMENSION"), Qt::CaseInsensitive) == 0;
}

bool DrawingRenderer::placesOwnBlock(const Entity* e) {
    switch (e->kind()) {
        case EntityKind::BlockReference:
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate:
            return true;
        case EntityKind::Unknown:
            if (const auto* raw = e->tryAs<RawData>())
                return raw->dxfName.compare(QLatin1String("DIMENSION"), Qt::CaseInsensitive) == 0;
            return false;
        default:
            return false;
    }
}

void LeftOut::add(const LeftOut& other) {
    nested = saturatingAdd(nested, other.nested);
    overLimit = saturatingAdd(overLimit, other.overLimit);
    for (const QString& s : other.selfInsertions)
        if (!selfInsertions.contains(s)) selfInsertions << s;
}

QString LeftOut::note() const {
    QStringList lines = selfInsertions;
    if (nested > 0) lines << nestingLeftOutNote(nested);
    if (overLimit > 0)
        lines << QStringLiteral(
                     "Nie narysowano wstawień bloków: %1 (jeden obiekt rysunku składa się z ponad %2 "
                     "elementów).")
                     .arg(overLimit)
                     .arg(DrawingRenderer::MaxPrimitives);
    return lines.join(QLatin1Char('\n'));
}

DrawingRenderer::DrawingRenderer(const Database& db, const Transform2D& view, PrimitiveSink& sink)
    : db_(db), view_(view), sink_(sink), tally_(db) {
    try {
        const SysValue v = db.variable(QStringLiteral("LTSCALE"));
        if (const double* d = std::get_if<double>(&v))
            ltscale_ = *d;
        else if (const int* i = std::get_if<int>(&v))
            ltscale_ = *i;
    } catch (const cad::Error&) {
        // A drawing without LTSCALE draws its linetypes at scale 1, as one with LTSCALE 1 does.
    }
    if (!(ltscale_ > 0)) ltscale_ = 1;
}

const DrawingRenderer::LayerStyle& DrawingRenderer::layerStyle(const QString& name) {
    auto it = layers_.constFind(name);
    if (it != layers_.constEnd()) return it.value();
    LayerStyle s;
    if (const Layer* l = db_.layers().find(name)) {
        s.visible = l->on && !l->frozen && l->color >= 0;
        s.color = l->trueColor >= 0 ? QColor(QRgb(l->trueColor)) : AciColor(std::abs(l->color));
        s.linetype = l->linetype;
        s.lineweight = l->lineweight;
    } else {
        s.color = AciColor(7);
        s.linetype = QStringLiteral("Continuous");
    }
    return layers_.insert(name, s).value();
}

const std::vector<double>& DrawingRenderer::dashes(const QString& linetype) {
    auto it = dashes_.constFind(linetype);
    if (it != dashes_.constEnd()) return it.value();
    std::vector<double> d;
    if (const Linetype* lt = db_.linetypes().find(linetype)) d = lt->elements;
    return dashes_.insert(linetype, d).value();
}

bool DrawingRenderer::visibleLayer(const Entity* e, const Context& c) {
    if (c.inBlock && e->layer() == QLatin1String("0")) return true;  // follows its reference
    return layerStyle(e->layer()).visible;
}

QColor DrawingRenderer::colorOf(const Entity* e, const Context& c) {
    if (e->trueColor >= 0 && e->color != ColorByLayer && e->color != ColorByBlock)
        return QColor(QRgb(e->trueColor));
    if (e->color == ColorByBlock) return c.inBlock ? c.blockColor : AciColor(7);
    if (e->color == ColorByLayer || e->color < 0 || e->color > 256) {
        if (c.inBlock && e->layer() == QLatin1String("0")) return c.blockColor;
        return layerStyle(e->layer()).color;
    }
    return AciColor(e->color);
}

QColor DrawingRenderer::topLevelColor(const Entity* entity) {
    Context c;
    c.blockColor = AciColor(7);
    return colorOf(entity, c);
}

QPen DrawingRenderer::penOf(const Entity* e, const Context& c) {
    // Lineweight: by layer, by block, or its own; the default is a quarter millimetre.
    int lw = e->lineweight;
    const bool onZero = c.inBlock && e->layer() == QLatin1String("0");
    if (lw == LineweightByLayer) lw = onZero ? c.blockLineweight : layerStyle(e->layer()).lineweight;
    if (lw == LineweightByBlock) lw = c.inBlock ? c.blockLineweight : LineweightDefault;
    if (lw < 0) lw = 25;
    double width = lw / 100.0 * PixelsPerMm;
    width = width < 1.5 ? 0 : std::round(width);  // 0: the one-pixel cosmetic pen

    QPen pen(colorOf(e, c));
    pen.setWidthF(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);

    // Linetype: by layer, by block or its own; dashes scaled by LTSCALE and the entity's scale.
    QString lt = e->linetype;
    if (lt.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) == 0)
        lt = onZero ? c.blockLinetype : layerStyle(e->layer()).linetype;
    if (lt.compare(QLatin1String("BYBLOCK"), Qt::CaseInsensitive) == 0) lt = c.blockLinetype;
    const std::vector<double>& d = dashes(lt);
    if (!d.empty()) {
        const double k = ltscale_ * e->linetypeScale * c.unitScale / std::max(1.0, width);
        QList<qreal> pattern;
        double total = 0;
        bool wantDash = true;
        for (double el : d) {
            const double px = el == 0 ? 1.0 / std::max(1.0, width) : std::abs(el) * k;
            const bool isDash = el >= 0;
            if (isDash != wantDash) pattern.append(0.001);  // keep dash/space alternating
            pattern.append(px);
            wantDash = !isDash;
            total += px;
        }
        if (pattern.size() % 2) pattern.append(0.001);
        // Too fine to see: draw it continuous, as a CAD does.
        if (total * std::max(1.0, width) >= 4) pen.setDashPattern(pattern);
    }
    if (c.highlighted) {
        pen.setDashPattern({4, 3});
        pen.setWidthF(std::max(2.0, width));
    }
    return pen;
}

void DrawingRenderer::draw(const Entity* entity, bool highlighted) {
    if (!entity || entity->isErased()) return;
    Context c;
    c.toScreen = view_;
    c.unitScale = scaleOf(view_);
    c.blockColor = AciColor(7);
    c.highlighted = highlighted;
    drawn_ = 0;
    drawIn(entity, c);
}

void DrawingRenderer::addArc(QPolygonF& out, const Transform2D& t, const Point3& center, double radius,
                             double a0, double a1, double unitScale) const {
    double sweep = a1 - a0;
    while (sweep <= 0) sweep += TwoPi;
    while (sweep > TwoPi + 1e-12) sweep -= TwoPi;
    const double rpx = radius * unitScale;
    // Enough segments that a chord stays within a third of a pixel of the arc.
    const double step = rpx > 0.34 ? 2 * std::acos(std::max(-1.0, 1 - 0.34 / rpx)) : Pi;
    const int n = std::clamp(int(std::ceil(sweep / std::max(step, 1e-3))), 2, 720);
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        out.append(map(t, center.x + radius * std::cos(a), center.y + radius * std::sin(a)));
    }
}

void DrawingRenderer::addBulgeSegment(QPolygonF& out, const Transform2D& t, double x0, double y0, double x1,
                                      double y1, double bulge, double unitScale) const {
    if (std::abs(bulge) < 1e-9 || (x0 == x1 && y0 == y1)) {
        if (out.isEmpty()) out.append(map(t, x0, y0));
        out.append(map(t, x1, y1));
        return;
    }
    // Walked from the segment's start, so the sweep keeps the bulge's sign.
    const cad::db::BulgeArc arc = cad::db::bulgeToArc({x0, y0, 0}, {x1, y1, 0}, bulge);
    const double cx = arc.center.x, cy = arc.center.y, r = arc.radius;
    const double a0 = std::atan2(y0 - cy, x0 - cx);
    const double sweep = 4 * std::atan(bulge);
    const double rpx = r * unitScale;
    const double step = rpx > 0.34 ? 2 * std::acos(std::max(-1.0, 1 - 0.34 / rpx)) : Pi;
    const int n = std::clamp(int(std::ceil(std::abs(sweep) / std::max(step, 1e-3))), 1, 720);
    if (out.isEmpty()) out.append(map(t, x0, y0));
    for (int i = 1; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        out.append(map(t, cx + r * std::cos(a), cy + r * std::sin(a)));
    }
}

QPolygonF DrawingRenderer::polylinePoints(const std::vector<Vertex>& v, bool closed, const Context& c) const {
    QPolygonF pts;
    if (v.empty()) return pts;
    if (v.size() == 1) {
        pts.append(map(c.toScreen, v[0].x, v[0].y));
        return pts;
    }
    const size_t segs = closed ? v.size() : v.size() - 1;
    for (size_t i = 0; i < segs; ++i) {
        const Vertex& a = v[i];
        const Vertex& b = v[(i + 1) % v.size()];
        addBulgeSegment(pts, c.toScreen, a.x, a.y, b.x, b.y, a.bulge, c.unitScale);
    }
    return pts;
}

LeftOut DrawingRenderer::leftOut() const {
    return {path_.leftOut(), overLimit_, selfInsertions_};
}

void DrawingRenderer::countOverLimit(const Entity* reference, long long cells) {
    overLimit_ = saturatingAdd(overLimit_, saturatingMultiply(cells, tally_.eachCell(reference, path_)));
}

void DrawingRenderer::drawIn(const Entity* e, const Context& outer) {
    if (!e->visible || e->isErased() || !visibleLayer(e, outer)) return;
    // Blocks referencing each other many times over would multiply without end: past the limit
    // the references not drawn are counted, to be told.
    if (++drawn_ > MaxPrimitives) {
        if (e->kind() == EntityKind::BlockReference && e->tryAs<InsertData>())
            countOverLimit(
                e, saturatingMultiply(e->as<InsertData>().gridRows(), e->as<InsertData>().gridColumns()));
        return;
    }
    // Kinds keeping their points in their own coordinate system are drawn through its plan view. A
    // reference's attributes and a dimension's definition points are placed apart (their own
    // system, world points), so those two kinds apply it to their block only.
    Context c = outer;
    if (!isWorldExtrusion(e->normal) && !placesOwnBlock(e)) c.toScreen = outer.toScreen.after(ocsPlacement(*e));
    switch (e->kind()) {
        case EntityKind::Line: {
            if (!e->tryAs<LineData>()) return;
            const auto& d = *e->tryAs<LineData>();
            sink_.polyline(
                QPolygonF{map(c.toScreen, d.start.x, d.start.y), map(c.toScreen, d.end.x, d.end.y)},
                penOf(e, c));
            return;
        }
        case EntityKind::Arc: {
            if (!e->tryAs<ArcData>()) return;
            const auto& d = *e->tryAs<ArcData>();
            QPolygonF pts;
            addArc(pts, c.toScreen, d.center, d.radius, d.startAngle, d.endAngle, c.unitScale);
            sink_.polyline(pts, penOf(e, c));
            return;
        }
        case EntityKind::Circle: {
            if (!e->tryAs<CircleData>()) return;
            const auto& d = *e->tryAs<CircleData>();
            QPolygonF pts;
            addArc(pts, c.toScreen, d.center, d.radius, 0, TwoPi, c.unitScale);
            sink_.polyline(pts, penOf(e, c));
            return;
        }
        case EntityKind::LwPolyline: {
            if (!e->tryAs<LwPolylineData>()) return;
            const auto& d = *e->tryAs<LwPolylineData>();
            drawWidths(e, d.vertices, d.closed, d.constantWidth, c);
            sink_.polyline(polylinePoints(d.vertices, d.closed, c), penOf(e, c));
            return;
        }
        case EntityKind::Polyline2d: {
            if (!e->tryAs<Polyline2dData>()) return;
            const auto& d = *e->tryAs<Polyline2dData>();
            drawWidths(e, d.vertices, d.closed, 0, c);
            sink_.polyline(polylinePoints(d.vertices, d.closed, c), penOf(e, c));
            return;
        }
        case EntityKind::Point: {
            if (!e->tryAs<PointData>()) return;
            const QPointF p =
                map(c.toScreen, e->tryAs<PointData>()->position.x, e->tryAs<PointData>()->position.y);
            sink_.polyline(QPolygonF{p - QPointF(1, 0), p + QPointF(1, 0)}, penOf(e, c));
            sink_.polyline(QPolygonF{p - QPointF(0, 1), p + QPointF(0, 1)}, penOf(e, c));
            return;
        }
        case EntityKind::Text: {
            if (!e->tryAs<TextData>()) return;
            const auto& t = *e->tryAs<TextData>();
            drawText(t, plainText(t.text), colorOf(e, c), c);
            return;
        }
        case EntityKind::AttributeDefinition: {
            if (!e->tryAs<AttributeData>()) return;
            const auto& t = *e->tryAs<AttributeData>();
            // In a reference only constant attributes show; at top level the tag stands for it.
            if (c.inBlock) {
                if ((t.flags & 2) && !t.invisible()) drawText(t, plainText(t.text), colorOf(e, c), c);
            } else {
                drawText(t, t.tag, colorOf(e, c), c);
            }
            return;
        }
        case EntityKind::AttributeReference: {
            if (!e->tryAs<AttributeData>()) return;
            const auto& t = *e->tryAs<AttributeData>();
            if (!t.invisible()) drawText(t, plainText(t.text), colorOf(e, c), c);
            return;
        }
        case EntityKind::MText:
            if (const auto* d = e->tryAs<MTextData>())
                drawPlacedMText(*d, e->normal, colorOf(e, c), c, &e->extraTags);
            return;
        case EntityKind::Hatch:
            if (const auto* d = e->tryAs<HatchData>()) drawHatch(*d, colorOf(e, c), penOf(e, c), c);
            return;
        case EntityKind::Region:
            if (const auto* d = e->tryAs<RegionData>()) drawRegion(*d, e, c);
            return;
        case EntityKind::BlockReference:
            if (e->tryAs<InsertData>()) drawReference(e, c);
            return;
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate:
            if (const auto* d = e->tryAs<DimensionData>()) drawDimension(*d, e, c);
            return;
        case EntityKind::Unknown:
            if (const auto* raw = e->tryAs<RawData>()) drawRaw(*raw, e, c);
            return;
    }
}

void DrawingRenderer::drawRegion(const RegionData& d, const Entity* e, const Context& c) {
    const QPen pen = penOf(e, c);
    for (const auto& loop : d.loops)
        for (const Edge& ed : loop) {
            QPolygonF pts;
            if (ed.type == Edge::Arc)
                addArc(pts, c.toScreen, ed.center, ed.radius, ed.startAngle, ed.endAngle, c.unitScale);
            else
                pts << map(c.toScreen, ed.start.x, ed.start.y) << map(c.toScreen, ed.end.x, ed.end.y);
            sink_.polyline(pts, pen);
        }
}

void DrawingRenderer::drawDimension(const DimensionData& d, const Entity* e, const Context& c) {
    if (const BlockDefinition* b = d.blockName.isEmpty() ? nullptr : db_.findBlock(d.blockName)) {
        drawBlock(b, ocsPlacement(*e), c, e);
        return;
    }
    render::DimDefinition def;
    def.type = e->kind() == EntityKind::DimAligned ? 1 : 6;
    def.ordinateX = d.ordinateXAxis;
    def.p10 = QPointF(d.definitionPoint.x, d.definitionPoint.y);
    def.p11 = QPointF(d.textPosition.x, d.textPosition.y);
    def.p13 = QPointF(d.point1.x, d.point1.y);
    def.p14 = QPointF(d.point2.x, d.point2.y);
    def.hasTextPoint = e->kind() == EntityKind::DimAligned;
    def.textOverride = d.textOverride;
    render::RawShape shape;
    if (render::DimensionShape(def, dimLook(d.style), shape)) drawShape(shape, e, c);
}

// Kinds kept as raw tags: those with a shape of their own are drawn from their tags.
void DrawingRenderer::drawRaw(const RawData& raw, const Entity* e, const Context& c) {
    render::RawShape shape;
    if (raw.dxfName.compare(QLatin1String("DIMENSION"), Qt::CaseInsensitive) == 0) {
        // A dimension with its block (as drawn by the program that made it) shows the block.
        QString block, style;
        for (const Tag& tag : raw.tags) {
            if (tag.code == 2 && block.isEmpty()) block = tag.value.trimmed();
            if (tag.code == 3 && style.isEmpty()) style = tag.value.trimmed();
        }
        if (const BlockDefinition* b = block.isEmpty() ? nullptr : db_.findBlock(block)) {
            drawBlock(b, ocsPlacement(*e), c, e);
            return;
        }
        if (!render::DimensionShape(render::DimensionOfTags(raw.tags), dimLook(style), shape)) return;
    } else {
        // Leaders take their arrowhead size from their dimension style.
        double arrow = 0;
        if (raw.dxfName.endsWith(QLatin1String("LEADER"), Qt::CaseInsensitive)) {
            QString style;
            for (const Tag& tag : raw.tags)
                if (tag.code == 3) {
                    style = tag.value.trimmed();
                    break;
                }
            arrow = dimLook(style).arrow;
        }
        if (!render::ShapeOfRaw(raw, arrow, shape)) return;
        if (raw.dxfName.compare(QLatin1String("ELLIPSE"), Qt::CaseInsensitive) == 0 &&
            !isWorldExtrusion(e->normal)) {
            // Its points are world points; the extrusion sets which way the minor axis turns from
            // the major one (clockwise seen from above for -Z), so the shape drawn for +Z is mapped.
            Context placed = c;
            placed.toScreen = c.toScreen.after(render::FrameOnPlane(ellipseCenter(raw), ellipseMajor(raw), e->normal));
            drawShape(shape, e, placed);
            return;
        }
    }
    drawShape(shape, e, c);
}

void DrawingRenderer::drawShape(const render::RawShape& shape, const Entity* e, const Context& c) {
    const QTransform screen = qtTransform(c.toScreen);
    const QColor color = colorOf(e, c);
    if (!shape.filled.isEmpty()) fillArea(screen.map(shape.filled), color, c);
    const QPen pen = penOf(e, c);
    for (const QPolygonF& poly : shape.outlines) sink_.polyline(screen.map(poly), pen);
    if (!shape.strokes.isEmpty())
        for (const QPolygonF& poly : shape.strokes.toSubpathPolygons(screen)) sink_.polyline(poly, pen);
    for (const render::ShapeText& t : shape.texts) {
        MTextData m;
        m.text = t.text;
        m.position = {t.at.x(), t.at.y(), 0};
        m.height = t.height;
        m.rotation = t.rotation;
        m.attachment = t.attachment;
        drawMText(m, color, c);
    }
}

const render::DimLook& DrawingRenderer::dimLook(const QString& style) {
    auto it = dimLooks_.constFind(style.toUpper());
    if (it != dimLooks_.constEnd()) return it.value();
    // The drawing's DIM* variables, then the style's own values over them.
    std::map<int, QString> values;
    static const std::pair<const char*, int> variables[] = {
        {"DIMSCALE", 40}, {"DIMASZ", 41},   {"DIMEXO", 42},  {"DIMEXE", 44}, {"DIMTXT", 140}, {"DIMTSZ", 142},
        {"DIMGAP", 147},  {"DIMADEC", 179}, {"DIMDEC", 271}, {"DIMZIN", 78}, {"DIMDSEP", 278}};
    for (const auto& [name, code] : variables) {
        try {
            const SysValue v = db_.variable(QLatin1String(name));
            if (const double* d = std::get_if<double>(&v))
                values[code] = QString::number(*d, 'g', 17);
            else if (const int* i = std::get_if<int>(&v))
                values[code] = QString::number(*i);
        } catch (const cad::Error&) {
            // A drawing without the variable draws that dimension part with the usual default.
        }
    }
    const QString name = style.isEmpty() ? QStringLiteral("Standard") : style;
    if (const DimStyle* ds = db_.dimStyles().find(name))
        for (const auto& [code, value] : ds->values) values[code] = value;
    render::DimLook look;
    render::ApplyDimValues(look, values);
    double scale = 1;
    if (auto v = values.find(40); v != values.end()) scale = v->second.toDouble();
    if (!(scale > 0)) scale = 1;
    for (double* x : {&look.arrow, &look.tick, &look.textHeight, &look.gap, &look.extOffset, &look.extBeyond})
        *x *= scale;
    return dimLooks_.insert(style.toUpper(), look).value();
}

void DrawingRenderer::drawWidths(const Entity* e, const std::vector<Vertex>& vertices, bool closed,
                                 double constantWidth, const Context& c) {
    const QPainterPath band =
        render::WidePolyline(vertices, closed, constantWidth, 0.5 / std::max(c.unitScale, 1e-12));
    if (band.isEmpty()) return;
    const Transform2D& t = c.toScreen;
    fillArea(QTransform(t.a, t.c, t.b, t.d, t.tx, t.ty).map(band), colorOf(e, c), c);
}

void DrawingRenderer::drawReference(const Entity* e, const Context& c) {
    const auto& d = *e->tryAs<InsertData>();
    // A MINSERT draws the block, and its attributes, in every cell of its grid; the insertion
    // point and rotation are in the reference's own coordinate system.
    const Transform2D plan = ocsPlacement(*e);
    long long cellsLeft = saturatingMultiply(d.gridRows(), d.gridColumns());
    for (int row = 0; row < d.gridRows(); ++row)
        for (int column = 0; column < d.gridColumns(); ++column, --cellsLeft) {
            // A damaged file's grid of millions of cells stops where the drawing's limit does.
            if (drawn_ > MaxPrimitives) {
                countOverLimit(e, cellsLeft);
                return;
            }
            const Point3 o = d.cellOffset(row, column);
            if (const BlockDefinition* b = db_.findBlock(d.blockName); b && !b->isErased()) {
                const Transform2D local = plan.after(Transform2D::translation(d.position.x + o.x, d.position.y + o.y))
                                              .after(Transform2D::rotation(d.rotation))
                                              .after(Transform2D::scale(d.xScale, d.yScale))
                                              .after(Transform2D::translation(-b->basePoint.x, -b->basePoint.y));
                drawBlock(b, local, c, e);
            }
            Context cell = c;
            const Point3 w = plan.applyVector(o);  // attributes stand in world coordinates
            cell.toScreen = c.toScreen.after(Transform2D::translation(w.x, w.y));
            for (const Entity* a : d.attributes)
                if (a && !a->isErased()) drawIn(a, cell);
        }
}

void DrawingRenderer::drawBlock(const BlockDefinition* block, const Transform2D& local, const Context& outer,
                                const Entity* owner) {
    // A block that (through others) contains itself would draw itself without end. A dimension's
    // block that does so is named; other such references, and those nested too deep, are counted.
    const std::vector<const BlockDefinition*>& open = path_.open();
    if (const auto at = std::find(open.begin(), open.end(), block);
        at != open.end() && openForDimension_[at - open.begin()]) {
        QStringList cycle;
        for (auto it = at; it != open.end(); ++it) cycle << (*it)->name();
        if (const QString note = selfInsertionNote(cycle); !selfInsertions_.contains(note))
            selfInsertions_ << note;
        return;
    }
    if (!path_.enter(block)) return;
    openForDimension_.push_back(isDimension(owner));
    Context inner = outer;
    inner.toScreen = outer.toScreen.after(local);
    inner.unitScale = scaleOf(inner.toScreen);
    inner.inBlock = true;
    inner.blockColor = colorOf(owner, outer);
    const bool onZero = outer.inBlock && owner->layer() == QLatin1String("0");
    inner.blockLayer = onZero ? outer.blockLayer : owner->layer();
    QString lt = owner->linetype;
    if (lt.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) == 0)
        lt = onZero ? outer.blockLinetype : layerStyle(owner->layer()).linetype;
    else if (lt.compare(QLatin1String("BYBLOCK"), Qt::CaseInsensitive) == 0)
        lt = outer.blockLinetype;
    inner.blockLinetype = lt;
    int lw = owner->lineweight;
    if (lw == LineweightByLayer)
        lw = onZero ? outer.blockLineweight : layerStyle(owner->layer()).lineweight;
    else if (lw == LineweightByBlock)
        lw = outer.blockLineweight;
    inner.blockLineweight = lw;
    // Entities on layer "0" in a block take the reference's layer for colour, linetype and weight.
    for (const Entity* child : block->entities()) {
        if (child->layer() == QLatin1String("0")) {
            Context zero = inner;
            zero.blockColor = inner.blockColor;
            drawIn(child, zero);
        } else {
            drawIn(child, inner);
        }
    }
    openForDimension_.pop_back();
    path_.leave();
}

void DrawingRenderer::fillArea(const QPainterPath& path, const QColor& color, const Context& c) {
    if (!c.highlighted) {
        sink_.fill(path, color);
        return;
    }
    // A selected fill is shown paler, with a dashed outline in its own colour.
    QColor pale = color;
    pale.setRgbF(0.45 * color.redF() + 0.55, 0.45 * color.greenF() + 0.55, 0.45 * color.blueF() + 0.55,
                 color.alphaF());
    sink_.fill(path, pale);
    for (const QPolygonF& poly : path.toSubpathPolygons()) sink_.polyline(poly, highlightPen(color));
}

void DrawingRenderer::drawHatch(const HatchData& h, const QColor& color, const QPen& pen, const Context& c) {
    const QPainterPath local = render::HatchBoundary(h);
    if (local.isEmpty()) return;
    const QTransform screen = qtTransform(c.toScreen);
    const QPainterPath path = screen.map(local);
    if (h.solid || h.patternName.compare(QLatin1String("SOLID"), Qt::CaseInsensitive) == 0) {
        fillArea(path, color, c);
        return;
    }
    if (c.highlighted)
        for (const QPolygonF& poly : path.toSubpathPolygons()) sink_.polyline(poly, highlightPen(color));
    std::vector<PatternLine> families = h.patternLines;
    if (families.empty()) {
        // No pattern definition in the record: lines at 45 degrees, as the simplest pattern.
        PatternLine pl;
        pl.angle = 45 + h.patternAngle * 180 / Pi;
        const double s = 3.175 * (h.patternScale > 0 ? h.patternScale : 1);
        const double a = pl.angle * Pi / 180;
        pl.offset = {-std::sin(a) * s, std::cos(a) * s, 0};
        families.push_back(pl);
    }
    // Pattern lines are made only where the hatch can be seen.
    QRectF box = local.boundingRect();
    const QRectF seen = sink_.area();
    bool invertible = false;
    const QTransform back = screen.inverted(&invertible);
    if (!seen.isEmpty() && invertible) box = box.intersected(back.mapRect(seen));
    if (box.isEmpty()) return;
    std::vector<QLineF> lines;
    for (const PatternLine& pl : families)
        if (!render::PatternFamily(pl, box, screen, c.unitScale, lines)) {
            // Too dense to show line by line: a tinted fill says "hatched" as well.
            QColor tint = color;
            tint.setAlpha(110);
            sink_.fill(path, tint);
            return;
        }
    QPen linePen = pen;
    linePen.setStyle(Qt::SolidLine);
    sink_.clipped(path, lines, linePen);
}

}  // namespace cadhost
