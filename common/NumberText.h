// Numbers as text: written with a dot whatever the locale, read back accepting a comma or a dot,
// never failing. Also the small number helpers (booleans as 1/0, rounding, sorting) that go with them.
#pragma once

#include "common/Geometry.h"

#include <QString>
#include <vector>

namespace common {

// The value formatted with a pattern such as "#######0.00" (at least as many integer digits as the
// pattern has "0" before the point, exactly as many decimals as it has "0" after it, up to as many
// more as it has "#" after them; no grouping; halves away from zero). Text before the first and after
// the last placeholder is copied. An empty pattern gives the general form: up to 15 significant digits,
// no trailing zeros ("0.5", "12", "-3.25").
// The decimal separator is always a dot.
QString FormatNumberWithDot(double value, const QString& pattern);
// The same with the user's decimal separator (a comma under a Polish locale), for the values the
// programs write as the user reads them; readers take either separator (ParseDouble).
QString FormatNumber(double value, const QString& pattern);
// The plain locale-independent number text, with no leading blank for positive values: up to 15
// significant digits, no trailing zeros, no zero before the point (".5", "-.25", "13.89", "10"),
// exponent form outside 1E-5 .. 1E+15 ("1E-05", "1E+15").
QString FormatPlainNumber(double value);

// "(x; y)" in drawing units, two decimals with a dot as the CAD takes them; a value that is no
// number or too large to zoom to is written as it is.
QString PointText(const PlanePoint& p);

// The leading number of the text; "," counts as the decimal point; 0 when nothing converts.
double ParseDouble(const QString& text);
// The leading number (a comma ends it) rounded half to even; 0 outside -32768..32767 or on failure.
int ParseInteger(const QString& text);
// As ParseInteger for the 32-bit signed range.
int ParseLong(const QString& text);

// True only for 1.
bool ConvertIntToBool(int value);
// 1 for any non-zero value, 0 for zero.
int ConvertBoolToInt(int value);
inline int ConvertBoolToInt(bool value) {
    return value ? 1 : 0;
}
// floor(value * 10^n + 0.5) / 10^n: halves go up, also for negative values.
double RoundToDecimals(double value, int decimals);
// Ascending, by passes of neighbour swaps; equal elements keep their order.
void SortIntegerArray(std::vector<int>& values);

}  // namespace common
