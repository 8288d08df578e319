// The channel between the typed facade and the object model. The facade only ever names objects
// by id and members by name, so the model may live in this process or behind a local socket.
#pragma once

#include "platform/cad/Call.h"

#include <span>

namespace cad {

// The id of the application object; every other object is reached from it.
constexpr ObjectId ApplicationId = 1;

// Ids with this bit set are provisional: a channel that holds back a call making a new object
// answers it at once with such an id, which the serving side maps to the object once made.
constexpr ObjectId ProvisionalIdBit = ObjectId(1) << 63;
inline bool IsProvisionalId(ObjectId id) {
    return (id & ProvisionalIdBit) != 0;
}

class Channel {
public:
    virtual ~Channel() = default;
    // Performs one call; failures arrive as the typed exceptions of Errors.h.
    virtual Variant call(ObjectId object, const QString& member, CallKind kind,
                         std::span<const Variant> args) = 0;

    // A call whose answer the caller does not need (a property set, Update, Delete). Inside a
    // deferral scope (see DeferredCalls.h) a channel may hold it back and send it ahead of the
    // next call that needs an answer; its failure is then thrown there. Otherwise a plain call.
    virtual void post(ObjectId object, const QString& member, CallKind kind, std::span<const Variant> args) {
        call(object, member, kind, args);
    }
    // A call that makes a new object the caller uses only as a handle for later calls. Inside a
    // scope that allows it, a channel may hold it back too and answer with a provisional id.
    virtual Variant create(ObjectId object, const QString& member, CallKind kind,
                           std::span<const Variant> args) {
        return call(object, member, kind, args);
    }

    // The deferral scope, nested. Leaving the outermost one sends what is held and throws the
    // failure of any of it, unless `quietly` (another exception is already on its way).
    virtual void beginDeferring(bool provisionalObjects) { (void)provisionalObjects; }
    virtual void endDeferring(bool quietly) { (void)quietly; }
    // Sends what is held now and throws the failure of any of it.
    virtual void flushDeferred() {}
};

}  // namespace cad
