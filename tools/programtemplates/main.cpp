// programtemplates: draws the program table templates Program_NNgrup and Program_akomod_NNgrup
// (NN = 12, 14, ..., 32, 44) in the in-process CAD and saves each as DXF into the given folder
// (resources/Tesmar/Zasoby in the repository).
// Usage: programtemplates FOLDER
#include "automation/CadConnection.h"
#include "phaseplanner/drawing/TableTemplate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1) {
        QTextStream(stderr) << "Użycie: programtemplates FOLDER\n";
        return 2;
    }
    QDir().mkpath(args[0]);
    automation::SetCadConnector(automation::InProcessCadConnector());
    automation::CadApplication = automation::ConnectToAutoCad(false);
    if (automation::CadApplication.isNull()) return 1;
    try {
        QList<int> counts;
        for (int n = 12; n <= 32; n += 2) counts << n;
        counts << 44;
        for (bool actuated : {false, true}) {
            for (int n : counts) {
                const cad::Document d = automation::CadApplication.documents().add();
                automation::CheckDocumentOpen(false);
                phaseplanner::GenerateProgramTemplate(n, actuated);
                const QString name =
                    QFileInfo(phaseplanner::TemplateFileName(n, actuated)).completeBaseName();
                d.saveAs(QDir(args[0]).filePath(name + QStringLiteral(".dxf")));
                d.close();
            }
        }
    } catch (const std::exception& e) {
        QTextStream(stderr) << "Błąd: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
