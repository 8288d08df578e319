// Filling the windows' lists from the list files: streets and intersections of the city (with the
// entry remembered in the drawing selected), applicants and contractors.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class QComboBox;

namespace headplacer {

QString StreetListPath();
QString IntersectionListPath();
void LoadStreetList(QComboBox* list);
void LoadIntersectionList(QComboBox* list);
// The items of a list file of the suite (aZasoby/Listy), without comment lines; false after the
// message "Nie znaleziono pliku z listą" when it is missing.
bool ReadSuiteList(const QString& fileName, QStringList& items);
// What a suite list file offers, as its window's list shows it: the non-empty items, or the
// name-and-code pairs that have both halves. Nothing after the message when the file is missing.
std::optional<QStringList> SuiteListItems(const QString& fileName);
std::optional<QList<std::pair<QString, QString>>> SuiteListPairs(const QString& fileName);
// The combo filled with the non-empty items of a suite list file, the first shown.
void FillFromSuiteList(QComboBox* list, const QString& fileName);
// Each non-empty line of the file; the combo is cleared first, so a dialog filled again has no
// duplicates. False after the message when the file is missing.
bool LoadLineList(QComboBox* list, const QString& fileName);
// "OSTULICA" and "ONUMERSKRZYZ" of the open drawing; "" without one.
QString GetLastStreet();
QString GetIntersectionProperty();

}  // namespace headplacer
