// The calling side of a channel that carries calls as numbered requests (the socket, the loopback):
// calls that answer nothing are held inside a deferral scope and sent in order ahead of the next
// call that needs an answer, so that a scope costs one round trip per answer instead of one per call.
// Where the transport can, a long run goes ahead in parts while it is still being made.
// The serving side (socket::ServingSession) runs them in order, stops at the first failure and
// gives that failure as the answer to the request that closes the run.
#pragma once

#include "platform/cad/Channel.h"

#include <QHash>
#include <vector>

namespace cad {

// What a request asks beyond its call (the bits of its flags).
enum RequestFlag : quint8 {
    // No answer is sent. A failure is kept and given as the answer to the next request that wants
    // one; the requests in between are not run.
    DeferredRequest = 1,
    // The call makes an object that later requests name by ProvisionalIdOf(sequence).
    KeepsResultRequest = 2,
    // The provisional ids given so far are forgotten before this request runs.
    ForgetsProvisionalRequest = 4,
    // A held request whose failure is dropped: the run goes on as after a call whose caller
    // traps and ignores its failure (DeferralMode::failuresIgnored).
    ToleratedRequest = 8,
};

inline ObjectId ProvisionalIdOf(quint64 sequence) {
    return ProvisionalIdBit | sequence;
}

struct Request {
    quint64 sequence = 0;
    quint8 flags = 0;
    Call call;
};

class PipelinedChannel : public Channel {
public:
    Variant call(ObjectId object, const QString& member, CallKind kind, std::span<const Variant> args) final;
    void post(ObjectId object, const QString& member, CallKind kind, std::span<const Variant> args) final;
    Variant create(ObjectId object, const QString& member, CallKind kind,
                   std::span<const Variant> args) final;
    void beginDeferring(DeferralMode mode) final;
    void endDeferring(bool quietly) final;
    void flushDeferred() final;

    // Requests sent so far, and how many of them travelled held back (for tests and benchmarks).
    quint64 requestsSent() const { return sent_; }
    quint64 requestsDeferred() const { return deferredSent_; }
    // Round trips: batches of requests that waited for an answer.
    quint64 roundTrips() const { return roundTrips_; }

protected:
    // Carries the requests in order and returns the answer to the last one, the only one that
    // wants an answer. Throws Failed when the connection is lost.
    virtual Reply carry(std::vector<Request>& requests) = 0;
    // Sends held requests ahead of the run's end where the transport can, so the serving side
    // runs them while the program works out the next ones; false when it cannot (they stay held).
    // It must not throw: a lost connection is reported by the run's closing call.
    virtual bool shipAhead(std::vector<Request>& requests) {
        (void)requests;
        return false;
    }
    // Drops what is held (the connection went away).
    void dropHeld();

private:
    // Getters whose answer never changes for their object (a drawing's collections, its model
    // space, the application's documents) are answered once per object; a drawing opened into
    // a database document gets a new model space, so an Open forgets that object's answers.
    static bool answersFixedObject(const QString& member);
    void forgetFixedAnswersOn(ObjectId object, const QString& member, CallKind kind);

    bool deferring() const { return !scopes_.empty() && carrying_ == 0; }
    Request request(ObjectId object, const QString& member, CallKind kind, std::span<const Variant> args);
    Reply send(Request last);
    void hold(Request r);
    void markForgetProvisional(Request& first);

    std::vector<Request> held_;
    QHash<std::pair<ObjectId, QString>, Variant> fixedAnswers_;
    std::vector<DeferralMode> scopes_;  // the open scopes, innermost last
    int carrying_ = 0;  // a call made while one waits (a timer) is never held
    bool provisionalGiven_ = false;
    bool forgetProvisional_ = false;
    quint64 nextSequence_ = 1;
    quint64 sent_ = 0, deferredSent_ = 0, roundTrips_ = 0;
};

}  // namespace cad
