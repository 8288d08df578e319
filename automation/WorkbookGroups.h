// The group list of the intergreen workbook: its layout version and the texts of the groups.
#pragma once

#include <QString>
#include <QStringList>

namespace sheet {
class Workbook;
class Worksheet;
}  // namespace sheet

namespace automation {

// Module state shared by the readers of the workbook.
extern bool WorkbookNewLayout;      // the workbook declares layout version 2.6 or later
extern int WorkbookHeaderRow;       // 7 with the new layout, 6 otherwise
extern QStringList GroupHeadTexts;  // one text per group row

// The header row the workbook's "Subject" ("wersja <major>.<minor>") gives: 7 from version 2.6 on,
// 6 otherwise; sets `WorkbookNewLayout` afresh each time.
int DetectWorkbookLayout(const sheet::Workbook& workbook);
// The number of group rows below the header row (0 on an empty group text, with a message unless
// quiet). `column` is where the search for the header "Gr" starts (50 columns, or on to the last
// used column of the worksheet when that lies further) and returns the column of the group texts,
// right of "Gr" (0 when the header is not found).
int ReadGroupHeadList(sheet::Worksheet& worksheet, int& column, bool quiet, const QString& messageTitle,
                      const sheet::Workbook& workbook);

}  // namespace automation
