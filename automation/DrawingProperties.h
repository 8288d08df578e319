// The drawing's custom properties (drawing scale "SKALA", format version, the old group and phase
// entries), the drawing scale and the linetype scale derived from it, and the move of the legacy
// drawing attribute block into custom properties.
#pragma once

#include "platform/cad/SummaryInfo.h"

#include <QList>
#include <QString>

namespace automation {

struct CustomPropertyEntry {
    QString Key;
    QString Value;
};

// Module state.
extern cad::SummaryInfo DrawingSummaryInfo;
// Entries whose key begins "GRUPA_" or "FAZA_" first, in property order; never without elements.
extern QList<CustomPropertyEntry> CustomPropertyCache;
// The drawing scale denominator (500 for 1:500); 1 when the drawing gives none.
extern int DrawingScale;

// The value of the key ("" when absent or on any failure). With an empty key: refreshes
// `CustomPropertyCache` and gives "". With a drawing file: reads that drawing's property instead.
QString GetDrawingProperty(const QString& key, const QString& drawingFile = QString());
// Writes the property, adding it when absent (a failure to add reaches the caller). With an empty
// key only fetches the summary object (unless kept).
void SetDrawingProperty(const QString& key, const QString& value, bool keep = false);
// The same, reporting a failure as false instead of raising it.
bool TrySetDrawingProperty(const QString& key, const QString& value, bool keep = false);
// "SKALA" as a whole number of at least 1 (up to 32767); anything else reads as 1.
int GetDrawingScale();
// LTSCALE = DrawingScale × 0.1.
void SetLinetypeScale();
// Copies the attribute definitions of "ATRYBUTY_RYSUNKU" into custom properties and removes the
// block; references still standing are erased first. Never raises; true when the block is gone
// (or was never there), false when it had to be left in the drawing.
bool MigrateDrawingAttributeBlock();

}  // namespace automation
