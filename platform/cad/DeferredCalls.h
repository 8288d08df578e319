// A scope in which calls that answer nothing (and, with NewObjectsToo, calls that make objects)
// may be held back by the channel and sent together with the next call that needs an answer.
// On a channel that runs each call at once the scope changes nothing; the code inside it must be
// right either way, which the rules below keep.
//
// With FailuresReported (the default) a failed call stops the calls after it, as if its typed
// exception had been thrown where it happened, and that exception reaches the caller: thrown by
// the call itself, by the next call that needs an answer, by flush(), or at the latest when the
// scope ends. So inside the scope, flush() before any code that traps CAD errors itself, or it
// would trap a failure that is not its own.
//
// With NewObjectsToo the members that make objects (Add..., InsertBlock, Copy) may answer with a
// provisional id: use their results only as handles for later calls in the scope (never compare
// their ids), and not after it ends.
//
// With FailuresIgnored the scope stands for code that traps and ignores the failure of each of its
// calls (a drawing step the CAD refuses is left out): the failure is thrown into the code's own
// trap, or dropped if the call was held, and the calls after it still run (those on an object that
// was never made failing, and ignored, in turn). A failure the enclosing code reports is thrown
// when such a scope opens, before any of its traps could catch it.
//
// Scopes nest, each with its own mode: a call is held under the mode of the innermost scope open
// when it is made, and a scope's end sends what it holds.
#pragma once

#include "platform/cad/Object.h"

#include <exception>

namespace cad {

class DeferredCalls {
public:
    enum Objects { CallsOnly, NewObjectsToo };
    enum Failures { FailuresReported, FailuresIgnored };

    // Any object of the channel to defer on; a null object makes the scope do nothing.
    explicit DeferredCalls(const Object& through, Objects objects = CallsOnly,
                           Failures failures = FailuresReported)
        : ch_(through.channel()), exceptions_(std::uncaught_exceptions()) {
        if (ch_) ch_->beginDeferring(DeferralMode{objects == NewObjectsToo, failures == FailuresIgnored});
    }
    // Sends what is held; throws its failure unless the scope is left by another exception.
    ~DeferredCalls() noexcept(false) {
        if (ch_) ch_->endDeferring(std::uncaught_exceptions() > exceptions_);
    }
    DeferredCalls(const DeferredCalls&) = delete;
    DeferredCalls& operator=(const DeferredCalls&) = delete;

    void flush() const {
        if (ch_) ch_->flushDeferred();
    }

private:
    Channel* ch_;
    int exceptions_;
};

}  // namespace cad
