// The grid editing class of phaseplanner's dialogs (clsFlexGridEdit): the suite's in-place editor
// over a FlexGrid, with a data type per column (free text, integers, digits only, negative numbers
// only), locked leading columns, a sort column, and moves after Enter, Tab and the arrow keys. Every
// write (Enter, Tab, the arrows, the grid taking the focus back) checks the value and sorts; a move
// goes on from the edited row wherever the sort put it. Scrolling carries the editor with its cell.
#pragma once

#include "platform/ui/FlexGridEditor.h"

#include <QHash>

namespace phaseplanner {

class FlexGridEdit : public ui::FlexGridEditor {
    Q_OBJECT
public:
    // Takes over the grid (FlexGridControl): the editor is named "tbFgEdit1", or with one more "1"
    // for each name already taken on the grid's window.
    explicit FlexGridEdit(ui::FlexGrid* grid);

    enum DataType { AnyText = 0, Integers = 1, DigitsOnly = 2, NegativeOnly = 3 };
    enum Move { MoveNone = 0, MoveNextColumn = 1, MoveNextRow = 2, MovePreviousRow = 3 };

    QString MessageTitle;
    void setEditBoxBorderStyle(int style);
    void setEnterKeyBehaviour(int code) { enterBehaviour_ = code; }
    void setTabKeyBehaviour(int code) { tabBehaviour_ = code; }
    void setKolumnaSortowania(int col) { sortColumn_ = col; }
    int KolumnaSortowania() const { return sortColumn_; }
    // Columns 0 .. n-1 are never edited when n > 0.
    void setLiczbaKolumnFixed(int n) { lockedColumns_ = n; }
    // The type of every column without one of its own.
    void setDefaultDataType(int type) { defaultType_ = type; }
    void SetDataTypeForColumn(int col, int type) { columnTypes_.insert(col, type); }
    int dataTypeOf(int col) const { return columnTypes_.value(col, defaultType_); }

    // Commits a pending edit (checked and sorted); owners call it before they read the grid.
    void UpdateFg();

protected:
    bool isCellEditable(int row, int col) const override;
    QString startText(int key, int row, int col, bool* selectAll) override;
    bool acceptsChar(QChar ch, int row, int col) const override;
    void commitText(int row, int col, const QString& text) override;
    bool editorKeyDown(QKeyEvent* event) override;

private:
    void MoveAfterEdit(int code);

    int sortColumn_ = -1;
    int lockedColumns_ = -1;
    int defaultType_ = AnyText;
    QHash<int, int> columnTypes_;
    int enterBehaviour_ = MoveNone;
    int tabBehaviour_ = MoveNone;
    bool rejected_ = false;
    int committedRow_ = -1;  // where the last committed cell's row stands after its sort
};

}  // namespace phaseplanner
