// Before the cut or the export writes a number, "SKALA" is checked against the units the drawing
// declares and the lengths of its streams, so that a map scale typed in by mistake (500 on a drawing in
// metres) or a value that fits the lengths only by accident (10 on a drawing in metres that declares no
// units) never turns the distances into wrong metres without a word.
#pragma once

#include "common/DrawingUnits.h"

#include <QList>
#include <QString>
#include <functional>
#include <vector>

namespace conflictor {

struct ConflictMarker;

// The judgement itself is the suite's own (common/DrawingUnits.h): the same verdicts and messages in
// every program that draws to scale.
using common::DeclaredUnits;
using common::DrawingUnitsMessage;
using common::JudgeDrawingUnits;
using common::LengthKind;
using common::LengthRange;
using common::MeasuredLength;
using common::RangeOf;
using common::ScaleOfUnits;
using common::UnitsFinding;
using common::UnitsPerMetre;

// The units the current drawing declares (None when it declares none or cannot be read).
DeclaredUnits ReadDeclaredUnits();

// The streams of the stream table that hold components, with their whole lengths and kinds.
std::vector<MeasuredLength> MeasureStreams();
// What the stream table gives besides lengths: the typical spacing of vehicle streams side by side in
// neighbouring lanes, and the typical width between the two edges of a zebra (P1 and P1[2]); each
// named by the pair it was measured on, absent when the drawing has no such pair.
std::vector<MeasuredLength> MeasureRoadWidths();
// The distances of every conflict point of the current intersection from both streams' starts, as the
// export writes them.
std::vector<MeasuredLength> MeasureConflictDistances();
// The same distances of markers already read in this command.
std::vector<MeasuredLength> MeasureConflictDistances(const QList<ConflictMarker>& markers);

// Opens the settings dialog on the current drawing with the proposed "SKALA" shown (0: the drawing's
// own); true when the engineer confirmed it. Set by the main window; without it (the headless tool) a
// wrong length cannot be mended and the command stops.
extern std::function<bool(int)> OpenScaleSettings;

// The check as the cut and the export run it, once per command: reads "SKALA" and the declared units,
// judges them with `streams`, `distances` and the road widths of the stream table, says what does not
// fit and offers the settings dialog. True when the command may write its numbers: nothing wrong, the
// value mended in the dialog, or the declared units disagree while the lengths confirm "SKALA" and the
// engineer keeps the value (asked once per drawing and value).
bool ConfirmDrawingUnits(const QString& title, const std::vector<MeasuredLength>& streams,
                         const std::vector<MeasuredLength>& distances = {});

}  // namespace conflictor
