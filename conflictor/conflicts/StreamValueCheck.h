// The kinematic values a vehicle stream carries into the intergreen workbook that no speed check
// catches: its length and its acceleration. A drawing from elsewhere may hold any number there, and a
// negative length shortens every time the stream clears, a negative acceleration gives #NUM!.
#pragma once

#include <QStringList>

namespace conflictor {

// One line per value of a vehicle stream of StreamTable that is no finite number above 0:
// "K1: długość pojazdu (DLUG_POJ) = -10". Empty when every value can be used.
QStringList UnusableStreamValues();

}  // namespace conflictor
