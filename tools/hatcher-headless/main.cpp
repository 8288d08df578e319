// hatcher-headless: runs hatcher's commands on a drawing as a user would, in the in-process CAD, with
// the circle and the target point given on the command line instead of picked.
// Usage: hatcher-headless IN.dxf --intersection NR --command TworzObrazyFaz|ConnectAll|AtrrsAngle
//        [--circle CX,CY,R] [--target X,Y] [--layers A;B] [--template dyn_wzorzec.dwg] [--save OUT.dxf]
// Several --command options run in order. Messages are printed; the exit code is 1 when one was shown.
#include "automation/Automation.h"
#include "common/SettingBindings.h"
#include "hatcher/core/HatcherForm.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/HatcherSettings.h"
#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
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

    for (const QString& command : args.values(cmdOpt)) {
        QElapsedTimer clock;
        clock.start();
        if (command == QLatin1String("TworzObrazyFaz")) {
            const QStringList c = args.value(circleOpt).split(QLatin1Char(','));
            const QStringList t = args.value(targetOpt).split(QLatin1Char(','));
            if (c.size() != 3 || t.size() != 2) {
                QTextStream(stderr) << "--circle x,y,r i --target x,y są wymagane\n";
                return 2;
            }
            picks.point(c[0].toDouble(), c[1].toDouble())
                .point(c[0].toDouble() + c[2].toDouble(), c[1].toDouble())
                .point(t[0].toDouble(), t[1].toDouble());
            const QStringList made = hatcher::frmMain_cmdTworzObrazyFaz_Click(form);
            QTextStream(stdout) << "obrazy faz: " << made.size();
        } else if (command == QLatin1String("ConnectAll")) {
            const int before = prompts.shown;
            hatcher::cmdConnectAll_Click(form);
            // Every message of the command says it stopped or left arrows out (a refused SKALA, a
            // refused arrow): never report the transitions made then.
            QTextStream(stdout) << (prompts.shown == before ? "przejścia utworzone"
                                                            : "przejść nie utworzono w całości (komunikat powyżej)");
        } else if (command == QLatin1String("AtrrsAngle")) {
            hatcher::cmdAtrrsAngle_Click(form);
            QTextStream(stdout) << "kąty zaktualizowane";
        } else {
            QTextStream(stderr) << "Nieznane polecenie: " << command << "\n";
            return 2;
        }
        QTextStream(stdout) << " (" << clock.elapsed() << " ms)\n";
    }
    if (args.isSet(saveOpt))
        automation::CadDocument.saveAs(QFileInfo(args.value(saveOpt)).absoluteFilePath());
    return prompts.shown > 0 ? 1 : 0;
}
