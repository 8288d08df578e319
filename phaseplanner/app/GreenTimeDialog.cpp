// The green-time parameters dialog.
#include "phaseplanner/app/GreenTimeDialog.h"

#include "automation/CadConnection.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/CadReconnect.h"
#include "phaseplanner/app/FlexGridEdit.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramStates.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

constexpr int kHelpContext = 10009;
constexpr int kTwipsPerPixel = 15;
constexpr int kMinHeightTwips = 9570;  // the dialog never gets lower
constexpr int kWidthTwips = 5910;      // nor narrower or wider
const QString kPlacementKey = QStringLiteral("Okno_Konfiguracja");

// The grid's columns: width in twips and header.
constexpr int kSymbolsColumn = 2;
constexpr int kSetGreenColumn = 3;
constexpr int kShiftColumn = 4;

QLineEdit* secondsBox(QGridLayout* grid, int row, const QString& label, const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedWidth(50);
    box->setAlignment(Qt::AlignRight);
    auto* text = new QLabel(label, parent);
    text->setWordWrap(true);
    grid->addWidget(text, row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(new QLabel(tr_("s"), parent), row, 2);
    return box;
}

}  // namespace

GreenTimeDialog::GreenTimeDialog(MainWindow& owner) : QDialog(&owner), owner_(owner) {
    setObjectName(QStringLiteral("frmKonf"));
    setWindowTitle(tr_("Konfiguracja"));
    setWindowIcon(owner.windowIcon());
    buildControls();
    loadPlacement();
    common::SetHelpContext(this, kHelpContext);

    edit_ = new FlexGridEdit(grdGrupyParams);
    edit_->setKolumnaSortowania(0);
    edit_->setLiczbaKolumnFixed(3);
    edit_->MessageTitle = windowTitle();
    // Set greens are positive whole numbers, shifts negative ones.
    edit_->setDefaultDataType(FlexGridEdit::NegativeOnly);
    edit_->SetDataTypeForColumn(kSetGreenColumn, FlexGridEdit::DigitsOnly);

    edtMinZielony->setText(QString::number(MinGreenVehicle));
    edtMinZielonyPiesiRow->setText(QString::number(MinGreenPedestrianBicycle));
    common::LoadFormControlSettings(this, false);
    fillGrid();
    common::TranslateFormCaptions(this, 0);
}

GreenTimeDialog::~GreenTimeDialog() = default;

void GreenTimeDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);

    Frame1 = new QGroupBox(tr_(" Parametry ogólne wykorzystywane przy imporcie"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* general = new QGridLayout(Frame1);
    edtMinZielony =
        secondsBox(general, 0, tr_("Minimalny czas zielony dla pojazdów:"), "edtMinZielony", Frame1);
    edtMinZielonyPiesiRow = secondsBox(general, 1, tr_("Minimalny czas zielony dla pieszych i rowerów:"),
                                       "edtMinZielonyPiesiRow", Frame1);
    edtMinCzerwMSR =
        secondsBox(general, 2, tr_("Punkt przełączeń (wymagania sterownika MSR)"), "edtMinCzerwMSR", Frame1);
    general->setColumnStretch(0, 1);
    layout->addWidget(Frame1);

    frParams = new QGroupBox(this);
    frParams->setObjectName(QStringLiteral("frParams"));
    auto* params = new QVBoxLayout(frParams);
    chkParametrySzczegolowe = new QCheckBox(tr_("Użyj parametrów szczegółowych"), frParams);
    chkParametrySzczegolowe->setObjectName(QStringLiteral("chkParametrySzczegolowe"));
    params->addWidget(chkParametrySzczegolowe);
    grdGrupyParams = new ui::FlexGrid(frParams);
    grdGrupyParams->setObjectName(QStringLiteral("grdGrupyParams"));
    grdGrupyParams->setCols(5);
    grdGrupyParams->setRows(2);
    grdGrupyParams->setFixedRows(1);
    grdGrupyParams->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdGrupyParams->setSelectionMode(QAbstractItemView::SingleSelection);
    // The headers wrap: the shift column needs five lines.
    grdGrupyParams->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    grdGrupyParams->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    grdGrupyParams->horizontalHeader()->setMinimumHeight(
        grdGrupyParams->horizontalHeader()->fontMetrics().height() * 6 + 6);
    const struct {
        const char* text;
        int width;
    } columns[5] = {{"Lp.", 350},
                    {"Rodzaj sygnaliza- torów", 1100},
                    {"Symbole sygnalizatorów", 1800},
                    {"Zadany czas zielony", 750},
                    // Wider than 800 twips: our font needs it for the header to wrap unclipped.
                    {"Przesuń względem początku fazy (wartości ujemne)", 1050}};
    for (int c = 0; c < 5; ++c) {
        grdGrupyParams->setColWidthTwips(c, columns[c].width);
        grdGrupyParams->setTextMatrix(0, c, tr_(columns[c].text));
        // The cells' alignment is the header's too: it wraps.
        const Qt::Alignment side = c == kSymbolsColumn || c == 1 ? Qt::AlignLeft : Qt::AlignRight;
        grdGrupyParams->setColAlignment(c, side | Qt::AlignVCenter | Qt::Alignment(Qt::TextWordWrap));
    }
    params->addWidget(grdGrupyParams, 1);
    cmdPobierz = new QPushButton(tr_("Pobierz parametry z aktualnego programu"), frParams);
    cmdPobierz->setObjectName(QStringLiteral("cmdPobierz"));
    cmdPobierz->setAutoDefault(false);
    params->addWidget(cmdPobierz);
    layout->addWidget(frParams, 1);

    chkWydluzZielone = new QCheckBox(tr_("Automatycznie wydłuż czasy zielone"), this);
    chkWydluzZielone->setObjectName(QStringLiteral("chkWydluzZielone"));
    layout->addWidget(chkWydluzZielone);

    auto* buttons = new QHBoxLayout;
    cmdPomoc = new QPushButton(tr_("&Pomoc"), this);
    cmdPomoc->setObjectName(QStringLiteral("cmdPomoc"));
    cmdPomoc->setAutoDefault(false);
    buttons->addWidget(cmdPomoc);
    buttons->addStretch();
    cmdOk = new QPushButton(tr_("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setToolTip(tr_("Zatwierdź wprowadzone wartości i zamknij dialog"));
    cmdOk->setAutoDefault(false);
    cmdAnuluj = new QPushButton(tr_("&Anuluj"), this);
    cmdAnuluj->setObjectName(QStringLiteral("cmdAnuluj"));
    cmdAnuluj->setToolTip(tr_("Anuluj wprowadzone zmiany i zamknij dialog"));
    cmdAnuluj->setAutoDefault(false);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdAnuluj);
    layout->addLayout(buttons);

    connect(chkParametrySzczegolowe, &QCheckBox::clicked, this,
            &GreenTimeDialog::chkParametrySzczegolowe_Click);
    connect(chkWydluzZielone, &QCheckBox::clicked, this, &GreenTimeDialog::chkWydluzZielone_Click);
    // Both read or write the drawing: guarded as the menu commands are, the dialog kept open on a failure.
    connect(cmdPobierz, &QPushButton::clicked, this, [this] { RunGuarded(windowTitle(), [this] { cmdPobierz_Click(); }); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { RunGuarded(windowTitle(), [this] { cmdOk_Click(); }); });
    connect(cmdAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPomoc, &QPushButton::clicked, this, [this] { common::ShowHelpOrTell(this, kHelpContext); });

    // The window keeps its width and never gets lower than its design height; the grid takes the rest.
    setFixedWidth(kWidthTwips / kTwipsPerPixel);
    setMinimumHeight(kMinHeightTwips / kTwipsPerPixel);
}

void GreenTimeDialog::fillGrid() {
    const ui::FlexGrid* main = owner_.grid();
    grdGrupyParams->setRows(std::max(2, main->Rows()));
    for (int r = 1; r < main->Rows(); ++r) {
        for (int c = 0; c <= kSymbolsColumn; ++c) grdGrupyParams->setTextMatrix(r, c, main->TextMatrix(r, c));
        const QString symbols = main->TextMatrix(r, kSymbolsColumn);
        const int setGreen = GetSetGreenTime(symbols);
        const int shift = GetPhaseStartShift(symbols);
        grdGrupyParams->setTextMatrix(r, kSetGreenColumn,
                                      setGreen > 0 ? QString::number(setGreen) : QString());
        grdGrupyParams->setTextMatrix(r, kShiftColumn, shift < 0 ? QString::number(shift) : QString());
    }
}

void GreenTimeDialog::chkParametrySzczegolowe_Click() {
    if (chkParametrySzczegolowe->isChecked()) chkWydluzZielone->setChecked(false);
}

void GreenTimeDialog::chkWydluzZielone_Click() {
    if (chkWydluzZielone->isChecked()) chkParametrySzczegolowe->setChecked(false);
}

void GreenTimeDialog::cmdPobierz_Click() {
    edit_->UpdateFg();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Pointer {
        ~Pointer() { QApplication::restoreOverrideCursor(); }
    } pointer;

    for (int r = 1; r < grdGrupyParams->Rows(); ++r) {
        const int length = GetGroupGreenLength(grdGrupyParams->TextMatrix(r, kSymbolsColumn));
        if (length > 0) grdGrupyParams->setTextMatrix(r, kSetGreenColumn, QString::number(length));
    }
    if (GroupTable.empty() || !ComputePhases) return;
    ComputedStartShifts.assign(GroupTable.size(), ComputedStartShift{});
    // Without the computation (no drawing, no workbook, the question cancelled) the shifts stay as typed.
    if (!ComputePhases()) return;
    // A row shows the group of its ordinal ("Lp."): deleted records leave no row of their own.
    for (int r = 1; r < grdGrupyParams->Rows(); ++r) {
        const int ordinal = common::ParseInteger(grdGrupyParams->TextMatrix(r, 0));
        const int g = ordinal >= 1 ? ZnajdzIdxGrupy(ordinal - 1) : -1;
        if (g < 0 || g >= int(ComputedStartShifts.size())) continue;
        const int shift = ComputedStartShifts[std::size_t(g)].Shift;
        grdGrupyParams->setTextMatrix(r, kShiftColumn, shift < 0 ? QString::number(shift) : QString());
    }
}

void GreenTimeDialog::cmdOk_Click() {
    edit_->UpdateFg();
    MinGreenVehicle = common::ParseInteger(edtMinZielony->text());
    MinGreenPedestrianBicycle = common::ParseInteger(edtMinZielonyPiesiRow->text());

    // Without group rows there is nothing to take: the stored tables stay as they are.
    if (grdGrupyParams->Rows() >= 2 && !grdGrupyParams->TextMatrix(1, kSymbolsColumn).isEmpty()) {
        std::vector<GroupParameterEntry> greens{{}}, shifts{{}};
        int greenCount = 0, shiftCount = 0;
        for (int r = 1; r < grdGrupyParams->Rows(); ++r) {
            const QString name = grdGrupyParams->TextMatrix(r, kSymbolsColumn);
            const int v = common::ParseInteger(grdGrupyParams->TextMatrix(r, kSetGreenColumn));
            if (v > 0) {
                if (greenCount++ == 0)
                    greens[0] = {name, v};
                else
                    greens.push_back({name, v});
            }
            const int w = common::ParseInteger(grdGrupyParams->TextMatrix(r, kShiftColumn));
            if (w < 0) {
                if (shiftCount++ == 0)
                    shifts[0] = {name, w};
                else
                    shifts.push_back({name, w});
            }
        }
        SetGreenTimes = std::move(greens);
        PhaseStartShifts = std::move(shifts);
    }
    common::SaveFormControlSettings(this, false);
    if (UstawWidoczneAtrybuty()) automation::CadDocument.regen(1);
    accept();
}

void GreenTimeDialog::loadPlacement() {
    common::LoadFormPosition(this, kPlacementKey, QString(), QStringLiteral("100"));
    const QString section = common::ProgramTitle();
    const int height = common::ParseInteger(common::GetIni(common::IniFilePath, section,
                                                           kPlacementKey + QStringLiteral("_Wysokosc"),
                                                           QString::number(kMinHeightTwips)));
    resize(width(), std::max(height, kMinHeightTwips) / kTwipsPerPixel);
}

void GreenTimeDialog::savePlacement() {
    if (isMinimized()) return;
    common::SaveFormPosition(this, kPlacementKey);
    const QString section = common::ProgramTitle();
    common::PutIni(common::IniFilePath, section, kPlacementKey + QStringLiteral("_Wysokosc"),
                   QString::number(height() * kTwipsPerPixel));
    common::PutIni(common::IniFilePath, section, kPlacementKey + QStringLiteral("_Szerokosc"),
                   QString::number(width() * kTwipsPerPixel));
}

void GreenTimeDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        common::SetFormTopmost(this, owner_.AlwaysOnTop);
    QDialog::changeEvent(event);
}

void GreenTimeDialog::done(int result) {
    savePlacement();
    QDialog::done(result);
}

}  // namespace phaseplanner
