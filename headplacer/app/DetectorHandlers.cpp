// The detector window's handlers: size lists, detector codes, the description proposal and its
// stepping, rounding, placing and leaving.
#include "automation/ComboFill.h"
#include "common/NumberText.h"
#include "headplacer/app/CommandTable.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/ListLoaders.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/DetectorTables.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/KavritDetectors.h"
#include "headplacer/logic/Settings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace headplacer {

namespace {
void fill(QComboBox* c, const SizeList& l) {
    automation::FillComboFromArray(*c, l.items, 0, int(l.items.size()) - 1, l.shown);
}
}  // namespace

int DetectorWindow::shape() const {
    return optShapeDet[1]->isChecked() ? 1 : 0;
}

int DetectorWindow::areaKind() const {
    return optObsDetRodzaj[1]->isChecked() ? 1 : 0;
}

void DetectorWindow::LoadPushButtonMakers() {
    FillFromSuiteList(cmbProdPrzycisku, QStringLiteral("SygnTypySygnDet.lst"));
}

void DetectorWindow::FillSizeLists() {
    if (tabRodzDet->currentIndex() == 0) {
        fill(cmbNDlugosc, LoopLengths(shape()));
        fill(cmbNSzerokosc, LoopWidths(shape()));
        return;
    }
    fill(cmbObsDetDlugosc, AreaLengths(areaKind()));
    fill(cmbObsDetSzerokosc, AreaWidths(areaKind()));
    if (areaKind() == 1) fill(cmbObsDetOdlProst, AreaDistances());
}

void DetectorWindow::UpdateDetectorCode() {
    AboveRoadDetectorSuffix.clear();
    const int tab = tabRodzDet->currentIndex();
    DetectorTab = tab;
    if (tab == 0) {
        const QList<LoopFunction>& table = shape() == 0 ? RectangleLoopFunctions : ParallelogramLoopFunctions;
        DetectorCode = table.value(std::max(0, cmbNRodzPetli->currentIndex())).Letter;
    } else if (tab == 1) {
        const int kind = std::max(0, cmbTypNadj->currentIndex());
        DetectorCode = AboveRoadDetectorKinds.value(kind).Code;
        if (kind == 0) AboveRoadDetectorSuffix = QStringLiteral(".0");
    } else if (tab == 2) {
        DetectorCode = QStringLiteral("V");
    } else {
        DetectorCode = QStringLiteral("D");
    }
}

void DetectorWindow::BuildDetectorDescription(const QString& prefix) {
    DetectorDescription =
        ComposeDetectorDescription(prefix, StopLineNumber, OrientationNumber, tabRodzDet->currentIndex(),
                                   DetectionAreaCode, AboveRoadDetectorSuffix, AdditionalHeadSuffix);
    edtOpis->setText(DetectorDescription);
}

void DetectorWindow::tabRodzDet_Click(int tab) {
    static const char16_t* captions[4] = {u"Opis pętli", u"Opis detektora nadjezdniowego",
                                          u"Opis obszaru detekcji", u"Opis przycisku"};
    frOpisDetektora->setTitle(QString::fromUtf16(captions[std::clamp(tab, 0, 3)]));
    cmdNextLane->hide();
    cmdNextObsDet->hide();
    if (tab == 1 && cmbTypNadj->currentIndex() == 0) {
        cmdNextLane->setText(QStringLiteral("Następny"));
        cmdNextLane->setToolTip(QStringLiteral("Ustawia opis następnego detektora"));
        cmdNextLane->show();
    } else if (tab == 2) {
        cmdNextLane->setText(QStringLiteral("Następny pas"));
        cmdNextLane->setToolTip(QStringLiteral("Ustawia opis obszaru na następnym pasie"));
        cmdNextLane->show();
        cmdNextObsDet->show();
        FillSizeLists();
    } else if (tab == 3) {
        enablePushButtonLists(true);
    }
    UpdateDetectorCode();
    BuildDetectorDescription(DetectorCode);
}

void DetectorWindow::enablePushButtonLists(bool on) {
    cmbTypPrzycisku->setEnabled(on);
    cmbProdPrzycisku->setEnabled(on);
}

void DetectorWindow::cmbNRodzPetli_Click() {
    UpdateDetectorCode();
    BuildDetectorDescription(DetectorCode);
    const QList<LoopFunction>& table = shape() == 0 ? RectangleLoopFunctions : ParallelogramLoopFunctions;
    const LoopFunction f = table.value(std::max(0, cmbNRodzPetli->currentIndex()));
    cmbNDlugosc->setCurrentText(QString::number(f.Length));
    cmbNSzerokosc->setCurrentText(QString::number(f.Width));
    cmbIloscZwojow->setCurrentText(QString::number(f.Turns));
}

void DetectorWindow::cmbTypNadj_Click() {
    const bool video = cmbTypNadj->currentIndex() == 0;
    cmdNextLane->setText(video ? QStringLiteral("Następny") : QStringLiteral("Następny pas"));
    cmdNextLane->setToolTip(video ? QStringLiteral("Ustawia opis następnego detektora")
                                  : QStringLiteral("Ustawia opis obszaru na następnym pasie"));
    cmdNextLane->setVisible(video);
    UpdateDetectorCode();
    BuildDetectorDescription(DetectorCode);
}

void DetectorWindow::optShapeDet_Click() {
    const bool rectangle = shape() == 0;
    for (QWidget* w : {static_cast<QWidget*>(lblOdlKraw), static_cast<QWidget*>(lblOdlLiniaRozdz),
                       static_cast<QWidget*>(cmbOdlOdKraw), static_cast<QWidget*>(cmbOdlOdLinRozdz)})
        w->setVisible(!rectangle);
    lblSzerokosc->setText(rectangle ? QStringLiteral("Szerokość") : QStringLiteral("Szerokość pasa"));
    if (SkipNextShapeRefill)
        SkipNextShapeRefill = false;
    else
        FillSizeLists();
}

void DetectorWindow::optObsDetRodzaj_Click() {
    const bool presence = areaKind() == 1;
    lblOdlMiedzy->setEnabled(presence);
    cmbObsDetOdlProst->setEnabled(presence);
    cmdPobierzOdlPrObsD->setEnabled(presence);
    DetectionAreaCode = presence ? QStringLiteral("12") : QStringLiteral("11");
    FillSizeLists();
    BuildDetectorDescription(DetectorCode);
}

void DetectorWindow::cmdNextObsDet_Click() {
    edtOpis->setText(NextDetectionArea(edtOpis->text(), EarlierStopLine));
}

void DetectorWindow::cmdNextLane_Click() {
    if (tabRodzDet->currentIndex() == 2)
        edtOpis->setText(NextDetectionLane(edtOpis->text(), EarlierStopLine));
    else if (tabRodzDet->currentIndex() == 1 && cmbTypNadj->currentIndex() == 0)
        edtOpis->setText(NextVideoDetector(edtOpis->text(), EarlierStopLine, AboveRoadDetectorKinds[0].Code));
}

void DetectorWindow::cmdCalkowiteRound_Click() {
    cmbNDlugosc->setCurrentText(RoundToWholeMetres(cmbNDlugosc->currentText()));
    cmbNSzerokosc->setCurrentText(RoundToWholeMetres(cmbNSzerokosc->currentText()));
}

void DetectorWindow::cmdJednoMiejsceRound_Click() {
    cmbNDlugosc->setCurrentText(RoundToDecimetres(cmbNDlugosc->currentText()));
    cmbNSzerokosc->setCurrentText(RoundToDecimetres(cmbNSzerokosc->currentText()));
}

void DetectorWindow::cbUstaw_Click() {
    app_.RunCommand(QStringLiteral("cbUstaw"));
}

void DetectorWindow::fillChoice(DetectorChoice& x) const {
    x.Tab = tabRodzDet->currentIndex();
    x.Description = edtOpis->text();
    x.Loop = {shape(), common::ParseDouble(cmbNDlugosc->currentText()), common::ParseDouble(cmbNSzerokosc->currentText()),
              common::ParseDouble(cmbOdlOdKraw->currentText()), common::ParseDouble(cmbOdlOdLinRozdz->currentText())};
    x.AboveRoadKind = cmbTypNadj->currentIndex();
    x.Area = {areaKind(), common::ParseDouble(cmbObsDetDlugosc->currentText()),
              common::ParseDouble(cmbObsDetSzerokosc->currentText()),
              common::ParseDouble(cmbObsDetOdlProst->currentText())};
    x.PushButtonType = cmbTypPrzycisku->currentText();
    x.PushButtonMaker = cmbProdPrzycisku->currentText();
}

void DetectorWindow::btnCcl_Click() {
    HeadPlacerSettings.KsztPoprzPetli = shape();
    SaveLoopCrossSection();
    hide();
    app_.endProgram();
}

}  // namespace headplacer
