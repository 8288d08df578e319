// Opening the help pages.
#include "common/ui/HelpPages.h"

#include "common/PathHelpers.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace common {

QString ResourceFolderOf(const QString& programFolder) {
    return JoinPath(GetParentFolder(programFolder), QStringLiteral("Zasoby"));
}

QString HelpPageUrl(const QString& programFolder, const QString& pageFile, int helpContext) {
    const QString path =
        JoinPath(JoinPath(ResourceFolderOf(programFolder), QStringLiteral("Pomoc")), pageFile);
    if (!QFileInfo::exists(path)) return QString();
    QUrl url = QUrl::fromLocalFile(path);
    if (helpContext > 0) url.setFragment(QString::number(helpContext));
    return url.toString();
}

bool OpenHelpPage(const QString& programFolder, const QString& pageFile, int helpContext) {
    const QString url = HelpPageUrl(programFolder, pageFile, helpContext);
    return !url.isEmpty() && QDesktopServices::openUrl(QUrl(url));
}

}  // namespace common
