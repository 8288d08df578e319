// phaseplanner-headless: runs phaseplanner's commands on a drawing as the window would, in an
// in-process CAD: lists the intersections of the drawing's program attribute blocks, reads the
// current one's program parameters, and with --parametry writes working hours and offset as
// "Parametry pracy programu" does; --draw draws a program given in the text form into the drawing
// (loading the table template when the drawing holds none), --read prints the program read back.
// --import builds the program from the intergreen workbook as "Pobierz grupy z Excela" does (the
// phase-set chooser answered with set N, 1 the first; adjacent greens merged with --merge) and
// prints it in the text form; --wrysuj then draws the program in memory into the drawing.
// --check WORKBOOK.xlsx checks the intergreen times of the drawing's program (or of the one drawn or
// read by this run) against the workbook's matrix, writes the results beside the table and prints
// every pair with its measured and required time (--check-wrong: only the pairs that are too short);
// groups whose head symbols differ from the workbook's at the same position, and pairs it could not
// measure, are listed after the summary and the exit status is then 3.
// --command NAME runs a row of the window's command table that opens no dialog (in the order given,
// after --parametry); the import, the drawing and the check above are those same rows
// ("mnuGrupa_Excel", "mnuDane_Wrysuj", "mnuDane_SprawdzCzasy", "mnuDane_SprawdzCzasyBledne").
// Prompts are answered by default (Yes) and printed.
// Usage: phaseplanner-headless IN.dxf [--intersection NR] [--parametry OD DO OFFSET] [--command NAME]...
//        [--import WORKBOOK.xlsx [--set N] [--merge]] [--draw PROGRAM.txt | --wrysuj] [--read]
//        [--check|--check-wrong WORKBOOK.xlsx] [--save OUT.dxf]
#include "automation/CadConnection.h"
#include "phaseplanner/app/CommandTable.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/drawing/WorkbookImport.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/ProgramText.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

using namespace phaseplanner;

namespace {
int usage() {
    QTextStream(stderr) << "Użycie: phaseplanner-headless PLIK.dxf [--intersection NR] "
                           "[--parametry OD DO OFFSET] [--command NAZWA]... [--import SKOROSZYT.xlsx [--set N] [--merge]] "
                           "[--draw PROGRAM.txt | --wrysuj] [--read] [--check|--check-wrong SKOROSZYT.xlsx] "
                           "[--save WYNIK.dxf]\n";
    return 2;
}

// Answers as a user accepting every question would, except the merge question, which follows
// --merge; every text asked is printed. The workbook given on the command line is the one chosen:
// another workbook the drawing names is refused and the open-file dialog answers with the given one;
// other file dialogs are cancelled.
class HeadlessAnswers : public ui::PromptService {
public:
    bool merge = false;
    QString workbook;
    int message(const QString& text, int flags, const QString&) override {
        QTextStream(stderr) << text << "\n";
        const int buttons = ui::ButtonsOf(flags);
        if (buttons != ui::YesNo && buttons != ui::YesNoCancel) return ui::Ok;
        if (text.startsWith(QStringLiteral("Czy łączyć sąsiadujące sygnały?")))
            return merge ? ui::Yes : ui::No;
        if (!workbook.isEmpty() && text.startsWith(QStringLiteral("Czy otworzyć plik:")) &&
            !text.contains(workbook, Qt::CaseInsensitive))
            return ui::No;
        return ui::Yes;
    }
    std::optional<QString> input(const ui::InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const ui::FileRequest& request) override {
        if (request.kind == ui::FileRequest::Open && !workbook.isEmpty()) return workbook;
        return std::nullopt;
    }
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
};
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(ProgramTitleText());
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return usage();
    QString input = args.front(), number, savePath, programPath, workbookPath, checkPath;
    bool read = false, drawMemory = false, checkWrong = false, checkIncomplete = false;
    int setNumber = 1;
    HeadlessAnswers answers;
    QStringList parameters, commands;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--intersection") && i + 1 < args.size()) {
            // Read once as the number it is: " 7" is intersection 7 for every command below.
            number = args[++i].trimmed();
            if (number.isEmpty()) return usage();
        } else if (args[i] == QLatin1String("--parametry") && i + 3 < args.size()) {
            parameters = args.mid(i + 1, 3);
            i += 3;
        } else if (args[i] == QLatin1String("--command") && i + 1 < args.size()) {
            commands << args[++i];
        } else if (args[i] == QLatin1String("--draw") && i + 1 < args.size()) {
            programPath = args[++i];
        } else if (args[i] == QLatin1String("--import") && i + 1 < args.size()) {
            workbookPath = args[++i];
        } else if (args[i] == QLatin1String("--set") && i + 1 < args.size()) {
            setNumber = args[++i].toInt();
        } else if (args[i] == QLatin1String("--merge")) {
            answers.merge = true;
        } else if (args[i] == QLatin1String("--wrysuj")) {
            drawMemory = true;
        } else if (args[i] == QLatin1String("--read")) {
            read = true;
        } else if ((args[i] == QLatin1String("--check") || args[i] == QLatin1String("--check-wrong")) &&
                   i + 1 < args.size()) {
            checkWrong = args[i] == QLatin1String("--check-wrong");
            checkPath = args[++i];
        } else if (args[i] == QLatin1String("--save") && i + 1 < args.size()) {
            savePath = args[++i];
        } else {
            return usage();
        }
    }

    if (!programPath.isEmpty() && drawMemory) return usage();
    ui::SetPromptService(&answers);
    automation::SetCadConnector(automation::InProcessCadConnector());
    automation::CadApplication = automation::ConnectToAutoCad(false);
    if (automation::CadApplication.isNull()) return 1;
    QTextStream out(stdout);
    try {
        automation::CadApplication.documents().open(input);
        if (!automation::CheckDocumentOpen(true)) return 1;
        UpdateDrawingProgram(true);
        if (!number.isEmpty()) IntersectionNumber = number;
        bool found = false;
        SprawdzSkrzyzowania(found);
        GetAtrybutyProgramu();
        ProgramWindow& w = MainProgramWindow();
        QStringList numbers;
        for (int i = 0; i < w.intersectionCount(); ++i) numbers << w.intersectionText(i);
        out << "Skrzyżowania: " << numbers.join(QStringLiteral(", ")) << "\n";
        // A number the drawing does not hold would have the commands work on another
        // intersection's program. (A drawing without any program gets its first one.)
        if (!number.isEmpty() && !numbers.isEmpty() && !numbers.contains(number)) {
            QTextStream(stderr) << "Błąd: rysunek nie zawiera skrzyżowania nr " << number
                                << " (zawiera: " << numbers.join(QStringLiteral(", ")) << ")\n";
            return 1;
        }
        out << "Bieżące skrzyżowanie: " << IntersectionNumber << "\n";
        if (ProgramTableOrigin.Known)
            out << "Początek tabeli: " << ProgramTableOrigin.Point.X << ", " << ProgramTableOrigin.Point.Y
                << "\n";
        if (!parameters.isEmpty()) {
            WorkStartHour = parameters[0].trimmed();
            WorkEndHour = parameters[1].trimmed();
            ProgramOffset = parameters[2].trimmed();
            if (!UstawWidoczneAtrybuty()) return 1;
        }
        // One row of the window's command table; false (after saying why) when it was refused or stopped.
        CommandContext context;
        auto run = [&](const QString& name) {
            switch (RunTableCommand(name, context)) {
                case CommandRun::Unknown:
                    QTextStream(stderr) << "Błąd: nie ma polecenia " << name << "\n";
                    return false;
                case CommandRun::NeedsWindow:
                    QTextStream(stderr) << "Błąd: polecenie " << name << " otwiera okno; bez okna nie można go "
                                        << "wykonać\n";
                    return false;
                case CommandRun::Ran:
                    break;
            }
            return context.Succeeded;
        };
        for (const QString& name : std::as_const(commands))
            if (!run(name)) {
                QTextStream(stderr) << "Błąd: polecenie " << name << " nie zostało wykonane\n";
                return 1;
            }
        out << "Długość cyklu: " << CycleLength << " [s], maksymalna: " << MaxCycleLength << " [s]\n";
        out << "Godziny pracy: " << WorkStartHour << "-" << WorkEndHour << ", offset: " << ProgramOffset
            << "\n";
        out << "Czasy zadane: " << FormatSetGreenTimes() << "\n";
        out << "Przesunięcia: " << FormatPhaseStartShifts() << "\n";
        // Draws the program in memory, loading the table template when the drawing holds none.
        auto drawProgram = [&]() {
            if (IntersectionNumber.isEmpty()) {
                QTextStream(stderr) << "Błąd: brak numeru skrzyżowania (--intersection)\n";
                return false;
            }
            if (w.intersectionCount() == 0) AddIntersectionNumber(IntersectionNumber, true);
            // The templates lie in the suite's resources beside the tool's folder.
            TemplateFolder = qEnvironmentVariable("TESMAR_ZASOBY", QStringLiteral(PHASEPLANNER_TEMPLATES));
            // As the window's "Wrysuj grupy z tabeli": a drawing without the program loads the table first.
            if (!run(QStringLiteral("mnuDane_Wrysuj"))) return false;
            out << "Wrysowano grupy: " << DefinedGroupCount() << "\n";
            return true;
        };
        if (!workbookPath.isEmpty()) {
            // The workbook named as the program attribute block would name it.
            ExcelWorkbookPath = QFileInfo(workbookPath).absoluteFilePath();
            answers.workbook = ExcelWorkbookPath;
            HeadlessPhaseSetChoice = setNumber - 1;
            if (!run(QStringLiteral("mnuGrupa_Excel"))) {
                QTextStream(stderr) << "Błąd: nie zaimportowano programu ze skoroszytu " << workbookPath
                                    << "\n";
                return 1;
            }
            out << "Zaimportowano grupy: " << DefinedGroupCount() << ", kolejność faz: " << PhaseOrderText
                << "\n";
            out << FormatProgramText(GroupTable, CycleLength);
        }
        if (drawMemory && !drawProgram()) return 1;
        if (!programPath.isEmpty()) {
            QFile f(programPath);
            if (!f.open(QIODevice::ReadOnly)) {
                QTextStream(stderr) << "Błąd: nie można odczytać " << programPath << "\n";
                return 1;
            }
            QString error;
            int cycle = 0;
            if (!ParseProgramText(QString::fromUtf8(f.readAll()), GroupTable, cycle, error)) {
                QTextStream(stderr) << "Błąd w programie: " << error << "\n";
                return 1;
            }
            CycleLength = cycle;
            if (!drawProgram()) return 1;
        }
        if (read) {
            bool ok = false;
            ReadProgramFromDrawing(true, ok);
            if (!ok) {
                QTextStream(stderr) << "Błąd: nie można odczytać programu z rysunku\n";
                return 1;
            }
            out << FormatProgramText(GroupTable, CycleLength);
        }
        if (!checkPath.isEmpty()) {
            if (programPath.isEmpty() && !read && workbookPath.isEmpty()) {
                bool ok = false;
                ReadProgramFromDrawing(true, ok);
                if (!ok) {
                    QTextStream(stderr) << "Błąd: nie można odczytać programu z rysunku\n";
                    return 1;
                }
            }
            // The drawing names the workbook the check opens.
            ExcelWorkbookPath = QFileInfo(checkPath).absoluteFilePath();
            answers.workbook = ExcelWorkbookPath;
            ExcelWorkbookName = QFileInfo(checkPath).fileName();
            if (!UstawWidoczneAtrybuty()) return 1;
            IntergreenCheckResult result;
            context.CheckResult = &result;
            if (!run(checkWrong ? QStringLiteral("mnuDane_SprawdzCzasyBledne") : QStringLiteral("mnuDane_SprawdzCzasy"))) {
                QTextStream(stderr) << "Błąd: nie sprawdzono czasów międzyzielonych\n";
                return 1;
            }
            int wrong = 0;
            for (const MeasuredIntergreen& m : result.Reported) {
                const int d = m.Difference();
                if (d < 0) ++wrong;
                out << GroupLabel(m.From) << " -> " << GroupLabel(m.To) << ": zmierzony " << m.Measured
                    << " s, wymagany " << m.Required << " s (" << (d > 0 ? "+" : "") << d << ")\n";
            }
            out << "Par grup kolizyjnych: " << result.CollisionPairs.size()
                << ", czasów za krótkich: " << wrong << "\n";
            // Never a clean summary over groups or pairs that were not measured.
            const QString incomplete = IncompleteCheckText(result);
            if (!incomplete.isEmpty()) {
                out << incomplete << "\n";
                checkIncomplete = true;
            }
        }
        if (!savePath.isEmpty()) automation::CadDocument.saveAs(savePath);
        if (checkIncomplete) return 3;
    } catch (const std::exception& e) {
        QTextStream(stderr) << "Błąd: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
