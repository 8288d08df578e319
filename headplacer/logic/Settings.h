// The settings of headplacer in Tesmar.ini, section "OstatnioUzyte" (and "SkalujTekst" in the
// program's own section), with their defaults, loaders and savers.
#pragma once

#include <QString>

namespace headplacer {

// The section of every setting except "SkalujTekst".
QString SettingsSection();
// The section named after the program's title.
QString ProgramSection();

struct HeadPlacerSettingsRecord {
    int DomyslnyDetektor = 0;
    int FormatPR = 0;
    int KsztPoprzPetli = 0;
    int CzyUstawPetle = 0;
    QString CzcionkaOpisuSygnWys = QStringLiteral("1");
    QString CzcionkaOpisuSygnSzer = QStringLiteral("0.73");
    QString CzcionkaOpisuDetWys = QStringLiteral("0.5");
    QString CzcionkaOpisuDetSzer = QStringLiteral("0.73");
};
extern HeadPlacerSettingsRecord HeadPlacerSettings;

// Values outside the choices of their lists are clamped: the default detector to 0..2, the
// pedestrian-and-cyclist format and the loop shape to 0..1.
void LoadDefaultDetector();
int LoadFormatPR();
int LoadLoopCrossSection();
void LoadSetLoops();
void LoadHeadTextFont();
void LoadDetectorTextFont();
bool LoadConditionalDescriptions();
bool LoadAskInventoryNumber();
bool LoadScaleTexts();

void SaveDefaultDetector();
void SaveFormatPR();
void SaveLoopCrossSection();
void SaveSetLoops();
void SaveHeadTextFont();
void SaveDetectorTextFont();
void SaveConditionalDescriptions(bool on);
void SaveAskInventoryNumber(bool on);
void SaveScaleTexts(bool on);

// "Orientacja00" as read at start-up: 1..8, anything else gives 1.
int LoadLastOrientation();
void SaveLastOrientation(int orientation);

}  // namespace headplacer
