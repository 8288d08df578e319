// Drawing properties: custom properties keep their order; keys compare without regard to case.
#include "platform/cad/engine/SummaryInfo.h"

#include "platform/cad/engine/Tables.h"

namespace cad::db {

int SummaryInfo::indexOf(const QString& key) const {
    const QString k = nameKey(key);
    for (size_t i = 0; i < custom_.size(); ++i)
        if (nameKey(custom_[i].first) == k) return int(i);
    return -1;
}

QString SummaryInfo::customByKey(const QString& key) const {
    const int i = indexOf(key);
    if (i < 0) throw NotFound(QStringLiteral("Brak właściwości niestandardowej %1").arg(key));
    return custom_[size_t(i)].second;
}

void SummaryInfo::setCustomByKey(const QString& key, const QString& value) {
    const int i = indexOf(key);
    if (i < 0) throw NotFound(QStringLiteral("Brak właściwości niestandardowej %1").arg(key));
    custom_[size_t(i)].second = value;
}

void SummaryInfo::addCustom(const QString& key, const QString& value) {
    if (key.isEmpty()) throw InvalidArgument(QStringLiteral("Pusta nazwa właściwości niestandardowej"));
    if (indexOf(key) >= 0)
        throw AlreadyExists(QStringLiteral("Właściwość niestandardowa %1 już istnieje").arg(key));
    custom_.emplace_back(key, value);
}

std::pair<QString, QString> SummaryInfo::customAt(int index) const {
    if (index < 0 || index >= customCount())
        throw NotFound(QStringLiteral("Brak właściwości niestandardowej %1").arg(index));
    return custom_[size_t(index)];
}

void SummaryInfo::removeCustomAt(int index) {
    if (index < 0 || index >= customCount())
        throw NotFound(QStringLiteral("Brak właściwości niestandardowej %1").arg(index));
    custom_.erase(custom_.begin() + index);
}

void SummaryInfo::removeCustomByKey(const QString& key) {
    const int i = indexOf(key);
    if (i < 0) throw NotFound(QStringLiteral("Brak właściwości niestandardowej %1").arg(key));
    custom_.erase(custom_.begin() + i);
}

}  // namespace cad::db
