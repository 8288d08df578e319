// The entity facade. Like the automation it wraps, one type carries every member of every entity
// kind; a member that does not apply to the entity's kind raises NotSupported, and any member of an
// erased entity raises Erased while the handle itself stays a valid value.
#pragma once

#include "platform/cad/Object.h"

namespace cad {

class Color;
class Block;

// A property of a dynamic block reference ("Distance", "Angle", ...).
class DynamicProperty : public Object {
public:
    using Object::Object;
    QString propertyName() const { return get(QStringLiteral("PropertyName")).toText(); }
    Variant value() const { return get(QStringLiteral("Value")); }
    void setValue(const Variant& v) const { put(QStringLiteral("Value"), v); }
};

class Entity : public Object {
public:
    using Object::Object;

    // Common members.
    QString handle() const { return text(u"Handle"); }
    QString objectName() const { return text(u"ObjectName"); }
    QString entityName() const { return text(u"EntityName"); }
    QString layer() const { return text(u"Layer"); }
    void setLayer(const QString& v) const { put(QStringLiteral("Layer"), v); }
    int color() const { return int(get(QStringLiteral("Color")).toInt()); }
    void setColor(int aci) const { put(QStringLiteral("Color"), aci); }
    void setTrueColor(const Object& colorObject) const { put(QStringLiteral("TrueColor"), colorObject); }
    // A new colour object holding the entity's colour (wrap it as cad::Color).
    Object trueColor() const { return wrap<Object>(get(QStringLiteral("TrueColor"))); }
    QString linetype() const { return text(u"Linetype"); }
    void setLinetype(const QString& v) const { put(QStringLiteral("Linetype"), v); }
    int lineweight() const { return int(get(QStringLiteral("Lineweight")).toInt()); }
    void setLineweight(int v) const { put(QStringLiteral("Lineweight"), v); }
    double linetypeScale() const { return num(u"LinetypeScale"); }
    void setLinetypeScale(double v) const { put(QStringLiteral("LinetypeScale"), v); }
    bool visible() const { return get(QStringLiteral("Visible")).toBool(); }
    void setVisible(bool v) const { put(QStringLiteral("Visible"), v); }
    void move(const Point& from, const Point& to) const { send(QStringLiteral("Move"), {from, to}); }
    // Makes an object: held back with a provisional id in a scope that allows it.
    Entity copy() const { return create<Entity>(QStringLiteral("Copy"), {}); }
    void erase() const { invoke(QStringLiteral("Delete")); }  // the automation's Delete()
    void update() const { send(QStringLiteral("Update")); }
    void highlight(bool on) const { send(QStringLiteral("HighLight"), {on}); }
    // Whether the entity is shown highlighted (an attribute reference answers for its reference).
    bool highlighted() const { return get(QStringLiteral("Highlighted")).toBool(); }
    // Lower-left and upper-right corners.
    std::pair<Point, Point> boundingBox() const {
        const VariantList a = invoke(QStringLiteral("GetBoundingBox")).toArray();
        return {a.value(0).toPoint(), a.value(1).toPoint()};
    }
    // Extended data: group codes and values of one application, the first pair (1001, name) naming
    // it (answers nothing: held back in a deferral scope); the pair of arrays GetXData gives back holds the named application's data ("" all).
    void setXData(const VariantList& codes, const VariantList& values) const {
        send(QStringLiteral("SetXData"), {Variant(codes), Variant(values)});
    }
    std::pair<VariantList, VariantList> xData(const QString& application) const {
        const VariantList r = invoke(QStringLiteral("GetXData"), {application}).toArray();
        return {r.value(0).toArray(), r.value(1).toArray()};
    }
    QList<Entity> explode() const { return wrapAll<Entity>(invoke(QStringLiteral("Explode"))); }
    double rotation() const { return num(u"Rotation"); }
    void setRotation(double radians) const { put(QStringLiteral("Rotation"), radians); }
    QList<Entity> arrayRectangular(int rows, int columns, int levels, double rowSpacing, double columnSpacing,
                                   double levelSpacing) const {
        return wrapAll<Entity>(invoke(QStringLiteral("ArrayRectangular"),
                                      {rows, columns, levels, rowSpacing, columnSpacing, levelSpacing}));
    }
    // The block definition or model space that holds the entity; for an attribute reference, its
    // block reference.
    Object owner() const { return wrap<Object>(get(QStringLiteral("Owner"))); }

    // Curves.
    Point startPoint() const { return pt(u"StartPoint"); }
    void setStartPoint(const Point& p) const { put(QStringLiteral("StartPoint"), p); }
    Point endPoint() const { return pt(u"EndPoint"); }
    void setEndPoint(const Point& p) const { put(QStringLiteral("EndPoint"), p); }
    double length() const { return num(u"Length"); }
    Point center() const { return pt(u"Center"); }
    void setCenter(const Point& p) const { put(QStringLiteral("Center"), p); }
    double radius() const { return num(u"Radius"); }
    void setRadius(double r) const { put(QStringLiteral("Radius"), r); }
    double startAngle() const { return num(u"StartAngle"); }
    void setStartAngle(double a) const { put(QStringLiteral("StartAngle"), a); }
    double endAngle() const { return num(u"EndAngle"); }
    void setEndAngle(double a) const { put(QStringLiteral("EndAngle"), a); }
    // Polylines: X, Y pairs; bulges per vertex.
    QList<Point> coordinates() const { return PointsFromFlat(get(QStringLiteral("Coordinates")), 2); }
    double bulge(int vertex) const { return invoke(QStringLiteral("GetBulge"), {vertex}).toDouble(); }
    bool closed() const { return get(QStringLiteral("Closed")).toBool(); }
    void setClosed(bool v) const { put(QStringLiteral("Closed"), v); }

    // Texts, attribute definitions and references.
    QString textString() const { return text(u"TextString"); }
    void setTextString(const QString& v) const { put(QStringLiteral("TextString"), v); }
    QString tagString() const { return text(u"TagString"); }
    void setTagString(const QString& v) const { put(QStringLiteral("TagString"), v); }
    QString promptString() const { return text(u"PromptString"); }
    double height() const { return num(u"Height"); }
    void setHeight(double v) const { put(QStringLiteral("Height"), v); }
    int alignment() const { return int(get(QStringLiteral("Alignment")).toInt()); }
    void setAlignment(int v) const { put(QStringLiteral("Alignment"), v); }
    Point textAlignmentPoint() const { return pt(u"TextAlignmentPoint"); }
    void setTextAlignmentPoint(const Point& p) const { put(QStringLiteral("TextAlignmentPoint"), p); }
    QString styleName() const { return text(u"StyleName"); }
    void setStyleName(const QString& v) const { put(QStringLiteral("StyleName"), v); }
    bool invisible() const { return get(QStringLiteral("Invisible")).toBool(); }
    void setInvisible(bool v) const { put(QStringLiteral("Invisible"), v); }
    int mode() const { return int(get(QStringLiteral("Mode")).toInt()); }
    double width() const { return num(u"Width"); }

    // Block references.
    QString name() const { return text(u"Name"); }
    QString effectiveName() const { return text(u"EffectiveName"); }
    Point insertionPoint() const { return pt(u"InsertionPoint"); }
    void setInsertionPoint(const Point& p) const { put(QStringLiteral("InsertionPoint"), p); }
    double xScaleFactor() const { return num(u"XScaleFactor"); }
    double yScaleFactor() const { return num(u"YScaleFactor"); }
    double zScaleFactor() const { return num(u"ZScaleFactor"); }
    bool hasAttributes() const { return get(QStringLiteral("HasAttributes")).toBool(); }
    QList<Entity> attributes() const { return wrapAll<Entity>(invoke(QStringLiteral("GetAttributes"))); }
    bool isDynamicBlock() const { return get(QStringLiteral("IsDynamicBlock")).toBool(); }
    QList<DynamicProperty> dynamicBlockProperties() const {
        return wrapAll<DynamicProperty>(invoke(QStringLiteral("GetDynamicBlockProperties")));
    }

    // Hatches.
    QString patternName() const { return text(u"PatternName"); }
    double patternScale() const { return num(u"PatternScale"); }
    void setPatternScale(double v) const { put(QStringLiteral("PatternScale"), v); }
    double patternAngle() const { return num(u"PatternAngle"); }
    void setPatternAngle(double v) const { put(QStringLiteral("PatternAngle"), v); }
    void appendOuterLoop(const QList<Entity>& loop) const {
        invoke(QStringLiteral("AppendOuterLoop"), {refs(loop)});
    }
    void appendInnerLoop(const QList<Entity>& loop) const {
        invoke(QStringLiteral("AppendInnerLoop"), {refs(loop)});
    }
    void evaluate() const { invoke(QStringLiteral("Evaluate")); }
    int numberOfLoops() const { return int(get(QStringLiteral("NumberOfLoops")).toInt()); }
    // The loop's boundary objects; when they no longer exist, new curves made from the loop are
    // added to the hatch's owner and returned (the caller deletes them when done).
    QList<Entity> loopAt(int index) const {
        return wrapAll<Entity>(invoke(QStringLiteral("GetLoopAt"), {index}));
    }

    // Regions: operation 0 union, 1 intersection, 2 subtraction.
    void boolean(int operation, const Entity& other) const {
        invoke(QStringLiteral("Boolean"), {operation, other});
    }
    double area() const { return num(u"Area"); }

    // Dimensions.
    QString textOverride() const { return text(u"TextOverride"); }
    void setTextOverride(const QString& v) const { put(QStringLiteral("TextOverride"), v); }
    double measurement() const { return num(u"Measurement"); }

private:
    QString text(const char16_t* m) const {
        return get(QString::fromRawData(reinterpret_cast<const QChar*>(m), len(m))).toText();
    }
    double num(const char16_t* m) const {
        return get(QString::fromRawData(reinterpret_cast<const QChar*>(m), len(m))).toDouble();
    }
    Point pt(const char16_t* m) const {
        return get(QString::fromRawData(reinterpret_cast<const QChar*>(m), len(m))).toPoint();
    }
    static qsizetype len(const char16_t* m) { return qsizetype(std::char_traits<char16_t>::length(m)); }
};

}  // namespace cad
