// The phase-set chooser: one line per set, its name and phase order; OK or a double-click confirms.
#include "phaseplanner/app/PhaseSetDialog.h"

#include "automation/WorkbookGroups.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/workbook/PhaseSets.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
}  // namespace

PhaseSetDialog::PhaseSetDialog(MainWindow& owner) : QDialog(&owner), owner_(owner) {
    setObjectName(QStringLiteral("frmFazy"));
    setWindowTitle(tr_("Wybór zestawu faz"));
    setWindowIcon(owner.windowIcon());
    auto* layout = new QVBoxLayout(this);
    lstFazy = new QListWidget(this);
    lstFazy->setObjectName(QStringLiteral("lstFazy"));
    // Long items scroll sideways rather than being cut.
    lstFazy->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstFazy->setMinimumWidth(360);
    layout->addWidget(lstFazy);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOk = new QPushButton(tr_("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdAnuluj = new QPushButton(tr_("Anuluj"), this);
    cmdAnuluj->setObjectName(QStringLiteral("cmdAnuluj"));
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdAnuluj);
    layout->addLayout(buttons);
    connect(cmdOk, &QPushButton::clicked, this, &PhaseSetDialog::cmdOk_Click);
    connect(cmdAnuluj, &QPushButton::clicked, this, &PhaseSetDialog::cmdAnuluj_Click);
    connect(lstFazy, &QListWidget::itemDoubleClicked, this, [this] { lstFazy_DblClick(); });

    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, QStringLiteral("Fazy"), QString(), QStringLiteral("100"));
    for (int i = 0; i < PhaseSetNames.size(); ++i)
        lstFazy->addItem(PhaseSetNames[i] + tr_(", Kolejność faz: ") + PhaseSetOrders.value(i));
    if (lstFazy->count() > 0) lstFazy->setCurrentRow(0);
    PhaseSetDialogOk = -1;
}

void PhaseSetDialog::cmdOk_Click() {
    const int index = lstFazy->currentRow();
    if (index < 0) return;
    if (!automation::WorkbookNewLayout) ChosenPhaseSet += index;
    PhaseSetDialogOk = index;
    accept();
}

void PhaseSetDialog::cmdAnuluj_Click() {
    reject();
}

void PhaseSetDialog::lstFazy_DblClick() {
    if (lstFazy->currentRow() >= 0 && lstFazy->currentItem() && lstFazy->currentItem()->isSelected())
        cmdOk_Click();
}

void PhaseSetDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        common::SetFormTopmost(this, owner_.AlwaysOnTop);
    QDialog::changeEvent(event);
}

void PhaseSetDialog::done(int result) {
    if (!isMinimized()) common::SaveFormPosition(this, QStringLiteral("Fazy"));
    QDialog::done(result);
}

void ShowPhaseSetDialog(MainWindow& owner) {
    PhaseSetDialog dialog(owner);
    dialog.exec();
}

}  // namespace phaseplanner
