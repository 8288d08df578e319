// headplacer <symbol> [QUELRO]: places one signal head of the symbol into the drawing open in
// cadhost, with its descriptions, screen and inventory data, then its push-buttons.
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/logic/CommandLine.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::InstallQtTranslations(app);  // without them Qt's dialogs stay English
    QApplication::setApplicationName(QStringLiteral("headplacer"));
    QApplication::setQuitOnLastWindowClosed(false);
    static ui::WidgetPrompts prompts;
    ui::SetPromptService(&prompts);

    headplacer::HeadPlacerApp placer;
    // The program reads its command line as one text, as it always has.
    if (!placer.start(headplacer::JoinArguments(app.arguments().mid(1)))) return 0;
    if (placer.ended()) return placer.exitStatus();
    return app.exec();
}
