// Queueing and stepping of commands sent as text.
#include "platform/cad/model/CommandProcessor.h"

#include "platform/cad/model/Commands.h"
#include "platform/cad/model/ObjectModel.h"

#include <QRegularExpression>

namespace cad {

CommandProcessor::CommandProcessor(ObjectModel& model) : model_(model) {}
CommandProcessor::~CommandProcessor() = default;

void CommandProcessor::send(DocumentState* doc, const QString& text) {
    // A new command ends the old one as Escape would.
    if (active_) {
        try {
            active_->cancel();
        } catch (const Error&) {
            // What the old command kept could not be made; the new command runs regardless.
        }
        active_.reset();
    }
    doc_ = doc;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    tokens_ = t.split(QLatin1Char('\r'));
    // The final CR only terminates the last token.
    if (!tokens_.isEmpty() && tokens_.last().isEmpty()) tokens_.removeLast();
    // LASTPROMPT starts empty so that a cancel mark of an earlier command cannot end this one.
    model_.lastPrompt.clear();
    model_.startPumpTimer();
}

std::unique_ptr<CommandProcessor::Command> CommandProcessor::create(const QString& name) {
    const QString n = name.trimmed().toLower().remove(QLatin1Char('_')).remove(QLatin1Char('.'));
    if (n == QLatin1String("arc") || n == QLatin1String("a")) return MakeArcCommand(model_, doc_);
    if (n == QLatin1String("pline") || n == QLatin1String("pl")) return MakePlineCommand(model_, doc_);
    if (n == QLatin1String("circle") || n == QLatin1String("c")) return MakeCircleCommand(model_, doc_);
    if (n == QLatin1String("-insert") || n == QLatin1String("-i")) return MakeInsertCommand(model_, doc_);
    if (n == QLatin1String("viewres")) return MakeViewresCommand(model_, doc_);
    if (n == QLatin1String("undo")) return MakeUndoCommand(model_, doc_, message_);
    return nullptr;
}

Input CommandProcessor::tokenInput(const QString& token) const {
    if (token.isEmpty()) return Input::enter();
    // "x,y" or "x,y,z" is a point typed at the prompt.
    static const QRegularExpression pointRe(QStringLiteral(
        R"(^\s*([-+]?[0-9]*\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\s*,\s*([-+]?[0-9]*\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\s*(?:,\s*([-+]?[0-9]*\.?[0-9]+(?:[eE][-+]?[0-9]+)?))?\s*$)"));
    const auto m = pointRe.match(token);
    if (m.hasMatch())
        return Input::at(Point{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()});
    return Input::typed(token);
}

QString CommandProcessor::currentPrompt() const {
    return active_ ? active_->request().prompt : QString();
}

std::optional<InputRequest> CommandProcessor::currentRequest() const {
    if (!active_) return std::nullopt;
    return active_->request();
}

std::vector<std::array<double, 3>> CommandProcessor::currentPreview() const {
    return active_ ? active_->preview() : std::vector<std::array<double, 3>>{};
}

bool CommandProcessor::pump() {
    // Called from the event loop: a failure ends the command with its message on the prompt
    // line, as the CAD's own command line shows it, and never escapes.
    try {
        return step();
    } catch (const Error& e) {
        model_.lastPrompt = message_ = e.message();
    } catch (const std::exception& e) {
        model_.lastPrompt = message_ = ForeignFailureMessage(e);
    }
    active_.reset();
    tokens_.clear();
    return true;
}

bool CommandProcessor::step() {
    bool progress = false;
    for (;;) {
        if (!active_) {
            if (tokens_.isEmpty()) return progress;
            const QString name = tokens_.takeFirst();
            progress = true;
            if (name.trimmed().isEmpty()) continue;
            // "_u" and "_redo" act at once, without a prompt.
            const QString bare = name.trimmed().toLower().remove(QLatin1Char('_')).remove(QLatin1Char('.'));
            if (bare == QLatin1String("u") || bare == QLatin1String("redo")) {
                model_.lastPrompt = message_ =
                    bare == QLatin1String("u") ? UndoSteps(model_, doc_, 1) : RedoStep(model_, doc_);
                continue;
            }
            active_ = create(name);
            if (!active_) {
                model_.lastPrompt = message_ =
                    QStringLiteral("Nieznane polecenie \u201e%1\u201d.").arg(name.trimmed().toUpper());
                tokens_.clear();
                return progress;
            }
        }
        const InputRequest rq = active_->request();
        model_.lastPrompt = rq.prompt;
        Input in;
        if (!tokens_.isEmpty())
            in = tokenInput(tokens_.takeFirst());
        else if (model_.interaction())
            in = model_.interaction()->commandInput(rq);
        if (in.kind == Input::None) return progress;
        progress = true;
        if (in.kind == Input::Cancel) {
            active_->cancel();
            active_.reset();
            tokens_.clear();
            model_.lastPrompt = QStringLiteral("*Cancel*");
            return progress;
        }
        if (in.kind == Input::PointInput || in.kind == Input::EntityInput) doc_->lastPoint = in.point;
        const Command::Step result = active_->accept(in);
        if (result == Command::Done)
            active_.reset();
        else if (result == Command::Reject)
            message_ = in.kind == Input::TextInput
                           ? QStringLiteral("Nieprawidłowa odpowiedź \u201e%1\u201d.").arg(in.text.trimmed())
                           : QStringLiteral("Nieprawidłowa odpowiedź.");
    }
}

bool CommandProcessor::runToEnd() {
    while (!isQuiescent())
        if (!pump()) return false;
    return true;
}

void CommandProcessor::documentClosed(DocumentState* doc) {
    if (doc_ != doc) return;
    active_.reset();
    tokens_.clear();
    doc_ = nullptr;
}

}  // namespace cad
