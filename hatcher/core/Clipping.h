// Cutting one drawing entity to a circle and moving what lies inside from the circle's centre to a
// target point: lines and arcs cut at the circle, circles become arcs, hatches become solid hatches
// of their area inside, block references and polylines that cross are exploded and their pieces cut,
// rasters are never taken, every other kind is taken whole or not at all.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/Entity.h"

#include <QStringList>
#include <vector>

namespace hatcher {

struct ClipSegmentRecord {
    bool IsLine = false;
    common::PlanePoint StartPoint, EndPoint;
    common::PlanePoint Center;
    double Radius = 0;
    // World angles, counter-clockwise in the plan. An arc seen from below (extrusion -Z, Mirrored)
    // keeps its own angles mirrored: its world start is its own end, turned about the Y axis.
    double StartAngle = 0, EndAngle = 0;
    bool Mirrored = false;
    QString Handle = QStringLiteral("-1");
};

ClipSegmentRecord EntityToSegment(const cad::Entity& entity, bool withHandle);
// Corners of the box (lower-left, upper-right) inside the circle: any of them, all four.
void BoxCornersInCircle(const std::pair<cad::Point, cad::Point>& box, const common::PlanePoint& centre,
                        double radius, bool& any, bool& all);
// True when the box and the circle share a point (the box may straddle the circle with no corner inside).
bool BoxTouchesCircle(const std::pair<cad::Point, cad::Point>& box, const common::PlanePoint& centre,
                      double radius);
// Every end of every record meets exactly one end of the other records.
bool IsClosedChain(const std::vector<ClipSegmentRecord>& records);
// A new associative solid hatch in model space.
cad::Entity AddSolidHatch();
// Explodes the entity; false when the CAD refuses.
bool ExplodeEntity(const cad::Entity& entity, QList<cad::Entity>& pieces);

// What the clipping reads of an entity; ReadClipFacts reads it for many entities together.
struct ClipFacts {
    QString Name;  // empty: the entity could not be read (its clipping fails as the read would)
    QString Layer;
    int Colour = 0;
    ClipSegmentRecord Segment;  // lines, arcs and circles
    int Loops = -1;             // hatches: the number of loops (-1: not read)
    bool HasBox = false;        // circles, polylines, references and the other kinds
    std::pair<cad::Point, cad::Point> Box;
    QString Block;  // block references: the block they insert
};
QList<ClipFacts> ReadClipFacts(const QList<cad::Entity>& entities);

// Takes the part of the entity inside the circle (centre, radius) and moves it to the target. With
// makeCopy the entity stays untouched and a copy is cut; with deleteOriginal an entity that gives
// nothing is deleted. The handles of every entity taken into the pattern are appended to `taken`.
// False only for a line with both ends outside that does not cross the circle twice.
bool ClipEntityToCircle(const cad::Entity& entity, const common::PlanePoint& centre, double radius,
                        bool makeCopy, const common::PlanePoint& target, bool deleteOriginal,
                        QStringList* taken = nullptr);

// The same with the entity's facts read before.
bool ClipEntityToCircle(const cad::Entity& entity, const ClipFacts& facts, const common::PlanePoint& centre,
                        double radius, bool makeCopy, const common::PlanePoint& target, bool deleteOriginal,
                        QStringList* taken);

// What the cuts of one command could not do, each time with the CAD's reason: an entity that cannot be
// cut does not stop the others, and the command says at its end what its pattern lacks. The command
// clears it when it starts.
QStringList& LeftOutCuts();
// What the cuts of one command left of nested block references: a reference is exploded and its pieces
// cut one level at a time, down to cad::db::MaxBlockNesting levels; a reference nested deeper, or one
// inserting a block whose reference is being cut already (a block inside itself), is left out of the
// pattern. The sentences that tell it, once for the command: how many were left out, and each block that
// inserts itself by name. Empty when nothing was left out.
QStringList LeftOutNestingNotes();
// Forgets what LeftOutCuts and LeftOutNestingNotes tell: the start of a command.
void ClearLeftOutCuts();
// Called inside a trap of a cut: keeps the trapped failure's reason. A lost host is thrown on, as no
// later cut could be made either.
void NoteLeftOutCut();

// Whether the cut of an entity (of the pattern area: copied) only copies, changes and moves: every kind
// but hatches, and exploded kinds that are taken whole or not at all.
bool CutOnlyCopiesAndTrims(const ClipFacts& facts, const common::PlanePoint& centre, double radius);
// Copies and cuts such entities, as ClipEntityToCircle(makeCopy, no deletion) each, and appends the
// handles of what they took to `taken`, in order. Nothing is taken of an entity that cannot be read
// (or, of a kind judged by its extents, has none); a refusal of the CAD is thrown.
void ClipCopiesToCircle(const QList<cad::Entity>& entities, const QList<ClipFacts>& facts,
                        const common::PlanePoint& centre, double radius, const common::PlanePoint& target,
                        QStringList& taken);

// The hatch part of ClipEntityToCircle (the second with the hatch's facts read before).
bool ClipHatchToCircle(const cad::Entity& entity, const common::PlanePoint& centre, double radius,
                       bool makeCopy, const common::PlanePoint& target, QStringList* taken);
bool ClipHatchToCircle(const cad::Entity& entity, const ClipFacts& facts, const common::PlanePoint& centre,
                       double radius, bool makeCopy, const common::PlanePoint& target, QStringList* taken);
// Copies and cuts hatches, as ClipHatchToCircle(makeCopy) each: a hatch that cannot be cut gives
// nothing and does not stop the others. The clip circle's region is made once for all of them.
void ClipHatchCopiesToCircle(const QList<cad::Entity>& hatches, const QList<ClipFacts>& facts,
                             const common::PlanePoint& centre, double radius,
                             const common::PlanePoint& target, QStringList& taken);

}  // namespace hatcher
