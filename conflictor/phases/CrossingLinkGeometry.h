// Crossing links of pedestrian and bicycle streams: the side lists, the span and island gap of a
// side, the link's axis and arrow tips, the walked length of a stream and the length texts.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/Block.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace conflictor {

// Two points of the drawing plane; absent when P1.X is the missing coordinate.
using PointPair = common::PlaneSegment;

inline PointPair AbsentPair() {
    return PointPair{common::MissingPoint(), common::MissingPoint()};
}
inline bool IsAbsentPair(const PointPair& p) {
    return common::IsMissingPoint(p.P1);
}

// The names of a side typed in its box: trimmed, every blank made a ":", split at ":" (so two blanks
// in a row give an empty name); empty text gives none.
QStringList CrossingSideList(const QString& text);

// The side's span (its two far ends) from the two ends of each of its streams (one or two); `gap`
// gets the island's edges of a two-stream side, absent for one stream or streams that touch. More
// than two streams give a span whose P1 is missing.
PointPair CombineCrossingSide(const std::vector<PointPair>& pairs, PointPair& gap);

// The link axis between the middles of the spans' ends, lengthened by `scale` at both ends; `tips`
// (the arrow tips, 2 × scale beyond the middles) is set only for a scale above 0. `outerSpan` is
// turned round when its second end lies nearer the inner span's first end.
PointPair BuildLinkAxis(const PointPair& innerSpan, PointPair& outerSpan, double scale, PointPair& tips);

// Walked length of the stream in metres at the current drawing scale: each component counts with
// one decimal.
double GetStreamLength(int streamIndex);

// The segment's length in metres as a text in its middle, reading left to right, on `layer` (when
// given); segments of 0.3 m or less get none.
void AddSegmentLengthText(const cad::Block& owner, const PointPair& segment, const QString& layer);

}  // namespace conflictor
