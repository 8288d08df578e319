// The export fixture with the drawing run through conflictor-headless: saved as it stands, cut (or
// not) and exported by the tool, the workbook read back.
#pragma once

#include "tests/conflictor/export/ExportFixture.h"

#include <QFile>
#include <QProcess>

namespace conflictor::test {

class HeadlessRun : public ExportFixture {
protected:
    struct Run {
        int exit = -1;
        QString said;      // everything the tool printed on stderr
        QString workbook;  // the written workbook, empty when none
    };
    // Saves the drawing and runs the tool on it: cut (unless `cutFirst` is false), then export.
    Run runTool(const QString& name, bool cutFirst = true) {
        const QString in = dir.filePath(name + QStringLiteral(".dxf"));
        const QString out = dir.filePath(name + QStringLiteral(".xlsx"));
        doc().saveAs(in);
        QStringList args{in, QStringLiteral("--intersection"), IntersectionNumber, QStringLiteral("--export"), out,
                         QStringLiteral("--resources"), TemplateFolder()};
        if (cutFirst) args << QStringLiteral("--cut");
        QProcess p;
        p.start(QStringLiteral(HEADLESS_TOOL), args);
        Run r;
        if (!p.waitForFinished(120000)) {
            ADD_FAILURE() << "the tool did not finish";
            return r;
        }
        r.exit = p.exitCode();
        r.said = QString::fromUtf8(p.readAllStandardError());
        if (QFile::exists(out)) r.workbook = out;
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
