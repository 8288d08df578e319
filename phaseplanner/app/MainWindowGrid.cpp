// frmMain: the group grid grdGrupy (layout, rows from the group table, tooltips) and the states.
#include "common/TextHelpers.h"
#include "phaseplanner/app/GroupGridEditor.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/PlaybackControls.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSlider>
#include <QToolTip>

namespace phaseplanner {

namespace {
const QColor kLightGreen(0xC0, 0xFF, 0xC0);  // &H00C0FFC0
// Two-line headers wrap inside their narrow columns.
const Qt::Alignment kRightBottom = Qt::AlignRight | Qt::AlignBottom | Qt::Alignment(Qt::TextWordWrap);

QString headerText(const char* label, int k) {
    return common::Tlumacz(QString::fromUtf8(label)) + QStringLiteral(" (") + QString::number(k) +
           QLatin1Char(')');
}
}  // namespace

void MainWindow::writeGreenHeaders(int k) {
    const char* labels[3] = {"Pocz. sygn. ziel.", "Dług. sygn. ziel.", "Koniec sygn. ziel."};
    for (int j = 0; j < 3; ++j) {
        const int c = 3 * k + j;
        grdGrupy->setColWidthTwips(c, GreenColumnWidth);
        grdGrupy->setColAlignment(c, kRightBottom);
        grdGrupy->setTextMatrix(0, c, headerText(labels[j], k));
    }
}

void MainWindow::initialGrid() {
    HasGroupRows = false;
    grdGrupy->setCols(7);
    grdGrupy->setRows(2);
    // The header row three lines high, so that the two-line headers fit.
    grdGrupy->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    grdGrupy->horizontalHeader()->setMinimumHeight(grdGrupy->horizontalHeader()->fontMetrics().height() * 3 +
                                                   6);
    const struct {
        const char* text;
        int width;
    } fixed[3] = {{"Lp.", 350}, {"Rodzaj sygnaliza- torów", 1100}, {"Symbole sygnalizatorów", 1800}};
    for (int c = 0; c < 3; ++c) {
        grdGrupy->setColWidthTwips(c, fixed[c].width);
        grdGrupy->setColAlignment(c, kRightBottom);
        grdGrupy->setTextMatrix(0, c, common::Tlumacz(QString::fromUtf8(fixed[c].text)));
    }
    writeGreenHeaders(1);
    LastColumn = 6;
    grdGrupy->setColWidthTwips(LastColumn, GreenColumnWidth);
    grdGrupy->setColAlignment(LastColumn, kRightBottom);
    grdGrupy->setTextMatrix(0, LastColumn, common::Tlumacz(QStringLiteral("Dopeł- niaj od")));
    grdGrupy->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    SavedCellColor = grdGrupy->palette().color(QPalette::Base);
    GridFilled = true;
    AlwaysOnTop = false;
}

int MainWindow::faIndex(int row, int col) const {
    return row * grdGrupy->Cols() + col;
}

void MainWindow::SprawdzKolumny() {
    const int n = LargestGreenCount();
    const int cols = 3 * n + 4;
    const int old = grdGrupy->Cols();
    if (cols == old) return;
    editor_->CommitCellEdit();
    grdGrupy->setCols(cols);
    grdGrupy->setRow(0);
    if (cols > old)
        for (int k = 2; k <= n; ++k) writeGreenHeaders(k);
    LastColumn = cols - 1;
    grdGrupy->setColWidthTwips(LastColumn, 600);
    grdGrupy->setColAlignment(LastColumn, kRightBottom);
    grdGrupy->setTextMatrix(0, LastColumn, common::Tlumacz(QStringLiteral("Dopeł- niaj od")));
    // Columns changed their roles: every row is written anew.
    for (int r = 1; r < grdGrupy->Rows(); ++r) {
        if (ZnajdzIdxGrupy(r - 1) >= 0 && HasGroupRows) {
            FillGroupRow(r, false);
        } else {
            for (int c = 3; c < cols; ++c) grdGrupy->setTextMatrix(r, c, QString());
        }
    }
}

void MainWindow::FillGroupRow(int row, bool endsOnly) {
    const int i = ZnajdzIdxGrupy(row - 1);
    if (i < 0) return;
    const GroupRecord& g = GroupTable[i];
    if (!endsOnly) {
        grdGrupy->setTextMatrix(row, 1, GroupKindText(g));
        grdGrupy->setTextMatrix(row, 2, g.Symbols);
        // Cells of greens the group no longer has are emptied.
        for (int c = 3; c < LastColumn; ++c) {
            grdGrupy->setTextMatrix(row, c, QString());
            grdGrupy->setCellBackColor(row, c, SavedCellColor);
        }
    }
    for (int k = 1; k <= g.GreenCount && 3 * k + 2 < LastColumn; ++k) {
        const int c = 3 * k;
        const GreenInterval& green = g.Greens[k];
        if (green.Length != 0) {
            if (!endsOnly) {
                grdGrupy->setTextMatrix(row, c, QString::number(green.Start));
                grdGrupy->setTextMatrix(row, c + 1, QString::number(green.Length));
                grdGrupy->setCellBackColor(row, c + 1, kLightGreen);
            }
            grdGrupy->setTextMatrix(row, c + 2, QString::number(GreenEnd(green, CycleLength)));
        } else {
            if (!endsOnly) {
                grdGrupy->setTextMatrix(row, c, QString());
                grdGrupy->setTextMatrix(row, c + 1, QString());
                grdGrupy->setCellBackColor(row, c + 1, kLightGreen);
            }
            grdGrupy->setTextMatrix(row, c + 2, QString());
        }
    }
    grdGrupy->setTextMatrix(row, LastColumn, g.ComplementOn ? QString::number(g.ComplementFrom) : QString());
}

int MainWindow::appendGroupRow() {
    if (HasGroupRows) {
        grdGrupy->addRow();
        grdGrupy->setTextMatrix(grdGrupy->Rows() - 1, 0, QString::number(grdGrupy->Rows() - 1));
    } else {
        // The grid always has row 1; the first group takes it.
        HasGroupRows = true;
        grdGrupy->setTextMatrix(1, 0, QStringLiteral("1"));
    }
    return grdGrupy->Rows() - 1;
}

void MainWindow::FillGroupGrid() {
    editor_->CommitCellEdit();
    GridFilled = false;
    HasGroupRows = false;
    grdGrupy->setUpdatesEnabled(false);
    grdGrupy->setRows(2);
    for (int c = 0; c < grdGrupy->Cols(); ++c) {
        grdGrupy->setTextMatrix(1, c, QString());
        grdGrupy->setCellBackColor(1, c, SavedCellColor);
    }
    SprawdzKolumny();
    for (int i = 0; i < int(GroupTable.size()); ++i) {
        if (!GroupTable[i].Defined) continue;
        appendGroupRow();
        FillGroupRow(grdGrupy->Rows() - 1, false);
    }
    grdGrupy->setUpdatesEnabled(true);
    GridFilled = true;
}

void MainWindow::ComputeProgramStates(bool keepSecond) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    States = ComputeStates(GroupTable, CycleLength);
    const int saved = sldStany->value();
    sldStany->blockSignals(true);
    if (States.LastState < 0) {
        // No group with a head symbol: no state is ever looked up.
        sldStany->setEnabled(false);
        sldStany->setValue(-1);
    } else {
        sldStany->setEnabled(true);
        sldStany->setMaximum(std::max(0, CycleLength));
        // A kept second lies within -1..cycle even after the cycle shrank.
        sldStany->setValue(keepSecond ? std::clamp(saved, -1, std::max(0, CycleLength)) : -1);
    }
    sldStany->blockSignals(false);
    showSecond(sldStany->value());
    edtSekunda->setEnabled(sldStany->isEnabled());
    if (playback_) playback_->followSlider(sldStany->isEnabled());
    QApplication::restoreOverrideCursor();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdGrupy->viewport() && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int c = grdGrupy->columnAt(help->pos().x()) + grdGrupy->FixedCols();
        QString tip;
        if (c >= 3 && c < LastColumn) {
            static const char* parts[3] = {"Początek ", "Długość ", "Koniec "};
            tip = common::Tlumacz(QString::fromUtf8(parts[c % 3])) + QString::number(c / 3) +
                  common::Tlumacz(QStringLiteral("-go sygnału zielonego"));
        } else if (c == LastColumn) {
            tip = common::Tlumacz(QStringLiteral("Dopełniaj od"));
        }
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, grdGrupy->viewport());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace phaseplanner
