// The per-kind defaults of the six kinematic values.
#include "conflictor/streams/KinematicCheck.h"

#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/StreamRecords.h"

namespace conflictor {

namespace {

double settingFor(const QString& tag, int kind) {
    const common::ProgramSettings& s = common::Settings;
    const bool car = kind == KindVehicle || kind == KindConditional;
    const bool tram = kind == KindTram;
    const bool bus = kind == KindBus;
    if (tag == QLatin1String("DLUG_POJ"))
        return car ? s.DlugoscPojazd : tram ? s.TramLength() : bus ? s.DlugoscAutobus : 0;
    if (tag == QLatin1String("PROSTA_DOJAZD"))
        return car ? s.PredkDojazdProsta : tram ? s.PredkDojazdProsta3 : bus ? s.PredkDojazdProsta2 : 0;
    if (tag == QLatin1String("LUK_DOJAZD"))
        return car ? s.PredkDojazdLuk : tram ? s.PredkDojazdLuk3 : bus ? s.PredkDojazdLuk2 : 0;
    if (tag == QLatin1String("PROSTA_EWAK")) {
        if (kind == KindPedestrian) return s.PredkPiesi;
        if (kind == KindBicycle) return s.PredkRowery;
        return car ? s.PredkEwakProsta : tram ? s.PredkEwakProsta3 : bus ? s.PredkEwakProsta2 : 0;
    }
    if (tag == QLatin1String("LUK_EWAK"))
        return car ? s.PredkEwakLuk : tram ? s.PredkEwakLuk3 : bus ? s.PredkEwakLuk2 : 0;
    if (tag == QLatin1String("MAKS_PRZYSP"))
        return car ? s.MaksPrzysp : tram ? s.MaksPrzyspTramwaj : bus ? s.MaksPrzyspAutobus : 0;
    return 0;
}

}  // namespace

double CheckValue(const QString& tag, const QString& text, int kind) {
    const double v = common::ParseDouble(text);
    if (v != 0 && !text.isEmpty()) return v;
    return settingFor(tag, kind);
}

}  // namespace conflictor
