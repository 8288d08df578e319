// FlexGridEditor: opening, filtering, committing and the keys of the in-place editor.
#include "platform/ui/FlexGridEditor.h"

#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace ui {

FlexGridEditor::FlexGridEditor(FlexGrid* grid, const QString& editorName) : QObject(grid), grid_(grid) {
    editor_ = new QLineEdit(grid->viewport());
    editor_->setObjectName(editorName);
    editor_->setFrame(false);
    editor_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    editor_->setContextMenuPolicy(Qt::NoContextMenu);  // pasting goes through the filter only
    editor_->setAcceptDrops(false);
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Base, QColor(0, 255, 255));
    editor_->setPalette(pal);
    editor_->setAutoFillBackground(true);
    editor_->hide();
    grid->setMinimumRowHeight(editor_->sizeHint().height());

    editor_->installEventFilter(this);
    grid->installEventFilter(this);
    connect(grid, &FlexGrid::focusEntered, this, [this] {
        if (!movingRow_) CommitCellEdit();
    });
    connect(grid, &FlexGrid::cellLeft, this, [this] {
        if (!movingRow_) CommitCellEdit();
    });
    connect(grid, &FlexGrid::cellClickedAt, this, [this](int row, int col) {
        if (row == grid_->Row() && col == grid_->Col() && isCellEditable(row, col)) BeginCellEdit(32);
    });
    connect(grid, &FlexGrid::scrolled, this, [this] {
        if (!isOpen()) return;
        if (commitOnScroll_) {
            if (!movingRow_) CommitCellEdit();
        } else {
            placeEditor();
        }
    });
}

FlexGridEditor::~FlexGridEditor() = default;

bool FlexGridEditor::isOpen() const {
    return !editor_->isHidden();
}

bool FlexGridEditor::isCellEditable(int row, int col) const {
    return row >= grid_->FixedRows() && col >= grid_->FixedCols() && row < grid_->Rows() &&
           col < grid_->Cols() && grid_->colWidthTwips(col) > 0;
}

QString FlexGridEditor::startText(int key, int row, int col, bool* selectAll) {
    if (key >= 0 && key <= 32) {
        *selectAll = true;
        return grid_->TextMatrix(row, col);
    }
    *selectAll = false;
    return QString(QChar(key));
}

bool FlexGridEditor::acceptsChar(QChar ch, int, int) const {
    return !ch.isNull() && ch.category() != QChar::Other_Control;
}

QString FlexGridEditor::filterText(const QString& text, int col) const {
    QString out;
    for (QChar ch : text) {
        if (acceptsChar(ch, editRow_, col)) out.append(ch);
    }
    return out;
}

void FlexGridEditor::commitText(int row, int col, const QString& text) {
    grid_->setTextMatrix(row, col, text);
}

bool FlexGridEditor::BeginCellEdit(int key) {
    int row = grid_->Row(), col = grid_->Col();
    if (!isCellEditable(row, col)) return false;
    if (grid_->cellRectInViewport(row, col).isEmpty()) {
        grid_->scrollToItem(grid_->currentItem());
        if (grid_->cellRectInViewport(row, col).isEmpty()) return false;
    }
    editRow_ = row;
    editCol_ = col;
    bool selectAll = false;
    QString text = startText(key, row, col, &selectAll);
    editor_->setText(text);
    if (selectAll) {
        editor_->selectAll();
    } else {
        editor_->deselect();
        editor_->setCursorPosition(int(text.size()));
    }
    editor_->setFont(grid_->font());
    placeEditor();
    editor_->show();
    editor_->raise();
    editor_->setFocus(Qt::OtherFocusReason);
    return true;
}

void FlexGridEditor::placeEditor() {
    QRect rect = grid_->cellRectInViewport(editRow_, editCol_);
    if (rect.isEmpty()) {
        // Out of sight until the grid brings the cell back.
        editor_->move(-editor_->width() - 10, -editor_->height() - 10);
        return;
    }
    editor_->setGeometry(rect);
}

bool FlexGridEditor::CommitCellEdit() {
    if (!isOpen()) return false;
    QString text = editor_->text();
    editor_->hide();
    int row = editRow_, col = editCol_;
    if (row < 0 || row >= grid_->Rows() || col < 0 || col >= grid_->Cols()) return true;
    commitText(row, col, text);
    emit cellCommitted(row, col, text);
    return true;
}

void FlexGridEditor::CancelCellEdit() {
    editor_->hide();
}

void FlexGridEditor::insertFiltered(const QString& text) {
    editor_->insert(filterText(text, editCol_));
}

void FlexGridEditor::moveRowFromEditor(int delta) {
    grid_->setFocus(Qt::OtherFocusReason);  // commits
    QCoreApplication::processEvents();
    int row = grid_->Row();
    int target = row + delta;
    if (target < grid_->FixedRows() || target >= grid_->Rows() || row < grid_->FixedRows()) return;
    movingRow_ = true;
    grid_->setRow(target);
    movingRow_ = false;
}

bool FlexGridEditor::editorKeyDown(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        insertFiltered(QApplication::clipboard()->text());
        return true;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            grid_->setFocus(Qt::OtherFocusReason);
            if (isOpen()) CommitCellEdit();  // the grid had the focus already
            return true;
        case Qt::Key_Escape:
            CancelCellEdit();
            grid_->setFocus(Qt::OtherFocusReason);
            return true;
        case Qt::Key_Up:
            if (isOpen()) CommitCellEdit();
            moveRowFromEditor(-1);
            return true;
        case Qt::Key_Down:
            if (isOpen()) CommitCellEdit();
            moveRowFromEditor(1);
            return true;
        case Qt::Key_Delete:
            if (editor_->selectedText().size() == editor_->text().size() && deleteKey()) {
                CancelCellEdit();
                grid_->setFocus(Qt::OtherFocusReason);
                return true;
            }
            return false;
        default:
            break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;  // shortcuts of the text box (copy, select all, undo)
    const QString text = event->text();
    if (text.isEmpty() || text == QStringLiteral("\b")) return false;
    for (QChar ch : text) {
        if (!acceptsChar(ch, editRow_, editCol_)) return true;  // refused quietly
    }
    return false;
}

bool FlexGridEditor::gridKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) return deleteKey();
    int row = grid_->Row(), col = grid_->Col();
    int code = -1;
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->key() == Qt::Key_C) code = 3;
        if (event->key() == Qt::Key_V) code = 22;
        if (code < 0) return false;
    } else if (!(event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
        const QString text = event->text();
        if (text.isEmpty()) return false;
        QChar ch = text.front();
        if (ch == QLatin1Char('\b'))
            code = 8;
        else if (ch.unicode() >= 32 && ch.category() != QChar::Other_Control)
            code = ch.unicode();
    }
    if (code < 0) return false;
    if (!isCellEditable(row, col)) return true;  // typing on a read-only cell does nothing
    BeginCellEdit(code);
    return true;
}

bool FlexGridEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        switch (event->type()) {
            case QEvent::KeyPress:
                return editorKeyDown(static_cast<QKeyEvent*>(event));
            case QEvent::ShortcutOverride: {
                // Keep the editor's keys from the window's shortcuts while an edit is open.
                auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Delete || key->matches(QKeySequence::Paste)) event->accept();
                return false;
            }
            case QEvent::FocusOut: {
                // Focus moved to another control of the window: the edit is stored, not left hanging.
                auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (isOpen() && !movingRow_ && reason != Qt::ActiveWindowFocusReason &&
                    reason != Qt::PopupFocusReason)
                    CommitCellEdit();
                return false;
            }
            case QEvent::MouseButtonRelease:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
                    insertFiltered(QApplication::clipboard()->text(QClipboard::Selection));
                    return true;
                }
                return false;
            default:
                return false;
        }
    }
    if (watched == grid_ && event->type() == QEvent::KeyPress)
        return gridKeyDown(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
