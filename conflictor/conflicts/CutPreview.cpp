// The pairs of the cut without the cut: crossings of the components as they stand, no split made.
#include "conflictor/conflicts/CutPreview.h"

#include "conflictor/conflicts/SegmentCrossings.h"
#include "conflictor/streams/SegmentBounds.h"

#include <cmath>
#include <limits>

namespace conflictor {

namespace {

bool sharesHandle(const StreamRecord& r, const QString& handle) {
    if (handle.isEmpty()) return false;
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int b = 1; b <= count; ++b)
        if (r.Segments[size_t(b)].Handle == handle) return true;
    return false;
}

// The boxes of a stream's components and of the whole stream. A component whose bounds are not
// numbers overlaps everything, as in the cut.
struct StreamBoxes {
    std::vector<common::ToleranceBox> parts;
    common::ToleranceBox whole;
};

StreamBoxes boxesOf(const StreamRecord& r) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    StreamBoxes out;
    common::PlaneBox whole{{inf, inf}, {-inf, -inf}};
    bool unbounded = false;
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k) {
        SegmentRecord s = r.Segments[size_t(k)];
        ComputeSegmentBounds(s);
        out.parts.push_back(common::MakeToleranceBox({s.Bounds1, s.Bounds2}));
        if (std::isnan(s.Bounds1.X) || std::isnan(s.Bounds1.Y) || std::isnan(s.Bounds2.X) || std::isnan(s.Bounds2.Y))
            unbounded = true;
        whole.Corner1 = {std::min(whole.Corner1.X, s.Bounds1.X), std::min(whole.Corner1.Y, s.Bounds1.Y)};
        whole.Corner2 = {std::max(whole.Corner2.X, s.Bounds2.X), std::max(whole.Corner2.Y, s.Bounds2.Y)};
    }
    if (unbounded) whole = {{-inf, -inf}, {inf, inf}};
    out.whole = common::MakeToleranceBox(whole);
    return out;
}

}  // namespace

std::vector<MarkerOfPoint> PreviewConflictMarkers(const std::vector<bool>* marked) {
    const int n = int(StreamTable.size());
    auto taken = [marked](int i) { return !marked || (size_t(i) < marked->size() && (*marked)[size_t(i)]); };
    std::vector<StreamBoxes> boxes;
    boxes.reserve(size_t(n));
    for (const StreamRecord& r : StreamTable) boxes.push_back(boxesOf(r));

    std::vector<MarkerOfPoint> out;
    for (int i = 0; i + 1 < n; ++i) {
        if (!taken(i)) continue;
        const StreamRecord& ri = StreamTable[size_t(i)];
        std::vector<ConflictPointRecord> points(1);
        for (int j = i + 1; j < n; ++j) {
            if (!taken(j)) continue;
            const StreamRecord& rj = StreamTable[size_t(j)];
            if (!common::DoExtentsOverlap(boxes[size_t(i)].whole, boxes[size_t(j)].whole)) continue;
            if (common::ArePointsEqual(ri.StartPoint, rj.StartPoint)) continue;
            const std::vector<common::ToleranceBox>& partsJ = boxes[size_t(j)].parts;
            for (size_t a = 0; a < boxes[size_t(i)].parts.size(); ++a) {
                const common::ToleranceBox& boxA = boxes[size_t(i)].parts[a];
                if (!common::DoExtentsOverlap(boxA, boxes[size_t(j)].whole)) continue;
                const SegmentRecord& sa = ri.Segments[a + 1];
                // A component both streams hold is no crossing of theirs.
                if (sharesHandle(rj, sa.Handle)) continue;
                for (size_t b = 0; b < partsJ.size(); ++b) {
                    if (!common::DoExtentsOverlap(boxA, partsJ[b])) continue;
                    for (const PlanePoint& p : FindSegmentCrossings(sa, rj.Segments[b + 1]))
                        AddConflictPoint(p, points, i, j);
                }
            }
        }
        for (MarkerOfPoint& m : ClassifyConflictPoints(points)) out.push_back(std::move(m));
    }
    return out;
}

}  // namespace conflictor
