// List loaders of the head window and the inventory dialog.
#include "headplacer/app/ListLoaders.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/ListFiles.h"
#include "headplacer/logic/TextTools.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QFile>

namespace headplacer {

namespace {

void fillWithMemory(QComboBox* list, const QString& path, const QString& message, const QString& remembered,
                    bool byNumber) {
    QStringList items;
    if (!ReadListItems(path, true, items)) {
        ui::MsgBox(QStringLiteral("%1\n[%2]\n%3").arg(message, common::ShortForMessage(path), CityListsConfiguredText()),
                   ui::Exclamation, MessageTitle());
    }
    for (const QString& raw : items) {
        const QString item = byNumber ? raw : raw.trimmed();
        if (item.trimmed().isEmpty()) continue;
        list->addItem(item);
    }
    // The field shows what the drawing remembers: its list entry where one matches (the last such),
    // otherwise the value itself; with nothing remembered it stays empty. Never an entry nobody chose:
    // the accept takes what the field shows and writes it into the drawing.
    int match = -1;
    for (int i = 0; i < list->count() && !remembered.isEmpty(); ++i) {
        QString entry = list->itemText(i);
        const QString key = byNumber ? TakeFirstToken(entry, QStringLiteral(" ")) : entry;
        if (key == remembered) match = i;
    }
    list->setCurrentIndex(match);
    if (match < 0) list->setEditText(remembered);
}
}  // namespace

QString StreetListPath() {
    return common::JoinPath(GetResourceFolder(CityDataFolder, 15), QStringLiteral("Ulice.lst"));
}

QString IntersectionListPath() {
    return common::JoinPath(GetResourceFolder(CityDataFolder, 15), QStringLiteral("Skrzyzowania.lst"));
}

QString GetLastStreet() {
    if (!automation::CheckDocumentOpen(true)) return QString();
    return automation::GetDrawingProperty(QStringLiteral("OSTULICA")).trimmed();
}

QString GetIntersectionProperty() {
    if (!automation::CheckDocumentOpen(true)) return QString();
    return automation::GetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"));
}

void LoadStreetList(QComboBox* list) {
    fillWithMemory(list, StreetListPath(), QStringLiteral("Nie można przeczytać listy ulic."),
                   GetLastStreet(), false);
}

void LoadIntersectionList(QComboBox* list) {
    fillWithMemory(list, IntersectionListPath(), QStringLiteral("Nie można przeczytać listy skrzyżowań."),
                   GetIntersectionProperty(), true);
}

bool ReadSuiteList(const QString& fileName, QStringList& items) {
    const QString path = common::JoinPath(ListFolder(), fileName);
    if (!QFile::exists(path)) {
        ui::MsgBox(QStringLiteral("Nie znaleziono pliku z listą: \n[%1]").arg(path), ui::Exclamation,
                   MessageTitle());
        return false;
    }
    return ReadListItems(path, false, items);
}

std::optional<QStringList> SuiteListItems(const QString& fileName) {
    QStringList items, offered;
    if (!ReadSuiteList(fileName, items)) return std::nullopt;
    for (const QString& item : items)
        if (!item.trimmed().isEmpty()) offered << item.trimmed();
    return offered;
}

std::optional<QList<std::pair<QString, QString>>> SuiteListPairs(const QString& fileName) {
    QStringList items;
    if (!ReadSuiteList(fileName, items)) return std::nullopt;
    QList<std::pair<QString, QString>> offered;
    for (int i = 0; i + 1 < items.size(); i += 2) {
        const QString name = items[i].trimmed(), code = items[i + 1].trimmed();
        if (!name.isEmpty() && !code.isEmpty()) offered.append({name, code});
    }
    return offered;
}

void FillFromSuiteList(QComboBox* list, const QString& fileName) {
    const std::optional<QStringList> items = SuiteListItems(fileName);
    if (!items) return;
    list->clear();
    list->addItems(*items);
    if (list->count() > 0) list->setCurrentIndex(0);
}

bool LoadLineList(QComboBox* list, const QString& fileName) {
    const QString path = common::JoinPath(ListFolder(), fileName);
    if (!QFile::exists(path)) {
        ui::MsgBox(QStringLiteral("Nie znaleziono pliku z listą: \n[%1]").arg(path), ui::Exclamation,
                   MessageTitle());
        return false;
    }
    QStringList lines;
    if (!ReadListLines(path, lines)) return false;
    list->clear();
    for (const QString& l : lines)
        if (list->findText(l, Qt::MatchExactly) < 0) list->addItem(l);
    if (list->count() > 0) list->setCurrentIndex(0);
    return true;
}

}  // namespace headplacer
