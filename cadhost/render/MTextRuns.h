// The inline format codes of multiline text read into lines of runs: height (\H), bold and italic
// from the font code (\f...|b1|i1;), underline, overline and strike-through (\L \O \K), colour (\C \c),
// width factor (\W), tracking (\T), oblique angle (\Q), line breaks (\P), stacked fractions (\S,
// shown plainly as "a/b"), brace groups, column breaks (\N) and the paragraph alignment of \p
// (q l, c, r, j; indents are not applied). A numeric argument not closed by ';' ends where its
// number ends, so the text after it shows. Run alignment (\A) is dropped.
#pragma once

#include "platform/cad/engine/DbObject.h"

#include <QString>
#include <algorithm>
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

// Paragraph alignment: Default follows the text's attachment (left, centre or right).
enum class MTextAlign { Default, Left, Centre, Right, Justified };

// One line of runs with its paragraph's alignment; `newColumn` when a column break starts it.
struct MTextLine : std::vector<MTextRun> {
    MTextAlign align = MTextAlign::Default;
    bool newColumn = false;
};

// The lines of a multiline text of base height `height`.
std::vector<MTextLine> ParseMText(const QString& raw, double height);

// The columns of a multiline text (drawing units): static ones (a fixed count, each `height` tall),
// dynamic ones with one height for all (`heights` empty) or a height each.
struct MTextColumns {
    enum Type { None = 0, Static = 1, Dynamic = 2 } type = None;
    int count = 0;
    double width = 0, gutter = 0, height = 0;
    std::vector<double> heights;
    // The height of column `k` (from 0).
    double heightOf(size_t k) const {
        return heights.empty() ? height : heights[std::min(k, heights.size() - 1)];
    }
};

// The column data a multiline text keeps in its codes beyond the modelled ones: its defined height
// (46) and the embedded object after 101 (71 type, 72 count, 44 width, 45 gutter, 41 height, 46 the
// heights of each). None when there is no such object or it gives no usable width.
MTextColumns ColumnsOfTags(const cad::db::Tags& extra);

}  // namespace cadhost::render
