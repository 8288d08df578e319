// The program commands of the table, shared by the window and the headless tool.
#include "phaseplanner/app/ProgramCommands.h"

#include "phaseplanner/app/CommandTable.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/drawing/WorkbookImport.h"

namespace phaseplanner {

namespace {

// The window's cycle box and dimensioning choice are what the drawing uses; without a window the
// values already set stand.
bool takeDrawingOptions(CommandContext& c) {
    c.Succeeded = !c.window || c.window->TakeDrawingOptions();
    return c.Succeeded;
}

void loadTable(CommandContext& c, int actuated) {
    if (!takeDrawingOptions(c)) return;
    c.Succeeded = WczytajTabele(actuated);
}

void check(CommandContext& c, bool reportAll) {
    IntergreenCheckResult own;
    IntergreenCheckResult& result = c.CheckResult ? *c.CheckResult : own;
    c.Succeeded = c.window ? c.window->RunCheckCommand(reportAll, false, NoGraph, &result)
                           : CheckIntergreenTimes(reportAll, false, NoGraph, &result);
}

}  // namespace

void mnuDane_Wrysuj(CommandContext& c) {
    if (!takeDrawingOptions(c)) return;
    c.Succeeded = DrawProgram(true);
}

void mnuNarzedzia_WczytajZwykly(CommandContext& c) {
    loadTable(c, 0);
}

void mnuNarzedzia_WczytajAkomodowany(CommandContext& c) {
    loadTable(c, -1);
}

void mnuGrupa_Excel(CommandContext& c) {
    if (c.window) {
        c.Succeeded = c.window->ImportWorkbookProgram();
        return;
    }
    c.Succeeded = frmMain_mnuGrupa_Excel_Click();
}

void mnuDane_SprawdzCzasy(CommandContext& c) {
    check(c, true);
}

void mnuDane_SprawdzCzasyBledne(CommandContext& c) {
    check(c, false);
}

}  // namespace phaseplanner
