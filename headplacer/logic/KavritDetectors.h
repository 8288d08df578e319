// Loops, detection areas and above-road detectors: drawn through members that only the other
// vendor's CAD offers. cadhost offers none of them, so a click ends with that CAD's error text.
#pragma once

#include <QString>

namespace headplacer {

struct LoopSizes {
    int shape = 0;  // 0 rectangle, 1 parallelogram
    double length = 0, width = 0, fromKerb = 0, fromDivider = 0;
};
struct AreaSizes {
    int kind = 0;  // 0 counting, 1 presence (two rectangles)
    double length = 0, width = 0, distance = 0;
};

// Each returns true when the object was placed; false after the message otherwise.
bool PlaceLoop(const LoopSizes& sizes);
bool PlaceDetectionArea(const AreaSizes& sizes);
bool PlaceAboveRoadDetector(int kindIndex);
// The length of a line the user picks, in metres with two decimals; 0 when none.
double PickSegmentLength();

}  // namespace headplacer
