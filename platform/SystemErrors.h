// Why a system call on a file failed, from its errno, in the user's words: the drawing and the
// workbook writers name the same cause the same way.
#pragma once

#include <QString>

#include <cerrno>
#include <cstring>

namespace platform {

// "brak miejsca na dysku"; an uncommon cause keeps the system's own words after ours.
inline QString systemErrorText(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("brak miejsca na dysku");
        case EDQUOT:
            return QStringLiteral("przekroczony przydział miejsca na dysku");
        case EFBIG:
            return QStringLiteral("plik przekroczyłby dopuszczalny rozmiar");
        case EACCES:
        case EPERM:
            return QStringLiteral("brak uprawnień do zapisu");
        case EROFS:
            return QStringLiteral("dysk jest tylko do odczytu");
        case ENOENT:
            return QStringLiteral("folder nie istnieje");
        case ENOTDIR:
            return QStringLiteral("część ścieżki nie jest folderem");
        case EISDIR:
            return QStringLiteral("pod tą nazwą jest folder");
        case EIO:
            return QStringLiteral("błąd wejścia-wyjścia dysku");
        case ENAMETOOLONG:
            return QStringLiteral("zbyt długa nazwa pliku");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("zbyt wiele otwartych plików");
        default:
            return QStringLiteral("błąd systemu %1 (%2)").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

}  // namespace platform
