// ReadSelection(codes, values, members[, partMembers]): the entities a selection set's Select of
// mode All with that filter would hold, in the same order, each as a row of the entity and the
// values ReadProperties gives for it. A search and the reads of what it found cost one call
// instead of a set's add, select, items and delete and a read per value; no named set is made.
#include "platform/cad/model/FilteredReads.h"

#include "platform/cad/model/ObjectModel.h"
#include "platform/cad/model/Support.h"

namespace cad {

void AddFilteredReads(DispatchTable& documentTable) {
    documentTable
        .method(QStringLiteral("ReadSelection"),
                [](Target& t, Args a) -> Variant {
                    const db::FilterList filter = FilterArgs(a, 0);
                    if (!HasArg(a, 2) || !Arg(a, 2).arrayPtr())
                        throw InvalidArgument(QStringLiteral("ReadSelection(codes, values, members)"));
                    const Variant found = EntityList(t, db::selectAll(Db(t), filter));
                    const VariantList* entities = found.arrayPtr();
                    if (!entities || entities->isEmpty()) return Variant(VariantList());
                    VariantList args{found, Arg(a, 2)};
                    if (HasArg(a, 3)) args.append(Arg(a, 3));
                    const Variant values = t.model.invoke(t.id, QStringLiteral("ReadProperties"), CallKind::Method,
                                                          Args(args.data(), args.size()));
                    const VariantList* rows = values.arrayPtr();
                    VariantList out;
                    out.reserve(entities->size());
                    for (qsizetype i = 0; i < entities->size(); ++i) {
                        VariantList row{(*entities)[i]};
                        if (rows && i < rows->size())
                            if (const VariantList* v = (*rows)[i].arrayPtr()) row.append(*v);
                        out.append(Variant(row));
                    }
                    return Variant(out);
                })
        .quiet({"ReadSelection"});
}

}  // namespace cad
