// The object model in the engine's process: open documents, the registry that gives every object
// an id, and the entry point through which both channels reach the dispatch tables.
// In the host: one ObjectModel; setInteraction(the drawing window); each call arriving on the
// socket is answered with handle(call). The window answers commandInput() with Input::none()
// until the user acts, then calls pumpCommands() (the model's own timer also pumps).
#pragma once

#include "platform/cad/Call.h"
#include "platform/cad/model/DispatchTable.h"
#include "platform/cad/model/Interaction.h"

#include <QHash>
#include <QSet>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <vector>

namespace cad::db {
class Database;
class DbObject;
class Entity;
class BlockDefinition;
}  // namespace cad::db

class QTimer;

namespace cad {

class CommandProcessor;

// The object kinds; one dispatch table each.
enum class Kind : quint8 {
    Application,
    State,
    Documents,
    Document,
    DatabaseDocument,
    Block,
    Blocks,
    Layers,
    Layer,
    Linetypes,
    Linetype,
    TextStyles,
    TextStyle,
    DimStyles,
    DimStyle,
    SelectionSets,
    SelectionSet,
    Utility,
    SummaryInfo,
    Dictionary,
    SortentsTable,
    Color,
    Entity,
    DynamicProperty,
    RawObject,
    Count
};

struct DocumentState;

// A named selection set of one document. A deleted set is removed from its document; its id then
// stands for nothing (ObjectRecord::selection is cleared) and every use fails with Erased.
struct SelectionSetState {
    QString name;
    std::vector<db::Entity*> members;
    ObjectId id = 0;
};

// A document's selection sets in order of creation, found by name (case ignored) in constant time.
class SelectionSetList {
public:
    using List = std::list<SelectionSetState>;
    SelectionSetState* find(const QString& name);
    SelectionSetState& add(const QString& name);
    void remove(SelectionSetState* set);
    size_t size() const { return sets_.size(); }
    List::iterator begin() { return sets_.begin(); }
    List::iterator end() { return sets_.end(); }

private:
    static QString key(const QString& name) { return name.toCaseFolded(); }
    List sets_;
    QHash<QString, List::iterator> byName_;
};

// A true-colour object.
struct ColorState {
    int aci = 256;
    int rgb = -1;  // 0xRRGGBB, -1 when the colour is an index
};

// What an id stands for. Engine objects stay allocated when erased, so a record may keep a
// pointer to them; closing a document clears `doc` and with it every use.
struct ObjectRecord {
    Kind kind = Kind::Application;
    DocumentState* doc = nullptr;
    db::DbObject* object = nullptr;
    SelectionSetState* selection = nullptr;
    ColorState* color = nullptr;
    int index = 0;  // dynamic property index
    bool closed = false;
};

// The ids given to one drawing's engine objects, found by handle. A drawing gives its handles in
// order, so nearly all of them index a vector; one far beyond the others (a drawing read from a
// file may have some) is kept in a hash.
class EngineObjectIds {
public:
    // The id slot of the object with that handle, 0 until an id is given.
    ObjectId& operator[](quint64 handle) {
        if (handle < dense_.size()) return dense_[handle];
        if (handle > 2 * dense_.size() + 4096) return sparse_[handle];
        grow(handle);
        return dense_[handle];
    }
    void clear() {
        dense_ = {};
        sparse_.clear();
    }

private:
    void grow(quint64 handle);
    std::vector<ObjectId> dense_;
    QHash<quint64, ObjectId> sparse_;
};

// One open drawing (or a drawing opened read-only through the database-document class).
struct DocumentState {
    std::unique_ptr<db::Database> db;
    QString name;      // "Rysunek1.dwg" for a new drawing
    QString fullName;  // empty until saved or opened
    bool readOnly = false;
    bool isDatabaseDocument = false;
    bool saved = true;  // cleared by every member that changes the drawing, set by Save/SaveAs
    ObjectId id = 0;
    ObjectId blocksId = 0, layersId = 0, linetypesId = 0, textStylesId = 0, dimStylesId = 0,
             selectionSetsId = 0, summaryId = 0, utilityId = 0;
    SelectionSetList selectionSets;
    int initBits = 0;  // InitializeUserInput in force for the next pick
    QString keywords;
    Point lastPoint;    // LASTPOINT: the last point the user entered
    QString lastInput;  // the keyword of the last pick (Utility.GetInput)
    // Handles of the entities shown highlighted (Entity.HighLight): a look of the view, never
    // written to the file. An attribute reference counts as its block reference.
    QSet<quint64> highlighted;
    // The ids given to the drawing's engine objects, so that an object keeps one id however it is
    // reached; emptied when the drawing's objects are released.
    EngineObjectIds ids;
};

class ObjectModel {
public:
    ObjectModel();
    ~ObjectModel();
    ObjectModel(const ObjectModel&) = delete;
    ObjectModel& operator=(const ObjectModel&) = delete;

    // The late-bound call; throws the typed exceptions.
    Variant invoke(ObjectId object, const QString& member, CallKind kind, Args args);
    // The same for a call that arrived as bytes: failures become the answer.
    Reply handle(const Call& call) noexcept;

    // ---- Registry ----
    ObjectRecord& record(ObjectId id);
    ObjectId idOf(Kind kind, DocumentState* doc, db::DbObject* object);
    ObjectId entityId(DocumentState* doc, db::Entity* e);
    ObjectId blockId(DocumentState* doc, db::BlockDefinition* b);
    ObjectId newRecord(const ObjectRecord& r);
    Variant ref(ObjectId id) const { return Variant(ObjectRef{id}); }
    // The live engine entity of an entity reference, checked for the right document.
    db::Entity* entityOf(const Variant& v, DocumentState* doc = nullptr);
    db::BlockDefinition* blockOf(const Variant& v);

    // ---- Documents ----
    // Registers a drawing; an ordinary one joins the open documents and becomes active.
    DocumentState* addDocument(std::unique_ptr<db::Database> db, const QString& name, const QString& fullName,
                               bool databaseDocument = false);
    void closeDocument(DocumentState* doc);
    // Ends every reference into the document's engine objects (its drawing is replaced or closed).
    void releaseEngineObjects(DocumentState* doc);
    DocumentState* activeDocument() const { return active_; }
    void setActiveDocument(DocumentState* doc) { active_ = doc; }
    const std::vector<DocumentState*>& documents() const { return order_; }
    int untitledCounter = 0;

    // ---- Application state ----
    bool visible = false;
    int windowState = 1;
    int raiseRequests = 0;   // RaiseDrawingWindow calls (the host raises its window)
    int updateRequests = 0;  // Update / Regen calls
    QString lastPrompt;
    ObjectId stateId = 0;
    ObjectId documentsId = 0;

    // ---- Interaction and commands ----
    void setInteraction(InteractionProvider* provider) { interaction_ = provider; }
    InteractionProvider* interaction() const { return interaction_; }
    CommandProcessor& commands() { return *commands_; }
    // Advances a running command as far as its inputs go; true when it changed anything.
    bool pumpCommands();
    // Drives pumpCommands from the event loop while a command runs (on by default).
    void setAutoPump(bool on) { autoPump_ = on; }
    void startPumpTimer();
    // Told whenever the timer advanced a command (it asked, drew, ended or failed), so that a window
    // follows it without watching the model.
    void setCommandsAdvanced(std::function<void()> advanced) { commandsAdvanced_ = std::move(advanced); }

    // ---- Undo ----
    // Every change made through the model is recorded in its drawing's history and gathered into
    // one step until the step is ended: the host ends it when the user's command ends and when
    // the programs have gone quiet; in-process callers end it themselves.
    void closeUndoSteps();
    // Undoes or redoes one step of the drawing (the open one first); false when there is none.
    bool undo(DocumentState* doc);
    bool redo(DocumentState* doc);

    // A pick for a program: asks the provider; Cancel and no answer raise Cancelled.
    Input pick(DocumentState* doc, InputRequest request);

    const DispatchTable& table(Kind kind) const { return *tables_[size_t(kind)]; }

private:
    std::deque<ObjectRecord> records_;  // stable while handlers add records; an object's id is in its document
    std::vector<std::unique_ptr<DocumentState>> docs_;
    std::vector<DocumentState*> order_;
    DocumentState* active_ = nullptr;
    std::list<ColorState> colors_;
    std::vector<std::unique_ptr<DispatchTable>> tables_;
    InteractionProvider* interaction_ = nullptr;
    std::unique_ptr<CommandProcessor> commands_;
    QTimer* timer_ = nullptr;
    bool autoPump_ = true;
    std::function<void()> commandsAdvanced_;

    friend ColorState* NewColor(ObjectModel& m);
};

ColorState* NewColor(ObjectModel& m);

}  // namespace cad
