// Qt's own texts in Polish: the file dialogs, the overwrite question, the standard buttons and the
// context menus come from Qt, whose translations Debian ships apart (qt6-translations-l10n).
#pragma once

#include <QString>

class QCoreApplication;

namespace ui {

// Installs Qt's Polish translations (qtbase_pl) on the application, from `folder` or, when empty,
// from Qt's translations folder. False when they cannot be loaded: the program then runs with Qt's
// English texts.
bool InstallQtTranslations(QCoreApplication& app, const QString& folder = QString());

}  // namespace ui
