// The suite's help: HTML pages in the resource folder "Zasoby/Pomoc", opened in the desktop's
// browser at the page of a help context.
#pragma once

#include <QString>

namespace common {

// The resource folder "Zasoby" in the parent of the program's folder.
QString ResourceFolderOf(const QString& programFolder);
// The help page file of a program ("phaseplanner.html") in that folder, with the context as anchor
// ("#10011"); empty when the page is missing.
QString HelpPageUrl(const QString& programFolder, const QString& pageFile, int helpContext);
// Opens the page in the browser; false when there is no page or no browser took it.
bool OpenHelpPage(const QString& programFolder, const QString& pageFile, int helpContext);

}  // namespace common
