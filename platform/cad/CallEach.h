// One method called on many objects (the document's CallEach member): over the socket one round
// trip instead of one per object, for calls whose answers are needed (Explode, GetAttributes, ...).
#pragma once

#include "platform/cad/BulkReads.h"

namespace cad {

// For each object, the answer of `member` called on it with `args`, in order. A member spelled
// "?Name" gives an empty value where that call fails; otherwise the first failure is thrown, the
// calls before it having run.
inline VariantList CallEach(const Document& doc, const VariantList& objects, const QString& member,
                            const VariantList& args = {}) {
    return RowsOf(doc.invokeList(QStringLiteral("CallEach"), {Variant(objects), Variant(member), Variant(args)}));
}

// The same with each call's own arguments: `argsEach[i]` for `objects[i]` (one object may stand
// several times: AddRegion of model space for many curve sets).
inline VariantList CallEachWith(const Document& doc, const VariantList& objects, const QString& member,
                                const QList<VariantList>& argsEach) {
    VariantList each;
    each.reserve(argsEach.size());
    for (const VariantList& a : argsEach) each.append(Variant(a));
    return RowsOf(doc.invokeList(QStringLiteral("CallEach"),
                                 {Variant(objects), Variant(member), Variant(VariantList()), Variant(each)}));
}

}  // namespace cad
