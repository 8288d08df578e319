// The plain-text list files of headplacer (streets, intersections, light sources, head types,
// applicants, contractors): read as UTF-8, or as Windows-1250 when the bytes are not valid UTF-8,
// and appended to in the encoding the file already has.
#pragma once

#include <QString>
#include <QStringList>

namespace headplacer {

// The text of a list file's bytes; `wasUtf8` tells which encoding was taken.
QString DecodeListBytes(const QByteArray& bytes, bool* wasUtf8 = nullptr);
// The list-input rule: a comma or a line end separates items; an item in double quotes keeps its
// commas and inner blanks (the quotes are dropped); blanks around an unquoted item are dropped.
// With `commentLines`, a line whose first character is ";" is skipped whole.
QStringList ParseListItems(const QString& text, bool commentLines);
// The items of the file; false when it cannot be read.
bool ReadListItems(const QString& path, bool commentLines, QStringList& items);
// Every non-empty line of the file, trimmed; false when it cannot be read.
bool ReadListLines(const QString& path, QStringList& lines);
// Appends the text as one line, in the file's encoding (UTF-8 for a new or empty file), starting
// a new line first when the file does not end with one. False when it cannot be written.
bool AppendListLine(const QString& path, const QString& line);
// Appends only when no entry of the file equals the text already (compared trimmed).
bool AppendListLineOnce(const QString& path, const QString& line, bool commentLines);

}  // namespace headplacer
