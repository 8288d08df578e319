// Entity drawing. Everything is mapped to screen pixels here, so pens are always one device
// pixel per unit and texts keep a readable size whatever the zoom.
#include "cadhost/DrawingRenderer.h"

#include "cadhost/render/RawShapes.h"
#include "cadhost/render/WidePolyline.h"

#include "cadhost/Palette.h"
#include "platform/cad/engine/Curves.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>
#include <numbers>

namespace cadhost {

using namespace cad::db;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;
constexpr int MaxNesting = 16;  // a block that (wrongly) contains itself must not recurse forever
constexpr double PixelsPerMm = 96.0 / 25.4;
constexpr long MaxPrimitives = 500000;  // per top-level entity

QPointF map(const Transform2D& t, double x, double y) {
    return QPointF(t.a * x + t.b * y + t.tx, t.c * x + t.d * y + t.ty);
}

double scaleOf(const Transform2D& t) {
    return std::sqrt(std::abs(t.determinant()));
}

const QString& textFamily() {
    static const QString f = QStringLiteral("DejaVu Sans");
    return f;
}

// Cap height of the text font as a share of its pixel size (drawing text heights are cap heights).
double capRatio() {
    static const double r = [] {
        QFont f(textFamily());
        f.setPixelSize(100);
        const double cap = QFontMetricsF(f).capHeight();
        return cap > 10 ? cap / 100.0 : 0.72;
    }();
    return r;
}

// The plain text of a multiline text: paragraph breaks become new lines, format codes go.
QString plainMText(const QString& raw) {
    QString s = raw;
    s.replace(QLatin1String("\\P"), QLatin1String("\n"));
    static const QRegularExpression withArg(QStringLiteral(R"(\\[ACcFfHhQTWp][^;]*;)"));
    static const QRegularExpression toggles(QStringLiteral(R"(\\[LlOoKk])"));
    static const QRegularExpression stacked(QStringLiteral(R"(\\S([^;]*);)"));
    s.remove(withArg).remove(toggles);
    s.replace(stacked, QStringLiteral("\\1"));
    s.replace(QLatin1String("\\~"), QLatin1String(" "));
    s.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    s.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return s;
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

}  // namespace

// ---- sinks ----

void PainterSink::polyline(const QPolygonF& points, const QPen& pen) {
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    p_.drawPolyline(points);
}

void PainterSink::fill(const QPainterPath& path, const QColor& color) {
    p_.fillPath(path, color);
}

void PainterSink::text(const QString& text, const QFont& font, const QTransform& place, const QColor& color) {
    p_.save();
    p_.setTransform(place, true);
    p_.setFont(font);
    p_.setPen(color);
    p_.drawText(QPointF(0, 0), text);
    p_.restore();
}

void PainterSink::clipped(const QPainterPath& clip, const std::vector<QLineF>& lines, const QPen& pen) {
    p_.save();
    p_.setClipPath(clip, Qt::IntersectClip);
    p_.setPen(pen);
    p_.drawLines(lines.data(), int(lines.size()));
    p_.restore();
}

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 > 0 ? QPointF::dotProduct(p - a, ab) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF d = p - (a + ab * t);
    return std::hypot(d.x(), d.y());
}

void HitSink::polyline(const QPolygonF& points, const QPen& pen) {
    if (hit_) return;
    const double r = r_ + pen.widthF() / 2;
    if (points.size() == 1) {
        hit_ = QLineF(points[0], at_).length() <= r;
        return;
    }
    for (qsizetype i = 1; i < points.size(); ++i)
        if (SegmentDistance(at_, points[i - 1], points[i]) <= r) {
            hit_ = true;
            return;
        }
}

void HitSink::fill(const QPainterPath& path, const QColor&) {
    if (!hit_ && path.contains(at_)) hit_ = true;
}

void HitSink::text(const QString& text, const QFont& font, const QTransform& place, const QColor&) {
    if (hit_) return;
    const QRectF box = QFontMetricsF(font).tightBoundingRect(text).adjusted(-r_, -r_, r_, r_);
    bool invertible = false;
    const QPointF local = place.inverted(&invertible).map(at_);
    if (invertible && box.contains(local)) hit_ = true;
}

void HitSink::clipped(const QPainterPath& clip, const std::vector<QLineF>&, const QPen&) {
    if (!hit_ && clip.contains(at_)) hit_ = true;
}

// ---- renderer ----

DrawingRenderer::DrawingRenderer(const Database& db, const Transform2D& view, PrimitiveSink& sink)
    : db_(db), view_(view), sink_(sink) {
    try {
        const SysValue v = db.variable(QStringLiteral("LTSCALE"));
        if (const double* d = std::get_if<double>(&v))
            ltscale_ = *d;
        else if (const int* i = std::get_if<int>(&v))
            ltscale_ = *i;
    } catch (const cad::Error&) {
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

void DrawingRenderer::drawIn(const Entity* e, const Context& c) {
    // Blocks referencing each other many times over would multiply without end.
    if (++drawn_ > MaxPrimitives) return;
    if (!e->visible || e->isErased() || !visibleLayer(e, c)) return;
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
            if (const auto* d = e->tryAs<MTextData>()) drawMText(*d, colorOf(e, c), c);
            return;
        case EntityKind::Hatch:
            if (const auto* d = e->tryAs<HatchData>()) drawHatch(*d, colorOf(e, c), penOf(e, c), c);
            return;
        case EntityKind::Region: {
            if (!e->tryAs<RegionData>()) return;
            const auto& d = *e->tryAs<RegionData>();
            const QPen pen = penOf(e, c);
            for (const auto& loop : d.loops)
                for (const Edge& ed : loop) {
                    QPolygonF pts;
                    if (ed.type == Edge::Arc)
                        addArc(pts, c.toScreen, ed.center, ed.radius, ed.startAngle, ed.endAngle,
                               c.unitScale);
                    else
                        pts << map(c.toScreen, ed.start.x, ed.start.y) << map(c.toScreen, ed.end.x, ed.end.y);
                    sink_.polyline(pts, pen);
                }
            return;
        }
        case EntityKind::BlockReference:
            if (e->tryAs<InsertData>()) drawReference(e, c);
            return;
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate: {
            if (!e->tryAs<DimensionData>()) return;
            const auto& d = *e->tryAs<DimensionData>();
            if (const BlockDefinition* b = d.blockName.isEmpty() ? nullptr : db_.findBlock(d.blockName)) {
                drawBlock(b, Transform2D(), c, e);
                return;
            }
            sink_.polyline(
                QPolygonF{map(c.toScreen, d.point1.x, d.point1.y), map(c.toScreen, d.point2.x, d.point2.y)},
                penOf(e, c));
            return;
        }
        case EntityKind::Unknown: {
            // Kinds kept as raw tags: those with a shape of their own are drawn from their tags.
            const auto* raw = e->tryAs<RawData>();
            // A dimension with its block (as drawn by the program that made it) shows the block.
            if (raw && raw->dxfName.compare(QLatin1String("DIMENSION"), Qt::CaseInsensitive) == 0)
                for (const Tag& tag : raw->tags)
                    if (tag.code == 2) {
                        if (const BlockDefinition* b = db_.findBlock(tag.value.trimmed())) {
                            drawBlock(b, Transform2D(), c, e);
                            return;
                        }
                        break;
                    }
            render::RawShape shape;
            if (!raw || !render::ShapeOfRaw(*raw, 0.5 / std::max(c.unitScale, 1e-12), shape)) return;
            const Transform2D& t = c.toScreen;
            const QTransform screen(t.a, t.c, t.b, t.d, t.tx, t.ty);
            if (!shape.filled.isEmpty()) sink_.fill(screen.map(shape.filled), colorOf(e, c));
            const QPen pen = penOf(e, c);
            for (const QPolygonF& poly : shape.outlines) sink_.polyline(screen.map(poly), pen);
            return;
        }
    }
}

void DrawingRenderer::drawWidths(const Entity* e, const std::vector<Vertex>& vertices, bool closed,
                                 double constantWidth, const Context& c) {
    const QPainterPath band =
        render::WidePolyline(vertices, closed, constantWidth, 0.5 / std::max(c.unitScale, 1e-12));
    if (band.isEmpty()) return;
    const Transform2D& t = c.toScreen;
    sink_.fill(QTransform(t.a, t.c, t.b, t.d, t.tx, t.ty).map(band), colorOf(e, c));
}

void DrawingRenderer::drawReference(const Entity* e, const Context& c) {
    const auto& d = *e->tryAs<InsertData>();
    if (const BlockDefinition* b = db_.findBlock(d.blockName); b && !b->isErased() && c.depth < MaxNesting) {
        const Transform2D local = Transform2D::translation(d.position.x, d.position.y)
                                      .after(Transform2D::rotation(d.rotation))
                                      .after(Transform2D::scale(d.xScale, d.yScale))
                                      .after(Transform2D::translation(-b->basePoint.x, -b->basePoint.y));
        drawBlock(b, local, c, e);
    }
    for (const Entity* a : d.attributes)
        if (a && !a->isErased()) drawIn(a, c);
}

void DrawingRenderer::drawBlock(const BlockDefinition* block, const Transform2D& local, const Context& outer,
                                const Entity* owner) {
    if (outer.depth >= MaxNesting) return;
    Context inner = outer;
    inner.toScreen = outer.toScreen.after(local);
    inner.unitScale = scaleOf(inner.toScreen);
    inner.depth = outer.depth + 1;
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
}

void DrawingRenderer::drawText(const TextData& t, const QString& shown, const QColor& color,
                               const Context& c) {
    if (shown.isEmpty()) return;
    Point3 anchor = (t.horizontal == 0 && t.vertical == 0) ? t.position : t.alignmentPoint;
    double rotation = t.rotation;
    double widthFactor = t.widthFactor > 0 ? t.widthFactor : 1;
    const bool fitted = t.vertical == 0 && (t.horizontal == 3 || t.horizontal == 5);
    if (fitted) {
        anchor = t.position;
        rotation = std::atan2(t.alignmentPoint.y - t.position.y, t.alignmentPoint.x - t.position.x);
    }
    const QPointF at = map(c.toScreen, anchor.x, anchor.y);
    // The text's up and along directions on screen give its pixel height and angle.
    const Point3 along = c.toScreen.applyVector({std::cos(rotation), std::sin(rotation), 0});
    const Point3 up = c.toScreen.applyVector({-std::sin(rotation), std::cos(rotation), 0});
    const double heightPx = t.height * std::hypot(up.x, up.y);
    if (heightPx < 1.0) return;  // smaller than a pixel: nothing to read
    QFont font(textFamily());
    font.setPixelSize(std::max(1, int(std::lround(heightPx / capRatio()))));
    const QFontMetricsF fm(font);
    const double raw = fm.horizontalAdvance(shown);
    if (fitted && raw > 0) {
        const double len = std::hypot(t.alignmentPoint.x - t.position.x, t.alignmentPoint.y - t.position.y);
        const Point3 v =
            c.toScreen.applyVector({t.alignmentPoint.x - t.position.x, t.alignmentPoint.y - t.position.y, 0});
        if (len > 0) widthFactor = std::hypot(v.x, v.y) / raw;
    }
    double dx = 0, dy = 0;
    if (!fitted) {
        if (t.horizontal == 1 || t.horizontal == 4)
            dx = -raw / 2;
        else if (t.horizontal == 2)
            dx = -raw;
    }
    const double cap = fm.capHeight();
    if (t.horizontal == 4 && t.vertical == 0)
        dy = cap / 2;
    else if (t.vertical == 1)
        dy = -fm.descent();
    else if (t.vertical == 2)
        dy = cap / 2;
    else if (t.vertical == 3)
        dy = cap;
    QTransform place;
    place.translate(at.x(), at.y());
    place.rotateRadians(std::atan2(along.y, along.x));
    const bool mirrored = c.toScreen.determinant() > 0;  // the view flips Y; a second flip mirrors
    place.scale(widthFactor, mirrored ? -1 : 1);
    // Backward and upside-down text is mirrored about its anchor in its own frame.
    place.scale((t.generation & 2) ? -1 : 1, (t.generation & 4) ? -1 : 1);
    place.translate(dx, dy);
    sink_.text(shown, font, place, color);
}

void DrawingRenderer::drawMText(const MTextData& t, const QColor& color, const Context& c) {
    const QStringList lines = plainMText(t.text).split(QLatin1Char('\n'));
    const Point3 along = c.toScreen.applyVector({std::cos(t.rotation), std::sin(t.rotation), 0});
    const Point3 up = c.toScreen.applyVector({-std::sin(t.rotation), std::cos(t.rotation), 0});
    const double heightPx = t.height * std::hypot(up.x, up.y);
    if (heightPx < 1.0) return;
    QFont font(textFamily());
    font.setPixelSize(std::max(1, int(std::lround(heightPx / capRatio()))));
    const QFontMetricsF fm(font);
    const double lineStep = heightPx * 5.0 / 3.0 * (t.lineSpacing > 0 ? t.lineSpacing : 1);
    const double blockHeight = heightPx + lineStep * (lines.size() - 1);
    const int row = (std::clamp(t.attachment, 1, 9) - 1) / 3;  // 0 top, 1 middle, 2 bottom
    const int col = (std::clamp(t.attachment, 1, 9) - 1) % 3;  // 0 left, 1 centre, 2 right
    const double top = row == 0 ? 0 : row == 1 ? -blockHeight / 2 : -blockHeight;
    const QPointF at = map(c.toScreen, t.position.x, t.position.y);
    for (int i = 0; i < lines.size(); ++i) {
        const double w = fm.horizontalAdvance(lines[i]);
        QTransform place;
        place.translate(at.x(), at.y());
        place.rotateRadians(std::atan2(along.y, along.x));
        place.translate(col == 0 ? 0 : col == 1 ? -w / 2 : -w, top + heightPx + i * lineStep);
        sink_.text(lines[i], font, place, color);
    }
}

void DrawingRenderer::drawHatch(const HatchData& h, const QColor& color, const QPen& pen, const Context& c) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    Box local;
    for (const HatchLoop& loop : h.loops) {
        QPolygonF pts;
        if (loop.isPolyline()) {
            pts = polylinePoints(loop.vertices, true, c);
            for (const Vertex& v : loop.vertices) local.add(v.x, v.y);
        } else {
            for (const Edge& ed : loop.edges) {
                switch (ed.type) {
                    case Edge::Line:
                        if (pts.isEmpty()) pts.append(map(c.toScreen, ed.start.x, ed.start.y));
                        pts.append(map(c.toScreen, ed.end.x, ed.end.y));
                        local.add(ed.start);
                        local.add(ed.end);
                        break;
                    case Edge::Arc: {
                        QPolygonF arc;
                        if (ed.counterClockwise) {
                            addArc(arc, c.toScreen, ed.center, ed.radius, ed.startAngle, ed.endAngle,
                                   c.unitScale);
                        } else {
                            // A clockwise edge runs from its start angle back to its end angle.
                            addArc(arc, c.toScreen, ed.center, ed.radius, ed.endAngle, ed.startAngle,
                                   c.unitScale);
                            std::reverse(arc.begin(), arc.end());
                        }
                        pts += arc;
                        local.add(ed.center.x - ed.radius, ed.center.y - ed.radius);
                        local.add(ed.center.x + ed.radius, ed.center.y + ed.radius);
                        break;
                    }
                    case Edge::Ellipse: {
                        const double major = std::hypot(ed.majorAxis.x, ed.majorAxis.y);
                        const double rot = std::atan2(ed.majorAxis.y, ed.majorAxis.x);
                        double a0 = ed.startAngle, a1 = ed.endAngle;
                        if (a1 <= a0) a1 += TwoPi;
                        const int n = 64;
                        for (int i = 0; i <= n; ++i) {
                            const double a =
                                ed.counterClockwise ? a0 + (a1 - a0) * i / n : a1 - (a1 - a0) * i / n;
                            const double ex = major * std::cos(a), ey = major * ed.ratio * std::sin(a);
                            const double x = ed.center.x + ex * std::cos(rot) - ey * std::sin(rot);
                            const double y = ed.center.y + ex * std::sin(rot) + ey * std::cos(rot);
                            pts.append(map(c.toScreen, x, y));
                            local.add(x, y);
                        }
                        break;
                    }
                    case Edge::Spline:
                        break;  // kept as read; its outline is not drawn
                }
            }
        }
        if (pts.size() >= 3) path.addPolygon(pts), path.closeSubpath();
    }
    if (path.isEmpty()) return;
    if (h.solid || h.patternName.compare(QLatin1String("SOLID"), Qt::CaseInsensitive) == 0) {
        sink_.fill(path, color);
        return;
    }
    // Pattern lines: each family is parallel lines through base + k·offset.
    std::vector<PatternLine> families = h.patternLines;
    if (families.empty()) {
        PatternLine pl;
        pl.angle = 45 + h.patternAngle * 180 / Pi;
        const double s = 3.175 * (h.patternScale > 0 ? h.patternScale : 1);
        const double a = pl.angle * Pi / 180;
        pl.offset = {-std::sin(a) * s, std::cos(a) * s, 0};
        families.push_back(pl);
    }
    std::vector<QLineF> lines;
    QPen linePen = pen;
    linePen.setStyle(Qt::SolidLine);
    for (const PatternLine& pl : families) {
        const double a = pl.angle * Pi / 180;
        const double ux = std::cos(a), uy = std::sin(a);
        const double nx = -uy, ny = ux;
        const double spacing = pl.offset.x * nx + pl.offset.y * ny;
        const double shift = pl.offset.x * ux + pl.offset.y * uy;
        if (std::abs(spacing) < 1e-12) continue;
        // Too dense to show line by line: a tinted fill says "hatched" as well.
        if (std::abs(spacing) * c.unitScale < 2.5) {
            QColor tint = color;
            tint.setAlpha(110);
            sink_.fill(path, tint);
            return;
        }
        const double cx[4] = {local.min.x, local.max.x, local.max.x, local.min.x};
        const double cy[4] = {local.min.y, local.min.y, local.max.y, local.max.y};
        double nMin = 1e300, nMax = -1e300, uMin = 1e300, uMax = -1e300;
        for (int i = 0; i < 4; ++i) {
            const double rx = cx[i] - pl.base.x, ry = cy[i] - pl.base.y;
            nMin = std::min(nMin, rx * nx + ry * ny);
            nMax = std::max(nMax, rx * nx + ry * ny);
            uMin = std::min(uMin, rx * ux + ry * uy);
            uMax = std::max(uMax, rx * ux + ry * uy);
        }
        long k0 = long(std::floor(std::min(nMin, nMax) / std::abs(spacing)));
        long k1 = long(std::ceil(std::max(nMin, nMax) / std::abs(spacing)));
        if (k1 - k0 > 4000) continue;
        for (long k = k0; k <= k1; ++k) {
            const double kk = spacing > 0 ? k : -k;
            const double ox = pl.base.x + kk * pl.offset.x, oy = pl.base.y + kk * pl.offset.y;
            const double s0 = uMin - kk * shift - std::abs(shift), s1 = uMax - kk * shift + std::abs(shift);
            lines.emplace_back(map(c.toScreen, ox + ux * s0, oy + uy * s0),
                               map(c.toScreen, ox + ux * s1, oy + uy * s1));
        }
    }
    sink_.clipped(path, lines, linePen);
}

}  // namespace cadhost
