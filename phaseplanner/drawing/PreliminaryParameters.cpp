// Writing the green lengths into the preliminary-parameters sheet.
#include "phaseplanner/drawing/PreliminaryParameters.h"

#include "automation/WorkbookGroups.h"
#include "common/TextHelpers.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

namespace phaseplanner {

namespace {
constexpr int kFirstRow = 4;                    // row of the first group of the list
constexpr int kGreenColumns[4] = {3, 5, 7, 9};  // C, E, G, I
}  // namespace

bool HasPreliminaryParametersSheet(sheet::Workbook& workbook) {
    if (workbook.worksheetCount() < 3) return false;
    const QString marker = workbook.worksheets(3).cells(1, 1).value().toString().trimmed().toUpper();
    return marker == common::Tlumacz(QStringLiteral("PARAMETRY WSTĘPNE"));
}

int WritePreliminaryParameters(sheet::Workbook& workbook) {
    if (workbook.worksheetCount() < 3) return -1;
    int column = 14;
    const int groups = automation::ReadGroupHeadList(workbook.worksheets(2), column, false,
                                                     MainProgramWindow().caption(), workbook);
    if (groups < 1 || column < 1 || !HasPreliminaryParametersSheet(workbook)) return -1;
    sheet::Worksheet& target = workbook.worksheets(3);

    int written = 0;
    for (const GroupRecord& g : GroupTable) {
        if (!g.Defined) continue;
        const QString symbols = g.Symbols.trimmed().toUpper();
        int r = -1;
        for (int i = 0; i < groups && i < automation::GroupHeadTexts.size(); ++i)
            if (automation::GroupHeadTexts[i].trimmed().toUpper() == symbols) {
                r = i;
                break;
            }
        if (r < 0) continue;
        int next = 0;
        for (int k = 1; k <= 4 && k <= g.GreenCount; ++k) {
            const int length = g.Greens[std::size_t(k)].Length;
            if (length > 0) target.cells(r + kFirstRow, kGreenColumns[next++]).setValue(sheet::Value(length));
        }
        for (; next < 4; ++next) target.cells(r + kFirstRow, kGreenColumns[next]).setValue(sheet::Value());
        ++written;
    }
    return written;
}

int ExcelWstepne() {
    sheet::Workbook* book = nullptr;
    if (!OpenIntergreenWorkbook(
            book, true, common::Tlumacz(QStringLiteral("Czy wstawiać dane do aktywnego skoroszytu?"))) ||
        !book)
        return -1;
    const int written = WritePreliminaryParameters(*book);
    if (written > 0) SaveIntergreenWorkbook(true);
    return written;
}

}  // namespace phaseplanner
