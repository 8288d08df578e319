// A scope in which calls that answer nothing are sent together: over the socket they travel in
// one write with the next call that needs an answer, instead of one round trip each.
//
// A held call that fails stops the calls after it (the host runs none of them, as if the failure
// had been thrown where it happened) and its typed exception is thrown by the next call that needs
// an answer, by flush(), or when the scope ends. So inside the scope, flush() before any code that
// traps CAD errors itself, or it would trap a failure that is not its own.
//
// With NewObjectsToo, the members that make objects (Add..., InsertBlock, Copy) are held back as well and
// answer with a provisional id; use their results only as handles for later calls in the scope
// (never compare their ids), and not after it ends.
//
// With FailuresIgnored the scope stands for code that traps and ignores the failure of each of its
// calls (a drawing step the CAD refuses is left out): a held call's failure is dropped, and the
// calls after it still run, those on an object that was never made failing (and dropped) in turn.
#pragma once

#include "platform/cad/Object.h"
#include "platform/cad/PipelinedChannel.h"

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
        if (!ch_) return;
        // Only a channel that holds calls back has failures to drop; the others run each call at once.
        if (auto* held = failures == FailuresIgnored ? dynamic_cast<PipelinedChannel*>(ch_) : nullptr)
            held->beginDeferring(objects == NewObjectsToo, true);
        else
            ch_->beginDeferring(objects == NewObjectsToo);
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
