// Holding calls back inside a deferral scope and sending them ahead of the next answered call.
#include "platform/cad/PipelinedChannel.h"

#include "platform/cad/model/DispatchTable.h"

#include <algorithm>

namespace cad {

namespace {
// A run longer than this goes ahead in parts of about this size: a run sent whole keeps the host
// idle until the program has made all of it, and a part that wakes a host with little to do costs
// the program more than the host saves.
constexpr size_t ShipAheadCount = 256;
}  // namespace

Request PipelinedChannel::request(ObjectId object, const QString& member, CallKind kind,
                                  std::span<const Variant> args) {
    Request r;
    r.sequence = nextSequence_++;
    r.call.object = object;
    r.call.member = member;
    r.call.kind = kind;
    r.call.args = VariantList(args.begin(), args.end());
    return r;
}

Reply PipelinedChannel::send(Request last) {
    std::vector<Request> batch;
    batch.swap(held_);
    batch.push_back(std::move(last));
    markForgetProvisional(batch.front());
    sent_ += batch.size();
    deferredSent_ += batch.size() - 1;
    ++roundTrips_;
    ++carrying_;
    // The emptied batch's buffer holds the next run, so runs of thousands of calls do not grow
    // a new vector each time (nothing is held while a batch is carried).
    auto keepBuffer = [&] {
        --carrying_;
        batch.clear();
        if (held_.empty() && batch.capacity() > held_.capacity()) held_.swap(batch);
    };
    try {
        Reply r = carry(batch);
        keepBuffer();
        return r;
    } catch (...) {
        keepBuffer();
        throw;
    }
}

void PipelinedChannel::markForgetProvisional(Request& first) {
    if (!forgetProvisional_) return;
    first.flags |= ForgetsProvisionalRequest;
    forgetProvisional_ = false;
}

void PipelinedChannel::hold(Request r) {
    held_.push_back(std::move(r));
    if (held_.size() <= ShipAheadCount) return;
    // The last one stays held: it closes the run, with the failure of any call before it.
    Request keep = std::move(held_.back());
    held_.pop_back();
    markForgetProvisional(held_.front());
    const size_t n = held_.size();
    if (shipAhead(held_)) {
        sent_ += n;
        deferredSent_ += n;
        held_.clear();
    }
    held_.push_back(std::move(keep));
}

bool PipelinedChannel::answersFixedObject(const QString& member) {
    return AnswersFixedObject(member);
}

void PipelinedChannel::forgetFixedAnswersOn(ObjectId object, const QString& member, CallKind kind) {
    if (kind != CallKind::Method || fixedAnswers_.isEmpty() || !RenewsFixedAnswers(member)) return;
    fixedAnswers_.removeIf([object](const auto& entry) { return entry.key().first == object; });
}

Variant PipelinedChannel::call(ObjectId object, const QString& member, CallKind kind,
                               std::span<const Variant> args) {
    const bool fixed = kind == CallKind::Get && args.empty() && !IsProvisionalId(object) && answersFixedObject(member);
    if (fixed) {
        const auto known = fixedAnswers_.constFind({object, member});
        if (known != fixedAnswers_.cend()) return *known;
    }
    forgetFixedAnswersOn(object, member, kind);
    Variant answer = send(request(object, member, kind, args)).take();
    if (fixed && answer.isObject()) fixedAnswers_.insert({object, member}, answer);
    return answer;
}

void PipelinedChannel::post(ObjectId object, const QString& member, CallKind kind,
                            std::span<const Variant> args) {
    if (!deferring()) {
        call(object, member, kind, args);
        return;
    }
    forgetFixedAnswersOn(object, member, kind);
    Request r = request(object, member, kind, args);
    r.flags = DeferredRequest | (scopes_.back().failuresIgnored ? ToleratedRequest : 0);
    hold(std::move(r));
}

Variant PipelinedChannel::create(ObjectId object, const QString& member, CallKind kind,
                                 std::span<const Variant> args) {
    if (!deferring() || !scopes_.back().newObjects) return call(object, member, kind, args);
    Request r = request(object, member, kind, args);
    r.flags = DeferredRequest | KeepsResultRequest | (scopes_.back().failuresIgnored ? ToleratedRequest : 0);
    const ObjectId id = ProvisionalIdOf(r.sequence);
    hold(std::move(r));
    provisionalGiven_ = true;
    return Variant(ObjectRef{id});
}

void PipelinedChannel::beginDeferring(DeferralMode mode) {
    // Code that ignores failures traps them itself: what a reporting scope around it holds goes
    // first, so that its failure is thrown here and not caught in one of those traps. A run thus
    // never holds a tolerated request after a reported one.
    if (mode.failuresIgnored && !scopes_.empty() && !scopes_.back().failuresIgnored) flushDeferred();
    scopes_.push_back(mode);
}

void PipelinedChannel::flushDeferred() {
    if (held_.empty()) return;
    // The last held request closes the run and brings its failure, or any before it, back.
    Request last = std::move(held_.back());
    held_.pop_back();
    last.flags &= quint8(~DeferredRequest);
    const bool tolerated = last.flags & ToleratedRequest;
    last.flags &= quint8(~ToleratedRequest);
    Reply r = send(std::move(last));
    // A tolerated request closes only a run of tolerated ones (beginDeferring sends a reported
    // run before an ignoring scope holds anything), so its answer carries no failure to report.
    if (!tolerated) r.take();
}

void PipelinedChannel::endDeferring(bool quietly) {
    if (scopes_.empty()) return;
    auto leave = [this] {
        scopes_.pop_back();
        // Once no open scope may use them, the host may forget the provisional ids given, with
        // the next request (every request naming them has been sent).
        if (!provisionalGiven_ || std::ranges::any_of(scopes_, &DeferralMode::newObjects)) return;
        forgetProvisional_ = true;
        provisionalGiven_ = false;
    };
    try {
        flushDeferred();
    } catch (const std::exception&) {
        leave();
        // Leaving by another exception: that one is the one that counts.
        if (!quietly) throw;
        return;
    }
    leave();
}

void PipelinedChannel::dropHeld() {
    held_.clear();
}

}  // namespace cad
