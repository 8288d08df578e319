// cadhost: the CAD application of the suite. Usage: cadhost [--socket NAME] [FILE.dxf]
// When a host already runs for the user, the file is opened there and this copy ends.
#include "cadhost/Host.h"
#include "platform/cad/Application.h"
#include "platform/cad/socket/CadHostConnection.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::InstallQtTranslations(app);  // without them Qt's dialogs stay English
    QApplication::setApplicationName(QStringLiteral("cadhost"));

    QCommandLineParser args;
    args.addHelpOption();
    const QCommandLineOption socketOption(QStringLiteral("socket"), QStringLiteral("Nazwa gniazda."),
                                          QStringLiteral("nazwa"));
    args.addOption(socketOption);
    args.addPositionalArgument(QStringLiteral("plik"), QStringLiteral("Rysunek DXF do otwarcia."));
    args.process(app);

    static ui::WidgetPrompts prompts;
    ui::SetPromptService(&prompts);

    const QString socketName = args.isSet(socketOption) ? args.value(socketOption) : cad::CadHostSocketName();
    const QStringList files = args.positionalArguments();

    // One host per user: hand the file to the running one.
    if (!socketName.isEmpty()) {
        if (auto running = cad::AttachToCadHost(socketName, 300)) {
            try {
                cad::Application acad(running.get());
                if (!files.isEmpty()) acad.documents().open(QFileInfo(files.first()).absoluteFilePath());
                acad.raiseDrawingWindow();
            } catch (const cad::Error& e) {
                ui::MsgBox(e.message(), ui::Exclamation, QStringLiteral("cadhost"));
                return 1;
            }
            return 0;
        }
    }

    cadhost::Host host;
    QString error;
    if (socketName.isEmpty() || !host.server.listen(socketName, &error))
        ui::MsgBox(QStringLiteral("Programy nie będą mogły połączyć się z tym oknem:\n%1").arg(error),
                   ui::Exclamation, QStringLiteral("cadhost"));

    if (files.isEmpty() || !host.window.openFile(files.first())) host.window.newDrawing();
    host.window.show();
    return app.exec();
}
