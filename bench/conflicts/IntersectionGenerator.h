// A generated intersection drawn with the stream model's own routines into the current drawing:
// vehicle streams as chords of a circle, each a chain of alternating lines and arcs with its start
// marker, and pedestrian and bicycle crossings near the rim, each drawn along both edges of its zebra.
#pragma once

namespace conflictor::bench {

struct IntersectionShape {
    int VehicleStreams = 60;
    int ComponentsPerStream = 8;
    int PedestrianStreams = 16;  // two edges a crossing; crossings alternate pedestrian (P), bicycle (R)
    double Radius = 100;         // drawing units
};

// Streams K1.., P1.., R1.. of IntersectionNumber; the stream table is left empty for a fresh read.
void GenerateIntersection(const IntersectionShape& shape);

}  // namespace conflictor::bench
