// Filling the windows' lists from the list files: streets and intersections of the city (with the
// entry remembered in the drawing selected), applicants and contractors.
#pragma once

#include <QString>

class QComboBox;

namespace headplacer {

QString StreetListPath();
QString IntersectionListPath();
void LoadStreetList(QComboBox* list);
void LoadIntersectionList(QComboBox* list);
// Each non-empty line of the file; the combo is cleared first, so a dialog filled again has no
// duplicates. False after the message when the file is missing.
bool LoadLineList(QComboBox* list, const QString& fileName);
// "OSTULICA" and "ONUMERSKRZYZ" of the open drawing; "" without one.
QString GetLastStreet();
QString GetIntersectionProperty();

}  // namespace headplacer
