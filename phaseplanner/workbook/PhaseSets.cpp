// Reading the phase sets of the intergreen workbook in its two layouts.
#include "phaseplanner/workbook/PhaseSets.h"

#include "automation/WorkbookGroups.h"
#include "common/NumberText.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace phaseplanner {

QStringList PhaseSetNames;
QStringList PhaseSetOrders;
int PhaseSetDialogOk = -1;

namespace {
QString textAt(sheet::Worksheet& ws, int row, int column) {
    return ws.cells(row, column).value().toString().trimmed();
}
}  // namespace

int PhaseSetColumn(int groupCount) {
    return groupCount <= 12 ? 22 : groupCount + 11;
}

std::vector<int> ParsePhaseOrder(const QString& text) {
    std::vector<int> order;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const int p = common::ParseInteger(item);
        if (p >= 1) order.push_back(p);
    }
    return order;
}

QString OrderUpToHighestPhase(const QStringList& phaseTexts) {
    int highest = 0;
    for (const QString& text : phaseTexts)
        for (int p : ParsePhaseOrder(text)) highest = std::max(highest, p);
    QStringList items;
    for (int p = 1; p <= highest; ++p) items << QString::number(p);
    return items.join(QStringLiteral(", "));
}

std::vector<GroupPhaseEntry> ReadGroupPhaseEntries(sheet::Worksheet& worksheet, int headerRow,
                                                   int numberColumn, int phaseColumn, int* firstBadRow) {
    std::vector<GroupPhaseEntry> entries;
    if (firstBadRow) *firstBadRow = 0;
    if (numberColumn < 1 || headerRow < 0) return entries;
    for (int r = headerRow + 1; r <= sheet::MaxRows; ++r) {
        const sheet::Value number = worksheet.valueAt(r, numberColumn);
        if (number.toString().trimmed().isEmpty()) break;
        const std::optional<double> n = number.toNumber();
        const bool whole = n && *n == std::floor(*n);
        if (!whole && firstBadRow && *firstBadRow == 0) *firstBadRow = r;
        GroupPhaseEntry e;
        e.GroupNumber = whole && *n >= 1 && *n <= 32767 ? int(*n) : 0;
        if (phaseColumn >= 1) e.PhaseList = worksheet.valueAt(r, phaseColumn).toString().trimmed();
        entries.push_back(e);
    }
    return entries;
}

int ReadPhaseSets(sheet::Workbook& book, sheet::Worksheet*& sheet, int groupCount, int& firstColumn,
                  int& headerRow) {
    PhaseSetNames.clear();
    PhaseSetOrders.clear();
    const int h = automation::WorkbookHeaderRow;
    if (automation::WorkbookNewLayout) {
        sheet = &book.worksheets(2);
        firstColumn = PhaseSetColumn(groupCount);
        headerRow = h;
        for (int row = h + 1;; ++row) {
            const QString name = textAt(*sheet, row, firstColumn);
            const QString order = textAt(*sheet, row, firstColumn + 1);
            if (name.isEmpty() || order.isEmpty()) break;
            PhaseSetNames << name;
            PhaseSetOrders << order;
        }
        return int(PhaseSetNames.size());
    }

    sheet = &book.worksheets(2);
    firstColumn = groupCount + 9;
    headerRow = h;
    if (textAt(*sheet, h, firstColumn).toUpper() != QLatin1String("GR")) {
        if (book.worksheetCount() < 3) return 0;
        sheet = &book.worksheets(3);
        firstColumn = 1;
        headerRow = 1;
    }
    for (int column = firstColumn + 1;; ++column) {
        QStringList texts;
        bool any = false;
        for (int g = 0; g < groupCount; ++g) {
            texts << textAt(*sheet, headerRow + 1 + g, column);
            if (!texts.back().isEmpty()) any = true;
        }
        if (!any) break;
        PhaseSetNames << textAt(*sheet, headerRow, column);
        PhaseSetOrders << OrderUpToHighestPhase(texts);
    }
    return int(PhaseSetNames.size());
}

}  // namespace phaseplanner
