// The save-and-set of the current-object variables and their restore.
#include "automation/CadVariables.h"

#include "automation/CadConnection.h"
#include "platform/cad/Variables.h"

namespace automation {

SavedCadVariableSet SavedCadVariables;

void SaveAndSetCadVariables(const QString& colour, const QString& linetype, double lineweight,
                            const cad::Variant& baseAngle, const cad::Variant& linetypeScale,
                            bool withLinetypeScale) {
    SavedCadVariableSet& s = SavedCadVariables;
    // Only a save of the same drawing nests; values left pending in another drawing are not this one's.
    const bool keepEarlier = s.pending && s.document == CadDocument;
    // The values of this moment in one read.
    QStringList names{QStringLiteral("CECOLOR"), QStringLiteral("CLAYER"), QStringLiteral("TEXTSTYLE"),
                      QStringLiteral("CELTYPE"), QStringLiteral("CELWEIGHT"), QStringLiteral("ANGBASE")};
    if (withLinetypeScale) names << QStringLiteral("CELTSCALE");
    const cad::VariantList now = cad::GetVariables(CadDocument, names);
    if (!keepEarlier) {
        s.CECOLOR = now.value(0);
        s.CLAYER = now.value(1);
        s.TEXTSTYLE = now.value(2);
        s.CELTYPE = now.value(3);
        s.CELWEIGHT = now.value(4);
        s.ANGBASE = now.value(5);
    }
    const QString newColour = colour.isEmpty() ? QStringLiteral("7") : colour;
    const QString newLinetype = linetype.isEmpty() ? QStringLiteral("Continuous") : linetype;
    // A lineweight of exactly 0 goes to the CAD as the whole number 0.
    const cad::Variant newLineweight = lineweight == 0 ? cad::Variant(0) : cad::Variant(lineweight);
    if (withLinetypeScale) {
        // An earlier save that left the linetype scale out has not touched it: the value of this
        // moment is still the user's, and the restore must then put it back too.
        if (!keepEarlier || !s.withLinetypeScale) s.CELTSCALE = now.value(6);
    }
    if (!keepEarlier) {
        s.withLinetypeScale = withLinetypeScale;
        s.document = CadDocument;
        s.saved = true;
        s.pending = true;
    } else if (withLinetypeScale) {
        s.withLinetypeScale = true;
    }

    // Each is set though another is refused; the first refusal is raised after all.
    QStringList setNames{QStringLiteral("CECOLOR"), QStringLiteral("CELTYPE"), QStringLiteral("CELWEIGHT"),
                         QStringLiteral("ANGBASE")};
    cad::VariantList values{newColour, newLinetype, newLineweight, baseAngle};
    if (withLinetypeScale) {
        setNames << QStringLiteral("CELTSCALE");
        values << linetypeScale;
    }
    cad::SetVariables(CadDocument, setNames, values);
}

void RestoreCadVariables() {
    SavedCadVariableSet& s = SavedCadVariables;
    if (!s.saved || s.CECOLOR.isEmpty()) return;
    s.pending = false;
    // Each is put back though another is refused; the first refusal is raised after all.
    QStringList names{QStringLiteral("CECOLOR"), QStringLiteral("CELTYPE"), QStringLiteral("CELWEIGHT"),
                      QStringLiteral("CLAYER"), QStringLiteral("TEXTSTYLE"), QStringLiteral("ANGBASE")};
    cad::VariantList values{s.CECOLOR, s.CELTYPE, s.CELWEIGHT, s.CLAYER, s.TEXTSTYLE, s.ANGBASE};
    if (s.withLinetypeScale) {
        names << QStringLiteral("CELTSCALE");
        values << s.CELTSCALE;
    }
    cad::SetVariables(CadDocument, names, values);
}

}  // namespace automation
