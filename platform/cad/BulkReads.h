// Reads of many objects in one call (the document's ReadProperties member): over the socket one
// round trip instead of one per object and member. Each value is read exactly as its own call
// would read it, at the moment of the call, so another program's changes are seen as before.
#pragma once

#include "platform/cad/Document.h"

#include <QStringList>

namespace cad {

// Member names as the bulk members take them.
inline VariantList MemberNames(const QStringList& names) {
    VariantList v;
    v.reserve(names.size());
    for (const QString& n : names) v.append(Variant(n));
    return v;
}

// The rows a bulk member answered (none for an empty answer).
inline VariantList RowsOf(const Variant& answer) {
    const VariantList* a = answer.arrayPtr();
    return a ? *a : VariantList();
}

// For each object (an object or a handle text), the values of `members` in their order; a member
// spelled "?Name" gives an empty value where the object has none. With `partMembers`, each row ends
// with a list holding, for each entity of the object's block (a reference's definition, or the
// block itself), a list of the entity and the values of those members. Fails as the first failing
// read would.
inline VariantList ReadProperties(const Document& doc, const VariantList& objects, const QStringList& members,
                                  const QStringList& partMembers = {}) {
    VariantList args{Variant(objects), Variant(MemberNames(members))};
    if (!partMembers.isEmpty()) args.append(Variant(MemberNames(partMembers)));
    return RowsOf(doc.invokeList(QStringLiteral("ReadProperties"), args));
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
