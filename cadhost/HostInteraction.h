// The host's interaction provider: routes what the user does in the drawing window to the pick a
// program is waiting for, or to the running command. Program picks are asynchronous: the socket
// server starts one, the host keeps serving its event loop, and when the user has answered, the
// original call runs through the object model with that answer ready, so it takes the same path
// through the dispatch tables as a scripted pick does in tests.
#pragma once

#include "platform/cad/model/ObjectModel.h"

#include <QObject>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace cadhost {

class HostInteraction : public QObject, public cad::InteractionProvider {
    Q_OBJECT
public:
    explicit HostInteraction(cad::ObjectModel& model, QObject* parent = nullptr);
    ~HostInteraction() override;

    // ---- the model asks ----
    cad::Input pick(const cad::InputRequest& request) override;
    cad::Input commandInput(const cad::InputRequest& request) override;
    void raiseWindow() override { emit raiseRequested(); }

    // ---- programs' picks ----
    // Queues a pick; the first in the queue is the one the window shows. `done` receives the
    // user's answer. `owner` identifies the asking connection.
    void beginPick(const cad::InputRequest& request, std::function<void(const cad::Input&)> done,
                   const void* owner);
    // The asking program went away: its picks end without an answer.
    void dropPicksOf(const void* owner);
    bool pickActive() const { return !picks_.empty(); }
    // Runs `work` with `answer` as what the model's next pick() receives.
    void answerWith(const cad::Input& answer, const std::function<void()>& work);

    // ---- the user ----
    // An input from the window: to the shown pick, else the running command, else (typed text
    // while idle) the start of a command.
    void userInput(const cad::Input& input);
    // What is asked now (nullopt: nothing, the host is idle).
    std::optional<cad::InputRequest> currentRequest() const;
    // Whether a command sent as text is still running.
    bool commandRunning() const;
    // Who tells whether a command of the window itself runs (zoom, erase, the editing commands):
    // from its first prompt to its end it is one undo step, however long the user takes.
    void setWindowCommand(std::function<bool()> running) { windowCommand_ = std::move(running); }
    bool windowCommandRunning() const { return windowCommand_ && windowCommand_(); }

signals:
    void requestChanged();
    void raiseRequested();
    void drawingChanged();
    // A short note for the user: an unknown command, a refused answer.
    void message(const QString& text);

private:
    void polishCancelMark();
    // A running command advanced (an input taken, or the model's timer): its note, its end and
    // what it drew are told.
    void followCommand();
    struct PendingPick {
        cad::InputRequest request;
        std::function<void(const cad::Input&)> done;
        const void* owner = nullptr;
    };

    cad::ObjectModel& model_;
    std::deque<PendingPick> picks_;
    std::deque<cad::Input> commandQueue_;
    std::optional<cad::InputRequest> commandRequest_;
    std::optional<cad::Input> answer_;
    std::function<bool()> windowCommand_;
    bool userCommand_ = false;  // the running command was typed in the window: its end ends an undo step
};

}  // namespace cadhost
