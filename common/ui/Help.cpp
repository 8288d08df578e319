// Help pages by context, opened through QDesktopServices.
#include "common/ui/Help.h"

#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QVariant>
#include <QWidget>

namespace common {

namespace {

QString& folder() {
    static QString f;
    return f;
}

std::function<bool(const QUrl&)>& opener() {
    static std::function<bool(const QUrl&)> o;
    return o;
}

const char* const kContextProperty = "HelpContextID";

}  // namespace

void SetHelpFolder(const QString& f) {
    folder() = f;
}

QString HelpFolder() {
    return folder();
}

QString HelpPagePath(int context) {
    const QString page = folder() + QStringLiteral("/%1.html").arg(context);
    if (context > 0 && QFileInfo::exists(page)) return page;
    return folder() + QStringLiteral("/index.html");
}

void SetHelpContext(QWidget* window, int context) {
    if (!window) return;
    bool had = window->property(kContextProperty).isValid();
    window->setProperty(kContextProperty, context);
    if (had) return;
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [window] { ShowHelpOrTell(window, HelpContextOf(window)); });
}

int HelpContextOf(const QWidget* window) {
    return window ? window->property(kContextProperty).toInt() : 0;
}

bool ShowHelp(int context) {
    const QString page = HelpPagePath(context);
    if (!QFileInfo::exists(page)) return false;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath());
    if (opener()) return opener()(url);
    return QDesktopServices::openUrl(url);
}

bool ShowHelpForActiveWindow(int fallback) {
    int context = HelpContextOf(QApplication::activeWindow());
    return ShowHelp(context > 0 ? context : fallback);
}

QString HelpNotOpenedText(int context, int fallback) {
    const QString page = QDir::toNativeSeparators(QFileInfo(HelpPagePath(context > 0 ? context : fallback)).absoluteFilePath());
    if (!QFileInfo::exists(page))
        return QStringLiteral("Nie znaleziono strony pomocy:\n") + page;
    return QStringLiteral("Żadna przeglądarka nie otworzyła strony pomocy.\nStrona pomocy: ") + page;
}

bool ShowHelpOrTell(const QWidget* window, int context) {
    if (ShowHelp(context)) return true;
    // No browser (or no page): the user is told where the page is, so it can be opened by hand.
    ui::MsgBox(HelpNotOpenedText(context, context), ui::Exclamation, window ? window->windowTitle() : QString());
    return false;
}

bool OpenHelpFileOrTell(const QWidget* window, const QString& page) {
    const QFileInfo file(page);
    const QString shown = QDir::toNativeSeparators(file.absoluteFilePath());
    const QString title = window ? window->windowTitle() : QString();
    if (!file.exists()) {
        ui::MsgBox(QStringLiteral("Nie znaleziono strony pomocy:\n") + shown, ui::Exclamation, title);
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (opener() ? opener()(url) : QDesktopServices::openUrl(url)) return true;
    ui::MsgBox(QStringLiteral("Żadna przeglądarka nie otworzyła strony pomocy.\nStrona pomocy: ") + shown,
               ui::Exclamation, title);
    return false;
}

void SetHelpOpener(std::function<bool(const QUrl&)> o) {
    opener() = std::move(o);
}

}  // namespace common
