// Turns entities into screen primitives: colour (by layer, by block, index, true colour), linetype
// dashes, lineweights, texts with alignment and rotation, attributes, hatches and nested block
// references. The primitives go to a sink: the painter for the view, a hit test for picks.
#pragma once

#include "cadhost/render/Dimensions.h"
#include "cadhost/render/ReferenceTally.h"
#include "platform/cad/engine/BlockPath.h"
#include "platform/cad/engine/Database.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QStringList>
#include <QTransform>
#include <vector>

class QPainter;

namespace cadhost {

class PrimitiveSink {
public:
    virtual ~PrimitiveSink() = default;
    virtual void polyline(const QPolygonF& points, const QPen& pen) = 0;
    virtual void fill(const QPainterPath& path, const QColor& color) = 0;
    // `place` maps the text's own pixel frame (baseline origin, y down) to the screen.
    virtual void text(const QString& text, const QFont& font, const QTransform& place,
                      const QColor& color) = 0;
    // Pattern lines of a hatch, clipped to its boundary.
    virtual void clipped(const QPainterPath& clip, const std::vector<QLineF>& lines, const QPen& pen) = 0;
    // The part of the screen that matters (pattern lines are made only there); empty: all.
    virtual QRectF area() const { return {}; }
};

// Paints the primitives.
class PainterSink : public PrimitiveSink {
public:
    explicit PainterSink(QPainter& p) : p_(p) {}
    void polyline(const QPolygonF& points, const QPen& pen) override;
    void fill(const QPainterPath& path, const QColor& color) override;
    void text(const QString& text, const QFont& font, const QTransform& place, const QColor& color) override;
    void clipped(const QPainterPath& clip, const std::vector<QLineF>& lines, const QPen& pen) override;
    QRectF area() const override;

private:
    QPainter& p_;
};

// Tells whether any primitive passes within `radius` pixels of a screen point.
class HitSink : public PrimitiveSink {
public:
    HitSink(QPointF at, double radius) : at_(at), r_(radius) {}
    bool hit() const { return hit_; }
    void polyline(const QPolygonF& points, const QPen& pen) override;
    void fill(const QPainterPath& path, const QColor& color) override;
    void text(const QString& text, const QFont& font, const QTransform& place, const QColor& color) override;
    void clipped(const QPainterPath& clip, const std::vector<QLineF>& lines, const QPen& pen) override;
    QRectF area() const override;

private:
    QPointF at_;
    double r_;
    bool hit_ = false;
};

// Distance from a point to a segment (pixels or drawing units alike).
double SegmentDistance(QPointF p, QPointF a, QPointF b);

// What drawing left out, told once over the view whichever walk met it: references to a block
// inside itself or nested too deep, references past the primitive limit (the cells of a huge grid,
// a block inserting the next one many times over), and dimensions whose block inserts itself.
struct LeftOut {
    long long nested = 0;
    long long overLimit = 0;
    QStringList selfInsertions;  // the sentence naming each such dimension block, once
    void add(const LeftOut& other);
    // One line for each kind left out (empty when nothing).
    QString note() const;
};

class DrawingRenderer {
public:
    // `view` maps drawing coordinates to screen pixels.
    DrawingRenderer(const cad::db::Database& db, const cad::db::Transform2D& view, PrimitiveSink& sink);
    void draw(const cad::db::Entity* entity, bool highlighted = false);

    // The screen colour of an entity drawn at top level (for tests and the pick highlight).
    QColor topLevelColor(const cad::db::Entity* entity);
    static constexpr int MaxNesting = cad::db::MaxBlockNesting;
    // Drawing one top-level entity stops after this many entities drawn (its block's and theirs).
    static constexpr long MaxPrimitives = 500000;
    // What was not drawn so far.
    LeftOut leftOut() const;

private:
    struct Context {
        cad::db::Transform2D toScreen;
        double unitScale = 1;  // pixels per drawing unit along the mapped axes
        QColor blockColor;
        QString blockLinetype = QStringLiteral("Continuous");
        int blockLineweight = cad::db::LineweightDefault;
        QString blockLayer = QStringLiteral("0");
        bool inBlock = false;
        bool highlighted = false;
    };
    struct LayerStyle {
        bool visible = true;
        QColor color;
        QString linetype;
        int lineweight = cad::db::LineweightDefault;
    };

    const LayerStyle& layerStyle(const QString& name);
    const std::vector<double>& dashes(const QString& linetype);
    bool visibleLayer(const cad::db::Entity* e, const Context& c);
    QColor colorOf(const cad::db::Entity* e, const Context& c);
    QPen penOf(const cad::db::Entity* e, const Context& c);
    void drawIn(const cad::db::Entity* e, const Context& c);
    void drawRegion(const cad::db::RegionData& d, const cad::db::Entity* e, const Context& c);
    // From its block where it has one, else from its definition points.
    void drawDimension(const cad::db::DimensionData& d, const cad::db::Entity* e, const Context& c);
    void drawRaw(const cad::db::RawData& raw, const cad::db::Entity* e, const Context& c);
    void drawReference(const cad::db::Entity* e, const Context& c);
    void drawBlock(const cad::db::BlockDefinition* block, const cad::db::Transform2D& toBlockWorld,
                   const Context& outer, const cad::db::Entity* owner);
    // Cells of a reference the primitive limit stops: each, and what each would draw, are counted.
    void countOverLimit(const cad::db::Entity* reference, long long cells);
    void drawText(const cad::db::TextData& t, const QString& shown, const QColor& color, const Context& c);
    // `extra` (the entity's codes beyond the modelled ones) may hold the text's columns.
    void drawMText(const cad::db::MTextData& t, const QColor& color, const Context& c,
                   const cad::db::Tags* extra = nullptr);
    // A multiline text on the plane of its extrusion (its position and direction are world values).
    void drawPlacedMText(const cad::db::MTextData& t, const cad::db::Point3& normal, const QColor& color,
                         const Context& c, const cad::db::Tags* extra = nullptr);
    // Dimensions and references apply their own coordinate system to their block only.
    static bool placesOwnBlock(const cad::db::Entity* e);
    static bool isDimension(const cad::db::Entity* e);
    // A fill, shown paler with a dashed outline when highlighted.
    void fillArea(const QPainterPath& path, const QColor& color, const Context& c);
    // The dashed frame round a highlighted text.
    void frameText(const QString& shown, const QFont& font, const QTransform& place, const QColor& color);
    static QPen highlightPen(const QColor& color);
    void drawHatch(const cad::db::HatchData& h, const QColor& color, const QPen& pen, const Context& c);
    // Lines, curves, fills and texts of a shape made from an entity's definition.
    void drawShape(const render::RawShape& shape, const cad::db::Entity* e, const Context& c);
    // Arrowhead, text and extension sizes of a dimension style (by name; empty the standard one).
    const render::DimLook& dimLook(const QString& style);
    void addBulgeSegment(QPolygonF& out, const cad::db::Transform2D& t, double x0, double y0, double x1,
                         double y1, double bulge, double unitScale) const;
    void addArc(QPolygonF& out, const cad::db::Transform2D& t, const cad::db::Point3& center, double radius,
                double a0, double a1, double unitScale) const;
    // The filled band of a polyline with widths (nothing when it has none).
    void drawWidths(const cad::db::Entity* e, const std::vector<cad::db::Vertex>& vertices, bool closed,
                    double constantWidth, const Context& c);
    QPolygonF polylinePoints(const std::vector<cad::db::Vertex>& v, bool closed, const Context& c) const;

    const cad::db::Database& db_;
    cad::db::Transform2D view_;
    PrimitiveSink& sink_;
    double ltscale_ = 1;
    long drawn_ = 0;
    cad::db::BlockPath path_;             // the blocks being drawn, outermost first
    std::vector<bool> openForDimension_;  // ... each opened by a dimension or not
    long long overLimit_ = 0;
    QStringList selfInsertions_;
    render::ReferenceTally tally_;
    QHash<QString, LayerStyle> layers_;
    QHash<QString, std::vector<double>> dashes_;
    QHash<QString, render::DimLook> dimLooks_;
};

}  // namespace cadhost
