// The pattern area: the user draws a circle and points at a place; everything of the chosen layers
// that lies in the circle is copied there, cut to the circle, and the place is marked with the
// pattern block "Schemat_wzorzec_<nr>". The handles of the copies are kept for the phase pictures.
#pragma once

#include "common/Geometry.h"
#include "hatcher/core/HatcherForm.h"
#include "platform/cad/SelectionSet.h"
#include "platform/cad/Variant.h"

#include <QHash>
#include <QStringList>

namespace hatcher {

// The copies the last pattern area of each intersection made, by intersection number (this run).
extern QHash<QString, QStringList> PatternCopyHandles;
// The drawing property that keeps the same handles (joined by ",") for a later run of the program.
QString PatternCopiesKey(const QString& nr);

// Sends the command and waits for it to end; the model-space index of the newest entity when it
// added any, else -1.
long SendCommandForNewEntity(const QString& command);
// The point the user gives; X = 1E+30 when cancelled.
common::PlanePoint PickPointWithPrompt(const cad::Variant& base, const QString& prompt);
// Codes and values from one list read in pairs.
cad::SelectionFilter BuildSelectionFilterFromList(const cad::VariantList& pairs);
// The filter of the copied layers: the search layers (mode 1) or all but the traffic layers (mode 0).
cad::SelectionFilter PatternLayerFilter(int mode, const QStringList& searchLayers);

// The command "Określ okrąg dla schematu".
void frmMain_cmdDefObszar_Click(HatcherForm& form);

}  // namespace hatcher
