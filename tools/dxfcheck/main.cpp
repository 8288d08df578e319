// dxfcheck: opens a drawing, prints what model space holds (one line per entity kind with its
// count) and the numbers of block definitions, attribute references and custom properties, and
// saves the drawing again when an output file is given.
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <map>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        err << "usage: dxfcheck IN.dxf [OUT.dxf]\n";
        return 2;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        auto db = cad::dxf::readFile(args[1]);
        const qint64 readMs = timer.elapsed();
        std::map<QString, int> kinds;
        int attributes = 0;
        for (const cad::db::Entity* e : db->modelSpace()->entities()) {
            ++kinds[e->dxfName()];
            attributes += int(db->attributes(e).size());
        }
        int blocks = 0;
        for (const cad::db::BlockDefinition* b : db->blocks())
            if (!b->isLayout()) ++blocks;
        for (const auto& [kind, count] : kinds) out << kind << ' ' << count << '\n';
        out << "block definitions " << blocks << '\n';
        out << "attribute references " << attributes << '\n';
        out << "custom properties " << db->summaryInfo().customCount() << '\n';
        out << "read in " << readMs << " ms\n";
        if (args.size() == 3) {
            timer.restart();
            cad::dxf::writeFile(*db, args[2]);
            out << "written to " << args[2] << " in " << timer.elapsed() << " ms\n";
        }
    } catch (const cad::Error& e) {
        err << "dxfcheck: " << e.message() << '\n';
        return 1;
    }
    return 0;
}
