// Drawing properties: the fixed fields and the ordered custom properties.
#pragma once

#include "platform/cad/Object.h"

namespace cad {

class SummaryInfo : public Object {
public:
    using Object::Object;
    // Raises NotFound for an absent key.
    QString getCustomByKey(const QString& key) const {
        return invoke(QStringLiteral("GetCustomByKey"), {key}).toText();
    }
    void setCustomByKey(const QString& key, const QString& value) const {
        invoke(QStringLiteral("SetCustomByKey"), {key, value});
    }
    void addCustomInfo(const QString& key, const QString& value) const {
        invoke(QStringLiteral("AddCustomInfo"), {key, value});
    }
    int numCustomInfo() const { return int(get(QStringLiteral("NumCustomInfo")).toInt()); }
    // 0-based, in stored order: key and value.
    std::pair<QString, QString> getCustomByIndex(int index) const {
        const VariantList a = invoke(QStringLiteral("GetCustomByIndex"), {index}).toArray();
        return {a.value(0).toText(), a.value(1).toText()};
    }
    void removeCustomByIndex(int index) const { invoke(QStringLiteral("RemoveCustomByIndex"), {index}); }
    void removeCustomByKey(const QString& key) const { invoke(QStringLiteral("RemoveCustomByKey"), {key}); }

    QString title() const { return get(QStringLiteral("Title")).toText(); }
    void setTitle(const QString& v) const { put(QStringLiteral("Title"), v); }
    QString subject() const { return get(QStringLiteral("Subject")).toText(); }
    void setSubject(const QString& v) const { put(QStringLiteral("Subject"), v); }
    QString author() const { return get(QStringLiteral("Author")).toText(); }
    void setAuthor(const QString& v) const { put(QStringLiteral("Author"), v); }
    QString keywords() const { return get(QStringLiteral("Keywords")).toText(); }
    void setKeywords(const QString& v) const { put(QStringLiteral("Keywords"), v); }
    QString comments() const { return get(QStringLiteral("Comments")).toText(); }
    void setComments(const QString& v) const { put(QStringLiteral("Comments"), v); }
};

}  // namespace cad
