// The path, folder and array helpers the programs share: replacing every occurrence of a text, the
// file name and base name of a path, the upper bound of a dynamic array, creating a folder path.
// Paths may use "\" or "/".
#pragma once

#include <QString>
#include <optional>

namespace common {

// A copy of the text with every occurrence replaced (ReplaceSubstring's rules).
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);
// The part after the last "\" or "/", else after a drive colon, else the whole text; a blank text
// comes back as it is.
QString GetFileName(const QString& path);
// GetFileName without its extension (the part from its last "."); "" for a path ending in a separator.
QString GetFileBaseName(const QString& path);
// Upper index of a dynamic array: -1 when it holds nothing or was never dimensioned.
template <class Container>
long GetArrayUpperBound(const Container& array) {
    return long(array.size()) - 1;
}
template <class Container>
long GetArrayUpperBound(const std::optional<Container>& array) {
    return array ? GetArrayUpperBound(*array) : -1;
}
// Creates every missing folder along the path. A part that exists as a file, or a folder that
// cannot be created, raises FileError (common/PathHelpers.h).
void CreateFolderPath(const QString& folderPath);

}  // namespace common
