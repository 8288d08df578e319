// The drawing: header variables, tables, block definitions (model space first), entities,
// dictionaries with the draw order, drawing properties and system variables, with the
// operations the object model performs on them. Every object is addressed by its handle.
#pragma once

#include "platform/cad/engine/Block.h"
#include "platform/cad/engine/Entity.h"
#include "platform/cad/engine/Errors.h"
#include "platform/cad/engine/Geometry.h"
#include "platform/cad/engine/Objects.h"
#include "platform/cad/engine/SummaryInfo.h"
#include "platform/cad/engine/Tables.h"

#include <QHash>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace cad::db {

struct EntityIndexList;
class UndoJournal;

// The value of a system variable.
using SysValue = std::variant<int, double, QString, Point3>;

// One header variable of the file ("$ACADVER", ...) with its tags as read or set.
struct HeaderVariable {
    QString name;  // with the "$"
    Tags tags;
};

// A class of the CLASSES section, kept as read (and the ones the writer needs added).
struct DxfClass {
    QString dxfName, cppName, appName;
    int flags = 0, instanceCount = 0, wasProxy = 0, isEntity = 0;
};

class Database {
public:
    // A new empty drawing: layer "0", linetypes ByBlock/ByLayer/Continuous, text style "Standard",
    // dimension style "Standard", application id "ACAD", model space and paper space, the root
    // dictionary with its standard entries, and the header defaults.
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    // An empty database without any default record; the DXF reader fills it.
    static std::unique_ptr<Database> createEmpty();

    // ---- File identity ----
    // Full path of the file the drawing was read from or last saved to; empty when never saved.
    QString filePath;
    // The file's version ("AC1015", ...) as read; the writer always writes AC1015.
    QString fileVersion = "AC1015";
    // The code page the texts are written in ("ANSI_1250" for Polish drawings).
    QString codePage() const;

    // ---- Header variables ----
    // All header variables in order.
    const std::vector<HeaderVariable>& headerVariables() const { return header_; }
    // The tags of a header variable ("$INSBASE"), or nullptr.
    const Tags* headerVariable(const QString& name) const;
    // Sets (or adds) a header variable.
    void setHeaderVariable(const QString& name, const Tags& tags);
    // The CLASSES section.
    std::vector<DxfClass> classes;

    // ---- System variables ----
    // Value of a system variable (CECOLOR, CLAYER, CELTYPE, CELWEIGHT, TEXTSTYLE, ANGBASE,
    // CELTSCALE, LTSCALE, LASTPOINT, LASTPROMPT, DIM*, or any header variable of the drawing);
    // names ignore case. Throws cad::NotFound for an unknown name.
    SysValue variable(const QString& name) const;
    // Sets a system variable; numbers convert between int and double when exact, CECOLOR accepts
    // "BYLAYER", "BYBLOCK" or an index as text or number. Throws cad::NotFound for an unknown
    // name, cad::InvalidArgument for a value the drawing refuses (a layer, linetype or style
    // that does not exist, a wrong type, a read-only variable).
    void setVariable(const QString& name, const SysValue& value);
    // Current colour index for new entities (from CECOLOR).
    int currentColor() const;

    // ---- Tables ----
    Table<Layer>& layers() { return layers_; }
    Table<Linetype>& linetypes() { return linetypes_; }
    Table<TextStyle>& textStyles() { return textStyles_; }
    Table<DimStyle>& dimStyles() { return dimStyles_; }
    Table<AppId>& appIds() { return appIds_; }
    Table<RawTableRecord>& viewports() { return vports_; }
    Table<RawTableRecord>& views() { return views_; }
    Table<RawTableRecord>& ucss() { return ucss_; }
    const Table<Layer>& layers() const { return layers_; }
    const Table<Linetype>& linetypes() const { return linetypes_; }
    const Table<TextStyle>& textStyles() const { return textStyles_; }
    const Table<DimStyle>& dimStyles() const { return dimStyles_; }
    const Table<AppId>& appIds() const { return appIds_; }
    const Table<RawTableRecord>& viewports() const { return vports_; }
    const Table<RawTableRecord>& views() const { return views_; }
    const Table<RawTableRecord>& ucss() const { return ucss_; }
    // Handle of the BLOCK_RECORD table object.
    quint64 blockRecordTableHandle = 0;
    // Text-style records without a name (shape files of complex linetypes), kept as read.
    Table<RawTableRecord>& shapeStyles() { return shapeStyles_; }
    const Table<RawTableRecord>& shapeStyles() const { return shapeStyles_; }
    // Codes of the table heads the engine does not interpret (extension dictionaries...), by
    // table name ("LAYER").
    std::map<QString, Tags> tableHeadTags;
    // Sections the engine does not model ("ACDSDATA" with the solids' data...), kept as read
    // and written back after the objects.
    std::vector<std::pair<QString, Tags>> extraSections;

    // Adds a layer, or returns the existing one of that name unchanged. Throws
    // cad::InvalidArgument for an invalid name (empty, or holding <>/\":;?*|,=`).
    Layer* addLayer(const QString& name);
    // Adds a linetype (empty pattern = continuous); throws cad::AlreadyExists.
    Linetype* addLinetype(const QString& name, const QString& description,
                          const std::vector<double>& pattern);
    // Loads one of the linetypes the engine defines itself (the ISO dashed ones such as
    // "ACAD_ISO03W100", "DASHED", ...); returns the existing one when present. Throws
    // cad::NotFound for a name the engine does not define.
    Linetype* loadLinetype(const QString& name);
    // Names of the linetypes loadLinetype knows.
    static QStringList knownLinetypes();
    // Adds a text style, or returns the existing one unchanged.
    TextStyle* addTextStyle(const QString& name);
    // Adds a dimension style, or returns the existing one unchanged.
    DimStyle* addDimStyle(const QString& name);
    // Copies the current DIM* variables into the style (DimStyle.CopyFrom(document)).
    void copyDimVariablesTo(DimStyle* style);
    // Adds an application id, or returns the existing one.
    AppId* addAppId(const QString& name);
    // Active layer, text style and dimension style (CLAYER, TEXTSTYLE, DIMSTYLE).
    Layer* activeLayer() const;
    void setActiveLayer(Layer* layer);
    TextStyle* activeTextStyle() const;
    void setActiveTextStyle(TextStyle* style);
    DimStyle* activeDimStyle() const;
    void setActiveDimStyle(DimStyle* style);

    // ---- Blocks ----
    // The block definition of that name (case ignored), layouts included, or nullptr.
    BlockDefinition* findBlock(const QString& name) const;
    // The block definition of that name; throws cad::NotFound.
    BlockDefinition* block(const QString& name) const;
    // All live block definitions in table order (model space and paper space first).
    std::vector<BlockDefinition*> blocks() const;
    // Their number, without building the list.
    int blockCount() const;
    // The live block definition at a 0-based table position; throws cad::NotFound outside
    // 0..blockCount-1.
    BlockDefinition* blockAt(int index) const;
    // The live block definitions from a table position on, in table order. Walks from the end of
    // the table, so it costs what it returns even after deletions.
    std::vector<BlockDefinition*> blocksFrom(int index) const;
    BlockDefinition* modelSpace() const { return modelSpace_; }
    BlockDefinition* paperSpace() const { return paperSpace_; }
    // Adds a block definition; throws cad::AlreadyExists for a taken name, cad::InvalidArgument for
    // an empty or invalid one. A name "*U", "*D" (a star and one letter) makes an anonymous block
    // with the next free number ("*U1", "*U2", ...).
    BlockDefinition* addBlock(const QString& name, const Point3& basePoint = {});
    // Renames a block definition and every reference to it; throws cad::AlreadyExists for a
    // taken name, cad::InvalidArgument for layouts or an invalid name, cad::Erased.
    void renameBlock(BlockDefinition* block, const QString& newName);
    // Deletes a block definition with its entities; throws cad::Failed while any live reference
    // (in any block) uses it and for model and paper space, cad::Erased when already deleted.
    void deleteBlock(BlockDefinition* block);
    // Number of live references to the block, in every block.
    int referenceCount(const BlockDefinition* block) const;

    // ---- Objects and handles ----
    // The live or erased object with that handle, or nullptr. Constant time.
    DbObject* objectByHandle(quint64 handle) const;
    // The entity with that hexadecimal handle, or nullptr (also for erased entities and for
    // handles of non-entities).
    Entity* entityByHandle(const QString& handle) const;
    // The entity with that handle; throws cad::NotFound (absent, erased, or not an entity).
    Entity* entity(const QString& handle) const;
    // The next handle the drawing will give ($HANDSEED).
    quint64 handleSeed() const { return nextHandle_; }
    // Gives the object a new handle and registers it (for objects the reader builds).
    void registerObject(DbObject* object, quint64 handle = 0);

    // ---- Creating entities; new entities go to the end of the block and take the current layer,
    // colour, linetype, lineweight and linetype scale (CLAYER, CECOLOR, CELTYPE, CELWEIGHT,
    // CELTSCALE). All throw cad::Erased when the block is erased.
    // A new entity of the kind with empty data; the caller fills the data.
    Entity* addEntity(BlockDefinition* block, EntityKind kind);
    Entity* addLine(BlockDefinition* block, const Point3& start, const Point3& end);
    Entity* addArc(BlockDefinition* block, const Point3& center, double radius, double startAngle,
                   double endAngle);
    Entity* addCircle(BlockDefinition* block, const Point3& center, double radius);
    Entity* addLwPolyline(BlockDefinition* block, const std::vector<Vertex>& vertices, bool closed = false);
    // Text in the current text style (TEXTSTYLE).
    Entity* addText(BlockDefinition* block, const QString& text, const Point3& position, double height);
    Entity* addMText(BlockDefinition* block, const Point3& position, double width, const QString& text);
    Entity* addPoint(BlockDefinition* block, const Point3& position);
    // Pattern type 0 or 1 both fill by the name ("SOLID", "ANSI31", ...); loops come later.
    Entity* addHatch(BlockDefinition* block, int patternType, const QString& patternName, bool associative);
    // Appends an outer loop made of the boundary entities (a circle, a closed polyline, a region,
    // a chain of lines and arcs); throws cad::InvalidArgument when they form no closed loop.
    void appendHatchLoop(Entity* hatch, const std::vector<Entity*>& boundary, bool outer = true);
    // Attribute definition (mode bits: 1 invisible, 2 constant, 4 verify, 8 preset).
    Entity* addAttributeDefinition(BlockDefinition* block, double height, int mode, const QString& prompt,
                                   const Point3& position, const QString& tag, const QString& value);
    // The boundary of a hatch loop as curves (0-based index): the loop's associated boundary
    // objects when they still exist, otherwise new lines, arcs and circles (edge loops) or a closed
    // polyline (polyline loops) added to `into`. Throws cad::NotFound for a bad index.
    std::vector<Entity*> hatchLoopCurves(Entity* hatch, int index, BlockDefinition* into);
    // Regions from closed curves: one region per closed loop found (circles, closed polylines,
    // chains of lines and arcs). Throws cad::InvalidArgument when no loop closes.
    std::vector<Entity*> addRegions(BlockDefinition* block, const std::vector<Entity*>& curves);
    Entity* addDimAligned(BlockDefinition* block, const Point3& ext1, const Point3& ext2,
                          const Point3& textPosition);
    Entity* addDimOrdinate(BlockDefinition* block, const Point3& definitionPoint, const Point3& leaderEnd,
                           bool useXAxis);
    // Inserts a reference to the block named; its attribute references are created from the
    // definition's attribute definitions with their default values (constant ones excepted).
    // Throws cad::NotFound for an absent block, cad::InvalidArgument for a zero scale.
    Entity* insertBlock(BlockDefinition* block, const Point3& position, const QString& name, double xScale,
                        double yScale, double zScale, double rotation);
    // Copies every block definition of another drawing that this one lacks (layouts excepted),
    // with the layers, linetypes and styles their entities use; returns the copied ones.
    std::vector<BlockDefinition*> importBlocks(const Database& other);
    // Copies a whole drawing's model space as a new block named `name` (insertion of a drawing
    // file), together with its other block definitions. Throws cad::AlreadyExists.
    BlockDefinition* importAsBlock(const Database& other, const QString& name);

    // ---- Changing entities ----
    // Moves the entity to another layer; throws cad::NotFound when the layer does not exist.
    void setLayer(Entity* entity, const QString& layer);
    // Points a reference at another block (keeps its attributes); throws cad::NotFound.
    void setReferenceBlock(Entity* reference, const QString& blockName);
    // Erases the entity (attribute references of a reference with it). Throws cad::Erased when
    // already erased; erasing an attribute reference alone throws cad::NotSupported.
    void erase(Entity* entity);
    // A copy in the same owner, added at its end (a reference's attributes copied too).
    Entity* copy(Entity* entity);
    // Copies of the entities added to the target block, at the same coordinates, in order.
    std::vector<Entity*> copyObjects(const std::vector<Entity*>& entities, BlockDefinition* target);
    // Applies a transform to the entity's geometry (attribute references of a reference too).
    void transform(Entity* entity, const Transform2D& t);
    // Moves by the vector to − from.
    void move(Entity* entity, const Point3& from, const Point3& to);
    // Rotates about a point (radians, counter-clockwise).
    void rotate(Entity* entity, const Point3& base, double angle);
    // Explodes into new entities of the same owner, leaving the original in place: polylines
    // give lines and arcs in drawing order; references give their block's entities transformed
    // (attribute definitions stay attribute definitions, constant ones included; attribute
    // references are not part of it); regions give lines and arcs. Throws cad::NotSupported
    // for kinds that cannot be exploded, cad::Failed for a non-uniformly scaled reference
    // holding arcs or circles.
    std::vector<Entity*> explode(Entity* entity);
    // Rectangular array copies of the entity (the original counts as row 0, column 0).
    std::vector<Entity*> arrayRectangular(Entity* entity, int rows, int columns, double rowSpacing,
                                          double columnSpacing);

    // ---- Geometry ----
    // Bounding box of the entity in world coordinates; texts from a font-metric estimate,
    // references from their block (invisible attributes not counted). Empty for an entity
    // without extent (an empty block). Nested references are measured as they are drawn: a block
    // inside itself, or nested deeper than MaxBlockNesting, adds nothing; `leftOut`, when given,
    // receives how many references were so left out.
    Box boundingBox(const Entity* entity, long long* leftOut = nullptr) const;
    // Start and end point of a line, arc or polyline; throws cad::NotSupported for others.
    Point3 startPoint(const Entity* entity) const;
    Point3 endPoint(const Entity* entity) const;

    // ---- Indexes (model space) ----
    // Live references in model space to blocks with that name (case ignored), in model-space order.
    std::vector<Entity*> referencesTo(const QString& blockName) const;
    // Whether model space holds a live reference to that block (without listing them).
    bool hasReferences(const QString& blockName) const;
    // Distinct block names referenced from model space (as written), for pattern matching.
    // Appends the live references of every referenced block whose name satisfies `matches` (each
    // block's in creation order) to `out`; returns how many blocks matched. One pass over the index,
    // copying no names.
    size_t collectReferences(const std::function<bool(QStringView)>& matches,
                             std::vector<Entity*>& out) const;
    std::vector<QString> referencedBlockNames() const;
    // Live model-space entities on the layer (case ignored), in model-space order.
    std::vector<Entity*> entitiesOnLayer(const QString& layer) const;

    // ---- Attributes ----
    // The live attribute references of a reference in order (empty for other kinds).
    std::vector<Entity*> attributes(const Entity* reference) const;

    // ---- Dictionaries and draw order ----
    // The root (named-object) dictionary.
    Dictionary* rootDictionary() const;
    // The extension dictionary of an object (model space: its block record); created when
    // `create` is true, else nullptr when absent.
    Dictionary* extensionDictionary(DbObject* object, bool create);
    // The object stored under a name in a dictionary, or nullptr.
    DbObject* dictionaryObject(const Dictionary* dictionary, const QString& name) const;
    // Adds an object under a name: classes "AcDbSortentsTable" (owner's draw order),
    // "AcDbDictionary", "AcDbXrecord". Returns the existing one when present. Throws
    // cad::NotSupported for another class.
    DbObject* addDictionaryObject(Dictionary* dictionary, const QString& name, const QString& className);
    // The block's draw-order table, created when `create` is true.
    SortentsTable* sortentsTable(BlockDefinition* block, bool create);
    // Live entities of a block in drawing order (last drawn on top).
    std::vector<Entity*> drawOrder(const BlockDefinition* block) const;
    // Brings the entities to the top (or bottom) of their block's draw order, keeping their order.
    void moveToTop(const std::vector<Entity*>& entities);
    void moveToBottom(const std::vector<Entity*>& entities);
    // Every live dictionary, sort table and raw object in file order (for the writer).
    std::vector<DbObject*> objects() const;
    // Adds a raw object (for the reader).
    RawObject* addRawObject(const QString& dxfName, quint64 handle);
    Dictionary* addDictionary(quint64 handle);
    SortentsTable* addSortentsTable(quint64 handle);
    // Sets which dictionary is the root (for the reader).
    void setRootDictionary(Dictionary* dictionary) { root_ = dictionary; }

    // ---- Undo ----
    // The drawing's undo history; it records once the drawing is handed to the user.
    UndoJournal& journal();

    // ---- Drawing properties ----
    SummaryInfo& summaryInfo() { return summary_; }
    // Handle of the "DWGPROPS" record that stores the properties in a file.
    quint64 summaryInfoHandle = 0;
    const SummaryInfo& summaryInfo() const { return summary_; }

    // ---- Reader support ----
    // Adds a block definition as read, without checks or defaults.
    BlockDefinition* adoptBlock(const QString& name, quint64 recordHandle);
    // Adds a table record as read.
    template <class T>
    T* adoptRecord(Table<T>& table, const QString& name, quint64 handle);
    // Appends an entity as read to a block (handle 0 gives a new one); attribute references go
    // to `reference` instead.
    Entity* adoptEntity(BlockDefinition* block, EntityKind kind, quint64 handle, Entity* reference = nullptr);
    // Sets an entity's layer name as read, without checks (the reader adds missing layers later).
    void setLayerRaw(Entity* entity, const QString& layer);
    // Flags a non-graphical object or table record erased (entities go through erase()).
    void eraseObject(DbObject* object);
    // Every entity, attribute references included, in creation order (erased ones too).
    std::vector<Entity*> allEntities() const;
    // Rebuilds the name and layer indexes (after reading, or after bulk changes).
    void rebuildIndexes();
    // Sets which blocks are model and paper space (after reading).
    void setLayouts(BlockDefinition* model, BlockDefinition* paper);
    // Changes a block's name without checks or reference updates (reader only).
    void setBlockNameRaw(BlockDefinition* block, const QString& name);
    // Ensures the handle counter is above every handle in use and at least `seed`.
    void raiseHandleSeed(quint64 seed);
    // Adds the records a drawing needs when a file lacked them (layer "0", "Standard" style,
    // linetypes, model and paper space, root dictionary).
    void ensureDefaults();

private:
    friend class UndoJournal;
    struct Impl;
    std::unique_ptr<Impl> d;
    Database(bool withDefaults);
    template <class T>
    T* newRecord(Table<T>& table, const QString& name, quint64 handle);
    Entity* newEntity(BlockDefinition* block, EntityKind kind, quint64 handle, Entity* reference);
    void applyCurrentProperties(Entity* e);
    // addEntity without the model-space indexes: for a caller that fills what they are keyed by.
    Entity* createEntity(BlockDefinition* block, EntityKind kind);
    Entity* cloneEntity(const Entity* source, BlockDefinition* target, Database& targetDb) const;
    void indexEntity(Entity* e);
    void unindexEntity(Entity* e);
    // The layer index alone (an entity moved to another layer keeps its place by block name).
    void indexLayer(Entity* e);
    void unindexLayer(Entity* e);
    static void indexAdd(EntityIndexList& list, Entity* e, quint32 Entity::*slot);
    static void indexRemove(EntityIndexList& list, Entity* e, quint32 Entity::*slot);

    std::vector<HeaderVariable> header_;
    Table<Layer> layers_;
    Table<Linetype> linetypes_;
    Table<TextStyle> textStyles_;
    Table<DimStyle> dimStyles_;
    Table<AppId> appIds_;
    Table<RawTableRecord> vports_, views_, ucss_, shapeStyles_;
    BlockDefinition* modelSpace_ = nullptr;
    BlockDefinition* paperSpace_ = nullptr;
    Dictionary* root_ = nullptr;
    SummaryInfo summary_;
    quint64 nextHandle_ = 0x20;
};

}  // namespace cad::db
