// Why a drawing file could not be opened or written, in Polish: Qt's own texts are English.
#pragma once

#include <QFileDevice>
#include <QString>

#include <cerrno>
#include <cstring>

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

// Why a system call on a file failed, from its errno, in Polish; an uncommon cause keeps the
// system's own words after ours.
inline QString systemErrorText(int err) {
    switch (err) {
        case ENOSPC:
            return QStringLiteral("brak miejsca na dysku");
        case EDQUOT:
            return QStringLiteral("przekroczony przydział miejsca na dysku");
        case EACCES:
        case EPERM:
            return QStringLiteral("brak uprawnień do zapisu");
        case EROFS:
            return QStringLiteral("dysk jest tylko do odczytu");
        case ENOENT:
            return QStringLiteral("folder nie istnieje");
        case ENOTDIR:
            return QStringLiteral("ścieżka nie prowadzi do folderu");
        case EISDIR:
            return QStringLiteral("pod tą nazwą jest folder");
        case EFBIG:
            return QStringLiteral("plik przekroczyłby dopuszczalny rozmiar");
        case EIO:
            return QStringLiteral("błąd wejścia-wyjścia dysku");
        case ENAMETOOLONG:
            return QStringLiteral("za długa nazwa pliku");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("za dużo otwartych plików");
        default:
            return QStringLiteral("błąd systemu plików (%1)").arg(QString::fromLocal8Bit(std::strerror(err)));
    }
}

}  // namespace cad::dxf
