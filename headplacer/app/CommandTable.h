// headplacer's commands as data: the command buttons of the head window and of the detector window
// are built from these rows and every click goes through HeadPlacerApp::RunCommand; headplacer-headless
// fills the same context from its options and runs the rows that need no window by their ids
// (RunTableCommand), so a drawing it writes is the windows' drawing.
#pragma once

#include "headplacer/logic/KavritDetectors.h"

#include <QString>
#include <vector>

namespace headplacer {

class HeadPlacerApp;
class InsertionPoll;
class PlacementUi;

// What the head window's accept reads: the typed intersection and the head's choices.
struct HeadChoice {
    QString IntersectionText;  // as typed: the number, then optionally a space and a description
    int KindOption = 0;        // 0 vehicles ... 5 cyclists
    QString KindLetter;
    QString Symbol;       // S-1, S-2lp, ...
    int LensIndex = 0;    // into LensDiameters
    int Orientation = 1;  // 1 (N) ... 8 (NW)
    bool EarlierStopLine = false;
    QString StopLine;  // the earlier stop line's number
    QString Suffix;    // the additional head's suffix, empty without one
    bool Screens = false;
    QString ScreenSymbol;  // EKP, EKO
    bool AntiGlare = false;
    QString TypeText;
    QString LightSourceCode;
    bool Acoustic = false;
    bool PushButtons = false;  // the detector window follows the head
};

// What the detector window's "Ustaw" reads, and what the completion of a push-button asks of it.
struct DetectorChoice {
    int Tab = 3;  // 0 loops, 1 above-road detectors, 2 detection areas, 3 push-buttons
    QString Description;
    LoopSizes Loop;
    int AboveRoadKind = 0;
    AreaSizes Area;
    QString PushButtonType;
    QString PushButtonMaker;
};

// What a command runs against.
struct CommandContext {
    PlacementUi* ui = nullptr;  // what the placement's completion asks: the windows or the tool's answers
    InsertionPoll* poll = nullptr;
    HeadPlacerApp* app = nullptr;  // the windows; nullptr in headplacer-headless
    HeadChoice head;
    DetectorChoice detector;
    // False when the command stopped (a refused value, a declined question, nothing started).
    bool Succeeded = true;
};

using CommandHandler = void (*)(CommandContext&);

// One command button of a window.
struct CommandRow {
    const char* window;      // the object name of the window holding the button: frmMain, frmDetektory
    const char* objectName;  // the button's object name, also the command's id
    const char* caption;
    const char* toolTip;  // nullptr: none
    CommandHandler handler;
    // Why it cannot run without the window (it opens a dialog, waits for a pick or works on the
    // window's fields), said after the command's id; nullptr: headplacer-headless runs it.
    const char* needsWindow;
};

const std::vector<CommandRow>& CommandTable();
const CommandRow* FindCommand(const QString& objectName);

// How a command run by id ended.
enum class CommandRun { Ran, Unknown, NeedsWindow };
// Runs the row `id` against the context; a row that needs the window is refused without one.
CommandRun RunTableCommand(const QString& id, CommandContext& context);

}  // namespace headplacer
