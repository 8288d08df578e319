// ReadAttributes: every value is read through the model as its own call would read it, so the
// result is what the single calls give, at the moment of the call.
#include "platform/cad/model/AttributeReads.h"

#include "platform/cad/model/ObjectModel.h"

namespace cad {

namespace {

Variant readAttributes(Target& t, Args a) {
    const VariantList* references = a.size() > 0 ? a[0].arrayPtr() : nullptr;
    const VariantList* members = a.size() > 1 ? a[1].arrayPtr() : nullptr;
    if (!references || !members) throw InvalidArgument(QStringLiteral("ReadAttributes(references, members)"));
    ObjectModel& model = t.model;
    VariantList out;
    out.reserve(references->size());
    for (const Variant& r : *references) {
        const ObjectId ref = r.type() == Variant::Object
                                 ? r.toObject()
                                 : model.invoke(t.id, QStringLiteral("HandleToObject"), CallKind::Method,
                                                Args(&r, 1))
                                       .toObject();
        VariantList rows;
        const Variant attributes = model.invoke(ref, QStringLiteral("GetAttributes"), CallKind::Method, {});
        if (const VariantList* list = attributes.arrayPtr()) {
            rows.reserve(list->size());
            for (const Variant& att : *list) {
                VariantList row{att};
                row.reserve(members->size() + 1);
                for (const Variant& m : *members) {
                    QString member = m.toText();
                    const bool optional = member.startsWith(QLatin1Char('?'));
                    if (optional) member.remove(0, 1);
                    try {
                        row.append(model.invoke(att.toObject(), member, CallKind::Get, {}));
                    } catch (const Error&) {
                        if (!optional) throw;
                        row.append(Variant());
                    }
                }
                rows.append(Variant(row));
            }
        }
        out.append(Variant(rows));
    }
    return Variant(out);
}

}  // namespace

void AddAttributeReads(DispatchTable& table) {
    table.method(QStringLiteral("ReadAttributes"), readAttributes).quiet({"ReadAttributes"});
}

}  // namespace cad
