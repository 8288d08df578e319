// The symbol tables of a drawing: layers, linetypes, text styles, dimension styles, application
// ids and the VPORT/VIEW/UCS records kept as read. Names compare without regard to case.
#pragma once

#include "platform/cad/engine/DbObject.h"
#include "platform/cad/engine/Errors.h"

#include <QHash>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace cad::db {

class UndoJournal;

// The key under which a name is looked up: case-folded, so "Warstwa" and "WARSTWA", "ą" and "Ą"
// are one name.
QString nameKey(const QString& name);

// Common part of every table record.
class TableRecord : public DbObject {
public:
    // The record's name as written (case kept).
    const QString& name() const { return name_; }
    // Standard flags (70) as read; bit meanings depend on the table.
    int flags = 0;
    // Codes the engine does not interpret, written back after the modelled ones.
    Tags extraTags;

protected:
    using DbObject::DbObject;

private:
    friend class Database;
    template <class T>
    friend class Table;
    QString name_;
};

class Layer : public TableRecord {
public:
    Layer() : TableRecord(ObjectType::Layer) {}
    int color = 7;       // colour index 1..255 (the file stores a negative index for "off")
    int trueColor = -1;  // 0xRRGGBB or -1
    QString linetype = QStringLiteral("Continuous");
    int lineweight = -3;  // default
    bool on = true;
    bool frozen = false;
    bool locked = false;
    bool plot = true;
    quint64 plotStyleHandle = 0;  // 390
};

class Linetype : public TableRecord {
public:
    Linetype() : TableRecord(ObjectType::Linetype) {}
    QString description;
    double patternLength = 0;
    // Dash lengths: positive dash, negative gap, 0 dot.
    std::vector<double> elements;
    // Complex elements (shapes, texts): raw tags of the element part as read; when present they
    // are written instead of `elements`.
    Tags complexTags;
};

class TextStyle : public TableRecord {
public:
    TextStyle() : TableRecord(ObjectType::TextStyle) {}
    QString font = QStringLiteral("txt");  // primary font file (3) or typeface name
    QString bigFont;       // 4
    double height = 0;     // fixed height, 0 = variable
    double widthFactor = 1;
    double oblique = 0;  // radians
    int generation = 0;
    double lastHeight = 2.5;
    QString typeface;  // TrueType family from SetFont, stored as XDATA of "ACAD"
    bool bold = false, italic = false;
};

class DimStyle : public TableRecord {
public:
    DimStyle() : TableRecord(ObjectType::DimStyle) {}
    // Dimension variables by group code, values as text ("DIMASZ" is 41, ...).
    std::map<int, QString> values;
};

class AppId : public TableRecord {
public:
    AppId() : TableRecord(ObjectType::AppId) {}
};

// A VPORT, VIEW or UCS record: everything after the common codes kept as read.
class RawTableRecord : public TableRecord {
public:
    RawTableRecord() : TableRecord(ObjectType::RawTableRecord) {}
    QString tableName;  // "VPORT", "VIEW", "UCS"
    Tags tags;          // from the first subclass marker on
};

// An ordered table of records with look-up by name (case ignored). Records are never freed while
// the drawing lives; a removed record is flagged erased and leaves the look-up.
template <class T>
class Table {
public:
    // The live record of that name, or nullptr.
    T* find(const QString& name) const {
        auto it = index_.constFind(nameKey(name));
        return it == index_.constEnd() ? nullptr : it.value();
    }
    // The live record of that name; throws cad::NotFound.
    T* item(const QString& name) const {
        if (T* r = find(name)) return r;
        throw NotFound(QStringLiteral("Brak nazwy: %1").arg(name));
    }
    bool contains(const QString& name) const { return find(name) != nullptr; }
    // Live records in table order.
    std::vector<T*> records() const {
        std::vector<T*> out;
        for (const auto& r : items_)
            if (!r->isErased()) out.push_back(r.get());
        return out;
    }
    // Number of live records.
    int count() const { return int(index_.size()); }
    // Handle of the table object itself (the TABLE header of the file).
    quint64 tableHandle = 0;
    // Codes of the table header the engine does not interpret.
    Tags extraTags;

private:
    friend class Database;
    friend class UndoJournal;
    std::vector<std::unique_ptr<T>> items_;
    QHash<QString, T*> index_;
};

}  // namespace cad::db
