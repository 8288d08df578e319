// The toolbar pictures of frmMain; the toolbars' drop-down menus and the window services of the stream
// commands are the window's own (StreamMenus.cpp).
#pragma once

#include <QIcon>
#include <QString>

namespace conflictor {

// The picture of a toolbar button by its image key ("ZaznaczStrumien", "FormOnTop", ...).
QIcon ToolButtonIcon(const QString& key);

}  // namespace conflictor
