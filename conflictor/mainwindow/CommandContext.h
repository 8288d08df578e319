// What a command of conflictor's table runs against: the stream model's window (the main window, or
// the headless stand-in that orders streams as the grid does), the main window itself when there is
// one, and what the command leaves behind for its caller. The window and conflictor-headless build one
// per run, so both run the same handlers and write the same files.
#pragma once

#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/streams/StreamWindow.h"

#include <QString>
#include <functional>
#include <optional>

namespace conflictor {

class ConflictorWindow;

struct CommandContext {
    CommandContext(StreamWindow& streams, ConflictorWindow* window, const QString& resourceFolder)
        : streams(streams), window(window), ResourceFolder(resourceFolder) {}

    StreamWindow& streams;
    // nullptr without a window: commands that open a dialog or wait for picks refuse to run.
    ConflictorWindow* window = nullptr;
    // The folder of the program's resources (the workbook template).
    QString ResourceFolder;
    // The saved intergreen workbook is shown to the user (the window opens it or says where it is).
    std::function<void(const QString& path)> ShowSavedWorkbook;
    // A stale cut may be made at once from the export's question (the window); otherwise it stops.
    bool OfferCutOnStaleExport = false;
    // The intergreen workbook the phase information goes into; empty: the one the user takes or picks.
    QString PhaseWorkbook;

    // Left by the command.
    std::optional<CutOutcome> Cut;
    QString SavedWorkbook;
    std::optional<PhaseExportOutcome> PhaseExport;
};

// The stand-in window of a run without a window: the grid's row order (kind K, P, R, T, then number
// and variant) for the streams of the table, so exports list the streams as the window would.
class GridOrderWindow : public StreamWindow {
public:
    QStringList gridStreamNames() const override;
};

}  // namespace conflictor
