// The attributes of many block references in one call (the document's ReadAttributes member):
// over the socket one round trip instead of one per reference, attribute and member. Each value is
// read as its own call would read it, at the moment of the call.
#pragma once

#include "platform/cad/BulkReads.h"

namespace cad {

// For each reference (an object or a handle text), a list holding, for each of its attributes in
// their order, a list of the attribute and the values of `members` ("?Name" gives an empty value
// where the attribute has no such member). Fails as the first failing read would (an object that
// is no block reference fails as its GetAttributes does).
inline VariantList ReadAttributes(const Document& doc, const VariantList& references, const QStringList& members) {
    return RowsOf(doc.invokeList(QStringLiteral("ReadAttributes"), {Variant(references), Variant(MemberNames(members))}));
}

}  // namespace cad
