// Phase pictures: one block per signal phase with a copy of the clipped pattern and that phase's
// streams (conditional "S" streams dashed) and crossing links, with a label and the radius, inserted
// in a row on the layer "SCHEMAT_FAZY".
#pragma once

#include "hatcher/core/HatcherForm.h"
#include "platform/cad/Entity.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace automation {
struct CrossingLinkRecord;
}

namespace hatcher {

struct PhaseEntry {
    QString StreamName;
    QString Phases;
};

struct PhaseStreamRecord {
    QString Handle;
    QString BlockName;
    bool IsStreamBody = false;
    QStringList StreamNames;  // each cut before its last "["
    cad::Entity Reference;    // the reference itself, as the selection gave it
};

// DrawingScale / 1000, set by the phase-picture command for the transitions.
extern double DrawingScaleFactor;

// The phase numbers (ascending, no repeats) and the stream/phase entries of the FAZY attribute of the
// intersection's attribute block; false when no phase number was found.
bool ReadPhaseList(std::vector<int>& phases, const QString& nr, QList<PhaseEntry>& entries);
// The same on the attribute text itself.
bool ParsePhaseText(const QString& text, std::vector<int>& phases, QList<PhaseEntry>& entries);
int CountPhaseStreams(const QList<PhaseStreamRecord>& records, const QList<PhaseEntry>& entries, int phase);
bool IsStreamBlockInPhase(const QString& handle, const QList<PhaseStreamRecord>& records,
                          const QList<PhaseEntry>& entries, int phase, bool& isS);
bool IsCrossingLinkInPhase(const automation::CrossingLinkRecord& link, const QList<PhaseEntry>& entries,
                           int phase);
// The stream records of the intersection's stream and marker blocks on "113-STRUMIENIE_RUCHU".
QList<PhaseStreamRecord> ReadPhaseStreamRecords(const QString& nr);

// True when `name` is not empty and equals an element of the list exactly (case counts).
bool IsNameInList(const QString& name, const QStringList& list);

// What the user is told when "Twórz obrazy faz" stops for `reason` (the host gone): the phases whose
// pictures were not made (`pending`; none known before the phases were read).
QString PicturesStoppedText(const QString& reason, const std::optional<std::vector<int>>& pending);
// The command "Twórz obrazy faz". Returns the handles of the picture references it inserted.
QStringList frmMain_cmdTworzObrazyFaz_Click(HatcherForm& form);

}  // namespace hatcher
