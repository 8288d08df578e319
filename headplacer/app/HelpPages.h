// The help of headplacer: one HTML page of the suite's help folder (Tesmar/Zasoby/Pomoc) for each of its
// windows, so that F1 and the "Pomoc" buttons never open a page of another program.
#pragma once

#include <QString>

namespace headplacer {

enum class HelpWindow { Head, Settings, Inventory, Detector, DetectorSettings };

// The page's file name; the Quelro start (StartedBySibling) has its own pages for the head window and
// the settings.
QString HelpPageOf(HelpWindow window);
// Opens the page in the desktop's browser (not on the offscreen platform) and remembers it.
void ShowHelpPage(HelpWindow window);
// The path of the page last asked for; empty before any.
QString LastHelpPage();

}  // namespace headplacer
