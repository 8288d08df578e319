// Path joining, the parent folder and the file-existence test.
// Paths may use "\" (as drawings and INI files made on Windows store them) or "/"; results always use "/".
#pragma once

#include <QString>
#include <stdexcept>

namespace common {

// A folder that exists but cannot be listed.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Both parts trimmed and joined with exactly one separator (an empty folder gives "/name").
QString JoinPath(const QString& folder, const QString& name);
// Runs of separators shrink to one, except a path that begins with two (a network path).
QString CollapseDoubleBackslashes(const QString& path);
// The text left of the last separator; empty when the path is blank or has none.
QString GetParentFolder(const QString& path);

// Attribute bits of the directory search.
enum FileAttribute : int { AttrNormal = 0, AttrHidden = 2, AttrSystem = 4, AttrDirectory = 16 };
// True when an entry matches the path ("*" and "?" allowed in the last part). Plain files always
// count; hidden files (names beginning with ".") only with AttrHidden, folders only with AttrDirectory.
// A drawing named ".dwg" or ".dwt" also exists as the DXF file of the same base name (case ignored),
// which is what the CAD opens for it.
// Throws FileError when the containing folder exists but cannot be read.
bool CheckFileExists(const QString& path, int attributes = AttrNormal);

}  // namespace common
