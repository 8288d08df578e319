// The menus "Rysuj" and "Zmiana" and a toolbar of the same commands, so that they are found
// without knowing their names; every entry shows the name typed at the prompt line ("_line").
#pragma once

#include <QString>
#include <functional>

class QAction;
class QMainWindow;

namespace cadhost {

// Adds the menus before `before` in the window's menu bar, and the toolbar; a chosen entry runs
// its typed name through `run`.
void AddCommandMenus(QMainWindow* window, QAction* before, const std::function<void(const QString&)>& run);

}  // namespace cadhost
