// A generated intersection drawn with the stream model's own routines into the current drawing:
// vehicle streams as chords of a circle, each a chain of alternating lines and arcs with its start
// marker, and pedestrian and bicycle streams as short straight crossings near the rim.
#pragma once

namespace conflictor::bench {

struct IntersectionShape {
    int VehicleStreams = 60;
    int ComponentsPerStream = 8;
    int PedestrianStreams = 16;  // half pedestrian (P), half bicycle (R)
    double Radius = 100;         // drawing units
};

// Streams K1.., P1.., R1.. of IntersectionNumber; the stream table is left empty for a fresh read.
void GenerateIntersection(const IntersectionShape& shape);

}  // namespace conflictor::bench
