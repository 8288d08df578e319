// Intersection numbers and the intersection attribute block.
#include "conflictor/streams/Intersections.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/Picking.h"
#include "automation/Selection.h"
#include "automation/WindowSearch.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

QString IntersectionNumber;
double DrawingScaleFactor = 0.001;

bool SprawdzSkrzyzowania() {
    StreamWindow& window = MainWindow();
    window.IntersectionComboActive = false;
    struct ComboActive {
        StreamWindow& w;
        ~ComboActive() { w.IntersectionComboActive = true; }
    } comboActive{window};
    window.clearIntersections();

    const int prefixLength = int(IntersectionBlockPrefix().size());
    bool currentFound = false;
    {
        SetGuard ss(QStringLiteral("SSAtrStrum"));
        for (const cad::Entity& ref : ss.select(InsertFilter(IntersectionBlockPrefix() + QLatin1Char('*')))) {
            const QString number = ref.name().mid(prefixLength);
            if (number.isEmpty()) continue;
            if (IntersectionNumber.isEmpty()) IntersectionNumber = number;
            if (number.compare(IntersectionNumber, Qt::CaseInsensitive) == 0) currentFound = true;
            window.addIntersection(number);
        }
    }
    if (window.intersectionCount() == 0) return false;
    if (currentFound) {
        for (int i = 0; i < window.intersectionCount(); ++i)
            if (window.intersectionText(i).compare(IntersectionNumber, Qt::CaseInsensitive) == 0)
                window.selectIntersection(i);
    } else {
        window.selectIntersection(0);
    }
    return true;
}

bool AskIntersectionNumber(bool makeCurrent) {
    StreamWindow& window = MainWindow();
    QString answer = ui::InputBox(common::Tlumacz(QStringLiteral("Podaj numer skrzyżowania:")),
                                  window.caption(), QString());
    answer = answer.trimmed();
    answer.remove(QLatin1Char(' '));
    if (answer.isEmpty()) return false;
    if (!common::IsValidIntersectionNumber(answer)) {
        ui::MsgBox(common::Tlumacz(
                       QStringLiteral("Numer skrzyżowania może zawierać tylko litery, cyfry i znak \"-\".")),
                   ui::Exclamation, window.caption());
        return false;
    }
    window.addIntersection(answer);
    if (makeCurrent) IntersectionNumber = answer;
    window.selectIntersection(window.intersectionCount() - 1);
    return true;
}

bool CheckIntersectionNumber() {
    if (!IntersectionNumber.isEmpty()) return true;
    StreamWindow& window = MainWindow();
    window.focusIntersectionCombo();
    ui::MsgBox(common::Tlumacz(QStringLiteral("Nieprawidłowy numer skrzyżowania!")), ui::Exclamation,
               window.caption());
    return false;
}

bool DodajAtrStrumieni(const QString& blockName, QString& handle) {
    handle.clear();
    cad::Entity existing;
    if (automation::FindFirstInsert(PatternText(blockName), existing)) {
        handle = existing.handle();
        return true;
    }
    StreamWindow& window = MainWindow();
    // The block is drawn at the drawing's scale: an unreadable "SKALA" is said before the pick.
    if (!automation::LoadDrawingScale(window.caption())) return false;
    const QString prompt =
        common::Tlumacz(QStringLiteral("Wskaż położenie bloku z atrybutami skrzyżowania."));
    window.showWindow();
    ui::MsgBox(prompt, ui::Exclamation, window.caption());
    window.hideWindow();
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    window.setStatusText(prompt);
    const common::PlanePoint picked = automation::PickPoint(prompt);
    struct PanelBack {
        StreamWindow& w;
        ~PanelBack() { w.setStatusText(w.statusDefaultText()); }
    } panelBack{window};
    if (picked.X >= common::MissingCoordinate) return false;

    DrawingScaleFactor = automation::DrawingScale / 1000.0;
    automation::EnsureTextStyle(QStringLiteral("SYGN_TXT"), 1.5, QStringLiteral("arial"), true);

    const cad::Document& doc = automation::CadDocument;
    if (!automation::CheckBlockExists(blockName)) {
        const cad::Block block = doc.blocks().add(cad::Point{0, 0, 0}, blockName);
        const cad::Entity frame = block.addLightWeightPolyline({cad::Point{0, 0, 0}, cad::Point{0, 4000, 0},
                                                                cad::Point{8000, 4000, 0},
                                                                cad::Point{8000, 0, 0}, cad::Point{0, 0, 0}});
        frame.setColor(0);
        const cad::Entity text = block.addText(IntersectionNumber, cad::Point{0, 0, 0}, 2500);
        text.setColor(0);
        text.setAlignment(13);
        text.setTextAlignmentPoint(cad::Point{4000, 0, 0});
        for (const QString& tag : StreamAttributeTagNames())
            automation::AddAttributeDefinition(block, tag, QString(), 0, 0);
    }
    const cad::Entity ref =
        doc.modelSpace().insertBlock(cad::Point{picked.X, picked.Y, 0}, blockName, DrawingScaleFactor,
                                     DrawingScaleFactor, DrawingScaleFactor, 0);
    const QString layer = QStringLiteral("113-STRUMIENIE_RUCHU");
    automation::EnsureLayer(layer, false, 5, 30);
    ref.setLayer(layer);
    ref.setColor(5);
    handle = ref.handle();
    return true;
}

}  // namespace conflictor
