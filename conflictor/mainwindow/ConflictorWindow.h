// frmMain, conflictor's main window: the intersection selector, the stream grid with its in-place editor,
// the status panel, and the menus built from the command table. It is the stream model's StreamWindow,
// so the model's routines refresh its grid, combo and status panel. Start-up and shut-down live in
// ConflictorStartUp.cpp, the grid in ConflictorGrid.cpp, the commands in WindowCommands.cpp.
#pragma once

#include "conflictor/streams/StreamWindow.h"

#include <QColor>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QString>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;

namespace ui {
class FlexGrid;
}

namespace conflictor {

class StreamCellEditor;

// Columns of the stream grid.
enum GridColumn : int {
    ColDescription = 0,
    ColName = 1,
    ColGroup = 2,
    ColPhases = 3,
    ColVehicleLength = 4,
    ColApproachStraight = 5,
    ColApproachArc = 6,
    ColClearStraight = 7,
    ColClearArc = 8,
    ColAcceleration = 9,
    ColSortKey = 10,
    GridColumnCount = 11,
};

class ConflictorWindow : public QMainWindow, public StreamWindow {
    Q_OBJECT
public:
    explicit ConflictorWindow(QWidget* parent = nullptr);
    ~ConflictorWindow() override;

    // The folder of the program (Tesmar/bin); the INI file, help and resources are found from it.
    // Set before StartUp; the running program's folder by default.
    QString ProgramFolder;

    // The start-up: false when the program must end (a second copy, no CAD, no drawing open); the
    // window is then closed again. Shut-down runs when the window closes.
    bool StartUp();
    void ShutDown();

    // --- StreamWindow ---
    QString caption() const override;
    void DodajStrumienDoGrida(int index) override;
    void setGridRedraw(bool on) override;
    void SelectGridRowOfStream(const QString& streamName) override;
    void clearIntersections() override;
    void addIntersection(const QString& number) override;
    int intersectionCount() const override;
    QString intersectionText(int index) const override;
    void selectIntersection(int index) override;
    void setStatusText(const QString& text) override;
    QString statusDefaultText() const override;
    void StartPanelFlash(const QString& notice) override;
    void StopPanelFlash() override;
    void showWindow() override;
    void hideWindow() override;
    // The stream commands' window services (StreamMenus.cpp).
    void focusIntersectionCombo() override;
    void clearSelectedStream() override;
    QStringList gridStreamNames() const override;
    void setBusyCursor(bool on) override;
    void commandsBlockedChanged(bool blocked) override;
    void removeGridRow(int index) override;
    void commitPendingEdit() override;
    void stopStatusRestore() override;
    void setProgressMaximum(int maximum) override;
    void setProgressValue(int value) override;
    int progressValue() const override;
    void setProgressVisible(bool on) override;
    void setBigButtonVisible(bool on) override;
    void setUnitsButtonVisible(bool on) override;

    // --- The stream grid ---
    // Makes the row of stream `index` current (column 1); nothing when it has no row.
    void SelectGridRowOfStreamIndex(int index);
    // Sets one cell of the row of stream `index`; nothing when it has no row.
    void UstalWartoscWGridzie(int index, const QString& value, int column) override;
    int faIndex(int row, int column) const;
    void ShowKinematicColumns(bool show);
    void FillStreamGridRows(int start);
    void ClearStreamGrid();
    void SortStreamGrid();
    // The grid's current-cell handling; other commands run the cell-left handling before they change
    // the streams, so a pending edit is stored first.
    void GridEnterCell();
    void GridLeaveCell();
    // The grid row showing this stream name (exact comparison); -1 when none.
    int gridRowOfName(const QString& name) const;

    // --- In-place editing ---
    bool BeginCellEdit(int key);
    void CommitCellEdit();
    void ClearSelectedCells();

    // --- Commands ---
    // Runs a menu command by its id. An unexpected failure is shown with the exclamation icon unless
    // `quiet` (a toolbar button). False when there is no such command or it failed.
    bool RunCommand(const QString& id, bool quiet = false);
    void UpdateCommandStates(bool enabled);
    QAction* action(const QString& id) const { return actions_.value(id); }
    QMenu* menu(const QString& objectName) const { return menus_.value(objectName); }

    // --- Window controls ---
    void cmbNo_Click();
    void cmdAddNo_Click();
    void cmdBig_Click();
    void cmdZmienJednostki_Click();
    void ResizeLayout();
    // The wheel hook's call: scrolls the grid when it is the active control.
    Q_INVOKABLE bool MouseWheel(int keys, int delta, int x, int y);
    // Paints one state of the flashing notice into panel 1 ("Stan").
    void PaintStatusPanel(int panel, const QString& text, const QColor& back, const QColor& fore);
    void TimerKolor_Timer();

    // --- Controls (named as the settings and the tests find them) ---
    ui::FlexGrid* grdStrumienie = nullptr;
    StreamCellEditor* gridEditor = nullptr;
    QLineEdit* txtEdit = nullptr;
    QComboBox* cmbNo = nullptr;
    QPushButton* cmdAddNo = nullptr;
    QPushButton* cmdBig = nullptr;
    QPushButton* cmdZmienJednostki = nullptr;
    QProgressBar* pbPostep = nullptr;  // shown over the buttons while a long operation runs
    QLabel* labNo = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblWybranyStrumien = nullptr;
    QStatusBar* sbrMain = nullptr;
    QLabel* panelStan = nullptr;  // panel 1, key "Stan"
    QTimer* TimerKolor = nullptr;

    // --- Window state ---
    QString ProgramTitleText;  // "Tesmar Ziziro Zedivir"
    QString ResourceFolder;
    QString DrawingName;
    bool FirstActivation = true;
    bool GridNotSorting = true;
    bool TallAtStart = false;
    bool CellReadOnly = true;
    bool StreamHasVariants = false;
    int OldGroup = 0;
    QString OldPhases;
    QString OldDescription;
    QColor DefaultCellBackColor;
    int WindowWidth = 4650;  // twips
    QString FlashText;
    bool FlashPhase = false;
    // True once the settings and window position were read, so an early end writes nothing over them.
    bool SettingsLoaded = false;
    bool MovingRowFromEditor() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbars();
    // The button menus of the toolbars' drop-down buttons (StreamMenus.cpp).
    void buildToolButtonMenus();
    // The hover text of a toolbar button in the panel "Stan", put back by TimerDlaPaskaStatusu.
    void toolbarHover(QAction* button);
    void TimerDlaPaskaStatusu_Timer();
    QTimer* TimerDlaPaskaStatusu = nullptr;
    void writeStreamRow(int row, int index);

    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QToolBar*> toolbars_;
    QWidget* central_ = nullptr;
    QPointer<QWidget> focusBeforeCommand_;  // the control that had the focus when a command began
    bool gridFocusBeforeCommand_ = false;   // ... the grid or its in-place editor
    bool editorOpenBeforeCommand_ = false;  // an in-place edit was open when the command began
    bool comboFocusWanted_ = false;         // a command asked for the intersection box meanwhile
    // Gives the grid's current cell the keyboard: its editor when one is open (or reopens one that
    // was open before a command), else the grid, where the next typed character starts an edit.
    void focusGridCell(bool reopenEditor);
    // The panel follows the active drawing's name (renamed by "Zapisz jako" in the CAD meanwhile).
    void followDrawingName();
    bool shutDown_ = false;
    bool startedUp_ = false;
};

// Twips (the unit of sizes in the INI file) and pixels: 15 twips a pixel.
constexpr int TwipsPerPixel = 15;

}  // namespace conflictor
