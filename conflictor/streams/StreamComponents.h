// Writing a component into its own block, colouring a stream's references and markers, splitting a
// component at a point (for every stream that shares it), the cut's list of conflict points and the
// direction out of a component at one of its ends.
#pragma once

#include "conflictor/streams/StreamRecords.h"

#include <QStringList>
#include <vector>

namespace conflictor {

struct CutContext;

// One conflict point found by the cut. Kind: 3 two vehicle streams; 4 a vehicle and a pedestrian or
// bicycle stream (the cut divides these into 1 and 2); 0 neither.
struct ConflictPointRecord {
    PlanePoint Position;
    int Kind = 0;
    int Stream1 = -1;  // StreamTable indexes, Stream1 the smaller
    int Stream2 = -1;
    int ChainOrder = 0;  // order of Stream1's component ending at the point (vehicle/pedestrian points)
};

// A new component block "<nr>^STRUMIEN_<n>^<names>" holding the line or arc, and its reference on
// the stream layer; sets the segment's Handle and Label. `names` with two or more entries lists them
// all; otherwise the block lists the stream at `streamIndex`.
bool WriteStreamComponent(SegmentRecord& segment, int streamIndex, const QStringList& names);
// The same in a cut: the name is the cut's choice and the Handle a placeholder until the cut reads
// the handles of the stream's components.
bool WriteStreamComponent(SegmentRecord& segment, int streamIndex, const QStringList& names, CutContext& cut);
// Colours the stream's component references and, for a vehicle stream, its markers with `pen`;
// with `regenerate` the drawing is regenerated once instead of updating each object.
void ZaznaczStrumien(int index, int pen, bool regenerate);
// Cuts component `segmentIndex` of the stream in two at `point` (`blockName`: its Label); the new
// piece is appended to the stream and to every other stream of the table that shares the component.
void SplitStreamSegmentAtPoint(int streamIndex, int segmentIndex, const PlanePoint& point,
                               const QString& blockName);
// The same in a cut: a component whose Curve the cut knows is split without reading it back, and
// the new piece is written as WriteStreamComponent writes it in a cut.
void SplitStreamSegmentAtPoint(int streamIndex, int segmentIndex, const PlanePoint& point,
                               const QString& blockName, CutContext& cut);
// Appends the point unless an entry from 1 on has the same position and second stream.
bool AddConflictPoint(const PlanePoint& point, std::vector<ConflictPointRecord>& points, int stream1,
                      int stream2);
// Direction in radians pointing out of the component at the end given by `point`.
double GetSegmentOutwardAngle(const SegmentRecord& segment, const PlanePoint& point);

}  // namespace conflictor
