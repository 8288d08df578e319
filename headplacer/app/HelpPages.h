// The help of headplacer: one HTML page of the suite's help folder (Tesmar/Zasoby/Pomoc) for each of its
// windows, so that F1 and the "Pomoc" buttons never open a page of another program.
#pragma once

#include <QString>

class QWidget;

namespace headplacer {

enum class HelpWindow { Head, Settings, Inventory, Detector, DetectorSettings };

// The page's file name; the Quelro start (StartedBySibling) has its own pages for the head window and
// the settings.
QString HelpPageOf(HelpWindow window);
// Opens the page in the desktop's browser and remembers it; a page that is missing or that no
// browser opened is told to the user with its path (titled with `from`'s title).
bool ShowHelpPage(HelpWindow window, const QWidget* from = nullptr);
// The path of the page last asked for; empty before any.
QString LastHelpPage();

}  // namespace headplacer
