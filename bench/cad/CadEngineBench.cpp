// Times opening, selecting in and saving a 200,000-entity base map, and ezdxf opening the same file.
#include "BaseMapGenerator.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Selection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 200000;
    QTemporaryDir dir;
    // A second argument keeps the generated file at that path.
    const QString path = argc > 2 ? QString(argv[2]) : dir.filePath("mapa.dxf");
    QElapsedTimer t;

    t.start();
    auto generated = cadbench::generateBaseMap(count);
    std::printf("generate %d entities: %lld ms\n", count, t.elapsed());
    t.restart();
    cad::dxf::writeFile(*generated, path);
    std::printf("save (generated): %lld ms, %.1f MB\n", t.elapsed(), QFileInfo(path).size() / 1048576.0);
    generated.reset();

    t.restart();
    auto db = cad::dxf::readFile(path);
    std::printf("open: %lld ms (%d model-space entities)\n", t.elapsed(), db->modelSpace()->count());

    const cad::db::FilterList streams = {{0, "INSERT"}, {2, "12^STRUMIEN_*"}, {8, "*"}};
    t.restart();
    auto found = cad::db::selectAll(*db, streams);
    std::printf("select (0 INSERT)(2 \"12^STRUMIEN_*\"): %.3f ms, %zu found\n", t.nsecsElapsed() / 1e6,
                found.size());
    const cad::db::FilterList exact = {{0, "INSERT"}, {2, "12^STRUMIEN_7^K7"}};
    t.restart();
    found = cad::db::selectAll(*db, exact);
    std::printf("select exact name: %.3f ms, %zu found\n", t.nsecsElapsed() / 1e6, found.size());
    const cad::db::FilterList texts = {{0, "TEXT"}, {8, "MAPA-OPISY"}};
    t.restart();
    found = cad::db::selectAll(*db, texts);
    std::printf("select (0 TEXT)(8 layer): %.3f ms, %zu found\n", t.nsecsElapsed() / 1e6, found.size());
    const cad::db::FilterList colour = {{0, "INSERT"}, {62, 3}};
    t.restart();
    found = cad::db::selectAll(*db, colour);
    std::printf("select full scan (0 INSERT)(62 3): %.3f ms, %zu found\n", t.nsecsElapsed() / 1e6,
                found.size());

    t.restart();
    cad::dxf::writeFile(*db, path);
    std::printf("save: %lld ms\n", t.elapsed());

    QProcess py;
    py.start(
        "/usr/bin/python3",
        {"-c",
         "import time,sys,ezdxf\nt=time.perf_counter()\nd=ezdxf.readfile(sys.argv[1])\n"
         "print('ezdxf open: %d ms (%d entities)' % ((time.perf_counter()-t)*1000, len(d.modelspace())))",
         path});
    if (py.waitForFinished(600000) && py.exitCode() == 0)
        std::printf("%s", py.readAllStandardOutput().constData());
    else
        std::printf("ezdxf not available: %s\n", py.readAllStandardError().constData());
    return 0;
}
