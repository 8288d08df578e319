// The run of headplacer as one chain of windows: start-up, the head window, the insertion and its
// poll, the inventory dialog and the detector window. The object lives for the whole run and owns
// the windows and the poll.
#pragma once

#include "headplacer/logic/InsertionPoll.h"

#include <QObject>
#include <functional>
#include <memory>

namespace headplacer {

class HeadWindow;
class DetectorWindow;

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

    // Preparing the head: false when it cannot be placed. At start-up the program then ends; at
    // accept a missing drawing leaves the window up (the message has been shown), while a declined
    // section-number question or a closed drawing still ends the run.
    bool PrepareHead(const QString& symbol, bool atStartUp = true);
    // The accept button's insertion, after the window is hidden.
    void insertAcceptedHead();
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
