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

#include <algorithm>

namespace conflictor {

std::function<bool(int)> OpenScaleSettings;

namespace {

// The drawing, value and units whose disagreement the engineer has already been told about and kept.
QString acknowledged;
// The "SKALA" text as last read ("" when absent): a value kept as 1 and a missing value taken as 1 are
// told apart, so removing the property is judged anew.
QString scaleFound;

QString keyOf(int scale, DeclaredUnits declared) {
    QString name;
    try {
        name = automation::CadDocument.fullName();
    } catch (const cad::Error&) {
        // A drawing without a file name keys the answer by its scale and units alone: at worst the
        // question is not asked again for another unnamed drawing with the same scale and units.
    }
    return name + QLatin1Char('|') + QString::number(scale) + QLatin1Char('|') +
           QString::number(int(declared)) + QLatin1Char('|') + scaleFound;
}

}  // namespace

DeclaredUnits ReadDeclaredUnits() {
    try {
        return common::DeclaredUnitsOf(
            automation::CadDocument.getVariable(QStringLiteral("INSUNITS")).toInt());
    } catch (const std::exception&) {
        // A drawing whose $INSUNITS cannot be read declares nothing: the lengths alone are judged.
        return DeclaredUnits::None;
    }
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
        const bool crossing = r.Kind == KindPedestrian || r.Kind == KindBicycle;
        if (count > 0)
            out.push_back({r.Name, length, crossing ? LengthKind::Crossing : LengthKind::VehiclePath});
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
            if (s >= 0 && GetConflictDistance(m.Position, s, d))
                out.push_back({pair, d, LengthKind::VehiclePath});
        }
    }
    return out;
}

namespace {

// The finding for the drawing as it stands: its "SKALA" (readable or not) and its declared units.
UnitsFinding judgeDrawing(int& scale, DeclaredUnits declared, const std::vector<MeasuredLength>& streams,
                          const std::vector<MeasuredLength>& distances) {
    const automation::DrawingScaleReading reading = automation::ReadDrawingScale();
    scale = reading.Value;
    scaleFound = reading.Found;
    automation::DrawingScale = scale;
    return JudgeDrawingUnits(reading, declared, streams, distances);
}

}  // namespace

bool ConfirmDrawingUnits(const QString& title, const std::vector<MeasuredLength>& streams,
                         const std::vector<MeasuredLength>& distances) {
    int scale = 1;
    const DeclaredUnits declared = ReadDeclaredUnits();
    std::vector<MeasuredLength> measured = streams;
    for (const MeasuredLength& w : MeasureRoadWidths()) measured.push_back(w);
    const UnitsFinding f = judgeDrawing(scale, declared, measured, distances);
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
    // The value confirmed in the dialog is judged again as the drawing now holds it.
    const UnitsFinding again = judgeDrawing(scale, declared, measured, distances);
    if (again.blocking()) {
        ui::MsgBox(DrawingUnitsMessage(again, scale, declared) + QStringLiteral("\n\n") + stopped,
                   ui::Exclamation, title);
        return false;
    }
    if (again.UnitsDisagree) acknowledged = keyOf(scale, declared);
    return true;
}

}  // namespace conflictor
