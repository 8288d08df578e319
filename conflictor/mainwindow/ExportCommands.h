// The workbook and XML exports of frmMain:
//   menu "Narzędzia > Eksport danych do programu Excel > Eksport danych"  (mnuNarzedzia_EksportExcel)
//   menu "Narzędzia > Eksport danych do programu Excel > Eksport informacji o fazach"
//        (mnuNarzedzia_EksportExcelFazy)
//   toolbar tlbPrzyciski2: drop-down "EksportExcel" with the entries EksportExcel and EksportExcelFazy;
//   the hidden developer button `Command1` ("xx export test"): the XML export of the streams.
#pragma once

#include "conflictor/mainwindow/CommandTable.h"
#include "conflictor/mainwindow/StreamMenus.h"

#include <QString>
#include <vector>

namespace conflictor {

class ConflictorWindow;

void mnuNarzedzia_EksportExcel(ConflictorWindow& window);
void mnuNarzedzia_EksportExcelFazy(ConflictorWindow& window);
void Command1_Click(ConflictorWindow& window);

// Menu rows of the export submenu (with the separator that follows it in "Narzędzia").
const std::vector<CommandRow>& ExportCommandRows();
// The drop-down button and its separator, placed after the other commands of tlbPrzyciski2.
const std::vector<ToolButtonRow>& ExportToolButtonRows();
const std::vector<ToolButtonMenuRow>& ExportToolButtonMenuRows();
// Adds the invisible `Command1` to the window.
void AddExportDeveloperButton(ConflictorWindow& window);
// Opens a saved workbook in the desktop's spreadsheet application when one is registered for it.
void OpenInSpreadsheetApplication(const QString& path);

}  // namespace conflictor
