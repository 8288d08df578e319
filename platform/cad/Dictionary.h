// Dictionaries, the draw-order table and the colour object.
#pragma once

#include "platform/cad/Block.h"

namespace cad {

class Dictionary : public Object {
public:
    using Object::Object;
    // Raises NotFound when the entry is absent (callers ignore that error).
    Object getObject(const QString& name) const {
        return wrap<Object>(invoke(QStringLiteral("GetObject"), {name}));
    }
    Object addObject(const QString& name, const QString& className) const {
        return wrap<Object>(invoke(QStringLiteral("AddObject"), {name, className}));
    }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
};

// The "ACAD_SORTENTS" table.
class SortentsTable : public Object {
public:
    using Object::Object;
    SortentsTable(const Object& o) : Object(o) {}
    void moveToTop(const QList<Entity>& entities) const {
        invoke(QStringLiteral("MoveToTop"), {refs(entities)});
    }
    void moveToBottom(const QList<Entity>& entities) const {
        invoke(QStringLiteral("MoveToBottom"), {refs(entities)});
    }
    // Model-space entities in drawing order (last on top).
    QList<Entity> fullDrawOrder() const {
        return wrapAll<Entity>(invoke(QStringLiteral("GetFullDrawOrder")));
    }
};

// The true-colour object.
class Color : public Object {
public:
    using Object::Object;
    Color(const Object& o) : Object(o) {}
    void setRGB(int red, int green, int blue) const { invoke(QStringLiteral("SetRGB"), {red, green, blue}); }
    int red() const { return int(get(QStringLiteral("Red")).toInt()); }
    int green() const { return int(get(QStringLiteral("Green")).toInt()); }
    int blue() const { return int(get(QStringLiteral("Blue")).toInt()); }
    int colorIndex() const { return int(get(QStringLiteral("ColorIndex")).toInt()); }
    void setColorIndex(int aci) const { put(QStringLiteral("ColorIndex"), aci); }
    QString name() const { return get(QStringLiteral("Name")).toText(); }
};

inline Dictionary Block::extensionDictionary() const {
    return wrap<Dictionary>(invoke(QStringLiteral("GetExtensionDictionary")));
}

}  // namespace cad
