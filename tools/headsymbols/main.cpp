// headsymbols: generates the plan symbols that headplacer inserts by their ".dwg" names, as the DXF
// files of those base names that the CAD reads for them: the 30 signal heads and the screens EKP and EKO in
// aZasoby/Sygnalizacja/Sygnalizatory, the push-button "sygnprzycisk" in aZasoby/Symbole.
// Each head is a housing with its lens circles (arrows, bars or figures in the directional lenses),
// standing on a short bracket whose foot, the mounting point, is the block's base point (0, 0).
// The shapes below are laid out in metres (a three-lens head is about 0.9 m long) and written at 100
// block units per metre for heads and screens, 200 for the push-button: headplacer inserts them at
// "SKALA" / 100 and "SKALA" / 200, "SKALA" being drawing units per metre, so a head comes out its real
// size on a drawing in metres ("SKALA" 1) and on one in millimetres ("SKALA" 1000).
// Usage: headsymbols OUTPUT_ROOT
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cmath>
#include <functional>
#include <numbers>

using namespace cad::db;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double Pitch = 0.24;    // lens spacing along the housing
constexpr double LensR = 0.09;    // lens radius
constexpr double HalfW = 0.12;    // housing half width
constexpr double Bracket = 0.15;  // bracket from the mounting point to the housing

// Block units per metre of the written drawings.
constexpr double HeadUnitsPerMetre = 100;
constexpr double PushButtonUnitsPerMetre = 200;

struct Symbol {
    Database db;
    BlockDefinition* ms = nullptr;
    double k = HeadUnitsPerMetre;  // block units per metre of the shapes' coordinates
    explicit Symbol(double unitsPerMetre = HeadUnitsPerMetre) : k(unitsPerMetre) { ms = db.modelSpace(); }

    Entity* byBlock(Entity* e) {
        e->color = ColorByBlock;
        return e;
    }
    void line(double x1, double y1, double x2, double y2) {
        byBlock(db.addLine(ms, {k * x1, k * y1, 0}, {k * x2, k * y2, 0}));
    }
    void circle(double x, double y, double r) { byBlock(db.addCircle(ms, {k * x, k * y, 0}, k * r)); }
    void arc(double x, double y, double r, double a0, double a1) {
        byBlock(db.addArc(ms, {k * x, k * y, 0}, k * r, a0, a1));
    }
    void poly(std::vector<Vertex> v, bool closed) {
        for (Vertex& p : v) {
            p.x *= k;
            p.y *= k;
        }
        byBlock(db.addLwPolyline(ms, v, closed));
    }
    void rect(double x0, double y0, double x1, double y1) {
        poly({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true);
    }
};

double lensY(int i) {
    return Bracket + Pitch / 2 + i * Pitch;
}

// A housing of n lenses on its bracket; `lens(i, cx, cy)` draws inside lens i (0 at the bracket).
void head(Symbol& s, int n, const std::function<void(int, double, double)>& lens = {}) {
    s.line(0, 0, 0, Bracket);
    s.rect(-HalfW, Bracket, HalfW, Bracket + n * Pitch);
    for (int i = 0; i < n; ++i) {
        s.circle(0, lensY(i), LensR);
        if (lens) lens(i, 0, lensY(i));
    }
}

// An arrow inside a lens pointing at `angle` (0 = right, π/2 = ahead).
void arrow(Symbol& s, double cx, double cy, double angle) {
    const double r = LensR * 0.7, c = std::cos(angle), sn = std::sin(angle);
    const double tx = cx + r * c, ty = cy + r * sn;
    s.line(cx - r * c, cy - r * sn, tx, ty);
    for (double side : {0.6, -0.6}) {
        const double a = angle + Pi + side;
        s.line(tx, ty, tx + 0.05 * std::cos(a), ty + 0.05 * std::sin(a));
    }
}

// A U-turn arrow inside a lens.
void uturn(Symbol& s, double cx, double cy) {
    const double r = LensR * 0.35;
    s.line(cx + r, cy - LensR * 0.6, cx + r, cy);
    s.arc(cx, cy, r, 0, Pi);
    s.line(cx - r, cy, cx - r, cy - LensR * 0.6);
    s.line(cx - r, cy - LensR * 0.6, cx - r - 0.03, cy - LensR * 0.35);
    s.line(cx - r, cy - LensR * 0.6, cx - r + 0.03, cy - LensR * 0.35);
}

// A bar inside a lens at `angle` (tram and bus signals).
void bar(Symbol& s, double cx, double cy, double angle) {
    const double r = LensR * 0.7;
    s.line(cx - r * std::cos(angle), cy - r * std::sin(angle), cx + r * std::cos(angle),
           cy + r * std::sin(angle));
}

// A small side lens with an arrow beside the housing (conditional turn), on the right or left.
void sideLens(Symbol& s, int i, double side) {
    const double x = side * (HalfW + LensR + 0.02), y = lensY(i);
    s.rect(side > 0 ? HalfW : -HalfW - 2 * LensR - 0.04, y - Pitch / 2,
           side > 0 ? HalfW + 2 * LensR + 0.04 : -HalfW, y + Pitch / 2);
    s.circle(x, y, LensR * 0.8);
    arrow(s, x, y, side > 0 ? 0 : Pi);
}

// A pedestrian stick figure, walking or standing.
void walker(Symbol& s, double cx, double cy, bool walking) {
    const double k = LensR * 0.8;
    s.circle(cx, cy + 0.55 * k, 0.15 * k);
    s.line(cx, cy + 0.4 * k, cx, cy - 0.2 * k);
    if (walking) {
        s.line(cx, cy - 0.2 * k, cx - 0.35 * k, cy - 0.75 * k);
        s.line(cx, cy - 0.2 * k, cx + 0.35 * k, cy - 0.75 * k);
        s.line(cx, cy + 0.25 * k, cx - 0.4 * k, cy - 0.05 * k);
        s.line(cx, cy + 0.25 * k, cx + 0.4 * k, cy + 0.1 * k);
    } else {
        s.line(cx, cy - 0.2 * k, cx - 0.12 * k, cy - 0.75 * k);
        s.line(cx, cy - 0.2 * k, cx + 0.12 * k, cy - 0.75 * k);
        s.line(cx, cy + 0.3 * k, cx - 0.2 * k, cy - 0.2 * k);
        s.line(cx, cy + 0.3 * k, cx + 0.2 * k, cy - 0.2 * k);
    }
}

// A bicycle: two wheels and a frame.
void bicycle(Symbol& s, double cx, double cy) {
    const double k = LensR * 0.8;
    s.circle(cx - 0.45 * k, cy - 0.25 * k, 0.3 * k);
    s.circle(cx + 0.45 * k, cy - 0.25 * k, 0.3 * k);
    s.poly({{cx - 0.45 * k, cy - 0.25 * k},
            {cx, cy - 0.25 * k},
            {cx + 0.25 * k, cy + 0.2 * k},
            {cx - 0.2 * k, cy + 0.2 * k},
            {cx - 0.45 * k, cy - 0.25 * k}},
           false);
    s.line(cx + 0.25 * k, cy + 0.2 * k, cx + 0.45 * k, cy - 0.25 * k);
}

using Drawer = std::function<void(Symbol&)>;

// The same drawing in each of three lenses.
Drawer threeAll(const std::function<void(Symbol&, double, double)>& all) {
    return [all](Symbol& s) { head(s, 3, [&](int, double x, double y) { all(s, x, y); }); };
}

Drawer arrows(std::initializer_list<double> angles) {
    const std::vector<double> a(angles);
    return threeAll([a](Symbol& s, double x, double y) {
        for (double angle : a) arrow(s, x, y, angle);
    });
}

struct Item {
    const char* name;
    Drawer draw;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "Użycie: headsymbols KATALOG_GŁÓWNY\n";
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString heads = root.filePath(QStringLiteral("aZasoby/Sygnalizacja/Sygnalizatory"));
    const QString symbols = root.filePath(QStringLiteral("aZasoby/Symbole"));
    QDir().mkpath(heads);
    QDir().mkpath(symbols);

    const double ahead = Pi / 2, left = Pi, right = 0;
    const std::vector<Item> items = {
        {"S-1", [](Symbol& s) { head(s, 3); }},
        {"S-2p",
         [](Symbol& s) {
             head(s, 3);
             sideLens(s, 0, 1);
         }},
        {"S-2l",
         [](Symbol& s) {
             head(s, 3);
             sideLens(s, 0, -1);
         }},
        {"S-2lp",
         [](Symbol& s) {
             head(s, 3);
             sideLens(s, 0, 1);
             sideLens(s, 0, -1);
         }},
        {"S-3w", arrows({ahead})},
        {"S-3l", arrows({left})},
        {"S-3p", arrows({right})},
        {"S-3lw", arrows({left, ahead})},
        {"S-3wp", arrows({ahead, right})},
        {"S-3lp", arrows({left, right})},
        {"S-3lz", threeAll([](Symbol& s, double x, double y) {
             arrow(s, x - 0.02, y, Pi);
             uturn(s, x + 0.02, y);
         })},
        {"S-3z", threeAll([](Symbol& s, double x, double y) { uturn(s, x, y); })},
        {"S-4",
         [](Symbol& s) {
             head(s, 2, [&](int i, double x, double y) {
                 if (i == 1) {  // red cross
                     bar(s, x, y, Pi / 4);
                     bar(s, x, y, -Pi / 4);
                 } else {
                     arrow(s, x, y, -Pi / 2);
                 }
             });
         }},
        {"S-7", [](Symbol& s) { head(s, 2, [&](int, double x, double y) { arrow(s, x, y, -Pi / 4); }); }},
        {"S-1KOM", [](Symbol& s) { head(s, 1); }},
        {"S-pomocn",
         [](Symbol& s) {
             s.line(0, 0, 0, Bracket);
             s.rect(-HalfW * 0.6, Bracket, HalfW * 0.6, Bracket + 3 * Pitch * 0.6);
             for (int i = 0; i < 3; ++i) s.circle(0, Bracket + Pitch * 0.3 + i * Pitch * 0.6, LensR * 0.55);
         }},
        {"S-osp", [](Symbol& s) { head(s, 1, [&](int, double x, double y) { walker(s, x, y, true); }); }},
        {"ST",
         [](Symbol& s) {
             head(s, 3, [&](int i, double x, double y) {
                 bar(s, x, y, i == 2 ? 0 : (i == 1 ? Pi / 2 : Pi / 2));
                 if (i == 1) s.circle(x, y, LensR * 0.2);
             });
         }},
        {"STK-W", threeAll([](Symbol& s, double x, double y) { bar(s, x, y, Pi / 2); })},
        {"STK-L", threeAll([](Symbol& s, double x, double y) { bar(s, x, y, 3 * Pi / 4); })},
        {"STK-P", threeAll([](Symbol& s, double x, double y) { bar(s, x, y, Pi / 4); })},
        {"STK-LW", threeAll([](Symbol& s, double x, double y) {
             bar(s, x, y, 3 * Pi / 4);
             bar(s, x, y, Pi / 2);
         })},
        {"STK-WP", threeAll([](Symbol& s, double x, double y) {
             bar(s, x, y, Pi / 4);
             bar(s, x, y, Pi / 2);
         })},
        {"STK-LP", threeAll([](Symbol& s, double x, double y) {
             bar(s, x, y, Pi / 4);
             bar(s, x, y, 3 * Pi / 4);
         })},
        {"STT",
         [](Symbol& s) {
             head(s, 3, [&](int i, double x, double y) {
                 if (i == 0) {  // the T
                     s.line(x - LensR * 0.6, y + LensR * 0.4, x + LensR * 0.6, y + LensR * 0.4);
                     s.line(x, y + LensR * 0.4, x, y - LensR * 0.6);
                 } else {
                     bar(s, x, y, 0);
                 }
             });
         }},
        {"S-5", [](Symbol& s) { head(s, 2, [&](int i, double x, double y) { walker(s, x, y, i == 0); }); }},
        {"S-5plk",
         [](Symbol& s) {
             s.line(0, 0, 0, Bracket);
             // A half-round housing: the flat side at the bracket.
             s.poly({{-HalfW, Bracket, 0},
                     {HalfW, Bracket, 0},
                     {HalfW, Bracket + Pitch, 1},
                     {-HalfW, Bracket + Pitch, 0}},
                    true);
             for (int i = 0; i < 2; ++i) {
                 s.circle(0, lensY(i), LensR);
                 walker(s, 0, lensY(i), i == 0);
             }
         }},
        {"S-5pr",
         [](Symbol& s) {
             head(s, 2, [&](int i, double x, double y) {
                 walker(s, x - LensR * 0.35, y, i == 0);
                 bicycle(s, x + LensR * 0.3, y - LensR * 0.2);
             });
         }},
        {"S-B",
         [](Symbol& s) {
             head(s, 3, [&](int i, double x, double y) { bar(s, x, y, i == 2 ? 0 : Pi / 2); });
         }},
        {"S-6", [](Symbol& s) { head(s, 3, [&](int, double x, double y) { bicycle(s, x, y); }); }},
    };

    auto write = [](Symbol& s, const QString& path) {
        try {
            cad::dxf::writeFile(s.db, path);
            return true;
        } catch (const cad::Error& e) {
            QTextStream(stderr) << path << ": " << e.message() << '\n';
            return false;
        }
    };
    bool ok = true;
    for (const Item& item : items) {
        Symbol s;
        item.draw(s);
        ok = write(s, heads + QLatin1Char('/') + QString::fromLatin1(item.name) + QStringLiteral(".dxf")) &&
             ok;
    }
    // The contrast screens behind a three-lens head: rectangular and oval.
    {
        Symbol s;
        const double top = Bracket + 3 * Pitch + 0.08;
        s.rect(-HalfW - 0.08, Bracket - 0.08, HalfW + 0.08, top);
        ok = write(s, heads + QStringLiteral("/EKP.dxf")) && ok;
    }
    {
        Symbol s;
        const double w = HalfW + 0.08, y0 = Bracket - 0.08 + w, y1 = Bracket + 3 * Pitch + 0.08 - w;
        s.poly({{w, y0, 0}, {w, y1, 1}, {-w, y1, 0}, {-w, y0, 1}}, true);
        ok = write(s, heads + QStringLiteral("/EKO.dxf")) && ok;
    }
    // The push-button: a box on the pole with the button and its tactile arrow.
    {
        Symbol s(PushButtonUnitsPerMetre);
        s.rect(-0.08, 0, 0.08, 0.2);
        s.circle(0, 0.13, 0.035);
        arrow(s, 0, 0.05, Pi / 2);
        ok = write(s, symbols + QStringLiteral("/sygnprzycisk.dxf")) && ok;
    }
    return ok ? 0 : 1;
}
