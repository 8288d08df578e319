// Window helpers every window calls: the always-on-top switch on activation and the caption
// translation hook on load.
#pragma once

#include <QString>

class QWidget;

namespace common {

// Keeps the window above all others (true) or not, without moving or resizing it, and shows it.
// The window flag is changed only when it changes, because changing it re-creates the window.
void SetFormTopmost(QWidget* window, bool onTop);
// The caption translation hook: no effect on the window.
void TranslateFormCaptions(QWidget* window, int flag);

// A window's position kept in IniFilePath under "<windowKey>_Lewy" and "<windowKey>_Gora", in twips
// (15 a pixel). Loading reads them with ParseInteger and the default (main windows "1000", some dialogs
// "100"; a stored value beyond 32767 opens the window at 0) and moves the window; saving writes them
// unless the window is minimised. An empty section means the program's section, ProgramTitle().
void LoadFormPosition(QWidget* window, const QString& windowKey, const QString& section = QString(),
                      const QString& defaultTwips = QStringLiteral("1000"));
void SaveFormPosition(QWidget* window, const QString& windowKey, const QString& section = QString());

}  // namespace common
