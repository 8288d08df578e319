// Numbers as text with a dot, and the never-failing readers.
#include "common/NumberText.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace common {

namespace {

// Reads the leading number of a text: blanks, tabs and line feeds are skipped
// anywhere; sign, digits, point, digits, exponent ("E" or "D"); "&H"/"&O" whole numbers.
// ok is false when the number does not fit a double.
double readLeadingNumber(const QString& text, bool& ok) {
    ok = true;
    std::string s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) continue;
        s += c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x7f';
    }
    size_t i = 0;
    if (i < s.size() && s[i] == '&') {
        ++i;
        int base = 8;
        if (i < s.size() && (s[i] == 'H' || s[i] == 'h')) {
            base = 16;
            ++i;
        } else if (i < s.size() && (s[i] == 'O' || s[i] == 'o')) {
            ++i;
        }
        uint64_t v = 0;
        size_t digits = 0;
        for (; i < s.size(); ++i) {
            int d = -1;
            char c = s[i];
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0 || d >= base) break;
            v = v * base + d;
            if (v > 0xFFFFFFFFull) {
                ok = false;
                return 0;
            }
            ++digits;
        }
        if (digits == 0) return 0;
        // A value that fits 16 bits is a 16-bit pattern, else a 32-bit one.
        if (v <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(v));
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    }
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') number += '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++mantissaDigits) number += s[i];
    if (i < s.size() && s[i] == '.') {
        number += '.';
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++mantissaDigits) number += s[i];
    }
    if (mantissaDigits == 0) return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        size_t expDigits = 0;
        for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j, ++expDigits) exponent += s[j];
        if (expDigits > 0) number += exponent;
    }
    double value = 0;
    const char* first = number.data();
    if (*first == '-') ++first;  // from_chars takes no sign of its own in every library version
    auto [end, ec] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (ec != std::errc() || !std::isfinite(value)) {
        ok = false;
        return 0;
    }
    return number[0] == '-' ? -value : value;
}

// Half to even, as every conversion of the suite to a whole number.
double roundHalfEven(double v) {
    double r = std::floor(v);
    double diff = v - r;
    if (diff > 0.5) return r + 1;
    if (diff < 0.5) return r;
    return std::fmod(r, 2.0) == 0 ? r : r + 1;
}

int parseWhole(const QString& text, double lo, double hi) {
    bool ok = true;
    double v = readLeadingNumber(text.trimmed(), ok);
    if (!ok) return 0;
    double r = roundHalfEven(v);
    if (r < lo || r > hi) return 0;
    return static_cast<int>(r);
}

}  // namespace

double ParseDouble(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = true;
    double v = readLeadingNumber(t, ok);
    return ok ? v : 0.0;
}

int ParseInteger(const QString& text) {
    return parseWhole(text, -32768.0, 32767.0);
}

int ParseLong(const QString& text) {
    return parseWhole(text, static_cast<double>(std::numeric_limits<int32_t>::min()),
                      static_cast<double>(std::numeric_limits<int32_t>::max()));
}

namespace {

// The pattern formatting shared by both writers, with the given decimal separator.
QString formatWithPoint(double value, const QString& pattern, const QString& decimalPoint) {
    if (pattern.isEmpty()) {
        // The general form: like the plain one, but with the zero before the point.
        QString plain = FormatPlainNumber(value);
        if (plain.startsWith(QLatin1Char('.')))
            plain.prepend(QLatin1Char('0'));
        else if (plain.startsWith(QLatin1String("-.")))
            plain.insert(1, QLatin1Char('0'));
        plain.replace(QLatin1Char('.'), decimalPoint);
        return plain;
    }
    if (!std::isfinite(value)) return QString::number(value);
    // Every length text of a cut passes here: the pattern's parts are views, not copies.
    auto isPlaceholder = [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('#'); };
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i)
        if (isPlaceholder(pattern[i])) {
            if (first < 0) first = i;
            last = i;
        }
    if (first < 0) return pattern;  // nothing to fill in: the pattern is a literal text
    const QStringView whole(pattern);
    const QStringView prefix = whole.left(first);
    const QStringView suffix = whole.mid(last + 1);
    const QStringView core = whole.mid(first, last - first + 1);
    qsizetype point = core.indexOf(QLatin1Char('.'));
    const QStringView intPattern = point < 0 ? core : core.left(point);
    const QStringView decPattern = point < 0 ? QStringView() : core.mid(point + 1);
    int minInt = static_cast<int>(intPattern.count(QLatin1Char('0')));
    int minDec = static_cast<int>(decPattern.count(QLatin1Char('0')));
    int maxDec = minDec + static_cast<int>(decPattern.count(QLatin1Char('#')));

    // The value's 15 significant digits, as the suite writes doubles, then rounded in decimal
    // so that 1.005 gives 1.01 as a person expects.
    std::string intDigits, decDigits;
    double magnitude = std::fabs(value);
    if (magnitude != 0) {
        const QString sci = QString::number(magnitude, 'e', 14);  // d.dddddddddddddde±x
        qsizetype e = sci.indexOf(QLatin1Char('e'));
        std::string mantissa;
        mantissa.reserve(size_t(e));
        for (qsizetype k = 0; k < e; ++k)
            if (sci[k] != QLatin1Char('.')) mantissa += static_cast<char>(sci[k].unicode());
        int exponent = QStringView(sci).mid(e + 1).toInt();
        int intCount = exponent + 1;  // digits before the point
        if (intCount > 0) {
            for (int k = 0; k < intCount; ++k)
                intDigits += k < static_cast<int>(mantissa.size()) ? mantissa[k] : '0';
            if (intCount < static_cast<int>(mantissa.size())) decDigits = mantissa.substr(intCount);
        } else {
            decDigits = std::string(-intCount, '0') + mantissa;
        }
    }
    // Round at maxDec decimals, halves away from zero.
    if (static_cast<int>(decDigits.size()) > maxDec) {
        bool up = decDigits[maxDec] >= '5';
        decDigits.resize(maxDec);
        if (up) {
            std::string all = intDigits + decDigits;
            int k = static_cast<int>(all.size()) - 1;
            for (; k >= 0; --k) {
                if (all[k] == '9') {
                    all[k] = '0';
                } else {
                    ++all[k];
                    break;
                }
            }
            if (k < 0) all.insert(all.begin(), '1');
            intDigits = all.substr(0, all.size() - decDigits.size());
            decDigits = all.substr(all.size() - decDigits.size());
        }
    }
    while (static_cast<int>(decDigits.size()) > minDec && !decDigits.empty() && decDigits.back() == '0')
        decDigits.pop_back();
    while (static_cast<int>(decDigits.size()) < minDec) decDigits += '0';
    size_t nonZero = intDigits.find_first_not_of('0');
    intDigits = nonZero == std::string::npos ? std::string() : intDigits.substr(nonZero);
    while (static_cast<int>(intDigits.size()) < minInt) intDigits.insert(intDigits.begin(), '0');

    bool anyDigit = intDigits.find_first_not_of('0') != std::string::npos ||
                    decDigits.find_first_not_of('0') != std::string::npos;
    QString result;
    result.reserve(prefix.size() + 1 + qsizetype(intDigits.size()) + decimalPoint.size() +
                   qsizetype(decDigits.size()) + suffix.size());
    result += prefix;
    if (value < 0 && anyDigit) result += QLatin1Char('-');
    result += QLatin1String(intDigits.data(), qsizetype(intDigits.size()));
    if (!decDigits.empty()) {
        result += decimalPoint;
        result += QLatin1String(decDigits.data(), qsizetype(decDigits.size()));
    }
    result += suffix;
    return result;
}

}  // namespace

QString FormatNumberWithDot(double value, const QString& pattern) {
    QString result = formatWithPoint(value, pattern, QStringLiteral("."));
    result.replace(QLatin1Char(','), QLatin1Char('.'));
    return result;
}

QString FormatNumber(double value, const QString& pattern) {
    return formatWithPoint(value, pattern, QLocale().decimalPoint());
}

QString FormatPlainNumber(double value) {
    if (value == 0) return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15).toUpper();
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

namespace {
QString coordinateText(double v) {
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (!std::isfinite(v)) return v > 0 ? QStringLiteral("+∞") : QStringLiteral("-∞");
    if (std::abs(v) > FarthestCoordinate) return FormatPlainNumber(v);
    return FormatNumberWithDot(v, QStringLiteral("0.00"));
}
}  // namespace

QString PointText(const PlanePoint& p) {
    return QLatin1Char('(') + coordinateText(p.X) + QStringLiteral("; ") + coordinateText(p.Y) + QLatin1Char(')');
}

bool ConvertIntToBool(int value) {
    return value == 1;
}

int ConvertBoolToInt(int value) {
    return value != 0 ? 1 : 0;
}

double RoundToDecimals(double value, int decimals) {
    double scale = std::pow(10.0, decimals);
    return std::floor(value * scale + 0.5) / scale;
}

void SortIntegerArray(std::vector<int>& values) {
    if (values.size() < 2) return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < values.size(); ++i)
            if (values[i] > values[i + 1]) {
                std::swap(values[i], values[i + 1]);
                swapped = true;
            }
    }
}

}  // namespace common
