// Cycle parameters and their INI keys.
#include "phaseplanner/editor/CycleParameters.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "phaseplanner/editor/GroupTable.h"

namespace phaseplanner {

int CycleLength = 80;
int MaxCycleLength = 120;
int MinGreenVehicle = 10;
int MinGreenPedestrianBicycle = 4;
QString WorkStartHour;
QString WorkEndHour;
QString ProgramOffset;

namespace {
QString get(const char* key, const QString& def) {
    return common::GetIni(common::IniFilePath, ProgramTitleText(), QString::fromLatin1(key), def);
}
void put(const char* key, const QString& value) {
    common::PutIni(common::IniFilePath, ProgramTitleText(), QString::fromLatin1(key), value);
}
}  // namespace

void LoadCycleParameters() {
    CycleLength = common::ParseInteger(get("Dlugosc_Cyklu", QStringLiteral("80")));
    MinGreenVehicle = common::ParseInteger(get("Min_Zielony_Pojazd", QStringLiteral("10")));
    MinGreenPedestrianBicycle = common::ParseInteger(get("Min_Zielony_Piesz_Rower", QStringLiteral("4")));
    WorkStartHour = get("GodzRozpPracy", QString());
    WorkEndHour = get("GodzZakPracy", QString());
    ProgramOffset = get("Offset", QString());
}

void SaveCycleParameters() {
    put("Dlugosc_Cyklu", QString::number(CycleLength));
    put("Min_Zielony_Pojazd", QString::number(MinGreenVehicle));
    put("Min_Zielony_Piesz_Rower", QString::number(MinGreenPedestrianBicycle));
    put("GodzRozpPracy", WorkStartHour);
    put("GodzZakPracy", WorkEndHour);
    put("Offset", ProgramOffset);
}

bool IsCycleLengthValid(int cycleLength) {
    return cycleLength >= MinCycleLength && cycleLength <= MaxCycleLength;
}

void ResetInvalidCycleLength() {
    if (!IsCycleLengthValid(CycleLength)) CycleLength = 80;
}

}  // namespace phaseplanner
