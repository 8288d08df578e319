// Folders, the registry stand-in and symbol file names.
#include "headplacer/logic/Folders.h"

#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QDir>

namespace headplacer {

namespace {

QString& programFolderOverride() {
    static QString folder;
    return folder;
}

// Looks a value up in the stand-in file without going through the INI length limit.
int readValue(const QString& path, const QString& section, const QString& key, QString& value) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return 2;
    bool inSection = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const int end = int(line.indexOf(QLatin1Char(']')));
            inSection = end > 0 && line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';'))) continue;
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq < 0) continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        return 0;
    }
    return 2;
}

}  // namespace

QString RegistryFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Morvane/Directories.ini");
}

int QueryRegistryValue(int root, const QString& subKey, const QString& valueName, QString& value) {
    if (root != HKEY_CURRENT_USER) return 2;
    QString section = subKey;
    section.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return readValue(RegistryFilePath(), section, valueName, value);
}

QString ReadRegistryString(int root, const QString& subKey, const QString& valueName) {
    QString value;
    const int code = QueryRegistryValue(root, subKey, valueName, value);
    if (code == 2) return QStringLiteral("Brak");
    if (code != 0) {
        ui::MsgBox(QStringLiteral("Registry access error number: %1").arg(code));
        return QString();
    }
    // A NUL ends the text, as it ended the value's buffer.
    const int nul = int(value.indexOf(QChar(0)));
    if (nul >= 0) value.truncate(nul);
    return value.trimmed();
}

QString ProgramFolder() {
    if (!programFolderOverride().isEmpty()) return programFolderOverride();
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

void SetProgramFolder(const QString& folder) {
    programFolderOverride() = folder;
}

QString GetCityDataFolder(const QString& folderVariableName) {
    if (folderVariableName != QLatin1String("MORVANE_FOLDER")) return QString();
    return common::GetParentFolder(common::GetParentFolder(ProgramFolder()));
}

QString GetResourceFolder(const QString& root, int code) {
    // Only the folders this program uses are named; the other codes of the suite's table give none.
    QString folder;
    switch (code) {
        case 6:
            folder = QStringLiteral("aZasoby\\Symbole");
            break;
        case 7:
            folder = QStringLiteral("aZasoby\\Listy");
            break;
        case 12:
            folder = QStringLiteral("aZasoby\\Sygnalizacja\\Sygnalizatory");
            break;
        case 15:
            folder = QStringLiteral("Ulic");
            break;
        default:
            return QString();
    }
    return common::JoinPath(root, folder);
}

QString ListFolder() {
    return GetResourceFolder(GetCityDataFolder(QStringLiteral("MORVANE_FOLDER")), 7);
}

QString CityDataFolderFromSettings() {
    const QString key = QStringLiteral("Software\\Morvane\\Directories");
    const QString data = ReadRegistryString(HKEY_CURRENT_USER, key, QStringLiteral("aDane"));
    const QString city = ReadRegistryString(HKEY_CURRENT_USER, key, QStringLiteral("City"));
    auto unset = [](const QString& v) { return v.isEmpty() || v == QLatin1String("Brak"); };
    if (unset(data) || unset(city))
        return common::JoinPath(GetCityDataFolder(QStringLiteral("MORVANE_FOLDER")),
                                QStringLiteral("aDane\\Miasto"));
    return common::JoinPath(data, city);
}

QString CityListsConfiguredText() {
    return QStringLiteral(
               "Folder list ustawiają wartości \"aDane\" i \"City\" w sekcji "
               "[Software\\Morvane\\Directories] pliku %1; bez nich listy są czytane z folderu "
               "aDane\\Miasto\\Ulic pakietu.")
        .arg(RegistryFilePath());
}

bool FileFound(const QString& path) {
    try {
        return common::CheckFileExists(path);
    } catch (const common::FileError&) {
        return false;
    }
}

bool IsSafeSymbolName(const QString& symbol) {
    const QString s = symbol.trimmed();
    if (s.isEmpty() || s == QLatin1String(".") || s.contains(QLatin1String(".."))) return false;
    return !s.contains(QLatin1Char('/')) && !s.contains(QLatin1Char('\\')) && !s.contains(QChar(0));
}

QString GetFileBaseName(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const int slash = int(p.lastIndexOf(QLatin1Char('/')));
    if (slash >= 0) p = p.mid(slash + 1);
    const int dot = int(p.lastIndexOf(QLatin1Char('.')));
    if (dot > 0) p.truncate(dot);
    return p;
}

}  // namespace headplacer
