// Reading the crossing-link blocks.
#include "automation/CrossingLinks.h"

#include "automation/CadConnection.h"
#include "automation/Selection.h"
#include "platform/cad/AttributeReads.h"
#include "platform/cad/BulkReads.h"

namespace automation {

QList<CrossingLinkRecord> CrossingLinkTable;

void ReadCrossingLinks(const QString& intersectionNumber) {
    CrossingLinkTable.clear();
    HelperSelectionSet set(QStringLiteral("SS1"));
    set->select(cad::SelectionSet::All, BuildSelectionFilter({0, QStringLiteral("INSERT"), 2,
                                                              EscapeFilterText(intersectionNumber) +
                                                                  QStringLiteral("^POWIAZANIE_*")}));
    // The handles and the attributes of all the links in two reads, not a call per value.
    const cad::VariantList refs = cad::ObjectsOf(set->entities());
    const cad::VariantList handles = cad::ReadProperties(CadDocument, refs, {QStringLiteral("Handle")});
    const cad::VariantList attributes =
        cad::ReadAttributes(CadDocument, refs, {QStringLiteral("TagString"), QStringLiteral("TextString")});
    for (qsizetype i = 0; i < refs.size(); ++i) {
        CrossingLinkRecord r;
        for (const cad::Variant& row : attributes.value(i).toArray()) {
            const cad::VariantList att = row.toArray();
            const QString tag = att.value(1).toText();
            const QString text = att.value(2).toText();
            if (tag == QLatin1String("STRUMIENIE_OD_SRODKA"))
                r.InnerStreams = text;
            else if (tag == QLatin1String("STRUMIENIE_ZEWN"))
                r.OuterStreams = text;
            else if (tag == QLatin1String("DLUGOSC_PRZEJSC"))
                r.CrossingLength = text;
            else if (tag == QLatin1String("DLUGOSC_WYSPY"))
                r.IslandLength = text;
            else if (tag == QLatin1String("DLUGOSC_CALKOWITA"))
                r.TotalLength = text;
        }
        if (r.InnerStreams.isEmpty() || r.OuterStreams.isEmpty()) continue;
        r.Handle = handles.value(i).toArray().value(0).toText();
        CrossingLinkTable.append(r);
    }
    set.remove();
}

}  // namespace automation
