// Blocks, layers, linetypes, text and dimension styles, colours, draw order and removal of entities
// in the current drawing (`CadDocument`). Where the CAD fails only because the named thing does not
// exist, the result is a plain "no"; every other failure reaches the caller.
#pragma once

#include "platform/cad/Document.h"

#include <QString>

namespace automation {

// The colour object used for true colours; created on first use and again when no longer live.
extern cad::Color CadColourObject;

// The block definition of that name; a null block when it does not exist.
cad::Block GetBlockDefinition(const QString& name);
bool CheckBlockExists(const QString& name);  // model and paper space never count as blocks
// The same in the block table the caller has already.
bool CheckBlockExists(const cad::Blocks& blocks, const QString& name);
bool CheckLinetypeExists(const QString& name);
bool CheckLayerExists(const QString& name);
// The layer of that name, or a null one when the drawing has none.
cad::Layer FindLayer(const QString& name);
// prefix & n for the first n above the block count that names no block.
QString MakeUniqueBlockName(const QString& prefix);
// A hidden, preset attribute definition (height 3.5, mode 9, empty prompt) at (x, y, 0).
cad::Entity AddAttributeDefinition(const cad::Block& container, const QString& tag, const QString& value,
                                   double x, double y);

// An attribute definition as the block's AddAttribute makes it; by default hidden and preset (mode
// 9), 3.5 high, without a prompt, at the block's origin.
struct AttributeSpec {
    QString tag, value;
    double height = 3.5;
    int mode = 9;
    QString prompt;
    cad::Point at{0, 0, 0};
};
// Adds the definitions to the block in their order, by one call of the drawing for them all; the
// new definitions, in that order. The first failure is thrown, the definitions before it made.
QList<cad::Entity> AddAttributeDefinitions(const cad::Block& container, const QList<AttributeSpec>& specs);

// True when the style exists (given back in `style`); with the flag it becomes the active text style.
bool ActivateTextStyle(const QString& name, cad::TextStyle& style, bool makeActive);
// Adds the style with that height and font when missing; an existing style keeps both.
void EnsureTextStyle(const QString& name, double height, const QString& fontName, bool makeActive);
// The text style of that name; a null style when it does not exist (a failure of anything else is
// not taken for a missing style: it reaches the caller).
cad::TextStyle FindTextStyle(const QString& name);
// True when a dimension style of that name exists (given back in `style`).
bool GetDimensionStyle(const QString& name, cad::DimStyle& style);
// Text style (flag true, made active on request) or dimension style (never made active) of that
// name; false when it does not exist or any call fails.
bool ActivateTextAndDimStyle(const QString& name, cad::Object& style, bool textStyle, bool makeActive);

// Adds the layer when missing (colour above -1 and lineweight above -10 applied to a new layer only);
// with the flag the layer is switched on and made the active layer. Without a colour or lineweight
// the layer is only added (adding an existing one gives it back unchanged), never looked up.
void EnsureLayer(const QString& name, bool makeActive, int colour = -1, int lineweight = -10);
// True when the linetype is present or loads from the CAD's own linetype file.
bool EnsureLinetypeLoaded(const QString& name);

// A colour index, or with the RGB flag a packed colour (red in the low byte) as a true colour.
void SetEntityColour(const cad::Object& object, qint64 colour, bool rgb);

// The draw-order table of model space, created when missing; false when it cannot be had.
bool GetSortentsTable(cad::SortentsTable& table);
void MoveObjectsToTop(const QList<cad::Entity>& entities);
void MoveObjectToTop(const cad::Entity& entity);
// Hidden, moved by a zero vector, then deleted.
void DeleteEntity(const cad::Entity& entity);

}  // namespace automation
