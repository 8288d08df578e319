// The intergreen workbook as phaseplanner holds it: one workbook, kept open between commands and
// reached as the user expects (the one already open, else the one named in the program attribute
// block, else the open-file dialog in the drawing's folder). The file may be rewritten meanwhile by
// another program (conflictor's phase export): every command sees the file as it is on disk, unsaved
// changes are never dropped without asking, and saving replaces the file in one step.
#pragma once

#include <QString>

namespace sheet {
class Application;
class Workbook;
class Worksheet;
}  // namespace sheet

namespace phaseplanner {

// Kept in the program attribute block (EXCEL_NAME, EXCEL_FULL_NAME) and set by the import.
extern QString ExcelWorkbookName;  // file name of the intergreen workbook
extern QString ExcelWorkbookPath;  // its full path

// The workbook engine of this program, made on first use and kept for the whole run.
sheet::Application& ExcelApplication();
// A workbook path as the messages quote it: whole up to the 260 characters a path may have, so the
// user sees which file; a longer one (read from a broken or hostile drawing) is cut as every text
// read from a file is.
QString PathForMessage(const QString& path);
// The workbook held between commands; nullptr when none.
sheet::Workbook* HeldWorkbook();

// The test that a workbook is the intergreen workbook: its second worksheet exists and its name,
// upper-cased, begins with "MATRYCA KOLIZJI".
bool IsIntergreenWorkbook(sheet::Workbook* book);

// Settles the intergreen workbook for a command and returns it in `book` (which may be set while
// the result is false: the user chose a workbook that is not an intergreen workbook). `question`:
// asked before the held workbook is used when it is not the one the drawing names; empty gives
// "Czy pobierać dane z aktywnego skoroszytu?". The workbook returned is as the file is now on disk
// (see RefreshIntergreenWorkbook). Another workbook opened here replaces the held one (its unsaved
// changes are offered for saving first). True when `book` is the intergreen workbook; a workbook
// chosen that is not one is reported with what it lacks (NotIntergreenWorkbookMessage).
bool OpenIntergreenWorkbook(sheet::Workbook*& book, bool search = true, const QString& question = QString());

// The user declined the workbook offered for the next command: that OpenIntergreenWorkbook goes
// straight to the file dialog, past the held workbook and the one the drawing names.
void ChooseAnotherIntergreenWorkbookNext();

// Why a workbook is not the intergreen workbook: no second worksheet, or its name; and where a
// worksheet of the matrix's name lies when it is not the second.
QString NotIntergreenWorkbookMessage(sheet::Workbook& book);

// Whether the held workbook's file differs from what was read or last saved (contents compared).
bool WorkbookChangedOnDisk();
// Before reading or writing for a command: when the file changed on disk since it was read, reads it
// again; with unsaved changes here it asks first (No keeps this program's copy). Returns the held
// workbook afterwards (a re-read gives a new object; earlier pointers to it and its sheets are
// stale), nullptr when none is held.
sheet::Workbook* RefreshIntergreenWorkbook();

// After a command wrote into the held workbook: with `ask`, asks whether to save (No leaves the
// changes unsaved, to be offered again at exit); a file another program holds open (its lock file
// beside it) is written only after asking; a file changed on disk meanwhile is reported with
// the choice to replace it, read it again (dropping this program's changes) or not save now. A
// workbook never saved asks for its file name. Saving replaces the file in one step. True when
// nothing is left unsaved.
bool SaveIntergreenWorkbook(bool ask = true);
// At the program's end or before another workbook is taken: unsaved changes are offered for saving
// (Yes, No, Cancel). False when the user cancelled (the caller goes no further); otherwise the held
// workbook is closed.
bool CloseIntergreenWorkbook();

// Drops the held workbook and the engine without asking (tests; a program starting over).
void ResetIntergreenWorkbook();

}  // namespace phaseplanner
