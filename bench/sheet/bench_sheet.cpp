// Fills 2,000 pair rows of 15 cells the way the intergreen export does (R1C1 formulas on the
// row's own cells, stream rows and parameter cells, each computed at once and read back), then
// saves the workbook. Prints the time of each phase.
#include "platform/sheet/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const int pairs = 2000, streams = 40;
    sheet::Application app;
    sheet::Workbook& book = app.workbooks().add();
    sheet::Worksheet& ws = book.worksheets(1);
    QElapsedTimer t;
    t.start();
    ws.range("X9").setValue(3.0);
    ws.range("X10").setValue(2.5);
    for (int s = 0; s < streams; ++s) {
        const int r = 24 + s;
        ws.cells(r, 17).setValue(QStringLiteral("K%1").arg(s + 1));
        for (int c = 18; c <= 23; ++c) ws.cells(r, c).setValue(8.0 + (s + c) % 7);
    }
    long long sum = 0;
    for (int i = 0; i < pairs; ++i) {
        const int r = 12 + i, r1 = 24 + i % streams, r2 = 24 + (i * 7 + 3) % streams;
        const QString row = QString::number(r);
        auto at = [&](const char* col) { return ws.range(QLatin1String(col) + row); };
        at("A").setValue(QStringLiteral("K%1").arg(i % streams + 1));
        at("C").setFormulaR1C1(QStringLiteral("=12.4+3.1"));
        at("B").setValue(QStringLiteral("K%1").arg((i * 7 + 3) % streams + 1));
        at("G").setFormulaR1C1(QStringLiteral("=20.5"));
        at("D").setFormulaR1C1(QStringLiteral("=R%1C18").arg(r1));
        at("E").setFormulaR1C1(QStringLiteral("=R%1C21").arg(r1));
        at("F").activate();
        at("F").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-3]:R[]C[-2])/R[]C[-1]"));
        at("H").setFormulaR1C1(QStringLiteral("=R%1C19").arg(r2));
        at("I").activate();
        at("I").setFormulaR1C1(QStringLiteral("=R[]C[-2]/R[]C[-1]+1"));
        at("J").activate();
        at("J").setFormulaR1C1(QStringLiteral("=SQRT(2*(R[]C[-3]+1.5)/R[]C[+4])"));
        at("K").setFormulaR1C1(QStringLiteral("=R9C24"));
        at("L").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-6],R[]C[-1],-R[]C[-3])"));
        at("M").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-7],R[]C[-2],-R[]C[-3])"));
        at("N").setFormulaR1C1(QStringLiteral("=R%1C23").arg(r2));
        at("O").setFormulaR1C1(QStringLiteral("=ROUNDUP(R[]C[-3],0)"));
        sum += qint64(at("O").value().number());
    }
    const qint64 fill = t.elapsed();
    ws.range(QStringLiteral("A12:O%1").arg(11 + pairs)).select();
    app.run(QStringLiteral("Sortowanie"));
    const qint64 sort = t.elapsed() - fill;
    const QString out = QDir::temp().filePath(QStringLiteral("bench_sheet.xlsx"));
    book.saveAs(out);
    const qint64 total = t.elapsed();
    std::printf("pair rows: %d (%d formula cells), checksum %lld\n", pairs, pairs * 13, sum);
    std::printf("fill and recompute: %lld ms\nsort macro: %lld ms\nsave: %lld ms\ntotal: %lld ms\n", fill,
                sort, total - fill - sort, total);
    QFile::remove(out);
    return 0;
}
