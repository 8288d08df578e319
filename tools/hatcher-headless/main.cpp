// hatcher-headless: runs the rows of hatcher's command table on a drawing as a user would, in the
// in-process CAD, with the circle and the target point given on the command line instead of picked.
// Usage: hatcher-headless IN.dxf --intersection NR --command ID
//        [--circle CX,CY,R] [--target X,Y] [--layers A;B] [--template dyn_wzorzec.dwg] [--save OUT.dxf]
// ID is a row's id (cmdDefObszar, cmdTworzObrazyFaz, cmdConnectAll, cmdAtrrsAngle) or one of the
// earlier names TworzObrazyFaz, ConnectAll, AtrrsAngle. Several --command options run in order; a row
// that needs the window, or an unknown id, stops the tool with exit code 2. Messages are printed; the
// exit code is 1 when one was shown.
#include "automation/Automation.h"
#include "common/SettingBindings.h"
#include "hatcher/core/CommandTable.h"
#include "hatcher/core/HatcherForm.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/HatcherSettings.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

namespace {

// Prints every message and counts them.
class PrintingPrompts : public ui::PromptService {
public:
    int message(const QString& text, int flags, const QString&) override {
        ++shown;
        QTextStream(stderr) << text << "\n";
        return ui::ButtonsOf(flags) == ui::YesNo ? ui::Yes : ui::Ok;
    }
    std::optional<QString> input(const ui::InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const ui::FileRequest&) override { return std::nullopt; }
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
    int shown = 0;
};

// The line a command run leaves on the standard output; `told` says a message was shown meanwhile.
QString reportOf(const QString& id, const hatcher::CommandContext& context, bool told) {
    if (id == QLatin1String("cmdTworzObrazyFaz")) return QStringLiteral("obrazy faz: %1").arg(context.Pictures.size());
    // Every message of these commands says they stopped or left part out (a refused SKALA, a refused
    // arrow, a refused cut, no drawing): never report the result made then.
    if (id == QLatin1String("cmdConnectAll"))
        return told ? QStringLiteral("przejść nie utworzono w całości (komunikat powyżej)")
                    : QStringLiteral("przejścia utworzone");
    if (id == QLatin1String("cmdDefObszar"))
        return told ? QStringLiteral("schematu wzorcowego nie utworzono w całości (komunikat powyżej)")
                    : QStringLiteral("schemat wzorcowy utworzony");
    if (id == QLatin1String("cmdAtrrsAngle"))
        return told ? QStringLiteral("kątów nie zaktualizowano (komunikat powyżej)") : QStringLiteral("kąty zaktualizowane");
    return told ? QStringLiteral("polecenie %1 nie wykonane w całości (komunikat powyżej)").arg(id)
                : QStringLiteral("polecenie %1 wykonane").arg(id);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(hatcher::ProgramTitleText));
    QCommandLineParser args;
    args.addPositionalArgument(QStringLiteral("rysunek"), QStringLiteral("Rysunek DXF."));
    const QCommandLineOption nrOpt(QStringLiteral("intersection"), QStringLiteral("Numer skrzyżowania."),
                                   QStringLiteral("nr"));
    const QCommandLineOption cmdOpt(QStringLiteral("command"), QStringLiteral("Polecenie."),
                                    QStringLiteral("nazwa"));
    const QCommandLineOption circleOpt(QStringLiteral("circle"), QStringLiteral("Okrąg: x,y,r."),
                                       QStringLiteral("okrąg"));
    const QCommandLineOption targetOpt(QStringLiteral("target"), QStringLiteral("Położenie: x,y."),
                                       QStringLiteral("punkt"));
    const QCommandLineOption layersOpt(QStringLiteral("layers"), QStringLiteral("Warstwy: A;B."),
                                       QStringLiteral("warstwy"));
    const QCommandLineOption templateOpt(
        QStringLiteral("template"), QStringLiteral("Rysunek przejścia fazowego."), QStringLiteral("plik"));
    const QCommandLineOption saveOpt(QStringLiteral("save"), QStringLiteral("Zapisz jako."),
                                     QStringLiteral("plik"));
    args.addOptions({nrOpt, cmdOpt, circleOpt, targetOpt, layersOpt, templateOpt, saveOpt});
    args.addHelpOption();
    args.process(app);
    if (args.positionalArguments().isEmpty()) args.showHelp(2);

    PrintingPrompts prompts;
    ui::SetPromptService(&prompts);
    cad::ScriptedInteraction picks;
    automation::InProcessCad host;
    host.setInteraction(&picks);  // the circle and the target come from the command line
    automation::SetCadConnector({[&host] { return host.application(); }, {}});
    automation::CadApplication = automation::ConnectToAutoCad(false);
    if (automation::CadApplication.isNull()) return 2;
    try {
        automation::CadApplication.documents().open(
            QFileInfo(args.positionalArguments().first()).absoluteFilePath());
    } catch (const cad::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 2;
    }

    hatcher::HeadlessForm form;
    form.intersection = args.value(nrOpt);
    form.chosen = !form.intersection.isEmpty();
    form.layers = args.value(layersOpt).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    form.statusText = QStringLiteral("Oczekiwanie na akcję użytkownika ...");
    form.transitionTemplatePath =
        args.isSet(templateOpt)
            ? args.value(templateOpt)
            : QStringLiteral(SUITE_SOURCE_ROOT "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
    hatcher::FillSettingBindings(true);
    common::SettingBindings[0].Value = form.layers.isEmpty() ? 0 : 1;  // the layers given, or all

    // The names the tool took before it ran the table's rows by id.
    const QHash<QString, QString> earlierNames{{QStringLiteral("TworzObrazyFaz"), QStringLiteral("cmdTworzObrazyFaz")},
                                               {QStringLiteral("ConnectAll"), QStringLiteral("cmdConnectAll")},
                                               {QStringLiteral("AtrrsAngle"), QStringLiteral("cmdAtrrsAngle")}};
    for (const QString& command : args.values(cmdOpt)) {
        const QString id = earlierNames.value(command, command);
        QElapsedTimer clock;
        clock.start();
        const hatcher::CommandRow* row = hatcher::FindCommand(id);
        if (row && !row->needsWindow && row->picks == hatcher::Picks::PatternArea) {
            const QStringList c = args.value(circleOpt).split(QLatin1Char(','));
            const QStringList t = args.value(targetOpt).split(QLatin1Char(','));
            if (c.size() != 3 || t.size() != 2) {
                QTextStream(stderr) << "--circle x,y,r i --target x,y są wymagane\n";
                return 2;
            }
            picks.point(c[0].toDouble(), c[1].toDouble())
                .point(c[0].toDouble() + c[2].toDouble(), c[1].toDouble())
                .point(t[0].toDouble(), t[1].toDouble());
        }
        const int before = prompts.shown;
        hatcher::CommandContext context(form);
        switch (hatcher::RunTableCommand(id, context)) {
            case hatcher::CommandRun::Unknown:
                QTextStream(stderr) << "Nieznane polecenie: " << command << "\n";
                return 2;
            case hatcher::CommandRun::NeedsWindow:
                QTextStream(stderr) << "Polecenie " << id << " " << QString::fromUtf8(row->needsWindow)
                                    << "; bez okna programu nie można go wykonać.\n";
                return 2;
            case hatcher::CommandRun::Ran:
                break;
        }
        QTextStream(stdout) << reportOf(id, context, prompts.shown != before) << " (" << clock.elapsed() << " ms)\n";
    }
    if (args.isSet(saveOpt))
        automation::CadDocument.saveAs(QFileInfo(args.value(saveOpt)).absoluteFilePath());
    return prompts.shown > 0 ? 1 : 0;
}
