// Why a drawing file could not be opened or written, in Polish: Qt's own texts are English.
#pragma once

#include "platform/SystemErrors.h"

#include <QFileDevice>
#include <QString>

namespace cad::dxf {

inline QString fileErrorText(const QFileDevice& f) {
    switch (f.error()) {
        case QFileDevice::NoError:
            return QStringLiteral("brak opisu błędu");
        case QFileDevice::ReadError:
            return QStringLiteral("błąd odczytu");
        case QFileDevice::WriteError:
            return QStringLiteral("błąd zapisu (brak miejsca na dysku?)");
        case QFileDevice::OpenError:
            return QStringLiteral("brak dostępu albo plik nie istnieje");
        case QFileDevice::PermissionsError:
            return QStringLiteral("brak uprawnień");
        case QFileDevice::ResourceError:
            return QStringLiteral("brak zasobów systemu (miejsca, pamięci)");
        case QFileDevice::RenameError:
            return QStringLiteral("nie można zmienić nazwy pliku");
        case QFileDevice::RemoveError:
            return QStringLiteral("nie można usunąć pliku");
        default:
            return QStringLiteral("błąd systemu plików");
    }
}

using platform::systemErrorText;

}  // namespace cad::dxf
