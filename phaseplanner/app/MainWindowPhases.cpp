// frmMain's commands of the phase table and the preliminary parameters: "Przejścia fazowe" draws the
// phase table; "Excel - ustal parametry wstępne" writes the green lengths into the intergreen
// workbook and offers to save it.
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/PhaseTable.h"
#include "phaseplanner/drawing/PreliminaryParameters.h"

namespace phaseplanner {

void MainWindow::mnuDane_PrzejsciaFazowe_Click() {
    RysujFazy(false);
}

void MainWindow::mnuGrupa_ExcelWstepne_Click() {
    ExcelWstepne();
}

}  // namespace phaseplanner
