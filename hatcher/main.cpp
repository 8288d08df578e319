// hatcher: phase pictures of an intersection cut from its base map, and the phase-transition arrows.
#include "hatcher/app/MainWindow.h"
#include "hatcher/core/HatcherServices.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::InstallQtTranslations(app);  // without them Qt's dialogs stay English
    QApplication::setApplicationName(QLatin1String(hatcher::ProgramTitleText));
    static ui::WidgetPrompts prompts;
    ui::SetPromptService(&prompts);
    hatcher::MainWindow window;
    if (!window.Form_Load()) return 1;
    return app.exec();
}
