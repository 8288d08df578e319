// The cycle parameters of the signal program (cycle length and its maximum, minimum greens, working
// hours and offset) and their keys in the program's section of Tesmar.ini.
#pragma once

#include <QString>

namespace phaseplanner {

// Program title: the INI section, the caption's first part and the message titles.
inline QString ProgramTitleText() {
    return QStringLiteral("Tesmar Program");
}

extern int CycleLength;                // seconds
extern int MaxCycleLength;             // seconds; 120 at every start, never stored in the INI file
extern int MinGreenVehicle;            // seconds
extern int MinGreenPedestrianBicycle;  // seconds
extern QString WorkStartHour;          // free texts
extern QString WorkEndHour;
extern QString ProgramOffset;

// Reads the six stored values from IniFilePath (numbers through ParseInteger, texts as stored).
void LoadCycleParameters();
// Writes them back in their order: Dlugosc_Cyklu, Min_Zielony_Pojazd, Min_Zielony_Piesz_Rower,
// GodzRozpPracy, GodzZakPracy, Offset.
void SaveCycleParameters();
// True when the cycle length lies within 14..MaxCycleLength.
bool IsCycleLengthValid(int cycleLength);
// The shut-down rule: a cycle outside 14..MaxCycleLength is stored as 80.
void ResetInvalidCycleLength();

}  // namespace phaseplanner
