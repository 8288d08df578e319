// Renders a drawing (DXF text or a database) onto an image with a known scale, without a window,
// and writes DXF records for the rendering tests.
#pragma once

#include "cadhost/DrawingRenderer.h"
#include "platform/cad/dxf/DxfReader.h"

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

struct Canvas {
    std::unique_ptr<cad::db::Database> owned;
    const cad::db::Database* db = nullptr;
    QImage img;
    double x0 = 0, y1 = 0, k = 10;  // the drawing's left and top edges, pixels a unit

    static constexpr QRgb Background = 0xff000000;

    cad::db::Transform2D view() const { return {k, 0, 0, -k, -x0 * k, y1 * k}; }
    QPointF atF(double x, double y) const { return QPointF((x - x0) * k, (y1 - y) * k); }
    QPoint at(double x, double y) const { return atF(x, y).toPoint(); }

    // Renders every model-space entity over x0..x1 × y0..y1.
    void render(double left, double bottom, double right, double top, double scale) {
        x0 = left, y1 = top, k = scale;
        img = QImage(int(std::lround((right - left) * k)), int(std::lround((top - bottom) * k)),
                     QImage::Format_ARGB32);
        img.fill(Background);
        QPainter p(&img);
        cadhost::PainterSink sink(p);
        cadhost::DrawingRenderer renderer(*db, view(), sink);
        for (const cad::db::Entity* e : db->modelSpace()->entities()) renderer.draw(e);
    }
    bool load(const QByteArray& dxf) {
        owned = cad::dxf::readBuffer(dxf, QStringLiteral("test"));
        db = owned.get();
        return db != nullptr;
    }

    bool inkAt(QPoint p) const { return img.rect().contains(p) && img.pixel(p) != Background; }
    // Any ink within `r` pixels of a drawing point.
    bool lit(double x, double y, int r = 1) const {
        const QPoint c = at(x, y);
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                if (inkAt(c + QPoint(dx, dy))) return true;
        return false;
    }
    // The box of the ink inside a drawing rectangle (empty when there is none).
    QRect inkBox(double left, double bottom, double right, double top) const {
        const QRect area = QRect(at(left, top), at(right, bottom)).intersected(img.rect());
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (img.pixel(x, y) != Background) box |= QRect(x, y, 1, 1);
        return box;
    }
    int inkCount(double left, double bottom, double right, double top) const {
        const QRect area = QRect(at(left, top), at(right, bottom)).intersected(img.rect());
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (img.pixel(x, y) != Background) ++n;
        return n;
    }
};

// A pattern line family: angle, base point, offset to the next line, dashes.
struct PatternFamily {
    double angle, bx, by, ox, oy;
    std::vector<double> dashes;
};

// DXF text built record by record.
struct DxfText {
    QByteArray text;
    DxfText& tag(int code, const QString& value) {
        text += QByteArray::number(code) + "\n" + value.toUtf8() + "\n";
        return *this;
    }
    DxfText& tag(int code, double value) { return tag(code, QString::number(value, 'g', 12)); }
    DxfText& point(int code, double x, double y) { return tag(code, x).tag(code + 10, y); }
    DxfText& entity(const char* kind, int color = 7) {
        return tag(0, QString::fromLatin1(kind)).tag(8, QStringLiteral("0")).tag(62, color);
    }
    // A hatch's record up to its loop count.
    DxfText& hatch(int color, const char* pattern, bool solid, int loops) {
        entity("HATCH", color).tag(100, QStringLiteral("AcDbHatch")).point(10, 0, 0).tag(30, 0.0);
        return tag(2, QString::fromLatin1(pattern)).tag(70, solid ? 1 : 0).tag(71, 0).tag(91, loops);
    }
    // A rectangular pattern hatch over x0..x1 × y0..y1 with the given families.
    DxfText& patternHatch(int color, double x0, double y0, double x1, double y1,
                          const std::vector<PatternFamily>& families) {
        hatch(color, "TEST", false, 1).tag(92, 1).tag(93, 4);
        const double xs[] = {x0, x1, x1, x0}, ys[] = {y0, y0, y1, y1};
        for (int i = 0; i < 4; ++i)
            tag(72, 1).point(10, xs[i], ys[i]).point(11, xs[(i + 1) % 4], ys[(i + 1) % 4]);
        tag(97, 0).tag(75, 0).tag(76, 2).tag(52, 0.0).tag(41, 1.0).tag(77, 0).tag(78, int(families.size()));
        for (const PatternFamily& f : families) {
            tag(53, f.angle).tag(43, f.bx).tag(44, f.by).tag(45, f.ox).tag(46, f.oy);
            tag(79, int(f.dashes.size()));
            for (double v : f.dashes) tag(49, v);
        }
        return tag(98, 0);
    }
    // A loop of one whole ellipse edge (major axis along x).
    DxfText& ellipseLoop(double cx, double cy, double major, double ratio) {
        tag(92, 1).tag(93, 1).tag(72, 3).point(10, cx, cy).point(11, major, 0).tag(40, ratio);
        return tag(50, 0.0).tag(51, 360.0).tag(73, 1).tag(97, 0);
    }
    // A cubic spline edge of one Bézier piece, up to its control points.
    DxfText& cubicEdgeHead(bool rational) {
        tag(72, 4).tag(94, 3).tag(73, rational ? 1 : 0).tag(74, 0).tag(95, 8).tag(96, 4);
        for (double k : {0, 0, 0, 0, 1, 1, 1, 1}) tag(40, k);
        return *this;
    }
    DxfText& section(const char* name) {
        return tag(0, QStringLiteral("SECTION")).tag(2, QString::fromLatin1(name));
    }
    DxfText& end() { return tag(0, QStringLiteral("ENDSEC")); }
    QByteArray finish() { return text + "0\nEOF\n"; }
};

// The cap height share of the text font's pixel size, as drawing text heights are cap heights.
inline double CapShare() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(100);
    return QFontMetricsF(f).capHeight() / 100.0;
}

// The font whose capitals are `px` pixels tall.
inline QFont FontForCap(double px) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(px / CapShare()))));
    return f;
}
