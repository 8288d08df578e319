// The drawings the socket benchmark runs on, written as DXF files both sides open.
#pragma once

#include <QString>

namespace socketbench {

// The generated intersection "1": 60 vehicle streams of 8 components and 16 pedestrian and bicycle
// streams with their groups (two vehicle streams a group) and four phases in the attribute block.
// False (with a message) on failure.
bool WriteGeneratedIntersection(const QString& dxfPath);

}  // namespace socketbench
