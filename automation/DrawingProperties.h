// The drawing's custom properties (drawing scale "SKALA", format version, the old group and phase
// entries), the drawing scale and the linetype scale derived from it, and the move of the legacy
// drawing attribute block into custom properties.
#pragma once

#include "common/DrawingUnits.h"
#include "platform/cad/SummaryInfo.h"

#include <QList>
#include <QString>
#include <optional>

namespace automation {

struct CustomPropertyEntry {
    QString Key;
    QString Value;
};

// Module state.
extern cad::SummaryInfo DrawingSummaryInfo;
// Entries whose key begins "GRUPA_" or "FAZA_" first, in property order; never without elements.
extern QList<CustomPropertyEntry> CustomPropertyCache;
// "SKALA": drawing units per metre (1 for a drawing in metres, 1000 in millimetres); 1 when the
// drawing gives none.
extern int DrawingScale;

// The value of the key ("" when absent or on any failure). With an empty key: refreshes
// `CustomPropertyCache` and gives "". With a drawing file: reads that drawing's property instead.
QString GetDrawingProperty(const QString& key, const QString& drawingFile = QString());
// Writes the property, adding it when absent (a failure to add reaches the caller). With an empty
// key only fetches the summary object (unless kept).
void SetDrawingProperty(const QString& key, const QString& value, bool keep = false);
// The same, reporting a failure as false instead of raising it.
bool TrySetDrawingProperty(const QString& key, const QString& value, bool keep = false);
// "SKALA" as the drawing holds it, judged where every program judges it (common/DrawingUnits.h).
using common::DrawingScaleProblem;
using common::DrawingScaleReading;
DrawingScaleReading ReadDrawingScale();
// A "SKALA" text as a drawing holds it or a user types it: the whole number from 1 to 32767 it spells
// (blanks around it allowed), or nothing.
std::optional<int> ParseDrawingScale(const QString& text);
// The Polish refusal of a typed "SKALA" that `ParseDrawingScale` does not take.
QString TypedDrawingScaleProblem();
// Reads "SKALA" into `DrawingScale`; an unreadable value is said with `title` and gives false, so
// that nothing is drawn or written at a scale the drawing does not hold.
bool LoadDrawingScale(const QString& title);
// For a program that draws at "SKALA" and measures nothing: `LoadDrawingScale`, then the value judged
// against the drawing's declared units and told before anything is drawn
// (common::ConfirmScaleBeforeDrawing). True when the program may draw; a lost host is thrown.
bool LoadScaleForDrawing(const QString& title);
// The value of `ReadDrawingScale` (1 for an absent or unreadable "SKALA"), for code that only reads.
int GetDrawingScale();
// LTSCALE = DrawingScale × 0.1.
void SetLinetypeScale();
// Copies the attribute definitions of "ATRYBUTY_RYSUNKU" into custom properties and removes the
// block; references still standing are erased first. Never raises; true when the block is gone
// (or was never there), false when it had to be left in the drawing.
bool MigrateDrawingAttributeBlock();

}  // namespace automation
