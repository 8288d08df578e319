// The one splitter of a group's head symbols, used by the program states and every look-up.
#pragma once

#include <QString>
#include <QStringList>

namespace phaseplanner {

// Split at ",", blanks trimmed, empty pieces dropped.
QStringList SplitSymbolList(const QString& text);

}  // namespace phaseplanner
