// Counting the pieces a cut would make, from the crossings of the components as they stand.
#include "conflictor/conflicts/SplitLimit.h"

#include "conflictor/conflicts/SegmentCrossings.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamShape.h"

#include <QHash>
#include <algorithm>

namespace conflictor {

namespace {

// A component is split once at each distinct point of its inside the cut meets; a component shared
// by streams (one reference) is split for all of them, so its points are kept by reference.
struct ComponentPoints {
    QHash<QString, std::vector<common::PlanePoint>> byHandle;

    static QString keyOf(int stream, int k, const SegmentRecord& s) {
        return s.Handle.isEmpty() ? QStringLiteral("#%1/%2").arg(stream).arg(k) : s.Handle;
    }
    void add(int stream, int k, const SegmentRecord& s, const common::PlanePoint& p) {
        if (!IsVehicleStream(StreamTable[size_t(stream)])) return;
        if (common::ArePointsEqual(p, s.StartPoint) || common::ArePointsEqual(p, s.EndPoint)) return;
        std::vector<common::PlanePoint>& points = byHandle[keyOf(stream, k, s)];
        for (const common::PlanePoint& q : points)
            if (common::ArePointsEqual(p, q)) return;
        points.push_back(p);
    }
};

common::ToleranceBox boxOf(SegmentRecord s) {
    ComputeSegmentBounds(s);
    return common::MakeToleranceBox({s.Bounds1, s.Bounds2});
}

bool sharesHandle(const StreamRecord& r, const QString& handle) {
    if (handle.isEmpty()) return false;
    for (int b = 1; b <= std::min(r.SegmentCount, MaxSegments); ++b)
        if (r.Segments[size_t(b)].Handle == handle) return true;
    return false;
}

}  // namespace

SplitPastLimit FindSplitPastLimit(const std::vector<bool>& marked) {
    const int n = std::min(int(StreamTable.size()), int(marked.size()));
    std::vector<std::vector<common::ToleranceBox>> boxes(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (!marked[size_t(i)]) continue;
        const StreamRecord& r = StreamTable[size_t(i)];
        for (int k = 1; k <= std::min(r.SegmentCount, MaxSegments); ++k)
            boxes[size_t(i)].push_back(boxOf(r.Segments[size_t(k)]));
    }
    ComponentPoints points;
    for (int i = 0; i + 1 < n; ++i) {
        if (!marked[size_t(i)]) continue;
        const StreamRecord& ri = StreamTable[size_t(i)];
        for (int j = i + 1; j < n; ++j) {
            if (!marked[size_t(j)]) continue;
            const StreamRecord& rj = StreamTable[size_t(j)];
            for (size_t a = 0; a < boxes[size_t(i)].size(); ++a) {
                const SegmentRecord& sa = ri.Segments[a + 1];
                if (sharesHandle(rj, sa.Handle)) continue;
                for (size_t b = 0; b < boxes[size_t(j)].size(); ++b) {
                    if (!common::DoExtentsOverlap(boxes[size_t(i)][a], boxes[size_t(j)][b])) continue;
                    const SegmentRecord& sb = rj.Segments[b + 1];
                    for (const common::PlanePoint& p : FindSegmentCrossings(sa, sb)) {
                        points.add(i, int(a + 1), sa, p);
                        points.add(j, int(b + 1), sb, p);
                    }
                }
            }
        }
    }
    for (int i = 0; i < int(StreamTable.size()); ++i) {
        const StreamRecord& r = StreamTable[size_t(i)];
        if (!IsVehicleStream(r)) continue;
        int after = r.SegmentCount;
        for (int k = 1; k <= std::min(r.SegmentCount, MaxSegments); ++k)
            after += int(points.byHandle.value(ComponentPoints::keyOf(i, k, r.Segments[size_t(k)])).size());
        if (after > MaxSegments) return {r.Name, r.SegmentCount, after, r.Segments[1].StartPoint};
    }
    return {};
}

QString SplitPastLimitMessage(const SplitPastLimit& past) {
    return QStringLiteral("Cięcie nie jest możliwe: strumień %1 ma %2, a po podziale w punktach kolizji miałby ich "
                          "%3, więcej niż %4, które strumień może mieć (pierwsza składowa zaczyna się w punkcie %5). "
                          "Rysunek nie został zmieniony; narysuj strumień z mniejszej liczby składowych.")
        .arg(past.Stream, ComponentCountText(past.Now))
        .arg(past.After)
        .arg(MaxSegments)
        .arg(PointText(past.At));
}

}  // namespace conflictor
