// The ranges of conflictor's settings, shared by the settings dialog and the loading of Tesmar.ini.
#include "common/SettingRanges.h"

#include "common/NumberText.h"

#include <cmath>

namespace common {

SettingRange RangeOfSetting(const QString& key) {
    // Every value of the kinematic tabs and the amber: each enters the intergreen times.
    static const char* const positive[] = {
        "DlugoscPojazd",   "PredkDojazdProsta",  "PredkDojazdLuk",       "PredkEwakProsta",
        "PredkEwakLuk",    "MaksPrzysp",         "DlugoscAutobus",       "PredkDojazdProsta2",
        "PredkDojazdLuk2", "PredkEwakProsta2",   "PredkEwakLuk2",        "MaksPrzyspAutobus",
        "DlugoscTramwaj",  "PredkDojazdProsta3", "PredkDojazdLuk3",      "PredkEwakProsta3",
        "PredkEwakLuk3",   "MaksPrzyspTramwaj",  "PredkPiesi",           "PredkRowery",
        "SygnalZolty",     "GranicaPromien",     "DlugosciTekstWysokosc"};
    for (const char* name : positive)
        if (key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return SettingRange::Positive;
    if (key.compare(QLatin1String("IloscWagonow"), Qt::CaseInsensitive) == 0) return SettingRange::TramCars;
    return SettingRange::Any;
}

bool FitsSettingRange(SettingRange range, const QString& text) {
    switch (range) {
        case SettingRange::Any:
            return true;
        case SettingRange::Positive: {
            // A number too large for a double reads as 0 and is refused with it.
            const double value = ParseDouble(text);
            return std::isfinite(value) && value > 0;
        }
        case SettingRange::TramCars: {
            bool ok = false;
            const int n = text.trimmed().toInt(&ok);
            return ok && n >= 1 && n <= 255;
        }
    }
    return false;
}

QString SettingRangeRule(SettingRange range) {
    switch (range) {
        case SettingRange::Positive:
            return QStringLiteral("musi być większa od zera");
        case SettingRange::TramCars:
            return QStringLiteral("musi być liczbą całkowitą od 1 do 255");
        case SettingRange::Any:
            break;
    }
    return QString();
}

}  // namespace common
