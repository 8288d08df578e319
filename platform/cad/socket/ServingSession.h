// The serving side's state of one connection's requests: the failure of a held-back call, kept
// until the next request that wants an answer (the requests in between are not run), and the
// objects that stand behind provisional ids. The host keeps one per connection; the loopback
// channel keeps one too, so both serve held-back calls alike.
#pragma once

#include "platform/cad/PipelinedChannel.h"

#include <QHash>
#include <optional>

namespace cad::socket {

class ServingSession {
public:
    // Before the request runs: replaces the provisional ids it names by their objects. False when
    // it must not run; `answer` then holds what to answer, if the request wants an answer.
    bool admit(Request& request, std::optional<Reply>& answer);
    // After it ran: true when `reply` is to be sent.
    bool done(const Request& request, const Reply& reply);

    int provisionalCount() const { return int(provisional_.size()); }

private:
    bool resolve(Variant& v) const;
    std::optional<Reply> failure_;
    QHash<ObjectId, ObjectId> provisional_;
};

}  // namespace cad::socket
