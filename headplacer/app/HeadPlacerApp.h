// The run of headplacer as one chain of windows: start-up, the head window, the insertion and its
// poll, the inventory dialog and the detector window. The object lives for the whole run and owns
// the windows and the poll.
#pragma once

#include "headplacer/app/CommandTable.h"
#include "headplacer/logic/InsertionPoll.h"

#include <QObject>
#include <functional>
#include <memory>

namespace headplacer {

class HeadWindow;
class DetectorWindow;

// The settings the placement reads, as the program starts: description fonts, the pedestrian-and-
// cyclist format, whether push-buttons follow, scaled texts and the last orientation.
void LoadPlacementSettings();

class HeadPlacerApp : public QObject, public PlacementUi {
    Q_OBJECT
public:
    HeadPlacerApp();
    ~HeadPlacerApp() override;

    // The load event of the head window, from the raw command text: false when the program ends
    // before its window stays up (the message has been shown).
    bool start(const QString& rawCommandLine);
    // What ending the program does (default: quit the event loop); tests watch it instead.
    void setEndHandler(std::function<void()> handler) { onEnd_ = std::move(handler); }
    bool ended() const { return ended_; }
    // 0, or 1 once the program ended on a failure that lost the placement's work.
    int exitStatus() const { return exitStatus_; }

    HeadWindow& headWindow();
    DetectorWindow* detectorWindow() const { return detector_.get(); }
    InsertionPoll& poll() { return poll_; }

    // Preparing the head of the command line: false when it cannot be placed (the program then ends).
    bool PrepareHead(const QString& symbol);
    // The accept button's insertion, after the window is hidden.
    void insertAcceptedHead();
    // Runs a command button's row of the command table with what the windows show; an automation
    // failure is told and the button's window stays up. False when the command stopped.
    bool RunCommand(const QString& id);
    // The context of a command run from the windows.
    CommandContext commandContext();
    // The help page of a help context opened in the browser.
    int mainHelpContext() const;

    // PlacementUi
    void showMainWindow() override;
    bool editHeadAttributes(const QString& headHandle) override;
    void openDetectorWindow() override;
    void showDetectorWindow() override;
    QString pushButtonType() override;
    QString pushButtonMaker() override;
    QString detectorDescriptionText() override;
    void endProgram() override;
    void endProgramFailed() override;

private:
    std::unique_ptr<HeadWindow> head_;
    std::unique_ptr<DetectorWindow> detector_;
    InsertionPoll poll_;
    std::function<void()> onEnd_;
    bool ended_ = false;
    int exitStatus_ = 0;
};

}  // namespace headplacer
