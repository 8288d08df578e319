// One table per object kind: member name -> the code that reads, writes or invokes it.
// Both channels end here, so tests and the host take the same path through the model.
#pragma once

#include "platform/cad/Call.h"

#include <QHash>
#include <span>

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

class DispatchTable {
public:
    struct Entry {
        Handler get = nullptr;
        Handler put = nullptr;
        Handler method = nullptr;
        bool otherVendor = false;
    };

    explicit DispatchTable(QString interfaceName) : interfaceName_(std::move(interfaceName)) {}

    DispatchTable& get(const QString& name, Handler h) { return add(name).get = h, *this; }
    DispatchTable& put(const QString& name, Handler h) { return add(name).put = h, *this; }
    DispatchTable& method(const QString& name, Handler h) { return add(name).method = h, *this; }
    // A member only the other vendor's CAD offers: every use fails with NotSupported.
    DispatchTable& otherVendor(const QString& name) { return add(name).otherVendor = true, *this; }

    // Exact name first (the facade's spelling); late-bound callers may use any case.
    const Entry* find(const QString& member) const {
        auto it = exact_.constFind(member);
        if (it != exact_.constEnd()) return &it.value();
        auto low = folded_.constFind(member.toLower());
        return low == folded_.constEnd() ? nullptr : &exact_.find(low.value()).value();
    }

    // The interface type name the automation reports ("IAcadBlock", "IAcadLayer", ...).
    const QString& interfaceName() const { return interfaceName_; }

    // Runs the member; raises NotFound for an unknown member, NotSupported for a wrong kind of access.
    Variant dispatch(Target& t, const QString& member, CallKind kind, Args args) const;

private:
    Entry& add(const QString& name) {
        folded_.insert(name.toLower(), name);
        return exact_[name];
    }

    QString interfaceName_;
    QHash<QString, Entry> exact_;
    QHash<QString, QString> folded_;
};

// Argument access with the automation's messages.
const Variant& Arg(Args args, qsizetype i);
inline bool HasArg(Args args, qsizetype i) { return qsizetype(args.size()) > i && !args[i].isEmpty(); }

}  // namespace cad
