// Stream pieces and markers the reading would pass over, found in a few bulk reads and named.
#include "conflictor/streams/StreamPieces.h"

#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"

#include <QHash>
#include <QMap>

namespace conflictor {

QStringList StreamsOutsideTheTable;

namespace {

using automation::StreamReferenceKind;

// The stream names a component block lists, as the reading splits them (kinds it knows only).
QStringList listedStreams(const DrawnStreamReference& r) {
    QStringList names;
    for (const QString& item : automation::StreamsOfReference(IntersectionNumber, r))
        if (StreamKindFromName(item) != 0) names << item;
    return names;
}

QString passedOver(const DrawnStreamReference& r) {
    return automation::PassedOverReason(r, common::Settings.StreamLayerName);
}

QString faulty(const QString& reason) {
    return QStringLiteral(": Niepoprawny strumień. ") + reason;
}

// The records of the table by name, built once for a judgement: a drawing of thousands of streams
// would otherwise be looked through once for every name.
struct TableNames {
    QHash<QString, int> exact;     // the first record of each name as spelt
    QHash<QString, int> capitals;  // the first record of each name in capitals, as FindStreamIndex finds it
    TableNames() {
        for (int i = 0; i < int(StreamTable.size()); ++i) {
            const QString& name = StreamTable[size_t(i)].Name;
            if (!exact.contains(name)) exact.insert(name, i);
            const QString upper = name.toUpper();
            if (!capitals.contains(upper)) capitals.insert(upper, i);
        }
    }
    // The record named exactly so, else one named so in another case; -1 when none.
    int recordOf(const QString& name) const {
        if (const auto it = exact.constFind(name); it != exact.cend()) return *it;
        return capitals.value(name.toUpper(), -1);
    }
    bool contains(const QString& capitalName) const { return capitals.contains(capitalName); }
};

// A stream read under two spellings (K1 and k1) is one stream to the user: the pieces spelt the
// other way would be measured as a stream of their own. Named by the spelling in capitals (else the
// first read), with a piece of the other spelling. Only the records sharing a name are compared.
void judgeSpellings(int only) {
    QHash<QString, QList<int>> bySpelling;
    for (int i = 0; i < int(StreamTable.size()); ++i)
        bySpelling[StreamTable[size_t(i)].Name.toCaseFolded()] << i;
    for (const QList<int>& same : std::as_const(bySpelling)) {
        for (qsizetype x = 0; x < same.size(); ++x) {
            const int i = same[x];
            const StreamRecord& a = StreamTable[size_t(i)];
            for (qsizetype y = x + 1; y < same.size(); ++y) {
                const int j = same[y];
                const StreamRecord& b = StreamTable[size_t(j)];
                const bool bFirst = b.Name == b.Name.toUpper() && a.Name != a.Name.toUpper();
                const StreamRecord& shown = bFirst ? b : a;
                const StreamRecord& other = bFirst ? a : b;
                const QString fault = faulty(
                    QStringLiteral(
                        "Blok składowej %1 zapisuje nazwę strumienia %2 inną wielkością liter (\"%3\"), "
                        "więc jego składowe nie zostałyby zmierzone razem z pozostałymi; składowa w "
                        "punkcie %4. Popraw nazwę bloku na pisownię \"%2\".")
                        .arg(common::QuotedForMessage(other.Segments[1].Label), shown.Name,
                             common::ShortForMessage(other.Name), PointText(other.Segments[1].StartPoint)));
                for (int k : {i, j}) {
                    if (only >= 0 && k != only) continue;
                    StreamRecord& r = StreamTable[size_t(k)];
                    if (!r.ReferenceFault.isEmpty()) continue;
                    r.ReferenceFault = fault;
                    r.ReferenceFaultName = shown.Name;
                }
            }
        }
    }
}

// A piece at the origin is found by its curve, not by where its block is inserted: the curves of the
// pieces passed over, read at once.
void placePassedOverPieces(QList<DrawnStreamReference>& found) {
    QList<int> pieces;
    cad::VariantList objects;
    for (int i = 0; i < int(found.size()); ++i) {
        const DrawnStreamReference& r = found[i];
        if (r.Kind != StreamReferenceKind::Component || passedOver(r).isEmpty()) continue;
        pieces << i;
        objects << cad::Variant(cad::ObjectRef{r.Object});
    }
    if (objects.isEmpty()) return;
    const cad::VariantList rows = ReadComponentRows(objects);
    for (int k = 0; k < int(pieces.size()) && k < int(rows.size()); ++k) {
        const SegmentRecord s = StreamComponentFromRow(rows[k]);
        if (s.CurveCount > 0) found[pieces[k]].Point = s.StartPoint;
    }
}

}  // namespace

QList<DrawnStreamReference> FindStreamReferences() {
    QList<DrawnStreamReference> found = automation::FindStreamReferences(IntersectionNumber);
    placePassedOverPieces(found);
    return found;
}

QStringList JudgeStreamReferences(const QList<DrawnStreamReference>& found, int only) {
    // What each stream name (in capitals for markers, as the reading matches them) has beyond its pieces.
    QMap<QString, QString> passed;  // by name as listed: the first reference passed over
    QStringList passedOrder;
    QHash<QString, QList<PlanePoint>> starts, ends;
    QHash<QString, QString> markerSpelling;
    QStringList markerOrder;
    for (const DrawnStreamReference& r : found) {
        if (r.Kind == StreamReferenceKind::None) continue;
        const QString why = passedOver(r);
        const QStringList streams = listedStreams(r);
        if (r.Kind != StreamReferenceKind::Component) {
            if (streams.isEmpty()) continue;
            const QString& name = streams.front();
            if (why.isEmpty()) {
                const QString key = name.toUpper();
                (r.Kind == StreamReferenceKind::Start ? starts : ends)[key] << r.Point;
                if (!markerSpelling.contains(key)) {
                    markerSpelling.insert(key, name);
                    markerOrder << key;
                }
            }
        }
        if (why.isEmpty()) continue;
        for (const QString& name : streams)
            if (!passed.contains(name)) {
                passed.insert(name, faulty(why));
                passedOrder << name;
            }
    }

    for (int i = 0; i < int(StreamTable.size()); ++i) {
        if (only >= 0 && i != only) continue;
        StreamRecord& r = StreamTable[size_t(i)];
        r.ReferenceFault.clear();
        r.ReferenceFaultName.clear();
        const bool vehicle = IsVehicleStream(r);
        r.StartMarkers = vehicle ? starts.value(r.Name.toUpper()) : QList<PlanePoint>();
        r.EndMarkers = vehicle ? ends.value(r.Name.toUpper()) : QList<PlanePoint>();
    }
    const TableNames table;
    QStringList outside;
    for (const QString& name : passedOrder) {
        const int i = table.recordOf(name);
        if (i < 0) {
            outside << common::ShortForMessage(name) + passed.value(name);
            continue;
        }
        if (only >= 0 && i != only) continue;
        StreamRecord& r = StreamTable[size_t(i)];
        if (r.ReferenceFault.isEmpty()) r.ReferenceFault = passed.value(name);
    }
    judgeSpellings(only);

    // Markers of a stream none of whose pieces is left: the stream is gone from the table, and a
    // check of groups or of the cut would name something else.
    for (const QString& key : markerOrder) {
        if (table.contains(key)) continue;
        const QString name = markerSpelling.value(key);
        if (passed.contains(name)) continue;
        QStringList places;
        for (const PlanePoint& p : starts.value(key)) places << QStringLiteral("początku w punkcie ") + PointText(p);
        for (const PlanePoint& p : ends.value(key)) places << QStringLiteral("końca w punkcie ") + PointText(p);
        outside << common::ShortForMessage(name) +
                       faulty(QStringLiteral("W rysunku nie ma już żadnej składowej tego strumienia, a zostały jego "
                                             "znaczniki: %1. Jeśli strumień usunięto, usuń też jego znaczniki; jeśli "
                                             "nie, narysuj jego składowe ponownie.")
                                  .arg(places.join(QStringLiteral(", "))));
    }
    return outside;
}

}  // namespace conflictor
