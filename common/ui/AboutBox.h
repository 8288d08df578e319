// The about box of the programs (frmOProgramie): the product title in its caption and version line,
// the product name in its label; modal, owned by its caller.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace common {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    // Both title texts are set before the box is shown.
    AboutBox(QWidget* owner, const QString& productTitle, const QString& productName);

    QLabel* versionLine() const { return version_; }
    QLabel* productLabel() const { return product_; }

private:
    QLabel* version_;
    QLabel* product_;
};

}  // namespace common
