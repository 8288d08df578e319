// The module-level table of persisted dialog controls.
#include "common/SettingBindings.h"

#include <QCoreApplication>

namespace common {

std::array<SettingBinding, kSettingBindingCount> SettingBindings;
QString SettingsDefaultSection;

QString ProgramTitle() {
    return QCoreApplication::applicationName();
}

}  // namespace common
