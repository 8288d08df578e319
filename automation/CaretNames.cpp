// Splitting the names out of a block name.
#include "automation/CaretNames.h"

namespace automation {

QStringList SplitCaretList(const QString& text, const QString& prefix) {
    QStringList items;
    const QString rest = text.mid(prefix.size());
    const int caret = rest.indexOf(QLatin1Char('^'));
    if (caret < 0) return items;
    for (const QString& item : rest.mid(caret + 1).split(QLatin1Char('^')))
        if (!item.isEmpty()) items.append(item);
    return items;
}

int SplitCaretList(const QString& text, const QString& prefix, QStringList& items) {
    items = SplitCaretList(text, prefix);
    return int(items.size());
}

}  // namespace automation
