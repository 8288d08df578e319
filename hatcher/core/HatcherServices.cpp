// The drawing services and the progress bar of hatcher.
#include "hatcher/core/HatcherServices.h"

#include "automation/Automation.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "platform/cad/BulkReads.h"
#include "platform/ui/core/Prompt.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace hatcher {

using automation::CadDocument;
using automation::CadModelSpace;

ProgressBar* ProgressBarControl = nullptr;
int StageCount = 0;
int CurrentStage = 0;
double ProgressValue = 0;
double StepSize = 0;

QString GetTemplateFolder(const QString& suiteFolder, int code) {
    if (code == 0) return common::JoinPath(suiteFolder, QStringLiteral("Tesmar\\Zasoby"));
    if (code == 1) return common::JoinPath(suiteFolder, QStringLiteral("Zasoby\\System\\Formatki"));
    ui::MsgBox(
        common::Tlumacz(QStringLiteral("Niewłaściwie zdefiniowane odwołanie do folderu aplikacj Vilmar")),
        ui::OkOnly, QLatin1String(ProgramTitleText));
    return {};
}

QString GetSuiteFolder(const QString& programFolder) {
    return common::GetParentFolder(common::GetParentFolder(programFolder));
}

void LoadBlockFromDrawingFile(const QString& blockName, const QString& filePath, const QString& ownerCaption,
                              const QString& /*description*/) {
    if (automation::CheckBlockExists(blockName)) return;
    bool failed = !common::CheckFileExists(filePath);
    if (!failed) {
        try {
            // The file's reference only brings its blocks into the drawing; it goes again at once.
            const cad::Entity r = CadModelSpace.insertBlock(cad::Point{0, 0, 0}, filePath, 1, 1, 1, 0);
            const cad::Block block = automation::GetBlockDefinition(blockName);  // null: the file lacks it
            if (!block.isNull()) AddTransitionAttributes(block);
            r.erase();
        } catch (const cad::Error&) {
            failed = true;
        }
    }
    if (failed)
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie znaleziono pliku ze znakiem: ")) +
                       QStringLiteral("\n") + common::ShortForMessage(filePath),
                   ui::Exclamation, ownerCaption.isEmpty() ? QLatin1String(ProgramTitleText) : ownerCaption);
}

void AddTransitionAttributes(const cad::Block& block) {
    // The tags the block's attribute definitions have already.
    const cad::VariantList rows =
        cad::ReadProperties(CadDocument, {cad::Variant(block.ref())}, {},
                            {QStringLiteral("ObjectName"), QStringLiteral("?TagString")});
    QStringList present;
    for (const cad::Variant& part : rows.value(0).toArray().value(0).toArray()) {
        const cad::VariantList p = part.toArray();
        if (p.value(1).toText() == QLatin1String("AcDbAttributeDefinition"))
            present << p.value(2).toText().toUpper();
    }
    for (const QString& tag : {QStringLiteral("SKRZYZOWANIE"), QStringLiteral("OPIS")})
        if (!present.contains(tag)) automation::AddAttributeDefinition(block, tag, QString(), 0, 0);
}

bool FindBlockReferenceByAttribute(const QString& namePattern, cad::Entity& found, const QString& tag,
                                   const QString& value, const QString& effectiveName) {
    // A search the CAD stops is no "not found": its failure reaches the caller's trap.
    bool result = false;
    automation::HelperSelectionSet set(QStringLiteral("SSObject"));
    set->select(cad::SelectionSet::All, automation::BuildSelectionFilter({2, namePattern}));
    for (const cad::Entity& r : set->entities()) {
        if (!r.hasAttributes()) continue;
        if (!effectiveName.isEmpty() && r.effectiveName().compare(effectiveName, Qt::CaseInsensitive) != 0)
            continue;
        for (const cad::Entity& a : r.attributes())
            if (a.tagString().compare(tag, Qt::CaseInsensitive) == 0 &&
                a.textString().compare(value, Qt::CaseInsensitive) == 0) {
                found = r;
                result = true;
                break;
            }
        if (result) break;
    }
    return result;
}

void SetAttributeTextPlacement(const cad::Entity& reference, const QString& tag, const cad::Point& point,
                               double rotation, double height, bool visible, const QString& styleName,
                               const QString& layer, int alignment) {
    if (reference.objectName() != QLatin1String("AcDbBlockReference") || !reference.hasAttributes()) return;
    for (const cad::Entity& a : reference.attributes()) {
        if (a.tagString().compare(tag, Qt::CaseInsensitive) != 0) continue;
        if (!visible) {
            a.setInvisible(true);
        } else {
            a.setInvisible(false);
            if (rotation != -1) a.setRotation(rotation);
            a.setInsertionPoint(point);
            if (!styleName.isEmpty()) a.setStyleName(styleName);
            a.setHeight(height);
            if (!layer.isEmpty()) a.setLayer(layer);
            a.setColor(7);
            if (alignment >= 0) {
                a.setAlignment(alignment);
                if (alignment != 0) a.setTextAlignmentPoint(point);
            }
        }
        a.update();
        break;
    }
    reference.update();
}

void SaveAndSetCadVariables(const QString& colour, const QString& linetype, double lineweight,
                            double baseAngle) {
    automation::SaveAndSetCadVariables(colour, linetype, lineweight, baseAngle, cad::Variant(), false);
}

void RestoreCadVariables() {
    try {
        automation::RestoreCadVariables();
    } catch (const cad::ConnectionLost&) {
        throw;  // the window's guard says the CAD is gone
    } catch (const cad::Error&) {
        // A value the CAD refuses stays as the command set it (a layer, a pen), which the user sees
        // in the CAD; the others are back, and the command's own work is done.
    }
}

QString ReadActiveDrawingCustomProperties(const QString& key) {
    return automation::GetDrawingProperty(key);
}

namespace {
void show(double value) {
    if (!ProgressBarControl) return;
    const int v = int(std::lround(value));
    ProgressBarControl->setValue(std::clamp(v, 0, std::max(0, ProgressBarControl->maximum())));
}
}  // namespace

void ProgressInit(int stages, ProgressBar& bar) {
    ProgressBarControl = &bar;
    StageCount = stages;
    bar.setMaximum(stages * 100);
    ProgressValue = 0;
    bar.setValue(0);
    CurrentStage = 0;
}

void ProgressSetStepCount(int steps) {
    StepSize = 100.0 / std::max(1, steps);
}

void ProgressStep() {
    // The inexact step size must not carry the value past the stage's end.
    ProgressValue = std::min(ProgressValue + StepSize, (CurrentStage + 1) * 100.0);
    show(ProgressValue);
}

void ProgressNextStage() {
    ++CurrentStage;
    ProgressValue = CurrentStage * 100.0;
    show(ProgressValue);
}

}  // namespace hatcher
