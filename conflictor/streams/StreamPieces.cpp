// Stream pieces and markers the reading would pass over, found in a few bulk reads and named.
#include "conflictor/streams/StreamPieces.h"

#include "automation/CadConnection.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "platform/cad/FilteredReads.h"

#include <QHash>
#include <QMap>

namespace conflictor {

QStringList StreamsOutsideTheTable;

namespace {

enum class RefKind { None, Component, Start, End };

QString componentPrefix() {
    return IntersectionNumber + QStringLiteral("^STRUMIEN_");
}
QString startPrefix() {
    return IntersectionNumber + QStringLiteral("^POCZATEK_STRUMIEN_");
}
QString endPrefix() {
    return IntersectionNumber + QStringLiteral("^KONIEC_STRUMIEN_");
}

// The selection filter compares names without regard to case, and so does this.
RefKind kindOf(const QString& blockName) {
    if (blockName.startsWith(componentPrefix(), Qt::CaseInsensitive)) return RefKind::Component;
    if (blockName.startsWith(startPrefix(), Qt::CaseInsensitive)) return RefKind::Start;
    if (blockName.startsWith(endPrefix(), Qt::CaseInsensitive)) return RefKind::End;
    return RefKind::None;
}

bool isReference(const QString& objectName) {
    return objectName == QLatin1String("AcDbBlockReference") || objectName == QLatin1String("AcDbMInsertBlock");
}

DrawnStreamReference referenceFrom(const cad::VariantList& values, int first) {
    DrawnStreamReference r;
    r.Object = values.value(0).toObject();
    r.MultipleInsert = values.value(first).toText() == QLatin1String("AcDbMInsertBlock");
    r.BlockName = values.value(first + 1).toText();
    r.Layer = values.value(first + 2).toText();
    const cad::Point p = values.value(first + 3).toPoint();
    r.Point = {p.x, p.y};
    return r;
}

// Blocks of the intersection's own (components, whose nested references are their geometry, and
// markers): they hold no stream piece of their own.
bool isIntersectionBlock(const QString& name) {
    const QString own = IntersectionNumber + QLatin1Char('^');
    return name.startsWith(own, Qt::CaseInsensitive) && name.contains(QStringLiteral("STRUMIEN"), Qt::CaseInsensitive);
}

// The stream names a component block lists, as the reading splits them (kinds it knows only).
QStringList listedStreams(const QString& blockName) {
    const QString rest = blockName.mid(componentPrefix().size());
    const int caret = int(rest.indexOf(QLatin1Char('^')));
    QStringList names;
    if (caret < 0) return names;
    for (const QString& item : rest.mid(caret + 1).split(QLatin1Char('^'), Qt::SkipEmptyParts))
        if (StreamKindFromName(item) != 0) names << item;
    return names;
}

// The stream a marker names: the text behind its prefix up to the next "_", as the reading takes it.
QString markedStream(const QString& blockName, RefKind kind) {
    QString name = blockName.mid((kind == RefKind::Start ? startPrefix() : endPrefix()).size());
    const int underscore = int(name.indexOf(QLatin1Char('_')));
    return underscore >= 0 ? name.left(underscore) : name;
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + common::ShortForMessage(text) + QLatin1Char('"');
}

// Why the reading passes the reference over and what to do; empty when it takes it.
QString passedOver(const DrawnStreamReference& r, RefKind kind) {
    const QString what = kind == RefKind::Component ? QStringLiteral("Składowa ")
                         : kind == RefKind::Start  ? QStringLiteral("Znacznik początku strumienia ")
                                                   : QStringLiteral("Znacznik końca strumienia ");
    const QString named = what + quoted(r.BlockName);
    if (r.MultipleInsert)
        return QStringLiteral("Blok %1 jest wstawiony w rysunku więcej niż raz (wstawienie wielokrotne w wierszach "
                              "i kolumnach, w punkcie %2). Zastąp je jednym wstawieniem bloku.")
            .arg(quoted(r.BlockName), PointText(r.Point));
    if (!r.Owner.isEmpty())
        return QStringLiteral("%1 leży wewnątrz bloku %2 (w punkcie %3 tego bloku); strumienie czyta się tylko z "
                              "obszaru modelu, więc nie zostałaby uwzględniona. Wyjmij ją z bloku (np. rozbij blok "
                              "%2) albo usuń.")
            .arg(named, quoted(r.Owner), PointText(r.Point));
    if (r.PaperSpace)
        return QStringLiteral("%1 leży w obszarze papieru w punkcie %2; strumienie czyta się tylko z obszaru modelu, "
                              "więc nie zostałaby uwzględniona. Przenieś ją do obszaru modelu albo usuń.")
            .arg(named, PointText(r.Point));
    const QString layer = common::Settings.StreamLayerName;
    if (r.Layer.compare(layer, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1 leży na warstwie %2 w punkcie %3; strumienie czyta się tylko z warstwy \"%4\", "
                              "więc nie zostałaby uwzględniona. Przenieś ją na warstwę \"%4\" albo usuń.")
            .arg(named, quoted(r.Layer), PointText(r.Point), layer);
    return {};
}

QString faulty(const QString& reason) {
    return QStringLiteral(": Niepoprawny strumień. ") + reason;
}

// The record named exactly so, else one named so in another case; -1 when none.
int recordOf(const QString& name) {
    for (int i = 0; i < int(StreamTable.size()); ++i)
        if (StreamTable[size_t(i)].Name == name) return i;
    return FindStreamIndex(name);
}

// A stream read under two spellings (K1 and k1) is one stream to the user: the pieces spelt the
// other way would be measured as a stream of their own. Named by the spelling in capitals (else the
// first read), with a piece of the other spelling.
void judgeSpellings(int only) {
    for (int i = 0; i < int(StreamTable.size()); ++i) {
        const StreamRecord& a = StreamTable[size_t(i)];
        for (int j = i + 1; j < int(StreamTable.size()); ++j) {
            const StreamRecord& b = StreamTable[size_t(j)];
            if (a.Name.compare(b.Name, Qt::CaseInsensitive) != 0) continue;
            const bool bFirst = b.Name == b.Name.toUpper() && a.Name != a.Name.toUpper();
            const StreamRecord& shown = bFirst ? b : a;
            const StreamRecord& other = bFirst ? a : b;
            const QString fault = faulty(
                QStringLiteral("Blok składowej %1 zapisuje nazwę strumienia %2 inną wielkością liter (\"%3\"), "
                               "więc jego składowe nie zostałyby zmierzone razem z pozostałymi; składowa w punkcie "
                               "%4. Popraw nazwę bloku na pisownię \"%2\".")
                    .arg(quoted(other.Segments[1].Label), shown.Name, common::ShortForMessage(other.Name),
                         PointText(other.Segments[1].StartPoint)));
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

// A piece at the origin is found by its curve, not by where its block is inserted: the curves of the
// pieces passed over, read at once.
void placePassedOverPieces(QList<DrawnStreamReference>& found) {
    QList<int> pieces;
    cad::VariantList objects;
    for (int i = 0; i < int(found.size()); ++i) {
        const DrawnStreamReference& r = found[i];
        if (kindOf(r.BlockName) != RefKind::Component || passedOver(r, RefKind::Component).isEmpty()) continue;
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
    QList<DrawnStreamReference> found;
    if (IntersectionNumber.isEmpty()) return found;
    const cad::Document& doc = automation::CadDocument;
    const QString number = PatternText(IntersectionNumber);
    cad::SelectionFilter filter;
    filter.add(0, QStringLiteral("INSERT"))
        .add(2, number + QStringLiteral("^STRUMIEN_*,") + number + QStringLiteral("^POCZATEK_STRUMIEN_*,") + number +
                    QStringLiteral("^KONIEC_STRUMIEN_*"));
    for (const cad::Variant& row : cad::ReadSelection(
             doc, filter,
             {QStringLiteral("ObjectName"), QStringLiteral("Name"), QStringLiteral("Layer"),
              QStringLiteral("InsertionPoint")}))
        found << referenceFrom(row.toArray(), 1);

    // Paper space and the blocks: every entity read at once, the references among them kept.
    const cad::VariantList names = doc.blocks().namesFrom(0);
    cad::VariantList holders;
    for (qsizetype i = 1; i + 1 < names.size(); i += 2) {
        const QString name = names[i + 1].toText();
        if (name.compare(QLatin1String("*Model_Space"), Qt::CaseInsensitive) == 0 || isIntersectionBlock(name))
            continue;
        holders << cad::Variant(cad::ObjectRef{names[i].toObject()});
    }
    if (holders.isEmpty()) {
        placePassedOverPieces(found);
        return found;
    }
    for (const cad::Variant& row :
         cad::ReadProperties(doc, holders, {QStringLiteral("Name")},
                             {QStringLiteral("ObjectName"), QStringLiteral("?Name"), QStringLiteral("?Layer"),
                              QStringLiteral("?InsertionPoint")})) {
        const cad::VariantList values = row.toArray();
        const QString holder = values.value(0).toText();
        const bool paper = holder.startsWith(QLatin1String("*Paper_Space"), Qt::CaseInsensitive);
        for (const cad::Variant& part : values.value(1).toArray()) {
            const cad::VariantList p = part.toArray();
            if (!isReference(p.value(1).toText()) || kindOf(p.value(2).toText()) == RefKind::None) continue;
            DrawnStreamReference r = referenceFrom(p, 1);
            r.PaperSpace = paper;
            if (!paper) r.Owner = holder;
            found << r;
        }
    }
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
        const RefKind kind = kindOf(r.BlockName);
        if (kind == RefKind::None) continue;
        const QString why = passedOver(r, kind);
        QStringList streams;
        if (kind == RefKind::Component) {
            streams = listedStreams(r.BlockName);
        } else {
            const QString name = markedStream(r.BlockName, kind);
            if (StreamKindFromName(name) == 0) continue;
            streams << name;
            if (why.isEmpty()) {
                const QString key = name.toUpper();
                (kind == RefKind::Start ? starts : ends)[key] << r.Point;
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
    QStringList outside;
    for (const QString& name : passedOrder) {
        const int i = recordOf(name);
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
        if (FindStreamIndex(key) >= 0) continue;
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
