// libFuzzer entry for the formula parser and evaluator: any text must parse or throw
// sheet::FormulaError; a parsed formula must print in both notations and evaluate in a cell.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Formula.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sheet::Application app;
    static sheet::Workbook& book = app.workbooks().add();
    if (size < 1) return 0;
    const bool r1c1 = data[0] & 1;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    sheet::Worksheet& ws = book.worksheets(1);
    try {
        auto f = sheet::parseFormula(text, r1c1 ? sheet::Notation::R1C1 : sheet::Notation::A1, 5, 5,
                                     [](const QString& name) { return book.findWorksheet(name); });
        (void)f->toA1(5, 5);
        (void)f->toR1C1();
        ws.range(QStringLiteral("E5")).setFormula(QLatin1Char('=') + f->toA1(5, 5));
    } catch (const sheet::Error&) {
    }
    return 0;
}
