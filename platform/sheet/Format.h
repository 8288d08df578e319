// A cell's format as the programs set it, and the number-format rendering behind `Text`.
#pragma once

#include "platform/sheet/Constants.h"
#include "platform/sheet/Value.h"

#include <QString>
#include <array>

namespace sheet {

struct BorderLine {
    int lineStyle = xlLineStyleNone;
    int weight = xlThin;
    bool operator==(const BorderLine&) const = default;
};

// Edge order: left, top, bottom, right (border indexes 7..10 less 7).
struct CellFormat {
    QString numberFormat = QStringLiteral("General");
    int numFmtId = 0;
    bool bold = false;
    double fontSize = 11;
    int fillColorIndex = xlNone;  // palette index 1..56, or xlNone
    std::array<BorderLine, 4> borders{};
    int horizontalAlignment = xlGeneral;
    int orientation = 0;  // degrees, or xlVertical
    bool wrapText = false;
    bool shrinkToFit = false;

    bool operator==(const CellFormat&) const = default;
};

// The displayed text of a value under a number format code ("General", "0.00", "#,##0", "0%", "@").
QString formatValue(const Value& value, const QString& numberFormat);

// The built-in number format codes by id (0 General, 1 "0", 2 "0.00", ...); empty when unknown.
QString builtinNumberFormat(int id);

// Palette of the 56 colour indexes (RGB), for files that give a fill as a colour.
unsigned paletteColor(int colorIndex);
int paletteIndexOf(unsigned rgb);

}  // namespace sheet
