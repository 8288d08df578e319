// The attributes of many block references in one call (the document's ReadAttributes member):
// over the socket one round trip instead of one per reference, attribute and member. Each value is
// read as its own call would read it, at the moment of the call.
#pragma once

#include "platform/cad/Document.h"

#include <QStringList>

namespace cad {

// For each reference (an object or a handle text), a list holding, for each of its attributes in
// their order, a list of the attribute and the values of `members` ("?Name" gives an empty value
// where the attribute has no such member). Fails as the first failing read would (an object that
// is no block reference fails as its GetAttributes does).
inline VariantList ReadAttributes(const Document& doc, const VariantList& references, const QStringList& members) {
    VariantList names;
    names.reserve(members.size());
    for (const QString& n : members) names.append(Variant(n));
    const Variant rows = doc.invokeList(QStringLiteral("ReadAttributes"), {Variant(references), Variant(names)});
    const VariantList* a = rows.arrayPtr();
    return a ? *a : VariantList();
}

}  // namespace cad
