// Routing of user input between programs' picks and running commands.
#include "cadhost/HostInteraction.h"

#include "platform/cad/model/CommandProcessor.h"

#include <array>
#include <utility>

namespace cadhost {

using cad::Input;
using cad::InputRequest;

namespace {

// Whether typed text names one of the pick's keywords (or its leading part), case ignored.
bool namesKeyword(const QString& keywords, const QString& typed) {
    QString t = typed.trimmed();
    while (t.startsWith(QLatin1Char('_'))) t.remove(0, 1);
    if (t.isEmpty()) return false;
    for (QString k : keywords.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        while (k.startsWith(QLatin1Char('_'))) k.remove(0, 1);
        if (k.startsWith(t, Qt::CaseInsensitive)) return true;
    }
    return false;
}

// An answer the pick cannot take: the prompt stays, as the CAD's own prompt does, instead of
// failing the program's call. Enter under "no empty input", text that is no keyword where a
// point or a keyword is asked.
bool refused(const InputRequest& rq, const Input& in) {
    if (in.kind == Input::Enter) return rq.initBits & 1;
    if (in.kind != Input::TextInput) return false;
    if (rq.wanted & InputRequest::AnyPoint) return !namesKeyword(rq.keywords, in.text);
    if ((rq.wanted & InputRequest::AnyText) && !rq.keywords.isEmpty())
        return !namesKeyword(rq.keywords, in.text);
    return false;
}

}  // namespace

void HostInteraction::polishCancelMark() {
    // The prompt line is Polish: a cancelled pick or command leaves the Polish mark, which the
    // programs recognise as they recognise the English one.
    if (model_.lastPrompt == QLatin1String("*Cancel*")) model_.lastPrompt = QStringLiteral("*Anulowano*");
}

HostInteraction::HostInteraction(cad::ObjectModel& model, QObject* parent) : QObject(parent), model_(model) {
    // A command a program sent advances on the model's timer, with nobody's input: it is followed
    // from there.
    model_.setCommandsAdvanced([this] { followCommand(); });
}

HostInteraction::~HostInteraction() {
    model_.setCommandsAdvanced({});
}

void HostInteraction::followCommand() {
    polishCancelMark();
    if (const QString note = model_.commands().takeMessage(); !note.isEmpty()) emit message(note);
    if (!commandRunning()) {
        commandQueue_.clear();
        commandRequest_.reset();
        // The user's own command is one undo step; a program's command stays in the program's.
        if (std::exchange(userCommand_, false)) model_.closeUndoSteps();
    }
    emit requestChanged();
    emit drawingChanged();
}

Input HostInteraction::pick(const InputRequest&) {
    // Only a prepared answer exists here: a second ask within one call means the answer did not
    // fit, and the call ends as a failed pick rather than waiting inside the model.
    if (!answer_) return Input::none();
    Input in = *answer_;
    answer_.reset();
    return in;
}

Input HostInteraction::commandInput(const InputRequest& request) {
    const bool changed = !commandRequest_ || commandRequest_->prompt != request.prompt ||
                         commandRequest_->basePoint.has_value() != request.basePoint.has_value();
    commandRequest_ = request;
    if (changed) emit requestChanged();
    if (commandQueue_.empty()) return Input::none();
    Input in = commandQueue_.front();
    commandQueue_.pop_front();
    return in;
}

void HostInteraction::beginPick(const InputRequest& request, std::function<void(const Input&)> done,
                                const void* owner) {
    picks_.push_back(PendingPick{request, std::move(done), owner});
    if (picks_.size() == 1) model_.lastPrompt = request.prompt;
    emit raiseRequested();
    emit requestChanged();
}

void HostInteraction::dropPicksOf(const void* owner) {
    const size_t before = picks_.size();
    std::erase_if(picks_, [owner](const PendingPick& p) { return p.owner == owner; });
    if (picks_.size() != before) emit requestChanged();
}

void HostInteraction::answerWith(const Input& answer, const std::function<void()>& work) {
    answer_ = answer;
    work();
    answer_.reset();
}

bool HostInteraction::commandRunning() const {
    return !model_.commands().isQuiescent();
}

std::optional<InputRequest> HostInteraction::currentRequest() const {
    if (!picks_.empty()) return picks_.front().request;
    if (commandRunning() && commandRequest_) return commandRequest_;
    return std::nullopt;
}

void HostInteraction::userInput(const Input& input) {
    if (!picks_.empty()) {
        if (refused(picks_.front().request, input)) {
            emit message(
                input.kind == Input::TextInput
                    ? QStringLiteral("Nieprawidłowa odpowiedź \u201e%1\u201d.").arg(input.text.trimmed())
                    : QStringLiteral("Wymagana jest odpowiedź."));
            emit requestChanged();
            return;
        }
        PendingPick p = std::move(picks_.front());
        picks_.pop_front();
        if (!picks_.empty()) model_.lastPrompt = picks_.front().request.prompt;
        p.done(input);
        polishCancelMark();
        emit requestChanged();
        emit drawingChanged();
        return;
    }
    if (commandRunning()) {
        commandQueue_.push_back(input);
        model_.pumpCommands();
        followCommand();
        return;
    }
    // Idle: a typed word starts a command in the active drawing.
    if (input.kind == Input::TextInput && model_.activeDocument()) {
        QString text = input.text.trimmed();
        // What the programs did before is a step of its own, and so is this command.
        model_.closeUndoSteps();
        userCommand_ = true;
        try {
            model_.invoke(model_.activeDocument()->id, QStringLiteral("SendCommand"), cad::CallKind::Method,
                          cad::Args(std::array<cad::Variant, 1>{cad::Variant(text + QLatin1Char('\r'))}));
        } catch (const cad::Error&) {
            return;
        }
        model_.pumpCommands();
        if (const QString note = model_.commands().takeMessage(); !note.isEmpty()) emit message(note);
        if (!commandRunning() && std::exchange(userCommand_, false)) model_.closeUndoSteps();
        emit requestChanged();
        emit drawingChanged();
    }
}

}  // namespace cadhost
