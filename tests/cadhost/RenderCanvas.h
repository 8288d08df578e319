// Renders a drawing (DXF text or a database) onto an image with a known scale, without a window,
// and writes DXF records for the rendering tests.
#pragma once

#include "cadhost/DrawingRenderer.h"
#include "platform/cad/dxf/DxfReader.h"

#include <QImage>
#include <QPainter>
#include <memory>

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
