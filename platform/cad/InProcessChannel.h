// The channel that calls the object model directly, in the same process (tests, and the host's
// own use of its model). Nothing is copied: arguments are passed through as they are.
// Every call runs at once, so a deferral scope's mode changes nothing here: a failure is thrown by
// the call that fails, into the caller's trap where the scope ignores failures, and new objects
// are the objects themselves.
#pragma once

#include "platform/cad/Channel.h"
#include "platform/cad/model/ObjectModel.h"

namespace cad {

class InProcessChannel : public Channel {
public:
    explicit InProcessChannel(ObjectModel& model) : model_(model) {}
    Variant call(ObjectId object, const QString& member, CallKind kind,
                 std::span<const Variant> args) override {
        return model_.invoke(object, member, kind, args);
    }
    ObjectModel& model() const { return model_; }

private:
    ObjectModel& model_;
};

}  // namespace cad
