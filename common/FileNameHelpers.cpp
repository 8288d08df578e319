// Path, folder and array helpers.
#include "common/FileNameHelpers.h"

#include "common/PathHelpers.h"
#include "common/TextHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace common {

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement) {
    QString copy = text;
    return ReplaceSubstring(copy, search, replacement);
}

QString GetFileName(const QString& path) {
    const QString p = ReplaceAll(path, QStringLiteral("\\"), QStringLiteral("/"));
    if (p.trimmed().isEmpty()) return p;
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) return p.mid(slash + 1);
    const qsizetype colon = p.indexOf(QLatin1Char(':'));
    return colon >= 0 ? p.mid(colon + 1) : p;
}

QString GetFileBaseName(const QString& path) {
    const QString name = GetFileName(path);
    if (name.trimmed().isEmpty()) return QString();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? name.left(dot) : name;
}

void CreateFolderPath(const QString& folderPath) {
    const QString p = ReplaceAll(folderPath, QStringLiteral("\\"), QStringLiteral("/"));
    // The search starts at the second character: a leading separator is the root, not a part.
    qsizetype pos = 0;
    while (true) {
        const qsizetype next = p.indexOf(QLatin1Char('/'), pos + 1);
        const QString part = next < 0 ? p : p.left(next);
        if (!part.isEmpty() && !part.endsWith(QLatin1Char(':'))) {
            const QFileInfo info(part);
            if (info.exists() && !info.isDir())
                throw FileError(QStringLiteral("Nie można utworzyć folderu: %1").arg(part).toStdString());
            if (!info.exists() && !QDir().mkdir(part))
                throw FileError(QStringLiteral("Nie można utworzyć folderu: %1").arg(part).toStdString());
        }
        if (next < 0) break;
        pos = next;
    }
}

}  // namespace common
