// A search of the drawing and the reads of what it found in one call (the document's ReadSelection
// member): over the socket one round trip instead of a selection set's four and one per value.
#pragma once

#include "platform/cad/BulkReads.h"
#include "platform/cad/SelectionSet.h"

namespace cad {

// The entities a selection of mode All with `filter` gives, in its order: each row is the entity,
// then the values of `members` as ReadProperties reads them (a quiet method without arguments such
// as "GetAttributes" or "GetBoundingBox" included), then with `partMembers` the rows of its
// block's entities. Fails as the first failing read would.
inline VariantList ReadSelection(const Document& doc, const SelectionFilter& filter, const QStringList& members,
                                 const QStringList& partMembers = {}) {
    VariantList codes;
    for (int c : filter.codes) codes.append(c);
    VariantList args{filter.isEmpty() ? Variant() : Variant(codes),
                     filter.isEmpty() ? Variant() : Variant(filter.values), Variant(MemberNames(members))};
    if (!partMembers.isEmpty()) args.append(Variant(MemberNames(partMembers)));
    return RowsOf(doc.invokeList(QStringLiteral("ReadSelection"), args));
}

// The entity a row of ReadSelection starts with.
inline Entity EntityOfRow(const Document& doc, const Variant& row) {
    const VariantList* r = row.arrayPtr();
    return r && !r->isEmpty() ? Entity(doc.channel(), r->front().toObject()) : Entity();
}

}  // namespace cad
