// The fixed tables of signal heads: kind letters, names and symbols by kind, the identifying
// attributes of each head block, the kind a symbol file stands for, and the texts of the insert
// commands sent to the CAD.
#pragma once

#include <QString>
#include <QStringList>

namespace headplacer {

extern const QStringList HeadKindLetters;  // by kind option: K B T P PR R
extern const QStringList VehicleHeadNames;
extern const QStringList VehicleHeadSymbols;
extern const QStringList TramHeadNames;
extern const QStringList TramHeadSymbols;
extern const QStringList PedestrianHeadNames;
extern const QStringList PedestrianHeadSymbols;
extern const QStringList ScreenSymbols;  // EKP, EKO
extern const int LensDiameters[3];       // 300, 200, 100
extern const int InsertCodes[4];         // 0..3
// Every head symbol, as its drawing is named.
QStringList AllHeadSymbols();
// The table spelling of a symbol given in any case ("s-2P" gives "S-2p"); the text itself when no
// table holds it.
QString CanonicalHeadSymbol(const QString& symbol);

// The list position of a symbol (after cutting `sDanSymb` to its base name) within its kind's
// table; 0 for any text not in the list (compared exactly).
int SetListPoz(QString& sDanSymb);

// OBIEKT, RODZAJ and SYMBOL of a block name (upper-cased look-up); false when not listed.
bool HeadSymbolAttributes(const QString& blockName, QString& obiekt, QString& rodzaj, QString& symbol);
// The 16 attribute tags every head definition gets after the identifying three.
extern const QStringList HeadCommonTags;
// The 10 tags of a screen definition.
extern const QStringList ScreenTags;
// The 3 tags of the push-button.
extern const QStringList PushButtonTags;
QString PushButtonBlockName();

// What a symbol file stands for in the main window.
struct HeadKindChoice {
    int kindOption = 0;  // chkRodzSyg index
    QString kindLetter;  // empty: leave as the option's handler set it
    int lensIndex = 0;   // chkFiSocz index
    int insertCode = 3;  // for anti-glare inserts
    int nameList = 0;    // 0 none, 1 vehicle names, 2 tram names, 3 pedestrian names
    bool acousticEnabled = false;
};
// The kind character is the file name's third character, or its second when the third is "." or
// missing; "S-5pr" (in any case) is the pedestrian-and-cyclist head.
QChar KindCharacter(const QString& fileName);
HeadKindChoice KindForSymbolFile(const QString& fileName, int formatPR);

// The heads conflictor reads names from, as a selection pattern.
QString HeadBlockPattern();

// DrawingScale × 10 / 1000 as a plain number with a dot (500 gives "5").
QString HeadScaleText(int drawingScale);
// The push-button scale, DrawingScale × 10 / 2000.
QString PushButtonScaleText(int drawingScale);
// "_-insert", block, "S", scale, each ended by a carriage return.
QString HeadInsertCommand(const QString& blockName, int drawingScale);
// "_-insert", "sygnprzycisk", "_R", degrees, "X", scale, "Y", scale, each ended by a carriage return.
QString PushButtonInsertCommand(double rotationRadians, int drawingScale);

}  // namespace headplacer
