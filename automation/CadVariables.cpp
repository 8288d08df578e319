// The save-and-set of the current-object variables and their restore.
#include "automation/CadVariables.h"

#include "automation/CadConnection.h"

#include <exception>

namespace automation {

SavedCadVariableSet SavedCadVariables;

void SaveAndSetCadVariables(const QString& colour, const QString& linetype, double lineweight,
                            const cad::Variant& baseAngle, const cad::Variant& linetypeScale,
                            bool withLinetypeScale) {
    SavedCadVariableSet& s = SavedCadVariables;
    // Only a save of the same drawing nests; values left pending in another drawing are not this one's.
    const bool keepEarlier = s.pending && s.document == CadDocument;
    auto save = [&](cad::Variant& slot, const char* name) {
        const cad::Variant v = CadDocument.getVariable(QString::fromLatin1(name));
        if (!keepEarlier) slot = v;
    };
    save(s.CECOLOR, "CECOLOR");
    const QString newColour = colour.isEmpty() ? QStringLiteral("7") : colour;
    save(s.CLAYER, "CLAYER");
    save(s.TEXTSTYLE, "TEXTSTYLE");
    save(s.CELTYPE, "CELTYPE");
    const QString newLinetype = linetype.isEmpty() ? QStringLiteral("Continuous") : linetype;
    save(s.CELWEIGHT, "CELWEIGHT");
    // A lineweight of exactly 0 goes to the CAD as the whole number 0.
    const cad::Variant newLineweight = lineweight == 0 ? cad::Variant(0) : cad::Variant(lineweight);
    save(s.ANGBASE, "ANGBASE");
    if (withLinetypeScale) {
        // An earlier save that left the linetype scale out has not touched it: the value of this
        // moment is still the user's, and the restore must then put it back too.
        const cad::Variant v = CadDocument.getVariable(QStringLiteral("CELTSCALE"));
        if (!keepEarlier || !s.withLinetypeScale) s.CELTSCALE = v;
    }
    if (!keepEarlier) {
        s.withLinetypeScale = withLinetypeScale;
        s.document = CadDocument;
        s.saved = true;
        s.pending = true;
    } else if (withLinetypeScale) {
        s.withLinetypeScale = true;
    }

    CadDocument.setVariable(QStringLiteral("CECOLOR"), newColour);
    CadDocument.setVariable(QStringLiteral("CELTYPE"), newLinetype);
    CadDocument.setVariable(QStringLiteral("CELWEIGHT"), newLineweight);
    CadDocument.setVariable(QStringLiteral("ANGBASE"), baseAngle);
    if (withLinetypeScale) CadDocument.setVariable(QStringLiteral("CELTSCALE"), linetypeScale);
}

void RestoreCadVariables() {
    SavedCadVariableSet& s = SavedCadVariables;
    if (!s.saved || s.CECOLOR.isEmpty()) return;
    s.pending = false;
    std::exception_ptr firstFailure;
    auto restore = [&](const char* name, const cad::Variant& value) {
        try {
            CadDocument.setVariable(QString::fromLatin1(name), value);
        } catch (...) {
            if (!firstFailure) firstFailure = std::current_exception();
        }
    };
    restore("CECOLOR", s.CECOLOR);
    restore("CELTYPE", s.CELTYPE);
    restore("CELWEIGHT", s.CELWEIGHT);
    restore("CLAYER", s.CLAYER);
    restore("TEXTSTYLE", s.TEXTSTYLE);
    restore("ANGBASE", s.ANGBASE);
    if (s.withLinetypeScale) restore("CELTSCALE", s.CELTSCALE);
    if (firstFailure) std::rethrow_exception(firstFailure);
}

}  // namespace automation
