// Serving held-back calls in order: stopping at the first failure, resolving provisional ids.
#include "platform/cad/socket/ServingSession.h"

namespace cad::socket {

bool ServingSession::resolve(Variant& v) const {
    if (v.type() == Variant::Object) {
        const ObjectId id = v.toObject();
        if (!IsProvisionalId(id)) return true;
        const auto it = provisional_.constFind(id);
        if (it == provisional_.constEnd()) return false;
        v = Variant(ObjectRef{it.value()});
        return true;
    }
    if (v.type() != Variant::Array) return true;
    const VariantList* a = v.arrayPtr();
    bool any = false;
    for (const Variant& e : *a)
        if (e.type() == Variant::Object ? IsProvisionalId(e.toObject()) : e.type() == Variant::Array)
            any = true;
    if (!any) return true;
    VariantList copy = *a;
    for (Variant& e : copy)
        if (!resolve(e)) return false;
    v = Variant(copy);
    return true;
}

bool ServingSession::admit(Request& request, std::optional<Reply>& answer) {
    if (request.flags & ForgetsProvisionalRequest) provisional_.clear();
    const bool wantsAnswer = !(request.flags & DeferredRequest);
    if (failure_) {
        if (wantsAnswer) {
            answer = std::move(failure_);
            failure_.reset();
        }
        return false;
    }
    bool known = true;
    if (IsProvisionalId(request.call.object)) {
        const auto it = provisional_.constFind(request.call.object);
        known = it != provisional_.constEnd();
        if (known) request.call.object = it.value();
    }
    for (Variant& a : request.call.args)
        if (known && !resolve(a)) known = false;
    if (known) return true;
    Reply r;
    r.failed = true;
    r.errorKind = Error::ErasedKind;
    r.message = QStringLiteral("Obiekt nie został utworzony albo jego tymczasowy identyfikator wygasł");
    if (request.flags & ToleratedRequest) return false;  // its caller ignores it: the run goes on
    if (wantsAnswer)
        answer = std::move(r);
    else
        failure_ = std::move(r);
    return false;
}

bool ServingSession::done(const Request& request, const Reply& reply) {
    if ((request.flags & KeepsResultRequest) && !reply.failed && reply.result.isObject())
        provisional_.insert(ProvisionalIdOf(request.sequence), reply.result.toObject());
    if (!(request.flags & DeferredRequest)) return true;
    if (reply.failed && !(request.flags & ToleratedRequest)) failure_ = reply;
    return false;
}

}  // namespace cad::socket
