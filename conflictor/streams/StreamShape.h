// The shape of a stream as drawn, checked once for every command that measures streams: its pieces
// are real lines and arcs, one to a component block, each block referenced once, at most
// MaxSegments of them, joined into one chain from the start marker's end (or from a free end, for a
// stream without start marker) to the other free end. A fault is told with the stream's name, the
// reason and a point in drawing units the user can zoom to.
#pragma once

#include "common/Geometry.h"
#include "common/NumberText.h"
#include "conflictor/streams/StreamRecords.h"

#include <QString>

namespace conflictor {

using common::FarthestCoordinate;
using common::PointText;

// What the check found. Fault is the text shown after the stream's name (empty: the stream is
// sound); a sound stream has its two free ends and the components ending there.
struct StreamShape {
    QString Name;  // the stream as the fault names it (its pieces may spell it in another case)
    QString Fault;
    common::PlanePointPair Ends{common::MissingPoint(), common::MissingPoint()};
    int FirstSegment = 0;
    int SecondSegment = 0;
};

// `checkStart`: the chain is walked from the stream's start marker, which must stand on one free end.
StreamShape CheckStreamShape(const StreamRecord& r, bool checkStart);

// Every stream of the table checked (vehicle streams from their start markers), after the streams
// the table lacks though the drawing holds their pieces or markers. The first faulty stream is told,
// with `stopped` on a line after the fault, highlighted in the drawing and made the grid's current
// row; false then.
bool CheckStreamShapes(const QString& stopped);
// The first fault of a stream the table lacks (StreamsOutsideTheTable), told with `stopped` on a
// line after it (none when empty); false then.
bool CheckStreamsOutsideTheTable(const QString& stopped);

// "101 składowych", "102 składowe": the count with the Polish plural of "składowa".
QString ComponentCountText(int n);

}  // namespace conflictor
