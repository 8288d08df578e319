// Accepting a head and placing a detector, from the command's context.
#include "headplacer/app/PlacementCommands.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "automation/LegacyDrawing.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "headplacer/app/CommandTable.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/KavritDetectors.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "headplacer/logic/TextTools.h"
#include "platform/cad/Application.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <algorithm>

namespace headplacer {

namespace {

// The head's choices become the program-wide values the designation and the insertion read.
void takeHeadChoice(const HeadChoice& h) {
    HeadKindOption = h.KindOption;
    HeadKindLetter = h.KindLetter;
    HeadSymbol = h.Symbol;
    OrientationNumber = h.Orientation;
    EarlierStopLine = h.EarlierStopLine;
    StopLineNumber = h.StopLine;
    AdditionalHeadSuffix = h.Suffix;
    ContrastScreens = h.Screens;
    ScreenSymbol = h.ScreenSymbol;
    AntiGlareInserts = h.AntiGlare;
    HeadTypeText = h.TypeText;
    LightSourceCode = h.LightSourceCode;
    AcousticSignals = h.Acoustic;
    SetPushButtons = h.PushButtons;
}

// The head drawing of the symbol, what it decides of the head, and the drawing's values. False when
// the head cannot be placed: a missing drawing leaves the window up (the message has been shown),
// while a declined section-number question or a closed drawing ends the run.
bool prepareHead(CommandContext& c) {
    if (!LocateHeadSymbolFile(CanonicalHeadSymbol(HeadSymbol.trimmed()))) return false;
    if (c.app)
        c.app->headWindow().applySymbol(HeadSymbolFile);
    else
        ApplySymbolChoice(HeadSymbolFile);
    if (!ReadHeadDrawingValues()) {
        c.ui->endProgram();
        return false;
    }
    return true;
}

}  // namespace

void ApplySymbolChoice(const QString& symbolFile) {
    const QString fileName = QFileInfo(symbolFile).fileName();
    const HeadKindChoice k = KindForSymbolFile(fileName, HeadPlacerSettings.FormatPR);
    if (!k.kindLetter.isEmpty()) HeadKindLetter = k.kindLetter;
    if (AntiGlareInserts) InsertCode = k.insertCode;
    HeadSymbol = CanonicalHeadSymbol(GetFileBaseName(fileName));
}

QString ProposePushButtonDescription() {
    DetectorTab = 3;
    AboveRoadDetectorSuffix.clear();
    DetectorCode = QStringLiteral("D");
    DetectorDescription =
        ComposeDetectorDescription(DetectorCode, StopLineNumber, OrientationNumber, DetectorTab,
                                   DetectionAreaCode, AboveRoadDetectorSuffix, AdditionalHeadSuffix);
    return DetectorDescription;
}

void cmdAccept(CommandContext& c) {
    HeadWindow* w = c.app ? &c.app->headWindow() : nullptr;
    const QString title = w ? w->windowTitle() : MessageTitle();
    const auto refuse = [&](const QString& text) {
        ui::MsgBox(text, ui::Exclamation, title);
        if (w) w->intersectionCombo()->setFocus();
        c.Succeeded = false;
    };
    // The number typed into the combo counts, not only one chosen from its list.
    QString typed = c.head.IntersectionText.trimmed();
    if (typed.isEmpty()) return refuse(QStringLiteral("Nie wypełniono pola \"Skrzyżowanie\"!"));
    const QString number = TakeFirstToken(typed, QStringLiteral(" "));
    if (!IsIntersectionNumberValid(number) || number == QLatin1String("???"))
        return refuse(
            QStringLiteral("Numer skrzyżowania \"%1\" może zawierać tylko litery, cyfry i znak \"-\".")
                .arg(common::ShortForMessage(number)));
    takeHeadChoice(c.head);
    IntersectionNumber = number;
    IntersectionChosen = true;
    if (!AntiGlareInserts) InsertCode = InsertCodes[0];
    HeadAccepted = true;
    if (!prepareHead(c)) {
        c.Succeeded = false;
        return;
    }
    LensDiameter = LensDiameters[std::clamp(c.head.LensIndex, 0, 2)];
    HeadPlacerSettings.CzyUstawPetle = SetPushButtons ? 1 : 0;
    SaveSetLoops();
    if (w) {
        w->BuildHeadDescriptions();
        w->hide();
    } else {
        BuildHeadDescriptionTexts();
    }
    InsertAcceptedHead(c);
}

void InsertAcceptedHead(CommandContext& c) {
    const InsertOutcome outcome = InsertHead(HeadSymbolFile, *c.poll);
    if (outcome == InsertOutcome::Declined)
        c.ui->endProgram();
    else if (outcome == InsertOutcome::Failed)
        c.ui->showMainWindow();  // the error was shown; the user may try again
    c.Succeeded = outcome == InsertOutcome::Started;
}

void cbUstaw(CommandContext& c) {
    DetectorWindow* d = c.app ? c.app->detectorWindow() : nullptr;
    const DetectorChoice& x = c.detector;
    c.Succeeded = false;
    if (x.Description.isEmpty()) {
        ui::MsgBox(QStringLiteral("Nie wypełniono pola opisu detektora!"), ui::Exclamation, MessageTitle());
        if (d) {
            d->description()->setFocus();
            d->show();
        }
        return;
    }
    if (!automation::CheckDocumentOpen(true)) {
        if (d) d->show();
        return;
    }
    // The picks wait in the CAD: the detector window steps aside (as the head window does at accept)
    // so the raised CAD window takes the keyboard and typed coordinates reach its prompt. It comes
    // back however the placing ends, unless the poll waits for a push-button and shows it once done.
    bool pollShowsItAgain = false;
    struct ShowAgain {
        DetectorWindow* window;
        const bool& skip;
        ~ShowAgain() {
            if (window && !skip) window->show();
        }
    } showAgain{d, pollShowsItAgain};
    if (d) d->hide();
    if (x.Tab == 3) {
        pollShowsItAgain = StartPushButton(*c.poll);
        c.Succeeded = pollShowsItAgain;
        return;
    }
    bool placed = false;
    if (x.Tab == 0)
        placed = PlaceLoop(x.Loop);
    else if (x.Tab == 1)
        placed = PlaceAboveRoadDetector(x.AboveRoadKind);
    else
        placed = PlaceDetectionArea(x.Area);
    if (!placed) return;
    try {
        LoadDetectorTextFont();
        double h = common::ParseDouble(HeadPlacerSettings.CzcionkaOpisuDetWys);
        if (ScaleTexts) h *= automation::DrawingScale;
        const cad::Point at =
            automation::CadDocument.utility().getPoint(QStringLiteral("Wskaż położenie opisu ..."));
        const cad::Entity text = automation::CadModelSpace.addText(x.Description, at, h);
        text.setColor(1);
        bool makeActive = false;
        automation::EnsureLayerLegacy(QStringLiteral("112-OPIS_SYGNALIZACJI"), makeActive, -1, -10);
        text.setLayer(QStringLiteral("112-OPIS_SYGNALIZACJI"));
        text.update();
        c.Succeeded = true;
    } catch (const cad::Error& e) {
        ui::MsgBox(e.message(), ui::Exclamation, MessageTitle());
    }
}

}  // namespace headplacer
