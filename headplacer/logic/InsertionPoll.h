// The wait for the CAD after an interactive insert of a head or a push-button: a 100 ms timer asks
// whether the CAD is idle, recognises a cancel, takes the new reference of the expected block and
// completes it. The object lives for the whole run, beyond the head window, so push-buttons can be
// placed after the head window is gone and after a cancelled push-button.
#pragma once

#include "platform/cad/Entity.h"
#include "platform/cad/Variant.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace headplacer {

// What the completion asks of the windows.
class PlacementUi {
public:
    virtual ~PlacementUi() = default;
    virtual void showMainWindow() = 0;
    // The inventory dialog; true when it was accepted and the attributes written.
    virtual bool editHeadAttributes(const QString& headHandle) = 0;
    virtual void openDetectorWindow() = 0;
    virtual void showDetectorWindow() = 0;
    // The push-button's type, maker and description from the detector window.
    virtual QString pushButtonType() = 0;
    virtual QString pushButtonMaker() = 0;
    virtual QString detectorDescriptionText() = 0;
    // The closing path after a head: the program ends.
    virtual void endProgram() = 0;
    // The closing path after a failure that lost the placement's work (told already): the program
    // ends as one that failed.
    virtual void endProgramFailed() { endProgram(); }
};

class InsertionPoll : public QObject {
    Q_OBJECT
public:
    enum Step {
        Busy,            // the CAD is still in the command
        NothingPending,  // mode 0: the timer stops
        Cancelled,       // cancelled, or ended without the expected reference
        HeadCompleted,
        PushButtonCompleted,
        Failed,  // an automation failure while completing
    };

    explicit InsertionPoll(PlacementUi& ui, QObject* parent = nullptr);

    // Starts polling for a new reference of `blockName` (mode 1 head, 2 push-button); `savedLayer`
    // and `savedTextStyle` are put back when the placement ends.
    void start(const QString& blockName, const cad::Variant& savedLayer, const cad::Variant& savedTextStyle);
    bool active() const { return timer_.isActive(); }
    QTimer& timer() { return timer_; }
    // One tick of the timer (tests call it directly).
    Step tick();

signals:
    void stepped(int step);

private:
    Step completeHead(const cad::Entity& reference, const cad::Point& insertion);
    Step completePushButton(const cad::Entity& reference);
    // Ends the placement; a failure (its reason given) is told first, with what it left undone.
    Step closingPath(Step why, const QString& failure = QString(), bool hostLost = false);
    // The new reference of the block and its kind, name, rotation, handle and insertion point.
    cad::Entity findNewReference(cad::VariantList& facts) const;
    void restoreVariables();
    void placeScreen(const cad::Point& at, const cad::Point& loadAt);

    PlacementUi& ui_;
    QTimer timer_;  // tRunNext
    QString blockName_;
    cad::Variant savedLayer_, savedTextStyle_;
    bool restorePending_ = false;
    int mode_ = 0;  // what the running poll waits for
};

}  // namespace headplacer
