// The head window's handlers: kind, name, lens, stop line, orientation, additional heads,
// intersection, equipment, the lists it fills, and accepting the head.
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/ListLoaders.h"
#include "headplacer/app/PlacementCommands.h"
#include "headplacer/app/SettingsDialog.h"

#include "automation/ComboFill.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/ListFiles.h"
#include "headplacer/logic/Settings.h"
#include "headplacer/logic/TextTools.h"
#include "platform/ui/core/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace headplacer {

void HeadWindow::fillLists() {
    filling_ = true;
    QStringList p{QStringLiteral("p")}, directional, extraDirectional;
    for (int i = 1; i <= 5; ++i) p << QStringLiteral("p%1").arg(i);
    for (char c = 'a'; c <= 'k'; ++c) directional << QString(QLatin1Char(c));
    for (const QString& suffix : {QString(), QStringLiteral("1"), QStringLiteral("2")})
        for (const QString& d : directional) extraDirectional << d + QStringLiteral("p") + suffix;
    automation::FillComboFromArray(*cmbPowt, p, 0, int(p.size()) - 1, 0);
    automation::FillComboFromArray(*cmbStrum, directional, 0, int(directional.size()) - 1, 0);
    automation::FillComboFromArray(*cmbPowtStrum, extraDirectional, 0, int(extraDirectional.size()) - 1, 0);
    QStringList lines;
    for (int i = 1; i <= 8; ++i) lines << QString::number(i);
    automation::FillComboFromArray(*cmbLinZatrz, lines, 0, 7, 0);
    filling_ = false;
}

void HeadWindow::selectOrientation(int index) {
    index = std::clamp(index, 0, 7);
    chkOrientGeo[index]->setChecked(true);
    chkOrientGeo_Click(index);
}

void HeadWindow::selectKindOption(int index) {
    {
        const QSignalBlocker once(chkRodzSyg[index]);  // applied below, also when already chosen
        chkRodzSyg[index]->setChecked(true);
    }
    chkRodzSyg_Click(index);
}

void HeadWindow::selectLens(int index) {
    chkFiSocz[index]->setChecked(true);
    chkFiSocz_Click(index);
}

int HeadWindow::selectedLens() const {
    for (int i = 0; i < 3; ++i)
        if (chkFiSocz[i]->isChecked()) return i;
    return 0;
}

void HeadWindow::applySymbol(const QString& symbolFile) {
    const QString fileName = QFileInfo(symbolFile).fileName();
    const HeadKindChoice k = KindForSymbolFile(fileName, HeadPlacerSettings.FormatPR);
    QString upper = fileName.toUpper();
    const int position = SetListPoz(upper);
    const bool lensFirst = k.kindOption == 5 || k.kindOption == 1 || k.kindOption == 2;
    if (lensFirst && !HeadAccepted) selectLens(k.lensIndex);
    // At accept the kind the user left selected keeps its choices (additional head and all).
    if (!(HeadAccepted && chkRodzSyg[k.kindOption]->isChecked())) selectKindOption(k.kindOption);
    if (!lensFirst && !HeadAccepted) selectLens(k.lensIndex);
    if (k.acousticEnabled) chkSygnAkust->setEnabled(true);
    filling_ = true;
    if (k.nameList == 1)
        automation::FillComboFromArray(*cmbRdz2Syg, VehicleHeadNames, 0, 16, position);
    else if (k.nameList == 2)
        automation::FillComboFromArray(*cmbRdz2Syg, TramHeadNames, 0, 7, position);
    else if (k.nameList == 3)
        automation::FillComboFromArray(*cmbRdz2Syg, PedestrianHeadNames, 0, 1, position);
    filling_ = false;
    ApplySymbolChoice(symbolFile);
}

void HeadWindow::LoadLightSources() {
    const auto sources = SuiteListPairs(QStringLiteral("SygnZrodSwiatla.lst"));
    if (!sources) return;
    LightSourceCodes.clear();
    cmbZrodSwiatla->clear();
    for (const auto& [name, code] : *sources) {
        cmbZrodSwiatla->addItem(name);
        LightSourceCodes << code;
    }
    if (cmbZrodSwiatla->count() > 0) cmbZrodSwiatla->setCurrentIndex(0);
}

void HeadWindow::LoadHeadTypes() {
    FillFromSuiteList(cmbTypSyg, QStringLiteral("SygnTypySygnDet.lst"));
}

void HeadWindow::BuildHeadDescriptions() {
    BuildHeadDescriptionTexts();
    Label3->setText(common::Tlumacz(QStringLiteral("Sygnalizator: ")) + InventoryNumber);
}

void HeadWindow::chkRodzSyg_Click(int index) {
    HeadKindOption = index;
    filling_ = true;
    cmbRdz2Syg->clear();
    filling_ = false;
    const bool named = index == 0 || index == 2 || index == 3;
    switch (index) {
        case 0:
            automation::FillComboFromArray(*cmbRdz2Syg, VehicleHeadNames, 0, 16, 0);
            break;
        case 1:
            HeadSymbol = QStringLiteral("S-B");
            break;
        case 2:
            automation::FillComboFromArray(*cmbRdz2Syg, TramHeadNames, 0, 7, 0);
            break;
        case 3:
            automation::FillComboFromArray(*cmbRdz2Syg, PedestrianHeadNames, 0, 1, 0);
            break;
        case 4:
            HeadSymbol = QStringLiteral("S-5pr");
            break;
        default:
            HeadSymbol = QStringLiteral("S-6");
            break;
    }
    HeadKindLetter = HeadKindLetters.value(index);
    chkSygnAkust->setEnabled(index >= 3);
    frRdz2Syg->setEnabled(named);
    cmbRdz2Syg->setEnabled(named);
    // The name shown is the name chosen: its symbol (and lens) follow at once.
    if (named) cmbRdz2Syg_Click();
    if (index >= 3) {
        chkPowtStr[1]->setChecked(true);
        chkPowtStr_Click(1);
    } else if (!chkPowtStr[3]->isChecked()) {
        chkPowtStr[3]->setChecked(true);
        chkPowtStr_Click(3);
    }
    setPushButtonCaption();
    chkUstawDetektory->setEnabled(index >= 3);
    if (index < 3) {
        chkUstawDetektory->setChecked(false);
        SetPushButtons = false;
    }
    BuildHeadDescriptions();
}

void HeadWindow::cmbRdz2Syg_Click() {
    if (filling_) return;
    const int position = cmbRdz2Syg->currentIndex();
    switch (HeadKindOption) {
        case 0:
            HeadSymbol = VehicleHeadSymbols.value(position, VehicleHeadSymbols[0]);
            if (!HeadAccepted) selectLens(position == 15 ? 2 : 0);
            break;
        case 2:
            HeadSymbol = TramHeadSymbols.value(position, TramHeadSymbols[0]);
            if (!HeadAccepted) selectLens(1);
            break;
        case 3:
            HeadSymbol = PedestrianHeadSymbols.value(position, PedestrianHeadSymbols[0]);
            if (!HeadAccepted) selectLens(1);
            break;
        case 1:
            if (!HeadAccepted) selectLens(1);
            HeadSymbol = QStringLiteral("S-B");
            break;
        case 5:
            if (!HeadAccepted) selectLens(1);
            HeadSymbol = QStringLiteral("S-6");
            break;
        default:
            break;
    }
}

void HeadWindow::chkFiSocz_Click(int index) {
    LensDiameter = LensDiameters[std::clamp(index, 0, 2)];
}

void HeadWindow::chkLinZatrz_Click() {
    const bool on = chkLinZatrz->isChecked();
    cmbLinZatrz->setEnabled(on);
    Label2->setEnabled(on);
    StopLineNumber = on ? cmbLinZatrz->currentText() : QString();
    EarlierStopLine = on;
    BuildHeadDescriptions();
}

void HeadWindow::cmbLinZatrz_Click() {
    if (chkLinZatrz->isChecked()) StopLineNumber = cmbLinZatrz->currentText();
    BuildHeadDescriptions();
}

void HeadWindow::chkOrientGeo_Click(int index) {
    OrientationNumber = std::clamp(index, 0, 7) + 1;
    BuildHeadDescriptions();
}

void HeadWindow::chkPowtStr_Click(int index) {
    QComboBox* lists[3] = {cmbPowt, cmbStrum, cmbPowtStrum};
    for (int i = 0; i < 3; ++i) lists[i]->setEnabled(i == index);
    AdditionalHeadSuffix = index < 3 ? lists[index]->currentText() : QString();
    BuildHeadDescriptions();
}

void HeadWindow::cmbSuffix_Click(int option) {
    if (filling_) return;
    QComboBox* lists[3] = {cmbPowt, cmbStrum, cmbPowtStrum};
    if (chkPowtStr[option]->isChecked()) AdditionalHeadSuffix = lists[option]->currentText();
    BuildHeadDescriptions();
}

void HeadWindow::cmbNumSkrzyz_Click() {
    QString text = cmbNumSkrzyz->currentText().trimmed();
    IntersectionNumber = TakeFirstToken(text, QStringLiteral(" "));
    BuildHeadDescriptions();
    IntersectionChosen = true;
}

void HeadWindow::cmdDodajWpis_Click() {
    const QString entry = cmbNumSkrzyz->currentText().trimmed();
    const QString path = IntersectionListPath();
    if (!entry.isEmpty() && !AppendListLineOnce(path, entry, true)) {
        ui::MsgBox(QStringLiteral("Nie można przeczytać listy ze skrzyżowaniami\n[%1]").arg(common::ShortForMessage(path)),
                   ui::Exclamation, MessageTitle());
        return;
    }
    if (!entry.isEmpty() && cmbNumSkrzyz->findText(entry, Qt::MatchExactly) < 0) cmbNumSkrzyz->addItem(entry);
    cmbNumSkrzyz_Click();
}

void HeadWindow::chkEkrany_Click() {
    const bool on = chkEkrany->isChecked();
    optRodzEkran[0]->setEnabled(on);
    optRodzEkran[1]->setEnabled(on);
    if (on) {
        optRodzEkran[0]->setChecked(true);
        optRodzEkran_Click(0);
    }
    ContrastScreens = on;
}

void HeadWindow::optRodzEkran_Click(int index) {
    ScreenSymbol = ScreenSymbols.value(index, ScreenSymbols[0]);
}

void HeadWindow::chkWkladyAntyZl_Click() {
    AntiGlareInserts = chkWkladyAntyZl->isChecked();
    if (!AntiGlareInserts) InsertCode = InsertCodes[0];
}

void HeadWindow::setPushButtonCaption() {
    chkUstawDetektory->setText(common::Tlumacz(QStringLiteral("Ustaw przyciski")));
}

void HeadWindow::cmdUstawienia_Click() {
    auto* dialog = new SettingsDialog(*this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void HeadWindow::cmdAccept_Click() {
    app_.RunCommand(QStringLiteral("cmdAccept"));
}

void HeadWindow::fillChoice(HeadChoice& h) const {
    h.IntersectionText = cmbNumSkrzyz->currentText();
    // The kind, name, orientation, stop line, additional head and equipment as the controls' clicks
    // keep them program-wide (a symbol given on the command line included).
    h.KindOption = HeadKindOption;
    h.KindLetter = HeadKindLetter;
    h.Symbol = HeadSymbol;
    h.Orientation = OrientationNumber;
    h.EarlierStopLine = EarlierStopLine;
    h.StopLine = StopLineNumber;
    h.Suffix = AdditionalHeadSuffix;
    h.Screens = ContrastScreens;
    h.ScreenSymbol = ScreenSymbol;
    h.AntiGlare = AntiGlareInserts;
    h.LensIndex = selectedLens();
    h.TypeText = cmbTypSyg->currentText();
    const int i = cmbZrodSwiatla->currentIndex();
    h.LightSourceCode = i >= 0 && i < LightSourceCodes.size() ? LightSourceCodes[i] : QString();
    h.Acoustic = chkSygnAkust->isEnabled() && chkSygnAkust->isChecked();
    h.PushButtons = chkUstawDetektory->isEnabled() && chkUstawDetektory->isChecked();
}

}  // namespace headplacer
