// The cut: every pair of streams of the current intersection intersected component by component,
// vehicle components split at each crossing, the conflict points marked and every component given
// its length text. Both variants: all streams, or the streams highlighted in the drawing.
#pragma once

#include "conflictor/streams/StreamRecords.h"

namespace conflictor {

// How the cut ended.
enum class CutOutcome {
    Declined,      // the user answered No
    NoDocument,    // no drawing open
    NoStreams,     // the intersection has no streams
    NoneSelected,  // selected variant: no stream of this intersection is highlighted
    CheckFailed,   // a stream failed the check (its own message was shown); nothing cut
    NumberRefused, // the intersection number cannot name the cut's blocks (the message said why); nothing cut
    UnitsRefused,  // "SKALA" does not fit the drawing (the message said so); nothing cut
    Failed,        // the drawing refused a step; the message says which
    Incomplete,    // cut, but a crossing it made has no marker or a marker no crossing (pairs named)
    Done,
};

// The command (menu "Tnij wszystkie strumienie" with all, "Tnij zaznaczone strumienie" without).
// Whatever way it ends, the CAD variables, the active layer, AutoZaznaczNowe, the pointer, the
// progress bar and the status panel are as they were before.
CutOutcome CutStreams(bool all);

// Bounding boxes of every component of every stream of the table.
void ComputeAllSegmentBounds();

// Counters of the last cut, for the benchmark.
struct CutStatistics {
    int PairsTested = 0;        // component pairs whose boxes overlapped
    int Crossings = 0;          // crossing points found
    int MessageLoopRounds = 0;  // times the message loop was served
};
extern CutStatistics LastCutStatistics;

}  // namespace conflictor
