// The streams of the sample intersection: drawn into an opened drawing through conflictor's own stream
// routines (component blocks, start and end markers, the intersection attribute block and its entries).
#pragma once

#include <QString>

namespace samplemap {

// Opens the DXF file in the in-process CAD, draws intersection "1" with its streams, groups and phases
// and saves the drawing back to the same file. False (with a message on stderr) on failure.
bool AddSampleStreams(const QString& dxfPath);

}  // namespace samplemap
