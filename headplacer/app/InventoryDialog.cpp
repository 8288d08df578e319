// The inventory dialog and EditHeadAttributes.
#include "headplacer/app/InventoryDialog.h"

#include "common/Ini.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "headplacer/app/HelpPages.h"
#include "headplacer/app/ListLoaders.h"
#include "headplacer/app/WidgetNames.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/ListFiles.h"
#include "headplacer/logic/Settings.h"
#include "headplacer/logic/TextTools.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace headplacer {

namespace {
QDateEdit* datePicker(QWidget* parent, const QString& name) {
    auto* d = named(new QDateEdit(parent), name);
    d->setDisplayFormat(QLatin1String(InventoryDateFormat));
    d->setCalendarPopup(true);
    return d;
}
}  // namespace

InventoryDialog::InventoryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAtrybutySygnalizatora"));
    setWindowTitle(common::Tlumacz(QStringLiteral("Opisywanie sygnalizatora")));
    auto* root = new QVBoxLayout(this);
    Label2 = named(new QLabel(this), QStringLiteral("Label2"));
    root->addWidget(Label2);
    auto* form = new QFormLayout;
    root->addLayout(form);
    fldKtoNaniosl = named(new QLineEdit(this), QStringLiteral("fldKtoNaniosl"));
    form->addRow(common::Tlumacz(QStringLiteral("Kto naniósł:")), fldKtoNaniosl);
    cmbUlica = freeTextCombo(this, QStringLiteral("cmbUlica"));
    cmbUlica->setMinimumWidth(260);
    cmdDopiszWlot = named(new QPushButton(QStringLiteral("+"), this), QStringLiteral("cmdDopiszWlot"));
    cmdDopiszWlot->setToolTip(common::Tlumacz(QStringLiteral("Dopisuje wlot do listy ")));
    auto* street = new QHBoxLayout;
    street->addWidget(cmbUlica, 1);
    street->addWidget(cmdDopiszWlot);
    form->addRow(common::Tlumacz(QStringLiteral("Nazwa ulicy (wlotu):")), street);
    cmbNaWniosek = freeTextCombo(this, QStringLiteral("cmbNaWniosek"));
    form->addRow(common::Tlumacz(QStringLiteral("Na wniosek:")), cmbNaWniosek);
    cmbKtoWykonal = freeTextCombo(this, QStringLiteral("cmbKtoWykonal"));
    form->addRow(common::Tlumacz(QStringLiteral("Kto wykonał:")), cmbKtoWykonal);
    dtpDataRealizacji = datePicker(this, QStringLiteral("dtpDataRealizacji"));
    form->addRow(common::Tlumacz(QStringLiteral("Data realizacji:")), dtpDataRealizacji);
    dtpDataZlecenia = datePicker(this, QStringLiteral("dtpDataZlecenia"));
    form->addRow(common::Tlumacz(QStringLiteral("Data zlecenia:")), dtpDataZlecenia);
    fldNrZlecenia = named(new QLineEdit(this), QStringLiteral("fldNrZlecenia"));
    form->addRow(common::Tlumacz(QStringLiteral("Nr zlecenia:")), fldNrZlecenia);
    dtpDataInwent = datePicker(this, QStringLiteral("dtpDataInwent"));
    form->addRow(common::Tlumacz(QStringLiteral("Data inwentaryzacji:")), dtpDataInwent);
    fldUwagi = named(new QLineEdit(this), QStringLiteral("fldUwagi"));
    form->addRow(common::Tlumacz(QStringLiteral("Uwagi:")), fldUwagi);
    lblFormatDaty = named(new QLabel(this), QStringLiteral("lblFormatDaty"));
    root->addWidget(lblFormatDaty);

    auto* buttons = new QHBoxLayout;
    cmdOnTop[0] = named(new QPushButton(common::Tlumacz(QStringLiteral("Przypnij")), this),
                        QStringLiteral("cmdOnTop_0"));
    cmdOnTop[1] = named(new QPushButton(common::Tlumacz(QStringLiteral("Odepnij")), this),
                        QStringLiteral("cmdOnTop_1"));
    auto* cmdAccept = named(new QPushButton(common::Tlumacz(QStringLiteral("&Zatwierdź")), this),
                            QStringLiteral("cmdAccept"));
    auto* cmdCancel =
        named(new QPushButton(common::Tlumacz(QStringLiteral("&Anuluj")), this), QStringLiteral("cmdCancel"));
    cmdAccept->setDefault(true);
    buttons->addWidget(cmdOnTop[0]);
    buttons->addWidget(cmdOnTop[1]);
    buttons->addStretch(1);
    buttons->addWidget(cmdAccept);
    buttons->addWidget(cmdCancel);
    root->addLayout(buttons);
    connect(cmdAccept, &QPushButton::clicked, this, [this] { cmdAccept_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* b : cmdOnTop) connect(b, &QPushButton::clicked, this, [this] { cmdOnTop_Click(); });
    connect(cmdDopiszWlot, &QPushButton::clicked, this, [this] { cmdDopiszWlot_Click(); });
}

void InventoryDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!filled_) fill();
}

void InventoryDialog::fill() {
    filled_ = true;
    DialogAccepted = false;
    fldKtoNaniosl->setText(values.EnteredBy);
    fldNrZlecenia->setText(values.OrderNumber);
    LoadLineList(cmbNaWniosek, QStringLiteral("Wnioskodawcy.lst"));
    LoadLineList(cmbKtoWykonal, QStringLiteral("Wykonawcy.lst"));
    Label2->setText(common::Tlumacz(QStringLiteral("Sygnalizator:")) + QLatin1Char(' ') + InventoryNumber);
    lblFormatDaty->setText(QStringLiteral("(Format daty: %1)").arg(GetShortDatePattern()));
    const QDate today = QDate::currentDate();
    for (QDateEdit* d : {dtpDataRealizacji, dtpDataZlecenia, dtpDataInwent}) d->setDate(today);
    ApplyOnTopState(this, cmdOnTop[0], cmdOnTop[1]);
    cmbUlica->clear();
    LoadStreetList(cmbUlica);
}

void InventoryDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpPage(HelpWindow::Inventory, this);
        return;
    }
    QDialog::keyPressEvent(e);
}

void InventoryDialog::cmdAccept_Click() {
    values.EnteredBy = fldKtoNaniosl->text();
    values.StreetName = cmbUlica->currentText();
    values.Applicant = cmbNaWniosek->currentText();
    values.Contractor = cmbKtoWykonal->currentText();
    values.OrderNumber = fldNrZlecenia->text();
    values.Remarks = fldUwagi->text();
    values.RealisationDate = FormatInventoryDate(dtpDataRealizacji->date());
    values.OrderDate = FormatInventoryDate(dtpDataZlecenia->date());
    values.InventoryDate = FormatInventoryDate(dtpDataInwent->date());
    DialogAccepted = true;
    accept();
}

void InventoryDialog::cmdOnTop_Click() {
    DialogOnTop = !DialogOnTop;
    ApplyOnTopState(this, cmdOnTop[0], cmdOnTop[1]);
}

void InventoryDialog::cmdDopiszWlot_Click() {
    const QString street = cmbUlica->currentText().trimmed();
    const QString path = StreetListPath();
    if (street.isEmpty()) return;  // an empty line would only be skipped by the reader
    if (!AppendListLineOnce(path, street, true)) {
        ui::MsgBox(QStringLiteral("Nie można przeczytać listy z ulicami\n[%1]").arg(common::ShortForMessage(path)), ui::Exclamation,
                   MessageTitle());
        return;
    }
    if (cmbUlica->findText(street, Qt::MatchExactly) < 0) cmbUlica->addItem(street);
}

void ApplyOnTopState(QWidget* window, QPushButton* first, QPushButton* second) {
    common::SetFormTopmost(window, DialogOnTop);
    first->setVisible(!DialogOnTop);
    second->setVisible(DialogOnTop);
}

InventoryValues OpeningInventoryValues() {
    InventoryValues v;
    v.OrderNumber =
        common::GetIni(common::IniFilePath, SettingsSection(), QStringLiteral("NumerZlecenia00"), QString());
    v.EnteredBy = common::GetIni(common::IniFilePath, SettingsSection(), QStringLiteral("Operator00"), QString());
    // A list that is missing leaves its field empty, as the dialog's own list does.
    QStringList lines;
    if (ReadListLines(common::JoinPath(ListFolder(), QStringLiteral("Wnioskodawcy.lst")), lines))
        v.Applicant = lines.value(0);
    lines.clear();
    if (ReadListLines(common::JoinPath(ListFolder(), QStringLiteral("Wykonawcy.lst")), lines))
        v.Contractor = lines.value(0);
    v.StreetName = GetLastStreet();
    const QString today = FormatInventoryDate(QDate::currentDate());
    v.RealisationDate = v.OrderDate = v.InventoryDate = today;
    return v;
}

bool EditHeadAttributes(const QString& headHandle, QWidget* parent) {
    Q_UNUSED(headHandle);
    InventoryDialog dialog(parent);
    dialog.values = {};
    const InventoryValues opening = OpeningInventoryValues();
    dialog.values.OrderNumber = opening.OrderNumber;
    dialog.values.EnteredBy = opening.EnteredBy;
    dialog.exec();
    if (!dialog.DialogAccepted) return false;
    const QStringList notWritten = ApplyInventory(dialog.values);
    if (!notWritten.isEmpty())
        ui::MsgBox(QStringLiteral("Nie zapisano danych inwentaryzacyjnych:\n%1").arg(notWritten.join(QLatin1Char('\n'))),
                   ui::Exclamation, MessageTitle());
    return true;
}

}  // namespace headplacer
