// Worksheet 2 of the intergreen workbook: the group matrix with its labels and frames, the per-group
// table, the phase lists and sets, the copy of the matrix and the table of pedestrian crossings.
#include "automation/Automation.h"
#include "automation/CrossingLinks.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Constants.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace conflictor {

namespace {

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// The whole number of a value as the workbook's numbers are converted: halves go to the even number.
int wholeNumberEven(double value) {
    return int(std::nearbyint(value));
}

void edges(const sheet::Range& r, int weight, std::initializer_list<int> which) {
    for (int index : which) r.borders(index).setWeight(weight);
}

void insideHorizontalThin(const sheet::Range& r) {
    r.borders(sheet::xlInsideHorizontal).setLineStyle(sheet::xlContinuous);
    r.borders(sheet::xlInsideHorizontal).setWeight(sheet::xlThin);
}

void writeCrossingTable(sheet::Worksheet& ws, int n) {
    const QList<automation::CrossingLinkRecord>& links = automation::CrossingLinkTable;
    if (links.isEmpty()) return;
    const int R = 9 + n, K = 4 + n;
    const int last = int(links.size()) - 1;
    ws.cells(R, K).setValue(T("Przejścia - powiązania strumieni pieszych i rowerowych"));
    ws.cells(R, K).setHorizontalAlignment(sheet::xlLeft);
    ws.range(ws.cells(R + 1, K), ws.cells(R + 1, K + 5)).setWrapText(true);
    for (int k = 0; k <= 6; ++k) ws.range(ws.cells(R + 1, K + k), ws.cells(R + 2, K + k)).merge();
    const struct {
        double width;
        const char* header;
    } columns[] = {{3, "Lp."},
                   {-1, "Przejście - powiązane strumienie"},
                   {12.5, "Suma dłg. przejść (m)"},
                   {12.5, "Dług. wyspy (m)"},
                   {12.5, "Dług. przejścia całkowita (m)"},
                   {12.5, "Czas minimalny (s)"},
                   {11.5, "Przyjęto (s)"}};
    for (int k = 0; k <= 6; ++k) {
        if (columns[k].width > 0) ws.cells(R + 1, K + k).setColumnWidth(columns[k].width);
        ws.cells(R + 1, K + k).setValue(T(columns[k].header));
    }
    for (int k = 0; k <= last; ++k) {
        const automation::CrossingLinkRecord& link = links[k];
        const int row = R + 3 + k;
        ws.cells(row, K).setValue(QString::number(k + 1));
        ws.cells(row, K + 1).setValue(link.InnerStreams + QStringLiteral(",") + link.OuterStreams);
        ws.cells(row, K + 2).setValue(link.CrossingLength);
        ws.cells(row, K + 3).setValue(link.IslandLength);
        ws.cells(row, K + 4).setValue(link.TotalLength);
        const double speed = link.InnerStreams.toUpper().startsWith(QLatin1Char('P')) ? 1.4 : 2.8;
        const double time = common::ParseDouble(link.TotalLength) / speed;
        ws.cells(row, K + 5).setValue(common::FormatNumberWithDot(time, QStringLiteral("#######0.00")));
        ws.cells(row, K + 6).setValue(wholeNumberEven(time + 0.5));
    }
    ws.range(ws.cells(R + 1, K), ws.cells(R + 2, K + 6)).borders().setWeight(sheet::xlMedium);
    sheet::Range body = ws.range(ws.cells(R + 3, K), ws.cells(R + 3 + last, K + 6));
    body.borders().setWeight(sheet::xlMedium);
    insideHorizontalThin(body);
}

}  // namespace

void WriteGroupPhaseLists(sheet::Worksheet& ws, int FirstRow, int Column, int clearRows, int clearColumns) {
    ws.range(ws.cells(FirstRow, Column), ws.cells(FirstRow + clearRows, Column + clearColumns))
        .clearContents();
    std::vector<int> written;
    for (const StreamRecord& s : StreamTable) {
        if (s.Phases.isEmpty() || s.Group < 1) continue;
        if (std::find(written.begin(), written.end(), s.Group) != written.end()) continue;
        written.push_back(s.Group);
        ws.cells(FirstRow - 1 + s.Group, Column).setValue(s.Phases);
    }
}

void WriteGroupMatrixSheet(sheet::Application& app, sheet::Workbook& book, const IntergreenData& data) {
    (void)app;
    sheet::Worksheet& ws = book.worksheets(2);
    ws.activate();
    const int n = data.n;
    if (data.MatrixInverted) {
        ws.cells(6, 2).setValue(T("Dojazd"));
        ws.cells(7, 1).setValue(T("Ewakuacja"));
    }
    int C = 15;
    if (n > 12) {
        for (int i = 0; i < n - 11; ++i)
            ws.range(QStringLiteral("N6")).entireColumn().insert(sheet::xlShiftToRight);
        C = n + 4;
    }
    for (int g = 1; g <= n; ++g) {
        QCoreApplication::processEvents();
        const QString names = data.GroupStreamNames.value(g);
        ws.cells(7, 2 + g).setValue(g);
        ws.cells(7 + g, 2).setValue(g);
        ws.cells(6, 2 + g).setValue(names);
        ws.cells(7 + g, 1).setValue(names);
        ws.cells(7 + g, C).setValue(g);
        ws.cells(7 + g, C + 1).setValue(names);
        const GroupClearanceRecord& clearance = data.GroupClearance[size_t(g)];
        if (clearance.Distance > 0) {
            ws.cells(7 + g, C + 2).setValue(clearance.Distance);
            ws.cells(7 + g, C + 3).setValue(clearance.Time);
            ws.cells(7 + g, C + 4).setValue(wholeNumberEven(clearance.Time + 0.5));
        }
        ws.cells(7 + g, 2 + g).setValue(QStringLiteral("X"));
    }
    sheet::Range names = ws.range(ws.cells(6, 3), ws.cells(6, 2 + n));
    names.setOrientation(90);
    names.setShrinkToFit(true);
    sheet::Range rowNames = ws.range(ws.cells(8, 1), ws.cells(7 + n, 1));
    rowNames.setHorizontalAlignment(sheet::xlLeft);
    rowNames.setShrinkToFit(true);

    WriteGroupPhaseLists(ws, 8, C + 5);

    for (int i = 1; i <= n; ++i) {
        QCoreApplication::processEvents();
        for (int j = 1; j <= n; ++j) {
            const int value = data.MatrixInverted ? data.GroupMatrix[size_t(j)][size_t(i)]
                                                  : data.GroupMatrix[size_t(i)][size_t(j)];
            if (value > -111) ws.cells(7 + i, 2 + j).setValue(std::max(value, 0));
            if ((i % 2) + (j % 2) == 1) ws.cells(7 + i, 2 + j).interior().setColorIndex(15);
        }
    }

    using namespace sheet;
    Range frame = ws.range(ws.cells(7, 2), ws.cells(7 + n, 2 + n));
    frame.borders().setLineStyle(xlContinuous);
    frame.borders().setWeight(xlThin);
    edges(frame, xlMedium, {xlEdgeTop, xlEdgeLeft, xlEdgeBottom, xlEdgeRight});
    frame.font().setBold(true);
    edges(ws.range(ws.cells(8, 3), ws.cells(7 + n, 2 + n)), xlMedium,
          {xlEdgeTop, xlEdgeLeft, xlEdgeBottom, xlEdgeRight});
    Range corner = ws.cells(7, 2);
    corner.borders(xlEdgeTop).setLineStyle(xlLineStyleNone);
    corner.borders(xlEdgeLeft).setLineStyle(xlLineStyleNone);
    edges(corner, xlMedium, {xlEdgeBottom, xlEdgeRight});
    QCoreApplication::processEvents();
    Range table = ws.range(ws.cells(8, C), ws.cells(7 + n, C + 5));
    table.borders().setWeight(xlMedium);
    insideHorizontalThin(table);
    ws.range(ws.cells(8, C), ws.cells(7 + n, C + 1)).font().setBold(true);
    ws.range(ws.cells(8, C + 4), ws.cells(7 + n, C + 5)).font().setBold(true);

    if (automation::CheckDocumentOpen(false)) {
        ws.hyperlinks().add(ws.range(QStringLiteral("A3")), automation::CadDocument.fullName());
        ws.range(QStringLiteral("A3")).font().setSize(9);
    }

    ws.cells(9 + n, 2).setValue(T("Oryginalna matryca"));
    ws.cells(9 + n, 2).setHorizontalAlignment(xlLeft);
    ws.range(ws.cells(7, 1), ws.cells(7 + n, 2 + n)).copy();
    ws.cells(10 + n, 1).select();
    ws.paste();
    ws.range(QStringLiteral("A1")).select();
    book.application().setCutCopyMode(false);

    writeCrossingTable(ws, n);

    if (data.SetCount >= 0) {
        for (int s = 0; s <= data.SetCount; ++s) {
            ws.cells(8 + s, C + 7).setValue(QStringLiteral("V.") + QString::number(s + 1));
            ws.cells(8 + s, C + 8).setValue(data.Sets.value(s));
        }
        ws.range(ws.cells(8, C + 8), ws.cells(8 + data.SetCount, C + 8)).setHorizontalAlignment(xlLeft);
        Range sets = ws.range(ws.cells(8, C + 7), ws.cells(8 + data.SetCount, C + 8));
        edges(sets, xlMedium, {xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight, xlInsideVertical});
        if (data.SetCount > 0) insideHorizontalThin(sets);
        ws.columns(C + 8).autoFit();
    }
    const int k = data.SetCount + 1;
    if (7 + n >= 8 + k) {
        Range below = ws.range(ws.cells(8 + k, C + 7), ws.cells(7 + n, C + 8));
        edges(below, xlThin, {xlEdgeLeft, xlEdgeBottom, xlEdgeRight, xlInsideVertical});
        if (7 + n > 8 + k) insideHorizontalThin(below);
    }
    ws.pageSetup().setPrintArea(ws.range(ws.cells(1, 1), ws.cells(8 + n, C + 5)).address() +
                                QLatin1Char(',') +
                                ws.range(ws.cells(6, C + 7), ws.cells(8 + n, C + 8)).address());
}

}  // namespace conflictor
