// Playing the program back in the drawing: the current-second marker over the program table and
// the stream blocks of the groups green in the shown state coloured green; the colours this
// program gave are put back on every stop.
#pragma once

#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/editor/SymbolList.h"
#include "platform/cad/Entity.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace phaseplanner {

struct StreamColourEntry {
    QString StreamName;
    bool Coloured = false;
    QString Handle;
    cad::Entity Reference;  // the stream block's reference the handle names
};

struct PlaybackData {
    int ShownState = -1;
    bool StreamCacheStale = true;
    // The cache belongs to one drawing, one intersection and one count of model-space entities.
    QString CachedDocumentName;
    QString CachedIntersection;
    int CachedEntityCount = -1;
    std::vector<StreamColourEntry> StreamColourCache;
    // No open drawing held the streams: said once until one does again.
    bool StreamDrawingMissingShown = false;
    // The stream pieces and markers no program reads, found with the cache, and as last told: told
    // again only when they change.
    QStringList PassedOver;
    QStringList PassedOverShown;
};
extern PlaybackData Playback;

// The first defined group whose symbols hold `symbol` (letter case ignored); -1 when none.
int FindGroupBySymbol(const QString& symbol);

// A stream's base name: a variant ("K1[2]", or "K1 [2]" in older drawings) is its base stream's
// group's, so the name is cut before its "[" and the blanks before it.
QString StreamBaseName(const QString& name);
// The stream names a stream block's name carries, each its base name (StreamBaseName).
QStringList StreamNamesOfBlock(const QString& blockName);
// Gives the entity with `handle` colour `colour`; false when the handle no longer resolves.
bool ColourStreamHandle(const QString& handle, int colour);

// The intersection's stream pieces and markers no program reads (on another layer, inside a block,
// in paper space, in rows and columns), one line each; read in the drawing holding the streams.
QStringList PassedOverStreamPieces();
// The warning that the colours may not show the streams as they are measured, naming them.
QString PassedOverColoursMessage(const QStringList& lines);

// The marker's block name for the current intersection and the table's group rows.
QString TimeMarkerBlockName(int groupRows);
// Places the marker at second `second` of the table (-1: removes it with its definition).
void PlaceTimeMarker(int second);
// The drawing part of showing a second: the marker in the active drawing, and the stream colours of
// its state in the drawing holding the streams. Returns the state shown (-1 for none).
int ShowSecondInDrawing(int second, const ProgramStates& states, int cycleLength);
// Colours the streams of the groups green in `state`.
void RecolourStreams(int state, const ProgramStates& states, int colour);
// Gives every green stream block of the intersection its layer colour back; with `includeMarkers`
// every green or red stream block, start and end marker.
void ResetStreamColours(bool includeMarkers);
// Forgets the shown state (after the program changed, the next second shown recolours).
void InvalidateShownState();
// Resets everything (tests, a new drawing).
void ResetPlayback();

}  // namespace phaseplanner
