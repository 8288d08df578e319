// The values conflictor's settings can take: what the settings dialog accepts is what loading
// Tesmar.ini accepts, so a hand-edited file cannot give a 0 s amber, a tram of no length or a
// pedestrian faster than any vehicle.
#pragma once

#include <QString>

namespace common {

// The bounds of one setting, both included; `Any` has none (pens, layers, switches).
struct SettingRange {
    enum Kind { Any, Number, Whole } kind = Any;
    double min = 0;
    double max = 0;
    QString unit;  // as the dialog's labels write it, after the number
};

// The range of the program setting stored under this INI key.
SettingRange RangeOfSetting(const QString& key);
// Why the text, as the dialog or the file holds it, is no value of the range, to follow "Wartość":
// "jest za duża (musi być liczbą od 0,1 do 5 m/s)", or the rule alone for no number; empty when it fits.
QString SettingRangeProblem(const SettingRange& range, const QString& text);
inline bool FitsSettingRange(const SettingRange& range, const QString& text) {
    return SettingRangeProblem(range, text).isEmpty();
}
// What the range asks for, in Polish ("musi być liczbą od 1 do 10 s").
QString SettingRangeRule(const SettingRange& range);

}  // namespace common
