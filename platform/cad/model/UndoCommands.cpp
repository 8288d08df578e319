// "_u", "_undo" and "_redo": stepping back and forth through the drawing's undo history.
#include "platform/cad/model/Commands.h"
#include "platform/cad/model/ObjectModel.h"

#include <cmath>

namespace cad {

QString UndoSteps(ObjectModel& m, DocumentState* doc, int count) {
    int done = 0;
    while (done < count && m.undo(doc)) ++done;
    if (done == 0) return QStringLiteral("Nie ma nic do cofnięcia.");
    if (done == 1) return QStringLiteral("Cofnięto ostatnią operację.");
    return QStringLiteral("Cofnięto operacji: %1.").arg(done);
}

QString RedoStep(ObjectModel& m, DocumentState* doc) {
    return m.redo(doc) ? QStringLiteral("Przywrócono cofniętą operację.")
                       : QStringLiteral("Nie ma nic do przywrócenia.");
}

namespace {

// "_undo": how many steps, Enter for one.
class UndoCommand : public CommandProcessor::Command {
public:
    UndoCommand(ObjectModel& m, DocumentState* doc, QString& message) : m_(m), doc_(doc), message_(message) {}
    InputRequest request() const override {
        InputRequest r;
        r.prompt = QStringLiteral("Podaj liczbę operacji do cofnięcia <1>:");
        r.wanted = InputRequest::AnyText;
        return r;
    }
    Step accept(const Input& in) override {
        int count = 1;
        if (in.kind == Input::TextInput) {
            const auto n = NumberOf(in.text);
            if (!n || *n < 1 || *n != std::floor(*n) || *n > 1e6) return Reject;
            count = int(*n);
        } else if (in.kind != Input::Enter) {
            return Reject;
        }
        message_ = UndoSteps(m_, doc_, count);
        return Done;
    }

private:
    ObjectModel& m_;
    DocumentState* doc_;
    QString& message_;
};

}  // namespace

std::unique_ptr<CommandProcessor::Command> MakeUndoCommand(ObjectModel& m, DocumentState* doc,
                                                           QString& message) {
    return std::make_unique<UndoCommand>(m, doc, message);
}

}  // namespace cad
