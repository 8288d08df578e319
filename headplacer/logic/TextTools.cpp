// Text helpers of headplacer.
#include "headplacer/logic/TextTools.h"

#include "common/NumberText.h"
#include "headplacer/logic/Inventory.h"

#include <QDate>
#include <QLocale>

namespace headplacer {

QString TakeFirstToken(QString& text, const QString& separator) {
    const int p = separator.isEmpty() ? -1 : int(text.indexOf(separator));
    if (p < 0) {
        const QString all = text;
        text.clear();
        return all;
    }
    const QString first = text.left(p);
    text = text.mid(p + separator.size());
    return first;
}

QString QuoteText(const QString& text) {
    const QChar q(QLatin1Char('"'));
    if (text == QString(q)) return QStringLiteral("\"\"");
    QString t = text;
    if (!t.startsWith(q)) t.prepend(q);
    if (!t.endsWith(q) || t.size() == 1) t.append(q);
    return t;
}

QString FormatPointText(double x, double y, const QString& pattern) {
    return common::FormatNumberWithDot(x, pattern) + QLatin1Char(',') +
           common::FormatNumberWithDot(y, pattern);
}

QString ShortDatePatternFromSample(const QString& sample) {
    QString s = sample;
    s.replace(QLatin1String("1999"), QLatin1String("rrrr"));
    s.replace(QLatin1String("99"), QLatin1String("rr"));
    s.replace(QLatin1String("12"), QLatin1String("mm"));
    s.replace(QLatin1String("30"), QLatin1String("dd"));
    return s;
}

QString GetShortDatePattern() {
    // The hint follows the user's own short-date setting, although the dates written keep
    // InventoryDateFormat whatever it is: it tells how the locale shows a date, not what is stored.
    return ShortDatePatternFromSample(QLocale().toString(QDate(1999, 12, 30), QLocale::ShortFormat));
}

double FormatLengthInMetres(double value, double lengthScaleFactor) {
    return common::ParseDouble(
        common::FormatNumberWithDot(value / 1000.0 * lengthScaleFactor, QStringLiteral("#######0.00")));
}

}  // namespace headplacer
