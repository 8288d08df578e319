// The named tables of a drawing and their records: blocks, layers, linetypes, text and dimension styles.
// Item(name) raises NotFound for an absent name; names compare without regard to case.
#pragma once

#include "platform/cad/Block.h"

namespace cad {

class Document;

class Blocks : public Object {
public:
    using Object::Object;
    Block item(const QString& name) const { return wrap<Block>(invoke(QStringLiteral("Item"), {name})); }
    Block itemAt(int index) const { return wrap<Block>(invoke(QStringLiteral("Item"), {index})); }
    Block add(const Point& origin, const QString& name) const {
        return create<Block>(QStringLiteral("Add"), {origin, name});
    }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
    QList<Block> all() const { return wrapAll<Block>(invoke(QStringLiteral("Items"))); }
    // The count, then the id and name of every block from position `from` on, in one call:
    // [count, block, name, block, name, ...].
    VariantList namesFrom(int from) const { return invoke(QStringLiteral("NamesFrom"), {from}).toArray(); }
};

class Layer : public Object {
public:
    using Object::Object;
    QString name() const { return get(QStringLiteral("Name")).toText(); }
    int color() const { return int(get(QStringLiteral("Color")).toInt()); }
    void setColor(int aci) const { put(QStringLiteral("Color"), aci); }
    void setTrueColor(const Object& colorObject) const { put(QStringLiteral("TrueColor"), colorObject); }
    int lineweight() const { return int(get(QStringLiteral("Lineweight")).toInt()); }
    void setLineweight(int v) const { put(QStringLiteral("Lineweight"), v); }
    QString linetype() const { return get(QStringLiteral("Linetype")).toText(); }
    void setLinetype(const QString& v) const { put(QStringLiteral("Linetype"), v); }
    bool layerOn() const { return get(QStringLiteral("LayerOn")).toBool(); }
    void setLayerOn(bool v) const { put(QStringLiteral("LayerOn"), v); }
    bool lock() const { return get(QStringLiteral("Lock")).toBool(); }
    void setLock(bool v) const { put(QStringLiteral("Lock"), v); }
    bool freeze() const { return get(QStringLiteral("Freeze")).toBool(); }
    void setFreeze(bool v) const { put(QStringLiteral("Freeze"), v); }
};

class Layers : public Object {
public:
    using Object::Object;
    Layer item(const QString& name) const { return wrap<Layer>(invoke(QStringLiteral("Item"), {name})); }
    Layer itemAt(int index) const { return wrap<Layer>(invoke(QStringLiteral("Item"), {index})); }
    // An existing layer of the name is given unchanged. Held back in a scope that allows it.
    Layer add(const QString& name) const { return create<Layer>(QStringLiteral("Add"), {name}); }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
    QList<Layer> all() const { return wrapAll<Layer>(invoke(QStringLiteral("Items"))); }
};

class Linetype : public Object {
public:
    using Object::Object;
    QString name() const { return get(QStringLiteral("Name")).toText(); }
    QString description() const { return get(QStringLiteral("Description")).toText(); }
};

class Linetypes : public Object {
public:
    using Object::Object;
    Linetype item(const QString& name) const {
        return wrap<Linetype>(invoke(QStringLiteral("Item"), {name}));
    }
    // The built-in definitions stand in for the CAD's own linetype file.
    void load(const QString& name, const QString& fileName) const {
        invoke(QStringLiteral("Load"), {name, fileName});
    }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
};

class TextStyle : public Object {
public:
    using Object::Object;
    QString name() const { return get(QStringLiteral("Name")).toText(); }
    double height() const { return get(QStringLiteral("Height")).toDouble(); }
    void setHeight(double v) const { put(QStringLiteral("Height"), v); }
    QString fontFile() const { return get(QStringLiteral("FontFile")).toText(); }
    void setFont(const QString& typeface, bool bold, bool italic, int charset, int pitchAndFamily) const {
        invoke(QStringLiteral("SetFont"), {typeface, bold, italic, charset, pitchAndFamily});
    }
    QString typeface() const { return invoke(QStringLiteral("GetFont")).toArray().value(0).toText(); }
};

class TextStyles : public Object {
public:
    using Object::Object;
    TextStyle item(const QString& name) const {
        return wrap<TextStyle>(invoke(QStringLiteral("Item"), {name}));
    }
    // An existing style of the name is given unchanged. Held back in a scope that allows it.
    TextStyle add(const QString& name) const { return create<TextStyle>(QStringLiteral("Add"), {name}); }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
};

class DimStyle : public Object {
public:
    using Object::Object;
    QString name() const { return get(QStringLiteral("Name")).toText(); }
    // Takes the document's current dimension variables.
    void copyFrom(const Object& document) const { invoke(QStringLiteral("CopyFrom"), {document}); }
};

class DimStyles : public Object {
public:
    using Object::Object;
    DimStyle item(const QString& name) const {
        return wrap<DimStyle>(invoke(QStringLiteral("Item"), {name}));
    }
    DimStyle add(const QString& name) const { return create<DimStyle>(QStringLiteral("Add"), {name}); }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
};

}  // namespace cad
