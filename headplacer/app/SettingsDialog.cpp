// The description settings dialog.
#include "headplacer/app/SettingsDialog.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/HelpPages.h"
#include "headplacer/app/WidgetNames.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/engine/Errors.h"
#include "platform/ui/core/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace headplacer {

SettingsDialog::SettingsDialog(HeadWindow& main) : QDialog(&main, Qt::Dialog), main_(main) {
    setObjectName(QStringLiteral("frmUstawienia"));
    setWindowTitle(common::Tlumacz(QStringLiteral("Ustawienia")));
    auto* grid = new QGridLayout(this);

    auto* frSkala = named(new QGroupBox(common::Tlumacz(QStringLiteral("Skala aktywnego rysunku")), this),
                          QStringLiteral("frSkala"));
    auto* scaleLayout = new QHBoxLayout(frSkala);
    scaleLayout->addWidget(named(new QLabel(QStringLiteral("1:"), frSkala), QStringLiteral("Label6")));
    cbSkala = named(new QComboBox(frSkala), QStringLiteral("cbSkala"));
    cbSkala->setEditable(true);
    cbSkala->addItems(
        {QStringLiteral("1"), QStringLiteral("250"), QStringLiteral("500"), QStringLiteral("1000")});
    scaleLayout->addWidget(cbSkala, 1);
    grid->addWidget(frSkala, 0, 0, 1, 3);

    grid->addWidget(
        named(
            new QLabel(common::Tlumacz(QStringLiteral("Czcionka opisów sygnalizatorów (wys., szer.)")), this),
            QStringLiteral("Label1")),
        1, 0);
    txtSygFontHeight = named(new QLineEdit(this), QStringLiteral("txtSygFontHeight"));
    txtSygFontWdth = named(new QLineEdit(this), QStringLiteral("txtSygFontWdth"));
    txtSygFontWdth->hide();
    grid->addWidget(txtSygFontHeight, 1, 1);
    chkTextScaled = named(new QCheckBox(common::Tlumacz(QStringLiteral("Skaluj teksty")), this),
                          QStringLiteral("chkTextScaled"));
    grid->addWidget(chkTextScaled, 2, 0);
    auto* scaledLayout = new QHBoxLayout;
    scaledLayout->addWidget(
        named(new QLabel(common::Tlumacz(QStringLiteral("Przeskalowana wysokość:")), this),
              QStringLiteral("Label3")));
    labScaled = named(new QLabel(this), QStringLiteral("labScaled"));
    scaledLayout->addWidget(labScaled);
    grid->addLayout(scaledLayout, 2, 1);

    grid->addWidget(
        named(new QLabel(
                  common::Tlumacz(QStringLiteral("Domyślny format opisu sygnalizatorów pieszo-rowerowych")),
                  this),
              QStringLiteral("Label4")),
        3, 0);
    cmbFormatPR = named(new QComboBox(this), QStringLiteral("cmbFormatPR"));
    cmbFormatPR->addItems({QStringLiteral("PRxx"), QStringLiteral("PxxRxx")});
    grid->addWidget(cmbFormatPR, 3, 1);
    chkUstOpisSygnWar = named(
        new QCheckBox(
            common::Tlumacz(QStringLiteral("Ustawianie opisów sygnalizatorów jazdy warunkowej (SK...)")),
            this),
        QStringLiteral("chkUstOpisSygnWar"));
    grid->addWidget(chkUstOpisSygnWar, 4, 0, 1, 3);
    chkOstrzezDuplikatSygn =
        named(new QCheckBox(common::Tlumacz(QStringLiteral(
                                "Zawsze zgłaszaj, jeśli sygnalizator o takim samym nr inwent. istnieje")),
                            this),
              QStringLiteral("chkOstrzezDuplikatSygn"));
    chkOstrzezDuplikatSygn->setToolTip(common::Tlumacz(QStringLiteral(
        "Włączenie komunikatów że na mapie istnieje już sygnalizator o takim samym numerze inw.")));
    grid->addWidget(chkOstrzezDuplikatSygn, 5, 0, 1, 3);
    cmbDomDetektor = named(new QComboBox(this), QStringLiteral("cmbDomDetektor"));
    cmbDomDetektor->addItems(
        {QStringLiteral("Pętle"), QStringLiteral("Nadjezdniowe"), QStringLiteral("Obszary detekcji")});
    cmbDomDetektor->hide();

    auto* buttons = new QHBoxLayout;
    auto* cmdOK =
        named(new QPushButton(common::Tlumacz(QStringLiteral("&OK")), this), QStringLiteral("cmdOK"));
    auto* cmdCancel =
        named(new QPushButton(common::Tlumacz(QStringLiteral("Anuluj")), this), QStringLiteral("cmdCancel"));
    auto* cmdHelp =
        named(new QPushButton(common::Tlumacz(QStringLiteral("&Pomoc")), this), QStringLiteral("cmdHelp"));
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 6, 0, 1, 3);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        // The scale goes into the drawing: a CAD that went away is told, and the dialog stays.
        try {
            cmdOK_Click();
        } catch (const cad::Error& e) {
            ui::MsgBox(e.message(), ui::Exclamation, MessageTitle());
        }
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { ShowHelpPage(HelpWindow::Settings, this); });

    // The stored settings.
    LoadDefaultDetector();
    LoadHeadTextFont();
    LoadFormatPR();
    chkOstrzezDuplikatSygn->setChecked(LoadAskInventoryNumber());
    chkUstOpisSygnWar->setChecked(LoadConditionalDescriptions());
    cmbDomDetektor->setCurrentIndex(HeadPlacerSettings.DomyslnyDetektor);
    cmbFormatPR->setCurrentIndex(HeadPlacerSettings.FormatPR);
    txtSygFontHeight->setText(HeadPlacerSettings.CzcionkaOpisuSygnWys);
    txtSygFontWdth->setText(HeadPlacerSettings.CzcionkaOpisuSygnSzer);
    chkTextScaled->setChecked(ScaleTexts);
    cbSkala->setCurrentText(QString::number(automation::DrawingScale));
    connect(cbSkala, &QComboBox::currentTextChanged, this, [this] { cbSkala_Change(); });
    connect(txtSygFontHeight, &QLineEdit::textChanged, this, [this] { cbSkala_Change(); });
    connect(chkTextScaled, &QCheckBox::clicked, this, [this] { cbSkala_Change(); });
    cbSkala_Change();
}

void SettingsDialog::cbSkala_Change() {
    const std::optional<int> scale = automation::ParseDrawingScale(cbSkala->currentText());
    if (chkTextScaled->isChecked() && scale)
        labScaled->setText(QLocale().toString(common::ParseDouble(txtSygFontHeight->text()) * *scale));
    else
        labScaled->clear();
}

void SettingsDialog::cmdOK_Click() {
    // A scale no drawing can hold is refused before anything is stored.
    const std::optional<int> scale = automation::ParseDrawingScale(cbSkala->currentText());
    if (!scale) {
        ui::MsgBox(automation::TypedDrawingScaleProblem(), ui::Exclamation, windowTitle());
        cbSkala->setFocus();
        return;
    }
    HeadPlacerSettings.DomyslnyDetektor = std::max(0, cmbDomDetektor->currentIndex());
    HeadPlacerSettings.CzcionkaOpisuSygnWys = txtSygFontHeight->text();
    HeadPlacerSettings.CzcionkaOpisuSygnSzer = txtSygFontWdth->text();
    HeadPlacerSettings.FormatPR = std::max(0, cmbFormatPR->currentIndex());
    SaveConditionalDescriptions(chkUstOpisSygnWar->isChecked());
    SaveAskInventoryNumber(chkOstrzezDuplikatSygn->isChecked());
    ScaleTexts = chkTextScaled->isChecked();
    SaveScaleTexts(ScaleTexts);
    SaveDefaultDetector();
    SaveHeadTextFont();
    SaveFormatPR();
    main_.setPushButtonCaption();
    automation::DrawingScale = *scale;
    if (automation::CheckDocumentOpen(false))
        automation::TrySetDrawingProperty(QStringLiteral("SKALA"), QString::number(automation::DrawingScale));
    accept();
    main_.BuildHeadDescriptions();
}

void SettingsDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpPage(HelpWindow::Settings, this);
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace headplacer
