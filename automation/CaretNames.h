// The stream names a "^"-separated block name carries ("7^STRUMIEN_12^K1^P2" gives K1 and P2).
#pragma once

#include <QString>
#include <QStringList>

namespace automation {

// Drops Len(prefix) characters (not compared) and everything up to and including the next "^", then
// gives the non-empty "^"-separated items. Always a fresh list: empty when the rest has no "^".
QStringList SplitCaretList(const QString& text, const QString& prefix);
// The same into `items`, which is replaced; returns the number of items.
int SplitCaretList(const QString& text, const QString& prefix, QStringList& items);

}  // namespace automation
