// The program parameters dialog.
#include "phaseplanner/app/ParametersDialog.h"

#include "automation/CadConnection.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/CadReconnect.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
}  // namespace

ParametersDialog::ParametersDialog(MainWindow& owner) : QDialog(&owner), owner_(owner) {
    setObjectName(QStringLiteral("frmParametry"));
    setWindowTitle(tr_("Parametry pracy programu"));
    setWindowIcon(owner.windowIcon());
    auto* layout = new QVBoxLayout(this);
    auto* frame = new QGroupBox(tr_("Parametry pracy programu - aktywny rysunek"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* form = new QFormLayout(frame);
    edGodzOd = new QLineEdit(frame);
    edGodzOd->setObjectName(QStringLiteral("edGodzOd"));
    edGodzDo = new QLineEdit(frame);
    edGodzDo->setObjectName(QStringLiteral("edGodzDo"));
    edOffset = new QLineEdit(frame);
    edOffset->setObjectName(QStringLiteral("edOffset"));
    form->addRow(tr_("Godzina rozpoczęcia pracy:"), edGodzOd);
    form->addRow(tr_("Godzina zakończenia pracy:"), edGodzDo);
    form->addRow(tr_("Offset:"), edOffset);
    layout->addWidget(frame);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(tr_("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdAnuluj = new QPushButton(tr_("&Anuluj"), this);
    cmdAnuluj->setObjectName(QStringLiteral("cmdAnuluj"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnuluj);
    layout->addLayout(buttons);
    // OK writes the drawing's program block: guarded as the menu commands are, the dialog kept open on a failure.
    connect(cmdOK, &QPushButton::clicked, this, [this] { RunGuarded(windowTitle(), [this] { cmdOK_Click(); }); });
    connect(cmdAnuluj, &QPushButton::clicked, this, &QDialog::reject);

    common::TranslateFormCaptions(this, 0);
    common::SetHelpContext(this, owner.HelpContext);
    common::LoadFormPosition(this, QStringLiteral("Parametry"), QString(), QStringLiteral("100"));

    const bool drawing = automation::CheckDocumentOpen(false);
    if (drawing) {
        // Only the three values this dialog edits are taken from the block.
        if (const auto texts = ReadProgramAttributeTexts()) {
            WorkStartHour = texts->value(QStringLiteral("GODZ_ROZP_PRACY"), WorkStartHour);
            WorkEndHour = texts->value(QStringLiteral("GODZ_ZAK_PRACY"), WorkEndHour);
            ProgramOffset = texts->value(QStringLiteral("OFFSET"), ProgramOffset);
        }
        edGodzOd->setText(WorkStartHour);
        edGodzDo->setText(WorkEndHour);
        edOffset->setText(ProgramOffset);
    }
    for (QLineEdit* box : {edGodzOd, edGodzDo, edOffset}) box->setEnabled(drawing);
}

void ParametersDialog::cmdOK_Click() {
    // Without a drawing the boxes were empty and disabled: the program's values stay as they are.
    if (edGodzOd->isEnabled()) {
        WorkStartHour = edGodzOd->text().trimmed();
        WorkEndHour = edGodzDo->text().trimmed();
        ProgramOffset = edOffset->text().trimmed();
        if (automation::CheckDocumentOpen(false) && UstawWidoczneAtrybuty()) automation::CadDocument.regen(1);
    }
    accept();
}

void ParametersDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        common::SetFormTopmost(this, owner_.AlwaysOnTop);
    QDialog::changeEvent(event);
}

void ParametersDialog::done(int result) {
    common::SaveFormPosition(this, QStringLiteral("Parametry"));
    QDialog::done(result);
}

}  // namespace phaseplanner
