// The renderer's texts: single-line texts and attributes with their alignment, multi-line texts
// with their runs, and the frame round a highlighted one.
#include "cadhost/DrawingRenderer.h"

#include "cadhost/Palette.h"
#include "cadhost/render/MTextRuns.h"
#include "cadhost/render/ScreenMapping.h"
#include "platform/cad/engine/Ocs.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

namespace cadhost {

using namespace cad::db;
using render::capRatio;
using render::map;
using render::Pi;
using render::textFamily;

void DrawingRenderer::drawText(const TextData& t, const QString& shown, const QColor& color,
                               const Context& c) {
    if (shown.isEmpty()) return;
    Point3 anchor = (t.horizontal == 0 && t.vertical == 0) ? t.position : t.alignmentPoint;
    double rotation = t.rotation;
    double widthFactor = t.widthFactor > 0 ? t.widthFactor : 1;
    const bool fitted = t.vertical == 0 && (t.horizontal == 3 || t.horizontal == 5);
    if (fitted) {
        anchor = t.position;
        rotation = std::atan2(t.alignmentPoint.y - t.position.y, t.alignmentPoint.x - t.position.x);
    }
    // The text's up direction on screen gives its pixel height; its frame lays the glyphs along it.
    const Point3 up = c.toScreen.applyVector({-std::sin(rotation), std::cos(rotation), 0});
    const double pxPerUnit = std::hypot(up.x, up.y);
    const double heightPx = t.height * pxPerUnit;
    if (heightPx < 1.0) return;  // smaller than a pixel: nothing to read
    QFont font(textFamily());
    font.setPixelSize(std::max(1, int(std::lround(heightPx / capRatio()))));
    const QFontMetricsF fm(font);
    const double raw = fm.horizontalAdvance(shown);
    if (fitted && raw > 0) {
        const double len = std::hypot(t.alignmentPoint.x - t.position.x, t.alignmentPoint.y - t.position.y);
        if (len > 0) widthFactor = len * pxPerUnit / raw;
    }
    double dx = 0, dy = 0;
    if (!fitted) {
        if (t.horizontal == 1 || t.horizontal == 4)
            dx = -raw / 2;
        else if (t.horizontal == 2)
            dx = -raw;
    }
    const double cap = fm.capHeight();
    if (t.horizontal == 4 && t.vertical == 0)
        dy = cap / 2;
    else if (t.vertical == 1)
        dy = -fm.descent();
    else if (t.vertical == 2)
        dy = cap / 2;
    else if (t.vertical == 3)
        dy = cap;
    QTransform place = render::TextFrame(c.toScreen, anchor, rotation);
    place.scale(widthFactor, 1);
    // Backward and upside-down text is mirrored about its anchor in its own frame.
    place.scale((t.generation & 2) ? -1 : 1, (t.generation & 4) ? -1 : 1);
    place.translate(dx, dy);
    sink_.text(shown, font, place, color);
    if (c.highlighted) frameText(shown, font, place, color);
}

QPen DrawingRenderer::highlightPen(const QColor& color) {
    QPen pen(color, 2);
    pen.setDashPattern({4, 3});
    return pen;
}

void DrawingRenderer::frameText(const QString& shown, const QFont& font, const QTransform& place,
                                const QColor& color) {
    // Glyphs have no line to dash: a selected text shows a dashed frame round it.
    const QFontMetricsF fm(font);
    const QRectF box(0, -fm.ascent(), fm.horizontalAdvance(shown), fm.ascent() + fm.descent());
    QPolygonF frame = place.map(QPolygonF(box));
    if (!frame.isEmpty()) frame.append(frame.front());
    sink_.polyline(frame, highlightPen(color));
}

void DrawingRenderer::drawPlacedMText(const MTextData& t, const Point3& normal, const QColor& color,
                                      const Context& c, const Tags* extra) {
    if (isWorldExtrusion(normal)) {
        drawMText(t, color, c, extra);
        return;
    }
    // An angle without a direction is measured in the text's own coordinate system; with neither
    // the text runs along the world X axis.
    Point3 axis{1, 0, 0};
    if (t.hasGivenDirection && t.rotation == t.givenRotation)
        axis = t.givenDirection;
    else if (t.hasGivenAngle || t.rotation != 0)
        axis = Ocs(normal).directionToWorld({std::cos(t.rotation), std::sin(t.rotation), 0});
    MTextData along = t;
    along.rotation = std::atan2(axis.y, axis.x);
    Context placed = c;
    placed.toScreen = c.toScreen.after(render::FrameOnPlane(t.position, axis, normal));
    drawMText(along, color, placed, extra);
}

void DrawingRenderer::drawMText(const MTextData& t, const QColor& color, const Context& c, const Tags* extra) {
    const Point3 up = c.toScreen.applyVector({-std::sin(t.rotation), std::cos(t.rotation), 0});
    const double pxPerUnit = std::hypot(up.x, up.y);
    if (t.height * pxPerUnit < 1.0) return;  // smaller than a pixel: nothing to read
    // Pieces of runs placed on lines, each run in its own font; a line is as tall as its tallest
    // run. A text with a reference width wraps its lines between words to stay inside it.
    struct Piece {
        const render::MTextRun* run;
        QFont font;
        QString text;
        double x;
    };
    struct Line {
        std::vector<Piece> pieces;
        double width = 0, tallest = 0;
        render::MTextAlign align = render::MTextAlign::Default;
        bool newColumn = false;
    };
    std::vector<Line> out;
    // Columns wrap at their own width; the reference width is then the column's.
    const render::MTextColumns columns = extra ? render::ColumnsOfTags(*extra) : render::MTextColumns{};
    const double boxWidth = (columns.type != render::MTextColumns::None ? columns.width : t.width) * pxPerUnit;
    const double wrapAt = boxWidth > 0 ? boxWidth : 0;
    const std::vector<render::MTextLine> parsed =
        render::ParseMText(t.text, t.height);  // the pieces point here
    for (const render::MTextLine& runs : parsed) {
        out.emplace_back();
        out.back().align = runs.align;
        out.back().newColumn = runs.newColumn;
        for (const render::MTextRun& run : runs) {
            QFont font(textFamily());
            font.setPixelSize(std::max(1, int(std::lround(run.height * pxPerUnit / capRatio()))));
            font.setBold(run.bold);
            font.setItalic(run.italic);
            font.setUnderline(run.underline);
            font.setOverline(run.overline);
            font.setStrikeOut(run.strike);
            if (run.tracking != 1) font.setLetterSpacing(QFont::PercentageSpacing, run.tracking * 100);
            const QFontMetricsF fm(font);
            const double whole = fm.horizontalAdvance(run.text) * run.widthFactor;
            if (!(wrapAt > 0) || out.back().width + whole <= wrapAt) {
                out.back().pieces.push_back({&run, font, run.text, out.back().width});
                out.back().width += whole;
                out.back().tallest = std::max(out.back().tallest, run.height * pxPerUnit);
                continue;
            }
            // Word by word (each word with the spaces after it).
            for (qsizetype i = 0; i < run.text.size();) {
                qsizetype j = i;
                while (j < run.text.size() && run.text[j] != QLatin1Char(' ')) ++j;
                const qsizetype wordEnd = j;
                while (j < run.text.size() && run.text[j] == QLatin1Char(' ')) ++j;
                const QString word = run.text.mid(i, j - i);
                const double inked = fm.horizontalAdvance(run.text.mid(i, wordEnd - i)) * run.widthFactor;
                Line* line = &out.back();
                if (line->width > 0 && line->width + inked > wrapAt) {
                    const render::MTextAlign align = line->align;
                    out.emplace_back();
                    line = &out.back();
                    line->align = align;
                    if (wordEnd == i) {  // only spaces: they end the line they broke
                        i = j;
                        continue;
                    }
                }
                if (!line->pieces.empty() && line->pieces.back().run == &run)
                    line->pieces.back().text += word;
                else
                    line->pieces.push_back({&run, font, word, line->width});
                line->width += fm.horizontalAdvance(word) * run.widthFactor;
                line->tallest = std::max(line->tallest, run.height * pxPerUnit);
                i = j;
            }
        }
    }
    // Baselines down the text, or down each column in turn: a column break, or a line that would
    // end below its column, starts the next column (the last of a static count keeps the rest).
    std::vector<double> baselines(out.size());
    std::vector<size_t> columnOf(out.size(), 0);
    const bool columned = columns.type != render::MTextColumns::None;
    const double spacing = 5.0 / 3.0 * (t.lineSpacing > 0 ? t.lineSpacing : 1);
    double blockHeight = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double tallest = out[i].tallest > 0 ? out[i].tallest : t.height * pxPerUnit;
        size_t k = i == 0 ? 0 : columnOf[i - 1];
        double baseline = i == 0 ? tallest : baselines[i - 1] + spacing * tallest;
        const bool more = columns.type == render::MTextColumns::Dynamic || int(k) + 1 < columns.count;
        if (columned && i > 0 && more &&
            (out[i].newColumn || baseline > columns.heightOf(k) * pxPerUnit + 0.5)) {
            ++k;
            baseline = tallest;
        }
        baselines[i] = baseline;
        columnOf[i] = k;
        blockHeight = std::max(blockHeight, baseline);
    }
    if (columned) blockHeight = std::max(blockHeight, columns.heightOf(0) * pxPerUnit);
    double widest = 0;
    for (const Line& l : out) widest = std::max(widest, l.width);
    const size_t columnCount = columned ? columnOf.back() + 1 : 1;
    const double columnStep = (columns.width + columns.gutter) * pxPerUnit;
    const double lineBox = boxWidth > 0 ? boxWidth : widest;
    const double fullWidth = columned ? columnStep * double(columnCount) - columns.gutter * pxPerUnit : lineBox;
    const int row = (std::clamp(t.attachment, 1, 9) - 1) / 3;  // 0 top, 1 middle, 2 bottom
    const int col = (std::clamp(t.attachment, 1, 9) - 1) % 3;  // 0 left, 1 centre, 2 right
    const double top = row == 0 ? 0 : row == 1 ? -blockHeight / 2 : -blockHeight;
    const double boxLeft = -fullWidth * col / 2;
    const QTransform frame = render::TextFrame(c.toScreen, t.position, t.rotation);
    for (size_t i = 0; i < out.size(); ++i) {
        // A paragraph's own alignment places its lines in the box; without one the attachment does.
        // Justified lines are set flush left.
        using render::MTextAlign;
        const MTextAlign a = out[i].align;
        const int side = a == MTextAlign::Centre ? 1 : a == MTextAlign::Right ? 2 : a == MTextAlign::Default ? col : 0;
        const double left = boxLeft + double(columnOf[i]) * columnStep + (lineBox - out[i].width) * side / 2;
        for (const Piece& p : out[i].pieces) {
            const render::MTextRun& run = *p.run;
            if (p.text.trimmed().isEmpty() && !run.underline) continue;
            QColor shown = color;
            if (run.trueColor >= 0)
                shown = QColor(QRgb(run.trueColor));
            else if (run.aci >= 1 && run.aci <= 255)
                shown = AciColor(run.aci);
            QTransform place = frame;
            place.translate(left + p.x, top + baselines[i]);
            place.scale(run.widthFactor, 1);
            if (run.oblique != 0) place.shear(-std::tan(run.oblique), 0);
            sink_.text(p.text, p.font, place, shown);
            if (c.highlighted) frameText(p.text, p.font, place, shown);
        }
    }
}

}  // namespace cadhost
