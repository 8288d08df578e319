// txtEdit over the stream grid: the suite's in-place editor with the stream grid's rules. A commit
// writes the cell, the stream records and the intersection attribute block; Delete clears the group,
// phases and descriptions of the selected block of rows.
#pragma once

#include "platform/ui/FlexGridEditor.h"

namespace conflictor {

class ConflictorWindow;

class StreamCellEditor : public ui::FlexGridEditor {
    Q_OBJECT
public:
    explicit StreamCellEditor(ConflictorWindow& window);

    // The Delete action over the selected block of cells.
    void ClearSelectedCells();

protected:
    bool isCellEditable(int row, int col) const override;
    QString startText(int key, int row, int col, bool* selectAll) override;
    bool acceptsChar(QChar ch, int row, int col) const override;
    void commitText(int row, int col, const QString& text) override;
    bool deleteKey() override;

private:
    void commitCell(int row, int col, const QString& text);
    void commitGroup(int index, int row);
    void commitPhases(int index, int row);
    void commitDescription(int index, int row, const QString& name);
    void commitKinematic(int index, int row, int col, const QString& name);

    ConflictorWindow& window_;
};

}  // namespace conflictor
