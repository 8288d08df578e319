// The judgement of "SKALA" against the drawing's declared units and the lengths measured on it.
#include "common/DrawingUnits.h"

#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "platform/ui/core/Prompt.h"

#include <cmath>
#include <limits>

namespace common {

namespace {

// Units no whole "SKALA" expresses (%1: their name and code, %2: how many make a metre).
constexpr const char* InexpressibleUnitsText =
    "- rysunek deklaruje jednostki %1 (%2 na metr), których żadna całkowita wartość SKALA nie wyraża: "
    "przeskaluj rysunek do metrów, decymetrów, centymetrów lub milimetrów;";

// The drawing, value and units whose disagreement the user has already been asked about and kept.
QString acknowledged;

constexpr int Listed = 6;  // names listed in the message before "…"

// Values of "SKALA" a drawing's own units give: metres, decimetres, centimetres, millimetres.
constexpr int CommonScales[] = {1, 10, 100, 1000};

struct UnitsEntry {
    DeclaredUnits Units;
    double PerMetre;
    const char* Name;  // Polish, in the nominative plural
};

constexpr UnitsEntry UnitsTable[] = {
    {DeclaredUnits::Inches, 1 / 0.0254, "cale"},
    {DeclaredUnits::Feet, 1 / 0.3048, "stopy"},
    {DeclaredUnits::Miles, 1 / 1609.344, "mile"},
    {DeclaredUnits::Millimetres, 1000, "milimetry"},
    {DeclaredUnits::Centimetres, 100, "centymetry"},
    {DeclaredUnits::Metres, 1, "metry"},
    {DeclaredUnits::Kilometres, 0.001, "kilometry"},
    {DeclaredUnits::Microinches, 1 / 0.0000000254, "mikrocale"},
    {DeclaredUnits::Mils, 1 / 0.0000254, "tysięczne cala"},
    {DeclaredUnits::Yards, 1 / 0.9144, "jardy"},
    {DeclaredUnits::Angstroms, 1e10, "angstremy"},
    {DeclaredUnits::Nanometres, 1e9, "nanometry"},
    {DeclaredUnits::Microns, 1e6, "mikrometry"},
    {DeclaredUnits::Decimetres, 10, "decymetry"},
    {DeclaredUnits::Decametres, 0.1, "dekametry"},
    {DeclaredUnits::Hectometres, 0.01, "hektometry"},
    {DeclaredUnits::Gigametres, 1e-9, "gigametry"},
    {DeclaredUnits::AstronomicalUnits, 1 / 1.495978707e11, "jednostki astronomiczne"},
    {DeclaredUnits::LightYears, 1 / 9.4607304725808e15, "lata świetlne"},
    {DeclaredUnits::Parsecs, 1 / 3.0856775814913673e16, "parseki"},
    {DeclaredUnits::UsSurveyFeet, 3937.0 / 1200, "stopy geodezyjne USA"},
    {DeclaredUnits::UsSurveyInches, 39.37, "cale geodezyjne USA"},
    {DeclaredUnits::UsSurveyYards, 3937.0 / 3600, "jardy geodezyjne USA"},
    {DeclaredUnits::UsSurveyMiles, 3937.0 / 6336000, "mile geodezyjne USA"},
};

const UnitsEntry* entryOf(DeclaredUnits u) {
    for (const UnitsEntry& e : UnitsTable)
        if (e.Units == u) return &e;
    return nullptr;
}

QString metresText(double metres) {
    return common::FormatNumberWithDot(metres, QStringLiteral("#######0.00"))
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

QString plainNumber(double v) {
    return QString::number(v, 'g', 6).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool inRange(const MeasuredLength& l, int scale) {
    const LengthRange r = RangeOf(l.Kind);
    const double metres = l.Units / scale;
    return metres >= r.Shortest && metres <= r.Longest;
}

// Written with one decimal, as the workbook's distances are.
bool roundsToZero(double units, int scale) {
    return units > 1e-9 && common::RoundToDecimals(units / scale, 1) == 0;
}

// Every measured length is one a road has, and no distance is written as 0.0 m.
bool fits(int scale, const std::vector<MeasuredLength>& streams,
          const std::vector<MeasuredLength>& distances) {
    for (const MeasuredLength& s : streams)
        if (s.Units > 0 && !inRange(s, scale)) return false;
    for (const MeasuredLength& d : distances)
        if (roundsToZero(d.Units, scale)) return false;
    return true;
}

QString listed(const QStringList& names) {
    QStringList shown = names.mid(0, Listed);
    if (names.size() > Listed) shown << QStringLiteral("…");
    return shown.join(QStringLiteral(", "));
}

QString unitsName(DeclaredUnits u) {
    const UnitsEntry* e = entryOf(u);
    return QStringLiteral("%1 ($INSUNITS %2)")
        .arg(e ? QString::fromUtf8(e->Name) : QStringLiteral("?"))
        .arg(int(u));
}

}  // namespace

DeclaredUnits DeclaredUnitsOf(int code) {
    return entryOf(DeclaredUnits(code)) ? DeclaredUnits(code) : DeclaredUnits::None;
}

double UnitsPerMetre(DeclaredUnits units) {
    const UnitsEntry* e = entryOf(units);
    return e ? e->PerMetre : 0;
}

int ScaleOfUnits(DeclaredUnits units) {
    const double perMetre = UnitsPerMetre(units);
    if (perMetre < 0.5 || perMetre > 32767.5) return 0;
    const double whole = std::round(perMetre);
    return std::fabs(whole - perMetre) <= 0.01 * perMetre ? int(whole) : 0;
}

LengthRange RangeOf(LengthKind kind) {
    switch (kind) {
        case LengthKind::Crossing:
            return {3.0, 40.0};
        // No upper bound: a median or a tram track between two lanes is no wrong unit.
        case LengthKind::LaneSpacing:
            return {2.5, std::numeric_limits<double>::infinity()};
        case LengthKind::CrossingWidth:
            return {2.5, 10.0};
        default:
            return {5.0, 3000.0};
    }
}

UnitsFinding JudgeDrawingUnits(int scale, DeclaredUnits declared, const std::vector<MeasuredLength>& streams,
                               const std::vector<MeasuredLength>& distances) {
    UnitsFinding f;
    const int declaredScale = ScaleOfUnits(declared);
    f.UnitsInexpressible = declared != DeclaredUnits::None && declaredScale == 0;
    if (scale < 1) {
        f.ScaleUnreadable = true;
    } else {
        for (const MeasuredLength& s : streams) {
            if (s.Units <= 0 || inRange(s, scale)) continue;
            // A name read from the drawing is quoted cut, so that a hostile one cannot fill the screen.
            const QString said = ShortForMessage(s.Name) + QLatin1Char(' ') + metresText(s.Units / scale) +
                                 QStringLiteral(" m");
            if (s.Kind == LengthKind::LaneSpacing)
                f.NarrowLanes << said;
            else if (s.Kind == LengthKind::CrossingWidth)
                f.OddZebras << said;
            else
                f.OutOfRange << said;
        }
        for (const MeasuredLength& d : distances)
            if (roundsToZero(d.Units, scale)) f.ZeroDistances << ShortForMessage(d.Name);
        const double perMetre = UnitsPerMetre(declared);
        f.UnitsDisagree = declared != DeclaredUnits::None && std::fabs(scale - perMetre) > 0.01 * perMetre;
    }

    // A value is proposed only from measured lengths: the declared units' own when they fit, otherwise
    // the one common value (metres, decimetres, centimetres, millimetres) under which everything fits.
    bool measured = false;
    for (const MeasuredLength& s : streams) measured = measured || s.Units > 0;
    if (!measured || f.UnitsInexpressible || f.clean()) return f;
    if (declaredScale != 0) {
        if (declaredScale != scale && fits(declaredScale, streams, distances)) f.Proposal = declaredScale;
        // Nothing measured speaks against the declared units: "SKALA" is the wrong one.
        f.DeclaredUnitsFit = f.UnitsDisagree && f.Proposal == declaredScale;
        return f;
    }
    if (!f.blocking()) return f;
    int found = 0, count = 0;
    for (int candidate : CommonScales)
        if (candidate != scale && fits(candidate, streams, distances)) {
            found = candidate;
            ++count;
        }
    if (count == 1) f.Proposal = found;
    return f;
}

UnitsFinding JudgeDrawingUnits(const DrawingScaleReading& scale, DeclaredUnits declared,
                               const std::vector<MeasuredLength>& streams,
                               const std::vector<MeasuredLength>& distances) {
    UnitsFinding f = JudgeDrawingUnits(scale.Readable ? scale.Value : 0, declared, streams, distances);
    f.Unreadable = DrawingScaleProblem(scale);
    f.ScaleMissing = scale.Readable && scale.Found.trimmed().isEmpty();
    return f;
}

QString DrawingScaleProblem(const DrawingScaleReading& r) {
    if (r.Readable) return QString();
    const QString where =
        r.Drawing.isEmpty() ? QStringLiteral("Rysunek") : QStringLiteral("Rysunek %1").arg(r.Drawing);
    return Tlumacz(
        QStringLiteral("%1 ma wartość SKALA \"%2\", która nie jest liczbą całkowitą od 1 do 32767. SKALA to "
                       "liczba jednostek rysunku na metr: 1 dla rysunku w metrach, 1000 dla rysunku w "
                       "milimetrach. Popraw ją w ustawieniach programu.")
            .arg(where, r.Found));
}

QString DrawingUnitsMessage(const UnitsFinding& f, int scale, DeclaredUnits declared) {
    if (f.clean()) return QString();
    QStringList lines;
    if (f.ScaleUnreadable) {
        lines << f.Unreadable;
    } else {
        if (f.ScaleMissing)
            lines << QStringLiteral(
                         "Rysunek nie ma wartości SKALA; przyjęta wartość %1 (rysunek w metrach) nie "
                         "pasuje do rysunku:")
                         .arg(scale);
        else
            lines << QStringLiteral("SKALA rysunku wynosi %1 i nie pasuje do rysunku:").arg(scale);
        if (f.UnitsInexpressible)
            lines << QString::fromUtf8(InexpressibleUnitsText)
                         .arg(unitsName(declared), plainNumber(UnitsPerMetre(declared)));
        else if (f.UnitsDisagree)
            lines << QStringLiteral("- rysunek deklaruje jednostki %1, dla których SKALA wynosi %2;")
                         .arg(unitsName(declared))
                         .arg(ScaleOfUnits(declared));
        if (!f.OutOfRange.isEmpty()) {
            const LengthRange v = RangeOf(LengthKind::VehiclePath), c = RangeOf(LengthKind::Crossing);
            lines << QStringLiteral(
                         "- strumienie miałyby długości, jakich nie ma żadna droga (pojazdy od %1 m do %2 m, "
                         "przejścia od %3 m do %4 m): %5;")
                         .arg(int(v.Shortest))
                         .arg(int(v.Longest))
                         .arg(int(c.Shortest))
                         .arg(int(c.Longest))
                         .arg(listed(f.OutOfRange));
        }
        if (!f.NarrowLanes.isEmpty())
            lines << QStringLiteral(
                         "- strumienie pojazdów na sąsiednich pasach biegłyby bliżej siebie, niż pozwala "
                         "szerokość pasa ruchu (co najmniej %1 m): %2;")
                         .arg(plainNumber(RangeOf(LengthKind::LaneSpacing).Shortest), listed(f.NarrowLanes));
        if (!f.OddZebras.isEmpty()) {
            const LengthRange z = RangeOf(LengthKind::CrossingWidth);
            lines << QStringLiteral(
                         "- krawędzie przejścia byłyby od siebie w odległości, jakiej nie ma żadne przejście "
                         "(od %1 m do %2 m): %3;")
                         .arg(plainNumber(z.Shortest), plainNumber(z.Longest), listed(f.OddZebras));
        }
        if (!f.ZeroDistances.isEmpty())
            lines << QStringLiteral("- odległości do punktów kolizji wyniosłyby 0,0 m: %1;")
                         .arg(listed(f.ZeroDistances));
        lines << QStringLiteral(
            "SKALA to liczba jednostek rysunku na metr: 1 dla rysunku w metrach, 1000 dla "
            "rysunku w milimetrach.");
    }
    if (f.Proposal > 0)
        lines << QStringLiteral(
                     "Długości strumieni pasują do drogi przy wartości SKALA %1: proponowana wartość %1.")
                     .arg(f.Proposal);
    else if (declared == DeclaredUnits::None && !f.ScaleUnreadable)
        lines << QStringLiteral(
            "Rysunek nie deklaruje jednostek: sprawdź, w jakich jednostkach jest narysowany.");
    return common::Tlumacz(lines.join(QLatin1Char('\n')));
}

bool ConfirmScaleBeforeDrawing(const DrawingScaleReading& reading, int insunits,
                               const std::function<QString()>& drawingName, const QString& title) {
    const DeclaredUnits declared = DeclaredUnitsOf(insunits);
    const int scale = reading.Value;
    const UnitsFinding f = JudgeDrawingUnits(reading, declared, {}, {});
    if (f.clean()) return true;
    const QString key = drawingName() + QLatin1Char('|') + QString::number(scale) + QLatin1Char('|') +
                        QString::number(int(declared));
    if (!f.blocking() && acknowledged == key) return true;
    const QString text = DrawingUnitsMessage(f, scale, declared);
    if (f.blocking()) {
        ui::MsgBox(text + QStringLiteral("\n\n") + Tlumacz(QStringLiteral("Nic nie narysowano.")),
                   ui::Exclamation, title);
        return false;
    }
    // Enter (and a prompt answered by default) draws nothing at a value the drawing's units deny.
    const QString question =
        Tlumacz(
            QStringLiteral("Czy mimo to rysować przy wartości SKALA %1? (Nie: nic nie zostanie narysowane)"))
            .arg(scale);
    if (ui::MsgBox(text + QStringLiteral("\n\n") + question, ui::YesNo | ui::Exclamation | ui::DefaultButton2,
                   title) != ui::Yes)
        return false;
    acknowledged = key;
    return true;
}

}  // namespace common
