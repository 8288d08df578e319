// Loading Qt's Polish translations.
#include "platform/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ui {

bool InstallQtTranslations(QCoreApplication& app, const QString& folder) {
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // The translator lives as long as the application.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_pl"), from) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace ui
