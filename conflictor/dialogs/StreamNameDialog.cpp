// The stream naming dialog.
#include "conflictor/dialogs/StreamNameDialog.h"

#include "common/Ini.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/streams/StreamNaming.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace conflictor {

namespace {
const QString WindowKey = QStringLiteral("Okno_Nazwa_Strumienia");
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
}  // namespace

const QStringList& DescriptionPresets() {
    static const QStringList presets = {QStringLiteral("AP"), QStringLiteral("AW"), QStringLiteral("AL"),
                                        QStringLiteral("CL"), QStringLiteral("CW"), QStringLiteral("CP"),
                                        QStringLiteral("BP"), QStringLiteral("BW"), QStringLiteral("BL"),
                                        QStringLiteral("DL"), QStringLiteral("DW"), QStringLiteral("DP")};
    return presets;
}

StreamNameDialog::StreamNameDialog(bool isCopy, QWidget* owner) : QDialog(owner), IsCopy(isCopy) {
    setObjectName(QStringLiteral("frmNazwaStrumienia"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    auto* label2 = new QLabel(tr_("Nazwa strumienia:"));
    label2->setObjectName(QStringLiteral("Label2"));
    edtNazwaStrumienia = new QLineEdit;
    edtNazwaStrumienia->setObjectName(QStringLiteral("edtNazwaStrumienia"));
    auto* label1 = new QLabel(tr_("Numer grupy:"));
    label1->setObjectName(QStringLiteral("Label1"));
    edtNrGrupy = new QLineEdit;
    edtNrGrupy->setObjectName(QStringLiteral("edtNrGrupy"));
    fields->addWidget(label2, 0, 0);
    fields->addWidget(edtNazwaStrumienia, 0, 1);
    fields->addWidget(label1, 1, 0);
    fields->addWidget(edtNrGrupy, 1, 1);
    layout->addLayout(fields);

    auto* frame = new QGroupBox(tr_("Opis strumienia"));
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QGridLayout(frame);
    edOpis = new QLineEdit;
    edOpis->setObjectName(QStringLiteral("edOpis"));
    frameLayout->addWidget(edOpis, 0, 0, 1, 6);
    for (int i = 0; i < DescriptionPresets().size(); ++i) {
        auto* b = new QPushButton(DescriptionPresets()[i]);
        b->setObjectName(QStringLiteral("cmdOpis_%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, Guarded(this, [this, i] { cmdOpis_Click(i); }));
        frameLayout->addWidget(b, 1 + i / 6, i % 6);
    }
    layout->addWidget(frame);

    cmdPropNazwa = new QPushButton(tr_("Zaproponuj nazwę dla strumienia rozjeżdżającego się"));
    cmdPropNazwa->setObjectName(QStringLiteral("cmdPropNazwa"));
    cmdPropNazwa->setAutoDefault(false);
    cmdPobierzNazweStrumienia = new QPushButton(tr_("Pobierz nazwę strumienia"));
    cmdPobierzNazweStrumienia->setObjectName(QStringLiteral("cmdPobierzNazweStrumienia"));
    cmdPobierzNazweStrumienia->setToolTip(tr_("Pobierz nazwę strumienia z sygnalizatora"));
    cmdPobierzNazweStrumienia->setAutoDefault(false);
    lblKopiowanie = new QLabel(tr_("Kopiowany strumień:"));
    lblKopiowanie->setObjectName(QStringLiteral("lblKopiowanie"));
    lblKopiowanyStrumien = new QLabel;
    lblKopiowanyStrumien->setObjectName(QStringLiteral("lblKopiowanyStrumien"));
    auto* copyRow = new QHBoxLayout;
    copyRow->addWidget(lblKopiowanie);
    copyRow->addWidget(lblKopiowanyStrumien, 1);
    layout->addWidget(cmdPropNazwa);
    layout->addWidget(cmdPobierzNazweStrumienia);
    layout->addLayout(copyRow);
    connect(cmdPropNazwa, &QPushButton::clicked, this, Guarded(this, [this] { cmdPropNazwa_Click(); }));
    connect(cmdPobierzNazweStrumienia, &QPushButton::clicked, this,
            Guarded(this, [this] { cmdPobierzNazweStrumienia_Click(); }));

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(tr_("OK"));
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr_("Anuluj"));
    cancel->setObjectName(QStringLiteral("cmdAnuluj"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, Guarded(this, [this] { cmdOk_Click(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Load.
    NewStreamIndex = -1;
    common::TranslateFormCaptions(this, 0);
    const QString source = MainWindow().GridStreamName;
    if (IsCopy) {
        setWindowTitle(tr_("Kopiuj strumień - tworzenie strumienia warunkowego"));
        lblKopiowanyStrumien->setText(source);
        edtNazwaStrumienia->setText(CopyNameProposal(source));
        cmdPropNazwa->hide();
        cmdPobierzNazweStrumienia->hide();
    } else {
        setWindowTitle(tr_("Nowy strumień"));
        lblKopiowanie->hide();
        lblKopiowanyStrumien->hide();
    }
    common::LoadFormPosition(this, WindowKey);
}

void StreamNameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    common::SetFormTopmost(this, common::AlwaysOnTop);
    edtNazwaStrumienia->setFocus();
}

void StreamNameDialog::done(int result) {
    common::SaveFormPosition(this, WindowKey);
    QDialog::done(result);
}

void StreamNameDialog::cmdOpis_Click(int index) {
    edOpis->setText(DescriptionPresets().value(index));
}

void StreamNameDialog::cmdPropNazwa_Click() {
    int group = 0;
    const QString name = ProposeVariantName(CurrentStreamIndex, group);
    if (name.isEmpty()) return;
    edtNazwaStrumienia->setText(name);
    if (group >= 1) edtNrGrupy->setText(QString::number(group));
}

void StreamNameDialog::cmdPobierzNazweStrumienia_Click() {
    hide();
    QString name;
    try {
        name = PickSignalHeadName();
    } catch (const std::exception&) {
        show();  // back for the user, then the guard says why the pick failed
        throw;
    }
    show();
    if (!name.isEmpty()) edtNazwaStrumienia->setText(name);
}

void StreamNameDialog::cmdOk_Click() {
    NamingFocus focus = NamingFocus::None;
    const int created = AcceptStreamName(edtNazwaStrumienia->text(), edtNrGrupy->text(), edOpis->text(),
                                         windowTitle(), &focus);
    if (created < 0) {
        if (focus == NamingFocus::Group)
            edtNrGrupy->setFocus();
        else if (focus == NamingFocus::Description)
            edOpis->setFocus();
        else if (focus == NamingFocus::Name)
            edtNazwaStrumienia->setFocus();
        return;
    }
    NewStreamIndex = created;
    accept();
}

}  // namespace conflictor
