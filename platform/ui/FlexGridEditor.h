// FlexGridEditor: the suite's one in-place editor over a FlexGrid. A single-line text box is laid over
// the current cell when the user clicks an editable cell or types on it, filters what is typed or pasted,
// and writes its text back when the edit is committed: by Enter, an arrow key, the grid taking the focus
// back, the current cell being left, or the grid scrolling (when so set). Escape drops the edit.
// Owners specialise it through the virtual hooks: which cells are editable, the editor's starting text,
// which characters a column takes, what a commit stores, and what the keys do.
#pragma once

#include <QObject>
#include <QString>

class QKeyEvent;
class QLineEdit;

namespace ui {

class FlexGrid;

class FlexGridEditor : public QObject {
    Q_OBJECT
public:
    // The editor box becomes a child of the grid's viewport named `editorName`.
    explicit FlexGridEditor(FlexGrid* grid, const QString& editorName = QStringLiteral("txtEdit"));
    ~FlexGridEditor() override;

    FlexGrid* grid() const { return grid_; }
    QLineEdit* editor() const { return editor_; }
    // An edit is open exactly while the editor is shown.
    bool isOpen() const;
    int editRow() const { return editRow_; }
    int editCol() const { return editCol_; }

    // Opens the editor on the current cell with the first key: a character code, where 0 to 32 stand
    // for control keys and the blank of a click, 3 for Ctrl+C and 22 for Ctrl+V. False when the current
    // cell may not be edited or cannot be seen.
    bool BeginCellEdit(int key);
    // Stores a pending edit and closes the editor; false when no edit was open.
    bool CommitCellEdit();
    // Closes the editor without storing anything.
    void CancelCellEdit();

    // True while the editor itself moves the current cell (leaving the old cell then commits nothing).
    bool MovingRow() const { return movingRow_; }
    void setMovingRow(bool moving) { movingRow_ = moving; }
    // Scrolling the grid commits the edit (true) or carries the editor along with its cell (false).
    void setCommitOnScroll(bool commit) { commitOnScroll_ = commit; }
    bool commitOnScroll() const { return commitOnScroll_; }

    // Keeps only the characters the column takes (typed text and pasted text pass the same check).
    QString filterText(const QString& text, int col) const;

signals:
    // After a commit has stored the text of a cell.
    void cellCommitted(int row, int col, const QString& text);

protected:
    // May the cell be edited? Default: any visible data cell.
    virtual bool isCellEditable(int row, int col) const;
    // The editor's text when an edit opens with `key`; sets the caret or selects everything.
    // Default: for key 0 to 32 the cell's text, all selected; otherwise the typed character, caret after.
    virtual QString startText(int key, int row, int col, bool* selectAll);
    // Does the column take this character? Default: everything but control characters.
    virtual bool acceptsChar(QChar ch, int row, int col) const;
    // Stores the committed text. Default: the text goes into the cell.
    virtual void commitText(int row, int col, const QString& text);
    // Keys pressed in the editor before they reach it; true when handled. Default: Enter gives the grid
    // the focus (which commits), Escape drops the edit, Up and Down commit and move one row, Delete over
    // the whole selected text runs deleteKey(), Paste inserts the filtered clipboard.
    virtual bool editorKeyDown(QKeyEvent* event);
    // Keys pressed on the grid before it handles them; true when handled. Default: Delete runs
    // deleteKey(); a character or Ctrl+C / Ctrl+V opens the editor on an editable cell.
    virtual bool gridKeyDown(QKeyEvent* event);
    // The Delete key on the grid (or over the editor's whole text): true when it did something.
    virtual bool deleteKey() { return false; }
    // Commits and moves the current row by `delta` within the data rows.
    void moveRowFromEditor(int delta);
    // Inserts text at the editor's caret, filtered for the edited column.
    void insertFiltered(const QString& text);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeEditor();

    FlexGrid* grid_;
    QLineEdit* editor_;
    int editRow_ = -1;
    int editCol_ = -1;
    bool movingRow_ = false;
    bool commitOnScroll_ = true;
};

}  // namespace ui
