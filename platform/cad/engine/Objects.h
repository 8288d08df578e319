// Non-graphical objects: dictionaries, the draw-order table and every other object of the file's
// OBJECTS section, which the engine keeps as read.
#pragma once

#include "platform/cad/engine/DbObject.h"

#include <QString>
#include <vector>

namespace cad::db {

// A named-object dictionary; entries keep their order.
class Dictionary : public DbObject {
public:
    Dictionary() : DbObject(ObjectType::Dictionary) {}
    struct Entry {
        QString name;
        quint64 handle = 0;
        bool owned = true;  // 350 (soft owner) as read; false: 360 hard owner
    };
    // Entries in order.
    std::vector<Entry> entries;
    // Handle of the entry of that name (compared exactly, as the CAD does), 0 when absent.
    quint64 find(const QString& name) const;
    // 280 hard-owner flag and 281 cloning flag.
    int hardOwner = 0;
    int cloning = 1;
    bool hasCloning = true;
    // Codes not interpreted, written after the entries.
    Tags extraTags;
};

// The draw-order table of one block ("ACAD_SORTENTS", class "AcDbSortentsTable").
class SortentsTable : public DbObject {
public:
    SortentsTable() : DbObject(ObjectType::SortentsTable) {}
    // The block record whose entities are ordered.
    quint64 blockRecord = 0;
    // Sort key by entity handle: entities are drawn by increasing key; an entity absent here
    // sorts by its own handle.
    std::vector<std::pair<quint64, quint64>> entries;  // (entity handle, sort handle) as stored
};

// Any other object (XRECORD, LAYOUT, MLINESTYLE, ...): its tags after the common codes, as read.
class RawObject : public DbObject {
public:
    RawObject() : DbObject(ObjectType::RawObject) {}
    QString dxfName;  // "XRECORD", "LAYOUT", ...
    Tags tags;
};

}  // namespace cad::db
