// The drawing commands of the table.
#include "conflictor/mainwindow/DrawingCommands.h"

#include "conflictor/conflicts/Legend.h"
#include "conflictor/mainwindow/CommandContext.h"
#include "conflictor/streams/Markers.h"

namespace conflictor {

namespace {

// The start point commands do not show the hourglass themselves; it goes whatever way they end.
void setStartPoint(CommandContext& context, bool swap) {
    context.streams.setBusyCursor(true);
    struct Back {
        StreamWindow& streams;
        ~Back() { streams.setBusyCursor(false); }
    } back{context.streams};
    SetStartPoint(swap);
}

}  // namespace

void mnuNarzedzia_TnijWszystkie(CommandContext& context) {
    context.Cut = CutStreams(true);
}

void mnuNarzedzia_TnijZaznaczone(CommandContext& context) {
    context.Cut = CutStreams(false);
}

void mnuNarzedzia_UstawLegende(CommandContext&) {
    // The legend says itself what it could not place; its result only spares later steps.
    UstawLegende();
}

void mnuEdycja_UstawPunktPoczatkowy(CommandContext& context) {
    setStartPoint(context, false);
}

void mnuEdycja_ZamienPunktPoczatkowy(CommandContext& context) {
    setStartPoint(context, true);
}

}  // namespace conflictor
