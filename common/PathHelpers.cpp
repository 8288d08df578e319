// Path joining, the parent folder and the file-existence test.
#include "common/PathHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace common {

namespace {

QString withSlashes(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool entryMatches(const QFileInfo& info, int attributes) {
    if (info.isDir() && !(attributes & AttrDirectory)) return false;
    if (info.fileName().startsWith(QLatin1Char('.')) && !(attributes & AttrHidden)) return false;
    return info.exists();
}

// The CAD opens a drawing named ".dwg" or ".dwt" from the DXF file of the same base name, found
// without regard to case, so such a name exists when that file does.
bool drawingStandInExists(const QString& folder, const QString& name) {
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.compare(QLatin1String("dwg"), Qt::CaseInsensitive) != 0 &&
        suffix.compare(QLatin1String("dwt"), Qt::CaseInsensitive) != 0)
        return false;
    const QString wanted = name.left(name.size() - suffix.size()) + QLatin1String("dxf");
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

QString JoinPath(const QString& folder, const QString& name) {
    QString f = withSlashes(folder.trimmed());
    QString n = withSlashes(name.trimmed());
    if (!f.endsWith(QLatin1Char('/')) && !n.startsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return CollapseDoubleBackslashes(f + n);
}

QString CollapseDoubleBackslashes(const QString& path) {
    QString p = withSlashes(path);
    if (p.startsWith(QLatin1String("//"))) return p;  // network path: left as it is
    QString result;
    result.reserve(p.size());
    for (QChar c : p) {
        if (c == QLatin1Char('/') && result.endsWith(QLatin1Char('/'))) continue;
        result += c;
    }
    return result;
}

QString GetParentFolder(const QString& path) {
    if (path.trimmed().isEmpty()) return QString();
    qsizetype p = -1;
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i])) {
            p = i;
            break;
        }
    if (p < 0) return QString();
    return withSlashes(path.left(p));
}

bool CheckFileExists(const QString& path, int attributes) {
    QString p = withSlashes(path);
    if (p.isEmpty()) return false;
    qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    QString folder = slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : p.left(slash));
    QString pattern = p.mid(slash + 1);
    if (pattern.isEmpty()) return false;
    QFileInfo folderInfo(folder);
    if (!folderInfo.exists() || !folderInfo.isDir()) return false;
    if (!pattern.contains(QLatin1Char('*')) && !pattern.contains(QLatin1Char('?')))
        return entryMatches(QFileInfo(p), attributes) || drawingStandInExists(folder, pattern);
    if (!folderInfo.isReadable() || !folderInfo.isExecutable())
        throw FileError("Folder cannot be read: " + folder.toStdString());
    QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList({pattern}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : entries)
        if (entryMatches(info, attributes)) return true;
    return false;
}

}  // namespace common
