// The channel between the typed facade and the object model. The facade only ever names objects
// by id and members by name, so the model may live in this process or behind a local socket.
#pragma once

#include "platform/cad/Call.h"

#include <span>

namespace cad {

// The id of the application object; every other object is reached from it.
constexpr ObjectId ApplicationId = 1;

class Channel {
public:
    virtual ~Channel() = default;
    // Performs one call; failures arrive as the typed exceptions of Errors.h.
    virtual Variant call(ObjectId object, const QString& member, CallKind kind,
                         std::span<const Variant> args) = 0;
};

}  // namespace cad
