// The phase export into an existing intergreen workbook: menu "Narzędzia > Eksport danych do programu
// Excel > Eksport informacji o fazach" (mnuNarzedzia_EksportExcelFazy, button-menu "EksportExcelFazy").
#pragma once

#include <QString>

namespace conflictor {

// The intergreen workbook last saved by this program (offered first by the phase export).
extern QString LastIntergreenWorkbook;

// What the phase export did.
enum class PhaseExportOutcome {
    Saved,
    Cancelled,
    NotIntergreenWorkbook,
    NoGroupList,
    NotSaved,
    ChangedOnDisk,
    Failed
};

// Writes the group phase lists and the phase sets into worksheet 2 of the workbook at `path` (empty:
// the workbook last exported, when the user takes it, or one the user picks), asks, and saves it to
// its file unless the file changed on disk since it was read.
PhaseExportOutcome ExportPhasesToWorkbook(const QString& path = QString());
void mnuNarzedzia_EksportExcelFazy_Click();

}  // namespace conflictor
