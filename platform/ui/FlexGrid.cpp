// FlexGrid: grid indexes over the table's rows and columns and its two header views.
#include "platform/ui/FlexGrid.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <algorithm>
#include <numeric>

namespace ui {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;

double numberOf(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    double v = t.toDouble(&ok);
    return ok ? v : 0.0;
}

}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setTabKeyNavigation(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The table draws its corner as an empty header section; cell (0, 0) shows its text there.
    cornerButton_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (cornerButton_) cornerButton_->installEventFilter(this);

    connect(this, &QTableWidget::currentCellChanged, this, [this](int cr, int cc, int pr, int pc) {
        int leftRow = pr < 0 ? 0 : pr + fixedRows_;
        int leftCol = pc < 0 ? pendingCol_ : pc + fixedCols_;
        if (cc >= 0) pendingCol_ = cc + fixedCols_;
        emit cellLeft(leftRow, leftCol);
        emit cellEntered(cr < 0 ? 0 : cr + fixedRows_, cc < 0 ? pendingCol_ : cc + fixedCols_);
    });
    connect(this, &QTableWidget::cellClicked, this,
            [this](int r, int c) { emit cellClickedAt(r + fixedRows_, c + fixedCols_); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit scrolled(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit scrolled(); });
}

int FlexGrid::Rows() const {
    return rowCount() + fixedRows_;
}

void FlexGrid::setRows(int rows) {
    setRowCount(std::max(0, rows - fixedRows_));
}

int FlexGrid::Cols() const {
    return columnCount() + fixedCols_;
}

void FlexGrid::setCols(int cols) {
    int old = columnCount();
    setColumnCount(std::max(0, cols - fixedCols_));
    colAlignment_.resize(std::max(0, cols), kDefaultAlignment);
    colTwips_.resize(std::max(0, cols), -1);
    if (fixedRows_ > 0) {
        for (int c = old; c < columnCount(); ++c) {
            if (!horizontalHeaderItem(c)) setHorizontalHeaderItem(c, new QTableWidgetItem);
        }
    }
    applyWidths();
}

void FlexGrid::setFixedRows(int fixed) {
    fixed = std::clamp(fixed, 0, 1);
    if (fixed == fixedRows_) return;
    if (fixed == 1) {
        if (rowCount() == 0) return;  // no row to become the header
        // Row 0 becomes the header: its texts move into the horizontal header.
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* h = new QTableWidgetItem(item(0, c) ? item(0, c)->text() : QString());
            h->setTextAlignment(alignmentOf(c + fixedCols_));
            setHorizontalHeaderItem(c, h);
        }
        if (fixedCols_ > 0 && verticalHeaderItem(0)) corner_ = verticalHeaderItem(0)->text();
        blockSignals(true);
        removeRow(0);
        blockSignals(false);
        fixedRows_ = 1;
        horizontalHeader()->show();
    } else {
        blockSignals(true);
        insertRow(0);
        blockSignals(false);
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* h = horizontalHeaderItem(c);
            QTableWidgetItem* it = new QTableWidgetItem(h ? h->text() : QString());
            it->setTextAlignment(alignmentOf(c + fixedCols_));
            setItem(0, c, it);
            if (h) h->setText(QString());
        }
        if (fixedCols_ > 0) setVerticalHeaderItem(0, new QTableWidgetItem(corner_));
        fixedRows_ = 0;
        horizontalHeader()->hide();
    }
}

void FlexGrid::setFixedCols(int fixed) {
    fixed = std::clamp(fixed, 0, 1);
    if (fixed == fixedCols_) return;
    if (fixed == 1) {
        if (columnCount() == 0) return;
        for (int r = 0; r < rowCount(); ++r)
            setVerticalHeaderItem(r, new QTableWidgetItem(item(r, 0) ? item(r, 0)->text() : QString()));
        if (fixedRows_ > 0 && horizontalHeaderItem(0)) corner_ = horizontalHeaderItem(0)->text();
        blockSignals(true);
        removeColumn(0);
        blockSignals(false);
        fixedCols_ = 1;
        verticalHeader()->show();
    } else {
        blockSignals(true);
        insertColumn(0);
        blockSignals(false);
        for (int r = 0; r < rowCount(); ++r) {
            QTableWidgetItem* h = verticalHeaderItem(r);
            QTableWidgetItem* it = new QTableWidgetItem(h ? h->text() : QString());
            it->setTextAlignment(alignmentOf(0));
            setItem(r, 0, it);
            if (h) h->setText(QString());
        }
        if (fixedRows_ > 0) setHorizontalHeaderItem(0, new QTableWidgetItem(corner_));
        fixedCols_ = 0;
        verticalHeader()->hide();
    }
    applyWidths();
}

int FlexGrid::Row() const {
    int r = currentRow();
    return r < 0 ? 0 : r + fixedRows_;
}

void FlexGrid::setRow(int row) {
    setCurrent(row, Col());
}

int FlexGrid::Col() const {
    int c = currentColumn();
    return c < 0 || currentRow() < 0 ? pendingCol_ : c + fixedCols_;
}

void FlexGrid::setCol(int col) {
    if (currentRow() < 0) {
        pendingCol_ = col;
        return;
    }
    setCurrent(Row(), col);
}

void FlexGrid::setCurrent(int row, int col) {
    int tr = tableRow(row), tc = tableCol(col);
    if (tr < 0 || tr >= rowCount() || tc < 0 || tc >= columnCount()) {
        pendingCol_ = col;
        setCurrentCell(-1, -1);
        return;
    }
    setCurrentCell(tr, tc);
}

int FlexGrid::RowSel() const {
    const auto ranges = selectedRanges();
    int r = currentRow();
    if (r < 0) return Row();
    for (const QTableWidgetSelectionRange& range : ranges) {
        if (r >= range.topRow() && r <= range.bottomRow() && currentColumn() >= range.leftColumn() &&
            currentColumn() <= range.rightColumn())
            return (r == range.topRow() ? range.bottomRow() : range.topRow()) + fixedRows_;
    }
    return Row();
}

int FlexGrid::ColSel() const {
    const auto ranges = selectedRanges();
    int r = currentRow(), c = currentColumn();
    if (r < 0 || c < 0) return Col();
    for (const QTableWidgetSelectionRange& range : ranges) {
        if (r >= range.topRow() && r <= range.bottomRow() && c >= range.leftColumn() &&
            c <= range.rightColumn())
            return (c == range.leftColumn() ? range.rightColumn() : range.leftColumn()) + fixedCols_;
    }
    return Col();
}

QTableWidgetItem* FlexGrid::itemAt(int row, int col) const {
    return item(tableRow(row), tableCol(col));
}

QTableWidgetItem* FlexGrid::ensureItem(int row, int col) {
    int tr = tableRow(row), tc = tableCol(col);
    if (tr < 0 || tc < 0 || tr >= rowCount() || tc >= columnCount()) return nullptr;
    QTableWidgetItem* it = item(tr, tc);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(alignmentOf(col));
        setItem(tr, tc, it);
    }
    return it;
}

QString FlexGrid::TextMatrix(int row, int col) const {
    if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return QString();
    int tr = tableRow(row), tc = tableCol(col);
    if (tr < 0 && tc < 0) return corner_;
    if (tr < 0) return horizontalHeaderItem(tc) ? horizontalHeaderItem(tc)->text() : QString();
    if (tc < 0) return verticalHeaderItem(tr) ? verticalHeaderItem(tr)->text() : QString();
    QTableWidgetItem* it = item(tr, tc);
    return it ? it->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return;
    int tr = tableRow(row), tc = tableCol(col);
    if (tr < 0 && tc < 0) {
        corner_ = text;
        if (cornerButton_) cornerButton_->update();
    } else if (tr < 0) {
        QTableWidgetItem* h = horizontalHeaderItem(tc);
        if (!h) setHorizontalHeaderItem(tc, h = new QTableWidgetItem);
        h->setTextAlignment(alignmentOf(col));
        h->setText(text);
    } else if (tc < 0) {
        QTableWidgetItem* h = verticalHeaderItem(tr);
        if (!h) setVerticalHeaderItem(tr, h = new QTableWidgetItem);
        h->setText(text);
    } else {
        ensureItem(row, col)->setText(text);
    }
}

QString FlexGrid::TextArray(int index) const {
    int cols = Cols();
    if (cols <= 0 || index < 0) return QString();
    return TextMatrix(index / cols, index % cols);
}

void FlexGrid::setTextArray(int index, const QString& text) {
    int cols = Cols();
    if (cols <= 0 || index < 0) return;
    setTextMatrix(index / cols, index % cols, text);
}

void FlexGrid::addRow(int before) {
    int tr = before < 0 ? rowCount() : std::clamp(tableRow(before), 0, rowCount());
    insertRow(tr);
    if (minRowHeight_ > 0 && rowHeight(tr) < minRowHeight_) setRowHeight(tr, minRowHeight_);
}

void FlexGrid::removeRowAt(int row) {
    int tr = tableRow(row);
    if (tr >= 0 && tr < rowCount()) removeRow(tr);
}

int FlexGrid::TopRow() const {
    int r = rowAt(0);
    return (r < 0 ? 0 : r) + fixedRows_;
}

void FlexGrid::setTopRow(int row) {
    int tr = std::clamp(tableRow(row), 0, std::max(0, rowCount() - 1));
    verticalScrollBar()->setValue(tr);
}

bool FlexGrid::isRowVisible(int row) const {
    int tr = tableRow(row);
    if (tr < 0) return fixedRows_ > 0;
    if (tr >= rowCount()) return false;
    int y = rowViewportPosition(tr);
    return y >= 0 && y + rowHeight(tr) <= viewport()->height();
}

void FlexGrid::setColWidthTwips(int col, int twips) {
    if (col < 0) return;
    if (col >= colTwips_.size()) colTwips_.resize(col + 1, -1);
    colTwips_[col] = std::max(0, twips);
    applyWidths();
}

int FlexGrid::colWidthTwips(int col) const {
    int tc = tableCol(col);
    if (tc < 0) return verticalHeader()->isVisible() ? verticalHeader()->width() * kTwipsPerPixel : 0;
    if (tc >= columnCount() || isColumnHidden(tc)) return 0;
    return columnWidth(tc) * kTwipsPerPixel;
}

void FlexGrid::applyWidths() {
    for (int col = 0; col < colTwips_.size(); ++col) {
        int twips = colTwips_[col];
        if (twips < 0) continue;
        int tc = tableCol(col);
        if (tc < 0) {
            verticalHeader()->setFixedWidth(twips / kTwipsPerPixel);
            continue;
        }
        if (tc >= columnCount()) continue;
        setColumnHidden(tc, twips == 0);
        if (twips > 0) setColumnWidth(tc, twips / kTwipsPerPixel);
    }
}

Qt::Alignment FlexGrid::alignmentOf(int col) const {
    return col >= 0 && col < colAlignment_.size() ? colAlignment_[col] : kDefaultAlignment;
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment) {
    if (col < 0) return;
    if (col >= colAlignment_.size()) colAlignment_.resize(col + 1, kDefaultAlignment);
    colAlignment_[col] = alignment;
    int tc = tableCol(col);
    if (tc < 0 || tc >= columnCount()) return;
    for (int r = 0; r < rowCount(); ++r) {
        if (QTableWidgetItem* it = item(r, tc)) it->setTextAlignment(alignment);
    }
    if (QTableWidgetItem* h = horizontalHeaderItem(tc)) h->setTextAlignment(alignment);
}

void FlexGrid::setMinimumRowHeight(int pixels) {
    minRowHeight_ = pixels;
    verticalHeader()->setMinimumSectionSize(pixels);
    if (verticalHeader()->defaultSectionSize() < pixels) verticalHeader()->setDefaultSectionSize(pixels);
    for (int r = 0; r < rowCount(); ++r) {
        if (rowHeight(r) < pixels) setRowHeight(r, pixels);
    }
}

QColor FlexGrid::cellBackColor(int row, int col) const {
    QTableWidgetItem* it = itemAt(row, col);
    if (it && it->background().style() != Qt::NoBrush) return it->background().color();
    return palette().color(QPalette::Base);
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& color) {
    if (QTableWidgetItem* it = ensureItem(row, col)) it->setBackground(color);
}

bool FlexGrid::cellFontBold(int row, int col) const {
    QTableWidgetItem* it = itemAt(row, col);
    return it && it->font().bold();
}

void FlexGrid::setCellFontBold(int row, int col, bool bold) {
    if (QTableWidgetItem* it = ensureItem(row, col)) {
        QFont f = it->font();
        f.setBold(bold);
        it->setFont(f);
    }
}

void FlexGrid::sortRowsByColumn(int col, bool numeric) {
    int tc = tableCol(col);
    int rows = rowCount(), cols = columnCount();
    if (tc < 0 || tc >= cols || rows < 2) return;
    std::vector<QString> keys(rows);
    for (int r = 0; r < rows; ++r) keys[r] = item(r, tc) ? item(r, tc)->text() : QString();
    std::vector<int> order(rows);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (numeric) return numberOf(keys[a]) < numberOf(keys[b]);
        return QString::compare(keys[a], keys[b], Qt::CaseInsensitive) < 0;
    });
    // Take every item out, then put the rows back in their new order (the current cell stays put).
    std::vector<std::vector<QTableWidgetItem*>> taken(rows, std::vector<QTableWidgetItem*>(cols));
    std::vector<QTableWidgetItem*> headers(rows);
    bool wasBlocked = blockSignals(true);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) taken[r][c] = takeItem(r, c);
        headers[r] = takeVerticalHeaderItem(r);
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) setItem(r, c, taken[order[r]][c]);
        if (headers[order[r]]) setVerticalHeaderItem(r, headers[order[r]]);
    }
    blockSignals(wasBlocked);
    viewport()->update();
}

QRect FlexGrid::cellRectInViewport(int row, int col) const {
    int tr = tableRow(row), tc = tableCol(col);
    if (tr < 0 || tc < 0 || tr >= rowCount() || tc >= columnCount() || isColumnHidden(tc)) return QRect();
    QRect rect(columnViewportPosition(tc), rowViewportPosition(tr), columnWidth(tc), rowHeight(tr));
    return rect.intersects(viewport()->rect()) ? rect : QRect();
}

QRect FlexGrid::cellRectInParent(int row, int col) const {
    QRect rect = cellRectInViewport(row, col);
    if (rect.isEmpty()) return rect;
    QWidget* target = parentWidget() ? parentWidget() : const_cast<FlexGrid*>(this);
    return QRect(viewport()->mapTo(target, rect.topLeft()), rect.size());
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    emit focusEntered();
}

void FlexGrid::keyboardSearch(const QString&) {
    // Typed characters start an edit (the editor's business), never a jump to a matching row.
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != cornerButton_ || event->type() != QEvent::Paint || corner_.isEmpty())
        return QTableWidget::eventFilter(watched, event);
    QStyleOptionHeader option;
    option.initFrom(cornerButton_);
    option.rect = cornerButton_->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    option.text = corner_;
    option.textAlignment = alignmentOf(0);
    QPainter painter(cornerButton_);
    cornerButton_->style()->drawControl(QStyle::CE_Header, &option, &painter, cornerButton_);
    return true;
}

}  // namespace ui
