// The legend block and its insertion.
#include "conflictor/conflicts/Legend.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/Picking.h"
#include "automation/WindowSearch.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

namespace {

constexpr int LegendColour = 5;
constexpr double Unit = 250;  // the marker unit the samples are drawn in

void line(const cad::Block& b, double x1, double y1, double x2, double y2) {
    b.addLine(cad::Point{x1, y1, 0}, cad::Point{x2, y2, 0}).setColor(LegendColour);
}

cad::Entity circle(const cad::Block& b, double x, double y, double r) {
    const cad::Entity c = b.addCircle(cad::Point{x, y, 0}, r);
    c.setColor(LegendColour);
    return c;
}

void filledCircle(const cad::Block& b, double x, double y, double r) {
    const cad::Entity c = circle(b, x, y, r);
    const cad::Entity hatch = b.addHatch(1, QStringLiteral("SOLID"), true);
    hatch.setColor(LegendColour);
    // The loop and its evaluation answer nothing the legend uses.
    hatch.send(QStringLiteral("AppendOuterLoop"), {cad::Variant(cad::VariantList{cad::Variant(c.ref())})});
    hatch.send(QStringLiteral("Evaluate"));
}

void text(const cad::Block& b, const QString& t, double x, double y, double height) {
    b.addText(common::Tlumacz(t), cad::Point{x, y, 0}, height);
}

// The entities drawLegend adds: a definition with fewer was left incomplete.
constexpr int LegendEntityCount = 20;

void drawLegend(const cad::Block& b) {
    line(b, 0, 0, 18750, 0);
    line(b, 18750, 0, 18750, 8750);
    line(b, 18750, 8750, 0, 8750);
    line(b, 0, 8750, 0, 0);
    line(b, 0, 7000, 18750, 7000);
    text(b, QStringLiteral("LEGENDA"), 2500, 7375, 1000);
    text(b, QStringLiteral("punkt kolizji pojazd - pojazd"), 2500, 1000, 625);
    text(b, QStringLiteral("punkt kolizji ewakuacji pojazd - pieszy"), 2500, 2582.5, 625);
    text(b, QStringLiteral("punkt kolizji dojazdu pojazd - pieszy"), 2500, 4165, 625);
    text(b, QStringLiteral("punkt początkowy"), 2500, 5750, 625);
    circle(b, 1250, 6000, 2 * Unit);
    filledCircle(b, 1250, 4417.5, 1.22 * Unit);
    circle(b, 1250, 2835, 2 * Unit);
    filledCircle(b, 1250, 2835, 1.22 * Unit);
    const double c = 1250, d = 0.71 * Unit;
    line(b, c - Unit, c, c + Unit, c);
    line(b, c, c - Unit, c, c + Unit);
    line(b, c - d, c - d, c + d, c + d);
    line(b, c - d, c + d, c + d, c - d);
}

}  // namespace

bool UstawLegende() {
    if (!automation::CheckDocumentOpen(true)) return false;
    if (!automation::LoadDrawingScale(MainWindow().caption())) return false;

    StreamWindow& window = MainWindow();
    struct ShowAgain {
        StreamWindow& w;
        ~ShowAgain() { w.showWindow(); }
    } showAgain{window};
    window.hideWindow();
    try {
        // The user picks in the CAD window: it comes to the front first.
        automation::RaiseCadWindow();
        const common::PlanePoint p =
            automation::PickPoint(common::Tlumacz(QStringLiteral("Wskaż położenie legendy...")));
        if (common::IsMissingPoint(p)) return false;

        const cad::Document& doc = automation::CadDocument;
        const double scale = automation::DrawingScale / 1000.0;
        const bool drawn = automation::CheckBlockExists(LegendBlockName());
        try {
            if (!drawn) drawLegend(doc.blocks().add(cad::Point{0, 0, 0}, LegendBlockName()));
            doc.modelSpace().insertBlock(cad::Point{p.X, p.Y, 0}, LegendBlockName(), scale, scale, scale, 0);
        } catch (...) {
            // A half-drawn definition would stand for the legend in every later use: it goes. A
            // complete one (the insertion failed) stays.
            if (!drawn) {
                try {
                    const cad::Block block = automation::GetBlockDefinition(LegendBlockName());
                    if (!block.isNull() && block.count() < LegendEntityCount) block.erase();
                } catch (const cad::Error&) {
                    // The failure being rethrown below is the one the user is told; this one comes
                    // from the same CAD.
                }
            }
            throw;
        }
        return true;
    } catch (const cad::ConnectionLost&) {
        throw;  // no Escape: the host went away, and the command's guard says so
    } catch (const cad::Error& e) {
        // A step the CAD refused ends the command; the window comes back and nothing more is drawn.
        ui::MsgBox(
            common::Tlumacz(QStringLiteral("Nie wstawiono legendy:")) + QLatin1Char('\n') + e.message(),
            ui::Exclamation, window.caption());
        return false;
    }
}

}  // namespace conflictor
