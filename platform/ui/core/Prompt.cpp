// The installed prompt service, the headless fallback and the scripted one for tests.
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <cstdio>

namespace ui {

namespace {

// Used before a program installs its widget service (tools, headless runs): answers with the
// default button or a cancel, and writes the text where a person running it can see it.
class HeadlessPrompts : public PromptService {
public:
    int message(const QString& text, int flags, const QString& title) override {
        std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(title.isEmpty() ? DefaultTitle() : title),
                     qUtf8Printable(text));
        return DefaultMessageResult(flags);
    }
    std::optional<QString> input(const InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
};

HeadlessPrompts headless;
PromptService* installed = nullptr;

}  // namespace

PromptService& Prompts() {
    return installed ? *installed : headless;
}

PromptService* SetPromptService(PromptService* service) {
    PromptService* previous = installed;
    installed = service;
    return previous;
}

QString DefaultTitle() {
    QString name = QCoreApplication::applicationName();
    return name;
}

int MsgBox(const QString& text, int flags, const QString& title) {
    return Prompts().message(text, flags, title.isEmpty() ? DefaultTitle() : title);
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    InputRequest request;
    request.prompt = prompt;
    request.title = title.isEmpty() ? DefaultTitle() : title;
    request.defaultText = defaultText;
    return Prompts().input(request).value_or(QString());
}

int DefaultMessageResult(int flags) {
    static const int buttons[6][3] = {
        {Ok, Ok, Ok},      {Ok, Cancel, Cancel}, {Abort, Retry, Ignore},
        {Yes, No, Cancel}, {Yes, No, No},        {Retry, Cancel, Cancel},
    };
    int set = ButtonsOf(flags);
    if (set > 5) set = 0;
    int index = DefaultButtonOf(flags);
    if (index > 2) index = 0;
    return buttons[set][index];
}

ScriptedPrompts::ScriptedPrompts() {
    previous_ = SetPromptService(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    SetPromptService(previous_);
}

QStringList ScriptedPrompts::messageTexts() const {
    QStringList texts;
    for (const Asked& a : asked_)
        if (a.kind == Asked::Message) texts << a.text;
    return texts;
}

void ScriptedPrompts::clear() {
    messages_.clear();
    inputs_.clear();
    files_.clear();
    folders_.clear();
    asked_.clear();
    unexpected_ = 0;
}

std::optional<QString> ScriptedPrompts::takeAnswer(std::deque<Answer>& queue) {
    if (queue.empty()) {
        ++unexpected_;
        return std::nullopt;
    }
    Answer answer = queue.front();
    queue.pop_front();
    if (!answer.given) return std::nullopt;
    return answer.text;
}

int ScriptedPrompts::message(const QString& text, int flags, const QString& title) {
    asked_.push_back({Asked::Message, text, title, flags});
    if (messages_.empty()) {
        ++unexpected_;
        return DefaultMessageResult(flags);
    }
    int result = messages_.front();
    messages_.pop_front();
    return result;
}

std::optional<QString> ScriptedPrompts::input(const InputRequest& request) {
    asked_.push_back({Asked::Input, request.prompt, request.title, 0});
    return takeAnswer(inputs_);
}

std::optional<QString> ScriptedPrompts::file(const FileRequest& request) {
    asked_.push_back({Asked::File, request.title, request.filter, request.kind});
    return takeAnswer(files_);
}

std::optional<QString> ScriptedPrompts::folder(const QString& title, const QString& initialFolder) {
    asked_.push_back({Asked::Folder, title, initialFolder, 0});
    return takeAnswer(folders_);
}

}  // namespace ui
