// Reading the streams of the current intersection from the drawing into the stream table, the chain
// order of a stream's components, its two free ends, and the phases the streams use.
#pragma once

#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/Entity.h"

namespace conflictor {

// index -1: rebuilds the table from every component block of the intersection (vehicle streams
// first, then pedestrian and bicycle streams, each in reading order) and refreshes the grid; a table
// index: re-reads that stream in place. `namesOnly` reads names, values and component counts only.
// True when a stream was found; false when no drawing is open or nothing matched.
bool OdczytajStrumienie(bool namesOnly, int index);
// The most entities a component's blocks are read through, nested ones counted: a piece is one line
// or arc, and blocks that insert each other many times over (each level doubling the last) would
// otherwise be walked without end.
constexpr int MostComponentParts = 10000;

// The component of the block reference with that handle (Label set, Handle left to the caller).
SegmentRecord ReadStreamComponent(const QString& handle);
// The component references' names and their blocks' curves, read at once (one call for all);
// StreamComponentFromRow makes a row into the component ReadStreamComponent would read.
cad::VariantList ReadComponentRows(const cad::VariantList& referenceHandles);
SegmentRecord StreamComponentFromRow(const cad::Variant& row);
// The geometry fields of a line or arc entity.
void ReadSegmentGeometry(const cad::Entity& entity, SegmentRecord& segment);
// The six kinematic values of the record: its own from the attribute table, else the settings of its
// kind; pedestrian and bicycle streams have only the evacuation speed on the straight.
void ReadKinematicValues(StreamRecord& r);
// Sets the Order of the stream's components by walking the chain from its start point; always true.
bool SortujOdcinkiStrumienia(int index);
// The stream's two free ends and the components ending there; First.X = 1e30 when the stream is
// faulty (the shape check tells the user why and the stream is highlighted).
common::PlanePointPair GetStreamEndPoints(int index, bool checkStart, int& firstSegment, int& secondSegment);
// The distinct phase numbers of all streams, ascending from index 0; the highest index, -1 for none.
int CollectPhaseNumbers(std::vector<int>& phases);

}  // namespace conflictor
