// Formulas of any size: runs of a hundred thousand terms or signs are computed, printed and saved;
// parentheses and calls nest to the limit and are refused one level past it; names within names
// stop at the evaluation's bound. None may crash, in the sanitizer build either.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <QTemporaryDir>

using namespace sheet;

namespace {

constexpr int Long = 100000;

QString joined(const QString& term, int count, const QString& separator) {
    return QStringList(count, term).join(separator);
}

// `levels` wraps of `open`, `inner`, then the closing texts.
QString nested(const QString& open, const QString& inner, const QString& close, int levels) {
    return open.repeated(levels) + inner + close.repeated(levels);
}

// One level passes every precedence level, signs and "%" on its way to the next: the deepest the
// evaluation can be per level of nesting. N(1="12") is 0, whatever the level inside gives.
QString everyLevel(int levels) {
    return QLatin1Char('=') +
           nested(QStringLiteral("N(1=1&1+1*1^-"), QStringLiteral("1"), QStringLiteral("%)"), levels);
}

class SheetFormulaSize : public ::testing::Test {
protected:
    void SetUp() override {
        ws->range("A1").setValue(2.0);
        ws->range("A2").setValue(3.0);
    }
    Value set(const char* cell, const QString& formula) {
        ws->range(cell).setFormula(formula);
        return ws->range(cell).value();
    }
    Application app;
    Workbook* book = &app.workbooks().add();
    Worksheet* ws = &book->worksheets(1);
};

TEST_F(SheetFormulaSize, RunsOfAHundredThousandTermsOrSignsAreComputedPrintedAndSaved) {
    const QString sum = QLatin1Char('=') + joined(QStringLiteral("1"), Long, QStringLiteral("+"));
    EXPECT_EQ(set("B1", sum), Value(double(Long)));
    EXPECT_EQ(ws->range("B1").formula(), sum);
    EXPECT_EQ(ws->range("B1").formulaR1C1(), sum);
    // Both operators of a level in one run, left to right; comparisons likewise.
    EXPECT_EQ(set("B2", QStringLiteral("=A1") + QStringLiteral("*A2/A2").repeated(Long / 2)), Value(2.0));
    EXPECT_EQ(
        set("B3", QStringLiteral("=A1") + QStringLiteral("-A2+A2").repeated(Long / 2) + QStringLiteral("-1")),
        Value(1.0));
    EXPECT_EQ(set("B4", QStringLiteral("=1<2") + QStringLiteral("=TRUE").repeated(Long)), Value(true));
    EXPECT_EQ(ws->range("B4").formula(), QStringLiteral("=1<2") + QStringLiteral("=TRUE").repeated(Long));
    const QString text = QLatin1Char('=') + joined(QStringLiteral("\"ab\""), Long, QStringLiteral("&"));
    EXPECT_EQ(set("B5", text), Value(QStringLiteral("ab").repeated(Long)));
    EXPECT_EQ(set("B6", QStringLiteral("=\"x\"&1/0") + QStringLiteral("&\"y\"").repeated(Long)),
              Value(ErrorCode::Div0));
    // Signs apply in turn: an even run of minus signs gives the number back, an odd one its negative.
    const QString minus = QLatin1Char('=') + QString(Long, QLatin1Char('-')) + QStringLiteral("A1");
    EXPECT_EQ(set("C1", minus), Value(2.0));
    EXPECT_EQ(ws->range("C1").formula(), minus);
    EXPECT_EQ(set("C2", QLatin1Char('=') + QString(Long - 1, QLatin1Char('-')) + QStringLiteral("A1")),
              Value(-2.0));
    EXPECT_EQ(set("C3", QStringLiteral("=+-+A1")), Value(-2.0));
    EXPECT_EQ(set("C4", QStringLiteral("=--\"3\"")), Value(3.0));
    EXPECT_EQ(set("C5", QStringLiteral("=++\"3\"")), Value(QStringLiteral("3")));
    EXPECT_EQ(set("C6", QStringLiteral("=-+\"x\"")), Value(ErrorCode::Value));
    EXPECT_DOUBLE_EQ(set("C7", QStringLiteral("=A1%%%")).number(), 2e-6);
    EXPECT_EQ(ws->range("C7").formula(), QStringLiteral("=A1%%%"));
    EXPECT_EQ(set("C8", QStringLiteral("=-A1%")), Value(-0.02));  // "%" inside the sign, both before "^"
    EXPECT_EQ(set("C9", QStringLiteral("=-A1%^2>0")), Value(true));
    // Element by element: every operand of a run stretched over the area.
    EXPECT_EQ(set("D1", QStringLiteral("=SUMPRODUCT(A1:A2") + QStringLiteral("+1").repeated(Long) +
                            QStringLiteral(")")),
              Value(2.0 + 3.0 + 2.0 * Long));
    EXPECT_DOUBLE_EQ(set("D2", QStringLiteral("=SUMPRODUCT(---A1:A2%%,A1:A2)")).number(), -(4.0 + 9.0) / 1e4);
    EXPECT_EQ(set("D3", QStringLiteral("=SUMPRODUCT(+-+A1:A2*2-1,A1:A2^--A1:A2)")),
              Value(-5.0 * 4 - 7.0 * 27));
    EXPECT_EQ(set("D4", QStringLiteral("=SUMPRODUCT((A1:A2>2)*1+{1;2}*A1:A2)")), Value(0 + 2.0 + 1 + 6.0));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dlugie.xlsx"));
    book->saveAs(path);
    Application again;
    Worksheet& read = again.workbooks().open(path).worksheets(1);
    for (const char* cell : {"B1", "C1", "C7", "D1"}) {
        EXPECT_EQ(read.range(cell).formula(), ws->range(cell).formula()) << cell;
        EXPECT_EQ(read.range(cell).value(), ws->range(cell).value()) << cell;
        EXPECT_FALSE(read.cell(read.range(cell).row(), read.range(cell).column())->kept) << cell;
    }
}

TEST_F(SheetFormulaSize, NestingIsComputedToTheLimitAndRefusedOnePastIt) {
    ASSERT_EQ(MaxFormulaNesting, 200);
    struct Shape {
        QString open, close;
        Value result;
    };
    const std::vector<Shape> shapes{{QStringLiteral("ABS("), QStringLiteral(")"), Value(1.0)},
                                    {QStringLiteral("("), QStringLiteral(")"), Value(1.0)},
                                    {QStringLiteral("-(("), QStringLiteral("))"), Value(1.0)},
                                    {QStringLiteral("N(1=1&1+1*1^-"), QStringLiteral("%)"), Value(0.0)}};
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.open.toStdString());
        const int perLevel = int(s.open.count(QLatin1Char('(')));
        const QString atLimit =
            QLatin1Char('=') + nested(s.open, QStringLiteral("1"), s.close, MaxFormulaNesting / perLevel);
        EXPECT_EQ(set("B1", atLimit), s.result);
        EXPECT_EQ(ws->range("B1").formula(), atLimit);
        ws->range("B2").setFormulaR1C1(atLimit);
        EXPECT_EQ(ws->range("B2").formulaR1C1(), atLimit);
        for (const int levels : {MaxFormulaNesting + 1, Long}) {
            // One level more: refused, the message quoting the formula's beginning, the cell kept.
            const QString past = QLatin1Char('=') +
                                 QString(levels - MaxFormulaNesting / perLevel * perLevel, QLatin1Char('(')) +
                                 atLimit.mid(1) +
                                 QString(levels - MaxFormulaNesting / perLevel * perLevel, QLatin1Char(')'));
            try {
                ws->range("B1").setFormula(past);
                ADD_FAILURE() << "accepted " << levels << " levels";
            } catch (const FormulaError& e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("głębiej niż 200 poziomów")))
                    << e.message().toStdString();
                EXPECT_LT(e.message().size(), 200);
            }
            EXPECT_EQ(ws->range("B1").formula(), atLimit);
        }
    }
    // Element by element, every level on the way to the next.
    const QString grid = QStringLiteral("=SUMPRODUCT(") +
                         nested(QStringLiteral("(1=1&1+1*1^-"), QStringLiteral("A1:A2"), QStringLiteral("%)"),
                                MaxFormulaNesting - 1) +
                         QLatin1Char(')');
    EXPECT_EQ(set("B3", grid), Value(0.0));
    EXPECT_EQ(ws->range("B3").formula(), grid);
    // An array holds constants, never another array.
    EXPECT_THROW(ws->range("C1").setFormula(QStringLiteral("=SUM({{1}})")), FormulaError);
    EXPECT_THROW(ws->range("C1").setFormula(QStringLiteral("=SUM(") + QString(Long, QLatin1Char('{'))),
                 FormulaError);
}

// Names within names, each nested to the limit: the evaluation takes them while the path through them
// stays within its bound and gives #NAME? past it. A name of 200 parentheses is 201 nodes deep, the cell
// using it 1: ten such names and 37 parentheses more fill the bound of 2048 nodes, one more is past it.
TEST_F(SheetFormulaSize, NamesWithinNamesStopAtTheEvaluationBound) {
    auto chain = [&](const QString& prefix, int names, int lastParentheses) {
        for (int i = 1; i <= names; ++i) {
            const bool last = i == names;
            const int parentheses = last ? lastParentheses : MaxFormulaNesting;
            book->names().push_back(
                {prefix + QString::number(i),
                 -1,
                 nested(QStringLiteral("("), last ? QStringLiteral("$A$1") : prefix + QString::number(i + 1),
                        QStringLiteral(")"), parentheses),
                 {}});
        }
    };
    chain(QStringLiteral("Glebiej_"), 11, 36);
    chain(QStringLiteral("Zadaleko_"), 11, 37);
    chain(QStringLiteral("Bez_konca_"), 16, MaxFormulaNesting);
    EXPECT_EQ(set("B1", QStringLiteral("=Glebiej_1")), Value(2.0));
    EXPECT_EQ(set("B2", QStringLiteral("=Zadaleko_1")), Value(ErrorCode::Name));
    EXPECT_EQ(set("B3", QStringLiteral("=Bez_konca_1")), Value(ErrorCode::Name));
    EXPECT_EQ(set("B4", everyLevel(MaxFormulaNesting - 1)
                            .replace(QStringLiteral("^-1%"), QStringLiteral("^-Bez_konca_1%"))),
              Value(ErrorCode::Name));
    EXPECT_EQ(set("B5", QStringLiteral("=INDIRECT(\"Zadaleko_1\")")), Value(ErrorCode::Ref));
    EXPECT_EQ(set("B6", QStringLiteral("=INDIRECT(\"Glebiej_2\")")), Value(2.0));
}

}  // namespace
