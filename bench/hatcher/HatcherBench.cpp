// Times the pattern area of hatcher on a generated 200,000-entity base map: open the drawing in the
// in-process CAD, then cut everything inside circles of growing radius to the circle.
#include "BaseMapGenerator.h"

#include "automation/Automation.h"
#include "common/SettingBindings.h"
#include "hatcher/core/HatcherForm.h"
#include "hatcher/core/PatternArea.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.dxf"));
    cad::dxf::writeFile(*cadbench::generateBaseMap(200000), path);

    ui::ScriptedPrompts prompts;
    cad::ScriptedInteraction picks;
    automation::InProcessCad host;
    host.setInteraction(&picks);
    automation::SetCadConnector({[&host] { return host.application(); }, {}});
    automation::CadApplication = automation::ConnectToAutoCad(false);
    QElapsedTimer clock;
    clock.start();
    automation::CadApplication.documents().open(path);
    automation::CheckDocumentOpen(false);
    out << "open 200000 entities: " << clock.elapsed() << " ms\n";
    common::SettingBindings[0].Value = 0;  // all layers but the traffic layers

    hatcher::HeadlessForm form;
    form.intersection = QStringLiteral("1");
    for (double r : {1000.0, 3000.0, 6000.0}) {
        const int before = automation::CadModelSpace.count();
        picks.point(50000, 50000).point(50000 + r, 50000).point(200000, 0);
        clock.restart();
        hatcher::frmMain_cmdDefObszar_Click(form);
        const qint64 ms = clock.elapsed();
        const int made = int(hatcher::PatternCopyHandles.value(QStringLiteral("1")).size());
        out << "pattern area r=" << r << ": " << made << " pieces, " << ms << " ms ("
            << automation::CadModelSpace.count() - before << " entities added)\n";
        out.flush();
    }
    return 0;
}
