// Whether the conflict-point markers in the drawing are those of the streams as they stand: a stream
// drawn, moved, reshaped or deleted after the cut has no markers, or markers of another shape, and
// an export from them would read its missing conflicts as "no conflict". The markers are compared
// with the ones a cut of the current streams would insert (worked out, nothing written): the same
// pairs of streams, kinds and associated crossings, each at a point where the cut split the
// vehicle streams. Where a marker stands is not compared: one moved by hand still names its pair,
// and the export measures at the crossing of the streams.
#pragma once

#include "conflictor/conflicts/ConflictMarkers.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace conflictor {

struct CutComparison {
    // The streams (or pairs) that differ from the last cut, each with what changed, in Polish:
    // "K5 (dodany)", "K2 (przesunięty lub zmieniony)", "K7 (usunięty)".
    QStringList Changes;
    bool NeverCut = false;  // no marker at all, while the streams meet
    bool current() const { return Changes.isEmpty() && !NeverCut; }
};

// Compares the markers (of the current intersection) with the streams of the table. When they agree,
// each marker's Position becomes the crossing of its streams.
CutComparison CompareMarkersWithStreams(QList<ConflictMarker>& markers);

// After a cut: the pairs of the marked streams (one entry per stream of the table) whose markers in
// the drawing differ from the crossings of the streams as cut, each with what differs, in Polish:
// "K6 i K7 (brak punktu kolizji)". Empty when the cut marked every crossing it made.
QStringList CheckCutPoints(const std::vector<bool>& marked);

// The message of a stale cut: `stopped` (what was stopped), the changes, and what to do.
QString StaleCutMessage(const QString& stopped, const CutComparison& comparison);

enum class CutCheck {
    Current,    // the markers are those of the streams (and stand at their crossings now)
    Stale,      // told; nothing may be written
    CutWanted,  // told, and the engineer asked for the cut: cut, then run the export again
};
// The check as an export runs it: compares, and when the cut is stale tells it; with `offerCut` the
// message asks whether to cut now.
CutCheck ConfirmCutCurrent(const QString& title, const QString& stopped, QList<ConflictMarker>& markers,
                           bool offerCut);

}  // namespace conflictor
