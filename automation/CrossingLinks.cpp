// Reading the crossing-link blocks.
#include "automation/CrossingLinks.h"

#include "automation/CadConnection.h"
#include "automation/Selection.h"

namespace automation {

QList<CrossingLinkRecord> CrossingLinkTable;

void ReadCrossingLinks(const QString& intersectionNumber) {
    CrossingLinkTable.clear();
    HelperSelectionSet set(QStringLiteral("SS1"));
    set->select(cad::SelectionSet::All, BuildSelectionFilter({0, QStringLiteral("INSERT"), 2,
                                                              EscapeFilterText(intersectionNumber) +
                                                                  QStringLiteral("^POWIAZANIE_*")}));
    for (const cad::Entity& ref : set->entities()) {
        if (!ref.hasAttributes()) continue;
        CrossingLinkRecord r;
        for (const cad::Entity& att : ref.attributes()) {
            const QString tag = att.tagString();
            if (tag == QLatin1String("STRUMIENIE_OD_SRODKA"))
                r.InnerStreams = att.textString();
            else if (tag == QLatin1String("STRUMIENIE_ZEWN"))
                r.OuterStreams = att.textString();
            else if (tag == QLatin1String("DLUGOSC_PRZEJSC"))
                r.CrossingLength = att.textString();
            else if (tag == QLatin1String("DLUGOSC_WYSPY"))
                r.IslandLength = att.textString();
            else if (tag == QLatin1String("DLUGOSC_CALKOWITA"))
                r.TotalLength = att.textString();
        }
        if (r.InnerStreams.isEmpty() || r.OuterStreams.isEmpty()) continue;
        r.Handle = ref.handle();
        CrossingLinkTable.append(r);
    }
    set.remove();
}

}  // namespace automation
