#include "platform/cad/engine/BlockNesting.h"

namespace cad::db {

namespace {

// A block name from a file, as a message quotes it: bounded, so a hostile name cannot fill the screen.
QString quotedName(const QString& name) {
    constexpr int Limit = 40;
    QString shown = name.size() > Limit ? name.left(Limit) + QChar(0x2026) : name;
    shown.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

}  // namespace

QString nestingLeftOutNote(long long count) {
    if (count <= 0) return {};
    return QStringLiteral("Nie narysowano wstawień bloków: %1 (blok wstawiony w samego siebie lub zagnieżdżony "
                          "głębiej niż %2 poziomów).")
        .arg(count)
        .arg(MaxBlockNesting);
}

QString selfInsertionNote(const QStringList& cycle) {
    if (cycle.isEmpty()) return {};
    QString note = QStringLiteral("Blok %1 wstawia sam siebie").arg(quotedName(cycle.front()));
    if (cycle.size() == 1) return note;
    QStringList through;
    for (qsizetype i = 1; i < cycle.size(); ++i) through << quotedName(cycle[i]);
    return note + (through.size() == 1 ? QStringLiteral(" (przez blok %1)") : QStringLiteral(" (przez bloki %1)"))
                      .arg(through.join(QStringLiteral(", ")));
}

}  // namespace cad::db
