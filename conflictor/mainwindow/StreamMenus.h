// The View and Stream menus and the two toolbars of frmMain: the rows the command table takes from
// the stream commands, and the button menus of the toolbars' drop-down buttons.
#pragma once

#include "conflictor/mainwindow/CommandTable.h"

#include <QIcon>
#include <QString>

namespace conflictor {

// The rows of "&Widok" and of "&Strumień" up to the detector list, in display order.
const std::vector<CommandRow>& StreamViewCommandRows();
const std::vector<CommandRow>& StreamEditCommandRows();
// The toolbars and their buttons.
const std::vector<ToolbarRow>& StreamToolbarRows();
const std::vector<ToolButtonRow>& StreamToolButtonRows();

// One entry of a drop-down button's menu: it starts the menu command named by `command`.
struct ToolButtonMenuRow {
    const char* button;   // key of the drop-down button
    const char* key;      // the entry's key (its object name)
    const char* command;  // object name of the menu command
    const char* text;     // Polish text
};
const std::vector<ToolButtonMenuRow>& ToolButtonMenuTable();

// The picture of a toolbar button by its image key ("ZaznaczStrumien", "FormOnTop", ...).
QIcon ToolButtonIcon(const QString& key);

}  // namespace conflictor
