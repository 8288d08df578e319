// In-cell editing of the group grid: the start, length and end of a group's greens and its
// complement second are typed over the cell (txtEdit) and written straight into the group's record.
#pragma once

#include "platform/ui/FlexGridEditor.h"

namespace phaseplanner {

class MainWindow;

class GroupGridEditor : public ui::FlexGridEditor {
    Q_OBJECT
public:
    GroupGridEditor(ui::FlexGrid* grid, MainWindow& window);

    // The current cell takes no edit (header, columns 0 to 2, only-red and no-signal groups, cells
    // beyond the group's greens, the complement cell while the complement is off).
    bool CellReadOnly() const;

protected:
    bool isCellEditable(int row, int col) const override;
    // A control key or a click opens the cell's text selected; a digit or "." opens with it; any
    // other key opens with "0".
    QString startText(int key, int row, int col, bool* selectAll) override;
    bool acceptsChar(QChar ch, int row, int col) const override;
    void commitText(int row, int col, const QString& text) override;

private:
    MainWindow& window_;
};

}  // namespace phaseplanner
