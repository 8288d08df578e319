// The colliding-pairs dialog. Item numbers are record numbers (the table's labels), so a pair's
// groups are found without the grid.
#include "phaseplanner/app/CollisionDialog.h"

#include "automation/CadConnection.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/CadReconnect.h"
#include "phaseplanner/drawing/PairHighlight.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/GroupTable.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// The letter the program table gives the group (B for a bus group, T for a tram group).
QString kindLetter(int index) {
    if (index < 0 || index >= int(GroupTable.size())) return QString();
    return GroupLetter(GroupTable[std::size_t(index)]);
}

// The digits from `from` on; -1 when there are none.
int leadingNumber(const QString& text, qsizetype from) {
    qsizetype k = from;
    while (k < text.size() && text[k] == QLatin1Char(' ')) ++k;
    qsizetype e = k;
    while (e < text.size() && text[e].isDigit()) ++e;
    bool ok = false;
    const int v = text.mid(k, e - k).toInt(&ok);
    return ok ? v : -1;
}
}  // namespace

QString CollisionDialog::PairItemText(int a, int b) {
    return QString::number(a + 1) + kindLetter(a) + QStringLiteral(" : ") + QString::number(b + 1) +
           kindLetter(b);
}

bool CollisionDialog::PairOfItem(const QString& item, int& a, int& b) {
    const qsizetype colon = item.indexOf(QLatin1Char(':'));
    if (colon < 0) return false;
    a = leadingNumber(item, 0) - 1;
    b = leadingNumber(item, colon + 1) - 1;
    const int n = int(GroupTable.size());
    return a >= 0 && b >= 0 && a < n && b < n;
}

CollisionDialog::CollisionDialog(const std::vector<std::pair<int, int>>& pairs, PairRemover remover,
                                 bool onTop, QWidget* parent)
    : QDialog(parent), remover_(std::move(remover)), onTop_(onTop) {
    setObjectName(QStringLiteral("frmKolizje"));
    setWindowTitle(tr_("Grupy kolidujące"));
    lbParyGrup = new QListWidget(this);
    lbParyGrup->setObjectName(QStringLiteral("lbParyGrup"));
    lbParyGrup->installEventFilter(this);
    cmdZaznacz = new QPushButton(tr_("Zaznacz Grupy"), this);
    cmdZaznacz->setObjectName(QStringLiteral("cmdZaznacz"));
    cmdUsunZExcela = new QPushButton(tr_("Usuń kolizję z matrycy kolizji"), this);
    cmdUsunZExcela->setObjectName(QStringLiteral("cmdUsunZExcela"));
    cmdOk = new QPushButton(tr_("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setToolTip(tr_("Zatwierdź wprowadzone wartości i zamknij dialog"));
    cmdPomoc = new QPushButton(tr_("&Pomoc"), this);
    cmdPomoc->setObjectName(QStringLiteral("cmdPomoc"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdZaznacz);
    buttons->addWidget(cmdUsunZExcela);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdPomoc);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lbParyGrup, 1);
    layout->addLayout(buttons);

    // The marking and the removal reach the drawing and the workbook: guarded as the menu commands are.
    connect(cmdZaznacz, &QPushButton::clicked, this, [this] { guardedMark(); });
    connect(cmdUsunZExcela, &QPushButton::clicked, this,
            [this] { RunGuarded(windowTitle(), [this] { cmdUsunZExcela_Click(); }); });
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdPomoc, &QPushButton::clicked, this, [] { common::ShowHelpForActiveWindow(10011); });
    connect(lbParyGrup, &QListWidget::itemClicked, this, [this] { guardedMark(); });

    // Load.
    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, QStringLiteral("Okno_Kolizje"), QString(), QStringLiteral("100"));
    SchemeWarningArmed = true;
    SchemeWarningShown = false;
    lbParyGrup->clear();
    for (const auto& [a, b] : pairs) lbParyGrup->addItem(PairItemText(a, b));
    if (lbParyGrup->count() > 0) {
        lbParyGrup->setCurrentRow(0);
        cmdZaznacz_Click();
    }
}

CollisionDialog::~CollisionDialog() = default;

void CollisionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onTop_) common::SetFormTopmost(this, true);
}

bool CollisionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbParyGrup && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guardedMark();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CollisionDialog::cmdZaznacz_Click() {
    const QListWidgetItem* item = lbParyGrup->currentItem();
    int a = -1, b = -1;
    if (!item || !PairOfItem(item->text(), a, b)) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (automation::CheckDocumentOpen(false)) HighlightGroupPairStreams(a, b, 3, 1, refreshHighlight_);
    } catch (...) {
        QGuiApplication::restoreOverrideCursor();
        throw;
    }
    QGuiApplication::restoreOverrideCursor();
}

void CollisionDialog::cmdUsunZExcela_Click() {
    const int row = lbParyGrup->currentRow();
    int a = -1, b = -1;
    if (row < 0 || !PairOfItem(lbParyGrup->item(row)->text(), a, b)) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool removed = false;
    try {
        removed = remover_ && remover_(a, b);
    } catch (...) {
        QGuiApplication::restoreOverrideCursor();
        throw;
    }
    QGuiApplication::restoreOverrideCursor();
    if (!removed) return;
    delete lbParyGrup->takeItem(row);
    if (lbParyGrup->count() > 0) lbParyGrup->setCurrentRow(std::min(row, lbParyGrup->count() - 1));
}

void CollisionDialog::guardedMark() {
    RunGuarded(windowTitle(), [this] { cmdZaznacz_Click(); });
}

void CollisionDialog::done(int result) {
    // The marked streams get their colours back; with the CAD gone (and not connected again) the
    // dialog closes all the same.
    RunGuarded(windowTitle(), [] {
        if (automation::CheckDocumentOpen(false)) ResetStreamColours(true);
    });
    common::SaveFormPosition(this, QStringLiteral("Okno_Kolizje"));
    QDialog::done(result);
}

}  // namespace phaseplanner
