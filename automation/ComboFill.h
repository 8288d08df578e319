// Filling a combo box from a text array (any combo with clear, addItem, count, itemText and
// setCurrentText, as QComboBox has).
#pragma once

#include <QString>
#include <QStringList>

namespace automation {

// Clears the combo, adds items first..last, then shows its entry at `indexToShow` (nothing shown
// when there is no such entry).
template <class Combo>
void FillComboFromArray(Combo& combo, const QStringList& items, int first, int last, int indexToShow) {
    combo.clear();
    for (int i = first; i <= last && i < items.size(); ++i)
        if (i >= 0) combo.addItem(items.at(i));
    combo.setCurrentText(indexToShow >= 0 && indexToShow < combo.count() ? combo.itemText(indexToShow)
                                                                         : QString());
}

}  // namespace automation
