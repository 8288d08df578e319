// The suite's help: one HTML page per help context in the help folder (Tesmar/Zasoby/Pomoc), opened in
// the desktop's browser. Windows carry their context; F1 opens the page of the active window's context.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace common {

// The folder holding the pages "<context>.html" and "index.html".
void SetHelpFolder(const QString& folder);
QString HelpFolder();
// The page of a context; the index page when the context has none.
QString HelpPagePath(int context);
// Gives the window its help context and makes F1 inside it open that page, or tell the user where
// the page is when it did not open (as ShowHelpOrTell).
void SetHelpContext(QWidget* window, int context);
// The window's context (0 when it has none).
int HelpContextOf(const QWidget* window);
// Opens the page of the context; false when no page could be found or opened.
bool ShowHelp(int context);
// Opens the page of the active window's context, else of `fallback`.
bool ShowHelpForActiveWindow(int fallback);
// What to tell the user when the page of the context (0: `fallback`) did not open: where the page
// is, or that it is missing.
QString HelpNotOpenedText(int context, int fallback);
// Opens the page of the context; when it did not open, tells the user so in a message titled with
// the window's title. False when the page did not open.
bool ShowHelpOrTell(const QWidget* window, int context);
// Opens a help page given by its path (a program with pages of its own); when it is missing or did
// not open, tells the user so, with the path, in a message titled with the window's title. False then.
bool OpenHelpFileOrTell(const QWidget* window, const QString& page);
// Replaces how a page is opened (tests); an empty function puts the desktop's browser back.
void SetHelpOpener(std::function<bool(const QUrl&)> opener);

}  // namespace common
