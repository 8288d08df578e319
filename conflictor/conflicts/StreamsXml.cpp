// "Export.xml": streams, start points and components, numbers with four decimals and a dot; texts
// escaped and the file written in UTF-8, so that every name gives well-formed XML.
#include "conflictor/conflicts/StreamsXml.h"

#include "automation/Automation.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/DrawingUnits.h"
#include "conflictor/conflicts/StaleCut.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

namespace conflictor {

namespace {

QString number(double v) {
    return common::FormatNumberWithDot(v, QStringLiteral("#######0.0000"));
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

}  // namespace

QString XmlIndent(int level) {
    return QString(qMax(0, level) * 4, QLatin1Char(' '));
}

common::PlanePoint ToExportCoordinates(const common::PlanePoint& point, const common::PlanePoint& centre,
                                       double scale) {
    common::PlanePoint d = point;
    automation::SubtractPoint(d, centre);
    const double distance = common::GetDistance(common::PlanePoint{0, 0}, d) / scale;
    if (distance == 0) return {0, 0};
    return common::GetPolarPoint(common::PlanePoint{0, 0},
                                 common::GetDirectionAngle(common::PlanePoint{0, 0}, d), distance);
}

common::PlanePoint FindStreamsCentre(int lastStream) {
    common::PlanePoint max = StreamTable[0].Segments[1].StartPoint, min = max;
    for (int i = 0; i <= lastStream && i < int(StreamTable.size()); ++i) {
        const StreamRecord& s = StreamTable[size_t(i)];
        for (int k = 1; k <= std::min(s.SegmentCount, MaxSegments); ++k) {
            common::ExtendBoundingBox(max, min, s.Segments[size_t(k)].StartPoint);
            common::ExtendBoundingBox(max, min, s.Segments[size_t(k)].EndPoint);
        }
    }
    const common::PlanePoint centre = common::GetSegmentMidpoint(min, max);
    cad::Block ms = automation::CadDocument.modelSpace();
    for (const common::PlanePoint& p : {min, max, centre}) ms.addPoint(cad::Point{p.X, p.Y, 0});
    return centre;
}

QString ExportStreamsXml(const QString& folder) {
    if (!automation::CheckDocumentOpen(true)) return QString();
    StreamWindow& window = MainWindow();
    window.StartPanelFlash(common::Tlumacz(QStringLiteral("Trwa analiza strumieni...")));
    struct FlashOff {
        StreamWindow& w;
        ~FlashOff() {
            w.StopPanelFlash();
            QCoreApplication::processEvents();
        }
    } flashOff{window};
    QCoreApplication::processEvents();
    if (!OdczytajStrumienie(false, -1) || StreamTable.empty()) return QString();
    if (const QString& problem = IntersectionAttributeBlockProblem(); !problem.isEmpty()) {
        ui::MsgBox(problem, ui::Exclamation, window.caption());
        return QString();
    }
    bool failed = !CheckStreamsOutsideTheTable(QString());
    for (int i = 0; i < int(StreamTable.size()) && !failed; ++i) {
        int first = 0, second = 0;
        const common::PlanePointPair ends =
            GetStreamEndPoints(i, IsVehicleStream(StreamTable[size_t(i)]), first, second);
        if (common::IsMissingPoint(ends.First)) failed = true;
    }
    for (int i = 0; i < int(StreamTable.size()); ++i) SortujOdcinkiStrumienia(i);
    // The coordinates are metres: nothing is written while "SKALA" would make them wrong.
    if (!failed && !ConfirmDrawingUnits(window.caption(), MeasureStreams())) return QString();
    // The file gives the streams as the cut left them, each conflict point the end of a component:
    // a stream drawn or changed since the cut would come without its conflict points.
    if (!failed) {
        QList<ConflictMarker> markers = ReadConflictMarkers();
        if (ConfirmCutCurrent(window.caption(),
                              common::Tlumacz(QStringLiteral("Eksport strumieni do pliku XML został przerwany z "
                                                             "powodu nieaktualnych punktów kolizji.")),
                              markers, false) != CutCheck::Current)
            return QString();
    }
    const double scale = automation::GetDrawingScale();
    if (StreamTable[0].SegmentCount < 1) failed = true;
    const common::PlanePoint centre = failed && StreamTable[0].SegmentCount < 1
                                          ? common::PlanePoint{0, 0}
                                          : FindStreamsCentre(int(StreamTable.size()) - 1);
    if (failed) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Błąd: sprawdzanie strumieni")));
        return QString();
    }

    QString xml;
    auto line = [&](int level, const QString& text) {
        xml += XmlIndent(level) + text + QStringLiteral("\r\n");
    };
    auto element = [&](int level, const QString& tag, const QString& value) {
        line(level, QLatin1Char('<') + tag + QLatin1Char('>') + value + QStringLiteral("</") + tag +
                        QLatin1Char('>'));
    };
    line(0, QStringLiteral("<?xml version=\"1.0\"?>"));
    line(0, QStringLiteral("<skrzyzowanie>"));
    element(1, QStringLiteral("numer"), escaped(IntersectionNumber));
    for (const StreamRecord& s : StreamTable) {
        line(1, QStringLiteral("<strumien>"));
        element(2, QStringLiteral("nazwa"), escaped(s.Name));
        element(2, QStringLiteral("RodzajStrumienia"), QString::number(s.Kind));
        if (s.Kind != KindPedestrian && s.Kind != KindBicycle) {
            const common::PlanePoint p = ToExportCoordinates(s.StartPoint, centre, scale);
            line(2, QStringLiteral("<PunktPoczatkowy>"));
            element(3, QStringLiteral("x"), number(p.X));
            element(3, QStringLiteral("y"), number(p.Y));
            line(2, QStringLiteral("</PunktPoczatkowy>"));
        }
        const int count = std::min(s.SegmentCount, MaxSegments);
        for (int n = 1; n <= count; ++n) {
            const SegmentRecord* seg = nullptr;
            for (int k = 1; k <= count && !seg; ++k)
                if (s.Segments[size_t(k)].Order == n) seg = &s.Segments[size_t(k)];
            if (!seg) continue;
            line(2, QStringLiteral("<OdcinekLuk>"));
            element(3, QStringLiteral("NrPorzadkowy"), QString::number(n));
            element(3, QStringLiteral("Odcinek"), seg->IsLine ? QStringLiteral("1") : QStringLiteral("0"));
            const common::PlanePoint p1 = ToExportCoordinates(seg->StartPoint, centre, scale);
            const common::PlanePoint p2 = ToExportCoordinates(seg->EndPoint, centre, scale);
            element(3, QStringLiteral("lin_p1_x"), number(p1.X));
            element(3, QStringLiteral("lin_p1_y"), number(p1.Y));
            element(3, QStringLiteral("lin_p2_x"), number(p2.X));
            element(3, QStringLiteral("lin_p2_y"), number(p2.Y));
            if (!seg->IsLine) {
                const common::PlanePoint c = ToExportCoordinates(seg->Center, centre, scale);
                element(3, QStringLiteral("arc_a_x"), number(seg->StartAngle));
                element(3, QStringLiteral("arc_a_y"), number(seg->EndAngle));
                element(3, QStringLiteral("arc_p_x"), number(c.X));
                element(3, QStringLiteral("arc_p_y"), number(c.Y));
                element(3, QStringLiteral("arc_r"), number(seg->Radius / scale));
            }
            line(2, QStringLiteral("</OdcinekLuk>"));
        }
        line(1, QStringLiteral("</strumien>"));
    }
    line(0, QStringLiteral("</skrzyzowanie>"));

    const QString dir =
        folder.isEmpty() ? QFileInfo(automation::CadDocument.fullName()).absolutePath() : folder;
    const QString path = common::JoinPath(dir, QStringLiteral("Export.xml"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(xml.toUtf8()) < 0 || !out.commit()) {
        ui::MsgBox(
            common::Tlumacz(QStringLiteral("Nie można zapisać pliku:")) + QStringLiteral("\r\n") + path,
            ui::Exclamation, window.caption());
        return QString();
    }
    return path;
}

}  // namespace conflictor
