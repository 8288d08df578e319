// One drawing holding every kind the host draws (SOLID, TRACE, 3DFACE, ELLIPSE, SPLINE, LEADER,
// MULTILEADER, six dimension types, constant and tapering polyline widths, pattern and curved
// hatches, backward and upside-down text and coded multiline text) rendered by the host and compared with a
// reference the test paints itself with QPainter from the same geometry: every inked pixel of each must lie
// within a few pixels of ink in the other.
#include "RenderCanvas.h"

#include <QtTest>
#include <cmath>

namespace {

constexpr double K = 8;  // pixels a drawing unit
constexpr double Left = -5, Bottom = -5, Right = 125, Top = 65;
constexpr double ArrowSize = 2.5, TextHeight = 2.5, ExtOffset = 0.625, ExtBeyond = 1.25;

QByteArray drawing() {
    DxfText d;
    d.section("HEADER");
    const std::pair<const char*, double> reals[] = {{"$DIMASZ", ArrowSize}, {"$DIMTXT", TextHeight},
                                                    {"$DIMEXO", ExtOffset}, {"$DIMEXE", ExtBeyond},
                                                    {"$DIMGAP", 0.625},     {"$DIMSCALE", 1}};
    for (const auto& [name, value] : reals) d.tag(9, QString::fromLatin1(name)).tag(40, value);
    d.tag(9, QStringLiteral("$DIMDEC")).tag(70, 2);
    d.end();
    d.section("ENTITIES");
    d.entity("SOLID").point(10, 0, 0).point(11, 10, 0).point(12, 0, 10).point(13, 10, 10);
    d.entity("TRACE").point(10, 15, 0).point(11, 25, 0).point(12, 15, 5).point(13, 25, 5);
    d.entity("3DFACE").point(10, 30, 0).point(11, 40, 0).point(12, 40, 10).point(13, 30, 10).tag(70, 2);
    d.entity("ELLIPSE").point(10, 55, 5).point(11, 8, 0).tag(40, 0.5).tag(41, 0.0).tag(42, 2 * M_PI);
    d.entity("SPLINE").tag(70, 8).tag(71, 3).tag(72, 8).tag(73, 4);
    for (double k : {0, 0, 0, 0, 1, 1, 1, 1}) d.tag(40, k);
    d.point(10, 70, 0).point(10, 72, 12).point(10, 84, 12).point(10, 86, 0);
    d.entity("LEADER").tag(71, 1).tag(76, 3).point(10, 95, 0).point(10, 100, 8).point(10, 108, 8);
    d.entity("LWPOLYLINE").tag(90, 2).tag(70, 0).tag(43, 2.0).point(10, 0, 20).point(10, 20, 20);
    d.entity("LWPOLYLINE").tag(90, 2).tag(70, 0).point(10, 0, 55).tag(40, 0.0).tag(41, 4.0).point(10, 20, 55);
    // Bricks 4 high, 8 long, in 25..45 × 15..25.
    d.patternHatch(7, 25, 15, 45, 25, {{0, 25, 15, 0, 4, {}}, {90, 25, 15, -4, 4, {4, -4}}});
    // A solid hatch closed by a spline edge, and one bounded by an ellipse.
    d.hatch(7, "SOLID", true, 2);
    d.tag(92, 1).tag(93, 2).tag(72, 1).point(10, 50, 15).point(11, 70, 15);
    d.cubicEdgeHead(false);
    d.point(10, 70, 15).point(10, 75, 27).point(10, 45, 27).point(10, 50, 15).tag(97, 0);
    d.ellipseLoop(115, 20, 6, 0.5).tag(75, 0).tag(76, 1).tag(98, 0);
    // Backward text, and multiline text with a bold run, a line break, a taller underlined run.
    d.entity("TEXT").point(10, 90, 15).tag(40, 3.0).tag(1, QStringLiteral("Tekst")).tag(71, 2);
    d.entity("TEXT").point(10, 60, 55).tag(40, 3.0).tag(1, QStringLiteral("Znak")).tag(71, 4);
    d.entity("MTEXT").tag(100, QStringLiteral("AcDbMText")).point(10, 85, 30).tag(40, 2.5).tag(71, 1);
    d.tag(1, QStringLiteral("{\\fArial|b1;Pas} 1\\P\\H2x;\\LB\\l"));
    // A multileader with its note.
    d.entity("MULTILEADER").tag(100, QStringLiteral("AcDbMLeader")).tag(270, 2);
    d.tag(300, QStringLiteral("CONTEXT_DATA{")).tag(40, 1.0).point(10, 10, 42).tag(30, 0.0).tag(41, 2.0);
    d.tag(140, ArrowSize).tag(290, 1).tag(304, QStringLiteral("Uwaga"));
    d.point(12, 13, 43.25).tag(32, 0.0).point(13, 1, 0).tag(33, 0.0).tag(171, 1);
    d.tag(302, QStringLiteral("LEADER{"))
        .point(10, 10, 42)
        .tag(30, 0.0)
        .point(11, 1, 0)
        .tag(31, 0.0)
        .tag(40, 2.0);
    d.tag(304, QStringLiteral("LEADER_LINE{")).point(10, 0, 35).tag(30, 0.0).tag(305, QStringLiteral("}"));
    d.tag(303, QStringLiteral("}")).tag(301, QStringLiteral("}"));
    // Dimensions without blocks.
    auto dim = [&](int type) -> DxfText& {
        return d.entity("DIMENSION").tag(100, QStringLiteral("AcDbDimension")).tag(70, type);
    };
    dim(32).point(10, 35, 40).point(11, 27.5, 42).point(13, 20, 35).point(14, 35, 35).tag(50, 0.0);
    dim(33).point(10, 50.8, 45.6).point(11, 43.675, 42.6).point(13, 40, 35).point(14, 52, 44);
    d.entity("CIRCLE").point(10, 62, 38).tag(40, 6.0);
    dim(36).point(10, 62, 38).point(11, 65, 39.5).point(15, 68, 38);
    d.entity("CIRCLE").point(10, 82, 38).tag(40, 6.0);
    dim(35).point(10, 88, 38).point(11, 82, 39.5).point(15, 76, 38);
    dim(37)
        .point(10, 95 + 8 * M_SQRT1_2, 35 + 8 * M_SQRT1_2)
        .point(11, 95 + 10.5 * M_SQRT1_2, 35 + 10.5 * M_SQRT1_2);
    d.point(13, 105, 35).point(14, 95, 45).point(15, 95, 35);
    dim(38 + 64).point(10, 0, 0).point(13, 110, 35).point(14, 110, 42);
    d.end();
    return d.finish();
}

// The reference: the same geometry painted directly.
struct Reference {
    QImage img;
    QPainter p;
    explicit Reference(QSize size) : img(size, QImage::Format_ARGB32) {
        img.fill(Canvas::Background);
        p.begin(&img);
        p.setPen(QPen(Qt::white, 0));
    }
    static QPointF s(double x, double y) { return QPointF((x - Left) * K, (Top - y) * K); }
    void line(double x0, double y0, double x1, double y1) { p.drawLine(s(x0, y0), s(x1, y1)); }
    void fill(const QPolygonF& drawingPoints) {
        QPolygonF poly;
        for (const QPointF& q : drawingPoints) poly << s(q.x(), q.y());
        QPainterPath path;
        path.addPolygon(poly);
        path.closeSubpath();
        p.fillPath(path, Qt::white);
    }
    // A closed filled arrowhead: a third as wide as it is long.
    void arrow(QPointF tip, QPointF dir) {
        const double len = std::hypot(dir.x(), dir.y());
        const QPointF u = dir / len, n(-u.y(), u.x());
        const QPointF back = tip - u * ArrowSize;
        fill({tip, back + n * (ArrowSize / 6), back - n * (ArrowSize / 6)});
    }
    // Text of cap height `h` placed at `at` turned `angle` degrees; `dx` and the baseline depth
    // `dy` in pixels of the text's own frame.
    void text(const QString& t, QFont f, QPointF at, double angle, double dx, double dy) {
        p.save();
        p.translate(s(at.x(), at.y()));
        p.rotate(-angle);
        p.setFont(f);
        p.drawText(QPointF(dx, dy), t);
        p.restore();
    }
    // Middle-centred text, as dimensions place their measurement.
    void centred(const QString& t, QPointF at, double angle) {
        const QFont f = FontForCap(TextHeight * K);
        text(t, f, at, angle, -QFontMetricsF(f).horizontalAdvance(t) / 2, TextHeight * K / 2);
    }
};

void paintReference(Reference& r, bool gridInsteadOfBricks) {
    // SOLID and TRACE corners 1, 2, 4, 3; the face without its second edge.
    r.fill({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    r.fill({{15, 0}, {25, 0}, {25, 5}, {15, 5}});
    r.line(30, 0, 40, 0), r.line(40, 10, 30, 10), r.line(30, 10, 30, 0);
    // The ellipse and the cubic spline (a single Bézier piece: its control points).
    r.p.drawEllipse(Reference::s(55, 5), 8 * K, 4 * K);
    QPainterPath spline(Reference::s(70, 0));
    spline.cubicTo(Reference::s(72, 12), Reference::s(84, 12), Reference::s(86, 0));
    r.p.drawPath(spline);
    // The leader with its arrowhead.
    r.line(95, 0, 100, 8), r.line(100, 8, 108, 8);
    r.arrow({95, 0}, {-5, -8});
    // The wide polyline: a band 2 wide; the tapering one: a wedge from nothing to 4, with its
    // centre line.
    r.fill({{0, 19}, {20, 19}, {20, 21}, {0, 21}});
    r.fill({{0, 55}, {20, 53}, {20, 57}});
    r.line(0, 55, 20, 55);
    // Bricks: rows every 4, joints 4 long every 4 across, shifted by 4 from row to row.
    r.p.save();
    QPainterPath clip;
    clip.addRect(QRectF(Reference::s(25, 25), Reference::s(45, 15)));
    r.p.setClipPath(clip);
    for (double y = 15; y <= 25; y += 4) r.line(25, y, 45, y);
    for (double x = 25; x <= 45; x += 4) {
        if (gridInsteadOfBricks) {
            r.line(x, 15, x, 25);
            continue;
        }
        const double phase = std::fmod((x - 25) / 4, 2) == 0 ? 0 : 4;
        for (double y = 15 - phase; y < 25; y += 8)
            if (std::min(y + 4, 25.0) > std::max(y, 15.0))
                r.line(x, std::max(y, 15.0), x, std::min(y + 4, 25.0));
    }
    r.p.restore();
    // The spline-edged and the elliptic hatch.
    QPainterPath arch(Reference::s(50, 15));
    arch.lineTo(Reference::s(70, 15));
    arch.cubicTo(Reference::s(75, 27), Reference::s(45, 27), Reference::s(50, 15));
    r.p.fillPath(arch, Qt::white);
    QPainterPath oval;
    oval.addEllipse(Reference::s(115, 20), 6 * K, 3 * K);
    r.p.fillPath(oval, Qt::white);
    // Backward text: mirrored about its start.
    const QFont textFont = FontForCap(3 * K);
    r.p.save();
    r.p.translate(Reference::s(90, 15));
    r.p.scale(-1, 1);
    r.p.setFont(textFont);
    r.p.drawText(QPointF(0, 0), QStringLiteral("Tekst"));
    r.p.restore();
    // Upside-down text: mirrored about its baseline.
    r.p.save();
    r.p.translate(Reference::s(60, 55));
    r.p.scale(1, -1);
    r.p.setFont(textFont);
    r.p.drawText(QPointF(0, 0), QStringLiteral("Znak"));
    r.p.restore();
    // Multiline text: "Pas" bold then " 1"; below, a 5 tall underlined "B".
    QFont bold = FontForCap(2.5 * K), plain = FontForCap(2.5 * K), tall = FontForCap(5 * K);
    bold.setBold(true);
    tall.setUnderline(true);
    r.text(QStringLiteral("Pas"), bold, {85, 30}, 0, 0, 2.5 * K);
    r.text(QStringLiteral(" 1"), plain, {85, 30}, 0,
           QFontMetricsF(bold).horizontalAdvance(QStringLiteral("Pas")), 2.5 * K);
    r.text(QStringLiteral("B"), tall, {85, 30}, 0, 0, 2.5 * K + 5.0 / 3.0 * 5 * K);
    // The multileader: line, arrowhead, landing, note hanging from its top-left corner.
    r.line(0, 35, 10, 42), r.line(10, 42, 12, 42);
    r.arrow({0, 35}, {-10, -7});
    r.text(QStringLiteral("Uwaga"), FontForCap(2 * K), {13, 43.25}, 0, 0, 2 * K);
    // Linear: extension lines off the points and past the line, arrows, "15.00".
    r.line(20, 35 + ExtOffset, 20, 40 + ExtBeyond), r.line(35, 35 + ExtOffset, 35, 40 + ExtBeyond);
    r.line(20, 40, 35, 40);
    r.arrow({20, 40}, {-1, 0}), r.arrow({35, 40}, {1, 0});
    r.centred(QStringLiteral("15.00"), {27.5, 42}, 0);
    // Aligned: the line 2 off to the upper left, parallel to 40,35 - 52,44.
    const QPointF u(0.8, 0.6), n(-0.6, 0.8), p13(40, 35), p14(52, 44);
    const QPointF a = p13 + n * 2, b = p14 + n * 2;
    for (const auto& [from, to] : {std::pair{p13, a}, std::pair{p14, b}})
        r.line(from.x() + n.x() * ExtOffset, from.y() + n.y() * ExtOffset, to.x() + n.x() * ExtBeyond,
               to.y() + n.y() * ExtBeyond);
    r.line(a.x(), a.y(), b.x(), b.y());
    r.arrow(a, -u), r.arrow(b, u);
    r.centred(QStringLiteral("15.00"), {43.675, 42.6}, std::atan2(0.6, 0.8) * 180 / M_PI);
    // Radius and diameter of two circles.
    r.p.drawEllipse(Reference::s(62, 38), 6 * K, 6 * K);
    r.line(62, 38, 68, 38);
    r.arrow({68, 38}, {1, 0});
    r.centred(QStringLiteral("R6.00"), {65, 39.5}, 0);
    r.p.drawEllipse(Reference::s(82, 38), 6 * K, 6 * K);
    r.line(88, 38, 76, 38);
    r.arrow({76, 38}, {-1, 0}), r.arrow({88, 38}, {1, 0});
    r.centred(QStringLiteral("⌀12.00"), {82, 39.5}, 0);
    // Angular: a quarter arc of radius 8 about 95,35, arrows along it, "90°" beyond its middle.
    QPainterPath arc;
    const QRectF square(Reference::s(87, 43), Reference::s(103, 27));
    arc.arcMoveTo(square, 0);
    arc.arcTo(square, 0, 90);
    r.p.drawPath(arc);
    r.arrow({103, 35}, {0, -1}), r.arrow({95, 43}, {-1, 0});
    r.centred(QStringLiteral("90°"), {95 + 10.5 * M_SQRT1_2, 35 + 10.5 * M_SQRT1_2}, -45);
    // Ordinate: the leader up from the feature, its X written up along it.
    r.line(110, 35 + ExtOffset, 110, 42);
    const QFont dimFont = FontForCap(TextHeight * K);
    r.text(QStringLiteral("110.00"), dimFont, {110, 42.625}, 90, 0, TextHeight * K / 2);
}

// Ink of one image with no ink of the other within `r` pixels: its share of all the ink, and
// the most such pixels in any 64-pixel square (a missing or extra detail shows there).
struct Mismatch {
    double share = 1;
    int worstTile = 0;
};
Mismatch unmatched(const QImage& a, const QImage& b, int r) {
    long ink = 0, missed = 0;
    QHash<int, int> tiles;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) == Canvas::Background) continue;
            ++ink;
            bool found = false;
            for (int dy = -r; dy <= r && !found; ++dy)
                for (int dx = -r; dx <= r && !found; ++dx) {
                    const QPoint q(x + dx, y + dy);
                    found = b.rect().contains(q) && b.pixel(q) != Canvas::Background;
                }
            if (!found) ++missed, ++tiles[(y / 64) * 1000 + x / 64];
        }
    Mismatch m;
    m.share = ink ? double(missed) / double(ink) : 1.0;
    for (int n : tiles) m.worstTile = std::max(m.worstTile, n);
    return m;
}

bool close(const Mismatch& m) {
    return m.share <= 0.005 && m.worstTile <= 16;
}

}  // namespace

class ReferenceImageTest : public QObject {
    Q_OBJECT

private slots:
    void everyKindMatchesItsReference() {
        Canvas c;
        QVERIFY(c.load(drawing()));
        QCOMPARE(c.db->modelSpace()->entities().size(), size_t(22));
        c.render(Left, Bottom, Right, Top, K);
        Reference ref(c.img.size());
        paintReference(ref, false);
        ref.p.end();
        const Mismatch drawnOff = unmatched(c.img, ref.img, 3), refOff = unmatched(ref.img, c.img, 3);
        if (!close(drawnOff) || !close(refOff)) {
            c.img.save(QDir::temp().filePath(QStringLiteral("cadhost-drawn.png")));
            ref.img.save(QDir::temp().filePath(QStringLiteral("cadhost-reference.png")));
        }
        QVERIFY2(close(drawnOff) && close(refOff),
                 qPrintable(QStringLiteral("drawn %1 (%2), reference %3 (%4)")
                                .arg(drawnOff.share)
                                .arg(drawnOff.worstTile)
                                .arg(refOff.share)
                                .arg(refOff.worstTile)));
        // The comparison tells a fault apart: bricks drawn as a grid would not pass.
        Reference grid(c.img.size());
        paintReference(grid, true);
        grid.p.end();
        QVERIFY(!close(unmatched(grid.img, c.img, 3)));
    }
};

QTEST_MAIN(ReferenceImageTest)
#include "ReferenceImageTest.moc"
