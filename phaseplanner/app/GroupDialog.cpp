// The group editor dialog.
#include "phaseplanner/app/GroupDialog.h"

#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/FlexGridEdit.h"
#include "phaseplanner/app/GroupCommands.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupEditing.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
constexpr int kSourceColumn = 3;  // hidden: the green of the record a row was filled from
}  // namespace

GroupDialog::GroupDialog(MainWindow& owner, bool isNewGroup)
    : QDialog(&owner), IsNewGroup(isNewGroup), owner_(owner) {
    setObjectName(QStringLiteral("frmGrupa"));
    DialogResult = 2;
    RefreshAllGroups = false;
    buildControls();
    common::LoadFormPosition(this, QStringLiteral("Grupa"), QString(), QStringLiteral("100"));
    if (IsNewGroup)
        setWindowTitle(tr_("Grupa - Dodawanie"));
    else
        setWindowTitle(tr_("Grupa ") + QString::number(GroupOrdinal(CurrentGroupIndex)) + tr_(" - Edycja"));
    edit_->MessageTitle = windowTitle();
    loadRecord();
    common::TranslateFormCaptions(this, 0);
    common::SetHelpContext(this, owner.HelpContext);
}

GroupDialog::~GroupDialog() = default;

void GroupDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* kindBox = new QGroupBox(tr_("Opisywany rodzaj sygnalizatorów"), this);
    auto* kindLayout = new QVBoxLayout(kindBox);
    auto* kinds = new QButtonGroup(this);
    const char* kindTexts[4] = {"kołowe lub bus", "piesze", "tramwajowe lub warunkowe", "rowerowe"};
    for (int i = 0; i < 4; ++i) {
        optRodzSygn[i] = new QRadioButton(tr_(kindTexts[i]), kindBox);
        optRodzSygn[i]->setObjectName(QStringLiteral("optRodzSygn_%1").arg(i));
        kinds->addButton(optRodzSygn[i], i);
        kindLayout->addWidget(optRodzSygn[i]);
    }
    optRodzSygn[0]->setChecked(true);
    connect(kinds, &QButtonGroup::idClicked, this, [this] { kindRule(); });

    auto* modeBox = new QGroupBox(this);
    auto* modeLayout = new QVBoxLayout(modeBox);
    auto* modes = new QButtonGroup(this);
    const char* modeTexts[3] = {"zwykła grupa", "tylko czerwone", "brak sygnału"};
    for (int i = 0; i < 3; ++i) {
        optRodzSygnPojedynczy[i] = new QRadioButton(tr_(modeTexts[i]), modeBox);
        optRodzSygnPojedynczy[i]->setObjectName(QStringLiteral("optRodzSygnPojedynczy_%1").arg(i));
        modes->addButton(optRodzSygnPojedynczy[i], i);
        modeLayout->addWidget(optRodzSygnPojedynczy[i]);
    }
    optRodzSygnPojedynczy[0]->setChecked(true);
    connect(modes, &QButtonGroup::idClicked, this, [this] { modeRule(); });

    auto* kindsRow = new QHBoxLayout;
    kindsRow->addWidget(kindBox);
    kindsRow->addWidget(modeBox);
    layout->addLayout(kindsRow);

    layout->addWidget(new QLabel(tr_("Symbole sygnalizatorów"), this));
    cmbSymbSygn = new QComboBox(this);
    cmbSymbSygn->setObjectName(QStringLiteral("cmbSymbSygn"));
    cmbSymbSygn->setEditable(true);
    cmbSymbSygn->setInsertPolicy(QComboBox::NoInsert);
    cmbSymbSygn->addItems({"K1, K1p", "K2, K2p", "K3, K3p", "K4, K4p", "K1a, K1ap, K1b, K1bp",
                           "K2a, K2ap, K2b, K2bp", "K3a, K3ap, K3b, K3bp", "K4a, K4ap, K4b, K4bp",
                           "P1a, P1b, P1c, P1d", "P2a, P2b, P2c, P2d", "P3a, P3b, P3c, P3d",
                           "P4a, P4b, P4c, P4d", "SK1->", "SK2->", "SK3->"});
    cmbSymbSygn->setCurrentIndex(-1);
    cmbSymbSygn->setEditText(QString());
    layout->addWidget(cmbSymbSygn);

    auto* greensBox = new QGroupBox(tr_("Sygnały zielone"), this);
    auto* greensLayout = new QHBoxLayout(greensBox);
    grdSygnaly = new ui::FlexGrid(greensBox);
    grdSygnaly->setObjectName(QStringLiteral("grdSygnaly"));
    grdSygnaly->setCols(4);
    grdSygnaly->setRows(2);
    grdSygnaly->setFixedRows(1);  // row 0 becomes the header
    grdSygnaly->setRows(2);
    grdSygnaly->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSygnaly->setSelectionMode(QAbstractItemView::SingleSelection);
    const struct {
        const char* text;
        int width;
    } columns[3] = {{"Lp.", 350}, {"Początek [s]", 1200}, {"Długość [s]", 1200}};
    for (int c = 0; c < 3; ++c) {
        grdSygnaly->setColWidthTwips(c, columns[c].width);
        grdSygnaly->setColAlignment(c, Qt::AlignRight | Qt::AlignBottom);
        grdSygnaly->setTextMatrix(0, c, tr_(columns[c].text));
    }
    grdSygnaly->setColWidthTwips(kSourceColumn, 0);
    grdSygnaly->setMinimumHeight(160);
    edit_ = new FlexGridEdit(grdSygnaly);
    edit_->setKolumnaSortowania(1);
    edit_->setLiczbaKolumnFixed(1);
    edit_->setDefaultDataType(FlexGridEdit::DigitsOnly);
    // Tab goes on to the next cell (start, then length), so a typed start is never left alone.
    edit_->setTabKeyBehaviour(FlexGridEdit::MoveNextColumn);
    greensLayout->addWidget(grdSygnaly, 1);
    auto* greenButtons = new QVBoxLayout;
    cmdDodaj = new QPushButton(tr_("&Dodaj sygnał"), greensBox);
    cmdDodaj->setObjectName(QStringLiteral("cmdDodaj"));
    cmdUsun = new QPushButton(tr_("&Usuń sygnał"), greensBox);
    cmdUsun->setObjectName(QStringLiteral("cmdUsun"));
    greenButtons->addWidget(cmdDodaj);
    greenButtons->addWidget(cmdUsun);
    greenButtons->addStretch();
    greensLayout->addLayout(greenButtons);
    layout->addWidget(greensBox);
    connect(cmdDodaj, &QPushButton::clicked, this, &GroupDialog::cmdDodaj_Click);
    connect(cmdUsun, &QPushButton::clicked, this, &GroupDialog::cmdUsun_Click);

    auto* complementBox = new QGroupBox(tr_("Dopełnianie sygnału"), this);
    auto* complementLayout = new QGridLayout(complementBox);
    cbDopelnienie = new QCheckBox(tr_("dopełniaj od"), complementBox);
    cbDopelnienie->setObjectName(QStringLiteral("cbDopelnienie"));
    edtDopelnienieOd = new QLineEdit(complementBox);
    edtDopelnienieOd->setObjectName(QStringLiteral("edtDopelnienieOd"));
    edtDopelnienieOd->setFixedWidth(60);
    cbDopelniajWszystkie = new QCheckBox(tr_("Zastosuj we wszystkich grupach"), complementBox);
    cbDopelniajWszystkie->setObjectName(QStringLiteral("cbDopelniajWszystkie"));
    complementLayout->addWidget(cbDopelnienie, 0, 0);
    complementLayout->addWidget(edtDopelnienieOd, 0, 1);
    complementLayout->addWidget(cbDopelniajWszystkie, 1, 0, 1, 2);
    layout->addWidget(complementBox);
    connect(cbDopelnienie, &QCheckBox::clicked, this, [this] { complementRule(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(tr_("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(false);
    cmdOK->setAutoDefault(false);
    cmdAnuluj = new QPushButton(tr_("&Anuluj"), this);
    cmdAnuluj->setObjectName(QStringLiteral("cmdAnuluj"));
    cmdAnuluj->setAutoDefault(false);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnuluj);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &GroupDialog::cmdOK_Click);
    connect(cmdAnuluj, &QPushButton::clicked, this, &QDialog::reject);
}

int GroupDialog::selectedKind() const {
    for (int i = 0; i < 4; ++i)
        if (optRodzSygn[i]->isChecked()) return i;
    return 0;
}

int GroupDialog::selectedMode() const {
    for (int i = 0; i < 3; ++i)
        if (optRodzSygnPojedynczy[i]->isChecked()) return i;
    return 0;
}

void GroupDialog::clearGreens() {
    grdSygnaly->setRows(2);
    for (int c = 0; c < grdSygnaly->Cols(); ++c) grdSygnaly->setTextMatrix(1, c, QString());
}

void GroupDialog::renumber() {
    for (int r = 1; r < grdSygnaly->Rows(); ++r) grdSygnaly->setTextMatrix(r, 0, QString::number(r));
}

void GroupDialog::loadRecord() {
    if (IsNewGroup && CurrentGroupIndex < 0) {
        grdSygnaly->setTextMatrix(1, 0, QStringLiteral("1"));
        cbDopelnienie->setChecked(false);
        complementRule();
        optRodzSygn[0]->setChecked(true);
        kindRule();
        return;
    }
    const GroupRecord& g = GroupTable[CurrentGroupIndex];
    optRodzSygn[std::clamp(g.Kind, 0, 3)]->setChecked(true);
    kindRule();
    cmbSymbSygn->setEditText(g.Symbols);
    clearGreens();
    if (g.GreenCount > 0) {
        grdSygnaly->setRows(g.GreenCount + 1);
        for (int k = 1; k <= g.GreenCount; ++k) {
            grdSygnaly->setTextMatrix(k, 0, QString::number(k));
            const GreenInterval& green = g.Greens[k];
            if (green.Length == 0) continue;
            grdSygnaly->setTextMatrix(k, 1, QString::number(green.Start));
            grdSygnaly->setTextMatrix(k, 2, QString::number(green.Length));
            // A copy starts its greens anew; an edit keeps each green's phase references with it.
            if (!IsNewGroup) grdSygnaly->setTextMatrix(k, kSourceColumn, QString::number(k));
        }
    } else {
        grdSygnaly->setTextMatrix(1, 0, QStringLiteral("1"));
    }
    cbDopelnienie->setChecked(g.ComplementOn);
    edtDopelnienieOd->setText(g.ComplementOn ? QString::number(g.ComplementFrom) : QString());
    complementRule();
    optRodzSygnPojedynczy[std::clamp(g.ComplementMode, 0, 2)]->setChecked(true);
    modeRule();
}

void GroupDialog::kindRule() {
    const int kind = selectedKind();
    cbDopelnienie->setEnabled(kind != KindTramOrArrow && selectedMode() != ModeNoSignal);
    complementRule();
    optRodzSygnPojedynczy[ModeOnlyRed]->setEnabled(kind != KindTramOrArrow);
    if (kind == KindTramOrArrow) {
        optRodzSygnPojedynczy[ModeOrdinary]->setChecked(true);
        edtDopelnienieOd->clear();
    }
    optRodzSygnPojedynczy[ModeNoSignal]->setEnabled(kind != KindVehicle);
    if (kind == KindVehicle) optRodzSygnPojedynczy[ModeOrdinary]->setChecked(true);
    modeRule();
}

void GroupDialog::modeRule() {
    const int mode = selectedMode();
    const bool ordinary = mode == ModeOrdinary;
    grdSygnaly->setEnabled(ordinary);
    cmdDodaj->setEnabled(ordinary);
    cmdUsun->setEnabled(ordinary);
    if (!ordinary) {
        edit_->CancelCellEdit();
        clearGreens();
        grdSygnaly->setTextMatrix(1, 0, QStringLiteral("1"));
    }
    cbDopelnienie->setEnabled(selectedKind() != KindTramOrArrow && mode != ModeNoSignal);
    complementRule();
}

void GroupDialog::complementRule() {
    if (!cbDopelnienie->isEnabled()) cbDopelnienie->setChecked(false);
    const bool on = cbDopelnienie->isChecked();
    edtDopelnienieOd->setEnabled(on);
    cbDopelniajWszystkie->setEnabled(on);
    if (!cbDopelniajWszystkie->isEnabled()) cbDopelniajWszystkie->setChecked(false);
    if (!on) edtDopelnienieOd->clear();
}

void GroupDialog::cmdDodaj_Click() {
    edit_->UpdateFg();
    if (grdSygnaly->Rows() - 1 >= MaxGreens) {
        ui::MsgBox(tr_("Grupa może mieć najwyżej %1 sygnałów zielonych.").arg(MaxGreens), ui::Exclamation,
                   windowTitle());
        return;
    }
    const int before = grdSygnaly->Rows();
    grdSygnaly->addRow();
    grdSygnaly->setTextMatrix(before, 0, QString::number(before));
    grdSygnaly->setFocus();
    grdSygnaly->setCurrent(grdSygnaly->Rows() - 1, 1);
}

void GroupDialog::cmdUsun_Click() {
    edit_->UpdateFg();
    if (grdSygnaly->Rows() > 2) {
        grdSygnaly->removeRowAt(std::max(1, grdSygnaly->Row()));
    } else {
        for (int c = 1; c < grdSygnaly->Cols(); ++c) grdSygnaly->setTextMatrix(1, c, QString());
    }
    grdSygnaly->setFocus();
    grdSygnaly->setCol(1);
    renumber();
}

void GroupDialog::readGreens(GroupRecord& record, const GroupRecord& source) const {
    std::vector<GreenRow> rows;
    for (int r = 1; r < grdSygnaly->Rows(); ++r)
        rows.push_back({grdSygnaly->TextMatrix(r, 1), grdSygnaly->TextMatrix(r, 2),
                        common::ParseInteger(grdSygnaly->TextMatrix(r, kSourceColumn))});
    ReadGreensFromRows(record, rows, source);
}

void GroupDialog::cmdOK_Click() {
    edit_->UpdateFg();
    const int kind = selectedKind();
    const int mode = selectedMode();
    const QString symbols = cmbSymbSygn->currentText();
    if (!IsValidGroupSymbols(symbols)) {
        ui::MsgBox(
            tr_("Symbole sygnalizatorów nie mogą zawierać znaków \"^\", \":\" ani znaków sterujących."),
            ui::Exclamation, windowTitle());
        return;
    }
    std::vector<GreenRow> rows;
    for (int r = 1; r < grdSygnaly->Rows(); ++r)
        rows.push_back({grdSygnaly->TextMatrix(r, 1), grdSygnaly->TextMatrix(r, 2), 0});
    if (const QString problem = CheckGreenRows(rows, CycleLength); !problem.isEmpty()) {
        ui::MsgBox(problem, ui::Exclamation, windowTitle());
        return;
    }

    const GroupRecord empty;
    const GroupRecord& source = !IsNewGroup && CurrentGroupIndex >= 0 ? GroupTable[CurrentGroupIndex] : empty;
    int from = 0;
    if (cbDopelnienie->isChecked()) {
        from = common::ParseInteger(edtDopelnienieOd->text());
        if (from > MaxCycleLength || from < 0) {
            ui::MsgBox(tr_("Nieprawidłowa wartość \"Dopełniaj od\"!"), ui::Critical, windowTitle());
            return;
        }
        GroupRecord work = NewGroupRecord();
        readGreens(work, source);
        work.Kind = kind;
        work.ComplementMode = mode;
        const bool currentChanges = ApplyComplement(work, from, true, CycleLength);
        std::vector<ComplementHit> others;
        if (cbDopelniajWszystkie->isChecked()) {
            for (int i = 0; i < int(GroupTable.size()); ++i) {
                if (!GroupTable[i].Defined || (!IsNewGroup && i == CurrentGroupIndex)) continue;
                GroupRecord probe = GroupTable[i];
                if (ApplyComplement(probe, from, true, CycleLength))
                    others.push_back({GroupOrdinal(i), probe.Kind});
            }
        }
        const QString text = ComplementWarningText(currentChanges, others);
        if (!text.isEmpty() &&
            ui::MsgBox(text + QLatin1Char('\n') + tr_("Czy program ma kontynuować operację?"),
                       ui::YesNo | ui::Question, windowTitle()) != ui::Yes)
            return;
    }

    const GroupRecord before = source;  // the record's greens before they are rewritten
    if (IsNewGroup) {
        GroupTable.push_back(NewGroupRecord());
        CurrentGroupIndex = int(GroupTable.size()) - 1;
    }
    GroupRecord& rec = GroupTable[CurrentGroupIndex];
    readGreens(rec, before);
    rec.Kind = kind;
    rec.Symbols = symbols;
    rec.ComplementOn = cbDopelnienie->isChecked();
    rec.ComplementFrom = common::ParseInteger(edtDopelnienieOd->text());
    rec.ComplementMode = mode;
    if (cbDopelnienie->isChecked()) {
        if (!cbDopelniajWszystkie->isChecked()) {
            ApplyComplement(rec, from, false, CycleLength);
        } else {
            RefreshAllGroups = true;
            for (GroupRecord& g : GroupTable)
                if (g.Defined) ApplyComplement(g, from, false, CycleLength);
        }
    }
    DialogResult = 1;
    accept();
}

void GroupDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        common::SetFormTopmost(this, owner_.AlwaysOnTop);
    QDialog::changeEvent(event);
}

void GroupDialog::done(int result) {
    common::SaveFormPosition(this, QStringLiteral("Grupa"));
    QDialog::done(result);
}

}  // namespace phaseplanner
