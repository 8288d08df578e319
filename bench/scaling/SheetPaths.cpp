// Paths of the workbook engine: filling the intergreen pair rows (each formula computed at once and
// read back), recomputing the whole workbook, the sorting macro and inserting a column.
#include "Scaling.h"
#include "platform/sheet/Application.h"

namespace scaling {

namespace {

constexpr int Streams = 40;

// Fills `pairs` pair rows of 15 cells as the export does; returns the seconds it took.
double fill(sheet::Worksheet& ws, int pairs) {
    const double t = now();
    ws.range(QStringLiteral("X9")).setValue(3.0);
    ws.range(QStringLiteral("X10")).setValue(2.5);
    for (int s = 0; s < Streams; ++s) {
        const int r = 12 + pairs + 2 + s;
        ws.cells(r, 17).setValue(QStringLiteral("K%1").arg(s + 1));
        for (int c = 18; c <= 23; ++c) ws.cells(r, c).setValue(8.0 + (s + c) % 7);
    }
    const int first = 12 + pairs + 2;
    for (int i = 0; i < pairs; ++i) {
        const int r = 12 + i, r1 = first + i % Streams, r2 = first + (i * 7 + 3) % Streams;
        const QString row = QString::number(r);
        auto at = [&](const char* col) { return ws.range(QLatin1String(col) + row); };
        at("A").setValue(QStringLiteral("K%1").arg(i % Streams + 1));
        at("B").setValue(QStringLiteral("K%1").arg((i * 7 + 3) % Streams + 1));
        at("C").setFormulaR1C1(QStringLiteral("=12.4+3.1"));
        at("G").setFormulaR1C1(QStringLiteral("=20.5"));
        at("D").setFormulaR1C1(QStringLiteral("=R%1C18").arg(r1));
        at("E").setFormulaR1C1(QStringLiteral("=R%1C21").arg(r1));
        at("F").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-3]:R[]C[-2])/R[]C[-1]"));
        at("H").setFormulaR1C1(QStringLiteral("=R%1C19").arg(r2));
        at("I").setFormulaR1C1(QStringLiteral("=R[]C[-2]/R[]C[-1]+1"));
        at("J").setFormulaR1C1(QStringLiteral("=SQRT(2*(R[]C[-3]+1.5)/R[]C[+4])"));
        at("K").setFormulaR1C1(QStringLiteral("=R9C24"));
        at("L").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-6],R[]C[-1],-R[]C[-3])"));
        at("M").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-7],R[]C[-2],-R[]C[-3])"));
        at("N").setFormulaR1C1(QStringLiteral("=R%1C23").arg(r2));
        at("O").setFormulaR1C1(QStringLiteral("=ROUNDUP(R[]C[-3],0)"));
        (void)at("O").value();
    }
    return now() - t;
}

enum class Step { Fill, Calculate, Sort, Insert };

double workbook(int pairs, Step step) {
    sheet::Application app;
    sheet::Workbook& book = app.workbooks().add();
    sheet::Worksheet& ws = book.worksheets(1);
    const double filled = fill(ws, pairs);
    if (step == Step::Fill) return filled;
    double t = now();
    switch (step) {
        case Step::Calculate:
            book.calculate();
            break;
        case Step::Sort:
            ws.range(QStringLiteral("A12:O%1").arg(11 + pairs)).select();
            app.run(QStringLiteral("Sortowanie"));
            break;
        case Step::Insert:
            ws.insertColumns(3, 1);
            break;
        case Step::Fill:
            break;
    }
    return now() - t;
}

}  // namespace

std::vector<Path> sheetPaths() {
    return {
        {QStringLiteral("workbook_fill"), 500, [](int n) { return workbook(n, Step::Fill); }},
        {QStringLiteral("workbook_calculate"), 500, [](int n) { return workbook(n, Step::Calculate); }},
        {QStringLiteral("workbook_sort"), 500, [](int n) { return workbook(n, Step::Sort); }},
        {QStringLiteral("workbook_insert"), 500, [](int n) { return workbook(n, Step::Insert); }},
    };
}

}  // namespace scaling
