// The intergreen-time workbook of the current intersection: menu "Narzędzia > Eksport danych do
// programu Excel > Eksport danych" (mnuNarzedzia_EksportExcel, toolbar key "EksportExcel"). The
// template is filled in a workbook of its own, saved where the user says and opened for viewing.
#pragma once

#include "conflictor/conflicts/IntergreenRows.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace sheet {
class Application;
class Workbook;
class Worksheet;
}  // namespace sheet

namespace conflictor {

inline QString IntergreenTemplateName() {
    return QStringLiteral("Czasy Miedzyziel szablon.xlt");
}

// A pedestrian or bicycle group's clearing: metres (one decimal, -111 none), kind, seconds.
struct GroupClearanceRecord {
    double Distance = -111;
    bool IsPedestrian = false;
    double Time = 0;
};

// What one export collected, ready for the worksheets.
struct IntergreenData {
    int n = 0;
    bool MatrixInverted = false;
    GroupMatrixTable GroupMatrix;
    QStringList GroupStreamNames;
    std::vector<GroupClearanceRecord> GroupClearance;
    QStringList Sets;
    int SetCount = -1;
    std::vector<IntergreenPair> VehiclePairs;
    std::vector<IntergreenPair> OtherPairs;
    QStringList Problems;  // pairs that could not be measured or computed
};

// How the finished workbook is handled: where the program keeps its template, and what shows the
// saved file (the window opens it in the desktop's spreadsheet application; none: nothing).
struct IntergreenExportOptions {
    QString ResourceFolder;
    std::function<void(const QString& path)> OpenSavedWorkbook;
    // When the drawing's conflict points are not those of the streams as they stand, the message
    // asks whether to cut now (the window): Yes runs this (true: the cut was made) and the export
    // starts again. None (the headless tool): the export stops after the message.
    std::function<bool()> CutAgain;
};

// The whole command. Returns the path of the saved workbook, "" when it stopped or was not saved.
QString mnuNarzedzia_EksportExcel_Click(const IntergreenExportOptions& options);

// Worksheet 2: the group matrix, the per-group table, the phase sets, the matrix copy and the
// crossing table.
void WriteGroupMatrixSheet(sheet::Application& app, sheet::Workbook& book, const IntergreenData& data);

// Clears (FirstRow, Column) to (FirstRow + 100, Column + 10) and writes each group's phase list (the
// first stream of the group that has one) at (FirstRow - 1 + group, Column).
// (`clearRows` and `clearColumns` narrow the cleared block: the phase export clears only its own cells.)
void WriteGroupPhaseLists(sheet::Worksheet& ws, int FirstRow, int Column, int clearRows = 100,
                          int clearColumns = 10);

}  // namespace conflictor
