// conflictor-headless: opens a drawing in the in-process CAD, makes an intersection current and runs
// conflictor's own commands on it as a user would (every question answered Yes, every message
// printed), then lists the conflict points, exports and saves.
// Usage: conflictor-headless IN.dxf --intersection NR [--cut] [--export OUT.xlsx]
//        [--export-phases WORKBOOK.xlsx] [--phase-sets] [--resources DIR] [--save OUT.dxf]
// --export runs the intergreen export with its file dialog answered with OUT; --export-phases writes
// the phase information into an intergreen workbook and saves it (the question answered Yes);
// --phase-sets prints the phase sets read from hatcher's phase scheme, one "V.n: phases" a line.
#include "automation/CadConnection.h"
#include "automation/InProcessCad.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/phases/PhaseSets.h"
#include "conflictor/streams/Intersections.h"
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
        else if (a == QLatin1String("--cut"))
            cut = true;
        else if (a == QLatin1String("--phase-sets"))
            phaseSets = true;
        else if (!a.startsWith(QLatin1String("--")) && input.isEmpty())
            input = a;
        else
            return fail(QStringLiteral(
                            "nieznany argument %1\nużycie: conflictor-headless IN.dxf --intersection NR "
                            "[--cut] [--export OUT.xlsx] [--export-phases WORKBOOK.xlsx] [--phase-sets] [--resources DIR] "
                            "[--save OUT.dxf]")
                            .arg(a));
    }
    if (input.isEmpty() || number.isEmpty())
        return fail(
            QStringLiteral("użycie: conflictor-headless IN.dxf --intersection NR [--cut] [--export OUT.xlsx] "
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

    conflictor::IntersectionNumber = number;
    if (!conflictor::OdczytajStrumienie(false, -1))
        return fail(QStringLiteral("rysunek nie zawiera strumieni skrzyżowania %1").arg(number));

    if (cut) {
        const conflictor::CutOutcome outcome = conflictor::CutStreams(true);
        if (outcome != conflictor::CutOutcome::Done) return fail(outcomeText(outcome));
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
            conflictor::IntergreenExportOptions options;
            options.ResourceFolder = resources;
            if (conflictor::mnuNarzedzia_EksportExcel_Click(options).isEmpty())
                return fail(QStringLiteral("skoroszyt czasów międzyzielonych nie został zapisany (komunikat powyżej)"));
            prompts.fileAnswer.clear();
        }
        if (!phasesPath.isEmpty() &&
            conflictor::ExportPhasesToWorkbook(QFileInfo(phasesPath).absoluteFilePath()) !=
                conflictor::PhaseExportOutcome::Saved)
            return fail(QStringLiteral("informacje o fazach nie zostały zapisane (komunikat powyżej)"));
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
