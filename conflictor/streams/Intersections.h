// The intersections of a drawing: the current intersection number, the listing of the drawing's
// intersection attribute blocks into the main window's combo, the question for a new number and the
// creation of an intersection's attribute block.
#pragma once

#include <QString>

namespace conflictor {

// Module state: the current intersection's number (empty while none is chosen) and the drawing
// scale over 1000, the factor of blocks drawn in thousandths of a drawing unit.
extern QString IntersectionNumber;
extern double DrawingScaleFactor;

// Name prefix of the intersection attribute blocks.
inline QString IntersectionBlockPrefix() {
    return QStringLiteral("ATRYBUTY_STRUMIENI_");
}

// True when an intersection is chosen; otherwise the combo takes the focus and the user is told
// "Nieprawidłowy numer skrzyżowania!".
bool CheckIntersectionNumber();

// Refills the combo with the numbers of the drawing's attribute block references and selects the
// current one; takes the first as current when none is. True when a number was listed.
bool SprawdzSkrzyzowania();
// Asks for a new number (spaces removed) and adds it to the combo; with `makeCurrent` it also becomes
// IntersectionNumber. False when nothing was given.
bool AskIntersectionNumber(bool makeCurrent);
// Makes sure a reference of the attribute block exists, asking for its place and creating block and
// reference when none does. `handle` receives the reference's handle (empty on failure).
bool DodajAtrStrumieni(const QString& blockName, QString& handle);

}  // namespace conflictor
