// phaseplanner: the signal-program editor of the suite.
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::InstallQtTranslations(app);  // without them Qt's dialogs stay English
    QApplication::setApplicationName(phaseplanner::ProgramTitleText());
    static ui::WidgetPrompts prompts;
    ui::SetPromptService(&prompts);
    phaseplanner::MainWindow window(QCoreApplication::applicationDirPath());
    if (!window.Form_Load()) return 0;
    return QApplication::exec();
}
