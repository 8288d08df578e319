// Vehicle lengths and accelerations checked before the intergreen workbook is made.
#include "conflictor/conflicts/StreamValueCheck.h"

#include "conflictor/streams/StreamRecords.h"

#include <cmath>

namespace conflictor {

QStringList UnusableStreamValues() {
    QStringList faults;
    for (const StreamRecord& s : StreamTable) {
        if (!IsVehicleStream(s)) continue;  // a pedestrian's or cyclist's length and acceleration are unused
        const struct {
            const char* what;
            double value;
        } values[] = {{"długość pojazdu (DLUG_POJ)", s.VehicleLength},
                      {"maksymalne przyspieszenie (MAKS_PRZYSP)", s.MaxAcceleration}};
        for (const auto& v : values)
            if (!std::isfinite(v.value) || v.value <= 0)
                faults << s.Name + QStringLiteral(": ") + QString::fromUtf8(v.what) + QStringLiteral(" = ") +
                              QString::number(v.value);
    }
    return faults;
}

}  // namespace conflictor
