// Runs the drawing commands sent as text ("_arc", "_pline", "_circle", "_-insert", "_viewres").
// SendCommand only queues the text; the command then advances one input at a time, taking the
// inputs written after it in the text first and then those of the interaction provider. A step
// happens in pump(): the model's timer calls it from the event loop, tests and the host's drawing
// window may call it directly when an input is ready. While a command runs the CAD is not quiescent.
#pragma once

#include "platform/cad/model/Interaction.h"

#include <QStringList>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace cad {

class ObjectModel;
struct DocumentState;

class CommandProcessor {
public:
    // One running command: asks for inputs until it is done.
    class Command {
    public:
        enum Step { Continue, Done, Reject };
        virtual ~Command() = default;
        virtual InputRequest request() const = 0;
        virtual Step accept(const Input& in) = 0;
        // Escape: keep what must stay (a polyline keeps its segments).
        virtual void cancel() {}
        // What is drawn so far and not yet in the drawing (x, y, bulge per vertex), for the window.
        virtual std::vector<std::array<double, 3>> preview() const { return {}; }
    };

    explicit CommandProcessor(ObjectModel& model);
    ~CommandProcessor();

    // Queues the command text (commands and their inputs separated by CR or LF).
    void send(DocumentState* doc, const QString& text);
    bool isQuiescent() const { return !active_ && tokens_.isEmpty(); }
    // Advances until the running command waits for an input or nothing is left; true on progress.
    bool pump();
    // Pumps until quiescent or until no input arrives; true when quiescent.
    bool runToEnd();
    void documentClosed(DocumentState* doc);
    // The prompt the running command shows, empty when none runs.
    QString currentPrompt() const;
    // What the running command asks for (prompt, base point for a rubber band); none when idle.
    std::optional<InputRequest> currentRequest() const;
    // The running command's unfinished geometry (see Command::preview).
    std::vector<std::array<double, 3>> currentPreview() const;
    // The last short message for the user (an unknown command, a refused answer); cleared by taking.
    QString takeMessage() { return std::exchange(message_, QString()); }

private:
    bool step();
    std::unique_ptr<Command> create(const QString& name);
    Input tokenInput(const QString& token) const;

    ObjectModel& model_;
    DocumentState* doc_ = nullptr;
    std::unique_ptr<Command> active_;
    QStringList tokens_;
    QString message_;
};

}  // namespace cad
