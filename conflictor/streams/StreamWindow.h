// What the stream model needs of conflictor's main window: the window state its routines share
// (the current grid stream, the marker direction, the cut mode, the intersection combo) and the few
// window services they call (grid refresh, combo entries, status panel, showing and hiding, caption).
// The main window derives from it and installs itself; until then, and in tests, a headless window
// that only keeps the state stands in.
#pragma once

#include <QString>
#include <QStringList>

namespace conflictor {

class StreamWindow {
public:
    virtual ~StreamWindow() = default;

    // Shared window state.
    QString GridStreamName;  // the stream selected in the grid
    int GridStreamIndex = -1;
    double MarkerDirection = 0;           // radians: end arrow, conditional start bar
    bool CuttingSelectedStreams = false;  // the cut runs over the highlighted streams only
    int MaxGroupNumber = 0;               // the largest group met by the last read
    bool IntersectionComboActive = true;  // the combo's click handler acts only while true

    // The caption: the title of the window's message and input boxes.
    virtual QString caption() const { return Caption; }
    // Rebuilds the stream grid (-1) or one row of it.
    virtual void DodajStrumienDoGrida(int index) {
        ++GridRefreshCount;
        (void)index;
    }
    virtual void setGridRedraw(bool on) { GridRedraw = on; }
    // Makes the stream's row the grid's current row.
    virtual void SelectGridRowOfStream(const QString& streamName) { SelectedGridStream = streamName; }

    // The intersection combo `cmbNo`.
    virtual void clearIntersections() {
        Intersections.clear();
        SelectedIntersection = -1;
    }
    virtual void addIntersection(const QString& number) { Intersections.append(number); }
    virtual int intersectionCount() const { return int(Intersections.size()); }
    virtual QString intersectionText(int index) const { return Intersections.value(index); }
    // Selecting an entry raises the combo's click handler in the real window.
    virtual void selectIntersection(int index) { SelectedIntersection = index; }

    // The status panel "Stan" and the text the window keeps for it (the drawing's name).
    virtual void setStatusText(const QString& text) { StatusText = text; }
    virtual QString statusDefaultText() const { return StatusDefault; }
    // Flashes the status panel with a notice while a long operation runs.
    virtual void StartPanelFlash(const QString& notice) { FlashNotice = notice; }
    virtual void StopPanelFlash() { FlashNotice.clear(); }

    virtual void showWindow() { Visible = true; }
    virtual void hideWindow() { Visible = false; }
    // Lets the message loop run between the items of a long operation.
    virtual void yieldToMessageLoop();

    // Long operations: the progress bar `pbPostep`, the buttons it covers while shown (`cmdBig`,
    // `cmdZmienJednostki`), the hourglass pointer, the hover-text timer `TimerDlaPaskaStatusu` and
    // a pending in-place edit of the grid, stored before an operation changes the streams.
    virtual void setProgressMaximum(int maximum) { ProgressMax = maximum; }
    virtual void setProgressValue(int value) { ProgressValue = value; }
    virtual int progressValue() const { return ProgressValue; }
    virtual void setProgressVisible(bool on) { ProgressVisible = on; }
    virtual void setBigButtonVisible(bool on) { BigButtonVisible = on; }
    virtual void setUnitsButtonVisible(bool on) { UnitsButtonVisible = on; }
    virtual void setBusyPointer(bool on) { BusyPointer = on; }
    virtual void stopStatusBarTimer() { StatusBarTimerRunning = false; }
    virtual void RelayStreamGridEdit() { ++GridEditRelays; }

    // State of the headless stand-in (the real window keeps its own).
    QString Caption = QStringLiteral("conflictor");
    QStringList Intersections;
    int SelectedIntersection = -1;
    QString StatusText;
    QString StatusDefault;
    QString FlashNotice;
    QString SelectedGridStream;
    bool Visible = true;
    bool GridRedraw = true;
    int GridRefreshCount = 0;
    int ProgressMax = 0;
    int ProgressValue = 0;
    bool ProgressVisible = false;
    bool BigButtonVisible = true;
    bool UnitsButtonVisible = false;
    bool BusyPointer = false;
    bool StatusBarTimerRunning = false;
    int GridEditRelays = 0;
};

// The installed window; the headless one until a window is installed.
StreamWindow& MainWindow();
// Installs a window (not owned); nullptr puts the headless one back. Returns the previous one.
StreamWindow* SetStreamWindow(StreamWindow* window);

}  // namespace conflictor
