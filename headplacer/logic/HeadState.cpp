// The program-wide values of headplacer and their start values.
#include "headplacer/logic/HeadState.h"

namespace headplacer {

bool StartedBySibling = false;
QString CityDataFolder;
bool ScaleTexts = true;
QString LastOrientation;

QString SectionNumber;
QString IntersectionNumber = QStringLiteral("???");
bool IntersectionChosen = false;
QString HeadKindLetter = QStringLiteral("?");
QString StopLineNumber;
bool EarlierStopLine = false;
int OrientationNumber = 1;
QString AdditionalHeadSuffix;
QString HeadDesignation;
QString InventoryNumber;
QString ConditionalDesignation;
QString DetectorDescription;

QString HeadSymbol;
QString HeadSymbolFolder;
QString HeadSymbolFile;
int LensDiameter = 300;
bool AcousticSignals = false;
bool AntiGlareInserts = false;
bool ContrastScreens = false;
QString ScreenSymbol = QStringLiteral("EKP");
int InsertCode = 0;
QString LightSourceCode;
QString HeadTypeText;
bool SetPushButtons = false;
bool HeadAccepted = false;
int HeadKindOption = 0;

int PendingInsertMode = 0;
int SavedModelSpaceCount = 0;
double HeadTextHeight = 1;
double InsertedRotation = 0;
QString HeadHandle;
QString ScreenHandle;

QString DetectorCode;
QString DetectionAreaCode = QStringLiteral("11");
QString AboveRoadDetectorSuffix;
int DetectorTab = 3;

bool DialogOnTop = false;

void ResetHeadState() {
    StartedBySibling = false;
    CityDataFolder.clear();
    ScaleTexts = true;
    LastOrientation.clear();
    SectionNumber.clear();
    IntersectionNumber = QStringLiteral("???");
    IntersectionChosen = false;
    HeadKindLetter = QStringLiteral("?");
    StopLineNumber.clear();
    EarlierStopLine = false;
    OrientationNumber = 1;
    AdditionalHeadSuffix.clear();
    HeadDesignation.clear();
    InventoryNumber.clear();
    ConditionalDesignation.clear();
    DetectorDescription.clear();
    HeadSymbol.clear();
    HeadSymbolFolder.clear();
    HeadSymbolFile.clear();
    LensDiameter = 300;
    AcousticSignals = AntiGlareInserts = ContrastScreens = false;
    ScreenSymbol = QStringLiteral("EKP");
    InsertCode = 0;
    LightSourceCode.clear();
    HeadTypeText.clear();
    SetPushButtons = false;
    HeadAccepted = false;
    HeadKindOption = 0;
    PendingInsertMode = 0;
    SavedModelSpaceCount = 0;
    HeadTextHeight = 1;
    InsertedRotation = 0;
    HeadHandle.clear();
    ScreenHandle.clear();
    DetectorCode.clear();
    DetectionAreaCode = QStringLiteral("11");
    AboveRoadDetectorSuffix.clear();
    DetectorTab = 3;
    DialogOnTop = false;
}

}  // namespace headplacer
