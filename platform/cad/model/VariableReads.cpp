// GetVariables(names): the value of each system variable, each read as GetVariable reads it; fails
// as the first failing read would. SetVariables(names, values): each set as SetVariable sets it, in
// order; a value the drawing refuses leaves the others to be set, and the first refusal is raised
// when all have been tried (the way a program puts back the values it saved). One call each instead
// of one per variable.
#include "platform/cad/model/VariableReads.h"

#include "platform/cad/model/ObjectModel.h"

#include <optional>

namespace cad {

namespace {

const VariantList& namesArg(Args a, qsizetype i, const char* usage) {
    const VariantList* names = HasArg(a, i) ? Arg(a, i).arrayPtr() : nullptr;
    if (!names) throw InvalidArgument(QString::fromLatin1(usage));
    return *names;
}

}  // namespace

void AddVariableReads(DispatchTable& documentTable) {
    documentTable
        .method(QStringLiteral("GetVariables"),
                [](Target& t, Args a) -> Variant {
                    const VariantList& names = namesArg(a, 0, "GetVariables(names)");
                    VariantList out;
                    out.reserve(names.size());
                    for (const Variant& n : names)
                        out.append(t.model.invoke(t.id, QStringLiteral("GetVariable"), CallKind::Method, Args(&n, 1)));
                    return Variant(out);
                })
        .method(QStringLiteral("SetVariables"),
                [](Target& t, Args a) -> Variant {
                    const VariantList& names = namesArg(a, 0, "SetVariables(names, values)");
                    const VariantList* values = HasArg(a, 1) ? Arg(a, 1).arrayPtr() : nullptr;
                    if (!values || values->size() != names.size())
                        throw InvalidArgument(QStringLiteral("SetVariables needs one value for each name"));
                    std::optional<Error> first;
                    for (qsizetype i = 0; i < names.size(); ++i) {
                        const Variant pair[2] = {names[i], (*values)[i]};
                        try {
                            t.model.invoke(t.id, QStringLiteral("SetVariable"), CallKind::Method, Args(pair, 2));
                        } catch (const Error& e) {
                            if (!first) first = e;
                        }
                    }
                    if (first) ThrowError(first->kind(), first->message());
                    return {};
                })
        .quiet({"GetVariables"});
}

}  // namespace cad
