// The markers compared with the cut of the streams as they stand, and the stale cut told by name.
#include "conflictor/conflicts/StaleCut.h"

#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/CutPreview.h"
#include "conflictor/conflicts/SegmentCrossings.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "platform/ui/core/Prompt.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <utility>

namespace conflictor {

namespace {

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// A marker's identity: its kind, its two streams in either order and, for an approach point, the
// crossing whose clearance it follows. Names compare as stream names do, without regard to case.
QString keyOf(int kind, const QString& a, const QString& b, const QString& associated) {
    QString x = a.toUpper(), y = b.toUpper();
    if (y < x) std::swap(x, y);
    return QString::number(kind) + QLatin1Char('|') + x + QLatin1Char('|') + y + QLatin1Char('|') +
           (kind == 1 ? associated.toUpper() : QString());
}

const StreamRecord* streamNamed(const QString& name) {
    const int i = FindStreamIndex(name);
    return i < 0 ? nullptr : &StreamTable[size_t(i)];
}

bool liesOn(const PlanePoint& p, const StreamRecord& r) {
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k)
        if (IsPointOnComponent(p, r.Segments[size_t(k)])) return true;
    return false;
}

// The cut split a vehicle stream at each of its crossings: a component of it ends there. Pedestrian
// and bicycle streams are never split, and a stream without room for another component was left
// whole by the cut.
bool splitThere(const PlanePoint& p, const StreamRecord& r) {
    if (!IsVehicleStream(r) || r.SegmentCount >= MaxSegments) return true;
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        if (common::ArePointsEqual(s.StartPoint, p) || common::ArePointsEqual(s.EndPoint, p)) return true;
    }
    return false;
}

// One way the drawing differs from the cut of its streams.
struct Difference {
    QString First, Second;  // the pair's streams
    enum What { NewPoint, NotSplit, Gone } Kind;
};

QString shown(const QString& name) {
    return name.isEmpty() ? T("(bez nazwy)") : name;
}

// The pairs of the differences `taken` keeps, "K1 i K2" each once in the order met, with the kinds
// of difference seen for it (one bit each).
template <class Keep>
QList<std::pair<QString, int>> pairsOf(const QList<Difference>& differences, Keep taken) {
    QList<std::pair<QString, int>> pairs;
    for (const Difference& d : differences) {
        if (!taken(d)) continue;
        const QString pair = shown(d.First) + T(" i ") + shown(d.Second);
        auto it = std::find_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == pair; });
        if (it == pairs.end()) it = pairs.insert(pairs.end(), {pair, 0});
        it->second |= 1 << d.Kind;
    }
    return pairs;
}

// Names the streams behind the differences: deleted (named by markers, no longer in the table), added
// (named by no marker), moved or reshaped (a marker of theirs stands where the other stream still
// passes and they no longer do); a difference none of these explains is told by its pair.
QStringList describe(const QList<ConflictMarker>& markers, const QList<Difference>& differences) {
    QStringList changes;
    QSet<QString> named;  // upper-cased names already told
    QSet<QString> inMarkers;
    QStringList deleted;
    for (const ConflictMarker& m : markers)
        for (const QString& name : {m.Stream1, m.Stream2}) {
            inMarkers.insert(name.toUpper());
            if (!name.isEmpty() && !streamNamed(name) && !named.contains(name.toUpper())) {
                named.insert(name.toUpper());
                deleted << name + T(" (usunięty)");
            }
        }
    QSet<QString> suspects;
    for (const Difference& d : differences) suspects << d.First.toUpper() << d.Second.toUpper();
    auto movedOff = [&](const StreamRecord& s) {
        for (const ConflictMarker& m : markers) {
            const bool first = m.Stream1.compare(s.Name, Qt::CaseInsensitive) == 0;
            const bool second = m.Stream2.compare(s.Name, Qt::CaseInsensitive) == 0;
            if (!first && !second) continue;
            const StreamRecord* other = streamNamed(first ? m.Stream2 : m.Stream1);
            if (other && !liesOn(m.Position, s) && liesOn(m.Position, *other)) return true;
        }
        return false;
    };
    for (const StreamRecord& s : StreamTable) {
        const QString key = s.Name.toUpper();
        if (!suspects.contains(key) || named.contains(key)) continue;
        if (!inMarkers.contains(key)) {
            changes << s.Name + T(" (dodany)");
            named.insert(key);
        } else if (movedOff(s)) {
            changes << s.Name + T(" (przesunięty lub zmieniony)");
            named.insert(key);
        }
    }
    changes << deleted;
    // A stream that met a changed one has its crossings told apart anew (clearance and approach
    // alternate along a vehicle stream): its other differences follow from that change.
    QSet<QString> touched;
    for (const Difference& d : differences) {
        if (named.contains(d.First.toUpper())) touched.insert(d.Second.toUpper());
        if (named.contains(d.Second.toUpper())) touched.insert(d.First.toUpper());
    }
    // What is left: pairs whose points differ though neither stream was found changed by itself.
    const auto pairs = pairsOf(differences, [&](const Difference& d) {
        const QString a = d.First.toUpper(), b = d.Second.toUpper();
        return !named.contains(a) && !named.contains(b) && !touched.contains(a) && !touched.contains(b);
    });
    for (const auto& [pair, kinds] : pairs) {
        QString what;
        if ((kinds & (1 << Difference::NewPoint)) && (kinds & (1 << Difference::Gone)))
            what = T("zmienione punkty kolizji");
        else if (kinds & (1 << Difference::NewPoint))
            what = T("nowy punkt kolizji");
        else if (kinds & (1 << Difference::Gone))
            what = T("punkt kolizji, którego już nie ma");
        else
            what = T("punkt kolizji w miejscu, w którym strumieni nie pocięto");
        changes << pair + QStringLiteral(" (") + what + QLatin1Char(')');
    }
    return changes;
}

// The markers matched with those a cut of the streams (of the marked ones only, when given) would
// insert: each expected marker takes the nearest marker of its identity, since where a marker stands
// is not part of what it records (it may have been moved by hand), only which of its twins it is.
struct MarkerMatch {
    std::vector<MarkerOfPoint> expected;
    std::vector<qsizetype> matched;  // per expected marker, the marker it took (-1: none)
    QList<Difference> differences;
};

MarkerMatch matchMarkers(const QList<ConflictMarker>& markers, const std::vector<bool>* marked) {
    MarkerMatch out;
    out.expected = PreviewConflictMarkers(marked);
    auto nameOf = [](int i) { return StreamTable[size_t(i)].Name; };
    QHash<QString, QList<qsizetype>> free;
    for (qsizetype m = 0; m < markers.size(); ++m)
        free[keyOf(markers[m].Kind, markers[m].Stream1, markers[m].Stream2, markers[m].AssociatedPedestrian)]
            .append(m);
    out.matched.assign(out.expected.size(), -1);
    for (size_t e = 0; e < out.expected.size(); ++e) {
        const MarkerOfPoint& x = out.expected[e];
        const QString first = nameOf(x.Stream1), second = nameOf(x.Stream2);
        QList<qsizetype>& candidates = free[keyOf(x.Kind, first, second, x.AssociatedPedestrian)];
        if (candidates.isEmpty()) {
            out.differences.append({first, second, Difference::NewPoint});
            continue;
        }
        qsizetype best = 0;
        for (qsizetype c = 1; c < candidates.size(); ++c)
            if (common::GetDistance(markers[candidates[c]].Position, x.Position) <
                common::GetDistance(markers[candidates[best]].Position, x.Position))
                best = c;
        out.matched[e] = candidates.takeAt(best);
        if (!splitThere(x.Position, StreamTable[size_t(x.Stream1)]) ||
            !splitThere(x.Position, StreamTable[size_t(x.Stream2)]))
            out.differences.append({first, second, Difference::NotSplit});
    }
    for (qsizetype m = 0; m < markers.size(); ++m) {
        const QList<qsizetype>& left = free.value(
            keyOf(markers[m].Kind, markers[m].Stream1, markers[m].Stream2, markers[m].AssociatedPedestrian));
        if (left.contains(m))
            out.differences.append({markers[m].Stream1, markers[m].Stream2, Difference::Gone});
    }
    return out;
}

}  // namespace

CutComparison CompareMarkersWithStreams(QList<ConflictMarker>& markers) {
    for (int i = 0; i < int(StreamTable.size()); ++i) SortujOdcinkiStrumienia(i);
    CutComparison result;
    if (markers.isEmpty()) {
        result.NeverCut = !PreviewConflictMarkers().empty();
        return result;
    }
    const MarkerMatch match = matchMarkers(markers, nullptr);
    if (!match.differences.isEmpty()) {
        result.Changes = describe(markers, match.differences);
        return result;
    }
    for (size_t e = 0; e < match.expected.size(); ++e)
        markers[match.matched[e]].Position = match.expected[e].Position;
    return result;
}

QStringList CheckCutPoints(const std::vector<bool>& marked) {
    auto isMarked = [&](const QString& name) {
        const int i = FindStreamIndex(name);
        return i >= 0 && size_t(i) < marked.size() && marked[size_t(i)];
    };
    QList<ConflictMarker> markers;
    for (const ConflictMarker& m : ReadConflictMarkers())
        if (isMarked(m.Stream1) && isMarked(m.Stream2)) markers.append(m);
    const MarkerMatch match = matchMarkers(markers, &marked);
    QStringList out;
    for (const auto& [pair, kinds] : pairsOf(match.differences, [](const Difference&) { return true; })) {
        QStringList what;
        if (kinds & (1 << Difference::NewPoint)) what << T("brak punktu kolizji");
        if (kinds & (1 << Difference::Gone)) what << T("punkt kolizji poza przecięciem strumieni");
        if (kinds & (1 << Difference::NotSplit)) what << T("strumieni nie podzielono w punkcie kolizji");
        out << pair + QStringLiteral(" (") + what.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return out;
}

QString StaleCutMessage(const QString& stopped, const CutComparison& comparison) {
    const QString what =
        comparison.NeverCut
            ? T("Na rysunku nie ma punktów kolizji tego skrzyżowania, a jego strumienie się przecinają: "
                "strumieni nie pocięto.")
            : T("Strumienie zmieniły się od ostatniego cięcia: ") + comparison.Changes.join(QStringLiteral(", ")) +
                  QLatin1Char('.');
    return stopped + QLatin1Char('\n') + what + QLatin1Char('\n') +
           T("Należy wykonać operację cięcia (Tnij wszystkie strumienie) a następnie eksport.");
}

CutCheck ConfirmCutCurrent(const QString& title, const QString& stopped, QList<ConflictMarker>& markers,
                           bool offerCut) {
    // Markers are compared with streams that can be measured: a faulty stream is named instead.
    if (!CheckStreamShapes(T("Nie sprawdzono, czy punkty kolizji są aktualne; należy poprawić strumień, wykonać "
                             "cięcie, a następnie ponowić polecenie.")))
        return CutCheck::Stale;
    const CutComparison comparison = CompareMarkersWithStreams(markers);
    if (comparison.current()) return CutCheck::Current;
    const QString text = StaleCutMessage(stopped, comparison);
    if (!offerCut) {
        ui::MsgBox(text, ui::Exclamation, title);
        return CutCheck::Stale;
    }
    return ui::MsgBox(text + QStringLiteral("\n\n") + T("Czy wykonać cięcie teraz?"), ui::YesNo | ui::Question,
                      title) == ui::Yes
               ? CutCheck::CutWanted
               : CutCheck::Stale;
}

}  // namespace conflictor
