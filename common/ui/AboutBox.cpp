// The about box.
#include "common/ui/AboutBox.h"

#include "common/TextHelpers.h"
#include "common/Version.h"
#include "common/ui/FormWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace common {

AboutBox::AboutBox(QWidget* owner, const QString& productTitle, const QString& productName) : QDialog(owner) {
    setObjectName(QStringLiteral("frmOProgramie"));
    setWindowTitle(Tlumacz(QStringLiteral("O programie ")) + productTitle);
    auto* layout = new QVBoxLayout(this);
    product_ = new QLabel(productName, this);
    product_->setObjectName(QStringLiteral("lblProduct"));
    QFont f = product_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    product_->setFont(f);
    version_ = new QLabel(productTitle + Tlumacz(QStringLiteral(" w.")) + GetVersionText(), this);
    version_->setObjectName(QStringLiteral("lblVersion"));
    layout->addWidget(product_);
    layout->addWidget(version_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    TranslateFormCaptions(this, 0);
}

}  // namespace common
