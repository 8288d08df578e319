// How the streams of a pedestrian or bicycle crossing lie: the two edges of one zebra run side by side
// (nearly parallel, their ends on the same kerbs), the halves of one edge split by a refuge island run
// one after the other with the island between them (on one line, or staggered beside it). Two
// separate crossings do neither.
#pragma once

#include "conflictor/streams/StreamRecords.h"

#include <vector>

namespace conflictor {

// The two ends of a stream farthest apart (its chord from kerb to kerb) and its length along its
// components, in drawing units; false for a stream without components.
struct StreamSpan {
    PlanePoint A;
    PlanePoint B;
    double Length = 0;
};
bool GetStreamSpan(const StreamRecord& stream, StreamSpan& span);

// The two streams run side by side as the two edges of one zebra: within 20 degrees of parallel, no more
// than 12 m apart, and over the same stretch of the carriageway (overlapping along it by at least half
// the shorter one; the halves of one edge, on one line, do not overlap). `scale` is drawing units per metre.
bool AreEdgesOfOneCrossing(const StreamRecord& a, const StreamRecord& b, double scale);

// The streams of the same kind and group that continue `stream` across refuge islands (no more than
// 15 m of island between two of them; the next one's facing end no more than 10 m aside, as a half
// drawn a little off the line or a staggered refuge has it), `stream` included, in order along its
// line; the whole walk from the first one's far end to the last one's, islands included (measured
// along the line), in drawing units.
struct CrossingWalk {
    std::vector<int> Streams;   // StreamTable indexes
    std::vector<double> Parts;  // lengths along the line: stream, island, stream, ...
    double Units = 0;
};
CrossingWalk WalkAcrossIslands(int stream, double scale);

}  // namespace conflictor
