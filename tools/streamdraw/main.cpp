// streamdraw: runs conflictor's drawing command against the running cadhost, as the menu would: a new
// stream K1 in the given intersection, then a line, an arc and a polyline, each drawn by the user in
// cadhost; prints the stream as read back (chain order, markers) and highlights it.
// Usage: streamdraw [INTERSECTION]   (the socket: $TESMAR_CAD_SOCKET or the user's cadhost)
#include "automation/Automation.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamNaming.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

using namespace conflictor;

namespace {

QTextStream out(stdout);

void step(const char* what) {
    out << what << Qt::endl;
}

// Serves the event loop while the CAD command is awaited.
void waitForDrawing() {
    while (MainWindow().DrawingInProgress) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    IntersectionNumber = args.value(1, QStringLiteral("1"));
    InitStreamAttributeTags();

    automation::CadApplication = automation::ConnectToAutoCad(true);
    if (automation::CadApplication.isNull() || !automation::CheckDocumentOpen(true)) return 1;
    StreamWindow& window = MainWindow();

    step("nazwa K1");
    if (AcceptStreamName(QStringLiteral("K1"), QStringLiteral("1"), QStringLiteral("AL"), QString()) < 0)
        return 1;
    window.GridStreamName = QStringLiteral("K1");

    step("linia");
    DrawStreamComponent(Odcinek);
    step("luk");
    DrawStreamComponent(Luk);
    waitForDrawing();
    step("polilinia");
    DrawStreamComponent(Kontynuacja);
    waitForDrawing();

    StreamTable.clear();
    if (!OdczytajStrumienie(false, -1)) return 1;
    const int i = FindStreamIndex(QStringLiteral("K1"));
    if (i < 0) return 1;
    SortujOdcinkiStrumienia(i);
    const StreamRecord& r = StreamTable[size_t(i)];
    out << "K1: " << r.SegmentCount << " skladnikow, poczatek " << r.StartPoint.X << "," << r.StartPoint.Y
        << Qt::endl;
    for (int order = 1; order <= r.SegmentCount; ++order)
        for (int k = 1; k <= r.SegmentCount; ++k) {
            const SegmentRecord& s = r.Segments[size_t(k)];
            if (s.Order != order) continue;
            out << "  " << order << ". " << (s.IsLine ? "linia " : "luk ") << s.StartPoint.X << ","
                << s.StartPoint.Y << " - " << s.EndPoint.X << "," << s.EndPoint.Y << "  " << s.Label
                << Qt::endl;
        }
    ZaznaczStrumien(i, common::Settings.PisakZaznaczenia, false);
    automation::CadApplication.zoomWindow(cad::Point{-5, -8, 0}, cad::Point{45, 38, 0});
    return r.SegmentCount == 5 ? 0 : 1;
}
