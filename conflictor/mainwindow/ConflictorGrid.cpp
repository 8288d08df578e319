// The stream grid of frmMain: its columns, filling and sorting its rows from the stream table, the
// current-cell highlight and selection, and the entry points of the in-place editor.
#include "conflictor/mainwindow/ConflictorWindow.h"

#include "common/TextHelpers.h"
#include "conflictor/mainwindow/StreamCellEditor.h"
#include "conflictor/mainwindow/StreamGridRules.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/FlexGrid.h"

#include <QLabel>

namespace conflictor {

using common::Tlumacz;

namespace {

const QColor Highlight(0, 255, 255);

struct ColumnLayout {
    const char* header;
    int width;  // twips
};

const ColumnLayout Columns[GridColumnCount] = {
    {"Opis", 900},   {"Strumień", 1500}, {"Grupa", 700},  {"Faza", 1000}, {"lp", 700}, {"vd", 700},
    {"vd łuk", 700}, {"ve", 700},        {"ve łuk", 750}, {"a", 700},     {"", 0},
};

}  // namespace

void ConflictorWindow::ShowKinematicColumns(bool show) {
    for (int c = 0; c < GridColumnCount; ++c) {
        const bool kinematic = c >= ColVehicleLength && c <= ColAcceleration;
        const bool shown = kinematic ? show : c != ColSortKey;
        grdStrumienie->setTextMatrix(0, c, shown ? Tlumacz(QString::fromUtf8(Columns[c].header)) : QString());
        grdStrumienie->setColWidthTwips(c, shown ? Columns[c].width : 0);
    }
}

int ConflictorWindow::faIndex(int row, int column) const {
    return grdStrumienie->flatIndex(row, column);
}

QStringList ConflictorWindow::gridStreamNames() const {
    QStringList names;
    for (int r = 1; r < grdStrumienie->Rows(); ++r) names << grdStrumienie->TextMatrix(r, ColName);
    return names;
}

int ConflictorWindow::gridRowOfName(const QString& name) const {
    if (name.isEmpty()) return -1;
    for (int r = 1; r < grdStrumienie->Rows(); ++r) {
        if (grdStrumienie->TextMatrix(r, ColName) == name) return r;
    }
    return -1;
}

void ConflictorWindow::DodajStrumienDoGrida(int index) {
    ++GridRefreshCount;
    grdStrumienie->setFixedRows(0);
    bool selectAfter = false;
    if (index != -1) {
        FillStreamGridRows(index);
        selectAfter = true;
    } else {
        ClearStreamGrid();
        int upper = int(StreamTable.size()) - 1;
        if (StreamTable.size() == 1 && StreamTable[0].Name.isEmpty()) upper = -1;
        if (upper >= 0) FillStreamGridRows(-1);
    }
    if (grdStrumienie->Rows() >= 2) grdStrumienie->setFixedRows(1);
    SortStreamGrid();
    if (selectAfter) SelectGridRowOfStreamIndex(index);
}

void ConflictorWindow::ClearStreamGrid() {
    gridEditor->CancelCellEdit();
    grdStrumienie->setFixedRows(0);
    grdStrumienie->setFixedCols(0);
    grdStrumienie->setRowCount(1);  // the header row stays
}

void ConflictorWindow::writeStreamRow(int row, int index) {
    const StreamRecord& s = StreamTable[size_t(index)];
    const bool kmh = SpeedsInKmh();
    ui::FlexGrid* g = grdStrumienie;
    g->setTextMatrix(row, ColName, s.Name);
    if (s.Group > 0) g->setTextMatrix(row, ColGroup, QString::number(s.Group));
    if (!s.Phases.isEmpty()) g->setTextMatrix(row, ColPhases, s.Phases);
    g->setCellFontBold(row, ColPhases, true);
    if (!s.Description.isEmpty()) g->setTextMatrix(row, ColDescription, s.Description);
    g->setTextMatrix(row, ColVehicleLength, KinematicCellText(s.VehicleLength, ColVehicleLength, kmh));
    g->setTextMatrix(row, ColClearStraight, KinematicCellText(s.ClearStraightSpeed, ColClearStraight, kmh));
    if (IsVehicleStream(s)) {
        g->setTextMatrix(row, ColApproachStraight,
                         KinematicCellText(s.ApproachStraightSpeed, ColApproachStraight, kmh));
        g->setTextMatrix(row, ColApproachArc, KinematicCellText(s.ApproachArcSpeed, ColApproachArc, kmh));
        g->setTextMatrix(row, ColClearArc, KinematicCellText(s.ClearArcSpeed, ColClearArc, kmh));
        g->setTextMatrix(row, ColAcceleration, KinematicCellText(s.MaxAcceleration, ColAcceleration, kmh));
    }
    g->setTextMatrix(row, ColSortKey, StreamSortKey(s));
}

void ConflictorWindow::FillStreamGridRows(int start) {
    if (StreamTable.empty()) return;
    const int last = start >= 0 ? std::min(start, int(StreamTable.size()) - 1) : int(StreamTable.size()) - 1;
    for (int k = std::max(start, 0); k <= last; ++k) {
        if (StreamTable[size_t(k)].Name.isEmpty()) continue;
        grdStrumienie->addRow();
        writeStreamRow(grdStrumienie->Rows() - 1, k);
        if (k % 64 == 63) yieldToMessageLoop();  // keep painting while a large table fills
    }
}

void ConflictorWindow::SortStreamGrid() {
    GridNotSorting = false;
    const int row = grdStrumienie->Row(), col = grdStrumienie->Col();
    if (row >= grdStrumienie->FixedRows() && grdStrumienie->FixedRows() > 0)
        grdStrumienie->setCellBackColor(row, col, DefaultCellBackColor);
    grdStrumienie->sortRowsByColumn(ColSortKey);
    GridNotSorting = true;
    GridEnterCell();
}

void ConflictorWindow::SelectGridRowOfStreamIndex(int index) {
    if (index < 0 || index >= int(StreamTable.size())) return;
    SelectGridRowOfStream(StreamTable[size_t(index)].Name);
}

void ConflictorWindow::SelectGridRowOfStream(const QString& streamName) {
    SelectedGridStream = streamName;
    const int row = gridRowOfName(streamName);
    if (row < 0) return;
    grdStrumienie->setCurrent(row, ColName);
    if (QTableWidgetItem* it = grdStrumienie->currentItem()) grdStrumienie->scrollToItem(it);
}

void ConflictorWindow::UstalWartoscWGridzie(int index, const QString& value, int column) {
    if (index < 0 || index >= int(StreamTable.size())) return;
    const int row = gridRowOfName(StreamTable[size_t(index)].Name);
    if (row >= 0) grdStrumienie->setTextMatrix(row, column, value);
}

void ConflictorWindow::GridEnterCell() {
    ui::FlexGrid* g = grdStrumienie;
    CellReadOnly = true;
    const int row = g->Row(), col = g->Col();
    const bool hasFixedRow = g->FixedRows() > 0;
    if (row == 0 || !hasFixedRow) {
        GridStreamName.clear();
    } else {
        GridStreamName = g->TextMatrix(row, ColName);
        const int index = FindStreamIndex(GridStreamName);
        if (!GridStreamName.isEmpty())
            CellReadOnly = !IsStreamCellEditable(index >= 0 ? &StreamTable[size_t(index)] : nullptr, col) ||
                           ((col >= 4 && col <= 9) && index < 0);
    }
    StreamHasVariants = false;
    GridStreamIndex = GridStreamName.isEmpty() ? -1 : FindStreamIndex(GridStreamName);
    if (hasFixedRow) {
        if (GridNotSorting && row >= 1) g->setCellBackColor(row, col, Highlight);
        lblWybranyStrumien->setText(GridStreamName);
        if (GridStreamIndex >= 0) {
            const StreamRecord& s = StreamTable[size_t(GridStreamIndex)];
            if (col == ColGroup || col == ColPhases) {
                const QString base = s.BaseName.toUpper();
                int count = 0;
                for (const StreamRecord& other : StreamTable)
                    if (!other.Name.isEmpty() && other.BaseName.toUpper() == base) ++count;
                StreamHasVariants = count > 1;
            }
            if (col == ColGroup) OldGroup = s.Group;
            if (col == ColPhases) OldPhases = s.Phases;
            if (col == ColDescription) OldDescription = s.Description;
        }
    } else {
        lblWybranyStrumien->setText(QString());
    }
    UpdateCommandStates(!GridStreamName.isEmpty());
}

void ConflictorWindow::GridLeaveCell() {
    ui::FlexGrid* g = grdStrumienie;
    const int row = g->Row(), col = g->Col();
    if (g->FixedRows() > 0 && row >= 1 && row < g->Rows())
        g->setCellBackColor(row, col, DefaultCellBackColor);
    if (!MovingRowFromEditor()) CommitCellEdit();
}

bool ConflictorWindow::BeginCellEdit(int key) {
    if (CellReadOnly) return false;
    return gridEditor->BeginCellEdit(key);
}

void ConflictorWindow::CommitCellEdit() {
    gridEditor->CommitCellEdit();
}

void ConflictorWindow::ClearSelectedCells() {
    gridEditor->ClearSelectedCells();
}

}  // namespace conflictor
