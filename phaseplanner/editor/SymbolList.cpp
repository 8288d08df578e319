// Splitting a group's head symbols.
#include "phaseplanner/editor/SymbolList.h"

namespace phaseplanner {

QStringList SplitSymbolList(const QString& text) {
    QStringList out;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        const QString s = piece.trimmed();
        if (!s.isEmpty()) out << s;
    }
    return out;
}

}  // namespace phaseplanner
