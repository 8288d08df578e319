// The base of every object stored in a drawing: a handle that is also the object's id, the owner,
// the erased flag and the data the engine keeps without modelling it (XDATA, application groups).
#pragma once

#include <QString>
#include <vector>

namespace cad::db {

class Database;

// One DXF group: code and value as text. Used for everything kept unmodelled.
struct Tag {
    int code = 0;
    QString value;
    friend bool operator==(const Tag&, const Tag&) = default;
};
using Tags = std::vector<Tag>;

// What kind of object a DbObject is.
enum class ObjectType {
    Entity,
    BlockDefinition,
    Layer,
    Linetype,
    TextStyle,
    DimStyle,
    AppId,
    RawTableRecord,  // VPORT, VIEW, UCS records: kept as read
    Dictionary,
    SortentsTable,
    RawObject,  // any other object of the OBJECTS section (XRECORD, LAYOUT, ...): kept as read
};

// Formats a handle number as the upper-case hexadecimal text used in files and by the programs.
QString handleToText(quint64 handle);
// Parses a hexadecimal handle text; 0 when it is not one.
quint64 handleFromText(const QString& text);

class DbObject {
public:
    virtual ~DbObject() = default;
    DbObject(const DbObject&) = delete;
    DbObject& operator=(const DbObject&) = delete;

    // The object's kind.
    ObjectType objectType() const { return type_; }
    // The handle: unique in the drawing, stable through save and reopen; also the object's id.
    quint64 handle() const { return handle_; }
    // The handle as hexadecimal text ("1A3F").
    QString handleText() const { return handleToText(handle_); }
    // The drawing that owns the object.
    Database* database() const { return db_; }
    // True once erased; the object stays allocated so references to it remain valid values.
    bool isErased() const { return erased_; }
    // Throws cad::Erased when the object was erased; every use of an object calls it first.
    void checkAlive() const;

    // Handle of the owner (block record, dictionary, table, reference for attributes); 0 when none.
    quint64 ownerHandle = 0;
    // Handle of the extension dictionary ("{ACAD_XDICTIONARY"), 0 when the object has none.
    quint64 extensionDictionary = 0;
    // Persistent reactors ("{ACAD_REACTORS"), kept as read.
    std::vector<quint64> reactors;
    // Other application groups (102 "{NAME" ... 102 "}"), kept verbatim.
    Tags appData;
    // Extended data (1001 and after), kept verbatim and written back at the end of the object.
    Tags xdata;

protected:
    DbObject(ObjectType type) : type_(type) {}

private:
    friend class Database;
    friend class UndoJournal;
    ObjectType type_;
    quint64 handle_ = 0;
    Database* db_ = nullptr;
    bool erased_ = false;
    quint32 undoStamp_ = 0;  // the undo step that last kept (or created) the object
};

}  // namespace cad::db
