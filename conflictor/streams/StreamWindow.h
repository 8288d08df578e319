// What the stream model needs of conflictor's main window: the window state its routines share
// (the current grid stream, the marker direction, the cut mode, the intersection combo) and the few
// window services they call (grid refresh, combo entries, status panel, showing and hiding, caption).
// The main window derives from it and installs itself; until then, and in tests, a headless window
// that only keeps the state stands in.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

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
    bool DrawingInProgress = false;       // an arc or polyline command is awaited in the CAD
    bool StreamHasNoBlock = false;        // the drawn stream had no component when the command began
    bool DetailsShown = false;            // the kinematic columns (and the units button) are shown

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
    // The focus to the intersection combo (before the message that no intersection is chosen).
    virtual void focusIntersectionCombo() { ++ComboFocusCount; }
    // The stream names of the grid's rows, top to bottom; empty when there is no grid (the table's
    // order then stands).
    virtual QStringList gridStreamNames() const { return GridOrder; }
    // No stream is selected any more: the name, the label and the stream commands follow.
    virtual void clearSelectedStream() {
        GridStreamName.clear();
        GridStreamIndex = -1;
    }
    // The hourglass pointer while a command works.
    virtual void setBusyCursor(bool on) { BusyCursor = on; }
    // Commands (menus, toolbars, grid edits) off while a long operation lets the message loop run;
    // calls nest, the commands come back with the last `false`.
    void setCommandsBlocked(bool blocked);
    bool commandsBlocked() const { return BlockDepth > 0; }
    // The window's reaction when the blocking changes (the real window disables its actions).
    virtual void commandsBlockedChanged(bool blocked) { (void)blocked; }
    // Row `index` of the grid: the cell of a column (2 group, 3 phases) gets the text. A stream
    // without a row is left alone.
    virtual void UstalWartoscWGridzie(int index, const QString& text, int column) {
        GridCells.append(QString::number(index) + QLatin1Char('/') + QString::number(column) +
                         QLatin1Char('=') + text);
    }
    // Removes the stream's row (after the record was removed from the table) and makes the row that
    // takes its place the selected stream; with no row left, no stream is selected.
    virtual void removeGridRow(int index);
    // Commits an in-place edit of the grid that is still open.
    virtual void commitPendingEdit() {}
    // Stops the timer that puts the drawing's name back after a toolbar hover (a drawing command
    // now waits for the CAD).
    virtual void stopStatusRestore() { StatusBarTimerRunning = false; }
    // Lets the message loop run between the items of a long operation.
    virtual void yieldToMessageLoop();

    // Long operations: the progress bar `pbPostep`, the buttons it covers while shown (`cmdBig`,
    // `cmdZmienJednostki`); the hover-text timer `TimerDlaPaskaStatusu` stops through stopStatusRestore().
    virtual void setProgressMaximum(int maximum) { ProgressMax = maximum; }
    virtual void setProgressValue(int value) { ProgressValue = value; }
    virtual int progressValue() const { return ProgressValue; }
    virtual void setProgressVisible(bool on) { ProgressVisible = on; }
    virtual void setBigButtonVisible(bool on) { BigButtonVisible = on; }
    virtual void setUnitsButtonVisible(bool on) { UnitsButtonVisible = on; }
    // A long operation of `maximum` steps begins: the bar at 0 is shown over the two buttons.
    void beginProgress(int maximum);
    // It ends: the bar goes, `cmdBig` is back and the units button follows the detail view.
    void endProgress();

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
    bool StatusBarTimerRunning = false;
    int ComboFocusCount = 0;
    bool BusyCursor = false;
    int BlockDepth = 0;
    QStringList GridCells;
    QStringList GridOrder;
};

// The dialogs the stream commands open, owned by the main window. The program installs the real
// ones; unset hooks behave as a dialog the user cancelled (tests set their own).
struct StreamDialogHooks {
    // frmNazwaStrumienia: the StreamTable index of the record that OK created; -1 when cancelled.
    std::function<int(bool isCopy)> NazwaStrumienia;
    // frmWybierzSkrzyz over the listed numbers (the first selected): the chosen one; "" when cancelled.
    std::function<QString(const QStringList& numbers)> WybierzSkrzyzowanie;
    // frmOdcinki: the stream's components, or its conflict points (SegmentHandleList).
    std::function<void(int streamIndex, bool conflictPointsMode)> Odcinki;
    // frmWybierzFaze: `phase` preselected (-1: none); select mode colours, show mode hides the others.
    std::function<void(int phase, bool selectMode)> WybierzFaze;
};
StreamDialogHooks& StreamDialogs();

// Blocks the window's commands for its lifetime.
class CommandBlock {
public:
    CommandBlock();
    ~CommandBlock();
    CommandBlock(const CommandBlock&) = delete;
    CommandBlock& operator=(const CommandBlock&) = delete;
};

// The installed window; the headless one until a window is installed.
StreamWindow& MainWindow();
// Installs a window (not owned); nullptr puts the headless one back. Returns the previous one.
StreamWindow* SetStreamWindow(StreamWindow* window);

}  // namespace conflictor
