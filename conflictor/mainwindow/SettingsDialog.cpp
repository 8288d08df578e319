// The settings dialog: controls from the program settings, checks, storing and the length texts.
#include "conflictor/mainwindow/SettingsDialog.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/SettingRanges.h"
#include "common/TextHelpers.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/streams/SetGuard.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace conflictor {

using common::Settings;
using common::Tlumacz;

namespace {

const QString Money = QStringLiteral("#######0.00");

struct DoubleField {
    const char* name;
    const char* label;
    double common::ProgramSettings::*value;
    int tab;
    const char* key;  // the INI key the value is stored under
};

// Every value shown with two decimals; all must be above 0.
const DoubleField DoubleFields[] = {
    {"edtDlugoscPojazdu", "Długość pojazdu [m]", &common::ProgramSettings::DlugoscPojazd, 0, "DlugoscPojazd"},
    {"edtPredkDojazdProsta", "Prędkość dojazdu - prosta [m/s]", &common::ProgramSettings::PredkDojazdProsta, 0, "PredkDojazdProsta"},
    {"edtPredkDojazdLuk", "Prędkość dojazdu - łuk [m/s]", &common::ProgramSettings::PredkDojazdLuk, 0, "PredkDojazdLuk"},
    {"edtPredkEwakProsta", "Prędkość ewakuacji - prosta [m/s]", &common::ProgramSettings::PredkEwakProsta, 0, "PredkEwakProsta"},
    {"edtPredkEwakLuk", "Prędkość ewakuacji - łuk [m/s]", &common::ProgramSettings::PredkEwakLuk, 0, "PredkEwakLuk"},
    {"edtMaksPrzysp", "Maksymalne przyspieszenie [m/s²]", &common::ProgramSettings::MaksPrzysp, 0, "MaksPrzysp"},
    {"edtDlugoscAutobusu", "Długość autobusu [m]", &common::ProgramSettings::DlugoscAutobus, 1, "DlugoscAutobus"},
    {"edtPredkDojazdProsta2", "Prędkość dojazdu - prosta [m/s]", &common::ProgramSettings::PredkDojazdProsta2, 1, "PredkDojazdProsta2"},
    {"edtPredkDojazdLuk2", "Prędkość dojazdu - łuk [m/s]", &common::ProgramSettings::PredkDojazdLuk2, 1, "PredkDojazdLuk2"},
    {"edtPredkEwakProsta2", "Prędkość ewakuacji - prosta [m/s]", &common::ProgramSettings::PredkEwakProsta2, 1, "PredkEwakProsta2"},
    {"edtPredkEwakLuk2", "Prędkość ewakuacji - łuk [m/s]", &common::ProgramSettings::PredkEwakLuk2, 1, "PredkEwakLuk2"},
    {"edtMaksPrzyspAutobus", "Maksymalne przyspieszenie [m/s²]", &common::ProgramSettings::MaksPrzyspAutobus, 1, "MaksPrzyspAutobus"},
    {"edtDlugoscTramwaj", "Długość wagonu tramwaju [m]", &common::ProgramSettings::DlugoscTramwaj, 2, "DlugoscTramwaj"},
    {"edtPredkDojazdProsta3", "Prędkość dojazdu - prosta [m/s]", &common::ProgramSettings::PredkDojazdProsta3, 2, "PredkDojazdProsta3"},
    {"edtPredkDojazdLuk3", "Prędkość dojazdu - łuk [m/s]", &common::ProgramSettings::PredkDojazdLuk3, 2, "PredkDojazdLuk3"},
    {"edtPredkEwakProsta3", "Prędkość ewakuacji - prosta [m/s]", &common::ProgramSettings::PredkEwakProsta3, 2, "PredkEwakProsta3"},
    {"edtPredkEwakLuk3", "Prędkość ewakuacji - łuk [m/s]", &common::ProgramSettings::PredkEwakLuk3, 2, "PredkEwakLuk3"},
    {"edtMaksPrzyspTramwaj", "Maksymalne przyspieszenie [m/s²]", &common::ProgramSettings::MaksPrzyspTramwaj, 2, "MaksPrzyspTramwaj"},
    {"edtPredkPiesi", "Prędkość pieszych [m/s]", &common::ProgramSettings::PredkPiesi, 3, "PredkPiesi"},
    {"edtPredkRowery", "Prędkość rowerów [m/s]", &common::ProgramSettings::PredkRowery, 3, "PredkRowery"},
    {"edtSygnalZolty", "Czas sygnału żółtego [s]", &common::ProgramSettings::SygnalZolty, 3, "SygnalZolty"},
    {"edtGranicaPromien", "Granica promienia łuku [m]", &common::ProgramSettings::GranicaPromien, 3, "GranicaPromien"},
};

const char* const Coefficients[] = {"edtWspPoczatek", "edtWspKoniec", "edtWspPojazdPojazd",
                                    "edtWspPojazdPiesi"};

// The two pictures of the conflict matrix: normal and inverted.
QPixmap matrixPicture(bool inverted) {
    QPixmap pix(48, 48);
    pix.fill(Qt::white);
    QPainter p(&pix);
    p.setPen(Qt::black);
    for (int i = 0; i <= 4; ++i) {
        p.drawLine(4 + i * 10, 4, 4 + i * 10, 44);
        p.drawLine(4, 4 + i * 10, 44, 4 + i * 10);
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (inverted ? c < r : c > r) p.fillRect(5 + c * 10, 5 + r * 10, 9, 9, QColor(0, 128, 255));
    return pix;
}

// Why the text is no value of the setting stored under `key`, to follow "Wartość"; empty when it fits.
QString problemOf(const char* key, const QString& text) {
    return common::SettingRangeProblem(common::RangeOfSetting(QString::fromLatin1(key)), text);
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmKonfiguracja"));
    auto* layout = new QVBoxLayout(this);
    SSTab1 = new QTabWidget;
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    layout->addWidget(SSTab1);
    const char* const tabs[] = {"Pojazdy", "Autobusy", "Tramwaje", "Piesi i rowery", "Rysunek"};
    QFormLayout* forms[5];
    for (int t = 0; t < 5; ++t) {
        auto* page = new QWidget;
        forms[t] = new QFormLayout(page);
        SSTab1->addTab(page, Tlumacz(QString::fromUtf8(tabs[t])));
    }
    for (const DoubleField& f : DoubleFields) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(f.name));
        forms[f.tab]->addRow(Tlumacz(QString::fromUtf8(f.label)), edit);
        fields_.insert(edit->objectName(), edit);
    }
    auto* cars = new QLineEdit;
    cars->setObjectName(QStringLiteral("edtIloscWagonow"));
    forms[2]->insertRow(1, Tlumacz(QStringLiteral("Liczba wagonów")), cars);
    fields_.insert(cars->objectName(), cars);

    // Drawing tab: length texts, scale, marker coefficients, matrix, links.
    QFormLayout* d = forms[4];
    cmbDlugosciTekstWysokosc = new QComboBox;
    cmbDlugosciTekstWysokosc->setObjectName(QStringLiteral("cmbDlugosciTekstWysokosc"));
    cmbDlugosciTekstWysokosc->setEditable(true);
    d->addRow(Tlumacz(QStringLiteral("Wysokość tekstu długości:")), cmbDlugosciTekstWysokosc);
    cmbDlugosciTekstSzerokosc = new QComboBox;
    cmbDlugosciTekstSzerokosc->setObjectName(QStringLiteral("cmbDlugosciTekstSzerokosc"));
    cmbDlugosciTekstSzerokosc->setEditable(true);
    cmbDlugosciTekstSzerokosc->hide();
    labScaled = new QLabel;
    labScaled->setObjectName(QStringLiteral("labScaled"));
    auto* label9 = new QLabel(Tlumacz(QStringLiteral("Przeskalowana wysokość:")));
    label9->setObjectName(QStringLiteral("Label9"));
    d->addRow(label9, labScaled);
    chkTextScaled = new QCheckBox(Tlumacz(QStringLiteral("Skaluj tekst według skali rysunku")));
    chkTextScaled->setObjectName(QStringLiteral("chkTextScaled"));
    d->addRow(chkTextScaled);
    cbSkala = new QComboBox;
    cbSkala->setObjectName(QStringLiteral("cbSkala"));
    cbSkala->setEditable(true);
    // "SKALA" is drawing units per metre, not the scale of a printed map.
    cbSkala->addItems(
        {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("1000")});
    cbSkala->setToolTip(Tlumacz(QStringLiteral("1 dla rysunku w metrach, 1000 dla rysunku w milimetrach")));
    d->addRow(Tlumacz(QStringLiteral("Jednostek rysunku na metr (SKALA):")), cbSkala);
    for (const char* name : Coefficients) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        fields_.insert(edit->objectName(), edit);
    }
    d->addRow(Tlumacz(QStringLiteral("Wsp. symbolu początku:")),
              fields_.value(QStringLiteral("edtWspPoczatek")));
    d->addRow(Tlumacz(QStringLiteral("Wsp. symbolu końca:")), fields_.value(QStringLiteral("edtWspKoniec")));
    d->addRow(Tlumacz(QStringLiteral("Wsp. kolizji pojazd-pojazd:")),
              fields_.value(QStringLiteral("edtWspPojazdPojazd")));
    d->addRow(Tlumacz(QStringLiteral("Wsp. kolizji pojazd-pieszy:")),
              fields_.value(QStringLiteral("edtWspPojazdPiesi")));
    auto* matrix = new QHBoxLayout;
    chkMatrycaOdwrocona = new QCheckBox(Tlumacz(QStringLiteral("Odwrócona macierz kolizji")));
    chkMatrycaOdwrocona->setObjectName(QStringLiteral("chkMatrycaOdwrocona"));
    imgMatr = new QLabel;
    imgMatr->setObjectName(QStringLiteral("imgMatr"));
    matrix->addWidget(chkMatrycaOdwrocona);
    matrix->addWidget(imgMatr);
    d->addRow(matrix);
    chkPowiazania = new QCheckBox(Tlumacz(QStringLiteral("Uwzględniaj powiązania przejść")));
    chkPowiazania->setObjectName(QStringLiteral("chkPowiazania"));
    d->addRow(chkPowiazania);
    chkAutoZaznaczNowe = new QCheckBox(Tlumacz(QStringLiteral("Zaznaczaj nowe strumienie")));
    chkAutoZaznaczNowe->setObjectName(QStringLiteral("chkAutoZaznaczNowe"));
    chkAutoZaznaczNowe->hide();

    auto* buttons = new QHBoxLayout;
    cmdOk = new QPushButton(QStringLiteral("&OK"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdAnuluj = new QPushButton(Tlumacz(QStringLiteral("&Anuluj")));
    cmdAnuluj->setObjectName(QStringLiteral("cmdAnuluj"));
    cmdPomoc = new QPushButton(Tlumacz(QStringLiteral("&Pomoc")));
    cmdPomoc->setObjectName(QStringLiteral("cmdPomoc"));
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdAnuluj);
    buttons->addWidget(cmdPomoc);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, Guarded(this, [this] { cmdOk_Click(); }));
    connect(cmdAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPomoc, &QPushButton::clicked, this, [this] { common::ShowHelpOrTell(this, 10007); });
    connect(chkMatrycaOdwrocona, &QCheckBox::toggled, this, Guarded(this, [this] { chkMatrycaOdwrocona_Click(); }));
    connect(cbSkala, &QComboBox::currentTextChanged, this, Guarded(this, [this] { cbSkala_Change(); }));
    connect(chkTextScaled, &QCheckBox::toggled, this, Guarded(this, [this] { cbSkala_Change(); }));
    connect(cmbDlugosciTekstWysokosc, &QComboBox::currentTextChanged, this, Guarded(this, [this] { cbSkala_Change(); }));

    // Load.
    common::SetHelpContext(this, 10007);
    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, QStringLiteral("Okno_Konfiguracja"));
    cmbDlugosciTekstWysokosc->addItems({QStringLiteral("0,5"), QStringLiteral("0,9"), QStringLiteral("1,8"),
                                        QStringLiteral("2,5"), QStringLiteral("3,5"), QStringLiteral("5")});
    cmbDlugosciTekstSzerokosc->addItems({QStringLiteral("0,6"), QStringLiteral("1,3"), QStringLiteral("1,8"),
                                         QStringLiteral("2,5"), QStringLiteral("3,5"), QStringLiteral("5")});
    setWindowTitle((parent ? parent->windowTitle() : QString()) + Tlumacz(QStringLiteral(" - Konfiguracja")));
    showSettings();
    cbSkala_Change();
    common::LoadFormControlSettings(this, true);
    chkMatrycaOdwrocona_Click();
    SavedScale = automation::DrawingScale;
    SavedScaled = chkTextScaled->isChecked();
    SavedHeight = common::ParseDouble(cmbDlugosciTekstWysokosc->currentText());
}

void SettingsDialog::showSettings() {
    for (const DoubleField& f : DoubleFields)
        fields_.value(QString::fromLatin1(f.name))->setText(common::FormatNumber(Settings.*(f.value), Money));
    fields_.value(QStringLiteral("edtIloscWagonow"))->setText(QString::number(Settings.IloscWagonow));
    cmbDlugosciTekstWysokosc->setCurrentText(
        common::FormatNumber(Settings.DlugosciTekstWysokosc, QStringLiteral("#######0.0")));
    cmbDlugosciTekstSzerokosc->setCurrentText(
        common::FormatNumber(Settings.DlugosciTekstSzerokosc, QStringLiteral("#######0.0")));
    chkAutoZaznaczNowe->setChecked(Settings.AutoZaznaczNowe);
    chkTextScaled->setChecked(Settings.SkalujTekst);
    cbSkala->setCurrentText(QString::number(automation::DrawingScale));
}

void SettingsDialog::ProposeScale(int scale) {
    cbSkala->setCurrentText(QString::number(scale));
    cbSkala->setFocus();
}

void SettingsDialog::cbSkala_Change() {
    if (chkTextScaled->isChecked())
        labScaled->setText(
            common::FormatPlainNumber(common::ParseDouble(cmbDlugosciTekstWysokosc->currentText()) *
                                      common::ParseInteger(cbSkala->currentText())));
    else
        labScaled->clear();
}

void SettingsDialog::chkMatrycaOdwrocona_Click() {
    imgMatr->setPixmap(matrixPicture(chkMatrycaOdwrocona->isChecked()));
}

bool SettingsDialog::ValidateSettings() {
    auto refuse = [this](QWidget* control, const QString& message) {
        for (int t = 0; t < SSTab1->count(); ++t)
            if (SSTab1->widget(t)->isAncestorOf(control)) SSTab1->setCurrentIndex(t);
        ui::MsgBox(message, ui::Exclamation, windowTitle());
        control->setFocus();
        return false;
    };
    for (const DoubleField& f : DoubleFields) {
        QLineEdit* edit = fields_.value(QString::fromLatin1(f.name));
        if (const QString problem = problemOf(f.key, edit->text()); !problem.isEmpty())
            return refuse(edit, Tlumacz(QStringLiteral("Wartość ") + problem + QLatin1Char('!')));
    }
    QLineEdit* cars = fields_.value(QStringLiteral("edtIloscWagonow"));
    if (const QString problem = problemOf("IloscWagonow", cars->text()); !problem.isEmpty())
        return refuse(cars, Tlumacz(QStringLiteral("Liczba wagonów ") + problem + QLatin1Char('!')));
    if (const QString problem = problemOf("DlugosciTekstWysokosc", cmbDlugosciTekstWysokosc->currentText());
        !problem.isEmpty())
        return refuse(cmbDlugosciTekstWysokosc, Tlumacz(QStringLiteral("Wysokość tekstu ") + problem + QLatin1Char('!')));
    if (!automation::ParseDrawingScale(cbSkala->currentText()))
        return refuse(cbSkala, automation::TypedDrawingScaleProblem());
    return true;
}

void SettingsDialog::storeSettings() {
    for (const char* name : Coefficients) {
        QLineEdit* edit = fields_.value(QString::fromLatin1(name));
        if (common::ParseDouble(edit->text()) <= 0) edit->setText(QStringLiteral("1"));
        edit->setText(edit->text().replace(QLatin1Char('.'), QLatin1Char(',')));
    }
    Settings.DlugosciTekstWysokosc = common::ParseDouble(cmbDlugosciTekstWysokosc->currentText());
    Settings.DlugosciTekstSzerokosc = common::ParseDouble(cmbDlugosciTekstSzerokosc->currentText());
    Settings.AutoZaznaczNowe = chkAutoZaznaczNowe->isChecked();
    Settings.SkalujTekst = chkTextScaled->isChecked();
    for (const DoubleField& f : DoubleFields)
        Settings.*(f.value) = common::ParseDouble(fields_.value(QString::fromLatin1(f.name))->text());
    Settings.IloscWagonow =
        common::ParseInteger(fields_.value(QStringLiteral("edtIloscWagonow"))->text()) & 0xFF;
    automation::DrawingScale = automation::ParseDrawingScale(cbSkala->currentText()).value_or(1);
}

void SettingsDialog::cmdOk_Click() {
    if (!ValidateSettings()) return;
    storeSettings();
    common::SaveProgramSettings();
    common::SaveFormControlSettings(this, true);
    if (automation::CheckDocumentOpen(false)) {
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::number(automation::DrawingScale));
        const bool changed = automation::DrawingScale != SavedScale ||
                             chkTextScaled->isChecked() != SavedScaled ||
                             common::ParseDouble(cmbDlugosciTekstWysokosc->currentText()) != SavedHeight;
        if (changed) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const double h = Settings.SkalujTekst ? automation::DrawingScale * Settings.DlugosciTekstWysokosc
                                                  : Settings.DlugosciTekstWysokosc;
            try {
                SetGuard ss(QStringLiteral("SSSygn"));
                cad::SelectionFilter filter;
                filter.add(0, QStringLiteral("TEXT")).add(8, QStringLiteral("400-DLUGOSCI_STRUMIENI"));
                for (const cad::Entity& text : ss.select(filter)) {
                    text.setHeight(h);
                    text.update();
                }
            } catch (...) {
                QApplication::restoreOverrideCursor();
                throw;
            }
            QApplication::restoreOverrideCursor();
        }
    }
    accept();
}

void SettingsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        common::SetFormTopmost(this, common::AlwaysOnTop);
}

void SettingsDialog::done(int result) {
    if (!saved_) {
        saved_ = true;
        common::SaveFormPosition(this, QStringLiteral("Okno_Konfiguracja"));
    }
    QDialog::done(result);
}

}  // namespace conflictor
