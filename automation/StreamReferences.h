// Every stream piece and stream marker of an intersection that the drawing holds, wherever it lies.
// The programs read the component references in model space on the stream layer only; one they
// would pass over (on another layer, inside another block, in paper space, or inserted in rows and
// columns) leaves its stream measured, coloured or pictured without it, although the drawing shows
// it. Found here once for every program, and named with where it lies and what to do.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/Variant.h"

#include <QList>
#include <QStringList>

namespace automation {

enum class StreamReferenceKind { None, Component, Start, End };

// A reference whose block is named as a component, a start marker or an end marker of the
// intersection (compared without regard to case, as the selection filter compares names).
struct DrawnStreamReference {
    StreamReferenceKind Kind = StreamReferenceKind::None;
    QString BlockName;
    QString Layer;
    QString Owner;             // the block definition holding it; empty in model space and paper space
    bool PaperSpace = false;
    bool MultipleInsert = false;  // a MINSERT: its block drawn in rows and columns
    // Where to look, in the coordinates of what holds it: the insertion point as found; the callers
    // place a passed-over piece on its drawn geometry (a piece's block lies at the origin).
    common::PlanePoint Point;
    cad::ObjectId Object = 0;
};

StreamReferenceKind KindOfStreamReference(const QString& intersection, const QString& blockName);

// Every such reference of the drawing: model space in one filtered read, then the block names in one
// call and the entities of every other block and layout in one more.
QList<DrawnStreamReference> FindStreamReferences(const QString& intersection);

// Why the programs pass the reference over and what to do, a sentence beginning with what it is
// ("Składowa "…"", "Znacznik początku strumienia "…""); empty when it is read.
QString PassedOverReason(const DrawnStreamReference& r, const QString& streamLayer);

// The streams the reference belongs to: those a component block lists after its number, the one a
// marker names (the text behind its prefix up to the next "_").
QStringList StreamsOfReference(const QString& intersection, const DrawnStreamReference& r);

// The passed-over references of the intersection, each a line "<streams>: <reason>", pieces placed
// at the middle of their drawn extents. For the programs that colour or picture the streams.
QStringList PassedOverStreamReferences(const QString& intersection, const QString& streamLayer);
// Those lines as a message lists them: the first five, then the count of all.
QString PassedOverListText(const QStringList& lines);

}  // namespace automation
