// xlsxcalc IN.xlsx [OUT.xlsx]: opens a workbook, recalculates every formula with the suite's
// engine, prints each non-empty cell as "sheet-index<TAB>A1-address<TAB>value" and optionally
// saves the workbook. A developer's check of the engine against other spreadsheets. Cells whose
// formula the engine cannot compute keep the file's value: their lines end in "nie przeliczono"
// and they are listed on the error output, each formula the engine could not read with the reason
// (nested past its limit, a stray character). Cells on a circular reference (or reading one) hold
// #REF!: their lines end in "odwołanie cykliczne" and they are listed there too. A cell holding what
// no spreadsheet holds (a number out of range, an unknown error value) fails the whole run, named.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const QStringList args = qapp.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "Użycie: xlsxcalc PLIK.xlsx [WYNIK.xlsx]\n");
        return 2;
    }
    try {
        sheet::Application app;
        sheet::Workbook& book = app.workbooks().open(args[1]);
        book.calculate();
        QByteArray out;
        QStringList stale, circular, unreadable;
        for (int i = 1; i <= book.worksheetCount(); ++i) {
            sheet::Worksheet& ws = book.worksheets(i);
            ws.forEachCell([&](int row, int col, sheet::Cell& c) {
                if (c.value.isEmpty() && !c.kept) return;
                out += QByteArray::number(i) + '\t' + sheet::cellAddress(row, col).toUtf8() + '\t' +
                       c.value.toString().toUtf8();
                if (c.kept && !c.formula) {
                    out += "\tnie przeliczono";
                    const QString where = ws.name() + QLatin1Char('!') + sheet::cellAddress(row, col);
                    stale << where;
                    if (!c.kept->unreadable.isEmpty())
                        unreadable << where + QStringLiteral(": ") + c.kept->unreadable;
                } else if (c.formula && c.circular) {
                    out += "\todwołanie cykliczne";
                    circular << ws.name() + QLatin1Char('!') + sheet::cellAddress(row, col);
                }
                out += '\n';
            });
        }
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        if (!stale.isEmpty())
            std::fprintf(stderr, "xlsxcalc: nie przeliczono %lld komórek (wartości z pliku): %s\n",
                         static_cast<long long>(stale.size()),
                         stale.join(QStringLiteral(", ")).toUtf8().constData());
        for (const QString& line : unreadable)
            std::fprintf(stderr, "xlsxcalc: %s\n", line.toUtf8().constData());
        if (!circular.isEmpty())
            std::fprintf(stderr, "xlsxcalc: odwołanie cykliczne w %lld komórkach (#REF!): %s\n",
                         static_cast<long long>(circular.size()),
                         circular.join(QStringLiteral(", ")).toUtf8().constData());
        if (args.size() == 3) book.saveAs(args[2]);
    } catch (const sheet::Error& e) {
        std::fprintf(stderr, "xlsxcalc: %s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
