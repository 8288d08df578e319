// The intergreen check's blocks in the drawing. Each run deletes the previous block of its kind,
// references and definition, so results of earlier runs never pile up.
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"

#include "automation/BlockAttributes.h"
#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/FilteredReads.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Worksheet.h"

#include <cmath>

namespace phaseplanner {

std::vector<std::pair<int, int>> CollisionPairs;

namespace {

const QString kSignalLayer = QStringLiteral("247-SYGNAL");

// A fresh, empty definition of the block: the old one goes with its references.
cad::Block freshBlock(const QString& name) {
    const cad::Document& doc = automation::CadDocument;
    cad::SelectionFilter filter;
    filter.add(2, automation::EscapeFilterText(name));
    automation::DeleteEach(cad::ReadSelection(doc, filter, {}));
    const cad::Blocks blocks = doc.blocks();
    if (blocks.invoke(QStringLiteral("Contains"), {name}).toBool()) {
        const cad::Block old = automation::GetBlockDefinition(name);
        try {
            if (!old.isNull()) old.erase();
        } catch (const std::exception&) {
            // Still used inside another block: emptied instead.
            for (const cad::Entity& e : old.entities()) e.erase();
            return old;
        }
    }
    return blocks.add({0, 0, 0}, name);
}

QString signedNumber(int value) {
    return (value > 0 ? QStringLiteral("+") : QString()) + QString::number(value);
}

void drawGraph(const IntergreenCheckResult& r, double x0, double y0) {
    const cad::Block b = freshBlock(GraphBlockName());
    for (const MeasuredIntergreen& m : r.Reported) {
        const cad::Point from{double(m.End), -2.0 - 8.0 * m.From, 0};
        const cad::Point to{double(m.EnteringStart), -2.0 - 8.0 * m.To, 0};
        const int colour = m.Difference() >= 0 ? 3 : 6;
        b.addLine(from, to).setColor(colour);
        automation::AddTextAlongSegment(b, from, to, signedNumber(m.Difference()), 1.5, colour);
    }
    cad::Entity ref = automation::CadModelSpace.insertBlock({x0, y0, 0}, GraphBlockName(), 1, 1, 1, 0);
    ref.setLayer(kSignalLayer);
}

void writeTexts(const IntergreenCheckResult& r, double x0, double y0) {
    const cad::Block b = freshBlock(ResultBlockName());
    const double start = x0 + MaxCycleLength + 52;
    // The items of a row stand one after another: each is made at the row's start, all their
    // widths are read at once, then each is moved behind the one before it.
    struct Item {
        cad::Entity text;
        double y;
        bool first;
    };
    std::vector<Item> items;
    for (std::size_t i = 0; i < r.ResultTexts.size(); ++i) {
        if (r.ResultTexts[i].isEmpty()) continue;
        const QString sorted = SortPairTexts(r.ResultTexts[i]);
        const double y = std::round(y0 - 8.0 * double(i)) - 3.25;
        if (!r.ErrorFlags[i] && !sorted.startsWith(QLatin1Char('0'))) {
            b.addText(sorted, {start, y, 0}, 2.5).setLayer(kSignalLayer);
            continue;
        }
        const QStringList parts = sorted.split(QStringLiteral(", "));
        for (int k = 0; k < parts.size(); ++k) {
            const QString item = parts[k] + (k + 1 < parts.size() ? QStringLiteral(",") : QString());
            cad::Entity t = b.addText(item, {start, y, 0}, 2.5);
            t.setLayer(kSignalLayer);
            if (item.startsWith(QLatin1Char('-')))
                t.setColor(1);
            else if (item.startsWith(QLatin1Char('0')))
                t.setColor(3);
            items.push_back({t, y, k == 0});
        }
    }
    if (!items.empty()) {
        cad::VariantList objects;
        objects.reserve(qsizetype(items.size()));
        for (const Item& it : items) objects.append(cad::Variant(it.text.ref()));
        const cad::VariantList boxes =
            cad::ReadProperties(automation::CadDocument, objects, {QStringLiteral("GetBoundingBox")});
        double x = start;
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (items[k].first) x = start;
            if (x != start) items[k].text.move({start, items[k].y, 0}, {x, items[k].y, 0});
            const double right = boxes.value(qsizetype(k)).toArray().value(0).toArray().value(1).toPoint().x;
            x += right - start + 3;
        }
    }
    cad::Entity ref = automation::CadModelSpace.insertBlock({0, 0, 0}, ResultBlockName(), 1, 1, 1, 0);
    ref.setLayer(kSignalLayer);
}

}  // namespace

QString GraphBlockName() {
    return QStringLiteral("GRAFDLAGRUPY_") + IntersectionNumber;
}

QString ResultBlockName() {
    return QStringLiteral("CZASMIEDZYZIELONY_") + IntersectionNumber;
}

RequiredIntergreens ReadRequiredIntergreens(sheet::Worksheet& matrix, int headerRow, int groupCount,
                                            bool fromRows, const std::vector<int>& positionOfRecord,
                                            int* unreadable) {
    const std::size_t n = positionOfRecord.size();
    RequiredIntergreens required(n, std::vector<std::optional<int>>(n));
    auto known = [&](int p) { return p >= 0 && p < groupCount; };
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b) {
            const int p = positionOfRecord[a], q = positionOfRecord[b];
            if (a == b || !known(p) || !known(q) || p == q) continue;
            const int row = headerRow + 1 + (fromRows ? p : q);
            const int column = 3 + (fromRows ? q : p);
            const MatrixCellReading cell = ReadMatrixCell(matrix, row, column);
            if (cell.Fault != MatrixCellFault::None && unreadable) ++*unreadable;
            required[a][b] = cell.Seconds;
        }
    return required;
}

bool ClearMatrixPair(sheet::Worksheet& matrix, int headerRow, int groupCount, int p, int q) {
    if (p < 0 || q < 0 || p >= groupCount || q >= groupCount || p == q) return false;
    for (const auto& [row, column] :
         {std::pair{headerRow + 1 + p, 3 + q}, std::pair{headerRow + 1 + q, 3 + p}}) {
        sheet::Range cell = matrix.cells(row, column);
        cell.setValue(sheet::Value());
        cell.interior().setColorIndex(6);
    }
    return true;
}

IntergreenCheckResult RunIntergreenCheck(const IntergreenWorkbookData& data, bool ReportAll, bool ShowPairs,
                                         int GraphGroup) {
    CollisionPairs.clear();
    const bool graph = GraphGroup >= 0;
    // The graph's lines and texts, or the result texts, and the program block written again: many
    // calls, which go together; nothing here traps a CAD failure of theirs, which is thrown from here.
    const cad::DeferredCalls drawing(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
    if (!ShowPairs) automation::CadDocument.layers().add(kSignalLayer).setLayerOn(true);
    const int only = graph && GraphGroup != AllGroupsGraph ? GraphGroup : -1;
    if (graph && only >= int(GroupTable.size())) return {};
    IntergreenCheckResult r = CheckGroups(GroupTable, CycleLength, data.Required, ReportAll, only);
    r.Unchecked = CompareWithWorkbookGroups(GroupTable, data.WorkbookSymbols);
    r.UnreadableCells = data.UnreadableCells;
    CollisionPairs = r.CollisionPairs;
    if (ShowPairs) return r;

    const double shift = ProgramBarsShift(MainProgramWindow().programType());
    const double x0 = ProgramTableOrigin.Point.X + shift, y0 = ProgramTableOrigin.Point.Y;
    if (graph) {
        drawGraph(r, x0, y0);
    } else {
        writeTexts(r, x0, y0);
        UstawWidoczneAtrybuty(true);  // the check found the drawing open and has worked in it since
    }
    automation::CadDocument.regen(1);
    return r;
}

void mnuDane_GrafWyczysc() {
    if (!automation::CheckDocumentOpen(true)) return;
    bool found = false;
    SprawdzSkrzyzowania(found);
    if (!found) return;
    automation::EraseBlockReferences(GraphBlockName(), true);
    automation::CadDocument.regen(1);
}

}  // namespace phaseplanner
