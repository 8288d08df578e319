// The settings file Tesmar.ini: "[Section]" headers and "Key=Value" lines, read and written one key
// at a time, so that files written by hand, by older versions and by every program of the suite are
// read alike.
// Section and key names are compared without regard to case; comments, foreign keys and the order of
// lines are kept; each write re-reads the file, so programs sharing it never overwrite each other.
#pragma once

#include <QString>

namespace common {

// Full path of the program's INI file; each program sets it at start-up (see IniFileLocation).
extern QString IniFilePath;
// The "NaWierzchu" setting: every window applies it with SetFormTopmost when it is activated.
extern bool AlwaysOnTop;

// Lines end in CR LF, LF or CR; a file in UTF-16 (with its byte-order mark) is read and written so.
// The value trimmed of blanks (and of one pair of enclosing quotes), cut to 2047 characters;
// the trimmed default when the file, the section or the key is missing. A key present with an empty
// value gives the empty text.
QString GetIni(const QString& filePath, const QString& section, const QString& key,
               const QString& defaultValue);
// Writes key=value into the section, creating the file, the section and the key as needed. Line breaks
// in the value are written as blanks, so a value can never add lines to the file. Failures are silent.
void PutIni(const QString& filePath, const QString& section, const QString& key, const QString& value);

// Whether the file can give settings: it is missing (every default applies) or a regular file that
// can be read. A FIFO, a device or a folder of that name is never opened: GetIni gives the defaults.
bool IniFileUsable(const QString& filePath);
// What the programs tell the user when the file cannot give settings; empty when it can.
QString UnusableIniMessage(const QString& filePath);

// Where Tesmar.ini lives: in the program folder when that folder is writable (or the file there is),
// otherwise in $XDG_CONFIG_HOME/Tesmar/ (~/.config/Tesmar/), which is created when missing.
QString IniFileLocation(const QString& programFolder);

}  // namespace common
