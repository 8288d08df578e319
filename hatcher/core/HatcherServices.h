// The small drawing services of hatcher: the resource folder, its variant of saving the CAD
// variables, loading a block from a drawing file, finding a reference by an attribute, placing an
// attribute's text, the drawing's custom properties and the staged progress bar.
#pragma once

#include "hatcher/core/HatcherForm.h"

#include "platform/cad/Block.h"
#include "platform/cad/Entity.h"

namespace hatcher {

// The program title: INI section and message title.
inline constexpr const char* ProgramTitleText = "Vilmar Kreskowanie";

// Code 0: "Tesmar/Zasoby" under the suite folder; code 1: "Zasoby/System/Formatki"; any other code
// shows a message and gives "".
QString GetTemplateFolder(const QString& suiteFolder, int code);
// The suite folder: two levels above the program folder.
QString GetSuiteFolder(const QString& programFolder);

// Makes the block available in the active drawing by inserting the drawing file once (its nested
// blocks come with it); reports a missing or unusable file with the caption of `ownerCaption`.
void LoadBlockFromDrawingFile(const QString& blockName, const QString& filePath, const QString& ownerCaption,
                              const QString& description);
// The attribute definitions SKRZYZOWANIE and OPIS (hidden, preset, empty); a tag the block already
// defines is not added twice.
void AddTransitionAttributes(const cad::Block& block);
// The first reference of the pattern (and of the effective name, when given) with an attribute
// tag = value, both ignoring case.
bool FindBlockReferenceByAttribute(const QString& namePattern, cad::Entity& found, const QString& tag,
                                   const QString& value, const QString& effectiveName);
// Shows (or hides) one attribute of a reference and places its text; rotation -1 keeps the rotation.
void SetAttributeTextPlacement(const cad::Entity& reference, const QString& tag, const cad::Point& point,
                               double rotation, double height, bool visible, const QString& styleName,
                               const QString& layer, int alignment);
// hatcher's save of the CAD variables: CELTSCALE is left alone.
void SaveAndSetCadVariables(const QString& colour, const QString& linetype, double lineweight,
                            double baseAngle);
void RestoreCadVariables();
// The value of a custom property of the active drawing; "" when missing.
QString ReadActiveDrawingCustomProperties(const QString& key);

// The staged progress bar: stage s covers s × 100 .. (s + 1) × 100; values are kept in the bar's range.
extern ProgressBar* ProgressBarControl;
extern int StageCount;
extern int CurrentStage;
extern double ProgressValue;
extern double StepSize;
void ProgressInit(int stages, ProgressBar& bar);
void ProgressSetStepCount(int steps);
void ProgressStep();
void ProgressNextStage();

}  // namespace hatcher
