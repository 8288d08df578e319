// CallEach(objects, member[, args[, argsEach]]): for each object the answer of `member` called on it
// with `args` (or, with `argsEach`, with that object's own argument list), in order, each call made exactly
// as its own call would be (through the model, so a change it makes is recorded as that call would record
// it). "?Member" gives an empty value where the call fails; without "?" the first failure is thrown, after
// the calls before it have run, as a loop of single calls would stop there.
#include "platform/cad/model/CallEach.h"

#include "platform/cad/model/ObjectModel.h"

namespace cad {

void AddCallEach(DispatchTable& tb) {
    tb.method(QStringLiteral("CallEach"), [](Target& t, Args a) -> Variant {
        const VariantList* objects = a.size() > 0 ? a[0].arrayPtr() : nullptr;
        QString member = a.size() > 1 ? a[1].toText() : QString();
        const VariantList* args = a.size() > 2 ? a[2].arrayPtr() : nullptr;
        const VariantList* argsEach = a.size() > 3 ? a[3].arrayPtr() : nullptr;
        if (!objects || member.isEmpty() || (argsEach && argsEach->size() != objects->size()))
            throw InvalidArgument(QStringLiteral("CallEach(objects, member[, args[, argsEach]])"));
        const bool tolerant = member.startsWith(QLatin1Char('?'));
        if (tolerant) member.remove(0, 1);
        const Args callArgs = args ? Args(args->data(), size_t(args->size())) : Args();
        VariantList out;
        out.reserve(objects->size());
        for (qsizetype i = 0; i < objects->size(); ++i) {
            const VariantList* own = argsEach ? (*argsEach)[i].arrayPtr() : nullptr;
            const Args ownArgs = own ? Args(own->data(), size_t(own->size())) : argsEach ? Args() : callArgs;
            try {
                out.append(t.model.invoke((*objects)[i].toObject(), member, CallKind::Method, ownArgs));
            } catch (const Error&) {
                if (!tolerant) throw;
                out.append(Variant());
            }
        }
        return Variant(out);
    });
}

}  // namespace cad
