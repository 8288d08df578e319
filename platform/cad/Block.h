// Model space and block definitions: the entity containers the suite draws into.
#pragma once

#include "platform/cad/Entity.h"

namespace cad {

class Dictionary;

class Block : public Object {
public:
    using Object::Object;

    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
    // 0-based; item(count() - 1) is the entity added last.
    Entity item(int index) const { return wrap<Entity>(invoke(QStringLiteral("Item"), {index})); }
    // Every entity in creation order, in one call.
    QList<Entity> entities() const { return wrapAll<Entity>(invoke(QStringLiteral("Items"))); }

    QString name() const { return get(QStringLiteral("Name")).toText(); }
    void setName(const QString& name) const { put(QStringLiteral("Name"), name); }
    Point origin() const { return get(QStringLiteral("Origin")).toPoint(); }
    bool isLayout() const { return get(QStringLiteral("IsLayout")).toBool(); }
    void erase() const { invoke(QStringLiteral("Delete")); }  // fails while references remain

    Entity addLine(const Point& start, const Point& end) const { return add(QStringLiteral("AddLine"), {start, end}); }
    Entity addArc(const Point& center, double radius, double startAngle, double endAngle) const {
        return add(QStringLiteral("AddArc"), {center, radius, startAngle, endAngle});
    }
    Entity addCircle(const Point& center, double radius) const { return add(QStringLiteral("AddCircle"), {center, radius}); }
    // Vertices as X, Y pairs.
    Entity addLightWeightPolyline(const QList<Point>& vertices) const {
        return add(QStringLiteral("AddLightWeightPolyline"), {Variant(FlatXY(vertices))});
    }
    Entity addText(const QString& text, const Point& insertion, double height) const {
        return add(QStringLiteral("AddText"), {text, insertion, height});
    }
    Entity addMText(const Point& insertion, double width, const QString& text) const {
        return add(QStringLiteral("AddMText"), {insertion, width, text});
    }
    // Pattern type 0 or 1 both fill by the pattern name.
    Entity addHatch(int patternType, const QString& patternName, bool associative) const {
        return add(QStringLiteral("AddHatch"), {patternType, patternName, associative});
    }
    Entity addAttribute(double height, int mode, const QString& prompt, const Point& insertion,
                        const QString& tag, const QString& value) const {
        return add(QStringLiteral("AddAttribute"), {height, mode, prompt, insertion, tag, value});
    }
    Entity addPoint(const Point& p) const { return add(QStringLiteral("AddPoint"), {p}); }
    QList<Entity> addRegion(const QList<Entity>& curves) const {
        return wrapAll<Entity>(invoke(QStringLiteral("AddRegion"), {refs(curves)}));
    }
    Entity addDimAligned(const Point& ext1, const Point& ext2, const Point& textPosition) const {
        return add(QStringLiteral("AddDimAligned"), {ext1, ext2, textPosition});
    }
    Entity addDimOrdinate(const Point& definition, const Point& leaderEnd, bool useXAxis) const {
        return add(QStringLiteral("AddDimOrdinate"), {definition, leaderEnd, useXAxis ? 1 : 0});
    }
    // A block name, or a drawing file path whose definitions are loaded first.
    Entity insertBlock(const Point& insertion, const QString& name, double xScale, double yScale,
                       double zScale, double rotation) const {
        return add(QStringLiteral("InsertBlock"), {insertion, name, xScale, yScale, zScale, rotation});
    }
    Dictionary extensionDictionary() const;

private:
    Entity add(const QString& member, std::initializer_list<Variant> args) const {
        return create<Entity>(member, args);
    }
};

}  // namespace cad
