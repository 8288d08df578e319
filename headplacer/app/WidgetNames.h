// Building controls under their object names (by which the persisted settings and the tests find
// them), as every window of headplacer does.
#pragma once

#include "common/TextHelpers.h"
#include "headplacer/app/CommandTable.h"

#include <QComboBox>
#include <QPushButton>
#include <QString>

namespace headplacer {

template <class T>
T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// A combo box that also takes typed text, adding nothing to its list by itself and completing nothing:
// "1" typed where the list holds "12 Rondo Wschodnie" stays "1" when the user leaves the box.
inline QComboBox* freeTextCombo(QWidget* parent, const QString& name) {
    auto* c = named(new QComboBox(parent), name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    return c;
}

// A command button as its row of the command table has it: object name, caption and tool tip.
inline QPushButton* commandButton(QWidget* parent, const char* id) {
    const CommandRow* row = FindCommand(QLatin1String(id));
    if (!row) qFatal("headplacer: no command row %s", id);
    auto* b = named(new QPushButton(common::Tlumacz(QString::fromUtf8(row->caption)), parent), QLatin1String(id));
    if (row->toolTip) b->setToolTip(common::Tlumacz(QString::fromUtf8(row->toolTip)));
    return b;
}

}  // namespace headplacer
