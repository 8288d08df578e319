// What an intergreen workbook says, for comparing two workbooks of the same intersection: the pair
// rows and the stream rows of the first sheet each as a row of values (their order on the sheet
// follows the order the streams were found in, which editing changes), and every cell of the group
// matrix sheet in its place. Numbers to nine places; the drawing's path is left out.
#pragma once

#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QStringList>

namespace conflictor::test {

inline QStringList WorkbookValues(const QString& path) {
    sheet::Application app;
    sheet::Workbook& book = app.workbooks().open(path);
    QStringList values;
    auto text = [](sheet::Worksheet& ws, int row, int col) {
        const auto value = ws.cells(row, col).value();
        const QString v = value.isNumber() ? QString::number(value.number(), 'f', 9) : value.toString();
        return v.endsWith(QStringLiteral(".dxf")) ? QString() : v;
    };
    sheet::Worksheet& pairs = book.worksheets(1);
    for (int row = 1; row <= 200; ++row)
        for (auto [first, last] : {std::pair{1, 16}, std::pair{17, 40}}) {
            QString line;
            for (int col = first; col <= last; ++col)
                if (const QString v = text(pairs, row, col); !v.isEmpty())
                    line += QStringLiteral(" %1=%2").arg(col).arg(v);
            if (!line.isEmpty()) values << QStringLiteral("1!") + line;
        }
    sheet::Worksheet& matrix = book.worksheets(2);
    for (int row = 1; row <= 120; ++row)
        for (int col = 1; col <= 40; ++col)
            if (const QString v = text(matrix, row, col); !v.isEmpty())
                values << QStringLiteral("2!%1,%2=%3").arg(row).arg(col).arg(v);
    values.sort();
    return values;
}

}  // namespace conflictor::test
