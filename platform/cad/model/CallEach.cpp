// CallEach(objects, member[, args]): for each object the answer of `member` called on it with
// `args`, in order, each call made exactly as its own call would be (through the model, so a change
// it makes is recorded as that call would record it). "?Member" gives an empty value where the call
// fails; without "?" the first failure is thrown, after the calls before it have run, as a loop of
// single calls would stop there.
#include "platform/cad/model/CallEach.h"

#include "platform/cad/model/ObjectModel.h"

namespace cad {

void AddCallEach(DispatchTable& tb) {
    tb.method(QStringLiteral("CallEach"), [](Target& t, Args a) -> Variant {
        const VariantList* objects = a.size() > 0 ? a[0].arrayPtr() : nullptr;
        QString member = a.size() > 1 ? a[1].toText() : QString();
        const VariantList* args = a.size() > 2 ? a[2].arrayPtr() : nullptr;
        if (!objects || member.isEmpty())
            throw InvalidArgument(QStringLiteral("CallEach(objects, member[, args])"));
        const bool tolerant = member.startsWith(QLatin1Char('?'));
        if (tolerant) member.remove(0, 1);
        const Args callArgs = args ? Args(args->data(), size_t(args->size())) : Args();
        VariantList out;
        out.reserve(objects->size());
        for (const Variant& o : *objects) {
            try {
                out.append(t.model.invoke(o.toObject(), member, CallKind::Method, callArgs));
            } catch (const Error&) {
                if (!tolerant) throw;
                out.append(Variant());
            }
        }
        return Variant(out);
    });
}

}  // namespace cad
