// The program-wide values of headplacer: the head being placed, its designation parts and texts,
// the pending insertion and the detector codes. They live for the whole run, as the windows and the
// insertion poll share them.
#pragma once

#include <QString>

namespace headplacer {

// Start-up and connections.
extern bool StartedBySibling;
extern QString CityDataFolder;
extern bool ScaleTexts;
extern QString LastOrientation;

// Designation parts and results.
extern QString SectionNumber;
extern QString IntersectionNumber;
extern bool IntersectionChosen;
extern QString HeadKindLetter;
extern QString StopLineNumber;
extern bool EarlierStopLine;
extern int OrientationNumber;
extern QString AdditionalHeadSuffix;
extern QString HeadDesignation;
extern QString InventoryNumber;
extern QString ConditionalDesignation;
extern QString DetectorDescription;

// The head chosen in the main window.
extern QString HeadSymbol;
extern QString HeadSymbolFolder;
extern QString HeadSymbolFile;
extern int LensDiameter;
extern bool AcousticSignals;
extern bool AntiGlareInserts;
extern bool ContrastScreens;
extern QString ScreenSymbol;
extern int InsertCode;
extern QString LightSourceCode;
extern QString HeadTypeText;
extern bool SetPushButtons;
extern bool HeadAccepted;
// The kind option of the main window (0 vehicles ... 5 cyclists).
extern int HeadKindOption;

// The pending insertion and what it left.
extern int PendingInsertMode;  // 0 none, 1 head, 2 push-button
extern int SavedModelSpaceCount;
extern double HeadTextHeight;
extern double InsertedRotation;
extern QString HeadHandle;
extern QString ScreenHandle;

// Detector codes of the detector window.
extern QString DetectorCode;
extern QString DetectionAreaCode;
extern QString AboveRoadDetectorSuffix;
// The selected tab of the detector window (0 loops, 1 above-road, 2 areas, 3 push-buttons).
extern int DetectorTab;

// Whether the inventory dialog stays above other windows.
extern bool DialogOnTop;

// The title of the program's message boxes.
inline QString MessageTitle() {
    return QStringLiteral("Tesmar_Sygnalizacja");
}

// Every value back to its start (tests, a program starting over).
void ResetHeadState();

}  // namespace headplacer
