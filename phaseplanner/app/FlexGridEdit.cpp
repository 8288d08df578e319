// The grid editing class: data types, checks, sorting and moves.
#include "phaseplanner/app/FlexGridEdit.h"

#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidgetItem>

namespace phaseplanner {

namespace {
QString freeEditorName(ui::FlexGrid* grid) {
    QString name = QStringLiteral("tbFgEdit");
    QWidget* form = grid->window();
    do {
        name += QLatin1Char('1');
    } while (form->findChild<QObject*>(name));
    return name;
}
}  // namespace

FlexGridEdit::FlexGridEdit(ui::FlexGrid* grid) : ui::FlexGridEditor(grid, freeEditorName(grid)) {
    // Scrolling never ends an edit: the editor moves with its cell, out of sight with it.
    setCommitOnScroll(false);
}

void FlexGridEdit::setEditBoxBorderStyle(int style) {
    editor()->setFrame(style != 0);
}

bool FlexGridEdit::isCellEditable(int row, int col) const {
    if (lockedColumns_ > 0 && col < lockedColumns_) return false;
    return ui::FlexGridEditor::isCellEditable(row, col);
}

QString FlexGridEdit::startText(int key, int row, int col, bool* selectAll) {
    const QString text = ui::FlexGridEditor::startText(key, row, col, selectAll);
    // A first key the column does not take opens an empty box.
    if (!*selectAll && !text.isEmpty() && !acceptsChar(text.front(), row, col)) return QString();
    return text;
}

bool FlexGridEdit::acceptsChar(QChar ch, int row, int col) const {
    const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
    switch (dataTypeOf(col)) {
        case AnyText:
            return ui::FlexGridEditor::acceptsChar(ch, row, col);
        case DigitsOnly:
            return digit;
        default:  // integers, negative numbers and any other type
            return digit || ch == QLatin1Char('-');
    }
}

void FlexGridEdit::commitText(int row, int col, const QString& typed) {
    QString text = typed;
    if (dataTypeOf(col) == NegativeOnly && common::ParseInteger(text) > 0) {
        text.clear();
        rejected_ = true;
    }
    grid()->setTextMatrix(row, col, text);
    committedRow_ = row;
    if (col == sortColumn_) {
        // The sort keeps the current cell where it is; a move after the edit follows the edited row.
        QTableWidgetItem* edited = grid()->item(grid()->tableRow(row), grid()->tableCol(col));
        grid()->sortRowsByColumn(sortColumn_, true);
        if (edited) committedRow_ = grid()->row(edited) + grid()->FixedRows();
    }
    if (rejected_) {
        rejected_ = false;
        ui::MsgBox(common::Tlumacz(QStringLiteral("Można wpisywać tylko wartości ujemne.")), ui::Exclamation,
                   MessageTitle);
    }
}

void FlexGridEdit::UpdateFg() {
    CommitCellEdit();
}

bool FlexGridEdit::editorKeyDown(QKeyEvent* event) {
    // A key in an editor scrolled out of sight brings its cell back into view first.
    if (isOpen() && (editor()->x() < 0 || editor()->y() < 0))
        grid()->scrollTo(grid()->model()->index(grid()->tableRow(editRow()), grid()->tableCol(editCol())));
    switch (event->key()) {
        case Qt::Key_Tab:
            if (tabBehaviour_ == MoveNone) return false;  // Tab leaves the editor; leaving commits
            MoveAfterEdit(tabBehaviour_);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (enterBehaviour_ == MoveNone) return ui::FlexGridEditor::editorKeyDown(event);
            MoveAfterEdit(enterBehaviour_);
            return true;
        case Qt::Key_Up:
            MoveAfterEdit(MovePreviousRow);
            return true;
        case Qt::Key_Down:
            MoveAfterEdit(MoveNextRow);
            return true;
        default:
            return ui::FlexGridEditor::editorKeyDown(event);
    }
}

void FlexGridEdit::MoveAfterEdit(int code) {
    ui::FlexGrid* g = grid();
    if (code == MoveNone) {
        g->setFocus(Qt::OtherFocusReason);
        CommitCellEdit();
        return;
    }
    if (code < MoveNone || code > MovePreviousRow) return;
    setMovingRow(true);
    committedRow_ = -1;
    const int editedCol = editCol();
    CommitCellEdit();  // every write is checked and sorted
    const int fr = g->FixedRows(), fc = g->FixedCols();
    const int lastRow = g->Rows() - 1, lastCol = g->Cols() - 1;
    int row = committedRow_ >= fr ? committedRow_ : g->Row();
    int col = committedRow_ >= fr ? editedCol : g->Col();
    auto step = [&] {
        if (code == MoveNextColumn) {
            if (col < lastCol) {
                ++col;
            } else {
                col = fc;
                row = row < lastRow ? row + 1 : fr;
            }
        } else if (code == MoveNextRow) {
            if (row < lastRow) {
                ++row;
            } else {
                row = fr;
                col = col < lastCol ? col + 1 : fc;
            }
        } else {
            if (row > fr) {
                --row;
            } else {
                row = lastRow;
                col = col > fc ? col - 1 : lastCol;
            }
        }
    };
    // Locked and hidden columns are passed over to the next cell that can be edited.
    const int cells = (lastRow + 1) * (lastCol + 1);
    step();
    for (int n = 0; n < cells && !isCellEditable(row, col); ++n) step();
    g->setCurrent(row, col);
    setMovingRow(false);
    g->setFocus(Qt::OtherFocusReason);
    BeginCellEdit(0);
}

}  // namespace phaseplanner
