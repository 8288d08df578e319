// The workbook and XML exports of frmMain:
//   menu "Narzędzia > Eksport danych do programu Excel > Eksport danych"  (mnuNarzedzia_EksportExcel)
//   menu "Narzędzia > Eksport danych do programu Excel > Eksport informacji o fazach"
//        (mnuNarzedzia_EksportExcelFazy)
//   toolbar tlbPrzyciski2: drop-down "EksportExcel" with the entries EksportExcel and EksportExcelFazy;
//   the hidden developer button `Command1` ("xx export test"): the XML export of the streams.
#pragma once

#include <QString>

namespace conflictor {

class ConflictorWindow;
struct CommandContext;

// The intergreen workbook; its path is left in the context (empty when it was not saved).
void mnuNarzedzia_EksportExcel(CommandContext& context);
// The phase information into the context's workbook (or the one the user takes); the outcome is left.
void mnuNarzedzia_EksportExcelFazy(CommandContext& context);

// Adds the invisible `Command1` to the window.
void AddExportDeveloperButton(ConflictorWindow& window);
// Opens a saved workbook in the desktop's spreadsheet application; false when none opened it.
bool OpenInSpreadsheetApplication(const QString& path);
// The window's end of an export: the workbook opened, or where it was written said when nothing
// could open it.
void ShowSavedWorkbook(const QString& title, const QString& path);

}  // namespace conflictor
