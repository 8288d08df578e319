// The ranges of conflictor's settings, shared by the settings dialog and the loading of Tesmar.ini.
// Each bound is one a road or a signal can have; the dialog shows two decimals, so no lower bound is
// below 0.1, and a value that loads is one the dialog shows as it is and accepts on OK.
#include "common/SettingRanges.h"

#include <QByteArray>
#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace common {

namespace {

struct Bounds {
    const char* key;
    double min;
    double max;
    const char* unit;
};

const Bounds Numbers[] = {
    {"DlugoscPojazd", 1, 100, "m"},           {"DlugoscAutobus", 1, 100, "m"},
    {"DlugoscTramwaj", 1, 100, "m"},          {"PredkDojazdProsta", 0.1, 50, "m/s"},
    {"PredkDojazdLuk", 0.1, 50, "m/s"},       {"PredkEwakProsta", 0.1, 50, "m/s"},
    {"PredkEwakLuk", 0.1, 50, "m/s"},         {"PredkDojazdProsta2", 0.1, 50, "m/s"},
    {"PredkDojazdLuk2", 0.1, 50, "m/s"},      {"PredkEwakProsta2", 0.1, 50, "m/s"},
    {"PredkEwakLuk2", 0.1, 50, "m/s"},        {"PredkDojazdProsta3", 0.1, 50, "m/s"},
    {"PredkDojazdLuk3", 0.1, 50, "m/s"},      {"PredkEwakProsta3", 0.1, 50, "m/s"},
    {"PredkEwakLuk3", 0.1, 50, "m/s"},        {"PredkPiesi", 0.1, 5, "m/s"},
    {"PredkRowery", 0.1, 15, "m/s"},          {"MaksPrzysp", 0.1, 10, "m/s²"},
    {"MaksPrzyspAutobus", 0.1, 10, "m/s²"},   {"MaksPrzyspTramwaj", 0.1, 10, "m/s²"},
    {"SygnalZolty", 1, 10, "s"},              {"GranicaPromien", 1, 1000, "m"},
    {"DlugosciTekstWysokosc", 0.1, 100, ""},
};

QString number(double v) {
    return QString::number(v, 'g', 6).replace(QLatin1Char('.'), QLatin1Char(','));
}

}  // namespace

SettingRange RangeOfSetting(const QString& key) {
    for (const Bounds& b : Numbers)
        if (key.compare(QLatin1String(b.key), Qt::CaseInsensitive) == 0)
            return {SettingRange::Number, b.min, b.max, QString::fromUtf8(b.unit)};
    if (key.compare(QLatin1String("IloscWagonow"), Qt::CaseInsensitive) == 0)
        return {SettingRange::Whole, 1, 255, QString()};  // held in one byte
    return {};
}

QString SettingRangeRule(const SettingRange& range) {
    if (range.kind == SettingRange::Any) return QString();
    QString rule = QStringLiteral("musi być liczbą %1od %2 do %3")
                       .arg(range.kind == SettingRange::Whole ? QStringLiteral("całkowitą ") : QString(),
                            number(range.min), number(range.max));
    if (!range.unit.isEmpty()) rule += QLatin1Char(' ') + range.unit;
    return rule;
}

QString SettingRangeProblem(const SettingRange& range, const QString& text) {
    if (range.kind == SettingRange::Any) return QString();
    const QByteArray plain = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toLatin1();
    // Plain decimal numbers only: a hexadecimal "0x10" or "inf" would read here but not where the
    // value is stored.
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!decimal.match(QString::fromLatin1(plain)).hasMatch()) return SettingRangeRule(range);
    // Read in the C locale whatever the user's: a Polish one would stop at the point.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const double value = strtod_l(plain.constData(), nullptr, c);
    if (range.kind == SettingRange::Whole && std::isfinite(value) && value != std::floor(value))
        return SettingRangeRule(range);
    // strtod gives an infinity for a number too large for a double, and 0 or a denormal for one too
    // small: each compares as the bound it passes.
    if (value < range.min) return QStringLiteral("jest za mała (%1)").arg(SettingRangeRule(range));
    if (value > range.max) return QStringLiteral("jest za duża (%1)").arg(SettingRangeRule(range));
    return QString();
}

}  // namespace common
