// Loading the program table template, widening the actuated table and the service view.
#include "phaseplanner/drawing/TableTemplate.h"

#include "automation/BlockAttributes.h"
#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/Selection.h"
#include "automation/WindowSearch.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/cad/CallEach.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace phaseplanner {

QString TemplateFolder;

namespace {

const QString kFrameLayer = QStringLiteral("000-OSNOWA");

QString templateFolder() {
    if (!TemplateFolder.isEmpty()) return TemplateFolder;
    return common::JoinPath(common::GetParentFolder(QCoreApplication::applicationDirPath()),
                            QStringLiteral("Zasoby"));
}

void ensureSmallScale() {
    const QString name = QStringLiteral("skala_mala");
    if (automation::CheckBlockExists(name)) return;
    const cad::Block b = automation::CadDocument.blocks().add({0, 0, 0}, name);
    for (int x : {0, 1, 2, 3, 5, 6, 7, 8}) b.addLine({double(x), 0, 0}, {double(x), -1, 0});
}

cad::Entity centredText(const cad::Block& space, const QString& text, double x, double y, double height) {
    cad::Entity t = space.addText(text, {x, y, 0}, height);
    t.setAlignment(13);
    t.setTextAlignmentPoint({x, y, 0});
    return t;
}

// A rectangular array of one row and one column is the entity itself (the CAD refuses it).
void arrayOf(const cad::Entity& e, int rows, int columns, double rowSpacing, double columnSpacing) {
    if (rows * columns > 1) e.arrayRectangular(rows, columns, 1, rowSpacing, columnSpacing, 1);
}

// The template's own heading of the head column and its right border at second 160 (x = 175): the
// widened axis runs through both and gets its own.
void eraseNarrowHeadColumn() {
    const QString heading = common::Tlumacz(QStringLiteral("SYGNALIZATORY"));
    automation::HelperSelectionSet set(QStringLiteral("SSOsnowa"));
    cad::SelectionFilter f;
    f.add(-4, QStringLiteral("<or"))
        .add(0, QStringLiteral("TEXT"))
        .add(0, QStringLiteral("LINE"))
        .add(-4, QStringLiteral("or>"))
        .add(8, kFrameLayer);
    set->select(cad::SelectionSet::All, f);
    auto near = [](double a, double b) { return std::abs(a - b) < 1e-6; };
    for (const cad::Entity& e : set->entities()) {
        if (e.objectName() == QLatin1String("AcDbText")) {
            const QString text = e.textString().trimmed();
            if (text == heading || text == QLatin1String("SYGNALIZATORY")) e.erase();
            continue;
        }
        const cad::Point a = e.startPoint(), b = e.endPoint();
        if (near(a.x, 175) && near(b.x, 175)) e.erase();
    }
}

}  // namespace

int TemplateRowsNeeded() {
    return std::max(DefinedGroupCount(), DrawnRowCount());
}

QString TemplateGroupCountText(int groups) {
    if (groups <= 12) return QStringLiteral("12");
    if (groups > 32) return QStringLiteral("44");
    return QString::number(groups % 2 == 0 ? groups : groups + 1);
}

QString TemplateFileName(int groups, bool actuated) {
    return (actuated ? QStringLiteral("Program_akomod_") : QStringLiteral("Program_")) +
           TemplateGroupCountText(groups) + QStringLiteral("grup.dwt");
}

bool TemplateFileExists(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo fi(p);
    if (fi.isFile()) return true;
    const QString wanted = fi.completeBaseName() + QStringLiteral(".dxf");
    const QDir dir(fi.absolutePath());
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool WczytajTabele(int actuated) {
    ProgramWindow& w = MainProgramWindow();
    if (!SettleIntersection()) return false;
    const int rounded = (CycleLength + 9) / 10 * 10;
    const int groups = TemplateRowsNeeded();
    const QString path = common::JoinPath(templateFolder(), TemplateFileName(groups, actuated != 0));
    if (!TemplateFileExists(path)) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie znaleziono formatki:")) + QLatin1Char('\n') + path,
                   ui::Exclamation, w.caption());
        return false;
    }
    try {
        automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    } catch (const cad::Error&) {
        // The window is only brought forward; the table is drawn either way, and a host gone
        // fails the drawing's first call, which says so.
    }
    QCoreApplication::processEvents();
    MaxCycleLength = rounded > 120 ? rounded : 120;
    automation::CadApplication.documents().add(path);
    const int cycle = CycleLength;
    const bool open = automation::CheckDocumentOpen(false);
    if (open) {
        ProgramTableType = actuated != 0 ? -1 : 0;
        UpdateDrawingProgram(MaxCycleLength <= 120);
        // The template's values never replace the program being loaded into it.
        CycleLength = cycle;
        if (rounded > 120) MaxCycleLength = rounded;
        // The new drawing gets its program block now, so the drawing below finds it and never asks
        // for another template.
        if (!automation::CheckBlockExists(ProgramAttributeBlockNameFor(IntersectionNumber)))
            UstawWidoczneAtrybuty(true);
    }
    w.showMaxCycleLength(MaxCycleLength);
    if (actuated != 0 && automation::CheckDocumentOpen(false) && rounded > 120)
        WidenActuatedTable(rounded, common::ParseInteger(TemplateGroupCountText(groups)));
    return DrawProgram(false, open);  // a drawing found open above is not asked for again
}

void ApplyServiceView() {
    // The frame layer is switched when the drawing has it: looked up by a call that answers a
    // missing layer with nothing instead of a failure.
    const cad::Document& d = automation::CadDocument;
    const cad::VariantList found =
        cad::CallEach(d, {cad::Variant(d.layers().ref())}, QStringLiteral("?Item"), {kFrameLayer});
    const cad::Layer frame(d.channel(), found.value(0).toObject());
    if (!frame.isNull()) frame.setLayerOn(!ServiceView);
    if (ServiceView)
        automation::EraseBlockReferences(QStringLiteral("CZASMIEDZYZIELONY_") + IntersectionNumber, false);
}

void WidenActuatedTable(int rounded, int groups) {
    const int k = (rounded - 120) / 5;
    const int g = groups;
    const double h = 8.0 * g + 8;
    const double r = rounded;
    automation::SaveAndSetCadVariables(QStringLiteral("7"), QStringLiteral("Continuous"), 0, 0.0, 1.0);
    automation::EnsureLayer(kFrameLayer, true, -1, -10);
    const cad::Block& ms = automation::CadModelSpace;
    eraseNarrowHeadColumn();
    ms.addLine({r + 55, 286, 0}, {r + 55, 286 - h, 0});
    arrayOf(ms.addLine({140, 283.7, 0}, {140, 286 - h, 0}), 1, k, 1, 5);
    ensureSmallScale();
    arrayOf(ms.insertBlock({136, 283, 0}, QStringLiteral("skala_mala"), 1, 1, 1, 0), 1, k / 2, 4, 10);
    arrayOf(ms.insertBlock({136, 279, 0}, QStringLiteral("skala_mala"), 1, 1, 1, 0), g + 1, k / 2, -8, 10);
    arrayOf(ms.addLine({135, 286, 0}, {r + 55, 286, 0}), 2 * g + 3, 1, -4, 1);
    automation::EnsureTextStyle(QStringLiteral("Standard"), 1, QStringLiteral("arial"), true);
    for (int i = 1; i <= k; ++i) centredText(ms, QString::number(120 + 5 * i), 135 + 5 * i, 283.7, 2);
    centredText(ms, common::Tlumacz(QStringLiteral("SYGNALIZATORY")), r + 35, 282.5, 2.5);
    automation::RestoreCadVariables();
}

void GenerateProgramTemplate(int groups, bool actuated) {
    const cad::Block& ms = automation::CadModelSpace;
    const double h = 8.0 * groups + 8;
    const double bottom = 286 - h;
    automation::EnsureLayer(kFrameLayer, true, 7, -10);
    automation::EnsureTextStyle(QStringLiteral("Standard"), 0, QStringLiteral("arial"), true);
    ensureSmallScale();

    // Frame of the table: label column 0..15, time axis 15..135, signal-head column 135..175.
    ms.addLine({0, 286, 0}, {0, bottom, 0});
    ms.addLine({175, 286, 0}, {175, bottom, 0});
    ms.addLine({15, 286, 0}, {15, bottom, 0});
    ms.addLine({135, 286, 0}, {135, bottom, 0});
    for (int s = 5; s < 120; s += 5) ms.addLine({15.0 + s, 283.7, 0}, {15.0 + s, bottom, 0});
    for (int i = 0; i <= 2 * groups + 2; ++i) {
        const double y = 286 - 4.0 * i;
        ms.addLine({i % 2 == 0 ? 0.0 : 15.0, y, 0}, {175, y, 0});
    }
    for (int j = 0; j < 12; ++j) {
        ms.insertBlock({16.0 + 10 * j, 283, 0}, QStringLiteral("skala_mala"), 1, 1, 1, 0);
        for (int row = 0; row <= groups; ++row)
            ms.insertBlock({16.0 + 10 * j, 279.0 - 8 * row, 0}, QStringLiteral("skala_mala"), 1, 1, 1, 0);
    }
    for (int s = 0; s <= 120; s += 5) centredText(ms, QString::number(s), 15.0 + s, 283.7, 2);
    centredText(ms, QStringLiteral("SYGNALIZATORY"), 155, 282.5, 2.5);
    centredText(ms, QStringLiteral("GRUPA"), 7.5, 281.5, 2.0);

    // Title fields where the program block's visible attributes land (its insertion point is 0,0 for
    // the ordinary table and -195,0 for the actuated one).
    const double tx = actuated ? -195 : 0;
    const double top = 24, low = 8;
    ms.addLightWeightPolyline(
        {{tx + 2, top, 0}, {tx + 175, top, 0}, {tx + 175, low, 0}, {tx + 2, low, 0}, {tx + 2, top, 0}});
    ms.addText(QStringLiteral("Cykl [s]"), {tx + 15, 18, 0}, 2);
    ms.addText(QStringLiteral("Godziny pracy"), {tx + 41, 18, 0}, 2);
    ms.addText(QStringLiteral("Offset [s]"), {tx + 73.5, 18, 0}, 2);
    ms.addText(actuated ? QStringLiteral("PROGRAM SYGNALIZACJI AKOMODACYJNY")
                        : QStringLiteral("PROGRAM SYGNALIZACJI"),
               {tx + 100, 18, 0}, 2.5);
    // Outer frame of the sheet.
    const double left = actuated ? -200 : -10;
    const double lowest = std::min(low, bottom) - 10;
    ms.addLightWeightPolyline(
        {{left, 300, 0}, {190, 300, 0}, {190, lowest, 0}, {left, lowest, 0}, {left, 300, 0}});

    // The older drawing attribute block: only the group rows and the longest cycle, so the loading
    // never copies over the user's own values.
    const QString oldName = QStringLiteral("ATRYBUTY_RYSUNKU");
    const cad::Block b = automation::CadDocument.blocks().add({0, 0, 0}, oldName);
    automation::AddAttributeDefinition(b, QStringLiteral("X_POCZ"), QStringLiteral("0"), 0, 0);
    automation::AddAttributeDefinition(b, QStringLiteral("Y_POCZ"), QStringLiteral("0"), 0, 0);
    automation::AddAttributeDefinition(b, QStringLiteral("ILOSC_GRUP"), QString::number(groups), 0, 0);
    automation::AddAttributeDefinition(b, QStringLiteral("DLUG_CYKLU_MAX"), QStringLiteral("120"), 0, 0);
    automation::EnsureLayer(QStringLiteral("002-OPISY"), false, -1, -10);
    ms.insertBlock({0, 0, 0}, oldName, 1, 1, 1, 0).setLayer(QStringLiteral("002-OPISY"));
}

}  // namespace phaseplanner
