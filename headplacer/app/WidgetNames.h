// Building controls under their object names (by which the persisted settings and the tests find
// them), as every window of headplacer does.
#pragma once

#include <QComboBox>
#include <QString>

namespace headplacer {

template <class T>
T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// A combo box that also takes typed text, adding nothing to its list by itself.
inline QComboBox* freeTextCombo(QWidget* parent, const QString& name) {
    auto* c = named(new QComboBox(parent), name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

}  // namespace headplacer
