// Nine streams of the sample junction (through, left and right turns, two pedestrian crossings drawn
// by both edges) with
// signal groups, phases, descriptions and the default kinematic values.
#include "tools/samplemap/SampleStreams.h"

#include "automation/Automation.h"
#include "common/Geometry.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/model/Interaction.h"

#include <QStringList>
#include <QTextStream>
#include <cmath>
#include <numbers>

namespace samplemap {

namespace {

using conflictor::SegmentRecord;
using conflictor::StreamRecord;
using conflictor::StreamTable;
constexpr double Pi = std::numbers::pi;

SegmentRecord line(double x1, double y1, double x2, double y2) {
    return conflictor::LineSegment(x1, y1, x2, y2);
}

SegmentRecord arc(double cx, double cy, double r, double a1, double a2) {
    return conflictor::ArcSegment(cx, cy, r, a1, a2);
}

// A component of the sample and the streams it belongs to (one, or several when they share it).
struct SampleComponent {
    SegmentRecord segment;
    QStringList streams;
};

struct SampleStream {
    const char* name;
    int group;
    const char* phases;
    const char* description;
    common::PlanePoint start, end;
    double startDirection;  // radians
    SegmentRecord last;     // the component that ends at `end`
};

// Traffic keeps right: eastbound lanes at y -1.75 and -5.25, westbound at 1.75, northbound at x 1.75.
const SegmentRecord ApproachWest = line(-50, -5.25, -16, -5.25);
const SegmentRecord ExitNorth = line(1.75, 16, 1.75, 50);

std::vector<SampleComponent> components() {
    return {
        {ApproachWest, {QStringLiteral("K1"), QStringLiteral("K1[2]")}},
        {line(-16, -5.25, 50, -5.25), {QStringLiteral("K1")}},
        {arc(-16, -19.5, 14.25, 0, Pi / 2), {QStringLiteral("K1[2]")}},
        {line(-1.75, -19.5, -1.75, -50), {QStringLiteral("K1[2]")}},
        {line(-50, -1.75, -16, -1.75), {QStringLiteral("K2")}},
        {arc(-16, 16, 17.75, 1.5 * Pi, 2 * Pi), {QStringLiteral("K2")}},
        {ExitNorth, {QStringLiteral("K2"), QStringLiteral("K4")}},
        {line(50, 1.75, -50, 1.75), {QStringLiteral("K3")}},
        {line(1.75, -50, 1.75, 16), {QStringLiteral("K4")}},
        // Each crossing is two streams of its group, one along each edge of the zebra, kerb to kerb:
        // every vehicle stream meets it twice, so both intergreen directions are computed.
        {line(-17.5, -7, -17.5, 7), {QStringLiteral("P1")}},
        {line(-21.5, -7, -21.5, 7), {QStringLiteral("P1[2]")}},
        {line(-3.5, 21, 3.5, 21), {QStringLiteral("P2")}},
        {line(-3.5, 25, 3.5, 25), {QStringLiteral("P2[2]")}},
    };
}

std::vector<SampleStream> streams() {
    return {
        // Three phases, no colliding groups in one: the main road with the north crossing, the left
        // turn K2 alone (it crosses K3 and joins K4), the side road with the west crossing.
        {"K1", 1, "1", "na wprost", {-50, -5.25}, {50, -5.25}, 0, line(-16, -5.25, 50, -5.25)},
        {"K1[2]", 1, "1", "w prawo", {-50, -5.25}, {-1.75, -50}, 0, line(-1.75, -19.5, -1.75, -50)},
        {"K2", 3, "2", "w lewo", {-50, -1.75}, {1.75, 50}, 0, ExitNorth},
        {"K3", 2, "1", "na wprost", {50, 1.75}, {-50, 1.75}, Pi, line(50, 1.75, -50, 1.75)},
        {"K4", 4, "3", "na wprost", {1.75, -50}, {1.75, 50}, Pi / 2, ExitNorth},
        {"P1", 5, "3", "przejście zachodnie, krawędź wewnętrzna", {-17.5, -7}, {-17.5, 7}, Pi / 2,
         line(-17.5, -7, -17.5, 7)},
        {"P1[2]", 5, "3", "przejście zachodnie, krawędź zewnętrzna", {-21.5, -7}, {-21.5, 7}, Pi / 2,
         line(-21.5, -7, -21.5, 7)},
        {"P2", 6, "1", "przejście północne, krawędź wewnętrzna", {-3.5, 21}, {3.5, 21}, 0,
         line(-3.5, 21, 3.5, 21)},
        {"P2[2]", 6, "1", "przejście północne, krawędź zewnętrzna", {-3.5, 25}, {3.5, 25}, 0,
         line(-3.5, 25, 3.5, 25)},
    };
}

void setKinematicDefaults(StreamRecord& r) {
    const common::ProgramSettings& s = common::Settings;
    r.VehicleLength = s.DlugoscPojazd;
    r.ApproachStraightSpeed = s.PredkDojazdProsta;
    r.ApproachArcSpeed = s.PredkDojazdLuk;
    r.ClearStraightSpeed = s.PredkEwakProsta;
    r.ClearArcSpeed = s.PredkEwakLuk;
    r.MaxAcceleration = s.MaksPrzysp;
    if (!conflictor::IsVehicleStream(r)) {
        r.VehicleLength = 0;
        r.ClearStraightSpeed = s.PredkPiesi;
    }
}

QString number(double v) {
    return common::FormatNumberWithDot(v, QStringLiteral("#######0.00"));
}

}  // namespace

bool AddSampleStreams(const QString& dxfPath) {
    automation::InProcessCad cad;
    cad::ScriptedInteraction picks;
    picks.point(40, -40);  // where the intersection's attribute block goes
    cad.setInteraction(&picks);
    const automation::CadConnector previous =
        automation::SetCadConnector({[&] { return cad.application(); }, {}});
    try {
        automation::CadApplication = automation::ConnectToAutoCad(true);
        cad::Document doc = automation::CadApplication.documents().open(dxfPath);
        if (!automation::CheckDocumentOpen(false)) throw std::runtime_error("no drawing");
        automation::DrawingScale = 1;
        automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, 5, 30);
        automation::EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), false, 5, -10);
        automation::ClearStreamAttributeTable();
        conflictor::InitStreamAttributeTags();
        conflictor::IntersectionNumber = QStringLiteral("1");

        StreamTable.clear();
        const std::vector<SampleStream> sample = streams();
        for (const SampleStream& s : sample) {
            StreamRecord r;
            conflictor::SetStreamName(r, QString::fromUtf8(s.name));
            r.Group = s.group;
            r.Phases = QString::fromUtf8(s.phases);
            r.Description = QString::fromUtf8(s.description);
            setKinematicDefaults(r);
            StreamTable.push_back(r);
        }
        for (SampleComponent c : components())
            conflictor::WriteStreamComponent(c.segment, conflictor::FindStreamIndex(c.streams.front()),
                                             c.streams.size() > 1 ? c.streams : QStringList());
        for (size_t i = 0; i < sample.size(); ++i) {
            if (!conflictor::IsVehicleStream(StreamTable[i])) continue;
            conflictor::MainWindow().MarkerDirection = sample[i].startDirection;
            conflictor::InsertMarkerBlock(sample[i].start, conflictor::StartMarkerKind(), StreamTable[i].Name,
                                          QString(), QString());
            conflictor::PlaceEndMarker(StreamTable[i].Name, sample[i].end, sample[i].last, false);
        }

        QString handle;
        if (!conflictor::DodajAtrStrumieni(
                conflictor::IntersectionBlockPrefix() + conflictor::IntersectionNumber, handle) ||
            handle.isEmpty())
            throw std::runtime_error("the attribute block was not placed");
        conflictor::StreamAttributeBlockHandle = handle;
        for (const StreamRecord& r : StreamTable) {
            const QString base = r.BaseName.toUpper();
            conflictor::SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(r.Group), false);
            conflictor::SetStreamAttribute(QStringLiteral("FAZY"), base, r.Phases, false);
            conflictor::SetStreamAttribute(QStringLiteral("OPISY"), r.Name, r.Description, false);
            conflictor::SetStreamAttribute(QStringLiteral("DLUG_POJ"), r.Name, number(r.VehicleLength),
                                           false);
            conflictor::SetStreamAttribute(QStringLiteral("PROSTA_EWAK"), r.Name,
                                           number(r.ClearStraightSpeed), false);
            if (!conflictor::IsVehicleStream(r)) continue;
            conflictor::SetStreamAttribute(QStringLiteral("PROSTA_DOJAZD"), r.Name,
                                           number(r.ApproachStraightSpeed), false);
            conflictor::SetStreamAttribute(QStringLiteral("LUK_DOJAZD"), r.Name, number(r.ApproachArcSpeed),
                                           false);
            conflictor::SetStreamAttribute(QStringLiteral("LUK_EWAK"), r.Name, number(r.ClearArcSpeed),
                                           false);
            conflictor::SetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), r.Name, number(r.MaxAcceleration),
                                           false);
        }
        conflictor::WriteIntersectionAttributeBlock(handle);
        doc.saveAs(dxfPath);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "samplemap: " << e.what() << '\n';
        automation::SetCadConnector(previous);
        automation::ResetCadConnectionState();
        return false;
    }
    automation::SetCadConnector(previous);
    automation::ResetCadConnectionState();
    return true;
}

}  // namespace samplemap
