// Number-format rendering for `Text` and the colour palette of `Interior.ColorIndex`.
#include "platform/sheet/Format.h"

#include <QStringList>
#include <cmath>
#include <cstdio>

namespace sheet {

QString builtinNumberFormat(int id) {
    switch (id) {
        case 0:
            return QStringLiteral("General");
        case 1:
            return QStringLiteral("0");
        case 2:
            return QStringLiteral("0.00");
        case 3:
            return QStringLiteral("#,##0");
        case 4:
            return QStringLiteral("#,##0.00");
        case 9:
            return QStringLiteral("0%");
        case 10:
            return QStringLiteral("0.00%");
        case 11:
            return QStringLiteral("0.00E+00");
        case 12:
            return QStringLiteral("# ?/?");
        case 14:
            return QStringLiteral("mm-dd-yy");
        case 37:
            return QStringLiteral("#,##0 ;(#,##0)");
        case 38:
            return QStringLiteral("#,##0 ;[Red](#,##0)");
        case 39:
            return QStringLiteral("#,##0.00;(#,##0.00)");
        case 40:
            return QStringLiteral("#,##0.00;[Red](#,##0.00)");
        case 48:
            return QStringLiteral("##0.0E+0");
        case 49:
            return QStringLiteral("@");
        default:
            return QString();
    }
}

namespace {

// The general form in a standard-width column: up to ten significant digits.
QString general(double d) {
    return formatNumber(d, 10);
}

// Splits a format code at ";" outside quotes.
QStringList sections(const QString& code) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < code.size(); ++i) {
        QChar c = code[i];
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (c == QLatin1Char('\\') && i + 1 < code.size() && !quoted) {
            cur += c;
            cur += code[++i];
            continue;
        }
        if (c == QLatin1Char(';') && !quoted) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

QString groupThousands(const QString& digits) {
    QString out;
    int n = digits.size();
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        int left = n - i - 1;
        if (left > 0 && left % 3 == 0) out += QLatin1Char(',');
    }
    return out;
}

QString renderSection(double d, const QString& sec) {
    QString prefix, suffix;
    int intZeros = 0, decimals = 0, percent = 0;
    bool thousands = false, inNumber = false, afterNumber = false, point = false, sawPlaceholder = false;
    bool exponent = false;
    for (int i = 0; i < sec.size(); ++i) {
        QChar c = sec[i];
        QString lit;
        if (c == QLatin1Char('"')) {
            int j = sec.indexOf(QLatin1Char('"'), i + 1);
            if (j < 0) j = sec.size();
            lit = sec.mid(i + 1, j - i - 1);
            i = j;
        } else if (c == QLatin1Char('\\') && i + 1 < sec.size()) {
            lit = sec[++i];
        } else if (c == QLatin1Char('[')) {
            int j = sec.indexOf(QLatin1Char(']'), i);
            i = j < 0 ? sec.size() : j;  // colours and conditions do not show
            continue;
        } else if (c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
            if (c == QLatin1Char('_')) lit = QStringLiteral(" ");
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?')) {
            sawPlaceholder = true;
            inNumber = true;
            if (point)
                ++decimals;
            else if (c != QLatin1Char('#'))
                ++intZeros;
            continue;
        } else if (c == QLatin1Char('.') &&
                   (inNumber || (i + 1 < sec.size() &&
                                 (sec[i + 1] == QLatin1Char('0') || sec[i + 1] == QLatin1Char('#'))))) {
            point = true;
            inNumber = true;
            continue;
        } else if (c == QLatin1Char(',') && inNumber) {
            thousands = true;
            continue;
        } else if (c == QLatin1Char('%')) {
            ++percent;
            lit = QStringLiteral("%");
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && inNumber) {
            exponent = true;
            while (i + 1 < sec.size() && (sec[i + 1] == QLatin1Char('+') || sec[i + 1] == QLatin1Char('-') ||
                                          sec[i + 1] == QLatin1Char('0') || sec[i + 1] == QLatin1Char('#')))
                ++i;
            continue;
        } else {
            QChar lower = c.toLower();
            if (lower == QLatin1Char('y') || lower == QLatin1Char('m') || lower == QLatin1Char('d') ||
                lower == QLatin1Char('h') || lower == QLatin1Char('s'))
                return general(d);  // dates and times are shown as their serial number
            lit = c;
        }
        if (inNumber) afterNumber = true;
        if (afterNumber)
            suffix += lit;
        else
            prefix += lit;
        if (inNumber) inNumber = false;
    }
    if (!sawPlaceholder) return prefix + suffix;
    for (int p = 0; p < percent; ++p) d *= 100;
    QString body;
    if (exponent) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*E", decimals, d);
        body = QString::fromLatin1(buf);
    } else {
        // Halves round away from zero, as the spreadsheet shows them (2.5 as "3" under "0").
        const double scale = std::pow(10.0, decimals);
        char tmp[64];
        std::snprintf(tmp, sizeof tmp, "%.15g", std::fabs(d) * scale);
        const double shown = std::round(std::strtod(tmp, nullptr)) / scale;
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, shown);
        body = QString::fromLatin1(buf);
        QString intPart = body.section(QLatin1Char('.'), 0, 0);
        QString frac = body.contains(QLatin1Char('.')) ? body.section(QLatin1Char('.'), 1) : QString();
        if (intPart == QLatin1String("0") && intZeros == 0) intPart.clear();
        while (intPart.size() < intZeros) intPart.prepend(QLatin1Char('0'));
        if (thousands) intPart = groupThousands(intPart);
        body = intPart + (decimals > 0 ? QLatin1Char('.') + frac : QString());
        bool zero =
            body.count(QLatin1Char('0')) + body.count(QLatin1Char('.')) + body.count(QLatin1Char(',')) ==
            body.size();
        if (d < 0 && !zero) body.prepend(QLatin1Char('-'));
    }
    return prefix + body + suffix;
}

}  // namespace

QString formatValue(const Value& value, const QString& numberFormat) {
    switch (value.type()) {
        case Value::Type::Empty:
            return QString();
        case Value::Type::Text:
            return value.text();
        case Value::Type::Boolean:
            return value.toString();
        case Value::Type::Error:
            return value.toString();
        case Value::Type::Number:
            break;
    }
    const double d = value.number();
    if (numberFormat.isEmpty() || numberFormat.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ||
        numberFormat == QLatin1String("@"))
        return general(d);
    const QStringList secs = sections(numberFormat);
    if (secs.size() >= 3 && d == 0) return renderSection(d, secs[2]);
    if (secs.size() >= 2 && d < 0) return renderSection(-d, secs[1]);
    if (secs[0].compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) return general(d);
    return renderSection(d, secs[0]);
}

namespace {
const unsigned palette[56] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
                              0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
                              0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
                              0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
                              0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
                              0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
                              0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
}

unsigned paletteColor(int colorIndex) {
    if (colorIndex < 1 || colorIndex > 56) return 0xFFFFFF;
    return palette[colorIndex - 1];
}

int paletteIndexOf(unsigned rgb) {
    for (int i = 0; i < 56; ++i)
        if (palette[i] == (rgb & 0xFFFFFF)) return i + 1;
    return xlNone;
}

}  // namespace sheet
