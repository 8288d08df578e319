// The keywords of "Wybierz obiekty:" besides clicks and windows: "Wszystko" (every object that can
// be selected), "Poprzedni" (what the last command took) and "Okno" (the next two corners make a
// window whichever way they are picked).
#pragma once

#include <QString>
#include <optional>

namespace cadhost {

class DrawingView;

// Answers a keyword typed at "Wybierz obiekty:" and returns the note for the user; nullopt when
// the text is none of the keywords.
std::optional<QString> SelectionKeyword(DrawingView* view, const QString& typed);

}  // namespace cadhost
