// The layer list and its changes through the object model.
#include "cadhost/LayerPanel.h"

#include "cadhost/Palette.h"
#include "platform/cad/engine/Database.h"
#include "platform/ui/core/Prompt.h"

#include <QHeaderView>
#include <QPixmap>
#include <QTableWidget>
#include <algorithm>

namespace cadhost {

namespace {

QIcon swatch(const QColor& c) {
    QPixmap pm(12, 12);
    pm.fill(c);
    return QIcon(pm);
}

}  // namespace

LayerPanel::LayerPanel(cad::ObjectModel& model, QWidget* parent)
    : QDockWidget(QStringLiteral("Warstwy"), parent), model_(model), table_(new QTableWidget) {
    setObjectName(QStringLiteral("dckWarstwy"));
    table_->setObjectName(QStringLiteral("grdWarstwy"));
    table_->setColumnCount(ColumnCount);
    table_->setHorizontalHeaderLabels({QStringLiteral("Bież."), QStringLiteral("Nazwa"),
                                       QStringLiteral("Kolor"), QStringLiteral("Wł."),
                                       QStringLiteral("Zamroż."), QStringLiteral("Zablok.")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    table_->setMinimumWidth(340);
    for (int c : {Current, Color, On, Frozen, Locked})
        table_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    setWidget(table_);

    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() < On) return;
        const QString name = table_->item(item->row(), Name)->text();
        setLayerState(name, Column(item->column()), item->checkState() == Qt::Checked);
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { makeCurrent(table_->item(row, Name)->text()); });
}

cad::ObjectId LayerPanel::layerId(const QString& name) {
    cad::DocumentState* doc = model_.activeDocument();
    if (!doc) return {};
    cad::db::Layer* layer = doc->db->layers().find(name);
    if (!layer) return {};
    return model_.idOf(cad::Kind::Layer, doc, layer);
}

void LayerPanel::setLayerState(const QString& layer, Column column, bool value) {
    static const QString members[] = {QString(),
                                      QString(),
                                      QString(),
                                      QStringLiteral("LayerOn"),
                                      QStringLiteral("Freeze"),
                                      QStringLiteral("Lock")};
    try {
        const cad::ObjectId id = layerId(layer);
        const cad::Variant v(value);
        model_.invoke(id, members[column], cad::CallKind::Put, cad::Args(&v, 1));
    } catch (const cad::Error& e) {
        ui::MsgBox(QStringLiteral("Nie można zmienić warstwy %1:\n%2").arg(layer, e.message()),
                   ui::Exclamation, QStringLiteral("cadhost"));
    }
    refresh();
    emit layersChanged();
}

void LayerPanel::makeCurrent(const QString& layer) {
    cad::DocumentState* doc = model_.activeDocument();
    if (!doc) return;
    try {
        const cad::Variant v = model_.ref(layerId(layer));
        model_.invoke(doc->id, QStringLiteral("ActiveLayer"), cad::CallKind::Put, cad::Args(&v, 1));
    } catch (const cad::Error& e) {
        ui::MsgBox(QStringLiteral("Nie można ustawić warstwy bieżącej %1:\n%2").arg(layer, e.message()),
                   ui::Exclamation, QStringLiteral("cadhost"));
    }
    refresh();
    emit layersChanged();
}

void LayerPanel::refresh() {
    filling_ = true;
    cad::DocumentState* doc = model_.activeDocument();
    std::vector<cad::db::Layer*> layers;
    if (doc) layers = doc->db->layers().records();
    std::erase_if(layers, [](const cad::db::Layer* l) { return l->isErased(); });
    std::sort(layers.begin(), layers.end(), [](const cad::db::Layer* a, const cad::db::Layer* b) {
        return a->name().compare(b->name(), Qt::CaseInsensitive) < 0;
    });
    const cad::db::Layer* current = doc ? doc->db->activeLayer() : nullptr;
    table_->setRowCount(int(layers.size()));
    for (int r = 0; r < int(layers.size()); ++r) {
        const cad::db::Layer* l = layers[size_t(r)];
        auto* cur = new QTableWidgetItem(l == current ? QStringLiteral("✓") : QString());
        cur->setTextAlignment(Qt::AlignCenter);
        table_->setItem(r, Current, cur);
        table_->setItem(r, Name, new QTableWidgetItem(l->name()));
        const QColor rgb =
            l->trueColor >= 0 ? QColor::fromRgb(QRgb(l->trueColor)) : AciColor(std::abs(l->color));
        table_->setItem(r, Color, new QTableWidgetItem(swatch(rgb), QString::number(std::abs(l->color))));
        const bool states[] = {l->on, l->frozen, l->locked};
        for (int c = On; c <= Locked; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setCheckState(states[c - On] ? Qt::Checked : Qt::Unchecked);
            table_->setItem(r, c, item);
        }
    }
    filling_ = false;
}

}  // namespace cadhost
