// The older layer and colour helpers.
#include "automation/LegacyDrawing.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "platform/cad/Collections.h"

namespace automation {

void EnsureLayerLegacy(const QString& name, bool& makeActive, int colour, int lineweight) {
    if (colour <= -1 && lineweight <= -10) {
        // Nothing to give a new layer: Add stands for the test, as it gives an existing layer
        // unchanged.
        const cad::Layer layer = CadDocument.layers().add(name);
        if (makeActive) CadDocument.setActiveLayer(layer);
        return;
    }
    cad::Layer layer;
    if (!CheckLayerExists(name)) {
        layer = CadDocument.layers().add(name);
        if (colour > -1) SetEntityTrueColour(layer, colour);
        if (lineweight > -10) layer.setLineweight(lineweight);
    } else if (makeActive) {
        layer = CadDocument.layers().item(name);
    }
    if (makeActive) CadDocument.setActiveLayer(layer);
}

void SetEntityTrueColour(const cad::Object& entity, int colour) {
    // Packed as red in the low byte, as SetEntityColour takes a true colour.
    if (colour == 255)
        SetEntityColour(entity, 0xFFFFFF, true);
    else if (colour == 250)
        SetEntityColour(entity, 0x333333, true);
    else
        SetEntityColour(entity, colour, false);
}

}  // namespace automation
