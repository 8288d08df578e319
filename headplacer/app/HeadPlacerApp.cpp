// Start-up of headplacer, the hand-overs between its windows, help and the end of the run.
#include "headplacer/app/HeadPlacerApp.h"

#include "automation/CadConnection.h"
#include "common/Ini.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "common/Version.h"
#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/InventoryDialog.h"
#include "headplacer/app/ListLoaders.h"
#include "headplacer/app/PlacementCommands.h"
#include "headplacer/logic/CommandLine.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QUrl>

namespace headplacer {

void LoadPlacementSettings() {
    LastOrientation = QString::number(LoadLastOrientation());
    LoadHeadTextFont();
    LoadDetectorTextFont();
    LoadFormatPR();
    LoadSetLoops();
    ScaleTexts = LoadScaleTexts();
}

HeadPlacerApp::HeadPlacerApp() : poll_(*this) {
    onEnd_ = [this] { QCoreApplication::exit(exitStatus_); };
}

HeadPlacerApp::~HeadPlacerApp() = default;

HeadWindow& HeadPlacerApp::headWindow() {
    if (!head_) head_ = std::make_unique<HeadWindow>(*this);
    return *head_;
}

int HeadPlacerApp::mainHelpContext() const {
    return StartedBySibling ? 10256 : 10011;
}

bool HeadPlacerApp::start(const QString& rawCommandLine) {
    StartedBySibling = false;
    const QStringList args = SplitCommandLine(rawCommandLine, 10);
    QString symbol;
    if (args.size() > 1) symbol = args[1].toLower();
    if (args.size() > 2) StartedBySibling = args[2].toUpper() == QLatin1String("QUELRO");

    IntersectionNumber = QStringLiteral("???");
    HeadKindLetter = QStringLiteral("?");
    HeadWindow& w = headWindow();

    if (symbol.isEmpty()) {
        ui::InputRequest rq;
        rq.prompt = QStringLiteral("Podaj nazwę sygnalizatora:");
        rq.title = MessageTitle();
        rq.helpContext = mainHelpContext();
        symbol = ui::Prompts().input(rq).value_or(QString());
    }
    if (symbol.trimmed().isEmpty()) {
        ui::MsgBox(QStringLiteral("Moduł wymaga przekazania symbolu sygnalizatora jako parametru, np. S-1"),
                   ui::Information, QStringLiteral("Brak parametru sygnalizatora"));
        return false;
    }
    symbol = CanonicalHeadSymbol(symbol.trimmed());

    common::IniFilePath = common::IniFileLocation(ProgramFolder());
    if (const QString problem = common::UnusableIniMessage(common::IniFilePath); !problem.isEmpty())
        ui::MsgBox(problem, ui::Exclamation, MessageTitle());
    automation::CadApplication = automation::ConnectToAutoCad(true);
    if (automation::CadApplication.isNull()) return false;
    try {
        automation::CadApplication.setVisible(true);
    } catch (const cad::Error&) {
        // A CAD that cannot show itself still serves the drawing; the user brings its window up.
        // (A host gone already fails the reading of the drawing below, which says so.)
    }

    CityDataFolder = CityDataFolderFromSettings();
    w.setWindowTitle(common::Tlumacz(QStringLiteral("Rodzaj i oznaczenie sygnalizatora")) +
                     QStringLiteral(" w.") + common::GetVersionText());
    w.show();
    QCoreApplication::processEvents();

    w.fillLists();
    LoadPlacementSettings();
    w.setPushButtonCaption();
    w.selectOrientation(LastOrientation.toInt() - 1);
    w.LoadHeadTypes();
    w.LoadLightSources();
    LoadIntersectionList(w.intersectionCombo());
    if (!PrepareHead(symbol)) return false;
    w.BuildHeadDescriptions();
    return true;
}

bool HeadPlacerApp::PrepareHead(const QString& symbol) {
    const QString canonical = CanonicalHeadSymbol(symbol);
    if (!LocateHeadSymbolFile(canonical)) {
        endProgram();
        return false;
    }
    headWindow().applySymbol(HeadSymbolFile);
    if (!ReadHeadDrawingValues()) {
        endProgram();
        return false;
    }
    return true;
}

void HeadPlacerApp::insertAcceptedHead() {
    CommandContext c = commandContext();
    InsertAcceptedHead(c);
}

CommandContext HeadPlacerApp::commandContext() {
    CommandContext c;
    c.ui = this;
    c.poll = &poll_;
    c.app = this;
    if (head_) head_->fillChoice(c.head);
    if (detector_) detector_->fillChoice(c.detector);
    return c;
}

bool HeadPlacerApp::RunCommand(const QString& id) {
    CommandContext c = commandContext();
    try {
        // Only the rows the windows' buttons name reach here: each is known and has its window.
        RunTableCommand(id, c);
    } catch (const cad::Error& e) {
        // The command asked the drawing: a CAD that went away is told, and the window stays.
        ui::MsgBox(e.message(), ui::Exclamation, MessageTitle());
        const CommandRow* row = FindCommand(id);
        if (row && QLatin1String(row->window) == QLatin1String("frmDetektory"))
            showDetectorWindow();
        else
            showMainWindow();
        return false;
    }
    return c.Succeeded;
}

void HeadPlacerApp::showMainWindow() {
    if (ended_) return;
    headWindow().show();
}

bool HeadPlacerApp::editHeadAttributes(const QString& headHandle) {
    return EditHeadAttributes(headHandle, &headWindow());
}

void HeadPlacerApp::openDetectorWindow() {
    if (!detector_) detector_ = std::make_unique<DetectorWindow>(*this);
    DetectorWindow& d = *detector_;
    d.tabs()->setCurrentIndex(3);
    d.tabRodzDet_Click(3);
    const bool pedestrianButtons = HeadSymbol == QLatin1String("S-5plk") ||
                                   HeadSymbol == QLatin1String("S-5") || HeadSymbol == QLatin1String("S-5pr");
    d.enablePushButtonLists(pedestrianButtons);
    d.BuildDetectorDescription(DetectorCode);
    headWindow().hide();
    d.description()->setText(DetectorDescription);
    d.show();
}

void HeadPlacerApp::showDetectorWindow() {
    if (detector_ && !ended_) detector_->show();
}

QString HeadPlacerApp::pushButtonType() {
    return detector_ ? detector_->pushButtonType()->currentText() : QString();
}

QString HeadPlacerApp::pushButtonMaker() {
    return detector_ ? detector_->pushButtonMaker()->currentText() : QString();
}

QString HeadPlacerApp::detectorDescriptionText() {
    return detector_ ? detector_->description()->text() : DetectorDescription;
}

void HeadPlacerApp::endProgramFailed() {
    exitStatus_ = 1;
    endProgram();
}

void HeadPlacerApp::endProgram() {
    if (ended_) return;
    ended_ = true;
    poll_.timer().stop();
    if (detector_) detector_->hide();
    if (head_) head_->hide();
    if (onEnd_) onEnd_();
}

}  // namespace headplacer
