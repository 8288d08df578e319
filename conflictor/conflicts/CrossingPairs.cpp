// The clearance/approach pairs of the crossings, checked along each vehicle stream.
#include "conflictor/conflicts/CrossingPairs.h"

#include "automation/CrossingLinks.h"
#include "automation/DrawingProperties.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/CrossingGeometry.h"
#include "conflictor/streams/Intersections.h"

#include <algorithm>
#include <map>

namespace conflictor {

namespace {

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// A vehicle/pedestrian point as seen from its vehicle stream.
struct CrossingPoint {
    int Order = 0;   // of the vehicle stream's component ending at the point
    int Kind = 0;    // 2 clearance, 1 approach
    int Other = -1;  // the pedestrian or bicycle stream
};

QStringList sideNames(const QString& side) {
    QStringList names;
    for (const QString& n : side.split(QLatin1Char(':'), Qt::SkipEmptyParts)) names << n.trimmed().toUpper();
    return names;
}

// Why two streams met one after the other are not the two edges of one crossing.
enum class NotOneCrossing { No, SameStream, PedestrianAndBicycle, Linked, OtherGroup, NotSideBySide };

// The two streams are the two edges of one crossing: the two sides of one crossing link when either
// stream has a link, otherwise two different streams of one signal group running side by side. A
// pedestrian and a bicycle stream never are: each is cleared at its own speed.
NotOneCrossing sameCrossing(int a, int b) {
    if (a == b) return NotOneCrossing::SameStream;
    const StreamRecord& ra = StreamTable[size_t(a)];
    const StreamRecord& rb = StreamTable[size_t(b)];
    if (ra.Kind != rb.Kind) return NotOneCrossing::PedestrianAndBicycle;
    const QString na = ra.Name.toUpper(), nb = rb.Name.toUpper();
    bool linked = false;
    for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable) {
        const QStringList inner = sideNames(link.InnerStreams), outer = sideNames(link.OuterStreams);
        const bool hasA = inner.contains(na) || outer.contains(na);
        const bool hasB = inner.contains(nb) || outer.contains(nb);
        if (!hasA && !hasB) continue;
        linked = true;
        if ((inner.contains(na) && outer.contains(nb)) || (outer.contains(na) && inner.contains(nb)))
            return NotOneCrossing::No;
    }
    if (linked) return NotOneCrossing::Linked;
    const bool sameBase = ra.BaseName.compare(rb.BaseName, Qt::CaseInsensitive) == 0;
    if (!sameBase && (ra.Group < 1 || ra.Group != rb.Group)) return NotOneCrossing::OtherGroup;
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    return AreEdgesOfOneCrossing(ra, rb, scale) ? NotOneCrossing::No : NotOneCrossing::NotSideBySide;
}

QString name(int i) {
    return StreamTable[size_t(i)].Name;
}

QString reason(NotOneCrossing why) {
    switch (why) {
        case NotOneCrossing::PedestrianAndBicycle:
            return T("przejście dla pieszych i przejazd dla rowerzystów to dwa osobne przejścia");
        case NotOneCrossing::Linked:
            return T("powiązania przejść przypisują je do różnych przejść");
        case NotOneCrossing::NotSideBySide:
            return T(
                "nie biegną obok siebie wzdłuż krawędzi tych samych pasów: to dwa przejścia narysowane "
                "jedną linią");
        default:
            return T("strumienie różnych grup");
    }
}

}  // namespace

QStringList CheckCrossingPairs() {
    return CheckCrossingPairs(ReadConflictMarkers());
}

QStringList CheckCrossingPairs(const QList<ConflictMarker>& markers) {
    automation::ReadCrossingLinks(IntersectionNumber);
    std::map<int, std::vector<CrossingPoint>> along;  // vehicle stream -> its crossing points
    for (const ConflictMarker& m : markers) {
        if (m.Kind != 1 && m.Kind != 2) continue;
        const int s1 = FindStreamIndex(m.Stream1), s2 = FindStreamIndex(m.Stream2);
        if (s1 < 0 || s2 < 0) continue;  // stale: the export stops on it by itself
        const bool v1 = IsVehicleStream(StreamTable[size_t(s1)]);
        const bool v2 = IsVehicleStream(StreamTable[size_t(s2)]);
        if (v1 == v2) continue;
        const int vehicle = v1 ? s1 : s2;
        CrossingPoint p;
        p.Kind = m.Kind;
        p.Other = v1 ? s2 : s1;
        GetSegmentOrderAtPoint(m.Position, vehicle, p.Order);
        along[vehicle].push_back(p);
    }
    QStringList faults;
    for (auto& [vehicle, points] : along) {
        // From the far end of the vehicle stream, clearance before approach at one place.
        std::stable_sort(points.begin(), points.end(), [](const CrossingPoint& a, const CrossingPoint& b) {
            return a.Order != b.Order ? a.Order > b.Order : a.Kind > b.Kind;
        });
        const QString v = name(vehicle);
        for (size_t k = 0; k < points.size();) {
            const CrossingPoint& a = points[k];
            if (a.Kind != 2) {
                faults << T("%1: punkt dojazdu przy strumieniu %2 nie ma przed sobą punktu ewakuacji tego "
                            "samego przejścia.")
                              .arg(v, name(a.Other));
                ++k;
                continue;
            }
            if (k + 1 < points.size() && points[k + 1].Kind == 1) {
                const CrossingPoint& b = points[k + 1];
                const NotOneCrossing why = sameCrossing(a.Other, b.Other);
                if (why == NotOneCrossing::SameStream)
                    faults << T("%1: strumień %2 przecina go dwa razy, a drugiej krawędzi przejścia brak.")
                                  .arg(v, name(a.Other));
                else if (why != NotOneCrossing::No)
                    faults << T("%1: punkt ewakuacji przy strumieniu %2 połączono w parę z punktem dojazdu "
                                "przy strumieniu %3, a nie są to dwie krawędzie jednego przejścia (%4).")
                                  .arg(v, name(a.Other), name(b.Other), reason(why));
                k += 2;
                continue;
            }
            faults
                << T("%1: przejście %2 przecina go tylko raz (narysowane jedną linią); brak czasu ewakuacji "
                     "pieszych lub rowerzystów przed wjazdem pojazdów.")
                       .arg(v, name(a.Other));
            ++k;
        }
    }
    return faults;
}

void ExtendToWholeCrossing(int stream, double& units, QString& text) {
    if (stream < 0 || stream >= int(StreamTable.size())) return;
    const StreamRecord& own = StreamTable[size_t(stream)];
    if (IsVehicleStream(own) || own.Group < 1) return;
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    auto metres = [](double m) { return common::FormatNumberWithDot(m, QStringLiteral("#######0.0")); };
    const QString me = own.Name.toUpper();
    for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable) {
        const QStringList inner = sideNames(link.InnerStreams), outer = sideNames(link.OuterStreams);
        if (!inner.contains(me) && !outer.contains(me)) continue;
        // Halves of two groups are two crossings, each cleared by itself; one group clears the whole.
        if (inner.size() < 2 && outer.size() < 2) return;
        for (const QString& n : inner + outer) {
            const int k = FindStreamIndex(n);
            if (k < 0 || StreamTable[size_t(k)].Group != own.Group) return;
        }
        const double total = common::ParseDouble(link.TotalLength);
        if (total * scale > units) {
            units = total * scale;
            text = metres(total);
        }
        return;
    }
    const CrossingWalk walk = WalkAcrossIslands(stream, scale);
    if (walk.Streams.size() < 2 || walk.Units <= units) return;
    QStringList parts;
    for (double p : walk.Parts) parts << metres(p / scale);
    units = walk.Units;
    text = parts.join(QLatin1Char('+'));
}

QString HowToDrawACrossing() {
    return T(
        "Przejście dla pieszych lub przejazd dla rowerzystów rysuje się jako dwa strumienie jednej "
        "grupy (np. P1 i P1[2]), po jednym wzdłuż każdej krawędzi pasów, prosto w poprzek jezdni; "
        "gdy wysepka dzieli przejście, po dwa strumienie na każdej krawędzi (jak strony powiązania "
        "przejścia \"Od środka skrzyżowania\" i \"Zewnętrzne\").");
}

QString CrossingPairsMessage(const QStringList& faults) {
    return T("Przejścia dla pieszych lub rowerzystów nie dają obu kierunków czasów międzyzielonych:") +
           QStringLiteral("\n") + faults.join(QStringLiteral("\n")) + QStringLiteral("\n\n") +
           HowToDrawACrossing();
}

}  // namespace conflictor
