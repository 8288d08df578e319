// Reads of many objects in one call (the document's ReadProperties member): over the socket one
// round trip instead of one per object and member. Each value is read exactly as its own call
// would read it, at the moment of the call, so another program's changes are seen as before.
#pragma once

#include "platform/cad/Document.h"

#include <QStringList>

namespace cad {

// For each object (an object or a handle text), the values of `members` in their order; a member
// spelled "?Name" gives an empty value where the object has none. With `partMembers`, each row ends
// with a list holding, for each entity of the object's block (a reference's definition, or the
// block itself), a list of the entity and the values of those members. Fails as the first failing
// read would.
inline VariantList ReadProperties(const Document& doc, const VariantList& objects, const QStringList& members,
                                  const QStringList& partMembers = {}) {
    auto texts = [](const QStringList& names) {
        VariantList v;
        v.reserve(names.size());
        for (const QString& n : names) v.append(Variant(n));
        return v;
    };
    VariantList args{Variant(objects), Variant(texts(members))};
    if (!partMembers.isEmpty()) args.append(Variant(texts(partMembers)));
    const Variant rows = doc.invokeList(QStringLiteral("ReadProperties"), args);
    const VariantList* a = rows.arrayPtr();
    return a ? *a : VariantList();
}

// The handle texts of entities as ReadProperties takes them.
template <class Entities>
VariantList ObjectsOf(const Entities& entities) {
    VariantList v;
    v.reserve(entities.size());
    for (const auto& e : entities) v.append(Variant(e.ref()));
    return v;
}

}  // namespace cad
