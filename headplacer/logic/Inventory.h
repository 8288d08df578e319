// The inventory data of a placed head: which attribute of the head and of its screen gets which
// value, the date form "yyyy.MM.dd", and writing them with the street and the remembered values.
#pragma once

#include "platform/cad/Entity.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace headplacer {

// What the user enters in the inventory dialog.
struct InventoryValues {
    QString EnteredBy;
    QString StreetName;
    QString Applicant;
    QString Contractor;
    QString RealisationDate;
    QString OrderDate;
    QString OrderNumber;
    QString InventoryDate;
    QString Remarks;
};

using AttributeValues = QList<QPair<QString, QString>>;  // tag, value

// The one date format of the inventory, shown by the dialog's pickers and written into the
// attributes, whatever the locale the program runs in.
inline constexpr const char* InventoryDateFormat = "yyyy.MM.dd";
QString FormatInventoryDate(const QDate& date);
// The head's tags and values from the program-wide head values and the dialog's values.
AttributeValues HeadAttributeValues(const InventoryValues& values);
// The screen's tags: the inventory number, the intersection and the eight dialog tags.
AttributeValues ScreenAttributeValues(const InventoryValues& values);
// Writes every non-empty value into the reference's attribute of that tag (upper-cased); an empty
// value leaves the attribute as it was. Returns how many were written; updates the reference.
int WriteAttributeValues(const cad::Entity& reference, const AttributeValues& values);
// Writes the head's (and, with a screen, the screen's) attributes, the street property and the
// remembered operator, order number and orientation. What could not be written, each named with
// the CAD's reason; a lost CAD host throws cad::ConnectionLost.
QStringList ApplyInventory(const InventoryValues& values);

}  // namespace headplacer
