// The inline format codes of multiline text read into lines of runs: height (\H), bold and italic
// from the font code (\f...|b1|i1;), underline, overline and strike-through (\L \O \K), colour (\C \c),
// width factor (\W), tracking (\T), oblique angle (\Q), line breaks (\P), stacked fractions (\S,
// shown plainly as "a/b"), brace groups; alignment and paragraph codes (\A \p) are dropped.
#pragma once

#include <QString>
#include <vector>

namespace cadhost::render {

struct MTextRun {
    QString text;
    double height = 1;  // drawing units
    bool bold = false, italic = false, underline = false, overline = false, strike = false;
    int aci = -1;        // colour index; -1 the entity's colour
    int trueColor = -1;  // 0xRRGGBB; -1 none
    double widthFactor = 1;
    double tracking = 1;  // spacing between characters, 1 normal
    double oblique = 0;   // radians
};

using MTextLine = std::vector<MTextRun>;

// The lines of a multiline text of base height `height`.
std::vector<MTextLine> ParseMText(const QString& raw, double height);

}  // namespace cadhost::render
