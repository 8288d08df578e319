// The drawing properties: title, subject, author, keywords, comments and the custom properties,
// whose stored order is kept (the programs walk them by index).
#pragma once

#include "platform/cad/engine/Errors.h"

#include <QString>
#include <utility>
#include <vector>

namespace cad::db {

class SummaryInfo {
public:
    QString title, subject, author, keywords, comments;
    QString lastSavedBy, revisionNumber, hyperlinkBase;

    // Number of custom properties.
    int customCount() const { return int(custom_.size()); }
    // Value of the custom property with that key (keys compare without regard to case);
    // throws cad::NotFound when absent.
    QString customByKey(const QString& key) const;
    // True when a custom property with that key exists.
    bool hasCustom(const QString& key) const { return indexOf(key) >= 0; }
    // Sets an existing custom property; throws cad::NotFound when the key is absent.
    void setCustomByKey(const QString& key, const QString& value);
    // Adds a property at the end; throws cad::AlreadyExists for a key present and
    // cad::InvalidArgument for an empty key.
    void addCustom(const QString& key, const QString& value);
    // Key and value at a 0-based index; throws cad::NotFound outside the range.
    std::pair<QString, QString> customAt(int index) const;
    // Removes the property at a 0-based index; throws cad::NotFound outside the range.
    void removeCustomAt(int index);
    // Removes the property with that key; throws cad::NotFound when absent.
    void removeCustomByKey(const QString& key);
    // All custom properties in order.
    const std::vector<std::pair<QString, QString>>& custom() const { return custom_; }
    // Index of the key, or -1.
    int indexOf(const QString& key) const;

private:
    std::vector<std::pair<QString, QString>> custom_;
};

}  // namespace cad::db
