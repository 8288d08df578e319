// Reading the intergreen matrix and the largest intergreen time from the workbook's second worksheet.
#include "phaseplanner/workbook/IntergreenMatrix.h"

#include "automation/WorkbookGroups.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/editor/GroupTable.h"
#include "platform/sheet/Address.h"
#include "platform/sheet/CellStore.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Worksheet.h"

#include <algorithm>
#include <cmath>

namespace phaseplanner {

sheet::Worksheet* IntergreenSheet = nullptr;

namespace {
int groupRow(int i) {
    return automation::WorkbookHeaderRow + 1 + i;
}
QString cellText(sheet::Worksheet& ws, int row, int column) {
    return ws.cells(row, column).value().toString().trimmed();
}
}  // namespace

QString MatrixHeaderText(sheet::Worksheet& ws) {
    const int row =
        automation::WorkbookNewLayout ? automation::WorkbookHeaderRow : automation::WorkbookHeaderRow - 1;
    if (row < 1) return {};
    return ws.cells(row, 1).value().toString();
}

bool IsEvacuationMatrix(sheet::Worksheet& ws) {
    return MatrixHeaderText(ws).trimmed().toUpper() == common::Tlumacz(QStringLiteral("EWAKUACJA"));
}

int MatrixCellValue(sheet::Worksheet& ws, int i, int j) {
    // A value the engine did not compute counts as the #REF! of a circular cell does: as no time.
    if (const sheet::Cell* c = ws.cell(groupRow(i), 3 + j); c && c->kept) return 0;
    return common::ParseInteger(cellText(ws, groupRow(i), 3 + j));
}

int IntergreenValue(sheet::Worksheet& ws, int from, int to, bool evacuation) {
    return evacuation ? MatrixCellValue(ws, from, to) : MatrixCellValue(ws, to, from);
}

void PobierzMatryceTMZ(std::vector<std::vector<int>>& matrix, int n, bool transpose) {
    if (!IntergreenSheet) return;
    // Never past the matrix the caller dimensioned.
    n = std::min(n, int(matrix.size()) - 1);
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            if (i == j || int(matrix[std::size_t(i)].size()) <= j || int(matrix[std::size_t(j)].size()) <= i)
                continue;
            const int v = MatrixCellValue(*IntergreenSheet, i, j);
            if (transpose)
                matrix[std::size_t(j)][std::size_t(i)] = v;
            else
                matrix[std::size_t(i)][std::size_t(j)] = v;
        }
}

int ReadMaxIntergreenTime(sheet::Worksheet& ws, int groupCount) {
    int largest = 0;
    for (int i = 0; i < groupCount; ++i)
        for (int j = 0; j < groupCount; ++j)
            if (i != j) largest = std::max(largest, MatrixCellValue(ws, j, i));
    return largest > 5 ? largest : 5;
}

MatrixCellReading ReadMatrixCell(sheet::Worksheet& ws, int row, int column) {
    const sheet::Value v = ws.cells(row, column).value();
    MatrixCellReading r;
    const sheet::Cell* cell = ws.cell(row, column);
    if (cell && cell->hasFormula()) {
        // A formula stands for a number it must give: one the engine did not compute (a function
        // it lacks, nesting past its limit, another workbook, a shared formula without its master)
        // holds at most the number the file saved, which nothing here has verified; one without a
        // number or on a circular reference is no time at all. None is ever "no conflict".
        if (cell->kept || v.isEmpty() || cell->circular) {
            r.Text = ws.cells(row, column).formula();
            r.Fault = cell->circular ? MatrixCellFault::Circular : MatrixCellFault::Uncomputed;
            return r;
        }
    }
    if (v.isEmpty()) return r;
    const QString raw = v.toString();
    r.Text = raw.trimmed();
    // An empty text is a blank; a text of blanks alone is typed text like any other, not "no conflict".
    if (raw.isEmpty()) return r;
    if (r.Text.isEmpty()) {
        r.Text = raw;
        r.Fault = MatrixCellFault::NotWhole;
        return r;
    }
    std::optional<double> number;
    if (v.isNumber())
        number = v.number();
    else if (v.isText())
        number = sheet::parseNumber(r.Text);
    if (!number || !std::isfinite(*number) || *number != std::floor(*number))
        r.Fault = MatrixCellFault::NotWhole;
    else if (*number < 0)
        r.Fault = MatrixCellFault::Negative;
    else if (*number > 32767)
        r.Fault = MatrixCellFault::OutOfRange;
    else
        r.Seconds = int(*number);
    return r;
}

std::optional<MatrixTextCell> FindMatrixTextCell(sheet::Worksheet& ws, int groupCount) {
    for (int i = 0; i < groupCount; ++i)
        for (int j = 0; j < groupCount; ++j) {
            if (i == j) continue;
            const MatrixCellReading r = ReadMatrixCell(ws, groupRow(i), 3 + j);
            if (r.Fault != MatrixCellFault::None) return MatrixTextCell{groupRow(i), 3 + j, r.Text, r.Fault};
        }
    return std::nullopt;
}

QString MatrixTextCellMessage(const MatrixTextCell& cell) {
    const char* what = "Komórka matrycy kolizji %1 nie zawiera liczby całkowitej: \"%2\".";
    if (cell.Fault == MatrixCellFault::Uncomputed)
        what = "Komórka matrycy kolizji %1 zawiera formułę, której nie można obliczyć: \"%2\".";
    else if (cell.Fault == MatrixCellFault::Circular)
        what = "Komórka matrycy kolizji %1 zawiera odwołanie cykliczne: \"%2\".";
    else if (cell.Fault == MatrixCellFault::Negative)
        what = "Komórka matrycy kolizji %1 zawiera ujemny czas międzyzielony: \"%2\".";
    else if (cell.Fault == MatrixCellFault::OutOfRange)
        what = "Komórka matrycy kolizji %1 zawiera czas międzyzielony większy niż 32767 s: \"%2\".";
    return common::Tlumacz(QStringLiteral("Błąd w danych arkusza Excel!")) + QLatin1Char('\n') +
           common::Tlumacz(QString::fromUtf8(what))
               .arg(sheet::columnLetters(cell.Column) + QString::number(cell.Row),
                    common::ShortForMessage(cell.Text));
}

namespace {
// A label as compared with the group list: no blanks, upper case.
QString labelKey(const QString& text) {
    QString key;
    for (const QChar c : text)
        if (!c.isSpace()) key += c.toUpper();
    return key;
}
}  // namespace

QString MatrixLabelProblem(sheet::Worksheet& ws, int groupCount, int listColumn) {
    const int h = automation::WorkbookHeaderRow;
    const bool labelsRequired = automation::WorkbookNewLayout;
    QStringList lines;
    for (int i = 0; i < groupCount; ++i) {
        const int row = groupRow(i);
        const QString listed = cellText(ws, row, listColumn);
        const QString rowLabel = cellText(ws, row, 1);
        const QString columnLabel = labelsRequired ? cellText(ws, h - 1, 3 + i) : QString();
        auto differs = [&](const QString& label) {
            if (label.isEmpty()) return labelsRequired;
            return labelKey(label) != labelKey(listed);
        };
        if (!differs(rowLabel) && !(labelsRequired && differs(columnLabel))) continue;
        QString line = common::Tlumacz(QStringLiteral("wiersz %1: w wykazie grup (%2) %3, w opisie wiersza "
                                                      "matrycy (%4) %5"))
                           .arg(row)
                           .arg(sheet::columnLetters(listColumn) + QString::number(row), common::QuotedForMessage(listed),
                                QStringLiteral("A") + QString::number(row), common::QuotedForMessage(rowLabel));
        if (labelsRequired)
            line += common::Tlumacz(QStringLiteral(", w opisie kolumny matrycy (%1) %2"))
                        .arg(sheet::columnLetters(3 + i) + QString::number(h - 1), common::QuotedForMessage(columnLabel));
        lines << line;
    }
    if (lines.isEmpty()) return {};
    return common::Tlumacz(QStringLiteral("Błąd w danych arkusza Excel!")) + QLatin1Char('\n') +
           common::Tlumacz(
               QStringLiteral("Wykaz grup w arkuszu \"%1\" nie zgadza się z opisami matrycy kolizji, "
                              "więc nie wiadomo, którego wiersza matrycy dotyczy grupa:"))
               .arg(common::ShortForMessage(ws.name())) +
           QLatin1Char('\n') + lines.join(QLatin1Char('\n')) + QLatin1Char('\n') +
           common::Tlumacz(QStringLiteral("Popraw wykaz grup albo wyeksportuj skoroszyt ponownie."));
}

QString GroupListProblem(sheet::Worksheet& ws, int groupCount, int listColumn) {
    const int h = automation::WorkbookHeaderRow;
    const QString head = common::Tlumacz(QStringLiteral("Błąd w danych arkusza Excel!")) + QLatin1Char('\n');
    if (listColumn < 1)
        return head + common::Tlumacz(QStringLiteral("W arkuszu \"%1\" nie znaleziono nagłówka \"Gr\" wykazu "
                                                     "grup w wierszu %2."))
                          .arg(common::ShortForMessage(ws.name()))
                          .arg(h);
    if (groupCount < 1 && cellText(ws, h + 1, 1).isEmpty())
        return head + common::Tlumacz(QStringLiteral("W arkuszu \"%1\" nie ma grup: komórka A%2 jest pusta."))
                          .arg(common::ShortForMessage(ws.name()))
                          .arg(h + 1);
    return {};
}

int WorkbookGroupPosition(int recordIndex, const QStringList& groupHeadTexts) {
    if (recordIndex < 0 || recordIndex >= int(GroupTable.size())) return -1;
    const GroupRecord& g = GroupTable[std::size_t(recordIndex)];
    if (!g.Defined) return -1;
    const QString symbols = g.Symbols.trimmed().toUpper();
    if (symbols.isEmpty()) return -1;
    auto matches = [&](int p) { return groupHeadTexts[p].trimmed().toUpper() == symbols; };
    if (recordIndex < groupHeadTexts.size() && matches(recordIndex)) return recordIndex;
    for (int p = 0; p < groupHeadTexts.size(); ++p)
        if (matches(p)) return p;
    return -1;
}

}  // namespace phaseplanner
