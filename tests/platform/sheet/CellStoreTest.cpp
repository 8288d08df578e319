// The row-paged cell store against an ordered map doing the same, and the worksheet paths that
// move cells in bulk (column insertion, sorting, saving and reading) on sheets of many rows.
#include "platform/sheet/Application.h"
#include "platform/sheet/CellStore.h"
#include "platform/sheet/Constants.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>
#include <map>
#include <random>

using namespace sheet;

namespace {

using Model = std::map<std::pair<int, int>, double>;

Model contents(CellStore& store) {
    Model m;
    store.forEach([&](int r, int c, Cell& cell) {
        EXPECT_TRUE(m.emplace(std::pair(r, c), cell.value.number()).second) << r << "," << c;
        // The walk goes in row and column order.
        EXPECT_TRUE(std::prev(m.end())->first == std::pair(r, c));
    });
    return m;
}

TEST(SheetCellStore, FollowsAnOrderedMapThroughRandomChanges) {
    CellStore store;
    Model model;
    std::mt19937 rng(24);
    // Rows across several pages, the sheet's last row and column among them.
    auto anyRow = [&] {
        const int pick = int(rng() % 10);
        return pick == 0 ? MaxRows : pick == 1 ? int(rng() % 3) + 255 : int(rng() % 2000) + 1;
    };
    auto anyColumn = [&] { return rng() % 8 == 0 ? MaxColumns : int(rng() % 30) + 1; };
    for (int step = 0; step < 40000; ++step) {
        const int r = anyRow(), c = anyColumn();
        switch (rng() % 4) {
            case 0:
            case 1: {
                const double v = double(step);
                store.ensure(r, c).value = Value(v);
                model[{r, c}] = v;
                break;
            }
            case 2:
                store.erase(r, c);
                model.erase({r, c});
                break;
            case 3: {
                const Cell* found = store.find(r, c);
                auto it = model.find({r, c});
                ASSERT_EQ(found != nullptr, it != model.end()) << r << "," << c;
                if (found) {
                    EXPECT_EQ(found->value, Value(it->second));
                }
                break;
            }
        }
    }
    ASSERT_EQ(store.size(), model.size());
    EXPECT_EQ(contents(store), model);

    // A rectangle walk sees exactly the stored cells inside it, in order.
    for (const Rect& rect : {Rect{250, 3, 260, 9}, Rect{1, 30, MaxRows, MaxColumns}, Rect{1, 1, 1, 1},
                             Rect{MaxRows, 1, MaxRows, MaxColumns}, Rect{3000, 1, 5000, 30}}) {
        Model inside, seen;
        for (const auto& [at, v] : model)
            if (rect.contains(at.first, at.second)) inside[at] = v;
        store.forEachIn(rect, [&](int r, int c, Cell& cell) {
            if (!seen.empty()) {
                EXPECT_LT(std::prev(seen.end())->first, std::pair(r, c));
            }
            seen[{r, c}] = cell.value.number();
        });
        EXPECT_EQ(seen, inside) << rectAddress(rect).toStdString();
    }

    // Taking a band of columns out of rows and putting it back elsewhere keeps the rest in place.
    for (int r = 1; r <= 2000; ++r) {
        CellStore::Row band = store.takeColumns(r, 5, 12);
        for (CellStore::Entry& e : band) {
            ASSERT_TRUE(e.column >= 5 && e.column <= 12);
            ASSERT_EQ(model.erase({r, e.column}), 1u);
        }
        // The band goes back between cells of its new row.
        for (int c : {3, 25}) {
            store.ensure(r + 4000, c).value = Value(double(-c));
            model[{r + 4000, c}] = double(-c);
        }
        for (const CellStore::Entry& e : band) model[{r + 4000, e.column}] = e.cell.value.number();
        store.putColumns(r + 4000, std::move(band));
    }
    ASSERT_EQ(store.size(), model.size());
    EXPECT_EQ(contents(store), model);

    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_EQ(store.find(MaxRows, MaxColumns), nullptr);
}

TEST(SheetCellStore, InsertingColumnsShiftsEveryRowAndCopiesTheLeftFormat) {
    CellStore store;
    for (int r = 1; r <= 1000; ++r)
        for (int c = 1; c <= 6; ++c) {
            Cell& cell = store.ensure(r, c);
            cell.value = Value(double(r * 100 + c));
            if (c == 2 && r % 3 == 0) cell.xf = 7;
        }
    store.ensure(600, MaxColumns - 1).xf = 0;  // blank: falls off the sheet
    store.insertColumns(3, 2, MaxColumns);
    EXPECT_EQ(store.find(600, MaxColumns - 1), nullptr);
    EXPECT_EQ(store.find(600, MaxColumns), nullptr);
    for (int r = 1; r <= 1000; ++r) {
        for (int c = 1; c <= 6; ++c) {
            const Cell* cell = store.find(r, c >= 3 ? c + 2 : c);
            ASSERT_NE(cell, nullptr) << r << "," << c;
            EXPECT_EQ(cell->value, Value(double(r * 100 + c)));
        }
        for (int c = 3; c <= 4; ++c) {
            const Cell* made = store.find(r, c);
            if (r % 3 == 0) {
                ASSERT_NE(made, nullptr);
                EXPECT_EQ(made->xf, 7);
                EXPECT_TRUE(made->value.isEmpty());
            } else {
                EXPECT_EQ(made, nullptr);
            }
        }
    }
    EXPECT_EQ(store.size(), size_t(1000 * 6 + 2 * 333));
}

// A sheet of many pair rows shaped as the intergreen export fills them: names, constants,
// formulas reading a block of stream rows below, and formulas within the row.
constexpr int Pairs = 3000, Streams = 40;
constexpr int FirstStream = 12 + Pairs + 2;

void fillPairs(Worksheet& ws) {
    ws.range("X9").setValue(3.0);
    for (int s = 0; s < Streams; ++s) {
        const int r = FirstStream + s;
        ws.cells(r, 17).setValue(QStringLiteral("K%1").arg(s + 1));
        for (int c = 18; c <= 21; ++c) ws.cells(r, c).setValue(double(s * 10 + c));
    }
    for (int i = 0; i < Pairs; ++i) {
        const int r = 12 + i, r1 = FirstStream + (i * 7 + 3) % Streams;
        ws.cells(r, 1).setValue(QStringLiteral("K%1").arg((i * 13) % 97 + 1));
        ws.cells(r, 2).setValue(QStringLiteral("K%1").arg(i % 5 + 1));
        ws.cells(r, 3).setValue(double(i));
        ws.cells(r, 4).setFormulaR1C1(QStringLiteral("=R%1C18").arg(r1));
        ws.cells(r, 5).setFormulaR1C1(QStringLiteral("=R[]C[-2]*2+R[]C[-1]+R9C24"));
        ws.cells(r, 6).setFormulaR1C1(QStringLiteral("=SUM(R[]C[-3]:R[]C[-1])"));
        ws.cells(r, 16).setValue(QStringLiteral("x%1").arg(i));  // outside the sorted block
    }
}

// The values row i of the pair block must show, wherever it stands.
double streamValue(int i) {
    return double(((i * 7 + 3) % Streams) * 10 + 18);
}

TEST(SheetManyCells, InsertedColumnShiftsFormulasOfEveryRowAndTheGraphFollows) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& ws = b.worksheets(1);
    fillPairs(ws);
    ws.insertColumns(2, 1);
    for (int i = 0; i < Pairs; ++i) {
        const int r = 12 + i;
        ASSERT_EQ(ws.cells(r, 4).value(), Value(double(i))) << r;
        const double d = streamValue(i);
        EXPECT_EQ(ws.cells(r, 5).formula(),
                  QStringLiteral("=$S$%1").arg(FirstStream + (i * 7 + 3) % Streams));
        EXPECT_EQ(ws.cells(r, 5).value(), Value(d));
        EXPECT_EQ(ws.cells(r, 6).formula(), QStringLiteral("=D%1*2+E%1+$Y$9").arg(r));
        EXPECT_EQ(ws.cells(r, 7).value(), Value(double(i) + d + (2 * i + d + 3)));
        EXPECT_EQ(ws.cells(r, 17).value(), Value(QStringLiteral("x%1").arg(i)));
        EXPECT_TRUE(ws.cells(r, 2).value().isEmpty());
    }
    // A changed input reaches its formulas through the rebuilt graph.
    ws.range("Y9").setValue(10.0);
    EXPECT_EQ(ws.cells(12, 6).value(), Value(0 + streamValue(0) + 10));
    ws.cells(FirstStream + 3, 19).setValue(1000.0);  // read by row 0
    EXPECT_EQ(ws.cells(12, 5).value(), Value(1000.0));
    EXPECT_EQ(ws.cells(12, 7).value(), Value(0 + 1000.0 + (1000.0 + 10)));
    EXPECT_EQ(ws.usedRect(), (Rect{9, 1, FirstStream + Streams - 1, 25}));
}

TEST(SheetManyCells, SortMovesRowsWithTheirFormulasAndLeavesOtherColumns) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& ws = b.worksheets(1);
    fillPairs(ws);
    const int cells = ws.cellCount();
    ws.range(QStringLiteral("A12:O%1").arg(11 + Pairs)).select();
    app.run(QStringLiteral("Sortowanie"));
    EXPECT_EQ(ws.cellCount(), cells);
    std::vector<bool> seen(Pairs, false);
    for (int r = 12; r < 12 + Pairs; ++r) {
        // Column C still names the row's origin; the row's formulas came along with it.
        const int i = int(ws.cells(r, 3).value().number());
        ASSERT_TRUE(i >= 0 && i < Pairs && !seen[size_t(i)]) << r;
        seen[size_t(i)] = true;
        EXPECT_EQ(ws.cells(r, 1).value(), Value(QStringLiteral("K%1").arg((i * 13) % 97 + 1)));
        EXPECT_EQ(ws.cells(r, 4).value(), Value(streamValue(i)));
        EXPECT_EQ(ws.cells(r, 5).formula(), QStringLiteral("=C%1*2+D%1+$X$9").arg(r));
        EXPECT_EQ(ws.cells(r, 6).value(), Value(double(i) + streamValue(i) + (2 * i + streamValue(i) + 3)));
        // Column P lies outside the selection: it stays in row order.
        EXPECT_EQ(ws.cells(r, 16).value(), Value(QStringLiteral("x%1").arg(r - 12)));
        if (r > 12) {
            const int a = ws.cells(r - 1, 1).value().text().mid(1).toInt(),
                      c = ws.cells(r, 1).value().text().mid(1).toInt();
            EXPECT_LE(a, c) << r;
        }
    }
    // The graph is rebuilt for the sorted rows.
    ws.range("X9").setValue(0.0);
    const int i = int(ws.cells(12, 3).value().number());
    EXPECT_EQ(ws.cells(12, 6).value(), Value(double(i) + streamValue(i) + (2 * i + streamValue(i))));
}

TEST(SheetManyCells, SortOfMiddleColumnsKeepsTheCellsOnBothSides) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& ws = b.worksheets(1);
    constexpr int Rows = 600;
    for (int r = 1; r <= Rows; ++r) {
        ws.cells(r, 1).setValue(QStringLiteral("w%1").arg(r));
        ws.cells(r, 2).setValue(double((r * 37) % Rows));
        ws.cells(r, 3).setFormulaR1C1(QStringLiteral("=R[]C[-1]*2+R[]C[3]"));
        ws.cells(r, 6).setValue(1000.0 * r);
    }
    ws.range(QStringLiteral("B1:C%1").arg(Rows)).select();
    app.run(QStringLiteral("Sortowanie"));
    for (int r = 1; r <= Rows; ++r) {
        EXPECT_EQ(ws.cells(r, 1).value(), Value(QStringLiteral("w%1").arg(r)));
        EXPECT_EQ(ws.cells(r, 2).value(), Value(double(r - 1)));
        // The formula moved with its row and reads the column F of its new row.
        EXPECT_EQ(ws.cells(r, 3).value(), Value(2.0 * (r - 1) + 1000.0 * r)) << r;
        EXPECT_EQ(ws.cells(r, 6).value(), Value(1000.0 * r));
    }
    EXPECT_EQ(ws.cellCount(), 4 * Rows);
}

TEST(SheetFullCalculation, OrdersChainsAcrossRowsAndSheetsAndMarksCycles) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s1 = b.worksheets(1);
    Worksheet& s2 = b.worksheets(2);
    // A chain running upwards through 5,000 rows: each formula reads the row below it.
    constexpr int Chain = 5000;
    s1.cells(Chain + 1, 1).setValue(1.0);
    for (int r = Chain; r >= 1; --r) s1.cells(r, 1).setFormulaR1C1(QStringLiteral("=R[1]C+1"));
    // Across sheets and back: Arkusz2!A1 reads Arkusz1!A1, Arkusz1!B1 reads Arkusz2!A1.
    s2.range("A1").setFormula(QStringLiteral("=Arkusz1!A1*2"));
    s1.range("B1").setFormula(QStringLiteral("=Arkusz2!A1+1"));
    // A cycle, a formula reading it, and one the cycle reads.
    s1.range("D1").setValue(7.0);
    s1.range("D2").setFormula(QStringLiteral("=D1*3"));
    s1.range("E1").setFormula(QStringLiteral("=F1+D2"));
    s1.range("F1").setFormula(QStringLiteral("=E1"));
    s1.range("G1").setFormula(QStringLiteral("=SUM(E1:F1)"));
    s1.range("H1").setFormula(QStringLiteral("=H1"));
    // Inputs changed behind the graph's back: the full calculation alone brings the values back.
    s1.cell(Chain + 1, 1)->value = Value(10.0);
    s1.cell(1, 1)->value = Value(-1.0);
    s1.cell(2, 4)->value = Value(-1.0);
    b.calculate();
    EXPECT_EQ(s1.range("A1").value(), Value(10.0 + Chain));
    EXPECT_EQ(s2.range("A1").value(), Value(2.0 * (10 + Chain)));
    EXPECT_EQ(s1.range("B1").value(), Value(2.0 * (10 + Chain) + 1));
    EXPECT_EQ(s1.range("D2").value(), Value(21.0));
    for (const char* cycle : {"E1", "F1", "G1", "H1"})
        EXPECT_EQ(s1.range(QString::fromLatin1(cycle)).value(), Value(ErrorCode::Ref)) << cycle;
    // Breaking the cycle recovers every formula that read it.
    s1.range("F1").setValue(2.0);
    EXPECT_EQ(s1.range("E1").value(), Value(23.0));
    EXPECT_EQ(s1.range("G1").value(), Value(25.0));
    b.calculate();
    EXPECT_EQ(s1.range("G1").value(), Value(25.0));
    EXPECT_EQ(s1.range("H1").value(), Value(ErrorCode::Ref));
}

TEST(SheetManyCells, SavedAndReadBackCellByCell) {
    QTemporaryDir dir;
    const QString file = dir.filePath("many.xlsx");
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& ws = b.worksheets(1);
    fillPairs(ws);
    ws.range("C20:C40").font().setBold(true);
    ws.range("B5000").setValue(QStringLiteral("far"));  // rows after a gap of unused pages
    ws.cells(70000, 3).setFormula(QStringLiteral("=C12+1"));
    b.saveAs(file);

    Application app2;
    Workbook& again = app2.workbooks().open(file);
    Worksheet& rs = again.worksheets(1);
    ASSERT_EQ(rs.cellCount(), ws.cellCount());
    int compared = 0;
    ws.forEachCell([&](int r, int c, Cell& cell) {
        const Cell* read = rs.cell(r, c);
        ASSERT_NE(read, nullptr) << r << "," << c;
        EXPECT_EQ(read->value, cell.value) << r << "," << c;
        EXPECT_EQ(rs.cells(r, c).formula(), ws.cells(r, c).formula());
        EXPECT_EQ(again.format(read->xf).bold, b.format(cell.xf).bold);
        ++compared;
    });
    EXPECT_EQ(compared, ws.cellCount());
    EXPECT_EQ(rs.cells(70000, 3).value(), Value(1.0));
    EXPECT_EQ(rs.usedRect(), ws.usedRect());
    // An independent reader sees the same cells.
    int inBlock = 0;
    ws.forEachCell(Rect{1, 1, 3100, 30}, [&](int, int, Cell&) { ++inBlock; });
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import openpyxl, sys\n"
                             "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                             "n = sum(1 for row in ws.iter_rows(min_row=1, max_row=3100, max_col=30)"
                             " for c in row if c.value is not None)\n"
                             "print(n, ws['E12'].value, ws['C70000'].value, ws['B5000'].value)\n"),
              file});
    ASSERT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
              QStringLiteral("%1 =C12*2+D12+$X$9 =C12+1 far").arg(inBlock))
        << py.readAllStandardError().toStdString();
    // The read sheet computes as the written one did.
    rs.range("X9").setValue(5.0);
    EXPECT_EQ(rs.cells(12, 5).value(), Value(0 + streamValue(0) + 5));
}

}  // namespace
