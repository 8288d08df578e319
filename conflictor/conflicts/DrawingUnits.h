// "SKALA" is drawing units per metre: 1 for a drawing in metres, 1000 for one in millimetres. Before the
// cut or the export writes a number, the value is held against the units the drawing declares
// ($INSUNITS) and against lengths a road can have, so that a map scale typed in by mistake (500 on a
// drawing in metres) never turns every distance into 0.0 m without a word.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace conflictor {

struct ConflictMarker;

// The units a drawing declares: $INSUNITS 6 (metres) or 4 (millimetres); anything else declares none.
enum class DeclaredUnits { None, Metres, Millimetres };
DeclaredUnits ReadDeclaredUnits();
// "SKALA" of the declared units: 1, 1000; 0 for none.
int ScaleOfUnits(DeclaredUnits units);

// Lengths a stream of a real road can have, in metres.
constexpr double ShortestStream = 1.0;
constexpr double LongestStream = 3000.0;

struct MeasuredLength {
    QString Name;      // a stream, or "K1 - P2" for a conflict distance
    double Units = 0;  // in drawing units
};

struct UnitsFinding {
    bool UnitsDisagree = false;  // declared units and "SKALA" say different things
    QStringList OutOfRange;      // streams whose length in metres no road has
    QStringList ZeroDistances;   // conflict distances that round to 0.0 m
    int Proposal = 0;            // a "SKALA" both the declared units and the lengths agree on; 0: none
    // Lengths or distances would be written wrong: the command must not go on with this value.
    bool blocking() const { return !OutOfRange.isEmpty() || !ZeroDistances.isEmpty(); }
    bool clean() const { return !UnitsDisagree && !blocking(); }
};

UnitsFinding JudgeDrawingUnits(int scale, DeclaredUnits declared, const std::vector<MeasuredLength>& streams,
                               const std::vector<MeasuredLength>& distances);
// The Polish message that explains the finding (empty for a clean one).
QString DrawingUnitsMessage(const UnitsFinding& finding, int scale, DeclaredUnits declared);

// The streams of the stream table that hold components, with their whole lengths.
std::vector<MeasuredLength> MeasureStreams();
// The distances of every conflict point of the current intersection from both streams' starts, as the
// export writes them.
std::vector<MeasuredLength> MeasureConflictDistances();
// The same distances of markers already read in this command.
std::vector<MeasuredLength> MeasureConflictDistances(const QList<ConflictMarker>& markers);

// Opens the settings dialog on the current drawing with the proposed "SKALA" shown (0: the drawing's
// own); true when the engineer confirmed it. Set by the main window; without it (the headless tool) a
// wrong length cannot be mended and the command stops.
extern std::function<bool(int)> OpenScaleSettings;

// The check as the cut and the export run it, once per command: reads "SKALA" and the declared units,
// says what does not fit and offers the settings dialog. True when the command may write its numbers:
// nothing wrong, the value mended in the dialog, or only the declared units disagree and the engineer
// keeps the value (asked once per drawing and value).
bool ConfirmDrawingUnits(const QString& title, const std::vector<MeasuredLength>& streams,
                         const std::vector<MeasuredLength>& distances = {});

}  // namespace conflictor
