// Reading references and their attributes at once.
#include "automation/ReferenceReads.h"

#include "automation/CadConnection.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/FilteredReads.h"

namespace automation {

QString ReferenceRow::attribute(const QString& tag) const {
    for (const auto& [t, text] : Attributes)
        if (t.compare(tag, Qt::CaseInsensitive) == 0) return text;
    return QString();
}

QList<ReferenceRow> ReadReferencesWithAttributes(const cad::SelectionFilter& filter, const QStringList& members) {
    QStringList asked = members;
    asked << QStringLiteral("HasAttributes") << QStringLiteral("?GetAttributes");
    const cad::VariantList rows = cad::ReadSelection(CadDocument, filter, asked);
    QList<ReferenceRow> out;
    out.reserve(rows.size());
    cad::VariantList attributes;
    QList<qsizetype> owners;  // the row each attribute belongs to
    for (const cad::Variant& row : rows) {
        const cad::VariantList values = row.toArray();
        ReferenceRow r;
        r.Reference = cad::EntityOfRow(CadDocument, row);
        r.Values = values.mid(1, members.size());
        r.HasAttributes = values.value(members.size() + 1).toBool();
        if (r.HasAttributes)
            for (const cad::Variant& a : values.value(members.size() + 2).toArray()) {
                attributes.append(a);
                owners.append(out.size());
            }
        out.append(r);
    }
    if (attributes.isEmpty()) return out;
    const cad::VariantList texts =
        cad::ReadProperties(CadDocument, attributes, {QStringLiteral("TagString"), QStringLiteral("TextString")});
    for (qsizetype i = 0; i < texts.size() && i < owners.size(); ++i) {
        const cad::VariantList t = texts[i].toArray();
        out[owners[i]].Attributes.append({t.value(0).toText(), t.value(1).toText()});
    }
    return out;
}

}  // namespace automation
