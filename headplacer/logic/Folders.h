// Where headplacer finds things: the suite root two levels above the program folder, the suite's
// folders by code, the city data folder from the registry stand-in, and the symbol drawings.
#pragma once

#include <QString>

namespace headplacer {

// The registry root the start-up reads under.
constexpr int HKEY_CURRENT_USER = 1;
// The stand-in of the registry: $XDG_CONFIG_HOME/Morvane/Directories.ini (~/.config when unset);
// one section per key, named by its path ("Software\Morvane\Directories").
QString RegistryFilePath();
// 0 when found, 2 when the key or the value does not exist; `value` gets the value in full.
int QueryRegistryValue(int root, const QString& subKey, const QString& valueName, QString& value);
// The value trimmed; "Brak" when the key or value does not exist; "" after the message
// "Registry access error number: <code>" for any other code.
QString ReadRegistryString(int root, const QString& subKey, const QString& valueName);

// The program's folder (where Tesmar.ini lives); settable for tests and tools.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
// "MORVANE_FOLDER": two levels above the program folder; any other name gives "".
QString GetCityDataFolder(const QString& folderVariableName);
// A folder of the suite under `root` by code (6 symbols, 12 head drawings, 15 streets, ...);
// "" for codes outside 0..25.
QString GetResourceFolder(const QString& root, int code);
// The suite root's list folder "aZasoby/Listy".
QString ListFolder();
// The city data folder: the values "aDane" and "City" of the registry stand-in joined; where either is
// not configured, the suite's own "aDane/Miasto", whose "Ulic" holds the shipped street and
// intersection lists.
QString CityDataFolderFromSettings();
// Where those two values are configured, for the messages about the lists.
QString CityListsConfiguredText();

// Whether the file (or, for a drawing name, its DXF file) is there; an unreadable folder counts as no.
bool FileFound(const QString& path);
// True when the symbol names a file inside its folder: no folder separators, no "..", not empty.
bool IsSafeSymbolName(const QString& symbol);
// The file name without folder and extension.
QString GetFileBaseName(const QString& path);

}  // namespace headplacer
