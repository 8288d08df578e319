// Opening, filtering and committing in-place edits of the stream grid.
#include "conflictor/mainwindow/StreamCellEditor.h"

#include "automation/CadConnection.h"
#include "common/NumberText.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/mainwindow/StreamGridRules.h"
#include "conflictor/streams/CommandGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QSet>

namespace conflictor {

namespace {

// A CAD that went away fails here and the edit's guard tells the user; the grid keeps the text.
bool drawingOpen() {
    return automation::CheckDocumentOpen(false);
}

QString upperBase(int index) {
    return StreamTable[size_t(index)].BaseName.toUpper();
}

}  // namespace

StreamCellEditor::StreamCellEditor(ConflictorWindow& window)
    : ui::FlexGridEditor(window.grdStrumienie, QStringLiteral("txtEdit")), window_(window) {}

bool StreamCellEditor::isCellEditable(int row, int col) const {
    return !window_.CellReadOnly && row == grid()->Row() && col == grid()->Col() &&
           row >= grid()->FixedRows() && grid()->FixedRows() > 0;
}

QString StreamCellEditor::startText(int key, int row, int col, bool* selectAll) {
    if (key >= 0 && key <= 32) {
        QString text = grid()->TextMatrix(row, col);
        if (text.trimmed() == QStringLiteral("0")) text.clear();
        if (key == 3) QApplication::clipboard()->setText(text);
        if (key == 22) {
            const QString pasted = QApplication::clipboard()->text();
            if (!pasted.isEmpty()) text = filterText(pasted, col);
        }
        *selectAll = true;
        return text;
    }
    *selectAll = false;
    const QChar ch(key);
    if ((ch.isDigit() && key < 128) || ch == QLatin1Char('.')) return QString(ch);
    // A description starts with the letter typed; number cells start at "0".
    if (col == ColDescription && CellAcceptsChar(col, ch)) return QString(ch);
    return QStringLiteral("0");
}

bool StreamCellEditor::acceptsChar(QChar ch, int, int col) const {
    return CellAcceptsChar(col, ch);
}

bool StreamCellEditor::deleteKey() {
    RunGuarded([this] { ClearSelectedCells(); }, window_.caption());
    return true;
}

void StreamCellEditor::commitText(int row, int col, const QString& text) {
    // An edit is an entry point of its own (a key, a click elsewhere, the window closing).
    RunGuarded([&] { commitCell(row, col, text); }, window_.caption());
}

void StreamCellEditor::commitCell(int row, int col, const QString& text) {
    ui::FlexGrid* g = grid();
    if (col >= 4 && col <= 9) {
        if (common::ParseDouble(text) >= 0) g->setTextMatrix(row, col, text);
    } else {
        g->setTextMatrix(row, col, text.trimmed() == QStringLiteral("0") ? QString() : text);
    }
    if (window_.GridStreamName.isEmpty() || window_.CellReadOnly) return;
    // The row that was edited names the stream (the current row may have moved on since).
    const QString name = g->TextMatrix(row, ColName);
    if (name.isEmpty()) return;
    int index = window_.GridStreamIndex;
    if (name != window_.GridStreamName || index < 0 || index >= int(StreamTable.size()) ||
        StreamTable[size_t(index)].Name.compare(name, Qt::CaseInsensitive) != 0)
        index = FindStreamIndex(name);
    if (index < 0) return;
    switch (col) {
        case ColGroup:
            commitGroup(index, row);
            break;
        case ColPhases:
            commitPhases(index, row);
            break;
        case ColDescription:
            commitDescription(index, row, name);
            break;
        default:
            if (col >= 4 && col <= 9) commitKinematic(index, row, col, name);
            break;
    }
}

void StreamCellEditor::commitGroup(int index, int row) {
    ui::FlexGrid* g = grid();
    const int group = common::ParseInteger(g->TextMatrix(row, ColGroup));
    const QString base = upperBase(index);
    const QString groupText = group > 0 ? QString::number(group) : QString();
    if (window_.StreamHasVariants) {
        for (StreamRecord& s : StreamTable) {
            if (!s.Name.isEmpty() && s.BaseName.toUpper() == base) s.Group = group;
        }
        for (int r = g->FixedRows(); r < g->Rows(); ++r) {
            const int i = FindStreamIndex(g->TextMatrix(r, ColName));
            if (i >= 0 && upperBase(i) == base) g->setTextMatrix(r, ColGroup, groupText);
        }
    } else {
        StreamTable[size_t(index)].Group = group;
        g->setTextMatrix(row, ColGroup, groupText);
    }
    if (StreamTable[size_t(index)].Group != window_.OldGroup && drawingOpen())
        SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(group), true);
    window_.OldGroup = group;
}

void StreamCellEditor::commitPhases(int index, int row) {
    ui::FlexGrid* g = grid();
    StreamRecord& stream = StreamTable[size_t(index)];
    const QString text = g->TextMatrix(row, ColPhases);
    if (text == stream.Phases) return;
    stream.Phases = text;
    stream.Phases = AddNumberToList(index, 0);
    g->setTextMatrix(row, ColPhases, stream.Phases);
    // Streams of the same group share the phase list; a stream without a group shares it with the
    // variants of its base name, whose phases the drawing keeps under that one name.
    QStringList otherBases;
    const int group = stream.Group;
    if (group <= 0) {
        const QString base = upperBase(index);
        for (StreamRecord& s : StreamTable)
            if (!s.Name.isEmpty() && s.Group <= 0 && s.BaseName.toUpper() == base) s.Phases = stream.Phases;
        for (int r = g->FixedRows(); r < g->Rows(); ++r) {
            const int i = FindStreamIndex(g->TextMatrix(r, ColName));
            if (r != row && i >= 0 && StreamTable[size_t(i)].Group <= 0 && upperBase(i) == base)
                g->setTextMatrix(r, ColPhases, stream.Phases);
        }
    } else {
        for (StreamRecord& s : StreamTable) {
            if (&s == &stream || s.Name.isEmpty() || s.Group != group) continue;
            s.Phases = stream.Phases;
            if (s.BaseName != stream.BaseName && !otherBases.contains(s.BaseName))
                otherBases.append(s.BaseName);
        }
        for (int r = g->FixedRows(); r < g->Rows(); ++r) {
            if (r != row && common::ParseInteger(g->TextMatrix(r, ColGroup)) == group)
                g->setTextMatrix(r, ColPhases, stream.Phases);
        }
    }
    if (stream.Phases != window_.OldPhases && drawingOpen()) {
        ReadIntersectionAttributeBlock();
        for (const QString& base : otherBases)
            SetStreamAttribute(QStringLiteral("FAZY"), base.toUpper(), stream.Phases, false);
        SetStreamAttribute(QStringLiteral("FAZY"), stream.BaseName.toUpper(), stream.Phases, false);
        WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
    }
    window_.OldPhases = stream.Phases;
}

void StreamCellEditor::commitDescription(int index, int row, const QString& name) {
    StreamRecord& stream = StreamTable[size_t(index)];
    stream.Description = grid()->TextMatrix(row, ColDescription).trimmed();
    if (stream.Description != window_.OldDescription && drawingOpen())
        SetStreamAttribute(QStringLiteral("OPISY"), name, stream.Description, true);
    window_.OldDescription = stream.Description;
}

void StreamCellEditor::commitKinematic(int index, int row, int col, const QString& name) {
    ui::FlexGrid* g = grid();
    const bool kmh = SpeedsInKmh();
    const QString text = g->TextMatrix(row, col);
    const double value = KinematicValueOfCell(text, col, kmh);
    if (!text.trimmed().isEmpty()) g->setTextMatrix(row, col, KinematicCellText(value, col, kmh));
    double* field = KinematicField(StreamTable[size_t(index)], col);
    if (!field || *field == value) return;
    *field = value;
    if (drawingOpen())
        SetStreamAttribute(ColumnAttributeTag(col), name,
                           common::FormatNumber(value, QStringLiteral("#######0.00")), true);
}

void StreamCellEditor::ClearSelectedCells() {
    ui::FlexGrid* g = grid();
    if (g->FixedRows() == 0) return;
    int r1 = std::min(g->Row(), g->RowSel()), r2 = std::max(g->Row(), g->RowSel());
    const int c1 = std::min(g->Col(), g->ColSel()), c2 = std::max(g->Col(), g->ColSel());
    if (r1 < 1) r1 = 1;
    const bool open = drawingOpen();
    if (open) ReadIntersectionAttributeBlock();
    bool changed = false;
    for (int r = r1; r <= r2 && r < g->Rows(); ++r) {
        const QString name = g->TextMatrix(r, ColName);
        const int index = FindStreamIndex(name);
        if (index < 0) continue;
        StreamRecord& stream = StreamTable[size_t(index)];
        const QString base = stream.BaseName.toUpper();
        for (int c = c1; c <= c2; ++c) {
            // Only what the attribute block keeps as text is cleared: the name, the kinematic values
            // and the sort key stay as they are.
            if (c == ColGroup) {
                stream.Group = 0;
                if (open) SetStreamAttribute(QStringLiteral("GRUPY"), base, QString(), false);
            } else if (c == ColPhases) {
                stream.Phases.clear();
                if (open) SetStreamAttribute(QStringLiteral("FAZY"), base, QString(), false);
            } else if (c == ColDescription) {
                stream.Description.clear();
                if (open) SetStreamAttribute(QStringLiteral("OPISY"), stream.Name, QString(), false);
            } else {
                continue;
            }
            g->setTextMatrix(r, c, QString());
            changed = true;
        }
    }
    if (open && changed) WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
}

}  // namespace conflictor
