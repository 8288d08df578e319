// frmMain of phaseplanner: the signal-program editor's main window. Start-up and shut-down, the
// intersection list, the cycle box, the group grid grdGrupy with its in-cell editor, the program
// states' slider, and the menus and toolbar built from the command table (MainWindowCommands.cpp).
#pragma once

#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <QColor>
#include <QMainWindow>

class QComboBox;
class QLabel;
class QLineEdit;
class QGroupBox;
class QPushButton;
class QSlider;
class QToolBar;

namespace ui {
class FlexGrid;
}

namespace phaseplanner {

class GroupGridEditor;
struct IntergreenCheckResult;
class PlaybackControls;

class MainWindow : public QMainWindow, public ProgramWindow {
    Q_OBJECT
public:
    // `programFolder`: where Tesmar.ini and the help are looked for (the program's own folder).
    explicit MainWindow(const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load event: false when the program must end (a second copy, no CAD application).
    bool Form_Load();
    // The unload event: writes the position, the cycle parameters and the bound controls.
    void Form_Unload();

    // The group grid.
    void FillGroupGrid();
    void FillGroupRow(int row, bool endsOnly);
    void SprawdzKolumny();
    int faIndex(int row, int col) const;
    void ComputeProgramStates(bool keepSecond);

    // Commands (the command table routes menus and toolbar here through RunCommand).
    void AddOrCopyGroup(int source);
    void mnuGrupa_Dodaj_Click();
    void mnuGrupa_Kopiuj_Click();
    void mnuGrupa_Edytuj_Click();
    void mnuGrupa_Usun_Click();
    void mnuDane_Parametry_Click();
    void mnuNarzedzia_Konf_Click();
    // The phase table and the preliminary parameters (MainWindowPhases.cpp).
    void mnuDane_PrzejsciaFazowe_Click();
    void mnuGrupa_ExcelWstepne_Click();
    void mnuNarzedzia_NaWierzchu_Click();
    void mnuPomoc_Pomocnik_Click();
    void mnuPomoc_OProgramie_Click();
    void mnuPlik_Zakoncz_Click();
    // The program in the drawing (MainWindowProgram.cpp).
    void mnuDane_Pobierz_Click();
    // The drawing's options from the dimensioning box and the typed cycle, before the program is drawn
    // or a table loaded (ProgramCommands.cpp); false after the message when the cycle is no number.
    bool TakeDrawingOptions();
    // The intergreen check, its graphs and the colliding pairs; coordination (MainWindowCheck.cpp).
    // False when the check did not run; `result` (when given) receives what it measured.
    bool RunCheckCommand(bool ReportAll, bool ShowPairs, int GraphGroup,
                         IntergreenCheckResult* result = nullptr);
    // The graph items act on a selected group row: `allGroups` graphs every group (only the wrong
    // pairs unless `reportAll`), else the group of the selected row.
    void mnuDane_Graf(bool allGroups, bool reportAll);
    void mnuDane_GrafWyczysc_Click();
    void mnu_Koordynacja_Click();
    // The program built from the intergreen workbook; the workbook kept since closed on request
    // (MainWindowWorkbook.cpp).
    // "Pobierz grupy z Excela" as the window runs it: the question before, the grid after; false when
    // nothing was imported.
    bool ImportWorkbookProgram();
    void mnuPlik_ZamknijSkoroszyt_Click();
    // The one guard around every command: an unexpected error is reported, never the program's end.
    void RunCommand(const QString& commandName);

    // State of the window.
    bool AlwaysOnTop = false;
    bool HasGroupRows = false;
    bool GridFilled = true;
    int LastColumn = 6;
    int GreenColumnWidth = 700;
    QColor SavedCellColor;
    int CurrentSecond = -1;
    ProgramStates States;
    int HelpContext = 10011;

    ui::FlexGrid* grid() const { return grdGrupy; }
    GroupGridEditor* gridEditor() const { return editor_; }
    QLineEdit* cycleBox() const { return edtCzasCyklu; }
    QSlider* stateSlider() const { return sldStany; }
    PlaybackControls* playback() const { return playback_; }

    // ProgramWindow.
    QString caption() const override { return windowTitle(); }
    void clearIntersections() override;
    int intersectionCount() const override;
    QString intersectionText(int index) const override;
    int selectedIntersection() const override;
    void selectIntersection(int index) override;
    int programType() const override;
    void setProgramType(int index) override;
    void showMaxCycleLength(int seconds) override;

protected:
    void insertIntersection(int index, const QString& number) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Before an import: a program in the table is replaced only when the user says so; the kept
    // workbook the drawing names is offered, "Nie" choosing another. False: the import does not run.
    bool confirmWorkbookImport();
    void buildControls();
    void buildCommands();
    void initialGrid();
    void readDrawingAtStart();
    void showSecond(int value);
    void writeGreenHeaders(int k);
    // The grid row of the next group: row 1 for the first, else a new last row numbered in column 0.
    int appendGroupRow();
    void setToolbarOnTopImage();

    QString programFolder_;
    bool unloaded_ = false;
    bool ownsInstanceLock_ = false;
    QComboBox* cmbNo = nullptr;
    QPushButton* cmdAddNo = nullptr;
    QComboBox* cmbTypProgramu = nullptr;
    QComboBox* cmbWymiarowanie = nullptr;
    QLineEdit* edtCzasCyklu = nullptr;
    QLabel* labTcMax = nullptr;
    ui::FlexGrid* grdGrupy = nullptr;
    GroupGridEditor* editor_ = nullptr;
    QGroupBox* Frame1 = nullptr;
    QSlider* sldStany = nullptr;
    QLineEdit* edtSekunda = nullptr;
    QToolBar* tlbPrzyciski = nullptr;
    PlaybackControls* playback_ = nullptr;
};

}  // namespace phaseplanner
