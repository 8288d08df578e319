// The attach and detach commands.
#include "conflictor/streams/ComponentPicking.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/WindowSearch.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

namespace {

// The common start: false when the command cannot run.
bool startPicking(bool attach) {
    if (!automation::CheckDocumentOpen(true)) return false;
    StreamWindow& window = MainWindow();
    if (!CheckIntersectionNumber()) {
        return false;
    }
    if (attach) EnsureStreamLayers();
    window.hideWindow();
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    return true;
}

cad::Entity pick(const QString& prompt) {
    const cad::Utility utility = automation::CadDocument.utility();
    utility.initializeUserInput(1);
    return utility.getEntity(prompt).first;
}

bool isComponentOfIntersection(const QString& blockName) {
    return blockName.startsWith(IntersectionNumber + QStringLiteral("^STRUMIEN_"));
}

// The end step: the window back and the stream read again with what it gained or lost.
void endPicking(const QString& streamName) {
    StreamWindow& window = MainWindow();
    window.showWindow();
    const int i = FindStreamIndex(streamName);
    if (i >= 0) {
        try {
            OdczytajStrumienie(false, i);
            KeepEndMarkerAtTheEnd(i);
        } catch (const cad::ConnectionLost&) {
            throw;
        } catch (const cad::Error&) {
            // The stream keeps the components the table had; the next command that needs it reads
            // it again from the drawing, where what was attached or detached stands.
        }
    }
}

}  // namespace

void mnuEdycja_DolaczSkladnik() {
    StreamWindow& window = MainWindow();
    const QString streamName = window.GridStreamName;
    if (!startPicking(true)) return;
    const QString prompt = common::Tlumacz(
        QStringLiteral("Proszę wskazać linię lub łuk, który ma być dołączony do strumienia..."));
    try {
        for (;;) {
            const cad::Entity entity = pick(prompt);
            const QString kind = entity.objectName();
            if (kind == QLatin1String("AcDbLine") || kind == QLatin1String("AcDbArc")) {
                const int i = FindStreamIndex(streamName);
                if (i < 0) break;
                if (StreamTable[size_t(i)].SegmentCount >= MaxSegments) {
                    window.showWindow();
                    ui::MsgBox(FullStreamMessage(), ui::Exclamation, window.caption());
                    break;
                }
                SegmentRecord segment;
                ReadSegmentGeometry(entity, segment);
                // The loose entity goes only once its component block exists.
                if (WriteStreamComponent(segment, i, {})) {
                    automation::DeleteEntity(entity);
                    StoreStreamComponent(i, segment.Handle);
                    ComputeSegmentBounds(segment);
                    StreamTable[size_t(i)].Segments[size_t(StreamTable[size_t(i)].SegmentCount)] = segment;
                }
                continue;
            }
            if (kind == QLatin1String("AcDbBlockReference")) {
                const QString name = entity.name();
                if (!isComponentOfIntersection(name)) continue;
                QString probe = name;
                int none = -1;
                if (ParseStreamBlockName(streamName, probe, 0, none)) break;
                automation::GetBlockDefinition(name).setName(name + QLatin1Char('^') + streamName);
                entity.update();
            }
        }
    } catch (const cad::Cancelled&) {
        // Escape or a pick of nothing ends the loop; what was attached stays and is read below.
    } catch (const cad::Error&) {
        // A change the CAD refused, or a host gone: what was attached is read, and the command's
        // guard says what failed.
        endPicking(streamName);
        throw;
    }
    endPicking(streamName);
}

void mnuEdycja_WylaczSkladnik() {
    StreamWindow& window = MainWindow();
    const QString streamName = window.GridStreamName;
    if (!startPicking(false)) return;
    const QString prompt = common::Tlumacz(
        QStringLiteral("Proszę wskazać linię lub łuk, który ma być wyłączony ze strumienia..."));
    bool detached = false;
    try {
        for (;;) {
            const cad::Entity entity = pick(prompt);
            if (entity.objectName() != QLatin1String("AcDbBlockReference")) break;
            const QString name = entity.name();
            QString cut = name;
            int none = -1;
            if (isComponentOfIntersection(name) && ParseStreamBlockName(streamName, cut, 1, none)) {
                automation::GetBlockDefinition(name).setName(cut);
                entity.update();
                detached = true;
                continue;
            }
            if (!detached) break;
        }
    } catch (const cad::Cancelled&) {
        // Escape or a pick of nothing ends the loop; what was detached stays and is read below.
    } catch (const cad::Error&) {
        // A change the CAD refused, or a host gone: what was detached is read, and the command's
        // guard says what failed.
        endPicking(streamName);
        throw;
    }
    endPicking(streamName);
}

}  // namespace conflictor
