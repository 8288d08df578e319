// phaseplanner-headless: runs phaseplanner's commands on a drawing as the window would, in an
// in-process CAD: lists the intersections of the drawing's program attribute blocks, reads the
// current one's program parameters, and with --parametry writes working hours and offset as
// "Parametry pracy programu" does. Prompts are answered by default and printed.
// Usage: phaseplanner-headless IN.dxf [--intersection NR] [--parametry OD DO OFFSET] [--save OUT.dxf]
#include "automation/CadConnection.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

using namespace phaseplanner;

namespace {
int usage() {
    QTextStream(stderr) << "Użycie: phaseplanner-headless PLIK.dxf [--intersection NR] "
                           "[--parametry OD DO OFFSET] [--save WYNIK.dxf]\n";
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(ProgramTitleText());
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return usage();
    QString input = args.front(), number, savePath;
    QStringList parameters;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--intersection") && i + 1 < args.size()) {
            number = args[++i];
        } else if (args[i] == QLatin1String("--parametry") && i + 3 < args.size()) {
            parameters = args.mid(i + 1, 3);
            i += 3;
        } else if (args[i] == QLatin1String("--save") && i + 1 < args.size()) {
            savePath = args[++i];
        } else {
            return usage();
        }
    }

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
        out << "Długość cyklu: " << CycleLength << " [s], maksymalna: " << MaxCycleLength << " [s]\n";
        out << "Godziny pracy: " << WorkStartHour << "-" << WorkEndHour << ", offset: " << ProgramOffset
            << "\n";
        out << "Czasy zadane: " << FormatSetGreenTimes() << "\n";
        out << "Przesunięcia: " << FormatPhaseStartShifts() << "\n";
        if (!savePath.isEmpty()) automation::CadDocument.saveAs(savePath);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "Błąd: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
