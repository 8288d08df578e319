// Editing a text's value: a text, a multiline text or an attribute of a block reference, chosen by
// "_ddedit" or a double-click, changed in an input box holding the current value.
#pragma once

#include "platform/cad/model/ObjectModel.h"

class QWidget;

namespace cadhost {

// The text an entity clicked at a point shows: the entity itself when it is a text, else the
// attribute of a block reference standing nearest the point; nullptr when there is none.
cad::db::Entity* EditableTextAt(cad::db::Database& db, cad::db::Entity* clicked, const cad::Point& at);
// Asks for the new value and sets it (a multiline text's lines in a box over `parent`); returns a
// note for the user (empty when nothing changed).
QString EditTextValue(cad::ObjectModel& model, cad::DocumentState* doc, cad::db::Entity* text,
                      QWidget* parent = nullptr);

}  // namespace cadhost
