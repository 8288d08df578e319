// The conflict-point markers of the current intersection read back: names, insertion points and
// handles in one read, every marker's attributes in another, whatever the number of markers.
#include "automation/CadConnection.h"
#include "common/ProgramSettings.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "platform/cad/AttributeReads.h"
#include "platform/cad/BulkReads.h"

namespace conflictor {

namespace {

// The stream name of a marker attribute: the value without its leading "^".
QString streamOfValue(const QString& value) {
    return value.startsWith(QLatin1Char('^')) ? value.mid(1) : value;
}

}  // namespace

QList<ConflictMarker> ReadConflictMarkers() {
    QList<ConflictMarker> markers;
    const QString prefix = IntersectionNumber + QLatin1Char('^');
    SetGuard ss(QStringLiteral("SSMarkery"));
    const cad::VariantList refs = cad::ObjectsOf(
        ss.select(InsertFilter(PatternText(IntersectionNumber) + QStringLiteral("^*POJ*_STRUMIEN*"),
                               common::Settings.ConflictPointLayerName)));
    if (refs.isEmpty()) return markers;
    const cad::VariantList rows = cad::ReadProperties(
        automation::CadDocument, refs,
        {QStringLiteral("Name"), QStringLiteral("InsertionPoint"), QStringLiteral("Handle")});
    const cad::VariantList attributes = cad::ReadAttributes(
        automation::CadDocument, refs, {QStringLiteral("TagString"), QStringLiteral("TextString")});
    markers.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const cad::VariantList values = rows[i].toArray();
        ConflictMarker m;
        // Every marker of the drawing passes here: names and tags are compared in place.
        const QString name = values.value(0).toText();
        const QStringView rest = QStringView(name).mid(prefix.size());
        for (int kind = 1; kind <= 3; ++kind) {
            const QString kindName = ConflictKindName(kind);
            if (rest.startsWith(kindName) && rest.mid(kindName.size()).startsWith(QLatin1Char('_'))) m.Kind = kind;
        }
        if (m.Kind == 0) continue;
        const QString kindName = ConflictKindName(m.Kind);
        auto isKindTag = [&](const QString& tag, QLatin1Char digit) {
            return tag.size() == kindName.size() + 1 && tag.startsWith(kindName) && tag.back() == digit;
        };
        for (const cad::Variant& row : attributes.value(i).toArray()) {
            const cad::VariantList att = row.toArray();
            const QString tag = att.value(1).toText();
            if (isKindTag(tag, QLatin1Char('1')))
                m.Stream1 = streamOfValue(att.value(2).toText());
            else if (isKindTag(tag, QLatin1Char('2')))
                m.Stream2 = streamOfValue(att.value(2).toText());
            else if (tag == QLatin1String("SKOJARZONY_PIESZY"))
                m.AssociatedPedestrian = att.value(2).toText();
        }
        const cad::Point p = values.value(1).toPoint();
        m.Position = {p.x, p.y};
        m.Handle = values.value(2).toText();
        markers.append(m);
    }
    return markers;
}

}  // namespace conflictor
