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

// What the code inside a deferral scope (DeferredCalls.h) promises about the calls it makes, and
// so what a channel may do with them. Each call is held under the mode of the innermost scope
// open when it is made; on a channel that runs every call at once the mode changes nothing.
struct DeferralMode {
    // The code uses the objects its making calls give only as handles for later calls made in
    // the same scope: a channel may hold those calls back too and answer with provisional ids.
    bool newObjects = false;
    // The code traps and ignores the failure of each of its calls: a failure held back is dropped
    // and the calls after it still run. Otherwise a failure reaches the caller as its typed
    // exception, at the latest when its scope ends, and stops the calls after it.
    bool failuresIgnored = false;
};

class Channel {
public:
    virtual ~Channel() = default;
    // Performs one call; failures arrive as the typed exceptions of Errors.h.
    virtual Variant call(ObjectId object, const QString& member, CallKind kind,
                         std::span<const Variant> args) = 0;

    // A call whose answer the caller does not need (a property set, Update, Delete). Inside a
    // deferral scope a channel may hold it back and send it ahead of the next call that needs an
    // answer; a failure it reports is then thrown there. Otherwise a plain call.
    virtual void post(ObjectId object, const QString& member, CallKind kind, std::span<const Variant> args) {
        call(object, member, kind, args);
    }
    // A call that makes a new object the caller uses only as a handle for later calls. Inside a
    // scope whose mode allows it, a channel may hold it back too and answer with a provisional id.
    virtual Variant create(ObjectId object, const QString& member, CallKind kind,
                           std::span<const Variant> args) {
        return call(object, member, kind, args);
    }

    // A deferral scope opens with its mode; scopes nest. Ending one sends what is held and throws
    // the failure the held calls report, unless `quietly` (another exception is already on its way).
    virtual void beginDeferring(DeferralMode mode) { (void)mode; }
    virtual void endDeferring(bool quietly) { (void)quietly; }
    // Sends what is held now and throws the failure the held calls report.
    virtual void flushDeferred() {}
};

}  // namespace cad
