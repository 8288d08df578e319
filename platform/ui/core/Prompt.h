// The prompt service: message boxes, input boxes and file and folder dialogs.
// Every message of the suite goes through it. Programs install the Qt implementation
// (platform/ui/WidgetPrompts.h); tests install a ScriptedPrompts that answers from a queue.
// Flags and results are the message-box flags' numeric values, which the whole suite stores and compares.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace ui {

// Message-box flags: buttons (low bits), icon, default button, added together.
enum MsgFlag : int {
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,  // stop icon
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton1 = 0,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};

// Message-box results.
enum MsgResult : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

inline int ButtonsOf(int flags) {
    return flags & 7;
}
inline int IconOf(int flags) {
    return flags & 0x70;
}
inline int DefaultButtonOf(int flags) {
    return (flags & 0x300) >> 8;
}  // 0-based

struct InputRequest {
    QString prompt;
    QString title;  // empty: the application's title
    QString defaultText;
    int xTwips = -1;  // -1: centred
    int yTwips = -1;
    QString helpFile;
    int helpContext = 0;
};

struct FileRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QString title;
    QString filter;       // "Opis (*.ext)|*.ext|...": description and pattern pairs
    int filterIndex = 1;  // 1-based
    QString initialFolder;
    QString fileName;              // preset name
    bool mustExist = true;         // Open
    bool confirmOverwrite = true;  // Save
};

class PromptService {
public:
    virtual ~PromptService() = default;
    // Returns one of MsgResult.
    virtual int message(const QString& text, int flags, const QString& title) = 0;
    // nullopt when cancelled; an empty text when the user confirmed an empty box.
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    virtual std::optional<QString> file(const FileRequest& request) = 0;
    virtual std::optional<QString> folder(const QString& title, const QString& initialFolder) = 0;
};

// The installed service; a silent headless one (default answers, text on stderr) until one is set.
PromptService& Prompts();
// Installs a service (not owned); nullptr puts the headless one back. Returns the previous one.
PromptService* SetPromptService(PromptService* service);

// The title used when a caller passes none.
QString DefaultTitle();

// Shorthands for the calls every program makes.
int MsgBox(const QString& text, int flags = OkOnly, const QString& title = QString());
// The input box: the typed text, or "" when cancelled.
QString InputBox(const QString& prompt, const QString& title = QString(),
                 const QString& defaultText = QString());

// Answers prompts from queues and records every prompt asked; for tests.
// An unexpected prompt (empty queue) gets the default answer: the default button, a cancelled
// input or dialog; `unexpected()` counts them so that a test can insist on none.
class ScriptedPrompts : public PromptService {
public:
    struct Asked {
        enum Kind { Message, Input, File, Folder } kind;
        QString text;  // message text, input prompt, dialog title
        QString title;
        int flags = 0;
    };

    ScriptedPrompts();            // installs itself
    ~ScriptedPrompts() override;  // puts back the previous service

    void answerMessage(int result) { messages_.push_back(result); }
    void answerInput(const std::optional<QString>& text) { inputs_.push_back(Answer::of(text)); }
    void answerFile(const std::optional<QString>& path) { files_.push_back(Answer::of(path)); }
    void answerFolder(const std::optional<QString>& path) { folders_.push_back(Answer::of(path)); }

    const std::vector<Asked>& asked() const { return asked_; }
    int unexpected() const { return unexpected_; }
    QStringList messageTexts() const;
    void clear();

    int message(const QString& text, int flags, const QString& title) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<QString> file(const FileRequest& request) override;
    std::optional<QString> folder(const QString& title, const QString& initialFolder) override;

private:
    // A queued answer; `given` false stands for a cancel.
    struct Answer {
        bool given = false;
        QString text;
        static Answer of(const std::optional<QString>& a) { return a ? Answer{true, *a} : Answer{}; }
    };
    std::optional<QString> takeAnswer(std::deque<Answer>& queue);

    std::deque<int> messages_;
    std::deque<Answer> inputs_;
    std::deque<Answer> files_;
    std::deque<Answer> folders_;
    std::vector<Asked> asked_;
    int unexpected_ = 0;
    PromptService* previous_ = nullptr;
};

// The default answer of a message box with these flags: its default button.
int DefaultMessageResult(int flags);

}  // namespace ui
