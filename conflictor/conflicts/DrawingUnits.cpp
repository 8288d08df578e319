// The check of "SKALA" against the drawing's declared units and the lengths of its streams.
#include "conflictor/conflicts/DrawingUnits.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "common/Geometry.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/IntergreenRows.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

std::function<bool(int)> OpenScaleSettings;

namespace {

// The drawing, value and units whose disagreement the engineer has already been told about and kept.
QString acknowledged;

constexpr int Listed = 6;  // names listed in the message before "…"

QString metresText(double metres) {
    return common::FormatNumberWithDot(metres, QStringLiteral("#######0.00"))
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

bool inRange(double units, int scale) {
    const double metres = units / scale;
    return metres >= ShortestStream && metres <= LongestStream;
}

bool roundsToZero(double units, int scale) {
    return units > 1e-9 && common::RoundToDecimals(units / scale, 1) == 0;
}

QString listed(const QStringList& names) {
    QStringList shown = names.mid(0, Listed);
    if (names.size() > Listed) shown << QStringLiteral("…");
    return shown.join(QStringLiteral(", "));
}

QString unitsName(DeclaredUnits u) {
    return u == DeclaredUnits::Metres ? QStringLiteral("metry ($INSUNITS 6)")
                                      : QStringLiteral("milimetry ($INSUNITS 4)");
}

QString keyOf(int scale, DeclaredUnits declared) {
    QString name;
    try {
        name = automation::CadDocument.fullName();
    } catch (const std::exception&) {
    }
    return name + QLatin1Char('|') + QString::number(scale) + QLatin1Char('|') +
           QString::number(int(declared));
}

}  // namespace

DeclaredUnits ReadDeclaredUnits() {
    try {
        switch (automation::CadDocument.getVariable(QStringLiteral("INSUNITS")).toInt()) {
            case 6:
                return DeclaredUnits::Metres;
            case 4:
                return DeclaredUnits::Millimetres;
            default:
                return DeclaredUnits::None;
        }
    } catch (const std::exception&) {
        return DeclaredUnits::None;
    }
}

int ScaleOfUnits(DeclaredUnits units) {
    return units == DeclaredUnits::Metres ? 1 : units == DeclaredUnits::Millimetres ? 1000 : 0;
}

UnitsFinding JudgeDrawingUnits(int scale, DeclaredUnits declared, const std::vector<MeasuredLength>& streams,
                               const std::vector<MeasuredLength>& distances) {
    UnitsFinding f;
    scale = std::max(scale, 1);
    for (const MeasuredLength& s : streams)
        if (s.Units > 0 && !inRange(s.Units, scale))
            f.OutOfRange << s.Name + QLatin1Char(' ') + metresText(s.Units / scale) + QStringLiteral(" m");
    for (const MeasuredLength& d : distances)
        if (roundsToZero(d.Units, scale)) f.ZeroDistances << d.Name;
    const int declaredScale = ScaleOfUnits(declared);
    f.UnitsDisagree = declaredScale != 0 && declaredScale != scale;

    // A value is proposed only where the declared units and every length agree on it.
    bool measured = false, agree = declaredScale != 0 && declaredScale != scale;
    for (const MeasuredLength& s : streams) {
        if (s.Units <= 0) continue;
        measured = true;
        if (agree && !inRange(s.Units, declaredScale)) agree = false;
    }
    for (const MeasuredLength& d : distances)
        if (agree && roundsToZero(d.Units, declaredScale)) agree = false;
    if (agree && measured) f.Proposal = declaredScale;
    return f;
}

QString DrawingUnitsMessage(const UnitsFinding& f, int scale, DeclaredUnits declared) {
    if (f.clean()) return QString();
    QStringList lines;
    lines << QStringLiteral("SKALA rysunku wynosi %1 jednostek rysunku na metr i nie pasuje do rysunku:")
                 .arg(scale);
    if (f.UnitsDisagree)
        lines << QStringLiteral("- rysunek deklaruje jednostki %1, dla których SKALA wynosi %2;")
                     .arg(unitsName(declared))
                     .arg(ScaleOfUnits(declared));
    if (!f.OutOfRange.isEmpty())
        lines << QStringLiteral(
                     "- strumienie miałyby długości, jakich nie ma żadna droga (poniżej %1 m lub "
                     "powyżej %2 m): %3;")
                     .arg(int(ShortestStream))
                     .arg(int(LongestStream))
                     .arg(listed(f.OutOfRange));
    if (!f.ZeroDistances.isEmpty())
        lines << QStringLiteral("- odległości do punktów kolizji wyniosłyby 0,0 m: %1;")
                     .arg(listed(f.ZeroDistances));
    lines << QStringLiteral(
        "SKALA to liczba jednostek rysunku na metr: 1 dla rysunku w metrach, 1000 dla "
        "rysunku w milimetrach.");
    if (f.Proposal > 0)
        lines << QStringLiteral("Jednostki rysunku i długości strumieni zgadzają się na wartość %1.")
                     .arg(f.Proposal);
    else if (declared == DeclaredUnits::None)
        lines << QStringLiteral(
            "Rysunek nie deklaruje jednostek: sprawdź, w jakich jednostkach jest narysowany.");
    return common::Tlumacz(lines.join(QLatin1Char('\n')));
}

std::vector<MeasuredLength> MeasureStreams() {
    std::vector<MeasuredLength> out;
    for (const StreamRecord& r : StreamTable) {
        double length = 0;
        const int count = std::min(r.SegmentCount, MaxSegments);
        for (int k = 1; k <= count; ++k) {
            const SegmentRecord& c = r.Segments[size_t(k)];
            length += c.IsLine ? common::GetDistance(c.StartPoint, c.EndPoint)
                               : common::GetArcLength(c.Radius, c.StartAngle, c.EndAngle);
        }
        if (count > 0) out.push_back({r.Name, length});
    }
    return out;
}

std::vector<MeasuredLength> MeasureConflictDistances() {
    return MeasureConflictDistances(ReadConflictMarkers());
}

std::vector<MeasuredLength> MeasureConflictDistances(const QList<ConflictMarker>& markers) {
    std::vector<MeasuredLength> out;
    for (const ConflictMarker& m : markers) {
        const QString pair = m.Stream1 + QStringLiteral(" - ") + m.Stream2;
        for (const QString& name : {m.Stream1, m.Stream2}) {
            const int s = FindStreamIndex(name);
            double d = 0;
            if (s >= 0 && GetConflictDistance(m.Position, s, d)) out.push_back({pair, d});
        }
    }
    return out;
}

bool ConfirmDrawingUnits(const QString& title, const std::vector<MeasuredLength>& streams,
                         const std::vector<MeasuredLength>& distances) {
    int scale = automation::GetDrawingScale();
    automation::DrawingScale = scale;
    const DeclaredUnits declared = ReadDeclaredUnits();
    const UnitsFinding f = JudgeDrawingUnits(scale, declared, streams, distances);
    if (f.clean()) return true;
    if (!f.blocking() && acknowledged == keyOf(scale, declared)) return true;

    const QString text = DrawingUnitsMessage(f, scale, declared);
    const QString stopped = common::Tlumacz(QStringLiteral("Nic nie zapisano: popraw wartość SKALA."));
    if (!OpenScaleSettings) {
        // Nowhere to mend the value: a wrong length stops the command, a disagreement alone is reported.
        ui::MsgBox(f.blocking() ? text + QStringLiteral("\n\n") + stopped : text, ui::Exclamation, title);
        if (!f.blocking()) acknowledged = keyOf(scale, declared);
        return !f.blocking();
    }
    const QString question =
        f.blocking() ? common::Tlumacz(QStringLiteral("Czy otworzyć ustawienia, aby zmienić wartość SKALA? "
                                                      "(Nie: operacja zostanie przerwana)"))
                     : common::Tlumacz(QStringLiteral("Czy otworzyć ustawienia, aby zmienić wartość SKALA? "
                                                      "(Nie: zostaje obecna wartość)"));
    // Enter (and any prompt answered by default) takes the safe way: nothing written on wrong lengths.
    if (ui::MsgBox(text + QStringLiteral("\n\n") + question, ui::YesNo | ui::Exclamation | ui::DefaultButton2,
                   title) != ui::Yes) {
        if (f.blocking()) return false;
        acknowledged = keyOf(scale, declared);
        return true;
    }
    if (!OpenScaleSettings(f.Proposal)) return false;
    scale = automation::GetDrawingScale();
    automation::DrawingScale = scale;
    const UnitsFinding again = JudgeDrawingUnits(scale, declared, streams, distances);
    if (again.blocking()) {
        ui::MsgBox(DrawingUnitsMessage(again, scale, declared) + QStringLiteral("\n\n") + stopped,
                   ui::Exclamation, title);
        return false;
    }
    if (again.UnitsDisagree) acknowledged = keyOf(scale, declared);
    return true;
}

}  // namespace conflictor
