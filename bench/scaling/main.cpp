// scaling_bench: every path the programs take at five sizes doubling each time, with the fitted
// log-log slope of each (1 is linear), then the figure of writing 4,000 stream components.
// Arguments: names (or parts of names) of the paths to run; none runs all.
#include "Scaling.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList wanted;
    for (int i = 1; i < argc; ++i) wanted << QString::fromLocal8Bit(argv[i]);
    auto chosen = [&](const QString& name) {
        if (wanted.isEmpty()) return true;
        for (const QString& w : wanted)
            if (name.contains(w)) return true;
        return false;
    };
    std::vector<scaling::Path> paths;
    for (auto part : {scaling::enginePaths, scaling::streamPaths, scaling::socketPaths, scaling::sheetPaths})
        for (scaling::Path& p : part())
            if (chosen(p.name)) paths.push_back(std::move(p));
    int steep = 0;
    for (const scaling::Path& p : paths)
        if (scaling::measure(p) > 1.15) ++steep;
    scaling::stopHost();
    if (chosen(QStringLiteral("figure"))) scaling::writeFigure();
    std::printf("scaling: %d of %zu paths above slope 1.15\n", steep, paths.size());
    return 0;
}
