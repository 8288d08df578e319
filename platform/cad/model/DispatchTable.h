// One table per object kind: member name -> the code that reads, writes or invokes it.
// Both channels end here, so tests and the host take the same path through the model.
#pragma once

#include "platform/cad/Call.h"
#include "platform/cad/model/MemberIndex.h"

#include <QHash>
#include <initializer_list>
#include <span>
#include <vector>

namespace cad {

class ObjectModel;
struct ObjectRecord;

using Args = std::span<const Variant>;

// What a handler works on: the model, the addressed object's record and its id.
struct Target {
    ObjectModel& model;
    ObjectRecord& rec;
    ObjectId id;
};

using Handler = Variant (*)(Target&, Args);
// Whether a member's read can give a value for the object (a live one): false only where the read
// would certainly fail, so that a bulk read may leave an optional value empty without the failure.
using Applies = bool (*)(const ObjectRecord&);

// How a successful call changes what a view of the drawing shows, least first: nothing, only the
// look of what is shown (colours, layers, visibility, a redraw asked for), entities added to the
// addressed block, or anything.
enum class ViewChange : quint8 { None, Look, Added, Any };

class DispatchTable {
public:
    struct Entry {
        Handler get = nullptr;
        Handler put = nullptr;
        Handler method = nullptr;
        bool otherVendor = false;
        bool quiet = false;  // a method that reads or redraws but leaves the drawing as it was
        Applies applies = nullptr;  // none: the read is simply tried
        bool viewDeclared = false;  // `view` was declared; otherwise it follows from the change
        ViewChange view = ViewChange::Any;
        bool fixedAnswer = false;     // a getter whose answer never changes for its object
        bool renewsAnswers = false;   // a method after which its object's fixed answers may differ
        bool zoomsView = false;       // a method that asks the view to show a window of the drawing
    };

    explicit DispatchTable(QString interfaceName) : interfaceName_(std::move(interfaceName)) {}

    DispatchTable& get(const QString& name, Handler h) { return add(name).get = h, *this; }
    DispatchTable& put(const QString& name, Handler h) { return add(name).put = h, *this; }
    DispatchTable& method(const QString& name, Handler h) { return add(name).method = h, *this; }
    // A member only the other vendor's CAD offers: every use fails with NotSupported.
    DispatchTable& otherVendor(const QString& name) { return add(name).otherVendor = true, *this; }
    // Methods that leave the drawing unchanged (reads, picks, redraws); every other method and
    // every property write counts as a change that the user has not saved yet.
    DispatchTable& quiet(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            const int at = index_.find(QString::fromLatin1(n));
            Q_ASSERT_X(at >= 0, "DispatchTable::quiet", n);  // name the member after adding it
            if (at >= 0) entries_[size_t(at)].quiet = true;
        }
        return *this;
    }
    // Members whose reads fail for every object the predicate turns down (an arc's angles on a line).
    DispatchTable& onlyFor(std::initializer_list<const char*> names, Applies applies) {
        for (const char* n : names) {
            const int at = index_.find(QString::fromLatin1(n));
            Q_ASSERT_X(at >= 0, "DispatchTable::onlyFor", n);  // name the member after adding it
            if (at >= 0) entries_[size_t(at)].applies = applies;
        }
        return *this;
    }
    // A table whose members never change a drawing (the application, pickers, selection sets).
    DispatchTable& keepsDrawings() { return keepsDrawings_ = true, *this; }
    // How the named members change the view, whatever the table's rule says (a redraw that leaves
    // the drawing as it was still repaints it).
    DispatchTable& changesView(ViewChange change, std::initializer_list<const char*> names) {
        for (Entry* e : entriesNamed(names, "DispatchTable::changesView")) e->view = change, e->viewDeclared = true;
        return *this;
    }
    // A table whose objects only change how entities look (layers, linetypes, the drawing's
    // properties): every change through it repaints the look, never the entities' shapes.
    DispatchTable& changesOnlyLook() { return changes_ = ViewChange::Look, *this; }
    // Getters whose answer never changes for their object (a drawing's collections, its model
    // space, the application's documents): the calling side may keep the first answer.
    DispatchTable& fixedAnswers(std::initializer_list<const char*> names) {
        for (Entry* e : entriesNamed(names, "DispatchTable::fixedAnswers")) e->fixedAnswer = true;
        return *this;
    }
    // Methods after which their object's fixed answers may be others (a drawing read into a
    // database document has a new model space).
    DispatchTable& renewsAnswers(std::initializer_list<const char*> names) {
        for (Entry* e : entriesNamed(names, "DispatchTable::renewsAnswers")) e->renewsAnswers = true;
        return *this;
    }
    // Methods that ask the view to show a window of the drawing given by their first two points.
    DispatchTable& zoomsView(std::initializer_list<const char*> names) {
        for (Entry* e : entriesNamed(names, "DispatchTable::zoomsView")) e->zoomsView = true;
        return *this;
    }

    // Exact name first (the facade's spelling); late-bound callers may use any case.
    const Entry* find(const QString& member) const {
        if (const int at = index_.find(member); at >= 0) return &entries_[size_t(at)];
        auto low = folded_.constFind(member.toLower());
        return low == folded_.constEnd() ? nullptr : &entries_[size_t(index_.find(low.value()))];
    }

    // The interface type name the automation reports ("IAcadBlock", "IAcadLayer", ...).
    const QString& interfaceName() const { return interfaceName_; }

    // Whether a successful call of the member changes the drawing (clears the document's "saved").
    bool changesDrawing(const QString& member, CallKind kind) const { return changesDrawing(find(member), kind); }
    // The same for the member's entry as find() gave it (nullptr: no such member).
    bool changesDrawing(const Entry* e, CallKind kind) const;
    // How a successful call of the member changes the view.
    ViewChange viewChange(const Entry* e, CallKind kind) const;

    // Every member with its entry, in the order added.
    template <class F>
    void forEachMember(F&& f) const {
        for (int i = 0; i < int(entries_.size()); ++i) f(index_.name(i), entries_[size_t(i)]);
    }

    // Runs the member; raises NotFound for an unknown member, NotSupported for a wrong kind of access.
    Variant dispatch(Target& t, const QString& member, CallKind kind, Args args) const {
        return dispatch(t, find(member), member, kind, args);
    }
    // The same for the member's entry as find() gave it, so that a caller looks the name up once.
    Variant dispatch(Target& t, const Entry* e, const QString& member, CallKind kind, Args args) const;

private:
    std::vector<Entry*> entriesNamed(std::initializer_list<const char*> names, const char* declaring) {
        (void)declaring;  // named only by the check, absent from release builds
        std::vector<Entry*> out;
        for (const char* n : names) {
            const int at = index_.find(QString::fromLatin1(n));
            Q_ASSERT_X(at >= 0, declaring, n);  // name the member after adding it
            if (at >= 0) out.push_back(&entries_[size_t(at)]);
        }
        return out;
    }
    Entry& add(const QString& name) {
        if (const int at = index_.find(name); at >= 0) return entries_[size_t(at)];
        folded_.insert(name.toLower(), name);
        index_.add(name);
        return entries_.emplace_back();
    }

    QString interfaceName_;
    bool keepsDrawings_ = false;
    ViewChange changes_ = ViewChange::Any;  // what a change through this table does to the view
    MemberIndex index_;           // exact spelling -> position in entries_
    std::vector<Entry> entries_;  // in the order added; not added to once the table is built
    QHash<QString, QString> folded_;
};

// The traits the calling side of a channel reads by member name alone, gathered from every
// table's declarations (it never sees an object's kind).
// A getter whose answer never changes for its object: declared so in every table that has it.
bool AnswersFixedObject(const QString& member);
// A method after which its object's fixed answers are to be asked again (case ignored).
bool RenewsFixedAnswers(const QString& member);

// Argument access with the automation's messages.
const Variant& Arg(Args args, qsizetype i);
inline bool HasArg(Args args, qsizetype i) {
    return qsizetype(args.size()) > i && !args[i].isEmpty();
}

}  // namespace cad
