// The length texts of the stream components on "400-DLUGOSCI_STRUMIENI": one per component (a
// shared component once), the length in metres along the component, each marked with its
// intersection so that a cut replaces only its own intersection's texts.
#pragma once

#include "conflictor/streams/StreamRecords.h"

#include <functional>

namespace conflictor {

inline QString LengthTextLayer() {
    return QStringLiteral("400-DLUGOSCI_STRUMIENI");
}
// The application name of the extended data that marks a length text with its intersection.
inline QString LengthTextApplication() {
    return QStringLiteral("TESMAR_SKRZYZOWANIE");
}

// Where and how a component's length text stands.
struct LengthTextPlacement {
    double Length = 0;    // drawing units
    double Angle = 0;     // text rotation, radians
    PlanePoint Position;  // middle of the component, bottom centre of the text
};
LengthTextPlacement PlaceLengthText(const SegmentRecord& segment);

// Erases the length texts of the current intersection: those marked with it and, from drawings made
// before texts were marked, the unmarked ones standing on a component of the stream table.
// Texts of other intersections stay. Returns the number erased.
int EraseLengthTexts();
// Writes the length texts of every component of every stream in the table (a shared component once)
// into model space on the active layer, skipping components shorter than 0.3 × DrawingScale.
// `perStream` runs before each stream. Nothing here traps a CAD failure: it is thrown from here
// before the count is given. Returns the number written.
int WriteLengthTexts(const std::function<void()>& perStream = {});

}  // namespace conflictor
