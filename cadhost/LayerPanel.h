// The dockable layer list: each layer's colour and its on, frozen and locked states as the drawing
// stores them. The user switches layers off, freezes or locks them and picks the current layer
// (double-click); every change goes through the object model, so it is part of the drawing.
#pragma once

#include "platform/cad/model/ObjectModel.h"

#include <QDockWidget>

class QTableWidget;

namespace cadhost {

class LayerPanel : public QDockWidget {
    Q_OBJECT
public:
    enum Column { Current, Name, Color, On, Frozen, Locked, ColumnCount };

    explicit LayerPanel(cad::ObjectModel& model, QWidget* parent = nullptr);

    // Shows the layers of the active drawing (none when nothing is open).
    void refresh();
    QTableWidget* table() const { return table_; }
    // The user's actions, callable directly.
    void setLayerState(const QString& layer, Column column, bool value);
    void makeCurrent(const QString& layer);

signals:
    // A layer changed: the drawing's look changed.
    void layersChanged();

private:
    cad::ObjectId layerId(const QString& name);

    cad::ObjectModel& model_;
    QTableWidget* table_;
    bool filling_ = false;
};

}  // namespace cadhost
