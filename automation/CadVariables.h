// Saving, setting and restoring the CAD's current-object variables around a command that draws.
#pragma once

#include "platform/cad/Document.h"
#include "platform/cad/Variant.h"

#include <QString>

namespace automation {

// The user's values as read by the save that started the pending drawing work.
struct SavedCadVariableSet {
    cad::Variant CECOLOR, CELTYPE, CLAYER, TEXTSTYLE, CELWEIGHT, ANGBASE, CELTSCALE;
    bool saved = false;    // something was ever saved
    bool pending = false;  // saved and not restored yet
    bool withLinetypeScale = true;
    cad::Document document;  // the drawing the values were read from
};
extern SavedCadVariableSet SavedCadVariables;

// Saves CECOLOR, CLAYER, TEXTSTYLE, CELTYPE, CELWEIGHT, ANGBASE and CELTSCALE, then sets CECOLOR
// ("7" when empty), CELTYPE ("Continuous" when empty), CELWEIGHT, ANGBASE and CELTSCALE. A save made
// while an earlier one is not restored yet keeps the values of the earlier one, so the restore puts
// back what the user had; a pending save of another drawing does not count. Without
// `withLinetypeScale` CELTSCALE is left out throughout.
void SaveAndSetCadVariables(const QString& colour, const QString& linetype, double lineweight,
                            const cad::Variant& baseAngle, const cad::Variant& linetypeScale,
                            bool withLinetypeScale = true);
// Puts the saved values back, each on its own: a value the CAD refuses does not keep the others from
// being restored; the first refusal is then raised. Nothing happens when nothing was saved.
void RestoreCadVariables();

}  // namespace automation
