// Phase references of a green as text.
#include "phaseplanner/editor/PhasePairs.h"

#include "common/NumberText.h"

#include <QStringList>

namespace phaseplanner {

QString FormatSignalPhasePairs(const GreenInterval& green) {
    QString result;
    for (int i = 0; i <= green.LastPhase && i < MaxPhaseRefs; ++i) {
        if (!result.isEmpty()) result += QStringLiteral(", ");
        result += QString::number(green.Phases[i].Phase) + QStringLiteral(" (") +
                  QString::number(green.Phases[i].Position) + QLatin1Char(')');
    }
    return result;
}

void ParseSignalPhasePairs(GreenInterval& green, const QString& text) {
    green.LastPhase = -1;
    if (text.isEmpty()) return;
    const QStringList pieces = text.split(QStringLiteral(", "));
    for (const QString& piece : pieces) {
        const qsizetype open = piece.indexOf(QStringLiteral(" ("));
        if (open < 0) continue;
        const qsizetype close = piece.indexOf(QLatin1Char(')'), open + 2);
        // A ")" only before the " (" is a stray one: the piece has no pair.
        if (close < 0) continue;
        if (green.LastPhase + 1 >= MaxPhaseRefs) break;
        const int phase = common::ParseInteger(piece.left(open));
        const int position = common::ParseInteger(piece.mid(open + 2, close - open - 2));
        ++green.LastPhase;
        green.Phases[green.LastPhase] = {phase, position};
    }
}

void ParseSignalPhasePairs(int groupIndex, int greenNumber, const QString& text) {
    if (groupIndex < 0 || groupIndex >= int(GroupTable.size())) return;
    if (greenNumber < 1 || greenNumber > MaxGreens) return;
    ParseSignalPhasePairs(GroupTable[groupIndex].Greens[greenNumber], text);
}

}  // namespace phaseplanner
