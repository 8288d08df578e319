// "SKALA" is drawing units per metre: 1 for a drawing in metres, 1000 for one in millimetres. Every
// program that measures or draws at that value judges it the same way: against the units the drawing
// declares ($INSUNITS) and against lengths and widths a road can have (paths, crossings, lanes side by
// side, the two edges of a zebra), so that a map scale typed in by mistake (500 on a drawing in metres),
// a drawing in feet, or a value that fits the lengths only by accident never turns distances into wrong
// metres or symbols into the wrong size without a word.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace common {

// The units a drawing declares, by their $INSUNITS code; anything outside 1..24 declares none.
enum class DeclaredUnits : int {
    None = 0,
    Inches = 1,
    Feet = 2,
    Miles = 3,
    Millimetres = 4,
    Centimetres = 5,
    Metres = 6,
    Kilometres = 7,
    Microinches = 8,
    Mils = 9,
    Yards = 10,
    Angstroms = 11,
    Nanometres = 12,
    Microns = 13,
    Decimetres = 14,
    Decametres = 15,
    Hectometres = 16,
    Gigametres = 17,
    AstronomicalUnits = 18,
    LightYears = 19,
    Parsecs = 20,
    UsSurveyFeet = 21,
    UsSurveyInches = 22,
    UsSurveyYards = 23,
    UsSurveyMiles = 24,
};
// The declared units of a $INSUNITS code (None for a code outside 1..24).
DeclaredUnits DeclaredUnitsOf(int code);
// Drawing units of the declared kind in one metre (0 for none).
double UnitsPerMetre(DeclaredUnits units);
// The "SKALA" that expresses the declared units within 1 % (39 for inches, 100 for centimetres); 0 for
// none, and for units no whole number from 1 to 32767 expresses (feet, yards, kilometres, microns).
int ScaleOfUnits(DeclaredUnits units);

// What a measured length is, and the lengths in metres a real road gives each.
enum class LengthKind {
    VehiclePath,    // a lane-wide vehicle, tram or bus stream: 5 m to 3 km
    Crossing,       // a pedestrian or bicycle stream across the carriageway: 3 m to 40 m
    LaneSpacing,    // vehicle streams side by side in neighbouring lanes: at least 2.5 m apart
    CrossingWidth,  // the two edges of one zebra: 2.5 m to 10 m apart
};
struct LengthRange {
    double Shortest;
    double Longest;
};
LengthRange RangeOf(LengthKind kind);

struct MeasuredLength {
    QString Name;      // a stream, or "K1 - P2" for a conflict distance
    double Units = 0;  // in drawing units
    LengthKind Kind = LengthKind::VehiclePath;
};

struct UnitsFinding {
    QString Unreadable;  // the text of a "SKALA" that is no whole number from 1 to 32767
    bool ScaleUnreadable = false;
    bool ScaleMissing = false;        // the drawing holds no "SKALA": 1 (metres) is assumed
    bool UnitsDisagree = false;       // declared units and "SKALA" say different things
    bool UnitsInexpressible = false;  // the declared units have no whole "SKALA"
    QStringList OutOfRange;           // streams whose length in metres no road has
    QStringList NarrowLanes;          // vehicle streams side by side closer than any two lanes
    QStringList OddZebras;            // the two edges of a zebra farther or closer than any zebra's
    QStringList ZeroDistances;        // conflict distances that round to 0.0 m
    int Proposal = 0;                 // the one "SKALA" under which every length fits; 0: none
    // The declared units disagree and the lengths do not speak against them: the distances would be
    // written in the wrong units (a drawing in metres under SKALA 2 writes every distance halved).
    bool DeclaredUnitsFit = false;
    // Lengths or distances would be written wrong: the command must not go on with this value.
    bool blocking() const {
        return ScaleUnreadable || UnitsInexpressible || DeclaredUnitsFit || !OutOfRange.isEmpty() ||
               !NarrowLanes.isEmpty() || !OddZebras.isEmpty() || !ZeroDistances.isEmpty();
    }
    bool clean() const { return !UnitsDisagree && !blocking(); }
};

// "SKALA" as a drawing holds it: a whole number from 1 to 32767 (blanks around it allowed), or absent
// (a drawing in metres). Anything else ("nan", "1e308", "-0", "abc", "0x3E8", "32768", "2,5") is
// unreadable: the value is then 1 and `Found` tells what the drawing holds.
struct DrawingScaleReading {
    int Value = 1;
    bool Readable = true;
    QString Found;    // the text of the property ("" when absent)
    QString Drawing;  // the drawing's name, for the message
};
// The Polish message for an unreadable value, naming the value found and the drawing.
QString DrawingScaleProblem(const DrawingScaleReading& reading);

// `scale` is the value judged; below 1 it is unreadable (the finding's `Unreadable` left to the caller).
UnitsFinding JudgeDrawingUnits(int scale, DeclaredUnits declared, const std::vector<MeasuredLength>& streams,
                               const std::vector<MeasuredLength>& distances);
// The value as read from the drawing: an unreadable one is told by its own message, a drawing that holds
// none is told that 1 (metres) was assumed, never that its "SKALA" is 1. Every program that measures or
// draws at "SKALA" judges what it read here.
UnitsFinding JudgeDrawingUnits(const DrawingScaleReading& scale, DeclaredUnits declared,
                               const std::vector<MeasuredLength>& streams,
                               const std::vector<MeasuredLength>& distances);
// The Polish message that explains the finding (empty for a clean one); it names the value found.
QString DrawingUnitsMessage(const UnitsFinding& finding, int scale, DeclaredUnits declared);

// For a program that draws symbols, labels and pictures at "SKALA" and measures no lengths (heads,
// phase pictures): the value read from the drawing (`scale`, readable) judged against the declared units
// (`insunits`, the drawing's $INSUNITS code) and told before anything is drawn. A value the cut and the
// export refuse (units no whole "SKALA" expresses, such as feet) is refused; a value the declared units
// disagree with is asked about once per drawing (named by `drawingName`, asked only then), value and units,
// "Nie" by default. True when the program may draw.
bool ConfirmScaleBeforeDrawing(const DrawingScaleReading& scale, int insunits,
                               const std::function<QString()>& drawingName, const QString& title);

}  // namespace common
