// One check of a stream's shape for the cut, the exports and the stale-cut comparison: what the
// drawing holds is measured only when it is one chain of real pieces, and a stream that is not is
// named with the reason and the place, never measured across a gap or along a copy.
#include "conflictor/streams/StreamShape.h"

#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamPieces.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/engine/BlockNesting.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace conflictor {

namespace {

using common::ArePointsEqual;
using common::PlanePoint;

QString faulty(const QString& reason) {
    return QStringLiteral(": Niepoprawny strumień. ") + reason;
}

// The component as the user finds it in the drawing: its block's name, or its place in the stream
// for one that has none (a stream not read from a drawing).
QString componentName(const SegmentRecord& s, int k) {
    return s.Label.isEmpty() ? QStringLiteral("nr %1").arg(k) : QLatin1Char('"') + s.Label + QLatin1Char('"');
}

// The values of the component's geometry that must be numbers within the drawing's reach.
std::vector<double> geometryValues(const SegmentRecord& s) {
    std::vector<double> values{s.StartPoint.X, s.StartPoint.Y, s.EndPoint.X, s.EndPoint.Y};
    if (!s.IsLine)
        values.insert(values.end(), {s.Center.X, s.Center.Y, s.Radius, s.StartAngle, s.EndAngle});
    return values;
}

// The point of the component to show for a fault of its numbers: the first end that is one, else
// its start as it is.
PlanePoint shownPointOf(const SegmentRecord& s) {
    for (const PlanePoint& p : {s.StartPoint, s.EndPoint})
        if (std::isfinite(p.X) && std::isfinite(p.Y) && std::abs(p.X) <= FarthestCoordinate &&
            std::abs(p.Y) <= FarthestCoordinate)
            return p;
    return s.StartPoint;
}

// The sweep of an arc, 0 to 2π.
double sweepOf(const SegmentRecord& s) {
    const double turn = 2 * std::numbers::pi;
    double sweep = std::fmod(s.EndAngle - s.StartAngle, turn);
    if (sweep < 0) sweep += turn;
    return sweep;
}

// The fault of one component on its own; empty when it is a real line or arc.
QString pieceFault(const SegmentRecord& s, int k) {
    const QString name = componentName(s, k);
    // What the reading could not follow comes first: the curves it counted are not all there are.
    if (!s.SelfInsertion.isEmpty())
        return faulty(
            cad::db::selfInsertionNote(s.SelfInsertion) +
            QStringLiteral(", więc składowej %1 nie można odczytać. Usuń to wstawienie bloku.").arg(name));
    if (s.NestingLeftOut > 0)
        return faulty(QStringLiteral("Składowej %1 nie odczytano w całości. ").arg(name) +
                      cad::db::nestingLeftOutNote(s.NestingLeftOut));
    if (s.PartsLeftOut)
        return faulty(
            QStringLiteral("Blok składowej %1 zawiera (razem z blokami wstawionymi w nim) więcej niż %2 "
                           "obiektów, a składowa strumienia to dokładnie jedna linia lub jeden łuk.")
                .arg(name)
                .arg(MostComponentParts));
    if (s.CurveCount == 0)
        return faulty(QStringLiteral("Blok składowej %1 nie zawiera linii ani łuku, a składowa strumienia to "
                                     "dokładnie jedna linia lub jeden łuk.")
                          .arg(name));
    if (s.CurveCount > 1)
        return faulty(QStringLiteral("Blok składowej %1 zawiera więcej niż jedną linię lub łuk (razem: %2), a "
                                     "składowa strumienia to dokładnie jedna linia lub jeden łuk; jeden z nich w "
                                     "punkcie %3.")
                          .arg(name)
                          .arg(s.CurveCount)
                          .arg(PointText(s.StartPoint)));
    if (s.Tilted)
        return faulty(QStringLiteral("Składowa %1 w punkcie %2 leży w płaszczyźnie nachylonej do płaszczyzny XY "
                                     "(jej kierunek wyciągnięcia nie jest osią Z), więc rzut nie pokazuje jej "
                                     "długości; narysuj ją ponownie w płaszczyźnie XY.")
                          .arg(name, PointText(s.StartPoint)));
    // Unequal X and Y scales draw an arc as part of an ellipse, whose length the suite does not measure.
    if (s.Unmeasurable)
        return faulty(QStringLiteral("Składowa %1 w punkcie %2 jest łukiem przeskalowanym niejednakowo w osiach X i "
                                     "Y; narysuj ją ponownie.")
                          .arg(name, PointText(s.StartPoint)));
    const std::vector<double> values = geometryValues(s);
    if (std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); }))
        return faulty(QStringLiteral("Składowa %1 ma współrzędną, która nie jest liczbą: %2.")
                          .arg(name, PointText(shownPointOf(s))));
    if (std::any_of(values.begin(), values.end(),
                    [](double v) { return !std::isfinite(v) || std::abs(v) > FarthestCoordinate; }))
        return faulty(
            QStringLiteral("Składowa %1 leży zbyt daleko od początku układu współrzędnych (dalej niż "
                           "%2 jednostek rysunku): %3. Tak daleko liczby rysunku (ok. 16 cyfr znaczących) "
                           "nie dają pewnej dokładności 0,01 jednostki rysunku, z jaką strumienie są "
                           "cięte i mierzone; przesuń rysunek bliżej początku układu współrzędnych.")
                .arg(name, common::FormatPlainNumber(FarthestCoordinate), PointText(shownPointOf(s))));
    if (!s.IsLine && s.Radius <= 0)
        return faulty(QStringLiteral("Łuk %1 ma promień %2, a promień łuku musi być większy od zera; środek łuku "
                                     "w punkcie %3.")
                          .arg(name, common::FormatPlainNumber(s.Radius), PointText(s.Center)));
    if (ArePointsEqual(s.StartPoint, s.EndPoint)) {
        // Ends that meet are a point, or for an arc a whole circle: neither leads anywhere.
        if (!s.IsLine && s.Radius * sweepOf(s) >= 0.01)
            return faulty(QStringLiteral("Łuk %1 zamyka się w okrąg: jego końce pokrywają się w punkcie %2.")
                              .arg(name, PointText(s.StartPoint)));
        return faulty(QStringLiteral("Składowa %1 ma zerową długość: jej końce pokrywają się w punkcie %2.")
                          .arg(name, PointText(s.StartPoint)));
    }
    return {};
}

// The faults of the components themselves: their number, each one alone, and copies.
QString componentsFault(const StreamRecord& r, int count) {
    const int found = std::max(r.ReferenceCount, r.SegmentCount);
    if (found > MaxSegments)
        return faulty(QStringLiteral("Strumień ma %1, a może mieć najwyżej %2; pierwsza z nich zaczyna się w "
                                     "punkcie %3. Narysuj strumień z mniejszej liczby składowych.")
                          .arg(ComponentCountText(found))
                          .arg(MaxSegments)
                          .arg(PointText(r.Segments[1].StartPoint)));
    for (int k = 1; k <= count; ++k)
        if (const QString fault = pieceFault(r.Segments[size_t(k)], k); !fault.isEmpty()) return fault;
    // One block referenced twice is one component drawn again elsewhere (a copy): it would be
    // measured as a second piece of the stream.
    for (int m = 2; m <= count; ++m) {
        const SegmentRecord& copy = r.Segments[size_t(m)];
        if (copy.Label.isEmpty()) continue;
        for (int k = 1; k < m; ++k) {
            const SegmentRecord& s = r.Segments[size_t(k)];
            if (s.Label.compare(copy.Label, Qt::CaseInsensitive) != 0 || s.Handle == copy.Handle) continue;
            return faulty(QStringLiteral("Blok składowej %1 jest wstawiony w rysunku więcej niż raz (kopia "
                                         "składowej); kopia w punkcie %2. Usuń kopię.")
                              .arg(componentName(copy, m), PointText(copy.StartPoint)));
        }
    }
    return {};
}

// The number of component ends (starts and ends of all components) at the point; the last
// component ending there in `last`.
int endsAt(const StreamRecord& r, int count, const PlanePoint& p, int* last = nullptr) {
    int n = 0;
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        for (const PlanePoint& end : {s.StartPoint, s.EndPoint}) {
            if (!ArePointsEqual(end, p)) continue;
            ++n;
            if (last) *last = k;
        }
    }
    return n;
}

// Walks the chain from the start point (or, without one, from the first free end) and names where
// it branches or breaks off before every component is reached.
QString chainFault(const StreamRecord& r, int count, bool fromStart) {
    if (count == 0) return {};
    PlanePoint at = r.StartPoint;
    if (!fromStart) {
        bool found = false;
        for (int k = 1; k <= count && !found; ++k)
            for (const PlanePoint& p : {r.Segments[size_t(k)].StartPoint, r.Segments[size_t(k)].EndPoint})
                if (!found && endsAt(r, count, p) == 1) {
                    at = p;
                    found = true;
                }
        if (!found)
            return faulty(QStringLiteral("Składowe strumienia tworzą zamkniętą pętlę (bez wolnego końca), np. w "
                                         "punkcie %1.")
                              .arg(PointText(r.Segments[1].StartPoint)));
    }
    std::vector<bool> used(size_t(count) + 1, false);
    int walked = 0;
    while (walked < count) {
        int matches = 0, match = 0;
        PlanePoint next{};
        for (int k = 1; k <= count; ++k) {
            if (used[size_t(k)]) continue;
            const SegmentRecord& s = r.Segments[size_t(k)];
            if (ArePointsEqual(s.StartPoint, at)) {
                ++matches;
                match = k;
                next = s.EndPoint;
            } else if (ArePointsEqual(s.EndPoint, at)) {
                ++matches;
                match = k;
                next = s.StartPoint;
            }
        }
        if (matches == 0) break;
        if (matches > 1)
            return faulty(QStringLiteral("Strumień rozgałęzia się w punkcie %1: schodzi się w nim więcej niż dwie "
                                         "składowe.")
                              .arg(PointText(at)));
        used[size_t(match)] = true;
        ++walked;
        at = next;
    }
    if (walked == count) return {};
    const QString rest = count - walked == 1 ? QStringLiteral("jedna składowa nie łączy się z nim")
                                             : QStringLiteral("pozostałe składowe (%1) nie łączą się z nim")
                                                   .arg(count - walked);
    return faulty(QStringLiteral("Strumień ma przerwę: ciąg jego składowych urywa się w punkcie %1, a %2.")
                      .arg(PointText(at), rest));
}

QString startPointAgain() {
    return QStringLiteral("polecenie \"Ustaw punkt początkowy\" (menu Edycja) ustawia na nowo oba znaczniki, "
                          "początku i końca.");
}

// More than one start (or end) marker: the chain would be walked from whichever the drawing lists
// last.
QString markersFault(const QString& what, const QList<PlanePoint>& places) {
    QStringList at;
    for (const PlanePoint& p : places) at << PointText(p);
    return faulty(QStringLiteral("Strumień ma %1 %2, a może mieć jeden: w punktach %3. Usuń zbędny znacznik; ")
                      .arg(places.size())
                      .arg(what, at.join(QStringLiteral(" i "))) +
                  startPointAgain());
}

}  // namespace

QString ComponentCountText(int n) {
    const int tens = n % 100, units = n % 10;
    if (n == 1) return QStringLiteral("1 składową");
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) return QStringLiteral("%1 składowe").arg(n);
    return QStringLiteral("%1 składowych").arg(n);
}

StreamShape CheckStreamShape(const StreamRecord& r, bool checkStart) {
    StreamShape out;
    out.Name = r.Name;
    if (!r.ReferenceFault.isEmpty()) {
        if (!r.ReferenceFaultName.isEmpty()) out.Name = r.ReferenceFaultName;
        out.Fault = r.ReferenceFault;
        return out;
    }
    const int count = std::min(r.SegmentCount, MaxSegments);
    if (QString fault = componentsFault(r, count); !fault.isEmpty()) {
        out.Fault = std::move(fault);
        return out;
    }
    if (checkStart) {
        if (r.StartMarkers.size() > 1) {
            out.Fault = markersFault(QStringLiteral("znaczniki początku"), r.StartMarkers);
            return out;
        }
        if (r.EndMarkers.size() > 1) {
            out.Fault = markersFault(QStringLiteral("znaczniki końca"), r.EndMarkers);
            return out;
        }
        if (common::IsMissingPoint(r.StartPoint)) {
            out.Fault = QStringLiteral(": Brak punktu początkowego strumienia!");
            return out;
        }
        if (endsAt(r, count, r.StartPoint) != 1) {
            out.Fault = QStringLiteral(
                ": Błąd. Punkt początkowy strumienia powinien znajdować się na jednym z końców strumienia");
            return out;
        }
    }
    if (QString fault = chainFault(r, count, checkStart); !fault.isEmpty()) {
        out.Fault = std::move(fault);
        return out;
    }
    common::PlanePointPair ends{{common::MissingCoordinate, common::MissingCoordinate},
                                {common::MissingCoordinate, common::MissingCoordinate}};
    int freeEnds = 0;
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        for (const PlanePoint& p : {s.StartPoint, s.EndPoint}) {
            int last = 0;
            const int n = endsAt(r, count, p, &last);
            if (n > 2) {
                out.Fault = faulty(QStringLiteral("Ilość końców w strumieniu > 2"));
                return out;
            }
            if (n != 1) continue;
            ++freeEnds;
            if (freeEnds == 1) {
                ends.First = p;
                out.FirstSegment = last;
            } else if (freeEnds == 2) {
                ends.Second = p;
                out.SecondSegment = last;
            }
        }
    }
    if (freeEnds != 2) {
        out.Fault = faulty(QStringLiteral("Ilość końców w strumieniu > 2"));
        return out;
    }
    // The end marker stands where the chain ended when the marker was placed: at neither free end,
    // the chain has lost or gained a piece since (one moved away, exploded, erased).
    if (checkStart && r.EndMarkers.size() == 1 && !ArePointsEqual(r.EndMarkers[0], ends.First) &&
        !ArePointsEqual(r.EndMarkers[0], ends.Second)) {
        out.Fault = faulty(QStringLiteral("Znacznik końca strumienia stoi w punkcie %1, a wolne końce strumienia "
                                          "są w punktach %2 i %3: strumieniowi mogła ubyć składowa (przeniesiona, "
                                          "rozbita albo usunięta). Sprawdź strumień; ") +
                           startPointAgain())
                        .arg(PointText(r.EndMarkers[0]), PointText(ends.First), PointText(ends.Second));
        return out;
    }
    out.Ends = ends;
    return out;
}

bool CheckStreamsOutsideTheTable(const QString& stopped) {
    if (StreamsOutsideTheTable.isEmpty()) return true;
    ui::MsgBox(common::Tlumacz(StreamsOutsideTheTable.first()) + (stopped.isEmpty() ? QString() : QLatin1Char('\n') + stopped),
               ui::Exclamation, MainWindow().caption());
    return false;
}

bool CheckStreamShapes(const QString& stopped) {
    if (!CheckStreamsOutsideTheTable(stopped)) return false;
    for (int i = 0; i < int(StreamTable.size()); ++i) {
        const StreamRecord& r = StreamTable[size_t(i)];
        const StreamShape shape = CheckStreamShape(r, IsVehicleStream(r));
        if (shape.Fault.isEmpty()) continue;
        ui::MsgBox(common::Tlumacz(shape.Name + shape.Fault) + QLatin1Char('\n') + stopped, ui::Exclamation,
                   MainWindow().caption());
        ZaznaczStrumien(i, common::Settings.PisakZaznaczenia, false);
        MainWindow().SelectGridRowOfStream(r.Name);
        return false;
    }
    return true;
}

}  // namespace conflictor
