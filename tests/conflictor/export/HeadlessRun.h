// The export fixture with the drawing run through conflictor-headless: saved as it stands, cut (or
// not) and exported by the tool, the workbook read back.
#pragma once

#include "tests/conflictor/export/ExportFixture.h"

#include <QFile>
#include <QProcess>

#include <functional>

namespace conflictor::test {

// What conflictor-headless gave for the arguments: its exit code (-1 when it did not finish), its
// standard error and its standard output.
struct ToolOutput {
    int exit = -1;
    QString said;
    QString printed;
};
inline ToolOutput RunHeadlessTool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(HEADLESS_TOOL), args);
    ToolOutput o;
    if (!p.waitForFinished(120000)) {
        ADD_FAILURE() << "the tool did not finish";
        return o;
    }
    o.exit = p.exitCode();
    o.said = QString::fromUtf8(p.readAllStandardError());
    o.printed = QString::fromUtf8(p.readAllStandardOutput());
    return o;
}

class HeadlessRun : public ExportFixture {
protected:
    struct Run {
        int exit = -1;
        QString said;         // everything the tool printed on stderr
        QStringList markers;  // the lines it printed on stdout (the conflict points), sorted
        QString workbook;     // the written workbook, empty when none
        QString drawing;      // the drawing saved after the run, empty when none
        bool written() const { return !workbook.isEmpty(); }
    };
    // Saves the drawing and runs the tool on it: cut (unless `cutFirst` is false), then export, then
    // the drawing saved. `edit` changes the saved file's text first, for what the CAD refuses to make
    // but a file can hold.
    Run runTool(const QString& name, bool cutFirst = true, const std::function<void(QByteArray&)>& edit = {}) {
        const QString in = dir.filePath(name + QStringLiteral(".dxf"));
        const QString out = dir.filePath(name + QStringLiteral(".xlsx"));
        const QString saved = dir.filePath(name + QStringLiteral("-po.dxf"));
        doc().saveAs(in);
        if (edit) {
            QFile f(in);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            QByteArray text = f.readAll();
            f.close();
            edit(text);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        }
        QStringList args{in, QStringLiteral("--intersection"), IntersectionNumber, QStringLiteral("--export"), out,
                         QStringLiteral("--resources"), TemplateFolder(), QStringLiteral("--save"), saved};
        if (cutFirst) args << QStringLiteral("--cut");
        const ToolOutput o = RunHeadlessTool(args);
        Run r;
        if (o.exit == -1) return r;
        r.exit = o.exit;
        r.said = o.said;
        r.markers = o.printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        r.markers.sort();
        if (QFile::exists(out)) r.workbook = out;
        if (QFile::exists(saved)) r.drawing = saved;
        return r;
    }
    // Column C (the clearing distance) of the pair row `clearing` → `entering`; -1 when none.
    double clearingDistance(const QString& path, const QString& clearing, const QString& entering) {
        sheet::Worksheet& ws = readBack(path).worksheets(1);
        for (int row = 12; row < 80; ++row)
            if (ws.cells(row, 1).value().toString() == clearing &&
                ws.cells(row, 2).value().toString() == entering)
                return ws.cells(row, 3).value().number();
        return -1;
    }
    // The group matrix (worksheet 2, entering groups by row, clearing groups by column) as texts.
    QStringList matrix(const QString& path) {
        sheet::Worksheet& ws = readBack(path).worksheets(2);
        QStringList cells;
        for (int row = 8; row < 20; ++row)
            for (int column = 3; column < 15; ++column) cells << ws.cells(row, column).value().toString();
        return cells;
    }
};

}  // namespace conflictor::test
