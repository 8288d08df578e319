// A block definition with its block record: base point, entities in creation order (model space
// and paper space are blocks too) and the handles of the records that frame it in a file.
#pragma once

#include "platform/cad/engine/DbObject.h"
#include "platform/cad/engine/Geometry.h"

#include <QString>
#include <vector>

namespace cad::db {

class Entity;

class BlockDefinition : public DbObject {
public:
    BlockDefinition() : DbObject(ObjectType::BlockDefinition) {}

    // The block's name as written ("*Model_Space", "S-1", "12^STRUMIEN_3^K1").
    const QString& name() const { return name_; }
    // True for "*Model_Space" and the paper-space layouts ("*Paper_Space", "*Paper_Space0", ...).
    bool isLayout() const;
    bool isModelSpace() const;
    // True for anonymous blocks ("*U12", "*D3", ...).
    bool isAnonymous() const { return name_.startsWith('*') && !isLayout(); }

    // Live entities in creation order (newest last). The vector stays valid until the next change.
    const std::vector<Entity*>& entities() const;
    // Number of live entities.
    int count() const { return int(entities().size()); }
    // The live entity at a 0-based index; throws cad::NotFound outside 0..count-1.
    Entity* item(int index) const;
    // Attribute definitions of the block in order.
    std::vector<Entity*> attributeDefinitions() const;

    Point3 basePoint;
    int flags = 0;                  // 70 of BLOCK: 1 anonymous, 2 has attributes, 4 xref ...
    QString description;            // 4
    QString xrefPath;               // 1
    quint64 blockEntityHandle = 0;  // handle of the BLOCK record
    quint64 endblkHandle = 0;       // handle of the ENDBLK record
    quint64 layoutHandle = 0;       // 340 of the block record
    // Codes of the block record (BLOCK_RECORD table) the engine does not interpret.
    Tags recordExtraTags;
    // XDATA and application groups of the BLOCK record itself (the record's are in DbObject).
    Tags blockXdata;
    Tags blockAppData;
    // Layer of the BLOCK record.
    QString blockLayer = QStringLiteral("0");

private:
    friend class Database;
    friend class UndoJournal;
    QString name_;
    mutable std::vector<Entity*> items_;
    mutable int erasedCount_ = 0;
};

}  // namespace cad::db
