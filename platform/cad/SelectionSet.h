// Named selection sets: the way every search of the drawing is made.
#pragma once

#include "platform/cad/Entity.h"

namespace cad {

// A filter as alternating (group code, value) pairs, kept in the order the callers give them.
struct SelectionFilter {
    QList<int> codes;
    VariantList values;
    SelectionFilter& add(int code, const Variant& value) {
        codes.append(code);
        values.append(value);
        return *this;
    }
    bool isEmpty() const { return codes.isEmpty(); }
};

class SelectionSet : public Object {
public:
    using Object::Object;

    enum Mode {
        Window = 0,
        Crossing = 1,
        Previous = 3,
        Last = 4,
        All = 5,
        WindowPolygon = 6,
        CrossingPolygon = 7
    };

    QString name() const { return get(QStringLiteral("Name")).toText(); }
    // Modes All (no points) and Crossing/Window (two corners).
    void select(int mode, const SelectionFilter& filter = {}) const {
        select(mode, Variant(), Variant(), filter);
    }
    void select(int mode, const Variant& corner1, const Variant& corner2,
                const SelectionFilter& filter = {}) const {
        invoke(QStringLiteral("Select"), {mode, corner1, corner2, codes(filter), values(filter)});
    }
    // Modes CrossingPolygon and WindowPolygon over a closed outline.
    void selectByPolygon(int mode, const QList<Point>& polygon, const SelectionFilter& filter = {}) const {
        VariantList flat;
        for (const Point& p : polygon) flat << p.x << p.y << p.z;
        invoke(QStringLiteral("SelectByPolygon"), {mode, Variant(flat), codes(filter), values(filter)});
    }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
    // 0-based, in drawing-database (creation) order.
    Entity item(int index) const { return wrap<Entity>(invoke(QStringLiteral("Item"), {index})); }
    QList<Entity> entities() const { return wrapAll<Entity>(invoke(QStringLiteral("Items"))); }
    void addItems(const QList<Entity>& entities) const {
        invoke(QStringLiteral("AddItems"), {refs(entities)});
    }
    void erase() const { invoke(QStringLiteral("Erase")); }    // erases the member entities
    void clear() const { invoke(QStringLiteral("Clear")); }    // empties the set
    void remove() const { invoke(QStringLiteral("Delete")); }  // removes the set; entities stay

private:
    static Variant codes(const SelectionFilter& f) {
        if (f.isEmpty()) return Variant();
        VariantList a;
        for (int c : f.codes) a.append(c);
        return Variant(a);
    }
    static Variant values(const SelectionFilter& f) { return f.isEmpty() ? Variant() : Variant(f.values); }
};

class SelectionSets : public Object {
public:
    using Object::Object;
    // Raises AlreadyExists for a name in use.
    SelectionSet add(const QString& name) const {
        return wrap<SelectionSet>(invoke(QStringLiteral("Add"), {name}));
    }
    SelectionSet item(const QString& name) const {
        return wrap<SelectionSet>(invoke(QStringLiteral("Item"), {name}));
    }
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
};

}  // namespace cad
