// The properties window and applying its choice.
#include "cadhost/PropertiesDialog.h"

#include "platform/cad/engine/Database.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace cadhost {

namespace {

const QString Various = QStringLiteral("*różne*");
const QString ByLayer = QStringLiteral("DLA WARSTWY");
const QString ByBlock = QStringLiteral("DLA BLOKU");

QString colorText(int aci) {
    static const char* names[] = {"", "czerwony", "żółty", "zielony", "cyjan", "niebieski", "magenta", "biały"};
    if (aci == 256) return ByLayer;
    if (aci == 0) return ByBlock;
    if (aci >= 1 && aci <= 7) return QStringLiteral("%1 %2").arg(aci).arg(QString::fromUtf8(names[aci]));
    return QString::number(aci);
}

std::optional<int> colorOf(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(ByLayer, Qt::CaseInsensitive) == 0) return 256;
    if (t.compare(ByBlock, Qt::CaseInsensitive) == 0) return 0;
    bool ok = false;
    const int n = t.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    if (ok && n >= 1 && n <= 255) return n;
    return std::nullopt;
}

QString linetypeText(const QString& name) {
    if (name.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) == 0) return ByLayer;
    if (name.compare(QLatin1String("BYBLOCK"), Qt::CaseInsensitive) == 0) return ByBlock;
    return name;
}

// The one value all share, else "*różne*".
template <typename F>
QString common(const std::vector<cad::db::Entity*>& entities, F text) {
    QString shared;
    for (size_t i = 0; i < entities.size(); ++i) {
        const QString t = text(entities[i]);
        if (i == 0)
            shared = t;
        else if (t != shared)
            return Various;
    }
    return shared;
}

QComboBox* combo(const QStringList& items, const QString& shown, bool editable) {
    auto* c = new QComboBox;
    c->setEditable(editable);
    if (shown == Various) c->addItem(Various);
    c->addItems(items);
    if (c->findText(shown) < 0) c->addItem(shown);
    c->setCurrentText(shown);
    return c;
}

}  // namespace

QString ApplyProperties(cad::ObjectModel& model, cad::DocumentState* doc,
                        const std::vector<cad::db::Entity*>& entities, const PropertyChoice& choice) {
    int changed = 0;
    QStringList failures;
    auto put = [&](cad::db::Entity* e, const QString& member, const cad::Variant& v) {
        model.invoke(model.entityId(doc, e), member, cad::CallKind::Put, cad::Args(&v, 1));
    };
    for (cad::db::Entity* e : entities) {
        try {
            if (choice.layer) put(e, QStringLiteral("Layer"), cad::Variant(*choice.layer));
            if (choice.color) put(e, QStringLiteral("Color"), cad::Variant(*choice.color));
            if (choice.linetype) put(e, QStringLiteral("Linetype"), cad::Variant(*choice.linetype));
            ++changed;
        } catch (const cad::Error& err) {
            failures << QStringLiteral("%1 (%2)").arg(e->objectName(), err.message());
        }
    }
    QString note = QStringLiteral("Zmieniono właściwości obiektów: %1.").arg(changed);
    if (!failures.isEmpty())
        note += QStringLiteral(" Pominięto %1: %2.").arg(failures.size()).arg(failures.join(QStringLiteral("; ")));
    return note;
}

PropertiesDialog::PropertiesDialog(const cad::db::Database& db, const std::vector<cad::db::Entity*>& entities,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Właściwości obiektów (%1)").arg(entities.size()));
    QStringList layers, linetypes{ByLayer, ByBlock}, colors{ByLayer, ByBlock};
    for (const cad::db::Layer* l : db.layers().records()) layers << l->name();
    for (const cad::db::Linetype* l : db.linetypes().records())
        if (!linetypes.contains(linetypeText(l->name()))) linetypes << l->name();
    for (int i = 1; i <= 7; ++i) colors << colorText(i);
    shownLayer_ = common(entities, [](const cad::db::Entity* e) { return e->layer(); });
    shownColor_ = common(entities, [](const cad::db::Entity* e) { return colorText(e->color); });
    shownLinetype_ = common(entities, [](const cad::db::Entity* e) { return linetypeText(e->linetype); });
    layer_ = combo(layers, shownLayer_, false);
    color_ = combo(colors, shownColor_, true);  // any index 1..255 may be typed
    linetype_ = combo(linetypes, shownLinetype_, false);
    layer_->setObjectName(QStringLiteral("cmbWarstwa"));
    color_->setObjectName(QStringLiteral("cmbKolor"));
    linetype_->setObjectName(QStringLiteral("cmbRodzajLinii"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Warstwa:"), layer_);
    form->addRow(QStringLiteral("Kolor:"), color_);
    form->addRow(QStringLiteral("Rodzaj linii:"), linetype_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        const QString c = color_->currentText();
        if (c != shownColor_ && !colorOf(c)) {
            color_->setToolTip(QStringLiteral("Kolor: numer 1-255, \u201eDLA WARSTWY\u201d albo \u201eDLA BLOKU\u201d."));
            color_->setFocus();
            return;
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

PropertyChoice PropertiesDialog::choice() const {
    PropertyChoice c;
    if (layer_->currentText() != shownLayer_ && layer_->currentText() != Various) c.layer = layer_->currentText();
    if (color_->currentText() != shownColor_ && color_->currentText() != Various) c.color = colorOf(color_->currentText());
    if (linetype_->currentText() != shownLinetype_ && linetype_->currentText() != Various) {
        const QString t = linetype_->currentText();
        c.linetype = t == ByLayer ? QStringLiteral("BYLAYER") : t == ByBlock ? QStringLiteral("BYBLOCK") : t;
    }
    return c;
}

}  // namespace cadhost
