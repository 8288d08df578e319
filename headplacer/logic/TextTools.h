// Small text helpers of headplacer: list-entry tokens, quoted paths in command texts, point texts,
// the short-date hint, and a picked length in metres.
#pragma once

#include <QString>

namespace headplacer {

// The text before the first separator, leaving what follows it in `text`; the whole text (and an
// empty `text`) when the separator does not occur.
QString TakeFirstToken(QString& text, const QString& separator);
// The text enclosed in double quotes: one is added at the start when the first character is not
// one, and one at the end when the last is not one or when the text is a lone quote (which thus
// becomes two quotes, an empty quoted text).
QString QuoteText(const QString& text);
// x and y formatted with the pattern (decimal point), joined by ",".
QString FormatPointText(double x, double y, const QString& pattern);
// The locale's short-date pattern written with Polish letters (rrrr, rr, mm, dd): 30 December 1999 in
// the short format, then "1999", "99", "12" and "30" replaced in this order.
QString GetShortDatePattern();
QString ShortDatePatternFromSample(const QString& sampleOf30December1999);
// The value / 1000 × factor, two decimals.
double FormatLengthInMetres(double value, double lengthScaleFactor = 1.0);

}  // namespace headplacer
