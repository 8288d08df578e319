// conflictor: attaches to cadhost (starting it when none runs), shows the main window on the active
// drawing and runs until the window closes.
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::InstallQtTranslations(app);  // without them Qt's dialogs stay English
    static ui::WidgetPrompts prompts;
    ui::SetPromptService(&prompts);
    conflictor::ConflictorWindow window;
    if (!window.StartUp()) return 0;
    return app.exec();
}
