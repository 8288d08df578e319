// The marker blocks of the streams (start, end) and of the conflict points, the command that sets or
// swaps a stream's start point, the replacement of its end marker, and the linetype of components
// shared by a conditional stream and another stream.
#pragma once

#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/Entity.h"

namespace conflictor {

struct CutContext;

// Marker kinds as the callers pass them.
inline QString StartMarkerKind() {
    return QStringLiteral("0");
}
inline QString EndMarkerKind() {
    return QStringLiteral("5");
}

// Defines a marker block of its own for this marker and inserts it at `point`, scaled by its
// size coefficient × DrawingScale / 1000. Kinds: "0" start, "5" end (both on the stream layer, drawn
// turned by MarkerDirection), "1", "2", "3" conflict points (on the conflict-point layer, with the
// stream attributes). A step the CAD refuses is left out, the rest still done, and the incomplete
// marker named to the user with the CAD's reason; a lost CAD host is thrown.
void InsertMarkerBlock(const PlanePoint& point, const QString& kind, const QString& stream1,
                       const QString& stream2, const QString& pedestrianStream);
// The same in a cut, the block named from the cut's names; the marker's calls reach the CAD together,
// and a marker the CAD refused (in whole or in part) is named in cut.markersLeftOut for the cut's
// closing message.
void InsertMarkerBlock(const PlanePoint& point, const QString& kind, const QString& stream1,
                       const QString& stream2, const QString& pedestrianStream, CutContext& cut);
// The size coefficient of a marker kind from the settings bindings; 1 when it is 0 or less.
double MarkerSizeCoefficient(const QString& kind);

// Places the current grid stream's start marker at its current start end (or the first free end),
// or with `swap` at its other end, and its end marker at the remaining end.
void SetStartPoint(bool swap);
// A stream whose chain was changed (a piece attached or detached) keeps its end arrow at the end
// of its chain from its start marker: placed again there when it stands elsewhere.
void KeepEndMarkerAtTheEnd(int index);
// Replaces the stream's end marker by an arrow at `point` along the component that ends there.
void PlaceEndMarker(const QString& streamName, const PlanePoint& point, const SegmentRecord& segment,
                    bool reverse);
// Linetype "BYLAYER" for a component reference that lists a conditional stream and one of another kind.
void SetRefLineType(const cad::Entity& blockReference);

}  // namespace conflictor
