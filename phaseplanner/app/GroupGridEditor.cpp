// In-cell editing of the group grid.
#include "phaseplanner/app/GroupGridEditor.h"

#include "common/NumberText.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupEditing.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

namespace phaseplanner {

GroupGridEditor::GroupGridEditor(ui::FlexGrid* grid, MainWindow& window)
    : ui::FlexGridEditor(grid, QStringLiteral("txtEdit")), window_(window) {}

bool GroupGridEditor::CellReadOnly() const {
    return !isCellEditable(grid()->Row(), grid()->Col());
}

bool GroupGridEditor::isCellEditable(int row, int col) const {
    if (row < 1 || !window_.HasGroupRows || !ui::FlexGridEditor::isCellEditable(row, col)) return false;
    const int i = ZnajdzIdxGrupy(row - 1);
    return i >= 0 && IsGroupCellEditable(GroupTable[i], col, window_.LastColumn);
}

QString GroupGridEditor::startText(int key, int row, int col, bool* selectAll) {
    if (key >= 0 && key <= 32) return ui::FlexGridEditor::startText(key, row, col, selectAll);
    *selectAll = false;
    const QChar ch(key);
    return ch == QLatin1Char('.') || (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ? QString(ch)
                                                                                        : QStringLiteral("0");
}

bool GroupGridEditor::acceptsChar(QChar ch, int, int) const {
    return ch == QLatin1Char('.') || (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'));
}

void GroupGridEditor::commitText(int row, int col, const QString& text) {
    grid()->setTextMatrix(row, col, text);
    const int i = ZnajdzIdxGrupy(row - 1);
    if (i < 0) return;
    const int value = common::ParseLong(text);  // a long number is refused, never read as 0
    if (const QString refusal = CheckGreenCell(GroupTable[i], col, window_.LastColumn, value, CycleLength);
        !refusal.isEmpty()) {
        // Not stored: the row shows the green as it stands.
        window_.FillGroupRow(row, false);
        ui::MsgBox(refusal, ui::Exclamation, window_.windowTitle());
        return;
    }
    if (!CommitGroupCell(GroupTable[i], col, window_.LastColumn, value, CycleLength, MaxCycleLength)) {
        // Unchanged: the cell keeps the typed text as it stands (a refused complement shows the stored one).
        if (col == window_.LastColumn) window_.FillGroupRow(row, true);
        return;
    }
    window_.FillGroupRow(row, false);
    window_.ComputeProgramStates(false);
}

}  // namespace phaseplanner
