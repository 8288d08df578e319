// Rendering the symbol drawings and the palette window.
#include "cadhost/SymbolPalette.h"

#include "cadhost/DrawingRenderer.h"
#include "platform/cad/dxf/DxfReader.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QPainter>
#include <QVBoxLayout>

namespace cadhost {

QStringList ShippedSymbols(const QString& folder) {
    QStringList out;
    for (const QFileInfo& f : QDir(folder).entryInfoList({QStringLiteral("*.dxf")}, QDir::Files, QDir::Name))
        out << f.completeBaseName();
    return out;
}

QImage SymbolPicture(const QString& dxfPath, int size) {
    std::unique_ptr<cad::db::Database> db;
    try {
        db = cad::dxf::readFile(dxfPath);
    } catch (const cad::Error&) {
        return {};
    }
    if (!db) return {};
    cad::db::Box box;
    for (const cad::db::Entity* e : db->modelSpace()->entities())
        if (const auto b = db->boundingBox(e); !b.isEmpty()) box.add(b);
    if (box.isEmpty()) return {};
    const double w = std::max(box.max.x - box.min.x, 1e-9), h = std::max(box.max.y - box.min.y, 1e-9);
    const double k = 0.85 * size / std::max(w, h);
    const double cx = (box.min.x + box.max.x) / 2, cy = (box.min.y + box.max.y) / 2;
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(QColor(33, 40, 48));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    PainterSink sink(p);
    DrawingRenderer renderer(*db, cad::db::Transform2D{k, 0, 0, -k, size / 2.0 - cx * k, size / 2.0 + cy * k}, sink);
    for (const cad::db::Entity* e : db->modelSpace()->entities()) renderer.draw(e);
    return img;
}

SymbolPalette::SymbolPalette(const QString& folder, QWidget* parent) : QDialog(parent), list_(new QListWidget) {
    setWindowTitle(QStringLiteral("Wybierz symbol sygnalizatora"));
    list_->setObjectName(QStringLiteral("lstSymbole"));
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize(QSize(72, 72));
    list_->setGridSize(QSize(96, 104));
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    for (const QString& s : ShippedSymbols(folder)) {
        const QImage picture = SymbolPicture(QDir(folder).filePath(s + QStringLiteral(".dxf")), 72);
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(picture)), s, list_);
        item->setToolTip(s);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Wstaw"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(640, 420);
}

QString SymbolPalette::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

}  // namespace cadhost
