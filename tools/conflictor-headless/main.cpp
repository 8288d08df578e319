// conflictor-headless: opens a drawing in the in-process CAD, makes an intersection current and runs
// rows of conflictor's command table on it as a user would in the window (every question answered Yes,
// every message printed), then lists the conflict points, exports and saves.
// Usage: conflictor-headless IN.dxf --intersection NR [--command ID]... [--cut] [--export OUT.xlsx]
//        [--export-phases WORKBOOK.xlsx] [--phase-sets] [--resources DIR] [--save OUT.dxf]
// --command runs the table's command ID (in the order given, before the rest; a file dialog is
// cancelled); --cut is the command "mnuNarzedzia_TnijWszystkie"; --export the command
// "mnuNarzedzia_EksportExcel" with its file dialog answered with OUT; --export-phases the command
// "mnuNarzedzia_EksportExcelFazy" into that workbook (the question answered Yes); --phase-sets prints
// the phase sets read from hatcher's phase scheme, one "V.n: phases" a line.
#include "automation/CadConnection.h"
#include "automation/InProcessCad.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/mainwindow/CommandContext.h"
#include "conflictor/mainwindow/CommandTable.h"
#include "conflictor/phases/PhaseSets.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamPieces.h"
#include "conflictor/streams/StreamReading.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

// Answers every question Yes and prints every message, as a user reading them would see them.
class YesPrompts : public ui::PromptService {
public:
    int message(const QString& text, int flags, const QString&) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        const int buttons = ui::ButtonsOf(flags);
        return buttons == ui::YesNo || buttons == ui::YesNoCancel ? ui::Yes : ui::Ok;
    }
    std::optional<QString> input(const ui::InputRequest&) override { return std::nullopt; }
    // The file dialog of the export is answered with the name given on the command line.
    std::optional<QString> file(const ui::FileRequest&) override {
        if (fileAnswer.isEmpty()) return std::nullopt;
        return fileAnswer;
    }
    QString fileAnswer;
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
};

int fail(const QString& text) {
    std::fprintf(stderr, "conflictor-headless: %s\n", text.toUtf8().constData());
    return 1;
}

QString outcomeText(conflictor::CutOutcome o) {
    using conflictor::CutOutcome;
    switch (o) {
        case CutOutcome::Declined:
            return QStringLiteral("cięcie odrzucono; nic nie zostało pocięte");
        case CutOutcome::NoDocument:
            return QStringLiteral("żaden rysunek nie jest otwarty");
        case CutOutcome::NoStreams:
            return QStringLiteral("skrzyżowanie nie ma strumieni");
        case CutOutcome::NoneSelected:
            return QStringLiteral("żaden strumień nie jest podświetlony");
        case CutOutcome::CheckFailed:
            return QStringLiteral("strumień nie przeszedł sprawdzenia (komunikat powyżej); nic nie zostało pocięte");
        case CutOutcome::NumberRefused:
            return QStringLiteral("numer skrzyżowania nie może tworzyć nazw bloków cięcia (komunikat powyżej); nic "
                                  "nie zostało pocięte");
        case CutOutcome::UnitsRefused:
            return QStringLiteral("\"SKALA\" nie pasuje do jednostek lub długości rysunku; nic nie zostało pocięte");
        case CutOutcome::Failed:
            return QStringLiteral("rysunek odrzucił krok cięcia (komunikat powyżej)");
        case CutOutcome::Incomplete:
            return QStringLiteral("cięcie nie oznaczyło wszystkich przecięć strumieni (komunikat powyżej)");
        case CutOutcome::Done:
            return QStringLiteral("gotowe");
    }
    return QString();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString input, number, output, exportPath, phasesPath;
    QString resources = QStringLiteral(INTERGREEN_RESOURCES);
    QStringList commands;
    bool cut = false, phaseSets = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--intersection") && i + 1 < args.size())
            number = args[++i];
        else if (a == QLatin1String("--save") && i + 1 < args.size())
            output = args[++i];
        else if (a == QLatin1String("--export") && i + 1 < args.size())
            exportPath = args[++i];
        else if (a == QLatin1String("--export-phases") && i + 1 < args.size())
            phasesPath = args[++i];
        else if (a == QLatin1String("--resources") && i + 1 < args.size())
            resources = args[++i];
        else if (a == QLatin1String("--command") && i + 1 < args.size())
            commands << args[++i];
        else if (a == QLatin1String("--cut"))
            cut = true;
        else if (a == QLatin1String("--phase-sets"))
            phaseSets = true;
        else if (!a.startsWith(QLatin1String("--")) && input.isEmpty())
            input = a;
        else
            return fail(QStringLiteral(
                            "nieznany argument %1\nużycie: conflictor-headless IN.dxf --intersection NR "
                            "[--command ID]... [--cut] [--export OUT.xlsx] [--export-phases WORKBOOK.xlsx] [--phase-sets] [--resources DIR] "
                            "[--save OUT.dxf]")
                            .arg(a));
    }
    if (input.isEmpty() || number.isEmpty())
        return fail(
            QStringLiteral("użycie: conflictor-headless IN.dxf --intersection NR [--command ID]... [--cut] [--export OUT.xlsx] "
                           "[--export-phases WORKBOOK.xlsx] [--phase-sets] [--resources DIR] [--save OUT.dxf]"));
    if (!QFileInfo(input).isFile()) return fail(QStringLiteral("nie ma takiego rysunku: %1").arg(input));

    YesPrompts prompts;
    ui::SetPromptService(&prompts);
    automation::SetCadConnector(automation::InProcessCadConnector());
    automation::CadApplication = automation::ConnectToAutoCad(true);
    if (automation::CadApplication.isNull()) return fail(QStringLiteral("nie można uruchomić programu CAD"));
    try {
        automation::CadApplication.documents().open(QFileInfo(input).absoluteFilePath());
    } catch (const std::exception& e) {
        return fail(QStringLiteral("nie można otworzyć %1: %2").arg(input, QString::fromUtf8(e.what())));
    }
    if (!automation::CheckDocumentOpen(false)) return fail(QStringLiteral("nie można otworzyć %1").arg(input));

    // The streams listed as the window's grid lists them, so exports come out as from the window.
    static conflictor::GridOrderWindow window;
    conflictor::SetStreamWindow(&window);
    conflictor::IntersectionNumber = number;
    if (!conflictor::OdczytajStrumienie(false, -1)) {
        // Pieces the reading passes over are named rather than taken for no streams at all.
        if (!conflictor::StreamsOutsideTheTable.isEmpty())
            return fail(conflictor::StreamsOutsideTheTable.first());
        return fail(QStringLiteral("rysunek nie zawiera strumieni skrzyżowania %1").arg(number));
    }

    conflictor::CommandContext context{window, nullptr, resources};
    // Runs one row of the table; a refusal or a command that did not finish ends the tool.
    const auto run = [&](const QString& id) -> QString {
        context.Cut.reset();
        context.SavedWorkbook.clear();
        context.PhaseExport.reset();
        switch (conflictor::RunTableCommand(id, context)) {
            case conflictor::CommandRun::Unknown:
                return QStringLiteral("nie ma polecenia %1; bez okna można wykonać: %2")
                    .arg(id, conflictor::HeadlessCommandIds().join(QStringLiteral(", ")));
            case conflictor::CommandRun::NeedsWindow:
                return QStringLiteral("polecenie %1 otwiera okno lub czeka na wskazanie na rysunku; bez okna "
                                      "nie można go wykonać")
                    .arg(id);
            case conflictor::CommandRun::Ran:
                break;
        }
        if (context.Cut && *context.Cut != conflictor::CutOutcome::Done) return outcomeText(*context.Cut);
        if (context.PhaseExport && *context.PhaseExport != conflictor::PhaseExportOutcome::Saved)
            return QStringLiteral("informacje o fazach nie zostały zapisane (komunikat powyżej)");
        return QString();
    };
    try {
        for (const QString& id : std::as_const(commands))
            if (const QString refused = run(id); !refused.isEmpty()) return fail(refused);
        if (cut)
            if (const QString refused = run(QStringLiteral("mnuNarzedzia_TnijWszystkie")); !refused.isEmpty())
                return fail(refused);
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }

    try {
        for (const conflictor::ConflictMarker& m : conflictor::ReadConflictMarkers()) {
            QString kind = conflictor::ConflictKindName(m.Kind);
            kind.chop(int(QStringLiteral("_STRUMIEN").size()));
            std::printf("%s %s %s %.3f %.3f\n", qPrintable(kind), qPrintable(m.Stream1),
                        qPrintable(m.Stream2), m.Position.X, m.Position.Y);
        }
        if (!exportPath.isEmpty()) {
            prompts.fileAnswer = QFileInfo(exportPath).absoluteFilePath();
            if (const QString refused = run(QStringLiteral("mnuNarzedzia_EksportExcel")); !refused.isEmpty())
                return fail(refused);
            if (context.SavedWorkbook.isEmpty())
                return fail(QStringLiteral("skoroszyt czasów międzyzielonych nie został zapisany (komunikat powyżej)"));
            prompts.fileAnswer.clear();
        }
        if (!phasesPath.isEmpty()) {
            context.PhaseWorkbook = QFileInfo(phasesPath).absoluteFilePath();
            if (const QString refused = run(QStringLiteral("mnuNarzedzia_EksportExcelFazy")); !refused.isEmpty())
                return fail(refused);
        }
        if (phaseSets) {
            QStringList sets;
            const int r = conflictor::StworzZestawyFaz(sets);
            for (qsizetype i = 0; i < sets.size(); ++i)
                std::printf("V.%d: %s\n", int(i + 1), qPrintable(sets[i]));
            // Only the chain and the walk come from the scheme; the basic set means it was not read.
            if (r < 1) return fail(QStringLiteral("nie odczytano zestawów faz ze schematu faz"));
        }
        if (!output.isEmpty()) automation::CadDocument.saveAs(QFileInfo(output).absoluteFilePath());
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    return 0;
}
