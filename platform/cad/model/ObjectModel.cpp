// The registry of ids, the open documents and the common checks made before every member runs.
#include "platform/cad/model/ObjectModel.h"

#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/UndoJournal.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/Support.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace cad {

ObjectModel::ObjectModel() : commands_(std::make_unique<CommandProcessor>(*this)) {
    tables_.resize(size_t(Kind::Count));
    tables_[size_t(Kind::Application)] = MakeApplicationTable();
    tables_[size_t(Kind::State)] = MakeStateTable();
    tables_[size_t(Kind::Documents)] = MakeDocumentsTable();
    tables_[size_t(Kind::Document)] = MakeDocumentTable();
    tables_[size_t(Kind::DatabaseDocument)] = MakeDatabaseDocumentTable();
    tables_[size_t(Kind::Block)] = MakeBlockTable();
    tables_[size_t(Kind::Blocks)] = MakeBlocksTable();
    tables_[size_t(Kind::Layers)] = MakeLayersTable();
    tables_[size_t(Kind::Layer)] = MakeLayerTable();
    tables_[size_t(Kind::Linetypes)] = MakeLinetypesTable();
    tables_[size_t(Kind::Linetype)] = MakeLinetypeTable();
    tables_[size_t(Kind::TextStyles)] = MakeTextStylesTable();
    tables_[size_t(Kind::TextStyle)] = MakeTextStyleTable();
    tables_[size_t(Kind::DimStyles)] = MakeDimStylesTable();
    tables_[size_t(Kind::DimStyle)] = MakeDimStyleTable();
    tables_[size_t(Kind::SelectionSets)] = MakeSelectionSetsTable();
    tables_[size_t(Kind::SelectionSet)] = MakeSelectionSetTable();
    tables_[size_t(Kind::Utility)] = MakeUtilityTable();
    tables_[size_t(Kind::SummaryInfo)] = MakeSummaryInfoTable();
    tables_[size_t(Kind::Dictionary)] = MakeDictionaryTable();
    tables_[size_t(Kind::SortentsTable)] = MakeSortentsTable();
    tables_[size_t(Kind::Color)] = MakeColorTable();
    tables_[size_t(Kind::Entity)] = MakeEntityTable();
    tables_[size_t(Kind::DynamicProperty)] = MakeDynamicPropertyTable();
    tables_[size_t(Kind::RawObject)] = MakeRawObjectTable();

    records_.emplace_back();  // id 0: nothing
    ObjectRecord app;
    app.kind = Kind::Application;
    newRecord(app);  // id 1 == ApplicationId
    ObjectRecord r;
    r.kind = Kind::State;
    stateId = newRecord(r);
    r.kind = Kind::Documents;
    documentsId = newRecord(r);
}

ObjectModel::~ObjectModel() {
    delete timer_;
}

ObjectId ObjectModel::newRecord(const ObjectRecord& r) {
    records_.push_back(r);
    return ObjectId(records_.size() - 1);
}

ObjectRecord& ObjectModel::record(ObjectId id) {
    if (id == 0 || id >= records_.size()) throw Failed(QStringLiteral("Brak obiektu o identyfikatorze %1").arg(id));
    return records_[id];
}

void EngineObjectIds::grow(quint64 handle) {
    dense_.resize(std::max<size_t>(handle + 1, 2 * dense_.size()));
    // Ids kept in the hash for handles the vector now reaches move into it.
    for (auto it = sparse_.begin(); it != sparse_.end();)
        if (it.key() < dense_.size()) {
            dense_[it.key()] = it.value();
            it = sparse_.erase(it);
        } else {
            ++it;
        }
}

ObjectId ObjectModel::idOf(Kind kind, DocumentState* doc, db::DbObject* object) {
    // Ids are kept by the drawing that holds the object: its handle names another object elsewhere.
    if (object->database() != doc->db.get())
        for (const auto& other : docs_)
            if (other->db.get() == object->database()) {
                doc = other.get();
                break;
            }
    ObjectId& id = doc->ids[object->handle()];  // one look-up whether the object has an id or not
    if (id != 0) return id;
    ObjectRecord r;
    r.kind = kind;
    r.doc = doc;
    r.object = object;
    id = newRecord(r);
    return id;
}

ObjectId ObjectModel::entityId(DocumentState* doc, db::Entity* e) {
    return idOf(Kind::Entity, doc, e);
}
ObjectId ObjectModel::blockId(DocumentState* doc, db::BlockDefinition* b) {
    return idOf(Kind::Block, doc, b);
}

db::Entity* ObjectModel::entityOf(const Variant& v, DocumentState* doc) {
    ObjectRecord& r = record(v.toObject());
    if (r.kind != Kind::Entity) throw InvalidArgument(QStringLiteral("Oczekiwano obiektu rysunku"));
    if (r.closed) throw Erased(QStringLiteral("Rysunek obiektu jest zamknięty"));
    if (doc && r.doc != doc) throw InvalidArgument(QStringLiteral("Obiekt należy do innego rysunku"));
    auto* e = static_cast<db::Entity*>(r.object);
    e->checkAlive();
    return e;
}

db::BlockDefinition* ObjectModel::blockOf(const Variant& v) {
    ObjectRecord& r = record(v.toObject());
    if (r.kind != Kind::Block) throw InvalidArgument(QStringLiteral("Oczekiwano definicji bloku"));
    if (r.closed) throw Erased(QStringLiteral("Rysunek bloku jest zamknięty"));
    r.object->checkAlive();
    return static_cast<db::BlockDefinition*>(r.object);
}

Variant ObjectModel::invoke(ObjectId object, const QString& member, CallKind kind, Args args) {
    ObjectRecord& r = record(object);
    if (r.closed) throw Erased(QStringLiteral("Obiekt został zwolniony: jego rysunek jest zamknięty"));
    if (r.object && r.object->isErased()) throw Erased(QStringLiteral("Obiekt został usunięty"));
    if (r.kind == Kind::SelectionSet && !r.selection)
        throw Erased(QStringLiteral("Zbiór wskazań został usunięty"));
    const DispatchTable& tb = table(r.kind);
    // The length first: every call passes here, and the library compares the texts out of line.
    if (member.size() == 8 && member == QLatin1String("TypeName")) {
        if (r.kind == Kind::Block) {
            auto* b = static_cast<db::BlockDefinition*>(r.object);
            if (b->isModelSpace()) return Variant(QStringLiteral("IAcadModelSpace"));
            if (b->isLayout()) return Variant(QStringLiteral("IAcadPaperSpace"));
        }
        if (r.kind == Kind::Entity)
            return Variant(QStringLiteral("IAcad") + static_cast<db::Entity*>(r.object)->objectName().mid(4));
        return Variant(tb.interfaceName());
    }
    Target t{*this, r, object};
    DocumentState* doc = r.doc;
    const DispatchTable::Entry* entry = tb.find(member);
    const bool changes = doc && !doc->isDatabaseDocument && tb.changesDrawing(entry, kind);
    // What the drawing reports of the call tells whether it changed anything: adding a block or a
    // layer under a name the drawing already has returns the one there and changes nothing.
    const bool recording = changes && doc->db->journal().isRecording();
    const quint64 noticed = recording ? doc->db->journal().notices() : 0;
    // The object's state as it was is kept for undo before the member changes it (once a step);
    // what the member creates, erases or changes elsewhere in the drawing records itself.
    if (changes && !r.closed) {
        if (r.object)
            doc->db->journal().willModify(r.object);
        else if (r.kind == Kind::SummaryInfo)
            doc->db->journal().willModifySummary();
    }
    Variant result = tb.dispatch(t, entry, member, kind, args);
    // Any change made through the model leaves the drawing unsaved, whoever made it.
    if (changes && (!recording || doc->db->journal().notices() != noticed)) doc->saved = false;
    return result;
}

Reply ObjectModel::handle(const Call& call) noexcept {
    Reply reply;
    try {
        reply.result = invoke(call.object, call.member, call.kind, Args(call.args.data(), call.args.size()));
    } catch (const Error& e) {
        reply.failed = true;
        reply.errorKind = e.kind();
        reply.message = e.message();
    } catch (const std::exception& e) {
        reply.failed = true;
        reply.errorKind = Error::FailedKind;
        reply.message = ForeignFailureMessage(e);
    }
    return reply;
}

DocumentState* ObjectModel::addDocument(std::unique_ptr<db::Database> database, const QString& name,
                                        const QString& fullName, bool databaseDocument) {
    auto doc = std::make_unique<DocumentState>();
    doc->db = std::move(database);
    doc->name = name;
    doc->fullName = fullName;
    DocumentState* d = doc.get();
    ObjectRecord r;
    r.doc = d;
    d->isDatabaseDocument = databaseDocument;
    d->readOnly = databaseDocument;
    // The document and its fixed sub-objects, registered in this order.
    auto record = [&](Kind kind) {
        r.kind = kind;
        return newRecord(r);
    };
    d->id = record(databaseDocument ? Kind::DatabaseDocument : Kind::Document);
    d->blocksId = record(Kind::Blocks);
    d->layersId = record(Kind::Layers);
    d->linetypesId = record(Kind::Linetypes);
    d->textStylesId = record(Kind::TextStyles);
    d->dimStylesId = record(Kind::DimStyles);
    d->selectionSetsId = record(Kind::SelectionSets);
    d->summaryId = record(Kind::SummaryInfo);
    d->utilityId = record(Kind::Utility);
    docs_.push_back(std::move(doc));
    if (!databaseDocument) {
        d->db->journal().setRecording(true);
        order_.push_back(d);
        active_ = d;  // a drawing added or opened becomes the active one
    }
    return d;
}

void ObjectModel::releaseEngineObjects(DocumentState* doc) {
    // The objects' ids stand for nothing from now on; the drawing's objects, if it stays open
    // with another drawing read into it, get new ones.
    for (ObjectRecord& r : records_)
        if (r.doc == doc && r.object) r.closed = true;
    doc->ids.clear();
}

void ObjectModel::closeDocument(DocumentState* doc) {
    commands_->documentClosed(doc);
    releaseEngineObjects(doc);
    for (ObjectRecord& r : records_)
        if (r.doc == doc) r.closed = true;
    std::erase(order_, doc);
    if (active_ == doc) active_ = order_.empty() ? nullptr : order_.back();
    std::erase_if(docs_, [doc](const auto& p) { return p.get() == doc; });
}

Input ObjectModel::pick(DocumentState* doc, InputRequest request) {
    request.initBits = doc->initBits;
    request.keywords = doc->keywords;
    doc->initBits = 0;  // InitializeUserInput applies to the next pick only
    doc->keywords.clear();
    if (!interaction_) throw Failed(QStringLiteral("Nic nie obsługuje wskazań"));
    lastPrompt = request.prompt;
    const Input in = interaction_->pick(request);
    if (in.kind == Input::None || in.kind == Input::Cancel) {
        lastPrompt = QStringLiteral("*Cancel*");
        throw Cancelled(QStringLiteral("Wskazywanie anulowano"));
    }
    if (in.kind == Input::PointInput || in.kind == Input::EntityInput) doc->lastPoint = in.point;
    return in;
}

void ObjectModel::closeUndoSteps() {
    for (DocumentState* d : order_) d->db->journal().closeStep();
}

bool ObjectModel::undo(DocumentState* doc) {
    if (!doc || doc->isDatabaseDocument || !doc->db->journal().undo()) return false;
    doc->saved = false;
    return true;
}

bool ObjectModel::redo(DocumentState* doc) {
    if (!doc || doc->isDatabaseDocument || !doc->db->journal().redo()) return false;
    doc->saved = false;
    return true;
}

bool ObjectModel::pumpCommands() {
    return commands_->pump();
}

void ObjectModel::startPumpTimer() {
    if (!autoPump_ || !QCoreApplication::instance()) return;
    if (!timer_) {
        timer_ = new QTimer();
        timer_->setInterval(10);
        QObject::connect(timer_, &QTimer::timeout, [this] {
            const bool advanced = commands_->pump();
            if (commands_->isQuiescent()) timer_->stop();
            if (advanced && commandsAdvanced_) commandsAdvanced_();
        });
    }
    if (!timer_->isActive()) timer_->start();
}

SelectionSetState* SelectionSetList::find(const QString& name) {
    auto it = byName_.constFind(key(name));
    return it == byName_.constEnd() ? nullptr : &*it.value();
}

SelectionSetState& SelectionSetList::add(const QString& name) {
    auto it = sets_.insert(sets_.end(), SelectionSetState{});
    it->name = name;
    byName_.insert(key(name), it);
    return *it;
}

void SelectionSetList::remove(SelectionSetState* set) {
    auto found = byName_.find(key(set->name));
    if (found == byName_.end() || &*found.value() != set) return;
    sets_.erase(found.value());
    byName_.erase(found);
}

ColorState* NewColor(ObjectModel& m) {
    return &m.colors_.emplace_back();
}

}  // namespace cad
