// The detector list: its grid and in-place editor, adding, removing and moving rows.
#include "conflictor/mainwindow/DetectorDialog.h"

#include "common/Ini.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/FlexGridEditor.h"
#include "platform/ui/core/Prompt.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace conflictor {

using common::Tlumacz;

namespace {

const QColor Highlight(0, 255, 255);

// The detector list's editor: digits and "." start an edit with that character, any other character
// with "0"; a commit stores the trimmed text.
class DetectorCellEditor : public ui::FlexGridEditor {
public:
    DetectorCellEditor(ui::FlexGrid* grid, DetectorDialog& dialog)
        : ui::FlexGridEditor(grid), dialog_(dialog) {}

protected:
    bool isCellEditable(int row, int col) const override {
        return !dialog_.CellNotEditable && ui::FlexGridEditor::isCellEditable(row, col);
    }
    QString startText(int key, int row, int col, bool* selectAll) override {
        if (key >= 0 && key <= 32) {
            *selectAll = true;
            const QString text = grid()->TextMatrix(row, col);
            return text.trimmed() == QStringLiteral("0") ? QString() : text;
        }
        *selectAll = false;
        const QChar ch(key);
        if ((ch.isDigit() && key < 128) || ch == QLatin1Char('.')) return QString(ch);
        return QStringLiteral("0");
    }
    void commitText(int row, int col, const QString& text) override {
        grid()->setTextMatrix(row, col, text.trimmed());
    }

private:
    DetectorDialog& dialog_;
};

}  // namespace

DetectorDialog::DetectorDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDetektory"));
    setWindowTitle(Tlumacz(QStringLiteral("Detektory strumienia")));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    grdDetektory = new ui::FlexGrid;
    grdDetektory->setObjectName(QStringLiteral("grdDetektory"));
    grdDetektory->setCols(2);
    grdDetektory->setRows(1);
    left->addWidget(grdDetektory, 1);
    auto* chosen = new QHBoxLayout;
    chosen->addWidget(new QLabel(Tlumacz(QStringLiteral("Wybrany:"))));
    lblWybrany = new QLabel;
    lblWybrany->setObjectName(QStringLiteral("lblWybrany"));
    chosen->addWidget(lblWybrany, 1);
    left->addLayout(chosen);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* fields = new QGridLayout;
    edNazwa = new QLineEdit;
    edNazwa->setObjectName(QStringLiteral("edNazwa"));
    edOdl = new QLineEdit;
    edOdl->setObjectName(QStringLiteral("edOdl"));
    fields->addWidget(new QLabel(Tlumacz(QStringLiteral("Nazwa:"))), 0, 0);
    fields->addWidget(edNazwa, 0, 1);
    fields->addWidget(new QLabel(Tlumacz(QStringLiteral("Odległość:"))), 1, 0);
    fields->addWidget(edOdl, 1, 1);
    right->addLayout(fields);
    auto button = [&](const char* name, const char* text) {
        auto* b = new QPushButton(Tlumacz(QString::fromUtf8(text)));
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        right->addWidget(b);
        return b;
    };
    btnDodaj = button("btnDodaj", "&Dodaj");
    btnUsun = button("btnUsun", "&Usuń");
    cmdUp = button("cmdUp", "W &górę");
    cmdDown = button("cmdDown", "W &dół");
    right->addStretch(1);
    cmdZakoncz = button("cmdZakoncz", "&Zakończ");
    cmdAnuluj = button("cmdAnuluj", "&Anuluj");
    layout->addLayout(right);

    editor = new DetectorCellEditor(grdDetektory, *this);

    // Load.
    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, QStringLiteral("Okno_Detektory"));
    lblWybrany->clear();
    grdDetektory->setTextMatrix(0, 0, Tlumacz(QStringLiteral("Nazwa")));
    grdDetektory->setTextMatrix(0, 1, Tlumacz(QStringLiteral("Odległość")));
    for (int c = 0; c < 2; ++c) {
        grdDetektory->setColWidthTwips(c, 1000);
        grdDetektory->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    DefaultCellColor = grdDetektory->cellBackColor(0, 0);
    for (int i = 0; i < 8; ++i) AddDetectorRow(QStringLiteral("L%1").arg(i), QStringLiteral("1%1").arg(i));
    grdDetektory->setCol(0);

    connect(grdDetektory, &ui::FlexGrid::cellEntered, this, Guarded(this, [this] { enterCell(); }));
    connect(grdDetektory, &ui::FlexGrid::cellLeft, this, Guarded(this, [this](int row, int col) { leaveCell(row, col); }));
    connect(btnDodaj, &QPushButton::clicked, this, Guarded(this, [this] { btnDodaj_Click(); }));
    connect(btnUsun, &QPushButton::clicked, this, Guarded(this, [this] { btnUsun_Click(); }));
    connect(cmdUp, &QPushButton::clicked, this, Guarded(this, [this] { MoveDetectorRow(true); }));
    connect(cmdDown, &QPushButton::clicked, this, Guarded(this, [this] { MoveDetectorRow(false); }));
    connect(cmdZakoncz, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 300);
}

DetectorDialog::~DetectorDialog() = default;

int DetectorDialog::CellIndex(int row, int column) const {
    return grdDetektory->flatIndex(row, column);
}

void DetectorDialog::AddDetectorRow(const QString& name, const QString& distance) {
    grdDetektory->addRow();
    const int row = grdDetektory->Rows() - 1;
    if (!name.isEmpty()) grdDetektory->setTextMatrix(row, 0, name);
    if (!distance.isEmpty()) grdDetektory->setTextMatrix(row, 1, distance);
    if (grdDetektory->Rows() >= 2) grdDetektory->setFixedRows(1);
}

void DetectorDialog::btnDodaj_Click() {
    const QString name = edNazwa->text().trimmed();
    if (name.isEmpty()) {
        ui::MsgBox(Tlumacz(QStringLiteral("Nie podano nazwy detektora!")), ui::Exclamation, windowTitle());
        edNazwa->setFocus();
        return;
    }
    AddDetectorRow(name, edOdl->text().trimmed());
}

void DetectorDialog::btnUsun_Click() {
    const int row = grdDetektory->Row();
    if (row < 1 || grdDetektory->FixedRows() == 0) return;
    leaveCell(row, grdDetektory->Col());
    if (grdDetektory->Rows() == 2) {
        grdDetektory->setFixedRows(0);
        grdDetektory->removeRowAt(1);
    } else {
        grdDetektory->removeRowAt(row);
    }
    enterCell();
}

void DetectorDialog::MoveDetectorRow(bool up) {
    ui::FlexGrid* g = grdDetektory;
    const int r = g->Row();
    const QString a0 = g->TextMatrix(r, 0), a1 = g->TextMatrix(r, 1);
    leaveCell(r, g->Col());
    editor->setMovingRow(true);
    const bool allowed = up ? r >= 2 : (r >= 1 && r + 1 < g->Rows());
    if (allowed && g->FixedRows() > 0) {
        const int other = up ? r - 1 : r + 1;
        g->setTextMatrix(r, 0, g->TextMatrix(other, 0));
        g->setTextMatrix(r, 1, g->TextMatrix(other, 1));
        g->setTextMatrix(other, 0, a0);
        g->setTextMatrix(other, 1, a1);
        g->setRow(other);
    }
    editor->setMovingRow(false);
    enterCell();
}

void DetectorDialog::enterCell() {
    ui::FlexGrid* g = grdDetektory;
    const int row = g->Row();
    CellNotEditable = row == 0 || g->FixedRows() == 0;
    if (!CellNotEditable) g->setCellBackColor(row, g->Col(), Highlight);
    lblWybrany->setText(row >= 1 && g->Rows() > 1 && g->FixedRows() > 0 ? g->TextMatrix(row, 0) : QString());
}

void DetectorDialog::leaveCell(int row, int col) {
    if (grdDetektory->FixedRows() > 0 && row >= 1 && row < grdDetektory->Rows())
        grdDetektory->setCellBackColor(row, col, DefaultCellColor);
    if (!editor->MovingRow()) editor->CommitCellEdit();
}

void DetectorDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        common::SetFormTopmost(this, common::AlwaysOnTop);
}

void DetectorDialog::done(int result) {
    if (!saved_) {
        saved_ = true;
        common::SaveFormPosition(this, QStringLiteral("Okno_Detektory"));
    }
    QDialog::done(result);
}

}  // namespace conflictor
