// The detector window: its tabs and controls, and the settings dialog of detector descriptions.
#include "headplacer/app/DetectorWindow.h"

#include "automation/ComboFill.h"
#include "automation/DrawingProperties.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "common/Version.h"
#include "common/ui/FormWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HelpPages.h"
#include "headplacer/app/WidgetNames.h"
#include "headplacer/logic/DetectorTables.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/KavritDetectors.h"
#include "headplacer/logic/Settings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace headplacer {

namespace {
QString pl(const char16_t* text) {
    return common::Tlumacz(QString::fromUtf16(text));
}
}  // namespace

DetectorWindow::DetectorWindow(HeadPlacerApp& app) : app_(app) {
    setObjectName(QStringLiteral("frmDetektory"));
    build();
    common::SetFormTopmost(this, true);
    setWindowTitle(pl(u"Tesmar Detektory"));
    LoadDetectorTextFont();
    const int loopShape = LoadLoopCrossSection();
    optShapeDet[loopShape]->setChecked(true);
    optShapeDet_Click();
    optObsDetRodzaj[0]->setChecked(true);
    DetectionAreaCode = QStringLiteral("11");
    // Loops, above-road detectors and areas need the other vendor's CAD: their tabs are off.
    for (int t = 0; t < 3; ++t) tabRodzDet->setTabEnabled(t, false);
    cmbIloscZwojow->addItems({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                              QStringLiteral("5"), QStringLiteral("6")});
    cmbOdlOdKraw->addItems({QStringLiteral("0,3"), QStringLiteral("0,25")});
    cmbOdlOdLinRozdz->addItems({QStringLiteral("0,25"), QStringLiteral("0,5")});
    automation::FillComboFromArray(*cmbTypPrzycisku, PushButtonTypes, 0, 3, 3);
    LoadPushButtonMakers();
    QStringList loopCaptions, kindNames;
    for (const LoopFunction& f : (shape() == 0 ? RectangleLoopFunctions : ParallelogramLoopFunctions))
        loopCaptions << f.Caption;
    for (const AboveRoadDetectorKind& k : AboveRoadDetectorKinds) kindNames << k.Name;
    automation::FillComboFromArray(*cmbNRodzPetli, loopCaptions, 0, 7, 0);
    automation::FillComboFromArray(*cmbTypNadj, kindNames, 0, 5, 0);
    FillSizeLists();
    UpdateDetectorCode();
    setWindowTitle(windowTitle() + QStringLiteral(" w.") + common::GetVersionText());
}

void DetectorWindow::build() {
    auto* root = new QVBoxLayout(this);
    tabRodzDet = named(new QTabWidget(this), QStringLiteral("tabRodzDet"));
    root->addWidget(tabRodzDet);

    // Tab 0: loops.
    auto* loops = new QWidget;
    auto* loopGrid = new QGridLayout(loops);
    auto* frPetla = named(new QGroupBox(pl(u" Rodzaj pętli "), loops), QStringLiteral("frPetla"));
    auto* petla = new QGridLayout(frPetla);
    cmbNRodzPetli = named(new QComboBox(frPetla), QStringLiteral("cmbNRodzPetli"));
    optShapeDet[0] = named(new QRadioButton(pl(u"prostokąt "), frPetla), QStringLiteral("optShapeDet_0"));
    optShapeDet[1] = named(new QRadioButton(pl(u"równoległobok (wykrywająca rowery)"), frPetla),
                           QStringLiteral("optShapeDet_1"));
    optShapeDet[1]->setToolTip(pl(u"Wykrywająca rowery"));
    cmbIloscZwojow = named(new QComboBox(frPetla), QStringLiteral("cmbIloscZwojow"));
    petla->addWidget(cmbNRodzPetli, 0, 0, 1, 2);
    petla->addWidget(optShapeDet[0], 1, 0);
    petla->addWidget(optShapeDet[1], 1, 1);
    petla->addWidget(new QLabel(pl(u"Ilość zwojów: "), frPetla), 2, 0);
    petla->addWidget(cmbIloscZwojow, 2, 1);
    loopGrid->addWidget(frPetla, 0, 0);
    auto* frame2 = named(new QGroupBox(pl(u"Wymiary"), loops), QStringLiteral("Frame2"));
    auto* dims = new QGridLayout(frame2);
    cmbNDlugosc = freeTextCombo(frame2, QStringLiteral("cmbNDlugosc"));
    cmbNSzerokosc = freeTextCombo(frame2, QStringLiteral("cmbNSzerokosc"));
    lblSzerokosc = named(new QLabel(pl(u"Szerokość"), frame2), QStringLiteral("lblSzerokosc"));
    cmbOdlOdKraw = freeTextCombo(frame2, QStringLiteral("cmbOdlOdKraw"));
    lblOdlKraw = named(new QLabel(pl(u"Odl. od krawężnika"), frame2), QStringLiteral("lblOdlKraw"));
    cmbOdlOdLinRozdz = freeTextCombo(frame2, QStringLiteral("cmbOdlOdLinRozdz"));
    lblOdlLiniaRozdz =
        named(new QLabel(pl(u"Odl. od linii rozdz."), frame2), QStringLiteral("lblOdlLiniaRozdz"));
    auto* cmdCalkowiteRound = commandButton(frame2, "cmdCalkowiteRound");
    auto* cmdJednoMiejsceRound = commandButton(frame2, "cmdJednoMiejsceRound");
    dims->addWidget(new QLabel(pl(u"Długość"), frame2), 0, 0);
    dims->addWidget(cmbNDlugosc, 0, 1);
    dims->addWidget(commandButton(frame2, "cmdPobierzDlugosc"), 0, 2);
    dims->addWidget(lblSzerokosc, 1, 0);
    dims->addWidget(cmbNSzerokosc, 1, 1);
    dims->addWidget(commandButton(frame2, "cmdPobierzSzerokosc"), 1, 2);
    dims->addWidget(lblOdlKraw, 2, 0);
    dims->addWidget(cmbOdlOdKraw, 2, 1);
    dims->addWidget(lblOdlLiniaRozdz, 3, 0);
    dims->addWidget(cmbOdlOdLinRozdz, 3, 1);
    dims->addWidget(cmdCalkowiteRound, 4, 0);
    dims->addWidget(cmdJednoMiejsceRound, 4, 1);
    loopGrid->addWidget(frame2, 0, 1);
    tabRodzDet->addTab(loops, pl(u"Pętle"));

    // Tab 1: above-road detectors.
    auto* above = new QWidget;
    auto* aboveLayout = new QGridLayout(above);
    cmbTypNadj = named(new QComboBox(above), QStringLiteral("cmbTypNadj"));
    aboveLayout->addWidget(new QLabel(pl(u"Typ:"), above), 0, 0);
    aboveLayout->addWidget(cmbTypNadj, 0, 1);
    frNadj = named(new QGroupBox(pl(u"Rodzaj"), above), QStringLiteral("frNadj"));
    auto* nadj = new QHBoxLayout(frNadj);
    auto* optCzynny = named(new QRadioButton(pl(u"Czynny"), frNadj), QStringLiteral("optCzynny"));
    optCzynny->setToolTip(pl(u"Wysyła wiązkę fal i odbiera jej część"));
    auto* optBierny = named(new QRadioButton(pl(u"Bierny"), frNadj), QStringLiteral("optBierny"));
    optBierny->setToolTip(pl(u"Odbiera wiązkę fal wysyłaną przez pojazd"));
    optCzynny->setChecked(true);
    nadj->addWidget(optCzynny);
    nadj->addWidget(optBierny);
    aboveLayout->addWidget(frNadj, 1, 0, 1, 2);
    tabRodzDet->addTab(above, pl(u"Nadjezdniowe"));

    // Tab 2: detection areas.
    auto* areas = new QWidget;
    auto* areaLayout = new QHBoxLayout(areas);
    auto* frame4 = named(new QGroupBox(pl(u"Rodzaj"), areas), QStringLiteral("Frame4"));
    auto* kinds = new QVBoxLayout(frame4);
    optObsDetRodzaj[0] = named(new QRadioButton(pl(u"objęty detekcją i liczący"), frame4),
                               QStringLiteral("optObsDetRodzaj_0"));
    optObsDetRodzaj[1] =
        named(new QRadioButton(pl(u"objęty detekcją "), frame4), QStringLiteral("optObsDetRodzaj_1"));
    kinds->addWidget(optObsDetRodzaj[0]);
    kinds->addWidget(optObsDetRodzaj[1]);
    areaLayout->addWidget(frame4);
    auto* frame3 = named(new QGroupBox(pl(u"Wymiary"), areas), QStringLiteral("Frame3"));
    auto* areaDims = new QGridLayout(frame3);
    cmbObsDetDlugosc = freeTextCombo(frame3, QStringLiteral("cmbObsDetDlugosc"));
    cmbObsDetSzerokosc = freeTextCombo(frame3, QStringLiteral("cmbObsDetSzerokosc"));
    cmbObsDetOdlProst = freeTextCombo(frame3, QStringLiteral("cmbObsDetOdlProst"));
    lblOdlMiedzy = named(new QLabel(pl(u"Odl. między"), frame3), QStringLiteral("lblOdlMiedzy"));
    cmdPobierzOdlPrObsD = commandButton(frame3, "cmdPobierzOdlPrObsD");
    areaDims->addWidget(new QLabel(pl(u"Długość"), frame3), 0, 0);
    areaDims->addWidget(cmbObsDetDlugosc, 0, 1);
    areaDims->addWidget(commandButton(frame3, "cmdPobierzDluObsD"), 0, 2);
    areaDims->addWidget(new QLabel(pl(u"Szerokość"), frame3), 1, 0);
    areaDims->addWidget(cmbObsDetSzerokosc, 1, 1);
    areaDims->addWidget(commandButton(frame3, "cmdPobierzSzerObsD"), 1, 2);
    areaDims->addWidget(lblOdlMiedzy, 2, 0);
    areaDims->addWidget(cmbObsDetOdlProst, 2, 1);
    areaDims->addWidget(cmdPobierzOdlPrObsD, 2, 2);
    areaLayout->addWidget(frame3);
    tabRodzDet->addTab(areas, pl(u"Obszary detekcji"));

    // Tab 3: push-buttons.
    auto* buttonsTab = new QWidget;
    auto* buttonsLayout = new QGridLayout(buttonsTab);
    cmbTypPrzycisku = named(new QComboBox(buttonsTab), QStringLiteral("cmbTypPrzycisku"));
    cmbProdPrzycisku = named(new QComboBox(buttonsTab), QStringLiteral("cmbProdPrzycisku"));
    buttonsLayout->addWidget(new QLabel(pl(u"Typ:"), buttonsTab), 0, 0);
    buttonsLayout->addWidget(cmbTypPrzycisku, 0, 1);
    buttonsLayout->addWidget(new QLabel(pl(u"Producent:"), buttonsTab), 1, 0);
    buttonsLayout->addWidget(cmbProdPrzycisku, 1, 1);
    buttonsLayout->setRowStretch(2, 1);
    tabRodzDet->addTab(buttonsTab, pl(u"Przyciski"));

    frOpisDetektora = named(new QGroupBox(pl(u" Opis detektora"), this), QStringLiteral("frOpisDetektora"));
    auto* opis = new QHBoxLayout(frOpisDetektora);
    edtOpis = named(new QLineEdit(frOpisDetektora), QStringLiteral("edtOpis"));
    auto* cmdPobierzOpis =
        named(new QPushButton(pl(u"Po&bierz"), frOpisDetektora), QStringLiteral("cmdPobierzOpis"));
    cmdPobierzOpis->hide();
    cmdNextLane = commandButton(frOpisDetektora, "cmdNextLane");
    cmdNextObsDet = commandButton(frOpisDetektora, "cmdNextObsDet");
    opis->addWidget(edtOpis, 1);
    opis->addWidget(cmdPobierzOpis);
    opis->addWidget(cmdNextLane);
    opis->addWidget(cmdNextObsDet);
    root->addWidget(frOpisDetektora);

    auto* buttons = new QHBoxLayout;
    auto* cbUstaw = commandButton(this, "cbUstaw");
    auto* btnCcl = commandButton(this, "btnCcl");
    auto* btnHlp = commandButton(this, "btnHlp");
    auto* cmdUstUstDet = commandButton(this, "cmdUstUstDet");
    buttons->addWidget(cmdUstUstDet);
    buttons->addWidget(btnHlp);
    buttons->addStretch(1);
    buttons->addWidget(cbUstaw);
    buttons->addWidget(btnCcl);
    root->addLayout(buttons);

    connect(tabRodzDet, &QTabWidget::currentChanged, this, [this](int t) { tabRodzDet_Click(t); });
    connect(cmbNRodzPetli, &QComboBox::activated, this, [this] { cmbNRodzPetli_Click(); });
    connect(cmbTypNadj, &QComboBox::activated, this, [this] { cmbTypNadj_Click(); });
    for (QRadioButton* b : optShapeDet)
        connect(b, &QRadioButton::clicked, this, [this] { optShapeDet_Click(); });
    for (QRadioButton* b : optObsDetRodzaj)
        connect(b, &QRadioButton::clicked, this, [this] { optObsDetRodzaj_Click(); });
    // Every command button runs its row of the command table.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        const QString id = b->objectName();
        if (!FindCommand(id)) continue;  // "Pobierz" stays hidden and runs nothing
        connect(b, &QPushButton::clicked, this, [this, id] { app_.RunCommand(id); });
    }
}

void DetectorWindow::measure(Measure what) {
    QComboBox* const lists[] = {cmbNDlugosc, cmbNSzerokosc, cmbObsDetDlugosc, cmbObsDetSzerokosc, cmbObsDetOdlProst};
    lists[int(what)]->setCurrentText(common::FormatPlainNumber(PickSegmentLength()));
    show();
}

void DetectorWindow::cmdUstUstDet_Click() {
    auto* d = new DetectorSettingsDialog(this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->show();
}

void DetectorWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    btnCcl_Click();
}

void DetectorWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpPage(HelpWindow::Detector, this);
        return;
    }
    QWidget::keyPressEvent(e);
}

// ---- the settings dialog of detector descriptions ----

DetectorSettingsDialog::DetectorSettingsDialog(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("frmUstawieniaDetektory"));
    setWindowTitle(pl(u"Detektory - ustawienia"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(named(new QLabel(pl(u"Czcionka opisów (wys., szer.)"), this), QStringLiteral("Label2")),
                    0, 0);
    txtDetFontHeight = named(new QLineEdit(this), QStringLiteral("txtDetFontHeight"));
    txtDetFontWdth = named(new QLineEdit(this), QStringLiteral("txtDetFontWdth"));
    txtDetFontWdth->hide();
    grid->addWidget(txtDetFontHeight, 0, 1);
    grid->addWidget(named(new QLabel(pl(u"Przeskalowana wysokość:"), this), QStringLiteral("labScaled")), 1,
                    0);
    labOpisSkala = named(new QLabel(this), QStringLiteral("labOpisSkala"));
    grid->addWidget(labOpisSkala, 1, 1);
    auto* buttons = new QHBoxLayout;
    auto* ok = named(new QPushButton(pl(u"&OK"), this), QStringLiteral("cmdOKUstDet"));
    auto* cancel = named(new QPushButton(pl(u"Anuluj"), this), QStringLiteral("cmdCancelUstDet"));
    auto* help = named(new QPushButton(pl(u"&Pomoc"), this), QStringLiteral("cmdHelpUstDet"));
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    common::SetFormTopmost(this, true);
    LoadDetectorTextFont();
    txtDetFontHeight->setText(HeadPlacerSettings.CzcionkaOpisuDetWys);
    txtDetFontWdth->setText(HeadPlacerSettings.CzcionkaOpisuDetSzer);
    connect(txtDetFontHeight, &QLineEdit::textChanged, this, [this] { txtDetFontHeight_Change(); });
    connect(ok, &QPushButton::clicked, this, [this] { cmdOKUstDet_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpPage(HelpWindow::DetectorSettings, this); });
    txtDetFontHeight_Change();
}

void DetectorSettingsDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpPage(HelpWindow::DetectorSettings, this);
        return;
    }
    QWidget::keyPressEvent(e);
}

void DetectorSettingsDialog::txtDetFontHeight_Change() {
    if (ScaleTexts)
        labOpisSkala->setText(common::FormatPlainNumber(common::ParseDouble(txtDetFontHeight->text()) *
                                                        automation::DrawingScale));
    else
        labOpisSkala->clear();
}

void DetectorSettingsDialog::cmdOKUstDet_Click() {
    HeadPlacerSettings.CzcionkaOpisuDetWys = txtDetFontHeight->text();
    HeadPlacerSettings.CzcionkaOpisuDetSzer = txtDetFontWdth->text();
    SaveDetectorTextFont();
    close();
}

}  // namespace headplacer
