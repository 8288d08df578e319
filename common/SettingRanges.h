// The values conflictor's settings can take: what the settings dialog accepts is what loading
// Tesmar.ini accepts, so a hand-edited file cannot give a 0 s amber or a tram of no length.
#pragma once

#include <QString>

namespace common {

enum class SettingRange {
    Any,       // no range (pens, layers, switches)
    Positive,  // a finite number above 0: lengths, speeds, accelerations, the amber, the text height
    TramCars,  // a whole number of tram cars from 1 to 255 (held in one byte)
};

// The range of the program setting stored under this INI key.
SettingRange RangeOfSetting(const QString& key);
// Whether the text, as the dialog or the file holds it, is a value of the range.
bool FitsSettingRange(SettingRange range, const QString& text);
// What the range asks for, in Polish, to follow "Wartość" or a key ("musi być większa od zera").
QString SettingRangeRule(SettingRange range);

}  // namespace common
